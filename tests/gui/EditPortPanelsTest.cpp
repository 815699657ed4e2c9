#include "editor/EditPanelFactory.h"
#include "editor/EditPortPanel.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

#include <memory>

namespace {

class PortPanelTest : public PanelTest
{
protected:
    EditPortPanel* Create(uint8_t type)
    {
        EditPortPanel* panel = CreatePortPanel(type, m_frame);
        EXPECT_NE(panel, nullptr);
        if (panel) {
            EXPECT_EQ(panel->PortType(), type);
        }
        return panel;
    }
    // Stores the panel onto the image and returns the result.
    static NodeImage Stored(EditPortPanel* panel, const NodeImage& image)
    {
        NodeEntry node = EntryOf(image);
        EXPECT_TRUE(panel->Store(node));
        return ImageOf(node);
    }
};

} // namespace

TEST_F(PortPanelTest, FactoryMakesOnePagePerPortTypeAndNoneForOthers)
{
    for (uint8_t type = 1; type <= 8; ++type)
        Create(type);
    EXPECT_EQ(CreatePortPanel(0, m_frame), nullptr);
    EXPECT_EQ(CreatePortPanel(9, m_frame), nullptr);
}

TEST_F(PortPanelTest, ServerPagesStoreTheListenPortAndKeepTheCodeBits)
{
    for (uint8_t type : {uint8_t(PORT_TCP_SERVER), uint8_t(PORT_UDP_SERVER)}) {
        SCOPED_TRACE(int(type));
        // An asynchronous serial node with parameter bits in its port code.
        NodeImage image = FilledImage(0xEE);
        image[3] = 0xBC;
        image[4] = 0x5A;
        EditPortPanel* panel = Create(type);
        panel->Load(EntryOf(image));   // not its port type: initial values stay
        EXPECT_EQ(Find<wxSpinCtrl>(panel, "ID_SPINCTRLLISTENPORT")->GetValue(), 4001);

        NodeImage expected = image;
        expected[4] = uint8_t(type << 4 | 0x0A);
        expected[9] = 0xA1;   // 4001
        expected[10] = 0x0F;
        EXPECT_EQ(Differences(Stored(panel, image), expected), "");

        // Its own node: port 502 shows and comes back unchanged.
        NodeImage own = FilledImage(0);
        own[4] = uint8_t(type << 4);
        own[9] = 0xF6;
        own[10] = 0x01;
        EditPortPanel* loaded = Create(type);
        loaded->Load(EntryOf(own));
        EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLLISTENPORT")->GetValue(), 502);
        EXPECT_EQ(Differences(Stored(loaded, own), own), "");
    }
}

TEST_F(PortPanelTest, ClientPagesStoreAddressPortAndSourcePort)
{
    for (uint8_t type : {uint8_t(PORT_TCP_CLIENT), uint8_t(PORT_UDP_CLIENT)}) {
        SCOPED_TRACE(int(type));
        EditPortPanel* panel = Create(type);
        auto* ip = Find<wxTextCtrl>(panel, "ID_TEXTCTRLSERVERIP");
        auto* state = Find<wxStaticText>(panel, "ID_TEXTIPSTATE");
        auto* useSource = Find<wxCheckBox>(panel, "ID_CHECKBOXSOURCEPORT");
        auto* source = Find<wxSpinCtrl>(panel, "ID_SPINCTRLSOURCEPORT");
        EXPECT_EQ(ip->GetValue(), "192.168.1.10");
        EXPECT_EQ(state->GetLabel(), "IP appears valid");
        EXPECT_EQ(Find<wxSpinCtrl>(panel, "ID_SPINCTRLSERVERPORT")->GetValue(), 4001);
        EXPECT_FALSE(useSource->GetValue());
        EXPECT_EQ(source->GetValue(), 6001);

        // Box off: code bits 0..3 cleared, the source port bytes untouched.
        NodeImage image = FilledImage(0xEE);
        image[0] = PROTOCOL_HOST_MASTER;
        image[3] = 0x0F;
        ip->SetValue("127.0.0.1");
        NodeImage expected = image;
        expected[3] = 0x00;
        expected[4] = uint8_t(type << 4 | 0x0E);
        expected[5] = 127, expected[6] = 0, expected[7] = 0, expected[8] = 1;
        expected[9] = 0xA1, expected[10] = 0x0F;
        EXPECT_EQ(Differences(Stored(panel, image), expected), "");

        // Box on: 6001 is stored high byte first.
        useSource->SetValue(true);
        expected[3] = 0x01;
        expected[366] = 0x17, expected[367] = 0x71;
        EXPECT_EQ(Differences(Stored(panel, image), expected), "");

        // A node of its own loads back into the same controls.
        EditPortPanel* loaded = Create(type);
        loaded->Load(EntryOf(expected));
        EXPECT_EQ(Find<wxTextCtrl>(loaded, "ID_TEXTCTRLSERVERIP")->GetValue(), "127.0.0.1");
        EXPECT_TRUE(Find<wxCheckBox>(loaded, "ID_CHECKBOXSOURCEPORT")->GetValue());
        EXPECT_EQ(Find<wxSpinCtrl>(loaded, "ID_SPINCTRLSOURCEPORT")->GetValue(), 6001);
        EXPECT_EQ(Differences(Stored(loaded, expected), expected), "");
    }
}

