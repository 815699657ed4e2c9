#include "editor/EditProtocolIoMaster.h"

EditProtocolIoMaster::EditProtocolIoMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_IO_MASTER)
{
    m_noData = AddNoDataChoice();
    Link(m_noData, NodeFields::kIoNoData);
    AddNote("Note: Slave IDs for digital IO");
    AddNote("Slave ID 1 = IO bits  1 - 16");
    AddNote("Slave ID 2 = IO bits 17 - 32");
    AddNote("Slave ID 3 = IO bits 33 - 48");
    AddNote("Slave ID 4 = IO bits 49 - 64");
}
