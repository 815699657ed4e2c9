// The report's sections in order; the per-node protocol and port lines live
// in ConfigReportNode.cpp.
#include "print/ConfigReport.h"

#include "config/ConfigData.h"

#include <wx/datetime.h>

#include <algorithm>
#include <array>

namespace {

const wxString kTitleRule(wxUniChar('='), 60);
const wxString kSectionRule(wxUniChar('-'), 60);

void Add(ReportLines& lines, const wxString& text, bool bold = false)
{
    lines.push_back(ReportLine{text, bold});
}

void AddSection(ReportLines& lines, const wxString& heading)
{
    Add(lines, wxString());
    Add(lines, heading, true);
    Add(lines, kSectionRule);
}

void AddHeader(const ConfigData& config, const wxDateTime& now, ReportLines& lines)
{
    Add(lines, "TARVEN Quorastelline - Configuration Report", true);
    Add(lines, kTitleRule);
    wxString fileName;
    Add(lines, "File:  " + (config.GetFileName(fileName) ? fileName : wxString("(not saved)")));
    Add(lines, "Date:  " + now.Format("%d/%m/%Y  %H:%M"));
    Add(lines, wxString::Format("CRC:   0x%04X", unsigned(config.ReportCrc())));
}

void AddGeneralSettings(const ConfigData& config, ReportLines& lines)
{
    AddSection(lines, "General Settings");
    Add(lines, wxString::Format("  Write Protect:      %s", config.GetWriteProtect() ? "Yes" : "No"));
    Add(lines, wxString::Format("  Database data age:  %d secs", config.GetDataAge()));
    Add(lines, wxString::Format("  SD card log level:  %d", config.GetSdLogLevel()));
    Add(lines, wxString::Format("  SD card log age:    %d days", config.GetSdLogAge()));
}

void AddNotes(const ConfigData& config, ReportLines& lines)
{
    AddSection(lines, "Notes");
    const wxString notes = config.GetNotes();
    if (notes.empty()) {
        Add(lines, "  (none)");
        return;
    }
    // CR LF, LF and CR each end a line.
    wxString line;
    for (size_t i = 0; i < notes.length(); ++i) {
        const wxUniChar c = notes[i];
        if (c == '\r' || c == '\n') {
            Add(lines, "  " + line);
            line.clear();
            if (c == '\r' && i + 1 < notes.length() && notes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        Add(lines, "  " + line);
}

void AddIpSettings(const ConfigData& config, ReportLines& lines)
{
    AddSection(lines, "IP Settings");
    IpTexts texts;
    config.GetIpTexts(texts);
    Add(lines, "  IP Address:       " + texts.ipAddress);
    Add(lines, "  Subnet Mask:      " + texts.subnetMask);
    Add(lines, "  Gateway:          " + texts.gateway);
    Add(lines, "  Boot Loader Port: " + texts.bootLoaderPort);
}

unsigned NodesInUse(const ConfigData& config)
{
    return std::min<unsigned>(config.GetNodeCount(), kMaxNodes);
}

void AddNodesTable(const ConfigData& config, ReportLines& lines)
{
    AddSection(lines, "Nodes");
    const unsigned count = NodesInUse(config);
    if (count == 0) {
        Add(lines, "  (no nodes configured)");
        return;
    }
    Add(lines, "  #   Protocol               Port                     Slave IDs Mem Read Mem Write");
    Add(lines, "  --- ---------------------- ------------------------ --------- -------- ---------");
    for (unsigned i = 0; i < count; ++i)
        Add(lines, wxString::Format("  %-3d %-22s %-24s %-9s %-8s %-9s", int(i + 1), config.GetProtocolName(i),
                                    config.GetPortText(i), config.GetSlaveIdsText(i),
                                    config.GetReadRangesText(i), config.GetWriteRangesText(i)));
}

void AddNodeDetails(const ConfigData& config, ReportLines& lines)
{
    AddSection(lines, "Node Details");
    const unsigned count = NodesInUse(config);
    for (unsigned i = 0; i < count; ++i) {
        const NodeEntry& node = *config.GetNode(i);
        Add(lines, wxString::Format("Node %d:  %s  |  %s", int(i + 1), config.GetProtocolName(i), config.GetPortText(i)),
            true);
        AppendProtocolLines(node, lines);
        AppendPortLines(node, lines);
        AppendSlaveLines(node, lines);
        Add(lines, wxString());
    }
}

// Who reads and writes each byte of the shared memory: "Node 1, 3".
void MarkBytes(std::array<wxString, kSharedMemorySize>& texts, unsigned start, unsigned length, unsigned nodeNumber)
{
    // A range may reach past the last byte; what lies beyond is not memory.
    for (unsigned b = start; b < start + length && b < kSharedMemorySize; ++b) {
        if (texts[b].empty())
            texts[b] = wxString::Format("Node %u", nodeNumber);
        else
            texts[b] += wxString::Format(", %u", nodeNumber);
    }
}

void AddMemoryMap(const ConfigData& config, ReportLines& lines)
{
    Add(lines, "Memory Map", true);
    Add(lines, kSectionRule);
    Add(lines, "  Byte                      Read from memory   Write to memory  ");
    Add(lines, "  ------------------------- ------------------ -----------------");

    std::array<wxString, kSharedMemorySize> reads, writes;
    const unsigned count = NodesInUse(config);
    for (unsigned k = 0; k < count; ++k) {
        SlaveRanges ranges;
        for (unsigned entry = 0; config.GetSlaveEntry(k, entry, ranges); ++entry) {
            MarkBytes(reads, ranges.readStart, ranges.readLength, k + 1);
            MarkBytes(writes, ranges.writeStart, ranges.writeLength, k + 1);
        }
    }
    for (unsigned b = 0; b < kSharedMemorySize; ++b) {
        if (reads[b].empty() && writes[b].empty())
            continue;
        const unsigned n = b + 1;
        const wxString label = wxString::Format("Byte %u (bits %u-%u)", n, 8 * n - 7, 8 * n);
        Add(lines, wxString::Format("  %-25s %-18s %-17s", label, reads[b], writes[b]));
    }
}

} // namespace

ReportLines BuildConfigReport(const ConfigData& config, const wxDateTime& now)
{
    ReportLines lines;
    AddHeader(config, now, lines);
    AddGeneralSettings(config, lines);
    AddNotes(config, lines);
    AddIpSettings(config, lines);
    AddNodesTable(config, lines);
    AddNodeDetails(config, lines);
    AddMemoryMap(config, lines);
    return lines;
}

ReportLines BuildConfigReport(const ConfigData& config)
{
    return BuildConfigReport(config, wxDateTime::Now());
}

void AppendSlaveLines(const NodeEntry& node, ReportLines& lines)
{
    const unsigned count = std::min<unsigned>(node.slaveCount, kMaxSlaves);
    if (count == 0) {
        Add(lines, "  Slaves:              None");
        return;
    }
    Add(lines, wxString::Format("  Slaves (%u):", count));
    Add(lines, "  Idx  ID    Read offset  Read size  Write offset  Write size");
    Add(lines, "  ---  ----  -----------  ---------  ------------  ----------");
    // Offsets are shown counted from 1, as the node editor's slave table
    // and the nodes table's ranges show them.
    for (unsigned k = 0; k < count; ++k)
        Add(lines, wxString::Format("  %-3u  %-4d  %-11d  %-9d  %-12d  %d", k + 1, node.slaveId[k],
                                    node.readStart[k] + 1, node.readLength[k], node.writeStart[k] + 1,
                                    node.writeLength[k]));
}
