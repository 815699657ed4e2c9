// qst-devsim: stands in for a device's firmware on loopback TCP addresses
// and/or a pseudo-terminal, so the utility can be tried and tested without
// hardware. The options are described in kUsage (--help).
#include "DeviceSimulator.h"

#include "config/ConfigData.h"

#include <wx/init.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kDle = 0x10;
constexpr unsigned kSplitPauseMs = 30;

// --quick-unknown: the pause between empty lines, their most in one go, and
// how long a reply waits after the last of them.
using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kEmptyLinePause{20};
constexpr unsigned kMostEmptyLines = 100;
constexpr std::chrono::milliseconds kReplyAfterEmptyLine{100};

const char kUsage[] = R"(Usage: qst-devsim [options]

Simulates a Quorastelline device: answers the device command protocol
(identity, protocol version, clock, reboot and configuration transfer in
protocol 1.1 or 1.0) on loopback TCP addresses and/or a pseudo-terminal.

On start it prints one line per endpoint, then "ready":
    tcp ADDRESS PORT
    pty PATH
    ready
and runs in the foreground until SIGTERM/SIGINT or until its standard input
reaches end of file (unless --ignore-stdin).

Endpoints:
  --listen ADDRESS     listen on this loopback address (127.x.x.x); may be
                       given several times. Default 127.0.0.1 unless only
                       --pty is given. Other addresses are refused.
  --port N             TCP port for every address (default 0: the first
                       address takes a free port and the others share it)
  --pty                also serve a pseudo-terminal and print its path
  --ignore-stdin       keep running when standard input closes

Device:
  --protocol V         protocol version: 1.1 (default); 1.0 (answers "ver"
                       with "Unknown command" and speaks the one-frame
                       transfer); any other MAJOR.MINOR is reported as it is
  --quick-unknown      over TCP, follow every "Unknown command" line with
                       empty lines, 20 ms apart and each in a TCP segment of
                       its own, until the utility sends again (at most 100):
                       they use up the reads it allows itself per attempt,
                       so the attempt ends at once instead of after 5 s of
                       silence, which makes tests of protocol 1.0 fast. The
                       reply to what it sends next waits until 100 ms after
                       the last empty line, so that no empty line arrives
                       together with it. A real device stays silent after
                       "Unknown command"; so does the simulator without this
                       option, and on the pseudo-terminal
  --id TEXT            identity line (must start with "Quorastelline" for
                       the utility to accept it)
  --config FILE        start from this .qst file (default: the utility's
                       default configuration)
  --save FILE          save the held configuration to this .qst file after
                       every complete write
  --write-protect      refuse writes ("Error: ...") while the held
                       configuration has write protect set
  --log FILE           append one line per event: "open", "close" and
                       "frame HEX" for each frame received (unescaped,
                       without CR LF)

Faults. STEP is one of: id ver time reboot get-S get-0 get-1 .. get-6
get-E get-D set-S set-0 set-1 .. set-6 set-E set-D get set (the last two
are protocol 1.0's whole-configuration frames), or "any". Each option may
be given several times for different steps; a step's own fault wins over
"any".
  --silent STEP        never answer that step
  --unknown STEP       answer "Unknown command"
  --error STEP[:TEXT]  answer "Error: TEXT" (default text "Simulated failure")
  --delay STEP:MS      wait MS milliseconds before answering
  --garbage STEP[:N]   send N lines of noise (default 1) ahead of the reply,
                       in the same write
  --drop STEP          close the connection instead of answering (on the
                       pseudo-terminal: stay silent and forget the transfer)
  --short STEP         cut the reply line to about half (payload incomplete)
  --split N            send every reply in N pieces, 30 ms apart
  --bad-checksum       protocol 1.0 read: send a wrong frame checksum
  --bad-ip-checksum    reads: send the IP block with a wrong own checksum
  --corrupt-store      acknowledge every write but hold node 1's first slave
                       ID with its lowest bit flipped (what a read then gives)

  --help               show this text
)";

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 's';
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

