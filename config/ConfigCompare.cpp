#include "config/ConfigCompare.h"

#include "config/ConfigData.h"
#include "print/ConfigReport.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

const char* const kAbsent = "(none)";

struct Named {
    wxString label;
    wxString value;
};
using NamedList = std::vector<Named>;

using Differences = std::vector<ConfigDifference>;

void Add(Differences& out, const wxString& field, const wxString& first, const wxString& second, bool toDevice = true)
{
    out.push_back(ConfigDifference{field, first, second, toDevice});
}

// "  Label:     value" as the report writes its lines.
void AddReportLines(const ReportLines& lines, const wxString& prefix, NamedList& out)
{
    for (const ReportLine& line : lines) {
        const wxString text = wxString(line.text).Trim(false);
        const int colon = text.Find(':');
        if (colon == wxNOT_FOUND)
            continue;
        out.push_back(Named{prefix + text.Left(size_t(colon)), text.Mid(size_t(colon) + 1).Trim(false).Trim()});
    }
}

// What the node editor's protocol and port pages show of a node, named as
// the report names it.
NamedList NodeHead(const NodeEntry& node)
{
    NamedList named;
    named.push_back(Named{"Protocol", ProtocolNameText(node.protocol)});
    named.push_back(Named{"Port", PortText(node)});
    ReportLines lines;
    AppendProtocolLines(node, lines);
    AddReportLines(lines, "Protocol - ", named);
    lines.clear();
    AppendPortLines(node, lines);
    AddReportLines(lines, "Port - ", named);
    return named;
}

bool SameNamed(const NamedList& a, const NamedList& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].label != b[i].label || a[i].value != b[i].value)
            return false;
    return true;
}

// The fields of both lists, by label, in the first list's order and then
// the second's.
void CompareNamed(const NamedList& a, const NamedList& b, const wxString& prefix, Differences& out)
{
    const auto find = [](const NamedList& list, const wxString& label) -> const Named* {
        for (const Named& n : list)
            if (n.label == label)
                return &n;
        return nullptr;
    };
    for (const Named& n : a) {
        const Named* other = find(b, n.label);
        if (!other)
            Add(out, prefix + n.label, n.value, kAbsent);
        else if (other->value != n.value)
            Add(out, prefix + n.label, n.value, other->value);
    }
    for (const Named& n : b)
        if (!find(a, n.label))
            Add(out, prefix + n.label, kAbsent, n.value);
}

wxString Hex(const uint8_t* bytes, size_t count)
{
    wxString text;
    for (size_t i = 0; i < count; ++i)
        text += wxString::Format(i ? " %02X" : "%02X", bytes[i]);
    return text;
}

// Runs of differing bytes in [begin, end) for which `hidden` holds, each as
// "<prefix>offset 12" or "offsets 12-19" with both sides in hex.
template <typename Hidden>
void AddRawRuns(const uint8_t* a, const uint8_t* b, size_t begin, size_t end, const wxString& prefix, Hidden hidden,
                Differences& out)
{
    for (size_t i = begin; i < end;) {
        if (a[i] == b[i] || !hidden(i)) {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < end && a[j] != b[j] && hidden(j))
            ++j;
        const wxString where = j - i == 1 ? wxString::Format("offset %zu", i)
                                          : wxString::Format("offsets %zu-%zu", i, j - 1);
        Add(out, prefix + where, Hex(a + i, j - i), Hex(b + i, j - i));
        i = j;
    }
}

constexpr size_t kSlaveTableBegin = offsetof(NodeEntry, slaveCount);
constexpr size_t kSlaveTableEnd = offsetof(NodeEntry, protocolExtra);

unsigned SlavesOf(const NodeEntry& node)
{
    return std::min<unsigned>(node.slaveCount, kMaxSlaves);
}

// True when the slave-table byte at `offset` belongs to an entry below
// `count`, where the slave lines show it.
bool SlaveByteShown(size_t offset, unsigned count)
{
    const struct {
        size_t begin;
        size_t width;
    } arrays[] = {
        {offsetof(NodeEntry, slaveId), 1},    {offsetof(NodeEntry, readStart), 2},
        {offsetof(NodeEntry, readLength), 1}, {offsetof(NodeEntry, writeStart), 2},
        {offsetof(NodeEntry, writeLength), 1},
    };
    if (offset == offsetof(NodeEntry, slaveCount))
        return true;
    for (const auto& array : arrays)
        if (offset >= array.begin && offset < array.begin + array.width * kMaxSlaves)
            return (offset - array.begin) / array.width < count;
    return false;
}

