#include "editor/EditPanel.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gbsizer.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <algorithm>

using namespace EditorIds;
using namespace NodeFields;

namespace {
constexpr int kSpinWidth = 140;
}

EditPanel::EditPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxTAB_TRAVERSAL)
{
    auto* outer = new wxBoxSizer(wxVERTICAL);
    m_inner = new wxPanel(this, ID_PANEL1.id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, ID_PANEL1.name);
    m_column = new wxBoxSizer(wxVERTICAL);
    m_grid = new wxGridBagSizer(6, 8);
    m_column->Add(m_grid, 0, wxALL | wxEXPAND, 8);
    m_inner->SetSizer(m_column);
    outer->Add(m_inner, 1, wxEXPAND);
    SetSizer(outer);
}

wxStaticText* EditPanel::NewStaticText(const wxString& text)
{
    return NewStaticText(StaticTextId(++m_staticTexts), text);
}

wxStaticText* EditPanel::NewStaticText(const ControlId& id, const wxString& text)
{
    return new wxStaticText(m_inner, id.id, text, wxDefaultPosition, wxDefaultSize, 0, id.name);
}

wxSpinCtrl* EditPanel::NewSpin(const ControlId& id, int min, int max, int initial)
{
    // The toolkit's own spin width would push the page wider than the editor.
    return new wxSpinCtrl(m_inner, id.id, wxString::Format("%d", initial), wxDefaultPosition, wxSize(kSpinWidth, -1),
                          wxSP_ARROW_KEYS, min, max, initial, id.name);
}

void EditPanel::AddRow(wxWindow* label, wxWindow* control, wxWindow* unit)
{
    const int flags = wxALIGN_CENTER_VERTICAL;
    if (label)
        m_grid->Add(label, wxGBPosition(m_rows, 0), wxDefaultSpan, flags);
    if (control)
        m_grid->Add(control, wxGBPosition(m_rows, label ? 1 : 0), wxGBSpan(1, label ? 1 : 2), flags | wxEXPAND);
    if (unit)
        m_grid->Add(unit, wxGBPosition(m_rows, 2), wxDefaultSpan, flags);
    ++m_rows;
}

wxSpinCtrl* EditPanel::AddSpin(const ControlId& id, const wxString& label, int min, int max, int initial,
                               const wxString& unit)
{
    wxStaticText* labelText = label.empty() ? nullptr : NewStaticText(label);
    wxSpinCtrl* spin = NewSpin(id, min, max, initial);
    AddRow(labelText, spin, unit.empty() ? nullptr : NewStaticText(unit));
    return spin;
}

wxChoice* EditPanel::AddChoice(const ControlId& id, const wxString& label, const wxArrayString& items, int initial)
{
    wxStaticText* labelText = label.empty() ? nullptr : NewStaticText(label);
    auto* choice = new wxChoice(m_inner, id.id, wxDefaultPosition, wxDefaultSize, items, 0, wxDefaultValidator, id.name);
    if (initial >= 0 && unsigned(initial) < items.size())
        choice->SetSelection(initial);
    AddRow(labelText, choice);
    return choice;
}

wxCheckBox* EditPanel::AddCheckBox(const ControlId& id, const wxString& text)
{
    auto* box = new wxCheckBox(m_inner, id.id, text, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, id.name);
    AddRow(nullptr, box);
    return box;
}

