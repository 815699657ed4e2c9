// The request/reply exchange against a scripted peer: a loopback TCP
// connection or the master end of a pseudo-terminal, driven byte by byte.
#include "device/ConfigProtocol.h"

#include "support/PseudoTerminal.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The peer's end of one connection, used from the peer's thread.
class PeerEnd
{
public:
    explicit PeerEnd(int fd) : m_fd(fd) {}

    // The raw bytes of the next frame, up to and including its CR LF; a DLE
    // keeps the byte after it from ending the frame. Empty after `limit`.
    Bytes ReceiveFrame(std::chrono::milliseconds limit = 3000ms)
    {
        Bytes frame;
        bool escaped = false;
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            while (m_pending.empty()) {
                if (!Fill(end))
                    return {};
            }
            const uint8_t b = m_pending.front();
            m_pending.erase(m_pending.begin());
            frame.push_back(b);
            if (escaped)
                escaped = false;
            else if (b == 0x10)
                escaped = true;
            else if (b == 0x0A && frame.size() >= 2 && frame[frame.size() - 2] == 0x0D) {
                ++m_frames;
                return frame;
            }
        }
        return {};
    }
    void Send(const Bytes& bytes) { EXPECT_EQ(ssize_t(bytes.size()), ::write(m_fd, bytes.data(), bytes.size())); }
    void Send(const std::string& text) { Send(B(text)); }
    int Frames() const { return m_frames; }

private:
    bool Fill(Clock::time_point end)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, int(left)) <= 0)
            return false;
        uint8_t buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) {
            std::this_thread::sleep_for(10ms);  // a pseudo-terminal with its slave closed
            return Clock::now() < end;
        }
        m_pending.insert(m_pending.end(), buffer, buffer + n);
        return true;
    }

    int m_fd;
    Bytes m_pending;
    int m_frames = 0;
};

using Script = std::function<void(PeerEnd&)>;

// Runs a script on its own thread at the peer's end of a TCP connection or
// a pseudo-terminal; the client side is a ConfigProtocol linked to it.
class ScriptedPeer
{
public:
    explicit ScriptedPeer(bool tcp) : m_tcp(tcp)
    {
        if (tcp) {
            m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t length = sizeof a;
            if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(m_listener, 1) == 0 &&
                ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length) == 0)
                m_port = ntohs(a.sin_port);
        }
    }
    ~ScriptedPeer()
    {
        Join();
        if (m_connection >= 0)
            ::close(m_connection);
        if (m_listener >= 0)
            ::close(m_listener);
    }

    void Start(Script script)
    {
        m_thread = std::thread([this, script] {
            int fd = m_pty.Master();
            if (m_tcp) {
                pollfd p{m_listener, POLLIN, 0};
                if (::poll(&p, 1, 5000) <= 0)
                    return;
                fd = m_connection = ::accept(m_listener, nullptr, nullptr);
            }
            PeerEnd end(fd);
            script(end);
            m_frames = end.Frames();
        });
    }
    // The number of frames the script received.
    int Join()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_frames;
    }

    bool Open(ConfigProtocol& link)
    {
        return m_tcp ? link.OpenLink(true, "127.0.0.1", m_port) : link.OpenLink(false, m_pty.SlavePath(), 9600);
    }
    bool Tcp() const { return m_tcp; }
    int Port() const { return m_port; }
    // A pause that keeps two sends in separate reads on this link: serial
    // reads come every 500 ms.
    std::chrono::milliseconds Gap() const { return m_tcp ? 100ms : 700ms; }

private:
    bool m_tcp;
    PseudoTerminal m_pty;
    int m_listener = -1;
    int m_connection = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<int> m_frames{0};
};

struct Exchange {
    int16_t result = 0;
    Bytes reply;  // the first max(result, -result) bytes, plus one more for errors
};

// The link's waits, but 1 s of silence ends a TCP attempt instead of 5 s:
// for tests over TCP that meet silence without being about its length.
LinkTiming ShortTcpSilence()
{
    LinkTiming timing;
    timing.tcpPollMs = 1000;
    return timing;
}

