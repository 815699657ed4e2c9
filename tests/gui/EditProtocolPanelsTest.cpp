#include "editor/EditPanelFactory.h"
#include "editor/EditProtocolAnalogueMaster.h"
#include "editor/EditProtocolPanel.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

namespace {

class ProtocolPanelTest : public PanelTest
{
protected:
    EditProtocolPanel* Create(uint8_t protocol)
    {
        EditProtocolPanel* panel = CreateProtocolPanel(protocol, m_frame);
        EXPECT_NE(panel, nullptr);
        if (panel) {
            EXPECT_EQ(panel->ProtocolCode(), protocol);
        }
        return panel;
    }
    // A panel loaded from the image.
    EditProtocolPanel* Loaded(uint8_t protocol, const NodeImage& image)
    {
        EditProtocolPanel* panel = Create(protocol);
        panel->Load(EntryOf(image));
        return panel;
    }
    static NodeImage Stored(EditProtocolPanel* panel, const NodeImage& image)
    {
        NodeEntry node = EntryOf(image);
        EXPECT_TRUE(panel->Store(node));
        return ImageOf(node);
    }
};

// An image of 0xEE bytes running the protocol with the given word.
NodeImage ProtocolImage(uint8_t protocol, uint8_t byte1, uint8_t byte2)
{
    NodeImage image = FilledImage(0xEE);
    image[0] = protocol;
    image[1] = byte1;
    image[2] = byte2;
    return image;
}

} // namespace

TEST_F(ProtocolPanelTest, FactoryMakesOnePagePerProtocolAndNoneForOthers)
{
    for (uint8_t code = 1; code <= 13; ++code)
        Create(code);
    EXPECT_EQ(CreateProtocolPanel(0, m_frame), nullptr);
    EXPECT_EQ(CreateProtocolPanel(14, m_frame), nullptr);
}

TEST_F(ProtocolPanelTest, ControlLevel)
{
    // Another protocol's node: the page stores its default level 2 over the whole word.
    const NodeImage image = ProtocolImage(PROTOCOL_S2_MASTER, 0xFF, 0xFF);
    EditProtocolPanel* panel = Loaded(PROTOCOL_CONTROL, image);
    NodeImage expected = image;
    expected[0] = 1, expected[1] = 2, expected[2] = 0;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");

    EXPECT_EQ(Find<wxSpinCtrl>(Loaded(PROTOCOL_CONTROL, ProtocolImage(1, 0x04, 0x00)), "ID_SPINCTRLMESSAHELEVEL")->GetValue(), 4);
    // Bits 0..3 only; a level above 5 shows 2.
    EXPECT_EQ(Find<wxSpinCtrl>(Loaded(PROTOCOL_CONTROL, ProtocolImage(1, 0x35, 0x7F)), "ID_SPINCTRLMESSAHELEVEL")->GetValue(), 5);
    EXPECT_EQ(Find<wxSpinCtrl>(Loaded(PROTOCOL_CONTROL, ProtocolImage(1, 0x07, 0x00)), "ID_SPINCTRLMESSAHELEVEL")->GetValue(), 2);
}

TEST_F(ProtocolPanelTest, NoDataPagesRewriteOnlyBitsZeroAndOne)
{
    for (uint8_t code : {uint8_t(PROTOCOL_IO_MASTER), uint8_t(PROTOCOL_UCE_MASTER), uint8_t(PROTOCOL_UCE_SLAVE)}) {
        SCOPED_TRACE(int(code));
        // An S2 Master's word: bits 2..15 must survive.
        const NodeImage image = ProtocolImage(PROTOCOL_S2_MASTER, 0x5D, 0xA7);
        EditProtocolPanel* panel = Loaded(code, image);
        auto* noData = Find<wxChoice>(panel, "ID_CHOICENODATA");
        EXPECT_EQ(noData->GetSelection(), 0);
        noData->SetSelection(2);
        NodeImage expected = image;
        expected[0] = code;
        expected[1] = 0x5E;
        EXPECT_EQ(Differences(Stored(panel, image), expected), "");

        // Both bits set: the first wins.
        EXPECT_EQ(Find<wxChoice>(Loaded(code, ProtocolImage(code, 0x03, 0)), "ID_CHOICENODATA")->GetSelection(), 1);
        EXPECT_EQ(Find<wxChoice>(Loaded(code, ProtocolImage(code, 0x02, 0)), "ID_CHOICENODATA")->GetSelection(), 2);
    }
}

