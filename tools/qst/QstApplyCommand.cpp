// qst apply: one configuration to many devices at once. Each device keeps
// its own IP settings unless an inventory gives them; a device is written
// only when it differs, and every write is read back and compared.
//
// Each device is handled in a child process of its own (fork, no exec):
// the device link (a wxSocketClient, or a serial port) and everything it
// touches live in one single-threaded process, as in every other qst
// command, so links share no state and need no locks, and one device that
// hangs or crashes cannot disturb another. The parent only parses, decides,
// and collects each child's result as JSON through a pipe. Linking waits
// dominate (100 ms after connecting, 10 ms per frame), so many devices are
// served at once; the processor work per device is small.
#include "QstCommand.h"

#include "config/BlockCrc.h"
#include "config/ConfigCompare.h"
#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Json = nlohmann::json;

constexpr long kDefaultJobs = 64;
constexpr long kDefaultTimeoutMs = 5000;

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

std::string Dump(const Json& json, int indent = -1)
{
    return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// ---- What the run is told: the devices and the IP settings each gets.

// The IP settings an inventory line gives; the others stay as the device
// holds them.
struct IpOverrides {
    bool address = false, mask = false, gateway = false, mac = false, bootPort = false;
    uint8_t addressBytes[4]{}, maskBytes[4]{}, gatewayBytes[4]{}, macBytes[6]{};
    uint16_t bootPortValue = 0;
};

enum class State { Pending, Unchanged, WouldChange, Changed, Failed };

struct Device {
    QstTarget target;
    wxString name;    // how the results name it
    wxString origin;  // where it was given, for messages
    IpOverrides set;

    // What the run found and did.
    State state = State::Pending;
    wxString reason;  // why it failed
    bool interrupted = false;
    bool written = false;  // a write was started: the device may have taken some of it
    bool read = false;     // its configuration was read
    bool shown = false;    // its progress line was shown
    MainBlock main{};      // as read
    IpBlock ip{};
    bool legacy = false;
    IpBlock desiredIp{};
    std::vector<ConfigDifference> differences;
};

wxString AddressText(const uint8_t* bytes)
{
    return wxString::Format("%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
}

bool ParseAddress(const wxString& text, uint8_t* bytes)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.utf8_string().c_str(), &address) != 1)
        return false;
    std::memcpy(bytes, &address, 4);
    return true;
}

// Six pairs of hex digits separated by colons.
bool ParseMac(const wxString& text, uint8_t* bytes)
{
    const std::string s = text.utf8_string();
    if (s.size() != 17)
        return false;
    for (size_t i = 0; i < 6; ++i) {
        const size_t at = i * 3;
        if (!std::isxdigit(static_cast<unsigned char>(s[at])) ||
            !std::isxdigit(static_cast<unsigned char>(s[at + 1])) || (i < 5 && s[at + 2] != ':'))
            return false;
        bytes[i] = uint8_t(std::stoul(s.substr(at, 2), nullptr, 16));
    }
    return true;
}

// One "key=value" of an inventory line; false with the reason.
bool TakeSetting(const wxString& word, Device& device, wxString& why)
{
    const wxString key = word.BeforeFirst('=');
    const wxString value = word.AfterFirst('=');
    if (!word.Contains("=") || value.empty()) {
        why = "expected key=value, not '" + word + "'";
        return false;
    }
    IpOverrides& set = device.set;
    const auto once = [&](bool& given) {
        if (given)
            why = key + " is given twice";
        given = true;
        return why.empty();
    };
    bool ok = true;
    if (key == "name") {
        device.name = value;
    } else if (key == "ip") {
        ok = once(set.address) && ParseAddress(value, set.addressBytes);
    } else if (key == "mask") {
        ok = once(set.mask) && ParseAddress(value, set.maskBytes);
    } else if (key == "gateway") {
        ok = once(set.gateway) && ParseAddress(value, set.gatewayBytes);
    } else if (key == "mac") {
        ok = once(set.mac) && ParseMac(value, set.macBytes);
    } else if (key == "bootloader-port") {
        long port = -1;
        ok = once(set.bootPort) && value.ToLong(&port) && port >= 0 && port <= 65535;
        set.bootPortValue = uint16_t(port);
    } else {
        why = "unknown setting '" + key + "' (name, ip, mask, gateway, mac, bootloader-port)";
        return false;
    }
    if (!ok && why.empty())
        why = "bad value for " + key + ": " + value;
    return ok;
}

