// Comparing two configurations and checking one: each difference named as
// the window and the report name it, bytes no field shows given by offset,
// and each finding of the check from a configuration built to cause it.
#include "config/ConfigCheck.h"
#include "config/ConfigCompare.h"
#include "config/ConfigData.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Node entry offsets, from the layout table.
constexpr size_t kProtocolWord = 1, kPortCode = 3, kBaudCode = 11, kSlaveCount = 14, kSlaveIds = 15;
constexpr size_t kReadStart = 65, kReadLength = 165, kWriteStart = 215, kWriteLength = 315, kExtra = 365;

uint8_t* NodeBytes(ConfigData& config, unsigned index)
{
    return reinterpret_cast<uint8_t*>(config.GetNode(index));
}

void PutLe16(uint8_t* at, uint16_t value)
{
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

// The defaults (node 1 Control on TCP server port 23, node 2 Control on
// async serial COM2 at 9600) and a third node: UCE Master on async serial
// COM1 with two slaves, IDs 5 and 7, slave 2 writing bytes 1-4.
void MakeBase(ConfigData& config)
{
    ASSERT_TRUE(config.AddNode());
    uint8_t* n = NodeBytes(config, 2);
    std::memset(n, 0, 383);
    n[0] = 3;                      // UCE Master
    PutLe16(n + kPortCode, 0x5000);  // async serial
    n[9] = 0;                      // COM1
    n[kBaudCode] = 16;             // 9600
    n[kSlaveCount] = 2;
    n[kSlaveIds] = 5;
    n[kSlaveIds + 1] = 7;
    PutLe16(n + kWriteStart + 2, 0);
    n[kWriteLength + 1] = 4;
    config.SetNotes("base");
}

Lines Texts(const std::vector<ConfigDifference>& differences)
{
    Lines lines;
    for (const ConfigDifference& d : differences)
        lines.push_back(d.Text().utf8_string());
    return lines;
}

// The differences after `change` is applied to a copy of the base.
Lines AfterChange(const std::function<void(ConfigData&)>& change, const CompareScope& scope = CompareScope())
{
    ConfigData base, changed;
    MakeBase(base);
    MakeBase(changed);
    change(changed);
    return Texts(CompareConfigurations(base, changed, scope));
}

TEST(Compare, SameConfigurationsHaveNoDifference)
{
    ConfigData a, b;
    MakeBase(a);
    MakeBase(b);
    EXPECT_TRUE(CompareConfigurations(a, b).empty());
}

TEST(Compare, EachNamedFieldIsItsOwnLine)
{
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetDataAge(61); }),
              Lines{"General Settings - Database data age: 60 secs -> 61 secs"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetWriteProtect(1); }),
              Lines{"General Settings - Write Protect: No -> Yes"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetSdLogLevel(4); }),
              Lines{"General Settings - SD card log level: 2 -> 4"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetSdLogAge(31); }),
              Lines{"General Settings - SD card log age: 30 days -> 31 days"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 1)[kBaudCode] = 32; }),
              Lines{"Node 2 - Port - Baud rate: 9600 -> 19200"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 2)[kSlaveIds + 1] = 8; }),
              Lines{"Node 3 - Slave 2 - ID: 7 -> 8"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 2)[kReadLength] = 3; }),
              Lines{"Node 3 - Slave 1 - Read size: 0 -> 3"});
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 2)[kSlaveCount] = 3; }),
              (Lines{"Node 3 - Slaves: 2 -> 3", "Node 3 - Slave 3 - ID: (none) -> 0",
                     "Node 3 - Slave 3 - Read offset: (none) -> 0", "Node 3 - Slave 3 - Read size: (none) -> 0",
                     "Node 3 - Slave 3 - Write offset: (none) -> 0", "Node 3 - Slave 3 - Write size: (none) -> 0"}));
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 1)[9] = 2; }),
              (Lines{"Node 2 - Port: Async serial COM2 -> Async serial COM3",
                     "Node 2 - Port - Serial port: COM2 -> COM3"}));
    // Each IP setting is a line; the block's checksum, which changes with
    // them, is not.
    EXPECT_EQ(AfterChange([](ConfigData& c) {
                  ASSERT_TRUE(c.SetIpSettings("10.0.0.5", "255.255.0.0", "10.0.0.1", "00:50:C2:00:00:01", "6010"));
              }),
              (Lines{"IP Settings - IP Address: 192.168.1.1 -> 10.0.0.5",
                     "IP Settings - Subnet Mask: 255.255.255.0 -> 255.255.0.0",
                     "IP Settings - Gateway: 192.168.1.254 -> 10.0.0.1",
                     "IP Settings - MAC Address: 00:50:C2:F0:A0:00 -> 00:50:C2:00:00:01",
                     "IP Settings - Boot Loader Port: 6003 -> 6010",
                     // Storing the settings clears the block's reserved bytes.
                     "IP Settings - offsets 20-21: FF FF -> 00 00"}));
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetNotes("changed"); }), Lines{"Notes: base -> changed (file only)"});
}

