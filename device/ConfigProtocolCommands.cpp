// The short device commands: identity, protocol version, clock, reboot.
#include "device/ConfigProtocol.h"

#include "config/BlockCrc.h"
#include "device/DeviceText.h"

#include <wx/datetime.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kIdCommand[] = "id";
constexpr char kIdReply[] = "Quorastelline";
constexpr char kVersionCommand[] = "ver";
constexpr char kVersionReply[] = "Protocol version ";
constexpr char kClockReply[] = "Time set OK";
constexpr char kRebootCommand[] = "reboot";
constexpr char kRebootReply[] = "Rebooting...";

constexpr uint8_t kIdAttempts = 2;
constexpr uint8_t kVersionAttempts = 2;
constexpr uint8_t kClockAttempts = 3;
constexpr uint8_t kRebootAttempts = 3;

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

// "set time", a blank, year (little-endian), month, day, hour, minute,
// second, then the checksum of those 16 bytes high byte first.
std::array<uint8_t, ConfigProtocol::kClockFrameSize> ClockFrame(const std::tm& t)
{
    std::array<uint8_t, ConfigProtocol::kClockFrameSize> frame{};
    std::memcpy(frame.data(), "set time ", 9);
    const unsigned year = unsigned(t.tm_year + 1900);
    frame[9] = uint8_t(year & 0xFF);
    frame[10] = uint8_t(year >> 8);
    frame[11] = uint8_t(t.tm_mon + 1);
    frame[12] = uint8_t(t.tm_mday);
    frame[13] = uint8_t(t.tm_hour);
    frame[14] = uint8_t(t.tm_min);
    frame[15] = uint8_t(t.tm_sec);
    const uint16_t crc = BlockCrc(frame.data(), 16);
    frame[16] = uint8_t(crc >> 8);
    frame[17] = uint8_t(crc & 0xFF);
    return frame;
}

} // namespace

bool ConfigProtocol::GetDeviceId(bool useTcp, const wxString& target, int portOrSpeed, wxString& identity,
                                 wxString& error)
{
    BeginCommand("Requesting ID");
    return WithLink(useTcp, target, portOrSpeed, [&] {
        BeginStep(wxString());
        uint8_t reply[kReplyBufferSize + 1];
        int16_t length = 0;
        if (!Exchange(useTcp, Bytes(kIdCommand), 2, kIdReply, reply, kIdAttempts, error, &length))
            return false;
        // The line ends with its terminator; only text cut before it was
        // cut inside the line.
        const size_t kept = std::min<size_t>(size_t(length), kReplyBufferSize - 1);
        identity = DeviceText(reply, kept, kept < size_t(length) - 1).Strip(wxString::both);
        return true;
    });
}

bool ConfigProtocol::GetProtocolVersion(bool useTcp, uint8_t& major, uint8_t& minor, wxString& error)
{
    BeginStep("protocol version");
    uint8_t reply[kReplyBufferSize + 1];
    const int16_t length = Transact(useTcp, Bytes(kVersionCommand), 3, kVersionReply, reply, kReplyBufferSize,
                                    kVersionAttempts);
    if (length == 0 && WasCancelled()) {
        error = kCancelledText;
        return false;
    }
    if (length == 0) {
        // Devices older than the version command stay silent or do not know it.
        major = 1;
        minor = 0;
        return true;
    }
    if (length < 0) {
        error = ErrorLineText(reply);
        return false;
    }
    reply[length] = 0;
    int readMajor = -1;
    int readMinor = -1;
    // A line without two readable numbers, or numbers that do not fit a
    // byte, reads as version 0.0, which no transfer accepts.
    if (std::sscanf(reinterpret_cast<const char*>(reply), "Protocol version %3d.%3d", &readMajor, &readMinor) != 2 ||
        readMajor < 0 || readMajor > 255 || readMinor < 0 || readMinor > 255)
        readMajor = readMinor = 0;
    major = uint8_t(readMajor);
    minor = uint8_t(readMinor);
    return true;
}

bool ConfigProtocol::SetDeviceClock(bool useTcp, const wxString& target, int portOrSpeed, wxString& error)
{
    std::tm now{};
    wxDateTime::GetTmNow(&now);
    return SetDeviceClock(useTcp, target, portOrSpeed, now, error);
}

bool ConfigProtocol::SetDeviceClock(bool useTcp, const wxString& target, int portOrSpeed, const std::tm& localTime,
                                    wxString& error)
{
    const auto frame = ClockFrame(localTime);
    BeginCommand("Sending time set command");
    return WithLink(useTcp, target, portOrSpeed, [&] {
        BeginStep(wxString());
        uint8_t reply[kReplyBufferSize + 1];
        return Exchange(useTcp, frame.data(), uint16_t(frame.size()), kClockReply, reply, kClockAttempts, error);
    });
}

bool ConfigProtocol::RebootDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error)
{
    BeginCommand("Sending reboot command");
    return WithLink(useTcp, target, portOrSpeed, [&] {
        BeginStep(wxString());
        uint8_t reply[kReplyBufferSize + 1];
        return Exchange(useTcp, Bytes(kRebootCommand), 6, kRebootReply, reply, kRebootAttempts, error);
    });
}
