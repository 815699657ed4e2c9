// Showing the document in the window, and taking the window's values back.
#include "app/ConfigFrame.h"

#include "config/ConfigCheck.h"

#include "config/ConfigData.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <utility>

namespace {

const char* const kLogLevelNames[] = {"none", "important", "normal", "detailed", "debugging!", "everything!!"};

enum MemoryColumn { MEMORY_READ = 0, MEMORY_WRITE = 1 };

// The write cell of a byte that two or more nodes write.
const wxColour kSharedWriteColour(255, 200, 200);

// Marks the bytes of one range as used by `nodeNumber`; bytes past the end
// of the shared memory are not shown.
void MarkRange(wxGrid& grid, int column, unsigned start, unsigned length, unsigned nodeNumber)
{
    const unsigned end = std::min<unsigned>(start + length, kSharedMemorySize);
    for (unsigned byte = start; byte < end; ++byte) {
        const wxString cell = grid.GetCellValue(int(byte), column);
        grid.SetCellValue(int(byte), column,
                          cell.empty() ? wxString::Format("Node %u", nodeNumber)
                                       : cell + wxString::Format(", %u", nodeNumber));
    }
}

} // namespace

void ConfigFrame::ShowError(const wxString& text)
{
    wxMessageBox(text, kProgramCaption, wxOK | wxICON_ERROR, nullptr);
}

bool ConfigFrame::AskYesNo(const wxString& text)
{
    return wxMessageBox(text, kProgramCaption, wxYES_NO | wxICON_INFORMATION, nullptr) == wxYES;
}

void ConfigFrame::SetStatus(const wxString& text)
{
    SetStatusText(text, 0);
}

void ConfigFrame::RefreshFromDocument()
{
    m_fieldsCleared = false;
    m_notesText->SetValue(m_config->GetNotes());
    m_notesShown = m_notesText->GetValue();

    m_writeProtect->SetValue(m_config->GetWriteProtect() != 0);
    m_spinDataAge->SetValue(m_config->GetDataAge());
    m_spinLogLevel->SetValue(m_config->GetSdLogLevel());
    ShowLevelName();
    m_spinLogAge->SetValue(m_config->GetSdLogAge());

    IpTexts ip;
    m_config->GetIpTexts(ip);
    m_ipAddress->SetValue(ip.ipAddress);
    m_subnetMask->SetValue(ip.subnetMask);
    m_gateway->SetValue(ip.gateway);
    m_macAddress->SetValue(ip.macAddress);
    m_bootLoaderPort->SetValue(ip.bootLoaderPort);

    RefreshNodesGrid();
    RefreshMemoryGrid();
    GrowToContent();
}

void ConfigFrame::RefreshNodesGrid()
{
    wxGridUpdateLocker noRepaint(m_nodesGrid);
    m_nodesGrid->ClearGrid();
    const unsigned count = std::min<unsigned>(m_config->GetNodeCount(), kMaxNodes);
    for (unsigned i = 0; i < count; ++i) {
        const int row = int(i);
        m_nodesGrid->SetCellValue(row, 0, m_config->GetProtocolName(i));
        // A Null node has no port to speak of.
        if (m_config->GetProtocol(i) != PROTOCOL_NULL)
            m_nodesGrid->SetCellValue(row, 1, m_config->GetPortText(i));
        m_nodesGrid->SetCellValue(row, 2, m_config->GetSlaveIdsText(i));
        m_nodesGrid->SetCellValue(row, 3, m_config->GetReadRangesText(i));
        m_nodesGrid->SetCellValue(row, 4, m_config->GetWriteRangesText(i));
    }
    m_nodesGrid->AutoSizeColumns(false);
}

void ConfigFrame::RefreshMemoryGrid()
{
    wxGridUpdateLocker noRepaint(m_memoryGrid);
    m_memoryGrid->ClearGrid();
    const unsigned count = std::min<unsigned>(m_config->GetNodeCount(), kMaxNodes);
    if (count == 0)
        return;
    for (unsigned node = 0; node < count; ++node) {
        SlaveRanges ranges;
        for (unsigned slot = 0; slot < kMaxSlaves && m_config->GetSlaveEntry(node, slot, ranges); ++slot) {
            MarkRange(*m_memoryGrid, MEMORY_READ, ranges.readStart, ranges.readLength, node + 1);
            MarkRange(*m_memoryGrid, MEMORY_WRITE, ranges.writeStart, ranges.writeLength, node + 1);
        }
    }
    MarkSharedWrites();
    m_memoryGrid->AutoSizeColumns(false);
}

