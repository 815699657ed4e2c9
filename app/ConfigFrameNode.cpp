// The node commands: add, edit and delete, from the menus and the grid.
#include "app/ConfigFrame.h"

#include <wx/grid.h>

// Not built yet: they need the node edit dialog.
void ConfigFrame::OnNodeAdd(wxCommandEvent&) {}
void ConfigFrame::OnNodeEdit(wxCommandEvent&) {}
void ConfigFrame::OnNodeDelete(wxCommandEvent&) {}
void ConfigFrame::OnNodesGridCellRightClick(wxGridEvent&) {}
void ConfigFrame::OnNodesGridCellLeftDClick(wxGridEvent&) {}
