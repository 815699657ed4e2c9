// qst apply against several device simulators, each on a loopback address
// of its own (127.0.6.x, which no other test uses): what each device ends
// with, what it was sent (the simulators' frame logs), what qst reports.
#include "config/ConfigData.h"

#include "support/DevSimProcess.h"
#include "support/ProgramRun.h"
#include "support/PseudoTerminal.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The configuration the fleet is to get: the defaults (with their Control
// link) and a data age of 70 s.
constexpr uint8_t kWantedAge = 70;

struct IpSettings {
    std::string ip, mask, gateway, mac;
};

// A configuration saved as a simulator starts from.
std::string SaveDevice(const TempDir& dir, const std::string& name, uint8_t dataAge, const IpSettings& ip,
                       bool writeProtect = false)
{
    ConfigData config;
    config.SetDataAge(dataAge);
    config.SetWriteProtect(writeProtect ? 1 : 0);
    IpTexts texts;
    config.GetIpTexts(texts);
    EXPECT_TRUE(config.SetIpSettings(ip.ip, ip.mask, ip.gateway, ip.mac, texts.bootLoaderPort));
    const std::string path = dir.File(name);
    EXPECT_TRUE(config.Save(path));
    return path;
}

// One simulated device: its simulator, frame log and saved configuration.
struct Fleet {
    struct Member {
        std::string name, log, saved;
        std::unique_ptr<DevSimProcess> sim;
        std::string Target() const { return sim->Addresses().front() + ":" + std::to_string(sim->Port()); }
    };
    std::vector<Member> members;

    Member& Add(const TempDir& dir, const std::string& name, const std::string& address,
                std::vector<std::string> options)
    {
        Member m;
        m.name = name;
        m.log = dir.File(name + ".log");
        m.saved = dir.File(name + ".held.qst");
        options.insert(options.end(), {"--listen", address, "--log", m.log, "--save", m.saved});
        m.sim = std::make_unique<DevSimProcess>(options);
        members.push_back(std::move(m));
        return members.back();
    }
};

bool LoggedFrameStarting(const std::string& log, const std::string& head)
{
    for (const auto& frame : LoggedFrames(log))
        if (std::string(frame.begin(), frame.end()).rfind(head, 0) == 0)
            return true;
    return false;
}

// True when the log holds a frame of the configuration write ("set config").
bool ReceivedWriteFrame(const std::string& log)
{
    return LoggedFrameStarting(log, "set config");
}

size_t FrameCount(const std::string& log)
{
    return LoggedFrames(log).size();
}

// The IP settings a simulator holds after a write (its --save file).
IpTexts HeldIp(const std::string& saved, uint8_t* dataAge = nullptr)
{
    ConfigData held;
    wxString error;
    EXPECT_TRUE(held.Load(saved, error)) << saved << ": " << error;
    IpTexts texts;
    held.GetIpTexts(texts);
    if (dataAge)
        *dataAge = held.GetDataAge();
    return texts;
}

std::string WriteInventory(const TempDir& dir, const std::string& text)
{
    const std::string path = dir.File("inventory.txt");
    WriteFileBytes(path, Bytes(text.begin(), text.end()));
    return path;
}

const IpSettings kIp1{"10.0.0.1", "255.255.255.0", "10.0.0.254", "02:00:00:00:00:01"};
const IpSettings kIp2{"10.0.0.2", "255.255.255.0", "10.0.0.254", "02:00:00:00:00:02"};
const IpSettings kIp3{"10.0.0.3", "255.255.255.0", "10.0.0.254", "02:00:00:00:00:03"};
const IpSettings kIp5{"10.0.0.5", "255.255.255.0", "10.0.0.254", "02:00:00:00:00:05"};

