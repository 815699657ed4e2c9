#include "device/ConfigProtocol.h"

ConfigProtocol::ConfigProtocol()
    : wxSocketClient(wxSOCKET_NONE)
{
    SetTimeout(2);
}

ConfigProtocol::~ConfigProtocol() = default;
