// What every node editor panel shares: an inner panel with a grid of
// labelled rows, and links between its controls and the node's fields, so a
// panel states only its own rows and fields.
#pragma once

#include "config/ConfigLayout.h"
#include "config/NodeFields.h"
#include "editor/EditorIds.h"

#include <wx/panel.h>

#include <functional>
#include <vector>

class wxCheckBox;
class wxChoice;
class wxGridBagSizer;
class wxSpinCtrl;
class wxStaticText;
class wxTextCtrl;

class EditPanel : public wxPanel
{
public:
    // Fills the controls from the entry when it is of the panel's own kind;
    // otherwise the controls keep their initial values.
    virtual bool Load(const NodeEntry& node) = 0;
    // Writes the panel's kind code and every field it owns.
    virtual bool Store(NodeEntry& node) = 0;

protected:
    EditPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    using ControlId = EditorIds::ControlId;

    // Rows: a label (or none), the control, and a unit text (or none). A
    // control without a label takes the label's column too, so that long
    // choices keep the page narrow.
    wxSpinCtrl* AddSpin(const ControlId& id, const wxString& label, int min, int max, int initial,
                        const wxString& unit = {});
    wxChoice* AddChoice(const ControlId& id, const wxString& label, const wxArrayString& items, int initial = 0);
    wxCheckBox* AddCheckBox(const ControlId& id, const wxString& text);
    wxStaticText* AddNote(const wxString& text);
    wxChoice* AddNoDataChoice();
    wxChoice* AddNrzChoice(const wxString& label);
    void AddRow(wxWindow* label, wxWindow* control, wxWindow* unit = nullptr);

    wxPanel* Inner() const { return m_inner; }
    // A static text with the next ID_STATICTEXTn identifier.
    wxStaticText* NewStaticText(const wxString& text);
    wxStaticText* NewStaticText(const ControlId& id, const wxString& text);
    wxSpinCtrl* NewSpin(const ControlId& id, int min, int max, int initial);

    // Links a control to a field; LoadLinks and StoreLinks apply them all in
    // the order they were made. A spin's range is narrowed to what the
    // field can hold, so what the user sees is what is stored.
    void Link(wxSpinCtrl* spin, const NodeFields::Field& field);
    void Link(wxCheckBox* box, const NodeFields::Field& field);
    // Item i stands for the value i + first; a value without an item leaves
    // the choice as it is.
    void Link(wxChoice* choice, const NodeFields::Field& field, int first = 0);
    void Link(wxChoice* choice, const NodeFields::BitPair& pair);
    void Link(std::function<void(const NodeEntry&)> load, std::function<void(NodeEntry&)> store);
    void LoadLinks(const NodeEntry& node);
    void StoreLinks(NodeEntry& node);

private:
    struct FieldLink {
        std::function<void(const NodeEntry&)> load;
        std::function<void(NodeEntry&)> store;
    };

    wxPanel* m_inner = nullptr;
    wxGridBagSizer* m_grid = nullptr;
    int m_rows = 0;
    wxSizer* m_column = nullptr;
    unsigned m_staticTexts = 0;
    std::vector<FieldLink> m_links;
};

// Items of a choice from a list of texts.
template <typename Texts>
wxArrayString ChoiceItems(const Texts& texts, size_t count = size_t(-1))
{
    wxArrayString items;
    for (const auto& text : texts) {
        if (items.size() == count)
            break;
        items.Add(text);
    }
    return items;
}
