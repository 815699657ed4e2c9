// Whole transfers and device commands against the device simulator, over
// loopback TCP and over a pseudo-terminal.
#include "config/BlockCrc.h"
#include "config/ConfigData.h"

#include "support/DevSimProcess.h"
#include "support/QuickLink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

using Frames = std::vector<std::vector<unsigned char>>;

const char kNoResponse[] = "No/Unknown response";

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

void AppendRaw(Bytes& to, const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    to.insert(to.end(), bytes, bytes + length);
}

// The frame checksum: over everything before it, high byte first.
Bytes Checksummed(Bytes frame)
{
    const uint16_t crc = BlockCrc(frame.data(), uint16_t(frame.size()));
    frame.push_back(uint8_t(crc >> 8));
    frame.push_back(uint8_t(crc));
    return frame;
}

void PutLe16(Bytes& to, size_t offset, uint16_t value)
{
    to[offset] = uint8_t(value);
    to[offset + 1] = uint8_t(value >> 8);
}

// The 13 header bytes and one 383-byte node entry, laid out by offset.
Bytes HeaderBytes(const MainBlock& m)
{
    Bytes b(13);
    b[0] = m.writeProtect;
    b[1] = m.dataAge;
    b[2] = m.sdLogLevel;
    b[3] = m.sdLogAge;
    b[4] = m.nodeCount;
    for (int i = 0; i < 8; ++i)
        b[5 + i] = m.reserved[i];
    return b;
}

Bytes NodeBytes(const NodeEntry& n)
{
    Bytes b(383);
    b[0] = n.protocol;
    PutLe16(b, 1, n.protocolWord);
    PutLe16(b, 3, n.portCode);
    for (int i = 0; i < 4; ++i)
        b[5 + i] = n.remoteIp[i];
    PutLe16(b, 9, n.portNumber);
    b[11] = n.baudCode;
    PutLe16(b, 12, n.portWord);
    b[14] = n.slaveCount;
    for (int k = 0; k < 50; ++k) {
        b[15 + k] = n.slaveId[k];
        PutLe16(b, 65 + 2 * k, n.readStart[k]);
        b[165 + k] = n.readLength[k];
        PutLe16(b, 215 + 2 * k, n.writeStart[k]);
        b[315 + k] = n.writeLength[k];
    }
    for (int i = 0; i < 18; ++i)
        b[365 + i] = n.protocolExtra[i];
    return b;
}

Bytes IpBytes(const IpBlock& ip)
{
    Bytes b;
    AppendRaw(b, &ip, 24);
    return b;
}

// The older layout: 5 header bytes, six 83-byte records, 8 reserved bytes.
Bytes LegacyBytes(const MainBlock& m)
{
    Bytes b(511, 0);
    for (int i = 0; i < 5; ++i)
        b[i] = HeaderBytes(m)[i];
    for (int i = 0; i < 8; ++i)
        b[503 + i] = m.reserved[i];
    for (unsigned i = 0; i < m.nodeCount && i < 6; ++i) {
        const NodeEntry& n = m.node[i];
        const Bytes entry = NodeBytes(n);
        const size_t at = 5 + 83 * i;
        for (int j = 0; j < 14; ++j)
            b[at + j] = entry[j];
        unsigned taken = 0;
        for (unsigned k = 0; k < n.slaveCount && taken < 10; ++k) {
            if (n.readStart[k] + n.readLength[k] > 255 || n.writeStart[k] + n.writeLength[k] > 255)
                continue;
            b[at + 15 + taken] = n.slaveId[k];
            b[at + 25 + taken] = uint8_t(n.readStart[k]);
            b[at + 35 + taken] = n.readLength[k];
            b[at + 45 + taken] = uint8_t(n.writeStart[k]);
            b[at + 55 + taken] = n.writeLength[k];
            ++taken;
        }
        b[at + 14] = uint8_t(taken);
        for (int j = 0; j < 18; ++j)
            b[at + 65 + j] = n.protocolExtra[j];
    }
    return b;
}

