// The main window under a window manager (openbox, on a display of its
// own), which adds its frame only once the window shows: the window is laid
// out without GTK complaining of too little room, on a first start and on a
// start that restores the stored geometry, and it comes back at the size it
// was closed at, run after run.
#include "FrameTestSupport.h"

#include "support/ProgramRun.h"

#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// What the process writes to its standard error while one lives (GTK's
// complaints go there).
class CapturedStandardError
{
public:
    explicit CapturedStandardError(const std::string& path) : m_path(path)
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, STDERR_FILENO);
        close(file);
    }
    ~CapturedStandardError() { Restore(); }
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;

    std::string Text()
    {
        Restore();
        std::ifstream in(m_path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    std::string m_path;
    int m_saved = -1;
};

// Shows a window and lets the window manager frame it: returns once the
// window's size has not changed for 300 ms (at most 5 s).
void ShowAndLetSettle(ConfigFrame& frame)
{
    frame.Show();
    const auto start = std::chrono::steady_clock::now();
    wxRect last;
    auto stableSince = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        Settle();
        wxMilliSleep(20);
        const wxRect now = frame.GetRect();
        if (now != last) {
            last = now;
            stableSince = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - stableSince > std::chrono::milliseconds(300) &&
                   std::chrono::steady_clock::now() - start > std::chrono::milliseconds(600)) {
            return;
        }
    }
}

void Close(wxWeakRef<ConfigFrame>& frame)
{
    frame->Destroy();
    for (int i = 0; i < 50 && frame; ++i)
        Settle();
    ASSERT_FALSE(frame);
}

TEST(WindowManager, StartsWithoutComplaintsAndComesBackAtItsSize)
{
    TempDir dir;
    const std::string geometry = dir.File("geometry.ini");
    CapturedStandardError errors(dir.File("stderr.txt"));

    // A first start, then two starts from the stored geometry: a size that
    // drifted by the window manager's frame would show by the third.
    std::vector<wxRect> closedAt;
    for (int run = 0; run < 3; ++run) {
        wxWeakRef<ConfigFrame> frame = new ConfigFrame(nullptr, wxID_ANY, geometry);
        ShowAndLetSettle(*frame);
        closedAt.push_back(frame->GetRect());
        Close(frame);
    }

    const std::string text = errors.Text();
    EXPECT_EQ(text.find("Gtk-CRITICAL"), std::string::npos) << text;
    EXPECT_EQ(text.find("Gtk-WARNING"), std::string::npos) << text;
    EXPECT_EQ(closedAt[1].GetSize(), closedAt[0].GetSize());
    EXPECT_EQ(closedAt[2].GetSize(), closedAt[0].GetSize());
    EXPECT_EQ(closedAt[2].GetPosition(), closedAt[1].GetPosition());
}

// The toolkit learns the size of the window manager's frame once per
// process, so only a fresh program shows what its first window goes
// through. It runs for two seconds, ample time to show and settle.
TEST(WindowManager, FreshProgramLaysOutWithoutComplaints)
{
    TempDir home;
    const char* previousHome = std::getenv("HOME");
    const std::string keptHome = previousHome ? previousHome : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    const ProgramResult firstStart = RunProgram("quorastelline-config", {}, 2);
    {
        std::ofstream stored(home.File(".Quorastelline_Config"));
        stored << "WindowPosition_X=50\nWindowPosition_Y=40\nWindowPosition_Width=1000\nWindowPosition_Height=700\n";
    }
    const ProgramResult restored = RunProgram("quorastelline-config", {}, 2);
    ::setenv("HOME", keptHome.c_str(), 1);

    EXPECT_EQ(firstStart.err.find("Gtk-CRITICAL"), std::string::npos) << firstStart.err;
    EXPECT_EQ(restored.err.find("Gtk-CRITICAL"), std::string::npos) << restored.err;
}

} // namespace
