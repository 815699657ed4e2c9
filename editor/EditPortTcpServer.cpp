#include "editor/EditPortTcpServer.h"

using namespace EditorIds;

EditPortTcpServer::EditPortTcpServer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortTcpServer(parent, id, pos, size, PORT_TCP_SERVER)
{
}

EditPortTcpServer::EditPortTcpServer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     uint8_t type)
    : EditPortPanel(parent, id, pos, size, type)
{
    m_listenPort = AddSpin(ID_SPINCTRLLISTENPORT, "Port to listen on", 1, 65535, 4001);
    Link(m_listenPort, NodeFields::kIpPort);
}
