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

namespace {

NodeEntry ProtocolNode(uint8_t protocol, uint16_t word)
{
    NodeEntry node{};
    node.protocol = protocol;
    node.protocolWord = word;
    return node;
}

NodeEntry PortNode(uint16_t portCode, uint16_t portNumber, uint8_t baudCode, uint16_t portWord)
{
    NodeEntry node{};
    node.portCode = portCode;
    node.portNumber = portNumber;
    node.baudCode = baudCode;
    node.portWord = portWord;
    return node;
}

Expected ProtocolLines(const NodeEntry& node)
{
    ReportLines lines;
    AppendProtocolLines(node, lines);
    return Render(lines);
}

Expected PortLines(const NodeEntry& node)
{
    ReportLines lines;
    AppendPortLines(node, lines);
    return Render(lines);
}

} // namespace

TEST(ReportProtocolLines, ControlMonitorLevel)
{
    EXPECT_EQ(ProtocolLines(ProtocolNode(1, 0x0003)), (Expected{"  Monitor level:       3 (Detailed)"}));
    // Only the low four bits are the level.
    EXPECT_EQ(ProtocolLines(ProtocolNode(1, 0xFFF0)), (Expected{"  Monitor level:       0 (Off)"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(1, 0x0105)), (Expected{"  Monitor level:       5 (Everything)"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(1, 0x0006)), (Expected{"  Monitor level:       6 (Unknown)"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(1, 0x000F)), (Expected{"  Monitor level:       15 (Unknown)"}));
}

TEST(ReportProtocolLines, NoDataChoiceOfIoAndUce)
{
    EXPECT_EQ(ProtocolLines(ProtocolNode(2, 0x0001)), (Expected{"  No-data behaviour:   Send all 0s"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(3, 0x0002)), (Expected{"  No-data behaviour:   Send last known"}));
    // Bit 0 wins when both are set, as on the editor page.
    EXPECT_EQ(ProtocolLines(ProtocolNode(4, 0x0003)), (Expected{"  No-data behaviour:   Send all 0s"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(3, 0xFFFC)), (Expected{"  No-data behaviour:   Don't send anything"}));
}

TEST(ReportProtocolLines, S2MasterAndSlave)
{
    // 3 start flags, 2 end flags, extra byte, NRZI; bit 14 is no master field.
    NodeEntry master = ProtocolNode(5, 0x4523);
    master.protocolExtra[0] = 100;
    EXPECT_EQ(ProtocolLines(master), (Expected{
                                         "  Flags before frame:  3",
                                         "  Flags after frame:   2",
                                         "  Extra byte:          Yes",
                                         "  NRZS encoding:       No",
                                         "  NRZI encoding:       Yes",
                                         "  Bit stuffing:        Enabled",
                                         "  QX1 stuffing:        Disabled",
                                         "  Poll rate:           1000 ms",
                                     }));

    // 15 start flags, both NRZ bits (NRZS wins), no bit stuffing, prefix bit.
    NodeEntry slave = ProtocolNode(6, 0x4E0F);
    slave.protocolExtra[0] = 50;
    EXPECT_EQ(ProtocolLines(slave), (Expected{
                                        "  Flags before frame:  15",
                                        "  Flags after frame:   0",
                                        "  Extra byte:          No",
                                        "  NRZS encoding:       Yes",
                                        "  NRZI encoding:       No",
                                        "  Bit stuffing:        Disabled",
                                        "  QX1 stuffing:        Enabled",
                                    }));
}

TEST(ReportProtocolLines, GenisysMasterAndSlave)
{
    // Secure polls, checkback, normal secure bit, poll byte 51.
    EXPECT_EQ(ProtocolLines(ProtocolNode(7, 0x3303)), (Expected{
                                                          "  Secure polls:        Yes",
                                                          "  Checkback:           Yes",
                                                          "  Secure bit inverse:  No",
                                                          "  Poll interval:       510 ms",
                                                      }));
    // The slave has no secure-poll or checkback option: bits 0 and 1 are
    // left-overs of another protocol.
    EXPECT_EQ(ProtocolLines(ProtocolNode(8, 0x0013)), (Expected{
                                                          "  Secure polls:        No",
                                                          "  Checkback:           No",
                                                          "  Secure bit inverse:  Yes",
                                                      }));
}

TEST(ReportProtocolLines, HostMasterAndSlave)
{
    // Loop 200, send SCF; byte 365 is no master field.
    NodeEntry master = ProtocolNode(9, 0x04C8);
    master.protocolExtra[0] = 77;
    EXPECT_EQ(ProtocolLines(master), (Expected{
                                         "  Loop number:         200",
                                         "  Send SCF:            Yes",
                                         "  Store SCF:           No",
                                     }));
    NodeEntry slave = ProtocolNode(10, 0x0800);
    slave.protocolExtra[0] = 255;
    EXPECT_EQ(ProtocolLines(slave), (Expected{
                                        "  Loop number:         0",
                                        "  Send SCF:            No",
                                        "  Store SCF:           Yes",
                                        "  Poll rate:           2550 ms",
                                    }));
}

TEST(ReportProtocolLines, NtpClientSignedOffset)
{
    EXPECT_EQ(ProtocolLines(ProtocolNode(11, 0x18FB)),
              (Expected{"  Timezone offset:     -5 hours", "  Update interval:     24 hours"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(11, 0x0108)),
              (Expected{"  Timezone offset:     +8 hours", "  Update interval:     1 hours"}));
    EXPECT_EQ(ProtocolLines(ProtocolNode(11, 0xFF00)),
              (Expected{"  Timezone offset:     +0 hours", "  Update interval:     255 hours"}));
}

TEST(ReportProtocolLines, AnalogueChannels)
{
    // Triggers, active low, channels 1 and 3 voltage, 2 and 4 current.
    NodeEntry node = ProtocolNode(12, 0x5084);
    const uint8_t triggers[16] = {0x20, 0x4E, 0x88, 0x13, 0x39, 0x30, 0x00, 0x00,
                                  0xE0, 0xAB, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x01};
    std::copy(triggers, triggers + 16, node.protocolExtra + 1);
    EXPECT_EQ(ProtocolLines(node), (Expected{
                                       "  Input mode:          Triggers",
                                       "  Trigger polarity:    Active low",
                                       "  Ch 1 (Voltage):      High=20000mV  Low=5000mV",
                                       "  Ch 2 (Current):      High=12345uA  Low=0uA",
                                       "  Ch 3 (Voltage):      High=44000mV  Low=1mV",
                                       "  Ch 4 (Current):      High=65535uA  Low=256uA",
                                   }));
    const Expected readings = ProtocolLines(ProtocolNode(12, 0x0000));
    ASSERT_EQ(readings.size(), 6u);
    EXPECT_EQ(readings[0], "  Input mode:          Readings");
    EXPECT_EQ(readings[1], "  Trigger polarity:    Active high");
    EXPECT_EQ(readings[5], "  Ch 4 (Current):      High=0uA  Low=0uA");
}

TEST(ReportProtocolLines, NullAndUnknownCodesHaveNone)
{
    for (uint8_t code : {0, 13, 14, 255})
        EXPECT_EQ(ProtocolLines(ProtocolNode(code, 0xFFFF)), Expected{}) << int(code);
}

TEST(ReportPortLines, ServersAndClients)
{
    EXPECT_EQ(PortLines(PortNode(0x1000, 4001, 0, 0)), (Expected{"  Listen port:         4001"}));
    EXPECT_EQ(PortLines(PortNode(0x3FFF, 65535, 0, 0)), (Expected{"  Listen port:         65535"}));

    // Fixed source port 6001, kept high byte first at bytes 366..367.
    NodeEntry client = PortNode(0x2001, 502, 0, 0);
    client.protocol = PROTOCOL_NULL;
    const uint8_t ip[4] = {10, 0, 0, 7};
    std::copy(ip, ip + 4, client.remoteIp);
    client.protocolExtra[1] = 0x17;
    client.protocolExtra[2] = 0x71;
    EXPECT_EQ(PortLines(client), (Expected{"  Server:              10.0.0.7:502", "  Source port:         6001"}));

    client.portCode = 0x4000;  // UDP client, no fixed source port
    EXPECT_EQ(PortLines(client), (Expected{"  Server:              10.0.0.7:502", "  Source port:         Auto"}));

    // The Analogue/Audio Master keeps its first trigger in those bytes.
    client.portCode = 0x2001;
    client.protocol = PROTOCOL_ANALOGUE_MASTER;
    EXPECT_EQ(PortLines(client), (Expected{"  Server:              10.0.0.7:502", "  Source port:         Auto"}));
}

TEST(ReportPortLines, AsynchronousSerial)
{
    EXPECT_EQ(PortLines(PortNode(0x5000, 3, 93, 0x0024)), (Expected{
                                                              "  Serial port:         COM4",
                                                              "  Baud rate:           56000",
                                                              "  Frame format:        7 E 1",
                                                              "  Handshake:           DCE",
                                                          }));
    EXPECT_EQ(PortLines(PortNode(0x5000, 0, 16, 0x0000)), (Expected{
                                                              "  Serial port:         COM1",
                                                              "  Baud rate:           9600",
                                                              "  Frame format:        8 N 1",
                                                              "  Handshake:           None",
                                                          }));
    // Values no page offers: a code off the table runs at code x 600.
    EXPECT_EQ(PortLines(PortNode(0x5000, 4, 3, 0x0036)), (Expected{
                                                             "  Serial port:         Unknown",
                                                             "  Baud rate:           1800",
                                                             "  Frame format:        Unknown",
                                                             "  Handshake:           Unknown",
                                                         }));
}

TEST(ReportPortLines, SynchronousSerial)
{
    // Slave clock, CTS, both NRZ bits (NRZS wins), idle flags.
    EXPECT_EQ(PortLines(PortNode(0x6000, 1, 192, 0x00F2)), (Expected{
                                                               "  Serial port:         COM2",
                                                               "  Baud rate:           115200",
                                                               "  Clock mode:          Slave (clock in)",
                                                               "  CTS:                 Yes",
                                                               "  NRZS encoding:       Yes",
                                                               "  NRZI encoding:       No",
                                                               "  Send idle flags:     Yes",
                                                           }));
    EXPECT_EQ(PortLines(PortNode(0x6000, 2, 1, 0x0043)), (Expected{
                                                             "  Serial port:         COM3",
                                                             "  Baud rate:           600",
                                                             "  Clock mode:          No clock",
                                                             "  CTS:                 No",
                                                             "  NRZS encoding:       No",
                                                             "  NRZI encoding:       Yes",
                                                             "  Send idle flags:     No",
                                                         }));
    EXPECT_EQ(PortLines(PortNode(0x6000, 2, 1, 0x0001))[2], "  Clock mode:          Master (clock out)");
    EXPECT_EQ(PortLines(PortNode(0x6000, 2, 1, 0x0000))[2], "  Clock mode:          Unknown");
}

TEST(ReportPortLines, Modem)
{
    // Mode 15, Rx step 0, Tx step 7, PTT active high, NRZI (bit 2);
    // preamble 3 (byte 10), postamble 2 (byte 9).
    EXPECT_EQ(PortLines(PortNode(0x7000, 0x0302, 0, 0xF1C5)), (Expected{
                                                                  "  Mode:                V22bis 2400 QAM Hi",
                                                                  "  RX attenuation:      -10.5 dB",
                                                                  "  TX attenuation:      0 dB",
                                                                  "  PTT active high:     Yes",
                                                                  "  Continuous carrier:  No",
                                                                  "  NRZI encoding:       Yes",
                                                                  "  NRZS encoding:       No",
                                                                  "  Preamble:            3",
                                                                  "  Postamble:           2",
                                                              }));
    // Mode 2, Rx step 3, Tx step 2, carrier, NRZS (bit 3).
    EXPECT_EQ(PortLines(PortNode(0x7000, 0x0032, 0, 0x268A)), (Expected{
                                                                  "  Mode:                Bell202 FSK 150",
                                                                  "  RX attenuation:      -6.0 dB",
                                                                  "  TX attenuation:      -7.5 dB",
                                                                  "  PTT active high:     No",
                                                                  "  Continuous carrier:  Yes",
                                                                  "  NRZI encoding:       No",
                                                                  "  NRZS encoding:       Yes",
                                                                  "  Preamble:            0",
                                                                  "  Postamble:           50",
                                                              }));
    EXPECT_EQ(PortLines(PortNode(0x7000, 0, 0, 0x1000))[0], "  Mode:                Unknown");
}

TEST(ReportPortLines, SpiAndUnknownTypes)
{
    const char* names[] = {"No Device", "External 1", "External 2", "External 3", "External 4",
                           "SD Card", "Modem", "No Device"};
    for (uint16_t index = 0; index < 8; ++index)
        EXPECT_EQ(PortLines(PortNode(0x8000, index, 0, 0)),
                  (Expected{std::string("  SPI device:          ") + names[index]}));
    EXPECT_EQ(PortLines(PortNode(0x8000, 4001, 0, 0)), (Expected{"  SPI device:          No Device"}));
    for (uint16_t code : {0x0000, 0x9000, 0xF123})
        EXPECT_EQ(PortLines(PortNode(code, 1, 16, 0xFFFF)), Expected{}) << code;
}

TEST(Report, SixNodeConfigurationInFull)
{
    ConfigData config;
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(config.AddNode());
    config.SetNotes("Line one\r\nLine two");

    // Node 2: S2 Master (1 start and 1 end flag, poll 1000 ms) on a
    // synchronous COM1 at 4800 baud, clock master; its second range runs
    // past the last byte.
    NodeEntry& s2 = *config.GetNode(1);
    s2 = NodeEntry{};
    s2.protocol = PROTOCOL_S2_MASTER;
    s2.protocolWord = 0x0011;
    s2.protocolExtra[0] = 100;
    s2.portCode = 0x6000;
    s2.baudCode = 8;
    s2.portWord = 0x0001;
    s2.slaveCount = 2;
    SetSlave(s2, 0, 1, 0, 4, 10, 2);
    SetSlave(s2, 1, 2, 2, 4, 508, 10);

    // Node 3: Analogue/Audio Master in trigger mode, channel 1 voltage, on a
    // UDP client whose source-port flag is set but yields to the triggers.
    NodeEntry& analogue = *config.GetNode(2);
    analogue = NodeEntry{};
    analogue.protocol = PROTOCOL_ANALOGUE_MASTER;
    analogue.protocolWord = 0x1004;
    const uint8_t ch1[4] = {0x20, 0x4E, 0x88, 0x13};
    std::copy(ch1, ch1 + 4, analogue.protocolExtra + 1);
    analogue.portCode = 0x4001;
    const uint8_t loopback[4] = {127, 0, 0, 1};
    std::copy(loopback, loopback + 4, analogue.remoteIp);
    analogue.portNumber = 5000;
    analogue.slaveCount = 1;
    SetSlave(analogue, 0, 3, 0, 1, 12, 1);

    // Node 4: Host Slave (loop 5, send SCF, poll 500 ms) on a modem, mode 3,
    // Tx step 3, preamble 3, postamble 2.
    NodeEntry& host = *config.GetNode(3);
    host = NodeEntry{};
    host.protocol = PROTOCOL_HOST_SLAVE;
    host.protocolWord = 0x0405;
    host.protocolExtra[0] = 50;
    host.portCode = 0x7000;
    host.portNumber = 0x0302;
    host.portWord = 0x30C0;

    // Node 5: Null on SPI device 5, reading the very last byte.
    NodeEntry& null = *config.GetNode(4);
    null = NodeEntry{};
    null.protocol = PROTOCOL_NULL;
    null.protocolWord = 0x00A5;
    null.portCode = 0x8000;
    null.portNumber = 5;
    null.slaveCount = 1;
    SetSlave(null, 0, 9, 511, 1, 0, 0);

    // Node 6: NTP Client (UTC-5, daily) on a UDP client with source port 6001.
    NodeEntry& ntp = *config.GetNode(5);
    ntp = NodeEntry{};
    ntp.protocol = PROTOCOL_NTP_CLIENT;
    ntp.protocolWord = 0x18FB;
    ntp.portCode = 0x4001;
    std::copy(loopback, loopback + 4, ntp.remoteIp);
    ntp.portNumber = 123;
    ntp.protocolExtra[1] = 0x17;
    ntp.protocolExtra[2] = 0x71;

    const std::string slaveHeader = "  Idx  ID    Read offset  Read size  Write offset  Write size";
    const std::string slaveRule = "  ---  ----  -----------  ---------  ------------  ----------";
    const Expected expected = {
        "*TARVEN Quorastelline - Configuration Report",
        std::string(60, '='),
        "File:  (not saved)",
        "Date:  08/12/2026  09:05",
        CrcLine(config),
        "",
        "*General Settings",
        kRule,
        "  Write Protect:      No",
        "  Database data age:  60 secs",
        "  SD card log level:  2",
        "  SD card log age:    30 days",
        "",
        "*Notes",
        kRule,
        "  Line one",
        "  Line two",
        "",
        "*IP Settings",
        kRule,
        "  IP Address:       192.168.1.1",
        "  Subnet Mask:      255.255.255.0",
        "  Gateway:          192.168.1.254",
        "  Boot Loader Port: 6003",
        "",
        "*Nodes",
        kRule,
        "  #   Protocol               Port                     Slave IDs Mem Read Mem Write",
        "  --- ---------------------- ------------------------ --------- -------- ---------",
        "  1   Control                TCP Server on port 23                                ",
        "  2   S2 Master              Sync serial COM1         1, 2      1-4, 3-6 11-12, 509-518",
        "  3   Analogue/Audio Master  UDP Client to 127.0.0.1:5000 3         1-1      13-13    ",
        "  4   Host Slave             Modem, Bell202 FSK 1200                              ",
        "  5   Null                   SPI                      9         512-512           ",
        "  6   NTP Client             UDP Client to 127.0.0.1:123                             ",
        "",
        "*Node Details",
        kRule,
        "*Node 1:  Control  |  TCP Server on port 23",
        "  Monitor level:       2 (Normal)",
        "  Listen port:         23",
        "  Slaves:              None",
        "",
        "*Node 2:  S2 Master  |  Sync serial COM1",
        "  Flags before frame:  1",
        "  Flags after frame:   1",
        "  Extra byte:          No",
        "  NRZS encoding:       No",
        "  NRZI encoding:       No",
        "  Bit stuffing:        Enabled",
        "  QX1 stuffing:        Disabled",
        "  Poll rate:           1000 ms",
        "  Serial port:         COM1",
        "  Baud rate:           4800",
        "  Clock mode:          Master (clock out)",
        "  CTS:                 No",
        "  NRZS encoding:       No",
        "  NRZI encoding:       No",
        "  Send idle flags:     No",
        "  Slaves (2):",
        slaveHeader,
        slaveRule,
        "  1    1     1            4          11            2",
        "  2    2     3            4          509           10",
        "",
        "*Node 3:  Analogue/Audio Master  |  UDP Client to 127.0.0.1:5000",
        "  Input mode:          Triggers",
        "  Trigger polarity:    Active high",
        "  Ch 1 (Voltage):      High=20000mV  Low=5000mV",
        "  Ch 2 (Current):      High=0uA  Low=0uA",
        "  Ch 3 (Current):      High=0uA  Low=0uA",
        "  Ch 4 (Current):      High=0uA  Low=0uA",
        "  Server:              127.0.0.1:5000",
        "  Source port:         Auto",
        "  Slaves (1):",
        slaveHeader,
        slaveRule,
        "  1    3     1            1          13            1",
        "",
        "*Node 4:  Host Slave  |  Modem, Bell202 FSK 1200",
        "  Loop number:         5",
        "  Send SCF:            Yes",
        "  Store SCF:           No",
        "  Poll rate:           500 ms",
        "  Mode:                Bell202 FSK 1200",
        "  RX attenuation:      -10.5 dB",
        "  TX attenuation:      -6.0 dB",
        "  PTT active high:     No",
        "  Continuous carrier:  No",
        "  NRZI encoding:       No",
        "  NRZS encoding:       No",
        "  Preamble:            3",
        "  Postamble:           2",
        "  Slaves:              None",
        "",
        "*Node 5:  Null  |  SPI",
        "  SPI device:          SD Card",
        "  Slaves (1):",
        slaveHeader,
        slaveRule,
        "  1    9     512          1          1             0",
        "",
        "*Node 6:  NTP Client  |  UDP Client to 127.0.0.1:123",
        "  Timezone offset:     -5 hours",
        "  Update interval:     24 hours",
        "  Server:              127.0.0.1:123",
        "  Source port:         6001",
        "  Slaves:              None",
        "",
        "*Memory Map",
        kRule,
        "  Byte                      Read from memory   Write to memory  ",
        "  ------------------------- ------------------ -----------------",
        "  Byte 1 (bits 1-8)         Node 2, 3                           ",
        "  Byte 2 (bits 9-16)        Node 2                              ",
        "  Byte 3 (bits 17-24)       Node 2, 2                           ",
        "  Byte 4 (bits 25-32)       Node 2, 2                           ",
        "  Byte 5 (bits 33-40)       Node 2                              ",
        "  Byte 6 (bits 41-48)       Node 2                              ",
        "  Byte 11 (bits 81-88)                         Node 2           ",
        "  Byte 12 (bits 89-96)                         Node 2           ",
        "  Byte 13 (bits 97-104)                        Node 3           ",
        "  Byte 509 (bits 4065-4072)                    Node 2           ",
        "  Byte 510 (bits 4073-4080)                    Node 2           ",
        "  Byte 511 (bits 4081-4088)                    Node 2           ",
        "  Byte 512 (bits 4089-4096) Node 5             Node 2           ",
    };
    const Expected actual = Render(Report(config));
    EXPECT_EQ(actual, expected);
    // Line by line, so a difference is easy to find.
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i;
}
