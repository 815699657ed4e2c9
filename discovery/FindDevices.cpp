#include "discovery/FindDevices.h"

#include "discovery/DeviceScan.h"

#include <wx/button.h>
#include <wx/intl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

const long FindDevices::ID_PANEL1 = wxNewId();
const long FindDevices::ID_STATICTEXT1 = wxNewId();
const long FindDevices::ID_BUTTONRUN = wxNewId();
const long FindDevices::ID_TEXTCTRLSUBNET = wxNewId();
const long FindDevices::ID_BUTTONCANCEL = wxNewId();
const long FindDevices::ID_STATICTEXT2 = wxNewId();
const long FindDevices::ID_TEXTCTRLLOG = wxNewId();

FindDevices::FindDevices(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, _("Find/List Quorastelline Devices"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_port(kDeviceScanPort)
{
    auto* dialogSizer = new wxFlexGridSizer(1, 1, 0, 0);
    dialogSizer->AddGrowableCol(0);
    dialogSizer->AddGrowableRow(0);
    auto* panel = new wxPanel(this, wxWindowID(ID_PANEL1), wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
                              "ID_PANEL1");
    dialogSizer->Add(panel, 1, wxEXPAND, 0);

    auto* panelSizer = new wxFlexGridSizer(3, 1, 0, 0);
    panelSizer->AddGrowableCol(0);
    panelSizer->AddGrowableRow(2);

    auto* subnetSizer = new wxFlexGridSizer(2, 2, 0, 0);
    subnetSizer->AddGrowableCol(0);
    subnetSizer->Add(new wxStaticText(panel, wxWindowID(ID_STATICTEXT1), _("Enter subnet range ie \"192.168.1.\""),
                                      wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT1"),
                     0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    m_scanButton = new wxButton(panel, wxWindowID(ID_BUTTONRUN), _("Scan"), wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, "ID_BUTTONRUN");
    subnetSizer->Add(m_scanButton, 0, wxALL | wxEXPAND, 5);
    m_subnet = new wxTextCtrl(panel, wxWindowID(ID_TEXTCTRLSUBNET), _("192.168.1."), wxDefaultPosition,
                              wxDefaultSize, 0, wxDefaultValidator, "ID_TEXTCTRLSUBNET");
    subnetSizer->Add(m_subnet, 1, wxALL | wxEXPAND, 5);
    m_cancelButton = new wxButton(panel, wxWindowID(ID_BUTTONCANCEL), _("Cancel"), wxDefaultPosition,
                                  wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTONCANCEL");
    subnetSizer->Add(m_cancelButton, 0, wxALL | wxEXPAND, 5);
    panelSizer->Add(subnetSizer, 1, wxEXPAND, 0);

    panelSizer->Add(new wxStaticText(panel, wxWindowID(ID_STATICTEXT2), _("Log"), wxDefaultPosition, wxDefaultSize,
                                     0, "ID_STATICTEXT2"),
                    0, wxLEFT | wxRIGHT | wxTOP, 5);
    m_log = new wxTextCtrl(panel, wxWindowID(ID_TEXTCTRLLOG), wxEmptyString, wxDefaultPosition, wxSize(420, 240),
                           wxTE_MULTILINE | wxTE_READONLY, wxDefaultValidator, "ID_TEXTCTRLLOG");
    panelSizer->Add(m_log, 1, wxALL | wxEXPAND, 5);

    panel->SetSizer(panelSizer);
    panelSizer->SetSizeHints(panel);
    SetSizer(dialogSizer);
    dialogSizer->SetSizeHints(this);

    // Escape and the title bar's close button act as Cancel.
    SetEscapeId(wxWindowID(ID_BUTTONCANCEL));
    Bind(wxEVT_BUTTON, &FindDevices::OnScan, this, wxWindowID(ID_BUTTONRUN));
    Bind(wxEVT_BUTTON, &FindDevices::OnCancel, this, wxWindowID(ID_BUTTONCANCEL));
    Bind(wxEVT_CLOSE_WINDOW, &FindDevices::OnCloseWindow, this);
}

void FindDevices::AppendLog(const wxString& text)
{
    m_log->AppendText(text);
}

void FindDevices::OnScan(wxCommandEvent&)
{
    // The scan's yields dispatch events: a second press must not start a
    // scan inside this one.
    if (m_scanning)
        return;
    Scan();
}

void FindDevices::Scan()
{
    switch (ParseSubnet(m_subnet->GetValue(), m_octets)) {
    case SubnetCheck::NotThreeOctets:
        AppendLog(_("IP range does not look valid.\nOnly scanning of 255.255.255.0 (\\24) subnets is supported\n"));
        return;
    case SubnetCheck::OctetOutOfRange:
        AppendLog(_("IP range does not look valid (octet out of range 0-255).\n"));
        return;
    case SubnetCheck::Valid:
        break;
    }

    AppendLog(wxString::Format(_("Scanning started, %d.%d.%d.1-254 ...\n"), m_octets[0], m_octets[1], m_octets[2]));
    m_scanning = true;
    m_scanButton->Disable();
    m_cancelButton->Disable();
    wxSafeYield();

    DeviceScanHooks hooks;
    hooks.waitRunsEventLoop = true;
    hooks.wait = [](int milliseconds) {
        wxSafeYield();
        wxMilliSleep(milliseconds);
    };
    hooks.found = [this](const wxString& address, const wxString& identity) {
        AppendLog(wxString::Format("%s - %s\n", address, identity));
        wxSafeYield();
    };
    ScanSubnet(m_octets, hooks, m_port);

    AppendLog(_("Scanning done\n"));
    m_scanButton->Enable();
    m_cancelButton->Enable();
    m_scanning = false;
}

void FindDevices::OnCancel(wxCommandEvent&)
{
    if (!m_scanning)
        EndModal(0);
}

void FindDevices::OnCloseWindow(wxCloseEvent& event)
{
    // Ending the dialog mid-scan would leave the scan writing to a log that
    // is about to go.
    if (m_scanning && event.CanVeto()) {
        event.Veto();
        return;
    }
    event.Skip();
}
