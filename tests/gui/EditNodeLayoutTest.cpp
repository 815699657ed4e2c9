// The node edit dialog at its own size, as the toolkit lays it out on the
// display: every tab label and every text of every page shows in full.
#include "editor/EditNodeDialog.h"
#include "support/NodeDialogTestSupport.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <functional>
#include <string>
#include <utility>

namespace {

// GTK sizes and places widgets on its frame clock, not at once: a few of its
// frames pass before a page or a new tab has its place.
void LetTheToolkitLayOut()
{
    for (int frame = 0; frame < 8; ++frame) {
        wxYield();
        wxMilliSleep(4);
    }
}

// A pixel row through the middle of the tab labels, or -1 when a click
// reaches no tab.
int TabRow(wxNotebook* pages)
{
    const int width = pages->GetClientSize().GetWidth();
    auto reachesATab = [pages, width](int y) {
        for (int x = 0; x < width; x += 4)
            if (pages->HitTest(wxPoint(x, y)) != wxNOT_FOUND)
                return true;
        return false;
    };
    int first = 0;
    while (first < 60 && !reachesATab(first))
        ++first;
    if (first == 60)
        return -1;
    int last = first;
    while (reachesATab(last + 1))
        ++last;
    return (first + last) / 2;
}

// Where a click on the tab strip selects the page: its first and last pixel
// column, or {-1, -1} when no part of the strip does (a tab scrolled away).
std::pair<int, int> TabSpan(wxNotebook* pages, int row, size_t page)
{
    std::pair<int, int> span{-1, -1};
    const int width = pages->GetClientSize().GetWidth();
    for (int x = 0; x < width; ++x)
        if (pages->HitTest(wxPoint(x, row)) == int(page)) {
            if (span.first < 0)
                span.first = x;
            span.second = x;
        }
    return span;
}

// Every tab is where a click reaches it, as wide as its label, after the
// one before it and inside the notebook.
void ExpectTabsInFull(wxNotebook* pages)
{
    const int row = TabRow(pages);
    ASSERT_GE(row, 0) << "no tab can be reached";
    int previousEnd = -1;
    for (size_t page = 0; page < pages->GetPageCount(); ++page) {
        const wxString label = pages->GetPageText(page);
        SCOPED_TRACE(label.utf8_string());
        const auto [first, last] = TabSpan(pages, row, page);
        ASSERT_GE(first, 0) << "the tab cannot be reached";
        EXPECT_GE(last - first + 1, pages->GetTextExtent(label).GetWidth());
        EXPECT_GT(first, previousEnd);
        EXPECT_LT(last, pages->GetClientSize().GetWidth());
        previousEnd = last;
    }
}

// The rectangle of a window in the page's client coordinates.
wxRect RectIn(wxWindow* page, wxWindow* window)
{
    return wxRect(page->ScreenToClient(window->GetScreenPosition()), window->GetSize());
}

// Every text, check box and choice of the page has at least the size it
// asks for (a text shorter than its label is cut) and lies inside the page.
// Returns how many it looked at.
int ExpectTextsInFull(wxWindow* page, wxWindow* parent)
{
    int texts = 0;
    for (wxWindow* child : parent->GetChildren()) {
        texts += ExpectTextsInFull(page, child);
        if (!child->IsShown())
            continue;
        wxString text;
        if (auto* label = dynamic_cast<wxStaticText*>(child))
            text = label->GetLabel();
        else if (auto* box = dynamic_cast<wxCheckBox*>(child))
            text = box->GetLabel();
        else if (auto* choice = dynamic_cast<wxChoice*>(child))
            text = choice->GetStringSelection();
        else
            continue;
        ++texts;
        SCOPED_TRACE((child->GetName() + ": " + text).utf8_string());
        const wxRect rect = RectIn(page, child);
        EXPECT_GE(rect.GetWidth(), child->GetBestSize().GetWidth());
        wxClientDC dc(child);
        dc.SetFont(child->GetFont());
        EXPECT_GE(rect.GetWidth(), dc.GetMultiLineTextExtent(text).GetWidth());
        EXPECT_GE(rect.GetLeft(), 0);
        EXPECT_GE(rect.GetTop(), 0);
        EXPECT_LE(rect.GetRight(), page->GetClientSize().GetWidth() - 1);
        EXPECT_LE(rect.GetBottom(), page->GetClientSize().GetHeight() - 1);
    }
    return texts;
}

int WidestItem(wxChoice* choice, const std::function<wxString(unsigned)>& text)
{
    int widest = 0;
    for (unsigned item = 1; item < choice->GetCount(); ++item)
        if (choice->GetTextExtent(text(item)).GetWidth() > choice->GetTextExtent(text(unsigned(widest))).GetWidth())
            widest = int(item);
    return widest;
}

class NodeLayoutTest : public PanelTest
{
protected:
    // Runs the dialog shown, on a Control node on a TCP server; the action
    // runs once the toolkit has laid it out, then Cancel ends it.
    void RunShown(const std::function<void(EditNodeDialog&)>& action)
    {
        NodeEntry entry = EntryOf(FilledImage(0));
        entry.protocol = PROTOCOL_CONTROL;
        entry.portCode = 0x1000;
        EditNodeDialog dialog(m_frame);
        EditInModalLoop(dialog, entry, [&action](EditNodeDialog& shown) {
            LetTheToolkitLayOut();
            action(shown);
            Press(Find<wxButton>(&shown, "ID_BUTTONCANCEL"));
        });
    }
};

} // namespace

