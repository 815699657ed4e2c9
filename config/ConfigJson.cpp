// Writing the JSON form: named values from the field table, the rest as
// remainder runs.
#include "config/ConfigJson.h"

#include "config/BlockCrc.h"
#include "config/ConfigData.h"
#include "config/ConfigJsonForm.h"
#include "config/NodeFieldTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace NodeFields;
using namespace ConfigJsonForm;

namespace {

// ---- Remainders --------------------------------------------------------
// The bits of a block that no named value covers, as runs of non-zero
// bytes keyed by their offset in the block: {"365": "00ff"}.

std::string HexText(const uint8_t* bytes, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

Json RemainderOf(const uint8_t* bytes, const uint8_t* covered, size_t size)
{
    std::vector<uint8_t> rest(size);
    for (size_t i = 0; i < size; ++i)
        rest[i] = uint8_t(bytes[i] & ~(covered ? covered[i] : 0));
    Json runs = Json::object();
    for (size_t i = 0; i < size;) {
        if (rest[i] == 0) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < size && rest[end] != 0)
            ++end;
        runs[std::to_string(i)] = HexText(&rest[i], end - i);
        i = end;
    }
    return runs;
}

void PutRemainder(Json& object, const char* key, const uint8_t* bytes, const uint8_t* covered, size_t size)
{
    Json runs = RemainderOf(bytes, covered, size);
    if (!runs.empty())
        object[key] = std::move(runs);
}

// ---- Export --------------------------------------------------------------

std::string AddressText(const uint8_t* b) { return wxString::Format("%d.%d.%d.%d", b[0], b[1], b[2], b[3]).ToStdString(); }

// A name from the list when the value has one, else the stored number.
Json NameOrNumber(const std::vector<const char*>& names, unsigned first, int value)
{
    if (value >= int(first) && size_t(value - int(first)) < names.size())
        return names[size_t(value) - first];
    return value;
}

void ExportNamed(const NodeEntry& node, const NamedField& named, Json& out)
{
    switch (named.kind) {
    case ValueKind::Number: out[named.key] = GetValue(node, named.field); break;
    case ValueKind::Flag: out[named.key] = GetFlag(node, named.field); break;
    case ValueKind::Choice:
        out[named.key] = NameOrNumber(named.names, named.firstValue, GetValue(node, named.field));
        break;
    case ValueKind::PairChoice: out[named.key] = named.names[GetChoice(node, named.pair)]; break;
    case ValueKind::HexByte: out[named.key] = FillText(uint8_t(GetValue(node, named.field))).ToStdString(); break;
    case ValueKind::Speed:
        if (SpeedIndexOf(node.baudCode) >= 0)
            out[named.key] = BaudOf(node.baudCode);
        else
            out[kBaudCodeKey] = node.baudCode;
        break;
    case ValueKind::Address: out[named.key] = AddressText(node.remoteIp); break;
    case ValueKind::SourcePort:
        if (!SourcePortAllowed(node.protocol))
            break;
        if (GetFlag(node, kClientFixedSourcePort))
            out[named.key] = GetValue(node, kClientSourcePort);
        else
            out[named.key] = "Auto";
        break;
    case ValueKind::Channels: {
        Json channels = Json::array();
        for (unsigned c = 0; c < kAnalogueChannels; ++c) {
            const ChannelFields channel = AnalogueChannel(c);
            const bool voltage = GetFlag(node, channel.voltage);
            channels.push_back({{"type", kChannelTypeNames[voltage]},
                                {TriggerKey("high", voltage), GetValue(node, channel.high)},
                                {TriggerKey("low", voltage), GetValue(node, channel.low)}});
        }
        out[named.key] = std::move(channels);
        break;
    }
    }
}

Json ExportNode(const NodeEntry& node)
{
    Json protocol = Json::object();
    if (const char* name = ProtocolName(node.protocol))
        protocol["name"] = name;
    else
        protocol["code"] = node.protocol;
    for (const NamedField& named : ProtocolNamedFields(node.protocol))
        ExportNamed(node, named, protocol);

    Json port = Json::object();
    if (const char* name = PortTypeName(node.PortType()))
        port["type"] = name;
    else
        port["typeCode"] = node.PortType();
    for (const NamedField& named : PortNamedFields(node.PortType()))
        ExportNamed(node, named, port);

    Json slaves = Json::array();
    for (unsigned k = 0; k < node.slaveCount && k < kMaxSlaves; ++k)
        slaves.push_back({{"id", node.slaveId[k]},
                          {"readOffset", node.readStart[k] + 1},
                          {"readSize", node.readLength[k]},
                          {"writeOffset", node.writeStart[k] + 1},
                          {"writeSize", node.writeLength[k]}});

    Json out = {{"protocol", std::move(protocol)}, {"port", std::move(port)}, {"slaves", std::move(slaves)}};
    if (node.slaveCount > kMaxSlaves)
        out["storedSlaveCount"] = node.slaveCount;
    const NodeEntry covered = CoveredBits(node);
    PutRemainder(out, "rest", reinterpret_cast<const uint8_t*>(&node), reinterpret_cast<const uint8_t*>(&covered),
                 kNodeEntrySize);
    return out;
}

bool IsZero(const void* bytes, size_t size)
{
    const uint8_t* b = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i)
        if (b[i])
            return false;
    return true;
}

