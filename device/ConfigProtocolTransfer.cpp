// Reading and writing a whole configuration, in pieces (protocol 1.1) or in
// one frame of the older layout (protocol 1.0).
#include "device/ConfigProtocol.h"

#include "config/BlockCrc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kTransferAttempts = 3;

// Text, then data, then the checksum of both, high byte first.
std::vector<uint8_t> ChecksummedFrame(const std::string& text, const void* data = nullptr, size_t dataLength = 0)
{
    std::vector<uint8_t> frame(text.begin(), text.end());
    const auto* bytes = static_cast<const uint8_t*>(data);
    frame.insert(frame.end(), bytes, bytes + dataLength);
    const uint16_t crc = BlockCrc(frame.data(), uint16_t(frame.size()));
    frame.push_back(uint8_t(crc >> 8));
    frame.push_back(uint8_t(crc & 0xFF));
    return frame;
}

wxString NodeOfCount(unsigned node, unsigned count)
{
    return wxString::Format("node %u of %u", node, count);
}

std::string NodeStep(const char* format, unsigned node)
{
    char text[32];
    std::snprintf(text, sizeof text, format, node);
    return text;
}

// A node read request carries the string's terminating NUL before its
// checksum (15 bytes on the wire before escaping).
std::vector<uint8_t> NodeReadFrame(unsigned node)
{
    return ChecksummedFrame(NodeStep("get config %u", node) + std::string(1, '\0'));
}

constexpr char kLegacyReplyPrefix[] = "Config ";
constexpr size_t kLegacyReplyPrefixSize = sizeof kLegacyReplyPrefix - 1;

} // namespace

bool ConfigProtocol::RunTransfer(bool useTcp, const wxString& target, int portOrSpeed, wxString& error,
                                 const std::function<bool()>& legacy, const std::function<bool()>& segmented)
{
    return WithLink(useTcp, target, portOrSpeed, [&] {
        uint8_t major = 0;
        uint8_t minor = 0;
        m_legacyTransfer = false;
        if (!GetProtocolVersion(useTcp, major, minor, error))
            return false;
        m_legacyTransfer = major == 1 && minor == 0;
        if (m_legacyTransfer)
            return legacy();
        if (major == 1 && minor == 1)
            return segmented();
        error = UnsupportedVersionText(major, minor);
        return false;
    });
}

bool ConfigProtocol::ReadConfig(bool useTcp, const wxString& target, int portOrSpeed, MainBlock& main, IpBlock& ip,
                                wxString& error, const char* commandName)
{
    // A read that fails part way must leave the caller's blocks as they were.
    MainBlock newMain = main;
    IpBlock newIp = ip;
    BeginCommand(commandName);
    if (!RunTransfer(
            useTcp, target, portOrSpeed, error, [&] { return ReadConfigLegacy(useTcp, newMain, newIp, error); },
            [&] { return ReadConfigSegmented(useTcp, newMain, newIp, error); }))
        return false;
    main = newMain;
    ip = newIp;
    return true;
}

bool ConfigProtocol::WriteConfig(bool useTcp, const wxString& target, int portOrSpeed, MainBlock& main,
                                 const IpBlock& ip, wxString& error, const ConfirmLossyWrite& confirmLoss)
{
    BeginCommand("Sending configuration");
    return RunTransfer(
        useTcp, target, portOrSpeed, error, [&] { return WriteConfigLegacy(useTcp, main, ip, error, confirmLoss); },
        [&] { return WriteConfigSegmented(useTcp, main, ip, error); });
}

wxString ConfigProtocol::UnsupportedVersionText(uint8_t major, uint8_t minor)
{
    return wxString::Format("Unsupported protocol version: v%d.%d\r\nMaybe check for updated config application?",
                            int(major), int(minor));
}

bool ConfigProtocol::StopUnlessCancelled(wxString& error)
{
    if (CheckCancel()) {
        error = kCancelledText;
        return false;
    }
    EndCancellableSteps();
    return true;
}

bool ConfigProtocol::ReadPiece(bool useTcp, const std::vector<uint8_t>& frame, const std::string& expected,
                               void* payload, size_t payloadLength, wxString& error)
{
    uint8_t reply[kReplyBufferSize + 1];
    int16_t length = 0;
    if (!Exchange(useTcp, frame.data(), uint16_t(frame.size()), expected.c_str(), reply, kTransferAttempts, error,
                  &length))
        return false;
    // The line ends with its terminator; the payload must fit before it.
    const size_t carried = size_t(length) - 1 - expected.size();
    if (carried < payloadLength) {
        error = wxString::Format("Incomplete reply from device: \"%s\" carried %u of %u data bytes",
                                 wxString(expected).Strip(wxString::trailing), unsigned(carried),
                                 unsigned(payloadLength));
        return false;
    }
    if (payloadLength)
        std::memcpy(payload, reply + expected.size(), payloadLength);
    return true;
}

bool ConfigProtocol::WritePiece(bool useTcp, const std::vector<uint8_t>& frame, const std::string& expected,
                                wxString& error)
{
    uint8_t reply[kReplyBufferSize + 1];
    return Exchange(useTcp, frame.data(), uint16_t(frame.size()), expected.c_str(), reply, kTransferAttempts, error);
}

