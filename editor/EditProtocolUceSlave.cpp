#include "editor/EditProtocolUceSlave.h"

EditProtocolUceSlave::EditProtocolUceSlave(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_UCE_SLAVE)
{
    m_noData = AddNoDataChoice();
    Link(m_noData, NodeFields::kIoNoData);
    AddNote("Note: Use slave ID 1 to define data range");
}