Json ExportGeneral(const MainBlock& main)
{
    Json general = Json::object();
    if (main.writeProtect <= 1)
        general["writeProtect"] = main.writeProtect == 1;
    else
        general["writeProtect"] = main.writeProtect;
    general["dataAgeSecs"] = main.dataAge;
    general["sdLogLevel"] = main.sdLogLevel;
    general["sdLogAgeDays"] = main.sdLogAge;
    if (main.nodeCount > kMaxNodes)
        general["storedNodeCount"] = main.nodeCount;
    PutRemainder(general, "rest", reinterpret_cast<const uint8_t*>(&main), kHeaderCovered, kMainHeaderSize);
    return general;
}

Json ExportIp(const ConfigData& config)
{
    const IpBlock& block = config.GetIpBlock();
    IpTexts texts;
    config.GetIpTexts(texts);
    Json ip = {{"address", texts.ipAddress.ToStdString()},
               {"subnetMask", texts.subnetMask.ToStdString()},
               {"gateway", texts.gateway.ToStdString()},
               {"mac", texts.macAddress.ToStdString()},
               {"bootLoaderPort", block.BootLoaderPort()},
               {"reserved", unsigned(block.ipReserved)}};
    if (block.ipCrc != BlockCrc(&block, kIpCrcCoverage))
        ip["storedChecksum"] = unsigned(block.ipCrc);
    return ip;
}

} // namespace

std::string ExportJson(const ConfigData& config)
{
    const MainBlock& main = config.GetMainBlock();
    Json document = {{"formatVersion", kJsonFormatVersion}, {"general", ExportGeneral(main)}};
    document["notes"] = config.GetNotes().utf8_string();
    const uint8_t* notes = config.GetNotesBlock();
    uint8_t covered[kNotesSize] = {};
    const size_t length = strnlen(reinterpret_cast<const char*>(notes), kNotesSize - 1);
    // The text and its terminating NUL; byte 127 is no terminator when the
    // text fills the 127 bytes before it.
    std::memset(covered, 0xFF, std::min(length + 1, kNotesSize - 1));
    PutRemainder(document, "notesRest", notes, covered, kNotesSize);
    document["ip"] = ExportIp(config);

    const unsigned count = std::min<unsigned>(main.nodeCount, kMaxNodes);
    Json nodes = Json::array();
    for (unsigned i = 0; i < count; ++i)
        nodes.push_back(ExportNode(main.node[i]));
    document["nodes"] = std::move(nodes);
    // Entries past the node count are stored and sent all the same.
    unsigned last = kMaxNodes;
    while (last > count && IsZero(&main.node[last - 1], kNodeEntrySize))
        --last;
    if (last > count) {
        Json unused = Json::array();
        for (unsigned i = count; i < last; ++i)
            unused.push_back(ExportNode(main.node[i]));
        document["unusedNodes"] = std::move(unused);
    }
    return document.dump(2) + "\n";
}
