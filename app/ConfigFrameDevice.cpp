// The device commands: Get ID, Read, Write, Set clock and Reboot.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "config/ConfigCompare.h"
#include "device/DeviceCommands.h"

#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include <memory>
#include <vector>

namespace {

// Ctrl+Shift held while Write is pressed or chosen switches MAC edit mode
// instead of writing.
bool MacEditChordHeld()
{
    return wxGetKeyState(WXK_CONTROL) && wxGetKeyState(WXK_SHIFT);
}

// Disables, for its life, every window of `frame` except `keep` (and the
// windows that hold it) and the status bar, and the menus; restores
// exactly what it disabled.
class InputLock
{
public:
    InputLock(wxFrame& frame, wxWindow* keep) : m_others(&frame), m_menuBar(frame.GetMenuBar())
    {
        DisableAllBut(frame, keep, frame.GetStatusBar());
        if (m_menuBar) {
            for (size_t i = 0; i < m_menuBar->GetMenuCount(); ++i) {
                if (m_menuBar->IsEnabledTop(i)) {
                    m_menuBar->EnableTop(i, false);
                    m_menus.push_back(i);
                }
            }
        }
    }
    ~InputLock()
    {
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
            if (*it)
                (*it)->Enable();
        for (size_t i : m_menus)
            m_menuBar->EnableTop(i, true);
    }
    InputLock(const InputLock&) = delete;
    InputLock& operator=(const InputLock&) = delete;

private:
    void DisableAllBut(wxWindow& parent, wxWindow* keep, wxWindow* statusBar)
    {
        for (wxWindow* child : parent.GetChildren()) {
            if (child == keep || child == statusBar || child == m_menuBar || child->IsTopLevel())
                continue;
            if (child->IsDescendant(keep)) {
                DisableAllBut(*child, keep, statusBar);
            } else if (child->IsThisEnabled()) {
                child->Disable();
                m_windows.emplace_back(child);
            }
        }
    }

    wxWindowDisabler m_others;  // every other top-level window
    wxMenuBar* m_menuBar;
    std::vector<wxWeakRef<wxWindow>> m_windows;
    std::vector<size_t> m_menus;
};

} // namespace

// Claims the window's one device-command slot for the life of a command.
// Socket waits dispatch events, so without it a click or menu command made
// while a link waits would start a second command on the same link.
// Once started, the window takes no input but Cancel and Escape, and the
// status bar follows the link's steps.
class ConfigFrame::DeviceWork : public LinkWatcher
{
public:
    explicit DeviceWork(ConfigFrame& frame) : m_frame(frame), m_owner(!frame.m_deviceBusy)
    {
        frame.m_deviceBusy = true;
    }
    ~DeviceWork() override
    {
        if (!m_owner)
            return;
        if (m_lock) {
            m_frame.m_config->SetLinkWatcher(nullptr);
            m_frame.m_deviceWork = nullptr;
            m_frame.m_buttonCancel->Disable();
            m_lock.reset();
            if (m_focus)
                m_focus->SetFocus();
        }
        m_frame.m_deviceBusy = false;
        if (m_frame.m_closeAfterDeviceWork) {
            m_frame.m_closeAfterDeviceWork = false;
            ConfigFrame& frame = m_frame;
            frame.CallAfter([&frame] { frame.Close(); });
        }
    }
    DeviceWork(const DeviceWork&) = delete;
    DeviceWork& operator=(const DeviceWork&) = delete;

    explicit operator bool() const { return m_owner; }

    // The link work begins: `status` until its first step.
    void Start(const wxString& status)
    {
        m_focus = wxWindow::FindFocus();
        m_lock = std::make_unique<InputLock>(m_frame, m_frame.m_buttonCancel);
        m_busy = std::make_unique<wxBusyCursor>();
        m_frame.m_buttonCancel->Enable();
        m_frame.m_buttonCancel->SetFocus();
        m_frame.m_deviceWork = this;
        m_frame.m_config->SetLinkWatcher(this);
        if (!status.empty())
            m_frame.SetStatus(status);
    }

    void RequestCancel()
    {
        if (!m_frame.m_buttonCancel->IsEnabled())
            return;
        m_cancelRequested = true;
        m_frame.m_buttonCancel->Disable();
        m_frame.SetStatus("Cancelling...");
    }

    void OnStep(const wxString& text, bool cancellable) override
    {
        if (m_cancelRequested)
            return;
        m_frame.SetStatus(text);
        if (!cancellable)
            m_frame.m_buttonCancel->Disable();
    }

    bool IsCancelRequested() override
    {
        // Serial waits are sleeps: let the window see clicks and keys.
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        if (loop && !loop->IsYielding())
            loop->YieldFor(wxEVT_CATEGORY_ALL);
        return m_cancelRequested;
    }

private:
    ConfigFrame& m_frame;
    bool m_owner;
    bool m_cancelRequested = false;
    wxWeakRef<wxWindow> m_focus;
    std::unique_ptr<InputLock> m_lock;
    std::unique_ptr<wxBusyCursor> m_busy;
};

void ConfigFrame::OnCancelDeviceWork(wxCommandEvent&)
{
    RequestDeviceCancel();
}

