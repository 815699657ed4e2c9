// Finding devices on a subnet.
#include "app/ConfigFrame.h"

#include "discovery/FindDevices.h"

void ConfigFrame::OnFind(wxCommandEvent&)
{
    // Not while a device command waits on its link.
    if (m_deviceBusy)
        return;
    m_deviceBusy = true;
    FindDevices dialog(this);
    dialog.ShowModal();
    m_deviceBusy = false;
}
