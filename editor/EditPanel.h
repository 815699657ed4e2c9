// What every node editor panel shares: an inner panel with a grid of
// labelled rows, and links between its controls and the node's fields, so a
// panel states only its own rows and fields.
#pragma once

#include "config/ConfigLayout.h"
#include "config/NodeFields.h"
#include "editor/EditorIds.h"

#include <wx/panel.h>

#include <functional>
#include <optional>
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

    // Links a control to a field; the page's Load and Store apply them all in
    // the order they were made. A page loaded from the node stores each field
    // whose control still shows what it showed after loading back exactly as
    // it was loaded, even where the control cannot show it (a value beyond a
    // spin's range, a value no list item holds); a fresh page, made for
    // another protocol or port, stores every field from its controls. A
    // spin's range is narrowed to what the field can hold, so what the user
    // sets is what is stored.
    void Link(wxSpinCtrl* spin, const NodeFields::Field& field);
    void Link(wxCheckBox* box, const NodeFields::Field& field);
    // Item i stands for the value i + first; a value without an item is
    // shown as one more item, named by `otherText` (by default "Unknown (n)").
    void Link(wxChoice* choice, const NodeFields::Field& field, int first = 0,
              std::function<wxString(int)> otherText = {});
    void Link(wxChoice* choice, const NodeFields::BitPair& pair);
    // Bits that no control shows: a fresh page writes `fresh`, a loaded page
    // keeps them.
    void LinkUnshown(const NodeFields::Field& field, int fresh);

    // The general link: what the control shows (compared after loading and
    // when storing), how it loads and stores, and how the field is copied
    // from the entry as loaded.
    struct FieldLink {
        std::function<wxString()> shows;
        std::function<void(const NodeEntry&)> load;
        std::function<void(NodeEntry&)> store;
        std::function<void(NodeEntry& node, const NodeEntry& loaded)> keep;
    };
    void Link(FieldLink link);

    // What a panel does beyond its linked fields, after them.
    virtual void LoadOwn(const NodeEntry&) {}
    virtual void StoreOwn(NodeEntry&) {}
    // Loads the links and the page's own controls, then notes what every
    // control shows; StoreFields stores them.
    void LoadFields(const NodeEntry& node);
    void StoreFields(NodeEntry& node);

    // The item that shows a stored value no list item holds.
    static wxString OtherValueText(int value);

    static wxString Shows(const wxSpinCtrl* spin);
    static wxString Shows(const wxChoice* choice);
    static wxString Shows(const wxCheckBox* box);

private:
    wxPanel* m_inner = nullptr;
    wxGridBagSizer* m_grid = nullptr;
    int m_rows = 0;
    wxSizer* m_column = nullptr;
    unsigned m_staticTexts = 0;
    std::vector<FieldLink> m_links;
    // What each link's control showed right after loading, by link.
    std::vector<wxString> m_shown;
    std::optional<NodeEntry> m_loaded;
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
