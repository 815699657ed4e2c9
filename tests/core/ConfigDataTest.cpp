// The document: checksum, defaults, setters and the modified flag, node
// table operations, IP settings, notes and the legacy translations.
#include "config/BlockCrc.h"
#include "config/ConfigData.h"
#include "core/CoreVectors.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vectors;

namespace {

Bytes MainBytes(const ConfigData& config)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&config.GetMainBlock());
    return Bytes(p, p + kMain);
}

Bytes IpBytes(const ConfigData& config)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&config.GetIpBlock());
    return Bytes(p, p + kIp);
}

} // namespace

TEST(BlockCrc, MatchesThePublishedCheckValueAndTable)
{
    const char digits[] = "123456789";
    EXPECT_EQ(BlockCrc(digits, 9), 0xBB3D);
    EXPECT_EQ(BlockCrc(digits, 0), 0);
    EXPECT_EQ(BlockCrc(digits, 0, 0x1234), 0x1234);
    // Table entries are the CRC of one byte from an initial 0.
    const uint8_t one = 1, top = 128;
    EXPECT_EQ(BlockCrc(&one, 1), 0xC0C1);
    EXPECT_EQ(BlockCrc(&top, 1), 0xA001);
    Bytes every(256);
    for (int i = 0; i < 256; ++i)
        every[i] = uint8_t(255 - i);
    EXPECT_EQ(BlockCrc(every.data(), 256), ReferenceCrc(every));
}

TEST(ConfigDefaults, FreshDocumentBytesAndState)
{
    ConfigData config;
    EXPECT_EQ(HexDump(MainBytes(config).data(), kMain), HexDump(DefaultMainBlock().data(), kMain));
    EXPECT_EQ(HexDump(IpBytes(config).data(), kIp), HexDump(DefaultIpBlock().data(), kIp));
    EXPECT_FALSE(config.IsModified());
    EXPECT_TRUE(config.HasControlLink());
    EXPECT_TRUE(config.IsControlLinkNode(0));
    EXPECT_FALSE(config.IsControlLinkNode(1));
    EXPECT_EQ(config.GetNotes(), "");
    wxString name = "untouched";
    EXPECT_FALSE(config.GetFileName(name));
    EXPECT_EQ(name, "untouched");
    EXPECT_EQ(config.GetDirectory(), wxGetCwd());
}

TEST(ConfigDefaults, SetDefaultsMarksModified)
{
    ConfigData config;
    EXPECT_TRUE(config.SetDefaults());
    EXPECT_TRUE(config.IsModified());
}

TEST(ConfigSettings, ModifiedOnlyWhenTheValueChanges)
{
    ConfigData config;
    config.SetDataAge(60);
    EXPECT_FALSE(config.IsModified());
    config.SetWriteProtect(0);
    config.SetSdLogAge(30);
    EXPECT_FALSE(config.IsModified());
    config.SetWriteProtect(1);
    EXPECT_TRUE(config.IsModified());
    EXPECT_EQ(config.GetWriteProtect(), 1);
}

TEST(ConfigSettings, SdLogLevelIsClampedToFive)
{
    ConfigData config;
    config.SetSdLogLevel(9);
    EXPECT_EQ(config.GetSdLogLevel(), 5);
    EXPECT_TRUE(config.IsModified());
    ConfigData other;
    other.SetSdLogLevel(2);
    EXPECT_FALSE(other.IsModified());
}

TEST(ConfigNodes, AddFillsTheNewEntryAndRefusesASeventh)
{
    ConfigData config;
    ASSERT_TRUE(config.AddNode());
    EXPECT_EQ(config.GetNodeCount(), 3);
    EXPECT_TRUE(config.IsModified());
    Bytes expected(kNode, 0);
    expected[0] = 3;
    expected[4] = 0x50;
    expected[11] = 16;
    expected[14] = 1;
    expected[15] = 1;        // slave id 1
    expected[65] = 0;        // read start 0
    expected[165] = 4;       // read length
    expected[215] = 4;       // write start
    expected[315] = 4;       // write length
    const auto* node = reinterpret_cast<const uint8_t*>(config.GetNode(2));
    EXPECT_EQ(HexDump(node, kNode), HexDump(expected.data(), kNode));

    EXPECT_TRUE(config.AddNode());
    EXPECT_TRUE(config.AddNode());
    EXPECT_TRUE(config.AddNode());
    EXPECT_EQ(config.GetNodeCount(), 6);
    EXPECT_FALSE(config.AddNode());
    EXPECT_EQ(config.GetNodeCount(), 6);
}

