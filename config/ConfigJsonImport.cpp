// Reading the JSON form back: every value checked before the document is
// touched, each refusal naming its place and what is allowed there.
#include "config/ConfigJson.h"

#include "config/BlockCrc.h"
#include "config/ConfigData.h"
#include "config/ConfigJsonForm.h"
#include "config/FileAccess.h"
#include "config/NodeFieldTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace NodeFields;
using namespace ConfigJsonForm;

namespace {

// A JSON export is a few kilobytes; anything this large is no export.
constexpr size_t kMaxJsonSize = 4u << 20;

// The first thing wrong with the document: where, and what is allowed.
// Thrown only inside this file; ImportJson turns it into its error text.
struct Invalid {
    std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw Invalid{path.empty() ? what : path + ": " + what};
}

std::string Quoted(const std::string& text) { return Json(text).dump(); }

std::string Shown(const Json& value)
{
    std::string text = value.dump();
    return text.size() > 40 ? text.substr(0, 37) + "..." : text;
}

std::string Member(const std::string& path, const std::string& key) { return path.empty() ? key : path + "." + key; }
std::string Element(const std::string& path, size_t index) { return path + "[" + std::to_string(index) + "]"; }

std::string NameList(const std::vector<const char*>& names)
{
    std::string list;
    for (const char* name : names)
        list += (list.empty() ? "" : ", ") + Quoted(name);
    return list;
}

std::string TypeName(const Json& value)
{
    if (value.is_number())
        return "a number";
    if (value.is_boolean())
        return "true/false";
    return std::string(value.is_string() ? "a text" : value.is_array() ? "a list" : value.is_object() ? "an object" : "null");
}

const Json& ObjectAt(const Json& value, const std::string& path)
{
    if (!value.is_object())
        Fail(path, "is " + TypeName(value) + ", an object {...} is expected");
    return value;
}

// Refuses keys outside `allowed`, and missing keys among `required`.
void CheckKeys(const Json& object, const std::string& path, const std::vector<std::string>& allowed,
               const std::vector<std::string>& required)
{
    for (const auto& item : object.items()) {
        bool known = false;
        for (const std::string& key : allowed)
            known = known || key == item.key();
        if (!known) {
            std::string list;
            for (const std::string& key : allowed)
                list += (list.empty() ? "" : ", ") + key;
            Fail(Member(path, item.key()), "unknown key (allowed here: " + list + ")");
        }
    }
    for (const std::string& key : required)
        if (!object.contains(key))
            Fail(path, Quoted(key) + " is missing");
}

std::string Range(long long low, long long high) { return std::to_string(low) + ".." + std::to_string(high); }

long long Integer(const Json& value, const std::string& path, long long low, long long high)
{
    if (!value.is_number_integer())
        Fail(path, Shown(value) + " is not a whole number (allowed: " + Range(low, high) + ")");
    const bool tooLarge = value.is_number_unsigned() && value.get<unsigned long long>() > (unsigned long long)(high);
    const long long number = tooLarge ? high + 1 : value.get<long long>();
    if (tooLarge || number < low || number > high)
        Fail(path, Shown(value) + " is outside " + Range(low, high));
    return number;
}

// Integer() of a member whose place is spelled out only for a message: a
// slave table is read many times over.
long long IntegerAt(const Json& object, const std::string& path, const char* key, long long low, long long high)
{
    const Json& value = object.at(key);
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        const long long number = value.get<long long>();
        if (number >= low && number <= high)
            return number;
    } else if (value.is_number_unsigned() && value.get<unsigned long long>() <= (unsigned long long)(high) &&
               (long long)(value.get<unsigned long long>()) >= low) {
        return (long long)(value.get<unsigned long long>());
    }
    return Integer(value, Member(path, key), low, high);
}

bool Boolean(const Json& value, const std::string& path)
{
    if (!value.is_boolean())
        Fail(path, Shown(value) + " is not true or false");
    return value.get<bool>();
}

