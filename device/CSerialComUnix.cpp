#include "device/CSerialComUnix.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedConstant {
    int bitsPerSecond;
    speed_t constant;
};

// This C library takes the B-constants, not plain numbers.
constexpr SpeedConstant kSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},
    {38400, B38400},   {57600, B57600},   {115200, B115200}, {230400, B230400},
};
constexpr int kFallbackSpeed = 9600;

speed_t SpeedToConstant(int bitsPerSecond)
{
    for (const SpeedConstant& s : kSpeeds)
        if (s.bitsPerSecond == bitsPerSecond)
            return s.constant;
    return B9600;
}

std::string AsciiPath(const wxString& path)
{
    std::string out;
    out.reserve(path.length());
    for (const wxUniChar c : path)
        out += c.IsAscii() ? char(c.GetValue()) : '_';
    return out;
}

// O_NOCTTY keeps a serial port from becoming the program's controlling
// terminal, whose hang-up would otherwise signal the whole program.
constexpr int kOpenFlags = O_RDWR | O_NONBLOCK | O_NOCTTY;

} // namespace

CSerialComUnix::~CSerialComUnix()
{
    Close();
}

int CSerialComUnix::EffectiveSpeed(int speed)
{
    for (const SpeedConstant& s : kSpeeds)
        if (s.bitsPerSecond == speed)
            return speed;
    return kFallbackSpeed;
}

void CSerialComUnix::DropModemLines()
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIC, &lines);
}

int CSerialComUnix::Open(const wxString& path, int speed, int /*dataBits*/, int /*stopBits*/)
{
    Close();
    m_fd = ::open(AsciiPath(path).c_str(), kOpenFlags);
    if (m_fd == -1)
        return -1;

    termios settings{};
    settings.c_cflag = CS8 | CREAD | CLOCAL;
    const speed_t constant = SpeedToConstant(speed);
    ::cfsetispeed(&settings, constant);
    ::cfsetospeed(&settings, constant);
    // A port that refuses the settings still carries bytes; the device
    // link finds out from the replies.
    ::tcsetattr(m_fd, TCSAFLUSH, &settings);

    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIS, &lines);
    return 1;
}

bool CSerialComUnix::Close()
{
    if (m_fd == -1)
        return false;
    DropModemLines();
    ::close(m_fd);
    m_fd = -1;
    return true;
}

int CSerialComUnix::Write(const void* data, int length)
{
    if (m_fd == -1)
        return 0;
    return int(::write(m_fd, data, size_t(length)));
}

int CSerialComUnix::Read(void* buffer, int capacity)
{
    if (m_fd == -1)
        return 0;
    const ssize_t got = ::read(m_fd, buffer, size_t(capacity));
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return int(got);
}

bool CSerialComUnix::Exists(const wxString& path) const
{
    const int fd = ::open(AsciiPath(path).c_str(), kOpenFlags);
    if (fd == -1)
        return false;
    ::close(fd);
    return true;
}
