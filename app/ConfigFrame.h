// The main window: one configuration document, its display and commands.
// Members are defined by command group: ConfigFrame.cpp (construction and
// layout), ConfigFrameDisplay.cpp, ConfigFrameFile.cpp, ConfigFrameHelp.cpp,
// ConfigFrameDevice.cpp, ConfigFrameNode.cpp, ConfigFramePrint.cpp and
// ConfigFrameFind.cpp.
#pragma once

#include "app/FileChooser.h"
#include "app/ProgramCaption.h"

#include <wx/arrstr.h>
#include <wx/frame.h>

#include <functional>
#include <memory>
#include <vector>
#include <optional>

class ConfigData;
struct AcknowledgedCommand;
struct IpTexts;
struct CommandReport;
struct ConfigDifference;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxCommandEvent;
class wxContextMenuEvent;
class wxCloseEvent;
class wxKeyEvent;
class wxMouseEvent;
class wxShowEvent;
class wxFileConfig;
class wxGrid;
class wxGridEvent;
class wxMenu;
class wxPanel;
class wxRadioButton;
class wxScrolledWindow;
class wxSpinCtrl;
class wxSpinEvent;
class wxStatusBar;
class wxTextCtrl;

// How a device command reaches the device; never kept in the document.
struct ConnectionParameters {
    bool useTcp = true;
    wxString target;  // host address or serial device path
    int number = 0;   // TCP port, or serial speed in baud
};

class ConfigFrame : public wxFrame
{
public:
    // `geometryFile` names the file that keeps the window's position; empty
    // uses the toolkit's per-user default for the program.
    explicit ConfigFrame(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& geometryFile = wxString());
    ~ConfigFrame() override;

    ConfigData& Document() { return *m_config; }

    // Display (ConfigFrameDisplay.cpp).
    void RefreshFromDocument();
    enum ClearFlags : int { CLEAR_DEVICE_ID = 1, CLEAR_DOCUMENT = 2 };
    void ClearFields(int flags);
    // Takes the five IP texts into the document; false (after telling the
    // user) when they do not parse.
    bool ApplyIpSettings();
    // Takes the check box and the three spin controls into the document.
    void TakeGeneralSettings();
    // The same into another document; fields a failed read emptied stand
    // for the document's values.
    void TakeGeneralSettingsInto(ConfigData& target) const;
    // The document as the fields show it; false (after telling the user)
    // when the IP fields do not parse.
    bool ShownConfiguration(ConfigData& shown) const;
    // A failed read empties the document's controls while the document
    // keeps its content; before any command takes the controls back, this
    // puts the document's values into the fields still empty. What the user
    // typed since stays.
    void RestoreClearedFields();
    // The notes text into the document, when the user has changed it.
    void TakeNotes();
    // The document has changes, or a control holds a value the document
    // does not: what closing or replacing the document would lose.
    bool HasUnsavedChanges() const;
    void UpdateTitle();
    ConnectionParameters GetConnectionParameters() const;
    void SetStatus(const wxString& text);

    // Message boxes of the commands: no parent, the program's caption.
    static constexpr const char* kProductTitle = "TARVEN Quorastelline Configuration Utility";
    static void ShowError(const wxString& text);
    // Yes/No with the information icon; true only for Yes.
    static bool AskYesNo(const wxString& text);

    // The MAC text is used, and editable, only in this mode.
    bool IsMacEditMode() const { return m_macEditMode; }
    void SetMacEditMode(bool on);

    // The file named on the command line: no prompt, no message box, the
    // title unchanged. True when it loaded.
    bool OpenFile(const wxString& fileName);

    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // How the manual is handed to the desktop; true when it was launched.
    using DocumentLauncher = std::function<bool(const wxString& document)>;
    void SetDocumentLauncher(DocumentLauncher launcher) { m_launchDocument = std::move(launcher); }

    // The popup of the window's context menu.
    std::unique_ptr<wxMenu> BuildContextMenu() const;
    // The popup of the nodes grid for a right click on a cell; on a row that
    // holds a node it moves the grid cursor to the cell.
    std::unique_ptr<wxMenu> BuildNodesGridMenu(int row, int column);

    // The serial device names that `probe` accepts, USB adapters first.
    static wxArrayString ListSerialPorts(const std::function<bool(const wxString&)>& probe);

    static wxString AboutText();

