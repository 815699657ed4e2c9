#include "editor/EditProtocolHostSlave.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolHostSlave::EditProtocolHostSlave(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolHostMaster(parent, id, pos, size, PROTOCOL_HOST_SLAVE, ID_CHECKBOXEXTENDED)
{
    // The field holds up to 2550 ms; Link narrows the spin to that.
    m_pollRate = AddSpin(ID_SPINCTRLPOLLRATE, "Poll rate", 200, 2560, 500, "mS");
    Link(m_pollRate, kHostSlavePollMs);
}
