// UCE Slave protocol: the no-data choice.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolUceSlave : public EditProtocolPanel
{
public:
    EditProtocolUceSlave(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_noData = nullptr;
};