    // Identifiers, one per control and menu command; each window is named
    // after its identifier.
    static const long ID_RADIOBUTTONIP;
    static const long ID_DEVICEIPADDRESS;
    static const long ID_STATICTEXT9;
    static const long ID_DEVICEUDPPORT;
    static const long ID_RADIOBUTTONSERIAL;
    static const long ID_COMBOBOXSERIALPORT;
    static const long ID_STATICTEXT8;
    static const long ID_CHOICESERIALBAUD;
    static const long ID_BUTTON3;
    static const long ID_BUTTON1;
    static const long ID_BUTTON2;
    static const long ID_STATICTEXT11;
    static const long ID_BUTTON5;
    static const long ID_BUTTON4;
    static const long ID_BUTTONCANCEL;
    static const long ID_DEVICEIDTEXT;
    static const long ID_NOTESTEXT;
    static const long ID_CHECKBOX1;
    static const long ID_STATICTEXT7;
    static const long ID_SPINCTRLDATAAGE;
    static const long ID_STATICTEXT1;
    static const long ID_STATICTEXT3;
    static const long ID_SPINCTRLSDLOGLEVEL;
    static const long ID_TEXTCTRLLOGTEXT;
    static const long ID_STATICTEXT12;
    static const long ID_SPINCTRLLOGAGE;
    static const long ID_STATICTEXT13;
    static const long ID_STATICTEXT2;
    static const long ID_TEXTCTRL1;
    static const long ID_STATICTEXT4;
    static const long ID_TEXTCTRL2;
    static const long ID_STATICTEXT5;
    static const long ID_TEXTCTRL3;
    static const long ID_STATICTEXT6;
    static const long ID_TEXTCTRL4;
    static const long ID_STATICTEXT10;
    static const long ID_TEXTCTRL6;
    static const long ID_NODESGRID;
    static const long ID_GRIDMEMORY;
    static const long ID_PANEL1;
    static const long ID_MENUOPEN;
    static const long ID_MENUSAVE;
    static const long ID_MENUSAVEAS;
    static const long ID_MENUCLOSE;
    static const long ID_MENUPRINT;
    static const long ID_MENUPREVIEW;
    static const long ID_MENUDEFAULTS;
    static const long ID_MENUQUIT;
    static const long ID_MENUDEVICEID;
    static const long ID_MENUDEVICEREAD;
    static const long ID_MENUDEVICEWRITE;
    static const long ID_MENUSETCLOCK;
    static const long ID_MENUREBOOT;
    static const long ID_MENUFIND;
    static const long ID_MENUCOMPAREFILE;
    static const long ID_MENUCOMPAREDEVICE;
    static const long ID_MENUNODEADD;
    static const long ID_MENUNODEEDIT;
    static const long ID_MENUNODEDELETE;
    static const long ID_MENUABOUT;
    static const long ID_MENUHELP;
    static const long ID_STATUSBAR;

private:
    // Construction (ConfigFrame.cpp).
    void CreateControls();
    void CreateMenus();
    void BindEvents();
    void FinishGrids();
    // The client size of a first start: no column scrolls, as far as the
    // screen allows.
    wxSize DefaultClientSize() const;
    // After the grids' columns were sized to a document's texts: widens the
    // window to show them, unless its size was restored or changed since.
    void GrowToContent();
    void FillSerialPorts();
    bool ProbeSerialPort(const wxString& name) const;

    // Display handlers (ConfigFrameDisplay.cpp).
    void OnRadioButtonIpSelect(wxCommandEvent& event);
    void OnRadioButtonSerialSelect(wxCommandEvent& event);
    void OnLogLevelChange(wxSpinEvent& event);
    // Refuses the characters typed beyond what the document's notes hold.
    void OnNotesText(wxCommandEvent& event);
    void ShowLevelName();
    void RefreshNodesGrid();
    void RefreshMemoryGrid();
    // Colours the write cells of bytes that more than one node writes.
    void MarkSharedWrites();
    // The IP texts a save or write takes: outside MAC edit mode the
    // document's own MAC; a field a failed read emptied and the user left
    // empty stands for the document's value.
    IpTexts IpTextsToTake() const;
    bool ControlsDifferFromDocument() const;
    // A field that a failed read emptied and the user has not filled since.
    bool LeftEmpty(const wxTextCtrl* text) const;
    bool LeftEmpty(const wxSpinCtrl* spin) const;

