// qst's device commands against the device simulator, over loopback TCP
// and a pseudo-terminal, with their exit statuses.
#include "config/ConfigData.h"
#include "core/CoreVectors.h"
#include "device/DeviceCommands.h"
#include "support/DevSimProcess.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>
#include <wx/dir.h>

#include <algorithm>

#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

using namespace vectors;

namespace {

std::string TcpTarget(const DevSimProcess& sim)
{
    return "127.0.0.1:" + std::to_string(sim.Port());
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// What qst prints of a question when it cannot ask: its first line.
std::string FirstLine(WriteQuestion question)
{
    return WriteQuestionText(question).BeforeFirst('\n').BeforeFirst('\r').utf8_string();
}

// A saved configuration with a third node, and the given header changes.
std::string SaveConfig(const TempDir& dir, const std::string& name, bool controlLink, bool writeProtect,
                       int slaves = 1)
{
    ConfigData config;
    config.AddNode();
    config.GetNode(2)->slaveCount = uint8_t(slaves);
    for (int k = 0; k < slaves; ++k)
        config.GetNode(2)->slaveId[k] = uint8_t(k + 1);  // distinct, as the check wants
    if (!controlLink)
        config.GetNode(0)->portNumber = 24;
    config.SetWriteProtect(writeProtect ? 1 : 0);
    const std::string path = dir.File(name);
    EXPECT_TRUE(config.Save(path));
    return path;
}

Bytes MainBlockOfFile(const std::string& path)
{
    const Bytes file = ReadFileBytes(path);
    if (file.size() < 25 + kMain)
        return {};
    return Bytes(file.begin() + 25, file.begin() + 25 + kMain);
}

} // namespace

TEST(QstDevice, GetIdOverTcpAndPseudoTerminal)
{
    DevSimProcess sim({"--listen", "127.0.0.1", "--pty", "--id", "Quorastelline QS-6 test unit"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();

    ProgramResult run = RunProgram("qst", {"get-id", "--tcp", TcpTarget(sim)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Quorastelline QS-6 test unit\n");

    run = RunProgram("qst", {"get-id", "--serial", sim.PtyPath() + ":115200"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Quorastelline QS-6 test unit\n");
}

TEST(QstDevice, FailuresCarryTheWindowsTextAndTheDevicesLine)
{
    // Silence over the serial line: 3 attempts of half a second, not of 5 s.
    DevSimProcess sim({"--listen", "127.0.0.1", "--pty", "--error", "reboot:Busy right now", "--silent", "time"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();

    ProgramResult run = RunProgram("qst", {"reboot", "--tcp", TcpTarget(sim)});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "Failed to send reboot command to device.")) << run.err;
    EXPECT_TRUE(Contains(run.err, "Error: Busy right now")) << run.err;

    run = RunProgram("qst", {"set-clock", "--serial", sim.PtyPath()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "Failed to send time set command to device.")) << run.err;
    EXPECT_TRUE(Contains(run.err, "No/Unknown response")) << run.err;

    // Nothing listens on this port once the listener is closed (the
    // address is this test's alone, so no test beside it takes the port).
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.4.2", &address.sin_addr);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    const int freePort = ntohs(address.sin_port);
    close(probe);
    run = RunProgram("qst", {"get-id", "--tcp", "127.0.4.2:" + std::to_string(freePort)});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "Failed to retrieve ID from device.")) << run.err;
    EXPECT_TRUE(Contains(run.err, "No connection to 127.0.4.2:")) << run.err;
}

TEST(QstDevice, SuccessfulCommandsExitZero)
{
    DevSimProcess sim({"--listen", "127.0.0.1", "--pty"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    EXPECT_EQ(RunProgram("qst", {"set-clock", "--tcp", TcpTarget(sim)}).status, 0);
    EXPECT_EQ(RunProgram("qst", {"reboot", "--serial", sim.PtyPath()}).status, 0);
}

TEST(QstDevice, ReadSavesWhatTheDeviceHolds)
{
    TempDir dir;
    const std::string held = SaveConfig(dir, "held.qst", true, false, 7);
    for (const char* version : {"1.1", "1.0"}) {
        DevSimProcess sim({"--listen", "127.0.0.1", "--pty", "--config", held, "--protocol", version,
                           "--quick-unknown"});
        ASSERT_TRUE(sim.IsReady()) << sim.Banner();
        const std::string out = dir.File(std::string("read-") + version + ".qst");
        ProgramResult run = RunProgram("qst", {"read", "--tcp", TcpTarget(sim), "-o", out});
        ASSERT_EQ(run.status, 0) << version << run.err;
        // The older protocol has room for ten slaves a node; seven fit both.
        EXPECT_EQ(MainBlockOfFile(out), MainBlockOfFile(held)) << version;

        const std::string serialOut = dir.File(std::string("serial-") + version + ".qst");
        run = RunProgram("qst", {"read", "--serial", sim.PtyPath(), "-o", serialOut});
        ASSERT_EQ(run.status, 0) << version << run.err;
        EXPECT_EQ(MainBlockOfFile(serialOut), MainBlockOfFile(held)) << version;
    }
}

TEST(QstDevice, FailedReadLeavesNoFile)
{
    TempDir dir;
    DevSimProcess sim({"--drop", "get-2"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    const std::string out = dir.File("partial.qst");
    WriteFileBytes(out, {'k', 'e', 'e', 'p'});
    const ProgramResult run = RunProgram("qst", {"read", "--tcp", TcpTarget(sim), "-o", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "Failed to retrieve config from device.")) << run.err;
    EXPECT_EQ(ReadFileBytes(out), Bytes({'k', 'e', 'e', 'p'}));
    const ProgramResult missing = RunProgram("qst", {"read", "--tcp", TcpTarget(sim), "-o", dir.File("new.qst")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(ReadFileBytes(dir.File("new.qst")).empty());
    EXPECT_NE(access(dir.File("new.qst").c_str(), F_OK), 0);
}

TEST(QstDevice, WriteSendsTheFile)
{
    TempDir dir;
    const std::string file = SaveConfig(dir, "send.qst", true, false);
    const std::string saved = dir.File("device.qst");
    DevSimProcess sim({"--listen", "127.0.0.1", "--pty", "--save", saved});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    const ProgramResult run = RunProgram("qst", {"write", "--serial", sim.PtyPath() + ":9600", file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(MainBlockOfFile(saved), MainBlockOfFile(file));
}

TEST(QstDevice, WriteWithoutTerminalOrYesSendsNothing)
{
    TempDir dir;
    const std::string noLink = SaveConfig(dir, "no-link.qst", false, false);
    const std::string locked = SaveConfig(dir, "locked.qst", true, true);
    const std::string log = dir.File("frames.log");
    DevSimProcess sim({"--log", log});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();

    ProgramResult run = RunProgram("qst", {"write", "--tcp", TcpTarget(sim), noLink});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, FirstLine(WriteQuestion::NoControlLink))) << run.err;
    EXPECT_TRUE(Contains(run.err, "--yes")) << run.err;
    run = RunProgram("qst", {"write", "--tcp", TcpTarget(sim), locked});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, FirstLine(WriteQuestion::WriteProtect))) << run.err;
    EXPECT_TRUE(LoggedFrames(log).empty());

    run = RunProgram("qst", {"write", "--yes", "--tcp", TcpTarget(sim), noLink});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(LoggedFrames(log).empty());
}

TEST(QstDevice, LossyWriteToAnOlderDeviceNeedsYes)
{
    TempDir dir;
    const std::string many = SaveConfig(dir, "many.qst", true, false, 12);
    const std::string log = dir.File("frames.log");
    const std::string saved = dir.File("device.qst");
    DevSimProcess sim({"--protocol", "1.0", "--quick-unknown", "--log", log, "--save", saved});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();

    ProgramResult run = RunProgram("qst", {"write", "--tcp", TcpTarget(sim), many});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, FirstLine(WriteQuestion::LossyConversion) + "\n")) << run.err;
    // Only the version question went out (asked twice, as it goes
    // unanswered by an older device).
    const auto frames = LoggedFrames(log);
    ASSERT_FALSE(frames.empty());
    for (const auto& frame : frames)
        EXPECT_EQ(std::string(frame.begin(), frame.end()), "ver");

    run = RunProgram("qst", {"write", "--tcp", TcpTarget(sim), many, "-y"});
    EXPECT_EQ(run.status, 0) << run.err;
    const Bytes main = MainBlockOfFile(saved);
    ASSERT_EQ(main.size(), kMain);
    EXPECT_EQ(main[13 + 2 * kNode + 14], 10);   // node 3 keeps ten slaves
}

TEST(QstDevice, UsageErrors)
{
    EXPECT_EQ(RunProgram("qst", {"get-id"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"get-id", "--tcp", "127.0.0.1:99999"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"get-id", "--tcp", "127.0.0.1", "--serial", "/dev/null"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"read", "--tcp", "127.0.0.1"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"write", "--tcp", "127.0.0.1"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"reboot", "--tcp", "127.0.0.1", "extra"}).status, 2);
}

// The scan covers a subnet that no other test uses, so that it meets only
// its own devices and disturbs no other test's.
TEST(QstFind, ListsExactlyTheDevices)
{
    DevSimProcess devices({"--listen", "127.0.5.2", "--listen", "127.0.5.3", "--listen", "127.0.5.4", "--id",
                           "Quorastelline Device Simulator"});
    ASSERT_TRUE(devices.IsReady()) << devices.Banner();
    const int port = devices.Port();
    DevSimProcess other({"--listen", "127.0.5.5", "--port", std::to_string(port), "--id", "Telnet server ready"});
    ASSERT_TRUE(other.IsReady()) << other.Banner();
    // A host that accepts and never answers.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.5.6", &address.sin_addr);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);

    const ProgramResult run = RunProgram("qst", {"find", "127.0.5.", "--port", std::to_string(port)});
    close(silent);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "127.0.5.2 - Quorastelline Device Simulator\n"
              "127.0.5.3 - Quorastelline Device Simulator\n"
              "127.0.5.4 - Quorastelline Device Simulator\n");
}

TEST(QstFind, BadSubnetsAreRefused)
{
    for (const char* subnet : {"127.0.0.7", "127.0", "subnet"}) {
        const ProgramResult run = RunProgram("qst", {"find", subnet});
        EXPECT_EQ(run.status, 2) << subnet;
        EXPECT_TRUE(Contains(run.err, "Only scanning of 255.255.255.0 (\\24) subnets is supported")) << run.err;
    }
    const ProgramResult range = RunProgram("qst", {"find", "127.0.300."});
    EXPECT_EQ(range.status, 2);
    EXPECT_TRUE(Contains(range.err, "IP range does not look valid (octet out of range 0-255).")) << range.err;
}

namespace {

bool LoggedFrameStarting(const std::string& log, const std::string& head)
{
    for (const auto& frame : LoggedFrames(log))
        if (frame.size() >= head.size() && std::equal(head.begin(), head.end(), frame.begin()))
            return true;
    return false;
}

// The names in a folder.
std::vector<std::string> FolderNames(const std::string& path)
{
    std::vector<std::string> names;
    wxDir dir(path);
    wxString name;
    for (bool more = dir.GetFirst(&name); more; more = dir.GetNext(&name))
        names.push_back(name.utf8_string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Ctrl-C while the device takes its time over a step.
TEST(QstInterrupt, WriteStopsBeforeItsEnd)
{
    TempDir dir;
    const std::string file = SaveConfig(dir, "send.qst", true, false);
    const std::string log = dir.File("device.log");
    const std::string saved = dir.File("device.qst");
    DevSimProcess sim({"--silent", "set-2", "--log", log, "--save", saved});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    const ProgramResult run = RunProgram("qst", {"write", "--tcp", TcpTarget(sim), file}, 30,
                                         [&] { return LoggedFrameStarting(log, "set config 2"); });
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_LT(run.msAfterInterrupt, 500);
    EXPECT_TRUE(Contains(run.err, "Configuration write cancelled.")) << run.err;
    EXPECT_FALSE(LoggedFrameStarting(log, "set config 3"));
    EXPECT_FALSE(LoggedFrameStarting(log, "set config D"));
    EXPECT_NE(access(saved.c_str(), F_OK), 0) << "the device took the configuration";
}

TEST(QstInterrupt, ReadWritesNoFile)
{
    TempDir dir;
    const std::string log = dir.File("device.log");
    DevSimProcess sim({"--silent", "get-E", "--log", log});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    const std::string out = dir.File("backup.qst");
    const ProgramResult run = RunProgram("qst", {"read", "--tcp", TcpTarget(sim), "-o", out}, 30,
                                         [&] { return LoggedFrameStarting(log, "get config E"); });
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_LT(run.msAfterInterrupt, 500);
    EXPECT_TRUE(Contains(run.err, "Configuration read cancelled")) << run.err;
    // No file, whole or partial, and no temporary file left beside it.
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"device.log"});
}
