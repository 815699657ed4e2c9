// The device commands of the main window against the device simulator, over
// loopback TCP and over a pseudo-terminal chosen as the serial port: status
// texts, message boxes, what the window shows and what the device received.
#include "FrameTestSupport.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"
#include "support/DevSimProcess.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const wxString kTitle = "TARVEN Quorastelline Configuration Utility";
// The texts themselves are checked in the core test of the shared rules.
const wxString kNoControlQuestion = WriteQuestionText(WriteQuestion::NoControlLink);
const wxString kWriteProtectQuestion = WriteQuestionText(WriteQuestion::WriteProtect);
const wxString kLossyQuestion = WriteQuestionText(WriteQuestion::LossyConversion);

using Frame = std::vector<unsigned char>;

Frame TextFrame(const char* text)
{
    return Frame(text, text + std::strlen(text));
}

bool StartsWith(const Frame& frame, const char* text)
{
    const size_t n = std::strlen(text);
    return frame.size() >= n && std::memcmp(frame.data(), text, n) == 0;
}

// A configuration unlike the defaults in every field the window shows.
void MakeDistinct(ConfigData& config)
{
    config.SetWriteProtect(1);
    config.SetDataAge(77);
    config.SetSdLogLevel(5);
    config.SetSdLogAge(12);
    ASSERT_TRUE(config.AddNode());
    ASSERT_TRUE(config.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.254", "0:0:0:0:0:0", "6010"));
}

class MainFrameDevice : public FrameTest
{
protected:
    // Any message box not answered by the test fails it.
    RefuseUnexpectedDialogs m_strayDialogs;

    // A simulator that logs what it receives and saves what it is sent.
    std::unique_ptr<DevSimProcess> StartDevice(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--log", LogPath(), "--save", SavedPath()});
        auto device = std::make_unique<DevSimProcess>(args);
        EXPECT_TRUE(device->IsReady()) << device->Banner();
        return device;
    }
    std::string LogPath() { return m_dir.File("device.log"); }
    std::string SavedPath() { return m_dir.File("device-saved.qst"); }

    std::vector<Frame> Received() { return LoggedFrames(LogPath()); }
    // Every line the simulator logged: connections opened and closed too.
    std::vector<std::string> LogLines()
    {
        std::vector<std::string> lines;
        std::ifstream in(LogPath());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // What the device holds after a write; false when nothing was saved.
    bool DeviceSaved(ConfigData& saved)
    {
        wxString error;
        return saved.Load(SavedPath(), error);
    }

    void UseTcp(const DevSimProcess& device)
    {
        Find<wxRadioButton>("ID_RADIOBUTTONIP")->SetValue(true);
        Find<wxTextCtrl>("ID_DEVICEIPADDRESS")->SetValue("127.0.0.1");
        Find<wxTextCtrl>("ID_DEVICEUDPPORT")->SetValue(wxString::Format("%d", device.Port()));
    }

    void UseSerial(const std::string& path)
    {
        auto* radio = Find<wxRadioButton>("ID_RADIOBUTTONSERIAL");
        radio->SetValue(true);
        wxCommandEvent selected(wxEVT_RADIOBUTTON, radio->GetId());
        selected.SetEventObject(radio);
        radio->ProcessWindowEvent(selected);
        Settle();
        auto* combo = Find<wxComboBox>("ID_COMBOBOXSERIALPORT");
        ASSERT_TRUE(combo->IsEnabled());
        combo->SetValue(path);
    }

    void Press(const char* buttonName)
    {
        auto* button = Find<wxButton>(buttonName);
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
        Settle();
    }

    wxString Status() { return m_frame->GetStatusBar()->GetStatusText(0); }
    wxString Text(const char* name) { return Find<wxTextCtrl>(name)->GetValue(); }
    wxString DeviceId() { return Text("ID_DEVICEIDTEXT"); }

    // The document's two blocks, to tell whether a command changed them.
    struct Snapshot {
        MainBlock main;
        IpBlock ip;
        explicit Snapshot(const ConfigData& config) : main(config.GetMainBlock()), ip(config.GetIpBlock()) {}
        bool Matches(const ConfigData& config) const
        {
            return std::memcmp(&main, &config.GetMainBlock(), sizeof main) == 0 &&
                   std::memcmp(&ip, &config.GetIpBlock(), sizeof ip) == 0;
        }
    };

    // Writes `config` to a file for a simulator to hold.
    std::string HeldFile(const ConfigData& config)
    {
        const std::string path = m_dir.File("held.qst");
        EXPECT_TRUE(const_cast<ConfigData&>(config).Save(path));
        return path;
    }

    // The status text and busy cursor 200 ms into `action`, while the
    // device delays its answer.
    template <typename Action>
    std::pair<wxString, bool> WhileWaiting(Action action)
    {
        std::pair<wxString, bool> seen{"(timer did not run)", false};
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { seen = {Status(), wxIsBusy()}; });
        timer.StartOnce(200);
        action();
        timer.Stop();
        return seen;
    }

    void ExpectControlsShowDistinct()
    {
        EXPECT_TRUE(Find<wxCheckBox>("ID_CHECKBOX1")->GetValue());
        EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 77);
        EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL")->GetValue(), 5);
        EXPECT_EQ(Text("ID_TEXTCTRLLOGTEXT"), "everything!!");
        EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLLOGAGE")->GetValue(), 12);
        EXPECT_EQ(Text("ID_TEXTCTRL1"), "10.1.2.3");
        EXPECT_EQ(Text("ID_TEXTCTRL2"), "255.255.0.0");
        EXPECT_EQ(Text("ID_TEXTCTRL3"), "10.1.0.254");
        EXPECT_EQ(Text("ID_TEXTCTRL4"), "6010");
        EXPECT_FALSE(Find<wxGrid>("ID_NODESGRID")->GetCellValue(2, 0).empty()) << "the third node is shown";
    }

    void ExpectDocumentControlsCleared()
    {
        EXPECT_EQ(Text("ID_NOTESTEXT"), "");
        EXPECT_FALSE(Find<wxCheckBox>("ID_CHECKBOX1")->GetValue());
        for (const char* spin : {"ID_SPINCTRLDATAAGE", "ID_SPINCTRLSDLOGLEVEL", "ID_SPINCTRLLOGAGE"})
            EXPECT_EQ(Find<wxSpinCtrl>(spin)->GetTextValue(), "") << spin;
        for (const char* text : {"ID_TEXTCTRL1", "ID_TEXTCTRL2", "ID_TEXTCTRL3", "ID_TEXTCTRL4", "ID_TEXTCTRL6"})
            EXPECT_EQ(Text(text), "") << text;
        auto* nodes = Find<wxGrid>("ID_NODESGRID");
        for (int row = 0; row < nodes->GetNumberRows(); ++row)
            EXPECT_EQ(nodes->GetCellValue(row, 0), "") << "node row " << row;
    }
};

} // namespace

