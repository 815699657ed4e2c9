// What the JSON says: node entries built byte by byte from the record
// tables, and the JSON values those bytes mean, written out by hand. Each
// case checks both directions: the export of the bytes is the JSON, and the
// import of the JSON is the bytes.
#include "core/JsonSupport.h"
#include "support/NodeImage.h"

#include <gtest/gtest.h>

using namespace jsontest;

namespace {

void Put16(NodeImage& image, size_t at, uint16_t value)
{
    image[at] = uint8_t(value & 0xFF);
    image[at + 1] = uint8_t(value >> 8);
}

// A document whose only node in use is `image`.
void WithNode(ConfigData& config, const NodeImage& image)
{
    MainBlock main{};
    main.dataAge = 60;
    main.nodeCount = 1;
    std::memcpy(&main.node[0], image.data(), image.size());
    config.SetBlocks(main, config.GetIpBlock());
}

void ExpectNodeMeaning(const NodeImage& image, const char* expectedText)
{
    const Json expected = Json::parse(expectedText);
    ConfigData config;
    WithNode(config, image);
    Json document = Json::parse(ExportJson(config));
    EXPECT_EQ(document["nodes"][0], expected) << document["nodes"][0].dump(2);

    document["nodes"][0] = expected;
    ConfigData imported;
    wxString error;
    ASSERT_TRUE(ImportJson(document.dump(), imported, error)) << error;
    const NodeEntry* node = imported.GetNode(0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Differences(ImageOf(*node), image), "");
}

} // namespace

TEST(JsonMeaning, S2MasterOnAsyncSerialWithStaleSlaveAndSpareBits)
{
    NodeImage n{};
    n[0] = 5;                  // S2 Master
    n[1] = 0x53;               // 3 start flags, 5 end flags
    n[2] = 0x65;               // bit 8 extra byte, bit 10 NRZi, bit 13 no-data B, bit 14 (no master field)
    Put16(n, 3, 0x5000);       // asynchronous serial
    n[9] = 2;                  // COM3
    n[11] = 32;                // 19200 baud
    n[12] = 0x12;              // format 2 (8 E 1), handshake 1 (DTE)
    n[13] = 0x80;              // bit 15 of the port word: no field
    n[14] = 2;                 // two slaves
    n[15] = 7;
    n[16] = 0;
    n[17] = 9;                 // a third identifier behind the count
    Put16(n, 65, 256);
    Put16(n, 67, 0);
    n[165] = 4;
    n[166] = 1;
    Put16(n, 215, 10);
    Put16(n, 217, 511);
    n[315] = 2;
    n[316] = 255;
    n[365] = 100;              // poll rate in tens of ms
    n[382] = 0xAB;             // the unused last byte
    ExpectNodeMeaning(n, R"({
        "protocol": {"name": "S2 Master", "flagsBeforeFrame": 3, "flagsAfterFrame": 5, "extraByte": true,
                     "nrz": "NRZi", "noBitStuffing": false, "noData": "Send last known", "pollRateMs": 1000},
        "port": {"type": "Async Serial", "comPort": "COM3", "baud": 19200, "frameFormat": "8 E 1",
                 "handshake": "DTE"},
        "slaves": [{"id": 7, "readOffset": 257, "readSize": 4, "writeOffset": 11, "writeSize": 2},
                   {"id": 0, "readOffset": 1, "readSize": 1, "writeOffset": 512, "writeSize": 255}],
        "rest": {"2": "40", "13": "80", "17": "09", "382": "ab"}
    })");
}

TEST(JsonMeaning, NtpClientOnModemWithBothNrzBitsSet)
{
    NodeImage n{};
    n[0] = 11;                 // NTP Client
    n[1] = 0xFB;               // time zone -5
    n[2] = 24;                 // every 24 hours
    Put16(n, 3, 0x7000);       // modem
    n[9] = 2;                  // postamble
    n[10] = 3;                 // preamble
    // Port word 0xD1DD: mode 13, Rx attenuation 0, Tx attenuation 7, bits
    // 3 and 2 both set (NRZs wins, bit 2 stays over), bit 4 (no field), PTT.
    n[12] = 0xDD;
    n[13] = 0xD1;
    ExpectNodeMeaning(n, R"({
        "protocol": {"name": "NTP Client", "timeZoneHours": -5, "updateIntervalHours": 24},
        "port": {"type": "Modem", "mode": "V22 1200 DPSK Hi", "rxAttenuation": "-10.5 dB",
                 "txAttenuation": "0 dB", "pttActiveHigh": true, "continuousCarrier": false, "nrz": "NRZs",
                 "preambleBytes": 3, "postambleBytes": 2},
        "slaves": [],
        "rest": {"12": "14"}
    })");
}

