#include "config/NodeFieldTable.h"

#include <string>

namespace NodeFields {

namespace {

template <size_t N>
std::vector<const char*> Names(const std::array<const char*, N>& names)
{
    return std::vector<const char*>(names.begin(), names.end());
}

NamedField Number(const char* key, const Field& field) { return {key, ValueKind::Number, field}; }
NamedField Flag(const char* key, const Field& field) { return {key, ValueKind::Flag, field}; }
template <size_t N>
NamedField Choice(const char* key, const Field& field, const std::array<const char*, N>& names, unsigned first = 0)
{
    return {key, ValueKind::Choice, field, {}, Names(names), first};
}
template <size_t N>
NamedField Pair(const char* key, const BitPair& pair, const std::array<const char*, N>& names)
{
    return {key, ValueKind::PairChoice, {}, pair, Names(names)};
}
NamedField NoData(const BitPair& pair) { return Pair("noData", pair, kNoDataNames); }
NamedField Kind(const char* key, ValueKind kind) { return {key, kind}; }

constexpr std::array<const char*, kProtocolCount> kProtocolNames{{
    "Control", "IO Master", "UCE Master", "UCE Slave", "S2 Master", "S2 Slave", "Genisys Master",
    "Genisys Slave", "Host Master", "Host Slave", "NTP Client", "Analogue/Audio Master", "Null",
}};
constexpr std::array<const char*, kPortTypeCount> kPortTypeNames{{
    "TCP Server", "TCP Client", "UDP Server", "UDP Client", "Async Serial", "Sync Serial", "Modem", "SPI",
}};
constexpr std::array<const char*, 2> kInputModeNames{{"Readings", "Triggers"}};
constexpr std::array<const char*, 2> kPolarityNames{{"Active high", "Active low"}};

std::vector<NamedField> S2Fields(bool master)
{
    std::vector<NamedField> fields = {
        Number("flagsBeforeFrame", kS2StartFlags), Number("flagsAfterFrame", kS2EndFlags),
        Flag("extraByte", kS2ExtraByte),           Pair("nrz", kS2Nrz, kNrzNames),
        Flag("noBitStuffing", kS2NoBitStuffing),   NoData(kS2NoData),
    };
    fields.push_back(master ? Number("pollRateMs", kS2MasterPollMs) : Flag("prefix1Bit", kS2SlavePrefixBit));
    return fields;
}

std::vector<NamedField> HostFields(bool slave)
{
    std::vector<NamedField> fields = {Number("loopNumber", kHostLoopNumber), Flag("sendScf", kHostSendScf),
                                      Flag("storeScf", kHostStoreScf), NoData(kHostNoData)};
    if (slave)
        fields.push_back(Number("pollRateMs", kHostSlavePollMs));
    return fields;
}

std::vector<NamedField> SerialFields() { return {Choice("comPort", kComIndex, kComNames), Kind("baud", ValueKind::Speed)}; }

std::vector<std::vector<NamedField>> BuildProtocolTable()
{
    std::vector<std::vector<NamedField>> table(kProtocolCount + 1);
    table[PROTOCOL_CONTROL] = {Number("monitorLevel", kControlLevel)};
    table[PROTOCOL_IO_MASTER] = {NoData(kIoNoData)};
    table[PROTOCOL_UCE_MASTER] = {NoData(kIoNoData)};
    table[PROTOCOL_UCE_SLAVE] = {NoData(kIoNoData)};
    table[PROTOCOL_S2_MASTER] = S2Fields(true);
    table[PROTOCOL_S2_SLAVE] = S2Fields(false);
    table[PROTOCOL_GENISYS_MASTER] = {Number("pollIntervalMs", kGenisysMasterPollMs),
                                      Flag("securePolls", kGenisysSecurePolls), Flag("checkback", kGenisysCheckback),
                                      NoData(kGenisysNoData),
                                      Choice("securePollBit", kGenisysSecureInverse, kSecureBitNames)};
    table[PROTOCOL_GENISYS_SLAVE] = {NoData(kGenisysNoData),
                                     Choice("securePollBit", kGenisysSecureInverse, kSecureBitNames)};
    table[PROTOCOL_HOST_MASTER] = HostFields(false);
    table[PROTOCOL_HOST_SLAVE] = HostFields(true);
    table[PROTOCOL_NTP_CLIENT] = {Number("timeZoneHours", kNtpTimeZone),
                                  Number("updateIntervalHours", kNtpIntervalHours)};
    table[PROTOCOL_ANALOGUE_MASTER] = {Choice("inputMode", kAnalogueTriggersMode, kInputModeNames),
                                       Choice("triggerPolarity", kAnalogueActiveLow, kPolarityNames),
                                       NoData(kAnalogueNoData), Kind("channels", ValueKind::Channels)};
    table[PROTOCOL_NULL] = {{"fill", ValueKind::HexByte, kNullFill}, Flag("useOffset", kNullUseOffset)};
    return table;
}

std::vector<std::vector<NamedField>> BuildPortTable()
{
    std::vector<std::vector<NamedField>> table(kPortTypeCount + 1);
    table[PORT_TCP_SERVER] = {Number("listenPort", kIpPort)};
    table[PORT_UDP_SERVER] = table[PORT_TCP_SERVER];
    table[PORT_TCP_CLIENT] = {Kind("serverIp", ValueKind::Address), Number("serverPort", kIpPort),
                              Kind("sourcePort", ValueKind::SourcePort)};
    table[PORT_UDP_CLIENT] = table[PORT_TCP_CLIENT];
    table[PORT_ASYNC_SERIAL] = SerialFields();
    table[PORT_ASYNC_SERIAL].push_back(Choice("frameFormat", kUartFormat, kUartFormatNames));
    table[PORT_ASYNC_SERIAL].push_back(Choice("handshake", kUartHandshake, kHandshakeNames));
    table[PORT_SYNC_SERIAL] = SerialFields();
    for (const NamedField& field :
         {Choice("clockMode", kSyncClock, kSyncClockNames, SYNC_CLOCK_MASTER), Flag("useCts", kSyncUseCts),
          Pair("nrz", kSyncNrz, kNrzNames), Flag("sendIdleFlags", kSyncIdleFlags)})
        table[PORT_SYNC_SERIAL].push_back(field);
    table[PORT_MODEM] = {Choice("mode", kModemMode, kModemModeNames, kModemFirstMode),
                         Choice("rxAttenuation", kModemRxAttenuation, kAttenuationNames),
                         Choice("txAttenuation", kModemTxAttenuation, kAttenuationNames),
                         Flag("pttActiveHigh", kModemPttActiveHigh),
                         Flag("continuousCarrier", kModemCarrier),
                         Pair("nrz", kModemNrz, kNrzNames),
                         Number("preambleBytes", kModemPreamble),
                         Number("postambleBytes", kModemPostamble)};
    table[PORT_SPI] = {Choice("device", kSpiDeviceIndex, kSpiDeviceNames)};
    return table;
}

const std::vector<NamedField> kNone;

// Sets every bit of the field in `mask`.
void Mark(NodeEntry& mask, Field field)
{
    field.coding = Coding::Plain;
    SetValue(mask, field, MaxValue(field));
}

void MarkNamed(const NodeEntry& node, const NamedField& named, NodeEntry& mask)
{
    switch (named.kind) {
    case ValueKind::PairChoice:
        Mark(mask, named.pair.a);
        if (!PairBothSet(node, named.pair))
            Mark(mask, named.pair.b);
        break;
    case ValueKind::Speed: mask.baudCode = 0xFF; break;
    case ValueKind::Address:
        for (uint8_t& byte : mask.remoteIp)
            byte = 0xFF;
        break;
    case ValueKind::SourcePort:
        if (!SourcePortAllowed(node.protocol))
            break;
        Mark(mask, kClientFixedSourcePort);
        if (GetFlag(node, kClientFixedSourcePort))
            Mark(mask, kClientSourcePort);
        break;
    case ValueKind::Channels:
        for (unsigned c = 0; c < kAnalogueChannels; ++c) {
            const ChannelFields channel = AnalogueChannel(c);
            Mark(mask, channel.voltage);
            Mark(mask, channel.high);
            Mark(mask, channel.low);
        }
        break;
    default: Mark(mask, named.field); break;
    }
}

} // namespace

const char* ProtocolName(uint8_t protocol)
{
    return protocol >= 1 && protocol <= kProtocolCount ? kProtocolNames[protocol - 1u] : nullptr;
}

const char* PortTypeName(uint8_t type)
{
    return type >= 1 && type <= kPortTypeCount ? kPortTypeNames[type - 1u] : nullptr;
}

const std::vector<NamedField>& ProtocolNamedFields(uint8_t protocol)
{
    static const std::vector<std::vector<NamedField>> table = BuildProtocolTable();
    return protocol < table.size() ? table[protocol] : kNone;
}

const std::vector<NamedField>& PortNamedFields(uint8_t type)
{
    static const std::vector<std::vector<NamedField>> table = BuildPortTable();
    return type < table.size() ? table[type] : kNone;
}

ChannelFields AnalogueChannel(unsigned channel)
{
    return {AnalogueVoltage(channel), AnalogueHigh(channel), AnalogueLow(channel)};
}

std::string TriggerKey(const char* name, bool voltage) { return std::string(name) + (voltage ? "Mv" : "Ua"); }

bool PairBothSet(const NodeEntry& node, const BitPair& pair) { return GetFlag(node, pair.a) && GetFlag(node, pair.b); }

NodeEntry CoveredBits(const NodeEntry& node)
{
    NodeEntry mask{};
    mask.protocol = 0xFF;
    Mark(mask, kPortType);
    for (const NamedField& named : ProtocolNamedFields(node.protocol))
        MarkNamed(node, named, mask);
    for (const NamedField& named : PortNamedFields(node.PortType()))
        MarkNamed(node, named, mask);
    mask.slaveCount = 0xFF;
    for (unsigned k = 0; k < node.slaveCount && k < kMaxSlaves; ++k) {
        mask.slaveId[k] = 0xFF;
        mask.readStart[k] = 0xFFFF;
        mask.readLength[k] = 0xFF;
        mask.writeStart[k] = 0xFFFF;
        mask.writeLength[k] = 0xFF;
    }
    return mask;
}

} // namespace NodeFields
