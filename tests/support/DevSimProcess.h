// Runs the device simulator (qst-devsim) as a child process for a test.
// It ends with the object: stdin closed, SIGTERM, and a bounded wait.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class DevSimProcess
{
public:
    // `args` are qst-devsim's options. Starting waits at most 10 s for the
    // simulator's "ready" line.
    explicit DevSimProcess(const std::vector<std::string>& args);
    ~DevSimProcess();
    DevSimProcess(const DevSimProcess&) = delete;
    DevSimProcess& operator=(const DevSimProcess&) = delete;

    bool IsReady() const { return m_ready; }
    // The first TCP endpoint's port, 0 when none.
    int Port() const { return m_ports.empty() ? 0 : m_ports.front(); }
    const std::vector<std::string>& Addresses() const { return m_addresses; }
    const std::string& PtyPath() const { return m_ptyPath; }
    // What the simulator printed before "ready" (for failure messages).
    const std::string& Banner() const { return m_banner; }

    // Stops the simulator with SIGTERM; true when it exited with status 0.
    bool Stop();
    // Closes the simulator's input; true when it then exits with status 0.
    bool EndInput();

    static std::string ProgramPath();

private:
    void CloseStreams();

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    bool m_ready = false;
    std::vector<std::string> m_addresses;
    std::vector<int> m_ports;
    std::string m_ptyPath;
    std::string m_banner;
};

// The frames a simulator logged with --log, each as its bytes.
std::vector<std::vector<unsigned char>> LoggedFrames(const std::string& logPath);