// The next target in `words` from `at`: "--tcp HOST[:PORT]" or
// "--serial DEVICE[:BAUD]"; false (with a message) when it is neither.
bool TakeTargetWords(const std::vector<wxString>& words, size_t& at, QstTarget& target)
{
    if (at >= words.size() || (words[at] != "--tcp" && words[at] != "--serial")) {
        PrintError("expected --tcp HOST[:PORT] or --serial DEVICE[:BAUD], not '" +
                   (at < words.size() ? words[at] : wxString("(nothing)")) + "'");
        return false;
    }
    if (at + 1 >= words.size()) {
        PrintError(words[at] + " needs a value");
        return false;
    }
    QstArgs one({words[at], words[at + 1]});
    at += 2;
    return TakeTarget(one, target);
}

bool ReadInventory(const wxString& path, std::vector<Device>& devices)
{
    struct stat info {};
    std::ifstream in;
    if (::stat(path.utf8_string().c_str(), &info) == 0 && S_ISREG(info.st_mode))
        in.open(path.utf8_string());
    if (!in) {
        PrintError(path + ": cannot read the inventory");
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const wxString where = wxString::Format("%s:%d", path, number);
        std::string text = line.substr(0, line.find('#'));
        std::istringstream split(text);
        std::vector<wxString> words;
        for (std::string word; split >> word;)
            words.push_back(wxString::FromUTF8(word));
        if (words.empty())
            continue;
        Device device;
        device.origin = where;
        size_t at = 0;
        if (!TakeTargetWords(words, at, device.target)) {
            PrintError(where + ": a line starts with the device, --tcp HOST[:PORT] or --serial DEVICE[:BAUD]");
            return false;
        }
        for (; at < words.size(); ++at) {
            wxString why;
            if (!TakeSetting(words[at], device, why)) {
                PrintError(where + ": " + why);
                return false;
            }
        }
        devices.push_back(device);
    }
    return true;
}

// Refuses a device named twice, two devices given one name, and an IP
// address given to two devices; before any device is reached.
bool DevicesAreDistinct(std::vector<Device>& devices)
{
    std::map<wxString, const Device*> byTarget, byName, byAddress;
    for (Device& device : devices) {
        if (device.name.empty())
            device.name = TargetText(device.target);
        const wxString target = TargetText(device.target);
        if (byTarget.count(target)) {
            PrintError(device.origin + ": " + target + " is already given (" + byTarget[target]->origin + ")");
            return false;
        }
        byTarget[target] = &device;
        if (byName.count(device.name)) {
            PrintError(device.origin + ": the name " + device.name + " is already given (" +
                       byName[device.name]->origin + ")");
            return false;
        }
        byName[device.name] = &device;
        if (!device.set.address)
            continue;
        const wxString address = AddressText(device.set.addressBytes);
        if (byAddress.count(address)) {
            PrintError(device.origin + ": IP address " + address + " is already given to " +
                       byAddress[address]->name + " (" + byAddress[address]->origin + "); nothing was sent");
            return false;
        }
        byAddress[address] = &device;
    }
    return true;
}

// ---- The workers: one child process per device link.

volatile std::sig_atomic_t g_stop = 0;

void OnStop(int)
{
    g_stop = 1;
}

// Stops a child's link between its waits once Ctrl-C was pressed (the
// whole process group gets it): a write then never sends its end.
class StopWatcher : public LinkWatcher
{
public:
    // Notes whether a write frame was (about to be) sent: any step of the
    // write after connecting and asking the protocol version.
    void OnStep(const wxString& text, bool) override
    {
        if (text.StartsWith("Sending configuration: ") && !text.Contains(": connecting") &&
            !text.Contains(": protocol version"))
            m_writeStarted = true;
    }
    bool IsCancelRequested() override { return g_stop != 0; }
    bool WriteStarted() const { return m_writeStarted; }

private:
    bool m_writeStarted = false;
};

