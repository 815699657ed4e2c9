// qst: the configuration utility's command-line companion, for scripts,
// machines without a desktop and many devices.
#include "QstCommand.h"

#include <wx/init.h>

#include <cstdio>

namespace {

std::vector<QstCommand> AllCommands()
{
    std::vector<QstCommand> all = FileCommands();
    const auto& device = DeviceCommands();
    all.insert(all.end(), device.begin(), device.end());
    const auto& compare = CompareCommands();
    all.insert(all.end(), compare.begin(), compare.end());
    const auto& apply = ApplyCommands();
    all.insert(all.end(), apply.begin(), apply.end());
    return all;
}

void PrintToolHelp()
{
    std::printf("Usage: qst COMMAND [ARGUMENTS]\n\n"
                "The Quorastelline configuration utility for the command line.\n\n"
                "Commands:\n");
    for (const QstCommand& command : AllCommands())
        std::printf("  %-40s %s\n", command.synopsis, command.summary);
    std::printf("\nTARGET is --tcp HOST[:PORT] (port 23 when omitted) or --serial DEVICE[:BAUD]\n"
                "(9600 when omitted).\n\n"
                "Exit status: 0 success, 1 the operation failed (the reason on standard\n"
                "error), 2 usage error, 130 a device command stopped by Ctrl-C (a read\n"
                "then writes no file, a write never sends its end, so the device does not\n"
                "take a partial configuration). 'qst COMMAND --help' describes one command.\n");
}

void PrintCommandHelp(const QstCommand& command)
{
    std::printf("Usage: qst %s\n\n%s.\n", command.synopsis, command.summary);
    if (command.help && *command.help)
        std::printf("\n%s", command.help);
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        std::fprintf(stderr, "qst: cannot initialise the toolkit\n");
        return QST_FAILED;
    }

    if (argc < 2) {
        PrintToolHelp();
        return QST_USAGE;
    }
    const wxString name = wxString::FromUTF8(argv[1]);
    if (name == "--help" || name == "-h" || name == "help") {
        PrintToolHelp();
        return QST_OK;
    }

    for (const QstCommand& command : AllCommands()) {
        if (name != command.name)
            continue;
        std::vector<wxString> words;
        for (int i = 2; i < argc; ++i)
            words.push_back(wxString::FromUTF8(argv[i]));
        QstArgs args(words);
        if (args.TakeFlag("--help") || args.TakeFlag("-h")) {
            PrintCommandHelp(command);
            return QST_OK;
        }
        return command.run(args);
    }
    PrintError("unknown command '" + name + "'; 'qst --help' lists the commands");
    return QST_USAGE;
}
