// The File menu and the window close: prompts, file choosers, status texts
// and error boxes, and what reaches the file.
#include "FrameTestSupport.h"

#include "app/ConfigApp.h"
#include "config/ConfigData.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include <cstdio>

namespace {

using MainFrameFile = FrameTest;

const wxString kTitle = "TARVEN Quorastelline Configuration Utility";
const wxString kNewDocumentQuestion = "Do you want to save changes to the new configuration?";

// A file's content as a fresh document loads it.
struct Loaded {
    bool ok = false;
    wxString error;
    uint8_t dataAge = 0;
    uint8_t nodeCount = 0;
    wxString notes;
};

Loaded LoadFile(const std::string& path)
{
    ConfigData document;
    Loaded loaded;
    loaded.ok = document.Load(path, loaded.error);
    loaded.dataAge = document.GetDataAge();
    loaded.nodeCount = document.GetNodeCount();
    loaded.notes = document.GetNotes();
    return loaded;
}

// Fails the test if any dialog is shown while it lives.
class NoDialogs
{
public:
    wxTestingModalHook m_hook{__FILE__, __LINE__, "no dialog expected"};
};

} // namespace

TEST_F(MainFrameFile, OpenEditQuitWithYesWritesTheOpenedFile)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "from plant");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);

    ASSERT_EQ(m_chooser->asked.size(), 1u);
    const FileChoice& open = m_chooser->asked[0];
    EXPECT_EQ(open.message, "Choose a file to open");
    EXPECT_EQ(open.directory, wxFileName::GetCwd());
    EXPECT_TRUE(open.defaultName.empty());
    EXPECT_TRUE(open.defaultSuffix.empty());
    EXPECT_EQ(open.wildcard, "Quorastelline files (*.qst)|*.qst;*.QST|All files|*.*");
    EXPECT_EQ(open.flags, wxFD_OPEN | wxFD_FILE_MUST_EXIST);

    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration read from file");
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - plant.qst");
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 99);
    EXPECT_EQ(Find<wxTextCtrl>("ID_NOTESTEXT")->GetValue(), "from plant");

    ASSERT_TRUE(m_frame->Document().AddNode());
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUQUIT),
                  ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxYES));
    Settle();
    EXPECT_TRUE(FrameGone());

    const Loaded saved = LoadFile(path);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.nodeCount, 3);
    EXPECT_EQ(saved.dataAge, 99);
    EXPECT_EQ(saved.notes, "from plant");
}

TEST_F(MainFrameFile, OpenEditQuitWithNoLeavesTheFile)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "from plant");
    const Bytes before = ReadFileBytes(path);
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);

    ASSERT_TRUE(m_frame->Document().AddNode());
    wxTEST_DIALOG(m_frame->Close(), ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxNO));
    Settle();
    EXPECT_TRUE(FrameGone());
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(MainFrameFile, NewUnchangedDocumentClosesWithoutPrompt)
{
    {
        NoDialogs none;
        Menu(ConfigFrame::ID_MENUQUIT);
        Settle();
    }
    EXPECT_TRUE(FrameGone());
}

TEST_F(MainFrameFile, NewDocumentWithAddedNodeAsksBeforeClosing)
{
    // Never saved, but the work in it is the user's all the same.
    ASSERT_TRUE(m_frame->Document().AddNode());
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUQUIT), ExpectQuestion(kNewDocumentQuestion, wxNO));
    Settle();
    EXPECT_TRUE(FrameGone());
    EXPECT_TRUE(m_chooser->asked.empty());
}

TEST_F(MainFrameFile, OpenedButUnchangedDocumentClosesWithoutPrompt)
{
    m_chooser->answers.push_back(WriteConfigFile("plant.qst", 80, ""));
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_FALSE(m_frame->Document().IsModified());
    {
        NoDialogs none;
        m_frame->Close();
        Settle();
    }
    EXPECT_TRUE(FrameGone());
}

