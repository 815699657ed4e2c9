#include "config/NodeFields.h"

#include <wx/crt.h>

#include <algorithm>
#include <cstddef>

namespace NodeFields {

namespace {

// Offset of a node byte inside the extra area.
size_t ExtraIndex(uint16_t nodeOffset) { return nodeOffset - offsetof(NodeEntry, protocolExtra); }

// The packed 16-bit members are read and written by value, never by reference.
uint16_t ReadWord(const NodeEntry& node, Place place)
{
    switch (place) {
    case Place::ProtocolWord: return node.protocolWord;
    case Place::PortCode: return node.portCode;
    case Place::PortNumber: return node.portNumber;
    case Place::PortWord: return node.portWord;
    default: return 0;
    }
}

void WriteWord(NodeEntry& node, Place place, uint16_t value)
{
    switch (place) {
    case Place::ProtocolWord: node.protocolWord = value; break;
    case Place::PortCode: node.portCode = value; break;
    case Place::PortNumber: node.portNumber = value; break;
    case Place::PortWord: node.portWord = value; break;
    default: break;
    }
}

unsigned RawBits(const Field& field)
{
    switch (field.place) {
    case Place::Extra8: return 8;
    case Place::Extra16Le:
    case Place::Extra16Be: return 16;
    default: return field.bits;
    }
}

unsigned ReadRaw(const NodeEntry& node, const Field& field)
{
    switch (field.place) {
    case Place::Extra8: return node.protocolExtra[ExtraIndex(field.first)];
    case Place::Extra16Le: {
        const size_t i = ExtraIndex(field.first);
        return unsigned(node.protocolExtra[i]) | unsigned(node.protocolExtra[i + 1]) << 8;
    }
    case Place::Extra16Be: {
        const size_t i = ExtraIndex(field.first);
        return unsigned(node.protocolExtra[i]) << 8 | unsigned(node.protocolExtra[i + 1]);
    }
    default: {
        const unsigned mask = (1u << field.bits) - 1;
        return (ReadWord(node, field.place) >> field.first) & mask;
    }
    }
}

void WriteRaw(NodeEntry& node, const Field& field, unsigned raw)
{
    switch (field.place) {
    case Place::Extra8: node.protocolExtra[ExtraIndex(field.first)] = uint8_t(raw); break;
    case Place::Extra16Le: {
        const size_t i = ExtraIndex(field.first);
        node.protocolExtra[i] = uint8_t(raw & 0xFF);
        node.protocolExtra[i + 1] = uint8_t(raw >> 8);
        break;
    }
    case Place::Extra16Be: {
        const size_t i = ExtraIndex(field.first);
        node.protocolExtra[i] = uint8_t(raw >> 8);
        node.protocolExtra[i + 1] = uint8_t(raw & 0xFF);
        break;
    }
    default: {
        const unsigned mask = ((1u << field.bits) - 1) << field.first;
        const unsigned word = ReadWord(node, field.place);
        WriteWord(node, field.place, uint16_t((word & ~mask) | ((raw << field.first) & mask)));
        break;
    }
    }
}

int RawMax(const Field& field) { return int((1u << RawBits(field)) - 1); }

} // namespace

int GetValue(const NodeEntry& node, const Field& field)
{
    const unsigned raw = ReadRaw(node, field);
    switch (field.coding) {
    case Coding::Signed: {
        const unsigned bits = RawBits(field);
        return raw & (1u << (bits - 1)) ? int(raw) - int(1u << bits) : int(raw);
    }
    case Coding::TensTruncated:
    case Coding::TensRounded: return int(raw) * 10;
    case Coding::Plain: break;
    }
    return int(raw);
}

void SetValue(NodeEntry& node, const Field& field, int value)
{
    value = std::clamp(value, MinValue(field), MaxValue(field) + (field.coding == Coding::TensTruncated ? 9 : 0));
    switch (field.coding) {
    case Coding::Signed: {
        const unsigned bits = RawBits(field);
        WriteRaw(node, field, value < 0 ? unsigned(value + int(1u << bits)) : unsigned(value));
        return;
    }
    case Coding::TensTruncated: WriteRaw(node, field, unsigned(value / 10)); return;
    case Coding::TensRounded: WriteRaw(node, field, unsigned(std::min((value + 5) / 10, RawMax(field)))); return;
    case Coding::Plain: break;
    }
    WriteRaw(node, field, unsigned(value));
}

bool GetFlag(const NodeEntry& node, const Field& field) { return ReadRaw(node, field) != 0; }

void SetFlag(NodeEntry& node, const Field& field, bool on) { WriteRaw(node, field, on ? 1 : 0); }

int MinValue(const Field& field)
{
    if (field.coding == Coding::Signed)
        return -int(1u << (RawBits(field) - 1));
    return 0;
}

int MaxValue(const Field& field)
{
    switch (field.coding) {
    case Coding::Signed: return int(1u << (RawBits(field) - 1)) - 1;
    case Coding::TensTruncated:
    case Coding::TensRounded: return RawMax(field) * 10;
    case Coding::Plain: break;
    }
    return RawMax(field);
}

unsigned GetChoice(const NodeEntry& node, const BitPair& pair)
{
    if (GetFlag(node, pair.a))
        return 1;
    return GetFlag(node, pair.b) ? 2 : 0;
}

void SetChoice(NodeEntry& node, const BitPair& pair, unsigned choice)
{
    SetFlag(node, pair.a, choice == 1);
    SetFlag(node, pair.b, choice == 2);
}

void CopyField(NodeEntry& to, const NodeEntry& from, const Field& field) { WriteRaw(to, field, ReadRaw(from, field)); }

FillResult ParseFillText(const wxString& text)
{
    // The same reading as a "%X" scan, but without its overflow.
    const wxString head = text.Left(32);
    size_t i = 0;
    while (i < head.length() && wxIsspace(head[i]))
        ++i;
    if (i < head.length() && head[i] == '+')
        ++i;
    if (i + 2 < head.length() && head[i] == '0' && (head[i + 1] == 'x' || head[i + 1] == 'X') &&
        wxIsxdigit(head[i + 2]))
        i += 2;
    unsigned long value = 0;
    bool digits = false;
    for (; i < head.length() && wxIsxdigit(head[i]); ++i) {
        digits = true;
        const wxChar c = head[i];
        const unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        value = std::min<unsigned long>(value * 16 + digit, 0x10000);
    }
    if (!digits)
        return {FillParse::NotHex, 0};
    if (value > 0xFF)
        return {FillParse::AboveFF, 0xFF};
    return {FillParse::Byte, uint8_t(value)};
}

wxString FillText(uint8_t byte) { return wxString::Format("%02X", unsigned(byte)); }

bool SourcePortAllowed(uint8_t protocol) { return protocol != PROTOCOL_ANALOGUE_MASTER; }

bool HasFixedSourcePort(const NodeEntry& node)
{
    const uint8_t type = node.PortType();
    return (type == PORT_TCP_CLIENT || type == PORT_UDP_CLIENT) && SourcePortAllowed(node.protocol) &&
           GetFlag(node, kClientFixedSourcePort);
}

ServerAddress ParseServerAddress(const wxString& text)
{
    ServerAddress address;
    int n[4] = {};
    if (wxSscanf(text, "%3d.%3d.%3d.%3d", &n[0], &n[1], &n[2], &n[3]) != 4)
        return address;
    address.complete = true;
    address.valid = true;
    for (size_t i = 0; i < 4; ++i) {
        if (n[i] < 0 || n[i] > 255)
            address.valid = false;
        address.bytes[i] = uint8_t(n[i] & 0xFF);
    }
    return address;
}

wxString ServerAddressText(const NodeEntry& node)
{
    return wxString::Format("%d.%d.%d.%d", node.remoteIp[0], node.remoteIp[1], node.remoteIp[2], node.remoteIp[3]);
}

bool StoreServerAddress(NodeEntry& node, const wxString& text)
{
    const ServerAddress address = ParseServerAddress(text);
    if (!address.complete)
        return false;
    std::copy(address.bytes.begin(), address.bytes.end(), node.remoteIp);
    return true;
}

int SpeedIndexOf(uint8_t code)
{
    for (size_t i = 0; i < kSpeedCodes.size(); ++i)
        if (kSpeedCodes[i].code == code)
            return int(i);
    return -1;
}

uint8_t SpeedCodeAt(int index)
{
    if (index < 0 || size_t(index) >= kSpeedCodes.size())
        return kSpeedCodeFallback;
    return kSpeedCodes[size_t(index)].code;
}

unsigned BaudOf(uint8_t code)
{
    const int index = SpeedIndexOf(code);
    return index >= 0 ? kSpeedCodes[size_t(index)].baud : code * 600u;
}

} // namespace NodeFields
