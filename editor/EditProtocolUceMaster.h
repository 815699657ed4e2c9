// UCE Master protocol: the no-data choice.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolUceMaster : public EditProtocolPanel
{
public:
    EditProtocolUceMaster(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_noData = nullptr;
};
