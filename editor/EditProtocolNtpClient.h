// NTP Client protocol: update interval and time zone offset.
#pragma once

#include "editor/EditProtocolPanel.h"

class EditProtocolNtpClient : public EditProtocolPanel
{
public:
    EditProtocolNtpClient(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize);

private:
    wxSpinCtrl* m_interval = nullptr;
    wxSpinCtrl* m_timeZone = nullptr;
};