TEST_F(ProtocolPanelTest, S2MasterFramingAndPollInterval)
{
    EditProtocolPanel* panel = Create(PROTOCOL_S2_MASTER);
    auto* poll = Find<wxSpinCtrl>(panel, "ID_SPINCTRLPOLLINTERVAL");
    EXPECT_EQ(poll->GetValue(), 1000);
    EXPECT_EQ(poll->GetMin(), 100);
    EXPECT_EQ(poll->GetMax(), 2550);   // what byte 365 holds

    // Defaults onto a Host Slave node: one start and one end flag, 1000 ms.
    NodeImage image = ProtocolImage(PROTOCOL_HOST_SLAVE, 0xFF, 0xFF);
    NodeImage expected = image;
    expected[0] = 5, expected[1] = 0x11, expected[2] = 0xC0;   // bits 14, 15 not its own
    expected[365] = 100;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");

    Find<wxSpinCtrl>(panel, "ID_SPINCTRLSTARTFLAGS")->SetValue(15);
    Find<wxSpinCtrl>(panel, "ID_SPINCTRLENDFLAGS")->SetValue(3);
    Find<wxCheckBox>(panel, "ID_CHECKBOXCTRLBYTE")->SetValue(true);
    Find<wxChoice>(panel, "ID_CHOICENRZ")->SetStringSelection("NRZi");
    Find<wxCheckBox>(panel, "ID_CHECKBOXBITSTUFFING")->SetValue(true);
    Find<wxChoice>(panel, "ID_CHOICENODATA")->SetSelection(1);
    poll->SetValue(1009);
    expected[1] = 0x3F;
    expected[2] = 0xDD;   // bit 8, NRZi bit 10, bit 11, no-data bit 12
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    EditProtocolPanel* loaded = Loaded(PROTOCOL_S2_MASTER, stored);
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLPOLLINTERVAL")->GetValue(), 1000);
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICENRZ")), "NRZi");
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLSTARTFLAGS")->GetValue(), 15);
    EXPECT_EQ(Differences(Stored(loaded, stored), stored), "");

    // NRZs wins when both bits are set.
    EXPECT_EQ(Selected(Find<wxChoice>(Loaded(PROTOCOL_S2_MASTER, ProtocolImage(5, 0, 0x06)), "ID_CHOICENRZ")), "NRZs");
}

TEST_F(ProtocolPanelTest, S2SlavePrefixBitFollowsBitStuffing)
{
    EditProtocolPanel* panel = Create(PROTOCOL_S2_SLAVE);
    EXPECT_EQ(wxWindow::FindWindowByName("ID_SPINCTRLPOLLINTERVAL", panel), nullptr);
    auto* stuffing = Find<wxCheckBox>(panel, "ID_CHECKBOXBITSTUFFING");
    auto* prefix = Find<wxCheckBox>(panel, "ID_CHECKBOXPREFIXBIT");
    Check(stuffing, true);
    EXPECT_FALSE(prefix->IsEnabled());
    Check(stuffing, false);
    EXPECT_TRUE(prefix->IsEnabled());

    prefix->SetValue(true);
    const NodeImage image = ProtocolImage(PROTOCOL_NULL, 0x00, 0x80);
    NodeImage expected = image;
    expected[0] = 6, expected[1] = 0x11, expected[2] = 0xC0;   // prefix bit 14; bit 15 kept
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    // Loading sets both boxes as stored, without the rule.
    EditProtocolPanel* loaded = Loaded(PROTOCOL_S2_SLAVE, ProtocolImage(6, 0x11, 0x48));
    EXPECT_TRUE(Find<wxCheckBox>(loaded, "ID_CHECKBOXBITSTUFFING")->GetValue());
    EXPECT_TRUE(Find<wxCheckBox>(loaded, "ID_CHECKBOXPREFIXBIT")->GetValue());
    EXPECT_TRUE(Find<wxCheckBox>(loaded, "ID_CHECKBOXPREFIXBIT")->IsEnabled());
}

