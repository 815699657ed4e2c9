// Commands that talk to a device: get-id, read, write, set-clock, reboot,
// and find, which asks a whole subnet.
#include "QstCommand.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"
#include "discovery/DeviceScan.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

wxString Describe(const QstTarget& target)
{
    return target.useTcp ? wxString::Format("%s:%d", target.target, target.portOrSpeed)
                         : wxString::Format("%s at %d baud", target.target, target.portOrSpeed);
}

// The window's message for a failed command, with the device's reason.
void ReportFailure(const wxString& message, const wxString& error, const QstTarget& target)
{
    PrintError(message);
    if (!error.empty())
        std::fprintf(stderr, "%s\n", error.utf8_string().c_str());
    else
        std::fprintf(stderr, "No connection to %s.\n", Describe(target).utf8_string().c_str());
}

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
}

// While it lives, Ctrl-C stops the device command as the window's Cancel
// does: between its waits, a read without writing its file, a write
// without sending its end. A second Ctrl-C ends qst at once. Steps are
// shown on a terminal.
class InterruptWatcher : public LinkWatcher
{
public:
    explicit InterruptWatcher(ConfigProtocol& link) : m_link(link)
    {
        g_interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a question waiting on the terminal ends as a No.
        action.sa_flags = SA_RESETHAND;
        sigaction(SIGINT, &action, &m_previous);
        m_link.SetLinkWatcher(this);
    }
    ~InterruptWatcher() override
    {
        m_link.SetLinkWatcher(nullptr);
        sigaction(SIGINT, &m_previous, nullptr);
    }
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

    void OnStep(const wxString& text, bool) override { PrintProgress(text); }
    bool IsCancelRequested() override { return Interrupted(); }
    static bool Interrupted() { return g_interrupted != 0; }

private:
    ConfigProtocol& m_link;
    struct sigaction m_previous {};
};

// The end of a command Ctrl-C stopped.
int ReportInterrupted(const char* cancelled)
{
    PrintError(wxString(cancelled) + " (interrupted)");
    return QST_INTERRUPTED;
}

// Reads the usage line's operands: the target, then nothing else.
bool TakeOnlyTarget(QstArgs& args, QstTarget& target, const char* usage)
{
    if (!TakeTarget(args, target) || args.Leftover()) {
        PrintError(wxString("usage: qst ") + usage);
        return false;
    }
    return true;
}

int RunGetId(QstArgs& args)
{
    QstTarget target;
    if (!TakeOnlyTarget(args, target, "get-id TARGET"))
        return QST_USAGE;
    PrintProgress("Requesting ID from " + Describe(target) + "...");
    ConfigData link;
    InterruptWatcher interrupt(link);
    wxString identity, error;
    if (!link.GetDeviceId(target.useTcp, target.target, target.portOrSpeed, identity, error)) {
        if (link.WasCancelled())
            return ReportInterrupted(kGetIdReport.cancelled);
        ReportFailure(kGetIdReport.failedMessage, error, target);
        return QST_FAILED;
    }
    PrintLine(identity);
    return QST_OK;
}

int RunRead(QstArgs& args)
{
    QstTarget target;
    wxString file;
    const bool hasFile = args.TakeValue("-o", file) || args.TakeValue("--output", file);
    if (!TakeTarget(args, target) || !hasFile || args.Leftover()) {
        PrintError("usage: qst read TARGET -o FILE");
        return QST_USAGE;
    }
    PrintProgress("Requesting configuration from " + Describe(target) + "...");
    ConfigData config;
    InterruptWatcher interrupt(config);
    wxString error;
    if (!config.ReadFromDevice(target.useTcp, target.target, target.portOrSpeed, error)) {
        if (config.WasCancelled())
            return ReportInterrupted(kReadReport.cancelled);
        ReportFailure(kReadReport.failedMessage, error, target);
        return QST_FAILED;
    }
    // Interrupted after the last piece arrived: the file is not written.
    if (InterruptWatcher::Interrupted())
        return ReportInterrupted(kReadReport.cancelled);
    // The file is replaced in one step, so it appears only whole.
    if (!config.Save(file)) {
        PrintError(file + ": could not write the file");
        return QST_FAILED;
    }
    PrintProgress(kReadReport.done);
    return QST_OK;
}

