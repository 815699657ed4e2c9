// Import refuses what it cannot store exactly, names the place and what is
// allowed there, and leaves the document as it was.
#include "core/JsonSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace jsontest;

namespace {

// The example configuration's export: node 0 Control on TCP server 23,
// node 1 Control on async serial, node 2 UCE Master on async serial with
// two slaves, node 3 S2 Slave on a TCP client, node 4 Null.
Json ExampleDocument()
{
    ConfigData config;
    wxString error;
    EXPECT_TRUE(config.Load(std::string(QST_SOURCE_DIR) + "/docs/example.qst", error)) << error;
    return Json::parse(ExportJson(config));
}

struct BadCase {
    const char* what;
    std::function<void(Json&)> edit;
    std::string message;
};

// Analogue/Audio Master parameters with four voltage channels.
Json AnalogueProtocol()
{
    Json protocol = {{"name", "Analogue/Audio Master"}, {"inputMode", "Triggers"}, {"triggerPolarity", "Active low"},
                     {"noData", "Send all 0s"}, {"channels", Json::array()}};
    for (int c = 0; c < 4; ++c)
        protocol["channels"].push_back({{"type", "Voltage"}, {"highMv", 1}, {"lowMv", 2}});
    return protocol;
}

std::string Repeated(char c, size_t n) { return std::string(n, c); }

const char* const kProtocolNameList =
    "\"Control\", \"IO Master\", \"UCE Master\", \"UCE Slave\", \"S2 Master\", \"S2 Slave\", \"Genisys Master\", "
    "\"Genisys Slave\", \"Host Master\", \"Host Slave\", \"NTP Client\", \"Analogue/Audio Master\", \"Null\"";
const char* const kSpeeds = "600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000, 57600, 115200";

std::vector<BadCase> BadCases()
{
    return {
        {"speed not offered", [](Json& d) { d["nodes"][2]["port"]["baud"] = 12345; },
         std::string("nodes[2].port.baud: 12345 is not a speed the port offers (") + kSpeeds + ")"},
        {"speed and code", [](Json& d) { d["nodes"][1]["port"]["baudCode"] = 16; },
         std::string("nodes[1].port: give either \"baud\" (") + kSpeeds +
             ") or \"baudCode\" (a stored speed code 0..255)"},
        {"unknown key", [](Json& d) { d["nodes"][0]["port"]["bud"] = 1; },
         "nodes[0].port.bud: unknown key (allowed here: type, typeCode, listenPort)"},
        {"unknown top-level key", [](Json& d) { d["node"] = Json::array(); },
         "node: unknown key (allowed here: $schema, formatVersion, general, notes, notesRest, ip, nodes, unusedNodes)"},
        {"text for a number", [](Json& d) { d["general"]["dataAgeSecs"] = "60"; },
         "general.dataAgeSecs: \"60\" is not a whole number (allowed: 0..255)"},
        {"fraction", [](Json& d) { d["general"]["sdLogAgeDays"] = 30.5; },
         "general.sdLogAgeDays: 30.5 is not a whole number (allowed: 0..255)"},
        {"number too large", [](Json& d) { d["nodes"][0]["port"]["listenPort"] = 65536; },
         "nodes[0].port.listenPort: 65536 is outside 0..65535"},
        {"negative", [](Json& d) { d["general"]["sdLogLevel"] = -1; }, "general.sdLogLevel: -1 is outside 0..255"},
        {"huge", [](Json& d) { d["general"]["sdLogLevel"] = 18446744073709551615ull; },
         "general.sdLogLevel: 18446744073709551615 is outside 0..255"},
        {"seven nodes",
         [](Json& d) {
             d["nodes"].push_back(d["nodes"][0]);
             d["nodes"].push_back(d["nodes"][0]);
         },
         "nodes: 7 nodes; a configuration holds at most 6"},
        {"unused entries past six", [](Json& d) { d["unusedNodes"] = {d["nodes"][0], d["nodes"][0]}; },
         "unusedNodes: 2 entries after 5 nodes; a configuration stores 6 entries in all"},
        {"51 slaves",
         [](Json& d) {
             Json& slaves = d["nodes"][2]["slaves"];
             while (slaves.size() < 51)
                 slaves.push_back(slaves[0]);
         },
         "nodes[2].slaves: 51 slaves; a node holds at most 50"},
        {"stored slave count with a short table", [](Json& d) { d["nodes"][2]["storedSlaveCount"] = 60; },
         "nodes[2].storedSlaveCount: is only for a stored count above 50, with all 50 slaves listed"},
        {"IP address short", [](Json& d) { d["ip"]["address"] = "10.0.0"; },
         "ip.address: \"10.0.0\" is not an IPv4 address (four numbers 0..255 joined by dots)"},
        {"IP number above 255", [](Json& d) { d["ip"]["gateway"] = "10.0.0.256"; },
         "ip.gateway: \"10.0.0.256\" is not an IPv4 address (four numbers 0..255 joined by dots)"},
        {"server address", [](Json& d) { d["nodes"][3]["port"]["serverIp"] = "10.4.0.x"; },
         "nodes[3].port.serverIp: \"10.4.0.x\" is not an IPv4 address (four numbers 0..255 joined by dots)"},
        {"MAC", [](Json& d) { d["ip"]["mac"] = "00:50:C2:F0:A0"; },
         "ip.mac: \"00:50:C2:F0:A0\" is not a MAC address (six two-digit hexadecimal numbers joined by colons)"},
        {"format version", [](Json& d) { d["formatVersion"] = 2; },
         "formatVersion: 2 is not a version this program reads (1)"},
        {"missing key", [](Json& d) { d["general"].erase("sdLogLevel"); }, "general: \"sdLogLevel\" is missing"},
        {"missing field", [](Json& d) { d["nodes"][2]["protocol"].erase("noData"); },
         "nodes[2].protocol: \"noData\" is missing"},
        {"protocol name", [](Json& d) { d["nodes"][0]["protocol"]["name"] = "S3 Master"; },
         std::string("nodes[0].protocol.name: \"S3 Master\" is not one of ") + kProtocolNameList},
        {"code of a named protocol",
         [](Json& d) { d["nodes"][2]["protocol"] = {{"code", 3}}; },
         "nodes[2].protocol.code: 3 is \"UCE Master\": give it as \"name\""},
        {"choice name", [](Json& d) { d["nodes"][2]["protocol"]["noData"] = "Send zeros"; },
         "nodes[2].protocol.noData: \"Send zeros\" is not one of \"Don't send anything\", \"Send all 0s\", "
         "\"Send last known\""},
        {"choice type", [](Json& d) { d["nodes"][1]["port"]["comPort"] = true; },
         "nodes[1].port.comPort: true is neither one of \"COM1\", \"COM2\", \"COM3\", \"COM4\" nor a stored number "
         "0..65535"},
        {"flag type", [](Json& d) { d["nodes"][3]["protocol"]["extraByte"] = 1; },
         "nodes[3].protocol.extraByte: 1 is not true or false"},
        {"tens of milliseconds",
         [](Json& d) {
             Json& p = d["nodes"][3]["protocol"];
             p["name"] = "S2 Master";
             p.erase("prefix1Bit");
             p["pollRateMs"] = 1005;
         },
         "nodes[3].protocol.pollRateMs: 1005 is not a multiple of 10 (the device keeps tens of milliseconds; "
         "allowed: 0..2550)"},
        {"source port", [](Json& d) { d["nodes"][3]["port"]["sourcePort"] = "auto"; },
         "nodes[3].port.sourcePort: \"auto\" is neither \"Auto\" nor a port number 0..65535"},
        {"slave offset", [](Json& d) { d["nodes"][2]["slaves"][0]["readOffset"] = 0; },
         "nodes[2].slaves[0].readOffset: 0 is outside 1..65536"},
        {"slave key", [](Json& d) { d["nodes"][2]["slaves"][1]["readLength"] = 4; },
         "nodes[2].slaves[1].readLength: unknown key (allowed here: id, readOffset, readSize, writeOffset, "
         "writeSize)"},
        {"fill byte", [](Json& d) { d["nodes"][4]["protocol"]["fill"] = "100"; },
         "nodes[4].protocol.fill: \"100\" is not a byte in two hexadecimal digits (\"00\"..\"FF\")"},
        {"remainder over a named value", [](Json& d) { d["nodes"][0]["rest"] = {{"0", "01"}}; },
         "nodes[0].rest: byte 0 bits 0x01 belong to a named value; set them there"},
        {"remainder over a choice bit", [](Json& d) { d["nodes"][2]["rest"] = {{"1", "01"}}; },
         "nodes[2].rest: byte 1 bits 0x01 belong to a named value; set them there"},
        {"remainder offset", [](Json& d) { d["nodes"][0]["rest"] = {{"383", "01"}}; },
         "nodes[0].rest.383: a key here is a byte offset 0..382"},
        {"remainder past the end", [](Json& d) { d["general"]["rest"] = {{"12", "0102"}}; },
         "general.rest.12: \"0102\" is not a run of whole bytes in two hexadecimal digits each, ending by byte 12"},
        {"notes too long", [](Json& d) { d["notes"] = Repeated('a', 128); },
         "notes: 128 characters; the notes hold at most 127"},
        {"notes character", [](Json& d) { d["notes"] = "\xE2\x82\xAC 5"; },
         "notes: character 1 (U+20AC) is not one the notes can hold (one byte each: U+0001..U+00FF)"},
        {"notes remainder over the text", [](Json& d) { d["notesRest"] = {{"3", "41"}}; },
         "notesRest: byte 3 is part of the notes text or its end"},
        {"analogue trigger keys",
         [](Json& d) {
             d["nodes"][4]["protocol"] = AnalogueProtocol();
             d["nodes"][4]["protocol"]["channels"][1]["type"] = "Current";
         },
         "nodes[4].protocol.channels[1].highMv: unknown key (allowed here: type, highUa, lowUa)"},
        {"source port on analogue",
         [](Json& d) { d["nodes"][3]["protocol"] = AnalogueProtocol(); },
         "nodes[3].port.sourcePort: a node running Analogue/Audio Master keeps its first trigger in these bytes, so "
         "it has no source port"},
        {"not an object", [](Json& d) { d["nodes"][1] = 5; },
         "nodes[1]: is a number, an object {...} is expected"},
        {"whole document", [](Json& d) { d = Json::array(); },
         "the document: is a list, an object {...} is expected"},
    };
}

} // namespace

