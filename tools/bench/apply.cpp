// Applies a full configuration (six nodes of fifty slaves each) with
// `qst apply` to 50 simulated devices on loopback, half of which differ,
// and prints the time against that of one verified write to one device
// (`qst write`: the write, the read back and the comparison).
//
//   bench_apply [ROUNDS] [--devices N] [--jobs N] [--serially]
//
// --serially also times the same apply one device after another (--jobs 1).
// The devices listen on 127.0.3.1 onwards, each a simulator of its own.
#include "BenchSupport.h"

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Runs qst with `args`, its output thrown away; the milliseconds it took,
// or a negative number when it did not end with `expected`.
double TimeQst(const std::vector<std::string>& args, int expected)
{
    const std::string qst = ProgramBeside("qst");
    std::vector<char*> argv{const_cast<char*>(qst.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::execv(qst.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expected) {
        std::fprintf(stderr, "qst %s ended with status %d, not %d\n", args[0].c_str(),
                     WIFEXITED(status) ? WEXITSTATUS(status) : -1, expected);
        return -1;
    }
    return ms;
}


} // namespace

int main(int argc, char** argv)
{
    int rounds = 3;
    int count = 50;
    std::string jobs;
    bool serially = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--devices") == 0 && i + 1 < argc)
            count = std::clamp(std::atoi(argv[++i]), 2, 250);
        else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc)
            jobs = argv[++i];
        else if (std::strcmp(argv[i], "--serially") == 0)
            serially = true;
        else
            rounds = std::max(1, std::atoi(argv[i]));
    }
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;

    char folder[] = "/tmp/qst-bench-apply-XXXXXX";
    if (!::mkdtemp(folder))
        return 2;
    const std::string wanted = std::string(folder) + "/wanted.qst";
    const std::string other = std::string(folder) + "/other.qst";
    ConfigData config;
    FillConfiguration(config);
    bool ok = config.Save(wanted);
    config.SetDataAge(uint8_t(config.GetDataAge() + 1));
    config.GetNode(3)->slaveId[7] = 99;
    ok = ok && config.Save(other);

    std::vector<Simulator> sims(static_cast<size_t>(count));
    std::vector<std::string> targets, different;
    for (int i = 0; i < count && ok; ++i) {
        const std::string address = "127.0.3." + std::to_string(i + 1);
        ok = StartSimulator(DefaultSimulatorPath(), {"--listen", address, "--config", wanted}, sims[size_t(i)]);
        const std::string target = address + ":" + std::to_string(sims[size_t(i)].port);
        targets.insert(targets.end(), {"--tcp", target});
        if (i % 2)
            different.insert(different.end(), {"--tcp", target});
    }

    std::vector<double> writes, applies, serial;
    for (int r = 0; r < rounds && ok; ++r) {
        // One verified write to one device.
        const double write = TimeQst({"write", "--tcp", targets[1], wanted, "--yes"}, 0);
        // Half the devices made different, then the whole fleet applied.
        std::vector<std::string> spoil = {"apply", other, "--yes"};
        spoil.insert(spoil.end(), different.begin(), different.end());
        ok = write >= 0 && TimeQst(spoil, 0) >= 0;
        std::vector<std::string> apply = {"apply", wanted, "--yes"};
        apply.insert(apply.end(), targets.begin(), targets.end());
        if (!jobs.empty())
            apply.insert(apply.end(), {"--jobs", jobs});
        const double all = ok ? TimeQst(apply, 0) : -1;
        ok = ok && all >= 0;
        writes.push_back(write);
        applies.push_back(all);
        if (ok && serially) {
            spoil[1] = other;
            ok = TimeQst(spoil, 0) >= 0;
            apply.insert(apply.end(), {"--jobs", "1"});
            const double one = ok ? TimeQst(apply, 0) : -1;
            ok = ok && one >= 0;
            serial.push_back(one);
        }
    }
    for (Simulator& sim : sims)
        StopSimulator(sim);
    std::remove(wanted.c_str());
    std::remove(other.c_str());
    ::rmdir(folder);
    if (!ok)
        return 1;

    const double write = Median(writes);
    const double all = Median(applies);
    std::printf("full configuration (6 nodes x 50 slaves), loopback TCP, median of %d rounds\n", rounds);
    std::printf("one verified write (qst write):           %7.1f ms\n", write);
    std::printf("qst apply, %d devices, %d of them different: %7.1f ms  (%.2f x one verified write)\n", count,
                count / 2, all, all / write);
    if (serially) {
        const double one = Median(serial);
        std::printf("the same with --jobs 1:                   %7.1f ms  (%.2f x one verified write)\n", one,
                    one / write);
    }
    return 0;
}
