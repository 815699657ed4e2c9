// Commands that talk to a device.
#include "QstCommand.h"

const std::vector<QstCommand>& DeviceCommands()
{
    static const std::vector<QstCommand> commands;
    return commands;
}