// Catches Ctrl-C for the whole run; the children inherit the handler.
class StopOnInterrupt
{
public:
    StopOnInterrupt()
    {
        g_stop = 0;
        struct sigaction action {};
        action.sa_handler = OnStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
    }
    ~StopOnInterrupt() { sigaction(SIGINT, &m_previous, nullptr); }
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

private:
    struct sigaction m_previous {};
};

void WriteAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

using Task = std::function<Json(size_t index)>;
using Done = std::function<void(size_t index, const Json& result)>;

// Runs `task` for each index in a child process of its own, at most `jobs`
// at once, and hands each result to `done` in this process as it arrives.
// A result is an object; one with "error" is a failure, and one with
// "interrupted" true a failure Ctrl-C caused. Once Ctrl-C is pressed no
// further child starts.
void RunInWorkers(const std::vector<size_t>& indices, size_t jobs, const Task& task, const Done& done)
{
    struct Running {
        pid_t pid;
        int fd;
        size_t index;
        std::string text;
    };
    std::vector<Running> running;
    size_t next = 0;
    bool told = false;
    while (next < indices.size() || !running.empty()) {
        // Ctrl-C on a terminal reaches every process of the group; a SIGINT
        // sent to this process alone is passed on.
        if (g_stop && !told) {
            told = true;
            for (const Running& r : running)
                ::kill(r.pid, SIGINT);
        }
        while (next < indices.size() && running.size() < jobs && !g_stop) {
            const size_t index = indices[next++];
            int fds[2];
            if (::pipe(fds) != 0) {
                done(index, {{"error", std::string("cannot start a worker: ") + std::strerror(errno)}});
                continue;
            }
            std::fflush(stdout);
            std::fflush(stderr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(fds[0]);
                for (const Running& other : running)
                    ::close(other.fd);
                WriteAll(fds[1], Dump(task(index)));
                ::_exit(0);
            }
            ::close(fds[1]);
            if (pid < 0) {
                ::close(fds[0]);
                done(index, {{"error", std::string("cannot start a worker: ") + std::strerror(errno)}});
                continue;
            }
            running.push_back(Running{pid, fds[0], index, {}});
        }
        if (g_stop)
            while (next < indices.size())
                done(indices[next++], {{"error", "not started: interrupted"}, {"interrupted", true}});
        if (running.empty())
            break;
        std::vector<pollfd> polls;
        for (const Running& r : running)
            polls.push_back(pollfd{r.fd, POLLIN, 0});
        if (::poll(polls.data(), polls.size(), 100) <= 0)
            continue;
        for (size_t k = polls.size(); k-- > 0;) {
            if (!(polls[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Running& r = running[k];
            char buffer[16384];
            const ssize_t got = ::read(r.fd, buffer, sizeof buffer);
            if (got > 0) {
                r.text.append(buffer, size_t(got));
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            ::close(r.fd);
            int status = 0;
            while (::waitpid(r.pid, &status, 0) < 0 && errno == EINTR) {
            }
            Json result = Json::parse(r.text, nullptr, false);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !result.is_object()) {
                const std::string how = WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                                            : "status " + std::to_string(WEXITSTATUS(status));
                result = {{"error", "its worker ended without a result (" + how + ")"}};
            }
            const size_t index = r.index;
            running.erase(running.begin() + long(k));
            done(index, result);
        }
    }
}

std::string Hex(const void* data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = static_cast<const uint8_t*>(data)[i];
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

bool FromHex(const Json& value, void* data, size_t size)
{
    if (!value.is_string() || value.get<std::string>().size() != size * 2)
        return false;
    const std::string text = value.get<std::string>();
    for (size_t i = 0; i < size; ++i) {
        unsigned byte = 0;
        if (std::sscanf(text.c_str() + i * 2, "%2x", &byte) != 1)
            return false;
        static_cast<uint8_t*>(data)[i] = uint8_t(byte);
    }
    return true;
}

// What a failed link command leaves to say.
std::string FailureText(const wxString& error, const QstTarget& target)
{
    return Utf8(error.empty() ? "no connection to " + TargetText(target) : error);
}

// In a child: reads the device's configuration.
Json ReadTask(const Device& device, const LinkTiming& timing)
{
    ConfigData link;
    link.SetLinkTiming(timing);
    StopWatcher watcher;
    link.SetLinkWatcher(&watcher);
    MainBlock main{};
    IpBlock ip{};
    wxString error;
    const QstTarget& t = device.target;
    const bool ok = link.ReadConfig(t.useTcp, t.target, t.portOrSpeed, main, ip, error);
    link.SetLinkWatcher(nullptr);
    if (!ok)
        return {{"error", "could not read the configuration: " + FailureText(error, t)},
                {"interrupted", link.WasCancelled()}};
    return {{"main", Hex(&main, sizeof main)}, {"ip", Hex(&ip, sizeof ip)}, {"legacy", link.LastTransferWasLegacy()}};
}

// In a child: writes the device's configuration and reads it back.
Json WriteTask(const Device& device, const MainBlock& desired, const LinkTiming& timing, bool acceptLoss)
{
    ConfigData config;
    config.SetBlocks(desired, device.desiredIp);
    config.SetLinkTiming(timing);
    StopWatcher watcher;
    config.SetLinkWatcher(&watcher);
    wxString error;
    const QstTarget& t = device.target;
    const AskUser ask = [acceptLoss](const wxString&) { return acceptLoss; };
    const WriteOutcome outcome =
        SendConfiguration(config, t.useTcp, t.target, t.portOrSpeed, ask, error, MacOnWrite::Document);
    config.SetLinkWatcher(nullptr);
    switch (outcome) {
    case WriteOutcome::Sent:
        return {{"attempted", true}};
    case WriteOutcome::Declined:
        return {{"error", "not written: the device's older format would lose data; --yes accepts the loss"},
                {"attempted", watcher.WriteStarted()}};
    case WriteOutcome::Cancelled:
        return {{"error", "interrupted: the device was not told that the configuration is complete"},
                {"interrupted", true},
                {"attempted", watcher.WriteStarted()}};
    case WriteOutcome::Failed:
        break;
    }
    return {{"error", "write failed: " + FailureText(error, t)},
            {"interrupted", config.WasCancelled()},
            {"attempted", watcher.WriteStarted()}};
}

// ---- Deciding what each device gets.

IpBlock DesiredIp(const IpBlock& own, const IpOverrides& set)
{
    IpBlock ip = own;
    if (set.address)
        std::memcpy(ip.ipAddress, set.addressBytes, 4);
    if (set.mask)
        std::memcpy(ip.subnetMask, set.maskBytes, 4);
    if (set.gateway)
        std::memcpy(ip.gateway, set.gatewayBytes, 4);
    if (set.mac)
        std::memcpy(ip.macAddress, set.macBytes, 6);
    if (set.bootPort)
        ip.SetBootLoaderPort(set.bootPortValue);
    // The checksum follows what changed; a block left as it is keeps every
    // byte, its checksum too.
    if (std::memcmp(&ip, &own, kIpCrcCoverage) != 0)
        ip.ipCrc = BlockCrc(&ip, kIpCrcCoverage);
    return ip;
}

void Fail(Device& device, const wxString& reason, bool interrupted = false)
{
    device.state = State::Failed;
    device.reason = reason;
    device.interrupted = interrupted;
}

// After the read: what the device would get, and what differs.
void Decide(Device& device, const ConfigData& wanted, bool check, bool acceptLoss)
{
    device.desiredIp = DesiredIp(device.ip, device.set);
    ConfigData held, desired, own;
    own.SetBlocks(device.main, device.ip);
    desired.SetBlocks(wanted.GetMainBlock(), device.desiredIp);
    if (!AsTheDeviceHoldsIt(desired, device.legacy, held) && !acceptLoss) {
        Fail(device, "the device speaks protocol 1.0, whose format cannot hold all of this configuration; "
                     "--yes accepts the loss");
        return;
    }
    device.differences = CompareConfigurations(own, held, DeviceScope(true));
    if (device.differences.empty())
        device.state = State::Unchanged;
    else if (check)
        device.state = State::WouldChange;
}

// Refuses the writes when an IP address the inventory gives would also be
// another device's. True when there is no such clash.
bool RefuseAddressClashes(std::vector<Device>& devices)
{
    std::map<wxString, std::vector<Device*>> byAddress;
    for (Device& device : devices) {
        if (device.set.address)
            byAddress[AddressText(device.set.addressBytes)].push_back(&device);
        else if (device.read)
            byAddress[AddressText(device.desiredIp.ipAddress)].push_back(&device);
    }
    bool clash = false;
    for (auto& [address, sharing] : byAddress) {
        if (sharing.size() < 2)
            continue;
        bool given = false;
        for (const Device* d : sharing)
            given = given || d->set.address;
        if (!given)
            continue;
        clash = true;
        wxString names;
        for (const Device* d : sharing)
            names += (names.empty() ? "" : ", ") + d->name;
        PrintError("IP address " + address + " would be shared by " + names);
        for (Device* d : sharing)
            Fail(*d, "IP address " + address + " would be shared by " + names);
    }
    if (!clash)
        return true;
    for (Device& device : devices)
        if (device.state == State::Pending)
            Fail(device, "not written: two devices would share an IP address");
    return false;
}

// ---- Reporting.

wxString Count(size_t n)
{
    return wxString::Format(n == 1 ? "%zu difference" : "%zu differences", n);
}

wxString OneLine(wxString text)
{
    text.Replace("\r\n", " ");
    text.Replace(":\n  ", ": ");
    text.Replace("\n  ", "; ");
    text.Replace("\n", " ");
    return text;
}

wxString OutcomeText(const Device& device)
{
    switch (device.state) {
    case State::Unchanged:
        return "unchanged";
    case State::WouldChange:
        return "would change (" + Count(device.differences.size()) + ")";
    case State::Changed:
        return "changed (" + Count(device.differences.size()) + ")";
    case State::Failed:
        return "failed (" + OneLine(device.reason) + ")";
    case State::Pending:
        break;
    }
    return "failed (not finished)";
}

const char* OutcomeWord(State state)
{
    switch (state) {
    case State::Unchanged: return "unchanged";
    case State::WouldChange: return "would change";
    case State::Changed: return "changed";
    case State::Failed:
    case State::Pending: break;
    }
    return "failed";
}

Json DeviceJson(const Device& device)
{
    Json out = {{"device", Utf8(device.name)},
                {"target", Utf8(TargetText(device.target))},
                {"outcome", OutcomeWord(device.state)},
                {"written", device.written},
                {"differences", Json::array()}};
    for (const ConfigDifference& d : device.differences)
        out["differences"].push_back({{"field", Utf8(d.field)}, {"before", Utf8(d.first)}, {"after", Utf8(d.second)}});
    if (device.state == State::Failed || device.state == State::Pending)
        out["reason"] = Utf8(device.reason.empty() ? wxString("not finished") : device.reason);
    return out;
}

// Progress on a terminal: a line per device as it ends.
class Progress
{
public:
    explicit Progress(size_t total) : m_total(total), m_shown(::isatty(STDERR_FILENO)) {}
    void Finished(Device& device)
    {
        if (device.shown)
            return;
        device.shown = true;
        ++m_done;
        if (m_shown)
            std::fprintf(stderr, "[%zu/%zu] %s: %s\n", m_done, m_total, Utf8(device.name).c_str(),
                         Utf8(OutcomeText(device)).c_str());
    }
    void Line(const wxString& text)
    {
        PrintProgress(text);
    }

private:
    size_t m_total;
    size_t m_done = 0;
    bool m_shown;
};

struct Options {
    bool check = false;
    bool json = false;
    bool yes = false;
    size_t jobs = kDefaultJobs;
    LinkTiming timing;
};

bool TakeNumber(QstArgs& args, const char* option, long low, long high, long& value)
{
    wxString text;
    if (!args.TakeValue(option, text))
        return true;
    if (!text.ToLong(&value) || value < low || value > high) {
        PrintError(wxString::Format("%s takes a number from %ld to %ld, not '%s'", option, low, high, text));
        return false;
    }
    return true;
}

const char kUsage[] = "usage: qst apply FILE [TARGET...] [--inventory FILE] [--check] [--json] [--jobs N] "
                      "[--timeout MS] [--yes]";

int RunApply(QstArgs& args)
{
    Options options;
    options.check = args.TakeFlag("--check");
    options.json = args.TakeFlag("--json");
    options.yes = args.TakeFlag("--yes") || args.TakeFlag("-y");
    long jobs = kDefaultJobs;
    long timeout = kDefaultTimeoutMs;
    wxString inventory;
    const bool hasInventory = args.TakeValue("--inventory", inventory);
    if (!TakeNumber(args, "--jobs", 1, 1000, jobs) || !TakeNumber(args, "--timeout", 100, 600000, timeout)) {
        PrintError(kUsage);
        return QST_USAGE;
    }
    options.jobs = size_t(jobs);
    options.timing.tcpPollMs = int(timeout);

    // FILE, and the targets before or after it.
    wxString file;
    std::vector<wxString> words;
    for (wxString word; args.TakeAny(word);)
        words.push_back(word);
    std::vector<Device> devices;
    for (size_t at = 0; at < words.size();) {
        if (file.empty() && !words[at].StartsWith("-")) {
            file = words[at++];
            continue;
        }
        Device device;
        device.origin = "command line";
        if (!TakeTargetWords(words, at, device.target)) {
            PrintError(kUsage);
            return QST_USAGE;
        }
        devices.push_back(device);
    }
    if (args.Leftover() || file.empty()) {
        PrintError(kUsage);
        return QST_USAGE;
    }
    if (hasInventory && !ReadInventory(inventory, devices))
        return QST_USAGE;
    if (devices.empty()) {
        PrintError("no device given\n" + wxString(kUsage));
        return QST_USAGE;
    }
    if (!DevicesAreDistinct(devices))
        return QST_USAGE;

    ConfigData wanted;
    wxString error;
    if (!wanted.Load(file, error)) {
        PrintError(file + ": " + error);
        return QST_FAILED;
    }

    StopOnInterrupt stop;
    Progress progress(devices.size());
    std::vector<size_t> all;
    for (size_t i = 0; i < devices.size(); ++i)
        all.push_back(i);

    // Every device is read first, so that no device is written before each
    // one's IP address is known.
    progress.Line(wxString::Format("Reading %zu device%s...", devices.size(), devices.size() == 1 ? "" : "s"));
    RunInWorkers(
        all, options.jobs, [&](size_t i) { return ReadTask(devices[i], options.timing); },
        [&](size_t i, const Json& result) {
            Device& device = devices[i];
            if (result.contains("error")) {
                Fail(device, wxString::FromUTF8(result["error"].get<std::string>()),
                     result.value("interrupted", false));
            } else if (!result.contains("main") || !result.contains("ip") ||
                       !FromHex(result["main"], &device.main, sizeof device.main) ||
                       !FromHex(result["ip"], &device.ip, sizeof device.ip)) {
                Fail(device, "its worker gave an unreadable result");
            } else {
                device.read = true;
                device.legacy = result.value("legacy", false);
                Decide(device, wanted, options.check, options.yes);
            }
            if (device.state == State::Failed)
                progress.Finished(device);
        });

    std::vector<size_t> toWrite;
    if (RefuseAddressClashes(devices)) {
        // Asked once for the whole run: the same question is not asked twice.
        Confirmer confirmer(options.yes, [] { return g_stop != 0; });
        std::map<wxString, bool> answers;
        const AskUser ask = [&](const wxString& question) {
            const auto it = answers.find(question);
            if (it != answers.end())
                return it->second;
            return answers[question] = confirmer.Ask(question);
        };
        for (size_t i = 0; i < devices.size(); ++i) {
            Device& device = devices[i];
            if (device.state != State::Pending)
                continue;
            ConfigData desired;
            desired.SetBlocks(wanted.GetMainBlock(), device.desiredIp);
            if (g_stop)
                Fail(device, "not written: interrupted", true);
            else if (!ConfirmWrite(desired, ask))
                Fail(device, "not written: a question before the write was not answered yes");
            else
                toWrite.push_back(i);
        }
    }
    for (Device& device : devices)
        if (device.state != State::Pending)
            progress.Finished(device);

    if (!toWrite.empty())
        progress.Line(wxString::Format("Writing %zu device%s...", toWrite.size(), toWrite.size() == 1 ? "" : "s"));
    RunInWorkers(
        toWrite, options.jobs,
        [&](size_t i) { return WriteTask(devices[i], wanted.GetMainBlock(), options.timing, options.yes); },
        [&](size_t i, const Json& result) {
            Device& device = devices[i];
            device.written = result.value("attempted", false);
            if (result.contains("error"))
                Fail(device, wxString::FromUTF8(result["error"].get<std::string>()),
                     result.value("interrupted", false));
            else
                device.state = State::Changed;
            progress.Finished(device);
        });

    size_t counts[5] = {};
    bool interrupted = false;
    for (const Device& device : devices) {
        ++counts[size_t(device.state)];
        interrupted = interrupted || device.interrupted;
    }
    if (options.json) {
        Json out = {{"file", Utf8(file)}, {"check", options.check}, {"devices", Json::array()}};
        for (const Device& device : devices)
            out["devices"].push_back(DeviceJson(device));
        std::printf("%s\n", Dump(out, 2).c_str());
    } else {
        for (const Device& device : devices)
            PrintLine(device.name + ": " + OutcomeText(device));
    }
    const size_t failed = counts[size_t(State::Failed)] + counts[size_t(State::Pending)];
    progress.Line(wxString::Format("%zu device%s: %zu unchanged, %zu %s, %zu failed", devices.size(),
                                   devices.size() == 1 ? "" : "s", counts[size_t(State::Unchanged)],
                                   counts[size_t(options.check ? State::WouldChange : State::Changed)],
                                   options.check ? "would change" : "changed", failed));
    if (interrupted)
        return QST_INTERRUPTED;
    return failed == 0 && counts[size_t(State::WouldChange)] == 0 ? QST_OK : QST_FAILED;
}

} // namespace

const std::vector<QstCommand>& ApplyCommands()
{
    static const std::vector<QstCommand> commands = {
        {"apply", "apply FILE TARGET... | --inventory INV", "Bring many devices to the configuration in FILE",
         "Every device is read, compared with FILE and, where it differs, written and\n"
         "read back; many devices at once. A device keeps its own IP settings\n"
         "(address, mask, gateway, MAC, boot loader port) unless the inventory gives\n"
         "them: only FILE's general settings and nodes are applied. Nothing is\n"
         "written when two devices would get the same IP address, and all devices\n"
         "are read before any is written. One line per device on standard output,\n"
         "in the order given: \"NAME: unchanged\", \"NAME: changed (N differences)\",\n"
         "\"NAME: would change (N differences)\" (--check) or \"NAME: failed (REASON)\".\n"
         "On a terminal, standard error shows each device as it ends and a summary.\n"
         "Before a write the questions of 'qst write' are asked once for the run;\n"
         "without a terminal they need --yes.\n"
         "Exit status: 0 every device ends as FILE says, 1 otherwise, 2 usage or\n"
         "inventory error (nothing sent), 130 Ctrl-C (a write stopped by it never\n"
         "sends its end).\n"
         "  TARGET           --tcp HOST[:PORT] or --serial DEVICE[:BAUD], as many as needed\n"
         "  --inventory INV  devices, one a line: the target, then KEY=VALUE settings:\n"
         "                     name=TEXT (how results name it; default the target)\n"
         "                     ip=A.B.C.D mask=A.B.C.D gateway=A.B.C.D\n"
         "                     mac=HH:HH:HH:HH:HH:HH bootloader-port=N\n"
         "                   A setting not given stays as the device holds it. '#'\n"
         "                   starts a comment. Example:\n"
         "                     --tcp 10.0.0.5 name=press-1 ip=10.0.0.5 gateway=10.0.0.1\n"
         "                     --serial /dev/ttyUSB0:9600 ip=10.0.0.6 mask=255.255.255.0\n"
         "  --check          compare only; no write frame is sent\n"
         "  --json           the results as JSON: per device its outcome, whether it\n"
         "                   was written, the reason of a failure and the differences\n"
         "                   (field, before: the device's value, after: FILE's)\n"
         "  --jobs N         devices handled at once (default 64)\n"
         "  --timeout MS     silence that ends an attempt over TCP (default 5000)\n"
         "  --yes, -y        answer yes to the questions before a write, and accept\n"
         "                   what a protocol 1.0 device's format cannot hold\n",
         RunApply},
    };
    return commands;
}
