// The report printout drawn on a memory bitmap of known size, and the Print
// Preview window.
#include "app/ProgramCaption.h"
#include "config/ConfigData.h"
#include "print/ConfigPrintout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <cstdlib>

namespace {

using Lines = ReportLines;

// An A4 sheet at 96 pixels per inch, white, with the printout drawing on it
// as on a 96 dpi printer.
class Sheet
{
public:
    Sheet(int width = 794, int height = 1123, int ppi = 96) : m_bitmap(width, height, 24)
    {
        m_dc.SelectObject(m_bitmap);
        m_dc.SetBackground(*wxWHITE_BRUSH);
        m_dc.Clear();
        m_ppi = ppi;
    }
    ~Sheet() { m_dc.SelectObject(wxNullBitmap); }

    void Attach(ConfigPrintout& printout)
    {
        printout.SetDC(&m_dc);
        printout.SetPPIScreen(96, 96);
        printout.SetPPIPrinter(m_ppi, m_ppi);
        printout.SetPageSizePixels(m_bitmap.GetWidth(), m_bitmap.GetHeight());
    }

    void Clear()
    {
        m_dc.SetUserScale(1, 1);
        m_dc.Clear();
    }

    wxImage Image()
    {
        m_dc.SelectObject(wxNullBitmap);
        wxImage image = m_bitmap.ConvertToImage();
        m_dc.SelectObject(m_bitmap);
        return image;
    }

    wxMemoryDC& Dc() { return m_dc; }

private:
    wxBitmap m_bitmap;
    wxMemoryDC m_dc;
    int m_ppi;
};

// Dark pixels in the rows [top, bottom) and columns [left, right).
int DarkPixels(const wxImage& image, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = std::max(top, 0); y < bottom && y < image.GetHeight(); ++y)
        for (int x = std::max(left, 0); x < right && x < image.GetWidth(); ++x)
            if (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 3 * 128)
                ++count;
    return count;
}

int DarkPixels(const wxImage& image, int top, int bottom)
{
    return DarkPixels(image, 0, top, image.GetWidth(), bottom);
}

Lines NumberedLines(int count)
{
    Lines lines;
    for (int i = 0; i < count; ++i)
        lines.push_back({wxString::Format("line %d", i), false});
    return lines;
}

// Answers a message box after checking its text and title.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage>
{
public:
    ExpectMessage(const char* message, const char* title) : m_message(message), m_title(title) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetMessage(), m_message);
        EXPECT_EQ(dialog->GetTitle(), m_title);
        return wxID_OK;
    }

private:
    wxString m_message, m_title;
};

// A plant-like configuration: four nodes, notes, overlapping ranges.
void ShapeSampleConfiguration(ConfigData& config)
{
    config.SetNotes("Pump station 4, panel B\nLine 2 takes over from line 1 on fault");
    ASSERT_TRUE(config.AddNode());  // UCE Master on COM1, slave 1
    ASSERT_TRUE(config.AddNode());
    NodeEntry& modem = *config.GetNode(3);
    modem.protocol = PROTOCOL_HOST_SLAVE;
    modem.protocolWord = 0x0C03;
    modem.protocolExtra[0] = 50;
    modem.SetPortType(PORT_MODEM);
    modem.portNumber = 0x0302;
    modem.portWord = 0x51C1;
    modem.slaveCount = 2;
    modem.slaveId[1] = 2;
    modem.readStart[1] = 2;
    modem.readLength[1] = 8;
    modem.writeStart[1] = 16;
    modem.writeLength[1] = 8;
}

class UnusablePreview : public wxPrintPreview
{
public:
    explicit UnusablePreview(bool* deleted)
        : wxPrintPreview(new ConfigPrintout(Lines{}, kProgramCaption)), m_deleted(deleted)
    {
    }
    ~UnusablePreview() override { *m_deleted = true; }
    bool IsOk() const override { return false; }

private:
    bool* m_deleted;
};

wxPreviewFrame* FindPreviewFrame()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(window))
            if (!frame->IsBeingDeleted())
                return frame;
    return nullptr;
}

} // namespace

