// Help, About and the window's geometry between runs.
#include "FrameTestSupport.h"

#include "app/WindowGeometry.h"

#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/regex.h>

namespace {

using MainFrameHelp = FrameTest;

StoredGeometry Stored(long x, long y, long width, long height)
{
    StoredGeometry stored;
    stored.x = x;
    stored.y = y;
    stored.width = width;
    stored.height = height;
    return stored;
}

// Runs the test from another folder, and comes back.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const wxString& folder) : m_previous(wxGetCwd()) { wxSetWorkingDirectory(folder); }
    ~WorkingDirectory() { wxSetWorkingDirectory(m_previous); }

private:
    wxString m_previous;
};

wxFileConfig OpenStore(const wxString& file)
{
    return wxFileConfig("Quorastelline_Config", wxEmptyString, file, wxEmptyString,
                        wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE);
}

} // namespace

TEST(WindowGeometry, RestoredRectKeepsTheWindowOnTheDisplay)
{
    const wxRect display(0, 0, 1920, 1080);

    // Past the right edge: pulled back so that the window ends at the edge.
    auto rect = RestoredWindowRect(Stored(1800, 100, 400, 300), display);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(1520, 100, 400, 300));

    // Past the left edge: to the edge.
    rect = RestoredWindowRect(Stored(-300, 50, 400, 300), display);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(0, 50, 400, 300));

    // Past the bottom, and a window taller than the display: top edge wins.
    rect = RestoredWindowRect(Stored(10, 1000, 400, 300), display);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(10, 780, 400, 300));
    rect = RestoredWindowRect(Stored(10, 10, 400, 1500), display);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(10, 0, 400, 1500));

    // A client area that does not start at the origin (a panel on the left).
    rect = RestoredWindowRect(Stored(5, 5, 400, 300), wxRect(64, 32, 1856, 1048));
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(64, 32, 400, 300));

    // No position stored: nothing at all is restored, size included.
    EXPECT_FALSE(RestoredWindowRect(Stored(100, -1, 400, 300), display));
    EXPECT_FALSE(RestoredWindowRect(Stored(-1, 100, 400, 300), display));
    EXPECT_FALSE(RestoredWindowRect(StoredGeometry(), display));

    // A size that was not stored is left to the toolkit.
    rect = RestoredWindowRect(Stored(200, 100, -1, -1), display);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, wxRect(200, 100, -1, -1));
}

TEST(WindowGeometry, StoreKeepsTheFourKeys)
{
    TempDir dir;
    const wxString file = dir.File("geometry.ini");
    {
        wxFileConfig store = OpenStore(file);
        const StoredGeometry absent = ReadGeometry(store);
        EXPECT_EQ(absent.x, -1);
        EXPECT_EQ(absent.y, -1);
        EXPECT_EQ(absent.width, -1);
        EXPECT_EQ(absent.height, -1);
        WriteGeometry(store, wxRect(11, 22, 333, 444));
    }
    const wxFileConfig store = OpenStore(file);
    EXPECT_EQ(store.ReadLong("WindowPosition_X", 0), 11);
    EXPECT_EQ(store.ReadLong("WindowPosition_Y", 0), 22);
    EXPECT_EQ(store.ReadLong("WindowPosition_Width", 0), 333);
    EXPECT_EQ(store.ReadLong("WindowPosition_Height", 0), 444);
}

