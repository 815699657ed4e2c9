// The device's end of the link for the device fuzz target: a loopback TCP
// listener and a pseudo-terminal, served from one thread. For each command
// frame the link sends, the peer answers with the next record of the input.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One answer. Each chunk goes out only once the link has read all of the
// chunk before it, so the link reads it on its own: where a reply is split
// between reads is decided by the input, not by timing.
struct PeerRecord {
    std::vector<std::string> chunks;
    bool hangUp = false;  // after this answer: TCP closes; serial stays silent
};

struct PeerReport {
    int frames = 0;        // command frames received, resends included
    std::string badFrame;  // the first frame that was not a well-formed command, in hex
};

class DevicePeer
{
public:
    DevicePeer();
    ~DevicePeer();
    DevicePeer(const DevicePeer&) = delete;
    DevicePeer& operator=(const DevicePeer&) = delete;

    uint16_t Port() const { return m_port; }
    const std::string& SerialPath() const { return m_serialPath; }

    // Serves one session with `records`: over TCP to whoever connects
    // next, or over the pseudo-terminal.
    void Begin(bool tcp, std::vector<PeerRecord> records);
    // Ends the session once the link has finished with it.
    PeerReport End();

private:
    void Run();
    void Serve();
    void ServeConnection(int fd);
    void HandleFrame(const std::string& frame, int& fd);
    void Send(int fd, const PeerRecord& record);
    bool WriteAll(int fd, const std::string& bytes);
    void WaitUntilRead(int fd);
    // Waits up to `milliseconds` for `fd` to become readable; false when
    // it did not, or when the session is ending.
    bool WaitReadable(int fd, int milliseconds);
    void HangUp(int& fd);
    int FindClientSocket(int connection) const;

    int m_listener = -1;
    uint16_t m_port = 0;
    int m_master = -1;
    int m_slave = -1;  // held open so the terminal lives between sessions
    int m_wake = -1;   // readable once the session is to end
    std::string m_serialPath;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_pending = false;
    bool m_done = false;
    bool m_quit = false;
    std::atomic<bool> m_ending{false};

    // The session, used by the peer's thread only while it serves.
    bool m_tcp = true;
    std::vector<PeerRecord> m_records;
    size_t m_next = 0;
    bool m_silent = false;
    int m_clientSocket = -1;
    uint64_t m_sent = 0;
    PeerReport m_report;

    std::thread m_thread;
};
