// Bytes the program does not control: files that are not plain files, notes
// bytes outside ASCII, device identities that are not UTF-8, and the faults
// the fuzz targets found. Each test here is the regression test of one fault.
#include "config/ConfigData.h"
#include "core/CoreVectors.h"
#include "device/DeviceText.h"
#include "discovery/DeviceScan.h"
#include "print/ConfigReport.h"

#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vectors;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

Bytes NotesBlock(const std::string& bytes)
{
    Bytes block(128, 0);
    std::memcpy(block.data(), bytes.data(), std::min<size_t>(bytes.size(), 127));
    return block;
}

Bytes Format2(const Bytes& notes = {})
{
    Bytes file = Magic('2');
    AppendWithCrc(file, DefaultMainBlock());
    AppendWithCrc(file, DefaultIpBlock());
    file.insert(file.end(), notes.begin(), notes.end());
    return file;
}

Bytes NotesOf(const ConfigData& config)
{
    return Bytes(config.GetNotesBlock(), config.GetNotesBlock() + 128);
}

Bytes Tail(const Bytes& bytes, size_t count)
{
    return count <= bytes.size() ? Bytes(bytes.end() - ptrdiff_t(count), bytes.end()) : Bytes();
}

// A text from code points, so a test names exactly the characters it means.
wxString Chars(std::initializer_list<unsigned> codes)
{
    wxString text;
    for (unsigned c : codes)
        text += wxUniChar(c);
    return text;
}

wxString Latin1(const std::string& bytes)
{
    wxString text;
    for (unsigned char c : bytes)
        text += wxUniChar(unsigned(c));
    return text;
}

struct Snapshot {
    Bytes main, ip, notes;
    bool hasFile;
    wxString fileName;
    bool modified;

    explicit Snapshot(const ConfigData& c)
    {
        const auto* m = reinterpret_cast<const uint8_t*>(&c.GetMainBlock());
        const auto* i = reinterpret_cast<const uint8_t*>(&c.GetIpBlock());
        main.assign(m, m + kMain);
        ip.assign(i, i + kIp);
        notes = NotesOf(c);
        hasFile = c.GetFileName(fileName);
        modified = c.IsModified();
    }
    bool operator==(const Snapshot& o) const
    {
        return main == o.main && ip == o.ip && notes == o.notes && hasFile == o.hasFile && fileName == o.fileName &&
               modified == o.modified;
    }
};

// ---- Files that are not plain files ---------------------------------------

TEST(UntrustedFile, AFifoIsRefusedWithoutWaitingForAWriter)
{
    TempDir dir;
    const std::string fifo = dir.File("pipe.qst");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    ConfigData config;
    config.SetNotes("kept");
    const Snapshot before(config);
    wxString error;
    auto load = std::async(std::launch::async, [&] { return config.Load(fifo, error); });
    if (load.wait_for(5s) != std::future_status::ready) {
        // A writer that comes and goes lets the blocked load end (its read
        // sees the end of the data), so the test can fail instead of hang.
        ::close(::open(fifo.c_str(), O_RDWR));
        load.wait();
        FAIL() << "loading a FIFO blocked";
    }
    EXPECT_FALSE(load.get());
    EXPECT_EQ(error, "Could not open file: not a regular file");
    EXPECT_TRUE(Snapshot(config) == before);
}

TEST(UntrustedFile, ADeviceFileIsRefusedAndAPlainFileThroughALinkStillLoads)
{
    ConfigData config;
    wxString error;
    EXPECT_FALSE(config.Load("/dev/null", error));
    EXPECT_EQ(error, "Could not open file: not a regular file");

    TempDir dir;
    WriteFileBytes(dir.File("real.qst"), Format2());
    ASSERT_EQ(::symlink("real.qst", dir.File("link.qst").c_str()), 0);
    EXPECT_TRUE(config.Load(dir.File("link.qst"), error)) << error;
}

TEST(UntrustedFile, QstInfoOnAFifoFailsPromptly)
{
    TempDir dir;
    const std::string fifo = dir.File("pipe.qst");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = Clock::now();
    const ProgramResult run = RunProgram("qst", {"info", fifo}, 20);
    EXPECT_LT(Clock::now() - start, 10s);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
}

// ---- Notes bytes above 0x7F ------------------------------------------------

const std::string kHighNotes = "Caf\xE9 at 20\xB0" "C\r\n\xFF end";

TEST(UntrustedNotes, BytesAboveAsciiShowAsLatin1Characters)
{
    TempDir dir;
    WriteFileBytes(dir.File("n.qst"), Format2(NotesBlock(kHighNotes)));
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(dir.File("n.qst"), error)) << error;
    const wxString expected = wxString("Caf") + Chars({0xE9}) + " at 20" + Chars({0xB0}) + "C\r\n" +
                              Chars({0xFF}) + " end";
    EXPECT_EQ(config.GetNotes(), expected);
    EXPECT_EQ(config.GetNotes().length(), kHighNotes.size());
}