void ConfigFrame::OnCharHook(wxKeyEvent& event)
{
    if (m_deviceWork && event.GetKeyCode() == WXK_ESCAPE) {
        RequestDeviceCancel();
        return;
    }
    event.Skip();
}

void ConfigFrame::RequestDeviceCancel()
{
    if (m_deviceWork)
        m_deviceWork->RequestCancel();
}

bool ConfigFrame::CloseDuringDeviceWork()
{
    if (!m_deviceWork)
        return false;
    // The window closes once the command has stopped.
    m_closeAfterDeviceWork = true;
    RequestDeviceCancel();
    return true;
}

bool ConfigFrame::TryBefore(wxEvent& event)
{
    // Menu commands and their accelerators wait until the device is done.
    if (m_deviceWork && event.GetEventType() == wxEVT_MENU)
        return true;
    return wxFrame::TryBefore(event);
}

// The device's error text follows the command's own message.
void ConfigFrame::ReportDeviceFailure(const CommandReport& report, const wxString& error)
{
    SetStatus(report.failed);
    ShowError(report.failedMessage + ("\r\n\r\n" + error));
}

void ConfigFrame::OnGetId(wxCommandEvent&)
{
    DeviceWork work(*this);
    if (!work)
        return;
    const ConnectionParameters link = GetConnectionParameters();
    work.Start("Requesting ID...");
    wxString identity;
    wxString error;
    if (m_config->GetDeviceId(link.useTcp, link.target, link.number, identity, error)) {
        m_deviceIdText->SetValue(identity);
        SetStatus(kGetIdReport.done);
        return;
    }
    if (m_config->WasCancelled()) {
        SetStatus(kGetIdReport.cancelled);
        return;
    }
    ClearFields(CLEAR_DEVICE_ID);
    SetStatus(kGetIdReport.failed);
    // The device's text is not shown for this command.
    ShowError(kGetIdReport.failedMessage);
}

void ConfigFrame::OnRead(wxCommandEvent&)
{
    DeviceWork work(*this);
    if (!work)
        return;
    const ConnectionParameters link = GetConnectionParameters();
    work.Start("Requesting configuration...");
    wxString error;
    if (m_config->ReadFromDevice(link.useTcp, link.target, link.number, error)) {
        RefreshFromDocument();
        SetStatus(kReadReport.done);
        return;
    }
    if (m_config->WasCancelled()) {
        // The document and the fields stay as they were.
        SetStatus(kReadReport.cancelled);
        return;
    }
    ClearFields(CLEAR_DOCUMENT);
    ReportDeviceFailure(kReadReport, error);
}

void ConfigFrame::OnWrite(wxCommandEvent&)
{
    DeviceWork work(*this);
    if (!work)
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

    const ConnectionParameters link = GetConnectionParameters();
    work.Start("Sending configuration...");
    wxString error;
    // Outside MAC edit mode the device keeps its own MAC address.
    const MacOnWrite mac = m_macEditMode ? MacOnWrite::Document : MacOnWrite::KeptByDevice;
    switch (SendConfiguration(*m_config, link.useTcp, link.target, link.number, ask, error, mac)) {
    case WriteOutcome::Sent:
        SetStatus(kWriteReport.done);
        break;
    case WriteOutcome::Declined:
        // The user has just said No; an error box would only repeat it.
        SetStatus(kWriteReport.failed);
        break;
    case WriteOutcome::Cancelled:
        SetStatus(kWriteReport.cancelled);
        wxMessageBox(kWriteCancelledMessage, kProgramCaption, wxOK | wxICON_WARNING, nullptr);
        break;
    case WriteOutcome::Failed:
        ReportDeviceFailure(kWriteReport, error);
        break;
    }
}

void ConfigFrame::SendAcknowledgedCommand(const AcknowledgedCommand& command)
{
    DeviceWork work(*this);
    if (!work)
        return;
    const ConnectionParameters link = GetConnectionParameters();
    work.Start(wxString());
    wxString error;
    if (RunAcknowledgedCommand(*m_config, command, link.useTcp, link.target, link.number, error)) {
        SetStatus(command.report.done);
        return;
    }
    if (m_config->WasCancelled()) {
        SetStatus(command.report.cancelled);
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

void ConfigFrame::OnCompareWithDevice(wxCommandEvent&)
{
    DeviceWork work(*this);
    if (!work)
        return;
    ConfigData shown;
    if (!ShownConfiguration(shown))
        return;
    const ConnectionParameters link = GetConnectionParameters();
    work.Start("Requesting configuration...");
    MainBlock main = m_config->GetMainBlock();
    IpBlock ip = m_config->GetIpBlock();
    wxString error;
    if (!m_config->ReadConfig(link.useTcp, link.target, link.number, main, ip, error)) {
        if (m_config->WasCancelled()) {
            SetStatus(kReadReport.cancelled);
            return;
        }
        // The document and the fields stay: nothing was read into them.
        ReportDeviceFailure(kReadReport, error.empty() ? wxString(kNoResponseText) : error);
        return;
    }
    ConfigData device;
    device.SetBlocks(main, ip);
    const wxString name = link.useTcp ? wxString::Format("device %s:%d", link.target, link.number)
                                      : wxString::Format("device %s", link.target);
    // A device holds no notes, and its unused node entries are whatever
    // was there before.
    ShowDifferences(name, CompareConfigurations(shown, device, DeviceScope(true)));
}