// A document unlike the defaults, whose bytes include the ones the link
// must escape (0x0A, 0x0D, 0x10) and which the older layout can carry.
void MakeDistinct(ConfigData& doc, unsigned nodes)
{
    doc.SetDataAge(0x0A);
    doc.SetSdLogAge(0x0D);
    doc.SetWriteProtect(0);
    while (doc.GetNodeCount() < nodes)
        ASSERT_TRUE(doc.AddNode());
    for (unsigned i = 0; i < doc.GetNodeCount(); ++i) {
        NodeEntry& n = *doc.GetNode(i);
        n.protocolWord = uint16_t(0x100A + i);
        n.remoteIp[0] = 0x10;
        n.remoteIp[3] = uint8_t(0x0D + i);
        n.protocolExtra[0] = 0x10;
        n.protocolExtra[17] = uint8_t(0xA0 + i);
        n.slaveCount = 3;
        for (unsigned k = 0; k < 3; ++k) {
            n.slaveId[k] = uint8_t(10 + k);
            n.readStart[k] = uint16_t(16 * k);
            n.readLength[k] = 0x0A;
            n.writeStart[k] = uint16_t(100 + 13 * k);
            n.writeLength[k] = 0x0D;
        }
    }
    ASSERT_TRUE(doc.SetIpSettings("127.0.0.10", "255.255.0.0", "127.0.0.13", "02:10:0A:0D:00:FF", "4112"));
}

bool SameBlocks(const ConfigData& a, const ConfigData& b)
{
    return std::memcmp(&a.GetMainBlock(), &b.GetMainBlock(), sizeof(MainBlock)) == 0 &&
           std::memcmp(&a.GetIpBlock(), &b.GetIpBlock(), sizeof(IpBlock)) == 0;
}

// A document whose bytes are those of `source`, for "unchanged" checks.
struct Snapshot {
    explicit Snapshot(const ConfigData& doc) : main(doc.GetMainBlock()), ip(doc.GetIpBlock()), modified(doc.IsModified()) {}
    bool Matches(const ConfigData& doc) const
    {
        return std::memcmp(&main, &doc.GetMainBlock(), sizeof main) == 0 &&
               std::memcmp(&ip, &doc.GetIpBlock(), sizeof ip) == 0 && modified == doc.IsModified();
    }
    MainBlock main;
    IpBlock ip;
    bool modified;
};

Bytes AsBytes(const std::vector<unsigned char>& v) { return Bytes(v.begin(), v.end()); }

Bytes SegmentedStep(const std::string& text) { return Checksummed(Text(text)); }

Bytes NodeReadStep(unsigned n)
{
    Bytes frame = Text("get config " + std::to_string(n));
    frame.push_back(0);
    return Checksummed(frame);
}

// The frames a 1.1 read of `nodes` nodes sends, from the tables.
std::vector<Bytes> ExpectedReadFrames(unsigned nodes)
{
    std::vector<Bytes> frames{Text("ver"), SegmentedStep("get config S"), SegmentedStep("get config 0")};
    for (unsigned n = 1; n <= nodes; ++n)
        frames.push_back(NodeReadStep(n));
    frames.push_back(SegmentedStep("get config E"));
    frames.push_back(SegmentedStep("get config D"));
    return frames;
}

std::vector<Bytes> ExpectedWriteFrames(const ConfigData& doc)
{
    const MainBlock& m = doc.GetMainBlock();
    std::vector<Bytes> frames{Text("ver"), SegmentedStep("set config S")};
    Bytes header = Text("set config 0 ");
    const Bytes h = HeaderBytes(m);
    header.insert(header.end(), h.begin(), h.end());
    frames.push_back(Checksummed(header));
    for (unsigned n = 1; n <= m.nodeCount; ++n) {
        Bytes node = Text("set config " + std::to_string(n) + " ");
        const Bytes e = NodeBytes(m.node[n - 1]);
        node.insert(node.end(), e.begin(), e.end());
        frames.push_back(Checksummed(node));
    }
    Bytes ip = Text("set config E ");
    const Bytes i = IpBytes(doc.GetIpBlock());
    ip.insert(ip.end(), i.begin(), i.end());
    frames.push_back(Checksummed(ip));
    frames.push_back(SegmentedStep("set config D"));
    return frames;
}

