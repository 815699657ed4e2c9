// Host Master protocol: system control field options, loop number, no-data.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolHostMaster : public EditProtocolPanel
{
public:
    EditProtocolHostMaster(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                           const wxSize& size = wxDefaultSize);

protected:
    // The rows the Host Slave page shares; its store box has another name.
    EditProtocolHostMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t code,
                           const EditorIds::ControlId& storeScfId);

private:
    wxCheckBox* m_storeScf = nullptr;
    wxCheckBox* m_sendScf = nullptr;
    wxSpinCtrl* m_loopNumber = nullptr;
    wxChoice* m_noData = nullptr;
};
