// Writes and reads a full configuration (six nodes of fifty slaves each) to
// the device simulator over loopback TCP and prints the time each takes
// against the waits the link must make: 100 ms after connecting and 10 ms
// after each frame sent; and a verified write (the write, then the read
// back and the comparison) against the waits of one write.
//
//   bench_transfer [ROUNDS] [--sim PATH-TO-qst-devsim]
#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

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

std::string DefaultSimulatorPath()
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "qst-devsim";
    self[n] = 0;
    std::string dir(self);
    return dir.substr(0, dir.rfind('/')) + "/qst-devsim";
}

struct Simulator {
    pid_t pid = -1;
    int port = 0;
    int input = -1;
};

bool StartSimulator(const std::string& path, Simulator& sim)
{
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return false;
    sim.pid = ::fork();
    if (sim.pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execl(path.c_str(), path.c_str(), "--listen", "127.0.0.1", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    sim.input = in[1];
    std::string text;
    while (text.find("ready\n") == std::string::npos) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            break;
        char buffer[256];
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, size_t(n));
    }
    ::close(out[0]);
    char address[64] = {};
    return std::sscanf(text.c_str(), "tcp %63s %d", address, &sim.port) == 2;
}

void StopSimulator(Simulator& sim)
{
    if (sim.pid > 0) {
        ::kill(sim.pid, SIGTERM);
        int status = 0;
        ::waitpid(sim.pid, &status, 0);
    }
    if (sim.input >= 0)
        ::close(sim.input);
}

void FillConfiguration(ConfigData& doc)
{
    while (doc.AddNode()) {
    }
    for (unsigned i = 0; i < kMaxNodes; ++i) {
        NodeEntry& node = *doc.GetNode(i);
        node.slaveCount = kMaxSlaves;
        for (unsigned k = 0; k < kMaxSlaves; ++k) {
            node.slaveId[k] = uint8_t(k + 1);
            node.readStart[k] = uint16_t((i * 80 + k) % 500);
            node.readLength[k] = uint8_t(1 + k % 8);
            node.writeStart[k] = uint16_t((i * 80 + k + 7) % 500);
            node.writeLength[k] = uint8_t(1 + (k + 3) % 8);
        }
    }
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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
    if (!StartSimulator(simulatorPath, sim)) {
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
