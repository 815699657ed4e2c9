// The configuration report: the whole document as fixed-pitch text lines,
// some of them headings printed bold. No window code, so the command-line
// tool and the tests can build it too.
#pragma once

#include <wx/string.h>

#include <vector>

class ConfigData;
class wxDateTime;
struct NodeEntry;

struct ReportLine {
    wxString text;
    bool bold = false;
};

using ReportLines = std::vector<ReportLine>;

// The report as of the given local time (the "Date:" line).
ReportLines BuildConfigReport(const ConfigData& config, const wxDateTime& now);
// The report as of now.
ReportLines BuildConfigReport(const ConfigData& config);

// The per-node parts of the "Node Details" section, appended to lines.
void AppendProtocolLines(const NodeEntry& node, ReportLines& lines);
void AppendPortLines(const NodeEntry& node, ReportLines& lines);
void AppendSlaveLines(const NodeEntry& node, ReportLines& lines);