TEST_F(MainFrameFile, CloseUnbindsTheFileAndSaveThenAsksForAName)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_TRUE(m_frame->Document().AddNode());

    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUCLOSE),
                  ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxNO));
    EXPECT_EQ(m_frame->GetTitle(), kTitle);
    // The configuration stays on screen and in the document.
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 99);

    const std::string other = m_dir.File("other.qst");
    m_chooser->answers.push_back(other);
    {
        NoDialogs none;
        Menu(ConfigFrame::ID_MENUSAVE);
    }
    ASSERT_EQ(m_chooser->asked.size(), 2u);
    const FileChoice& saveAs = m_chooser->asked[1];
    EXPECT_EQ(saveAs.message, "Choose a file to save as");
    EXPECT_TRUE(saveAs.defaultName.empty());
    EXPECT_EQ(saveAs.defaultSuffix, "qst");
    EXPECT_EQ(saveAs.wildcard, "Quorastelline files (*.qst)|*.qst|All files|*.*");
    EXPECT_EQ(saveAs.flags, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    // The folder offered is that of the last file loaded.
    EXPECT_EQ(saveAs.directory, wxString(m_dir.Path()));

    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration saved to file");
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - other.qst");
    EXPECT_EQ(LoadFile(other).nodeCount, 3);
    EXPECT_EQ(LoadFile(path).nodeCount, 2);
}

TEST_F(MainFrameFile, DefaultsKeepTheFileAndSaveOverwritesIt)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "from plant");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 99);

    {
        NoDialogs none;
        Menu(ConfigFrame::ID_MENUDEFAULTS);
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration set to defaults");
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 60);
    EXPECT_EQ(Find<wxTextCtrl>("ID_NOTESTEXT")->GetValue(), "Default config.");
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - plant.qst");
    EXPECT_TRUE(m_frame->Document().IsModified());

    {
        NoDialogs none;
        Menu(ConfigFrame::ID_MENUSAVE);
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration saved to file");
    const Loaded saved = LoadFile(path);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.dataAge, 60);
    EXPECT_EQ(saved.notes, "Default config.");
    EXPECT_FALSE(m_frame->Document().IsModified());
}

TEST_F(MainFrameFile, FailedLoadReportsTheReasonAndKeepsTheDocument)
{
    const std::string garbage = m_dir.File("garbage.qst");
    WriteFileBytes(garbage, Bytes(100, 'x'));
    m_chooser->answers.push_back(garbage);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUOPEN),
                  ExpectError("Failed to read the configuration from the file.\r\n\r\nFile header mismatch"));
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed to read configuration from file");
    EXPECT_EQ(m_frame->GetTitle(), kTitle);
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 60);
    EXPECT_EQ(m_frame->Document().GetDataAge(), 60);

    m_chooser->answers.push_back(m_dir.File("missing.qst"));
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUOPEN),
                  ExpectError("Failed to read the configuration from the file.\r\n\r\nCould not open file"));
}

TEST_F(MainFrameFile, CancelledOpenChangesNothing)
{
    m_frame->SetStatus("before");
    m_frame->Document().AddNode();
    m_chooser->answers.push_back(wxString());
    // The added node is unsaved work: Open asks first.
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUOPEN), ExpectQuestion(kNewDocumentQuestion, wxNO));
    EXPECT_EQ(m_chooser->asked.size(), 1u);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "before");
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);
    EXPECT_EQ(m_frame->GetTitle(), kTitle);
}

TEST_F(MainFrameFile, InvalidIpSettingsStopASave)
{
    // Bound to a file: nothing is written, the title stays.
    const std::string path = WriteConfigFile("plant.qst", 99, "");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    const Bytes before = ReadFileBytes(path);
    Find<wxTextCtrl>("ID_TEXTCTRL2")->ChangeValue("255.255.255");
    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(42);
    m_frame->SetStatus("");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSAVE), ExpectError("The Ethernet configuration looks invalid"));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(m_frame->GetStatusBar()->GetStatusText(0).empty());
    // The general settings were taken before the IP texts were refused.
    EXPECT_EQ(m_frame->Document().GetDataAge(), 42);

    // Save as: the chosen file is not created.
    const std::string other = m_dir.File("other.qst");
    m_chooser->answers.push_back(other);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSAVEAS), ExpectError("The Ethernet configuration looks invalid"));
    EXPECT_FALSE(wxFileExists(other));
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - plant.qst");
}

