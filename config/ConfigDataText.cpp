// The short texts that the window and the report show for the document.
#include "config/ConfigData.h"

#include "config/NodeFieldTable.h"

namespace {

const char* const kModemModes[] = {
    "Modem, Bell202 FSK 150", "Modem, Bell202 FSK 1200", "Modem, v23 FSK 75",
    "Modem, v23 FSK 1200", "Modem, Bell103 300 FSK lo", "Modem, Bell103 300 FSK hi",
    "Modem, v21 300 FSK Lo", "Modem, v21 300 FSK Hi", "Modem, v22 600 DPSK Lo",
    "Modem, v22 600 DPSK Hi", "Modem, v22 1200 DPSK Lo", "Modem, v22 1200 DPSK Hi",
};

wxString SerialText(const char* kind, uint16_t portNumber)
{
    if (portNumber <= 3)
        return wxString::Format("%s serial COM%u", kind, unsigned(portNumber) + 1);
    return wxString::Format("%s serial unknown", kind);
}

// Ranges as 1-based inclusive pieces, entries of length 0 left out.
// (The arrays are read through the entry: their 16-bit members are not
// aligned, so no pointer to them is taken.)
wxString RangesText(const NodeEntry& node, bool reads)
{
    wxString text;
    for (unsigned k = 0; k < node.slaveCount && k < kMaxSlaves; ++k) {
        const unsigned start = reads ? node.readStart[k] : node.writeStart[k];
        const unsigned length = reads ? node.readLength[k] : node.writeLength[k];
        if (length == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += wxString::Format("%u-%u", start + 1, start + length);
    }
    return text;
}

wxString Dotted(const uint8_t* b)
{
    return wxString::Format("%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}

} // namespace

wxString ProtocolNameText(uint8_t protocol)
{
    const char* name = NodeFields::ProtocolName(protocol);
    return name ? name : "Unknown";
}

wxString PortText(const NodeEntry& node)
{
    switch (node.PortType()) {
    case PORT_TCP_SERVER:
        return wxString::Format("TCP Server on port %d", node.portNumber);
    case PORT_TCP_CLIENT:
        return wxString::Format("TCP Client to %s:%d", Dotted(node.remoteIp), node.portNumber);
    case PORT_UDP_SERVER:
        return wxString::Format("UDP Server on port %d", node.portNumber);
    case PORT_UDP_CLIENT:
        return wxString::Format("UDP Client to %s:%d", Dotted(node.remoteIp), node.portNumber);
    case PORT_ASYNC_SERIAL:
        return SerialText("Async", node.portNumber);
    case PORT_SYNC_SERIAL:
        return SerialText("Sync", node.portNumber);
    case PORT_MODEM: {
        const unsigned mode = unsigned(NodeFields::GetValue(node, NodeFields::kModemMode));
        if (mode >= NodeFields::kModemFirstMode && mode - NodeFields::kModemFirstMode < WXSIZEOF(kModemModes))
            return kModemModes[mode - NodeFields::kModemFirstMode];
        return "Modem, unknown";
    }
    case PORT_SPI:
        return "SPI";
    default:
        return "Unknown";
    }
}

wxString ConfigData::GetProtocolName(unsigned index) const
{
    return ProtocolNameText(GetProtocol(index));
}

wxString ConfigData::GetPortText(unsigned index) const
{
    return index < kMaxNodes ? PortText(m_main.node[index]) : wxString("Unknown");
}

wxString ConfigData::GetSlaveIdsText(unsigned index) const
{
    wxString text;
    if (index >= kMaxNodes)
        return text;
    const NodeEntry& node = m_main.node[index];
    for (unsigned k = 0; k < node.slaveCount && k < kMaxSlaves; ++k) {
        if (k > 0)
            text += ", ";
        text += wxString::Format("%d", node.slaveId[k]);
    }
    return text;
}

wxString ConfigData::GetReadRangesText(unsigned index) const
{
    if (index >= kMaxNodes)
        return wxString();
    const NodeEntry& node = m_main.node[index];
    return RangesText(node, true);
}

wxString ConfigData::GetWriteRangesText(unsigned index) const
{
    if (index >= kMaxNodes)
        return wxString();
    const NodeEntry& node = m_main.node[index];
    return RangesText(node, false);
}

bool ConfigData::GetIpTexts(IpTexts& texts) const
{
    texts.ipAddress = Dotted(m_ip.ipAddress);
    texts.subnetMask = Dotted(m_ip.subnetMask);
    texts.gateway = Dotted(m_ip.gateway);
    const uint8_t* m = m_ip.macAddress;
    texts.macAddress = wxString::Format("%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    texts.bootLoaderPort = wxString::Format("%d", m_ip.BootLoaderPort());
    return true;
}
