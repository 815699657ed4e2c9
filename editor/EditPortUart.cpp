#include "editor/EditPortUart.h"

using namespace EditorIds;
using namespace NodeFields;

namespace {
constexpr int kBaud9600 = 4;
}

EditPortUart::EditPortUart(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortPanel(parent, id, pos, size, PORT_ASYNC_SERIAL)
{
    m_comPort = AddComPortChoice();
    m_baud = AddSpeedChoice(kSpeedCodes.size(), kBaud9600);
    m_format = AddChoice(ID_CHOICEFORMAT, "Format", ChoiceItems(kUartFormatNames));
    Link(m_format, kUartFormat);
    m_handshake = AddChoice(ID_CHOICEHANDSHAKE, "Handshaking", ChoiceItems(kHandshakeNames));
    Link(m_handshake, kUartHandshake);
    // The page owns the whole port word.
    LinkUnshown(kUartUnused, 0);
}
