#include "editor/EditNodeDialog.h"

#include "app/ProgramCaption.h"
#include "editor/EditPanelFactory.h"
#include "editor/EditPortPanel.h"
#include "editor/EditProtocolPanel.h"
#include "editor/EditSlaves.h"
#include "editor/EditorIds.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <array>

using namespace EditorIds;

namespace {

struct PortItem {
    const char* choice;
    const char* tab;
};

// By port index; the port type code is the index + 1.
constexpr std::array<PortItem, kPortTypeCount> kPorts{{
    {"TCP Server", "TCP Server"},
    {"TCP Client", "TCP Client"},
    {"UDP Server", "UDP Server"},
    {"UDP Client", "UDP Client"},
    {"Async Serial", "Serial Async"},
    {"Sync Serial", "Serial Sync"},
    {"Modem", "Modem"},
    {"SPI", "SPI"},
}};

constexpr uint8_t PortBit(PortType type) { return uint8_t(1u << (type - 1)); }
constexpr uint8_t kAllPorts = 0xFF;
constexpr uint8_t kNoSyncNoSpi = kAllPorts & ~PortBit(PORT_SYNC_SERIAL) & ~PortBit(PORT_SPI);

// The ports the device runs each protocol on, by protocol index.
constexpr std::array<uint8_t, kProtocolCount> kSupportedPorts{{
    kNoSyncNoSpi,                       // Control
    PortBit(PORT_SPI),                  // IO Master
    kNoSyncNoSpi,                       // UCE Master
    kNoSyncNoSpi,                       // UCE Slave
    kAllPorts & ~PortBit(PORT_SPI),     // S2 Master
    kAllPorts & ~PortBit(PORT_SPI),     // S2 Slave
    kNoSyncNoSpi,                       // Genisys Master
    kNoSyncNoSpi,                       // Genisys Slave
    kAllPorts,                          // Host Master
    kAllPorts,                          // Host Slave
    kAllPorts,                          // NTP Client
    kAllPorts,                          // Analogue/Audio Master
    kAllPorts,                          // Null
}};

constexpr uint8_t ProtocolCodeAt(unsigned index) { return uint8_t(index + 1); }
constexpr uint8_t PortTypeAt(unsigned index) { return uint8_t(index + 1); }

const wxSize kClientSize(461, 482);
const wxSize kMinSize(455, 460);
const char* const kSlavesTab = "Slaves";

// Width the tab strip needs for the widest protocol and port tabs and the
// slaves tab: their labels, and per tab and at the strip's start what the
// toolkit draws around a label (about two text lines' height with GTK's
// themes), so that no tab scrolls out of sight.
int WidestTabStrip(const wxWindow* notebook)
{
    int protocol = 0;
    for (unsigned index = 0; index < kProtocolCount; ++index)
        protocol = std::max(protocol, notebook->GetTextExtent(ProtocolNameText(ProtocolCodeAt(index))).GetWidth());
    int port = 0;
    for (const auto& item : kPorts)
        port = std::max(port, notebook->GetTextExtent(item.tab).GetWidth());
    const int aroundLabel = 2 * notebook->GetCharHeight();
    return protocol + port + notebook->GetTextExtent(kSlavesTab).GetWidth() + 4 * aroundLabel;
}

// Protocols whose nodes have no slaves.
bool KeepsNoSlaves(unsigned protocolIndex)
{
    const uint8_t code = ProtocolCodeAt(protocolIndex);
    return code == PROTOCOL_CONTROL || code == PROTOCOL_NTP_CLIENT;
}

// Codes outside the tables fall back to the first item.
int ProtocolIndexOf(uint8_t code)
{
    return code >= 2 && code <= kProtocolCount ? code - 1 : 0;
}

int PortIndexOf(uint8_t type)
{
    return type >= 2 && type <= kPortTypeCount ? type - 1 : 0;
}

} // namespace

