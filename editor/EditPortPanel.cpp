#include "editor/EditPortPanel.h"

#include <wx/choice.h>

#include <cstdint>

using namespace EditorIds;
using namespace NodeFields;

namespace {

constexpr unsigned kOfferedComPorts = 3;

void* ItemData(int value) { return reinterpret_cast<void*>(intptr_t(value)); }
int ItemValue(const wxChoice* choice, int item) { return int(reinterpret_cast<intptr_t>(choice->GetClientData(unsigned(item)))); }

// Selects the item standing for the value, appending one when there is none.
void SelectValue(wxChoice* choice, int value, const wxString& text)
{
    for (unsigned item = 0; item < choice->GetCount(); ++item)
        if (ItemValue(choice, int(item)) == value) {
            choice->SetSelection(int(item));
            return;
        }
    choice->SetSelection(choice->Append(text, ItemData(value)));
}

} // namespace

EditPortPanel::EditPortPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t type)
    : EditPanel(parent, id, pos, size), m_type(type)
{
}

bool EditPortPanel::Load(const NodeEntry& node)
{
    if (node.PortType() != m_type)
        return true;
    LoadFields(node);
    return true;
}

bool EditPortPanel::Store(NodeEntry& node)
{
    node.SetPortType(m_type);
    StoreFields(node);
    return true;
}

wxChoice* EditPortPanel::AddComPortChoice()
{
    wxChoice* choice = AddChoice(ID_CHOICECOMPORT, "Com Port", {});
    for (unsigned index = 0; index < kOfferedComPorts; ++index)
        choice->Append(wxString::Format("COM%u", index + 1), ItemData(int(index)));
    choice->SetSelection(0);
    Link({[choice] { return Shows(choice); },
          [choice](const NodeEntry& node) {
              const int index = GetValue(node, kComIndex);
              SelectValue(choice, index, wxString::Format("COM%d", index + 1));
          },
          [choice](NodeEntry& node) {
              const int item = choice->GetSelection();
              if (item != wxNOT_FOUND)
                  SetValue(node, kComIndex, ItemValue(choice, item));
          },
          [](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, kComIndex); }});
    return choice;
}

wxChoice* EditPortPanel::AddSpeedChoice(size_t offered, int initial)
{
    // Items carry their speed code.
    wxChoice* choice = AddChoice(ID_CHOICEBAUD, "Baud Rate", {});
    for (size_t index = 0; index < offered && index < kSpeedCodes.size(); ++index)
        choice->Append(kSpeedCodes[index].text, ItemData(kSpeedCodes[index].code));
    choice->SetSelection(initial);
    Link({[choice] { return Shows(choice); },
          [choice](const NodeEntry& node) {
              const int index = SpeedIndexOf(node.baudCode);
              SelectValue(choice, node.baudCode,
                          index >= 0 ? wxString(kSpeedCodes[size_t(index)].text)
                                     : OtherValueText(node.baudCode));
          },
          [choice](NodeEntry& node) {
              const int item = choice->GetSelection();
              node.baudCode = item == wxNOT_FOUND ? kSpeedCodeFallback : uint8_t(ItemValue(choice, item));
          },
          [](NodeEntry& node, const NodeEntry& loaded) { node.baudCode = loaded.baudCode; }});
    return choice;
}
