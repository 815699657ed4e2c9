#include "print/ConfigPrintout.h"

#include "app/ProgramCaption.h"
#include "config/ConfigData.h"

#include <wx/dc.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/printdlg.h>

#include <utility>

namespace {

constexpr int kDefaultPpi = 96;
constexpr int kFallbackLineHeight = 12;
constexpr int kPointSize = 9;
// 15 mm, and the A4 sheet (210 x 297 mm), in inches.
constexpr double kMarginInches = 0.5905512;
constexpr double kA4WidthInches = 8.267716;
constexpr double kA4HeightInches = 11.692914;

wxFont ReportFont(wxFontWeight weight)
{
    return wxFont(kPointSize, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, weight);
}

} // namespace

ConfigPrintout::ConfigPrintout(const ConfigData* document, const wxString& title) : wxPrintout(title)
{
    if (document)
        m_lines = BuildConfigReport(*document);
}

ConfigPrintout::ConfigPrintout(ReportLines lines, const wxString& title)
    : wxPrintout(title), m_lines(std::move(lines))
{
}

// Makes one logical unit one screen pixel, whatever the device's resolution.
void ConfigPrintout::SetUpPage()
{
    wxDC* dc = GetDC();
    int screenX = 0, screenY = 0;
    GetPPIScreen(&screenX, &screenY);
    if (screenX == 0)
        screenX = kDefaultPpi;
    if (screenY == 0)
        screenY = kDefaultPpi;

    int printerX = 0, printerY = 0;
    GetPPIPrinter(&printerX, &printerY);
    if (printerX == 0)
        printerX = screenX;
    if (printerY == 0)
        printerY = screenY;

    const double scaleX = double(printerX) / screenX;
    const double scaleY = double(printerY) / screenY;

    int pageWidth = 0, pageHeight = 0;
    GetPageSizePixels(&pageWidth, &pageHeight);
    if (pageWidth == 0)
        pageWidth = int(printerX * kA4WidthInches);
    if (pageHeight == 0)
        pageHeight = int(printerY * kA4HeightInches);

    wxCoord dcWidth = 0, dcHeight = 0;
    dc->GetSize(&dcWidth, &dcHeight);
    if (dcWidth == 0)
        dcWidth = pageWidth;
    if (dcHeight == 0)
        dcHeight = pageHeight;

    dc->SetUserScale(dcWidth * scaleX / pageWidth, dcHeight * scaleY / pageHeight);

    m_left = int(screenX * kMarginInches);
    m_top = int(screenY * kMarginInches);
    m_pageWidth = int(pageWidth / scaleX);
    m_pageHeight = int(pageHeight / scaleY);
}

std::vector<int> ConfigPrintout::Paginate(int lineCount, int lineHeight, int topMargin, int pageHeight)
{
    std::vector<int> starts{0};
    const int footer = pageHeight - topMargin - 2 * lineHeight;
    int y = topMargin;
    for (int i = 0; i < lineCount; ++i) {
        y += lineHeight;
        // A page too short for even one line still takes one, rather than
        // being left empty.
        if (y > footer && i > starts.back()) {
            starts.push_back(i);
            y = topMargin + lineHeight;
        }
    }
    return starts;
}

void ConfigPrintout::OnPreparePrinting()
{
    wxDC* dc = GetDC();
    if (!dc)
        return;
    SetUpPage();

    dc->SetFont(ReportFont(wxFONTWEIGHT_NORMAL));
    wxCoord width = 0, height = 0;
    dc->GetTextExtent("M", &width, &height);
    m_lineHeight = height < 1 ? kFallbackLineHeight : height;

    m_pageStarts = Paginate(int(m_lines.size()), m_lineHeight, m_top, m_pageHeight);
    m_pageCount = int(m_pageStarts.size());
}

bool ConfigPrintout::HasPage(int page)
{
    return page >= 1 && page <= m_pageCount;
}

void ConfigPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    *minPage = 1;
    *maxPage = m_pageCount;
    *pageFrom = 1;
    *pageTo = m_pageCount;
}

bool ConfigPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc)
        return false;
    SetUpPage();

    const wxFont normal = ReportFont(wxFONTWEIGHT_NORMAL);
    const wxFont bold = ReportFont(wxFONTWEIGHT_BOLD);
    const int lineHeight = m_lineHeight > 0 ? m_lineHeight : kFallbackLineHeight;

    const int pages = int(m_pageStarts.size());
    if (page < 1 || page > pages)
        return true;
    const size_t first = size_t(m_pageStarts[page - 1]);
    const size_t end = page < pages ? size_t(m_pageStarts[page]) : m_lines.size();

    int y = m_top;
    for (size_t i = first; i < end && i < m_lines.size(); ++i) {
        dc->SetFont(m_lines[i].bold ? bold : normal);
        dc->DrawText(m_lines[i].text, m_left, y);
        y += lineHeight;
    }

    const int footerY = m_pageHeight - m_top - 2 * lineHeight;
    dc->SetFont(normal);
    dc->SetPen(*wxBLACK_PEN);
    dc->DrawLine(m_left, footerY, m_pageWidth - m_left, footerY);
    const wxString footer = wxString::Format("Page %d of %d", page, m_pageCount);
    wxCoord width = 0, height = 0;
    dc->GetTextExtent(footer, &width, &height);
    dc->DrawText(footer, m_pageWidth - m_left - width, footerY + lineHeight / 4);
    return true;
}

void ReportPrintFailure(wxWindow* parent, wxPrinterError error)
{
    if (error == wxPRINTER_ERROR)
        wxMessageBox("A printing error occurred.", "Print", wxOK | wxICON_ERROR, parent);
}

void PrintConfiguration(wxWindow* parent, ConfigData& config)
{
    wxPrintDialogData data;
    data.SetAllPages(true);
    wxPrinter printer(&data);
    ConfigPrintout printout(&config, kProgramCaption);
    if (!printer.Print(parent, &printout, true))
        ReportPrintFailure(parent, wxPrinter::GetLastError());
}

bool ShowPrintPreview(wxFrame* parent, wxPrintPreview* preview)
{
    const wxString title = wxString(kProgramCaption) + " - Print Preview";
    if (!preview->IsOk()) {
        delete preview;
        wxMessageBox("Failed to create print preview.", title, wxOK | wxICON_ERROR, parent);
        return false;
    }
    auto* frame = new wxPreviewFrame(preview, parent, title, wxDefaultPosition, wxSize(800, 600),
                                     wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT);
    frame->Centre(wxBOTH);
    frame->InitializeWithModality(wxPreviewFrame_AppModal);
    frame->Show();
    return true;
}

void PreviewConfiguration(wxFrame* parent, ConfigData& config)
{
    wxPrintDialogData data;
    data.SetAllPages(true);
    ShowPrintPreview(parent, new wxPrintPreview(new ConfigPrintout(&config, kProgramCaption),
                                                new ConfigPrintout(&config, kProgramCaption), &data));
}
