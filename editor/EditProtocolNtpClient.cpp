#include "editor/EditProtocolNtpClient.h"

using namespace EditorIds;
using namespace NodeFields;

EditProtocolNtpClient::EditProtocolNtpClient(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_NTP_CLIENT)
{
    // The interval is one byte; Link narrows the spin to 1..255.
    m_interval = AddSpin(ID_SPINCTRLINTERVAL, "Update interval", 1, 256, 24, "hours");
    Link(m_interval, kNtpIntervalHours);
    m_timeZone = AddSpin(ID_SPINCTRLTIMEZONE, "Time zone offset", -12, 12, 8, "hours");
    Link(m_timeZone, kNtpTimeZone);
    AddNote("Note: Use UDP client to\nport 123 on server IP.");
}
