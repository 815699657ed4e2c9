// The configuration report on paper: fixed-pitch lines top to bottom, each
// page closed by a rule and "Page n of m".
#pragma once

#include "print/ConfigReport.h"

#include <wx/print.h>

class ConfigData;
class wxFrame;
class wxWindow;

class ConfigPrintout : public wxPrintout
{
public:
    // The report is built here, once; later changes to the document are not
    // seen by this printout.
    ConfigPrintout(const ConfigData* document, const wxString& title);
    // Prints the given lines instead of a document's report.
    ConfigPrintout(ReportLines lines, const wxString& title);
    ~ConfigPrintout() override = default;

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    bool OnPrintPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

    int GetPageCount() const { return m_pageCount; }
    const std::vector<int>& GetPageStarts() const { return m_pageStarts; }
    int GetLineHeight() const { return m_lineHeight; }
    // Left margin, top margin, page width and height, in logical units.
    wxRect GetPageFrame() const { return wxRect(m_left, m_top, m_pageWidth, m_pageHeight); }

    // The first line of every page: a line starts a new page when its foot
    // would reach the footer's rule.
    static std::vector<int> Paginate(int lineCount, int lineHeight, int topMargin, int pageHeight);

private:
    void SetUpPage();

    ReportLines m_lines;
    std::vector<int> m_pageStarts{0};
    int m_pageCount = 1;
    int m_lineHeight = 0;
    int m_left = 0;
    int m_top = 0;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
};

// File > Print: the print dialog, then the printer. A cancelled print is
// silent; a printer error is shown in a message box.
void PrintConfiguration(wxWindow* parent, ConfigData& config);

// File > Print Preview: an application-modal preview window over parent.
// Returns at once; the window owns the preview and both printouts.
void PreviewConfiguration(wxFrame* parent, ConfigData& config);

// Shows the preview in its window, which then owns it; a preview that is
// not usable is deleted and reported. True when the window opened.
bool ShowPrintPreview(wxFrame* parent, wxPrintPreview* preview);

// The message of a print that did not complete; nothing for a cancel.
void ReportPrintFailure(wxWindow* parent, wxPrinterError error);
