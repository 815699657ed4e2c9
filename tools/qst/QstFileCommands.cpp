// Commands on configuration files: info, report, convert.
#include "QstCommand.h"

#include "config/ConfigData.h"
#include "config/ConfigJson.h"
#include "config/FileAccess.h"
#include "print/ConfigReport.h"

#include <wx/filename.h>

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

using Json = nlohmann::ordered_json;

bool LoadFile(const wxString& path, ConfigData& config)
{
    wxString error;
    if (config.Load(path, error))
        return true;
    PrintError(path + ": " + error);
    return false;
}

// Saves as the window does: the file is replaced only when written whole.
int SaveFile(ConfigData& config, const wxString& out)
{
    if (config.Save(out))
        return QST_OK;
    PrintError(out + ": could not write the file");
    return QST_FAILED;
}

struct NodeTexts {
    wxString protocol, port, slaveIds, read, write;
};

NodeTexts TextsOf(const ConfigData& config, unsigned i)
{
    return {config.GetProtocolName(i), config.GetPortText(i), config.GetSlaveIdsText(i),
            config.GetReadRangesText(i), config.GetWriteRangesText(i)};
}

void PrintInfoText(const ConfigData& config, const wxString& path)
{
    IpTexts ip;
    config.GetIpTexts(ip);
    PrintLine("File:               " + path);
    PrintLine(wxString::Format("Write protect:      %s", config.GetWriteProtect() ? "Yes" : "No"));
    PrintLine(wxString::Format("Database data age:  %d secs", config.GetDataAge()));
    PrintLine(wxString::Format("SD card log level:  %d", config.GetSdLogLevel()));
    PrintLine(wxString::Format("SD card log age:    %d days", config.GetSdLogAge()));
    PrintLine("IP address:         " + ip.ipAddress);
    PrintLine("Subnet mask:        " + ip.subnetMask);
    PrintLine("Gateway:            " + ip.gateway);
    PrintLine("MAC address:        " + ip.macAddress);
    PrintLine("Boot loader port:   " + ip.bootLoaderPort);
    wxString notes = config.GetNotes();
    notes.Replace("\r\n", " / ");
    notes.Replace("\n", " / ");
    notes.Replace("\r", " / ");
    PrintLine("Notes:              " + (notes.empty() ? wxString("(none)") : notes));
    PrintLine(wxString::Format("Report CRC:         0x%04X", config.ReportCrc()));
    PrintLine(wxString::Format("Nodes:              %d", config.GetNodeCount()));
    for (unsigned i = 0; i < config.GetNodeCount() && i < kMaxNodes; ++i) {
        const NodeTexts t = TextsOf(config, i);
        PrintLine(wxString::Format("  %u  %s | %s | slaves: %s | read: %s | write: %s", i + 1, t.protocol, t.port,
                                   t.slaveIds.empty() ? wxString("-") : t.slaveIds,
                                   t.read.empty() ? wxString("-") : t.read,
                                   t.write.empty() ? wxString("-") : t.write));
    }
}

void PrintInfoJson(const ConfigData& config, const wxString& path)
{
    IpTexts ip;
    config.GetIpTexts(ip);
    Json nodes = Json::array();
    for (unsigned i = 0; i < config.GetNodeCount() && i < kMaxNodes; ++i) {
        const NodeTexts t = TextsOf(config, i);
        nodes.push_back({{"index", i + 1},
                         {"protocol", t.protocol.utf8_string()},
                         {"port", t.port.utf8_string()},
                         {"slaveIds", t.slaveIds.utf8_string()},
                         {"memoryRead", t.read.utf8_string()},
                         {"memoryWrite", t.write.utf8_string()},
                         {"controlLink", config.GetNode(i)->IsControlLink()}});
    }
    const Json info = {
        {"file", path.utf8_string()},
        {"writeProtect", config.GetWriteProtect() != 0},
        {"dataAge", config.GetDataAge()},
        {"sdLogLevel", config.GetSdLogLevel()},
        {"sdLogAge", config.GetSdLogAge()},
        {"ip",
         {{"address", ip.ipAddress.utf8_string()},
          {"subnetMask", ip.subnetMask.utf8_string()},
          {"gateway", ip.gateway.utf8_string()},
          {"mac", ip.macAddress.utf8_string()},
          {"bootLoaderPort", config.GetIpBlock().BootLoaderPort()}}},
        {"notes", config.GetNotes().utf8_string()},
        {"reportCrc", wxString::Format("0x%04X", config.ReportCrc()).utf8_string()},
        {"nodes", std::move(nodes)},
    };
    std::printf("%s\n", info.dump(2).c_str());
}

