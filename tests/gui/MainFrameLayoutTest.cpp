// The main window as built: every control found by its name, its kind,
// identifier, text and state; the menus, status bar, context menu and grids.
#include "FrameTestSupport.h"

#include "resources/AppIcon.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/scrolbar.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <set>

namespace {

using MainFrameLayout = FrameTest;

struct ControlRow {
    const char* name;
    long id;
    wxClassInfo* kind;
};

void CollectControls(wxWindow* parent, std::vector<wxWindow*>& controls)
{
    for (wxWindow* child : parent->GetChildren()) {
        if (child->IsTopLevel())
            continue;
        controls.push_back(child);
        CollectControls(child, controls);
    }
}

// The scrolled window that holds `window`, if any.
wxScrolledWindow* ScrolledAncestor(wxWindow* window)
{
    for (wxWindow* w = window->GetParent(); w && !w->IsTopLevel(); w = w->GetParent()) {
        if (auto* scrolled = dynamic_cast<wxScrolledWindow*>(w))
            return scrolled;
    }
    return nullptr;
}

// Where `window` lies in the client area of `ancestor`, from the positions the
// layout gave (the display server reports moves later).
wxRect RectIn(const wxWindow* window, const wxWindow* ancestor)
{
    wxPoint position = window->GetPosition();
    for (const wxWindow* parent = window->GetParent(); parent != ancestor; parent = parent->GetParent())
        position += parent->GetPosition() + parent->GetClientAreaOrigin();
    return wxRect(position, window->GetSize());
}

bool Contains(const wxRect& outer, const wxRect& inner)
{
    return outer.Contains(inner.GetTopLeft()) && outer.Contains(inner.GetBottomRight());
}

std::string RectText(const wxRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

// Every column at least as wide as its label and as each of its cell texts,
// and all of them inside the grid's visible width.
void ExpectColumnsShowTheirTexts(wxGrid* grid)
{
    const wxFont labelFont = grid->GetLabelFont();
    int columnsWidth = 0;
    for (int c = 0; c < grid->GetNumberCols(); ++c) {
        int width = 0, height = 0;
        grid->GetTextExtent(grid->GetColLabelValue(c), &width, &height, nullptr, nullptr, &labelFont);
        EXPECT_GE(grid->GetColSize(c), width) << grid->GetName() << " column " << grid->GetColLabelValue(c);
        for (int r = 0; r < grid->GetNumberRows(); ++r) {
            const wxString text = grid->GetCellValue(r, c);
            if (text.empty())
                continue;
            const wxFont cellFont = grid->GetCellFont(r, c);
            grid->GetTextExtent(text, &width, &height, nullptr, nullptr, &cellFont);
            EXPECT_GE(grid->GetColSize(c), width) << grid->GetName() << " cell " << r << "," << c << " " << text;
        }
        columnsWidth += grid->GetColSize(c);
    }
    // No column is cut off at the right, so nothing needs scrolling sideways.
    EXPECT_GE(grid->GetGridWindow()->GetClientSize().x, columnsWidth) << grid->GetName();
}

// Static texts and the level name show their whole text.
void ExpectWholeTexts(ConfigFrame* frame)
{
    std::vector<wxWindow*> controls;
    CollectControls(frame, controls);
    int checked = 0;
    for (wxWindow* window : controls) {
        if (auto* label = dynamic_cast<wxStaticText*>(window)) {
            EXPECT_GE(label->GetSize().x, label->GetTextExtent(label->GetLabel()).x) << label->GetName();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 13);
}

} // namespace

TEST_F(MainFrameLayout, EveryControlIsNamedAfterItsIdentifier)
{
    const ControlRow rows[] = {
        {"ID_RADIOBUTTONIP", ConfigFrame::ID_RADIOBUTTONIP, wxCLASSINFO(wxRadioButton)},
        {"ID_DEVICEIPADDRESS", ConfigFrame::ID_DEVICEIPADDRESS, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT9", ConfigFrame::ID_STATICTEXT9, wxCLASSINFO(wxStaticText)},
        {"ID_DEVICEUDPPORT", ConfigFrame::ID_DEVICEUDPPORT, wxCLASSINFO(wxTextCtrl)},
        {"ID_RADIOBUTTONSERIAL", ConfigFrame::ID_RADIOBUTTONSERIAL, wxCLASSINFO(wxRadioButton)},
        {"ID_COMBOBOXSERIALPORT", ConfigFrame::ID_COMBOBOXSERIALPORT, wxCLASSINFO(wxComboBox)},
        {"ID_STATICTEXT8", ConfigFrame::ID_STATICTEXT8, wxCLASSINFO(wxStaticText)},
        {"ID_CHOICESERIALBAUD", ConfigFrame::ID_CHOICESERIALBAUD, wxCLASSINFO(wxChoice)},
        {"ID_BUTTON3", ConfigFrame::ID_BUTTON3, wxCLASSINFO(wxButton)},
        {"ID_BUTTON1", ConfigFrame::ID_BUTTON1, wxCLASSINFO(wxButton)},
        {"ID_BUTTON2", ConfigFrame::ID_BUTTON2, wxCLASSINFO(wxButton)},
        {"ID_STATICTEXT11", ConfigFrame::ID_STATICTEXT11, wxCLASSINFO(wxStaticText)},
        {"ID_BUTTON5", ConfigFrame::ID_BUTTON5, wxCLASSINFO(wxButton)},
        {"ID_BUTTON4", ConfigFrame::ID_BUTTON4, wxCLASSINFO(wxButton)},
        {"ID_DEVICEIDTEXT", ConfigFrame::ID_DEVICEIDTEXT, wxCLASSINFO(wxTextCtrl)},
        {"ID_NOTESTEXT", ConfigFrame::ID_NOTESTEXT, wxCLASSINFO(wxTextCtrl)},
        {"ID_CHECKBOX1", ConfigFrame::ID_CHECKBOX1, wxCLASSINFO(wxCheckBox)},
        {"ID_STATICTEXT7", ConfigFrame::ID_STATICTEXT7, wxCLASSINFO(wxStaticText)},
        {"ID_SPINCTRLDATAAGE", ConfigFrame::ID_SPINCTRLDATAAGE, wxCLASSINFO(wxSpinCtrl)},
        {"ID_STATICTEXT1", ConfigFrame::ID_STATICTEXT1, wxCLASSINFO(wxStaticText)},
        {"ID_STATICTEXT3", ConfigFrame::ID_STATICTEXT3, wxCLASSINFO(wxStaticText)},
        {"ID_SPINCTRLSDLOGLEVEL", ConfigFrame::ID_SPINCTRLSDLOGLEVEL, wxCLASSINFO(wxSpinCtrl)},
        {"ID_TEXTCTRLLOGTEXT", ConfigFrame::ID_TEXTCTRLLOGTEXT, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT12", ConfigFrame::ID_STATICTEXT12, wxCLASSINFO(wxStaticText)},
        {"ID_SPINCTRLLOGAGE", ConfigFrame::ID_SPINCTRLLOGAGE, wxCLASSINFO(wxSpinCtrl)},
        {"ID_STATICTEXT13", ConfigFrame::ID_STATICTEXT13, wxCLASSINFO(wxStaticText)},
        {"ID_STATICTEXT2", ConfigFrame::ID_STATICTEXT2, wxCLASSINFO(wxStaticText)},
        {"ID_TEXTCTRL1", ConfigFrame::ID_TEXTCTRL1, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT4", ConfigFrame::ID_STATICTEXT4, wxCLASSINFO(wxStaticText)},
        {"ID_TEXTCTRL2", ConfigFrame::ID_TEXTCTRL2, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT5", ConfigFrame::ID_STATICTEXT5, wxCLASSINFO(wxStaticText)},
        {"ID_TEXTCTRL3", ConfigFrame::ID_TEXTCTRL3, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT6", ConfigFrame::ID_STATICTEXT6, wxCLASSINFO(wxStaticText)},
        {"ID_TEXTCTRL4", ConfigFrame::ID_TEXTCTRL4, wxCLASSINFO(wxTextCtrl)},
        {"ID_STATICTEXT10", ConfigFrame::ID_STATICTEXT10, wxCLASSINFO(wxStaticText)},
        {"ID_TEXTCTRL6", ConfigFrame::ID_TEXTCTRL6, wxCLASSINFO(wxTextCtrl)},
        {"ID_NODESGRID", ConfigFrame::ID_NODESGRID, wxCLASSINFO(wxGrid)},
        {"ID_GRIDMEMORY", ConfigFrame::ID_GRIDMEMORY, wxCLASSINFO(wxGrid)},
        {"ID_PANEL1", ConfigFrame::ID_PANEL1, wxCLASSINFO(wxPanel)},
    };
    for (const ControlRow& row : rows) {
        wxWindow* window = wxWindow::FindWindowByName(row.name, m_frame.get());
        ASSERT_NE(window, nullptr) << row.name;
        EXPECT_EQ(window->GetId(), row.id) << row.name;
        EXPECT_TRUE(window->IsKindOf(row.kind)) << row.name << " is a " << window->GetClassInfo()->GetClassName();
    }

    // The identifiers come from one source, in the order listed, and never
    // repeat (menus and status bar included).
    const long ids[] = {
        ConfigFrame::ID_RADIOBUTTONIP, ConfigFrame::ID_DEVICEIPADDRESS, ConfigFrame::ID_STATICTEXT9,
        ConfigFrame::ID_DEVICEUDPPORT, ConfigFrame::ID_RADIOBUTTONSERIAL, ConfigFrame::ID_COMBOBOXSERIALPORT,
        ConfigFrame::ID_STATICTEXT8, ConfigFrame::ID_CHOICESERIALBAUD, ConfigFrame::ID_BUTTON3,
        ConfigFrame::ID_BUTTON1, ConfigFrame::ID_BUTTON2, ConfigFrame::ID_STATICTEXT11, ConfigFrame::ID_BUTTON5,
        ConfigFrame::ID_BUTTON4, ConfigFrame::ID_DEVICEIDTEXT, ConfigFrame::ID_NOTESTEXT, ConfigFrame::ID_CHECKBOX1,
        ConfigFrame::ID_STATICTEXT7, ConfigFrame::ID_SPINCTRLDATAAGE, ConfigFrame::ID_STATICTEXT1,
        ConfigFrame::ID_STATICTEXT3, ConfigFrame::ID_SPINCTRLSDLOGLEVEL, ConfigFrame::ID_TEXTCTRLLOGTEXT,
        ConfigFrame::ID_STATICTEXT12, ConfigFrame::ID_SPINCTRLLOGAGE, ConfigFrame::ID_STATICTEXT13,
        ConfigFrame::ID_STATICTEXT2, ConfigFrame::ID_TEXTCTRL1, ConfigFrame::ID_STATICTEXT4, ConfigFrame::ID_TEXTCTRL2,
        ConfigFrame::ID_STATICTEXT5, ConfigFrame::ID_TEXTCTRL3, ConfigFrame::ID_STATICTEXT6, ConfigFrame::ID_TEXTCTRL4,
        ConfigFrame::ID_STATICTEXT10, ConfigFrame::ID_TEXTCTRL6, ConfigFrame::ID_NODESGRID, ConfigFrame::ID_GRIDMEMORY,
        ConfigFrame::ID_PANEL1, ConfigFrame::ID_MENUOPEN, ConfigFrame::ID_MENUSAVE, ConfigFrame::ID_MENUSAVEAS,
        ConfigFrame::ID_MENUCLOSE, ConfigFrame::ID_MENUPRINT, ConfigFrame::ID_MENUPREVIEW,
        ConfigFrame::ID_MENUDEFAULTS, ConfigFrame::ID_MENUQUIT, ConfigFrame::ID_MENUDEVICEID,
        ConfigFrame::ID_MENUDEVICEREAD, ConfigFrame::ID_MENUDEVICEWRITE, ConfigFrame::ID_MENUSETCLOCK,
        ConfigFrame::ID_MENUREBOOT, ConfigFrame::ID_MENUFIND, ConfigFrame::ID_MENUNODEADD,
        ConfigFrame::ID_MENUNODEEDIT, ConfigFrame::ID_MENUNODEDELETE, ConfigFrame::ID_MENUABOUT,
        ConfigFrame::ID_MENUHELP, ConfigFrame::ID_STATUSBAR,
    };
    EXPECT_EQ(std::size(ids), 59u);
    for (size_t i = 1; i < std::size(ids); ++i)
        EXPECT_GT(ids[i], ids[i - 1]) << "identifier " << i;
    EXPECT_EQ(std::set<long>(std::begin(ids), std::end(ids)).size(), std::size(ids));
}

TEST_F(MainFrameLayout, ControlsStartWithTheirLabelsValuesAndStates)
{
    struct Labelled {
        const char* name;
        const char* label;
    };
    const Labelled labels[] = {
        {"ID_RADIOBUTTONIP", "IP Address"}, {"ID_STATICTEXT9", "Port"}, {"ID_RADIOBUTTONSERIAL", "Serial Port"},
        {"ID_STATICTEXT8", "Baud"}, {"ID_BUTTON3", "Get ID"}, {"ID_BUTTON1", "Read"}, {"ID_BUTTON2", "Write"},
        {"ID_STATICTEXT11", "Device ID"}, {"ID_BUTTON5", "Set clock"}, {"ID_BUTTON4", "Reboot"},
        {"ID_CHECKBOX1", "Write Protect"}, {"ID_STATICTEXT7", "Database data age"}, {"ID_STATICTEXT1", "secs max"},
        {"ID_STATICTEXT3", "SD card log level"}, {"ID_STATICTEXT12", "SD card log age"},
        {"ID_STATICTEXT13", "days max"}, {"ID_STATICTEXT2", "IP address"}, {"ID_STATICTEXT4", "Subnet mask"},
        {"ID_STATICTEXT5", "Gateway IP"}, {"ID_STATICTEXT6", "Boot loader port"}, {"ID_STATICTEXT10", "MAC address"},
    };
    for (const Labelled& row : labels) {
        wxWindow* window = Find<wxWindow>(row.name);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->GetLabel(), row.label) << row.name;
    }

    struct Tipped {
        const char* name;
        const char* tip;
    };
    const Tipped tips[] = {
        {"ID_RADIOBUTTONIP", "Use Ethernet to communicate with the device."},
        {"ID_RADIOBUTTONSERIAL", "Use serial port to communicate with the device."},
        {"ID_DEVICEIDTEXT", "Device info."},
        {"ID_NOTESTEXT", "Optional notes. Stored in the config file only."},
        {"ID_CHECKBOX1", "Write protect the configuration once written to the device."},
        {"ID_TEXTCTRL1", "IP address the device appears at in 'dotty' format, ie 192.168.1.1"},
        {"ID_TEXTCTRL2", "Subnet mask in 'dotty' format, ie 255.255.255.0"},
        {"ID_TEXTCTRL3", "Gateway IP address 'dotty' format, ie 192.168.1.200"},
        {"ID_TEXTCTRL4", "The UDP port used by the devices boot loader, ie 6003"},
    };
    for (const Tipped& row : tips)
        EXPECT_EQ(Find<wxWindow>(row.name)->GetToolTipText(), row.tip) << row.name;

    // Connection: IP chosen, serial controls off.
    EXPECT_TRUE(Find<wxRadioButton>("ID_RADIOBUTTONIP")->GetValue());
    EXPECT_FALSE(Find<wxRadioButton>("ID_RADIOBUTTONSERIAL")->GetValue());
    auto* deviceIp = Find<wxTextCtrl>("ID_DEVICEIPADDRESS");
    EXPECT_EQ(deviceIp->GetValue(), "192.168.1.1");
    EXPECT_EQ(deviceIp->GetMinSize(), wxSize(120, 25));
    EXPECT_TRUE(deviceIp->IsEnabled());
    auto* port = Find<wxTextCtrl>("ID_DEVICEUDPPORT");
    EXPECT_EQ(port->GetValue(), "23");
    EXPECT_EQ(port->GetMinSize(), wxSize(55, 25));
    EXPECT_TRUE(port->IsEnabled());
    auto* serial = Find<wxComboBox>("ID_COMBOBOXSERIALPORT");
    EXPECT_FALSE(serial->IsEnabled());
    EXPECT_FALSE(serial->HasFlag(wxCB_READONLY));
    auto* baud = Find<wxChoice>("ID_CHOICESERIALBAUD");
    EXPECT_FALSE(baud->IsEnabled());
    const wxArrayString rates = baud->GetStrings();
    const char* const expectedRates[] = {"600", "1200", "2400", "4800", "9600", "14400", "19200", "28800"};
    ASSERT_EQ(rates.size(), std::size(expectedRates));
    for (size_t i = 0; i < rates.size(); ++i)
        EXPECT_EQ(rates[i], expectedRates[i]);
    EXPECT_EQ(baud->GetStringSelection(), "9600");

    auto* deviceId = Find<wxTextCtrl>("ID_DEVICEIDTEXT");
    EXPECT_TRUE(deviceId->IsMultiLine());
    EXPECT_FALSE(deviceId->IsEditable());
    EXPECT_FALSE(deviceId->IsEnabled());
    EXPECT_EQ(deviceId->GetMinSize(), wxSize(319, 45));
    EXPECT_TRUE(deviceId->GetValue().empty());
    auto* notes = Find<wxTextCtrl>("ID_NOTESTEXT");
    EXPECT_TRUE(notes->IsMultiLine());
    EXPECT_TRUE(notes->IsEditable());
    EXPECT_TRUE(notes->IsEnabled());
    EXPECT_EQ(notes->GetMinSize(), wxSize(319, 45));

    // General settings of a new document.
    EXPECT_FALSE(Find<wxCheckBox>("ID_CHECKBOX1")->GetValue());
    struct SpinRow {
        const char* name;
        int value, min, max;
    };
    // A byte holds at most 255, so no spin control offers 256.
    const SpinRow spins[] = {
        {"ID_SPINCTRLDATAAGE", 60, 5, 255}, {"ID_SPINCTRLSDLOGLEVEL", 2, 0, 5}, {"ID_SPINCTRLLOGAGE", 30, 0, 255}};
    for (const SpinRow& row : spins) {
        auto* spin = Find<wxSpinCtrl>(row.name);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->GetValue(), row.value) << row.name;
        EXPECT_EQ(spin->GetMin(), row.min) << row.name;
        EXPECT_EQ(spin->GetMax(), row.max) << row.name;
        EXPECT_GE(spin->GetMinSize().x, 100) << row.name;
        EXPECT_GE(spin->GetMinSize().y, 32) << row.name;
    }
    auto* levelName = Find<wxTextCtrl>("ID_TEXTCTRLLOGTEXT");
    EXPECT_EQ(levelName->GetValue(), "normal");
    EXPECT_FALSE(levelName->IsEnabled());
    // At least 89 x 25, and wide enough for the longest level name.
    EXPECT_GE(levelName->GetMinSize().x, 89);
    EXPECT_GE(levelName->GetMinSize().x,
              levelName->GetSizeFromTextSize(levelName->GetTextExtent("everything!!").x).x);
    EXPECT_EQ(levelName->GetMinSize().y, 25);

    // IP settings show the new document's; only the MAC field is locked.
    const struct {
        const char* name;
        const char* value;
        bool enabled;
    } ipRows[] = {{"ID_TEXTCTRL1", "192.168.1.1", true},
                  {"ID_TEXTCTRL2", "255.255.255.0", true},
                  {"ID_TEXTCTRL3", "192.168.1.254", true},
                  {"ID_TEXTCTRL4", "6003", true},
                  {"ID_TEXTCTRL6", "00:50:C2:F0:A0:00", false}};
    for (const auto& row : ipRows) {
        auto* text = Find<wxTextCtrl>(row.name);
        EXPECT_EQ(text->GetValue(), row.value) << row.name;
        EXPECT_EQ(text->IsEnabled(), row.enabled) << row.name;
    }
    EXPECT_EQ(Find<wxTextCtrl>("ID_TEXTCTRL1")->GetMinSize(), wxSize(139, 25));
}

TEST_F(MainFrameLayout, FrameCarriesTitleNameIconAndMinimumSize)
{
    EXPECT_EQ(m_frame->GetTitle(), "TARVEN Quorastelline Configuration Utility");
    EXPECT_EQ(m_frame->GetName(), "wxID_ANY");
    EXPECT_TRUE(m_frame->HasFlag(wxDEFAULT_FRAME_STYLE));
    const wxIconBundle& icons = m_frame->GetIcons();
    ASSERT_EQ(icons.GetIconCount(), 1u);
    const wxIcon icon = icons.GetIconByIndex(0);
    ASSERT_TRUE(icon.IsOk());
    EXPECT_EQ(icon.GetWidth(), 128);
    EXPECT_EQ(icon.GetHeight(), 128);
    // The laid-out minimum is the window's minimum.
    EXPECT_EQ(m_frame->GetMinSize(), m_frame->GetSizer()->GetMinSize() + (m_frame->GetSize() - m_frame->GetClientSize()));
    EXPECT_GE(m_frame->GetSize().x, m_frame->GetMinSize().x);
    EXPECT_TRUE(m_frame->GetStatusBar()->GetStatusText(0).empty());
}

TEST_F(MainFrameLayout, MinimumFitsALaptopScreenWithEveryControlReachable)
{
    // A 1366 x 768 screen, less a panel and a title bar.
    const wxSize minimum = m_frame->GetMinSize();
    EXPECT_LE(minimum.x, 1366);
    EXPECT_LE(minimum.y, 700);

    m_frame->SetSize(minimum);
    // The display server answers a resize in its own time.
    auto* panel = Find<wxPanel>("ID_PANEL1");
    for (int i = 0; i < 300 && panel->GetSize() != m_frame->GetClientSize(); ++i) {
        Settle();
        wxMilliSleep(10);
    }
    Settle();
    ASSERT_EQ(m_frame->GetSize(), minimum);
    ASSERT_EQ(panel->GetSize(), m_frame->GetClientSize());

    const wxRect clientArea(wxPoint(0, 0), m_frame->GetClientSize());
    std::vector<wxWindow*> controls;
    CollectControls(panel, controls);
    int scrolledControls = 0;
    for (wxWindow* window : controls) {
        if (!window->IsShown() || dynamic_cast<wxScrollBar*>(window))
            continue;
        wxScrolledWindow* scrolled = ScrolledAncestor(window);
        if (!scrolled) {
            const wxRect rect = RectIn(window, m_frame.get());
            EXPECT_TRUE(Contains(clientArea, rect))
                << window->GetName() << " at " << RectText(rect) << " outside " << RectText(clientArea);
            continue;
        }
        // Inside the column's virtual area, which it scrolls through.
        ++scrolledControls;
        wxRect rect = RectIn(window, scrolled);
        rect.SetPosition(scrolled->CalcUnscrolledPosition(rect.GetPosition()));
        const wxRect virtualArea(wxPoint(0, 0), scrolled->GetVirtualSize());
        EXPECT_TRUE(Contains(virtualArea, rect))
            << window->GetName() << " at " << RectText(rect) << " outside " << RectText(virtualArea);
        // The column never scrolls sideways.
        EXPECT_LE(scrolled->GetVirtualSize().x, scrolled->GetClientSize().x);
    }
    EXPECT_GE(scrolledControls, 36);

    // The left column is lower than its content here: scrolled to its end
    // it shows the MAC address row.
    auto* mac = Find<wxTextCtrl>("ID_TEXTCTRL6");
    wxScrolledWindow* column = ScrolledAncestor(mac);
    ASSERT_NE(column, nullptr);
    EXPECT_GT(column->GetVirtualSize().y, column->GetClientSize().y);
    column->Scroll(0, column->GetVirtualSize().y);
    Settle();
    const wxRect shown(wxPoint(0, 0), column->GetClientSize());
    const wxRect macRect = RectIn(mac, column);
    EXPECT_TRUE(Contains(shown, macRect)) << RectText(macRect) << " outside " << RectText(shown);
}

TEST_F(MainFrameLayout, DefaultSizeShowsWholeTextsAndEveryGridColumn)
{
    // Opened at the size its layout gives it: no column of the left side
    // scrolls on this large screen, and no text is cut.
    wxScrolledWindow* column = ScrolledAncestor(Find<wxTextCtrl>("ID_TEXTCTRL6"));
    ASSERT_NE(column, nullptr);
    EXPECT_LE(column->GetVirtualSize().y, column->GetClientSize().y);
    ExpectWholeTexts(m_frame.get());
    auto* nodes = Find<wxGrid>("ID_NODESGRID");
    auto* memory = Find<wxGrid>("ID_GRIDMEMORY");
    ExpectColumnsShowTheirTexts(nodes);
    ExpectColumnsShowTheirTexts(memory);

    // The longest level name fits its field.
    auto* level = Find<wxSpinCtrl>("ID_SPINCTRLSDLOGLEVEL");
    level->SetValue(5);
    wxSpinEvent change(wxEVT_SPINCTRL, level->GetId());
    change.SetEventObject(level);
    change.SetPosition(5);
    level->ProcessWindowEvent(change);
    Settle();
    auto* levelName = Find<wxTextCtrl>("ID_TEXTCTRLLOGTEXT");
    ASSERT_EQ(levelName->GetValue(), "everything!!");
    // With the entry's inner margins, as GTK counts them once it is shown.
    EXPECT_GE(levelName->GetSize().x,
              levelName->GetSizeFromTextSize(levelName->GetTextExtent("everything!!").x).x);

    // A document with longer texts widens the window that nobody sized yet.
    const wxSize before = m_frame->GetSize();
    ASSERT_TRUE(m_frame->OpenFile(QST_SOURCE_DIR "/docs/example.qst"));
    Settle();
    ASSERT_EQ(nodes->GetCellValue(3, 1), "TCP Client to 10.4.0.20:5020");
    EXPECT_GT(m_frame->GetSize().x, before.x);
    ExpectColumnsShowTheirTexts(nodes);
    ExpectColumnsShowTheirTexts(memory);
    ExpectWholeTexts(m_frame.get());
}

TEST_F(MainFrameLayout, WindowSizedByTheUserKeepsItsSize)
{
    const wxSize chosen = m_frame->GetMinSize() + wxSize(10, 10);
    m_frame->SetSize(chosen);
    Settle();
    ASSERT_TRUE(m_frame->OpenFile(QST_SOURCE_DIR "/docs/example.qst"));
    Settle();
    EXPECT_EQ(m_frame->GetSize(), chosen);
}

TEST_F(MainFrameLayout, MenusCarryLabelsAcceleratorsAndHelp)
{
    struct Item {
        long id;  // 0 for a separator
        const char* label;
        const char* help;
    };
    struct MenuRow {
        const char* title;
        std::vector<Item> items;
    };
    const MenuRow menus[] = {
        {"&File",
         {{ConfigFrame::ID_MENUOPEN, "&Open...\tCtrl-O", "Open a file"},
          {ConfigFrame::ID_MENUSAVE, "&Save\tCtrl-S", "Save the current data"},
          {ConfigFrame::ID_MENUSAVEAS, "Save &as...", "Save current data to new file"},
          {ConfigFrame::ID_MENUCLOSE, "&Close", ""},
          {0, "", ""},
          {ConfigFrame::ID_MENUCOMPAREFILE, "Co&mpare with File...",
           "Show the differences between this configuration and a file"},
          {0, "", ""},
          {ConfigFrame::ID_MENUPRINT, "&Print...\tCtrl-P", "Print the current configuration"},
          {ConfigFrame::ID_MENUPREVIEW, "Print Pre&view...", "Preview the current configuration before printing"},
          {0, "", ""},
          {ConfigFrame::ID_MENUDEFAULTS, "&Defaults", "Set current data to defaults"},
          {0, "", ""},
          {ConfigFrame::ID_MENUQUIT, "Quit\tAlt-F4", "Quit the application"}}},
        {"&Device",
         {{ConfigFrame::ID_MENUDEVICEID, "&ID", ""},
          {ConfigFrame::ID_MENUDEVICEREAD, "&Read", "Read data from a device"},
          {ConfigFrame::ID_MENUDEVICEWRITE, "&Write", "Write data to a device"},
          {ConfigFrame::ID_MENUSETCLOCK, "Set &clock", "Set the device clock to PC time"},
          {ConfigFrame::ID_MENUREBOOT, "Re&boot", ""},
          {0, "", ""},
          {ConfigFrame::ID_MENUCOMPAREDEVICE, "Co&mpare with Device...",
           "Show the differences between this configuration and the device's"},
          {0, "", ""},
          {ConfigFrame::ID_MENUFIND, "&Find...", "Find and list devices"}}},
        {"&Node",
         {{ConfigFrame::ID_MENUNODEADD, "&Add", "Add a node"},
          {ConfigFrame::ID_MENUNODEEDIT, "&Edit...", "Edit a node"},
          {ConfigFrame::ID_MENUNODEDELETE, "&Delete",
           "Delete a node (deletes node 1 if no other node/cell is highlighted)"}}},
        {"&Help",
         {{ConfigFrame::ID_MENUABOUT, "&About...", "Show info about this application"},
          {ConfigFrame::ID_MENUHELP, "&Help...\tF1", "Launch the help documentation"}}},
    };

    wxMenuBar* bar = m_frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), std::size(menus));
    for (size_t m = 0; m < std::size(menus); ++m) {
        EXPECT_EQ(bar->GetMenuLabel(m), menus[m].title);
        const wxMenuItemList& items = bar->GetMenu(m)->GetMenuItems();
        ASSERT_EQ(items.size(), menus[m].items.size()) << menus[m].title;
        size_t i = 0;
        for (const wxMenuItem* item : items) {
            const Item& want = menus[m].items[i++];
            if (want.id == 0) {
                EXPECT_TRUE(item->IsSeparator()) << menus[m].title << " item " << i;
                continue;
            }
            EXPECT_EQ(item->GetId(), want.id) << want.label;
            EXPECT_EQ(item->GetItemLabel(), want.label);
            EXPECT_EQ(item->GetHelp(), want.help) << want.label;
            EXPECT_EQ(item->GetKind(), wxITEM_NORMAL) << want.label;
        }
    }

    const struct {
        long id;
        int flags, key;
    } accelerators[] = {{ConfigFrame::ID_MENUOPEN, wxACCEL_CTRL, 'O'},
                        {ConfigFrame::ID_MENUSAVE, wxACCEL_CTRL, 'S'},
                        {ConfigFrame::ID_MENUPRINT, wxACCEL_CTRL, 'P'},
                        {ConfigFrame::ID_MENUQUIT, wxACCEL_ALT, WXK_F4},
                        {ConfigFrame::ID_MENUHELP, wxACCEL_NORMAL, WXK_F1}};
    for (const auto& row : accelerators) {
        std::unique_ptr<wxAcceleratorEntry> accel(bar->FindItem(int(row.id))->GetAccel());
        ASSERT_NE(accel, nullptr) << row.id;
        EXPECT_EQ(accel->GetFlags(), row.flags);
        EXPECT_EQ(accel->GetKeyCode(), row.key);
    }
    std::unique_ptr<wxAcceleratorEntry> none(bar->FindItem(int(ConfigFrame::ID_MENUSAVEAS))->GetAccel());
    EXPECT_EQ(none, nullptr);
}

TEST_F(MainFrameLayout, StatusBarAndContextMenu)
{
    wxStatusBar* status = m_frame->GetStatusBar();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetId(), ConfigFrame::ID_STATUSBAR);
    EXPECT_EQ(status->GetName(), "ID_STATUSBAR");
    EXPECT_EQ(status->GetFieldsCount(), 1);
    EXPECT_EQ(status->GetStatusWidth(0), -1);
    EXPECT_EQ(status->GetStatusStyle(0), wxSB_NORMAL);
    EXPECT_TRUE(status->HasFlag(wxSTB_SIZEGRIP));

    const struct {
        long id;
        const char* label;
    } items[] = {{ConfigFrame::ID_MENUDEVICEID, "Device Get &ID"},
                 {ConfigFrame::ID_MENUDEVICEREAD, "Device &Read"},
                 {ConfigFrame::ID_MENUDEVICEWRITE, "Device &Write"},
                 {ConfigFrame::ID_MENUREBOOT, "Device Re&boot"},
                 {0, ""},
                 {ConfigFrame::ID_MENUNODEADD, "Node &Add"},
                 {ConfigFrame::ID_MENUNODEEDIT, "Node &Edit..."},
                 {ConfigFrame::ID_MENUNODEDELETE, "Node &Delete"},
                 {0, ""},
                 {ConfigFrame::ID_MENUHELP, "&Help..."}};
    const auto menu = m_frame->BuildContextMenu();
    const wxMenuItemList& list = menu->GetMenuItems();
    ASSERT_EQ(list.size(), std::size(items));
    size_t i = 0;
    for (const wxMenuItem* item : list) {
        const auto& want = items[i++];
        if (want.id == 0) {
            EXPECT_TRUE(item->IsSeparator()) << "item " << i;
        } else {
            EXPECT_EQ(item->GetId(), want.id) << want.label;
            EXPECT_EQ(item->GetItemLabel(), want.label);
        }
    }
}

TEST_F(MainFrameLayout, GridsAreLabelled)
{
    auto* nodes = Find<wxGrid>("ID_NODESGRID");
    ASSERT_NE(nodes, nullptr);
    ASSERT_EQ(nodes->GetNumberRows(), 6);
    ASSERT_EQ(nodes->GetNumberCols(), 5);
    const char* const nodeColumns[] = {"Protocol", "Port", "Slave IDs", "Memory read", "Memory write"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(nodes->GetColLabelValue(c), nodeColumns[c]);
    const char* const nodeRows[] = {"Node 1", "Node 2", "Node 3", "Node 4", "Node 5", "Node 6"};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(nodes->GetRowLabelValue(r), nodeRows[r]);
    EXPECT_FALSE(nodes->IsEditable());
    EXPECT_TRUE(nodes->GridLinesEnabled());
    EXPECT_EQ(nodes->GetMinSize(), wxSize(350, 200));

    auto* memory = Find<wxGrid>("ID_GRIDMEMORY");
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(memory->GetNumberRows(), 512);
    ASSERT_EQ(memory->GetNumberCols(), 2);
    EXPECT_EQ(memory->GetColLabelValue(0), "Read from memory");
    EXPECT_EQ(memory->GetColLabelValue(1), "Write to memory");
    EXPECT_EQ(memory->GetRowLabelValue(0), "Byte 1 (bits 1 - 8)");
    EXPECT_EQ(memory->GetRowLabelValue(1), "Byte 2 (bits 9 - 16)");
    EXPECT_EQ(memory->GetRowLabelValue(99), "Byte 100 (bits 793 - 800)");
    EXPECT_EQ(memory->GetRowLabelValue(511), "Byte 512 (bits 4089 - 4096)");
    EXPECT_FALSE(memory->IsEditable());
    EXPECT_TRUE(memory->GridLinesEnabled());
    EXPECT_EQ(memory->GetMinSize(), wxSize(350, 150));

    for (wxGrid* grid : {nodes, memory}) {
        int horizontal = 0, vertical = 0;
        grid->GetRowLabelAlignment(&horizontal, &vertical);
        EXPECT_EQ(horizontal, wxALIGN_LEFT);
        EXPECT_EQ(vertical, wxALIGN_CENTRE);
        EXPECT_GE(grid->GetRowLabelSize(), grid->GetTextExtent(grid->GetRowLabelValue(0)).x);
    }
    EXPECT_GE(memory->GetRowLabelSize(), memory->GetTextExtent("Byte 512 (bits 4089 - 4096)").x);
}

TEST_F(MainFrameLayout, SerialPortsListUsbAdaptersFirstInNumberOrder)
{
    const auto present = [](const wxString& name) {
        return name == "/dev/ttyS3" || name == "/dev/ttyUSB10" || name == "/dev/ttyUSB2" || name == "/dev/ttyS0" ||
               name == "/dev/ttyS30" || name == "/dev/ttyUSB30";
    };
    const wxArrayString ports = ConfigFrame::ListSerialPorts(present);
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[0], "/dev/ttyUSB2");
    EXPECT_EQ(ports[1], "/dev/ttyUSB10");
    EXPECT_EQ(ports[2], "/dev/ttyS0");
    EXPECT_EQ(ports[3], "/dev/ttyS3");

    std::vector<wxString> probed;
    EXPECT_TRUE(ConfigFrame::ListSerialPorts([&](const wxString& name) {
                    probed.push_back(name);
                    return false;
                }).empty());
    ASSERT_EQ(probed.size(), 60u);
    EXPECT_EQ(probed.front(), "/dev/ttyUSB0");
    EXPECT_EQ(probed[29], "/dev/ttyUSB29");
    EXPECT_EQ(probed[30], "/dev/ttyS0");
    EXPECT_EQ(probed.back(), "/dev/ttyS29");

    // Whatever this machine has, the first port found is the one chosen.
    auto* combo = Find<wxComboBox>("ID_COMBOBOXSERIALPORT");
    EXPECT_EQ(combo->GetSelection(), combo->IsListEmpty() ? wxNOT_FOUND : 0);
}

TEST_F(MainFrameLayout, ConnectionRadioButtonsChooseTheLink)
{
    auto* radioIp = Find<wxRadioButton>("ID_RADIOBUTTONIP");
    auto* radioSerial = Find<wxRadioButton>("ID_RADIOBUTTONSERIAL");
    auto* ip = Find<wxTextCtrl>("ID_DEVICEIPADDRESS");
    auto* port = Find<wxTextCtrl>("ID_DEVICEUDPPORT");
    auto* serial = Find<wxComboBox>("ID_COMBOBOXSERIALPORT");
    auto* baud = Find<wxChoice>("ID_CHOICESERIALBAUD");

    ip->ChangeValue("127.0.0.1");
    port->ChangeValue("2323");
    ConnectionParameters link = m_frame->GetConnectionParameters();
    EXPECT_TRUE(link.useTcp);
    EXPECT_EQ(link.target, "127.0.0.1");
    EXPECT_EQ(link.number, 2323);

    const auto choose = [](wxRadioButton* radio) {
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
        event.SetEventObject(radio);
        event.SetInt(1);
        radio->ProcessWindowEvent(event);
        Settle();
    };
    choose(radioSerial);
    EXPECT_FALSE(ip->IsEnabled());
    EXPECT_FALSE(port->IsEnabled());
    EXPECT_TRUE(serial->IsEnabled());
    EXPECT_TRUE(baud->IsEnabled());
    serial->SetValue("/dev/ttyUSB7");
    baud->SetStringSelection("19200");
    link = m_frame->GetConnectionParameters();
    EXPECT_FALSE(link.useTcp);
    EXPECT_EQ(link.target, "/dev/ttyUSB7");
    EXPECT_EQ(link.number, 19200);

    choose(radioIp);
    EXPECT_TRUE(ip->IsEnabled());
    EXPECT_TRUE(port->IsEnabled());
    EXPECT_FALSE(serial->IsEnabled());
    EXPECT_FALSE(baud->IsEnabled());
    EXPECT_TRUE(m_frame->GetConnectionParameters().useTcp);
}

TEST(AppIcon, IsASquareOfOurOwnWithTransparentCorners)
{
    const wxImage image = MakeAppIconImage();
    ASSERT_TRUE(image.IsOk());
    EXPECT_EQ(image.GetWidth(), 128);
    EXPECT_EQ(image.GetHeight(), 128);
    ASSERT_TRUE(image.HasAlpha());
    // Rounded tile: the corners are see-through, the middle is drawn.
    EXPECT_EQ(image.GetAlpha(0, 0), 0);
    EXPECT_EQ(image.GetAlpha(127, 127), 0);
    EXPECT_EQ(image.GetAlpha(64, 64), 255);
    EXPECT_EQ(image.GetAlpha(64, 6), 255);
}
