#include "app/CompareDialog.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

namespace {

const wxString& ColumnText(const ConfigDifference& d, int column)
{
    return column == 0 ? d.field : column == 1 ? d.first : d.second;
}

} // namespace

CompareDialog::CompareDialog(wxWindow* parent, const wxString& other, std::vector<ConfigDifference> differences)
    : wxDialog(parent, wxID_ANY, "Compare with " + other, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "CompareDialog"),
      m_differences(std::move(differences))
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY,
                                wxString::Format("%zu difference%s between this configuration and %s. Click a "
                                                 "heading to sort.",
                                                 m_differences.size(), m_differences.size() == 1 ? "" : "s", other)),
               0, wxALL, 8);
    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(760, 360), wxLC_REPORT | wxLC_SINGLE_SEL,
                            wxDefaultValidator, "CompareList");
    m_list->AppendColumn("Field");
    m_list->AppendColumn("This configuration");
    m_list->AppendColumn(other);
    sizer->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    sizer->Add(CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(sizer);
    m_list->Bind(wxEVT_LIST_COL_CLICK, &CompareDialog::OnColumnClick, this);
    Fill();
    // Each column as wide as its widest text or its heading, and the list
    // as wide as its columns, as far as the screen allows.
    int total = 0;
    for (int c = 0; c < 3; ++c) {
        m_list->SetColumnWidth(c, wxLIST_AUTOSIZE);
        const int content = m_list->GetColumnWidth(c);
        m_list->SetColumnWidth(c, wxLIST_AUTOSIZE_USEHEADER);
        if (m_list->GetColumnWidth(c) < content)
            m_list->SetColumnWidth(c, content);
        total += m_list->GetColumnWidth(c);
    }
    const int widest = wxGetClientDisplayRect().width * 9 / 10 - 40;
    m_list->SetMinSize(wxSize(std::min(std::max(total + 30, 600), widest), 360));
    GetSizer()->SetSizeHints(this);
    Layout();
}

void CompareDialog::Fill()
{
    m_list->DeleteAllItems();
    for (size_t i = 0; i < m_differences.size(); ++i) {
        const ConfigDifference& d = m_differences[i];
        const long row = m_list->InsertItem(long(i), d.field + (d.toDevice ? "" : " (file only)"));
        m_list->SetItem(row, 1, d.first);
        m_list->SetItem(row, 2, d.second);
    }
}

void CompareDialog::SortByColumn(int column)
{
    m_ascending = column == m_sortColumn ? !m_ascending : true;
    m_sortColumn = column;
    std::stable_sort(m_differences.begin(), m_differences.end(),
                     [this, column](const ConfigDifference& a, const ConfigDifference& b) {
                         const int order = ColumnText(a, column).CmpNoCase(ColumnText(b, column));
                         return m_ascending ? order < 0 : order > 0;
                     });
    Fill();
}

void CompareDialog::OnColumnClick(wxListEvent& event)
{
    SortByColumn(event.GetColumn());
}
