#include "editor/EditProtocolS2Master.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolS2Master::EditProtocolS2Master(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolS2Master(parent, id, pos, size, PROTOCOL_S2_MASTER)
{
    // The field holds up to 2550 ms; Link narrows the spin to that.
    m_pollInterval = AddSpin(ID_SPINCTRLPOLLINTERVAL, "Poll interval", 100, 10000, 1000, "mSec");
    Link(m_pollInterval, kS2MasterPollMs);
}

EditProtocolS2Master::EditProtocolS2Master(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                           uint8_t code)
    : EditProtocolPanel(parent, id, pos, size, code)
{
    m_startFlags = AddSpin(ID_SPINCTRLSTARTFLAGS, "Number of start flags", 0, 15, 1);
    Link(m_startFlags, kS2StartFlags);
    m_endFlags = AddSpin(ID_SPINCTRLENDFLAGS, "Number of end flags", 0, 15, 1);
    Link(m_endFlags, kS2EndFlags);
    m_controlByte = AddCheckBox(ID_CHECKBOXCTRLBYTE, "Insert extra frame/control byte");
    Link(m_controlByte, kS2ExtraByte);
    m_nrz = AddNrzChoice({});
    Link(m_nrz, kS2Nrz);
    m_noBitStuffing = AddCheckBox(ID_CHECKBOXBITSTUFFING, "No bit stuffing");
    Link(m_noBitStuffing, kS2NoBitStuffing);
    m_noData = AddNoDataChoice();
    Link(m_noData, kS2NoData);
}
