#include "DeviceSimulator.h"

#include "config/BlockCrc.h"
#include "config/ConfigData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kDle = 0x10;

// Frame sizes of the transfer steps, checksum included.
constexpr size_t kShortStepSize = 14;       // "get config S" + checksum
constexpr size_t kNodeReadSize = 15;        // "get config 1" + NUL + checksum
constexpr size_t kStepTextSize = 13;        // "set config 0 "
constexpr size_t kHeaderWriteSize = kStepTextSize + kMainHeaderSize + 2;
constexpr size_t kNodeWriteSize = kStepTextSize + kNodeEntrySize + 2;
constexpr size_t kIpWriteSize = kStepTextSize + kIpBlockSize + 2;
constexpr size_t kLegacyWriteSize = 11 + kLegacyBlockSize + kIpBlockSize + 2;
constexpr size_t kClockFrameSize = 18;

constexpr char kWriteProtected[] = "Error: Configuration is write protected";
constexpr char kBadChecksum[] = "Error: Bad checksum";
constexpr char kBadLength[] = "Error: Bad frame length";
constexpr char kNotStarted[] = "Error: No configuration write in progress";
constexpr char kUnknown[] = "Unknown command";

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool BeginsWith(const Bytes& frame, const char* text)
{
    const size_t n = std::strlen(text);
    return frame.size() >= n && std::memcmp(frame.data(), text, n) == 0;
}

bool Is(const Bytes& frame, const char* text)
{
    return frame.size() == std::strlen(text) && BeginsWith(frame, text);
}

bool ChecksumOk(const Bytes& frame)
{
    if (frame.size() < 2)
        return false;
    const size_t n = frame.size() - 2;
    return BlockCrc(frame.data(), uint16_t(n)) == uint16_t((frame[n] << 8) | frame[n + 1]);
}

void Append(Bytes& line, const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    line.insert(line.end(), bytes, bytes + length);
}

bool IsStepLetter(char c) { return c == 'S' || c == 'E' || c == 'D' || (c >= '0' && c <= '6'); }

} // namespace

Bytes WithChecksum(Bytes frame)
{
    const uint16_t crc = BlockCrc(frame.data(), uint16_t(frame.size()));
    frame.push_back(uint8_t(crc >> 8));
    frame.push_back(uint8_t(crc & 0xFF));
    return frame;
}

Bytes EscapeLine(const Bytes& line)
{
    Bytes wire;
    wire.reserve(line.size() * 2 + 2);
    for (const uint8_t b : line) {
        if (b == kLf || b == kCr || b == kDle)
            wire.push_back(kDle);
        wire.push_back(b);
    }
    wire.push_back(kCr);
    wire.push_back(kLf);
    return wire;
}

DeviceSimulator::DeviceSimulator(const SimulatorSettings& settings, const MainBlock& main, const IpBlock& ip)
    : m_settings(settings), m_main(main), m_ip(ip)
{
}

bool DeviceSimulator::IsStepName(const std::string& name)
{
    if (name == "any" || name == "id" || name == "ver" || name == "time" || name == "reboot" || name == "get" ||
        name == "set")
        return true;
    return name.size() == 5 && (name.compare(0, 4, "get-") == 0 || name.compare(0, 4, "set-") == 0) &&
           IsStepLetter(name[4]);
}

std::string DeviceSimulator::StepOf(const Bytes& frame)
{
    if (Is(frame, "id"))
        return "id";
    if (Is(frame, "ver"))
        return "ver";
    if (Is(frame, "reboot"))
        return "reboot";
    if (BeginsWith(frame, "set time "))
        return "time";
    if (Is(frame, "get config"))
        return "get";
    if (BeginsWith(frame, "set config ") && frame.size() == kLegacyWriteSize)
        return "set";
    if ((BeginsWith(frame, "get config ") || BeginsWith(frame, "set config ")) && frame.size() >= 12 &&
        IsStepLetter(char(frame[11])))
        return std::string(frame[0] == 'g' ? "get-" : "set-") + char(frame[11]);
    return "";
}

const StepFault* DeviceSimulator::FaultFor(const std::string& step) const
{
    auto it = m_settings.faults.find(step);
    if (it == m_settings.faults.end())
        it = m_settings.faults.find("any");
    return it == m_settings.faults.end() ? nullptr : &it->second;
}

Response DeviceSimulator::Handle(Session& session, const Bytes& frame)
{
    const std::string step = StepOf(frame);
    const StepFault* fault = FaultFor(step);
    Response response;
    if (fault) {
        response.delayMs = fault->delayMs;
        if (fault->drop) {
            response.drop = true;
            session = Session{};
            return response;
        }
        if (fault->silent)
            return response;
    }

    Bytes line;
    if (fault && fault->unknown)
        line = Text(kUnknown);
    else if (fault && !fault->errorText.empty())
        line = Text(fault->errorText);
    else
        line = Answer(session, step, frame);
    if (line.empty())
        return response;
    response.unknown = line == Text(kUnknown);
    // Cut short: the prefix survives, the payload does not.
    if (fault && fault->shortReply && line.size() > 16)
        line.resize(std::max<size_t>(16, line.size() / 2));

    for (unsigned i = 0; fault && i < fault->garbageLines; ++i) {
        const Bytes garbage = EscapeLine(Text("#garbage line " + std::to_string(i + 1)));
        response.wire.insert(response.wire.end(), garbage.begin(), garbage.end());
    }
    const Bytes wire = EscapeLine(line);
    response.wire.insert(response.wire.end(), wire.begin(), wire.end());
    return response;
}

