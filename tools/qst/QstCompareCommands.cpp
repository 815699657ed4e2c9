// Commands that compare and check configurations, from files or devices:
// diff and check.
#include "QstCommand.h"

#include "config/ConfigCheck.h"
#include "config/ConfigCompare.h"
#include "config/ConfigData.h"
#include "config/ConfigJson.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

// diff's convention: 0 no differences, 1 differences, 2 trouble.
enum DiffStatus { DIFF_SAME = 0, DIFF_DIFFERENT = 1, DIFF_TROUBLE = 2 };

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

// Where a configuration comes from: a file, or a device read now.
struct Source {
    bool device = false;
    wxString file;
    QstTarget target;

    wxString Name() const { return device ? TargetText(target) : file; }
};

// The next source in `words` from `at`: "--tcp HOST[:PORT]",
// "--serial DEVICE[:BAUD]" or a file name.
bool TakeSource(const std::vector<wxString>& words, size_t& at, Source& source)
{
    if (at >= words.size())
        return false;
    const wxString& word = words[at];
    if (word == "--tcp" || word == "--serial") {
        if (at + 1 >= words.size()) {
            PrintError(word + " needs a value");
            return false;
        }
        QstArgs one({word, words[at + 1]});
        at += 2;
        source.device = true;
        return TakeTarget(one, source.target);
    }
    if (word.StartsWith("--"))
        return false;
    source.file = word;
    ++at;
    return true;
}

bool LoadSource(const Source& source, ConfigData& config)
{
    wxString error;
    if (!source.device) {
        if (LoadAnyConfiguration(source.file, config, error))
            return true;
        PrintError(source.file + ": " + error);
        return false;
    }
    PrintProgress("Requesting configuration from " + source.Name() + "...");
    if (config.ReadFromDevice(source.target.useTcp, source.target.target, source.target.portOrSpeed, error))
        return true;
    PrintError(source.Name() + ": could not read the configuration: " +
               (error.empty() ? wxString("no connection") : error));
    return false;
}

// The words left after the flags, as sources.
bool TakeSources(QstArgs& args, std::vector<Source>& sources, size_t count)
{
    std::vector<wxString> words;
    for (wxString word; args.TakeAny(word);)
        words.push_back(word);
    size_t at = 0;
    while (sources.size() < count) {
        Source source;
        if (!TakeSource(words, at, source))
            return false;
        sources.push_back(source);
    }
    if (at != words.size()) {
        PrintError("unexpected argument: " + words[at]);
        return false;
    }
    return true;
}

int RunDiff(QstArgs& args)
{
    const bool json = args.TakeFlag("--json");
    std::vector<Source> sources;
    if (!TakeSources(args, sources, 2)) {
        PrintError("usage: qst diff A B [--json]   (A and B: FILE, --tcp HOST[:PORT] or --serial DEVICE[:BAUD])");
        return DIFF_TROUBLE;
    }
    ConfigData first, second;
    if (!LoadSource(sources[0], first) || !LoadSource(sources[1], second))
        return DIFF_TROUBLE;
    // What a device holds has no notes; between a file and a device they
    // would always differ.
    CompareScope scope;
    if (sources[0].device || sources[1].device)
        scope = DeviceScope(true);
    const auto differences = CompareConfigurations(first, second, scope);
    if (json) {
        nlohmann::json out;
        out["first"] = Utf8(sources[0].Name());
        out["second"] = Utf8(sources[1].Name());
        out["differences"] = nlohmann::json::array();
        for (const ConfigDifference& d : differences)
            out["differences"].push_back({{"field", Utf8(d.field)},
                                          {"first", Utf8(d.first)},
                                          {"second", Utf8(d.second)},
                                          {"toDevice", d.toDevice}});
        std::printf("%s\n", out.dump(2).c_str());
    } else {
        for (const ConfigDifference& d : differences)
            PrintLine(d.Text());
    }
    return differences.empty() ? DIFF_SAME : DIFF_DIFFERENT;
}

int RunCheck(QstArgs& args)
{
    const bool json = args.TakeFlag("--json");
    std::vector<Source> sources;
    if (!TakeSources(args, sources, 1)) {
        PrintError("usage: qst check FILE|TARGET [--json]");
        return QST_USAGE;
    }
    ConfigData config;
    if (!LoadSource(sources[0], config))
        return QST_USAGE;
    const auto findings = CheckConfiguration(config);
    if (json) {
        nlohmann::json out;
        out["source"] = Utf8(sources[0].Name());
        out["findings"] = nlohmann::json::array();
        for (const ConfigFinding& f : findings)
            out["findings"].push_back(
                {{"severity", f.severity == FindingSeverity::Error ? "error" : "warning"}, {"text", Utf8(f.text)}});
        std::printf("%s\n", out.dump(2).c_str());
    } else {
        for (const ConfigFinding& f : findings)
            PrintLine(FindingText(f));
    }
    return HasErrors(findings) ? QST_FAILED : QST_OK;
}

} // namespace

const std::vector<QstCommand>& CompareCommands()
{
    static const std::vector<QstCommand> commands = {
        {"diff", "diff A B [--json]", "Print the differences between two configurations",
         "A and B are each a FILE (.qst or JSON from qst export), --tcp HOST[:PORT] or\n"
         "--serial DEVICE[:BAUD] (a device is read). One line per difference,\n"
         "\"field: A's value -> B's value\"; a device holds no notes, so they are left\n"
         "out when a side is a device.\n"
         "Exit status: 0 no differences, 1 differences, 2 trouble (as diff).\n"
         "  --json   the differences as JSON\n",
         RunDiff},
        {"check", "check FILE|TARGET [--json]", "Report what may keep a configuration from working",
         "Errors (two nodes writing the same byte, ranges past byte 512, repeated\n"
         "slave IDs, shared serial ports or server ports, IP settings that do not\n"
         "fit together, more than 6 nodes) and warnings (no Control link, bytes read\n"
         "that no node writes, a client without a server address).\n"
         "Exit status: 0 no error, 1 an error, 2 trouble.\n"
         "  --json   the findings as JSON\n",
         RunCheck},
    };
    return commands;
}
