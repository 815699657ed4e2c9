// Exports a full configuration (six nodes of fifty slaves each, notes of
// 127 characters) to JSON and imports it again, and prints the time each
// takes and the size of the text.
//
//   bench_json [ROUNDS]
#include "config/ConfigData.h"
#include "config/ConfigJson.h"

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void FillConfiguration(ConfigData& config)
{
    while (config.AddNode()) {
    }
    for (unsigned i = 0; i < kMaxNodes; ++i) {
        NodeEntry* node = config.GetNode(i);
        node->protocol = uint8_t(1 + i * 2);
        node->SetPortType(uint8_t(1 + i));
        node->slaveCount = kMaxSlaves;
        for (unsigned k = 0; k < kMaxSlaves; ++k) {
            node->slaveId[k] = uint8_t(k + 1);
            node->readStart[k] = uint16_t(k * 4);
            node->readLength[k] = 4;
            node->writeStart[k] = uint16_t(256 + k * 4);
            node->writeLength[k] = 4;
        }
    }
    config.SetNotes(wxString('n', 127));
}

double MedianMs(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    ConfigData config;
    FillConfiguration(config);

    std::vector<double> exportMs, importMs;
    std::string text;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        text = ExportJson(config);
        exportMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

        ConfigData back;
        wxString error;
        start = Clock::now();
        const bool ok = ImportJson(text, back, error);
        importMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!ok || std::memcmp(&back.GetMainBlock(), &config.GetMainBlock(), kMainBlockSize) != 0) {
            std::fprintf(stderr, "round %d: the import differs: %s\n", round + 1, error.utf8_string().c_str());
            return 1;
        }
    }
    std::printf("full configuration (6 nodes x 50 slaves): %zu bytes of JSON\n", text.size());
    std::printf("export: median %.3f ms, import: median %.3f ms over %d rounds\n", MedianMs(exportMs),
                MedianMs(importMs), rounds);
    return 0;
}
