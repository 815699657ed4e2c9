#include "config/ConfigData.h"

#include "config/BlockCrc.h"
#include "config/NodeFields.h"

#include <wx/filename.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kDefaultIpAddress[4] = {192, 168, 1, 1};
constexpr uint8_t kDefaultSubnetMask[4] = {255, 255, 255, 0};
constexpr uint8_t kDefaultGateway[4] = {192, 168, 1, 254};
constexpr uint8_t kDefaultMac[6] = {0x00, 0x50, 0xC2, 0xF0, 0xA0, 0x00};
constexpr uint16_t kDefaultBootLoaderPort = 6003;

constexpr uint8_t kMaxSdLogLevel = 5;
constexpr uint8_t kBaudCode9600 = 16;

// Scans `text` with `format` into `count` numbers, each of which must fit a
// byte (negative numbers fail through the unsigned comparison).
bool ScanBytes(const wxString& text, const char* format, unsigned count, uint8_t* out)
{
    unsigned int v[6] = {};
    const wxScopedCharBuffer ascii = text.ToAscii();
    const int got = count == 4 ? std::sscanf(ascii.data(), format, &v[0], &v[1], &v[2], &v[3])
                               : std::sscanf(ascii.data(), format, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
    if (got != int(count))
        return false;
    for (unsigned i = 0; i < count; ++i) {
        if (v[i] > 255)
            return false;
        out[i] = uint8_t(v[i]);
    }
    return true;
}

} // namespace

ConfigData::ConfigData()
{
    SetDefaults();
    SetIpDefaults();
    m_modified = false;
    m_directory = wxFileName::GetCwd();
}

bool ConfigData::SetDefaults()
{
    std::memset(&m_main, 0, sizeof m_main);
    m_main.dataAge = 60;
    m_main.sdLogLevel = 2;
    m_main.sdLogAge = 30;
    m_main.nodeCount = 2;

    NodeEntry& link = m_main.node[0];
    link.protocol = PROTOCOL_CONTROL;
    link.protocolWord = 2;
    link.SetPortType(PORT_TCP_SERVER);
    link.portNumber = kControlLinkPort;

    NodeEntry& serial = m_main.node[1];
    serial.protocol = PROTOCOL_CONTROL;
    serial.protocolWord = 2;
    serial.SetPortType(PORT_ASYNC_SERIAL);
    serial.portNumber = 1;
    serial.baudCode = kBaudCode9600;

    m_modified = true;
    return true;
}

bool ConfigData::SetIpDefaults()
{
    std::memcpy(m_ip.ipAddress, kDefaultIpAddress, sizeof m_ip.ipAddress);
    std::memcpy(m_ip.subnetMask, kDefaultSubnetMask, sizeof m_ip.subnetMask);
    std::memcpy(m_ip.gateway, kDefaultGateway, sizeof m_ip.gateway);
    std::memcpy(m_ip.macAddress, kDefaultMac, sizeof m_ip.macAddress);
    m_ip.SetBootLoaderPort(kDefaultBootLoaderPort);
    m_ip.ipReserved = 0xFFFF;
    RecomputeIpCrc();
    m_modified = true;
    return true;
}

void ConfigData::RecomputeIpCrc()
{
    m_ip.ipCrc = BlockCrc(&m_ip, kIpCrcCoverage);
}

void ConfigData::SetByte(uint8_t& field, uint8_t value)
{
    if (field != value) {
        field = value;
        m_modified = true;
    }
}

void ConfigData::SetWriteProtect(uint8_t value) { SetByte(m_main.writeProtect, value); }
void ConfigData::SetDataAge(uint8_t value) { SetByte(m_main.dataAge, value); }
void ConfigData::SetSdLogAge(uint8_t value) { SetByte(m_main.sdLogAge, value); }

void ConfigData::SetSdLogLevel(uint8_t value)
{
    // The comparison is with the value asked for, the store is clamped.
    if (m_main.sdLogLevel != value) {
        m_main.sdLogLevel = std::min(value, kMaxSdLogLevel);
        m_modified = true;
    }
}

NodeEntry* ConfigData::GetNode(unsigned index)
{
    return index < kMaxNodes ? &m_main.node[index] : nullptr;
}

const NodeEntry* ConfigData::GetNode(unsigned index) const
{
    return index < kMaxNodes ? &m_main.node[index] : nullptr;
}

uint8_t ConfigData::GetProtocol(unsigned index) const
{
    return index < kMaxNodes ? m_main.node[index].protocol : 0;
}

