// Construction of the main window: controls, sizers, menus, status bar and
// the bindings of every command.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "resources/AppIcon.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/fileconf.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/scrolbar.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <algorithm>

// Drawn in this order at start-up; each name is one identifier.
const long ConfigFrame::ID_RADIOBUTTONIP = wxNewId();
const long ConfigFrame::ID_DEVICEIPADDRESS = wxNewId();
const long ConfigFrame::ID_STATICTEXT9 = wxNewId();
const long ConfigFrame::ID_DEVICEUDPPORT = wxNewId();
const long ConfigFrame::ID_RADIOBUTTONSERIAL = wxNewId();
const long ConfigFrame::ID_COMBOBOXSERIALPORT = wxNewId();
const long ConfigFrame::ID_STATICTEXT8 = wxNewId();
const long ConfigFrame::ID_CHOICESERIALBAUD = wxNewId();
const long ConfigFrame::ID_BUTTON3 = wxNewId();
const long ConfigFrame::ID_BUTTON1 = wxNewId();
const long ConfigFrame::ID_BUTTON2 = wxNewId();
const long ConfigFrame::ID_STATICTEXT11 = wxNewId();
const long ConfigFrame::ID_BUTTON5 = wxNewId();
const long ConfigFrame::ID_BUTTON4 = wxNewId();
const long ConfigFrame::ID_BUTTONCANCEL = wxNewId();
const long ConfigFrame::ID_DEVICEIDTEXT = wxNewId();
const long ConfigFrame::ID_NOTESTEXT = wxNewId();
const long ConfigFrame::ID_CHECKBOX1 = wxNewId();
const long ConfigFrame::ID_STATICTEXT7 = wxNewId();
const long ConfigFrame::ID_SPINCTRLDATAAGE = wxNewId();
const long ConfigFrame::ID_STATICTEXT1 = wxNewId();
const long ConfigFrame::ID_STATICTEXT3 = wxNewId();
const long ConfigFrame::ID_SPINCTRLSDLOGLEVEL = wxNewId();
const long ConfigFrame::ID_TEXTCTRLLOGTEXT = wxNewId();
const long ConfigFrame::ID_STATICTEXT12 = wxNewId();
const long ConfigFrame::ID_SPINCTRLLOGAGE = wxNewId();
const long ConfigFrame::ID_STATICTEXT13 = wxNewId();
const long ConfigFrame::ID_STATICTEXT2 = wxNewId();
const long ConfigFrame::ID_TEXTCTRL1 = wxNewId();
const long ConfigFrame::ID_STATICTEXT4 = wxNewId();
const long ConfigFrame::ID_TEXTCTRL2 = wxNewId();
const long ConfigFrame::ID_STATICTEXT5 = wxNewId();
const long ConfigFrame::ID_TEXTCTRL3 = wxNewId();
const long ConfigFrame::ID_STATICTEXT6 = wxNewId();
const long ConfigFrame::ID_TEXTCTRL4 = wxNewId();
const long ConfigFrame::ID_STATICTEXT10 = wxNewId();
const long ConfigFrame::ID_TEXTCTRL6 = wxNewId();
const long ConfigFrame::ID_NODESGRID = wxNewId();
const long ConfigFrame::ID_GRIDMEMORY = wxNewId();
const long ConfigFrame::ID_PANEL1 = wxNewId();
const long ConfigFrame::ID_MENUOPEN = wxNewId();
const long ConfigFrame::ID_MENUSAVE = wxNewId();
const long ConfigFrame::ID_MENUSAVEAS = wxNewId();
const long ConfigFrame::ID_MENUCLOSE = wxNewId();
const long ConfigFrame::ID_MENUPRINT = wxNewId();
const long ConfigFrame::ID_MENUPREVIEW = wxNewId();
const long ConfigFrame::ID_MENUDEFAULTS = wxNewId();
const long ConfigFrame::ID_MENUQUIT = wxNewId();
const long ConfigFrame::ID_MENUDEVICEID = wxNewId();
const long ConfigFrame::ID_MENUDEVICEREAD = wxNewId();
const long ConfigFrame::ID_MENUDEVICEWRITE = wxNewId();
const long ConfigFrame::ID_MENUSETCLOCK = wxNewId();
const long ConfigFrame::ID_MENUREBOOT = wxNewId();
const long ConfigFrame::ID_MENUFIND = wxNewId();
const long ConfigFrame::ID_MENUCOMPAREFILE = wxNewId();
const long ConfigFrame::ID_MENUCOMPAREDEVICE = wxNewId();
const long ConfigFrame::ID_MENUNODEADD = wxNewId();
const long ConfigFrame::ID_MENUNODEEDIT = wxNewId();
const long ConfigFrame::ID_MENUNODEDELETE = wxNewId();
const long ConfigFrame::ID_MENUABOUT = wxNewId();
const long ConfigFrame::ID_MENUHELP = wxNewId();
const long ConfigFrame::ID_STATUSBAR = wxNewId();

