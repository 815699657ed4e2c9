#include "editor/EditProtocolUceMaster.h"

EditProtocolUceMaster::EditProtocolUceMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_UCE_MASTER)
{
    m_noData = AddNoDataChoice();
    Link(m_noData, NodeFields::kIoNoData);
    AddNote("Note: Use slave ID 1 to define data range");
}
