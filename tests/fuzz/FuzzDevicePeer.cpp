#include "FuzzDevicePeer.h"

#include "config/BlockCrc.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kDle = 0x10;

[[noreturn]] void SetUpFailed(const char* what)
{
    std::fprintf(stderr, "device peer: %s: %s\n", what, std::strerror(errno));
    std::exit(2);
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char byte[4];
    for (unsigned char c : bytes) {
        std::snprintf(byte, sizeof byte, "%02X ", c);
        out += byte;
    }
    return out;
}

bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

int Queued(int fd)
{
    int count = 0;
    return ::ioctl(fd, FIONREAD, &count) == 0 ? count : 0;
}

uint64_t TcpBytesReceived(int fd)
{
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return 0;
    return info.tcpi_bytes_received;
}

// The commands the link sends: four plain ones, and the rest ending in the
// block checksum of what precedes it, high byte first.
bool WellFormedCommand(const std::string& frame)
{
    for (const char* plain : {"id", "ver", "reboot", "get config"})
        if (frame == plain)
            return true;
    for (const char* checked : {"get config ", "set config ", "set time "}) {
        const size_t prefix = std::strlen(checked);
        if (frame.size() < prefix + 2 || frame.compare(0, prefix, checked) != 0)
            continue;
        const size_t n = frame.size() - 2;
        const uint16_t sent = uint16_t((uint8_t(frame[n]) << 8) | uint8_t(frame[n + 1]));
        return BlockCrc(frame.data(), uint16_t(n)) == sent;
    }
    return false;
}

// Takes the link's byte stream apart into command frames: DLE escapes the
// next byte, which must be CR, LF or DLE; an unescaped CR LF ends a frame.
class FrameParser
{
public:
    enum Result { More, Frame, Malformed };

    Result Feed(uint8_t b)
    {
        if (m_sawCr) {
            m_sawCr = false;
            return b == kLf ? Frame : Malformed;
        }
        if (m_escaped) {
            m_escaped = false;
            m_frame.push_back(char(b));
            return b == kCr || b == kLf || b == kDle ? More : Malformed;
        }
        if (b == kDle) {
            m_escaped = true;
            return More;
        }
        if (b == kCr) {
            m_sawCr = true;
            return More;
        }
        m_frame.push_back(char(b));
        return b == kLf ? Malformed : More;
    }
    std::string Take()
    {
        std::string frame;
        frame.swap(m_frame);
        return frame;
    }

private:
    std::string m_frame;
    bool m_escaped = false;
    bool m_sawCr = false;
};

} // namespace

DevicePeer::DevicePeer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_listener, 8) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        SetUpFailed("loopback listener");
    m_port = ntohs(a.sin_port);

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const char* name = nullptr;
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !(name = ::ptsname(m_master)))
        SetUpFailed("pseudo-terminal");
    m_serialPath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0)
        SetUpFailed("pseudo-terminal slave");
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);

    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake < 0)
        SetUpFailed("eventfd");

    m_thread = std::thread([this] { Run(); });
}

DevicePeer::~DevicePeer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
    ::close(m_wake);
    ::close(m_slave);
    ::close(m_master);
    ::close(m_listener);
}

void DevicePeer::Begin(bool tcp, std::vector<PeerRecord> records)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tcp = tcp;
    m_records = std::move(records);
    m_next = 0;
    m_silent = false;
    m_clientSocket = -1;
    m_sent = 0;
    m_report = PeerReport();
    m_ending = false;
    m_done = false;
    m_pending = true;
    uint64_t count;
    while (::read(m_wake, &count, sizeof count) > 0) {
    }
    // What an earlier session left unread on the terminal is not this one's.
    char stale[4096];
    while (::read(m_master, stale, sizeof stale) > 0) {
    }
    m_changed.notify_all();
}

PeerReport DevicePeer::End()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ending = true;
    const uint64_t one = 1;
    if (::write(m_wake, &one, sizeof one) != sizeof one)
        std::abort();
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_done; });
    return m_report;
}

void DevicePeer::Run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_pending || m_quit; });
            if (m_quit)
                return;
            m_pending = false;
        }
        Serve();
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_ending.load(); });
            m_done = true;
        }
        m_changed.notify_all();
    }
}