wxBEGIN_EVENT_TABLE(ConfigFrame, wxFrame)
    EVT_CONTEXT_MENU(ConfigFrame::OnContextMenu)
wxEND_EVENT_TABLE()

namespace {

constexpr int kBorder = 5;
constexpr int kScrollStep = 10;
// Low enough for the window to fit a 1366 x 768 screen; the grids beside the
// column need more than this anyway.
constexpr int kLeftColumnMinHeight = 200;
// A window manager's title bar with its borders, generously.
constexpr int kTitleBarAllowance = 40;

// The toolkit's metric can be narrower than the bar GTK draws, so a bar is
// made and measured.
int ScrollBarWidth(wxWindow* parent)
{
    auto* bar = new wxScrollBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL);
    const int width = std::max(bar->GetBestSize().x, wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, parent));
    bar->Destroy();
    return std::max(width, 0);
}

// The general settings are single bytes in the image, so no spin control
// may offer a value a byte cannot hold.
constexpr int kMaxByteSetting = 255;
constexpr int kSerialPortNumbers = 30;

const char* const kBaudRates[] = {"600", "1200", "2400", "4800", "9600", "14400", "19200", "28800"};
constexpr int kDefaultBaudIndex = 4;

const char* const kNodeColumnLabels[] = {"Protocol", "Port", "Slave IDs", "Memory read", "Memory write"};
const char* const kMemoryColumnLabels[] = {"Read from memory", "Write to memory"};

// A flex grid whose every column grows.
wxFlexGridSizer* GrowingGrid(int rows, int columns)
{
    auto* grid = new wxFlexGridSizer(rows, columns, 0, 0);
    for (int c = 0; c < columns; ++c)
        grid->AddGrowableCol(c);
    return grid;
}

wxStaticText* Label(wxWindow* parent, long id, const wxString& text, const char* name)
{
    return new wxStaticText(parent, wxWindowID(id), text, wxDefaultPosition, wxDefaultSize, 0, name);
}

wxTextCtrl* Text(wxWindow* parent, long id, const wxString& value, const wxSize& size, long style, const char* name)
{
    return new wxTextCtrl(parent, wxWindowID(id), value, wxDefaultPosition, size, style, wxDefaultValidator, name);
}

wxSpinCtrl* Spin(wxWindow* parent, long id, int value, int min, int max, const char* name)
{
    auto* spin = new wxSpinCtrl(parent, wxWindowID(id), wxString::Format("%d", value), wxDefaultPosition,
                                wxDefaultSize, wxSP_ARROW_KEYS, min, max, value, name);
    // GTK 3 draws its spin buttons beside the entry and cannot fit them in
    // 100 pixels; narrower than its own minimum it fails to lay them out.
    wxSize size(100, 32);
    size.IncTo(spin->GetBestSize());
    spin->SetInitialSize(size);
    return spin;
}

wxButton* Button(wxWindow* parent, long id, const wxString& label, const char* name)
{
    return new wxButton(parent, wxWindowID(id), label, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, name);
}

wxGrid* Grid(wxWindow* parent, long id, int rows, const char* const* columnLabels, int columns,
             const wxSize& size, const char* name)
{
    auto* grid = new wxGrid(parent, wxWindowID(id), wxDefaultPosition, size, wxWANTS_CHARS, name);
    grid->CreateGrid(rows, columns);
    grid->EnableEditing(false);
    grid->EnableGridLines(true);
    for (int c = 0; c < columns; ++c)
        grid->SetColLabelValue(c, columnLabels[c]);
    grid->SetDefaultCellFont(parent->GetFont());
    grid->SetDefaultCellTextColour(parent->GetForegroundColour());
    return grid;
}

constexpr int kCentred = wxALL | wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL;
constexpr int kLeftCentred = wxALL | wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL;

} // namespace

