// Long device work in the main window: the status bar follows the link's
// steps, and Cancel (the button or Escape) stops a command at any step
// before the end of a write, within half a second, leaving the document,
// the fields and the device as they were.
#include "MainFrameDeviceFixture.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
constexpr long kMostCancelMs = 500;

enum class CancelBy { Button, Escape };

struct CancelStep {
    const char* silentStep;  // the simulator's name of the step that gets no answer
    const char* status;      // the status bar while it waits
};

class MainFrameCancel : public MainFrameDevice
{
protected:
    struct Pressed {
        bool pressed = false;
        bool cancelOffered = false;  // the Cancel button was enabled
        long tookMs = -1;            // from the press to the command's end
    };

    void SendEscape()
    {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(m_frame.get());
        m_frame->ProcessWindowEvent(key);
    }

    // Presses the device command's button; once the status bar shows
    // `step`, presses Cancel or Escape as a user would, once. The time is
    // taken when the command's handler returns.
    Pressed CancelAt(const wxString& step, CancelBy by, const char* commandButton)
    {
        Pressed seen;
        Clock::time_point at;
        auto* cancel = Find<wxButton>("ID_BUTTONCANCEL");
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (seen.pressed || Status() != step)
                return;
            seen.pressed = true;
            seen.cancelOffered = cancel->IsEnabled();
            at = Clock::now();
            if (by == CancelBy::Escape) {
                SendEscape();
            } else {
                wxCommandEvent click(wxEVT_BUTTON, cancel->GetId());
                click.SetEventObject(cancel);
                cancel->ProcessWindowEvent(click);
            }
        });
        timer.Start(20);
        auto* command = Find<wxButton>(commandButton);
        wxCommandEvent click(wxEVT_BUTTON, command->GetId());
        click.SetEventObject(command);
        command->ProcessWindowEvent(click);
        if (seen.pressed)
            seen.tookMs = long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - at).count());
        timer.Stop();
        Settle();
        return seen;
    }

    void ExpectIdleAgain()
    {
        EXPECT_TRUE(Find<wxButton>("ID_BUTTON1")->IsEnabled());
        EXPECT_TRUE(Find<wxTextCtrl>("ID_NOTESTEXT")->IsEnabled());
        EXPECT_TRUE(m_frame->GetMenuBar()->IsEnabledTop(0));
        EXPECT_FALSE(Find<wxButton>("ID_BUTTONCANCEL")->IsEnabled());
        EXPECT_FALSE(wxIsBusy());
    }

    // The fields a read would replace, as the window shows them.
    std::vector<wxString> Fields()
    {
        std::vector<wxString> shown;
        for (const char* text : {"ID_NOTESTEXT", "ID_TEXTCTRL1", "ID_TEXTCTRL2", "ID_TEXTCTRL3", "ID_TEXTCTRL4"})
            shown.push_back(Text(text));
        for (const char* spin : {"ID_SPINCTRLDATAAGE", "ID_SPINCTRLSDLOGLEVEL", "ID_SPINCTRLLOGAGE"})
            shown.push_back(Find<wxSpinCtrl>(spin)->GetTextValue());
        auto* nodes = Find<wxGrid>("ID_NODESGRID");
        for (int row = 0; row < nodes->GetNumberRows(); ++row)
            shown.push_back(nodes->GetCellValue(row, 0));
        return shown;
    }

    bool EndWasSent()
    {
        for (const Frame& frame : Received())
            if (StartsWith(frame, "set config D"))
                return true;
        return false;
    }
};

class MainFrameCancelRead : public MainFrameCancel, public ::testing::WithParamInterface<CancelStep>
{
};

TEST_P(MainFrameCancelRead, LeavesTheDocumentAndTheFields)
{
    ConfigData held;
    MakeDistinct(held);
    auto device = StartDevice({"--config", HeldFile(held), "--silent", GetParam().silentStep});
    UseTcp(*device);
    // The window holds a document of its own, with a typed change.
    Find<wxTextCtrl>("ID_NOTESTEXT")->SetValue("typed, not saved");
    const Snapshot before(m_frame->Document());
    const std::vector<wxString> fields = Fields();
    const wxString title = m_frame->GetTitle();

    const Pressed seen = CancelAt(GetParam().status, CancelBy::Button, "ID_BUTTON1");

    ASSERT_TRUE(seen.pressed) << "the status bar never showed " << GetParam().status;
    EXPECT_TRUE(seen.cancelOffered);
    EXPECT_LT(seen.tookMs, kMostCancelMs);
    EXPECT_EQ(Status(), "Configuration read cancelled");
    EXPECT_TRUE(before.Matches(m_frame->Document()));
    EXPECT_FALSE(m_frame->Document().IsModified());
    EXPECT_EQ(Fields(), fields);
    EXPECT_EQ(m_frame->GetTitle(), title);
    ExpectIdleAgain();
}

