// The device commands of the main window against the device simulator, over
// loopback TCP and over a pseudo-terminal chosen as the serial port: status
// texts, message boxes, what the window shows and what the device received.
#include "MainFrameDeviceFixture.h"

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
    Find<wxTextCtrl>("ID_TEXTCTRL3")->SetValue("10.9.8.1");
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
    const auto saw = [](const std::vector<Seen>& seen, const Seen& one) {
        return std::find(seen.begin(), seen.end(), one) != seen.end();
    };
    // The device takes 600 ms over the general settings.
    EXPECT_TRUE(saw(WhileWaiting([&] { Press("ID_BUTTON1"); }),
                    Seen("Requesting configuration: general settings...", true)));
    EXPECT_EQ(Status(), "Configuration retreived");
    EXPECT_TRUE(
        saw(WhileWaiting([&] { Press("ID_BUTTON2"); }), Seen("Sending configuration: general settings...", true)));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    EXPECT_FALSE(wxIsBusy());
}

TEST_F(MainFrameDevice, OneDeviceCommandAtATime)
{
    auto device = StartDevice({"--id", "Quorastelline slow unit", "--delay", "id:800"});
    UseTcp(*device);

    struct Seen {
        bool fired = false;
        bool busyCursor = false;
        bool inputTaken = false;
        bool cancelOffered = false;
    } seen;
    // What takes input in the window, besides Cancel.
    const auto input = [this] {
        return std::vector<bool>{Find<wxButton>("ID_BUTTON1")->IsEnabled(), Find<wxTextCtrl>("ID_NOTESTEXT")->IsEnabled(),
                                 Find<wxGrid>("ID_NODESGRID")->IsEnabled(), m_frame->GetMenuBar()->IsEnabledTop(0)};
    };
    const std::vector<bool> idle = input();
    ASSERT_EQ(idle, std::vector<bool>(4, true));
    EXPECT_FALSE(Find<wxButton>("ID_BUTTONCANCEL")->IsEnabled());
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        // Once the device has the command and takes its time.
        if (seen.fired || Status() != "Requesting ID...")
            return;
        seen.fired = true;
        seen.busyCursor = wxIsBusy();
        seen.inputTaken = input() == std::vector<bool>(4, false);
        seen.cancelOffered = Find<wxButton>("ID_BUTTONCANCEL")->IsEnabled();
        // Every other device command, and Find, while Get ID waits.
        for (long id : {ConfigFrame::ID_MENUDEVICEID, ConfigFrame::ID_MENUDEVICEREAD, ConfigFrame::ID_MENUDEVICEWRITE,
                        ConfigFrame::ID_MENUSETCLOCK, ConfigFrame::ID_MENUREBOOT, ConfigFrame::ID_MENUFIND}) {
            wxCommandEvent event(wxEVT_MENU, wxWindowID(id));
            event.SetEventObject(m_frame.get());
            m_frame->ProcessWindowEvent(event);
        }
        auto* read = Find<wxButton>("ID_BUTTON1");
        wxCommandEvent click(wxEVT_BUTTON, read->GetId());
        click.SetEventObject(read);
        read->ProcessWindowEvent(click);
    });
    timer.Start(20);
    Press("ID_BUTTON3");
    timer.Stop();

    ASSERT_TRUE(seen.fired) << "the timer did not run while the device was waited for";
    EXPECT_TRUE(seen.busyCursor);
    EXPECT_TRUE(seen.inputTaken) << "the window took input while the link waited";
    EXPECT_TRUE(seen.cancelOffered);
    EXPECT_EQ(Status(), "ID retrieved");
    EXPECT_EQ(DeviceId(), "Quorastelline slow unit");
    EXPECT_FALSE(wxIsBusy());
    EXPECT_EQ(input(), idle);
    EXPECT_FALSE(Find<wxButton>("ID_BUTTONCANCEL")->IsEnabled());
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
