// The File menu: open, save, save as, close, defaults and quit, and the
// guard against losing changes when the window closes.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

namespace {

constexpr const char* kOpenWildcard = "Quorastelline files (*.qst)|*.qst;*.QST|All files|*.*";
constexpr const char* kSaveWildcard = "Quorastelline files (*.qst)|*.qst|All files|*.*";

constexpr const char* kReadFromFile = "Configuration read from file";
constexpr const char* kReadFromFileFailed = "Failed to read configuration from file";

} // namespace

// The file selector does not add the default suffix to a name typed
// without one, and asked about replacing only the name as typed.
wxString ConfigFrame::WithSaveSuffix(const wxString& chosen)
{
    if (chosen.empty())
        return chosen;
    wxFileName name(chosen);
    if (!name.GetExt().empty())
        return chosen;
    name.SetExt("qst");
    const wxString fileName = name.GetFullPath();
    if (wxFileName::Exists(fileName) &&
        !AskYesNo(wxString::Format("The file \"%s\" already exists.\n\nDo you want to replace it?", fileName)))
        return wxString();
    return fileName;
}

bool ConfigFrame::PromptToSaveChanges()
{
    if (!HasUnsavedChanges())
        return true;
    wxString fileName;
    const wxString question = m_config->GetFileName(fileName)
                                  ? wxString::Format("Do you want to save changes to \"%s\"?", fileName)
                                  : wxString("Do you want to save changes to the new configuration?");
    if (!AskYesNo(question))
        return true;
    SaveDocument();
    // The user asked for the changes to be kept: when that did not happen
    // (IP settings refused, no file chosen) they must not be thrown away.
    return !HasUnsavedChanges();
}

void ConfigFrame::OnOpen(wxCommandEvent&)
{
    if (!PromptToSaveChanges())
        return;

    FileChoice choice;
    choice.message = "Choose a file to open";
    choice.directory = m_config->GetDirectory();
    choice.wildcard = kOpenWildcard;
    choice.flags = wxFD_OPEN | wxFD_FILE_MUST_EXIST;
    const wxString fileName = m_chooseFile(choice, this);
    if (!fileName.empty()) {
        wxString error;
        if (m_config->Load(fileName, error)) {
            RefreshFromDocument();
            SetStatus(kReadFromFile);
        } else {
            SetStatus(kReadFromFileFailed);
            ShowError("Failed to read the configuration from the file.\r\n\r\n" + error);
        }
    }
    UpdateTitle();
}

bool ConfigFrame::OpenFile(const wxString& fileName)
{
    wxString error;
    if (!m_config->Load(fileName, error)) {
        SetStatus(kReadFromFileFailed);
        return false;
    }
    RefreshFromDocument();
    SetStatus(kReadFromFile);
    return true;
}

void ConfigFrame::OnSave(wxCommandEvent&)
{
    SaveDocument();
}

void ConfigFrame::SaveDocument()
{
    wxString fileName;
    if (m_config->GetFileName(fileName)) {
        RestoreClearedFields();
        TakeNotes();
        TakeGeneralSettings();
        if (!ApplyIpSettings())
            return;
        if (m_config->Save(fileName))
            SetStatus("Configuration saved to file");
        else
            SaveDocumentAs();  // lets the user pick a place that can be written
    } else {
        SaveDocumentAs();
    }
    UpdateTitle();
}

void ConfigFrame::OnSaveAs(wxCommandEvent&)
{
    SaveDocumentAs();
}

void ConfigFrame::SaveDocumentAs()
{
    FileChoice choice;
    choice.message = "Choose a file to save as";
    choice.directory = m_config->GetDirectory();
    choice.defaultSuffix = "qst";
    choice.wildcard = kSaveWildcard;
    choice.flags = wxFD_SAVE | wxFD_OVERWRITE_PROMPT;
    const wxString fileName = WithSaveSuffix(m_chooseFile(choice, this));
    if (!fileName.empty()) {
        // The notes typed in are saved here as by Save, or a new document's
        // first save would silently leave them out.
        RestoreClearedFields();
        TakeNotes();
        TakeGeneralSettings();
        if (!ApplyIpSettings())
            return;
        if (m_config->Save(fileName)) {
            SetStatus("Configuration saved to file");
        } else {
            SetStatus("Failed to save the configuration to file");
            ShowError("Failed to save configuration to the file.");
        }
    }
    UpdateTitle();
}

void ConfigFrame::OnCloseFile(wxCommandEvent&)
{
    PromptToSaveChanges();
    m_config->DetachFile();
    UpdateTitle();
}

void ConfigFrame::OnDefaults(wxCommandEvent&)
{
    if (!PromptToSaveChanges())
        return;
    m_config->SetDefaults();
    m_config->SetIpDefaults();
    m_config->SetNotes("Default config.");
    RefreshFromDocument();
    SetStatus("Configuration set to defaults");
}

void ConfigFrame::OnQuit(wxCommandEvent&)
{
    Close();
}

void ConfigFrame::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto() && CloseDuringDeviceWork()) {
        event.Veto();
        return;
    }
    if (event.CanVeto() && !PromptToSaveChanges()) {
        event.Veto();
        return;
    }
    Destroy();
}
