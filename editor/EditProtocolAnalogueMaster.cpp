#include "editor/EditProtocolAnalogueMaster.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

using namespace EditorIds;
using namespace NodeFields;

namespace {
constexpr int kTriggers = 0;
constexpr int kReadings = 1;
constexpr int kVoltage = 0;
constexpr int kCurrent = 1;
}

EditProtocolAnalogueMaster::EditProtocolAnalogueMaster(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                                       const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_ANALOGUE_MASTER)
{
    AddRow(NewStaticText("Inputs"), nullptr);
    m_mode = AddChoice(ID_CHOICEMODE, "Mode", ChoiceItems(std::array<const char*, 2>{{"Triggers", "Readings"}}));
    m_activeLow = AddCheckBox(ID_CHECKBOXACTIVELOW, "Active low");
    Link(m_activeLow, kAnalogueActiveLow);
    m_channel = AddChoice(ID_CHOICECHANNEL, "Channel",
                          ChoiceItems(std::array<const char*, kAnalogueChannels>{{"Ch 1", "Ch 2", "Ch 3", "Ch 4"}}));
    m_type = AddChoice(ID_CHOICETYPE, "Type", ChoiceItems(std::array<const char*, 2>{{"Voltage", "Current"}}));
    AddRow(NewStaticText("Trigger"), nullptr);
    wxStaticText* highLabel = NewStaticText("High");
    m_high = NewSpin(ID_SPINCTRLHIGH, 0, kAnalogueVoltageMax, kAnalogueHighDefault);
    m_highUnit = NewStaticText(ID_STATICTEXTTRIGGERHIGHUNIT, AnalogueUnit(true));
    AddRow(highLabel, m_high, m_highUnit);
    wxStaticText* lowLabel = NewStaticText("Low");
    m_low = NewSpin(ID_SPINCTRLLOW, 0, kAnalogueLowInitialMax, kAnalogueLowDefault);
    m_lowUnit = NewStaticText(ID_STATICTEXTTRIGGERLOWUNIT, AnalogueUnit(true));
    AddRow(lowLabel, m_low, m_lowUnit);
    m_noData = AddNoDataChoice();
    Link(m_noData, kAnalogueNoData);

    m_mode->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ApplyMode(); });
    m_type->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ApplyType(m_type->GetSelection() != kCurrent); });
    m_channel->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnChannel(); });
}

void EditProtocolAnalogueMaster::ApplyMode()
{
    const bool triggers = m_mode->GetSelection() != kReadings;
    for (wxWindow* control : {static_cast<wxWindow*>(m_activeLow), static_cast<wxWindow*>(m_channel),
                              static_cast<wxWindow*>(m_type), static_cast<wxWindow*>(m_high),
                              static_cast<wxWindow*>(m_low)})
        control->Enable(triggers);
}

void EditProtocolAnalogueMaster::ApplyType(bool voltage)
{
    const int max = voltage ? kAnalogueVoltageMax : kAnalogueCurrentMax;
    m_highUnit->SetLabel(AnalogueUnit(voltage));
    m_lowUnit->SetLabel(AnalogueUnit(voltage));
    m_high->SetRange(0, max);
    m_low->SetRange(0, max);
}

void EditProtocolAnalogueMaster::KeepCurrentChannel()
{
    // A value the spin could not show is kept until the user sets another.
    Channel& channel = m_channels[m_currentChannel];
    channel.voltage = m_type->GetSelection() != kCurrent;
    if (m_high->GetValue() != channel.shownHigh)
        channel.high = m_high->GetValue();
    if (m_low->GetValue() != channel.shownLow)
        channel.low = m_low->GetValue();
}

void EditProtocolAnalogueMaster::ShowCurrentChannel()
{
    // The range of the channel's own type comes first, so a stored value is
    // never cut by the previous channel's range.
    Channel& channel = m_channels[m_currentChannel];
    m_type->SetSelection(channel.voltage ? kVoltage : kCurrent);
    ApplyType(channel.voltage);
    m_high->SetValue(channel.high);
    m_low->SetValue(channel.low);
    channel.shownHigh = m_high->GetValue();
    channel.shownLow = m_low->GetValue();
}

void EditProtocolAnalogueMaster::OnChannel()
{
    const int selection = m_channel->GetSelection();
    if (selection < 0 || unsigned(selection) >= kAnalogueChannels)
        return;
    KeepCurrentChannel();
    m_currentChannel = uint8_t(selection);
    ShowCurrentChannel();
}

void EditProtocolAnalogueMaster::LoadOwn(const NodeEntry& node)
{
    m_mode->SetSelection(GetFlag(node, kAnalogueTriggersMode) ? kTriggers : kReadings);
    for (unsigned c = 0; c < kAnalogueChannels; ++c)
        m_channels[c] = {GetFlag(node, AnalogueVoltage(c)), GetValue(node, AnalogueHigh(c)),
                         GetValue(node, AnalogueLow(c)), -1, -1};
    const int selection = m_channel->GetSelection();
    m_currentChannel = uint8_t(selection >= 0 && unsigned(selection) < kAnalogueChannels ? selection : 0);
    ApplyMode();
    ShowCurrentChannel();
}

void EditProtocolAnalogueMaster::StoreOwn(NodeEntry& node)
{
    SetFlag(node, kAnalogueTriggersMode, m_mode->GetSelection() != kReadings);
    KeepCurrentChannel();
    for (unsigned c = 0; c < kAnalogueChannels; ++c) {
        SetFlag(node, AnalogueVoltage(c), m_channels[c].voltage);
        SetValue(node, AnalogueHigh(c), m_channels[c].high);
        SetValue(node, AnalogueLow(c), m_channels[c].low);
    }
}
