// Synchronous serial port: COM port, speed, clocking, CTS, idle flags, NRZ.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortSync : public EditPortPanel
{
public:
    EditPortSync(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_comPort = nullptr;
    wxChoice* m_baud = nullptr;
    wxChoice* m_mode = nullptr;
    wxCheckBox* m_useCts = nullptr;
    wxCheckBox* m_sendIdle = nullptr;
    wxChoice* m_nrz = nullptr;
};
