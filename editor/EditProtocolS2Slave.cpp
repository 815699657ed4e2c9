#include "editor/EditProtocolS2Slave.h"

#include <wx/checkbox.h>

using namespace EditorIds;

EditProtocolS2Slave::EditProtocolS2Slave(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolS2Master(parent, id, pos, size, PROTOCOL_S2_SLAVE)
{
    m_prefixBit = AddCheckBox(ID_CHECKBOXPREFIXBIT, "Prefix '1' bit");
    Link(m_prefixBit, NodeFields::kS2SlavePrefixBit);
    // The prefix bit only means something while bits are stuffed. Loading
    // sets both boxes as stored, without this rule.
    m_noBitStuffing->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { m_prefixBit->Enable(!m_noBitStuffing->GetValue()); });
}