TEST_F(MainFrameDevice, GetIdShowsTheIdentityAndAFailureEmptiesIt)
{
    auto device = StartDevice({"--id", "Quorastelline QS-6 unit 12"});
    UseTcp(*device);
    Press("ID_BUTTON3");
    EXPECT_EQ(Status(), "ID retrieved");
    EXPECT_EQ(DeviceId(), "Quorastelline QS-6 unit 12");
    EXPECT_EQ(Received(), std::vector<Frame>{TextFrame("id")});

    // Nothing listens any more: the box gives no device text.
    device->Stop();
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUDEVICEID), ExpectError("Failed to retrieve ID from device."));
    EXPECT_EQ(Status(), "Get ID failed");
    EXPECT_EQ(DeviceId(), "");
}

TEST_F(MainFrameDevice, DeviceErrorLineFailsGetIdWithoutShowingIt)
{
    auto device = StartDevice({"--error", "id:Identity withheld"});
    UseTcp(*device);
    Find<wxTextCtrl>("ID_DEVICEIDTEXT")->SetValue("Quorastelline from before");
    wxTEST_DIALOG(Press("ID_BUTTON3"), ExpectError("Failed to retrieve ID from device."));
    EXPECT_EQ(Status(), "Get ID failed");
    EXPECT_EQ(DeviceId(), "");
}

