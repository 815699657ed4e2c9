// The Find dialog: its controls, the subnet checks, and scans of loopback
// subnets with simulated devices, a host that accepts and stays silent and a
// host that answers as something else. Each scan test has a subnet of its
// own, which no other test uses, so that tests run side by side can each
// have their devices at the device port and scan only their own.
#include "FrameTestSupport.h"

#include "discovery/DeviceScan.h"
#include "discovery/FindDevices.h"
#include "support/DevSimProcess.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <set>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr char kIdentity[] = "Quorastelline QS-6 v2.1";
constexpr char kNotThreeOctets[] =
    "IP range does not look valid.\nOnly scanning of 255.255.255.0 (\\24) subnets is supported\n";
constexpr char kOctetOutOfRange[] = "IP range does not look valid (octet out of range 0-255).\n";

// A loopback port that accepts connections (the kernel completes them) and
// never reads or answers.
class SilentListener
{
public:
    SilentListener(const char* address, int port)
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        const int reuse = 1;
        ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(uint16_t(port));
        ::inet_pton(AF_INET, address, &where.sin_addr);
        m_ok = ::bind(m_socket, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && ::listen(m_socket, 4) == 0;
    }
    ~SilentListener() { ::close(m_socket); }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    bool IsOk() const { return m_ok; }

private:
    int m_socket = -1;
    bool m_ok = false;
};

// Devices on hosts 2 to 4 of `subnet` ("127.0.6." ...) at the device port,
// where the test may bind it (it runs as root here); elsewhere all hosts
// share a free port instead. Host 5 stays silent, host 6 is a stranger.
struct ScanTargets {
    explicit ScanTargets(std::string subnet) : subnet(std::move(subnet)) {}

    std::string subnet;
    std::unique_ptr<DevSimProcess> devices;
    std::unique_ptr<DevSimProcess> stranger;
    std::unique_ptr<SilentListener> silent;
    int port = 0;

    std::string Host(int n) const { return subnet + std::to_string(n); }
    // The log line of device host `n`.
    wxString Line(int n, const std::string& identity = kIdentity) const { return Host(n) + " - " + identity; }

    bool Start(const std::string& identity = kIdentity)
    {
        for (const char* port : {"23", "0"}) {
            devices = std::make_unique<DevSimProcess>(std::vector<std::string>{
                "--listen", Host(2), "--listen", Host(3), "--listen", Host(4), "--port", port, "--id", identity});
            if (devices->IsReady())
                break;
        }
        if (!devices->IsReady())
            return false;
        port = devices->Port();
        const std::string shared = std::to_string(port);
        stranger = std::make_unique<DevSimProcess>(std::vector<std::string>{
            "--listen", Host(6), "--port", shared, "--id", "Welcome to the telnet service"});
        silent = std::make_unique<SilentListener>(Host(5).c_str(), port);
        return stranger->IsReady() && silent->IsOk();
    }
};

wxString LogOf(FindDevices& dialog)
{
    return dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("ID_TEXTCTRLLOG", &dialog))->GetValue();
}

void SetSubnet(FindDevices& dialog, const wxString& text)
{
    dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("ID_TEXTCTRLSUBNET", &dialog))->SetValue(text);
}

void Click(FindDevices& dialog, const char* name)
{
    auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName(name, &dialog));
    ASSERT_NE(button, nullptr) << name;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

std::vector<wxString> Lines(const wxString& text)
{
    std::vector<wxString> lines;
    wxString rest = text;
    while (!rest.empty()) {
        lines.push_back(rest.BeforeFirst('\n'));
        rest = rest.AfterFirst('\n');
    }
    return lines;
}

// Checks a log of one scan of `subnet`: the start line, the devices found
// in any order, the done line.
void ExpectScanOf(const wxString& log, const std::string& subnet, const std::set<wxString>& devices)
{
    ASSERT_TRUE(log.EndsWith("\n")) << log;
    const std::vector<wxString> lines = Lines(log);
    ASSERT_GE(lines.size(), 2u) << log;
    EXPECT_EQ(lines.front(), "Scanning started, " + subnet + "1-254 ...");
    EXPECT_EQ(lines.back(), "Scanning done");
    const std::set<wxString> listed(lines.begin() + 1, lines.end() - 1);
    EXPECT_EQ(listed.size(), lines.size() - 2) << "a device listed twice:\n" << log;
    EXPECT_EQ(listed, devices) << log;
}

// The Find dialog as the window shows it: the test types the subnet,
// presses Scan and keeps what the log says.
class ScanInFindDialog : public wxExpectModalBase<FindDevices, ScanInFindDialog>
{
public:
    ScanInFindDialog(const wxString& subnet, int port, wxString* log) : m_subnet(subnet), m_port(port), m_log(log) {}

protected:
    int OnInvoked(FindDevices* dialog) const override
    {
        EXPECT_EQ(dialog->GetTitle(), "Find/List Quorastelline Devices");
        SetSubnet(*dialog, m_subnet);
        // At the device port the dialog is left to its own choice of port.
        if (m_port != kDeviceScanPort)
            dialog->SetScanPort(uint16_t(m_port));
        Click(*dialog, "ID_BUTTONRUN");
        *m_log = LogOf(*dialog);
        return 0;
    }

private:
    wxString m_subnet;
    int m_port;
    wxString* m_log;
};

