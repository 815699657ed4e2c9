#include "editor/EditProtocolGenisysSlave.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolGenisysSlave::EditProtocolGenisysSlave(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                                   const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_GENISYS_SLAVE)
{
    m_noData = AddNoDataChoice();
    Link(m_noData, kGenisysNoData);
    m_secureBit = AddChoice(ID_CHOICE2, {},
                            ChoiceItems(kSecureBitNames));
    Link(m_secureBit, kGenisysSecureInverse);
}
