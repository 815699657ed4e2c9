// The rules of the device commands that the window and qst share: the
// questions asked before a write and their texts, what each command reports,
// and the commands that only wait for the device's acknowledgement. The
// caller asks the questions its own way (message boxes, a terminal, --yes).
#pragma once

#include "config/ConfigData.h"

#include <wx/string.h>

#include <functional>

// Asks the user a yes/no question; true only for yes.
using AskUser = std::function<bool(const wxString& question)>;

enum class WriteQuestion {
    NoControlLink,    // the configuration has no Control link
    WriteProtect,     // the configuration is write protected
    LossyConversion,  // an older device takes the configuration only with losses
};

wxString WriteQuestionText(WriteQuestion question);

// A question before a step that may leave the device beyond reach: the
// situation, the risk, then the factory-reset warning and "Do you want to
// continue?" that all such questions end with.
wxString ControlLinkRiskQuestion(const wxString& situation, const wxString& risk);

// The question before writing a configuration whose check found errors.
wxString CheckErrorsQuestion(const ConfigData& config);

// Asks, in this order, about a missing Control link, about write protect
// and about the errors the configuration check finds; true when every
// question asked was answered yes.
bool ConfirmWrite(const ConfigData& config, const AskUser& ask);

// What a device holds after taking `config`: for an older (protocol 1.0)
// device, what its format carries. False when that format loses some of it.
bool AsTheDeviceHoldsIt(const ConfigData& config, bool legacy, ConfigData& held);

enum class WriteOutcome { Sent, Declined, Failed, Cancelled };

// Writes the configuration to the device, asking before an older device's
// format loses data, and sending the MAC address `mac` names. Declined: the
// user said no, and `error` is unchanged. Cancelled: the link's watcher
// stopped the write before its end was sent.
// With `verify` the configuration is read back after the write and
// compared with what was sent, as far as the device holds it (no notes, no
// node entries beyond the count, the MAC address only when it was sent,
// and what the older format carries for a protocol 1.0 device); a
// difference makes the write Failed, its lines in `error`.
enum class WriteCheck { ReadBack, None };
WriteOutcome SendConfiguration(ConfigData& config, bool useTcp, const wxString& target, int portOrSpeed,
                               const AskUser& ask, wxString& error, MacOnWrite mac = MacOnWrite::Document,
                               WriteCheck verify = WriteCheck::ReadBack);

// How a command's end is told: the status text on success, the status text
// on failure, the message that leads a failure's report, and the status
// text when the user stopped the command.
struct CommandReport {
    const char* done;
    const char* failed;
    const char* failedMessage;
    const char* cancelled;
};

// The message after a cancelled write: what the device was left with.
extern const char* const kWriteCancelledMessage;

extern const CommandReport kGetIdReport;
extern const CommandReport kReadReport;
extern const CommandReport kWriteReport;

// A command that only reports whether the device acknowledged it.
struct AcknowledgedCommand {
    bool (ConfigProtocol::*run)(bool useTcp, const wxString& target, int portOrSpeed, wxString& error);
    CommandReport report;
};

extern const AcknowledgedCommand kSetClockCommand;
extern const AcknowledgedCommand kRebootCommand;

// True when the device acknowledged the command.
bool RunAcknowledgedCommand(ConfigProtocol& link, const AcknowledgedCommand& command, bool useTcp,
                            const wxString& target, int portOrSpeed, wxString& error);