// Two devices: "same" already as wanted, "other" with another data age
// (and `otherOptions` for its simulator).
bool StartPair(const TempDir& dir, Fleet& fleet, const std::string& sameAddress, const std::string& otherAddress,
               const std::vector<std::string>& otherOptions = {})
{
    fleet.Add(dir, "same", sameAddress, {"--config", SaveDevice(dir, "same.qst", kWantedAge, kIp1)});
    std::vector<std::string> options = {"--config", SaveDevice(dir, "other.qst", 60, kIp2)};
    options.insert(options.end(), otherOptions.begin(), otherOptions.end());
    fleet.Add(dir, "other", otherAddress, options);
    for (const auto& m : fleet.members)
        if (!m.sim->IsReady()) {
            ADD_FAILURE() << m.name << ": " << m.sim->Banner();
            return false;
        }
    return true;
}

TEST(QstApply, EachDeviceEndsAsTheFileAndInventorySay)
{
    TempDir dir;
    const std::string wanted = SaveDevice(dir, "wanted.qst", kWantedAge, kIp1);
    Fleet fleet;
    // Already as wanted, in its own IP settings; the same over protocol 1.0.
    fleet.Add(dir, "equal", "127.0.6.1", {"--config", SaveDevice(dir, "equal.qst", kWantedAge, kIp1)});
    fleet.Add(dir, "older", "127.0.6.2",
              {"--config", SaveDevice(dir, "older.qst", kWantedAge, kIp5), "--protocol", "1.0", "--quick-unknown"});
    // Different data age; keeps its IP settings.
    fleet.Add(dir, "keeps", "127.0.6.3", {"--config", SaveDevice(dir, "keeps.qst", 60, kIp2)});
    // Different data age; the inventory gives its address and mask.
    fleet.Add(dir, "moves", "127.0.6.4", {"--config", SaveDevice(dir, "moves.qst", 60, kIp3)});
    fleet.Add(dir, "silent", "127.0.6.5", {"--silent", "any"});
    fleet.Add(dir, "locked", "127.0.6.6",
              {"--config", SaveDevice(dir, "locked.qst", 60, kIp5, true), "--write-protect"});
    // Takes the write, but holds something else: the read-back finds it.
    fleet.Add(dir, "corrupt", "127.0.6.7", {"--config", SaveDevice(dir, "corrupt.qst", 60, kIp5), "--corrupt-store"});
    for (const auto& m : fleet.members)
        ASSERT_TRUE(m.sim->IsReady()) << m.name << ": " << m.sim->Banner();

    const std::string inventory = WriteInventory(
        dir, "# the test fleet\n"
             "--tcp " + fleet.members[0].Target() + " name=equal\n"
             "--tcp " + fleet.members[1].Target() + " name=older   # protocol 1.0\n"
             "\n"
             "--tcp " + fleet.members[2].Target() + " name=keeps\n"
             "--tcp " + fleet.members[3].Target() + " name=moves ip=10.0.1.4 mask=255.255.0.0 mac=02:00:00:00:01:04"
             " bootloader-port=8004\n"
             "--tcp " + fleet.members[4].Target() + " name=silent\n"
             "--tcp " + fleet.members[5].Target() + " name=locked\n"
             "--tcp " + fleet.members[6].Target() + " name=corrupt\n");
    ProgramResult run = RunProgram("qst", {"apply", wanted, "--inventory", inventory, "--timeout", "150"}, 30);
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string out = run.out;
    EXPECT_TRUE(out.rfind("equal: unchanged\n"
                          "older: unchanged\n"
                          "keeps: changed (1 difference)\n"
                          "moves: changed (5 differences)\n"
                          "silent: failed (could not read the configuration: No/Unknown response)\n"
                          "locked: failed (write failed: ",
                          0) == 0)
        << out;
    EXPECT_NE(out.find("locked: failed (write failed: Error: Configuration is write protected)\n"
                       "corrupt: failed (write failed: The device holds something other than what was sent "
                       "(sent -> read back): Node 1 - offset 15: 00 -> 01)\n"),
              std::string::npos)
        << out;
    // Without a terminal, nothing but the results.
    EXPECT_EQ(run.err, "");

    // The equal ones were sent no write frame; the others hold the file's
    // settings and the IP settings they were meant to keep or get.
    EXPECT_FALSE(ReceivedWriteFrame(fleet.members[0].log));
    EXPECT_FALSE(ReceivedWriteFrame(fleet.members[1].log));
    EXPECT_GT(FrameCount(fleet.members[1].log), 0u);
    uint8_t age = 0;
    IpTexts ip = HeldIp(fleet.members[2].saved, &age);
    EXPECT_EQ(age, kWantedAge);
    EXPECT_EQ(ip.ipAddress, kIp2.ip);
    EXPECT_EQ(ip.subnetMask, kIp2.mask);
    EXPECT_EQ(ip.gateway, kIp2.gateway);
    EXPECT_EQ(ip.macAddress, kIp2.mac);
    ip = HeldIp(fleet.members[3].saved, &age);
    EXPECT_EQ(age, kWantedAge);
    EXPECT_EQ(ip.ipAddress, "10.0.1.4");
    EXPECT_EQ(ip.subnetMask, "255.255.0.0");
    EXPECT_EQ(ip.gateway, kIp3.gateway);
    EXPECT_EQ(ip.macAddress, "02:00:00:00:01:04");
    EXPECT_EQ(ip.bootLoaderPort, "8004");
    EXPECT_NE(access(fleet.members[5].saved.c_str(), F_OK), 0) << "the write-protected device took a write";

    // A second run finds nothing to do, and sends no write frame.
    std::vector<size_t> before;
    for (const auto& m : fleet.members)
        before.push_back(FrameCount(m.log));
    run = RunProgram("qst", {"apply", wanted, "--inventory", inventory, "--timeout", "150", "--json"}, 30);
    EXPECT_EQ(run.status, 1) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["devices"].size(), 7u) << run.out;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(json["devices"][i]["outcome"], "unchanged") << run.out;
        EXPECT_EQ(json["devices"][i]["written"], false);
        EXPECT_TRUE(json["devices"][i]["differences"].empty());
    }
    EXPECT_EQ(json["devices"][4]["outcome"], "failed");
    EXPECT_EQ(json["devices"][5]["outcome"], "failed");
    EXPECT_EQ(json["devices"][6]["outcome"], "failed");
    EXPECT_EQ(json["devices"][5]["written"], true);
    ASSERT_EQ(json["devices"][5]["differences"].size(), 2u);
    EXPECT_EQ(json["devices"][5]["differences"][0]["field"], "General Settings - Write Protect");
    EXPECT_EQ(json["devices"][5]["differences"][1]["field"], "General Settings - Database data age");
    EXPECT_EQ(json["devices"][5]["differences"][1]["before"], "60 secs");
    EXPECT_EQ(json["devices"][5]["differences"][1]["after"], "70 secs");
    EXPECT_EQ(json["devices"][4]["reason"], "could not read the configuration: No/Unknown response");
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_GT(FrameCount(fleet.members[i].log), before[i]) << "read again";
        const auto frames = LoggedFrames(fleet.members[i].log);
        for (size_t f = before[i]; f < frames.size(); ++f)
            EXPECT_NE(std::string(frames[f].begin(), frames[f].end()).rfind("set config", 0), 0u)
                << fleet.members[i].name;
    }
}