TEST(Pagination, TwelvePixelLinesOnAThousandPixelPage)
{
    // Top margin 56, page height 1056: the footer's rule is at 976, and a
    // page holds the lines whose foot, 56 + 12 n, stays at or above it.
    EXPECT_EQ(ConfigPrintout::Paginate(76, 12, 56, 1056), (std::vector<int>{0}));
    EXPECT_EQ(ConfigPrintout::Paginate(77, 12, 56, 1056), (std::vector<int>{0, 76}));
    EXPECT_EQ(ConfigPrintout::Paginate(200, 12, 56, 1056), (std::vector<int>{0, 76, 152}));
    // Without a margin the same page height holds (1000 - 24) / 12 = 81 lines.
    EXPECT_EQ(ConfigPrintout::Paginate(163, 12, 0, 1000), (std::vector<int>{0, 81, 162}));
    // A line whose foot lands exactly on the rule (8 + 12 x 80 = 1000 - 8 - 24)
    // still fits.
    EXPECT_EQ(ConfigPrintout::Paginate(80, 12, 8, 1000), (std::vector<int>{0}));
    EXPECT_EQ(ConfigPrintout::Paginate(81, 12, 8, 1000), (std::vector<int>{0, 80}));
}

TEST(Pagination, EmptyAndCrampedPages)
{
    EXPECT_EQ(ConfigPrintout::Paginate(0, 12, 56, 1056), (std::vector<int>{0}));
    // A page with no room for a line still takes one line, never none.
    EXPECT_EQ(ConfigPrintout::Paginate(3, 12, 56, 100), (std::vector<int>{0, 1, 2}));
}

TEST(Printout, PageFrameInScreenPixelsAtAnyPrinterResolution)
{
    {
        Sheet sheet;
        ConfigPrintout printout(NumberedLines(3), kProgramCaption);
        sheet.Attach(printout);
        printout.OnPreparePrinting();
        EXPECT_EQ(printout.GetPageFrame(), wxRect(56, 56, 794, 1123));
        double x = 0, y = 0;
        sheet.Dc().GetUserScale(&x, &y);
        EXPECT_DOUBLE_EQ(x, 1.0);
        EXPECT_DOUBLE_EQ(y, 1.0);
    }
    {
        // A 192 dpi printer: twice the device pixels, the same logical page.
        Sheet sheet(1588, 2246, 192);
        ConfigPrintout printout(NumberedLines(3), kProgramCaption);
        sheet.Attach(printout);
        printout.OnPreparePrinting();
        EXPECT_EQ(printout.GetPageFrame(), wxRect(56, 56, 794, 1123));
        double x = 0, y = 0;
        sheet.Dc().GetUserScale(&x, &y);
        EXPECT_DOUBLE_EQ(x, 2.0);
        EXPECT_DOUBLE_EQ(y, 2.0);
    }
    {
        // A printer that reports no resolution and no page size: the
        // screen's resolution and an A4 sheet (210 x 297 mm at 96 dpi).
        Sheet sheet;
        ConfigPrintout printout(NumberedLines(3), kProgramCaption);
        sheet.Attach(printout);
        printout.SetPPIPrinter(0, 0);
        printout.SetPPIScreen(0, 0);
        printout.SetPageSizePixels(0, 0);
        printout.OnPreparePrinting();
        EXPECT_EQ(printout.GetPageFrame(), wxRect(56, 56, 793, 1122));
    }
}

TEST(Printout, WithoutDeviceContextDoesNothing)
{
    ConfigPrintout printout(NumberedLines(500), kProgramCaption);
    printout.OnPreparePrinting();
    EXPECT_EQ(printout.GetPageCount(), 1);
    EXPECT_FALSE(printout.OnPrintPage(1));
}