TEST_F(MainFrameHelp, ClosingWritesTheGeometryAndTheNextWindowOpensThere)
{
    const wxString file = m_dir.File("geometry.ini");
    EXPECT_FALSE(OpenStore(file).HasEntry("WindowPosition_X"));
    m_frame->SetSize(120, 90, 1000, 760);
    Settle();
    const wxRect closed(m_frame->GetPosition(), m_frame->GetSize());
    DestroyFrame();

    const StoredGeometry stored = ReadGeometry(OpenStore(file));
    EXPECT_EQ(stored.x, closed.x);
    EXPECT_EQ(stored.y, closed.y);
    EXPECT_EQ(stored.width, closed.width);
    EXPECT_EQ(stored.height, closed.height);
    EXPECT_EQ(stored.width, 1000);

    wxWeakRef<ConfigFrame> reopened = new ConfigFrame(nullptr, wxID_ANY, file);
    reopened->Show();
    Settle();
    EXPECT_EQ(reopened->GetPosition(), closed.GetPosition());
    EXPECT_EQ(reopened->GetSize(), closed.GetSize());
    reopened->Destroy();
    for (int i = 0; i < 50 && reopened; ++i)
        Settle();
    EXPECT_FALSE(reopened);
}

TEST_F(MainFrameHelp, HelpOpensTheManualFromTheWorkingFolder)
{
    std::vector<wxString> launched;
    bool launchWorks = true;
    m_frame->SetDocumentLauncher([&](const wxString& document) {
        launched.push_back(document);
        return launchWorks;
    });
    WorkingDirectory here(m_dir.Path());

    Menu(ConfigFrame::ID_MENUHELP);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0),
              "Failed to opened \"Quorastelline_Manual.pdf\" in default application");
    EXPECT_TRUE(launched.empty());

    WriteFileBytes(m_dir.File("Quorastelline_Manual.pdf"), Bytes{'%', 'P', 'D', 'F'});
    {
        wxTestingModalHook noDialogs(__FILE__, __LINE__, "help shows no dialog");
        Menu(ConfigFrame::ID_MENUHELP);
    }
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0), "Opened \"Quorastelline_Manual.pdf\" in default application");
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], "Quorastelline_Manual.pdf");

    launchWorks = false;
    Menu(ConfigFrame::ID_MENUHELP);
    EXPECT_EQ(m_frame->GetStatusBar()->GetStatusText(0),
              "Failed to opened \"Quorastelline_Manual.pdf\" in default application");
}

TEST_F(MainFrameHelp, AboutNamesVersionBuildTimeAndToolkit)
{
    const wxString text = ConfigFrame::AboutText();
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUABOUT),
                  ExpectMessage(text, wxOK, wxOK | wxICON_INFORMATION, "About Quorastelline Config..."));

    wxRegEx form("^Quorastelline Configuration Utility\n"
                 "Version 1\\.02\\.17\n"
                 "Compiled at [0-2][0-9]:[0-5][0-9]:[0-5][0-9] on "
                 "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3][0-9] 20[0-9][0-9]\n"
                 "wxWidgets 3\\.2\\.[0-9]+-Linux-Unicode build\n"
                 "\n$",
                 wxRE_ADVANCED);
    ASSERT_TRUE(form.IsValid());
    EXPECT_TRUE(form.Matches(text)) << text;
    EXPECT_NE(text.Find(wxString(wxVERSION_STRING) + "-Linux-Unicode build\n"), wxNOT_FOUND) << text;
}

TEST(WindowGeometryStore, WithoutAFileNamedTheToolkitsPerUserFileIsUsed)
{
    // The test program's home is a temporary folder of its own.
    const wxString home = wxGetHomeDir();
    ASSERT_TRUE(home.StartsWith("/tmp/qst-test-")) << home;
    const wxString file = home + "/.Quorastelline_Config";
    if (wxFileExists(file)) {
        ASSERT_TRUE(wxRemoveFile(file));
    }

    wxWeakRef<ConfigFrame> frame = new ConfigFrame(nullptr);
    frame->Show();
    Settle();
    const wxPoint position = frame->GetPosition();
    frame->Destroy();
    for (int i = 0; i < 50 && frame; ++i)
        Settle();
    ASSERT_FALSE(frame);

    ASSERT_TRUE(wxFileExists(file));
    const StoredGeometry stored = ReadGeometry(OpenStore(file));
    EXPECT_EQ(stored.x, position.x);
    EXPECT_EQ(stored.y, position.y);
    EXPECT_GT(stored.width, 0);
    EXPECT_GT(stored.height, 0);
}