TEST_F(ProtocolPanelTest, GenisysMasterPollIntervalRoundsToTens)
{
    const NodeImage image = ProtocolImage(PROTOCOL_UCE_SLAVE, 0xE3, 0x77);
    EditProtocolPanel* panel = Loaded(PROTOCOL_GENISYS_MASTER, image);
    auto* poll = Find<wxSpinCtrl>(panel, "ID_SPINCTRLPOLLINTERVAL");
    EXPECT_EQ(poll->GetMax(), 2550);
    // Defaults: byte 2 = 50, no-data bits and bits 0, 1, 4 clear, bits 5..7 kept.
    NodeImage expected = image;
    expected[0] = 7, expected[1] = 0xE0, expected[2] = 50;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");

    poll->SetValue(505);
    Find<wxCheckBox>(panel, "ID_CHECKBOXSECUREPOLLS")->SetValue(true);
    Find<wxChoice>(panel, "ID_CHOICENODATA")->SetSelection(2);
    Find<wxChoice>(panel, "ID_CHOICEIMPLIMENTATION")->SetStringSelection("Secure poll bit inverse");
    expected[1] = 0xF9, expected[2] = 51;
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");
    EditProtocolPanel* loaded = Loaded(PROTOCOL_GENISYS_MASTER, stored);
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLPOLLINTERVAL")->GetValue(), 510);
    EXPECT_EQ(Differences(Stored(loaded, stored), stored), "");
}

TEST_F(ProtocolPanelTest, GenisysSlaveOwnsBitsTwoToFour)
{
    const NodeImage image = ProtocolImage(PROTOCOL_GENISYS_SLAVE, 0xE3, 0x77);
    EditProtocolPanel* panel = Loaded(PROTOCOL_GENISYS_SLAVE, image);
    EXPECT_EQ(Selected(Find<wxChoice>(panel, "ID_CHOICE2")), "Secure poll bit normal");
    Find<wxChoice>(panel, "ID_CHOICENODATA")->SetSelection(1);
    Find<wxChoice>(panel, "ID_CHOICE2")->SetSelection(1);
    NodeImage expected = image;
    expected[1] = 0xF7;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");
}

TEST_F(ProtocolPanelTest, HostPages)
{
    const NodeImage image = ProtocolImage(PROTOCOL_NULL, 0x12, 0xF0);
    EditProtocolPanel* master = Loaded(PROTOCOL_HOST_MASTER, image);
    auto* loop = Find<wxSpinCtrl>(master, "ID_SPINCTRLLOOPNUMBER");
    EXPECT_EQ(loop->GetMax(), 255);
    loop->SetValue(200);
    Find<wxCheckBox>(master, "ID_CHECKBOXSTORESCF")->SetValue(true);
    Find<wxChoice>(master, "ID_CHOICENODATA")->SetSelection(2);
    NodeImage expected = image;
    expected[0] = 9, expected[1] = 200, expected[2] = 0xFA;   // bits 12..15 kept
    const NodeImage stored = Stored(master, image);
    EXPECT_EQ(Differences(stored, expected), "");
    EXPECT_EQ(Differences(Stored(Loaded(PROTOCOL_HOST_MASTER, stored), stored), stored), "");

    EditProtocolPanel* slave = Loaded(PROTOCOL_HOST_SLAVE, image);
    EXPECT_EQ(wxWindow::FindWindowByName("ID_CHECKBOXSTORESCF", slave), nullptr);
    Find<wxCheckBox>(slave, "ID_CHECKBOXEXTENDED")->SetValue(true);
    Find<wxCheckBox>(slave, "ID_CHECKBOXSENDSCF")->SetValue(true);
    auto* poll = Find<wxSpinCtrl>(slave, "ID_SPINCTRLPOLLRATE");
    EXPECT_EQ(poll->GetValue(), 500);
    EXPECT_EQ(poll->GetMax(), 2550);
    poll->SetValue(2550);
    expected[0] = 10, expected[1] = 0, expected[2] = 0xFC;
    expected[365] = 255;
    EXPECT_EQ(Differences(Stored(slave, image), expected), "");
}