TEST(UntrustedNotes, UnchangedNotesKeepEveryByteAndTheModifiedFlag)
{
    TempDir dir;
    // A NUL inside the notes ends the text; the bytes after it belong to
    // the file all the same.
    std::string bytes = kHighNotes;
    bytes += std::string(1, '\0') + "hidden\x80";
    const Bytes block = NotesBlock(bytes);
    WriteFileBytes(dir.File("n.qst"), Format2(block));
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(dir.File("n.qst"), error)) << error;
    ASSERT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(block.data(), 128));

    config.SetNotes(config.GetNotes());
    EXPECT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(block.data(), 128));
    EXPECT_FALSE(config.IsModified());

    ASSERT_TRUE(config.Save(dir.File("again.qst")));
    const Bytes saved = ReadFileBytes(dir.File("again.qst"));
    ASSERT_EQ(saved.size(), 2492u);
    EXPECT_EQ(HexDump(Tail(saved, 128).data(), 128), HexDump(block.data(), 128));
}

TEST(UntrustedNotes, AnEditKeepsTheBytesItDidNotTouchAndTypedNonAsciiBecomesUnderscore)
{
    ConfigData config;
    TempDir dir;
    WriteFileBytes(dir.File("n.qst"), Format2(NotesBlock("x\xE9y\xE9z")));
    wxString error;
    ASSERT_TRUE(config.Load(dir.File("n.qst"), error)) << error;

    // Replacing one letter between the two kept characters.
    wxString text = config.GetNotes();
    text[2] = 'Y';
    config.SetNotes(text);
    EXPECT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(NotesBlock("x\xE9Y\xE9z").data(), 128));

    // Typed: an e acute, a euro sign and a Greek letter, none of them ASCII.
    config.SetNotes(config.GetNotes() + Chars({0xE9, 0x20AC, 0x3A9}) + "!");
    EXPECT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(NotesBlock("x\xE9Y\xE9z___!").data(), 128));

    // Deleting the first kept character keeps the second.
    config.SetNotes(wxString("x") + "Y" + Chars({0xE9}) + "z");
    EXPECT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(NotesBlock("xY\xE9z").data(), 128));

    // A fresh document's typed text is stored as before.
    ConfigData fresh;
    fresh.SetNotes(wxString("ab") + Chars({0xFC}) + "c");
    EXPECT_EQ(HexDump(NotesOf(fresh).data(), 128), HexDump(NotesBlock("ab_c").data(), 128));
    EXPECT_EQ(fresh.GetNotes(), "ab_c");
}

TEST(UntrustedNotes, EmptyNotesWithBytesAfterTheirNulSaveAndLoadAlike)
{
    TempDir dir;
    WriteFileBytes(dir.File("n.qst"), Format2(NotesBlock(std::string(1, '\0') + "stale\xE9")));
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(dir.File("n.qst"), error)) << error;
    EXPECT_EQ(config.GetNotes(), "");
    EXPECT_EQ(HexDump(NotesOf(config).data(), 128), HexDump(Bytes(128, 0).data(), 128));
    ASSERT_TRUE(config.Save(dir.File("again.qst")));
    EXPECT_EQ(ReadFileBytes(dir.File("again.qst")).size(), 2364u);
}

TEST(UntrustedNotes, TheReportShowsTheCharacters)
{
    TempDir dir;
    WriteFileBytes(dir.File("n.qst"), Format2(NotesBlock(kHighNotes)));
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(dir.File("n.qst"), error)) << error;
    const ReportLines lines = BuildConfigReport(config, wxDateTime(1, wxDateTime::Jan, 2026, 10, 0));
    std::vector<wxString> notes;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].text == "Notes" && lines[i].bold)
            for (size_t k = i + 2; k < lines.size() && !lines[k].text.empty(); ++k)
                notes.push_back(lines[k].text);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], wxString("  Caf") + Chars({0xE9}) + " at 20" + Chars({0xB0}) + "C");
    EXPECT_EQ(notes[1], wxString("  ") + Chars({0xFF}) + " end");
}