int RunInfo(QstArgs& args)
{
    const bool json = args.TakeFlag("--json");
    wxString path;
    if (!args.TakeOperand(path) || args.Leftover()) {
        PrintError("usage: qst info FILE [--json]");
        return QST_USAGE;
    }
    ConfigData config;
    if (!LoadFile(path, config))
        return QST_FAILED;
    if (json)
        PrintInfoJson(config, path);
    else
        PrintInfoText(config, path);
    return QST_OK;
}

int RunReport(QstArgs& args)
{
    wxString path;
    if (!args.TakeOperand(path) || args.Leftover()) {
        PrintError("usage: qst report FILE");
        return QST_USAGE;
    }
    ConfigData config;
    if (!LoadFile(path, config))
        return QST_FAILED;
    for (const ReportLine& line : BuildConfigReport(config))
        PrintLine(line.text);
    return QST_OK;
}

int RunConvert(QstArgs& args)
{
    wxString in, out;
    if (!args.TakeOperand(in) || !args.TakeOperand(out) || args.Leftover()) {
        PrintError("usage: qst convert IN OUT");
        return QST_USAGE;
    }
    ConfigData config;
    if (!LoadFile(in, config))
        return QST_FAILED;
    return SaveFile(config, out);
}

int RunExport(QstArgs& args)
{
    wxString path, out;
    const bool toFile = args.TakeValue("-o", out);
    if (!args.TakeOperand(path) || args.Leftover()) {
        PrintError("usage: qst export FILE [-o OUT.json]");
        return QST_USAGE;
    }
    ConfigData config;
    wxString error;
    if (!LoadAnyConfiguration(path, config, error)) {
        PrintError(path + ": " + error);
        return QST_FAILED;
    }
    const std::string json = ExportJson(config);
    if (!toFile) {
        std::fputs(json.c_str(), stdout);
        return std::fflush(stdout) == 0 ? QST_OK : QST_FAILED;
    }
    if (!ReplaceFileAtomically(out, json)) {
        PrintError(out + ": could not write the file");
        return QST_FAILED;
    }
    return QST_OK;
}

int RunImport(QstArgs& args)
{
    wxString in, out;
    if (!args.TakeValue("-o", out) || !args.TakeOperand(in) || args.Leftover()) {
        PrintError("usage: qst import IN.json -o FILE.qst");
        return QST_USAGE;
    }
    ConfigData config;
    wxString error;
    if (!ImportJsonFile(in, config, error)) {
        PrintError(in + ": " + error);
        return QST_FAILED;
    }
    return SaveFile(config, out);
}

int RunSchema(QstArgs& args)
{
    if (args.Leftover()) {
        PrintError("usage: qst schema");
        return QST_USAGE;
    }
    std::fputs(JsonSchemaText().c_str(), stdout);
    return QST_OK;
}

} // namespace

const std::vector<QstCommand>& FileCommands()
{
    static const std::vector<QstCommand> commands = {
        {"info", "info FILE [--json]",
         "Show the configuration in brief",
         "  --json   print one JSON object instead of text\n", RunInfo},
        {"report", "report FILE", "Print the configuration report, one report line per output line",
         "The same report as the window prints; headings are not marked.\n", RunReport},
        {"convert", "convert IN OUT", "Load a format-1 or format-2 file and save it in format 2",
         "The output file is replaced only when it has been written whole.\n", RunConvert},
        {"export", "export FILE [-o OUT.json]", "Write the configuration as JSON (to standard output by default)",
         "  -o OUT.json   write to this file instead; it is replaced only when written whole\n"
         "Every byte of the configuration is in the JSON: 'qst import' gives the same file back.\n",
         RunExport},
        {"import", "import IN.json -o FILE.qst", "Check a JSON configuration and save it as a .qst file",
         "Nothing is written unless the whole document is valid; the first problem is named\n"
         "with its place, e.g. nodes[2].port.baud, and what is allowed there.\n",
         RunImport},
        {"schema", "schema", "Print the JSON Schema of the form 'qst export' writes",
         "The same schema is installed with the program (quorastelline-config.schema.json).\n", RunSchema},
    };
    return commands;
}