TEST_F(PortPanelTest, ClientAddressTextValidity)
{
    EditPortPanel* panel = Create(PORT_TCP_CLIENT);
    auto* ip = Find<wxTextCtrl>(panel, "ID_TEXTCTRLSERVERIP");
    auto* state = Find<wxStaticText>(panel, "ID_TEXTIPSTATE");
    NodeImage image = FilledImage(0);
    image[5] = 10, image[6] = 0, image[7] = 0, image[8] = 7;

    // A number above 255 warns but is stored by its low byte.
    ip->SetValue("300.1.2.3");
    EXPECT_EQ(state->GetLabel(), "IP appears invalid");
    NodeImage stored = Stored(panel, image);
    EXPECT_EQ(stored[5], 44);
    EXPECT_EQ(stored[6], 1);
    EXPECT_EQ(stored[8], 3);

    // Fewer than four numbers: the address is left as it was.
    ip->SetValue("10.1.2");
    EXPECT_EQ(state->GetLabel(), "IP appears invalid");
    stored = Stored(panel, image);
    EXPECT_EQ(stored[5], 10);
    EXPECT_EQ(stored[8], 7);

    ip->SetValue("127.0.0.2");
    EXPECT_EQ(state->GetLabel(), "IP appears valid");
}

TEST_F(PortPanelTest, ClientOffersNoSourcePortToAnalogueMaster)
{
    // The Analogue node's first high trigger sits where a source port would.
    NodeImage image = FilledImage(0);
    image[0] = PROTOCOL_ANALOGUE_MASTER;
    image[3] = 0x01;
    image[4] = 0x20;
    image[366] = 0x20, image[367] = 0x4E;   // 20000
    EditPortPanel* panel = Create(PORT_TCP_CLIENT);
    panel->Load(EntryOf(image));
    auto* useSource = Find<wxCheckBox>(panel, "ID_CHECKBOXSOURCEPORT");
    EXPECT_FALSE(useSource->GetValue());
    EXPECT_FALSE(useSource->IsEnabled());

    // Even with the box forced on, the trigger survives and no flag is set.
    useSource->SetValue(true);
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(stored[3], 0x00);
    EXPECT_EQ(stored[366], 0x20);
    EXPECT_EQ(stored[367], 0x4E);

    // Another protocol chosen in the editor gives the source port back.
    panel->SetNodeProtocol(PROTOCOL_HOST_MASTER);
    EXPECT_TRUE(useSource->IsEnabled());
}

