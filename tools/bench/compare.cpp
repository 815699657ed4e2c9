// Compares two full configurations (six nodes of fifty slaves each) and
// prints the time one comparison takes: identical, a few fields apart, and
// every slave of every node apart.
//
//   bench_compare [ROUNDS]
#include "config/ConfigCompare.h"
#include "config/ConfigData.h"

#include "BenchSupport.h"

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per comparison, the median of `rounds` batches of 100.
double Time(const ConfigData& a, const ConfigData& b, int rounds, size_t& found)
{
    std::vector<double> perCompare;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        for (int i = 0; i < 100; ++i)
            found = CompareConfigurations(a, b).size();
        perCompare.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / 100);
    }
    std::sort(perCompare.begin(), perCompare.end());
    return perCompare[perCompare.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;
    ConfigData a, same, few, many;
    FillConfiguration(a);
    FillConfiguration(same);
    FillConfiguration(few);
    FillConfiguration(many);
    few.SetDataAge(61);
    few.GetNode(2)->baudCode = 32;
    few.GetNode(4)->slaveId[7] = 99;
    few.GetNode(5)->protocolExtra[17] ^= 1;
    for (unsigned i = 0; i < kMaxNodes; ++i)
        for (unsigned k = 0; k < kMaxSlaves; ++k)
            many.GetNode(i)->writeLength[k] ^= 1;

    std::printf("full configurations (6 nodes x 50 slaves), median of %d rounds of 100 comparisons\n", rounds);
    size_t found = 0;
    double us = Time(a, same, rounds, found);
    std::printf("identical:             %8.1f us per comparison (%zu differences)\n", us, found);
    us = Time(a, few, rounds, found);
    std::printf("four fields apart:     %8.1f us per comparison (%zu differences)\n", us, found);
    us = Time(a, many, rounds, found);
    std::printf("every slave apart:     %8.1f us per comparison (%zu differences)\n", us, found);
    return 0;
}
