// Protocol and port lines of one node in the report. Every value is read
// through the node field definitions the editor panels use, so the report
// shows what the panels show.
#include "print/ConfigReport.h"

#include "config/NodeFields.h"

#include <array>

using namespace NodeFields;

namespace {

template <size_t N>
const char* NameAt(const std::array<const char*, N>& names, int index, const char* otherwise = "Unknown")
{
    return index >= 0 && size_t(index) < N ? names[size_t(index)] : otherwise;
}

const char* YesNo(bool on)
{
    return on ? "Yes" : "No";
}

const char* EnabledDisabled(bool on)
{
    return on ? "Enabled" : "Disabled";
}

void Add(ReportLines& lines, const wxString& text)
{
    lines.push_back(ReportLine{text, false});
}

void AddNrzLines(const NodeEntry& node, const BitPair& nrz, ReportLines& lines, bool nrzsFirst)
{
    const unsigned choice = GetChoice(node, nrz);
    const wxString nrzs = wxString::Format("  NRZS encoding:       %s", YesNo(choice == NRZ_S));
    const wxString nrzi = wxString::Format("  NRZI encoding:       %s", YesNo(choice == NRZ_I));
    Add(lines, nrzsFirst ? nrzs : nrzi);
    Add(lines, nrzsFirst ? nrzi : nrzs);
}

void AddS2Lines(const NodeEntry& node, ReportLines& lines)
{
    const bool master = node.protocol == PROTOCOL_S2_MASTER;
    Add(lines, wxString::Format("  Flags before frame:  %d", GetValue(node, kS2StartFlags)));
    Add(lines, wxString::Format("  Flags after frame:   %d", GetValue(node, kS2EndFlags)));
    Add(lines, wxString::Format("  Extra byte:          %s", YesNo(GetFlag(node, kS2ExtraByte))));
    AddNrzLines(node, kS2Nrz, lines, true);
    Add(lines, wxString::Format("  Bit stuffing:        %s", EnabledDisabled(!GetFlag(node, kS2NoBitStuffing))));
    // The prefix '1' bit is a slave option; on a master that bit is not a
    // field, whatever it holds.
    const bool qx1 = !master && GetFlag(node, kS2SlavePrefixBit);
    Add(lines, wxString::Format("  QX1 stuffing:        %s", EnabledDisabled(qx1)));
    if (master)
        Add(lines, wxString::Format("  Poll rate:           %d ms", GetValue(node, kS2MasterPollMs)));
}

void AddGenisysLines(const NodeEntry& node, ReportLines& lines)
{
    // Secure polls and checkback are master options; the slave's page has
    // neither, so its bits there mean nothing.
    const bool master = node.protocol == PROTOCOL_GENISYS_MASTER;
    Add(lines, wxString::Format("  Secure polls:        %s", YesNo(master && GetFlag(node, kGenisysSecurePolls))));
    Add(lines, wxString::Format("  Checkback:           %s", YesNo(master && GetFlag(node, kGenisysCheckback))));
    Add(lines, wxString::Format("  Secure bit inverse:  %s", YesNo(GetFlag(node, kGenisysSecureInverse))));
    if (master)
        Add(lines, wxString::Format("  Poll interval:       %d ms", GetValue(node, kGenisysMasterPollMs)));
}

void AddHostLines(const NodeEntry& node, ReportLines& lines)
{
    Add(lines, wxString::Format("  Loop number:         %d", GetValue(node, kHostLoopNumber)));
    Add(lines, wxString::Format("  Send SCF:            %s", YesNo(GetFlag(node, kHostSendScf))));
    Add(lines, wxString::Format("  Store SCF:           %s", YesNo(GetFlag(node, kHostStoreScf))));
    // The poll rate is the slave's field: a master keeps no poll rate.
    if (node.protocol == PROTOCOL_HOST_SLAVE)
        Add(lines, wxString::Format("  Poll rate:           %d ms", GetValue(node, kHostSlavePollMs)));
}

void AddAnalogueLines(const NodeEntry& node, ReportLines& lines)
{
    Add(lines, wxString::Format("  Input mode:          %s",
                                GetFlag(node, kAnalogueTriggersMode) ? "Triggers" : "Readings"));
    Add(lines, wxString::Format("  Trigger polarity:    %s",
                                GetFlag(node, kAnalogueActiveLow) ? "Active low" : "Active high"));
    for (unsigned c = 0; c < kAnalogueChannels; ++c) {
        const bool voltage = GetFlag(node, AnalogueVoltage(c));
        const char* unit = AnalogueUnit(voltage);
        Add(lines, wxString::Format("  Ch %u (%s):      High=%d%s  Low=%d%s", c + 1, voltage ? "Voltage" : "Current",
                                    GetValue(node, AnalogueHigh(c)), unit, GetValue(node, AnalogueLow(c)), unit));
    }
}

void AddSerialLines(const NodeEntry& node, ReportLines& lines)
{
    Add(lines, wxString::Format("  Serial port:         %s", NameAt(kComNames, GetValue(node, kComIndex))));
    Add(lines, wxString::Format("  Baud rate:           %u", BaudOf(node.baudCode)));
}

} // namespace