const std::string& Text(const Json& value, const std::string& path, const std::string& expected)
{
    if (!value.is_string())
        Fail(path, Shown(value) + " is not a text (expected " + expected + ")");
    return value.get_ref<const std::string&>();
}

// Reads n numbers separated by `separator`: decimal 0..255 or, for a MAC,
// two hexadecimal digits; false for anything else.
bool ParseBytes(const std::string& text, size_t n, char separator, bool hex, uint8_t* out)
{
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (pos >= text.size() || text[pos++] != separator))
            return false;
        unsigned value = 0;
        size_t digits = 0;
        for (; pos < text.size() && digits < 3; ++pos, ++digits) {
            const char c = text[pos];
            if (c >= '0' && c <= '9')
                value = value * (hex ? 16 : 10) + unsigned(c - '0');
            else if (hex && ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'))
                value = value * 16 + unsigned((c | 0x20) - 'a' + 10);
            else
                break;
        }
        if (digits == 0 || (hex && digits != 2) || value > 255)
            return false;
        out[i] = uint8_t(value);
    }
    return pos == text.size();
}

void ReadAddress(const Json& value, const std::string& path, uint8_t* out)
{
    const std::string& text = Text(value, path, "an IPv4 address such as \"192.168.1.10\"");
    if (!ParseBytes(text, 4, '.', false, out))
        Fail(path, Quoted(text) + " is not an IPv4 address (four numbers 0..255 joined by dots)");
}

// Index of a name from the list.
size_t ReadName(const Json& value, const std::string& path, const std::vector<const char*>& names)
{
    const std::string& text = Text(value, path, "one of " + NameList(names));
    for (size_t i = 0; i < names.size(); ++i)
        if (text == names[i])
            return i;
    Fail(path, Quoted(text) + " is not one of " + NameList(names));
}

// A name from the list, or a stored number that the field holds.
int ReadChoice(const Json& value, const std::string& path, const std::vector<const char*>& names, unsigned first,
               int low, int high)
{
    if (value.is_string())
        return int(first + ReadName(value, path, names));
    if (value.is_number_integer())
        return int(Integer(value, path, low, high));
    Fail(path, Shown(value) + " is neither one of " + NameList(names) + " nor a stored number " +
                   std::to_string(low) + ".." + std::to_string(high));
}

std::string SpeedList()
{
    std::string list;
    for (const SpeedCode& speed : kSpeedCodes)
        list += (list.empty() ? "" : ", ") + std::to_string(speed.baud);
    return list;
}

