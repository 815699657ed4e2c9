// The node commands: add, edit and delete, from the menus and the grid.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"
#include "editor/EditNodeDialog.h"

#include <wx/grid.h>
#include <wx/menu.h>

namespace {

// The nodes grid's cursor row; with no cell chosen the cursor stays on the
// first row.
unsigned CurrentNode(const wxGrid& grid)
{
    const int row = grid.GetGridCursorRow();
    return row < 0 ? 0 : unsigned(row);
}

// The Control link in node 1 is how the program reaches the device.
bool IsProtectedNode(const ConfigData& config, unsigned index)
{
    return index == 0 && config.IsControlLinkNode(0);
}

wxString ProtectedNodeQuestion(const char* action)
{
    return ControlLinkRiskQuestion(
        wxString::Format("It is recommended that you do not %s this Control protocol node.\n\n", action),
        "If you do, you may no longer be able to reconfigure the device. ");
}

// Steps the cursor as the arrow keys do, so that the grid scrolls and
// reports each cell on the way.
void MoveCursorTo(wxGrid& grid, int row, int column)
{
    if (row < 0 || row >= grid.GetNumberRows() || column < 0 || column >= grid.GetNumberCols())
        return;
    if (grid.GetGridCursorRow() < 0 || grid.GetGridCursorCol() < 0)
        grid.SetGridCursor(0, 0);
    while (grid.GetGridCursorRow() < row && grid.MoveCursorDown(false)) {}
    while (grid.GetGridCursorRow() > row && grid.MoveCursorUp(false)) {}
    while (grid.GetGridCursorCol() < column && grid.MoveCursorRight(false)) {}
    while (grid.GetGridCursorCol() > column && grid.MoveCursorLeft(false)) {}
}

} // namespace

void ConfigFrame::OnNodeAdd(wxCommandEvent&)
{
    switch (m_config->AddEditedNode(MakeNodeEditor(this))) {
    case ConfigData::NodeAdd::Full:
        SetStatus("Failed to add node");
        return;
    case ConfigData::NodeAdd::Cancelled:
        return;
    case ConfigData::NodeAdd::Added:
        RefreshFromDocument();
        SetStatus("Node added");
        return;
    }
}

void ConfigFrame::OnNodeEdit(wxCommandEvent&)
{
    const unsigned index = CurrentNode(*m_nodesGrid);
    if (IsProtectedNode(*m_config, index) && !AskYesNo(ProtectedNodeQuestion("edit")))
        return;
    if (!m_config->EditNode(index, MakeNodeEditor(this))) {
        SetStatus("Failed/Aborted node edit");
        return;
    }
    RefreshFromDocument();
    SetStatus("Node edited");
}

void ConfigFrame::OnNodeDelete(wxCommandEvent&)
{
    const unsigned index = CurrentNode(*m_nodesGrid);
    if (IsProtectedNode(*m_config, index) && !AskYesNo(ProtectedNodeQuestion("delete")))
        return;
    if (!m_config->DeleteNode(index)) {
        SetStatus("Failed to delete node");
        return;
    }
    RefreshFromDocument();
    SetStatus("Node deleted");
}

std::unique_ptr<wxMenu> ConfigFrame::BuildNodesGridMenu(int row, int column)
{
    auto menu = std::make_unique<wxMenu>();
    menu->Append(wxWindowID(ID_MENUNODEADD), "&Add node");
    if (row >= 0 && row < int(m_config->GetNodeCount())) {
        MoveCursorTo(*m_nodesGrid, row, column);
        menu->Append(wxWindowID(ID_MENUNODEEDIT), "&Edit node...");
        menu->Append(wxWindowID(ID_MENUNODEDELETE), "&Delete node");
    }
    return menu;
}

void ConfigFrame::OnNodesGridCellRightClick(wxGridEvent& event)
{
    const auto menu = BuildNodesGridMenu(event.GetRow(), event.GetCol());
    PopupMenu(menu.get());
}

void ConfigFrame::OnNodesGridCellLeftDClick(wxGridEvent& event)
{
    // The node clicked on, even when the first click did not move the cursor.
    MoveCursorTo(*m_nodesGrid, event.GetRow(), event.GetCol());
    wxCommandEvent edit(wxEVT_MENU, wxWindowID(ID_MENUNODEEDIT));
    OnNodeEdit(edit);
}