void ConfigFrame::MarkSharedWrites()
{
    const auto writers = MemoryWriters(*m_config);
    m_sharedWrites.assign(kSharedMemorySize, wxString());
    for (unsigned b = 0; b < kSharedMemorySize; ++b) {
        const bool shared = writers[b].size() > 1;
        m_memoryGrid->SetCellBackgroundColour(int(b), MEMORY_WRITE,
                                              shared ? kSharedWriteColour : m_memoryGrid->GetDefaultCellBackgroundColour());
        if (!shared)
            continue;
        wxString nodes;
        for (size_t i = 0; i < writers[b].size(); ++i)
            nodes += wxString::Format(i == 0 ? "%u" : i + 1 == writers[b].size() ? " and %u" : ", %u", writers[b][i]);
        m_sharedWrites[b] = "Nodes " + nodes + (writers[b].size() == 2 ? " both" : " all") +
                            " write this byte: the last to write wins.";
    }
}

void ConfigFrame::OnMemoryGridMotion(wxMouseEvent& event)
{
    event.Skip();
    const wxPoint position = m_memoryGrid->CalcUnscrolledPosition(event.GetPosition());
    const int row = m_memoryGrid->YToRow(position.y);
    const wxString tip = row >= 0 && size_t(row) < m_sharedWrites.size() ? m_sharedWrites[size_t(row)] : wxString();
    wxWindow* window = m_memoryGrid->GetGridWindow();
    if (window->GetToolTipText() != tip)
        window->SetToolTip(tip);
}

void ConfigFrame::ClearFields(int flags)
{
    if (flags & CLEAR_DEVICE_ID)
        m_deviceIdText->Clear();
    if (flags & CLEAR_DOCUMENT) {
        m_notesText->Clear();
        m_notesShown.clear();
        m_writeProtect->SetValue(false);
        for (wxSpinCtrl* spin : {m_spinDataAge, m_spinLogLevel, m_spinLogAge})
            spin->SetValue(wxString());
        for (wxTextCtrl* text : {m_ipAddress, m_subnetMask, m_gateway, m_macAddress, m_bootLoaderPort})
            text->Clear();
        m_nodesGrid->ClearGrid();
        m_nodesGrid->AutoSizeColumns(false);
        m_fieldsCleared = true;
    }
}

void ConfigFrame::RestoreClearedFields()
{
    if (!m_fieldsCleared)
        return;
    m_fieldsCleared = false;
    // An empty field after a failed read is the read's doing, not the user's.
    if (m_notesText->IsEmpty()) {
        m_notesText->ChangeValue(m_config->GetNotes());
        m_notesShown = m_notesText->GetValue();
    }
    // The cleared box is unchecked: checked means the user checked it.
    if (!m_writeProtect->GetValue())
        m_writeProtect->SetValue(m_config->GetWriteProtect() != 0);
    const auto refill = [](wxSpinCtrl* spin, int value) {
        if (spin->GetTextValue().empty())
            spin->SetValue(value);
    };
    refill(m_spinDataAge, m_config->GetDataAge());
    refill(m_spinLogLevel, m_config->GetSdLogLevel());
    ShowLevelName();
    refill(m_spinLogAge, m_config->GetSdLogAge());

    IpTexts ip;
    m_config->GetIpTexts(ip);
    const std::pair<wxTextCtrl*, const wxString*> texts[] = {{m_ipAddress, &ip.ipAddress},
                                                             {m_subnetMask, &ip.subnetMask},
                                                             {m_gateway, &ip.gateway},
                                                             {m_macAddress, &ip.macAddress},
                                                             {m_bootLoaderPort, &ip.bootLoaderPort}};
    for (const auto& [text, value] : texts)
        if (text->IsEmpty())
            text->ChangeValue(*value);
    RefreshNodesGrid();
}

bool ConfigFrame::LeftEmpty(const wxTextCtrl* text) const
{
    return m_fieldsCleared && text->IsEmpty();
}

bool ConfigFrame::LeftEmpty(const wxSpinCtrl* spin) const
{
    return m_fieldsCleared && spin->GetTextValue().empty();
}

void ConfigFrame::TakeNotes()
{
    const wxString notes = m_notesText->GetValue();
    if (notes == m_notesShown || LeftEmpty(m_notesText))
        return;
    m_config->SetNotes(notes);
    m_notesShown = notes;
}

IpTexts ConfigFrame::IpTextsToTake() const
{
    IpTexts held;
    m_config->GetIpTexts(held);
    const auto take = [this](const wxTextCtrl* text, const wxString& documentValue) {
        return LeftEmpty(text) ? documentValue : text->GetValue();
    };
    IpTexts ip;
    ip.ipAddress = take(m_ipAddress, held.ipAddress);
    ip.subnetMask = take(m_subnetMask, held.subnetMask);
    ip.gateway = take(m_gateway, held.gateway);
    ip.bootLoaderPort = take(m_bootLoaderPort, held.bootLoaderPort);
    // Outside MAC edit mode the MAC field is not the user's to change.
    ip.macAddress = m_macEditMode ? take(m_macAddress, held.macAddress) : held.macAddress;
    return ip;
}