TEST(QstApply, CheckSendsNoWriteFrame)
{
    TempDir dir;
    const std::string wanted = SaveDevice(dir, "wanted.qst", kWantedAge, kIp1);
    Fleet fleet;
    ASSERT_TRUE(StartPair(dir, fleet, "127.0.6.11", "127.0.6.12"));
    const std::vector<std::string> targets = {"--tcp", fleet.members[0].Target(), "--tcp", fleet.members[1].Target()};

    std::vector<std::string> args = {"apply", wanted, "--check"};
    args.insert(args.end(), targets.begin(), targets.end());
    ProgramResult run = RunProgram("qst", args, 30);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "tcp " + fleet.members[0].Target() + ": unchanged\n" + "tcp " + fleet.members[1].Target() +
                           ": would change (1 difference)\n");
    args.push_back("--json");
    run = RunProgram("qst", args, 30);
    EXPECT_EQ(run.status, 1) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["check"], true);
    const auto& other = json["devices"][1];
    EXPECT_EQ(other["outcome"], "would change");
    EXPECT_EQ(other["written"], false);
    ASSERT_EQ(other["differences"].size(), 1u);
    EXPECT_EQ(other["differences"][0]["field"], "General Settings - Database data age");
    EXPECT_EQ(other["differences"][0]["before"], "60 secs");
    EXPECT_EQ(other["differences"][0]["after"], "70 secs");
    for (const auto& m : fleet.members) {
        EXPECT_GT(FrameCount(m.log), 0u) << m.name << " was read";
        EXPECT_FALSE(ReceivedWriteFrame(m.log)) << m.name;
    }
    // The one that differed is still as it was: a plain run (FILE after the
    // targets this time) then changes it.
    args = {"apply"};
    args.insert(args.end(), targets.begin(), targets.end());
    args.push_back(wanted);
    run = RunProgram("qst", args, 30);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(": changed (1 difference)\n"), std::string::npos) << run.out;
    EXPECT_TRUE(ReceivedWriteFrame(fleet.members[1].log));
    EXPECT_FALSE(ReceivedWriteFrame(fleet.members[0].log));
}