int RunWrite(QstArgs& args)
{
    const bool assumeYes = args.TakeFlag("--yes") || args.TakeFlag("-y");
    const WriteCheck verify = args.TakeFlag("--no-verify") ? WriteCheck::None : WriteCheck::ReadBack;
    QstTarget target;
    wxString file;
    const bool hasTarget = TakeTarget(args, target);
    if (!hasTarget || !args.TakeOperand(file) || args.Leftover()) {
        PrintError("usage: qst write TARGET FILE [--yes] [--no-verify]");
        return QST_USAGE;
    }
    ConfigData config;
    wxString error;
    if (!config.Load(file, error)) {
        PrintError(file + ": " + error);
        return QST_FAILED;
    }

    InterruptWatcher interrupt(config);
    Confirmer confirm(assumeYes, &InterruptWatcher::Interrupted);
    const AskUser ask = [&confirm](const wxString& question) { return confirm.Ask(question); };
    if (!ConfirmWrite(config, ask))
        return InterruptWatcher::Interrupted() ? ReportInterrupted(kWriteReport.cancelled) : QST_FAILED;
    PrintProgress("Sending configuration to " + Describe(target) + "...");
    switch (SendConfiguration(config, target.useTcp, target.target, target.portOrSpeed, ask, error,
                              MacOnWrite::Document, verify)) {
    case WriteOutcome::Sent:
        PrintProgress(kWriteReport.done);
        return QST_OK;
    case WriteOutcome::Declined:
        return InterruptWatcher::Interrupted() ? ReportInterrupted(kWriteReport.cancelled) : QST_FAILED;
    case WriteOutcome::Cancelled: {
        wxString message = kWriteCancelledMessage;
        message.Replace("\r\n\r\n", " ");
        PrintError(message + " (interrupted)");
        return QST_INTERRUPTED;
    }
    case WriteOutcome::Failed:
        break;
    }
    ReportFailure(kWriteReport.failedMessage, error, target);
    return QST_FAILED;
}

// A command that only reports whether the device acknowledged it, with
// the window's texts for success and failure.
int RunAcknowledged(QstArgs& args, const char* usage, const AcknowledgedCommand& command)
{
    QstTarget target;
    if (!TakeOnlyTarget(args, target, usage))
        return QST_USAGE;
    ConfigData link;
    InterruptWatcher interrupt(link);
    wxString error;
    if (!RunAcknowledgedCommand(link, command, target.useTcp, target.target, target.portOrSpeed, error)) {
        if (link.WasCancelled())
            return ReportInterrupted(command.report.cancelled);
        ReportFailure(command.report.failedMessage, error, target);
        return QST_FAILED;
    }
    PrintProgress(command.report.done);
    return QST_OK;
}

int RunSetClock(QstArgs& args)
{
    return RunAcknowledged(args, "set-clock TARGET", kSetClockCommand);
}

int RunReboot(QstArgs& args)
{
    return RunAcknowledged(args, "reboot TARGET", kRebootCommand);
}

int RunFind(QstArgs& args)
{
    wxString subnet, portText;
    long port = kDeviceScanPort;
    if (args.TakeValue("--port", portText) && (!portText.ToLong(&port) || port < 1 || port > 65535)) {
        PrintError("bad port: " + portText);
        return QST_USAGE;
    }
    if (!args.TakeOperand(subnet) || args.Leftover()) {
        PrintError("usage: qst find SUBNET [--port PORT]");
        return QST_USAGE;
    }
    int octets[3];
    switch (ParseSubnet(subnet, octets)) {
    case SubnetCheck::NotThreeOctets:
        PrintError("IP range does not look valid.\nOnly scanning of 255.255.255.0 (\\24) subnets is supported");
        return QST_USAGE;
    case SubnetCheck::OctetOutOfRange:
        PrintError("IP range does not look valid (octet out of range 0-255).");
        return QST_USAGE;
    case SubnetCheck::Valid:
        break;
    }
    PrintProgress(wxString::Format("Scanning started, %d.%d.%d.1-254 ...", octets[0], octets[1], octets[2]));
    DeviceScanHooks hooks;
    hooks.found = [](const wxString& address, const wxString& identity) {
        PrintLine(address + " - " + identity);
        std::fflush(stdout);
    };
    const int found = ScanSubnet(octets, hooks, uint16_t(port));
    PrintProgress(wxString::Format("Scanning done, %d found", found));
    return QST_OK;
}

} // namespace

const std::vector<QstCommand>& DeviceCommands()
{
    static const std::vector<QstCommand> commands = {
        {"get-id", "get-id TARGET", "Print the device's identity line", "", RunGetId},
        {"read", "read TARGET -o FILE", "Read the device's configuration and save it to FILE",
         "FILE is written only when the whole configuration has arrived.\n", RunRead},
        {"write", "write TARGET FILE [--yes] [--no-verify]", "Write the configuration in FILE to the device",
         "Asks first, as the window does, when the configuration has no Control link\n"
         "(Control on TCP server port 23), when it is write protected, and when an\n"
         "older device would lose data. Without a terminal nothing is asked and\n"
         "nothing is written unless --yes answers yes to all of these. After the\n"
         "write the configuration is read back and compared with the file (as far\n"
         "as the device holds it); a difference fails the write and is listed.\n"
         "  --yes, -y     answer yes to every question\n"
         "  --no-verify   do not read the configuration back\n",
         RunWrite},
        {"set-clock", "set-clock TARGET", "Set the device's clock to this computer's local time", "", RunSetClock},
        {"reboot", "reboot TARGET", "Reboot the device", "", RunReboot},
        {"find", "find SUBNET [--port PORT]", "Scan a /24 such as 127.0.0. and list the devices found",
         "Prints one line \"a.b.c.d - identity\" for each device. Every host 1-254 is\n"
         "asked at once on port 23 (or PORT); a scan takes about a second.\n",
         RunFind},
    };
    return commands;
}