TEST_F(ProtocolPanelTest, NtpTimeZoneIsSigned)
{
    EditProtocolPanel* panel = Create(PROTOCOL_NTP_CLIENT);
    auto* interval = Find<wxSpinCtrl>(panel, "ID_SPINCTRLINTERVAL");
    auto* zone = Find<wxSpinCtrl>(panel, "ID_SPINCTRLTIMEZONE");
    EXPECT_EQ(interval->GetMax(), 255);
    const NodeImage image = ProtocolImage(PROTOCOL_CONTROL, 0xFF, 0xFF);
    NodeImage expected = image;
    expected[0] = 11, expected[1] = 8, expected[2] = 24;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");

    zone->SetValue(-5);
    interval->SetValue(255);
    expected[1] = 0xFB, expected[2] = 255;
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");
    EditProtocolPanel* loaded = Loaded(PROTOCOL_NTP_CLIENT, stored);
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLTIMEZONE")->GetValue(), -5);
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLINTERVAL")->GetValue(), 255);
}

TEST_F(ProtocolPanelTest, NullFillTextAndOffset)
{
    const NodeImage image = ProtocolImage(PROTOCOL_HOST_MASTER, 0x00, 0xFE);
    EditProtocolPanel* panel = Loaded(PROTOCOL_NULL, image);
    auto* fill = Find<wxTextCtrl>(panel, "ID_TEXTCTRLFILL");
    auto* offset = Find<wxCheckBox>(panel, "ID_CHECKBOXUSEOFFSET");
    auto* state = Find<wxStaticText>(panel, "ID_STATICTEXTFILLSTATE");
    EXPECT_EQ(fill->GetValue(), "00");

    fill->SetValue("a5");
    EXPECT_EQ(state->GetLabel(), "");
    NodeImage expected = image;
    expected[0] = 13, expected[1] = 0xA5, expected[2] = 0x00;   // bits 9..15 written 0
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");
    EXPECT_EQ(Find<wxTextCtrl>(Loaded(PROTOCOL_NULL, stored), "ID_TEXTCTRLFILL")->GetValue(), "A5");

    fill->SetValue("zz");
    EXPECT_EQ(state->GetLabel(), "Not a hex byte: 00 is stored");
    EXPECT_EQ(Stored(panel, image)[1], 0x00);
    fill->SetValue("1FF");
    EXPECT_EQ(state->GetLabel(), "Above FF: FF is stored");
    EXPECT_EQ(Stored(panel, image)[1], 0xFF);

    Check(offset, true);
    EXPECT_FALSE(fill->IsEnabled());
    EXPECT_EQ(Stored(panel, image)[2], 0x01);
    Check(offset, false);
    EXPECT_TRUE(fill->IsEnabled());
    // Load applies the rule too.
    EXPECT_FALSE(Find<wxTextCtrl>(Loaded(PROTOCOL_NULL, ProtocolImage(13, 0x10, 0x01)), "ID_TEXTCTRLFILL")->IsEnabled());
}

TEST_F(ProtocolPanelTest, AnalogueTwoChannels)
{
    // A node of its own with every channel voltage and distinct triggers.
    NodeImage image = ProtocolImage(PROTOCOL_ANALOGUE_MASTER, 0x04, 0xF0);
    for (size_t c = 0; c < 4; ++c) {
        image[366 + 4 * c] = uint8_t(0x10 + c), image[367 + 4 * c] = 0x01;   // 0x0110 + c
        image[368 + 4 * c] = uint8_t(0x20 + c), image[369 + 4 * c] = 0x00;
    }
    auto* panel = static_cast<EditProtocolAnalogueMaster*>(Loaded(PROTOCOL_ANALOGUE_MASTER, image));
    auto* channel = Find<wxChoice>(panel, "ID_CHOICECHANNEL");
    auto* type = Find<wxChoice>(panel, "ID_CHOICETYPE");
    auto* high = Find<wxSpinCtrl>(panel, "ID_SPINCTRLHIGH");
    auto* low = Find<wxSpinCtrl>(panel, "ID_SPINCTRLLOW");
    auto* highUnit = Find<wxStaticText>(panel, "ID_STATICTEXTTRIGGERHIGHUNIT");
    EXPECT_EQ(high->GetValue(), 0x110);
    EXPECT_EQ(low->GetValue(), 0x20);

    high->SetValue(30000);
    Choose(channel, 1);
    EXPECT_EQ(panel->CurrentChannel(), 1);
    EXPECT_EQ(high->GetValue(), 0x111);
    Choose(type, 1);
    EXPECT_EQ(highUnit->GetLabel(), "uA");
    EXPECT_EQ(high->GetMax(), 20000);
    high->SetValue(15000);

    NodeImage expected = image;
    expected[2] = 0xD0;                            // ch 1 voltage, ch 2 current
    expected[366] = 0x30, expected[367] = 0x75;    // 30000
    expected[370] = 0x98, expected[371] = 0x3A;    // 15000
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    // Back to channel 1: its voltage range returns before its value shows.
    Choose(channel, 0);
    EXPECT_EQ(highUnit->GetLabel(), "mV");
    EXPECT_EQ(high->GetValue(), 30000);
}