TEST_F(PortPanelTest, UartStoresSpeedCodeAndTheWholePortWord)
{
    EditPortPanel* panel = Create(PORT_ASYNC_SERIAL);
    auto* com = Find<wxChoice>(panel, "ID_CHOICECOMPORT");
    auto* baud = Find<wxChoice>(panel, "ID_CHOICEBAUD");
    auto* format = Find<wxChoice>(panel, "ID_CHOICEFORMAT");
    auto* handshake = Find<wxChoice>(panel, "ID_CHOICEHANDSHAKE");
    ASSERT_EQ(baud->GetCount(), 12u);
    EXPECT_EQ(Selected(com), "COM1");
    EXPECT_EQ(Selected(baud), "9600");
    EXPECT_EQ(Selected(format), "8 N 1");
    EXPECT_EQ(Selected(handshake), "None");

    NodeImage image = FilledImage(0xEE);
    image[12] = 0xFF, image[13] = 0xFF;
    baud->SetStringSelection("56000");
    com->SetSelection(2);
    format->SetStringSelection("7 E 1");
    handshake->SetStringSelection("DCE");
    NodeImage expected = image;
    expected[4] = 0x5E;
    expected[9] = 2, expected[10] = 0;
    expected[11] = 93;
    expected[12] = 0x24, expected[13] = 0x00;
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    EditPortPanel* loaded = Create(PORT_ASYNC_SERIAL);
    loaded->Load(EntryOf(stored));
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICEBAUD")), "56000");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICECOMPORT")), "COM3");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICEFORMAT")), "7 E 1");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICEHANDSHAKE")), "DCE");
}

TEST_F(PortPanelTest, SerialPagesShowValuesTheirListsLack)
{
    // COM4 and a speed code no table knows.
    NodeImage image = FilledImage(0);
    image[4] = 0x50;
    image[9] = 3;
    image[11] = 7;
    EditPortPanel* uart = Create(PORT_ASYNC_SERIAL);
    uart->Load(EntryOf(image));
    EXPECT_EQ(Selected(Find<wxChoice>(uart, "ID_CHOICECOMPORT")), "COM4");
    EXPECT_EQ(Selected(Find<wxChoice>(uart, "ID_CHOICEBAUD")), "Unknown (7)");
    EXPECT_EQ(Find<wxChoice>(uart, "ID_CHOICEBAUD")->GetCount(), 13u);
    NodeImage stored = Stored(uart, image);
    EXPECT_EQ(stored[9], 3);
    EXPECT_EQ(stored[11], 7);
    // Only a speed the user picks replaces it.
    Find<wxChoice>(uart, "ID_CHOICEBAUD")->SetStringSelection("2400");
    EXPECT_EQ(Stored(uart, image)[11], 4);

    // A known speed the synchronous list does not offer is kept.
    image[4] = 0x60;
    image[9] = 1;
    image[11] = 32;
    EditPortPanel* sync = Create(PORT_SYNC_SERIAL);
    auto* baud = Find<wxChoice>(sync, "ID_CHOICEBAUD");
    EXPECT_EQ(baud->GetCount(), 5u);
    sync->Load(EntryOf(image));
    EXPECT_EQ(Selected(baud), "19200");
    EXPECT_EQ(Selected(Find<wxChoice>(sync, "ID_CHOICECOMPORT")), "COM2");
    stored = Stored(sync, image);
    EXPECT_EQ(stored[11], 32);
    baud->SetStringSelection("1200");
    EXPECT_EQ(Stored(sync, image)[11], 2);
}

TEST_F(PortPanelTest, SyncStoresItsBitsAndKeepsTheOthers)
{
    EditPortPanel* panel = Create(PORT_SYNC_SERIAL);
    auto* mode = Find<wxChoice>(panel, "ID_CHOICEMODE");
    auto* cts = Find<wxCheckBox>(panel, "ID_CHECKBOXUSECTS");
    auto* idle = Find<wxCheckBox>(panel, "ID_CHECKBOX1SENDIDLE7E");
    auto* nrz = Find<wxChoice>(panel, "ID_CHOICENRZ");
    EXPECT_EQ(Selected(mode), "Master (Clock Out)");

    NodeImage image = FilledImage(0xFF);
    mode->SetStringSelection("No Clock");
    cts->SetValue(false);
    idle->SetValue(true);
    nrz->SetStringSelection("NRZi");
    NodeImage expected = image;
    expected[4] = 0x6F;
    expected[9] = 0, expected[10] = 0;
    expected[11] = 16;
    expected[12] = 0xC3;   // clock 3, CTS off, NRZi bit 6, idle bit 7
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    EditPortPanel* loaded = Create(PORT_SYNC_SERIAL);
    loaded->Load(EntryOf(stored));
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICEMODE")), "No Clock");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICENRZ")), "NRZi");
    EXPECT_TRUE(Find<wxCheckBox>(loaded, "ID_CHECKBOX1SENDIDLE7E")->GetValue());
    EXPECT_FALSE(Find<wxCheckBox>(loaded, "ID_CHECKBOXUSECTS")->GetValue());
    EXPECT_EQ(Differences(Stored(loaded, stored), stored), "");
}

