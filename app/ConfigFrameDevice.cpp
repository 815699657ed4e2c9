// The device commands: Get ID, Read, Write, Set clock and Reboot.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"

#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {

constexpr const char* kNoControlLinkQuestion = "There is no Control protocol on TCP server port 23.\n\n";
constexpr const char* kWriteProtectQuestion = "This configuration is set to write protect.\n\n";
constexpr const char* kWriteRiskTail =
    "If you write this configuration you may no longer be able to reconfigure the device. "
    "You will have to do a factory reset to make changes.\n\n"
    "Do you want to continue?";
constexpr const char* kLossyWriteQuestion =
    "Some data will be lost converting to older format as the remote device firmware is out of date.\r\n\r\n"
    "Do you want to continue?";

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
bool RunOnLink(Operation operation)
{
    wxWindowDisabler noInput;
    return operation();
}

} // namespace

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
        SetStatus("ID retrieved");
        return;
    }
    ClearFields(CLEAR_DEVICE_ID);
    SetStatus("Get ID failed");
    ShowError("Failed to retrieve ID from device.");
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
        SetStatus("Configuration retreived");
        return;
    }
    ClearFields(CLEAR_DOCUMENT);
    SetStatus("Configuration read failed");
    ShowError("Failed to retrieve config from device.\r\n\r\n" + error);
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
    if (!m_config->HasControlLink() && !AskYesNo(wxString(kNoControlLinkQuestion) + kWriteRiskTail))
        return;
    if (m_config->GetWriteProtect() && !AskYesNo(wxString(kWriteProtectQuestion) + kWriteRiskTail))
        return;

    wxBusyCursor busy;
    SetStatus("Sending configuration...");
    const ConnectionParameters link = GetConnectionParameters();
    bool declined = false;
    const ConfirmLossyWrite confirmLoss = [&declined] {
        declined = !AskYesNo(kLossyWriteQuestion);
        return !declined;
    };
    wxString error;
    if (RunOnLink([&] {
            return m_config->WriteToDevice(link.useTcp, link.target, link.number, error, confirmLoss);
        })) {
        SetStatus("Configuration sent and acknowledged");
        return;
    }
    SetStatus("Configuration write failed");
    // The user has just said No; an error box would only repeat it.
    if (!declined)
        ShowError("Failed to write config to device.\r\n\r\n" + error);
}

// A command that only reports whether the device acknowledged it.
struct AcknowledgedCommand {
    bool (ConfigProtocol::*run)(bool, const wxString&, int, wxString&);
    const char* done;
    const char* failed;
    const char* failedBox;
};

void ConfigFrame::RunAcknowledgedCommand(const AcknowledgedCommand& command)
{
    DeviceCommandSlot slot(m_deviceBusy);
    if (!slot)
        return;
    wxBusyCursor busy;
    const ConnectionParameters link = GetConnectionParameters();
    wxString error;
    if (RunOnLink([&] { return (m_config.get()->*command.run)(link.useTcp, link.target, link.number, error); })) {
        SetStatus(command.done);
        return;
    }
    SetStatus(command.failed);
    ShowError(command.failedBox + error);
}

void ConfigFrame::OnSetClock(wxCommandEvent&)
{
    RunAcknowledgedCommand({&ConfigProtocol::SetDeviceClock, "Set time command sent and acknowledged",
                            "Failed to send time set command",
                            "Failed to send time set command to device.\r\n\r\n"});
}

void ConfigFrame::OnReboot(wxCommandEvent&)
{
    RunAcknowledgedCommand({&ConfigProtocol::RebootDevice, "Reboot command sent and acknowledged",
                            "Failed to send reboot command", "Failed to send reboot command to device.\r\n\r\n"});
}
