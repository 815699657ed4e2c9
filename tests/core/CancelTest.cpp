// Stopping a device command part way: the steps the link reports, how soon
// a cancel takes effect, and what a cancelled read or write leaves behind,
// on the computer and on the device (the simulator's frame log and the
// configuration it holds).
#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

#include "support/DevSimProcess.h"
#include "support/QuickLink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Frames = std::vector<std::vector<unsigned char>>;

// How long after a step begins the test's user presses Cancel.
constexpr std::chrono::milliseconds kUserDelay{100};
// The longest a cancel may take to stop the command.
constexpr std::chrono::milliseconds kMostCancelTime{500};

// Records the steps; from `kUserDelay` after the step `cancelAt` began
// (never, when empty) it asks the link to stop, as a user's click would.
class ScriptedUser : public LinkWatcher
{
public:
    explicit ScriptedUser(std::string cancelAt = std::string()) : m_cancelAt(std::move(cancelAt)) {}

    void OnStep(const wxString& text, bool cancellable) override
    {
        steps.push_back(text.utf8_string());
        cancellable_.push_back(cancellable);
        if (!m_cancelAt.empty() && text == m_cancelAt && !m_pressed) {
            m_pressed = true;
            pressedAt = Clock::now() + kUserDelay;
        }
    }
    bool IsCancelRequested() override { return m_pressed && Clock::now() >= pressedAt; }

    std::vector<std::string> steps;
    std::vector<bool> cancellable_;
    Clock::time_point pressedAt;

private:
    std::string m_cancelAt;
    bool m_pressed = false;
};

bool StartsWith(const std::vector<unsigned char>& frame, const char* text)
{
    const size_t n = std::strlen(text);
    return frame.size() >= n && std::memcmp(frame.data(), text, n) == 0;
}

// The frames' leading texts, as far as `length` characters.
std::vector<std::string> FrameHeads(const Frames& frames, size_t length)
{
    std::vector<std::string> heads;
    for (const auto& frame : frames)
        heads.emplace_back(frame.begin(), frame.begin() + std::min(frame.size(), length));
    return heads;
}

class CancelTest : public ::testing::Test
{
protected:
    std::unique_ptr<DevSimProcess> StartDevice(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--log", m_dir.File("device.log"), "--save", m_dir.File("saved.qst")});
        auto device = std::make_unique<DevSimProcess>(args);
        EXPECT_TRUE(device->IsReady()) << device->Banner();
        return device;
    }
    Frames Received() { return LoggedFrames(m_dir.File("device.log")); }
    bool DeviceSavedAWrite() { return wxFileExists(m_dir.File("saved.qst")); }

    // Runs `command` with `user` watching; the time from the user's press
    // to the command's return.
    template <typename Command>
    std::chrono::milliseconds Run(ConfigProtocol& link, ScriptedUser& user, Command command)
    {
        link.SetLinkTiming(QuickLinkTiming());
        link.SetLinkWatcher(&user);
        command();
        const auto returned = Clock::now();
        link.SetLinkWatcher(nullptr);
        return std::chrono::duration_cast<std::chrono::milliseconds>(returned - user.pressedAt);
    }

    TempDir m_dir;
};

TEST_F(CancelTest, ReadAndWriteNameEachStepAndEveryRetry)
{
    auto device = StartDevice({});
    ConfigData config;  // two nodes
    ScriptedUser reader;
    wxString error;
    Run(config, reader, [&] { ASSERT_TRUE(config.ReadFromDevice(true, "127.0.0.1", device->Port(), error)); });
    const std::vector<std::string> readSteps = {
        "Requesting configuration: connecting...",      "Requesting configuration: protocol version...",
        "Requesting configuration: start...",           "Requesting configuration: general settings...",
        "Requesting configuration: node 1 of 2...",     "Requesting configuration: node 2 of 2...",
        "Requesting configuration: IP settings...",     "Requesting configuration: end...",
    };
    EXPECT_EQ(reader.steps, readSteps);
    EXPECT_FALSE(config.WasCancelled());

    ASSERT_TRUE(config.AddNode());
    ScriptedUser writer;
    Run(config, writer, [&] { ASSERT_TRUE(config.WriteToDevice(true, "127.0.0.1", device->Port(), error)); });
    const std::vector<std::string> writeSteps = {
        "Sending configuration: connecting...",  "Sending configuration: protocol version...",
        "Sending configuration: start...",       "Sending configuration: general settings...",
        "Sending configuration: node 1 of 3...", "Sending configuration: node 2 of 3...",
        "Sending configuration: node 3 of 3...", "Sending configuration: IP settings...",
        "Sending configuration: end...",
    };
    EXPECT_EQ(writer.steps, writeSteps);
    // Only the end, once sent, cannot be stopped.
    EXPECT_EQ(writer.cancellable_, std::vector<bool>({true, true, true, true, true, true, true, true, false}));

    // A silent step is retried, and each attempt is shown.
    auto silent = StartDevice({"--silent", "id"});
    ScriptedUser asker;
    LinkTiming fast = QuickLinkTiming();
    fast.tcpPollMs = 100;
    config.SetLinkTiming(fast);
    config.SetLinkWatcher(&asker);
    wxString identity;
    EXPECT_FALSE(config.GetDeviceId(true, "127.0.0.1", silent->Port(), identity, error));
    config.SetLinkWatcher(nullptr);
    EXPECT_EQ(asker.steps, (std::vector<std::string>{"Requesting ID: connecting...", "Requesting ID...",
                                                     "Requesting ID (attempt 2 of 2)..."}));
    EXPECT_EQ(error, "No/Unknown response");
    EXPECT_FALSE(config.WasCancelled());
}

