// Commands on configuration files: info, report, convert.
#include "QstCommand.h"

#include "config/ConfigData.h"
#include "print/ConfigReport.h"

#include <wx/filename.h>

#include <cstdio>

namespace {

bool LoadFile(const wxString& path, ConfigData& config)
{
    wxString error;
    if (config.Load(path, error))
        return true;
    PrintError(path + ": " + error);
    return false;
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
    std::printf("{\n  \"file\": %s,\n", JsonString(path).c_str());
    std::printf("  \"writeProtect\": %s,\n", config.GetWriteProtect() ? "true" : "false");
    std::printf("  \"dataAge\": %d,\n  \"sdLogLevel\": %d,\n  \"sdLogAge\": %d,\n", config.GetDataAge(),
                config.GetSdLogLevel(), config.GetSdLogAge());
    std::printf("  \"ip\": {\"address\": %s, \"subnetMask\": %s, \"gateway\": %s, \"mac\": %s, "
                "\"bootLoaderPort\": %s},\n",
                JsonString(ip.ipAddress).c_str(), JsonString(ip.subnetMask).c_str(),
                JsonString(ip.gateway).c_str(), JsonString(ip.macAddress).c_str(), ip.bootLoaderPort.utf8_string().c_str());
    std::printf("  \"notes\": %s,\n", JsonString(config.GetNotes()).c_str());
    std::printf("  \"reportCrc\": %s,\n", JsonString(wxString::Format("0x%04X", config.ReportCrc())).c_str());
    std::printf("  \"nodes\": [");
    for (unsigned i = 0; i < config.GetNodeCount() && i < kMaxNodes; ++i) {
        const NodeTexts t = TextsOf(config, i);
        std::printf("%s\n    {\"index\": %u, \"protocol\": %s, \"port\": %s, \"slaveIds\": %s, \"memoryRead\": %s, "
                    "\"memoryWrite\": %s, \"controlLink\": %s}",
                    i ? "," : "", i + 1, JsonString(t.protocol).c_str(), JsonString(t.port).c_str(),
                    JsonString(t.slaveIds).c_str(), JsonString(t.read).c_str(), JsonString(t.write).c_str(),
                    config.GetNode(i)->IsControlLink() ? "true" : "false");
    }
    std::printf("%s]\n}\n", config.GetNodeCount() ? "\n  " : "");
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
    if (!config.Save(out)) {
        PrintError(out + ": could not write the file");
        return QST_FAILED;
    }
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
    };
    return commands;
}
