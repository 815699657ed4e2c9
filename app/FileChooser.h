// Choosing a file name: the window asks through this, so that tests can
// answer without a file dialog.
#pragma once

#include <wx/string.h>

#include <functional>

class wxWindow;

// What the file selector is asked to show.
struct FileChoice {
    wxString message;
    wxString directory;
    wxString defaultName;
    wxString defaultSuffix;
    wxString wildcard;
    int flags = 0;
};

// Returns the chosen full path, or an empty text when the user cancelled.
using FileChooser = std::function<wxString(const FileChoice& choice, wxWindow* parent)>;

// The toolkit's file selector.
wxString ChooseFileWithSelector(const FileChoice& choice, wxWindow* parent);
