// S2 Master protocol: HDLC-style framing options and the poll interval.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolS2Master : public EditProtocolPanel
{
public:
    EditProtocolS2Master(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize);

protected:
    // The framing rows, which the S2 Slave page shares with the same fields.
    EditProtocolS2Master(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t code);

    wxCheckBox* m_noBitStuffing = nullptr;

private:
    wxSpinCtrl* m_startFlags = nullptr;
    wxSpinCtrl* m_endFlags = nullptr;
    wxCheckBox* m_controlByte = nullptr;
    wxChoice* m_nrz = nullptr;
    wxChoice* m_noData = nullptr;
    wxSpinCtrl* m_pollInterval = nullptr;
};