TEST(JsonMeaning, AnalogueMasterOnTcpClientHasNoSourcePort)
{
    NodeImage n{};
    n[0] = 12;                 // Analogue/Audio Master
    n[1] = 0x05;               // no-data A (send all 0s), bit 2 triggers
    n[2] = 0x50;               // channels 1 and 3 voltage
    Put16(n, 3, 0x2001);       // TCP client, source-port flag set
    n[5] = 10;
    n[6] = 0;
    n[7] = 0;
    n[8] = 7;
    Put16(n, 9, 502);
    Put16(n, 366, 20000);
    Put16(n, 368, 5000);
    Put16(n, 370, 15000);
    Put16(n, 372, 4000);
    ExpectNodeMeaning(n, R"({
        "protocol": {"name": "Analogue/Audio Master", "inputMode": "Triggers", "triggerPolarity": "Active high",
                     "noData": "Send all 0s",
                     "channels": [{"type": "Voltage", "highMv": 20000, "lowMv": 5000},
                                  {"type": "Current", "highUa": 15000, "lowUa": 4000},
                                  {"type": "Voltage", "highMv": 0, "lowMv": 0},
                                  {"type": "Current", "highUa": 0, "lowUa": 0}]},
        "port": {"type": "TCP Client", "serverIp": "10.0.0.7", "serverPort": 502},
        "slaves": [],
        "rest": {"3": "01"}
    })");
}

TEST(JsonMeaning, HostSlaveOnUdpClientWithFixedSourcePort)
{
    NodeImage n{};
    n[0] = 10;                 // Host Slave
    n[1] = 42;                 // loop number
    n[2] = 0x06;               // bit 9 no-data B, bit 10 send SCF
    Put16(n, 3, 0x4001);       // UDP client, fixed source port
    n[5] = 10;
    n[6] = 1;
    n[7] = 2;
    n[8] = 3;
    Put16(n, 9, 123);
    n[365] = 51;               // 510 ms
    n[366] = 0x17;             // source port 6001, high byte first
    n[367] = 0x71;
    ExpectNodeMeaning(n, R"({
        "protocol": {"name": "Host Slave", "loopNumber": 42, "sendScf": true, "storeScf": false,
                     "noData": "Send last known", "pollRateMs": 510},
        "port": {"type": "UDP Client", "serverIp": "10.1.2.3", "serverPort": 123, "sourcePort": 6001},
        "slaves": []
    })");
}

TEST(JsonMeaning, ValuesOutsideEveryListAreStoredNumbers)
{
    NodeImage n{};
    n[0] = 1;                  // Control
    n[1] = 0x09;               // level 9
    n[2] = 0x01;               // bit 8: no field
    Put16(n, 3, 0x5000);
    n[9] = 7;                  // COM index 7
    n[11] = 7;                 // speed code 7: not in the speed table
    n[12] = 0x39;              // format 9, handshake 3
    ExpectNodeMeaning(n, R"({
        "protocol": {"name": "Control", "monitorLevel": 9},
        "port": {"type": "Async Serial", "comPort": 7, "baudCode": 7, "frameFormat": 9, "handshake": 3},
        "slaves": [],
        "rest": {"2": "01"}
    })");
}

TEST(JsonMeaning, UnknownProtocolAndPortTypeAreAllRemainder)
{
    NodeImage n{};
    n[0] = 14;
    n[1] = 0x34;
    n[2] = 0x12;
    Put16(n, 3, 0x9ABC);       // port type 9
    n[11] = 7;
    ExpectNodeMeaning(n, R"({
        "protocol": {"code": 14},
        "port": {"typeCode": 9},
        "slaves": [],
        "rest": {"1": "3412bc0a", "11": "07"}
    })");
}

TEST(JsonMeaning, SlaveCountAboveTheTable)
{
    NodeImage n{};
    n[0] = 13;                 // Null
    n[1] = 0xA5;               // fill byte
    n[2] = 0x03;               // use offset, bit 9 (no field)
    Put16(n, 3, 0x8000);       // SPI
    n[9] = 5;                  // SD Card
    n[14] = 60;
    for (size_t k = 0; k < 50; ++k)
        n[15 + k] = uint8_t(k);
    ConfigData config;
    WithNode(config, n);
    const Json node = Json::parse(ExportJson(config))["nodes"][0];
    EXPECT_EQ(node["protocol"], Json::parse(R"({"name": "Null", "fill": "A5", "useOffset": true})"));
    EXPECT_EQ(node["port"], Json::parse(R"({"type": "SPI", "device": "SD Card"})"));
    ASSERT_EQ(node["slaves"].size(), 50u);
    EXPECT_EQ(node["slaves"][49], Json::parse(R"({"id": 49, "readOffset": 1, "readSize": 0, "writeOffset": 1,
                                                  "writeSize": 0})"));
    EXPECT_EQ(node["storedSlaveCount"], 60);
    EXPECT_EQ(node["rest"], Json::parse(R"({"2": "02"})"));
}