TEST(Compare, BytesNoFieldShowsAreGivenByOffset)
{
    // Node 1 has no slaves: its first slave ID is no field.
    EXPECT_EQ(AfterChange([](ConfigData& c) { NodeBytes(c, 0)[kSlaveIds] = 1; }), Lines{"Node 1 - offset 15: 00 -> 01"});
    // A reserved header byte.
    EXPECT_EQ(AfterChange([](ConfigData& c) {
                  auto main = c.GetMainBlock();
                  main.reserved[2] = 5;
                  c.SetBlocks(main, c.GetIpBlock());
              }),
              Lines{"General Settings - offset 7: 00 -> 05"});
    // Control shows the level from bits 0-3 of its word; bit 12 is stored
    // but shown nowhere. Both change: the named line and the byte.
    EXPECT_EQ(AfterChange([](ConfigData& c) {
                  NodeBytes(c, 0)[kProtocolWord] = 3;
                  NodeBytes(c, 0)[kProtocolWord + 1] = 0x10;
              }),
              (Lines{"Node 1 - Protocol - Monitor level: 2 (Normal) -> 3 (Detailed)", "Node 1 - offset 2: 00 -> 10"}));
    // Consecutive hidden bytes are one run.
    EXPECT_EQ(AfterChange([](ConfigData& c) {
                  NodeBytes(c, 0)[kExtra + 10] = 1;
                  NodeBytes(c, 0)[kExtra + 11] = 2;
              }),
              Lines{"Node 1 - offsets 375-376: 00 00 -> 01 02"});
    // Write protect keeps its text for any non-zero byte.
    EXPECT_EQ(AfterChange([](ConfigData& c) { c.SetWriteProtect(1); }).size(), 1u);
    ConfigData one, two;
    one.SetWriteProtect(1);
    two.SetWriteProtect(2);
    EXPECT_EQ(Texts(CompareConfigurations(one, two)), Lines{"General Settings - Write Protect (stored byte): 1 -> 2"});
}

TEST(Compare, NodesPresentOnOneSideAndUnusedEntries)
{
    ConfigData two, three;
    MakeBase(three);
    two.SetNotes("base");
    EXPECT_EQ(Texts(CompareConfigurations(three, two)),
              (Lines{"Nodes: 3 -> 2", "Node 3: UCE Master | Async serial COM1 -> (none)"}));

    // A byte of an entry beyond both node counts: the file keeps it, a
    // device does not.
    const auto unused = [](ConfigData& c) { NodeBytes(c, 4)[20] = 9; };
    EXPECT_EQ(AfterChange(unused), Lines{"Node 5 (unused entry) - offset 20: 00 -> 09"});
    EXPECT_TRUE(AfterChange(unused, DeviceScope(true)).empty());
}

TEST(Compare, DeviceScopeLeavesOutNotesAndAnUnsentMac)
{
    const auto mac = [](ConfigData& c) {
        IpBlock ip = c.GetIpBlock();
        ip.macAddress[5] = 0x55;
        c.SetBlocks(c.GetMainBlock(), ip);
        c.SetNotes("other");
    };
    const Lines all = AfterChange(mac);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], "IP Settings - MAC Address: 00:50:C2:F0:A0:00 -> 00:50:C2:F0:A0:55");
    EXPECT_EQ(all[1], "Notes: base -> other (file only)");
    EXPECT_EQ(AfterChange(mac, DeviceScope(true)).size(), 1u);
    EXPECT_TRUE(AfterChange(mac, DeviceScope(false)).empty());
}

// ---- Check ------------------------------------------------------------

Lines Findings(const ConfigData& config)
{
    Lines lines;
    for (const ConfigFinding& f : CheckConfiguration(config))
        lines.push_back(FindingText(f).utf8_string());
    return lines;
}

// A configuration with nothing to report: the Control link, and node 3
// reading what node 2 writes.
void MakeClean(ConfigData& config)
{
    MakeBase(config);
    ASSERT_TRUE(config.SetIpSettings("10.1.2.3", "255.255.255.0", "10.1.2.254", "00:50:C2:00:00:01", "6003"));
    uint8_t* n2 = NodeBytes(config, 1);
    n2[kSlaveCount] = 1;
    n2[kSlaveIds] = 1;
    n2[kReadLength] = 4;  // reads bytes 1-4, which node 3 writes
}

TEST(Check, CleanConfigurationHasNoFinding)
{
    ConfigData config;
    MakeClean(config);
    EXPECT_EQ(Findings(config), Lines{});
}

// The findings after `change` to a clean configuration.
Lines FindingsAfter(const std::function<void(ConfigData&)>& change)
{
    ConfigData config;
    MakeClean(config);
    change(config);
    return Findings(config);
}

