// The "Slaves" page of the node editor: the node's slave table as a grid,
// one column per slave and one row per field.
#pragma once

#include "config/ConfigLayout.h"

#include <wx/panel.h>

#include <optional>
#include <vector>

class wxGrid;

class EditSlaves : public wxPanel
{
public:
    EditSlaves(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
               const wxSize& size = wxDefaultSize);

    bool Load(const NodeEntry& node);
    // Packs the columns with a numeric ID into the table; the entries behind
    // the new count keep their bytes. A cell the user did not change keeps
    // its loaded value, and an unchanged grid the whole loaded table.
    bool Store(NodeEntry& node);

    // False when a column's ID is a number that no slave ID can hold; the
    // problem names the column and the grid cursor moves to the cell. Such a
    // column would otherwise be dropped by Store.
    bool CheckIds(wxString& problem);

    enum Row : int { ROW_ID, ROW_READ_OFFSET, ROW_READ_SIZE, ROW_WRITE_OFFSET, ROW_WRITE_SIZE, ROW_COUNT };

private:
    // What the user typed into a cell that is still being edited counts.
    void CommitCellEdit();
    // Whether the cell of a loaded slave still shows its loaded text.
    bool Shows(int row, int column) const;
    // A start or a size as the cell's rule stores it; the loaded value while
    // the cell still shows it, also one the rule would not store (an offset
    // past the memory, say).
    uint16_t StartAt(int row, int column, uint16_t loaded) const;
    uint8_t SizeAt(int row, int column, uint8_t loaded) const;
    bool IsUnchanged() const;

    wxGrid* m_grid = nullptr;
    std::optional<NodeEntry> m_loaded;
    // The cells' texts after loading, column by column.
    std::vector<wxString> m_shown;
};
