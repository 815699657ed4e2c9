#include "app/ConfigFrame.h"

#include <gtest/gtest.h>

TEST(MainFrame, OpensWithTheProductTitle)
{
    auto* frame = new ConfigFrame(nullptr);
    frame->Show();
    wxYield();
    EXPECT_EQ(frame->GetTitle().ToStdString(), "TARVEN Quorastelline Configuration Utility");
    EXPECT_TRUE(frame->IsShown());
    frame->Destroy();
    wxYield();
}