TEST_F(PortPanelTest, ModemAttenuationsAndCounts)
{
    EditPortPanel* panel = Create(PORT_MODEM);
    auto* mode = Find<wxChoice>(panel, "ID_CHOICEMODE");
    auto* tx = Find<wxChoice>(panel, "ID_CHOICETXATTN");
    auto* rx = Find<wxChoice>(panel, "ID_CHOICERXATTN");
    EXPECT_EQ(mode->GetCount(), 12u);
    EXPECT_EQ(mode->GetString(11), "V22 1200 DPSK Hi");
    EXPECT_EQ(Find<wxSpinCtrl>(panel, "ID_SPINCTRLPREAMBLE")->GetValue(), 3);
    EXPECT_EQ(Find<wxSpinCtrl>(panel, "ID_SPINCTRLPOSTAMBLE")->GetValue(), 2);

    NodeImage image = FilledImage(0);
    image[12] = 0x30;   // bits 4..5 belong to no control
    tx->SetStringSelection("0 dB");
    rx->SetStringSelection("-10.5 dB");
    Find<wxChoice>(panel, "ID_CHOICENRZ")->SetStringSelection("NRZs");
    Find<wxCheckBox>(panel, "ID_CHECKBOXPTTACTIVELOW")->SetValue(true);
    NodeImage expected = image;
    expected[4] = 0x70;
    expected[9] = 2, expected[10] = 3;   // postamble, preamble
    expected[12] = 0xF9;   // tx attenuation 7 in bits 6..8, NRZs bit 3, PTT bit 0, bits 4..5 kept
    expected[13] = 0x21;   // mode 2 "Bell202 FSK 150", rx attenuation 0
    const NodeImage stored = Stored(panel, image);
    EXPECT_EQ(Differences(stored, expected), "");

    EditPortPanel* loaded = Create(PORT_MODEM);
    loaded->Load(EntryOf(stored));
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICETXATTN")), "0 dB");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICERXATTN")), "-10.5 dB");
    EXPECT_EQ(Selected(Find<wxChoice>(loaded, "ID_CHOICENRZ")), "NRZs");
    EXPECT_EQ(Differences(Stored(loaded, stored), stored), "");
}

TEST_F(PortPanelTest, SpiOnlySetsThePortType)
{
    NodeImage image = FilledImage(0x5A);
    image[4] = 0x2A;
    EditPortPanel* panel = Create(PORT_SPI);
    panel->Load(EntryOf(image));
    NodeImage expected = image;
    expected[4] = 0x8A;
    EXPECT_EQ(Differences(Stored(panel, image), expected), "");
}

