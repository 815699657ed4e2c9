// The named fields of each protocol and each port type as the text form of
// a configuration names them: key, unit, the descriptor of the bits, and the
// names of a choice's values in the words of the panels and the report.
// Everything a node entry holds that no field here names is its remainder.
#pragma once

#include "config/NodeFields.h"

#include <string>
#include <vector>

namespace NodeFields {

enum class ValueKind : uint8_t {
    Number,      // a number in the key's unit; tens codings take multiples of 10
    Flag,        // true or false
    Choice,      // a name (value = index + firstValue), or the stored number
    PairChoice,  // a name for the bit pair's three choices
    HexByte,     // two hexadecimal digits
    Speed,       // bits per second from the speed table; other codes as "baudCode"
    Address,     // "a.b.c.d" of `remoteIp`
    SourcePort,  // "Auto", or the fixed source port
    Channels,    // the Analogue/Audio Master's four input channels
};

struct NamedField {
    const char* key;
    ValueKind kind;
    Field field{};
    BitPair pair{};
    std::vector<const char*> names{};
    unsigned firstValue = 0;
};

// Key of a speed code outside the speed table.
constexpr char kBaudCodeKey[] = "baudCode";

// Name of a protocol code or port type, as the node dialog lists them;
// nullptr for a code without one.
const char* ProtocolName(uint8_t protocol);
const char* PortTypeName(uint8_t type);

// Named fields of a protocol code or port type; empty for unknown codes.
const std::vector<NamedField>& ProtocolNamedFields(uint8_t protocol);
const std::vector<NamedField>& PortNamedFields(uint8_t type);

// Analogue channel c: type bit (set = voltage), high and low trigger.
struct ChannelFields {
    Field voltage, high, low;
};
ChannelFields AnalogueChannel(unsigned channel);
constexpr std::array<const char*, 2> kChannelTypeNames{{"Current", "Voltage"}};
// "highMv" or "highUa": the trigger keys carry the channel's unit.
std::string TriggerKey(const char* name, bool voltage);

// The choice index a bit pair shows; both bits set shows choice 1 and
// leaves bit B to the remainder.
bool PairBothSet(const NodeEntry& node, const BitPair& pair);

// Every bit of `node` that a named field stands for (protocol and port
// fields, protocol code, port type, slave count and the slave entries in
// use); set bits in the returned entry.
NodeEntry CoveredBits(const NodeEntry& node);

} // namespace NodeFields