TEST_F(MainFrameDevice, ReadShowsTheDeviceConfigurationAndMarksItModified)
{
    ConfigData held;
    MakeDistinct(held);
    auto device = StartDevice({"--config", HeldFile(held)});
    UseTcp(*device);
    ASSERT_FALSE(m_frame->Document().IsModified());

    Press("ID_BUTTON1");
    EXPECT_EQ(Status(), "Configuration retreived");
    ExpectControlsShowDistinct();
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);
    EXPECT_TRUE(m_frame->Document().IsModified());
    EXPECT_EQ(m_frame->GetTitle(), kTitle);
}

TEST_F(MainFrameDevice, FailedReadClearsTheControlsButKeepsTheDocument)
{
    ConfigData held;
    MakeDistinct(held);
    auto device = StartDevice({"--config", HeldFile(held), "--error", "get-2:Node store busy"});
    UseTcp(*device);
    m_frame->Document().SetNotes("kept notes");
    m_frame->RefreshFromDocument();
    const Snapshot before(m_frame->Document());

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUDEVICEREAD),
                  ExpectError("Failed to retrieve config from device.\r\n\r\nError: Node store busy"));
    EXPECT_EQ(Status(), "Configuration read failed");
    ExpectDocumentControlsCleared();
    EXPECT_TRUE(before.Matches(m_frame->Document())) << "the header had arrived, but the document keeps its own";
    EXPECT_EQ(m_frame->Document().GetNotes(), "kept notes");
}

TEST_F(MainFrameDevice, SaveAfterAFailedReadKeepsTheDocumentValues)
{
    auto device = StartDevice({"--error", "get-0"});
    UseTcp(*device);
    ConfigData& document = m_frame->Document();
    MakeDistinct(document);
    document.SetNotes("plant notes");
    m_frame->RefreshFromDocument();

    wxTEST_DIALOG(Press("ID_BUTTON1"),
                  ExpectError("Failed to retrieve config from device.\r\n\r\nError: Simulated failure"));
    ExpectDocumentControlsCleared();

    const std::string path = m_dir.File("after-failed-read.qst");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUSAVE);
    EXPECT_EQ(Status(), "Configuration saved to file");

    ConfigData saved;
    wxString error;
    ASSERT_TRUE(saved.Load(path, error)) << error;
    EXPECT_EQ(saved.GetWriteProtect(), 1);
    EXPECT_EQ(saved.GetDataAge(), 77);
    EXPECT_EQ(saved.GetSdLogLevel(), 5);
    EXPECT_EQ(saved.GetSdLogAge(), 12);
    EXPECT_EQ(saved.GetNotes(), "plant notes");
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.ipAddress, "10.1.2.3");
    EXPECT_EQ(ip.bootLoaderPort, "6010");
    // What was saved is on screen again.
    ExpectControlsShowDistinct();
    EXPECT_EQ(Text("ID_NOTESTEXT"), "plant notes");
}

TEST_F(MainFrameDevice, WriteAfterAFailedReadSendsTheDocumentValues)
{
    auto failing = StartDevice({"--error", "get-E"});
    UseTcp(*failing);
    ConfigData& document = m_frame->Document();
    MakeDistinct(document);
    m_frame->RefreshFromDocument();
    wxTEST_DIALOG(Press("ID_BUTTON1"),
                  ExpectError("Failed to retrieve config from device.\r\n\r\nError: Simulated failure"));
    failing.reset();

    auto device = StartDevice({});
    UseTcp(*device);
    // The stored write protect survives the cleared check box, so the
    // question about it comes.
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kWriteProtectQuestion, wxYES));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ConfigData saved;
    ASSERT_TRUE(DeviceSaved(saved));
    EXPECT_EQ(saved.GetWriteProtect(), 1);
    EXPECT_EQ(saved.GetDataAge(), 77);
    EXPECT_EQ(saved.GetSdLogAge(), 12);
    EXPECT_EQ(saved.GetNodeCount(), 3);
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.gateway, "10.1.0.254");
}

