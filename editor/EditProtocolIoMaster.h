// IO Master protocol: the no-data choice.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolIoMaster : public EditProtocolPanel
{
public:
    EditProtocolIoMaster(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize);

private:
    wxChoice* m_noData = nullptr;
};