struct Options {
    std::vector<std::string> addresses;
    unsigned port = 0;
    bool pty = false;
    bool ignoreStdin = false;
    std::string configFile;
    std::string logFile;
    SimulatorSettings settings;
};

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "qst-devsim: %s\n", message.c_str());
    return false;
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned& value)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end || errno || v > max || text[0] == '-')
        return false;
    value = unsigned(v);
    return true;
}

// "STEP" or "STEP:ARG"
bool ParseStep(const std::string& spec, std::string& step, std::string& arg)
{
    const size_t colon = spec.find(':');
    step = spec.substr(0, colon);
    arg = colon == std::string::npos ? "" : spec.substr(colon + 1);
    return DeviceSimulator::IsStepName(step);
}

bool IsLoopback(const std::string& address)
{
    in_addr a{};
    return ::inet_pton(AF_INET, address.c_str(), &a) == 1 && (ntohl(a.s_addr) >> 24) == 127;
}

bool ParseOptions(int argc, char** argv, Options& o, bool& help)
{
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return Fail(name + " needs a value");
            out = argv[++i];
            return true;
        };
        std::string v;
        if (name == "--help" || name == "-h") {
            help = true;
            return true;
        } else if (name == "--pty") {
            o.pty = true;
        } else if (name == "--ignore-stdin") {
            o.ignoreStdin = true;
        } else if (name == "--write-protect") {
            o.settings.writeProtect = true;
        } else if (name == "--bad-checksum") {
            o.settings.badChecksum = true;
        } else if (name == "--bad-ip-checksum") {
            o.settings.badIpChecksum = true;
        } else if (name == "--corrupt-store") {
            o.settings.corruptStore = true;
        } else if (name == "--quick-unknown") {
            o.settings.quickUnknown = true;
        } else if (!value(v)) {
            return false;
        } else if (name == "--listen") {
            if (!IsLoopback(v))
                return Fail("refusing to listen on " + v + ": only loopback addresses (127.x.x.x) are served");
            o.addresses.push_back(v);
        } else if (name == "--port") {
            if (!ParseNumber(v, 65535, o.port))
                return Fail("bad port " + v);
        } else if (name == "--protocol") {
            unsigned major = 0;
            unsigned minor = 0;
            const size_t dot = v.find('.');
            if (dot == std::string::npos || !ParseNumber(v.substr(0, dot), 255, major) ||
                !ParseNumber(v.substr(dot + 1), 255, minor))
                return Fail("bad protocol version " + v);
            o.settings.versionMajor = major;
            o.settings.versionMinor = minor;
        } else if (name == "--id") {
            o.settings.identity = v;
        } else if (name == "--config") {
            o.configFile = v;
        } else if (name == "--save") {
            o.settings.saveFile = v;
        } else if (name == "--log") {
            o.logFile = v;
        } else if (name == "--split") {
            if (!ParseNumber(v, 1000, o.settings.splitChunks) || o.settings.splitChunks == 0)
                return Fail("bad piece count " + v);
        } else {
            std::string step;
            std::string arg;
            if (!ParseStep(v, step, arg))
                return Fail("unknown step in " + v);
            StepFault& fault = o.settings.faults[step];
            if (name == "--silent")
                fault.silent = true;
            else if (name == "--unknown")
                fault.unknown = true;
            else if (name == "--drop")
                fault.drop = true;
            else if (name == "--short")
                fault.shortReply = true;
            else if (name == "--error")
                fault.errorText = "Error: " + (arg.empty() ? std::string("Simulated failure") : arg);
            else if (name == "--delay") {
                if (!ParseNumber(arg, 600000, fault.delayMs))
                    return Fail("bad delay in " + v);
            } else if (name == "--garbage") {
                fault.garbageLines = 1;
                if (!arg.empty() && !ParseNumber(arg, 100, fault.garbageLines))
                    return Fail("bad line count in " + v);
            } else
                return Fail("unknown option " + name + " (see --help)");
        }
    }
    if (o.addresses.empty() && !o.pty)
        o.addresses.push_back("127.0.0.1");
    return true;
}

