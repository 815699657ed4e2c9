// Asynchronous serial port: COM port, speed, frame format and handshake.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortUart : public EditPortPanel
{
public:
    EditPortUart(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_comPort = nullptr;
    wxChoice* m_baud = nullptr;
    wxChoice* m_format = nullptr;
    wxChoice* m_handshake = nullptr;
};
