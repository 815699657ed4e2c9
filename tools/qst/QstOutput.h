// How qst prints: results to standard output, errors and progress to
// standard error.
#pragma once

#include <wx/string.h>

// Exit statuses.
enum QstStatus { QST_OK = 0, QST_FAILED = 1, QST_USAGE = 2, QST_INTERRUPTED = 130 };

void PrintLine(const wxString& text);
void PrintError(const wxString& text);
// Progress goes to standard error, and only when that is a terminal.
void PrintProgress(const wxString& text);