class Log
{
public:
    bool Open(const std::string& path)
    {
        if (path.empty())
            return true;
        m_file = std::fopen(path.c_str(), "a");
        return m_file != nullptr;
    }
    ~Log()
    {
        if (m_file)
            std::fclose(m_file);
    }
    void Line(const std::string& text)
    {
        if (!m_file)
            return;
        std::fprintf(m_file, "%s\n", text.c_str());
        std::fflush(m_file);
    }
    void Frame(const Bytes& frame)
    {
        std::string text = "frame ";
        char hex[3];
        for (const uint8_t b : frame) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            text += hex;
        }
        Line(text);
    }

private:
    FILE* m_file = nullptr;
};

// One TCP connection or the pseudo-terminal: unescapes incoming bytes into
// frames and hands each to the simulator.
struct Endpoint {
    int fd = -1;
    bool isPty = false;
    bool escaped = false;
    Bytes frame;
    Session session;
    // --quick-unknown: empty lines still to send, when the next is due,
    // and no reply before this time.
    unsigned emptyLines = 0;
    Clock::time_point nextEmptyLine;
    Clock::time_point replyNotBefore;
};

// SIGPIPE is ignored, so a peer that went away shows as a failed write.
bool WriteAll(int fd, const uint8_t* data, size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 1000);
                continue;
            }
            return false;
        }
        data += n;
        length -= size_t(n);
    }
    return true;
}

void Send(Endpoint& e, const Bytes& wire, unsigned pieces)
{
    const size_t n = std::min<size_t>(std::max(pieces, 1u), wire.size());
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t end = i + 1 == n ? wire.size() : wire.size() * (i + 1) / n;
        if (i > 0)
            ::usleep(kSplitPauseMs * 1000);
        if (!WriteAll(e.fd, wire.data() + start, end - start))
            return;
        start = end;
    }
}

bool InputWaiting(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

// --quick-unknown. The utility reads at most ten times per attempt at a
// command, each read taking whatever has arrived; after "Unknown command"
// an attempt cannot succeed, and it ends when those reads are used up or
// after 5 s of silence. Empty lines, each on its own, use up the reads. How
// many reads they take depends on how fast the utility reads, so they go on
// until it sends again, which it does only once the attempt is over. A line
// sent just as it sends could arrive after it dropped what was waiting, and
// so together with the next reply, whose start would then be dropped with
// the rest of that read: the reply waits a little.
void SendDueEmptyLine(Endpoint& e)
{
    static const uint8_t kEmptyLine[] = {kCr, kLf};
    const auto now = Clock::now();
    if (e.emptyLines == 0 || now < e.nextEmptyLine)
        return;
    if (InputWaiting(e.fd)) {
        e.emptyLines = 0;  // the next Receive takes it
        return;
    }
    if (!WriteAll(e.fd, kEmptyLine, sizeof kEmptyLine)) {
        e.emptyLines = 0;
        return;
    }
    --e.emptyLines;
    e.nextEmptyLine = now + kEmptyLinePause;
    e.replyNotBefore = now + kReplyAfterEmptyLine;
}

// False when the endpoint is to be closed.
bool Receive(Endpoint& e, DeviceSimulator& simulator, const SimulatorSettings& settings, Log& log)
{
    uint8_t buffer[4096];
    const ssize_t got = ::read(e.fd, buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR && !(e.isPty && errno == EIO)))
        return false;
    if (got > 0)
        e.emptyLines = 0;  // the utility has ended its attempt
    for (ssize_t i = 0; i < got; ++i) {
        const uint8_t b = buffer[i];
        if (e.escaped) {
            e.frame.push_back(b);
            e.escaped = false;
        } else if (b == kDle) {
            e.escaped = true;
        } else if (b == kCr || b == kLf) {
            if (e.frame.empty())
                continue;
            log.Frame(e.frame);
            const Response response = simulator.Handle(e.session, e.frame);
            e.frame.clear();
            if (response.delayMs)
                ::usleep(useconds_t(response.delayMs) * 1000);
            if (response.drop) {
                if (!e.isPty)
                    return false;
                continue;
            }
            if (response.wire.empty())
                continue;
            const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(e.replyNotBefore - Clock::now());
            if (wait.count() > 0)
                ::usleep(useconds_t(wait.count()));
            Send(e, response.wire, settings.splitChunks);
            if (response.unknown && settings.quickUnknown && !e.isPty) {
                e.emptyLines = kMostEmptyLines;
                e.nextEmptyLine = Clock::now() + kEmptyLinePause;
            }
        } else {
            e.frame.push_back(b);
        }
    }
    return true;
}

