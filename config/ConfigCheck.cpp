#include "config/ConfigCheck.h"

#include "config/ConfigData.h"
#include "config/NodeFields.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

using Findings = std::vector<ConfigFinding>;

void Error(Findings& out, const wxString& text)
{
    out.push_back(ConfigFinding{FindingSeverity::Error, text});
}

void Warning(Findings& out, const wxString& text)
{
    out.push_back(ConfigFinding{FindingSeverity::Warning, text});
}

unsigned NodesInUse(const ConfigData& config)
{
    return std::min<unsigned>(config.GetNodeCount(), kMaxNodes);
}

// "1, 2 and 3"
wxString NumberList(const std::vector<unsigned>& numbers)
{
    wxString text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            text += i + 1 == numbers.size() ? " and " : ", ";
        text += wxString::Format("%u", numbers[i]);
    }
    return text;
}

// "both" for two, "all" for more.
const char* BothOrAll(size_t count)
{
    return count == 2 ? "both" : "all";
}

// Bytes 1-based, as the window's memory grid numbers them.
wxString ByteRange(unsigned first, unsigned last)
{
    return first == last ? wxString::Format("byte %u", first + 1) : wxString::Format("bytes %u-%u", first + 1, last + 1);
}

// Runs of consecutive bytes for which `key` gives the same non-empty value.
template <typename Key, typename Report>
void ForEachRun(unsigned size, Key key, Report report)
{
    for (unsigned b = 0; b < size;) {
        const auto value = key(b);
        unsigned e = b + 1;
        while (e < size && key(e) == value)
            ++e;
        if (!value.empty())
            report(value, b, e - 1);
        b = e;
    }
}

void CheckMemory(const ConfigData& config, Findings& out)
{
    const auto writers = MemoryWriters(config);
    ForEachRun(kSharedMemorySize, [&](unsigned b) { return writers[b].size() > 1 ? writers[b] : std::vector<unsigned>(); },
               [&](const std::vector<unsigned>& nodes, unsigned first, unsigned last) {
                   Error(out, wxString::Format("Nodes %s %s write %s of the shared memory; the last to write wins.",
                                               NumberList(nodes), BothOrAll(nodes.size()), ByteRange(first, last)));
               });

    // Bytes a node reads that no node writes.
    std::vector<std::vector<unsigned>> unwrittenReads(kSharedMemorySize);
    for (unsigned n = 0; n < NodesInUse(config); ++n) {
        SlaveRanges r;
        for (unsigned k = 0; config.GetSlaveEntry(n, k, r); ++k)
            for (unsigned b = r.readStart; b < unsigned(r.readStart) + r.readLength && b < kSharedMemorySize; ++b)
                if (writers[b].empty() && (unwrittenReads[b].empty() || unwrittenReads[b].back() != n + 1))
                    unwrittenReads[b].push_back(n + 1);
    }
    ForEachRun(kSharedMemorySize, [&](unsigned b) { return unwrittenReads[b]; },
               [&](const std::vector<unsigned>& nodes, unsigned first, unsigned last) {
                   Warning(out, wxString::Format("Node%s %s read%s %s of the shared memory, which no node writes.",
                                                 nodes.size() > 1 ? "s" : "", NumberList(nodes),
                                                 nodes.size() > 1 ? "" : "s", ByteRange(first, last)));
               });
}

void CheckSlaves(const ConfigData& config, Findings& out)
{
    for (unsigned n = 0; n < NodesInUse(config); ++n) {
        const NodeEntry& node = *config.GetNode(n);
        if (node.slaveCount > kMaxSlaves)
            Error(out, wxString::Format("Node %u says it has %u slaves; a node holds at most %u, and only those are "
                                        "used.",
                                        n + 1, node.slaveCount, kMaxSlaves));
        std::map<unsigned, std::vector<unsigned>> byId;
        SlaveRanges r;
        for (unsigned k = 0; config.GetSlaveEntry(n, k, r); ++k) {
            byId[node.slaveId[k]].push_back(k + 1);
            const struct {
                const char* what;
                unsigned start, length;
            } ranges[] = {{"read", r.readStart, r.readLength}, {"write", r.writeStart, r.writeLength}};
            for (const auto& range : ranges)
                if (range.length > 0 && range.start + range.length > kSharedMemorySize)
                    Error(out, wxString::Format("Node %u, slave %u: its %s range (bytes %u-%u) runs past byte %u.",
                                                n + 1, k + 1, range.what, range.start + 1, range.start + range.length,
                                                kSharedMemorySize));
        }
        for (const auto& [id, slaves] : byId)
            if (slaves.size() > 1)
                Error(out, wxString::Format("Node %u: slaves %s have the same ID, %u.", n + 1, NumberList(slaves), id));
    }
}

