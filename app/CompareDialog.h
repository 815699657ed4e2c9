// The differences between the window's configuration and another one (a
// file or a device), in a list that sorts by any column when its heading is
// clicked.
#pragma once

#include "config/ConfigCompare.h"

#include <wx/dialog.h>

#include <vector>

class wxListCtrl;
class wxListEvent;

class CompareDialog : public wxDialog
{
public:
    // `other` names the second configuration ("plant.qst", "Device 10.0.0.5:23").
    CompareDialog(wxWindow* parent, const wxString& other, std::vector<ConfigDifference> differences);

    wxListCtrl* List() const { return m_list; }
    // Sorts by column 0 (field), 1 (this configuration) or 2 (the other);
    // a second sort by the same column reverses the order.
    void SortByColumn(int column);

private:
    void Fill();
    void OnColumnClick(wxListEvent& event);

    std::vector<ConfigDifference> m_differences;
    wxListCtrl* m_list = nullptr;
    int m_sortColumn = -1;
    bool m_ascending = true;
};