ConfigFrame::ConfigFrame(wxWindow* parent, wxWindowID id, const wxString& geometryFile)
    : m_geometryFile(geometryFile)
{
    Create(parent, id, kProductTitle, wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE, "wxID_ANY");
    CreateControls();
    CreateMenus();

    m_statusBar = new wxStatusBar(this, wxWindowID(ID_STATUSBAR), wxSTB_DEFAULT_STYLE, "ID_STATUSBAR");
    const int widths[] = {-1};
    const int styles[] = {wxSB_NORMAL};
    m_statusBar->SetFieldsCount(1, widths);
    m_statusBar->SetStatusStyles(1, styles);
    SetStatusBar(m_statusBar);

    GetSizer()->Fit(this);
    GetSizer()->SetSizeHints(this);

    BindEvents();
    SetIcon(MakeAppIcon());
    FinishGrids();
    const wxRect laidOut = GetRect();
    RestoreGeometry();
    if (GetRect() == laidOut)
        m_layoutClientSize = GetClientSize();

    m_config = std::make_unique<ConfigData>();
    FillSerialPorts();
    UpdateTitle();
    RefreshFromDocument();
}

void ConfigFrame::GrowToContent()
{
    // The minimum squeezes the window onto small screens; until the user
    // (or a stored geometry) sizes it, the window is as large as its content
    // wants, as far as the screen allows. It never shrinks on its own.
    if (GetClientSize() != m_layoutClientSize) {
        m_layoutClientSize = wxDefaultSize;
        return;
    }
    wxSize size = DefaultClientSize();
    size.IncTo(m_layoutClientSize);
    m_layoutClientSize = size;
    // The client size, as a window manager's frame changes the outer size
    // when it is added after the first showing.
    SetClientSize(size);
}

wxSize ConfigFrame::DefaultClientSize() const
{
    wxSize size = GetClientSize();
    // The left column at its full height, without scrolling.
    size.y += std::max(m_leftColumn->GetSizer()->GetMinSize().y - m_leftColumn->GetSize().y, 0);

    // The grids share one column: it grows until the wider one shows every
    // column of its own without scrolling sideways.
    int lacking = 0;
    for (const wxGrid* grid : {m_nodesGrid, m_memoryGrid}) {
        int content = grid->GetRowLabelSize() + m_scrollBarWidth + (grid->GetSize().x - grid->GetClientSize().x);
        for (int c = 0; c < grid->GetNumberCols(); ++c)
            content += grid->GetColSize(c);
        lacking = std::max(lacking, content - grid->GetSize().x);
    }
    size.x += lacking;

    // Less the menu bar, the status bar and a window manager's title bar,
    // which the window's size counts only some time after it was shown.
    wxSize available = wxGetClientDisplayRect().GetSize() - (GetSize() - GetClientSize());
    available.y -= kTitleBarAllowance;
    size.DecTo(available);
    size.IncTo(GetMinClientSize());
    return size;
}

ConfigFrame::~ConfigFrame()
{
    m_config.reset();
    SaveGeometry();
}

