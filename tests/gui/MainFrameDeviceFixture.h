// The main window's device tests: a window, a device simulator on loopback
// or a pseudo-terminal, and what the device received and holds.
#pragma once

#include "FrameTestSupport.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"
#include "support/DevSimProcess.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstring>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

const wxString kTitle = "TARVEN Quorastelline Configuration Utility";
// The texts themselves are checked in the core test of the shared rules.
const wxString kNoControlQuestion = WriteQuestionText(WriteQuestion::NoControlLink);
const wxString kWriteProtectQuestion = WriteQuestionText(WriteQuestion::WriteProtect);
const wxString kLossyQuestion = WriteQuestionText(WriteQuestion::LossyConversion);

using Frame = std::vector<unsigned char>;

inline Frame TextFrame(const char* text)
{
    return Frame(text, text + std::strlen(text));
}

inline bool StartsWith(const Frame& frame, const char* text)
{
    const size_t n = std::strlen(text);
    return frame.size() >= n && std::memcmp(frame.data(), text, n) == 0;
}

// A configuration unlike the defaults in every field the window shows.
inline void MakeDistinct(ConfigData& config)
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

    // Every status text, with whether the busy cursor showed, seen while
    // `action` runs (looked at every 20 ms).
    template <typename Action>
    std::vector<std::pair<wxString, bool>> WhileWaiting(Action action)
    {
        std::vector<std::pair<wxString, bool>> seen;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            const std::pair<wxString, bool> now{Status(), wxIsBusy()};
            if (seen.empty() || seen.back() != now)
                seen.push_back(now);
        });
        timer.Start(20);
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
