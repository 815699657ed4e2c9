// The device link inside the toolkit's event loop, as the main window uses
// it: socket waits keep dispatching events.
#include "config/ConfigData.h"

#include "support/DevSimProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/timer.h>

#include <cstring>

TEST(DeviceLinkInEventLoop, TransfersWhileEventsKeepFlowing)
{
    TempDir dir;
    DevSimProcess device({"--listen", "127.0.0.1", "--delay", "get-0:600", "--save", dir.File("saved.qst")});
    ASSERT_TRUE(device.IsReady()) << device.Banner();

    ConfigData written;
    ASSERT_TRUE(written.AddNode());
    written.GetNode(2)->slaveId[0] = 0x10;
    written.SetDataAge(0x0D);
    wxString error = "untouched";
    ASSERT_TRUE(written.WriteToDevice(true, "127.0.0.1", device.Port(), error)) << error;

    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
    timer.Start(50);
    ConfigData read;
    ASSERT_TRUE(read.ReadFromDevice(true, "127.0.0.1", device.Port(), error)) << error;
    timer.Stop();
    EXPECT_EQ("untouched", error);
    EXPECT_EQ(0, std::memcmp(&read.GetMainBlock(), &written.GetMainBlock(), sizeof(MainBlock)));
    EXPECT_EQ(0, std::memcmp(&read.GetIpBlock(), &written.GetIpBlock(), sizeof(IpBlock)));
    // The device took 600 ms over one reply; the timer ran meanwhile.
    EXPECT_GE(ticks, 5);

    wxString identity;
    ASSERT_TRUE(read.GetDeviceId(true, "127.0.0.1", device.Port(), identity, error)) << error;
    EXPECT_TRUE(identity.StartsWith("Quorastelline"));
}
