#include "editor/EditProtocolControl.h"

#include <wx/spinctrl.h>

#include <algorithm>

using namespace EditorIds;
using namespace NodeFields;

EditProtocolControl::EditProtocolControl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_CONTROL)
{
    m_level = AddSpin(ID_SPINCTRLMESSAHELEVEL, "Default Message Level", 0, kControlLevelMax, kControlLevelDefault);
    // The level shows bits 0..3 and is stored as the whole word.
    Link({[this] { return Shows(m_level); },
          [this](const NodeEntry& node) {
              const int level = GetValue(node, kControlLevel);
              m_level->SetValue(level > kControlLevelMax ? kControlLevelDefault : level);
          },
          [this](NodeEntry& node) { SetValue(node, kControlWord, std::clamp(m_level->GetValue(), 0, kControlLevelMax)); },
          [](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, kControlWord); }});
}
