// The configuration report's lines, written out here in full for documents
// built in the tests.
#include "config/ConfigData.h"
#include "core/CoreVectors.h"
#include "print/ConfigReport.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

#include <string>
#include <vector>

using namespace vectors;

namespace {

// "*" in front of a text marks a bold line; "" is the empty line.
using Expected = std::vector<std::string>;

Expected Render(const ReportLines& lines)
{
    Expected out;
    for (const ReportLine& line : lines)
        out.push_back((line.bold ? "*" : "") + line.text.utf8_string());
    return out;
}

const wxDateTime kWhen(8, wxDateTime::Dec, 2026, 9, 5);

ReportLines Report(const ConfigData& config)
{
    return BuildConfigReport(config, kWhen);
}

// The lines from a bold heading up to (not including) the next bold heading
// or, for a node heading, the next node or section.
Expected Section(const ReportLines& lines, const std::string& heading)
{
    const Expected all = Render(lines);
    Expected out;
    bool inside = false;
    for (const std::string& line : all) {
        if (!line.empty() && line[0] == '*') {
            if (inside)
                break;
            inside = line == "*" + heading;
        }
        if (inside)
            out.push_back(line);
    }
    return out;
}

const std::string kRule(60, '-');

// The report checksum, computed here: the main block's CRC with the modem
// nodes' attenuation bits (portWord bits 6..11) taken as 0.
uint16_t ExpectedCrc(const ConfigData& config)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&config.GetMainBlock());
    Bytes bytes(p, p + kMain);
    for (unsigned i = 0; i < bytes[4] && i < 6; ++i) {
        const size_t node = 13 + kNode * i;
        if ((bytes[node + 4] >> 4) == 7)
            bytes[node + 12] &= 0x3F, bytes[node + 13] &= 0xF0;
    }
    return ReferenceCrc(bytes);
}

std::string CrcLine(const ConfigData& config)
{
    char text[32];
    std::snprintf(text, sizeof text, "CRC:   0x%04X", ExpectedCrc(config));
    return text;
}

void SetSlave(NodeEntry& node, unsigned k, uint8_t id, uint16_t readStart, uint8_t readLength, uint16_t writeStart,
              uint8_t writeLength)
{
    node.slaveId[k] = id;
    node.readStart[k] = readStart;
    node.readLength[k] = readLength;
    node.writeStart[k] = writeStart;
    node.writeLength[k] = writeLength;
}

} // namespace

TEST(Report, DocumentWithoutNodesInFull)
{
    ConfigData config;
    ASSERT_TRUE(config.DeleteNode(1));
    ASSERT_TRUE(config.DeleteNode(0));
    config.SetWriteProtect(1);
    config.SetDataAge(255);
    config.SetSdLogLevel(0);
    config.SetSdLogAge(7);
    ASSERT_TRUE(config.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.254", "0:0:0:0:0:0", "65535"));

    const Expected expected = {
        "*TARVEN Quorastelline - Configuration Report",
        std::string(60, '='),
        "File:  (not saved)",
        "Date:  08/12/2026  09:05",
        CrcLine(config),
        "",
        "*General Settings",
        kRule,
        "  Write Protect:      Yes",
        "  Database data age:  255 secs",
        "  SD card log level:  0",
        "  SD card log age:    7 days",
        "",
        "*Notes",
        kRule,
        "  (none)",
        "",
        "*IP Settings",
        kRule,
        "  IP Address:       10.1.2.3",
        "  Subnet Mask:      255.255.0.0",
        "  Gateway:          10.1.0.254",
        "  Boot Loader Port: 65535",
        "",
        "*Nodes",
        kRule,
        "  (no nodes configured)",
        "",
        "*Node Details",
        kRule,
        "*Memory Map",
        kRule,
        "  Byte                      Read from memory   Write to memory  ",
        "  ------------------------- ------------------ -----------------",
    };
    EXPECT_EQ(Render(Report(config)), expected);
}

TEST(Report, HeaderNamesTheFileAndTheTimeGiven)
{
    TempDir dir;
    ConfigData config;
    const std::string path = dir.File("plant 7.qst");
    ASSERT_TRUE(config.Save(path));
    const Expected lines = Render(BuildConfigReport(config, wxDateTime(31, wxDateTime::Jan, 1999, 23, 59)));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[2], "File:  " + path);
    EXPECT_EQ(lines[3], "Date:  31/01/1999  23:59");
    EXPECT_EQ(lines[4], CrcLine(config));

    // Without a given time the report carries today's date.
    const Expected now = Render(BuildConfigReport(config));
    EXPECT_EQ(now[3].substr(0, 17), "Date:  " + wxDateTime::Now().Format("%d/%m/%Y").utf8_string());
}