TEST(ConfigNodes, DeleteMovesEveryLaterEntryDown)
{
    ConfigData config;
    config.AddNode();
    for (unsigned i = 0; i < kMaxNodes; ++i)
        config.GetNode(i)->slaveId[49] = uint8_t(100 + i);   // a mark per entry
    ASSERT_TRUE(config.DeleteNode(0));
    EXPECT_EQ(config.GetNodeCount(), 2);
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(config.GetNode(i)->slaveId[49], 101 + i) << "entry " << i;
    EXPECT_EQ(config.GetNode(5)->slaveId[49], 105);

    EXPECT_FALSE(config.DeleteNode(2));
    EXPECT_FALSE(config.DeleteNode(6));
    EXPECT_EQ(config.GetNodeCount(), 2);
}

TEST(ConfigNodes, DeleteOfTheLastSlotOnlyLowersTheCount)
{
    ConfigData config;
    while (config.AddNode()) {
    }
    const Bytes before = MainBytes(config);
    ASSERT_TRUE(config.DeleteNode(5));
    Bytes after = MainBytes(config);
    EXPECT_EQ(after[4], 5);
    after[4] = 6;
    EXPECT_EQ(after, before);
}

TEST(ConfigNodes, EditWorksOnAScratchCopy)
{
    ConfigData config;
    config.AddNode();
    const Bytes before = MainBytes(config);
    bool sawCopy = false;
    EXPECT_FALSE(config.EditNode(2, [&](NodeEntry& scratch) {
        sawCopy = scratch.protocol == PROTOCOL_UCE_MASTER && &scratch != config.GetNode(2);
        scratch.protocol = PROTOCOL_NULL;
        return false;
    }));
    EXPECT_TRUE(sawCopy);
    EXPECT_EQ(MainBytes(config), before);

    ConfigData fresh;
    EXPECT_TRUE(fresh.EditNode(1, [](NodeEntry& scratch) {
        scratch.protocol = PROTOCOL_NULL;
        return true;
    }));
    EXPECT_EQ(fresh.GetProtocol(1), PROTOCOL_NULL);
    EXPECT_TRUE(fresh.IsModified());
    EXPECT_FALSE(fresh.EditNode(2, [](NodeEntry&) { return true; }));
}

TEST(ConfigNodes, CancelledAddLeavesTheMainBlockAndTheFlagAsTheyWere)
{
    for (const bool modified : {false, true}) {
        ConfigData config;
        // Entries behind the count, sent to the device too, each with bytes
        // of its own.
        for (unsigned i = 2; i < kMaxNodes; ++i)
            std::memset(config.GetNode(i), int(0x40 + i), sizeof(NodeEntry));
        if (modified)
            config.SetDataAge(99);
        ASSERT_EQ(config.IsModified(), modified);
        const Bytes before = MainBytes(config);

        bool edited = false;
        const auto result = config.AddEditedNode([&](NodeEntry& scratch) {
            edited = true;
            EXPECT_EQ(scratch.protocol, PROTOCOL_UCE_MASTER) << "the editor sees the new node";
            scratch.protocol = PROTOCOL_NULL;
            return false;
        });
        EXPECT_EQ(result, ConfigData::NodeAdd::Cancelled);
        EXPECT_TRUE(edited);
        EXPECT_EQ(HexDump(MainBytes(config).data(), kMain), HexDump(before.data(), kMain)) << modified;
        EXPECT_EQ(config.IsModified(), modified);
    }
}

