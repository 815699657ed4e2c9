// What the benchmarks share: the programs beside them in the build tree,
// device simulators as child processes, and a full configuration.
#pragma once

#include "config/ConfigData.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A program in the benchmark's own folder (the build tree), by name.
inline std::string ProgramBeside(const std::string& name)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return name;
    self[n] = 0;
    std::string dir(self);
    return dir.substr(0, dir.rfind('/')) + "/" + name;
}

inline std::string DefaultSimulatorPath()
{
    return ProgramBeside("qst-devsim");
}

struct Simulator {
    pid_t pid = -1;
    int port = 0;
    int input = -1;
};

// Starts qst-devsim with `args` and waits (10 s at most) for its first
// endpoint.
inline bool StartSimulator(const std::string& path, const std::vector<std::string>& args, Simulator& sim)
{
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return false;
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    sim.pid = ::fork();
    if (sim.pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(path.c_str(), argv.data());
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

inline void StopSimulator(Simulator& sim)
{
    if (sim.pid > 0) {
        ::kill(sim.pid, SIGTERM);
        int status = 0;
        ::waitpid(sim.pid, &status, 0);
    }
    if (sim.input >= 0)
        ::close(sim.input);
}

// Six nodes of fifty slaves each.
inline void FillConfiguration(ConfigData& doc)
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

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