// One Transact over a fresh link to a peer running `script`.
Exchange RunExchange(bool tcp, const Bytes& command, const char* expected, const Script& script, uint8_t attempts = 1,
             int* framesSeen = nullptr, uint16_t replySize = ConfigProtocol::kReplyBufferSize,
             const LinkTiming& timing = LinkTiming())
{
    ScriptedPeer peer(tcp);
    peer.Start(script);
    ConfigProtocol link;
    link.SetLinkTiming(timing);
    Exchange out;
    if (!peer.Open(link)) {
        ADD_FAILURE() << "link did not open";
        return out;
    }
    Bytes buffer(replySize, 0xEE);
    out.result = link.Transact(tcp, command.data(), uint16_t(command.size()), expected, buffer.data(), replySize,
                               attempts);
    link.CloseLink(tcp);
    const size_t shown = size_t(out.result < 0 ? -out.result + 1 : out.result);
    out.reply.assign(buffer.begin(), buffer.begin() + long(std::min(shown, buffer.size())));
    const int frames = peer.Join();
    if (framesSeen)
        *framesSeen = frames;
    return out;
}

class TransactBothLinks : public ::testing::TestWithParam<bool>
{
protected:
    bool Tcp() const { return GetParam(); }
    std::chrono::milliseconds Gap() const { return Tcp() ? 100ms : 700ms; }
};

} // namespace

TEST_P(TransactBothLinks, EscapesTheCommandAndEndsItWithCrLf)
{
    Bytes seen;
    const Exchange e = RunExchange(Tcp(), {'A', 0x0D, 0x0A, 0x10, 'B'}, "OK", [&](PeerEnd& peer) {
        seen = peer.ReceiveFrame();
        peer.Send("OK\r\n");
    });
    EXPECT_EQ(Bytes({'A', 0x10, 0x0D, 0x10, 0x0A, 0x10, 0x10, 'B', 0x0D, 0x0A}), seen)
        << HexDump(seen.data(), seen.size());
    EXPECT_EQ(3, e.result);
    EXPECT_EQ(B("OK\r"), e.reply);

    const Exchange empty = RunExchange(Tcp(), {}, "OK", [&](PeerEnd& peer) {
        seen = peer.ReceiveFrame();
        peer.Send("OK\r\n");
    });
    EXPECT_EQ(Bytes({0x0D, 0x0A}), seen);
    EXPECT_EQ(3, empty.result);
}

TEST_P(TransactBothLinks, TakesEscapedReplyBytesLiterally)
{
    const Exchange e = RunExchange(Tcp(), B("get"), "Get config 0 ", [](PeerEnd& peer) {
        peer.ReceiveFrame();
        peer.Send(Cat({B("Get config 0 "), {0x10, 0x0D, 0x10, 0x0A, 0x10, 0x10, 0x01}, B("\r\n")}));
    });
    EXPECT_EQ(13 + 4 + 1, e.result);
    EXPECT_EQ(Cat({B("Get config 0 "), {0x0D, 0x0A, 0x10, 0x01, 0x0D}}), e.reply);
}

TEST_P(TransactBothLinks, DleEndingAChunkEscapesTheNextChunksFirstByte)
{
    const Exchange e = RunExchange(Tcp(), B("get"), "Get config 0 ", [&](PeerEnd& peer) {
        peer.ReceiveFrame();
        peer.Send(Cat({B("Get config 0 "), {0x10}}));
        std::this_thread::sleep_for(Gap());
        peer.Send(Cat({{0x0D}, B("x\r\n")}));
    });
    EXPECT_EQ(13 + 2 + 1, e.result);
    EXPECT_EQ(Cat({B("Get config 0 "), {0x0D, 'x', 0x0D}}), e.reply);
}