TEST_F(MainFrameDevice, WriteTakesTheWindowSettingsAndSendsThem)
{
    auto device = StartDevice({});
    UseTcp(*device);
    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(42);
    Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL")->SetValue(4);
    Find<wxTextCtrl>("ID_TEXTCTRL1")->SetValue("10.9.8.7");
    Press("ID_BUTTON2");
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    EXPECT_EQ(m_frame->Document().GetDataAge(), 42);

    ConfigData saved;
    ASSERT_TRUE(DeviceSaved(saved));
    EXPECT_EQ(saved.GetDataAge(), 42);
    EXPECT_EQ(saved.GetSdLogLevel(), 4);
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.ipAddress, "10.9.8.7");
    // Outside MAC edit mode the device keeps its own MAC address.
    EXPECT_EQ(ip.macAddress, "00:00:00:00:00:00");
}

TEST_F(MainFrameDevice, WriteQuestionsAnsweredNoSendNothing)
{
    auto device = StartDevice({});
    UseTcp(*device);
    ConfigData& document = m_frame->Document();
    ASSERT_TRUE(document.DeleteNode(0));  // the Control link
    m_frame->RefreshFromDocument();
    m_frame->SetStatus("before");

    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kNoControlQuestion, wxNO));
    EXPECT_TRUE(LogLines().empty()) << "the device was contacted";
    EXPECT_EQ(Status(), "before");

    Find<wxCheckBox>("ID_CHECKBOX1")->SetValue(true);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUDEVICEWRITE), ExpectQuestion(kNoControlQuestion, wxYES),
                  ExpectQuestion(kWriteProtectQuestion, wxNO));
    EXPECT_TRUE(LogLines().empty()) << "the device was contacted";
    EXPECT_EQ(Status(), "before");

    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kNoControlQuestion, wxYES),
                  ExpectQuestion(kWriteProtectQuestion, wxYES));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ConfigData saved;
    ASSERT_TRUE(DeviceSaved(saved));
    EXPECT_EQ(saved.GetWriteProtect(), 1);
    EXPECT_FALSE(saved.HasControlLink());
}

TEST_F(MainFrameDevice, InvalidIpSettingsStopTheWrite)
{
    auto device = StartDevice({});
    UseTcp(*device);
    Find<wxTextCtrl>("ID_TEXTCTRL1")->SetValue("300.1.2.3");
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectError("The Ethernet configuration looks invalid"));
    EXPECT_TRUE(LogLines().empty()) << "the device was contacted";
}

TEST_F(MainFrameDevice, DeviceErrorDuringWriteIsShown)
{
    auto device = StartDevice({"--error", "set-E:IP block refused"});
    UseTcp(*device);
    wxTEST_DIALOG(Press("ID_BUTTON2"),
                  ExpectError("Failed to write config to device.\r\n\r\nError: IP block refused"));
    EXPECT_EQ(Status(), "Configuration write failed");
}

TEST_F(MainFrameDevice, LossyWriteToAnOlderDeviceAsksFirst)
{
    auto device = StartDevice({"--protocol", "1.0", "--quick-unknown"});
    UseTcp(*device);
    NodeEntry& node = *m_frame->Document().GetNode(1);
    node.slaveCount = 12;
    for (unsigned k = 0; k < 12; ++k) {
        node.slaveId[k] = uint8_t(k + 1);
        node.readStart[k] = uint16_t(k);
        node.readLength[k] = 1;
        node.writeStart[k] = uint16_t(100 + k);
        node.writeLength[k] = 1;
    }

    // No: the device was asked only for its version; the user's own answer
    // is not reported back as an error box.
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kLossyQuestion, wxNO));
    EXPECT_EQ(Status(), "Configuration write failed");
    for (const Frame& frame : Received())
        EXPECT_EQ(frame, TextFrame("ver"));
    ConfigData saved;
    EXPECT_FALSE(DeviceSaved(saved));

    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kLossyQuestion, wxYES));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ASSERT_TRUE(DeviceSaved(saved));
    EXPECT_EQ(saved.GetNode(1)->slaveCount, 10);
    EXPECT_EQ(saved.GetNode(1)->slaveId[9], 10);
}