bool ConfigFrame::ControlsDifferFromDocument() const
{
    if (m_notesText->GetValue() != m_notesShown && !LeftEmpty(m_notesText))
        return true;
    // A failed read leaves the box unchecked; only a check is the user's.
    const bool checked = m_writeProtect->GetValue();
    if (checked != (m_config->GetWriteProtect() != 0) && (checked || !m_fieldsCleared))
        return true;
    const std::pair<const wxSpinCtrl*, int> spins[] = {{m_spinDataAge, m_config->GetDataAge()},
                                                       {m_spinLogLevel, m_config->GetSdLogLevel()},
                                                       {m_spinLogAge, m_config->GetSdLogAge()}};
    for (const auto& [spin, value] : spins)
        if (!LeftEmpty(spin) && spin->GetValue() != value)
            return true;
    const IpTexts ip = IpTextsToTake();
    return !m_config->IpSettingsMatch(ip.ipAddress, ip.subnetMask, ip.gateway, ip.macAddress, ip.bootLoaderPort);
}

bool ConfigFrame::HasUnsavedChanges() const
{
    return m_config->IsModified() || ControlsDifferFromDocument();
}

void ConfigFrame::OnNotesText(wxCommandEvent& event)
{
    event.Skip();
    constexpr long kMax = long(kNotesSize - 1);
    const wxString text = m_notesText->GetValue();
    const long excess = long(text.length()) - kMax;
    if (excess <= 0)
        return;
    // The text just typed ends at the insertion point: its end is what
    // goes, not the notes after it.
    const long point = m_notesText->GetInsertionPoint();
    const long cut = std::max(0L, point - excess);
    m_notesText->ChangeValue((text.Left(size_t(cut)) + text.Mid(size_t(cut + excess))).Left(size_t(kMax)));
    m_notesText->SetInsertionPoint(cut);
    wxBell();
}

void ConfigFrame::OnLogLevelChange(wxSpinEvent&)
{
    ShowLevelName();
}

void ConfigFrame::ShowLevelName()
{
    const int level = m_spinLogLevel->GetValue();
    if (level >= 0 && level < int(std::size(kLogLevelNames)))
        m_logLevelText->SetValue(kLogLevelNames[level]);
}

void ConfigFrame::TakeGeneralSettings()
{
    TakeGeneralSettingsInto(*m_config);
}

void ConfigFrame::TakeGeneralSettingsInto(ConfigData& target) const
{
    // Any non-zero byte means write protect: an unchanged box keeps it. A
    // failed read leaves the box unchecked; only a check is the user's.
    const bool checked = m_writeProtect->GetValue();
    if (checked != (target.GetWriteProtect() != 0) && !(m_fieldsCleared && !checked))
        target.SetWriteProtect(checked ? 1 : 0);
    // The spin ranges keep every value within a byte.
    if (!LeftEmpty(m_spinDataAge))
        target.SetDataAge(uint8_t(m_spinDataAge->GetValue()));
    if (!LeftEmpty(m_spinLogLevel))
        target.SetSdLogLevel(uint8_t(m_spinLogLevel->GetValue()));
    if (!LeftEmpty(m_spinLogAge))
        target.SetSdLogAge(uint8_t(m_spinLogAge->GetValue()));
}

bool ConfigFrame::ApplyIpSettings()
{
    const IpTexts ip = IpTextsToTake();
    // Unchanged settings are not stored again, which would rewrite the
    // block's reserved bytes.
    if (m_config->IpSettingsMatch(ip.ipAddress, ip.subnetMask, ip.gateway, ip.macAddress, ip.bootLoaderPort))
        return true;
    if (!m_config->SetIpSettings(ip.ipAddress, ip.subnetMask, ip.gateway, ip.macAddress, ip.bootLoaderPort)) {
        ShowError("The Ethernet configuration looks invalid");
        return false;
    }
    return true;
}

void ConfigFrame::SetMacEditMode(bool on)
{
    m_macEditMode = on;
    m_macAddress->Enable(on);
}

void ConfigFrame::UpdateTitle()
{
    wxString title = kProductTitle;
    wxString fileTitle;
    if (m_config->GetFileTitle(fileTitle))
        title += " - " + fileTitle;
    SetTitle(title);
}

void ConfigFrame::OnRadioButtonIpSelect(wxCommandEvent&)
{
    m_deviceIpAddress->Enable();
    m_deviceUdpPort->Enable();
    m_serialPort->Disable();
    m_serialBaud->Disable();
}

void ConfigFrame::OnRadioButtonSerialSelect(wxCommandEvent&)
{
    m_deviceIpAddress->Disable();
    m_deviceUdpPort->Disable();
    m_serialPort->Enable();
    m_serialBaud->Enable();
}

ConnectionParameters ConfigFrame::GetConnectionParameters() const
{
    ConnectionParameters link;
    link.useTcp = m_radioIp->GetValue();
    if (link.useTcp) {
        link.target = m_deviceIpAddress->GetValue();
        link.number = wxAtoi(m_deviceUdpPort->GetValue());
    } else {
        link.target = m_serialPort->GetValue();
        link.number = wxAtoi(m_serialBaud->GetStringSelection());
    }
    return link;
}
