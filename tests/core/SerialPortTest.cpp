#include "device/CSerialComUnix.h"

#include "support/PseudoTerminal.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal settings as another descriptor of the same device sees them.
termios SettingsOf(const std::string& path)
{
    termios settings{};
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0) << path;
    if (fd >= 0) {
        EXPECT_EQ(0, ::tcgetattr(fd, &settings));
        ::close(fd);
    }
    return settings;
}

// Reads what the master end receives within a bounded wait.
Bytes ReadMaster(int master, size_t wanted)
{
    Bytes out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (out.size() < wanted && std::chrono::steady_clock::now() < end) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
            uint8_t buffer[256];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                out.insert(out.end(), buffer, buffer + n);
        }
    }
    return out;
}

} // namespace

TEST(SerialPort, OpensRawEightNoneOneAndMapsSpeeds)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOk());
    struct Case {
        int requested;
        speed_t expected;
    };
    const Case cases[] = {{300, B9600},     {460800, B9600},   {600, B9600},   {14400, B9600}, {28800, B9600},
                          {1200, B1200},    {19200, B19200},   {115200, B115200}, {230400, B230400}};
    CSerialComUnix port;
    for (const Case& c : cases) {
        ASSERT_EQ(1, port.Open(pty.SlavePath(), c.requested, 7, 2)) << c.requested;
        const termios s = SettingsOf(pty.SlavePath());
        EXPECT_EQ(c.expected, ::cfgetospeed(&s)) << c.requested;
        EXPECT_EQ(c.expected, ::cfgetispeed(&s)) << c.requested;
        // Eight data bits whatever was asked, no parity, one stop bit.
        EXPECT_EQ(tcflag_t(CS8), s.c_cflag & CSIZE);
        EXPECT_EQ(0u, s.c_cflag & (PARENB | CSTOPB | CRTSCTS));
        EXPECT_NE(0u, s.c_cflag & CREAD);
        EXPECT_NE(0u, s.c_cflag & CLOCAL);
        EXPECT_EQ(0u, s.c_lflag & (ICANON | ECHO | ISIG));
        EXPECT_EQ(0u, s.c_iflag & (IXON | IXOFF | ICRNL | INLCR));
        EXPECT_EQ(0, s.c_cc[VMIN]);
        EXPECT_EQ(0, s.c_cc[VTIME]);
    }
    EXPECT_EQ(9600, CSerialComUnix::EffectiveSpeed(300));
    EXPECT_EQ(57600, CSerialComUnix::EffectiveSpeed(57600));
}

TEST(SerialPort, ReadsAndWritesWithoutWaiting)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOk());
    CSerialComUnix port;
    ASSERT_EQ(1, port.Open(pty.SlavePath(), 9600, 8, 1));
    EXPECT_TRUE(port.IsOpen());

    uint8_t buffer[64];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, port.Read(buffer, sizeof buffer));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));

    // Raw mode: CR, LF and control bytes pass untranslated both ways.
    const uint8_t out[] = {'a', 0x0D, 0x0A, 0x10, 0x03, 0xFF};
    ASSERT_EQ(int(sizeof out), port.Write(out, sizeof out));
    const Bytes atMaster = ReadMaster(pty.Master(), sizeof out);
    EXPECT_EQ(Bytes(out, out + sizeof out), atMaster) << HexDump(atMaster.data(), atMaster.size());

    const uint8_t in[] = {0x0D, 'x', 0x0A, 0x7F};
    ASSERT_EQ(ssize_t(sizeof in), ::write(pty.Master(), in, sizeof in));
    Bytes got;
    for (int i = 0; i < 40 && got.size() < sizeof in; ++i) {
        const int n = port.Read(buffer, sizeof buffer);
        ASSERT_GE(n, 0);
        got.insert(got.end(), buffer, buffer + n);
        ::usleep(10000);
    }
    EXPECT_EQ(Bytes(in, in + sizeof in), got) << HexDump(got.data(), got.size());
}

TEST(SerialPort, CloseAndClosedState)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOk());
    CSerialComUnix port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Close());
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, port.Read(buffer, sizeof buffer));
    EXPECT_EQ(0, port.Write(buffer, sizeof buffer));

    ASSERT_EQ(1, port.Open(pty.SlavePath(), 9600, 8, 1));
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Close());
    EXPECT_EQ(0, port.Write(buffer, sizeof buffer));

    EXPECT_EQ(-1, port.Open("/dev/qst-no-such-port", 9600, 8, 1));
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, OpenOnAnOpenPortReleasesTheFirst)
{
    PseudoTerminal first;
    PseudoTerminal second;
    ASSERT_TRUE(first.IsOk() && second.IsOk());
    CSerialComUnix port;
    ASSERT_EQ(1, port.Open(first.SlavePath(), 9600, 8, 1));
    ASSERT_EQ(1, port.Open(second.SlavePath(), 9600, 8, 1));
    // With no slave descriptor left, the first master reports a hang-up.
    pollfd p{first.Master(), POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, 1000));
    EXPECT_NE(0, p.revents & POLLHUP);
    pollfd q{second.Master(), POLLIN, 0};
    EXPECT_EQ(0, ::poll(&q, 1, 0));
}

TEST(SerialPort, ExistsProbesWithoutDisturbing)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOk());
    CSerialComUnix holder;
    CSerialComUnix probe;
    EXPECT_TRUE(probe.Exists(pty.SlavePath()));
    ASSERT_EQ(1, holder.Open(pty.SlavePath(), 9600, 8, 1));
    EXPECT_TRUE(holder.Exists(pty.SlavePath()));
    EXPECT_TRUE(probe.Exists(pty.SlavePath()));
    EXPECT_TRUE(holder.IsOpen());
    EXPECT_FALSE(probe.IsOpen());
    EXPECT_FALSE(probe.Exists("/dev/qst-no-such-port"));

    // Characters outside ASCII in the path stand for "_".
    TempDir dir;
    WriteFileBytes(dir.File("port_1"), Bytes{});
    EXPECT_TRUE(probe.Exists(wxString::FromUTF8(dir.File("port\xC3\xA9" "1").c_str())));
    EXPECT_FALSE(probe.Exists(wxString::FromUTF8(dir.File("port\xC3\xA9" "2").c_str())));
}