int Listen(const std::string& address, unsigned& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    socklen_t length = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

// The master end, and the slave held open so that the utility's closing
// the port is not a hang-up that ends the terminal.
bool OpenPty(int& master, int& slave, std::string& path)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || !::ptsname(master))
        return false;
    path = ::ptsname(master);
    slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return false;
    termios raw{};
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    return true;
}

int Run(const Options& o)
{
    ConfigData initial;
    if (!o.configFile.empty()) {
        wxString error;
        if (!initial.Load(o.configFile, error)) {
            Fail("cannot load " + o.configFile + ": " + error.utf8_string());
            return 2;
        }
    }
    DeviceSimulator simulator(o.settings, initial.GetMainBlock(), initial.GetIpBlock());
    Log log;
    if (!log.Open(o.logFile)) {
        Fail("cannot open log " + o.logFile);
        return 2;
    }

    std::vector<int> listeners;
    unsigned port = o.port;
    for (const std::string& address : o.addresses) {
        const int fd = Listen(address, port);
        if (fd < 0) {
            Fail("cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno));
            return 2;
        }
        listeners.push_back(fd);
        std::printf("tcp %s %u\n", address.c_str(), port);
    }
    std::vector<Endpoint> endpoints;
    int ptySlave = -1;
    if (o.pty) {
        Endpoint e;
        e.isPty = true;
        std::string path;
        if (!OpenPty(e.fd, ptySlave, path)) {
            Fail(std::string("cannot open a pseudo-terminal: ") + std::strerror(errno));
            return 2;
        }
        endpoints.push_back(e);
        std::printf("pty %s\n", path.c_str());
    }
    std::printf("ready\n");
    std::fflush(stdout);

    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({g_signalPipe[0], POLLIN, 0});
        fds.push_back({o.ignoreStdin ? -1 : STDIN_FILENO, POLLIN, 0});
        for (const int fd : listeners)
            fds.push_back({fd, POLLIN, 0});
        for (const Endpoint& e : endpoints)
            fds.push_back({e.fd, POLLIN, 0});
        // Waits no longer than until the next empty line is due.
        int timeout = -1;
        for (const Endpoint& e : endpoints) {
            if (e.emptyLines == 0)
                continue;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(e.nextEmptyLine - Clock::now());
            const int ms = int(std::max<long long>(0, left.count()));
            timeout = timeout < 0 ? ms : std::min(timeout, ms);
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        if (fds[1].revents) {
            char buffer[256];
            if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
        size_t k = 2;
        for (const int fd : listeners) {
            if (fds[k++].revents & POLLIN) {
                const int c = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (c >= 0) {
                    const int on = 1;
                    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                    Endpoint e;
                    e.fd = c;
                    endpoints.push_back(e);
                    log.Line("open");
                }
            }
        }
        for (size_t i = 0; i < endpoints.size(); ++i, ++k) {
            if (k >= fds.size() || !fds[k].revents)
                continue;
            if (!Receive(endpoints[i], simulator, o.settings, log) && !endpoints[i].isPty) {
                ::close(endpoints[i].fd);
                endpoints[i].fd = -1;
                log.Line("close");
            }
        }
        endpoints.erase(std::remove_if(endpoints.begin(), endpoints.end(), [](const Endpoint& e) { return e.fd < 0; }),
                        endpoints.end());
        for (Endpoint& e : endpoints)
            SendDueEmptyLine(e);
    }

    for (const Endpoint& e : endpoints)
        ::close(e.fd);
    for (const int fd : listeners)
        ::close(fd);
    if (ptySlave >= 0)
        ::close(ptySlave);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, options, help)) {
        std::fprintf(stderr, "Try qst-devsim --help\n");
        return 2;
    }
    if (help) {
        std::printf("%s", kUsage);
        return 0;
    }
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;

    if (::pipe2(g_signalPipe, O_CLOEXEC) != 0)
        return 2;
    struct sigaction action{};
    action.sa_handler = OnSignal;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return Run(options);
}
