// The device-command rules shared by the window and qst: the questions
// before a write, their texts, what the commands report, and the
// acknowledged commands, against the device simulator over loopback TCP.
#include "config/ConfigData.h"
#include "device/DeviceCommands.h"
#include "support/DevSimProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The texts as the program shows them, joined by hand from their pieces.
const wxString kNoControlLinkText = "There is no Control protocol on TCP server port 23.\n\n"
                                    "If you write this configuration you may no longer be able to reconfigure the "
                                    "device. You will have to do a factory reset to make changes.\n\n"
                                    "Do you want to continue?";
const wxString kWriteProtectText = "This configuration is set to write protect.\n\n"
                                   "If you write this configuration you may no longer be able to reconfigure the "
                                   "device. You will have to do a factory reset to make changes.\n\n"
                                   "Do you want to continue?";
const wxString kLossyText = "Some data will be lost converting to older format as the remote device firmware is out "
                            "of date.\r\n\r\nDo you want to continue?";

// Answers the questions in turn and keeps what was asked.
struct ScriptedUser {
    explicit ScriptedUser(std::vector<bool> script = {}) : answers(std::move(script)) {}

    AskUser Ask()
    {
        return [this](const wxString& question) {
            asked.push_back(question);
            return asked.size() <= answers.size() && answers[asked.size() - 1];
        };
    }

    std::vector<bool> answers;
    std::vector<wxString> asked;
};

// A configuration that an older device takes only with losses: a node with
// twelve slave entries.
void MakeLossy(ConfigData& config)
{
    NodeEntry& node = *config.GetNode(1);
    node.slaveCount = 12;
    for (unsigned k = 0; k < 12; ++k) {
        node.slaveId[k] = uint8_t(k + 1);
        node.readLength[k] = 1;
        node.writeStart[k] = uint16_t(100 + k);
        node.writeLength[k] = 1;
    }
}

std::vector<std::string> FrameTexts(const std::string& log)
{
    std::vector<std::string> texts;
    for (const auto& frame : LoggedFrames(log))
        texts.emplace_back(frame.begin(), frame.end());
    return texts;
}

} // namespace

TEST(DeviceCommandTexts, WriteQuestionsAreTheSpecifiedTexts)
{
    EXPECT_EQ(WriteQuestionText(WriteQuestion::NoControlLink), kNoControlLinkText);
    EXPECT_EQ(WriteQuestionText(WriteQuestion::WriteProtect), kWriteProtectText);
    EXPECT_EQ(WriteQuestionText(WriteQuestion::LossyConversion), kLossyText);
}

TEST(DeviceCommandTexts, ControlLinkRiskQuestionEndsWithTheSharedPieces)
{
    EXPECT_EQ(ControlLinkRiskQuestion("It is recommended that you do not edit this Control protocol node.\n\n",
                                      "If you do, you may no longer be able to reconfigure the device. "),
              "It is recommended that you do not edit this Control protocol node.\n\n"
              "If you do, you may no longer be able to reconfigure the device. "
              "You will have to do a factory reset to make changes.\n\n"
              "Do you want to continue?");
}

TEST(DeviceCommandTexts, ReportsOfEveryCommand)
{
    const auto expect = [](const CommandReport& report, const char* done, const char* failed, const char* message) {
        EXPECT_STREQ(report.done, done);
        EXPECT_STREQ(report.failed, failed);
        EXPECT_STREQ(report.failedMessage, message);
    };
    expect(kGetIdReport, "ID retrieved", "Get ID failed", "Failed to retrieve ID from device.");
    expect(kReadReport, "Configuration retreived", "Configuration read failed",
           "Failed to retrieve config from device.");
    expect(kWriteReport, "Configuration sent and acknowledged", "Configuration write failed",
           "Failed to write config to device.");
    expect(kSetClockCommand.report, "Set time command sent and acknowledged", "Failed to send time set command",
           "Failed to send time set command to device.");
    expect(kRebootCommand.report, "Reboot command sent and acknowledged", "Failed to send reboot command",
           "Failed to send reboot command to device.");
}

TEST(ConfirmWrite, AFreshConfigurationAsksNothing)
{
    ConfigData config;
    ScriptedUser user;
    EXPECT_TRUE(ConfirmWrite(config, user.Ask()));
    EXPECT_TRUE(user.asked.empty());
}

