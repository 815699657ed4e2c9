// Test program for the windows: the tests run inside the toolkit's event
// loop, as the program's own handlers do.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>

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
    wxApp::SetInstance(new TestApp);
    return wxEntry(argc, argv);
}