TEST(QstApply, NoTwoDevicesGetOneAddress)
{
    TempDir dir;
    const std::string wanted = SaveDevice(dir, "wanted.qst", kWantedAge, kIp1);
    Fleet fleet;
    fleet.Add(dir, "a", "127.0.6.21", {"--config", SaveDevice(dir, "a.qst", 60, kIp1)});
    fleet.Add(dir, "b", "127.0.6.22", {"--config", SaveDevice(dir, "b.qst", 60, kIp2)});
    for (const auto& m : fleet.members)
        ASSERT_TRUE(m.sim->IsReady()) << m.sim->Banner();
    const std::string a = fleet.members[0].Target();
    const std::string b = fleet.members[1].Target();

    // The inventory gives one address twice: refused before any device is
    // reached.
    std::string inventory = WriteInventory(dir, "--tcp " + a + " ip=10.0.9.9\n--tcp " + b + " ip=10.0.9.9\n");
    ProgramResult run = RunProgram("qst", {"apply", wanted, "--inventory", inventory}, 30);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("IP address 10.0.9.9 is already given to tcp " + a), std::string::npos) << run.err;
    EXPECT_EQ(FrameCount(fleet.members[0].log), 0u);
    EXPECT_EQ(FrameCount(fleet.members[1].log), 0u);

    // The inventory gives b the address a keeps: both are read, neither is
    // written.
    inventory = WriteInventory(dir, "--tcp " + a + "\n--tcp " + b + " ip=" + kIp1.ip + "\n");
    run = RunProgram("qst", {"apply", wanted, "--inventory", inventory}, 30);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "tcp " + a + ": failed (IP address 10.0.0.1 would be shared by tcp " + a + ", tcp " + b +
                           ")\n" + "tcp " + b + ": failed (IP address 10.0.0.1 would be shared by tcp " + a +
                           ", tcp " + b + ")\n");
    for (const auto& m : fleet.members) {
        EXPECT_GT(FrameCount(m.log), 0u);
        EXPECT_FALSE(ReceivedWriteFrame(m.log)) << m.name;
    }

    // The same device twice, and inventory lines that do not parse: nothing
    // is sent.
    const size_t framesBefore = FrameCount(fleet.members[0].log);
    EXPECT_EQ(RunProgram("qst", {"apply", wanted, "--tcp", a, "--tcp", a}).status, 2);
    for (const std::string& line : std::vector<std::string>{"ip=10.0.0.1", "--tcp " + a + " ip=10.0.0.300", "--tcp " + a + " colour=red",
                                   "--tcp " + a + " mac=02:00:00:00:00", "--tcp " + a + " ip=10.0.0.1 ip=10.0.0.2"}) {
        inventory = WriteInventory(dir, line + "\n");
        run = RunProgram("qst", {"apply", wanted, "--inventory", inventory});
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_NE(run.err.find("inventory.txt:1: "), std::string::npos) << run.err;
    }
    EXPECT_EQ(FrameCount(fleet.members[0].log), framesBefore);
}