EditNodeDialog::EditNodeDialog(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxDialog(parent, id, "Edit Node", pos, size, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    auto* panel = new wxPanel(this, ID_PANEL1.id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, ID_PANEL1.name);

    auto* choices = new wxFlexGridSizer(2, 2, 2, 8);
    const ControlId& protocolLabel = StaticTextId(1);
    const ControlId& portLabel = StaticTextId(2);
    choices->Add(new wxStaticText(panel, protocolLabel.id, "Protocol", wxDefaultPosition, wxDefaultSize, 0,
                                  protocolLabel.name));
    choices->Add(new wxStaticText(panel, portLabel.id, "Port", wxDefaultPosition, wxDefaultSize, 0, portLabel.name));
    m_protocolChoice = new wxChoice(panel, ID_CHOICEPROTOCOL.id, wxDefaultPosition, wxDefaultSize, {}, 0,
                                    wxDefaultValidator, ID_CHOICEPROTOCOL.name);
    m_portChoice = new wxChoice(panel, ID_CHOICEPORT.id, wxDefaultPosition, wxDefaultSize, {}, 0, wxDefaultValidator,
                                ID_CHOICEPORT.name);
    choices->Add(m_protocolChoice, 1, wxEXPAND);
    choices->Add(m_portChoice, 1, wxEXPAND);
    choices->AddGrowableCol(0);
    choices->AddGrowableCol(1);

    m_warningText = new wxStaticText(panel, ID_STATICTEXTWARNING.id, wxString(), wxDefaultPosition, wxDefaultSize, 0,
                                     ID_STATICTEXTWARNING.name);
    m_warningText->SetForegroundColour(*wxRED);
    // The line keeps its height while empty, so the pages do not jump.
    m_warningText->SetMinSize(wxSize(-1, m_warningText->GetCharHeight()));
    m_notebook = new wxNotebook(panel, ID_NOTEBOOK.id, wxDefaultPosition, wxDefaultSize, 0, ID_NOTEBOOK.name);

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(choices, 0, wxALL | wxEXPAND, 5);
    left->Add(m_warningText, 0, wxLEFT | wxRIGHT | wxEXPAND, 5);
    left->Add(m_notebook, 1, wxALL | wxEXPAND, 5);
    m_notebook->SetMinSize(wxSize(WidestTabStrip(m_notebook), -1));

    m_okButton = new wxButton(panel, ID_BUTTONOK.id, "OK", wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                              ID_BUTTONOK.name);
    m_cancelButton = new wxButton(panel, ID_BUTTONCANCEL.id, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                                  wxDefaultValidator, ID_BUTTONCANCEL.name);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(m_okButton, 0, wxALL | wxEXPAND, 5);
    right->Add(m_cancelButton, 0, wxALL | wxEXPAND, 5);

    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(left, 1, wxEXPAND);
    columns->Add(right, 0, wxTOP, 20);
    panel->SetSizer(columns);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(panel, 1, wxEXPAND);
    SetSizer(top);
    // Wider than the usual size where the tabs need it.
    const wxSize least = top->GetMinSize();
    SetClientSize(std::max(kClientSize.x, least.x), kClientSize.y);
    SetMinSize(wxSize(std::max(kMinSize.x, ClientToWindowSize(least).x), kMinSize.y));

    // The Escape key and the close box press Cancel.
    SetEscapeId(ID_BUTTONCANCEL.id);

    Bind(wxEVT_CHOICE, &EditNodeDialog::OnChoiceProtocolSelect, this, ID_CHOICEPROTOCOL.id);
    Bind(wxEVT_CHOICE, &EditNodeDialog::OnChoicePortSelect, this, ID_CHOICEPORT.id);
    Bind(wxEVT_BUTTON, &EditNodeDialog::OnButtonOKClick, this, ID_BUTTONOK.id);
    Bind(wxEVT_BUTTON, &EditNodeDialog::OnButtonCancelClick, this, ID_BUTTONCANCEL.id);
}

EditNodeDialog::~EditNodeDialog() = default;

bool EditNodeDialog::Edit(NodeEntry& entry)
{
    m_entry = &entry;
    m_protocolChoice->Clear();
    for (unsigned index = 0; index < kProtocolCount; ++index)
        m_protocolChoice->Append(ProtocolNameText(ProtocolCodeAt(index)));
    m_portChoice->Clear();
    for (const PortItem& port : kPorts)
        m_portChoice->Append(port.choice);
    m_protocolChoice->SetSelection(ProtocolIndexOf(entry.protocol));
    m_portChoice->SetSelection(PortIndexOf(entry.PortType()));

    wxCommandEvent blank;
    OnChoiceProtocolSelect(blank);
    OnChoicePortSelect(blank);

    m_slavesPanel = new EditSlaves(m_notebook);
    if (m_notebook->AddPage(m_slavesPanel, kSlavesTab, false)) {
        m_slavesPanel->Load(entry);
    } else {
        m_slavesPanel->Destroy();
        m_slavesPanel = nullptr;
    }
    m_notebook->SetSelection(0);

    SetReturnCode(kResultCancel);
    const int result = ShowModal();

    // The protocol goes first: the client port pages read it while storing.
    if (m_protocolPanel)
        m_protocolPanel->Store(entry);
    if (m_portPanel)
        m_portPanel->Store(entry);
    if (KeepsNoSlaves(m_protocolIndex))
        entry.slaveCount = 0;
    else if (m_slavesPanel)
        m_slavesPanel->Store(entry);

    m_notebook->DeleteAllPages();
    m_protocolPanel = nullptr;
    m_portPanel = nullptr;
    m_slavesPanel = nullptr;
    m_entry = nullptr;
    return result == kResultOk;
}

bool EditNodeDialog::IsSupportedCombination(unsigned protocolIndex, unsigned portIndex)
{
    return protocolIndex < kSupportedPorts.size() && portIndex < kPorts.size() &&
           (kSupportedPorts[protocolIndex] & (1u << portIndex)) != 0;
}

bool EditNodeDialog::IsSupportedCombination() const
{
    return IsSupportedCombination(m_protocolIndex, m_portIndex);
}

void EditNodeDialog::OnChoiceProtocolSelect(wxCommandEvent&)
{
    const int selection = m_protocolChoice->GetSelection();
    if (selection < 0 || unsigned(selection) >= kProtocolCount || !m_entry)
        return;
    const uint8_t code = ProtocolCodeAt(unsigned(selection));
    EditProtocolPanel* panel = CreateProtocolPanel(code, m_notebook);
    if (!panel)
        return;
    if (!m_notebook->InsertPage(0, panel, ProtocolNameText(code), false)) {
        panel->Destroy();
        return;
    }
    m_protocolPanel = panel;
    m_protocolIndex = uint8_t(selection);
    // A fresh page shows the entry's values, or its defaults for another
    // protocol: edits in the page it replaces are dropped.
    panel->Load(*m_entry);
    if (m_portPanel)
        m_portPanel->SetNodeProtocol(code);
    if (m_notebook->GetPageCount() > 3)
        m_notebook->DeletePage(1);
    m_notebook->SetSelection(0);
    UpdateWarning();
}

void EditNodeDialog::OnChoicePortSelect(wxCommandEvent&)
{
    const int selection = m_portChoice->GetSelection();
    if (selection < 0 || unsigned(selection) >= kPorts.size() || !m_entry)
        return;
    EditPortPanel* panel = CreatePortPanel(PortTypeAt(unsigned(selection)), m_notebook);
    if (!panel)
        return;
    if (!m_notebook->InsertPage(1, panel, kPorts[size_t(selection)].tab, false)) {
        panel->Destroy();
        return;
    }
    m_portPanel = panel;
    m_portIndex = uint8_t(selection);
    panel->Load(*m_entry);
    panel->SetNodeProtocol(ProtocolCodeAt(m_protocolIndex));
    if (m_notebook->GetPageCount() > 3)
        m_notebook->DeletePage(2);
    m_notebook->SetSelection(1);
    UpdateWarning();
}

void EditNodeDialog::OnButtonOKClick(wxCommandEvent&)
{
    if (!IsSupportedCombination()) {
        wxMessageBox("Sorry, this protocol/port combination is not supported.", kProgramCaption, wxOK | wxCENTRE,
                     this);
        return;
    }
    wxString problem;
    if (!KeepsNoSlaves(m_protocolIndex) && m_slavesPanel && !m_slavesPanel->CheckIds(problem)) {
        m_notebook->SetSelection(2);
        wxMessageBox(problem, kProgramCaption, wxOK | wxCENTRE | wxICON_WARNING, this);
        return;
    }
    Finish(kResultOk);
}

void EditNodeDialog::OnButtonCancelClick(wxCommandEvent&)
{
    Finish(kResultCancel);
}

void EditNodeDialog::UpdateWarning()
{
    m_warningText->SetLabel(IsSupportedCombination() ? wxString()
                                                     : wxString("This protocol/port combination is not supported"));
    m_warningText->GetParent()->Layout();
}

void EditNodeDialog::Finish(int result)
{
    SetReturnCode(result);
    EndDialog(result);
}

NodeEditor MakeNodeEditor(wxWindow* parent)
{
    return [parent](NodeEntry& scratch) {
        EditNodeDialog dialog(parent);
        return dialog.Edit(scratch);
    };
}
