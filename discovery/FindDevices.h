// The Find dialog: the user names a /24 subnet, presses Scan, and every
// device that answers at the device port is listed in the log.
#pragma once

#include <wx/dialog.h>

#include <cstdint>

class wxButton;
class wxCloseEvent;
class wxCommandEvent;
class wxTextCtrl;

class FindDevices : public wxDialog
{
public:
    explicit FindDevices(wxWindow* parent);

    // Devices are asked at their Control port; a different port lets the
    // dialog be tried against simulators that cannot take that one.
    void SetScanPort(uint16_t port) { m_port = port; }
    bool IsScanning() const { return m_scanning; }

    static const long ID_PANEL1;
    static const long ID_STATICTEXT1;
    static const long ID_BUTTONRUN;
    static const long ID_TEXTCTRLSUBNET;
    static const long ID_BUTTONCANCEL;
    static const long ID_STATICTEXT2;
    static const long ID_TEXTCTRLLOG;

private:
    void OnScan(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void Scan();
    void AppendLog(const wxString& text);

    int m_octets[3] = {};
    uint16_t m_port;
    bool m_scanning = false;

    wxButton* m_scanButton = nullptr;
    wxButton* m_cancelButton = nullptr;
    wxTextCtrl* m_subnet = nullptr;
    wxTextCtrl* m_log = nullptr;
};
