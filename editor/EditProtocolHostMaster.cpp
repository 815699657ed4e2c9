#include "editor/EditProtocolHostMaster.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolHostMaster::EditProtocolHostMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                               const wxSize& size)
    : EditProtocolHostMaster(parent, id, pos, size, PROTOCOL_HOST_MASTER, ID_CHECKBOXSTORESCF)
{
}

EditProtocolHostMaster::EditProtocolHostMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                               const wxSize& size, uint8_t code, const ControlId& storeScfId)
    : EditProtocolPanel(parent, id, pos, size, code)
{
    m_storeScf = AddCheckBox(storeScfId, "Store system control field");
    Link(m_storeScf, kHostStoreScf);
    m_sendScf = AddCheckBox(ID_CHECKBOXSENDSCF, "Send system control field");
    Link(m_sendScf, kHostSendScf);
    // The loop number is one byte; Link narrows the spin to 0..255.
    m_loopNumber = AddSpin(ID_SPINCTRLLOOPNUMBER, "Loop number", 0, 256, 0);
    Link(m_loopNumber, kHostLoopNumber);
    m_noData = AddNoDataChoice();
    Link(m_noData, kHostNoData);
}
