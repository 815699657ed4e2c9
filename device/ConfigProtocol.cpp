#include "device/ConfigProtocol.h"

#include <wx/utils.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

const char* const kNoResponseText = "No/Unknown response";
const char* const kCancelledText = "Cancelled";

namespace {

constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kDle = 0x10;

constexpr int kPollsPerAttempt = 10;
constexpr size_t kChunkSize = 1024;

constexpr char kUnknownCommand[] = "Unknown command";
constexpr size_t kUnknownCommandLength = sizeof kUnknownCommand - 1;
constexpr char kErrorPrefix[] = "Error: ";
constexpr size_t kErrorPrefixLength = sizeof kErrorPrefix - 1;

bool IsTerminator(uint8_t b) { return b == kLf || b == kCr; }

std::vector<uint8_t> EscapeFrame(const uint8_t* command, uint16_t length)
{
    std::vector<uint8_t> frame;
    frame.reserve(size_t(length) * 2 + 2);
    for (uint16_t i = 0; i < length; ++i) {
        if (IsTerminator(command[i]) || command[i] == kDle)
            frame.push_back(kDle);
        frame.push_back(command[i]);
    }
    frame.push_back(kCr);
    frame.push_back(kLf);
    return frame;
}

// Device text is 8-bit; anything outside ASCII shows as "_".
wxString AsciiText(const uint8_t* text, size_t length)
{
    wxString out;
    out.reserve(length);
    for (size_t i = 0; i < length && text[i] != 0; ++i)
        out += text[i] < 0x80 ? wxUniChar(text[i]) : wxUniChar('_');
    return out;
}

bool ChunkBeginsWith(const uint8_t* chunk, size_t got, const char* text, size_t length)
{
    return got >= length && std::memcmp(chunk, text, length) == 0;
}

} // namespace

ConfigProtocol::ConfigProtocol()
    : wxSocketClient(wxSOCKET_NONE)
{
    // Bounds each blocking connect; reads have their own bound.
    SetTimeout(2);
}

ConfigProtocol::~ConfigProtocol()
{
    Close();
}

bool ConfigProtocol::PortExists(const wxString& path) const
{
    return m_serial.Exists(path);
}

bool ConfigProtocol::OpenLink(bool useTcp, const wxString& target, int portOrSpeed)
{
    if (CheckCancel())
        return false;
    if (!useTcp)
        return m_serial.Open(target, portOrSpeed, 8, 1) == 1;

    if (portOrSpeed <= 0 || portOrSpeed > 65535)
        return false;
    wxIPV4address address;
    if (!address.Hostname(target) || !address.Service(uint16_t(portOrSpeed)))
        return false;
    BeginStep("connecting");
    if (!ConnectTcp(address)) {
        if (!Pause(m_timing.reconnectPauseMs) || !ConnectTcp(address)) {
            Close();
            return false;
        }
    }
    if (!Pause(m_timing.afterConnectMs)) {
        Close();
        return false;
    }
    return true;
}

bool ConfigProtocol::ConnectTcp(const wxIPV4address& address)
{
    Close();
    if (Connect(address, false))
        return true;
    // Bounded by the socket's time-out, as a blocking connect would be, in
    // slices short enough to notice a cancel.
    const long limitMs = GetTimeout() * 1000;
    for (long waited = 0;; waited += kCancelCheckMs) {
        if (WaitOnConnect(0, kCancelCheckMs))
            return IsConnected();
        if (waited + kCancelCheckMs >= limitMs || CheckCancel())
            return false;
    }
}

bool ConfigProtocol::CloseLink(bool useTcp)
{
    if (useTcp)
        Close();
    else
        m_serial.Close();
    return true;
}

void ConfigProtocol::BeginCommand(const char* name)
{
    m_commandName = name;
    m_step.clear();
    m_cancellable = true;
    m_cancelled = false;
}

void ConfigProtocol::BeginStep(const wxString& step)
{
    m_step = step;
    TellWatcher(wxString());
}

void ConfigProtocol::EndCancellableSteps()
{
    m_cancellable = false;
}

void ConfigProtocol::TellWatcher(const wxString& suffix)
{
    if (!m_watcher)
        return;
    wxString text = m_commandName;
    if (!m_step.empty())
        text += (text.empty() ? "" : ": ") + m_step;
    m_watcher->OnStep(text + suffix + "...", m_cancellable);
}

bool ConfigProtocol::CheckCancel()
{
    if (!m_cancelled && m_cancellable && m_watcher && m_watcher->IsCancelRequested())
        m_cancelled = true;
    return m_cancelled;
}

bool ConfigProtocol::Pause(int ms)
{
    while (ms > 0) {
        if (CheckCancel())
            return false;
        const int slice = std::min(ms, kCancelCheckMs);
        wxMilliSleep(slice);
        ms -= slice;
    }
    return !CheckCancel();
}