TEST(Printout, EmptyReportIsOnePageWithItsFooter)
{
    Sheet sheet;
    ConfigPrintout printout(Lines{}, kProgramCaption);
    sheet.Attach(printout);
    printout.OnPreparePrinting();
    EXPECT_EQ(printout.GetPageCount(), 1);
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_FALSE(printout.HasPage(0));
    EXPECT_FALSE(printout.HasPage(2));
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ((std::vector<int>{minPage, maxPage, from, to}), (std::vector<int>{1, 1, 1, 1}));

    ASSERT_TRUE(printout.OnPrintPage(1));
    const wxImage image = sheet.Image();
    const int lineHeight = printout.GetLineHeight();
    ASSERT_GT(lineHeight, 0);
    const int footerY = 1123 - 56 - 2 * lineHeight;
    // Nothing above the rule; the rule runs from margin to margin.
    EXPECT_EQ(DarkPixels(image, 0, footerY), 0);
    EXPECT_EQ(DarkPixels(image, 56, footerY, 794 - 56, footerY + 1), 794 - 2 * 56);
    EXPECT_EQ(DarkPixels(image, 0, footerY, 56, footerY + 1), 0);
    // "Page 1 of 1" sits below the rule, ending at the right margin.
    const wxString footer = "Page 1 of 1";
    sheet.Dc().SetFont(wxFont(9, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));
    const wxSize size = sheet.Dc().GetTextExtent(footer);
    const int textTop = footerY + lineHeight / 4;
    EXPECT_GT(DarkPixels(image, 794 - 56 - size.x, textTop, 794 - 56, textTop + size.y), 0);
    EXPECT_EQ(DarkPixels(image, 0, footerY + 1, 794 - 56 - size.x, 1123), 0);
    EXPECT_EQ(DarkPixels(image, 794 - 56, footerY + 1, 794, 1123), 0);
}

TEST(Printout, BoldLinesDrawHeavierText)
{
    const wxString text = "MMMMMMMMMMMMMMMMMMMM";
    Sheet sheet;
    ConfigPrintout printout(Lines{{text, true}, {text, false}, {text, true}, {text, false}}, kProgramCaption);
    sheet.Attach(printout);
    printout.OnPreparePrinting();
    ASSERT_TRUE(printout.OnPrintPage(1));
    const wxImage image = sheet.Image();
    const int h = printout.GetLineHeight();
    int ink[4];
    for (int i = 0; i < 4; ++i)
        ink[i] = DarkPixels(image, 56 + i * h, 56 + (i + 1) * h);
    EXPECT_GT(ink[1], 0);
    EXPECT_GT(ink[0], ink[1] * 11 / 10) << "a bold line should print bold";
    EXPECT_EQ(ink[2], ink[0]) << "every bold line is bold";
    EXPECT_EQ(ink[3], ink[1]) << "bold does not carry over to the next line";
}

TEST(Printout, EveryPageEndsAboveItsFooter)
{
    Sheet sheet;
    ConfigPrintout printout(NumberedLines(200), kProgramCaption);
    sheet.Attach(printout);
    printout.OnPreparePrinting();
    const int h = printout.GetLineHeight();
    const int footerY = 1123 - 56 - 2 * h;
    const std::vector<int>& starts = printout.GetPageStarts();
    ASSERT_GE(starts.size(), 2u);
    EXPECT_EQ(printout.GetPageCount(), int(starts.size()));
    EXPECT_TRUE(printout.HasPage(printout.GetPageCount()));
    EXPECT_FALSE(printout.HasPage(printout.GetPageCount() + 1));

    int covered = 0;
    for (size_t page = 0; page < starts.size(); ++page) {
        const int first = starts[page];
        const int end = page + 1 < starts.size() ? starts[page + 1] : 200;
        EXPECT_EQ(first, covered);
        covered = end;
        const int count = end - first;
        // Full pages: one more line would have crossed the rule.
        EXPECT_LE(56 + count * h, footerY) << "page " << page + 1;
        if (page + 1 < starts.size()) {
            EXPECT_GT(56 + (count + 1) * h, footerY) << "page " << page + 1;
        }

        sheet.Clear();
        ASSERT_TRUE(printout.OnPrintPage(int(page) + 1));
        const wxImage image = sheet.Image();
        EXPECT_GT(DarkPixels(image, 56 + (count - 1) * h, 56 + count * h), 0) << "last line of page " << page + 1;
        EXPECT_EQ(DarkPixels(image, 56 + count * h, footerY), 0) << "below the last line of page " << page + 1;
    }
    EXPECT_EQ(covered, 200);

    // A page number past the end draws nothing at all.
    sheet.Clear();
    EXPECT_TRUE(printout.OnPrintPage(printout.GetPageCount() + 1));
    EXPECT_EQ(DarkPixels(sheet.Image(), 0, 1123), 0);
}

