// Finding devices on a subnet.
#include "app/ConfigFrame.h"

// Not built yet: it needs the discovery dialog.
void ConfigFrame::OnFind(wxCommandEvent&) {}