// A read stopped at each of its steps, over TCP; the step's reply never
// comes, so only the cancel ends the wait early.
struct ReadStep {
    const char* silentStep;   // the simulator's name of the step
    const char* status;       // the step as the link reports it
    const char* lastFrame;    // the last frame the device receives
};

class CancelledRead : public CancelTest, public ::testing::WithParamInterface<ReadStep>
{
};

TEST_P(CancelledRead, LeavesTheBlocksAsTheyWere)
{
    const ReadStep& step = GetParam();
    auto device = StartDevice({"--silent", step.silentStep});
    ConfigData config;
    config.SetDataAge(99);
    const MainBlock main = config.GetMainBlock();
    const IpBlock ip = config.GetIpBlock();
    const bool modified = config.IsModified();
    ScriptedUser user(step.status);
    wxString error;
    bool read = true;
    const auto took =
        Run(config, user, [&] { read = config.ReadFromDevice(true, "127.0.0.1", device->Port(), error); });

    EXPECT_FALSE(read);
    EXPECT_TRUE(config.WasCancelled());
    EXPECT_EQ(error, "Cancelled");
    EXPECT_LT(took, kMostCancelTime);
    EXPECT_EQ(0, std::memcmp(&main, &config.GetMainBlock(), sizeof main));
    EXPECT_EQ(0, std::memcmp(&ip, &config.GetIpBlock(), sizeof ip));
    EXPECT_EQ(config.IsModified(), modified);
    const Frames frames = Received();
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(StartsWith(frames.back(), step.lastFrame)) << "nothing is sent after the step that was stopped";
}

INSTANTIATE_TEST_SUITE_P(EachStep, CancelledRead,
                         ::testing::Values(ReadStep{"ver", "Requesting configuration: protocol version...", "ver"},
                                           ReadStep{"get-S", "Requesting configuration: start...", "get config S"},
                                           ReadStep{"get-0", "Requesting configuration: general settings...",
                                                    "get config 0"},
                                           ReadStep{"get-1", "Requesting configuration: node 1 of 2...",
                                                    "get config 1"},
                                           ReadStep{"get-2", "Requesting configuration: node 2 of 2...",
                                                    "get config 2"},
                                           ReadStep{"get-E", "Requesting configuration: IP settings...",
                                                    "get config E"},
                                           ReadStep{"get-D", "Requesting configuration: end...", "get config D"}));

// A write stopped at each step before its end: the device never receives
// the end, and keeps the configuration it held.
class CancelledWrite : public CancelTest, public ::testing::WithParamInterface<ReadStep>
{
};