TEST(UntrustedNotes, QstInfoPrintsTheCharactersAsUtf8WithoutAssertions)
{
    TempDir dir;
    WriteFileBytes(dir.File("n.qst"), Format2(NotesBlock(kHighNotes)));
    ProgramResult run = RunProgram("qst", {"info", dir.File("n.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Notes:              Caf\xC3\xA9 at 20\xC2\xB0" "C / \xC3\xBF end\n"), std::string::npos)
        << run.out;

    run = RunProgram("qst", {"info", "--json", dir.File("n.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("\"notes\": \"Caf\xC3\xA9 at 20\xC2\xB0" "C\\r\\n\xC3\xBF end\""), std::string::npos)
        << run.out;

    run = RunProgram("qst", {"report", dir.File("n.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("\n  \xC3\xBF end\n"), std::string::npos) << run.out;
}

// ---- Device identities that are not UTF-8 ---------------------------------

TEST(DeviceIdentity, TextIsUtf8WhenValidAndOtherwiseOneCharacterPerByte)
{
    const auto text = [](const std::string& bytes, bool cut = false) {
        return DeviceText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), cut);
    };
    EXPECT_EQ(text("Quorastelline \xC3\x9Cnit \xE2\x9C\x93 \xF0\x9F\x94\x8C"),
              wxString("Quorastelline ") + Chars({0xDC}) + "nit " + Chars({0x2713}) + " " + Chars({0x1F50C}));
    EXPECT_EQ(text("Quorastelline caf\xE9"), Latin1("Quorastelline caf\xE9"));
    // Overlong forms, a surrogate, a value above U+10FFFF, a stray
    // continuation byte: none is UTF-8.
    for (const char* bad : {"A\xC0\xAF", "A\xE0\x80\xAF", "A\xED\xA0\x80", "A\xF4\x90\x80\x80", "A\x80"})
        EXPECT_EQ(text(bad), Latin1(bad)) << HexDump(reinterpret_cast<const uint8_t*>(bad), std::strlen(bad));
    // The text ends at a NUL.
    EXPECT_EQ(text(std::string("ab\0\xFF", 4)), "ab");
    // A character split by a length limit is dropped; without the limit the
    // same bytes are not UTF-8.
    EXPECT_EQ(text("caf\xC3\xA9 \xE2\x9C", true), wxString("caf") + Chars({0xE9}) + " ");
    EXPECT_EQ(text("caf\xC3\xA9 \xE2\x9C", false), Latin1("caf\xC3\xA9 \xE2\x9C"));
}

// A device on a loopback port that answers "id" with `reply`, once.
class IdentityPeer
{
public:
    explicit IdentityPeer(std::string reply) : m_reply(std::move(reply))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(m_listener, 4) == 0 &&
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length) == 0)
            m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~IdentityPeer()
    {
        m_thread.join();
        ::close(m_listener);
    }
    uint16_t Port() const { return m_port; }

private:
    void Serve()
    {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            return;
        const int fd = ::accept(m_listener, nullptr, nullptr);
        std::string got;
        const auto end = Clock::now() + 10s;
        // Answer the command, then wait for the other end to close.
        bool answered = false;
        while (Clock::now() < end) {
            pollfd c{fd, POLLIN, 0};
            if (::poll(&c, 1, 100) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, size_t(n));
            if (!answered && got.find("id\r\n") != std::string::npos) {
                answered = ::write(fd, m_reply.data(), m_reply.size()) == ssize_t(m_reply.size());
            }
        }
        ::close(fd);
    }

    std::string m_reply;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
};

wxString IdentityFromGetId(const std::string& reply)
{
    IdentityPeer peer(reply);
    ConfigData link;
    LinkTiming timing;
    timing.afterConnectMs = 0;
    link.SetLinkTiming(timing);
    wxString identity, error;
    EXPECT_TRUE(link.GetDeviceId(true, "127.0.0.1", peer.Port(), identity, error)) << error;
    return identity;
}

wxString IdentityFromScan(const std::string& reply)
{
    IdentityPeer peer(reply);
    const int octets[3] = {127, 0, 0};
    wxString identity;
    int found = 0;
    DeviceScanHooks hooks;
    hooks.found = [&](const wxString& address, const wxString& text) {
        EXPECT_EQ(address, "127.0.0.1");
        identity = text;
        ++found;
    };
    EXPECT_EQ(ScanSubnet(octets, hooks, peer.Port()), 1);
    EXPECT_EQ(found, 1);
    return identity;
}

TEST(DeviceIdentity, ScanAndGetIdShowTheSameIdentity)
{
    const std::string latin1 = "Quorastelline caf\xE9 QS-6\r\n";
    const wxString expected = Latin1("Quorastelline caf\xE9 QS-6");
    EXPECT_EQ(IdentityFromGetId(latin1), expected);
    EXPECT_EQ(IdentityFromScan(latin1), expected);

    const std::string utf8 = "Quorastelline \xC3\x9Cnit 4\r\n";
    EXPECT_EQ(IdentityFromGetId(utf8), wxString("Quorastelline ") + Chars({0xDC}) + "nit 4");
    EXPECT_EQ(IdentityFromScan(utf8), wxString("Quorastelline ") + Chars({0xDC}) + "nit 4");
}

TEST(DeviceIdentity, ScanReplyCutAtItsLimitInsideACharacterKeepsTheRest)
{
    // 99 bytes, then a two-byte character whose second byte is past the
    // 100 bytes the scan reads.
    std::string reply = "Quorastelline " + std::string(85, 'x') + "\xC3\xA9\r\n";
    ASSERT_EQ(reply.find('\xC3'), 99u);
    wxString identity;
    ASSERT_TRUE(ScanReplyIdentity(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), identity));
    EXPECT_EQ(identity, wxString("Quorastelline ") + wxString(85, 'x'));
    // What follows the line does not change how the line reads.
    reply = "Quorastelline \xC3\x9C\r\n\xFF\xFE";
    ASSERT_TRUE(ScanReplyIdentity(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), identity));
    EXPECT_EQ(identity, wxString("Quorastelline ") + Chars({0xDC}));
    reply = "Quorastellin";
    EXPECT_FALSE(ScanReplyIdentity(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), identity));
}

} // namespace