TEST_F(MainFrameDevice, SetClockSendsTheLocalDate)
{
    auto device = StartDevice({});
    UseTcp(*device);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    Press("ID_BUTTON5");
    EXPECT_EQ(Status(), "Set time command sent and acknowledged");
    const std::vector<Frame> frames = Received();
    ASSERT_EQ(frames.size(), 1u);
    const Frame& frame = frames[0];
    ASSERT_EQ(frame.size(), 18u);
    EXPECT_TRUE(StartsWith(frame, "set time "));
    // Year low byte first, then month and day (a run across midnight may
    // see the next day).
    EXPECT_EQ(frame[9] | frame[10] << 8, local.tm_year + 1900);
    EXPECT_EQ(frame[11], local.tm_mon + 1);
    EXPECT_NEAR(frame[12], local.tm_mday, 1);
}

TEST_F(MainFrameDevice, SetClockAndRebootFailuresShowTheDeviceText)
{
    auto device = StartDevice({"--error", "time:Clock locked", "--error", "reboot:Busy right now"});
    UseTcp(*device);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSETCLOCK),
                  ExpectError("Failed to send time set command to device.\r\n\r\nError: Clock locked"));
    EXPECT_EQ(Status(), "Failed to send time set command");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUREBOOT),
                  ExpectError("Failed to send reboot command to device.\r\n\r\nError: Busy right now"));
    EXPECT_EQ(Status(), "Failed to send reboot command");
}

TEST_F(MainFrameDevice, RebootSendsTheCommand)
{
    auto device = StartDevice({});
    UseTcp(*device);
    Press("ID_BUTTON4");
    EXPECT_EQ(Status(), "Reboot command sent and acknowledged");
    EXPECT_EQ(Received(), std::vector<Frame>{TextFrame("reboot")});
}

TEST_F(MainFrameDevice, EveryCommandWorksOverTheSerialPort)
{
    ConfigData held;
    MakeDistinct(held);
    auto device = StartDevice({"--pty", "--config", HeldFile(held), "--id", "Quorastelline on a serial line"});
    ASSERT_FALSE(device->PtyPath().empty());
    UseSerial(device->PtyPath());

    Press("ID_BUTTON3");
    EXPECT_EQ(Status(), "ID retrieved");
    EXPECT_EQ(DeviceId(), "Quorastelline on a serial line");

    Press("ID_BUTTON1");
    EXPECT_EQ(Status(), "Configuration retreived");
    ExpectControlsShowDistinct();

    Find<wxSpinCtrl>("ID_SPINCTRLLOGAGE")->SetValue(200);
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(kWriteProtectQuestion, wxYES));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ConfigData saved;
    ASSERT_TRUE(DeviceSaved(saved));
    EXPECT_EQ(saved.GetSdLogAge(), 200);

    Press("ID_BUTTON5");
    EXPECT_EQ(Status(), "Set time command sent and acknowledged");
    Press("ID_BUTTON4");
    EXPECT_EQ(Status(), "Reboot command sent and acknowledged");
    const std::vector<Frame> frames = Received();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), TextFrame("reboot"));
}

