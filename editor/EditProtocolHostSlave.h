// Host Slave protocol: the Host Master options and the poll rate.
#pragma once

#include "editor/EditProtocolHostMaster.h"

class EditProtocolHostSlave : public EditProtocolHostMaster
{
public:
    EditProtocolHostSlave(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize);

private:
    wxSpinCtrl* m_pollRate = nullptr;
};
