#include "app/FileChooser.h"

#include <wx/filedlg.h>

wxString ChooseFileWithSelector(const FileChoice& choice, wxWindow* parent)
{
    return wxFileSelector(choice.message, choice.directory, choice.defaultName, choice.defaultSuffix,
                          choice.wildcard, choice.flags, parent);
}