void ExpectFrames(const std::vector<Bytes>& expected, const Frames& logged)
{
    ASSERT_EQ(expected.size(), logged.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Bytes got = AsBytes(logged[i]);
        EXPECT_EQ(expected[i], got) << "frame " << i << "\nexpected " << HexDump(expected[i].data(), expected[i].size())
                                    << "\ngot      " << HexDump(got.data(), got.size());
    }
}

using LoggedSizes = std::vector<size_t>;

LoggedSizes Sizes(const Frames& frames)
{
    LoggedSizes sizes;
    for (const auto& f : frames)
        sizes.push_back(f.size());
    return sizes;
}

// One simulator and the files it uses.
class Device
{
public:
    explicit Device(std::vector<std::string> args, const ConfigData* held = nullptr)
    {
        args.insert(args.end(), {"--log", m_dir.File("log"), "--save", m_dir.File("saved.qst")});
        if (held) {
            ConfigData copy;
            copy.SetBlocks(held->GetMainBlock(), held->GetIpBlock());
            EXPECT_TRUE(copy.Save(m_dir.File("held.qst")));
            args.insert(args.end(), {"--config", m_dir.File("held.qst")});
        }
        m_process = std::make_unique<DevSimProcess>(args);
        EXPECT_TRUE(m_process->IsReady()) << m_process->Banner();
    }
    bool Tcp() const { return !Pty(); }
    bool Pty() const { return !m_process->PtyPath().empty() && m_process->Port() == 0; }
    wxString Target() const
    {
        return Pty() ? wxString(m_process->PtyPath()) : wxString(m_process->Addresses().front());
    }
    int PortOrSpeed() const { return Pty() ? 9600 : m_process->Port(); }
    Frames Logged() const { return LoggedFrames(m_dir.File("log")); }
    // What the simulator holds after a complete write.
    bool Saved(ConfigData& doc) const
    {
        wxString error;
        return doc.Load(m_dir.File("saved.qst"), error);
    }

    // Over the link's quick timing: these tests are about what goes over
    // the link, not about its pace.
    bool Read(ConfigData& doc, wxString& error)
    {
        doc.SetLinkTiming(QuickLinkTiming());
        return doc.ReadFromDevice(!Pty(), Target(), PortOrSpeed(), error);
    }
    bool Write(ConfigData& doc, wxString& error, const ConfirmLossyWrite& confirm = {})
    {
        doc.SetLinkTiming(QuickLinkTiming());
        return doc.WriteToDevice(!Pty(), Target(), PortOrSpeed(), error, confirm);
    }

private:
    TempDir m_dir;
    std::unique_ptr<DevSimProcess> m_process;
};

// A protocol 1.0 device's "Unknown command" ends the attempt at once
// rather than after 5 s of silence.
std::vector<std::string> Tcp(std::vector<std::string> more = {})
{
    more.insert(more.begin(), {"--listen", "127.0.0.1", "--quick-unknown"});
    return more;
}

std::vector<std::string> Pty(std::vector<std::string> more = {})
{
    more.insert(more.begin(), "--pty");
    return more;
}

} // namespace

// --- Reads and writes in both protocol versions -----------------------------

class TransferBothLinks : public ::testing::TestWithParam<bool>
{
protected:
    std::vector<std::string> Link(std::vector<std::string> more = {}) const { return GetParam() ? Tcp(more) : Pty(more); }
};