// Runs qst with its standard error on a terminal; returns what the
// terminal showed (and the results in `out`).
std::string RunWithTerminal(const std::vector<std::string>& args, std::string& out, int& status)
{
    PseudoTerminal terminal;
    int pipeOut[2];
    if (!terminal.IsOk() || ::pipe2(pipeOut, O_CLOEXEC) != 0)
        return "no terminal";
    const std::string program = std::string(QST_BINARY_DIR) + "/qst";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int slave = ::open(terminal.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        ::dup2(pipeOut[1], STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeOut[1]);
    std::string shown;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool open = true;
    while (open && std::chrono::steady_clock::now() < deadline) {
        pollfd fds[2] = {{pipeOut[0], POLLIN, 0}, {terminal.Master(), POLLIN, 0}};
        if (::poll(fds, 2, 100) <= 0)
            continue;
        char buffer[4096];
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(terminal.Master(), buffer, sizeof buffer);
            if (n > 0)
                shown.append(buffer, size_t(n));
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            const ssize_t n = ::read(pipeOut[0], buffer, sizeof buffer);
            if (n > 0)
                out.append(buffer, size_t(n));
            else
                open = false;
        }
    }
    ::close(pipeOut[0]);
    if (open)
        ::kill(pid, SIGKILL);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal.Master(), buffer, sizeof buffer)) > 0;)
        shown.append(buffer, size_t(n));
    std::string text;
    for (const char c : shown)
        if (c != '\r')
            text += c;
    return text;
}

TEST(QstApply, ProgressOnATerminalOnly)
{
    TempDir dir;
    const std::string wanted = SaveDevice(dir, "wanted.qst", kWantedAge, kIp1);
    Fleet fleet;
    ASSERT_TRUE(StartPair(dir, fleet, "127.0.6.31", "127.0.6.32"));
    const std::string same = "tcp " + fleet.members[0].Target();
    const std::string other = "tcp " + fleet.members[1].Target();
    std::string out;
    int status = -1;
    const std::string shown = RunWithTerminal(
        {"apply", wanted, "--tcp", fleet.members[0].Target(), "--tcp", fleet.members[1].Target()}, out, status);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_EQ(out, same + ": unchanged\n" + other + ": changed (1 difference)\n");
    EXPECT_EQ(shown, "Reading 2 devices...\n"
                     "[1/2] " + same + ": unchanged\n"
                     "Writing 1 device...\n"
                     "[2/2] " + other + ": changed (1 difference)\n"
                     "2 devices: 1 unchanged, 1 changed, 0 failed\n");
}

} // namespace

namespace {

// Ctrl-C while a device takes its time over the write: that write never
// sends its end, and the run says so.
TEST(QstApply, InterruptStopsTheWritesBeforeTheirEnd)
{
    TempDir dir;
    const std::string wanted = SaveDevice(dir, "wanted.qst", kWantedAge, kIp1);
    Fleet fleet;
    ASSERT_TRUE(StartPair(dir, fleet, "127.0.6.41", "127.0.6.42", {"--silent", "set-E"}));
    const std::string slowLog = fleet.members[1].log;
    const ProgramResult run =
        RunProgram("qst", {"apply", wanted, "--tcp", fleet.members[0].Target(), "--tcp", fleet.members[1].Target()},
                   30, [&] { return LoggedFrameStarting(slowLog, "set config E"); });
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_LT(run.msAfterInterrupt, 1000);
    EXPECT_EQ(run.out, "tcp " + fleet.members[0].Target() + ": unchanged\n" + "tcp " + fleet.members[1].Target() +
                           ": failed (interrupted: the device was not told that the configuration is complete)\n");
    EXPECT_FALSE(LoggedFrameStarting(slowLog, "set config D"));
    EXPECT_NE(access(fleet.members[1].saved.c_str(), F_OK), 0) << "the device took the configuration";
}

} // namespace