TEST_F(MainFrameFile, FirstSaveOfANewDocumentKeepsTheTypedNotes)
{
    Find<wxTextCtrl>("ID_NOTESTEXT")->ChangeValue("Typed before the first save");
    const std::string path = m_dir.File("new.qst");
    m_chooser->answers.push_back(path);
    {
        NoDialogs none;
        Menu(ConfigFrame::ID_MENUSAVE);
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration saved to file");
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - new.qst");
    const Loaded saved = LoadFile(path);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.notes, "Typed before the first save");

    // A second save takes changed notes too.
    Find<wxTextCtrl>("ID_NOTESTEXT")->ChangeValue("Second");
    Menu(ConfigFrame::ID_MENUSAVE);
    EXPECT_EQ(LoadFile(path).notes, "Second");
    EXPECT_EQ(m_chooser->asked.size(), 1u);
}

TEST_F(MainFrameFile, UnwritableFilesFallBackAndReport)
{
    // The bound file's folder has gone: Save falls through to Save as.
    const std::string folder = m_dir.File("gone");
    ASSERT_TRUE(wxFileName::Mkdir(folder));
    const std::string path = folder + "/plant.qst";
    ConfigData source;
    ASSERT_TRUE(source.Save(path));
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_TRUE(wxRemoveFile(path));
    ASSERT_TRUE(wxFileName::Rmdir(folder));

    m_chooser->answers.push_back(m_dir.File("nowhere/else.qst"));
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSAVE), ExpectError("Failed to save configuration to the file."));
    ASSERT_EQ(m_chooser->asked.size(), 2u);
    EXPECT_EQ(m_chooser->asked[1].message, "Choose a file to save as");
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed to save the configuration to file");
    EXPECT_FALSE(wxFileExists(m_dir.File("nowhere/else.qst")));
}

TEST_F(MainFrameFile, CommandLineFileOpensWithoutDialogsOrTitle)
{
    const std::string path = WriteConfigFile("start.qst", 33, "started");
    std::vector<wxString> args = {"quorastelline-config", path};
    std::vector<wxChar*> argv;
    for (wxString& arg : args)
        argv.push_back(const_cast<wxChar*>(arg.wc_str()));
    argv.push_back(nullptr);
    {
        NoDialogs none;
        ConfigApp::OpenCommandLineFiles(*m_frame, 2, argv.data());
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration read from file");
    EXPECT_EQ(m_frame->GetTitle(), kTitle);
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 33);
    EXPECT_EQ(Find<wxTextCtrl>("ID_NOTESTEXT")->GetValue(), "started");

    std::vector<wxString> missingArgs = {"quorastelline-config", m_dir.File("missing.qst")};
    std::vector<wxChar*> missingArgv = {const_cast<wxChar*>(missingArgs[0].wc_str()),
                                        const_cast<wxChar*>(missingArgs[1].wc_str()), nullptr};
    {
        NoDialogs none;
        ConfigApp::OpenCommandLineFiles(*m_frame, 2, missingArgv.data());
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Failed to read configuration from file");
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 33);
}

TEST_F(MainFrameFile, CommandLineWithNoFileLeavesTheDefaults)
{
    std::vector<wxString> args = {"quorastelline-config"};
    std::vector<wxChar*> argv = {const_cast<wxChar*>(args[0].wc_str()), nullptr};
    {
        NoDialogs none;
        ConfigApp::OpenCommandLineFiles(*m_frame, 1, argv.data());
    }
    EXPECT_TRUE(m_frame->GetStatusBar()->GetStatusText(0).empty());
    EXPECT_EQ(Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->GetValue(), 60);
}

TEST_F(MainFrameFile, CommandLineWithTwoFilesIsRefusedButTheProgramGoesOn)
{
    const std::string first = WriteConfigFile("first.qst", 11, "");
    const std::string second = WriteConfigFile("second.qst", 22, "");
    std::vector<wxString> args = {"quorastelline-config", first, second};
    std::vector<wxChar*> argv = {const_cast<wxChar*>(args[0].wc_str()), const_cast<wxChar*>(args[1].wc_str()),
                                 const_cast<wxChar*>(args[2].wc_str()), nullptr};
    {
        NoDialogs none;
        ConfigApp::OpenCommandLineFiles(*m_frame, 3, argv.data());
    }
    // The parser stops at the parameter it does not expect; the one it
    // accepted is opened, the other never.
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration read from file");
    EXPECT_EQ(m_frame->Document().GetDataAge(), 11);
}

