// Finding devices on a /24 subnet: every host 1..254 is asked for its
// identity at once, and each one whose answer names the product is
// reported. Shared by the window's Find dialog and the command line.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <functional>

enum class SubnetCheck { Valid, NotThreeOctets, OctetOutOfRange };

// Reads "a.b.c." (three octets and a trailing point, nothing after it).
SubnetCheck ParseSubnet(const wxString& text, int octets[3]);

// What the scan needs from its caller.
struct DeviceScanHooks {
    // Lets `milliseconds` pass; the window yields to its event loop here so
    // that it stays painted. Without one the scan sleeps.
    std::function<void(int milliseconds)> wait;
    // Called for each device found, with its address and the first line of
    // its identity.
    std::function<void(const wxString& address, const wxString& identity)> found;
    // True where `wait` runs the toolkit's event loop, which completes the
    // pending connections itself; elsewhere the scan polls them.
    bool waitRunsEventLoop = false;
};

constexpr uint16_t kDeviceScanPort = 23;
// The scan reads at most this many bytes of each answer.
constexpr size_t kScanReplyLimit = 100;

// The identity shown for a host's answer (at most kScanReplyLimit bytes are
// looked at): its first line, when the answer begins with the product name.
bool ScanReplyIdentity(const uint8_t* reply, size_t length, wxString& identity);

// Scans octets[0].octets[1].octets[2].1-254 on `port`; returns the number of
// devices found.
int ScanSubnet(const int octets[3], const DeviceScanHooks& hooks, uint16_t port = kDeviceScanPort);