bool ConfigProtocol::SendFrame(bool useTcp, const uint8_t* frame, size_t length)
{
    if (!useTcp)
        return m_serial.Write(frame, int(length)) == int(length);
    Write(frame, wxUint32(length));
    if (LastError() != wxSOCKET_NOERROR)
        return false;
    return Pause(m_timing.afterSendMs);
}

bool ConfigProtocol::PollChunk(bool useTcp, uint8_t* chunk, size_t capacity, size_t& got)
{
    got = 0;
    if (useTcp) {
        // One wait for the whole poll, cut into slices to notice a cancel.
        for (int left = m_timing.tcpPollMs;; left -= kCancelCheckMs) {
            if (WaitForRead(0, std::min(left, kCancelCheckMs)))
                break;
            if (left <= kCancelCheckMs || CheckCancel())
                return false;
        }
        Read(chunk, wxUint32(capacity));
        got = LastCount();
        return true;
    }
    if (!Pause(m_timing.serialPollMs))
        return false;
    const int count = m_serial.Read(chunk, int(capacity));
    if (count <= 0)
        return false;
    got = size_t(count);
    return true;
}

int16_t ConfigProtocol::Transact(bool useTcp, const uint8_t* command, uint16_t commandLength, const char* expected,
                                 uint8_t* reply, uint16_t replySize, uint8_t attempts)
{
    if (CheckCancel())
        return 0;
    if (useTcp) {
        if (!IsConnected())
            return 0;
        Discard();
    } else {
        if (!m_serial.IsOpen())
            return 0;
        if (!Pause(m_timing.serialSettleMs))
            return 0;
        uint8_t stale[kChunkSize];
        m_serial.Read(stale, sizeof stale);
    }

    const std::vector<uint8_t> frame = EscapeFrame(command, commandLength);
    if (attempts == 0 || reply == nullptr || replySize == 0 || expected == nullptr)
        return 0;
    // The result carries the line length in 16 signed bits.
    const size_t capacity = std::min<size_t>(replySize, INT16_MAX);
    const size_t prefixLength = std::strlen(expected);

    uint8_t chunk[kChunkSize];
    for (unsigned attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) {
            if (CheckCancel())
                return 0;
            TellWatcher(wxString::Format(" (attempt %u of %u)", attempt + 1, unsigned(attempts)));
        }
        if (!SendFrame(useTcp, frame.data(), frame.size()))
            return 0;

        size_t pos = 0;
        // Escaping belongs to the byte stream, not to how reads happen to
        // split it: a DLE ending one chunk escapes the next chunk's first byte.
        bool escaped = false;
        for (int poll = 0; poll < kPollsPerAttempt; ++poll) {
            size_t got = 0;
            if (!PollChunk(useTcp, chunk, sizeof chunk, got))
                break;
            if (got == 0 || pos >= capacity)
                continue;

            bool complete = false;
            for (size_t i = 0; i < got && pos < capacity; ++i) {
                const uint8_t b = chunk[i];
                if (escaped) {
                    reply[pos++] = b;
                    escaped = false;
                } else if (b == kDle) {
                    escaped = true;
                } else {
                    reply[pos] = b;
                    if (IsTerminator(b)) {
                        complete = true;
                        break;
                    }
                    ++pos;
                }
            }
            if (!complete)
                continue;

            const size_t lineLength = pos + 1;
            if (lineLength == 1) {
                pos = 0;
                continue;
            }
            if (lineLength >= prefixLength && std::memcmp(reply, expected, prefixLength) == 0)
                return int16_t(lineLength);
            if (lineLength >= kUnknownCommandLength &&
                ChunkBeginsWith(chunk, got, kUnknownCommand, kUnknownCommandLength))
                continue;  // the gathered text stays; this attempt cannot match any more
            if (lineLength >= kErrorPrefixLength && ChunkBeginsWith(chunk, got, kErrorPrefix, kErrorPrefixLength)) {
                size_t n = 0;
                while (n < got && !IsTerminator(chunk[n]) && n < capacity - 1)
                    ++n;
                std::memcpy(reply, chunk, n);
                reply[n] = 0;
                return int16_t(-int(n));
            }
            pos = 0;
        }
    }
    return 0;
}

bool ConfigProtocol::Exchange(bool useTcp, const uint8_t* command, uint16_t commandLength, const char* expected,
                              uint8_t* reply, uint8_t attempts, wxString& error, int16_t* length)
{
    const int16_t result = Transact(useTcp, command, commandLength, expected, reply, kReplyBufferSize, attempts);
    if (length)
        *length = result;
    if (result > 0)
        return true;
    if (result < 0)
        error = ErrorLineText(reply);
    else
        error = m_cancelled ? kCancelledText : kNoResponseText;
    return false;
}

wxString ConfigProtocol::ErrorLineText(const uint8_t* reply)
{
    return AsciiText(reply, kReplyBufferSize);
}

bool ConfigProtocol::WithLink(bool useTcp, const wxString& target, int portOrSpeed,
                              const std::function<bool()>& exchange)
{
    if (!OpenLink(useTcp, target, portOrSpeed))
        return false;
    const bool ok = exchange();
    CloseLink(useTcp);
    return ok;
}
