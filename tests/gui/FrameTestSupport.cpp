#include "FrameTestSupport.h"

#include "config/ConfigData.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <cstdlib>

namespace {

// Windows made by any test keep their geometry away from the user's own
// store, even those constructed without a store of their own.
class PrivateHome : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_home = std::make_unique<TempDir>();
        ::setenv("HOME", m_home->Path().c_str(), 1);
    }
    void TearDown() override { m_home.reset(); }

private:
    std::unique_ptr<TempDir> m_home;
};

[[maybe_unused]] ::testing::Environment* const kPrivateHome = ::testing::AddGlobalTestEnvironment(new PrivateHome);

// A logged error would otherwise wait in a message box at the next idle
// time, where no test answers it and the run never ends.
class LogToStderr : public ::testing::Environment
{
public:
    void SetUp() override { delete wxLog::SetActiveTarget(new wxLogStderr); }
};

[[maybe_unused]] ::testing::Environment* const kLogToStderr = ::testing::AddGlobalTestEnvironment(new LogToStderr);

int ButtonId(int answer)
{
    switch (answer) {
    case wxYES:
        return wxID_YES;
    case wxNO:
        return wxID_NO;
    case wxOK:
        return wxID_OK;
    default:
        return answer;
    }
}

} // namespace

void Settle()
{
    for (int i = 0; i < 3; ++i) {
        wxYield();
        wxTheApp->ProcessPendingEvents();
    }
}

ExpectMessage::ExpectMessage(const wxString& message, int answer, long buttonsAndIcon, const wxString& caption)
    : m_message(message), m_caption(caption), m_style(buttonsAndIcon), m_answer(answer)
{
}

int ExpectMessage::OnInvoked(wxMessageDialog* dialog) const
{
    EXPECT_EQ(dialog->GetMessage(), m_message);
    EXPECT_EQ(dialog->GetCaption(), m_caption);
    const long shown = dialog->GetMessageDialogStyle() & (wxICON_MASK | wxYES_NO | wxOK | wxCANCEL);
    EXPECT_EQ(shown, m_style) << "buttons and icon of " << m_message;
    return ButtonId(m_answer);
}

int RefuseUnexpectedDialogs::Enter(wxDialog* dialog)
{
    const auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    ADD_FAILURE() << "unexpected dialog \"" << dialog->GetTitle() << "\""
                  << (box ? ": " + box->GetMessage() : wxString());
    return wxID_CANCEL;
}

ExpectMessage ExpectError(const wxString& message)
{
    return ExpectMessage(message, wxOK, wxOK | wxICON_ERROR);
}

ExpectMessage ExpectQuestion(const wxString& message, int answer)
{
    return ExpectMessage(message, answer, wxYES_NO | wxICON_INFORMATION);
}

void FrameTest::SetUp()
{
    m_frame = new ConfigFrame(nullptr, wxID_ANY, m_dir.File("geometry.ini"));
    auto script = m_chooser;
    m_frame->SetFileChooser([script](const FileChoice& choice, wxWindow*) {
        script->asked.push_back(choice);
        if (script->answers.empty()) {
            ADD_FAILURE() << "file chooser not expected: " << choice.message;
            return wxString();
        }
        wxString answer = script->answers.front();
        script->answers.pop_front();
        return answer;
    });
    m_frame->Show();
    Settle();
}

void FrameTest::TearDown()
{
    DestroyFrame();
    EXPECT_TRUE(m_chooser->answers.empty()) << "file chooser answers left over";
}

void FrameTest::Menu(long id)
{
    wxCommandEvent event(wxEVT_MENU, wxWindowID(id));
    event.SetEventObject(m_frame.get());
    m_frame->ProcessWindowEvent(event);
    Settle();
}

void FrameTest::DestroyFrame()
{
    if (m_frame && !wxTheApp->IsScheduledForDestruction(m_frame.get()))
        m_frame->Destroy();
    for (int i = 0; i < 50 && m_frame; ++i)
        Settle();
    EXPECT_FALSE(m_frame) << "the window was not destroyed";
}

std::string FrameTest::WriteConfigFile(const std::string& name, uint8_t dataAge, const wxString& notes)
{
    ConfigData document;
    document.SetDataAge(dataAge);
    document.SetNotes(notes);
    const std::string path = m_dir.File(name);
    EXPECT_TRUE(document.Save(path));
    return path;
}