void ImportNamed(const Json& object, const std::string& path, const NamedField& named, NodeEntry& node)
{
    const std::string place = Member(path, named.key);
    const auto at = [&]() -> const Json& {
        if (!object.contains(named.key))
            Fail(path, Quoted(named.key) + " is missing");
        return object.at(named.key);
    };
    switch (named.kind) {
    case ValueKind::Number: {
        const Json& value = at();
        const int step = named.field.coding == Coding::TensTruncated || named.field.coding == Coding::TensRounded ? 10 : 1;
        const int number = int(Integer(value, place, MinValue(named.field), MaxValue(named.field)));
        if (number % step != 0)
            Fail(place, std::to_string(number) + " is not a multiple of 10 (the device keeps tens of milliseconds; "
                                                 "allowed: 0.." + std::to_string(MaxValue(named.field)) + ")");
        SetValue(node, named.field, number);
        break;
    }
    case ValueKind::Flag: SetFlag(node, named.field, Boolean(at(), place)); break;
    case ValueKind::Choice:
        SetValue(node, named.field,
                 ReadChoice(at(), place, named.names, named.firstValue, MinValue(named.field), MaxValue(named.field)));
        break;
    case ValueKind::PairChoice: SetChoice(node, named.pair, unsigned(ReadName(at(), place, named.names))); break;
    case ValueKind::HexByte: {
        const std::string& text = Text(at(), place, "two hexadecimal digits such as \"A5\"");
        uint8_t byte = 0;
        if (!ParseBytes(text, 1, ' ', true, &byte))
            Fail(place, Quoted(text) + " is not a byte in two hexadecimal digits (\"00\"..\"FF\")");
        SetValue(node, named.field, byte);
        break;
    }
    case ValueKind::Speed: {
        const bool hasBaud = object.contains(named.key), hasCode = object.contains(kBaudCodeKey);
        if (hasBaud == hasCode)
            Fail(path, std::string("give either \"") + named.key + "\" (" + SpeedList() + ") or \"" + kBaudCodeKey +
                           "\" (a stored speed code 0..255)");
        if (hasCode) {
            node.baudCode = uint8_t(Integer(object.at(kBaudCodeKey), Member(path, kBaudCodeKey), 0, 255));
            break;
        }
        const long long baud = Integer(at(), place, 0, 0xFFFFFFFFll);
        bool found = false;
        for (const SpeedCode& speed : kSpeedCodes)
            if (speed.baud == baud) {
                node.baudCode = speed.code;
                found = true;
            }
        if (!found)
            Fail(place, std::to_string(baud) + " is not a speed the port offers (" + SpeedList() + ")");
        break;
    }
    case ValueKind::Address: ReadAddress(at(), place, node.remoteIp); break;
    case ValueKind::SourcePort: {
        if (!SourcePortAllowed(node.protocol)) {
            if (object.contains(named.key))
                Fail(place, std::string("a node running ") + ProtocolName(node.protocol) +
                                " keeps its first trigger in these bytes, so it has no source port");
            break;
        }
        const Json& value = at();
        const bool fixed = !(value.is_string() && value.get_ref<const std::string&>() == "Auto");
        if (fixed && !value.is_number_integer())
            Fail(place, Shown(value) + " is neither \"Auto\" nor a port number 0..65535");
        SetFlag(node, kClientFixedSourcePort, fixed);
        if (fixed)
            SetValue(node, kClientSourcePort, int(Integer(value, place, 0, 65535)));
        break;
    }
    case ValueKind::Channels: {
        const Json& list = at();
        if (!list.is_array() || list.size() != kAnalogueChannels)
            Fail(place, "a list of " + std::to_string(kAnalogueChannels) + " channels is expected");
        for (unsigned c = 0; c < kAnalogueChannels; ++c) {
            const std::string where = Element(place, c);
            const Json& channel = ObjectAt(list[c], where);
            if (!channel.contains("type"))
                Fail(where, "\"type\" is missing");
            const std::vector<const char*> types(kChannelTypeNames.begin(), kChannelTypeNames.end());
            const bool voltage = ReadName(channel["type"], Member(where, "type"), types) == 1;
            const std::string high = TriggerKey("high", voltage), low = TriggerKey("low", voltage);
            CheckKeys(channel, where, {"type", high, low}, {"type", high, low});
            const ChannelFields fields = AnalogueChannel(c);
            SetFlag(node, fields.voltage, voltage);
            SetValue(node, fields.high, int(Integer(channel[high], Member(where, high), 0, 65535)));
            SetValue(node, fields.low, int(Integer(channel[low], Member(where, low), 0, 65535)));
        }
        break;
    }
    }
}

std::vector<std::string> KeysOf(const std::vector<NamedField>& fields, std::vector<std::string> keys)
{
    for (const NamedField& named : fields) {
        keys.push_back(named.key);
        if (named.kind == ValueKind::Speed)
            keys.push_back(kBaudCodeKey);
    }
    return keys;
}

// Reads the name (or the code of a value without a name) of a protocol or
// port type.
uint8_t ReadCode(const Json& object, const std::string& path, const char* nameKey, const char* codeKey,
                 const char* (*nameOf)(uint8_t), unsigned count, unsigned maxCode)
{
    std::vector<const char*> names;
    for (unsigned code = 1; code <= count; ++code)
        names.push_back(nameOf(uint8_t(code)));
    const bool hasName = object.contains(nameKey), hasCode = object.contains(codeKey);
    if (hasName == hasCode)
        Fail(path, std::string("give either \"") + nameKey + "\" (" + NameList(names) + ") or \"" + codeKey +
                       "\" (a stored code without a name)");
    if (hasName) {
        const std::string where = Member(path, nameKey);
        return uint8_t(1 + ReadName(object.at(nameKey), where, names));
    }
    const std::string where = Member(path, codeKey);
    const long long code = Integer(object.at(codeKey), where, 0, maxCode);
    if (const char* name = nameOf(uint8_t(code)))
        Fail(where, std::to_string(code) + " is " + Quoted(name) + ": give it as \"" + nameKey + "\"");
    return uint8_t(code);
}

