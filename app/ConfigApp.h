// The application: creates the main window and opens a file named on the
// command line.
#pragma once

#include <wx/app.h>

class ConfigFrame;

class ConfigApp : public wxApp
{
public:
    bool OnInit() override;

    // Parses the program's arguments, letting the parser report its usage
    // on error, and opens in `frame` each file they name (at most one).
    static void OpenCommandLineFiles(ConfigFrame& frame, int argc, wxChar** argv);
};
