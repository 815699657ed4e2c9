// qst export and import as the user runs them, and the JSON Schema that
// every export must satisfy.
#include "core/JsonSupport.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>
#include <wx/dir.h>

#include <cstdio>
#include <sys/wait.h>

using namespace jsontest;

namespace {

const std::string kExample = std::string(QST_SOURCE_DIR) + "/docs/example.qst";
const std::string kSchema = std::string(QST_SOURCE_DIR) + "/docs/quorastelline-config.schema.json";

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Files in a folder, to show that a refused import left nothing behind.
size_t FilesIn(const std::string& folder)
{
    wxArrayString files;
    return wxDir::GetAllFiles(folder, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
}

// Runs python3-jsonschema over `documents` with the repository's schema;
// returns its exit status and fills what it printed.
int ValidateWithSchema(const TempDir& dir, const std::vector<std::string>& documents, std::string& output)
{
    const std::string script = dir.File("validate.py");
    const std::string code =
        "import json, sys\n"
        "import jsonschema\n"
        "schema = json.load(open(sys.argv[1]))\n"
        "jsonschema.Draft7Validator.check_schema(schema)\n"
        "validator = jsonschema.Draft7Validator(schema)\n"
        "bad = 0\n"
        "for name in sys.argv[2:]:\n"
        "    for error in validator.iter_errors(json.load(open(name))):\n"
        "        print(name, list(error.absolute_path), error.message[:200])\n"
        "        bad = 1\n"
        "        break\n"
        "sys.exit(bad)\n";
    WriteFileBytes(script, BytesOf(code));
    std::string command = "timeout 60 python3 '" + script + "' '" + kSchema + "'";
    for (const std::string& document : documents)
        command += " '" + document + "'";
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(QstExport, ToStandardOutputAndToAFileThenImportGivesTheSameFile)
{
    TempDir dir;
    ProgramResult run = RunProgram("qst", {"export", kExample});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("{\n  \"formatVersion\": 1,", 0), 0u) << run.out;

    run = RunProgram("qst", {"export", kExample, "-o", dir.File("example.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string written = Text(ReadFileBytes(dir.File("example.json")));
    EXPECT_EQ(written, RunProgram("qst", {"export", kExample}).out);

    run = RunProgram("qst", {"import", dir.File("example.json"), "-o", dir.File("back.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = RunProgram("qst", {"convert", kExample, dir.File("saved.qst")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes back = ReadFileBytes(dir.File("back.qst")), saved = ReadFileBytes(dir.File("saved.qst"));
    EXPECT_EQ(HexDump(back.data(), back.size()), HexDump(saved.data(), saved.size()));

    // export reads its own JSON as well.
    run = RunProgram("qst", {"export", dir.File("example.json")});
    EXPECT_EQ(run.out, written);
}

TEST(QstImport, RefusedDocumentWritesNothingAndKeepsTheOldFile)
{
    TempDir dir;
    Json document = Json::parse(RunProgram("qst", {"export", kExample}).out);
    document["nodes"][2]["port"]["baud"] = 12345;
    WriteFileBytes(dir.File("bad.json"), BytesOf(document.dump(2)));

    ProgramResult run = RunProgram("qst", {"import", dir.File("bad.json"), "-o", dir.File("new.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qst: " + dir.File("bad.json") +
                           ": nodes[2].port.baud: 12345 is not a speed the port offers (600, 1200, 2400, 4800, 9600, "
                           "14400, 19200, 28800, 38400, 56000, 57600, 115200)\n");
    EXPECT_EQ(FilesIn(dir.Path()), 1u);

    const Bytes old = {'o', 'l', 'd'};
    WriteFileBytes(dir.File("old.qst"), old);
    run = RunProgram("qst", {"import", dir.File("bad.json"), "-o", dir.File("old.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("old.qst")), old);
    EXPECT_EQ(FilesIn(dir.Path()), 2u);

    // Not JSON at all, and no input.
    run = RunProgram("qst", {"import", kExample, "-o", dir.File("old.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not JSON: "), std::string::npos) << run.err;
    run = RunProgram("qst", {"import", dir.File("absent.json"), "-o", dir.File("old.qst")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Could not open file"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.File("old.qst")), old);
}

TEST(QstImport, UsageErrors)
{
    EXPECT_EQ(RunProgram("qst", {"import", "in.json"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"import", "-o", "out.qst"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"export"}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"export", "a.qst", "b.qst"}).status, 2);
    const ProgramResult run = RunProgram("qst", {"export", "/nonexistent/x.qst"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qst: /nonexistent/x.qst: Could not open file\n");
}

TEST(JsonSchema, TheRepositoryCopyIsTheOneTheProgramDescribes)
{
    const ProgramResult run = RunProgram("qst", {"schema"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Text(ReadFileBytes(kSchema)))
        << "docs/quorastelline-config.schema.json is out of date: write it again with 'qst schema'";
}

TEST(JsonSchema, EveryTestConfigurationValidatesAndABadOneDoesNot)
{
    TempDir dir;
    std::vector<std::string> documents;
    const auto add = [&](const ConfigData& config) {
        const std::string name = dir.File("doc" + std::to_string(documents.size()) + ".json");
        WriteFileBytes(name, BytesOf(ExportJson(config)));
        documents.push_back(name);
    };
    ConfigData example;
    wxString error;
    ASSERT_TRUE(example.Load(kExample, error)) << error;
    add(example);
    ConfigData fresh;
    add(fresh);
    wxArrayString seeds;
    wxDir::GetAllFiles(wxString(QST_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_load", &seeds, wxEmptyString, wxDIR_FILES);
    for (const wxString& seed : seeds) {
        ConfigData loaded;
        if (loaded.Load(seed, error))
            add(loaded);
    }
    for (uint8_t protocol = 0; protocol <= kProtocolCount + 1; ++protocol) {
        MainBlock main;
        std::memset(&main, 0xFF, sizeof main);
        main.nodeCount = 6;
        for (unsigned i = 0; i < kMaxNodes; ++i) {
            main.node[i].protocol = protocol;
            main.node[i].SetPortType(uint8_t(i + 1 + (protocol % 2) * 3));
        }
        ConfigData config;
        config.SetBlocks(main, config.GetIpBlock());
        add(config);
    }
    std::mt19937 random(5);
    for (int i = 0; i < 100; ++i) {
        ConfigData config;
        RandomConfiguration(random, config);
        add(config);
    }

    std::string output;
    EXPECT_EQ(ValidateWithSchema(dir, documents, output), 0) << output;

    Json bad = Json::parse(ExportJson(example));
    bad["nodes"][2]["port"]["baud"] = 12345;
    WriteFileBytes(dir.File("bad.json"), BytesOf(bad.dump()));
    Json unknown = Json::parse(ExportJson(example));
    unknown["general"]["colour"] = "blue";
    WriteFileBytes(dir.File("unknown.json"), BytesOf(unknown.dump()));
    for (const char* name : {"bad.json", "unknown.json"}) {
        output.clear();
        EXPECT_EQ(ValidateWithSchema(dir, {dir.File(name)}, output), 1) << name << ": " << output;
    }
}
