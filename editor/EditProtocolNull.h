// Null protocol: the fill byte or the database offset.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolNull : public EditProtocolPanel
{
public:
    EditProtocolNull(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize);

protected:
    void LoadOwn(const NodeEntry& node) override;

private:
    void ApplyOffsetRule();
    void UpdateFillState();

    wxTextCtrl* m_fill = nullptr;
    wxStaticText* m_fillState = nullptr;
    wxCheckBox* m_useOffset = nullptr;
};
