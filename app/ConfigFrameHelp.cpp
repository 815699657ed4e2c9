// Help, About, the window's context menu and its geometry between runs.
#include "app/ConfigFrame.h"

#include "app/WindowGeometry.h"

#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace {

constexpr const char* kGeometryStoreName = "Quorastelline_Config";
constexpr const char* kManual = "Quorastelline_Manual.pdf";

bool LaunchWithDefaultApplication(const wxString& document)
{
    return wxLaunchDefaultApplication(document);
}

} // namespace

void ConfigFrame::RestoreGeometry()
{
    m_geometryStore = std::make_unique<wxFileConfig>(kGeometryStoreName, wxEmptyString, m_geometryFile, wxEmptyString,
                                                     wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE);
    const auto rect = RestoredWindowRect(ReadGeometry(*m_geometryStore), wxGetClientDisplayRect());
    if (!rect)
        return;
    // A window manager's frame is known only once the window shows. Given
    // the outer size before then, GTK lays the window out for that size and
    // shrinks it by the frame afterwards, allocating its scroll bars less
    // than they need on the way. So the window takes the size without the
    // frame now, and the exact outer size once it shows.
    const wxSize nonClient = GetSize() - GetClientSize();
    SetClientSize(rect->GetSize() - nonClient);
    Move(rect->GetPosition());
    m_restoredRect = *rect;
    Bind(wxEVT_SHOW, &ConfigFrame::OnFirstShow, this);
}

void ConfigFrame::OnFirstShow(wxShowEvent& event)
{
    event.Skip();
    if (!event.IsShown() || !m_restoredRect)
        return;
    CallAfter([this] {
        if (m_restoredRect)
            SetSize(*m_restoredRect);
        m_restoredRect.reset();
    });
}

void ConfigFrame::SaveGeometry()
{
    if (!m_geometryStore)
        return;
    WriteGeometry(*m_geometryStore, wxRect(GetPosition(), GetSize()));
    m_geometryStore.reset();  // writes the file
}

void ConfigFrame::OnHelp(wxCommandEvent&)
{
    wxBusyCursor busy;
    // The launcher only starts a viewer and cannot tell whether the file is
    // there, so a missing manual is caught here.
    const DocumentLauncher& launch = m_launchDocument ? m_launchDocument : LaunchWithDefaultApplication;
    if (wxFileExists(kManual) && launch(kManual))
        SetStatus(wxString::Format("Opened \"%s\" in default application", kManual));
    else
        SetStatus(wxString::Format("Failed to opened \"%s\" in default application", kManual));
}

wxString ConfigFrame::AboutText()
{
    wxString text;
    text << "Quorastelline Configuration Utility\n";
    text << "Version 1.02.17\n";
    text << "Compiled at " << __TIME__ << " on " << __DATE__ << "\n";
    text << wxVERSION_STRING << "-Linux" << "-Unicode build" << "\n";
    text << "\n";
    return text;
}

void ConfigFrame::OnAbout(wxCommandEvent&)
{
    wxMessageBox(AboutText(), wxString("About ") + kProgramCaption + "...", wxOK | wxICON_INFORMATION, nullptr);
}

void ConfigFrame::OnContextMenu(wxContextMenuEvent&)
{
    const auto menu = BuildContextMenu();
    PopupMenu(menu.get());
}