wxStaticText* EditPanel::AddNote(const wxString& text)
{
    wxStaticText* note = NewStaticText(text);
    m_column->Add(note, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    return note;
}

wxChoice* EditPanel::AddNoDataChoice()
{
    return AddChoice(ID_CHOICENODATA, {},
                     ChoiceItems(std::array<const char*, 3>{{"Don't send anything when no data",
                                                             "Send all 0's when no data",
                                                             "Send last known when no data"}}));
}

wxChoice* EditPanel::AddNrzChoice(const wxString& label)
{
    return AddChoice(ID_CHOICENRZ, label, ChoiceItems(NodeFields::kNrzNames));
}

wxString EditPanel::OtherValueText(int value) { return wxString::Format("Unknown (%d)", value); }

wxString EditPanel::Shows(const wxSpinCtrl* spin) { return wxString::Format("%d", spin->GetValue()); }
wxString EditPanel::Shows(const wxChoice* choice) { return wxString::Format("%d", choice->GetSelection()); }
wxString EditPanel::Shows(const wxCheckBox* box) { return box->GetValue() ? "1" : "0"; }

void EditPanel::Link(FieldLink link)
{
    m_links.push_back(std::move(link));
}

void EditPanel::Link(wxSpinCtrl* spin, const Field& field)
{
    const int min = std::max(spin->GetMin(), MinValue(field));
    const int max = std::min(spin->GetMax(), MaxValue(field));
    spin->SetRange(min, max);
    Link({[spin] { return Shows(spin); }, [spin, field](const NodeEntry& node) { spin->SetValue(GetValue(node, field)); },
          [spin, field](NodeEntry& node) { SetValue(node, field, spin->GetValue()); },
          [field](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, field); }});
}

void EditPanel::Link(wxCheckBox* box, const Field& field)
{
    Link({[box] { return Shows(box); }, [box, field](const NodeEntry& node) { box->SetValue(GetFlag(node, field)); },
          [box, field](NodeEntry& node) { SetFlag(node, field, box->GetValue()); },
          [field](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, field); }});
}

void EditPanel::Link(wxChoice* choice, const Field& field, int first, std::function<wxString(int)> otherText)
{
    // Items past the table's are the ones a load adds.
    const unsigned offered = choice->GetCount();
    Link({[choice] { return Shows(choice); },
          [choice, field, first, offered, otherText](const NodeEntry& node) {
              const int value = GetValue(node, field);
              const int item = value - first;
              if (item >= 0 && unsigned(item) < offered) {
                  choice->SetSelection(item);
                  return;
              }
              choice->SetSelection(
                  choice->Append(otherText ? otherText(value) : OtherValueText(value)));
          },
          [choice, field, first, offered](NodeEntry& node) {
              const int item = choice->GetSelection();
              if (item != wxNOT_FOUND && unsigned(item) < offered)
                  SetValue(node, field, item + first);
          },
          [field](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, field); }});
}

void EditPanel::Link(wxChoice* choice, const BitPair& pair)
{
    Link({[choice] { return Shows(choice); },
          [choice, pair](const NodeEntry& node) { choice->SetSelection(int(GetChoice(node, pair))); },
          [choice, pair](NodeEntry& node) {
              const int item = choice->GetSelection();
              SetChoice(node, pair, item == wxNOT_FOUND ? 0 : unsigned(item));
          },
          [pair](NodeEntry& node, const NodeEntry& loaded) {
              CopyField(node, loaded, pair.a);
              CopyField(node, loaded, pair.b);
          }});
}

void EditPanel::LinkUnshown(const Field& field, int fresh)
{
    Link({[] { return wxString(); }, [](const NodeEntry&) {},
          [field, fresh](NodeEntry& node) { SetValue(node, field, fresh); },
          [field](NodeEntry& node, const NodeEntry& loaded) { CopyField(node, loaded, field); }});
}

void EditPanel::LoadFields(const NodeEntry& node)
{
    for (const FieldLink& link : m_links)
        link.load(node);
    LoadOwn(node);
    m_loaded = node;
    m_shown.clear();
    for (const FieldLink& link : m_links)
        m_shown.push_back(link.shows());
}

void EditPanel::StoreFields(NodeEntry& node)
{
    for (size_t i = 0; i < m_links.size(); ++i) {
        const FieldLink& link = m_links[i];
        if (m_loaded && i < m_shown.size() && link.shows() == m_shown[i])
            link.keep(node, *m_loaded);
        else
            link.store(node);
    }
    StoreOwn(node);
}