void CompareSlaves(const NodeEntry& a, const NodeEntry& b, const wxString& prefix, Differences& out)
{
    const unsigned countA = SlavesOf(a);
    const unsigned countB = SlavesOf(b);
    if (a.slaveCount != b.slaveCount)
        Add(out, prefix + "Slaves", wxString::Format("%u", a.slaveCount), wxString::Format("%u", b.slaveCount));
    const auto number = [](bool present, unsigned value) {
        return present ? wxString::Format("%u", value) : wxString(kAbsent);
    };
    for (unsigned k = 0; k < std::max(countA, countB); ++k) {
        const bool inA = k < countA;
        const bool inB = k < countB;
        const unsigned valuesA[] = {a.slaveId[k], a.readStart[k], a.readLength[k], a.writeStart[k], a.writeLength[k]};
        const unsigned valuesB[] = {b.slaveId[k], b.readStart[k], b.readLength[k], b.writeStart[k], b.writeLength[k]};
        const char* const names[] = {"ID", "Read offset", "Read size", "Write offset", "Write size"};
        for (size_t f = 0; f < 5; ++f) {
            if (inA && inB && valuesA[f] == valuesB[f])
                continue;
            Add(out, prefix + wxString::Format("Slave %u - %s", k + 1, names[f]), number(inA, valuesA[f]),
                number(inB, valuesB[f]));
        }
    }
}

// True when some bit that differs between the two bytes at `offset`
// changes nothing the protocol and port pages show, in either node's
// context.
bool HeadByteHidesSomething(const NodeEntry& a, const NodeEntry& b, const NamedList& namedA, const NamedList& namedB,
                            size_t offset)
{
    const uint8_t diff = reinterpret_cast<const uint8_t*>(&a)[offset] ^ reinterpret_cast<const uint8_t*>(&b)[offset];
    for (unsigned bit = 0; bit < 8; ++bit) {
        const uint8_t mask = uint8_t(1u << bit);
        if (!(diff & mask))
            continue;
        NodeEntry flippedA = a;
        reinterpret_cast<uint8_t*>(&flippedA)[offset] ^= mask;
        if (!SameNamed(NodeHead(flippedA), namedA))
            continue;
        NodeEntry flippedB = b;
        reinterpret_cast<uint8_t*>(&flippedB)[offset] ^= mask;
        if (!SameNamed(NodeHead(flippedB), namedB))
            continue;
        return true;
    }
    return false;
}

void CompareNode(const NodeEntry& a, const NodeEntry& b, unsigned number, Differences& out)
{
    if (std::memcmp(&a, &b, sizeof a) == 0)
        return;
    const wxString prefix = wxString::Format("Node %u - ", number);
    const NamedList namedA = NodeHead(a);
    const NamedList namedB = NodeHead(b);
    CompareNamed(namedA, namedB, prefix, out);
    CompareSlaves(a, b, prefix, out);

    const auto* bytesA = reinterpret_cast<const uint8_t*>(&a);
    const auto* bytesB = reinterpret_cast<const uint8_t*>(&b);
    const unsigned shownSlaves = std::max(SlavesOf(a), SlavesOf(b));
    AddRawRuns(bytesA, bytesB, 0, sizeof a, prefix,
               [&](size_t offset) {
                   if (offset >= kSlaveTableBegin && offset < kSlaveTableEnd)
                       return !SlaveByteShown(offset, shownSlaves);
                   return HeadByteHidesSomething(a, b, namedA, namedB, offset);
               },
               out);
}

wxString NodeSummary(const NodeEntry& node)
{
    return ProtocolNameText(node.protocol) + " | " + PortText(node);
}

void CompareNodes(const MainBlock& a, const MainBlock& b, const CompareScope& scope, Differences& out)
{
    const unsigned countA = std::min<unsigned>(a.nodeCount, kMaxNodes);
    const unsigned countB = std::min<unsigned>(b.nodeCount, kMaxNodes);
    for (unsigned i = 0; i < kMaxNodes; ++i) {
        const NodeEntry& nodeA = a.node[i];
        const NodeEntry& nodeB = b.node[i];
        const bool inA = i < countA;
        const bool inB = i < countB;
        if (inA && inB) {
            CompareNode(nodeA, nodeB, i + 1, out);
        } else if (inA || inB) {
            Add(out, wxString::Format("Node %u", i + 1), inA ? NodeSummary(nodeA) : wxString(kAbsent),
                inB ? NodeSummary(nodeB) : wxString(kAbsent));
        } else if (scope.unusedNodeEntries) {
            AddRawRuns(reinterpret_cast<const uint8_t*>(&nodeA), reinterpret_cast<const uint8_t*>(&nodeB), 0,
                       sizeof nodeA, wxString::Format("Node %u (unused entry) - ", i + 1), [](size_t) { return true; },
                       out);
        }
    }
}

// A named field whose text can hide a difference in its byte (write
// protect reads 1 and 2 alike as "Yes") gives the bytes too.
void CompareByteField(uint8_t a, uint8_t b, const wxString& field, const wxString& textA, const wxString& textB,
                      Differences& out)
{
    if (a == b)
        return;
    if (textA != textB)
        Add(out, field, textA, textB);
    else
        Add(out, field + " (stored byte)", wxString::Format("%u", a), wxString::Format("%u", b));
}

