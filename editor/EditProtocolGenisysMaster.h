// Genisys Master protocol: poll interval, secure polls, checkback, no-data, secure-bit sense.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolGenisysMaster : public EditProtocolPanel
{
public:
    EditProtocolGenisysMaster(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                              const wxSize& size = wxDefaultSize);

private:
    wxSpinCtrl* m_pollInterval = nullptr;
    wxCheckBox* m_securePolls = nullptr;
    wxCheckBox* m_checkback = nullptr;
    wxChoice* m_noData = nullptr;
    wxChoice* m_secureBit = nullptr;
};