void DevicePeer::Serve()
{
    if (!m_tcp) {
        ServeConnection(m_master);
        return;
    }
    int connection = -1;
    while (!m_ending && connection < 0) {
        if (WaitReadable(m_listener, 100))
            connection = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    }
    if (connection >= 0) {
        const int on = 1;
        ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_clientSocket = FindClientSocket(connection);
        ServeConnection(connection);  // closes it
    }
    // Connections this session did not take are not the next one's.
    int stray;
    while ((stray = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0)
        ::close(stray);
}

// The link's own socket, found in this process by its address, so that the
// peer can tell when the link has read what was sent.
int DevicePeer::FindClientSocket(int connection) const
{
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(connection, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return -1;
    static int lastFound = -1;
    const auto matches = [&](int fd) {
        sockaddr_in local{};
        socklen_t size = sizeof local;
        return fd >= 0 && fd != connection && ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0 &&
               local.sin_family == AF_INET && local.sin_port == peer.sin_port &&
               local.sin_addr.s_addr == peer.sin_addr.s_addr;
    };
    if (matches(lastFound))
        return lastFound;
    for (int fd = 3; fd < 4096; ++fd)
        if (matches(fd))
            return lastFound = fd;
    return -1;
}

void DevicePeer::ServeConnection(int fd)
{
    FrameParser parser;
    uint8_t buffer[4096];
    while (!m_ending && fd >= 0) {
        if (!WaitReadable(fd, 100))
            continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0 && m_tcp)
            break;  // the link closed
        if (n <= 0) {
            // A terminal whose other end is closed reads as an error.
            if (!m_tcp)
                std::this_thread::sleep_for(200us);
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const FrameParser::Result result = parser.Feed(buffer[i]);
            if (result == FrameParser::More)
                continue;
            const std::string frame = parser.Take();
            ++m_report.frames;
            if (result == FrameParser::Malformed || !WellFormedCommand(frame)) {
                if (m_report.badFrame.empty())
                    m_report.badFrame = Hex(frame) + (result == FrameParser::Malformed ? "(framing)" : "");
                continue;
            }
            HandleFrame(frame, fd);
        }
    }
    if (m_tcp && fd >= 0)
        ::close(fd);
}

void DevicePeer::HandleFrame(const std::string&, int& fd)
{
    if (m_silent || fd < 0)
        return;
    if (m_next >= m_records.size()) {
        HangUp(fd);
        return;
    }
    const PeerRecord& record = m_records[m_next++];
    Send(fd, record);
    if (record.hangUp)
        HangUp(fd);
}

// Over TCP the device closes the connection; a terminal cannot be closed
// from this end without losing it, so there the device falls silent.
void DevicePeer::HangUp(int& fd)
{
    if (m_tcp && fd >= 0) {
        // Closing with unread input would reset the connection instead.
        char unread[4096];
        while (::read(fd, unread, sizeof unread) > 0) {
        }
        ::close(fd);
        fd = -1;
    }
    m_silent = true;
}

void DevicePeer::Send(int fd, const PeerRecord& record)
{
    bool first = true;
    for (const std::string& chunk : record.chunks) {
        if (chunk.empty())
            continue;
        if (!first)
            WaitUntilRead(fd);
        first = false;
        if (!WriteAll(fd, chunk))
            return;
    }
}

bool DevicePeer::WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    const auto end = Clock::now() + 2s;
    while (done < bytes.size() && !m_ending && Clock::now() < end) {
        const ssize_t n = m_tcp ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                                : ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            m_sent += uint64_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 1);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

bool DevicePeer::WaitReadable(int fd, int milliseconds)
{
    pollfd p[2] = {{fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
    return ::poll(p, 2, milliseconds) > 0 && !m_ending && (p[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

// Waits until the link has taken in everything sent so far, or has moved on
// (sent something, or closed). Bounded, so a link that stopped reading
// costs a moment, not the run.
void DevicePeer::WaitUntilRead(int fd)
{
    const auto start = Clock::now();
    bool arrived = false;
    while (!m_ending && Clock::now() - start < 2s) {
        if (Readable(fd))
            return;
        if (m_tcp) {
            if (m_clientSocket < 0) {
                if (Clock::now() - start > 5ms)
                    return;
            } else if (TcpBytesReceived(m_clientSocket) >= m_sent && Queued(m_clientSocket) == 0) {
                return;
            }
        } else {
            // Bytes reach the terminal's other end a moment after the write.
            const int queued = Queued(m_slave);
            arrived = arrived || queued > 0;
            if (queued == 0 && (arrived || Clock::now() - start > 5ms))
                return;
        }
        std::this_thread::sleep_for(20us);
    }
}
