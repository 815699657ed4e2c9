// UDP client port: server address and port, and an optional fixed source port.
#pragma once

#include "editor/EditPortTcpClient.h"

class EditPortUdpClient : public EditPortTcpClient
{
public:
    EditPortUdpClient(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize);
};