void ConfigFrame::CreateControls()
{
    m_panel = new wxPanel(this, wxWindowID(ID_PANEL1), wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, "ID_PANEL1");

    auto* frameSizer = new wxFlexGridSizer(1, 1, 0, 0);
    frameSizer->AddGrowableCol(0);
    frameSizer->AddGrowableRow(0);

    auto* panelSizer = new wxFlexGridSizer(1, 2, 0, 0);
    panelSizer->AddGrowableCol(1);
    panelSizer->AddGrowableRow(0);

    // The left column scrolls when the window is lower than its content, so
    // a short screen (1366 x 768) still reaches every control.
    m_leftColumn = new wxScrolledWindow(m_panel, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                        wxVSCROLL | wxTAB_TRAVERSAL, "LeftColumn");
    auto* leftStack = new wxFlexGridSizer(4, 1, 0, 0);
    auto* rightStack = new wxFlexGridSizer(2, 1, 0, 0);
    rightStack->AddGrowableCol(0);
    rightStack->AddGrowableRow(0);
    rightStack->AddGrowableRow(1);

    // Current Device.
    auto* deviceBox = new wxStaticBoxSizer(wxHORIZONTAL, m_leftColumn, "Current Device");
    wxWindow* device = deviceBox->GetStaticBox();
    auto* deviceGrid = new wxFlexGridSizer(3, 1, 0, 0);
    deviceGrid->AddGrowableCol(0);

    auto* connectionGrid = GrowingGrid(2, 4);
    m_radioIp = new wxRadioButton(device, wxWindowID(ID_RADIOBUTTONIP), "IP Address", wxDefaultPosition,
                                  wxDefaultSize, wxRB_GROUP, wxDefaultValidator, "ID_RADIOBUTTONIP");
    m_radioIp->SetValue(true);
    m_radioIp->SetToolTip("Use Ethernet to communicate with the device.");
    connectionGrid->Add(m_radioIp, 1, kLeftCentred, kBorder);
    m_deviceIpAddress = Text(device, ID_DEVICEIPADDRESS, "192.168.1.1", wxSize(120, 25), 0, "ID_DEVICEIPADDRESS");
    connectionGrid->Add(m_deviceIpAddress, 1, kLeftCentred, kBorder);
    connectionGrid->Add(Label(device, ID_STATICTEXT9, "Port", "ID_STATICTEXT9"), 1, kLeftCentred, kBorder);
    m_deviceUdpPort = Text(device, ID_DEVICEUDPPORT, "23", wxSize(55, 25), 0, "ID_DEVICEUDPPORT");
    connectionGrid->Add(m_deviceUdpPort, 1, kLeftCentred, kBorder);

    m_radioSerial = new wxRadioButton(device, wxWindowID(ID_RADIOBUTTONSERIAL), "Serial Port", wxDefaultPosition,
                                      wxDefaultSize, 0, wxDefaultValidator, "ID_RADIOBUTTONSERIAL");
    m_radioSerial->SetToolTip("Use serial port to communicate with the device.");
    connectionGrid->Add(m_radioSerial, 1, kLeftCentred, kBorder);
    m_serialPort = new wxComboBox(device, wxWindowID(ID_COMBOBOXSERIALPORT), wxEmptyString, wxDefaultPosition,
                                  wxDefaultSize, 0, nullptr, 0, wxDefaultValidator, "ID_COMBOBOXSERIALPORT");
    m_serialPort->Disable();
    connectionGrid->Add(m_serialPort, 1, kLeftCentred, kBorder);
    connectionGrid->Add(Label(device, ID_STATICTEXT8, "Baud", "ID_STATICTEXT8"), 1, kLeftCentred, kBorder);
    m_serialBaud = new wxChoice(device, wxWindowID(ID_CHOICESERIALBAUD), wxDefaultPosition, wxDefaultSize, 0,
                                nullptr, 0, wxDefaultValidator, "ID_CHOICESERIALBAUD");
    for (const char* rate : kBaudRates)
        m_serialBaud->Append(rate);
    m_serialBaud->SetSelection(kDefaultBaudIndex);
    m_serialBaud->Disable();
    connectionGrid->Add(m_serialBaud, 1, kLeftCentred, kBorder);
    deviceGrid->Add(connectionGrid, 1, wxALL | wxEXPAND, kBorder);

    auto* buttonGrid = GrowingGrid(2, 4);
    m_buttonGetId = Button(device, ID_BUTTON3, "Get ID", "ID_BUTTON3");
    buttonGrid->Add(m_buttonGetId, 1, kCentred, kBorder);
    m_buttonRead = Button(device, ID_BUTTON1, "Read", "ID_BUTTON1");
    buttonGrid->Add(m_buttonRead, 1, kCentred, kBorder);
    m_buttonWrite = Button(device, ID_BUTTON2, "Write", "ID_BUTTON2");
    buttonGrid->Add(m_buttonWrite, 1, kCentred, kBorder);
    m_buttonCancel = Button(device, ID_BUTTONCANCEL, "Cancel", "ID_BUTTONCANCEL");
    m_buttonCancel->SetToolTip("Stop the device command in progress (Esc).");
    m_buttonCancel->Disable();
    buttonGrid->Add(m_buttonCancel, 1, kCentred, kBorder);
    buttonGrid->Add(Label(device, ID_STATICTEXT11, "Device ID", "ID_STATICTEXT11"), 1,
                    wxLEFT | wxRIGHT | wxALIGN_LEFT | wxALIGN_BOTTOM, kBorder);
    m_buttonSetClock = Button(device, ID_BUTTON5, "Set clock", "ID_BUTTON5");
    buttonGrid->Add(m_buttonSetClock, 1, kCentred, kBorder);
    m_buttonReboot = Button(device, ID_BUTTON4, "Reboot", "ID_BUTTON4");
    buttonGrid->Add(m_buttonReboot, 1, kCentred, kBorder);
    buttonGrid->AddStretchSpacer();
    deviceGrid->Add(buttonGrid, 1, wxALL | wxEXPAND, kBorder);

    m_deviceIdText = Text(device, ID_DEVICEIDTEXT, wxEmptyString, wxSize(319, 45), wxTE_MULTILINE | wxTE_READONLY,
                          "ID_DEVICEIDTEXT");
    m_deviceIdText->Disable();
    m_deviceIdText->SetToolTip("Device info.");
    deviceGrid->Add(m_deviceIdText, 1, wxALL | wxEXPAND, kBorder);
    deviceBox->Add(deviceGrid, 1, wxALL | wxEXPAND, kBorder);
    leftStack->Add(deviceBox, 1, wxALL | wxEXPAND, kBorder);

    // Notes.
    auto* notesBox = new wxStaticBoxSizer(wxHORIZONTAL, m_leftColumn, "Notes");
    m_notesText = Text(notesBox->GetStaticBox(), ID_NOTESTEXT, wxEmptyString, wxSize(319, 45), wxTE_MULTILINE,
                       "ID_NOTESTEXT");
    m_notesText->SetToolTip("Optional notes. Stored in the config file only.");
    // The document holds no more, and would cut the rest silently; the
    // toolkit's length limit does not work on multi-line texts here.
    m_notesText->Bind(wxEVT_TEXT, &ConfigFrame::OnNotesText, this);
    notesBox->Add(m_notesText, 1, wxALL | wxEXPAND, kBorder);
    leftStack->Add(notesBox, 1, wxALL | wxEXPAND, kBorder);

    // General Settings.
    auto* generalBox = new wxStaticBoxSizer(wxHORIZONTAL, m_leftColumn, "General Settings");
    wxWindow* general = generalBox->GetStaticBox();
    auto* generalGrid = GrowingGrid(4, 3);
    m_writeProtect = new wxCheckBox(general, wxWindowID(ID_CHECKBOX1), "Write Protect", wxDefaultPosition,
                                    wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX1");
    m_writeProtect->SetValue(false);
    m_writeProtect->SetToolTip("Write protect the configuration once written to the device.");
    generalGrid->Add(m_writeProtect, 1, kLeftCentred, kBorder);
    generalGrid->Add(0, 0);
    generalGrid->Add(0, 0);

    generalGrid->Add(Label(general, ID_STATICTEXT7, "Database data age", "ID_STATICTEXT7"), 1, kLeftCentred, kBorder);
    m_spinDataAge = Spin(general, ID_SPINCTRLDATAAGE, 60, 5, kMaxByteSetting, "ID_SPINCTRLDATAAGE");
    generalGrid->Add(m_spinDataAge, 1, kLeftCentred, kBorder);
    generalGrid->Add(Label(general, ID_STATICTEXT1, "secs max", "ID_STATICTEXT1"), 1, kLeftCentred, kBorder);

    generalGrid->Add(Label(general, ID_STATICTEXT3, "SD card log level", "ID_STATICTEXT3"), 1, kLeftCentred, kBorder);
    m_spinLogLevel = Spin(general, ID_SPINCTRLSDLOGLEVEL, 2, 0, 5, "ID_SPINCTRLSDLOGLEVEL");
    generalGrid->Add(m_spinLogLevel, 1, kLeftCentred, kBorder);
    m_logLevelText = Text(general, ID_TEXTCTRLLOGTEXT, "normal", wxSize(89, 25), 0, "ID_TEXTCTRLLOGTEXT");
    m_logLevelText->Disable();
    // Wide enough for the longest name the field shows ("everything!!").
    const int startLevel = m_spinLogLevel->GetValue();
    int widestName = 0;
    for (int level = m_spinLogLevel->GetMin(); level <= m_spinLogLevel->GetMax(); ++level) {
        m_spinLogLevel->SetValue(level);
        ShowLevelName();
        widestName = std::max(widestName, m_logLevelText->GetTextExtent(m_logLevelText->GetValue()).x);
    }
    m_spinLogLevel->SetValue(startLevel);
    ShowLevelName();
    wxSize nameSize = m_logLevelText->GetMinSize();
    // GTK counts the entry's inner margins only once it is shown; a
    // character's width covers them.
    nameSize.x = std::max(nameSize.x, m_logLevelText->GetSizeFromTextSize(widestName).x + m_logLevelText->GetCharWidth());
    m_logLevelText->SetMinSize(nameSize);
    generalGrid->Add(m_logLevelText, 1, kLeftCentred, kBorder);

    generalGrid->Add(Label(general, ID_STATICTEXT12, "SD card log age", "ID_STATICTEXT12"), 1, kLeftCentred, kBorder);
    m_spinLogAge = Spin(general, ID_SPINCTRLLOGAGE, 30, 0, kMaxByteSetting, "ID_SPINCTRLLOGAGE");
    generalGrid->Add(m_spinLogAge, 1, kLeftCentred, kBorder);
    generalGrid->Add(Label(general, ID_STATICTEXT13, "days max", "ID_STATICTEXT13"), 1, kLeftCentred, kBorder);
    generalBox->Add(generalGrid, 1, wxALL | wxEXPAND, kBorder);
    leftStack->Add(generalBox, 1, wxALL | wxEXPAND, kBorder);

    // IP Settings.
    auto* ipBox = new wxStaticBoxSizer(wxHORIZONTAL, m_leftColumn, "IP Settings");
    wxWindow* ip = ipBox->GetStaticBox();
    auto* ipGrid = GrowingGrid(5, 2);
    auto addIpRow = [&](long labelId, const char* labelName, const wxString& label, wxTextCtrl* text) {
        ipGrid->Add(Label(ip, labelId, label, labelName), 1, kLeftCentred, kBorder);
        ipGrid->Add(text, 1, wxALL | wxEXPAND, kBorder);
    };
    m_ipAddress = Text(ip, ID_TEXTCTRL1, wxEmptyString, wxSize(139, 25), 0, "ID_TEXTCTRL1");
    m_ipAddress->SetToolTip("IP address the device appears at in 'dotty' format, ie 192.168.1.1");
    addIpRow(ID_STATICTEXT2, "ID_STATICTEXT2", "IP address", m_ipAddress);
    m_subnetMask = Text(ip, ID_TEXTCTRL2, wxEmptyString, wxDefaultSize, 0, "ID_TEXTCTRL2");
    m_subnetMask->SetToolTip("Subnet mask in 'dotty' format, ie 255.255.255.0");
    addIpRow(ID_STATICTEXT4, "ID_STATICTEXT4", "Subnet mask", m_subnetMask);
    m_gateway = Text(ip, ID_TEXTCTRL3, wxEmptyString, wxDefaultSize, 0, "ID_TEXTCTRL3");
    m_gateway->SetToolTip("Gateway IP address 'dotty' format, ie 192.168.1.200");
    addIpRow(ID_STATICTEXT5, "ID_STATICTEXT5", "Gateway IP", m_gateway);
    m_bootLoaderPort = Text(ip, ID_TEXTCTRL4, wxEmptyString, wxDefaultSize, 0, "ID_TEXTCTRL4");
    m_bootLoaderPort->SetToolTip("The UDP port used by the devices boot loader, ie 6003");
    addIpRow(ID_STATICTEXT6, "ID_STATICTEXT6", "Boot loader port", m_bootLoaderPort);
    m_macAddress = Text(ip, ID_TEXTCTRL6, wxEmptyString, wxDefaultSize, 0, "ID_TEXTCTRL6");
    m_macAddress->Disable();
    addIpRow(ID_STATICTEXT10, "ID_STATICTEXT10", "MAC address", m_macAddress);
    ipBox->Add(ipGrid, 1, wxALL | wxEXPAND, kBorder);
    leftStack->Add(ipBox, 1, wxALL | wxEXPAND, kBorder);

    // Nodes and the shared memory.
    auto* nodesBox = new wxStaticBoxSizer(wxHORIZONTAL, m_panel, "Nodes");
    m_nodesGrid = Grid(nodesBox->GetStaticBox(), ID_NODESGRID, int(kMaxNodes), kNodeColumnLabels, 5, wxSize(350, 200),
                       "ID_NODESGRID");
    for (unsigned row = 0; row < kMaxNodes; ++row)
        m_nodesGrid->SetRowLabelValue(int(row), wxString::Format("Node %u", row + 1));
    nodesBox->Add(m_nodesGrid, 1, wxALL | wxEXPAND, kBorder);
    rightStack->Add(nodesBox, 1, wxALL | wxEXPAND, kBorder);

    auto* memoryBox = new wxStaticBoxSizer(wxHORIZONTAL, m_panel, "Memory / Node Usage");
    m_memoryGrid = Grid(memoryBox->GetStaticBox(), ID_GRIDMEMORY, int(kSharedMemorySize), kMemoryColumnLabels, 2,
                        wxSize(350, 150), "ID_GRIDMEMORY");
    memoryBox->Add(m_memoryGrid, 1, wxALL | wxEXPAND, kBorder);
    rightStack->Add(memoryBox, 1, wxALL | wxEXPAND, kBorder);

    m_leftColumn->SetSizer(leftStack);
    m_leftColumn->SetScrollRate(0, kScrollStep);
    // A bar that came and went would change the width the boxes are laid
    // out in, and hide their right edges once it came.
    m_leftColumn->ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_ALWAYS);
    // As wide as its content plus a scroll bar, so it never scrolls sideways;
    // its height is left to the grids beside it.
    m_scrollBarWidth = ScrollBarWidth(m_leftColumn);
    m_leftColumn->SetMinSize(wxSize(leftStack->GetMinSize().x + m_scrollBarWidth, kLeftColumnMinHeight));

    panelSizer->Add(m_leftColumn, 1, wxEXPAND, 0);
    panelSizer->Add(rightStack, 1, wxEXPAND, 0);
    m_panel->SetSizer(panelSizer);
    frameSizer->Add(m_panel, 1, wxEXPAND, 0);
    SetSizer(frameSizer);
}