TEST_F(MainFrameDevice, SerialFailuresAreReported)
{
    auto device = StartDevice({"--pty", "--error", "get-S:Busy", "--error", "reboot:Not now"});
    UseSerial(device->PtyPath());
    const Snapshot before(m_frame->Document());
    wxTEST_DIALOG(Press("ID_BUTTON1"), ExpectError("Failed to retrieve config from device.\r\n\r\nError: Busy"));
    EXPECT_EQ(Status(), "Configuration read failed");
    EXPECT_TRUE(before.Matches(m_frame->Document()));
    wxTEST_DIALOG(Press("ID_BUTTON4"), ExpectError("Failed to send reboot command to device.\r\n\r\nError: Not now"));
    EXPECT_EQ(Status(), "Failed to send reboot command");
}

TEST_F(MainFrameDevice, CtrlShiftWithWriteTogglesMacEditModeAndSendsNothing)
{
    auto device = StartDevice({});
    UseTcp(*device);
    auto* mac = Find<wxTextCtrl>("ID_TEXTCTRL6");
    ASSERT_FALSE(m_frame->IsMacEditMode());
    ASSERT_FALSE(mac->IsEnabled());

    // Held on the display itself, and released whatever the test does, so
    // that no later test writes with the chord still down.
    struct Chord {
        wxUIActionSimulator keys;
        Chord()
        {
            keys.KeyDown(WXK_CONTROL);
            keys.KeyDown(WXK_SHIFT);
            Settle();
        }
        ~Chord()
        {
            keys.KeyUp(WXK_SHIFT);
            keys.KeyUp(WXK_CONTROL);
            Settle();
        }
    };
    const auto pressWithChord = [&](bool useMenu) {
        Chord chord;
        ASSERT_TRUE(wxGetKeyState(WXK_CONTROL) && wxGetKeyState(WXK_SHIFT)) << "the display took no keys";
        if (useMenu)
            Menu(ConfigFrame::ID_MENUDEVICEWRITE);
        else
            Press("ID_BUTTON2");
    };

    pressWithChord(false);
    EXPECT_TRUE(m_frame->IsMacEditMode());
    EXPECT_TRUE(mac->IsEnabled());
    EXPECT_TRUE(LogLines().empty()) << "the device was contacted";

    // In MAC edit mode the MAC text is written.
    mac->SetValue("0:11:22:33:44:55");
    Press("ID_BUTTON2");
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ConfigData saved;
    ASSERT_TRUE(DeviceSaved(saved));
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.macAddress, "00:11:22:33:44:55");

    const size_t linesBefore = LogLines().size();
    pressWithChord(true);
    EXPECT_FALSE(m_frame->IsMacEditMode());
    EXPECT_FALSE(mac->IsEnabled());
    EXPECT_EQ(LogLines().size(), linesBefore);
    EXPECT_FALSE(wxGetKeyState(WXK_CONTROL) || wxGetKeyState(WXK_SHIFT)) << "keys left held";
}

TEST_F(MainFrameDevice, ReadAndWriteSayWhatTheyWaitFor)
{
    auto device = StartDevice({"--delay", "get-0:600", "--delay", "set-0:600"});
    UseTcp(*device);
    using Seen = std::pair<wxString, bool>;
    EXPECT_EQ(WhileWaiting([&] { Press("ID_BUTTON1"); }), Seen("Requesting configuration...", true));
    EXPECT_EQ(Status(), "Configuration retreived");
    EXPECT_EQ(WhileWaiting([&] { Press("ID_BUTTON2"); }), Seen("Sending configuration...", true));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    EXPECT_FALSE(wxIsBusy());
}