    // File commands (ConfigFrameFile.cpp).
    void OnOpen(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnCloseFile(wxCommandEvent& event);
    void OnDefaults(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // False when the user asked to save and the changes are still unsaved.
    bool PromptToSaveChanges();
    void SaveDocument();
    void SaveDocumentAs();
    // The name the user chose for Save as, with ".qst" added when it has
    // no suffix; empty when the user cancelled or declined to replace.
    static wxString WithSaveSuffix(const wxString& chosen);

    // Help, About and the window's geometry (ConfigFrameHelp.cpp).
    void OnAbout(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void RestoreGeometry();
    // Once shown, the window takes the restored outer size.
    void OnFirstShow(wxShowEvent& event);
    void SaveGeometry();

    // Device commands (ConfigFrameDevice.cpp).
    void OnGetId(wxCommandEvent& event);
    void OnRead(wxCommandEvent& event);
    void OnWrite(wxCommandEvent& event);
    void OnSetClock(wxCommandEvent& event);
    void OnReboot(wxCommandEvent& event);
    // Set clock and Reboot: run, then report in the status bar or a box.
    void SendAcknowledgedCommand(const AcknowledgedCommand& command);
    // The failure's status text, and its message with the device's text in a box.
    void ReportDeviceFailure(const CommandReport& report, const wxString& error);
    // The Cancel button and Escape: ask the running device command to stop.
    void OnCancelDeviceWork(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void RequestDeviceCancel();
    // The close box or Quit while a device command runs: asks it to stop
    // and closes the window once it has; true when one was running.
    bool CloseDuringDeviceWork();
    bool TryBefore(wxEvent& event) override;
    // A device command runs while one lives: the window takes no input but
    // Cancel, the link reports its steps in the status bar (DeviceWork is
    // defined in ConfigFrameDevice.cpp).
    class DeviceWork;
    friend class DeviceWork;

    // Node commands (ConfigFrameNode.cpp).
    void OnNodeAdd(wxCommandEvent& event);
    void OnNodeEdit(wxCommandEvent& event);
    void OnNodeDelete(wxCommandEvent& event);
    void OnNodesGridCellRightClick(wxGridEvent& event);
    void OnNodesGridCellLeftDClick(wxGridEvent& event);

    // Printing (ConfigFramePrint.cpp) and discovery (ConfigFrameFind.cpp).
    void OnPrint(wxCommandEvent& event);
    void OnPrintPreview(wxCommandEvent& event);
    void OnFind(wxCommandEvent& event);

    // Comparison (ConfigFrameCompare.cpp, and the device in
    // ConfigFrameDevice.cpp).
    void OnCompareWithFile(wxCommandEvent& event);
    void OnCompareWithDevice(wxCommandEvent& event);
    void ShowDifferences(const wxString& other, const std::vector<ConfigDifference>& differences);
    // Shows, as the pointer moves over the memory grid, which nodes write
    // a byte that more than one writes.
    void OnMemoryGridMotion(wxMouseEvent& event);

    std::unique_ptr<ConfigData> m_config;
    std::unique_ptr<wxFileConfig> m_geometryStore;
    wxString m_geometryFile;
    bool m_macEditMode = false;
    bool m_fieldsCleared = false;  // the document's controls are empty, not the document
    // The notes as the control showed them when last filled from, or taken
    // into, the document; the control may normalise line ends.
    wxString m_notesShown;
    bool m_deviceBusy = false;     // a device command or the Find dialog is running
    DeviceWork* m_deviceWork = nullptr;  // the device command running, if any
    bool m_closeAfterDeviceWork = false; // the window was closed while one ran
    FileChooser m_chooseFile = ChooseFileWithSelector;
    DocumentLauncher m_launchDocument;

    // The client size the layout gave the window; wxDefaultSize once the
    // window was restored or sized by anyone else.
    wxSize m_layoutClientSize = wxDefaultSize;
    // The stored position and size, until the window has shown.
    std::optional<wxRect> m_restoredRect;
    int m_scrollBarWidth = 0;  // of a vertical scroll bar beside its content
    wxPanel* m_panel = nullptr;
    wxScrolledWindow* m_leftColumn = nullptr;  // the four boxes on the left
    wxRadioButton* m_radioIp = nullptr;
    wxTextCtrl* m_deviceIpAddress = nullptr;
    wxTextCtrl* m_deviceUdpPort = nullptr;
    wxRadioButton* m_radioSerial = nullptr;
    wxComboBox* m_serialPort = nullptr;
    wxChoice* m_serialBaud = nullptr;
    wxButton* m_buttonGetId = nullptr;
    wxButton* m_buttonRead = nullptr;
    wxButton* m_buttonWrite = nullptr;
    wxButton* m_buttonSetClock = nullptr;
    wxButton* m_buttonReboot = nullptr;
    wxButton* m_buttonCancel = nullptr;
    wxTextCtrl* m_deviceIdText = nullptr;
    wxTextCtrl* m_notesText = nullptr;
    wxCheckBox* m_writeProtect = nullptr;
    wxSpinCtrl* m_spinDataAge = nullptr;
    wxSpinCtrl* m_spinLogLevel = nullptr;
    wxTextCtrl* m_logLevelText = nullptr;
    wxSpinCtrl* m_spinLogAge = nullptr;
    wxTextCtrl* m_ipAddress = nullptr;
    wxTextCtrl* m_subnetMask = nullptr;
    wxTextCtrl* m_gateway = nullptr;
    wxTextCtrl* m_bootLoaderPort = nullptr;
    wxTextCtrl* m_macAddress = nullptr;
    wxGrid* m_nodesGrid = nullptr;
    wxGrid* m_memoryGrid = nullptr;
    // Per memory grid row, the nodes that write that byte when more than one
    // does (empty otherwise): the marked rows and their tooltips.
    std::vector<wxString> m_sharedWrites;
    wxStatusBar* m_statusBar = nullptr;

    wxDECLARE_EVENT_TABLE();
};
