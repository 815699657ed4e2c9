#include "editor/EditProtocolPanel.h"

EditProtocolPanel::EditProtocolPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     uint8_t code)
    : EditPanel(parent, id, pos, size), m_code(code)
{
}

bool EditProtocolPanel::Load(const NodeEntry& node)
{
    if (node.protocol != m_code)
        return true;
    LoadFields(node);
    return true;
}

bool EditProtocolPanel::Store(NodeEntry& node)
{
    node.protocol = m_code;
    StoreFields(node);
    return true;
}
