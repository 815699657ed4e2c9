// The device commands: Get ID, Read, Write, Set clock and Reboot.
#include "app/ConfigFrame.h"

// Not built yet: the device link arrives with its own change.
void ConfigFrame::OnGetId(wxCommandEvent&) {}
void ConfigFrame::OnRead(wxCommandEvent&) {}
void ConfigFrame::OnWrite(wxCommandEvent&) {}
void ConfigFrame::OnSetClock(wxCommandEvent&) {}
void ConfigFrame::OnReboot(wxCommandEvent&) {}