INSTANTIATE_TEST_SUITE_P(EachStep, MainFrameCancelRead,
                         ::testing::Values(CancelStep{"ver", "Requesting configuration: protocol version..."},
                                           CancelStep{"get-S", "Requesting configuration: start..."},
                                           CancelStep{"get-0", "Requesting configuration: general settings..."},
                                           CancelStep{"get-1", "Requesting configuration: node 1 of 3..."},
                                           CancelStep{"get-2", "Requesting configuration: node 2 of 3..."},
                                           CancelStep{"get-3", "Requesting configuration: node 3 of 3..."},
                                           CancelStep{"get-E", "Requesting configuration: IP settings..."},
                                           CancelStep{"get-D", "Requesting configuration: end..."}));

class MainFrameCancelWrite : public MainFrameCancel, public ::testing::WithParamInterface<CancelStep>
{
};

TEST_P(MainFrameCancelWrite, NeverSendsTheEndAndSaysSo)
{
    ConfigData held;
    MakeDistinct(held);
    auto device = StartDevice({"--config", HeldFile(held), "--silent", GetParam().silentStep});
    UseTcp(*device);

    Pressed seen;
    wxTEST_DIALOG(seen = CancelAt(GetParam().status, CancelBy::Escape, "ID_BUTTON2"),
                  ExpectMessage(kWriteCancelledMessage, wxOK, wxOK | wxICON_WARNING));

    ASSERT_TRUE(seen.pressed) << "the status bar never showed " << GetParam().status;
    EXPECT_TRUE(seen.cancelOffered);
    EXPECT_LT(seen.tookMs, kMostCancelMs);
    EXPECT_EQ(Status(), "Configuration write cancelled");
    EXPECT_FALSE(EndWasSent());
    ConfigData saved;
    EXPECT_FALSE(DeviceSaved(saved)) << "the device took a configuration";
    ExpectIdleAgain();
}

INSTANTIATE_TEST_SUITE_P(EachStep, MainFrameCancelWrite,
                         ::testing::Values(CancelStep{"ver", "Sending configuration: protocol version..."},
                                           CancelStep{"set-S", "Sending configuration: start..."},
                                           CancelStep{"set-0", "Sending configuration: general settings..."},
                                           CancelStep{"set-1", "Sending configuration: node 1 of 2..."},
                                           CancelStep{"set-2", "Sending configuration: node 2 of 2..."},
                                           CancelStep{"set-E", "Sending configuration: IP settings..."}));

TEST_F(MainFrameCancel, TheEndOfAWriteCannotBeCancelled)
{
    auto device = StartDevice({"--delay", "set-D:600"});
    UseTcp(*device);
    const Pressed seen = CancelAt("Sending configuration: end...", CancelBy::Escape, "ID_BUTTON2");
    ASSERT_TRUE(seen.pressed);
    EXPECT_FALSE(seen.cancelOffered);
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
    EXPECT_TRUE(EndWasSent());
    ConfigData saved;
    EXPECT_TRUE(DeviceSaved(saved));
    ExpectIdleAgain();
}

TEST_F(MainFrameCancel, SerialGetIdStopsOnEscape)
{
    auto device = StartDevice({"--pty", "--silent", "id"});
    UseSerial(device->PtyPath());
    Find<wxTextCtrl>("ID_DEVICEIDTEXT")->SetValue("Quorastelline from before");
    // Over a serial line the link sleeps between reads; the window still
    // sees the key.
    const Pressed seen = CancelAt("Requesting ID...", CancelBy::Escape, "ID_BUTTON3");
    ASSERT_TRUE(seen.pressed);
    EXPECT_LT(seen.tookMs, kMostCancelMs);
    EXPECT_EQ(Status(), "Get ID cancelled");
    EXPECT_EQ(DeviceId(), "Quorastelline from before");
    ExpectIdleAgain();
}

TEST_F(MainFrameCancel, ClosingTheWindowStopsTheCommandFirst)
{
    auto device = StartDevice({"--silent", "get-S"});
    UseTcp(*device);
    bool closed = true;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (Status() == "Requesting configuration: start...") {
            timer.Stop();
            closed = m_frame->Close();
        }
    });
    timer.Start(20);
    const auto started = Clock::now();
    Press("ID_BUTTON1");
    timer.Stop();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count(), 2000);
    EXPECT_FALSE(closed) << "the window went away under a running command";
    // Once the read has stopped, the window closes as asked.
    for (int i = 0; i < 20 && !FrameGone(); ++i)
        Settle();
    EXPECT_TRUE(FrameGone());
}

} // namespace