TEST_P(TransactBothLinks, JoinsAReplySplitOverReads)
{
    const Exchange e = RunExchange(Tcp(), B("get config S"), "Get config S OK", [&](PeerEnd& peer) {
        peer.ReceiveFrame();
        peer.Send("Get con");
        std::this_thread::sleep_for(Gap());
        peer.Send("fig S OK\r\n");
    });
    EXPECT_EQ(16, e.result);
    EXPECT_EQ(B("Get config S OK\r"), e.reply);
}

TEST_P(TransactBothLinks, ErrorLineEndsTheExchangeAtOnce)
{
    int frames = 0;
    const Exchange e = RunExchange(
        Tcp(), B("reboot"), "Rebooting...",
        [&](PeerEnd& peer) {
            peer.ReceiveFrame();
            peer.Send("Error: twelve chars\r\n");
            peer.ReceiveFrame(1500ms);  // no second attempt comes
        },
        3, &frames);
    EXPECT_EQ(-19, e.result);
    EXPECT_EQ(Cat({B("Error: twelve chars"), {0}}), e.reply);
    EXPECT_EQ(1, frames);

    // A small buffer holds the line and its NUL; a line it cannot hold
    // never completes.
    auto answer = [](const char* line) {
        return [line](PeerEnd& peer) {
            peer.ReceiveFrame();
            peer.Send(line);
        };
    };
    const Exchange small = RunExchange(Tcp(), B("reboot"), "Rebooting...", answer("Error: abcdef\r\n"), 1, nullptr, 16);
    EXPECT_EQ(-13, small.result);
    EXPECT_EQ(Cat({B("Error: abcdef"), {0}}), small.reply);
    EXPECT_EQ(0, RunExchange(Tcp(), B("reboot"), "Rebooting...", answer("Error: abcdefghijk\r\n"), 1, nullptr, 16,
                             ShortTcpSilence())
                     .result);
}

TEST_P(TransactBothLinks, MatchesOnThePrefixAndDiscardsOtherLines)
{
    const Exchange e = RunExchange(Tcp(), B("id"), "Quorastelline", [&](PeerEnd& peer) {
        peer.ReceiveFrame();
        peer.Send("Hello there\r\n");
        std::this_thread::sleep_for(Gap());
        peer.Send("Quorastelline QX-6 rev B\n");
    });
    EXPECT_EQ(25, e.result);
    EXPECT_EQ(B("Quorastelline QX-6 rev B\n"), e.reply);
}

TEST_P(TransactBothLinks, UnknownCommandSpoilsTheRestOfTheAttempt)
{
    int frames = 0;
    const Exchange e = RunExchange(
        Tcp(), B("ver"), "OK",
        [&](PeerEnd& peer) {
            peer.ReceiveFrame();
            peer.Send("Unknown command\r\n");
            std::this_thread::sleep_for(Gap());
            peer.Send("OK\r\n");  // appended to the kept text: no match
            if (!peer.ReceiveFrame(3000ms).empty())
                peer.Send("OK\r\n");  // the second attempt is answered
        },
        2, &frames, ConfigProtocol::kReplyBufferSize, ShortTcpSilence());
    EXPECT_EQ(3, e.result);
    EXPECT_EQ(2, frames);
}

TEST_P(TransactBothLinks, SilenceUsesUpEveryAttempt)
{
    int frames = 0;
    const auto start = Clock::now();
    const Exchange e = RunExchange(
        Tcp(), B("id"), "Quorastelline",
        [&](PeerEnd& peer) {
            for (int i = 0; i < 4; ++i)
                peer.ReceiveFrame(Tcp() ? 6000ms : 1500ms);
        },
        3, &frames);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(0, e.result);
    EXPECT_EQ(3, frames);
    if (Tcp()) {
        EXPECT_GE(elapsed, 15s);
        EXPECT_LT(elapsed, 18s);
    } else {
        EXPECT_LT(elapsed, 4s);
    }
}

