#include "editor/EditPortUdpServer.h"

EditPortUdpServer::EditPortUdpServer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortTcpServer(parent, id, pos, size, PORT_UDP_SERVER)
{
}
