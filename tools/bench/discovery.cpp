// Times a subnet scan of 127.0.0. with three simulated devices and thirty
// listeners that accept connections but never answer.
//
//   bench_discovery [ROUNDS]
//
// The simulator (qst-devsim) is taken from the folder of this program.
#include "discovery/DeviceScan.h"

#include <wx/init.h>
#include <wx/stopwatch.h>

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint16_t kPort = 24023;

std::string SimulatorPath(const char* self)
{
    std::string path = self;
    const size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/qst-devsim";
}

pid_t StartSimulators(const std::string& program)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string port = std::to_string(kPort);
        execl(program.c_str(), program.c_str(), "--listen", "127.0.0.2", "--listen", "127.0.0.3", "--listen",
              "127.0.0.4", "--port", port.c_str(), "--ignore-stdin", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    // Wait for "ready".
    std::string banner;
    char c;
    while (banner.find("ready") == std::string::npos && read(out[0], &c, 1) == 1)
        banner += c;
    return banner.find("ready") == std::string::npos ? -1 : pid;
}

std::vector<int> StartSilentListeners()
{
    std::vector<int> sockets;
    for (int host = 10; host < 40; ++host) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(kPort);
        address.sin_addr.s_addr = htonl((127u << 24) | unsigned(host));
        if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(s, 4) == 0)
            sockets.push_back(s);
        else
            close(s);
    }
    return sockets;
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const pid_t simulators = StartSimulators(SimulatorPath(argv[0]));
    if (simulators < 0) {
        std::fprintf(stderr, "could not start qst-devsim\n");
        return 1;
    }
    const std::vector<int> silent = StartSilentListeners();
    std::printf("scan of 127.0.0.1-254 port %u: 3 simulated devices, %zu silent listeners\n", kPort, silent.size());

    std::vector<long> times;
    const int octets[3] = {127, 0, 0};
    for (int round = 0; round < rounds; ++round) {
        int found = 0;
        DeviceScanHooks hooks;
        hooks.found = [&](const wxString&, const wxString&) { ++found; };
        wxStopWatch watch;
        ScanSubnet(octets, hooks, kPort);
        times.push_back(watch.Time());
        std::printf("round %d: %ld ms, %d devices found\n", round + 1, times.back(), found);
    }
    std::sort(times.begin(), times.end());
    std::printf("median %ld ms over %d rounds (goal: under 1500 ms with all three found)\n", times[times.size() / 2],
                rounds);

    for (int s : silent)
        close(s);
    kill(simulators, SIGTERM);
    waitpid(simulators, nullptr, 0);
    return 0;
}