TEST(Report, ChecksumIgnoresModemAttenuationOnly)
{
    ConfigData config;
    NodeEntry& node = *config.GetNode(1);
    node.SetPortType(PORT_MODEM);
    node.portWord = 0x3000;
    const Expected before = Render(Report(config));
    node.portWord = 0x3FC0;  // both attenuations changed
    EXPECT_EQ(Render(Report(config))[4], before[4]);
    node.portWord = 0x3001;  // PTT changed
    EXPECT_NE(Render(Report(config))[4], before[4]);
    EXPECT_EQ(Render(Report(config))[4], CrcLine(config));
}

TEST(Report, NotesSplitAtEveryLineEnd)
{
    ConfigData config;
    config.SetNotes("Pump house\r\nPanel B\nrack 3\rend");
    EXPECT_EQ(Section(Report(config), "Notes"),
              (Expected{"*Notes", kRule, "  Pump house", "  Panel B", "  rack 3", "  end", ""}));

    config.SetNotes("one\r\n\r\nthree\r\n");
    EXPECT_EQ(Section(Report(config), "Notes"), (Expected{"*Notes", kRule, "  one", "  ", "  three", ""}));

    config.SetNotes("single");
    EXPECT_EQ(Section(Report(config), "Notes"), (Expected{"*Notes", kRule, "  single", ""}));
}

TEST(Report, DefaultIpSettings)
{
    ConfigData config;
    EXPECT_EQ(Section(Report(config), "IP Settings"),
              (Expected{"*IP Settings", kRule, "  IP Address:       192.168.1.1", "  Subnet Mask:      255.255.255.0",
                        "  Gateway:          192.168.1.254", "  Boot Loader Port: 6003", ""}));
}

TEST(Report, NodesTableColumns)
{
    ConfigData config;
    ASSERT_TRUE(config.AddNode());  // UCE Master on COM1, slave 1 reads 1-4, writes 5-8
    NodeEntry& client = *config.GetNode(1);
    client.protocol = PROTOCOL_NULL;
    client.SetPortType(PORT_TCP_CLIENT);
    const uint8_t ip[4] = {172, 16, 200, 201};
    std::copy(ip, ip + 4, client.remoteIp);
    client.portNumber = 50000;
    client.slaveCount = 2;
    SetSlave(client, 0, 12, 0, 2, 10, 0);
    SetSlave(client, 1, 255, 100, 28, 300, 12);

    EXPECT_EQ(Section(Report(config), "Nodes"),
              (Expected{
                  "*Nodes",
                  kRule,
                  "  #   Protocol               Port                     Slave IDs Mem Read Mem Write",
                  "  --- ---------------------- ------------------------ --------- -------- ---------",
                  "  1   Control                TCP Server on port 23                                ",
                  // Columns widen for longer texts rather than cut them.
                  "  2   Null                   TCP Client to 172.16.200.201:50000 12, 255   1-2, 101-128 301-312  ",
                  "  3   UCE Master             Async serial COM1        1         1-4      5-8      ",
                  "",
              }));
}