// Reads the remainder runs of `key` in `object`, when given, into `rest`.
void ReadRemainder(const Json& object, const char* key, const std::string& path, uint8_t* rest, size_t size)
{
    if (!object.contains(key))
        return;
    const std::string place = Member(path, key);
    const Json& runs = ObjectAt(object.at(key), place);
    for (const auto& run : runs.items()) {
        const std::string where = Member(place, run.key());
        const std::string& key = run.key();
        size_t offset = 0;
        bool number = !key.empty() && key.size() <= 4;
        for (const char c : key) {
            number = number && c >= '0' && c <= '9';
            offset = offset * 10 + size_t(c - '0');
        }
        if (!number || offset >= size)
            Fail(where, "a key here is a byte offset 0.." + std::to_string(size - 1));
        const std::string& hex = Text(run.value(), where, "hexadecimal bytes such as \"00ff\"");
        if (hex.empty() || hex.size() % 2 != 0 || offset + hex.size() / 2 > size)
            Fail(where, Quoted(hex) + " is not a run of whole bytes in two hexadecimal digits each, ending by byte " +
                            std::to_string(size - 1));
        for (size_t i = 0; i < hex.size() / 2; ++i) {
            uint8_t byte = 0;
            if (!ParseBytes(hex.substr(2 * i, 2), 1, ' ', true, &byte))
                Fail(where, Quoted(hex) + " is not hexadecimal");
            if (rest[offset + i] != 0)
                Fail(where, "byte " + std::to_string(offset + i) + " is given twice");
            rest[offset + i] = byte;
        }
    }
}

// Adds the remainder to the named bytes; a remainder bit that a named value
// covers would be a second, conflicting spelling of that value.
void MergeRemainder(const std::string& path, const uint8_t* rest, const uint8_t* covered, uint8_t* block, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (rest[i] & covered[i])
            Fail(Member(path, "rest"), "byte " + std::to_string(i) + " bits " +
                                           wxString::Format("0x%02X", unsigned(rest[i] & covered[i])).ToStdString() +
                                           " belong to a named value; set them there");
        block[i] |= rest[i];
    }
}

