#include "editor/EditProtocolGenisysMaster.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolGenisysMaster::EditProtocolGenisysMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                                     const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_GENISYS_MASTER)
{
    // The field holds up to 2550 ms; Link narrows the spin to that.
    m_pollInterval = AddSpin(ID_SPINCTRLPOLLINTERVAL, "Poll interval", 200, 2560, 500, "mS");
    Link(m_pollInterval, kGenisysMasterPollMs);
    m_securePolls = AddCheckBox(ID_CHECKBOXSECUREPOLLS, "Secure polls");
    Link(m_securePolls, kGenisysSecurePolls);
    m_checkback = AddCheckBox(ID_CHECKBOXCONTROLSCHECKBACK, "Controls checkback");
    Link(m_checkback, kGenisysCheckback);
    m_noData = AddNoDataChoice();
    Link(m_noData, kGenisysNoData);
    m_secureBit = AddChoice(ID_CHOICEIMPLIMENTATION, {},
                            ChoiceItems(kSecureBitNames));
    Link(m_secureBit, kGenisysSecureInverse);
}
