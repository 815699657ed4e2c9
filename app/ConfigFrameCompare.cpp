// Comparing the window's configuration with a file or a device.
#include "app/CompareDialog.h"
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "device/DeviceCommands.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

namespace {

constexpr const char* kCompareWildcard = "Config files (*.qst)|*.qst|All files (*)|*";

} // namespace

bool ConfigFrame::ShownConfiguration(ConfigData& shown) const
{
    shown.CopyContentFrom(*m_config);
    if (m_notesText->GetValue() != m_notesShown && !LeftEmpty(m_notesText))
        shown.SetNotes(m_notesText->GetValue());
    TakeGeneralSettingsInto(shown);
    const IpTexts ip = IpTextsToTake();
    if (shown.IpSettingsMatch(ip.ipAddress, ip.subnetMask, ip.gateway, ip.macAddress, ip.bootLoaderPort))
        return true;
    if (shown.SetIpSettings(ip.ipAddress, ip.subnetMask, ip.gateway, ip.macAddress, ip.bootLoaderPort))
        return true;
    ShowError("The Ethernet configuration looks invalid");
    return false;
}

void ConfigFrame::ShowDifferences(const wxString& other, const std::vector<ConfigDifference>& differences)
{
    if (differences.empty()) {
        SetStatus("No differences with " + other);
        wxMessageBox("No differences", kProgramCaption, wxOK | wxICON_INFORMATION, nullptr);
        return;
    }
    SetStatus(wxString::Format("%zu differences with %s", differences.size(), other));
    CompareDialog dialog(this, other, differences);
    dialog.ShowModal();
}

void ConfigFrame::OnCompareWithFile(wxCommandEvent&)
{
    ConfigData shown;
    if (!ShownConfiguration(shown))
        return;
    FileChoice choice;
    choice.message = "Choose a file to compare with";
    choice.directory = m_config->GetDirectory();
    choice.wildcard = kCompareWildcard;
    choice.flags = wxFD_OPEN | wxFD_FILE_MUST_EXIST;
    const wxString fileName = m_chooseFile(choice, this);
    if (fileName.empty())
        return;
    ConfigData other;
    wxString error;
    if (!other.Load(fileName, error)) {
        ShowError("Failed to read the configuration from the file.\r\n\r\n" + error);
        return;
    }
    ShowDifferences(wxFileName(fileName).GetFullName(), CompareConfigurations(shown, other));
}
