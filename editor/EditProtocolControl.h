// Control protocol: the default message level.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolControl : public EditProtocolPanel
{
public:
    EditProtocolControl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);

protected:
    void LoadOwn(const NodeEntry& node) override;
    void StoreOwn(NodeEntry& node) override;

private:
    wxSpinCtrl* m_level = nullptr;
};