NodeEntry ImportNode(const Json& value, const std::string& path)
{
    const Json& object = ObjectAt(value, path);
    CheckKeys(object, path, {"protocol", "port", "slaves", "storedSlaveCount", "rest"}, {"protocol", "port", "slaves"});
    NodeEntry node{};
    uint8_t rest[kNodeEntrySize] = {};
    ReadRemainder(object, "rest", path, rest, kNodeEntrySize);

    const std::string protocolPath = Member(path, "protocol");
    const Json& protocol = ObjectAt(object.at("protocol"), protocolPath);
    node.protocol = ReadCode(protocol, protocolPath, "name", "code", ProtocolName, kProtocolCount, 255);
    const auto& protocolFields = ProtocolNamedFields(node.protocol);
    CheckKeys(protocol, protocolPath, KeysOf(protocolFields, {"name", "code"}), {});
    for (const NamedField& named : protocolFields)
        ImportNamed(protocol, protocolPath, named, node);

    const std::string portPath = Member(path, "port");
    const Json& port = ObjectAt(object.at("port"), portPath);
    node.SetPortType(ReadCode(port, portPath, "type", "typeCode", PortTypeName, kPortTypeCount, 15));
    const auto& portFields = PortNamedFields(node.PortType());
    CheckKeys(port, portPath, KeysOf(portFields, {"type", "typeCode"}), {});
    for (const NamedField& named : portFields)
        ImportNamed(port, portPath, named, node);

    const std::string slavesPath = Member(path, "slaves");
    const Json& slaves = object.at("slaves");
    if (!slaves.is_array())
        Fail(slavesPath, "is " + TypeName(slaves) + ", a list [...] of slaves is expected");
    if (slaves.size() > kMaxSlaves)
        Fail(slavesPath, std::to_string(slaves.size()) + " slaves; a node holds at most " + std::to_string(kMaxSlaves));
    for (size_t k = 0; k < slaves.size(); ++k) {
        const std::string where = Element(slavesPath, k);
        const Json& slave = ObjectAt(slaves[k], where);
        static const std::vector<std::string> keys = {"id", "readOffset", "readSize", "writeOffset", "writeSize"};
        CheckKeys(slave, where, keys, keys);
        node.slaveId[k] = uint8_t(IntegerAt(slave, where, "id", 0, 255));
        node.readStart[k] = uint16_t(IntegerAt(slave, where, "readOffset", 1, 65536) - 1);
        node.readLength[k] = uint8_t(IntegerAt(slave, where, "readSize", 0, 255));
        node.writeStart[k] = uint16_t(IntegerAt(slave, where, "writeOffset", 1, 65536) - 1);
        node.writeLength[k] = uint8_t(IntegerAt(slave, where, "writeSize", 0, 255));
    }
    node.slaveCount = uint8_t(slaves.size());
    if (object.contains("storedSlaveCount")) {
        const std::string where = Member(path, "storedSlaveCount");
        if (slaves.size() != kMaxSlaves)
            Fail(where, "is only for a stored count above 50, with all 50 slaves listed");
        node.slaveCount = uint8_t(Integer(object.at("storedSlaveCount"), where, kMaxSlaves + 1, 255));
    }

    // What the named values cover can depend on remainder bits (bit B of a
    // pair whose bits are both set), so it is judged on the merged bytes.
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&node);
    for (size_t i = 0; i < kNodeEntrySize; ++i)
        bytes[i] |= rest[i];
    const NodeEntry covered = CoveredBits(node);
    MergeRemainder(path, rest, reinterpret_cast<const uint8_t*>(&covered), bytes, kNodeEntrySize);
    return node;
}

void ImportGeneral(const Json& value, MainBlock& main)
{
    const std::string path = "general";
    const Json& general = ObjectAt(value, path);
    CheckKeys(general, path, {"writeProtect", "dataAgeSecs", "sdLogLevel", "sdLogAgeDays", "storedNodeCount", "rest"},
              {"writeProtect", "dataAgeSecs", "sdLogLevel", "sdLogAgeDays"});
    const Json& protect = general.at("writeProtect");
    if (protect.is_boolean())
        main.writeProtect = protect.get<bool>() ? 1 : 0;
    else if (protect.is_number_integer())
        main.writeProtect = uint8_t(Integer(protect, Member(path, "writeProtect"), 2, 255));
    else
        Fail(Member(path, "writeProtect"), Shown(protect) + " is neither true/false nor a stored byte 2..255");
    main.dataAge = uint8_t(Integer(general.at("dataAgeSecs"), Member(path, "dataAgeSecs"), 0, 255));
    main.sdLogLevel = uint8_t(Integer(general.at("sdLogLevel"), Member(path, "sdLogLevel"), 0, 255));
    main.sdLogAge = uint8_t(Integer(general.at("sdLogAgeDays"), Member(path, "sdLogAgeDays"), 0, 255));
    uint8_t rest[kMainHeaderSize] = {};
    ReadRemainder(general, "rest", path, rest, kMainHeaderSize);
    MergeRemainder(path, rest, kHeaderCovered, reinterpret_cast<uint8_t*>(&main), kMainHeaderSize);
}

