// The device link: the command protocol to a device over TCP or a serial
// line. The configuration document derives from it.
#pragma once

#include <wx/socket.h>

#include <functional>

// Asked before a configuration is written in a form that loses data;
// true lets the write go ahead. A caller with no way to ask passes none,
// which declines.
using ConfirmLossyWrite = std::function<bool()>;

class ConfigProtocol : public wxSocketClient
{
public:
    ConfigProtocol();
    ~ConfigProtocol() override;

    ConfigProtocol(const ConfigProtocol&) = delete;
    ConfigProtocol& operator=(const ConfigProtocol&) = delete;
};
