// Helpers for the main window's tests: a frame whose geometry store lives in
// a temporary folder, scripted file choosers and message-box expectations.
#pragma once

#include "app/ConfigFrame.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/weakref.h>

#include <deque>
#include <memory>
#include <vector>

// Lets pending events run, as after a user's action.
void Settle();

// Expects a message box with this text, the program's caption and the given
// buttons and icon; answers it with `answer` (wxYES, wxNO or wxOK).
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage>
{
public:
    ExpectMessage(const wxString& message, int answer, long buttonsAndIcon,
                  const wxString& caption = kProgramCaption);

protected:
    int OnInvoked(wxMessageDialog* dialog) const override;

private:
    wxString m_message;
    wxString m_caption;
    long m_style;
    int m_answer;
};

// While it lives, a dialog that no expectation answers fails the test and is
// cancelled instead of waiting forever for a click.
class RefuseUnexpectedDialogs : public wxModalDialogHook
{
public:
    RefuseUnexpectedDialogs() { Register(); }
    ~RefuseUnexpectedDialogs() override { Unregister(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};

// Errors and questions as the commands show them.
ExpectMessage ExpectError(const wxString& message);
ExpectMessage ExpectQuestion(const wxString& message, int answer);

// The answers a test gives to the window's file choosers, and what the
// window asked.
struct ChooserScript {
    std::deque<wxString> answers;
    std::vector<FileChoice> asked;
};

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T>
    T* Find(const char* name)
    {
        auto* window = dynamic_cast<T*>(wxWindow::FindWindowByName(name, m_frame.get()));
        EXPECT_NE(window, nullptr) << name;
        return window;
    }

    // Sends a menu command as the menu bar does.
    void Menu(long id);
    // Closes and destroys the frame; returns once it is gone.
    void DestroyFrame();
    bool FrameGone() const { return !m_frame; }

    // A configuration file written by a document of its own.
    std::string WriteConfigFile(const std::string& name, uint8_t dataAge, const wxString& notes);

    TempDir m_dir;
    wxWeakRef<ConfigFrame> m_frame;
    std::shared_ptr<ChooserScript> m_chooser = std::make_shared<ChooserScript>();
};
