#include "support/ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ProgramPath(const std::string& program)
{
    const std::string root = QST_BINARY_DIR;
    return root + "/" + program;
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds,
                         const std::function<bool()>& interruptWhen)
{
    ProgramResult result;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        return result;
    const std::string path = ProgramPath(program);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    std::chrono::steady_clock::time_point interruptedAt;
    bool interrupted = false;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (interruptWhen && !interrupted && interruptWhen()) {
            kill(pid, SIGINT);
            interrupted = true;
            interruptedAt = std::chrono::steady_clock::now();
        }
        if (poll(fds, 2, interruptWhen ? 10 : 100) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, size_t(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& f : fds)
        if (f.fd >= 0) {
            kill(pid, SIGKILL);
            close(f.fd);
        }
    int status = 0;
    waitpid(pid, &status, 0);
    if (interrupted)
        result.msAfterInterrupt = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - interruptedAt)
                                          .count());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