void CheckPorts(const ConfigData& config, Findings& out)
{
    std::map<unsigned, std::vector<unsigned>> serial;  // by COM index
    std::map<unsigned, std::vector<unsigned>> tcpServers, udpServers;
    for (unsigned n = 0; n < NodesInUse(config); ++n) {
        const NodeEntry& node = *config.GetNode(n);
        if (node.protocol == 0 || node.protocol > kProtocolCount)
            Error(out, wxString::Format("Node %u has an unknown protocol (code %u).", n + 1, node.protocol));
        if (node.protocol == PROTOCOL_NULL)
            continue;
        switch (node.PortType()) {
        case PORT_ASYNC_SERIAL:
        case PORT_SYNC_SERIAL:
            serial[NodeFields::GetValue(node, NodeFields::kComIndex)].push_back(n + 1);
            break;
        case PORT_TCP_SERVER:
            tcpServers[node.portNumber].push_back(n + 1);
            break;
        case PORT_UDP_SERVER:
            udpServers[node.portNumber].push_back(n + 1);
            break;
        case PORT_TCP_CLIENT:
        case PORT_UDP_CLIENT:
            if (node.remoteIp[0] == 0 && node.remoteIp[1] == 0 && node.remoteIp[2] == 0 && node.remoteIp[3] == 0)
                Warning(out, wxString::Format("Node %u connects to server 0.0.0.0.", n + 1));
            break;
        case PORT_MODEM:
        case PORT_SPI:
            break;
        default:
            Error(out, wxString::Format("Node %u has an unknown port type (code %u).", n + 1, node.PortType()));
            break;
        }
    }
    for (const auto& [com, nodes] : serial)
        if (nodes.size() > 1)
            Error(out, wxString::Format("Nodes %s %s use serial port COM%u.", NumberList(nodes), BothOrAll(nodes.size()),
                                        com + 1));
    for (const auto& [port, nodes] : tcpServers)
        if (nodes.size() > 1)
            Error(out, wxString::Format("Nodes %s are %s TCP servers on port %u.", NumberList(nodes),
                                        BothOrAll(nodes.size()), port));
    for (const auto& [port, nodes] : udpServers)
        if (nodes.size() > 1)
            Error(out, wxString::Format("Nodes %s are %s UDP servers on port %u.", NumberList(nodes),
                                        BothOrAll(nodes.size()), port));
}

uint32_t Address(const uint8_t* b)
{
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

void CheckIp(const ConfigData& config, Findings& out)
{
    const IpBlock& ip = config.GetIpBlock();
    IpTexts texts;
    config.GetIpTexts(texts);
    const uint32_t address = Address(ip.ipAddress);
    const uint32_t mask = Address(ip.subnetMask);
    const uint32_t gateway = Address(ip.gateway);
    // A contiguous mask is ones then zeros: its complement plus one is a
    // power of two.
    const uint32_t hostBits = ~mask;
    if ((hostBits & (hostBits + 1)) != 0 || mask == 0) {
        Error(out, "The subnet mask " + texts.subnetMask + " is not a run of ones followed by zeros.");
        return;
    }
    if (address == 0)
        Error(out, "The IP address is 0.0.0.0.");
    else if (hostBits > 1 && (address & hostBits) == 0)
        Error(out, "The IP address " + texts.ipAddress + " is the network address of its subnet.");
    else if (hostBits > 1 && (address & hostBits) == hostBits)
        Error(out, "The IP address " + texts.ipAddress + " is the broadcast address of its subnet.");
    if (gateway != 0 && (gateway & mask) != (address & mask))
        Error(out, "The gateway " + texts.gateway + " is outside the subnet of " + texts.ipAddress + "/" +
                       texts.subnetMask + ".");
    if (gateway != 0 && gateway == address)
        Error(out, "The gateway is the device's own IP address.");
}

} // namespace

std::vector<std::vector<unsigned>> MemoryWriters(const ConfigData& config)
{
    std::vector<std::vector<unsigned>> writers(kSharedMemorySize);
    for (unsigned n = 0; n < NodesInUse(config); ++n) {
        SlaveRanges r;
        for (unsigned k = 0; config.GetSlaveEntry(n, k, r); ++k)
            for (unsigned b = r.writeStart; b < unsigned(r.writeStart) + r.writeLength && b < kSharedMemorySize; ++b)
                if (writers[b].empty() || writers[b].back() != n + 1)
                    writers[b].push_back(n + 1);
    }
    return writers;
}

std::vector<ConfigFinding> CheckConfiguration(const ConfigData& config)
{
    Findings out;
    if (config.GetNodeCount() > kMaxNodes)
        Error(out, wxString::Format("The configuration says it has %u nodes; a device runs at most %u, and only those "
                                    "are read and written.",
                                    config.GetNodeCount(), kMaxNodes));
    CheckPorts(config, out);
    CheckSlaves(config, out);
    CheckMemory(config, out);
    if (!config.HasControlLink())
        Warning(out, "No node is a Control link (Control on TCP server port 23): once written, the device may no "
                     "longer take a new configuration over the network.");
    CheckIp(config, out);
    return out;
}

bool HasErrors(const std::vector<ConfigFinding>& findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const ConfigFinding& f) { return f.severity == FindingSeverity::Error; });
}

wxString FindingText(const ConfigFinding& finding)
{
    return (finding.severity == FindingSeverity::Error ? "Error: " : "Warning: ") + finding.text;
}