TEST(Printout, DocumentReportHeadingsPrintBold)
{
    // Ink in the first two line bands: the report's bold title and the rule
    // below it, against the same two texts printed plain.
    const auto ink = [](ConfigPrintout& printout) {
        Sheet sheet;
        sheet.Attach(printout);
        printout.OnPreparePrinting();
        EXPECT_TRUE(printout.OnPrintPage(1));
        const wxImage image = sheet.Image();
        const int h = printout.GetLineHeight();
        return std::make_pair(DarkPixels(image, 56, 56 + h), DarkPixels(image, 56 + h, 56 + 2 * h));
    };
    ConfigData config;
    ConfigPrintout report(&config, kProgramCaption);
    EXPECT_EQ(report.GetTitle(), "Quorastelline Config");
    ConfigPrintout plain(Lines{{"TARVEN Quorastelline - Configuration Report", false}, {wxString('=', 60), false}},
                         kProgramCaption);
    const auto reportInk = ink(report);
    const auto plainInk = ink(plain);
    EXPECT_GT(plainInk.first, 0);
    EXPECT_GT(reportInk.first, plainInk.first * 11 / 10);
    EXPECT_EQ(reportInk.second, plainInk.second);
    EXPECT_GE(report.GetPageCount(), 1);
}

TEST(PrintCommands, PrinterErrorIsShownAndCancelIsSilent)
{
    wxTEST_DIALOG(ReportPrintFailure(nullptr, wxPRINTER_ERROR),
                  ExpectMessage("A printing error occurred.", "Print"));
    // No dialog expected: one shown would fail the test.
    wxTestingModalHook noDialog(__FILE__, __LINE__, __func__);
    ReportPrintFailure(nullptr, wxPRINTER_CANCELLED);
    ReportPrintFailure(nullptr, wxPRINTER_NO_ERROR);
}

TEST(PrintCommands, PreviewOpensModalOverTheWindowAndCloses)
{
    ConfigData config;
    ShapeSampleConfiguration(config);
    auto* parent = new wxFrame(nullptr, wxID_ANY, "parent");
    parent->Show();
    wxYield();

    PreviewConfiguration(parent, config);
    wxYield();
    wxPreviewFrame* preview = FindPreviewFrame();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetTitle(), "Quorastelline Config - Print Preview");
    EXPECT_EQ(preview->GetParent(), parent);
    EXPECT_TRUE(preview->IsShown());
    EXPECT_TRUE(preview->HasFlag(wxFRAME_FLOAT_ON_PARENT));
    EXPECT_FALSE(parent->IsEnabled()) << "the preview is application-modal";
    ASSERT_NE(preview->GetControlBar(), nullptr);
    wxPrintPreviewBase* printPreview = preview->GetControlBar()->GetPrintPreview();
    ASSERT_NE(printPreview, nullptr);
    EXPECT_TRUE(printPreview->IsOk());
    EXPECT_NE(printPreview->GetPrintout(), nullptr);
    EXPECT_NE(printPreview->GetPrintoutForPrinting(), nullptr);
    // Four nodes' details and their memory map do not fit one page.
    EXPECT_GE(printPreview->GetMaxPage(), 2);
    EXPECT_EQ(printPreview->GetCurrentPage(), 1);

    // The picture of a previewed page in the documentation comes from here.

    if (const char* path = std::getenv("QST_PREVIEW_PNG")) {
        for (int i = 0; i < 20; ++i) {
            wxYield();
            wxMilliSleep(50);
        }
        const wxRect rect = preview->GetScreenRect();
        wxBitmap shot(rect.width, rect.height, 24);
        wxMemoryDC memory(shot);
        wxScreenDC screen;
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        memory.SelectObject(wxNullBitmap);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        EXPECT_TRUE(shot.SaveFile(path, wxBITMAP_TYPE_PNG));
    }
    preview->Close();
    wxYield();
    EXPECT_EQ(FindPreviewFrame(), nullptr);
    EXPECT_TRUE(parent->IsEnabled());
    parent->Destroy();
    wxYield();
}

TEST(PrintCommands, UnusablePreviewIsReportedAndNothingShown)
{
    bool deleted = false;
    bool shown = true;
    wxTEST_DIALOG(shown = ShowPrintPreview(nullptr, new UnusablePreview(&deleted)),
                  ExpectMessage("Failed to create print preview.", "Quorastelline Config - Print Preview"));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(deleted);
    wxYield();
    EXPECT_EQ(FindPreviewFrame(), nullptr);
}