TEST(Report, SlaveLinesCountFromOne)
{
    NodeEntry node{};
    ReportLines lines;
    AppendSlaveLines(node, lines);
    EXPECT_EQ(Render(lines), (Expected{"  Slaves:              None"}));

    node.slaveCount = 3;
    SetSlave(node, 0, 1, 0, 4, 4, 4);
    SetSlave(node, 1, 200, 511, 1, 1000, 255);
    SetSlave(node, 2, 7, 65535, 0, 0, 0);
    lines.clear();
    AppendSlaveLines(node, lines);
    EXPECT_EQ(Render(lines), (Expected{
                                 "  Slaves (3):",
                                 "  Idx  ID    Read offset  Read size  Write offset  Write size",
                                 "  ---  ----  -----------  ---------  ------------  ----------",
                                 "  1    1     1            4          5             4",
                                 "  2    200   512          1          1001          255",
                                 "  3    7     65536        0          1             0",
                             }));

    // A damaged count is held to the table's 50 entries.
    node.slaveCount = 255;
    lines.clear();
    AppendSlaveLines(node, lines);
    ASSERT_EQ(lines.size(), 3u + 50u);
    EXPECT_EQ(lines[0].text, "  Slaves (50):");
}

TEST(Report, MemoryMapOverlapsAndTheLastByte)
{
    ConfigData config;
    ASSERT_TRUE(config.AddNode());
    NodeEntry* nodes[3] = {config.GetNode(0), config.GetNode(1), config.GetNode(2)};
    for (NodeEntry* node : nodes)
        node->slaveCount = 0;
    // Node 1 and node 3 both read byte 1; node 3 also writes it twice over.
    nodes[0]->slaveCount = 1;
    SetSlave(*nodes[0], 0, 1, 0, 2, 508, 10);  // write runs past the last byte
    nodes[2]->slaveCount = 3;
    SetSlave(*nodes[2], 0, 1, 0, 1, 1, 1);
    SetSlave(*nodes[2], 1, 2, 600, 255, 0, 0);  // wholly outside the memory
    SetSlave(*nodes[2], 2, 3, 0, 0, 1, 1);
    nodes[1]->slaveCount = 1;
    SetSlave(*nodes[1], 0, 9, 65535, 255, 511, 1);

    EXPECT_EQ(Section(Report(config), "Memory Map"),
              (Expected{
                  "*Memory Map",
                  kRule,
                  "  Byte                      Read from memory   Write to memory  ",
                  "  ------------------------- ------------------ -----------------",
                  "  Byte 1 (bits 1-8)         Node 1, 3                           ",
                  "  Byte 2 (bits 9-16)        Node 1             Node 3, 3        ",
                  "  Byte 509 (bits 4065-4072)                    Node 1           ",
                  "  Byte 510 (bits 4073-4080)                    Node 1           ",
                  "  Byte 511 (bits 4081-4088)                    Node 1           ",
                  "  Byte 512 (bits 4089-4096)                    Node 1, 2        ",
              }));
}

TEST(Report, NodesBeyondTheCountAreNotReported)
{
    ConfigData config;  // two nodes in use, four more entries stored
    config.GetNode(2)->protocol = PROTOCOL_S2_MASTER;
    config.GetNode(2)->slaveCount = 1;
    const Expected lines = Render(Report(config));
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("Node 3"), std::string::npos) << line;
        EXPECT_EQ(line.find("S2 Master"), std::string::npos) << line;
    }
}

TEST(Report, OnlyHeadingsAreBold)
{
    ConfigData config;
    std::vector<std::string> bold;
    for (const ReportLine& line : Report(config))
        if (line.bold)
            bold.push_back(line.text.utf8_string());
    EXPECT_EQ(bold, (std::vector<std::string>{
                        "TARVEN Quorastelline - Configuration Report", "General Settings", "Notes", "IP Settings",
                        "Nodes", "Node Details", "Node 1:  Control  |  TCP Server on port 23",
                        "Node 2:  Control  |  Async serial COM2", "Memory Map"}));
}
