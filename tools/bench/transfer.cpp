// Writes and reads a full configuration (six nodes of fifty slaves each) to
// the device simulator over loopback TCP and prints the time each takes
// against the waits the link must make: 100 ms after connecting and 10 ms
// after each frame sent; and a verified write (the write, then the read
// back and the comparison) against the waits of one write.
//
//   bench_transfer [ROUNDS] [--sim PATH-TO-qst-devsim]
#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

#include "BenchSupport.h"

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kConnectWaitMs = 100;
constexpr double kFrameWaitMs = 10;
// "ver", start, header, six nodes, IP block, end.
constexpr int kFramesPerTransfer = 11;


} // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    std::string simulatorPath = DefaultSimulatorPath();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sim") == 0 && i + 1 < argc)
            simulatorPath = argv[++i];
        else
            rounds = std::max(1, std::atoi(argv[i]));
    }

    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;
    Simulator sim;
    if (!StartSimulator(simulatorPath, {"--listen", "127.0.0.1"}, sim)) {
        std::fprintf(stderr, "could not start %s\n", simulatorPath.c_str());
        StopSimulator(sim);
        return 2;
    }

    ConfigData written;
    FillConfiguration(written);
    std::vector<double> writes;
    std::vector<double> reads;
    std::vector<double> verified;
    bool ok = true;
    for (int r = 0; r < rounds && ok; ++r) {
        wxString error;
        auto start = Clock::now();
        ok = written.WriteToDevice(true, "127.0.0.1", sim.port, error);
        writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ConfigData read;
        start = Clock::now();
        ok = ok && read.ReadFromDevice(true, "127.0.0.1", sim.port, error);
        reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ok = ok && std::memcmp(&read.GetMainBlock(), &written.GetMainBlock(), sizeof(MainBlock)) == 0 &&
             std::memcmp(&read.GetIpBlock(), &written.GetIpBlock(), sizeof(IpBlock)) == 0;
        start = Clock::now();
        const auto yes = [](const wxString&) { return true; };
        ok = ok && SendConfiguration(written, true, "127.0.0.1", sim.port, yes, error) == WriteOutcome::Sent;
        verified.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!ok)
            std::fprintf(stderr, "transfer failed: %s\n", error.utf8_string().c_str());
    }
    StopSimulator(sim);
    if (!ok)
        return 1;

    const double floor = kConnectWaitMs + kFramesPerTransfer * kFrameWaitMs;
    const double write = Median(writes);
    const double read = Median(reads);
    std::printf("full configuration (6 nodes x 50 slaves), loopback TCP, median of %d rounds\n", rounds);
    std::printf("mandated waits per transfer: %.0f ms (100 ms after connect + %d frames x 10 ms)\n", floor,
                kFramesPerTransfer);
    std::printf("write: %7.1f ms  (%.2f x the waits)\n", write, write / floor);
    std::printf("read:  %7.1f ms  (%.2f x the waits)\n", read, read / floor);
    std::printf("both:  %7.1f ms  (%.2f x the waits of %.0f ms)\n", write + read, (write + read) / (2 * floor),
                2 * floor);
    const double checked = Median(verified);
    std::printf("verified write (write, read back, compare): %7.1f ms  (%.2f x the waits of one write)\n", checked,
                checked / floor);
    return 0;
}