TEST_F(MainFrameFile, ChangesTheUserChoseToSaveAreNotLostWhenTheSaveFails)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "");
    const Bytes before = ReadFileBytes(path);
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_TRUE(m_frame->Document().AddNode());
    auto* ip = Find<wxTextCtrl>("ID_TEXTCTRL1");
    ip->ChangeValue("not an address");
    const wxString question = "Do you want to save changes to \"" + wxString(path) + "\"?";

    // Yes, but the IP settings are refused: the window stays open.
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUQUIT), ExpectQuestion(question, wxYES),
                  ExpectError("The Ethernet configuration looks invalid"));
    Settle();
    ASSERT_FALSE(FrameGone());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);

    // Nor does Open replace the unsaved configuration: no file is asked for.
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUOPEN), ExpectQuestion(question, wxYES),
                  ExpectError("The Ethernet configuration looks invalid"));
    EXPECT_EQ(m_chooser->asked.size(), 1u);
    EXPECT_EQ(m_frame->Document().GetNodeCount(), 3);

    // Once the save can happen, Yes saves and the window closes.
    ip->ChangeValue("127.0.0.1");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUQUIT), ExpectQuestion(question, wxYES));
    Settle();
    EXPECT_TRUE(FrameGone());
    EXPECT_EQ(LoadFile(path).nodeCount, 3);
}

TEST_F(MainFrameFile, ForcedCloseNeverAsks)
{
    m_chooser->answers.push_back(WriteConfigFile("plant.qst", 99, ""));
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_TRUE(m_frame->Document().AddNode());
    {
        NoDialogs none;
        m_frame->Close(true);
        Settle();
    }
    EXPECT_TRUE(FrameGone());
}

TEST_F(MainFrameFile, TypedNotesAreAskedAboutAndSavedOnQuit)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "from plant");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    ASSERT_FALSE(m_frame->Document().IsModified());

    Find<wxTextCtrl>("ID_NOTESTEXT")->ChangeValue("typed, not yet saved");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUQUIT),
                  ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxYES));
    Settle();
    EXPECT_TRUE(FrameGone());
    EXPECT_EQ(LoadFile(path).notes, "typed, not yet saved");
}

TEST_F(MainFrameFile, ChangedDataAgeIsAskedAboutOnTheCloseBox)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "");
    const Bytes before = ReadFileBytes(path);
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);

    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(42);
    wxTEST_DIALOG(m_frame->Close(), ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxNO));
    Settle();
    EXPECT_TRUE(FrameGone());
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(MainFrameFile, SaveAsAddsTheSuffixAndAsksBeforeReplacing)
{
    const std::string typed = m_dir.File("plant");
    m_chooser->answers.push_back(typed);
    Menu(ConfigFrame::ID_MENUSAVEAS);
    EXPECT_TRUE(wxFileExists(typed + ".qst"));
    EXPECT_FALSE(wxFileExists(typed));
    EXPECT_EQ(m_frame->GetTitle(), kTitle + " - plant.qst");
    const Bytes before = ReadFileBytes(typed + ".qst");

    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(42);
    m_chooser->answers.push_back(typed);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSAVEAS),
                  ExpectQuestion("The file \"" + wxString(typed) + ".qst\" already exists.\n\nDo you want to replace it?",
                                 wxNO));
    EXPECT_EQ(ReadFileBytes(typed + ".qst"), before);

    m_chooser->answers.push_back(typed);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUSAVEAS),
                  ExpectQuestion("The file \"" + wxString(typed) + ".qst\" already exists.\n\nDo you want to replace it?",
                                 wxYES));
    EXPECT_EQ(LoadFile(typed + ".qst").dataAge, 42);
}

TEST_F(MainFrameFile, DefaultsAskBeforeReplacingTypedValues)
{
    const std::string path = WriteConfigFile("plant.qst", 99, "");
    m_chooser->answers.push_back(path);
    Menu(ConfigFrame::ID_MENUOPEN);
    Find<wxTextCtrl>("ID_TEXTCTRL3")->ChangeValue("192.168.1.200");
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUDEFAULTS),
                  ExpectQuestion("Do you want to save changes to \"" + wxString(path) + "\"?", wxYES));
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Configuration set to defaults");
    ConfigData saved;
    wxString error;
    ASSERT_TRUE(saved.Load(path, error)) << error;
    IpTexts ip;
    ASSERT_TRUE(saved.GetIpTexts(ip));
    EXPECT_EQ(ip.gateway, "192.168.1.200");
}