TEST_F(ProtocolPanelTest, AnalogueModeAndDefaults)
{
    // Another protocol's node: every channel gets the page's defaults.
    const NodeImage image = ProtocolImage(PROTOCOL_GENISYS_MASTER, 0x7B, 0x0F);
    EditProtocolPanel* panel = Loaded(PROTOCOL_ANALOGUE_MASTER, image);
    NodeImage expected = image;
    expected[0] = 12, expected[1] = 0x7C, expected[2] = 0xFF;   // triggers bit 2; bits 3..6, 8..11 kept
    for (size_t c = 0; c < 4; ++c) {
        expected[366 + 4 * c] = 0x20, expected[367 + 4 * c] = 0x4E;   // 20000
        expected[368 + 4 * c] = 0x88, expected[369 + 4 * c] = 0x13;   // 5000
    }
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");

    // "Readings" disables the channel controls but keeps storing what they show.
    auto* high = Find<wxSpinCtrl>(panel, "ID_SPINCTRLHIGH");
    high->SetValue(100);
    Choose(Find<wxChoice>(panel, "ID_CHOICEMODE"), 1);
    for (const char* name : {"ID_CHECKBOXACTIVELOW", "ID_CHOICECHANNEL", "ID_CHOICETYPE", "ID_SPINCTRLHIGH",
                             "ID_SPINCTRLLOW"})
        EXPECT_FALSE(wxWindow::FindWindowByName(name, panel)->IsEnabled()) << name;
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(stored[1] & 0x04, 0);
    EXPECT_EQ(stored[366], 100);
    EXPECT_EQ(stored[367], 0);

    // A node in "Readings" mode loads with the controls disabled.
    EditProtocolPanel* loaded = Loaded(PROTOCOL_ANALOGUE_MASTER, stored);
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICEMODE")), "Readings");
    EXPECT_FALSE(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLHIGH")->IsEnabled());
    EXPECT_EQ(Differences(Stored(loaded, stored), stored), "");
}

TEST_F(ProtocolPanelTest, FieldsTheControlsCannotShowAreKeptUntilTheControlIsSet)
{
    // Control word 0xAB07: level 7 shows 2; the whole word stays.
    NodeImage image = ProtocolImage(PROTOCOL_CONTROL, 0x07, 0xAB);
    EditProtocolPanel* control = Loaded(PROTOCOL_CONTROL, image);
    auto* level = Find<wxSpinCtrl>(control, "ID_SPINCTRLMESSAHELEVEL");
    EXPECT_EQ(level->GetValue(), 2);
    EXPECT_EQ(Differences(Stored(control, image), image), "");
    level->SetValue(3);
    NodeImage expected = image;
    expected[1] = 3, expected[2] = 0;
    EXPECT_EQ(Differences(Stored(control, image), expected), "");

    // S2 Master poll byte 5 (50 ms, below the spin's 100) and no-data bits
    // 12 and 13 both set (the choice shows bit 12's item).
    image = ProtocolImage(PROTOCOL_S2_MASTER, 0x11, 0x30);
    image[365] = 5;
    EditProtocolPanel* s2 = Loaded(PROTOCOL_S2_MASTER, image);
    EXPECT_EQ(Find<wxSpinCtrl>(s2, "ID_SPINCTRLPOLLINTERVAL")->GetValue(), 100);
    EXPECT_EQ(Selected(Find<wxChoice>(s2, "ID_CHOICENODATA")), "Send all 0's when no data");
    EXPECT_EQ(Differences(Stored(s2, image), image), "");

    // NTP Client: interval 0 and time zone +100, beyond 1..255 and -12..12.
    image = ProtocolImage(PROTOCOL_NTP_CLIENT, 100, 0);
    EditProtocolPanel* ntp = Loaded(PROTOCOL_NTP_CLIENT, image);
    EXPECT_EQ(Find<wxSpinCtrl>(ntp, "ID_SPINCTRLTIMEZONE")->GetValue(), 12);
    EXPECT_EQ(Differences(Stored(ntp, image), image), "");
    Find<wxSpinCtrl>(ntp, "ID_SPINCTRLTIMEZONE")->SetValue(-5);
    expected = image;
    expected[1] = 0xFB;
    EXPECT_EQ(Differences(Stored(ntp, image), expected), "");

    // Null: bits 9..15 that no control shows.
    image = ProtocolImage(PROTOCOL_NULL, 0x5A, 0xFE);
    EXPECT_EQ(Differences(Stored(Loaded(PROTOCOL_NULL, image), image), image), "");
}

TEST_F(ProtocolPanelTest, AnalogueTriggersBeyondTheRangesAreKeptUntilSet)
{
    // Channel 1 voltage with triggers 50000 and 65535; channel 2 current
    // with 30000 and 25000: all beyond their spins' ranges.
    NodeImage image = ProtocolImage(PROTOCOL_ANALOGUE_MASTER, 0x04, 0x10);
    image[366] = 0x50, image[367] = 0xC3;   // 50000
    image[368] = 0xFF, image[369] = 0xFF;   // 65535
    image[370] = 0x30, image[371] = 0x75;   // 30000
    image[372] = 0xA8, image[373] = 0x61;   // 25000
    auto* panel = static_cast<EditProtocolAnalogueMaster*>(Loaded(PROTOCOL_ANALOGUE_MASTER, image));
    auto* high = Find<wxSpinCtrl>(panel, "ID_SPINCTRLHIGH");
    auto* low = Find<wxSpinCtrl>(panel, "ID_SPINCTRLLOW");
    EXPECT_EQ(high->GetValue(), 44000);
    EXPECT_EQ(low->GetValue(), 44000);
    EXPECT_EQ(Differences(Stored(panel, image), image), "");
    // Looking at channel 2 and back changes nothing either.
    Choose(Find<wxChoice>(panel, "ID_CHOICECHANNEL"), 1);
    EXPECT_EQ(high->GetValue(), 20000);
    Choose(Find<wxChoice>(panel, "ID_CHOICECHANNEL"), 0);
    EXPECT_EQ(Differences(Stored(panel, image), image), "");
    // The user sets channel 1's low trigger: only those bytes change.
    low->SetValue(1000);
    NodeImage expected = image;
    expected[368] = 0xE8, expected[369] = 0x03;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");
}

TEST_F(ProtocolPanelTest, AnalogueLowTriggerRangeWidensOnlyWithAType)
{
    EditProtocolPanel* panel = Create(PROTOCOL_ANALOGUE_MASTER);
    auto* high = Find<wxSpinCtrl>(panel, "ID_SPINCTRLHIGH");
    auto* low = Find<wxSpinCtrl>(panel, "ID_SPINCTRLLOW");
    EXPECT_EQ(high->GetMax(), 44000);
    EXPECT_EQ(low->GetMin(), 0);
    EXPECT_EQ(low->GetMax(), 40000);
    Choose(Find<wxChoice>(panel, "ID_CHOICETYPE"), 0);   // "Voltage"
    EXPECT_EQ(low->GetMax(), 44000);

    EditProtocolPanel* loaded = Loaded(PROTOCOL_ANALOGUE_MASTER, ProtocolImage(PROTOCOL_ANALOGUE_MASTER, 0x04, 0xF0));
    EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLLOW")->GetMax(), 44000);
    // Another protocol's node leaves the page as constructed.
    EditProtocolPanel* other = Loaded(PROTOCOL_ANALOGUE_MASTER, ProtocolImage(PROTOCOL_NULL, 0, 0));
    EXPECT_EQ(Find<wxSpinCtrl>(other, "ID_SPINCTRLLOW")->GetMax(), 40000);
}
