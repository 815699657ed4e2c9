// What differs between two configurations, named the way the window and
// the report name things ("Node 3 - Port - Baud rate: 9600 -> 19200").
// Every byte is compared: a difference that no named field shows is given
// by node (or block) and offset, so none can hide.
#pragma once

#include <wx/string.h>

#include <vector>

class ConfigData;

struct ConfigDifference {
    wxString field;   // "Node 3 - Port - Baud rate", "IP Settings - Gateway"
    wxString first;   // the value in the first configuration ("(none)" when it has no such field)
    wxString second;  // the value in the second
    bool toDevice = true;  // false for what stays in the file (the notes)

    // "field: first -> second", with " (file only)" for what a device never holds.
    wxString Text() const;
};

struct CompareScope {
    bool notes = true;              // the notes, which stay in the file
    bool macAddress = true;         // the IP block's MAC address
    bool unusedNodeEntries = true;  // node entries beyond both node counts
};

// The scope of what a device holds after a write: no notes, no node
// entries beyond the count, and the MAC only when it was sent.
CompareScope DeviceScope(bool macSent);

std::vector<ConfigDifference> CompareConfigurations(const ConfigData& first, const ConfigData& second,
                                                    const CompareScope& scope = CompareScope());
