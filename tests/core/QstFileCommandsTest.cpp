// qst's file commands, run as the user runs them.
#include "core/CoreVectors.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

using namespace vectors;

namespace {

// A format-1 file with one UCE Slave node on TCP server port 502 whose
// two slaves read bytes 5-6 and write byte 11, and the main block that
// the file must become.
struct LegacyFixture {
    Bytes file;
    Bytes ip;
    Bytes expectedMain;

    LegacyFixture()
    {
        Bytes legacy(kLegacy, 0);
        legacy[1] = 60;
        legacy[2] = 2;
        legacy[3] = 30;
        legacy[4] = 1;
        const size_t r = 5;
        legacy[r + 0] = 4;
        legacy[r + 4] = 0x10;
        Put16(legacy, r + 9, 502);
        legacy[r + 14] = 2;
        legacy[r + 15] = 7;
        legacy[r + 16] = 8;
        legacy[r + 25] = 4;
        legacy[r + 35] = 2;
        legacy[r + 46] = 10;
        legacy[r + 56] = 1;
        ip = {10, 20, 0, 15, 255, 255, 0, 0, 10, 20, 0, 1, 0, 0x50, 0xC2, 0xF0, 0xA0, 0x07, 0x17, 0x73, 0, 0, 0, 0};
        Put16(ip, 22, ReferenceCrc(ip.data(), 22));
        file = Magic('1');
        AppendWithCrc(file, legacy);
        AppendWithCrc(file, ip);

        expectedMain.assign(kMain, 0);
        expectedMain[1] = 60;
        expectedMain[2] = 2;
        expectedMain[3] = 30;
        expectedMain[4] = 1;
        const size_t n = 13;
        expectedMain[n + 0] = 4;
        expectedMain[n + 4] = 0x10;
        Put16(expectedMain, n + 9, 502);
        expectedMain[n + 14] = 2;
        expectedMain[n + 15] = 7;
        expectedMain[n + 16] = 8;
        Put16(expectedMain, n + 65, 4);
        expectedMain[n + 165] = 2;
        Put16(expectedMain, n + 217, 10);
        expectedMain[n + 316] = 1;
    }
};

} // namespace

TEST(QstConvert, FormatOneBecomesFormatTwo)
{
    TempDir dir;
    const LegacyFixture fixture;
    WriteFileBytes(dir.File("old.qst"), fixture.file);

    const ProgramResult run = RunProgram("qst", {"convert", dir.File("old.qst"), dir.File("new.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    Bytes expected = Magic('2');
    AppendWithCrc(expected, fixture.expectedMain);
    AppendWithCrc(expected, fixture.ip);
    const Bytes written = ReadFileBytes(dir.File("new.qst"));
    EXPECT_EQ(HexDump(written.data(), written.size()), HexDump(expected.data(), expected.size()));
}

TEST(QstConvert, FailuresAndUsage)
{
    TempDir dir;
    WriteFileBytes(dir.File("junk.qst"), {'n', 'o', 'p', 'e'});
    ProgramResult run = RunProgram("qst", {"convert", dir.File("junk.qst"), dir.File("out.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File header mismatch"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadFileBytes(dir.File("out.qst")).empty());

    WriteFileBytes(dir.File("good.qst"), LegacyFixture().file);
    run = RunProgram("qst", {"convert", dir.File("good.qst"), dir.File("missing/out.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("could not write"), std::string::npos) << run.err;

    EXPECT_EQ(RunProgram("qst", {"convert", dir.File("good.qst")}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"convert", "a", "b", "c"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"no-such-command"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {}).status, 2);
}

TEST(QstInfo, TextAndJson)
{
    TempDir dir;
    WriteFileBytes(dir.File("old.qst"), LegacyFixture().file);

    ProgramResult run = RunProgram("qst", {"info", dir.File("old.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("IP address:         10.20.0.15\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Nodes:              1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  1  UCE Slave | TCP Server on port 502 | slaves: 7, 8 | read: 5-6 | write: 11-11\n"),
              std::string::npos)
        << run.out;
    const std::string crc = "Report CRC:         0x";
    ASSERT_NE(run.out.find(crc), std::string::npos);
    char expectedCrc[8];
    std::snprintf(expectedCrc, sizeof expectedCrc, "%04X", ReferenceCrc(LegacyFixture().expectedMain));
    EXPECT_EQ(run.out.substr(run.out.find(crc) + crc.size(), 4), expectedCrc);

    run = RunProgram("qst", {"info", "--json", dir.File("old.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"protocol\": \"UCE Slave\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"memoryWrite\": \"11-11\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"controlLink\": false"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.front(), '{');

    run = RunProgram("qst", {"info", dir.File("absent.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Could not open file"), std::string::npos);
}

TEST(QstHelp, ListsEveryCommand)
{
    const ProgramResult run = RunProgram("qst", {"--help"});
    ASSERT_EQ(run.status, 0);
    for (const char* command : {"info", "report", "convert", "export", "import", "schema", "get-id", "read", "write",
                                "set-clock", "reboot", "find"})
        EXPECT_NE(run.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    const ProgramResult one = RunProgram("qst", {"convert", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("Usage: qst convert IN OUT"), std::string::npos);
}

TEST(QstReport, PrintsTheReportLineByLine)
{
    TempDir dir;
    WriteFileBytes(dir.File("old.qst"), LegacyFixture().file);
    const ProgramResult run = RunProgram("qst", {"report", dir.File("old.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    // Report lines written out from their formats.
    const char* expected[] = {
        "TARVEN Quorastelline - Configuration Report\n"
        "============================================================\n",
        "\nNodes\n------------------------------------------------------------\n"
        "  #   Protocol               Port                     Slave IDs Mem Read Mem Write\n",
        "  1   UCE Slave              TCP Server on port 502   7, 8      5-6      11-11    \n",
        "  Byte 5 (bits 33-40)       Node 1                              \n",
        "  Byte 11 (bits 81-88)                         Node 1           \n",
    };
    for (const char* text : expected)
        EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n--- in ---\n" << run.out;
    EXPECT_EQ(run.out.find("Byte 7 "), std::string::npos);
    EXPECT_EQ(RunProgram("qst", {"report"}).status, 2);
}
