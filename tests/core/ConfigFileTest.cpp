// Configuration files: both formats read, format 2 written, every error
// text, and saving that never destroys the file it replaces.
#include "config/ConfigData.h"
#include "core/CoreVectors.h"

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filename.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vectors;

namespace {

// A document that differs from the defaults everywhere a load could touch.
void MakeDistinct(ConfigData& config)
{
    config.AddNode();
    config.SetDataAge(99);
    config.SetIpSettings("10.9.8.7", "255.0.0.0", "10.0.0.1", "01:02:03:04:05:06", "7000");
    config.SetNotes("kept notes");
}

Bytes Format2File(const Bytes& main, const Bytes& ip, const std::string& notes = {})
{
    Bytes file = Magic('2');
    AppendWithCrc(file, main);
    AppendWithCrc(file, ip);
    if (!notes.empty()) {
        Bytes block(128, 0);
        std::memcpy(block.data(), notes.data(), std::min<size_t>(notes.size(), 127));
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

class ConfigFile : public ::testing::Test
{
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(ConfigFile, SaveWritesFormatTwoWithAndWithoutNotes)
{
    ConfigData config;
    const std::string path = m_dir.File("plain.qst");
    ASSERT_TRUE(config.Save(path));
    const Bytes file = ReadFileBytes(path);
    EXPECT_EQ(file.size(), 2364u);
    EXPECT_EQ(HexDump(file.data(), file.size()),
              HexDump(Format2File(DefaultMainBlock(), DefaultIpBlock()).data(), 2364));

    config.SetNotes("abc");
    const std::string withNotes = m_dir.File("notes.qst");
    ASSERT_TRUE(config.Save(withNotes));
    const Bytes file2 = ReadFileBytes(withNotes);
    ASSERT_EQ(file2.size(), 2492u);
    EXPECT_EQ(Bytes(file2.begin() + 2364, file2.begin() + 2367), Bytes({'a', 'b', 'c'}));
    EXPECT_EQ(Bytes(file2.begin() + 2367, file2.end()), Bytes(125, 0));
}

TEST_F(ConfigFile, SaveBindsTheDocumentToTheFile)
{
    ConfigData config;
    config.SetDataAge(5);
    const std::string path = m_dir.File("bound.qst");
    ASSERT_TRUE(config.Save(path));
    EXPECT_FALSE(config.IsModified());
    wxString name, title;
    EXPECT_TRUE(config.GetFileName(name));
    EXPECT_EQ(name, path);
    EXPECT_TRUE(config.GetFileTitle(title));
    EXPECT_EQ(title, "bound.qst");
    EXPECT_EQ(config.GetDirectory(), m_dir.Path());
}

TEST_F(ConfigFile, RoundTripKeepsEveryByte)
{
    ConfigData written;
    MakeDistinct(written);
    written.GetNode(2)->protocolExtra[17] = 0x77;
    const std::string path = m_dir.File("round.qst");
    ASSERT_TRUE(written.Save(path));

    ConfigData read;
    wxString error;
    ASSERT_TRUE(read.Load(path, error)) << error;
    EXPECT_EQ(std::memcmp(&read.GetMainBlock(), &written.GetMainBlock(), kMain), 0);
    EXPECT_EQ(std::memcmp(&read.GetIpBlock(), &written.GetIpBlock(), kIp), 0);
    EXPECT_EQ(read.GetNotes(), "kept notes");
    EXPECT_FALSE(read.IsModified());
    EXPECT_EQ(read.GetDirectory(), m_dir.Path());
}

TEST_F(ConfigFile, LoadsAFormatOneFileBuiltFromTheTable)
{
    Bytes legacy(kLegacy, 0);
    legacy[0] = 1;      // write protect
    legacy[1] = 45;
    legacy[2] = 4;
    legacy[3] = 20;
    legacy[4] = 8;      // node count above six
    legacy[5] = 11;     // node 0: NTP Client
    legacy[5 + 3] = 0x00;
    legacy[5 + 4] = 0x20;   // TCP client
    legacy[5 + 14] = 1;
    legacy[5 + 15] = 42;    // slave id
    legacy[5 + 25] = 200;   // read start
    legacy[5 + 35] = 3;
    Bytes ip = {10, 0, 0, 2, 255, 0, 0, 0, 10, 0, 0, 1, 1, 2, 3, 4, 5, 6, 0x1F, 0x40, 0, 0, 0, 0};
    Put16(ip, 22, ReferenceCrc(ip.data(), 22));
    Bytes file = Magic('1');
    AppendWithCrc(file, legacy);
    AppendWithCrc(file, ip);
    ASSERT_EQ(file.size(), 564u);
    const std::string path = m_dir.File("old.qst");
    WriteFileBytes(path, file);

    ConfigData config;
    MakeDistinct(config);
    wxString error;
    ASSERT_TRUE(config.Load(path, error)) << error;
    EXPECT_EQ(config.GetWriteProtect(), 1);
    EXPECT_EQ(config.GetDataAge(), 45);
    EXPECT_EQ(config.GetNodeCount(), 6);
    EXPECT_EQ(config.GetProtocol(0), PROTOCOL_NTP_CLIENT);
    EXPECT_EQ(config.GetNode(0)->PortType(), PORT_TCP_CLIENT);
    EXPECT_EQ(config.GetNode(0)->slaveId[0], 42);
    EXPECT_EQ(unsigned(config.GetNode(0)->readStart[0]), 200u);
    // The IP settings come from the file; the notes, which format 1 lacks,
    // are the document's own.
    EXPECT_EQ(HexDump(DocumentState(config).ip.data(), kIp), HexDump(ip.data(), kIp));
    EXPECT_EQ(config.GetNotes(), "kept notes");
    EXPECT_FALSE(config.IsModified());
}

TEST_F(ConfigFile, FormatTwoWithoutNotesEmptiesTheNotes)
{
    const std::string path = m_dir.File("no-notes.qst");
    WriteFileBytes(path, Format2File(DefaultMainBlock(), DefaultIpBlock()));
    ConfigData config;
    config.SetNotes("old notes");
    wxString error;
    ASSERT_TRUE(config.Load(path, error));
    EXPECT_EQ(config.GetNotes(), "");
}

TEST_F(ConfigFile, BytesAfterTheBlocksAreIgnored)
{
    Bytes file = Format2File(DefaultMainBlock(), DefaultIpBlock(), std::string(127, 'n'));
    file.back() = 'z';   // byte 127 of the notes is always taken as 0
    file.resize(file.size() + 100000, 0xCC);
    const std::string path = m_dir.File("big.qst");
    WriteFileBytes(path, file);
    ConfigData config;
    wxString error;
    ASSERT_TRUE(config.Load(path, error)) << error;
    EXPECT_EQ(config.GetNotes(), wxString('n', 127));
}

TEST_F(ConfigFile, EveryLoadErrorLeavesTheDocumentAsItWas)
{
    const Bytes good = Format2File(DefaultMainBlock(), DefaultIpBlock(), "notes");
    Bytes badMain = good;
    badMain[25 + 100] ^= 1;
    Bytes badIp = good;
    badIp[2338 + 3] ^= 0x80;
    Bytes badTail = Magic('2');
    badTail.push_back(0);
    Bytes trailingBlank = good;
    trailingBlank[23] = '_';
    Bytes finalNul = good;
    finalNul[24] = ' ';
    Bytes legacyGood = Magic('1');
    AppendWithCrc(legacyGood, Bytes(kLegacy, 0));
    AppendWithCrc(legacyGood, DefaultIpBlock());
    Bytes legacyBadMain = legacyGood;
    legacyBadMain[30] = 1;
    Bytes legacyBadIp = legacyGood;
    legacyBadIp[540] ^= 0xFF;
    Bytes random(3000);
    for (size_t i = 0; i < random.size(); ++i)
        random[i] = uint8_t((i * 7919 + 13) >> 3);

    const struct {
        const char* name;
        Bytes content;
        const char* error;
    } cases[] = {
        {"empty", {}, "File header mismatch"},
        {"random", random, "File header mismatch"},
        {"blank", trailingBlank, "File header mismatch"},
        {"nul", finalNul, "File header mismatch"},
        {"main", badMain, "File data corrupted (1b)"},
        {"ip", badIp, "File data corrupted (2b)"},
        {"magic-only", badTail, "File data corrupted (1b)"},
        {"cut-main", Bytes(good.begin(), good.begin() + 1000), "File data corrupted (1b)"},
        {"cut-ip", Bytes(good.begin(), good.begin() + 2350), "File data corrupted (2b)"},
        {"cut-ip-crc", Bytes(good.begin(), good.begin() + 2363), "File data corrupted (2b)"},
        {"legacy-main", legacyBadMain, "File data corrupted (1a)"},
        {"legacy-ip", legacyBadIp, "File data corrupted (2a)"},
        {"legacy-cut", Bytes(legacyGood.begin(), legacyGood.begin() + 560), "File data corrupted (2a)"},
    };
    for (const auto& c : cases) {
        const std::string path = m_dir.File(std::string(c.name) + ".qst");
        WriteFileBytes(path, c.content);
        ConfigData config;
        MakeDistinct(config);
        const DocumentState before(config);
        wxString error = "unset";
        EXPECT_FALSE(config.Load(path, error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_TRUE(DocumentState(config) == before) << c.name;
    }
}

TEST_F(ConfigFile, UnopenableNamesFailWithCouldNotOpen)
{
    for (const std::string& path : {m_dir.File("missing.qst"), m_dir.Path(), std::string()}) {
        ConfigData config;
        MakeDistinct(config);
        const DocumentState before(config);
        wxString error;
        EXPECT_FALSE(config.Load(path, error)) << path;
        EXPECT_EQ(error, "Could not open file");
        EXPECT_TRUE(DocumentState(config) == before);
    }
}

TEST_F(ConfigFile, SaveFailureToCreateChangesNothing)
{
    ConfigData config;
    MakeDistinct(config);
    const DocumentState before(config);
    EXPECT_FALSE(config.Save(m_dir.File("no-such-folder/x.qst")));
    EXPECT_FALSE(config.Save(""));
    EXPECT_TRUE(DocumentState(config) == before);
}

TEST_F(ConfigFile, SaveThatFailsPartWayKeepsTheOldFile)
{
    const std::string path = m_dir.File("precious.qst");
    const Bytes old = {'o', 'l', 'd'};
    WriteFileBytes(path, old);

    ConfigData config;
    config.SetNotes("something");
    const DocumentState before(config);

    // The file-size limit lets the save start and stops it part way, as a
    // full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool result = config.Save(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_TRUE(DocumentState(config) == before);
    // No temporary file is left behind.
    wxArrayString files;
    wxDir::GetAllFiles(m_dir.Path(), &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
    EXPECT_EQ(files.size(), 1u);
}

TEST_F(ConfigFile, SaveKeepsSymbolicLinksAndUsesTheCreationMask)
{
    const std::string real = m_dir.File("real.qst");
    const std::string link = m_dir.File("link.qst");
    WriteFileBytes(real, {'x'});
    ASSERT_EQ(symlink("real.qst", link.c_str()), 0);

    const mode_t previousMask = umask(027);
    ConfigData config;
    const bool saved = config.Save(link);
    umask(previousMask);
    ASSERT_TRUE(saved);

    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadFileBytes(real).size(), 2364u);
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const mode_t open = umask(0);
    const bool again = config.Save(m_dir.File("open.qst"));
    umask(open);
    ASSERT_TRUE(again);
    ASSERT_EQ(stat(m_dir.File("open.qst").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u);
}