void CompareHeader(const MainBlock& a, const MainBlock& b, Differences& out)
{
    const wxString general = "General Settings - ";
    const auto yesNo = [](uint8_t v) { return wxString(v ? "Yes" : "No"); };
    CompareByteField(a.writeProtect, b.writeProtect, general + "Write Protect", yesNo(a.writeProtect),
                     yesNo(b.writeProtect), out);
    CompareByteField(a.dataAge, b.dataAge, general + "Database data age", wxString::Format("%u secs", a.dataAge),
                     wxString::Format("%u secs", b.dataAge), out);
    CompareByteField(a.sdLogLevel, b.sdLogLevel, general + "SD card log level", wxString::Format("%u", a.sdLogLevel),
                     wxString::Format("%u", b.sdLogLevel), out);
    CompareByteField(a.sdLogAge, b.sdLogAge, general + "SD card log age", wxString::Format("%u days", a.sdLogAge),
                     wxString::Format("%u days", b.sdLogAge), out);
    CompareByteField(a.nodeCount, b.nodeCount, "Nodes", wxString::Format("%u", a.nodeCount),
                     wxString::Format("%u", b.nodeCount), out);
    AddRawRuns(reinterpret_cast<const uint8_t*>(&a), reinterpret_cast<const uint8_t*>(&b),
               offsetof(MainBlock, reserved), kMainHeaderSize, "General Settings - ", [](size_t) { return true; },
               out);
}

void CompareIp(const ConfigData& first, const ConfigData& second, const CompareScope& scope, Differences& out)
{
    IpBlock a = first.GetIpBlock();
    IpBlock b = second.GetIpBlock();
    if (!scope.macAddress) {
        std::memcpy(b.macAddress, a.macAddress, sizeof a.macAddress);
    }
    const size_t before = out.size();
    IpTexts textsA, textsB;
    first.GetIpTexts(textsA);
    second.GetIpTexts(textsB);
    const wxString ip = "IP Settings - ";
    const struct {
        const char* name;
        const wxString& valueA;
        const wxString& valueB;
        size_t offset;
        size_t size;
    } fields[] = {
        {"IP Address", textsA.ipAddress, textsB.ipAddress, offsetof(IpBlock, ipAddress), 4},
        {"Subnet Mask", textsA.subnetMask, textsB.subnetMask, offsetof(IpBlock, subnetMask), 4},
        {"Gateway", textsA.gateway, textsB.gateway, offsetof(IpBlock, gateway), 4},
        {"MAC Address", textsA.macAddress, textsB.macAddress, offsetof(IpBlock, macAddress), 6},
        {"Boot Loader Port", textsA.bootLoaderPort, textsB.bootLoaderPort, offsetof(IpBlock, bootLoaderPort), 2},
    };
    const auto* bytesA = reinterpret_cast<const uint8_t*>(&a);
    const auto* bytesB = reinterpret_cast<const uint8_t*>(&b);
    for (const auto& field : fields)
        if (std::memcmp(bytesA + field.offset, bytesB + field.offset, field.size) != 0)
            Add(out, ip + field.name, field.valueA, field.valueB);
    AddRawRuns(bytesA, bytesB, offsetof(IpBlock, ipReserved), offsetof(IpBlock, ipCrc), ip,
               [](size_t) { return true; }, out);
    // The block's checksum follows its other bytes; on its own it tells of
    // a block stored with a wrong checksum. It covers the MAC address too.
    if (out.size() == before && scope.macAddress)
        AddRawRuns(bytesA, bytesB, offsetof(IpBlock, ipCrc), sizeof a, ip + "checksum ", [](size_t) { return true; },
                   out);
}

void CompareNotes(const ConfigData& first, const ConfigData& second, Differences& out)
{
    const uint8_t* a = first.GetNotesBlock();
    const uint8_t* b = second.GetNotesBlock();
    if (std::memcmp(a, b, kNotesSize) == 0)
        return;
    const wxString notesA = first.GetNotes();
    const wxString notesB = second.GetNotes();
    if (notesA != notesB) {
        Add(out, "Notes", notesA, notesB, false);
        return;
    }
    // Bytes after the text's end differ.
    Differences raw;
    AddRawRuns(a, b, 0, kNotesSize, "Notes - ", [](size_t) { return true; }, raw);
    for (ConfigDifference& d : raw)
        d.toDevice = false;
    out.insert(out.end(), raw.begin(), raw.end());
}

} // namespace

wxString ConfigDifference::Text() const
{
    return field + ": " + first + " -> " + second + (toDevice ? "" : " (file only)");
}

CompareScope DeviceScope(bool macSent)
{
    CompareScope scope;
    scope.notes = false;
    scope.macAddress = macSent;
    scope.unusedNodeEntries = false;
    return scope;
}

std::vector<ConfigDifference> CompareConfigurations(const ConfigData& first, const ConfigData& second,
                                                    const CompareScope& scope)
{
    Differences out;
    const MainBlock& a = first.GetMainBlock();
    const MainBlock& b = second.GetMainBlock();
    CompareHeader(a, b, out);
    CompareNodes(a, b, scope, out);
    CompareIp(first, second, scope, out);
    if (scope.notes)
        CompareNotes(first, second, out);
    return out;
}