INSTANTIATE_TEST_SUITE_P(Links, TransactBothLinks, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Tcp" : "Pty"; });

TEST(Transact, BareTerminatorsUseUpPolls)
{
    auto script = [](int bare) {
        return [bare](PeerEnd& peer) {
            peer.ReceiveFrame();
            for (int i = 0; i < bare; ++i) {
                peer.Send(i % 2 ? "\n" : "\r");
                std::this_thread::sleep_for(60ms);
            }
            peer.Send("OK\r\n");
        };
    };
    // Ten polls per attempt: nine empty lines leave one for the reply.
    EXPECT_EQ(3, RunExchange(true, B("x"), "OK", script(9)).result);
    EXPECT_EQ(0, RunExchange(true, B("x"), "OK", script(10)).result);
}

TEST(Transact, LateReplyOverTcpIsNotWaitedFor)
{
    int frames = 0;
    const Exchange e = RunExchange(
        true, B("id"), "Quorastelline",
        [](PeerEnd& peer) {
            peer.ReceiveFrame();
            std::this_thread::sleep_for(5500ms);
            peer.Send("Quorastelline late\r\n");
            peer.ReceiveFrame(2000ms);
        },
        2, &frames);
    EXPECT_EQ(19, e.result);
    EXPECT_EQ(2, frames);  // the frame went again after five silent seconds
}

TEST(Transact, StaleInputIsDiscardedBeforeSending)
{
    const Exchange e = RunExchange(true, B("x"), "OK", [](PeerEnd& peer) {
        peer.Send("Error: stale\r\n");
        peer.ReceiveFrame();
        peer.Send("OK\r\n");
    });
    EXPECT_EQ(3, e.result);
}

TEST(Transact, NothingGoesOutWithoutAttemptsOrLink)
{
    int frames = 0;
    const Exchange e = RunExchange(
        true, B("x"), "OK", [](PeerEnd& peer) { peer.ReceiveFrame(500ms); }, 0, &frames);
    EXPECT_EQ(0, e.result);
    EXPECT_EQ(0, frames);

    ConfigProtocol link;
    uint8_t reply[16];
    const uint8_t command[] = {'x'};
    EXPECT_EQ(0, link.Transact(true, command, 1, "OK", reply, sizeof reply, 3));
    EXPECT_EQ(0, link.Transact(false, command, 1, "OK", reply, sizeof reply, 3));
}

TEST(DeviceCommands, VersionLineForms)
{
    struct Case {
        const char* line;
        int major;
        int minor;
    };
    // Numbers that do not read, or do not fit a byte, make a version no
    // transfer accepts rather than a wrapped-around one.
    const Case cases[] = {{"Protocol version   1.  1\r\n", 1, 1},
                          {"Protocol version 2.13 beta\r\n", 2, 13},
                          {"Protocol version one\r\n", 0, 0},
                          {"Protocol version 257.1\r\n", 0, 0}};
    for (const Case& c : cases) {
        ScriptedPeer peer(true);
        peer.Start([&](PeerEnd& end) {
            end.ReceiveFrame();
            end.Send(c.line);
        });
        ConfigProtocol link;
        ASSERT_TRUE(peer.Open(link));
        uint8_t major = 9;
        uint8_t minor = 9;
        wxString error = "untouched";
        EXPECT_TRUE(link.GetProtocolVersion(true, major, minor, error)) << c.line;
        EXPECT_EQ(c.major, major) << c.line;
        EXPECT_EQ(c.minor, minor) << c.line;
        EXPECT_EQ("untouched", error);
        link.CloseLink(true);
    }
}

TEST(DeviceCommands, IdentityKeepsAtMost1023Bytes)
{
    const std::string text = "Quorastelline " + std::string(1009, 'x');  // 1023 characters
    ScriptedPeer peer(true);
    peer.Start([&](PeerEnd& end) {
        end.ReceiveFrame();
        end.Send(text + "\r\n");
    });
    ConfigProtocol link;
    wxString identity;
    wxString error;
    ASSERT_TRUE(link.GetDeviceId(true, "127.0.0.1", peer.Port(), identity, error)) << error;
    EXPECT_EQ(wxString(text), identity);
}