TEST(JsonImportErrors, EachNamesThePlaceAndLeavesTheDocument)
{
    const Json example = ExampleDocument();
    for (const BadCase& bad : BadCases()) {
        Json document = example;
        bad.edit(document);
        ConfigData config;
        config.AddNode();
        const DocumentState before(config);
        wxString error;
        EXPECT_FALSE(ImportJson(document.dump(), config, error)) << bad.what;
        EXPECT_EQ(error.utf8_string(), bad.message) << bad.what;
        EXPECT_TRUE(DocumentState(config) == before) << bad.what;
    }
}

TEST(JsonImportErrors, TextThatIsNoJsonOrRepeatsAKey)
{
    ConfigData config;
    const DocumentState before(config);
    wxString error;
    EXPECT_FALSE(ImportJson("{\"formatVersion\": 1,", config, error));
    EXPECT_EQ(error.utf8_string().rfind("not JSON: parse error at line 1, column 21", 0), 0u) << error;
    EXPECT_FALSE(ImportJson("", config, error));
    EXPECT_EQ(error.utf8_string().rfind("not JSON: ", 0), 0u) << error;

    Json document = ExampleDocument();
    std::string text = document.dump();
    text.insert(1, "\"formatVersion\": 1, ");
    EXPECT_FALSE(ImportJson(text, config, error));
    EXPECT_EQ(error, "the key \"formatVersion\" appears twice in one object");
    EXPECT_TRUE(DocumentState(config) == before);
}
