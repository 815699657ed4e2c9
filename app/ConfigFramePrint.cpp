// Printing the configuration report.
#include "app/ConfigFrame.h"

#include "config/ConfigData.h"
#include "print/ConfigPrintout.h"

void ConfigFrame::OnPrint(wxCommandEvent&)
{
    PrintConfiguration(this, Document());
}

void ConfigFrame::OnPrintPreview(wxCommandEvent&)
{
    PreviewConfiguration(this, Document());
}