void ImportIp(const Json& value, IpBlock& ip)
{
    const std::string path = "ip";
    const Json& object = ObjectAt(value, path);
    const std::vector<std::string> keys = {"address", "subnetMask", "gateway", "mac", "bootLoaderPort", "reserved"};
    std::vector<std::string> allowed = keys;
    allowed.push_back("storedChecksum");
    CheckKeys(object, path, allowed, keys);
    ReadAddress(object.at("address"), Member(path, "address"), ip.ipAddress);
    ReadAddress(object.at("subnetMask"), Member(path, "subnetMask"), ip.subnetMask);
    ReadAddress(object.at("gateway"), Member(path, "gateway"), ip.gateway);
    const std::string macPath = Member(path, "mac");
    const std::string& mac = Text(object.at("mac"), macPath, "a MAC address such as \"00:50:C2:F0:A0:00\"");
    if (!ParseBytes(mac, 6, ':', true, ip.macAddress))
        Fail(macPath, Quoted(mac) + " is not a MAC address (six two-digit hexadecimal numbers joined by colons)");
    ip.SetBootLoaderPort(uint16_t(Integer(object.at("bootLoaderPort"), Member(path, "bootLoaderPort"), 0, 65535)));
    ip.ipReserved = uint16_t(Integer(object.at("reserved"), Member(path, "reserved"), 0, 65535));
    ip.ipCrc = BlockCrc(&ip, kIpCrcCoverage);
    if (object.contains("storedChecksum"))
        ip.ipCrc = uint16_t(Integer(object.at("storedChecksum"), Member(path, "storedChecksum"), 0, 65535));
}

void ImportNotes(const Json& document, uint8_t (&notes)[kNotesSize])
{
    const std::string& text = Text(document.at("notes"), "notes", "the notes as text");
    const wxString wide = wxString::FromUTF8(text.data(), text.size());
    if (wide.length() > kNotesSize - 1)
        Fail("notes", std::to_string(wide.length()) + " characters; the notes hold at most " +
                          std::to_string(kNotesSize - 1));
    uint8_t covered[kNotesSize] = {};
    size_t i = 0;
    for (const wxUniChar c : wide) {
        if (c.GetValue() == 0 || c.GetValue() > 0xFF)
            Fail("notes", wxString::Format("character %zu (U+%04X) is not one the notes can hold "
                                           "(one byte each: U+0001..U+00FF)",
                                           i + 1, unsigned(c.GetValue()))
                              .ToStdString());
        notes[i] = uint8_t(c.GetValue());
        covered[i++] = 0xFF;
    }
    if (i < kNotesSize - 1)
        covered[i] = 0xFF;   // the terminating NUL
    uint8_t rest[kNotesSize] = {};
    ReadRemainder(document, "notesRest", "", rest, kNotesSize);
    for (size_t b = 0; b < kNotesSize; ++b) {
        if (rest[b] & covered[b])
            Fail("notesRest", "byte " + std::to_string(b) + " is part of the notes text or its end");
        notes[b] |= rest[b];
    }
}

struct Image {
    MainBlock main{};
    IpBlock ip{};
    uint8_t notes[kNotesSize] = {};
};

void ImportNodes(const Json& document, MainBlock& main)
{
    const Json& nodes = document.at("nodes");
    if (!nodes.is_array())
        Fail("nodes", "is " + TypeName(nodes) + ", a list [...] of nodes is expected");
    if (nodes.size() > kMaxNodes)
        Fail("nodes", std::to_string(nodes.size()) + " nodes; a configuration holds at most " +
                          std::to_string(kMaxNodes));
    Json unused = Json::array();
    if (document.contains("unusedNodes")) {
        unused = document.at("unusedNodes");
        if (!unused.is_array())
            Fail("unusedNodes", "is " + TypeName(unused) + ", a list [...] of node entries is expected");
        if (nodes.size() + unused.size() > kMaxNodes)
            Fail("unusedNodes", std::to_string(unused.size()) + " entries after " + std::to_string(nodes.size()) +
                                    " nodes; a configuration stores " + std::to_string(kMaxNodes) + " entries in all");
    }
    for (size_t i = 0; i < nodes.size(); ++i)
        main.node[i] = ImportNode(nodes[i], Element("nodes", i));
    for (size_t i = 0; i < unused.size(); ++i)
        main.node[nodes.size() + i] = ImportNode(unused[i], Element("unusedNodes", i));
    main.nodeCount = uint8_t(nodes.size());
    const Json& general = document.at("general");
    if (general.contains("storedNodeCount")) {
        const std::string where = "general.storedNodeCount";
        if (nodes.size() != kMaxNodes)
            Fail(where, "is only for a stored count above 6, with all 6 nodes listed");
        main.nodeCount = uint8_t(Integer(general.at("storedNodeCount"), where, kMaxNodes + 1, 255));
    }
}

