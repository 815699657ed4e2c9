// Export then import gives back every byte: for the example file, the
// fuzzer's seed files, and thousands of configurations built at random.
#include "core/JsonSupport.h"

#include <gtest/gtest.h>
#include <wx/dir.h>

using namespace jsontest;

namespace {

// Imports the export of `config` into a document that starts different
// and checks that the blocks, the saved file and the export agree.
// `reexport`: the import's export must be the same text (a check that
// doubles the time, so the random cases make it only now and then).
void ExpectRoundTrip(ConfigData& config, const std::string& what, bool reexport = true)
{
    const std::string json = ExportJson(config);
    ConfigData back;
    back.AddNode();
    back.SetNotes("something else");
    wxString error;
    ASSERT_TRUE(ImportJson(json, back, error)) << what << ": " << error << "\n" << json;
    const DocumentState expected(config), actual(back);
    if (actual.main != expected.main || actual.ip != expected.ip || actual.notes != expected.notes)
        FAIL() << what << "\n" << json << "\ngives\n" << ImageDump(back) << "\ninstead of\n" << ImageDump(config);
    if (reexport) {
        EXPECT_EQ(ExportJson(back), json) << what;
    }
    EXPECT_TRUE(back.IsModified());
}

void ExpectFileRoundTrip(const std::string& path, const TempDir& dir)
{
    ConfigData loaded;
    wxString error;
    if (!loaded.Load(path, error))
        return;
    const Bytes saved = SavedBytes(loaded, dir);
    ConfigData imported;
    ASSERT_TRUE(ImportJson(ExportJson(loaded), imported, error)) << path << ": " << error;
    const Bytes again = SavedBytes(imported, dir);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(HexDump(again.data(), again.size()), HexDump(saved.data(), saved.size())) << path;
}

void RandomRoundTrips(unsigned seed, int count)
{
    TempDir dir;
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        ConfigData config;
        RandomConfiguration(random, config);
        ExpectRoundTrip(config, "seed " + std::to_string(seed) + " configuration " + std::to_string(i), i % 10 == 0);
        if (::testing::Test::HasFatalFailure())
            return;
        // Every so often through a file, as the user's bytes travel.
        if (i % 100 == 0) {
            const Bytes saved = SavedBytes(config, dir);
            ConfigData imported;
            wxString error;
            ASSERT_TRUE(ImportJson(ExportJson(config), imported, error)) << error;
            const Bytes again = SavedBytes(imported, dir);
            ASSERT_EQ(HexDump(again.data(), again.size()), HexDump(saved.data(), saved.size()));
        }
    }
}

} // namespace

TEST(JsonRoundTrip, ExampleFileIsByteIdentical)
{
    TempDir dir;
    const std::string example = std::string(QST_SOURCE_DIR) + "/docs/example.qst";
    ConfigData probe;
    wxString error;
    ASSERT_TRUE(probe.Load(example, error)) << error;
    ExpectFileRoundTrip(example, dir);
}

TEST(JsonRoundTrip, FreshDocumentAndEveryNodeCount)
{
    TempDir dir;
    ConfigData config;
    ExpectRoundTrip(config, "fresh document");
    while (config.AddNode())
        ExpectRoundTrip(config, "with " + std::to_string(config.GetNodeCount()) + " nodes");
    while (config.DeleteNode(0))
        ExpectRoundTrip(config, "after deleting, " + std::to_string(config.GetNodeCount()) + " nodes");
}

TEST(JsonRoundTrip, FuzzSeedFilesThatLoad)
{
    TempDir dir;
    const wxString folder = wxString(QST_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_load";
    wxArrayString files;
    ASSERT_GT(wxDir::GetAllFiles(folder, &files, wxEmptyString, wxDIR_FILES), 0u);
    size_t loadable = 0;
    for (const wxString& file : files) {
        ConfigData probe;
        wxString error;
        if (probe.Load(file, error))
            ++loadable;
        ExpectFileRoundTrip(file.ToStdString(), dir);
    }
    EXPECT_GT(loadable, 2u);
}

// Every byte of every block at 0xFF: each bit a named value or a
// remainder. Every protocol code meets every port type across the six
// nodes of two configurations.
TEST(JsonRoundTrip, AllBitsSet)
{
    for (uint8_t protocol = 0; protocol <= kProtocolCount + 1; ++protocol)
        for (uint8_t firstType : {0, 6}) {
            MainBlock main;
            IpBlock ip;
            uint8_t notes[kNotesSize];
            std::memset(&main, 0xFF, sizeof main);
            std::memset(&ip, 0xFF, sizeof ip);
            std::memset(notes, 0xFF, sizeof notes);
            main.nodeCount = 3;
            for (unsigned i = 0; i < kMaxNodes; ++i) {
                main.node[i].protocol = protocol;
                main.node[i].SetPortType(uint8_t(firstType + i));
            }
            ConfigData config;
            config.SetBlocks(main, ip, notes);
            ExpectRoundTrip(config, "protocol " + std::to_string(protocol) + ", port types from " +
                                        std::to_string(firstType));
        }
}

TEST(JsonRoundTrip, RandomConfigurationsSeed1) { RandomRoundTrips(1, 400); }
TEST(JsonRoundTrip, RandomConfigurationsSeed2) { RandomRoundTrips(2, 400); }
TEST(JsonRoundTrip, RandomConfigurationsSeed3) { RandomRoundTrips(3, 400); }
TEST(JsonRoundTrip, RandomConfigurationsSeed4) { RandomRoundTrips(4, 400); }

TEST(JsonRoundTrip, LoadAnyConfigurationReadsBothForms)
{
    TempDir dir;
    const std::string example = std::string(QST_SOURCE_DIR) + "/docs/example.qst";
    ConfigData fromQst, fromJson;
    wxString error;
    ASSERT_TRUE(LoadAnyConfiguration(example, fromQst, error)) << error;
    const std::string json = ExportJson(fromQst);
    // Leading white space is still JSON.
    WriteFileBytes(dir.File("example.json"), Bytes(json.begin(), json.end()));
    const std::string padded = " \n\t" + json;
    WriteFileBytes(dir.File("padded.json"), Bytes(padded.begin(), padded.end()));
    ASSERT_TRUE(LoadAnyConfiguration(dir.File("example.json"), fromJson, error)) << error;
    EXPECT_EQ(ImageDump(fromJson), ImageDump(fromQst));
    ConfigData padded2;
    ASSERT_TRUE(LoadAnyConfiguration(dir.File("padded.json"), padded2, error)) << error;
    EXPECT_EQ(ImageDump(padded2), ImageDump(fromQst));
    wxString name;
    EXPECT_FALSE(fromJson.GetFileName(name));

    // A file that is neither keeps the .qst error; a bad JSON file its own.
    WriteFileBytes(dir.File("other.txt"), Bytes{'h', 'i'});
    ConfigData untouched;
    const DocumentState before(untouched);
    EXPECT_FALSE(LoadAnyConfiguration(dir.File("other.txt"), untouched, error));
    EXPECT_EQ(error, "File header mismatch");
    WriteFileBytes(dir.File("bad.json"), Bytes{'{', '}'});
    EXPECT_FALSE(LoadAnyConfiguration(dir.File("bad.json"), untouched, error));
    EXPECT_EQ(error, "\"formatVersion\" is missing");
    EXPECT_TRUE(DocumentState(untouched) == before);
    EXPECT_FALSE(LoadAnyConfiguration(dir.File("missing.json"), untouched, error));
    EXPECT_EQ(error, "Could not open file");
}