bool ConfigData::GetSlaveEntry(unsigned node, unsigned entry, SlaveRanges& ranges) const
{
    if (!IndexInUse(node, m_main.nodeCount))
        return false;
    const NodeEntry& n = m_main.node[node];
    if (entry >= n.slaveCount || entry >= kMaxSlaves)
        return false;
    ranges.readStart = n.readStart[entry];
    ranges.readLength = n.readLength[entry];
    ranges.writeStart = n.writeStart[entry];
    ranges.writeLength = n.writeLength[entry];
    return true;
}

bool ConfigData::IsControlLinkNode(unsigned index) const
{
    return index == 0 && m_main.nodeCount >= 1 && m_main.node[0].IsControlLink();
}

bool ConfigData::HasControlLink() const
{
    for (unsigned i = 0; i < m_main.nodeCount && i < kMaxNodes; ++i)
        if (m_main.node[i].IsControlLink())
            return true;
    return false;
}

bool ConfigData::AddNode()
{
    if (m_main.nodeCount >= kMaxNodes)
        return false;
    NodeEntry& node = m_main.node[m_main.nodeCount];
    std::memset(&node, 0, sizeof node);
    node.protocol = PROTOCOL_UCE_MASTER;
    node.SetPortType(PORT_ASYNC_SERIAL);
    node.portNumber = 0;
    node.baudCode = kBaudCode9600;
    node.slaveCount = 1;
    node.slaveId[0] = 1;
    node.readStart[0] = 0;
    node.readLength[0] = 4;
    node.writeStart[0] = 4;
    node.writeLength[0] = 4;
    ++m_main.nodeCount;
    m_modified = true;
    return true;
}

bool ConfigData::DeleteNode(unsigned index)
{
    if (!IndexInUse(index, m_main.nodeCount))
        return false;
    // Entries move down whether in use or not; the last keeps its bytes.
    for (unsigned j = index; j + 1 < kMaxNodes; ++j)
        m_main.node[j] = m_main.node[j + 1];
    --m_main.nodeCount;
    m_modified = true;
    return true;
}

bool ConfigData::EditNode(unsigned index, const NodeEditor& editor)
{
    if (!IndexInUse(index, m_main.nodeCount) || !editor)
        return false;
    NodeEntry scratch = m_main.node[index];
    if (!editor(scratch))
        return false;
    m_main.node[index] = scratch;
    m_modified = true;
    return true;
}

ConfigData::NodeAdd ConfigData::AddEditedNode(const NodeEditor& editor)
{
    // The device is sent the unused entries too, so they are kept as well.
    const MainBlock before = m_main;
    const bool wasModified = m_modified;
    const unsigned index = m_main.nodeCount;
    if (!AddNode())
        return NodeAdd::Full;
    if (EditNode(index, editor))
        return NodeAdd::Added;
    m_main = before;
    m_modified = wasModified;
    return NodeAdd::Cancelled;
}

namespace {

// The IP settings as the IP block stores them: address, mask, gateway, MAC
// and the boot loader port.
struct ParsedIp {
    uint8_t bytes[18] = {};
    uint16_t port = 0;
};

bool ParseIpSettings(const wxString& ip, const wxString& mask, const wxString& gateway, const wxString& mac,
                     const wxString& port, ParsedIp& parsed)
{
    if (!ScanBytes(ip, "%d.%d.%d.%d", 4, parsed.bytes) || !ScanBytes(mask, "%d.%d.%d.%d", 4, parsed.bytes + 4) ||
        !ScanBytes(gateway, "%d.%d.%d.%d", 4, parsed.bytes + 8) ||
        !ScanBytes(mac, "%X:%X:%X:%X:%X:%X", 6, parsed.bytes + 12))
        return false;

    long portValue = 0;
    if (!port.Strip(wxString::both).ToLong(&portValue, 10) || portValue < 0 || portValue > 65535)
        return false;
    parsed.port = uint16_t(portValue);
    return true;
}

} // namespace

