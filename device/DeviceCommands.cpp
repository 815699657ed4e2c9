#include "device/DeviceCommands.h"

#include "config/BlockCrc.h"
#include "config/ConfigCheck.h"
#include "config/ConfigCompare.h"
#include "config/ConfigData.h"

#include <cstring>

namespace {

constexpr const char* kFactoryResetWarning = "You will have to do a factory reset to make changes.\n\n";
constexpr const char* kContinueQuestion = "Do you want to continue?";
constexpr const char* kWriteRisk =
    "If you write this configuration you may no longer be able to reconfigure the device. ";

} // namespace

const CommandReport kGetIdReport = {"ID retrieved", "Get ID failed", "Failed to retrieve ID from device.",
                                    "Get ID cancelled"};
const CommandReport kReadReport = {"Configuration retreived", "Configuration read failed",
                                   "Failed to retrieve config from device.", "Configuration read cancelled"};
const CommandReport kWriteReport = {"Configuration sent and acknowledged", "Configuration write failed",
                                    "Failed to write config to device.", "Configuration write cancelled"};
const char* const kWriteCancelledMessage =
    "Configuration write cancelled.\r\n\r\nThe device was not told that the configuration is complete.";

const AcknowledgedCommand kSetClockCommand = {
    &ConfigProtocol::SetDeviceClock,
    {"Set time command sent and acknowledged", "Failed to send time set command",
     "Failed to send time set command to device.", "Set time command cancelled before it was acknowledged"}};
const AcknowledgedCommand kRebootCommand = {
    &ConfigProtocol::RebootDevice,
    {"Reboot command sent and acknowledged", "Failed to send reboot command",
     "Failed to send reboot command to device.", "Reboot command cancelled before it was acknowledged"}};

wxString ControlLinkRiskQuestion(const wxString& situation, const wxString& risk)
{
    return situation + risk + kFactoryResetWarning + kContinueQuestion;
}

wxString WriteQuestionText(WriteQuestion question)
{
    switch (question) {
    case WriteQuestion::NoControlLink:
        return ControlLinkRiskQuestion("There is no Control protocol on TCP server port 23.\n\n", kWriteRisk);
    case WriteQuestion::WriteProtect:
        return ControlLinkRiskQuestion("This configuration is set to write protect.\n\n", kWriteRisk);
    case WriteQuestion::LossyConversion:
        return wxString("Some data will be lost converting to older format as the remote device firmware is out "
                        "of date.\r\n\r\n") +
               kContinueQuestion;
    }
    return wxString();
}

wxString CheckErrorsQuestion(const ConfigData& config)
{
    wxString text = "This configuration has errors that may keep it from working as meant:\n";
    for (const ConfigFinding& finding : CheckConfiguration(config))
        if (finding.severity == FindingSeverity::Error)
            text += "\n- " + finding.text;
    return text + "\n\nDo you want to write it anyway?";
}

bool ConfirmWrite(const ConfigData& config, const AskUser& ask)
{
    if (!config.HasControlLink() && !ask(WriteQuestionText(WriteQuestion::NoControlLink)))
        return false;
    if (config.GetWriteProtect() && !ask(WriteQuestionText(WriteQuestion::WriteProtect)))
        return false;
    return !HasErrors(CheckConfiguration(config)) || ask(CheckErrorsQuestion(config));
}

bool AsTheDeviceHoldsIt(const ConfigData& config, bool legacy, ConfigData& held)
{
    MainBlock main = config.GetMainBlock();
    bool whole = true;
    if (legacy) {
        LegacyBlock older;
        whole = MainToLegacy(main, older);
        LegacyToMain(older, main);
    }
    held.SetBlocks(main, config.GetIpBlock());
    return whole;
}

namespace {

// Reads the configuration back and compares it with what was sent; false
// with the differences, or the reason the read failed, in `error`.
bool VerifyWrite(ConfigData& config, bool useTcp, const wxString& target, int portOrSpeed, MacOnWrite mac,
                 wxString& error)
{
    const bool legacy = config.LastTransferWasLegacy();
    MainBlock main = config.GetMainBlock();
    IpBlock ip = config.GetIpBlock();
    wxString readError;
    if (!config.ReadConfig(useTcp, target, portOrSpeed, main, ip, readError, "Verifying configuration")) {
        if (config.WasCancelled())
            error = "The configuration was sent and acknowledged, but checking it was cancelled.";
        else
            error = "The configuration was sent and acknowledged, but reading it back failed: " +
                    (readError.empty() ? wxString(kNoResponseText) : readError);
        return false;
    }
    ConfigData read, sent;
    read.SetBlocks(main, ip);
    AsTheDeviceHoldsIt(config, legacy, sent);
    const auto differences = CompareConfigurations(sent, read, DeviceScope(mac == MacOnWrite::Document));
    if (differences.empty())
        return true;
    error = "The device holds something other than what was sent (sent -> read back):";
    for (const ConfigDifference& d : differences)
        error += "\n  " + d.Text();
    return false;
}

} // namespace

WriteOutcome SendConfiguration(ConfigData& config, bool useTcp, const wxString& target, int portOrSpeed,
                               const AskUser& ask, wxString& error, MacOnWrite mac, WriteCheck verify)
{
    bool declined = false;
    const ConfirmLossyWrite confirmLoss = [&] {
        declined = !ask(WriteQuestionText(WriteQuestion::LossyConversion));
        return !declined;
    };
    if (!config.WriteToDevice(useTcp, target, portOrSpeed, error, confirmLoss, mac)) {
        if (declined)
            return WriteOutcome::Declined;
        return config.WasCancelled() ? WriteOutcome::Cancelled : WriteOutcome::Failed;
    }
    if (verify == WriteCheck::ReadBack && !VerifyWrite(config, useTcp, target, portOrSpeed, mac, error))
        return WriteOutcome::Failed;
    return WriteOutcome::Sent;
}

bool RunAcknowledgedCommand(ConfigProtocol& link, const AcknowledgedCommand& command, bool useTcp,
                            const wxString& target, int portOrSpeed, wxString& error)
{
    return (link.*command.run)(useTcp, target, portOrSpeed, error);
}
