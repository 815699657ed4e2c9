#include "app/ConfigApp.h"

#include "app/ConfigFrame.h"

#include <wx/cmdline.h>
#include <wx/image.h>

namespace {

const wxCmdLineEntryDesc kCommandLine[] = {
    {wxCMD_LINE_PARAM, nullptr, nullptr, "File to open", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL},
    {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, wxCMD_LINE_VAL_NONE, 0},
};

} // namespace

bool ConfigApp::OnInit()
{
    wxInitAllImageHandlers();
    auto* frame = new ConfigFrame(nullptr, wxID_ANY);
    frame->Show();
    SetTopWindow(frame);
    OpenCommandLineFiles(*frame, argc, argv);
    return true;
}

void ConfigApp::OpenCommandLineFiles(ConfigFrame& frame, int argc, wxChar** argv)
{
    wxCmdLineParser parser(kCommandLine, argc, argv);
    // A bad command line is reported by the parser; the program goes on.
    parser.Parse(true);
    for (size_t i = 0; i < parser.GetParamCount(); ++i)
        frame.OpenFile(parser.GetParam(i));
}