bool ConfigData::SetIpSettings(const wxString& ip, const wxString& mask, const wxString& gateway,
                               const wxString& mac, const wxString& port)
{
    ParsedIp parsed;
    if (!ParseIpSettings(ip, mask, gateway, mac, port, parsed))
        return false;

    const uint16_t previousCrc = m_ip.ipCrc;
    std::memcpy(m_ip.ipAddress, parsed.bytes, 4);
    std::memcpy(m_ip.subnetMask, parsed.bytes + 4, 4);
    std::memcpy(m_ip.gateway, parsed.bytes + 8, 4);
    std::memcpy(m_ip.macAddress, parsed.bytes + 12, 6);
    m_ip.SetBootLoaderPort(parsed.port);
    m_ip.ipReserved = 0;
    RecomputeIpCrc();
    if (m_ip.ipCrc != previousCrc)
        m_modified = true;
    return true;
}

bool ConfigData::IpSettingsMatch(const wxString& ip, const wxString& mask, const wxString& gateway,
                                 const wxString& mac, const wxString& port) const
{
    ParsedIp parsed;
    if (!ParseIpSettings(ip, mask, gateway, mac, port, parsed))
        return false;
    return std::memcmp(m_ip.ipAddress, parsed.bytes, 4) == 0 && std::memcmp(m_ip.subnetMask, parsed.bytes + 4, 4) == 0 &&
           std::memcmp(m_ip.gateway, parsed.bytes + 8, 4) == 0 &&
           std::memcmp(m_ip.macAddress, parsed.bytes + 12, 6) == 0 && m_ip.BootLoaderPort() == parsed.port;
}

// Notes are 8-bit text that other programs may have written: each byte
// shows as the character of the same value (Latin-1), so any byte shows
// and none is lost.
wxString ConfigData::GetNotes() const
{
    const size_t length = strnlen(reinterpret_cast<const char*>(m_notes), kNotesSize - 1);
    wxString text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i)
        text += wxUniChar(unsigned(m_notes[i]));
    return text;
}

// Text that GetNotes gave leaves the block as it is. Otherwise each
// character the user kept from the notes keeps its byte, and each one typed
// is stored when ASCII and as "_" when not. What was kept is found as the
// longest common subsequence of the old and the new text, so an edit in one
// place does not touch a character elsewhere.
void ConfigData::SetNotes(const wxString& text)
{
    if (text == GetNotes())
        return;

    constexpr size_t kMax = kNotesSize - 1;
    const size_t oldLength = strnlen(reinterpret_cast<const char*>(m_notes), kMax);
    std::vector<wxUniChar> typed;
    for (auto it = text.begin(); it != text.end() && typed.size() < kMax; ++it)
        typed.push_back(*it);
    const size_t newLength = typed.size();
    const auto same = [&](size_t i, size_t j) { return typed[j] == wxUniChar(unsigned(m_notes[i])); };

    // common[i][j]: length of the longest common subsequence of the old
    // bytes from i and the new characters from j.
    std::vector<std::array<uint8_t, kMax + 1>> common(oldLength + 1);
    for (auto& row : common)
        row.fill(0);
    for (size_t i = oldLength; i-- > 0;)
        for (size_t j = newLength; j-- > 0;)
            common[i][j] = same(i, j) ? uint8_t(common[i + 1][j + 1] + 1) : std::max(common[i + 1][j], common[i][j + 1]);

    uint8_t bytes[kNotesSize] = {};
    for (size_t j = 0; j < newLength; ++j)
        bytes[j] = typed[j].IsAscii() ? uint8_t(typed[j].GetValue()) : uint8_t('_');
    for (size_t i = 0, j = 0; i < oldLength && j < newLength;) {
        if (same(i, j))
            bytes[j++] = m_notes[i++];
        else if (common[i + 1][j] >= common[i][j + 1])
            ++i;
        else
            ++j;
    }
    std::memcpy(m_notes, bytes, sizeof m_notes);
}

bool ConfigData::GetFileName(wxString& name) const
{
    if (m_hasFile)
        name = m_fileName;
    return m_hasFile;
}

bool ConfigData::GetFileTitle(wxString& title) const
{
    title = m_hasFile ? wxFileName(m_fileName).GetFullName() : wxString();
    return m_hasFile;
}

uint16_t ConfigData::ReportCrc() const
{
    MainBlock copy = m_main;
    const unsigned count = std::min<unsigned>(copy.nodeCount, kMaxNodes);
    for (unsigned i = 0; i < count; ++i)
        if (copy.node[i].PortType() == PORT_MODEM) {
            NodeFields::SetValue(copy.node[i], NodeFields::kModemRxAttenuation, 0);
            NodeFields::SetValue(copy.node[i], NodeFields::kModemTxAttenuation, 0);
        }
    return BlockCrc(&copy, kMainBlockSize);
}