void AppendProtocolLines(const NodeEntry& node, ReportLines& lines)
{
    switch (node.protocol) {
    case PROTOCOL_CONTROL: {
        const int level = GetValue(node, kControlLevel);
        Add(lines, wxString::Format("  Monitor level:       %d (%s)", level, NameAt(kMonitorLevelNames, level)));
        break;
    }
    case PROTOCOL_IO_MASTER:
    case PROTOCOL_UCE_MASTER:  // the UCE Master page has no field beyond this
    case PROTOCOL_UCE_SLAVE:
        Add(lines, wxString::Format("  No-data behaviour:   %s",
                                    NameAt(kNoDataNames, int(GetChoice(node, kIoNoData)))));
        break;
    case PROTOCOL_S2_MASTER:
    case PROTOCOL_S2_SLAVE:
        AddS2Lines(node, lines);
        break;
    case PROTOCOL_GENISYS_MASTER:
    case PROTOCOL_GENISYS_SLAVE:
        AddGenisysLines(node, lines);
        break;
    case PROTOCOL_HOST_MASTER:
    case PROTOCOL_HOST_SLAVE:
        AddHostLines(node, lines);
        break;
    case PROTOCOL_NTP_CLIENT:
        Add(lines, wxString::Format("  Timezone offset:     %+d hours", GetValue(node, kNtpTimeZone)));
        Add(lines, wxString::Format("  Update interval:     %d hours", GetValue(node, kNtpIntervalHours)));
        break;
    case PROTOCOL_ANALOGUE_MASTER:
        AddAnalogueLines(node, lines);
        break;
    default:  // Null and unknown codes
        break;
    }
}

void AppendPortLines(const NodeEntry& node, ReportLines& lines)
{
    switch (node.PortType()) {
    case PORT_TCP_SERVER:
    case PORT_UDP_SERVER:
        Add(lines, wxString::Format("  Listen port:         %d", GetValue(node, kIpPort)));
        break;
    case PORT_TCP_CLIENT:
    case PORT_UDP_CLIENT:
        Add(lines, wxString::Format("  Server:              %d.%d.%d.%d:%d", node.remoteIp[0], node.remoteIp[1],
                                    node.remoteIp[2], node.remoteIp[3], GetValue(node, kIpPort)));
        if (HasFixedSourcePort(node))
            Add(lines, wxString::Format("  Source port:         %d", GetValue(node, kClientSourcePort)));
        else
            Add(lines, "  Source port:         Auto");
        break;
    case PORT_ASYNC_SERIAL:
        AddSerialLines(node, lines);
        Add(lines, wxString::Format("  Frame format:        %s", NameAt(kUartFormatNames, GetValue(node, kUartFormat))));
        Add(lines, wxString::Format("  Handshake:           %s", NameAt(kHandshakeNames, GetValue(node, kUartHandshake))));
        break;
    case PORT_SYNC_SERIAL: {
        AddSerialLines(node, lines);
        const char* clock = "Unknown";
        switch (GetValue(node, kSyncClock)) {
        case SYNC_CLOCK_NONE: clock = "No clock"; break;
        case SYNC_CLOCK_MASTER: clock = "Master (clock out)"; break;
        case SYNC_CLOCK_SLAVE: clock = "Slave (clock in)"; break;
        default: break;
        }
        Add(lines, wxString::Format("  Clock mode:          %s", clock));
        Add(lines, wxString::Format("  CTS:                 %s", YesNo(GetFlag(node, kSyncUseCts))));
        AddNrzLines(node, kSyncNrz, lines, true);
        Add(lines, wxString::Format("  Send idle flags:     %s", YesNo(GetFlag(node, kSyncIdleFlags))));
        break;
    }
    case PORT_MODEM:
        Add(lines, wxString::Format("  Mode:                %s",
                                    NameAt(kModemModeNames, GetValue(node, kModemMode) - int(kModemFirstMode))));
        // The attenuations are steps of 1.5 dB: their names carry the unit.
        Add(lines, wxString::Format("  RX attenuation:      %s",
                                    NameAt(kAttenuationNames, GetValue(node, kModemRxAttenuation))));
        Add(lines, wxString::Format("  TX attenuation:      %s",
                                    NameAt(kAttenuationNames, GetValue(node, kModemTxAttenuation))));
        Add(lines, wxString::Format("  PTT active high:     %s", YesNo(GetFlag(node, kModemPttActiveHigh))));
        Add(lines, wxString::Format("  Continuous carrier:  %s", YesNo(GetFlag(node, kModemCarrier))));
        AddNrzLines(node, kModemNrz, lines, false);
        Add(lines, wxString::Format("  Preamble:            %d", GetValue(node, kModemPreamble)));
        Add(lines, wxString::Format("  Postamble:           %d", GetValue(node, kModemPostamble)));
        break;
    case PORT_SPI:
        Add(lines, wxString::Format("  SPI device:          %s",
                                    NameAt(kSpiDeviceNames, GetValue(node, kSpiDeviceIndex), "No Device")));
        break;
    default:
        break;
    }
}
