#include "editor/EditProtocolNull.h"

#include <wx/checkbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

using namespace EditorIds;
using namespace NodeFields;

EditProtocolNull::EditProtocolNull(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditProtocolPanel(parent, id, pos, size, PROTOCOL_NULL)
{
    wxStaticText* label = NewStaticText("Fill data");
    m_fill = new wxTextCtrl(Inner(), ID_TEXTCTRLFILL.id, "00", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, ID_TEXTCTRLFILL.name);
    AddRow(label, m_fill, NewStaticText("(hex byte)"));
    // Says what a text that is no byte will store, so nothing changes unseen.
    m_fillState = NewStaticText(ID_STATICTEXTFILLSTATE, {});
    AddRow(nullptr, m_fillState);
    Link({[this] { return m_fill->GetValue(); },
          [this](const NodeEntry& node) { m_fill->SetValue(FillText(uint8_t(GetValue(node, kNullFill)))); },
          [this](NodeEntry& node) { SetValue(node, kNullFill, ParseFillText(m_fill->GetValue()).byte); },
          [](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, kNullFill); }});
    m_useOffset = AddCheckBox(ID_CHECKBOXUSEOFFSET, "Use database offset");
    Link(m_useOffset, kNullUseOffset);
    LinkUnshown(kNullUnused, 0);
    AddNote("Note: Port parameters will be ignored");

    m_useOffset->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ApplyOffsetRule(); });
    m_fill->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateFillState(); });
}

void EditProtocolNull::ApplyOffsetRule() { m_fill->Enable(!m_useOffset->GetValue()); }

void EditProtocolNull::UpdateFillState()
{
    switch (ParseFillText(m_fill->GetValue()).status) {
    case FillParse::Byte: m_fillState->SetLabel({}); break;
    case FillParse::NotHex: m_fillState->SetLabel("Not a hex byte: 00 is stored"); break;
    case FillParse::AboveFF: m_fillState->SetLabel("Above FF: FF is stored"); break;
    }
}

void EditProtocolNull::LoadOwn(const NodeEntry&)
{
    UpdateFillState();
    ApplyOffsetRule();
}