TEST(ConfirmWrite, AsksAboutTheControlLinkThenWriteProtectAndStopsAtNo)
{
    ConfigData config;
    ASSERT_TRUE(config.DeleteNode(0));
    config.SetWriteProtect(1);

    ScriptedUser no{{false}};
    EXPECT_FALSE(ConfirmWrite(config, no.Ask()));
    EXPECT_EQ(no.asked, std::vector<wxString>{kNoControlLinkText});

    ScriptedUser yesThenNo{{true, false}};
    EXPECT_FALSE(ConfirmWrite(config, yesThenNo.Ask()));
    EXPECT_EQ(yesThenNo.asked, (std::vector<wxString>{kNoControlLinkText, kWriteProtectText}));

    ScriptedUser yes{{true, true}};
    EXPECT_TRUE(ConfirmWrite(config, yes.Ask()));
    EXPECT_EQ(yes.asked.size(), 2u);

    ConfigData locked;
    locked.SetWriteProtect(1);
    ScriptedUser lockedYes{{true}};
    EXPECT_TRUE(ConfirmWrite(locked, lockedYes.Ask()));
    EXPECT_EQ(lockedYes.asked, std::vector<wxString>{kWriteProtectText});
}

TEST(SendConfiguration, LossyWriteAsksAndNoSendsNothing)
{
    TempDir dir;
    const std::string log = dir.File("frames.log");
    const std::string saved = dir.File("device.qst");
    DevSimProcess sim({"--protocol", "1.0", "--log", log, "--save", saved});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ConfigData config;
    MakeLossy(config);
    // The older device leaves the version question unanswered: no need to
    // wait the seconds a real link would.
    LinkTiming timing;
    timing.tcpPollMs = 500;
    config.SetLinkTiming(timing);

    ScriptedUser no{{false}};
    wxString error = "untouched";
    EXPECT_EQ(SendConfiguration(config, true, "127.0.0.1", sim.Port(), no.Ask(), error), WriteOutcome::Declined);
    EXPECT_EQ(no.asked, std::vector<wxString>{kLossyText});
    EXPECT_EQ(error, "untouched");
    for (const std::string& frame : FrameTexts(log))
        EXPECT_EQ(frame, "ver");
    EXPECT_TRUE(ReadFileBytes(saved).empty());

    ScriptedUser yes{{true}};
    EXPECT_EQ(SendConfiguration(config, true, "127.0.0.1", sim.Port(), yes.Ask(), error), WriteOutcome::Sent);
    EXPECT_EQ(yes.asked.size(), 1u);
    ConfigData device;
    ASSERT_TRUE(device.Load(saved, error)) << error;
    EXPECT_EQ(device.GetNode(1)->slaveCount, 10);
}

TEST(SendConfiguration, DeviceErrorFailsWithItsText)
{
    DevSimProcess sim({"--error", "set-E:IP block refused"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ConfigData config;
    ScriptedUser user;
    wxString error;
    EXPECT_EQ(SendConfiguration(config, true, "127.0.0.1", sim.Port(), user.Ask(), error), WriteOutcome::Failed);
    EXPECT_EQ(error, "Error: IP block refused");
    EXPECT_TRUE(user.asked.empty());
}

TEST(AcknowledgedCommands, SetClockAndRebootReachTheDevice)
{
    TempDir dir;
    const std::string log = dir.File("frames.log");
    DevSimProcess sim({"--log", log});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ConfigData link;
    wxString error;
    EXPECT_TRUE(RunAcknowledgedCommand(link, kSetClockCommand, true, "127.0.0.1", sim.Port(), error)) << error;
    EXPECT_TRUE(RunAcknowledgedCommand(link, kRebootCommand, true, "127.0.0.1", sim.Port(), error)) << error;
    const std::vector<std::string> frames = FrameTexts(log);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].substr(0, 9), "set time ");
    EXPECT_EQ(frames[1], "reboot");
}

TEST(AcknowledgedCommands, RefusalsCarryTheDevicesText)
{
    DevSimProcess sim({"--error", "time:Clock locked", "--error", "reboot:Busy right now"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ConfigData link;
    wxString error;
    EXPECT_FALSE(RunAcknowledgedCommand(link, kSetClockCommand, true, "127.0.0.1", sim.Port(), error));
    EXPECT_EQ(error, "Error: Clock locked");
    EXPECT_FALSE(RunAcknowledgedCommand(link, kRebootCommand, true, "127.0.0.1", sim.Port(), error));
    EXPECT_EQ(error, "Error: Busy right now");
}
