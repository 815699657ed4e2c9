// Test program for the windows: the tests run inside the toolkit's event
// loop, as the program's own handlers do.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>

// The toolkit's own libraries keep allocations alive to the end, so the
// window tests do not look for leaks (the sanitizer asks for this; a
// setting in ASAN_OPTIONS still wins).
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

class TestApp : public wxApp
{
public:
    bool OnInit() override
    {
        InstallAssertHandler();
        // Tests create and destroy frames of their own; the loop must not
        // end with the first of them.
        SetExitOnFrameDelete(false);
        CallAfter([this] {
            m_result = RUN_ALL_TESTS();
            ExitMainLoop();
        });
        return true;
    }
    int OnRun() override
    {
        wxApp::OnRun();
        return m_result;
    }

private:
    int m_result = 1;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as ctest's discovery does at build time) needs no
    // display, so it runs before the toolkit starts.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new TestApp);
    return wxEntry(argc, argv);
}