Image ImportDocument(const Json& document)
{
    ObjectAt(document, "the document");
    CheckKeys(document, "", {"$schema", "formatVersion", "general", "notes", "notesRest", "ip", "nodes", "unusedNodes"},
              {"formatVersion", "general", "notes", "ip", "nodes"});
    const long long version = Integer(document.at("formatVersion"), "formatVersion", 0, 1000000);
    if (version != kJsonFormatVersion)
        Fail("formatVersion", std::to_string(version) + " is not a version this program reads (" +
                                  std::to_string(kJsonFormatVersion) + ")");
    if (document.contains("$schema"))
        Text(document.at("$schema"), "$schema", "the schema's name");
    Image image;
    ImportGeneral(document.at("general"), image.main);
    ImportNotes(document, image.notes);
    ImportIp(document.at("ip"), image.ip);
    ImportNodes(document, image.main);
    return image;
}

// A key given twice would leave one of its values unread.
struct DuplicateKeyCheck {
    // The keys of each object being read; objects have few keys.
    std::vector<std::vector<std::string>> open;
    std::string duplicate;

    bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed)
    {
        if (event == Json::parse_event_t::object_start) {
            open.emplace_back();
        } else if (event == Json::parse_event_t::object_end && !open.empty()) {
            open.pop_back();
        } else if (event == Json::parse_event_t::key && !open.empty()) {
            const std::string& key = parsed.get_ref<const std::string&>();
            std::vector<std::string>& keys = open.back();
            if (std::find(keys.begin(), keys.end(), key) != keys.end()) {
                if (duplicate.empty())
                    duplicate = key;
            } else {
                keys.push_back(key);
            }
        }
        return true;
    }
};

} // namespace

bool ImportJson(const std::string& text, ConfigData& out, wxString& error)
{
    try {
        DuplicateKeyCheck duplicates;
        const Json document = Json::parse(text, std::ref(duplicates));
        if (!duplicates.duplicate.empty())
            Fail("", "the key " + Quoted(duplicates.duplicate) + " appears twice in one object");
        const Image image = ImportDocument(document);
        out.SetBlocks(image.main, image.ip, image.notes);
        return true;
    } catch (const Invalid& invalid) {
        error = wxString::FromUTF8(invalid.message);
    } catch (const Json::parse_error& parse) {
        // "[json.exception.parse_error.101] parse error at line 1, ..." without its tag.
        std::string what = parse.what();
        const size_t tag = what.find("] ");
        error = "not JSON: " + wxString::FromUTF8(tag == std::string::npos ? what : what.substr(tag + 2));
    } catch (const Json::exception& other) {
        error = wxString::FromUTF8(other.what());
    }
    return false;
}

bool LooksLikeJson(const std::string& bytes)
{
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string::npos && bytes[first] == '{';
}

namespace {

bool ImportFileText(const std::string& bytes, ConfigData& out, wxString& error)
{
    if (bytes.size() > kMaxJsonSize) {
        error = "File too large for a configuration";
        return false;
    }
    return ImportJson(bytes, out, error);
}

} // namespace

bool ImportJsonFile(const wxString& path, ConfigData& out, wxString& error)
{
    std::string bytes;
    return ReadFileHead(path, kMaxJsonSize + 1, bytes, error) && ImportFileText(bytes, out, error);
}

bool LoadAnyConfiguration(const wxString& path, ConfigData& out, wxString& error)
{
    std::string bytes;
    if (!ReadFileHead(path, kMaxJsonSize + 1, bytes, error))
        return false;
    return LooksLikeJson(bytes) ? ImportFileText(bytes, out, error) : out.Load(path, error);
}