// The general settings, IP block and notes, with what no name covers.
TEST(JsonMeaning, GeneralIpAndNotes)
{
    Bytes main(vectors::kMain, 0);
    main[0] = 7;               // write protect byte other than 0 or 1
    main[1] = 60;
    main[2] = 9;
    main[3] = 30;
    main[4] = 9;               // node count above 6
    main[5] = 0xAA;            // reserved
    Bytes ip = {10, 0, 0, 2, 255, 255, 0, 0, 10, 0, 0, 1, 0x00, 0x11, 0x22, 0xAA, 0xBB, 0xCC,
                0x17, 0x73, 0xFF, 0xFF, 0x34, 0x12};
    ASSERT_NE(vectors::ReferenceCrc(ip.data(), 22), 0x1234);
    uint8_t notes[kNotesSize] = {'H', 'i', 0xE9, 0, 'x'};
    MainBlock mainBlock;
    IpBlock ipBlock;
    std::memcpy(&mainBlock, main.data(), main.size());
    std::memcpy(&ipBlock, ip.data(), ip.size());
    ConfigData config;
    config.SetBlocks(mainBlock, ipBlock, notes);

    const char* zeroNode = R"({"protocol": {"code": 0}, "port": {"typeCode": 0}, "slaves": []})";
    Json expected = Json::parse(R"({
        "formatVersion": 1,
        "general": {"writeProtect": 7, "dataAgeSecs": 60, "sdLogLevel": 9, "sdLogAgeDays": 30,
                    "storedNodeCount": 9, "rest": {"5": "aa"}},
        "notes": "Hi\u00e9",
        "notesRest": {"4": "78"},
        "ip": {"address": "10.0.0.2", "subnetMask": "255.255.0.0", "gateway": "10.0.0.1",
               "mac": "00:11:22:AA:BB:CC", "bootLoaderPort": 6003, "reserved": 65535, "storedChecksum": 4660},
        "nodes": []
    })");
    for (int i = 0; i < 6; ++i)
        expected["nodes"].push_back(Json::parse(zeroNode));
    EXPECT_EQ(Json::parse(ExportJson(config)), expected);

    ConfigData imported;
    wxString error;
    ASSERT_TRUE(ImportJson(expected.dump(), imported, error)) << error;
    const DocumentState state(imported);
    EXPECT_EQ(HexDump(state.main.data(), state.main.size()), HexDump(main.data(), main.size()));
    EXPECT_EQ(HexDump(state.ip.data(), state.ip.size()), HexDump(ip.data(), ip.size()));
    EXPECT_EQ(HexDump(state.notes.data(), state.notes.size()), HexDump(notes, kNotesSize));
}

// Without a stored checksum the import computes the IP block's own, and
// the write-protect flag and node count take their plain forms.
TEST(JsonMeaning, ImportComputesTheIpChecksum)
{
    const char* text = R"({"formatVersion": 1,
        "general": {"writeProtect": true, "dataAgeSecs": 1, "sdLogLevel": 2, "sdLogAgeDays": 3},
        "notes": "",
        "ip": {"address": "10.0.0.2", "subnetMask": "255.255.255.0", "gateway": "10.0.0.1",
               "mac": "02:00:00:00:00:01", "bootLoaderPort": 6003, "reserved": 0},
        "nodes": []})";
    ConfigData imported;
    wxString error;
    ASSERT_TRUE(ImportJson(text, imported, error)) << error;
    Bytes ip = {10, 0, 0, 2, 255, 255, 255, 0, 10, 0, 0, 1, 0x02, 0, 0, 0, 0, 0x01, 0x17, 0x73, 0, 0, 0, 0};
    vectors::Put16(ip, 22, vectors::ReferenceCrc(ip.data(), 22));
    const DocumentState state(imported);
    EXPECT_EQ(HexDump(state.ip.data(), state.ip.size()), HexDump(ip.data(), ip.size()));
    Bytes main(vectors::kMain, 0);
    main[0] = 1;
    main[1] = 1;
    main[2] = 2;
    main[3] = 3;
    EXPECT_EQ(HexDump(state.main.data(), state.main.size()), HexDump(main.data(), main.size()));
    EXPECT_EQ(state.notes, Bytes(kNotesSize, 0));
}
