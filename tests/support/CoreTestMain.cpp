// Test program for everything that runs without a display.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/init.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 2;
    InstallAssertHandler();
    return RUN_ALL_TESTS();
}
