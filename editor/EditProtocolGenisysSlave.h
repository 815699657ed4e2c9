// Genisys Slave protocol: no-data and secure-bit sense.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolGenisysSlave : public EditProtocolPanel
{
public:
    EditProtocolGenisysSlave(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                             const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_noData = nullptr;
    wxChoice* m_secureBit = nullptr;
};
