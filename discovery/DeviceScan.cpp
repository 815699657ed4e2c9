#include "discovery/DeviceScan.h"

#include "device/DeviceText.h"

#include <wx/socket.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int kFirstHost = 1;
constexpr int kLastHost = 254;
constexpr int kConnectWaitMs = 500;
constexpr int kSendWaitMs = 200;
constexpr int kCollectWindowMs = 250;
constexpr int kWaitSliceMs = 50;
constexpr int kCollectSliceMs = 10;
constexpr char kProductName[] = "Quorastelline";

void Pause(const DeviceScanHooks& hooks, int milliseconds)
{
    if (hooks.wait)
        hooks.wait(milliseconds);
    else
        wxMilliSleep(milliseconds);
}

// Lets `total` milliseconds pass in slices, polling each pending connection
// after every slice so that connections complete also where no event loop
// runs. A poll that reports the attempt over ends that host's polling.
template <typename Sockets>
void WaitAndPoll(const DeviceScanHooks& hooks, Sockets& sockets, std::array<bool, 256>& connecting, int total)
{
    for (int spent = 0; spent < total; spent += kWaitSliceMs) {
        Pause(hooks, kWaitSliceMs);
        if (hooks.waitRunsEventLoop)
            continue;
        for (int host = kFirstHost; host <= kLastHost; ++host)
            if (connecting[host] && (sockets[host]->IsConnected() || sockets[host]->WaitOnConnect(0, 0)))
                connecting[host] = false;
    }
}

} // namespace

bool ScanReplyIdentity(const uint8_t* reply, size_t length, wxString& identity)
{
    length = std::min(length, kScanReplyLimit);
    const size_t nameLength = sizeof kProductName - 1;
    if (length < nameLength || std::memcmp(reply, kProductName, nameLength) != 0)
        return false;
    // Only the first line is shown; what follows it does not decide how
    // that line is read. A line without its CR was cut by the read.
    const void* cr = std::memchr(reply, '\r', length);
    const size_t lineLength = cr ? size_t(static_cast<const uint8_t*>(cr) - reply) : length;
    identity = DeviceText(reply, lineLength, cr == nullptr);
    return true;
}

SubnetCheck ParseSubnet(const wxString& text, int octets[3])
{
    int parts[4] = {};
    const int got = std::sscanf(text.ToAscii().data(), "%3d.%3d.%3d.%3d", &parts[0], &parts[1], &parts[2], &parts[3]);
    if (got != 3)
        return SubnetCheck::NotThreeOctets;
    for (int i = 0; i < 3; ++i) {
        if (parts[i] < 0 || parts[i] > 255)
            return SubnetCheck::OctetOutOfRange;
        octets[i] = parts[i];
    }
    return SubnetCheck::Valid;
}

int ScanSubnet(const int octets[3], const DeviceScanHooks& hooks, uint16_t port)
{
    std::array<std::unique_ptr<wxSocketClient>, 256> sockets;
    for (auto& socket : sockets)
        socket = std::make_unique<wxSocketClient>(wxSOCKET_NONE);

    // Connect: every host at once, without waiting.
    wxIPV4address address;
    address.Service(port);
    std::array<bool, 256> connecting{};
    for (int host = kFirstHost; host <= kLastHost; ++host) {
        address.Hostname(wxString::Format("%d.%d.%d.%d", octets[0], octets[1], octets[2], host));
        sockets[host]->SetTimeout(3);
        connecting[host] = !sockets[host]->Connect(address, false);
    }
    WaitAndPoll(hooks, sockets, connecting, kConnectWaitMs);

    // Send: the identity command to each host that accepted.
    static const char kIdCommand[] = "id\r\n";
    for (int host = kFirstHost; host <= kLastHost; ++host) {
        wxSocketClient& socket = *sockets[host];
        if (!socket.IsConnected())
            continue;
        socket.Discard();
        if (socket.WaitForWrite(1, 0))
            socket.Write(kIdCommand, 4);
    }
    for (int spent = 0; spent < kSendWaitMs; spent += kWaitSliceMs)
        Pause(hooks, kWaitSliceMs);

    // Collect: one shared window in which every connected host may answer,
    // so silent hosts cost the scan 250 ms in all, not 250 ms each.
    std::array<bool, 256> pending{};
    for (int host = kFirstHost; host <= kLastHost; ++host)
        pending[host] = sockets[host]->IsConnected();
    int found = 0;
    wxStopWatch window;
    bool last = false;
    while (!last) {
        last = window.Time() >= kCollectWindowMs;
        for (int host = kFirstHost; host <= kLastHost; ++host) {
            if (!pending[host] || !sockets[host]->WaitForRead(0, 0))
                continue;
            pending[host] = false;
            uint8_t reply[kScanReplyLimit] = {};
            sockets[host]->Read(reply, kScanReplyLimit);
            const size_t n = std::min<size_t>(sockets[host]->LastCount(), kScanReplyLimit);
            wxString identity;
            if (!ScanReplyIdentity(reply, n, identity))
                continue;
            ++found;
            if (hooks.found)
                hooks.found(wxString::Format("%d.%d.%d.%d", octets[0], octets[1], octets[2], host), identity);
        }
        if (!last)
            Pause(hooks, kCollectSliceMs);
    }

    for (int host = kFirstHost; host <= kLastHost; ++host)
        sockets[host]->Close();
    return found;
}
