// Helpers for tests of the node editor panels: a frame to hold them, finding
// controls by their window names, and user actions that send the control's
// event as the toolkit would.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

class PanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, "panels");
        m_frame->Show();
    }
    void TearDown() override
    {
        m_frame->Destroy();
        wxYield();
    }

    wxFrame* m_frame = nullptr;
};

// The control with the window name inside the panel; null (and a failure)
// when there is none or it is of another kind.
template <typename Control>
Control* Find(wxWindow* panel, const char* name)
{
    auto* control = dynamic_cast<Control*>(wxWindow::FindWindowByName(name, panel));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

inline void Choose(wxChoice* choice, int item)
{
    choice->SetSelection(item);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(item);
    choice->GetEventHandler()->ProcessEvent(event);
}

inline void Check(wxCheckBox* box, bool on)
{
    box->SetValue(on);
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(on ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(event);
}

inline wxString Selected(const wxChoice* choice) { return choice->GetStringSelection(); }
