#include "support/DevSimProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the child to end, up to `limit`; true when it did.
bool WaitForExit(pid_t pid, std::chrono::milliseconds limit, int& status)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

std::string DevSimProcess::ProgramPath()
{
    return std::string(QST_BINARY_DIR) + "/qst-devsim";
}

DevSimProcess::DevSimProcess(const std::vector<std::string>& args)
{
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    const std::string program = ProgramPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_stdin = in[1];
    m_stdout = out[0];
    if (m_pid < 0)
        return;

    std::string text;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end && text.find("ready\n") == std::string::npos) {
        pollfd p{m_stdout, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, size_t(n));
    }
    m_banner = text;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "tcp") {
            std::string address;
            int port = 0;
            words >> address >> port;
            m_addresses.push_back(address);
            m_ports.push_back(port);
        } else if (kind == "pty") {
            words >> m_ptyPath;
        } else if (kind == "ready") {
            m_ready = true;
        }
    }
}

void DevSimProcess::CloseStreams()
{
    if (m_stdin >= 0)
        ::close(m_stdin);
    if (m_stdout >= 0)
        ::close(m_stdout);
    m_stdin = m_stdout = -1;
}

bool DevSimProcess::Stop()
{
    if (m_pid <= 0) {
        CloseStreams();
        return false;
    }
    int status = 0;
    ::kill(m_pid, SIGTERM);
    bool clean = WaitForExit(m_pid, std::chrono::seconds(5), status);
    if (!clean) {
        ::kill(m_pid, SIGKILL);
        WaitForExit(m_pid, std::chrono::seconds(5), status);
    }
    m_pid = -1;
    CloseStreams();
    return clean && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool DevSimProcess::EndInput()
{
    if (m_pid <= 0 || m_stdin < 0)
        return false;
    ::close(m_stdin);
    m_stdin = -1;
    int status = 0;
    if (!WaitForExit(m_pid, std::chrono::seconds(5), status)) {
        Stop();
        return false;
    }
    m_pid = -1;
    CloseStreams();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

DevSimProcess::~DevSimProcess()
{
    Stop();
}

std::vector<std::vector<unsigned char>> LoggedFrames(const std::string& logPath)
{
    std::vector<std::vector<unsigned char>> frames;
    std::ifstream in(logPath);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 6, "frame ") != 0)
            continue;
        std::vector<unsigned char> frame;
        for (size_t i = 6; i + 1 < line.size(); i += 2)
            frame.push_back(static_cast<unsigned char>(std::stoi(line.substr(i, 2), nullptr, 16)));
        frames.push_back(frame);
    }
    return frames;
}