Bytes DeviceSimulator::Answer(Session& session, const std::string& step, const Bytes& frame)
{
    if (step == "id")
        return Text(m_settings.identity);
    if (step == "ver") {
        if (m_settings.Legacy())
            return Text(kUnknown);
        char text[64];
        std::snprintf(text, sizeof text, "Protocol version %u.%u", m_settings.versionMajor, m_settings.versionMinor);
        return Text(text);
    }
    if (step == "reboot")
        return Text("Rebooting...");
    if (step == "time") {
        if (frame.size() != kClockFrameSize)
            return Text(kBadLength);
        return Text(ChecksumOk(frame) ? "Time set OK" : kBadChecksum);
    }
    if (step == "get" || step == "set")
        return m_settings.Legacy() ? AnswerLegacy(step, frame) : Text(kUnknown);
    if (!step.empty())
        return m_settings.Legacy() ? Text(kUnknown) : AnswerSegmented(session, step, frame);
    return Text(kUnknown);
}

IpBlock DeviceSimulator::IpForReading() const
{
    IpBlock ip = m_ip;
    if (m_settings.badIpChecksum)
        ip.ipCrc = uint16_t(ip.ipCrc ^ 0x5A5A);
    return ip;
}

Bytes DeviceSimulator::AnswerSegmented(Session& session, const std::string& step, const Bytes& frame)
{
    const char letter = step[4];
    const bool isNode = letter >= '1' && letter <= '6';
    const unsigned node = isNode ? unsigned(letter - '0') : 0;

    if (step[0] == 'g') {
        const bool sizeOk = frame.size() == kShortStepSize || (isNode && frame.size() == kNodeReadSize && frame[12] == 0);
        if (!sizeOk)
            return Text(kBadLength);
        if (!ChecksumOk(frame))
            return Text(kBadChecksum);
        Bytes line = Text(std::string("Get config ") + letter + " ");
        if (letter == 'S' || letter == 'D')
            return Text(std::string("Get config ") + letter + " OK");
        if (letter == '0')
            Append(line, &m_main, kMainHeaderSize);
        else if (letter == 'E') {
            const IpBlock ip = IpForReading();
            Append(line, &ip, kIpBlockSize);
        } else
            Append(line, &m_main.node[node - 1], kNodeEntrySize);
        return line;
    }

    size_t wanted = kShortStepSize;
    if (letter == '0')
        wanted = kHeaderWriteSize;
    else if (letter == 'E')
        wanted = kIpWriteSize;
    else if (isNode)
        wanted = kNodeWriteSize;
    if (frame.size() != wanted || (wanted != kShortStepSize && frame[12] != ' '))
        return Text(kBadLength);
    if (!ChecksumOk(frame))
        return Text(kBadChecksum);

    const uint8_t* data = frame.data() + kStepTextSize;
    const Bytes ok = Text(std::string("Set config ") + letter + " OK");
    if (letter == 'S') {
        if (m_settings.writeProtect && m_main.writeProtect)
            return Text(kWriteProtected);
        session.writing = true;
        session.main = m_main;
        session.ip = m_ip;
        return ok;
    }
    if (!session.writing)
        return Text(kNotStarted);
    if (letter == '0')
        std::memcpy(&session.main, data, kMainHeaderSize);
    else if (letter == 'E')
        std::memcpy(&session.ip, data, kIpBlockSize);
    else if (isNode)
        std::memcpy(&session.main.node[node - 1], data, kNodeEntrySize);
    else {
        session.writing = false;
        Commit(session.main, session.ip);
    }
    return ok;
}

Bytes DeviceSimulator::AnswerLegacy(const std::string& step, const Bytes& frame)
{
    if (step == "get") {
        LegacyBlock legacy;
        MainToLegacy(m_main, legacy);
        const IpBlock ip = IpForReading();
        Bytes line = Text("Config ");
        Append(line, &legacy, kLegacyBlockSize);
        Append(line, &ip, kIpBlockSize);
        line = WithChecksum(line);
        if (m_settings.badChecksum)
            line.back() ^= 0xFF;
        return line;
    }
    if (!ChecksumOk(frame))
        return Text(kBadChecksum);
    if (m_settings.writeProtect && m_main.writeProtect)
        return Text(kWriteProtected);
    LegacyBlock legacy;
    IpBlock ip;
    std::memcpy(&legacy, frame.data() + 11, kLegacyBlockSize);
    std::memcpy(&ip, frame.data() + 11 + kLegacyBlockSize, kIpBlockSize);
    MainBlock main;
    LegacyToMain(legacy, main);
    Commit(main, ip);
    return Text("Set config OK");
}

void DeviceSimulator::Commit(const MainBlock& main, const IpBlock& ip)
{
    m_main = main;
    m_ip = ip;
    if (m_settings.corruptStore)
        m_main.node[0].slaveId[0] ^= 0x01;
    if (m_settings.saveFile.empty())
        return;
    ConfigData document;
    document.SetBlocks(m_main, m_ip);
    if (!document.Save(m_settings.saveFile))
        std::fprintf(stderr, "qst-devsim: could not save %s\n", m_settings.saveFile.c_str());
}
