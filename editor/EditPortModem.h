// Modem port: modulation, NRZ, attenuations, pre- and postamble, carrier, PTT.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortModem : public EditPortPanel
{
public:
    EditPortModem(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_mode = nullptr;
    wxChoice* m_nrz = nullptr;
    wxChoice* m_rxAttenuation = nullptr;
    wxChoice* m_txAttenuation = nullptr;
    wxSpinCtrl* m_preamble = nullptr;
    wxSpinCtrl* m_postamble = nullptr;
    wxCheckBox* m_carrier = nullptr;
    wxCheckBox* m_pttActiveHigh = nullptr;
};