TEST_F(NodeLayoutTest, EveryTabLabelShowsInFull)
{
    RunShown([](EditNodeDialog& dialog) {
        auto* protocols = Find<wxChoice>(&dialog, "ID_CHOICEPROTOCOL");
        auto* ports = Find<wxChoice>(&dialog, "ID_CHOICEPORT");
        auto* pages = Find<wxNotebook>(&dialog, "ID_NOTEBOOK");
        // Each protocol beside the widest port tab, and each port beside the
        // widest protocol: the widest strips there are.
        const int widestProtocol = WidestItem(protocols, [protocols](unsigned item) { return protocols->GetString(item); });
        const int widestPort = WidestItem(ports, [ports, pages](unsigned item) {
            Choose(ports, int(item));
            return pages->GetPageText(1);
        });
        std::vector<std::pair<int, int>> combinations;
        for (int p = 0; p < int(protocols->GetCount()); ++p)
            combinations.emplace_back(p, widestPort);
        for (int q = 0; q < int(ports->GetCount()); ++q)
            combinations.emplace_back(widestProtocol, q);
        for (const auto& [p, q] : combinations) {
            Choose(protocols, p);
            Choose(ports, q);
            LetTheToolkitLayOut();
            SCOPED_TRACE((protocols->GetStringSelection() + " on " + ports->GetStringSelection()).utf8_string());
            ExpectTabsInFull(pages);
        }
    });
}

TEST_F(NodeLayoutTest, EveryTextOfEveryPageShowsInFull)
{
    RunShown([](EditNodeDialog& dialog) {
        auto* protocols = Find<wxChoice>(&dialog, "ID_CHOICEPROTOCOL");
        auto* ports = Find<wxChoice>(&dialog, "ID_CHOICEPORT");
        auto* pages = Find<wxNotebook>(&dialog, "ID_NOTEBOOK");
        auto check = [pages](size_t page) {
            pages->SetSelection(page);
            LetTheToolkitLayOut();
            SCOPED_TRACE(pages->GetPageText(page).utf8_string());
            EXPECT_GT(ExpectTextsInFull(pages->GetPage(page), pages->GetPage(page)), 0);
        };
        for (int p = 0; p < int(protocols->GetCount()); ++p) {
            Choose(protocols, p);
            check(0);
        }
        for (int q = 0; q < int(ports->GetCount()); ++q) {
            Choose(ports, q);
            check(1);
        }
    });
}

TEST_F(NodeLayoutTest, ClientAddressStatusShowsInFull)
{
    RunShown([](EditNodeDialog& dialog) {
        auto* pages = Find<wxNotebook>(&dialog, "ID_NOTEBOOK");
        for (int q : {1, 3}) {   // TCP Client, UDP Client
            Choose(Find<wxChoice>(&dialog, "ID_CHOICEPORT"), q);
            wxWindow* page = pages->GetPage(1);
            auto* address = Find<wxTextCtrl>(page, "ID_TEXTCTRLSERVERIP");
            auto* state = Find<wxStaticText>(page, "ID_TEXTIPSTATE");
            for (const auto& [typed, shown] : {std::pair<const char*, const char*>{"127.0.0.1", "IP appears valid"},
                                               {"127.0.0.300", "IP appears invalid"}}) {
                address->SetValue(typed);
                LetTheToolkitLayOut();
                SCOPED_TRACE(shown);
                EXPECT_EQ(state->GetLabel(), shown);
                const wxRect rect = RectIn(page, state);
                EXPECT_GE(rect.GetWidth(), state->GetTextExtent(shown).GetWidth());
                EXPECT_LE(rect.GetRight(), page->GetClientSize().GetWidth() - 1);
            }
        }
    });
}