TEST_F(PortPanelTest, ListItemsForStoredValuesTheListsLackAreKeptUntilAnotherIsPicked)
{
    // Asynchronous serial, port word 0x0057: format 7 and handshake 5, which
    // no item names, and bits 8..15 that no control shows.
    NodeImage image = FilledImage(0);
    image[4] = 0x50;
    image[11] = 16;
    image[12] = 0x57, image[13] = 0xA5;
    EditPortPanel* uart = Create(PORT_ASYNC_SERIAL);
    uart->Load(EntryOf(image));
    EXPECT_EQ(Selected(Find<wxChoice>(uart, "ID_CHOICEFORMAT")), "Unknown (7)");
    EXPECT_EQ(Selected(Find<wxChoice>(uart, "ID_CHOICEHANDSHAKE")), "Unknown (5)");
    EXPECT_EQ(Differences(Stored(uart, image), image), "");
    // A format the user picks is stored; the rest stays as loaded.
    Find<wxChoice>(uart, "ID_CHOICEFORMAT")->SetStringSelection("8 E 1");
    NodeImage expected = image;
    expected[12] = 0x52;
    EXPECT_EQ(Differences(Stored(uart, image), expected), "");

    // Synchronous serial in clock mode 0.
    image = FilledImage(0);
    image[4] = 0x60;
    image[11] = 16;
    image[12] = 0x90;
    EditPortPanel* sync = Create(PORT_SYNC_SERIAL);
    sync->Load(EntryOf(image));
    EXPECT_EQ(Selected(Find<wxChoice>(sync, "ID_CHOICEMODE")), "Unknown (0)");
    EXPECT_EQ(Differences(Stored(sync, image), image), "");

    // Modem modes 14 and 15 show by their names; mode 0 has none.
    const std::pair<uint8_t, const char*> kModes[] = {
        {0xE1, "V22bis 2400 QAM Lo"}, {0xF1, "V22bis 2400 QAM Hi"}, {0x01, "Unknown (0)"}};
    for (const auto& [high, name] : kModes) {
        image = FilledImage(0);
        image[4] = 0x70;
        image[12] = 0xC0, image[13] = high;
        EditPortPanel* modem = Create(PORT_MODEM);
        auto* mode = Find<wxChoice>(modem, "ID_CHOICEMODE");
        modem->Load(EntryOf(image));
        EXPECT_EQ(Selected(mode), name);
        EXPECT_EQ(mode->GetCount(), 13u);
        EXPECT_EQ(Differences(Stored(modem, image), image), "");
        mode->SetStringSelection("V21 300 FSK Lo");   // mode 8
        expected = image;
        expected[13] = uint8_t(0x80 | (high & 0x0F));
        EXPECT_EQ(Differences(Stored(modem, image), expected), "");
    }
}

TEST_F(PortPanelTest, SpinValuesBeyondTheRangeAreKeptUntilTheSpinIsSet)
{
    // TCP server port 0, below the spin's 1.
    NodeImage image = FilledImage(0);
    image[4] = 0x10;
    EditPortPanel* server = Create(PORT_TCP_SERVER);
    auto* listen = Find<wxSpinCtrl>(server, "ID_SPINCTRLLISTENPORT");
    server->Load(EntryOf(image));
    EXPECT_EQ(listen->GetValue(), 1);
    EXPECT_EQ(Differences(Stored(server, image), image), "");
    listen->SetValue(502);
    NodeImage expected = image;
    expected[9] = 0xF6, expected[10] = 0x01;
    EXPECT_EQ(Differences(Stored(server, image), expected), "");

    // Modem preamble 200 and postamble 99, above the spins' 50.
    image = FilledImage(0);
    image[4] = 0x70;
    image[9] = 99, image[10] = 200;
    image[13] = 0x20;
    EditPortPanel* modem = Create(PORT_MODEM);
    modem->Load(EntryOf(image));
    EXPECT_EQ(Find<wxSpinCtrl>(modem, "ID_SPINCTRLPREAMBLE")->GetValue(), 50);
    EXPECT_EQ(Differences(Stored(modem, image), image), "");
    Find<wxSpinCtrl>(modem, "ID_SPINCTRLPOSTAMBLE")->SetValue(10);
    expected = image;
    expected[9] = 10;
    EXPECT_EQ(Differences(Stored(modem, image), expected), "");
}

TEST_F(PortPanelTest, ClientBitsNoControlShowsAreKept)
{
    // A UDP client of Analogue/Audio Master with bits 0..3 of the port code
    // set: the box cannot show the source port, and the bits stay.
    NodeImage image = FilledImage(0x33);
    image[0] = PROTOCOL_ANALOGUE_MASTER;
    image[3] = 0x0F, image[4] = 0x40;
    EditPortPanel* client = Create(PORT_UDP_CLIENT);
    client->Load(EntryOf(image));
    EXPECT_FALSE(Find<wxCheckBox>(client, "ID_CHECKBOXSOURCEPORT")->GetValue());
    EXPECT_EQ(Differences(Stored(client, image), image), "");

    // Another protocol's page stores them fresh: bits 0..3 clear.
    EditPortPanel* fresh = Create(PORT_UDP_CLIENT);
    NodeImage expected = image;
    expected[3] = 0x00;
    expected[5] = 192, expected[6] = 168, expected[7] = 1, expected[8] = 10;
    expected[9] = 0xA1, expected[10] = 0x0F;
    EXPECT_EQ(Differences(Stored(fresh, image), expected), "");
}
