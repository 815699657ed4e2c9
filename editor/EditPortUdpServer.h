// UDP server port: the port to listen on.
#pragma once

#include "editor/EditPortTcpServer.h"

class EditPortUdpServer : public EditPortTcpServer
{
public:
    EditPortUdpServer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize);
};