class FindDevicesDialog : public FrameTest
{
protected:
    RefuseUnexpectedDialogs m_strayDialogs;
};

} // namespace

TEST_F(FindDevicesDialog, ShowsItsControlsAsBuilt)
{
    FindDevices dialog(m_frame.get());
    EXPECT_EQ(dialog.GetTitle(), "Find/List Quorastelline Devices");
    const auto text = [&](const char* name) {
        wxWindow* window = wxWindow::FindWindowByName(name, &dialog);
        EXPECT_NE(window, nullptr) << name;
        return window ? window->GetLabel() : wxString();
    };
    EXPECT_NE(dynamic_cast<wxPanel*>(wxWindow::FindWindowByName("ID_PANEL1", &dialog)), nullptr);
    EXPECT_EQ(text("ID_STATICTEXT1"), "Enter subnet range ie \"192.168.1.\"");
    EXPECT_EQ(text("ID_BUTTONRUN"), "Scan");
    EXPECT_EQ(text("ID_BUTTONCANCEL"), "Cancel");
    EXPECT_EQ(text("ID_STATICTEXT2"), "Log");
    auto* subnet = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("ID_TEXTCTRLSUBNET", &dialog));
    ASSERT_NE(subnet, nullptr);
    EXPECT_EQ(subnet->GetValue(), "192.168.1.");
    auto* log = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("ID_TEXTCTRLLOG", &dialog));
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->IsMultiLine());
    EXPECT_FALSE(log->IsEditable());
    EXPECT_TRUE(log->GetValue().empty());
}

TEST_F(FindDevicesDialog, BadSubnetTextsAreRefusedWithoutScanning)
{
    FindDevices dialog(m_frame.get());
    dialog.Show();
    wxString expected;
    // Loopback texts, so that a check that let one through would scan
    // nothing but this machine.
    for (const auto& [text, message] : {std::pair<const char*, const char*>{"127.0.0.7", kNotThreeOctets},
                                        {"127.0", kNotThreeOctets},
                                        {"", kNotThreeOctets},
                                        {"127.0.300.", kOctetOutOfRange},
                                        {"127.-1.0.", kOctetOutOfRange}}) {
        SetSubnet(dialog, text);
        Click(dialog, "ID_BUTTONRUN");
        expected += message;
        EXPECT_EQ(LogOf(dialog), expected) << "subnet text \"" << text << "\"";
    }
}

TEST_F(FindDevicesDialog, FindFromTheMenuListsExactlyTheDevices)
{
    ScanTargets targets("127.0.6.");
    ASSERT_TRUE(targets.Start()) << targets.devices->Banner();
    wxString log;
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUFIND), ScanInFindDialog(targets.subnet, targets.port, &log));
    ExpectScanOf(log, targets.subnet, {targets.Line(2), targets.Line(3), targets.Line(4)});
}

TEST_F(FindDevicesDialog, ScansAddToTheLogAndRefuseToNestOrEnd)
{
    ScanTargets targets("127.0.7.");
    ASSERT_TRUE(targets.Start()) << targets.devices->Banner();
    FindDevices dialog(m_frame.get());
    dialog.Show();
    dialog.SetScanPort(uint16_t(targets.port));
    SetSubnet(dialog, targets.subnet);

    // Midway through the scan, the user presses Scan and Cancel and closes
    // the dialog.
    struct Seen {
        bool fired = false;
        bool scanning = false;
        bool scanEnabled = true;
        bool closed = true;
    } seen;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        seen.fired = true;
        seen.scanning = dialog.IsScanning();
        seen.scanEnabled = wxWindow::FindWindowByName("ID_BUTTONRUN", &dialog)->IsEnabled();
        Click(dialog, "ID_BUTTONRUN");
        Click(dialog, "ID_BUTTONCANCEL");
        seen.closed = dialog.Close();
    });
    timer.StartOnce(300);
    Click(dialog, "ID_BUTTONRUN");
    timer.Stop();
    ASSERT_TRUE(seen.fired) << "the scan did not yield";
    EXPECT_TRUE(seen.scanning);
    EXPECT_FALSE(seen.scanEnabled);
    EXPECT_FALSE(seen.closed);
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_FALSE(dialog.IsScanning());

    const std::set<wxString> devices = {targets.Line(2), targets.Line(3), targets.Line(4)};
    const wxString first = LogOf(dialog);
    ExpectScanOf(first, targets.subnet, devices);

    // A second scan appends its own lines to the first.
    Click(dialog, "ID_BUTTONRUN");
    const wxString both = LogOf(dialog);
    ASSERT_TRUE(both.StartsWith(first));
    ExpectScanOf(both.Mid(first.length()), targets.subnet, devices);
}

TEST_F(FindDevicesDialog, LongRepliesAreCutToTheirFirstHundredBytes)
{
    const std::string identity = "Quorastelline " + std::string(110, 'x');
    ScanTargets targets("127.0.8.");
    ASSERT_TRUE(targets.Start(identity)) << targets.devices->Banner();
    FindDevices dialog(m_frame.get());
    dialog.SetScanPort(uint16_t(targets.port));
    SetSubnet(dialog, targets.subnet);
    Click(dialog, "ID_BUTTONRUN");
    const std::string cut = identity.substr(0, 100);
    ExpectScanOf(LogOf(dialog), targets.subnet, {targets.Line(2, cut), targets.Line(3, cut), targets.Line(4, cut)});
}
