#include "editor/EditPortModem.h"

using namespace EditorIds;
using namespace NodeFields;

EditPortModem::EditPortModem(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortPanel(parent, id, pos, size, PORT_MODEM)
{
    m_mode = AddChoice(ID_CHOICEMODE, "Mode", ChoiceItems(kModemModeNames, kModemOfferedModes));
    // Modes the list does not offer are shown by their names.
    Link(m_mode, kModemMode, kModemFirstMode, [](int mode) {
        const int index = mode - int(kModemFirstMode);
        return index >= 0 && size_t(index) < kModemModeNames.size() ? wxString(kModemModeNames[size_t(index)])
                                                                     : OtherValueText(mode);
    });
    m_nrz = AddNrzChoice("NRZ");
    Link(m_nrz, kModemNrz);
    m_rxAttenuation = AddChoice(ID_CHOICERXATTN, "Rx Attenuation", ChoiceItems(kAttenuationNames));
    Link(m_rxAttenuation, kModemRxAttenuation);
    m_txAttenuation = AddChoice(ID_CHOICETXATTN, "Tx Attenuation", ChoiceItems(kAttenuationNames));
    Link(m_txAttenuation, kModemTxAttenuation);
    m_preamble = AddSpin(ID_SPINCTRLPREAMBLE, "Preamble (bytes)", 0, 50, 3);
    Link(m_preamble, kModemPreamble);
    m_postamble = AddSpin(ID_SPINCTRLPOSTAMBLE, "Postamble (bytes)", 0, 50, 2);
    Link(m_postamble, kModemPostamble);
    m_carrier = AddCheckBox(ID_CHECKBOXCARRIER, "Continuous Carrier");
    Link(m_carrier, kModemCarrier);
    m_pttActiveHigh = AddCheckBox(ID_CHECKBOXPTTACTIVELOW, "Reverse PTT (ie Active High)");
    Link(m_pttActiveHigh, kModemPttActiveHigh);
}
