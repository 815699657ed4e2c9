// Printing the configuration report.
#include "app/ConfigFrame.h"

// Not built yet: they need the report's printout.
void ConfigFrame::OnPrint(wxCommandEvent&) {}
void ConfigFrame::OnPrintPreview(wxCommandEvent&) {}