TEST(ConfigNodes, AcceptedAddKeepsTheEditorsNode)
{
    ConfigData config;
    const auto result = config.AddEditedNode([](NodeEntry& scratch) {
        scratch.protocol = PROTOCOL_NULL;
        scratch.slaveId[0] = 7;
        return true;
    });
    EXPECT_EQ(result, ConfigData::NodeAdd::Added);
    EXPECT_EQ(config.GetNodeCount(), 3);
    EXPECT_EQ(config.GetProtocol(2), PROTOCOL_NULL);
    EXPECT_EQ(config.GetNode(2)->slaveId[0], 7);
    EXPECT_EQ(config.GetNode(2)->PortType(), PORT_ASYNC_SERIAL) << "the rest of the new node stays";
    EXPECT_TRUE(config.IsModified());
}

TEST(ConfigNodes, AddToSixNodesRunsNoEditor)
{
    ConfigData config;
    while (config.AddNode()) {
    }
    const Bytes before = MainBytes(config);
    bool edited = false;
    EXPECT_EQ(config.AddEditedNode([&](NodeEntry&) { return edited = true; }), ConfigData::NodeAdd::Full);
    EXPECT_FALSE(edited);
    EXPECT_EQ(MainBytes(config), before);
}

TEST(ConfigNodes, SlaveEntryAndControlLinkLookups)
{
    ConfigData config;
    config.AddNode();
    SlaveRanges ranges;
    ASSERT_TRUE(config.GetSlaveEntry(2, 0, ranges));
    EXPECT_EQ(ranges.readStart, 0);
    EXPECT_EQ(ranges.readLength, 4);
    EXPECT_EQ(ranges.writeStart, 4);
    EXPECT_EQ(ranges.writeLength, 4);
    EXPECT_FALSE(config.GetSlaveEntry(2, 1, ranges));
    EXPECT_FALSE(config.GetSlaveEntry(3, 0, ranges));

    config.GetNode(0)->portNumber = 24;
    EXPECT_FALSE(config.HasControlLink());
    config.GetNode(2)->protocol = PROTOCOL_CONTROL;
    config.GetNode(2)->SetPortType(PORT_TCP_SERVER);
    config.GetNode(2)->portNumber = 23;
    EXPECT_TRUE(config.HasControlLink());
    EXPECT_FALSE(config.IsControlLinkNode(2));
    // A link in an entry beyond the count does not count.
    config.DeleteNode(2);
    EXPECT_FALSE(config.HasControlLink());
}