TEST_P(TransferBothLinks, SegmentedReadTakesWhatTheDeviceHolds)
{
    ConfigData held;
    MakeDistinct(held, 3);
    MainBlock main = held.GetMainBlock();
    main.reserved[0] = 0x10;
    main.reserved[7] = 0x5A;
    held.SetBlocks(main, held.GetIpBlock());
    Device device(Link(), &held);

    ConfigData doc;
    ASSERT_FALSE(doc.IsModified());
    wxString error = "untouched";
    ASSERT_TRUE(device.Read(doc, error)) << error;
    EXPECT_EQ("untouched", error);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(SameBlocks(held, doc));
    const Frames logged = device.Logged();
    ExpectFrames(ExpectedReadFrames(3), logged);
    EXPECT_EQ(LoggedSizes({3, 14, 14, 15, 15, 15, 14, 14}), Sizes(logged));
}

TEST_P(TransferBothLinks, SegmentedWriteLeavesTheDeviceHoldingTheDocument)
{
    ConfigData doc;
    MakeDistinct(doc, 2);
    Device device(Link());
    wxString error = "untouched";
    ASSERT_TRUE(device.Write(doc, error)) << error;
    EXPECT_EQ("untouched", error);
    ConfigData saved;
    ASSERT_TRUE(device.Saved(saved));
    EXPECT_TRUE(SameBlocks(doc, saved));
    const Frames logged = device.Logged();
    ExpectFrames(ExpectedWriteFrames(doc), logged);
    EXPECT_EQ(LoggedSizes({3, 14, 28, 398, 398, 39, 14}), Sizes(logged));
}

TEST_P(TransferBothLinks, LegacyReadAndWrite)
{
    ConfigData held;
    MakeDistinct(held, 3);
    Device device(Link({"--protocol", "1.0"}), &held);

    ConfigData doc;
    wxString error;
    ASSERT_TRUE(device.Read(doc, error)) << error;
    EXPECT_TRUE(SameBlocks(held, doc));

    ConfigData other;
    MakeDistinct(other, 2);
    other.GetNode(1)->slaveId[2] = 0x77;
    ASSERT_TRUE(device.Write(other, error)) << error;
    ConfigData saved;
    ASSERT_TRUE(device.Saved(saved));
    EXPECT_TRUE(SameBlocks(other, saved));

    // "ver" goes unanswered twice (one frame per attempt) before each transfer.
    Bytes write = Text("set config ");
    const Bytes legacy = LegacyBytes(other.GetMainBlock());
    const Bytes ip = IpBytes(other.GetIpBlock());
    write.insert(write.end(), legacy.begin(), legacy.end());
    write.insert(write.end(), ip.begin(), ip.end());
    write = Checksummed(write);
    ASSERT_EQ(548u, write.size());
    ExpectFrames({Text("ver"), Text("ver"), Text("get config"), Text("ver"), Text("ver"), write}, device.Logged());
}

