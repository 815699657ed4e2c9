// What an engineer should be told about a configuration before it goes to
// a device: errors (it will not work as meant) and warnings (it may not).
#pragma once

#include <wx/string.h>

#include <vector>

class ConfigData;

enum class FindingSeverity { Error, Warning };

struct ConfigFinding {
    FindingSeverity severity;
    wxString text;  // one plain sentence
};

std::vector<ConfigFinding> CheckConfiguration(const ConfigData& config);

bool HasErrors(const std::vector<ConfigFinding>& findings);

// "Error: ..." or "Warning: ...".
wxString FindingText(const ConfigFinding& finding);

// For each byte of the shared memory, the numbers (1-6) of the nodes that
// write it; a byte with two or more is written by whichever writes last.
std::vector<std::vector<unsigned>> MemoryWriters(const ConfigData& config);