TEST(ConfigIp, ValidSettingsAreStoredWithThePortHighByteFirst)
{
    ConfigData config;
    ASSERT_TRUE(config.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.1", "0a:1B:c2:00:ff:09", "513"));
    const Bytes ip = IpBytes(config);
    Bytes expected = {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 1, 0x0A, 0x1B, 0xC2, 0x00, 0xFF, 0x09, 0x02, 0x01, 0, 0, 0, 0};
    Put16(expected, 22, ReferenceCrc(expected.data(), 22));
    EXPECT_EQ(HexDump(ip.data(), kIp), HexDump(expected.data(), kIp));
    EXPECT_TRUE(config.IsModified());
}

TEST(ConfigIp, InvalidTextsChangeNothing)
{
    const struct {
        const char *ip, *mask, *gateway, *mac, *port;
    } cases[] = {
        {"192.168.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"},
        {"192.168.1.256", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"},
        {"192.168.1.1", "255.255.-1.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"},
        {"192.168.1.1", "255.255.255.0", "gateway", "00:50:C2:F0:A0:00", "6003"},
        {"192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0", "6003"},
        {"192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:100", "6003"},
        {"192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "65536"},
        {"192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "-1"},
        {"192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "port"},
    };
    for (const auto& c : cases) {
        ConfigData config;
        const Bytes before = IpBytes(config);
        EXPECT_FALSE(config.SetIpSettings(c.ip, c.mask, c.gateway, c.mac, c.port))
            << c.ip << " " << c.mask << " " << c.gateway << " " << c.mac << " " << c.port;
        EXPECT_EQ(IpBytes(config), before);
        EXPECT_FALSE(config.IsModified());
    }
}

TEST(ConfigIp, SameValuesAgainDoNotMarkModified)
{
    ConfigData config;
    ASSERT_TRUE(config.SetIpSettings("192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"));
    // Storing from text clears the reserved word, which changes the block.
    EXPECT_TRUE(config.IsModified());
    EXPECT_EQ(unsigned(config.GetIpBlock().ipReserved), 0u);

    ConfigData saved;
    saved.SetIpSettings("192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003");
    TempDir dir;
    ASSERT_TRUE(saved.Save(dir.File("a.qst")));
    ASSERT_FALSE(saved.IsModified());
    EXPECT_TRUE(saved.SetIpSettings("192.168.1.1", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"));
    EXPECT_FALSE(saved.IsModified());
    EXPECT_TRUE(saved.SetIpSettings("192.168.1.2", "255.255.255.0", "192.168.1.254", "00:50:C2:F0:A0:00", "6003"));
    EXPECT_TRUE(saved.IsModified());
}

TEST(ConfigNotes, AsciiOnlyAtMost127AndNeverMarksModified)
{
    ConfigData config;
    config.SetNotes(wxString::FromUTF8("Caf\xC3\xA9 line"));
    EXPECT_EQ(config.GetNotes(), "Caf_ line");
    EXPECT_FALSE(config.IsModified());
    config.SetNotes(wxString('x', 300));
    EXPECT_EQ(config.GetNotes(), wxString('x', 127));
    EXPECT_EQ(config.GetNotesBlock()[127], 0);
    config.SetNotes("");
    EXPECT_EQ(config.GetNotes(), "");
}

TEST(ConfigReportCrc, IgnoresModemAttenuationOfNodesInUse)
{
    ConfigData a, b;
    for (ConfigData* config : {&a, &b}) {
        config->AddNode();
        NodeEntry* node = config->GetNode(2);
        node->SetPortType(PORT_MODEM);
        node->portWord = 0x3000;
    }
    b.GetNode(2)->portWord = 0x3FC0;   // attenuation bits 6..11 all set
    EXPECT_EQ(a.ReportCrc(), b.ReportCrc());
    EXPECT_EQ(a.ReportCrc(), ReferenceCrc(MainBytes(a)));
    EXPECT_NE(ReferenceCrc(MainBytes(a)), ReferenceCrc(MainBytes(b)));

    // A modem entry at or above the node count keeps its bits in the sum.
    a.DeleteNode(1);
    b.DeleteNode(1);
    ASSERT_EQ(a.GetNode(1)->PortType(), PORT_MODEM);
    a.DeleteNode(1);
    b.DeleteNode(1);
    a.GetNode(1)->SetPortType(PORT_MODEM);
    b.GetNode(1)->SetPortType(PORT_MODEM);
    a.GetNode(1)->portWord = 0x3000;
    b.GetNode(1)->portWord = 0x3FC0;
    EXPECT_EQ(a.GetNodeCount(), 1);
    EXPECT_NE(a.ReportCrc(), b.ReportCrc());
}

TEST(LegacyTranslation, LegacyToMainWidensStartsAndCapsCounts)
{
    Bytes legacy(kLegacy, 0);
    legacy[0] = 1;
    legacy[1] = 61;
    legacy[2] = 3;
    legacy[3] = 31;
    legacy[4] = 9;     // more nodes than exist
    for (int i = 0; i < 8; ++i)
        legacy[503 + i] = uint8_t(0xA0 + i);
    const size_t r = 5;             // record 0
    legacy[r + 0] = 5;              // S2 Master
    Put16(legacy, r + 1, 0x1234);
    Put16(legacy, r + 3, 0x2000);
    legacy[r + 5] = 10;
    legacy[r + 8] = 7;
    Put16(legacy, r + 9, 502);
    legacy[r + 11] = 17;
    Put16(legacy, r + 12, 0x0042);
    legacy[r + 14] = 3;
    for (int k = 0; k < 3; ++k) {
        legacy[r + 15 + k] = uint8_t(k + 1);
        legacy[r + 25 + k] = uint8_t(10 * (k + 1));
        legacy[r + 35 + k] = 2;
        legacy[r + 45 + k] = uint8_t(200 + k);
        legacy[r + 55 + k] = 1;
    }
    legacy[r + 65] = 0xEE;
    legacy[r + 82] = 0xDD;

    Bytes expected(kMain, 0);
    expected[0] = 1;
    expected[1] = 61;
    expected[2] = 3;
    expected[3] = 31;
    expected[4] = 6;
    for (int i = 0; i < 8; ++i)
        expected[5 + i] = uint8_t(0xA0 + i);
    const size_t n = 13;
    expected[n + 0] = 5;
    Put16(expected, n + 1, 0x1234);
    Put16(expected, n + 3, 0x2000);
    expected[n + 5] = 10;
    expected[n + 8] = 7;
    Put16(expected, n + 9, 502);
    expected[n + 11] = 17;
    Put16(expected, n + 12, 0x0042);
    expected[n + 14] = 3;
    for (int k = 0; k < 3; ++k) {
        expected[n + 15 + k] = uint8_t(k + 1);
        Put16(expected, n + 65 + 2 * k, uint16_t(10 * (k + 1)));
        expected[n + 165 + k] = 2;
        Put16(expected, n + 215 + 2 * k, uint16_t(200 + k));
        expected[n + 315 + k] = 1;
    }
    expected[n + 365] = 0xEE;
    expected[n + 382] = 0xDD;

    LegacyBlock in;
    std::memcpy(&in, legacy.data(), kLegacy);
    MainBlock out;
    std::memset(&out, 0x5A, sizeof out);
    LegacyToMain(in, out);
    EXPECT_EQ(HexDump(reinterpret_cast<uint8_t*>(&out), kMain), HexDump(expected.data(), kMain));
}

TEST(LegacyTranslation, SlaveCountAboveTenTakesTheTenThatExist)
{
    LegacyBlock in{};
    in.header[4] = 6;
    for (auto& node : in.node) {
        node.slaveCount = 50;
        std::memset(node.slaveId, 7, sizeof node.slaveId);
    }
    std::memset(in.reserved, 0x99, sizeof in.reserved);
    MainBlock out;
    LegacyToMain(in, out);
    for (const NodeEntry& node : out.node) {
        EXPECT_EQ(node.slaveCount, 10);
        EXPECT_EQ(node.slaveId[9], 7);
        EXPECT_EQ(node.slaveId[10], 0);
    }
}

TEST(LegacyTranslation, MainToLegacyDropsWhatDoesNotFit)
{
    ConfigData config;
    config.AddNode();
    NodeEntry& node = *config.GetNode(2);
    node.slaveCount = 12;
    for (unsigned k = 0; k < 12; ++k) {
        node.slaveId[k] = uint8_t(k + 1);
        node.readStart[k] = uint16_t(k * 4);
        node.readLength[k] = 4;
        node.writeStart[k] = uint16_t(100 + k);
        node.writeLength[k] = 1;
    }
    node.readStart[1] = 252;   // ends at 256: dropped
    LegacyBlock legacy;
    EXPECT_FALSE(MainToLegacy(config.GetMainBlock(), legacy));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&legacy);
    const size_t r = 5 + 2 * kLegacyNode;
    EXPECT_EQ(bytes[r + 14], 10);
    // Entry 1 dropped, entries 0, 2..10 moved up, entry 11 did not fit.
    const uint8_t ids[10] = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(bytes[r + 15 + k], ids[k]);
        EXPECT_EQ(bytes[r + 25 + k], uint8_t((ids[k] - 1) * 4));
        EXPECT_EQ(bytes[r + 45 + k], uint8_t(100 + ids[k] - 1));
    }
    EXPECT_EQ(bytes[4], 3);

    ConfigData fresh;
    LegacyBlock complete;
    EXPECT_TRUE(MainToLegacy(fresh.GetMainBlock(), complete));
    MainBlock back;
    LegacyToMain(complete, back);
    EXPECT_EQ(std::memcmp(&back, &fresh.GetMainBlock(), kMain), 0);
}

TEST(LegacyTranslation, MoreThanSixNodesIsALoss)
{
    MainBlock main{};
    main.nodeCount = 7;
    LegacyBlock legacy;
    EXPECT_FALSE(MainToLegacy(main, legacy));
    EXPECT_EQ(legacy.header[4], 6);
}