TEST_F(MainFrameDevice, OneDeviceCommandAtATime)
{
    auto device = StartDevice({"--id", "Quorastelline slow unit", "--delay", "id:800"});
    UseTcp(*device);

    struct Seen {
        bool fired = false;
        wxString status;
        bool busyCursor = false;
        bool frameEnabled = true;
    } seen;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        seen.fired = true;
        seen.status = Status();
        seen.busyCursor = wxIsBusy();
        seen.frameEnabled = m_frame->IsEnabled();
        // Every other device command, and Find, while Get ID waits.
        for (long id : {ConfigFrame::ID_MENUDEVICEID, ConfigFrame::ID_MENUDEVICEREAD, ConfigFrame::ID_MENUDEVICEWRITE,
                        ConfigFrame::ID_MENUSETCLOCK, ConfigFrame::ID_MENUREBOOT, ConfigFrame::ID_MENUFIND}) {
            wxCommandEvent event(wxEVT_MENU, wxWindowID(id));
            event.SetEventObject(m_frame.get());
            m_frame->ProcessWindowEvent(event);
        }
    });
    timer.StartOnce(200);
    Press("ID_BUTTON3");
    timer.Stop();

    ASSERT_TRUE(seen.fired) << "the timer did not run while the device was waited for";
    EXPECT_EQ(seen.status, "Requesting ID...");
    EXPECT_TRUE(seen.busyCursor);
    EXPECT_FALSE(seen.frameEnabled) << "the window took input while the link waited";
    EXPECT_EQ(Status(), "ID retrieved");
    EXPECT_EQ(DeviceId(), "Quorastelline slow unit");
    EXPECT_FALSE(wxIsBusy());
    EXPECT_TRUE(m_frame->IsEnabled());
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"open", "frame 6964", "close"}));
}

TEST_F(MainFrameDevice, SaveAfterAFailedReadTakesWhatTheUserTyped)
{
    auto device = StartDevice({"--error", "get-0"});
    UseTcp(*device);
    ConfigData& document = m_frame->Document();
    MakeDistinct(document);
    m_frame->RefreshFromDocument();
    wxTEST_DIALOG(Press("ID_BUTTON1"),
                  ExpectError("Failed to retrieve config from device.\r\n\r\nError: Simulated failure"));

    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(42);
    Find<wxTextCtrl>("ID_NOTESTEXT")->ChangeValue("typed after the read");
    Find<wxTextCtrl>("ID_TEXTCTRL1")->ChangeValue("10.9.8.7");
    const std::string path = m_dir.File("typed.qst");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUSAVE);
    EXPECT_EQ(Status(), "Configuration saved to file");

    ConfigData saved;
    wxString error;
    ASSERT_TRUE(saved.Load(path, error)) << error;
    EXPECT_EQ(saved.GetDataAge(), 42);
    EXPECT_EQ(saved.GetNotes(), "typed after the read");
    EXPECT_EQ(saved.GetSdLogAge(), 12);
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.ipAddress, "10.9.8.7");
    EXPECT_EQ(ip.gateway, "10.1.0.254");
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 42);
    EXPECT_EQ(Text("ID_TEXTCTRL1"), "10.9.8.7");
}

TEST_F(MainFrameDevice, ReadThenSaveKeepsTheDeviceMacAndWriteSendsZeros)
{
    ConfigData held;
    ASSERT_TRUE(held.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.254", "02:11:22:33:44:55", "6010"));
    auto device = StartDevice({"--config", HeldFile(held)});
    UseTcp(*device);
    Press("ID_BUTTON1");
    ASSERT_EQ(Status(), "Configuration retreived");
    EXPECT_EQ(Text("ID_TEXTCTRL6"), "02:11:22:33:44:55");

    const std::string path = m_dir.File("from-device.qst");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUSAVE);
    ConfigData saved;
    wxString error;
    ASSERT_TRUE(saved.Load(path, error)) << error;
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.macAddress, "02:11:22:33:44:55");
    ASSERT_FALSE(m_frame->Document().IsModified());

    Press("ID_BUTTON2");
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    ConfigData sent;
    ASSERT_TRUE(DeviceSaved(sent));
    ASSERT_TRUE(sent.GetIpTexts(ip));
    EXPECT_EQ(ip.macAddress, "00:00:00:00:00:00");
    // The document and the field still hold the device's MAC.
    ASSERT_TRUE(m_frame->Document().GetIpTexts(ip));
    EXPECT_EQ(ip.macAddress, "02:11:22:33:44:55");
    EXPECT_EQ(Text("ID_TEXTCTRL6"), "02:11:22:33:44:55");
    EXPECT_FALSE(m_frame->Document().IsModified());
}