bool ConfigProtocol::ReadConfigSegmented(bool useTcp, MainBlock& main, IpBlock& ip, wxString& error)
{
    if (main.nodeCount > kMaxNodes)
        main.nodeCount = kMaxNodes;
    BeginStep("start");
    if (!ReadPiece(useTcp, ChecksummedFrame("get config S"), "Get config S OK", nullptr, 0, error))
        return false;
    BeginStep("general settings");
    if (!ReadPiece(useTcp, ChecksummedFrame("get config 0"), "Get config 0 ", &main, kMainHeaderSize, error))
        return false;
    const unsigned nodes = std::min<unsigned>(main.nodeCount, kMaxNodes);
    for (unsigned n = 1; n <= nodes; ++n) {
        BeginStep(NodeOfCount(n, nodes));
        if (!ReadPiece(useTcp, NodeReadFrame(n), NodeStep("Get config %u ", n), &main.node[n - 1], kNodeEntrySize,
                       error))
            return false;
    }
    BeginStep("IP settings");
    if (!ReadPiece(useTcp, ChecksummedFrame("get config E"), "Get config E ", &ip, kIpBlockSize, error))
        return false;
    BeginStep("end");
    return ReadPiece(useTcp, ChecksummedFrame("get config D"), "Get config D ", nullptr, 0, error);
}

bool ConfigProtocol::WriteConfigSegmented(bool useTcp, MainBlock& main, const IpBlock& ip, wxString& error)
{
    if (main.nodeCount > kMaxNodes)
        main.nodeCount = kMaxNodes;
    BeginStep("start");
    if (!WritePiece(useTcp, ChecksummedFrame("set config S"), "Set config S OK", error))
        return false;
    BeginStep("general settings");
    if (!WritePiece(useTcp, ChecksummedFrame("set config 0 ", &main, kMainHeaderSize), "Set config 0 OK", error))
        return false;
    for (unsigned n = 1; n <= main.nodeCount; ++n) {
        BeginStep(NodeOfCount(n, main.nodeCount));
        if (!WritePiece(useTcp, ChecksummedFrame(NodeStep("set config %u ", n), &main.node[n - 1], kNodeEntrySize),
                        NodeStep("Set config %u OK", n), error))
            return false;
    }
    BeginStep("IP settings");
    if (!WritePiece(useTcp, ChecksummedFrame("set config E ", &ip, kIpBlockSize), "Set config E OK", error))
        return false;
    // The end tells the device the configuration is complete: once it is
    // sent, the write runs to its answer.
    if (!StopUnlessCancelled(error))
        return false;
    BeginStep("end");
    return WritePiece(useTcp, ChecksummedFrame("set config D"), "Set config D OK", error);
}

bool ConfigProtocol::ReadConfigLegacy(bool useTcp, MainBlock& main, IpBlock& ip, wxString& error)
{
    static const char kCommand[] = "get config";
    const std::vector<uint8_t> frame(kCommand, kCommand + sizeof kCommand - 1);
    BeginStep("whole configuration");
    uint8_t data[kLegacyBlockSize + kIpBlockSize + 2];
    if (!ReadPiece(useTcp, frame, kLegacyReplyPrefix, data, sizeof data, error))
        return false;

    // The checksum covers the reply from the "C" of its prefix onwards.
    const size_t checkedData = kLegacyBlockSize + kIpBlockSize;
    const uint16_t sent = uint16_t((data[checkedData] << 8) | data[checkedData + 1]);
    const uint16_t computed = BlockCrc(data, uint16_t(checkedData), BlockCrc(kLegacyReplyPrefix, kLegacyReplyPrefixSize));
    if (computed != sent) {
        error = "Data corrupted (1)";
        return false;
    }
    LegacyBlock legacy;
    IpBlock received;
    std::memcpy(&legacy, data, kLegacyBlockSize);
    std::memcpy(&received, data + kLegacyBlockSize, kIpBlockSize);
    // The block that arrived is the one to vouch for, not the one it replaces.
    if (BlockCrc(&received, kIpCrcCoverage) != received.ipCrc) {
        error = "Data corrupted (2)";
        return false;
    }
    LegacyToMain(legacy, main);
    ip = received;
    return true;
}

bool ConfigProtocol::WriteConfigLegacy(bool useTcp, const MainBlock& main, const IpBlock& ip, wxString& error,
                                       const ConfirmLossyWrite& confirmLoss)
{
    LegacyBlock legacy;
    if (!MainToLegacy(main, legacy) && !(confirmLoss && confirmLoss()))
        return false;
    std::vector<uint8_t> data(kLegacyBlockSize + kIpBlockSize);
    std::memcpy(data.data(), &legacy, kLegacyBlockSize);
    std::memcpy(data.data() + kLegacyBlockSize, &ip, kIpBlockSize);
    // The one frame is the whole write and its end.
    if (!StopUnlessCancelled(error))
        return false;
    BeginStep("whole configuration");
    return WritePiece(useTcp, ChecksummedFrame("set config ", data.data(), data.size()), "Set config OK", error);
}
