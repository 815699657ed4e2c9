// qst diff, qst check and the read-back of qst write: what they print, their
// JSON (parsed here) and their exit statuses, against files and the device
// simulator on loopback.
#include "config/ConfigData.h"

#include "support/DevSimProcess.h"
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

std::string Saved(const TempDir& dir, const std::string& name, uint8_t dataAge, const wxString& notes = "n")
{
    ConfigData config;
    config.SetDataAge(dataAge);
    config.SetNotes(notes);
    const std::string path = dir.File(name);
    EXPECT_TRUE(config.Save(path));
    return path;
}

std::string Tcp(const DevSimProcess& sim)
{
    return "127.0.0.1:" + std::to_string(sim.Port());
}

TEST(QstDiff, FilesAndDevicesOnEitherSide)
{
    TempDir dir;
    const std::string a = Saved(dir, "a.qst", 60);
    const std::string b = Saved(dir, "b.qst", 61, "other");

    ProgramResult run = RunProgram("qst", {"diff", a, a});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");

    run = RunProgram("qst", {"diff", a, b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "General Settings - Database data age: 60 secs -> 61 secs\n"
                       "Notes: n -> other (file only)\n");

    run = RunProgram("qst", {"diff", a, b, "--json"});
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["first"], a);
    EXPECT_EQ(json["second"], b);
    ASSERT_EQ(json["differences"].size(), 2u);
    EXPECT_EQ(json["differences"][0]["field"], "General Settings - Database data age");
    EXPECT_EQ(json["differences"][0]["first"], "60 secs");
    EXPECT_EQ(json["differences"][0]["second"], "61 secs");
    EXPECT_EQ(json["differences"][0]["toDevice"], true);
    EXPECT_EQ(json["differences"][1]["toDevice"], false);

    // A JSON export stands for its file.
    const std::string exported = dir.File("a.json");
    ASSERT_EQ(RunProgram("qst", {"export", a, "-o", exported}).status, 0);
    run = RunProgram("qst", {"diff", exported, a});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    run = RunProgram("qst", {"diff", exported, b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find("General Settings - Database data age: 60 secs -> 61 secs\n"), 0u) << run.out;

    // A device on either side: its configuration is read; notes, which it
    // does not hold, are left out.
    DevSimProcess sim({"--config", b});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    run = RunProgram("qst", {"diff", "--tcp", Tcp(sim), a});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "General Settings - Database data age: 61 secs -> 60 secs\n");
    run = RunProgram("qst", {"diff", b, "--tcp", Tcp(sim)});
    EXPECT_EQ(run.status, 0) << run.err;

    // Trouble: a missing file, a device that does not answer, bad usage.
    EXPECT_EQ(RunProgram("qst", {"diff", a, dir.File("missing.qst")}).status, 2);
    sim.Stop();
    EXPECT_EQ(RunProgram("qst", {"diff", a, "--tcp", Tcp(sim)}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"diff", a}).status, 2);
    EXPECT_EQ(RunProgram("qst", {"diff", a, b, b}).status, 2);
}

TEST(QstCheck, FindingsAndExitStatus)
{
    TempDir dir;
    // The defaults: nothing to report.
    ConfigData clean;
    const std::string cleanFile = dir.File("clean.qst");
    ASSERT_TRUE(clean.Save(cleanFile));
    ProgramResult run = RunProgram("qst", {"check", cleanFile});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");

    // Two nodes writing byte 1, and no Control link.
    ConfigData shared;
    for (unsigned n = 0; n < 2; ++n) {
        NodeEntry& node = *shared.GetNode(n);
        node.slaveCount = 1;
        node.slaveId[0] = 1;
        node.writeLength[0] = 1;
    }
    shared.GetNode(0)->portNumber = 24;
    const std::string sharedFile = dir.File("shared.qst");
    ASSERT_TRUE(shared.Save(sharedFile));
    run = RunProgram("qst", {"check", sharedFile});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Error: Nodes 1 and 2 both write byte 1 of the shared memory; the last to write wins.\n"
                       "Warning: No node is a Control link (Control on TCP server port 23): once written, the device "
                       "may no longer take a new configuration over the network.\n");
    run = RunProgram("qst", {"check", sharedFile, "--json"});
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["findings"].size(), 2u);
    EXPECT_EQ(json["findings"][0]["severity"], "error");
    EXPECT_EQ(json["findings"][1]["severity"], "warning");

    // Warnings alone do not fail; a device can be checked too.
    shared.GetNode(1)->writeLength[0] = 0;
    ASSERT_TRUE(shared.Save(sharedFile));
    DevSimProcess sim({"--config", sharedFile});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();
    run = RunProgram("qst", {"check", "--tcp", Tcp(sim)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("Warning: No node is a Control link"), 0u) << run.out;
    EXPECT_EQ(RunProgram("qst", {"check", dir.File("missing.qst")}).status, 2);
}

TEST(QstWrite, ReadsBackUnlessToldNotTo)
{
    TempDir dir;
    const std::string file = Saved(dir, "send.qst", 70);
    const std::string log = dir.File("frames.log");
    DevSimProcess sim({"--corrupt-store", "--log", log});
    ASSERT_TRUE(sim.IsReady()) << sim.Banner();

    ProgramResult run = RunProgram("qst", {"write", "--tcp", Tcp(sim), file});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The device holds something other than what was sent (sent -> read back):\n"
                           "  Node 1 - offset 15: 00 -> 01"),
              std::string::npos)
        << run.err;

    const size_t framesBefore = LoggedFrames(log).size();
    run = RunProgram("qst", {"write", "--tcp", Tcp(sim), file, "--no-verify"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto frames = LoggedFrames(log);
    for (size_t i = framesBefore; i < frames.size(); ++i)
        EXPECT_NE(std::string(frames[i].begin(), frames[i].begin() + 3), "get") << "nothing was read back";
}

} // namespace
