#include "editor/EditPortUdpClient.h"

EditPortUdpClient::EditPortUdpClient(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortTcpClient(parent, id, pos, size, PORT_UDP_CLIENT)
{
}
