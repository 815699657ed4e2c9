// TCP server port: the port to listen on.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortTcpServer : public EditPortPanel
{
public:
    EditPortTcpServer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize);

protected:
    // The UDP server page is the same page for another port type.
    EditPortTcpServer(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t type);

private:
    wxSpinCtrl* m_listenPort = nullptr;
};
