// The device commands: Get ID, Read, Write, Set clock and Reboot.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {

// Ctrl+Shift held while Write is pressed or chosen switches MAC edit mode
// instead of writing.
bool MacEditChordHeld()
{
    return wxGetKeyState(WXK_CONTROL) && wxGetKeyState(WXK_SHIFT);
}

// Claims the window's one device-command slot for the life of a command.
// Socket waits dispatch events, so without it a click or menu command made
// while a link waits would start a second command on the same link.
class DeviceCommandSlot
{
public:
    explicit DeviceCommandSlot(bool& busy) : m_busy(busy), m_owner(!busy) { m_busy = true; }
    ~DeviceCommandSlot()
    {
        if (m_owner)
            m_busy = false;
    }
    DeviceCommandSlot(const DeviceCommandSlot&) = delete;
    DeviceCommandSlot& operator=(const DeviceCommandSlot&) = delete;
    explicit operator bool() const { return m_owner; }

private:
    bool& m_busy;
    bool m_owner;
};

// While the link waits the windows take no input: no edits of the document
// being sent, no closing of the window that owns the link.
template <typename Operation>
auto RunOnLink(Operation operation)
{
    wxWindowDisabler noInput;
    return operation();
}

} // namespace

// The device's error text follows the command's own message.
void ConfigFrame::ReportDeviceFailure(const CommandReport& report, const wxString& error)
{
    SetStatus(report.failed);
    ShowError(report.failedMessage + ("\r\n\r\n" + error));
}

void ConfigFrame::OnGetId(wxCommandEvent&)
{
    DeviceCommandSlot slot(m_deviceBusy);
    if (!slot)
        return;
    wxBusyCursor busy;
    const ConnectionParameters link = GetConnectionParameters();
    SetStatus("Requesting ID...");
    wxString identity;
    wxString error;
    if (RunOnLink([&] { return m_config->GetDeviceId(link.useTcp, link.target, link.number, identity, error); })) {
        m_deviceIdText->SetValue(identity);
        SetStatus(kGetIdReport.done);
        return;
    }
    ClearFields(CLEAR_DEVICE_ID);
    SetStatus(kGetIdReport.failed);
    // The device's text is not shown for this command.
    ShowError(kGetIdReport.failedMessage);
}

void ConfigFrame::OnRead(wxCommandEvent&)
{
    DeviceCommandSlot slot(m_deviceBusy);
    if (!slot)
        return;
    wxBusyCursor busy;
    const ConnectionParameters link = GetConnectionParameters();
    SetStatus("Requesting configuration...");
    wxString error;
    if (RunOnLink([&] { return m_config->ReadFromDevice(link.useTcp, link.target, link.number, error); })) {
        RefreshFromDocument();
        SetStatus(kReadReport.done);
        return;
    }
    ClearFields(CLEAR_DOCUMENT);
    ReportDeviceFailure(kReadReport, error);
}

void ConfigFrame::OnWrite(wxCommandEvent&)
{
    DeviceCommandSlot slot(m_deviceBusy);
    if (!slot)
        return;
    if (MacEditChordHeld()) {
        SetMacEditMode(!m_macEditMode);
        return;
    }

    RestoreClearedFields();
    TakeGeneralSettings();
    if (!ApplyIpSettings())
        return;
    const AskUser ask = [](const wxString& question) { return AskYesNo(question); };
    if (!ConfirmWrite(*m_config, ask))
        return;

    wxBusyCursor busy;
    SetStatus("Sending configuration...");
    const ConnectionParameters link = GetConnectionParameters();
    wxString error;
    // Outside MAC edit mode the device keeps its own MAC address.
    const MacOnWrite mac = m_macEditMode ? MacOnWrite::Document : MacOnWrite::KeptByDevice;
    const WriteOutcome outcome = RunOnLink(
        [&] { return SendConfiguration(*m_config, link.useTcp, link.target, link.number, ask, error, mac); });
    switch (outcome) {
    case WriteOutcome::Sent:
        SetStatus(kWriteReport.done);
        break;
    case WriteOutcome::Declined:
        // The user has just said No; an error box would only repeat it.
        SetStatus(kWriteReport.failed);
        break;
    case WriteOutcome::Failed:
        ReportDeviceFailure(kWriteReport, error);
        break;
    }
}

void ConfigFrame::SendAcknowledgedCommand(const AcknowledgedCommand& command)
{
    DeviceCommandSlot slot(m_deviceBusy);
    if (!slot)
        return;
    wxBusyCursor busy;
    const ConnectionParameters link = GetConnectionParameters();
    wxString error;
    if (RunOnLink([&] {
            return RunAcknowledgedCommand(*m_config, command, link.useTcp, link.target, link.number, error);
        })) {
        SetStatus(command.report.done);
        return;
    }
    ReportDeviceFailure(command.report, error);
}

void ConfigFrame::OnSetClock(wxCommandEvent&)
{
    SendAcknowledgedCommand(kSetClockCommand);
}

void ConfigFrame::OnReboot(wxCommandEvent&)
{
    SendAcknowledgedCommand(kRebootCommand);
}