TEST(Check, EachFindingFromAConfigurationThatCausesIt)
{
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  uint8_t* n = NodeBytes(c, 1);
                  PutLe16(n + kWriteStart, 2);
                  n[kWriteLength] = 4;  // bytes 3-6, over node 3's 1-4
              }),
              Lines{"Error: Nodes 2 and 3 both write bytes 3-4 of the shared memory; the last to write wins."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  uint8_t* n = NodeBytes(c, 2);
                  PutLe16(n + kWriteStart + 2, 510);  // slave 2 writes bytes 511-514
              }),
              (Lines{"Error: Node 3, slave 2: its write range (bytes 511-514) runs past byte 512.",
                     "Warning: Node 2 reads bytes 1-4 of the shared memory, which no node writes."}));
    EXPECT_EQ(FindingsAfter([](ConfigData& c) { NodeBytes(c, 2)[kSlaveIds + 1] = 5; }),
              Lines{"Error: Node 3: slaves 1 and 2 have the same ID, 5."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) { NodeBytes(c, 2)[9] = 1; }),
              Lines{"Error: Nodes 2 and 3 both use serial port COM2."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  uint8_t* n = NodeBytes(c, 2);
                  PutLe16(n + kPortCode, 0x1000);  // TCP server
                  n[9] = 23;
              }),
              Lines{"Error: Nodes 1 and 3 are both TCP servers on port 23."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) { NodeBytes(c, 0)[9] = 24; }),
              Lines{"Warning: No node is a Control link (Control on TCP server port 23): once written, the device may "
                    "no longer take a new configuration over the network."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  ASSERT_TRUE(c.SetIpSettings("10.1.2.3", "255.0.255.0", "10.1.2.254", "00:50:C2:00:00:01", "6003"));
              }),
              Lines{"Error: The subnet mask 255.0.255.0 is not a run of ones followed by zeros."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  ASSERT_TRUE(c.SetIpSettings("10.1.2.3", "255.255.255.0", "10.1.3.254", "00:50:C2:00:00:01", "6003"));
              }),
              Lines{"Error: The gateway 10.1.3.254 is outside the subnet of 10.1.2.3/255.255.255.0."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  ASSERT_TRUE(c.SetIpSettings("10.1.2.0", "255.255.255.0", "10.1.2.254", "00:50:C2:00:00:01", "6003"));
              }),
              Lines{"Error: The IP address 10.1.2.0 is the network address of its subnet."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  ASSERT_TRUE(
                      c.SetIpSettings("10.1.2.255", "255.255.255.0", "10.1.2.254", "00:50:C2:00:00:01", "6003"));
              }),
              Lines{"Error: The IP address 10.1.2.255 is the broadcast address of its subnet."});
    EXPECT_EQ(FindingsAfter([](ConfigData& c) {
                  auto main = c.GetMainBlock();
                  main.nodeCount = 7;
                  c.SetBlocks(main, c.GetIpBlock());
              }).front(),
              "Error: The configuration says it has 7 nodes; a device runs at most 6, and only those are read and "
              "written.");
    EXPECT_EQ(FindingsAfter([](ConfigData& c) { NodeBytes(c, 1)[kReadStart] = 8; }),
              Lines{"Warning: Node 2 reads bytes 9-12 of the shared memory, which no node writes."});
}

TEST(Check, MemoryWritersNameEveryNodePerByte)
{
    ConfigData config;
    MakeClean(config);
    uint8_t* n = NodeBytes(config, 1);
    PutLe16(n + kWriteStart, 3);
    n[kWriteLength] = 2;  // node 2 writes bytes 4-5
    const auto writers = MemoryWriters(config);
    EXPECT_EQ(writers[0], std::vector<unsigned>{3});
    EXPECT_EQ(writers[3], (std::vector<unsigned>{2, 3}));
    EXPECT_EQ(writers[4], std::vector<unsigned>{2});
    EXPECT_TRUE(writers[5].empty());
}

} // namespace

namespace {

// No difference hides: any change of any byte, in a node of any protocol
// and port, gives at least one line; a change a named field shows gives a
// named line, not only an offset. Fixed seeds.
TEST(Compare, NoChangedByteGoesUnreported)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        for (int round = 0; round < 500; ++round) {
            ConfigData base, changed;
            MainBlock main = base.GetMainBlock();
            auto* bytes = reinterpret_cast<uint8_t*>(&main);
            for (size_t i = 0; i < sizeof main; ++i)
                bytes[i] = uint8_t(random());
            main.nodeCount = uint8_t(random() % 7);
            base.SetBlocks(main, base.GetIpBlock());
            const size_t at = random() % sizeof main;
            bytes[at] = uint8_t(bytes[at] ^ (1u << (random() % 8)));
            changed.SetBlocks(main, changed.GetIpBlock());
            EXPECT_FALSE(CompareConfigurations(base, changed).empty())
                << "seed " << seed << " round " << round << ": byte " << at << " changed unseen";
        }
    }
}

} // namespace