void ConfigFrame::CreateMenus()
{
    auto* menuBar = new wxMenuBar();

    auto* file = new wxMenu();
    file->Append(wxWindowID(ID_MENUOPEN), "&Open...\tCtrl-O", "Open a file");
    file->Append(wxWindowID(ID_MENUSAVE), "&Save\tCtrl-S", "Save the current data");
    file->Append(wxWindowID(ID_MENUSAVEAS), "Save &as...", "Save current data to new file");
    file->Append(wxWindowID(ID_MENUCLOSE), "&Close", wxEmptyString);
    file->AppendSeparator();
    file->Append(wxWindowID(ID_MENUCOMPAREFILE), "Co&mpare with File...",
                 "Show the differences between this configuration and a file");
    file->AppendSeparator();
    file->Append(wxWindowID(ID_MENUPRINT), "&Print...\tCtrl-P", "Print the current configuration");
    file->Append(wxWindowID(ID_MENUPREVIEW), "Print Pre&view...", "Preview the current configuration before printing");
    file->AppendSeparator();
    file->Append(wxWindowID(ID_MENUDEFAULTS), "&Defaults", "Set current data to defaults");
    file->AppendSeparator();
    file->Append(wxWindowID(ID_MENUQUIT), "Quit\tAlt-F4", "Quit the application");
    menuBar->Append(file, "&File");

    auto* device = new wxMenu();
    device->Append(wxWindowID(ID_MENUDEVICEID), "&ID", wxEmptyString);
    device->Append(wxWindowID(ID_MENUDEVICEREAD), "&Read", "Read data from a device");
    device->Append(wxWindowID(ID_MENUDEVICEWRITE), "&Write", "Write data to a device");
    device->Append(wxWindowID(ID_MENUSETCLOCK), "Set &clock", "Set the device clock to PC time");
    device->Append(wxWindowID(ID_MENUREBOOT), "Re&boot", wxEmptyString);
    device->AppendSeparator();
    device->Append(wxWindowID(ID_MENUCOMPAREDEVICE), "Co&mpare with Device...",
                   "Show the differences between this configuration and the device's");
    device->AppendSeparator();
    device->Append(wxWindowID(ID_MENUFIND), "&Find...", "Find and list devices");
    menuBar->Append(device, "&Device");

    auto* node = new wxMenu();
    node->Append(wxWindowID(ID_MENUNODEADD), "&Add", "Add a node");
    node->Append(wxWindowID(ID_MENUNODEEDIT), "&Edit...", "Edit a node");
    node->Append(wxWindowID(ID_MENUNODEDELETE), "&Delete",
                 "Delete a node (deletes node 1 if no other node/cell is highlighted)");
    menuBar->Append(node, "&Node");

    auto* help = new wxMenu();
    help->Append(wxWindowID(ID_MENUABOUT), "&About...", "Show info about this application");
    help->Append(wxWindowID(ID_MENUHELP), "&Help...\tF1", "Launch the help documentation");
    menuBar->Append(help, "&Help");

    SetMenuBar(menuBar);
}

