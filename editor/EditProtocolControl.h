// Control protocol: the default message level.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolControl : public EditProtocolPanel
{
public:
    EditProtocolControl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);

private:
    wxSpinCtrl* m_level = nullptr;
};