TEST_P(CancelledWrite, NeverSendsTheEnd)
{
    const ReadStep& step = GetParam();
    ConfigData held;
    held.SetDataAge(42);
    held.SetNotes("held");
    const std::string heldFile = m_dir.File("held.qst");
    ASSERT_TRUE(held.Save(heldFile));
    auto device = StartDevice({"--config", heldFile, "--silent", step.silentStep});

    ConfigData config;
    config.SetDataAge(7);
    ScriptedUser user(step.status);
    wxString error;
    WriteOutcome outcome = WriteOutcome::Sent;
    const auto took = Run(config, user, [&] {
        outcome = SendConfiguration(config, true, "127.0.0.1", device->Port(), [](const wxString&) { return true; },
                                    error);
    });

    EXPECT_EQ(outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(error, "Cancelled");
    EXPECT_LT(took, kMostCancelTime);
    const Frames frames = Received();
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(StartsWith(frames.back(), step.lastFrame)) << "nothing is sent after the step that was stopped";
    for (const auto& frame : frames)
        EXPECT_FALSE(StartsWith(frame, "set config D"));
    EXPECT_FALSE(DeviceSavedAWrite());

    // What the device holds is what it held before.
    if (std::string(step.silentStep) != "ver") {
        ConfigData readBack;
        readBack.SetLinkTiming(QuickLinkTiming());
        ASSERT_TRUE(readBack.ReadFromDevice(true, "127.0.0.1", device->Port(), error)) << error;
        EXPECT_EQ(0, std::memcmp(&readBack.GetMainBlock(), &held.GetMainBlock(), sizeof(MainBlock)));
    }
}

INSTANTIATE_TEST_SUITE_P(EachStep, CancelledWrite,
                         ::testing::Values(ReadStep{"ver", "Sending configuration: protocol version...", "ver"},
                                           ReadStep{"set-S", "Sending configuration: start...", "set config S"},
                                           ReadStep{"set-0", "Sending configuration: general settings...",
                                                    "set config 0"},
                                           ReadStep{"set-1", "Sending configuration: node 1 of 2...",
                                                    "set config 1"},
                                           ReadStep{"set-2", "Sending configuration: node 2 of 2...",
                                                    "set config 2"},
                                           ReadStep{"set-E", "Sending configuration: IP settings...",
                                                    "set config E"}));

TEST_F(CancelTest, OnceTheEndIsSentTheWriteRunsToItsAnswer)
{
    auto device = StartDevice({"--delay", "set-D:300"});
    ConfigData config;
    config.SetDataAge(11);
    ScriptedUser user("Sending configuration: end...");
    wxString error;
    bool written = false;
    Run(config, user, [&] { written = config.WriteToDevice(true, "127.0.0.1", device->Port(), error); });
    EXPECT_TRUE(written) << error;
    EXPECT_FALSE(config.WasCancelled());
    ConfigData saved;
    ASSERT_TRUE(saved.Load(m_dir.File("saved.qst"), error)) << error;
    EXPECT_EQ(saved.GetDataAge(), 11);
}

TEST_F(CancelTest, OlderDeviceWriteStopsBeforeItsOneFrame)
{
    // The version question goes unanswered by an older device; a cancel
    // while it is asked must not be taken for that silence.
    auto device = StartDevice({"--protocol", "1.0", "--silent", "ver"});
    ConfigData config;
    ScriptedUser user("Sending configuration: protocol version...");
    wxString error;
    bool written = true;
    Run(config, user, [&] { written = config.WriteToDevice(true, "127.0.0.1", device->Port(), error); });
    EXPECT_FALSE(written);
    EXPECT_TRUE(config.WasCancelled());
    EXPECT_EQ(FrameHeads(Received(), 3), std::vector<std::string>{"ver"});
    EXPECT_FALSE(DeviceSavedAWrite());
}

TEST_F(CancelTest, StopsWhileWaitingToConnectAgain)
{
    // Nothing listens there: the first connect is refused at once and the
    // link waits before its second try.
    ConfigData config;
    LinkTiming timing = QuickLinkTiming();
    timing.reconnectPauseMs = 5000;
    ScriptedUser user("Requesting ID: connecting...");
    config.SetLinkTiming(timing);
    config.SetLinkWatcher(&user);
    wxString identity, error = "untouched";
    EXPECT_FALSE(config.GetDeviceId(true, "127.0.4.3", 9, identity, error));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - user.pressedAt);
    config.SetLinkWatcher(nullptr);
    EXPECT_TRUE(config.WasCancelled());
    EXPECT_LT(took, kMostCancelTime);
    EXPECT_EQ(error, "untouched");
}

TEST_F(CancelTest, SerialReadStopsBetweenPolls)
{
    auto device = StartDevice({"--pty", "--silent", "get-1"});
    ConfigData config;
    const MainBlock main = config.GetMainBlock();
    ScriptedUser user("Requesting configuration: node 1 of 2...");
    wxString error;
    bool read = true;
    LinkTiming timing = QuickLinkTiming();
    timing.serialPollMs = 500;  // the default pause between reads, which a cancel cuts short
    config.SetLinkTiming(timing);
    config.SetLinkWatcher(&user);
    read = config.ReadFromDevice(false, device->PtyPath(), 9600, error);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - user.pressedAt);
    config.SetLinkWatcher(nullptr);
    EXPECT_FALSE(read);
    EXPECT_TRUE(config.WasCancelled());
    EXPECT_LT(took, kMostCancelTime);
    EXPECT_EQ(0, std::memcmp(&main, &config.GetMainBlock(), sizeof main));
}

TEST_F(CancelTest, AnotherCommandStartsUncancelled)
{
    auto device = StartDevice({"--silent", "id"});
    ConfigData config;
    ScriptedUser user("Requesting ID...");
    wxString identity, error;
    Run(config, user, [&] { EXPECT_FALSE(config.GetDeviceId(true, "127.0.0.1", device->Port(), identity, error)); });
    ASSERT_TRUE(config.WasCancelled());
    auto answering = StartDevice({});
    EXPECT_TRUE(config.GetDeviceId(true, "127.0.0.1", answering->Port(), identity, error)) << error;
    EXPECT_FALSE(config.WasCancelled());
}

} // namespace
