#include "editor/EditPortSync.h"

using namespace EditorIds;
using namespace NodeFields;

namespace {
// The synchronous line offers the speeds up to 9600.
constexpr size_t kOfferedSpeeds = 5;
constexpr int kBaud9600 = 4;
}

EditPortSync::EditPortSync(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortPanel(parent, id, pos, size, PORT_SYNC_SERIAL)
{
    m_comPort = AddComPortChoice();
    m_baud = AddSpeedChoice(kOfferedSpeeds, kBaud9600);
    m_mode = AddChoice(ID_CHOICEMODE, "Mode",
                       ChoiceItems(kSyncClockNames));
    Link(m_mode, kSyncClock, SYNC_CLOCK_MASTER);
    m_useCts = AddCheckBox(ID_CHECKBOXUSECTS, "Use CTS");
    Link(m_useCts, kSyncUseCts);
    m_sendIdle = AddCheckBox(ID_CHECKBOX1SENDIDLE7E, "Transmit sync flags when idle");
    Link(m_sendIdle, kSyncIdleFlags);
    m_nrz = AddNrzChoice("NRZ");
    Link(m_nrz, kSyncNrz);
}