INSTANTIATE_TEST_SUITE_P(Links, TransferBothLinks, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Tcp" : "Pty"; });

TEST(Transfer, NoNodesSendsFourFramesAfterTheVersion)
{
    ConfigData doc;
    while (doc.GetNodeCount() > 0)
        ASSERT_TRUE(doc.DeleteNode(0));
    Device device(Tcp());
    wxString error;
    ASSERT_TRUE(device.Write(doc, error)) << error;
    const Frames logged = device.Logged();
    ASSERT_EQ(5u, logged.size());
    ExpectFrames(ExpectedWriteFrames(doc), logged);

    // A device holding no nodes is read without node requests.
    ConfigData back;
    ASSERT_TRUE(device.Read(back, error)) << error;
    EXPECT_EQ(0, back.GetNodeCount());
    EXPECT_EQ(5u + 5u, device.Logged().size());
}

TEST(Transfer, LossyLegacyWriteAsksFirst)
{
    ConfigData doc;
    MakeDistinct(doc, 2);
    NodeEntry& node = *doc.GetNode(1);
    node.slaveCount = 12;
    for (unsigned k = 0; k < 12; ++k) {
        node.slaveId[k] = uint8_t(k + 1);
        node.readStart[k] = uint16_t(k);
        node.readLength[k] = 1;
        node.writeStart[k] = uint16_t(100 + k);
        node.writeLength[k] = 1;
    }
    Device device(Pty({"--protocol", "1.0"}));
    const Snapshot before(doc);

    int asked = 0;
    wxString error = "untouched";
    EXPECT_FALSE(device.Write(doc, error, [&] { ++asked; return false; }));
    EXPECT_EQ(1, asked);
    EXPECT_EQ("untouched", error);
    EXPECT_FALSE(device.Write(doc, error));  // no one to ask: declined
    EXPECT_EQ("untouched", error);
    for (const auto& frame : device.Logged())
        EXPECT_EQ(Text("ver"), AsBytes(frame));
    EXPECT_TRUE(before.Matches(doc));

    ASSERT_TRUE(device.Write(doc, error, [&] { ++asked; return true; })) << error;
    EXPECT_EQ(2, asked);
    ConfigData saved;
    ASSERT_TRUE(device.Saved(saved));
    EXPECT_EQ(10, saved.GetNode(1)->slaveCount);
    EXPECT_EQ(10, saved.GetNode(1)->slaveId[9]);

    // Ranges the older layout carries go without a question.
    doc.GetNode(1)->slaveCount = 10;
    ASSERT_TRUE(device.Write(doc, error, [&] { ++asked; return false; })) << error;
    EXPECT_EQ(2, asked);
}

TEST(Transfer, UnsupportedVersionsAreRefused)
{
    for (const char* version : {"1.2", "2.0"}) {
        Device device(Tcp({"--protocol", version}));
        ConfigData doc;
        MakeDistinct(doc, 1);
        const Snapshot before(doc);
        const wxString expected = wxString("Unsupported protocol version: v") + version +
                                  "\r\nMaybe check for updated config application?";
        wxString error;
        EXPECT_FALSE(device.Read(doc, error));
        EXPECT_EQ(expected, error);
        error.clear();
        EXPECT_FALSE(device.Write(doc, error));
        EXPECT_EQ(expected, error);
        EXPECT_TRUE(before.Matches(doc));
        ExpectFrames({Text("ver"), Text("ver")}, device.Logged());
    }
}

// --- Faults: each ends in its error text and an unchanged document --------

struct FaultCase {
    const char* name;
    std::vector<std::string> args;
    bool write;
    const char* error;  // nullptr: any text beginning "Incomplete reply"
};

class TransferFault : public ::testing::TestWithParam<FaultCase>
{
};

TEST_P(TransferFault, EndsInItsErrorAndLeavesTheDocument)
{
    const FaultCase& c = GetParam();
    ConfigData held;
    MakeDistinct(held, 3);
    Device device(c.args, &held);
    ConfigData doc;
    const Snapshot before(doc);
    wxString error;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = c.write ? device.Write(doc, error) : device.Read(doc, error);
    EXPECT_FALSE(ok);
    if (c.error)
        EXPECT_EQ(wxString(c.error), error);
    else
        EXPECT_TRUE(error.StartsWith("Incomplete reply from device: \"Get config 2\" carried ")) << error;
    EXPECT_TRUE(before.Matches(doc));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TransferFault,
    ::testing::Values(
        FaultCase{"ErrorLineMidRead", Tcp({"--error", "get-3"}), false, "Error: Simulated failure"},
        FaultCase{"ErrorLineMidWrite", Tcp({"--error", "set-E:IP block refused"}), true, "Error: IP block refused"},
        FaultCase{"DroppedMidRead", Tcp({"--drop", "get-2"}), false, kNoResponse},
        FaultCase{"DroppedMidWrite", Tcp({"--drop", "set-1"}), true, kNoResponse},
        FaultCase{"ShortReply", Tcp({"--short", "get-2"}), false, nullptr},
        FaultCase{"SilentAtEnd", Pty({"--silent", "get-D"}), false, kNoResponse},
        FaultCase{"UnknownStep", Pty({"--unknown", "get-1"}), false, kNoResponse},
        FaultCase{"GarbageBeforeReply", Pty({"--garbage", "get-0"}), false, kNoResponse},
        FaultCase{"LegacyReplyChecksum", Pty({"--protocol", "1.0", "--bad-checksum"}), false, "Data corrupted (1)"},
        FaultCase{"LegacyIpChecksum", Pty({"--protocol", "1.0", "--bad-ip-checksum"}), false, "Data corrupted (2)"},
        FaultCase{"LegacyWriteError", Pty({"--protocol", "1.0", "--error", "set"}), true, "Error: Simulated failure"},
        FaultCase{"VersionErrorLine", Tcp({"--error", "ver:busy"}), false, "Error: busy"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(Transfer, SlowAndSplitRepliesStillArrive)
{
    ConfigData held;
    MakeDistinct(held, 2);
    Device device(Tcp({"--split", "7", "--delay", "get-1:300"}), &held);
    ConfigData doc;
    wxString error;
    ASSERT_TRUE(device.Read(doc, error)) << error;
    EXPECT_TRUE(SameBlocks(held, doc));
}

TEST(Transfer, WriteProtectedDeviceRefusesBeforeAnyData)
{
    ConfigData held;
    held.SetWriteProtect(1);
    Device device(Tcp({"--write-protect"}), &held);
    ConfigData doc;
    wxString error;
    EXPECT_FALSE(device.Write(doc, error));
    EXPECT_EQ("Error: Configuration is write protected", error);
    ExpectFrames({Text("ver"), SegmentedStep("set config S")}, device.Logged());
}

TEST(Transfer, UnreachableDeviceLeavesTheErrorText)
{
    // A port nothing listens on: refused at once, twice. The address is
    // this test's alone, so no test running beside it takes the port.
    const char* const address = "127.0.4.1";
    int port = 0;
    {
        DevSimProcess closed({"--listen", address});
        ASSERT_TRUE(closed.IsReady());
        port = closed.Port();
    }
    ConfigData doc;
    doc.SetLinkTiming(QuickLinkTiming());
    const Snapshot before(doc);
    wxString error = "untouched";
    EXPECT_FALSE(doc.ReadFromDevice(true, address, port, error));
    EXPECT_FALSE(doc.WriteToDevice(true, address, port, error));
    wxString identity;
    EXPECT_FALSE(doc.GetDeviceId(true, address, port, identity, error));
    EXPECT_FALSE(doc.SetDeviceClock(true, address, port, error));
    EXPECT_EQ("untouched", error);
    EXPECT_TRUE(before.Matches(doc));
    EXPECT_FALSE(doc.ReadFromDevice(false, "/dev/qst-no-such-port", 9600, error));
    EXPECT_EQ("untouched", error);
}

// --- Short commands ----------------------------------------------------------

TEST(DeviceCommands, IdentityClockAndReboot)
{
    Device device(Tcp({"--id", "Quorastelline QX-6 serial 0042  "}));
    ConfigData doc;
    wxString identity;
    wxString error = "untouched";
    ASSERT_TRUE(doc.GetDeviceId(true, device.Target(), device.PortOrSpeed(), identity, error));
    EXPECT_EQ("Quorastelline QX-6 serial 0042", identity);

    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    ASSERT_TRUE(doc.SetDeviceClock(true, device.Target(), device.PortOrSpeed(), when, error));
    ASSERT_TRUE(doc.RebootDevice(true, device.Target(), device.PortOrSpeed(), error));
    EXPECT_EQ("untouched", error);

    const Bytes clock = Checksummed({'s', 'e', 't', ' ', 't', 'i', 'm', 'e', ' ', 0xEA, 0x07, 0x0C, 0x07, 0x09, 0x05, 0x03});
    ExpectFrames({Text("id"), clock, Text("reboot")}, device.Logged());

    // The clock of now reaches the device too.
    ASSERT_TRUE(doc.SetDeviceClock(true, device.Target(), device.PortOrSpeed(), error));
    const Frames logged = device.Logged();
    ASSERT_EQ(4u, logged.size());
    EXPECT_EQ(18u, logged[3].size());
}

TEST(DeviceCommands, FailuresGiveTheDevicesTextOrNoResponse)
{
    Device device(Pty({"--error", "reboot:not now", "--unknown", "time", "--silent", "id"}));
    ConfigData doc;
    doc.SetLinkTiming(QuickLinkTiming());
    wxString error;
    EXPECT_FALSE(doc.RebootDevice(false, device.Target(), 9600, error));
    EXPECT_EQ("Error: not now", error);
    EXPECT_FALSE(doc.SetDeviceClock(false, device.Target(), 9600, error));
    EXPECT_EQ(kNoResponse, error);
    error.clear();
    wxString identity = "kept";
    EXPECT_FALSE(doc.GetDeviceId(false, device.Target(), 9600, identity, error));
    EXPECT_EQ(kNoResponse, error);
    EXPECT_EQ("kept", identity);
}

TEST(DeviceSimulator, RefusesFramesWithABadChecksum)
{
    DevSimProcess sim({});
    ASSERT_TRUE(sim.IsReady());
    ConfigProtocol link;
    ASSERT_TRUE(link.OpenLink(true, "127.0.0.1", sim.Port()));
    Bytes frame = SegmentedStep("get config S");
    uint8_t reply[ConfigProtocol::kReplyBufferSize];
    EXPECT_EQ(16, link.Transact(true, frame.data(), uint16_t(frame.size()), "Get config S OK", reply, sizeof reply, 1));
    frame.back() ^= 1;
    EXPECT_EQ(-19, link.Transact(true, frame.data(), uint16_t(frame.size()), "Get config S OK", reply, sizeof reply, 1));
    EXPECT_STREQ("Error: Bad checksum", reinterpret_cast<const char*>(reply));
    link.CloseLink(true);
}

TEST(DeviceSimulator, QuickUnknownEndsEachAttemptWithoutSilence)
{
    TempDir dir;
    DevSimProcess sim({"--protocol", "1.0", "--quick-unknown", "--log", dir.File("log")});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ConfigProtocol link;
    ASSERT_TRUE(link.OpenLink(true, "127.0.0.1", sim.Port()));
    uint8_t reply[ConfigProtocol::kReplyBufferSize];
    const Bytes ver = Text("ver");
    const auto start = std::chrono::steady_clock::now();
    // Empty lines after "Unknown command" use up each attempt's ten reads;
    // a device that stays silent instead costs 2 x 5 s.
    EXPECT_EQ(0, link.Transact(true, ver.data(), uint16_t(ver.size()), "Protocol version ", reply, sizeof reply, 2));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    // The lines end when the next command comes, and none spoils its reply
    // (the default identity, 41 characters, and its terminator).
    const Bytes id = Text("id");
    EXPECT_EQ(42, link.Transact(true, id.data(), uint16_t(id.size()), "Quorastelline", reply, sizeof reply, 1));
    link.CloseLink(true);
    ExpectFrames({ver, ver, id}, LoggedFrames(dir.File("log")));
}

TEST(DeviceSimulator, StopsCleanlyAndServesOnlyLoopback)
{
    DevSimProcess sim({"--listen", "127.0.0.2", "--listen", "127.0.0.3", "--pty"});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    ASSERT_EQ(2u, sim.Addresses().size());
    EXPECT_FALSE(sim.PtyPath().empty());
    ConfigData doc;
    wxString identity;
    wxString error;
    EXPECT_TRUE(doc.GetDeviceId(true, "127.0.0.3", sim.Port(), identity, error)) << error;
    EXPECT_TRUE(identity.StartsWith("Quorastelline"));
    EXPECT_TRUE(sim.Stop());

    DevSimProcess external({"--listen", "192.168.1.1"});
    EXPECT_FALSE(external.IsReady());
    DevSimProcess byDefault({});
    ASSERT_TRUE(byDefault.IsReady());
    ASSERT_EQ(1u, byDefault.Addresses().size());
    EXPECT_EQ("127.0.0.1", byDefault.Addresses().front());
    // Its input closing ends it too.
    EXPECT_TRUE(byDefault.EndInput());
}