namespace {

// The questions of qst write are asked before any write: without a
// terminal only --yes answers them.
TEST(QstApply, QuestionsNeedATerminalOrYes)
{
    TempDir dir;
    ConfigData protectedConfig;
    wxString error;
    ASSERT_TRUE(protectedConfig.Load(SaveDevice(dir, "base.qst", kWantedAge, kIp1), error)) << error;
    protectedConfig.SetWriteProtect(1);
    const std::string wanted = dir.File("wanted.qst");
    ASSERT_TRUE(protectedConfig.Save(wanted));
    Fleet fleet;
    ASSERT_TRUE(StartPair(dir, fleet, "127.0.6.51", "127.0.6.52"));
    const std::vector<std::string> args = {"apply", wanted, "--tcp", fleet.members[0].Target(), "--tcp",
                                           fleet.members[1].Target()};
    ProgramResult run = RunProgram("qst", args, 30);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "tcp " + fleet.members[0].Target() +
                           ": failed (not written: a question before the write was not answered yes)\n"
                           "tcp " + fleet.members[1].Target() +
                           ": failed (not written: a question before the write was not answered yes)\n");
    EXPECT_NE(run.err.find("This configuration is set to write protect."), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("give --yes to write anyway"), std::string::npos) << run.err;
    for (const auto& m : fleet.members)
        EXPECT_FALSE(ReceivedWriteFrame(m.log)) << m.name;

    std::vector<std::string> yes = args;
    yes.push_back("--yes");
    run = RunProgram("qst", yes, 30);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "tcp " + fleet.members[0].Target() + ": changed (1 difference)\n" + "tcp " +
                           fleet.members[1].Target() + ": changed (2 differences)\n");
    for (const auto& m : fleet.members)
        EXPECT_TRUE(ReceivedWriteFrame(m.log)) << m.name;
}

} // namespace

namespace {

// A protocol 1.0 device cannot hold a read range past byte 255: it is not
// written unless --yes accepts the loss, and then it is compared and
// verified as far as its format goes.
TEST(QstApply, OlderDeviceLossOnlyWithYes)
{
    TempDir dir;
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(SaveDevice(dir, "base.qst", kWantedAge, kIp1), error)) << error;
    NodeEntry& node = *config.GetNode(0);
    node.slaveCount = 1;
    node.slaveId[0] = 1;
    node.readStart[0] = 300;
    node.readLength[0] = 1;
    const std::string wanted = dir.File("wanted.qst");
    ASSERT_TRUE(config.Save(wanted));
    Fleet fleet;
    Fleet::Member& older = fleet.Add(dir, "older", "127.0.6.61",
                                     {"--config", SaveDevice(dir, "older.qst", 60, kIp2), "--protocol", "1.0",
                                      "--quick-unknown"});
    ASSERT_TRUE(older.sim->IsReady()) << older.sim->Banner();
    const std::string log = older.log;
    const std::string saved = older.saved;
    const std::vector<std::string> args = {"apply", wanted, "--tcp", older.Target()};

    ProgramResult run = RunProgram("qst", args, 30);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "tcp " + older.Target() +
                           ": failed (the device speaks protocol 1.0, whose format cannot hold all of this "
                           "configuration; --yes accepts the loss)\n");
    EXPECT_FALSE(ReceivedWriteFrame(log));

    std::vector<std::string> yes = args;
    yes.push_back("--yes");
    run = RunProgram("qst", yes, 30);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "tcp " + older.Target() + ": changed (1 difference)\n");
    uint8_t age = 0;
    HeldIp(saved, &age);
    EXPECT_EQ(age, kWantedAge);
}

} // namespace