std::unique_ptr<wxMenu> ConfigFrame::BuildContextMenu() const
{
    auto menu = std::make_unique<wxMenu>();
    menu->Append(wxWindowID(ID_MENUDEVICEID), "Device Get &ID");
    menu->Append(wxWindowID(ID_MENUDEVICEREAD), "Device &Read");
    menu->Append(wxWindowID(ID_MENUDEVICEWRITE), "Device &Write");
    menu->Append(wxWindowID(ID_MENUREBOOT), "Device Re&boot");
    menu->AppendSeparator();
    menu->Append(wxWindowID(ID_MENUNODEADD), "Node &Add");
    menu->Append(wxWindowID(ID_MENUNODEEDIT), "Node &Edit...");
    menu->Append(wxWindowID(ID_MENUNODEDELETE), "Node &Delete");
    menu->AppendSeparator();
    menu->Append(wxWindowID(ID_MENUHELP), "&Help...");
    return menu;
}

void ConfigFrame::BindEvents()
{
    Bind(wxEVT_RADIOBUTTON, &ConfigFrame::OnRadioButtonIpSelect, this, wxWindowID(ID_RADIOBUTTONIP));
    Bind(wxEVT_RADIOBUTTON, &ConfigFrame::OnRadioButtonSerialSelect, this, wxWindowID(ID_RADIOBUTTONSERIAL));

    // Each device command is a button and a menu item.
    const struct {
        long button, menu;
        void (ConfigFrame::*handler)(wxCommandEvent&);
    } deviceCommands[] = {
        {ID_BUTTON3, ID_MENUDEVICEID, &ConfigFrame::OnGetId},
        {ID_BUTTON1, ID_MENUDEVICEREAD, &ConfigFrame::OnRead},
        {ID_BUTTON2, ID_MENUDEVICEWRITE, &ConfigFrame::OnWrite},
        {ID_BUTTON5, ID_MENUSETCLOCK, &ConfigFrame::OnSetClock},
        {ID_BUTTON4, ID_MENUREBOOT, &ConfigFrame::OnReboot},
    };
    for (const auto& command : deviceCommands) {
        Bind(wxEVT_BUTTON, command.handler, this, wxWindowID(command.button));
        Bind(wxEVT_MENU, command.handler, this, wxWindowID(command.menu));
    }

    Bind(wxEVT_BUTTON, &ConfigFrame::OnCancelDeviceWork, this, wxWindowID(ID_BUTTONCANCEL));
    Bind(wxEVT_CHAR_HOOK, &ConfigFrame::OnCharHook, this);

    Bind(wxEVT_SPINCTRL, &ConfigFrame::OnLogLevelChange, this, wxWindowID(ID_SPINCTRLSDLOGLEVEL));
    Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &ConfigFrame::OnNodesGridCellRightClick, this, wxWindowID(ID_NODESGRID));
    Bind(wxEVT_GRID_CELL_LEFT_DCLICK, &ConfigFrame::OnNodesGridCellLeftDClick, this, wxWindowID(ID_NODESGRID));

    const struct {
        long menu;
        void (ConfigFrame::*handler)(wxCommandEvent&);
    } menuCommands[] = {
        {ID_MENUOPEN, &ConfigFrame::OnOpen},
        {ID_MENUSAVE, &ConfigFrame::OnSave},
        {ID_MENUSAVEAS, &ConfigFrame::OnSaveAs},
        {ID_MENUCLOSE, &ConfigFrame::OnCloseFile},
        {ID_MENUPRINT, &ConfigFrame::OnPrint},
        {ID_MENUPREVIEW, &ConfigFrame::OnPrintPreview},
        {ID_MENUDEFAULTS, &ConfigFrame::OnDefaults},
        {ID_MENUQUIT, &ConfigFrame::OnQuit},
        {ID_MENUFIND, &ConfigFrame::OnFind},
        {ID_MENUCOMPAREFILE, &ConfigFrame::OnCompareWithFile},
        {ID_MENUCOMPAREDEVICE, &ConfigFrame::OnCompareWithDevice},
        {ID_MENUNODEADD, &ConfigFrame::OnNodeAdd},
        {ID_MENUNODEEDIT, &ConfigFrame::OnNodeEdit},
        {ID_MENUNODEDELETE, &ConfigFrame::OnNodeDelete},
        {ID_MENUABOUT, &ConfigFrame::OnAbout},
        {ID_MENUHELP, &ConfigFrame::OnHelp},
    };
    for (const auto& command : menuCommands)
        Bind(wxEVT_MENU, command.handler, this, wxWindowID(command.menu));

    Bind(wxEVT_CLOSE_WINDOW, &ConfigFrame::OnClose, this);
    m_memoryGrid->GetGridWindow()->Bind(wxEVT_MOTION, &ConfigFrame::OnMemoryGridMotion, this);
}

void ConfigFrame::FinishGrids()
{
    for (unsigned row = 0; row < kSharedMemorySize; ++row) {
        const unsigned byte = row + 1;
        m_memoryGrid->SetRowLabelValue(int(row),
                                       wxString::Format("Byte %u (bits %u - %u)", byte, 8 * byte - 7, 8 * byte));
    }
    for (wxGrid* grid : {m_nodesGrid, m_memoryGrid}) {
        grid->SetColLabelSize(wxGRID_AUTOSIZE);
        grid->SetRowLabelSize(wxGRID_AUTOSIZE);
        grid->SetRowLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
        // Until a document fills them, the columns fit their labels.
        grid->AutoSizeColumns(false);
    }
}

wxArrayString ConfigFrame::ListSerialPorts(const std::function<bool(const wxString&)>& probe)
{
    wxArrayString names;
    for (const char* pattern : {"/dev/ttyUSB%d", "/dev/ttyS%d"}) {
        for (int n = 0; n < kSerialPortNumbers; ++n) {
            const wxString name = wxString::Format(pattern, n);
            if (probe(name))
                names.Add(name);
        }
    }
    return names;
}

bool ConfigFrame::ProbeSerialPort(const wxString& name) const
{
    return m_config->PortExists(name);
}

void ConfigFrame::FillSerialPorts()
{
    m_serialPort->Append(ListSerialPorts([this](const wxString& name) { return ProbeSerialPort(name); }));
    if (m_serialPort->GetCount() > 0)
        m_serialPort->SetSelection(0);
}
