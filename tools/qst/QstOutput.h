// How qst prints: results to standard output, errors and progress to
// standard error.
#pragma once

#include <wx/string.h>

#include <functional>
#include <string>

// Exit statuses.
enum QstStatus { QST_OK = 0, QST_FAILED = 1, QST_USAGE = 2, QST_INTERRUPTED = 130 };

void PrintLine(const wxString& text);
void PrintError(const wxString& text);
// Progress goes to standard error, and only when that is a terminal.
void PrintProgress(const wxString& text);

// Asks a yes/no question on the terminal. Without a terminal, or with
// --yes, nobody is asked: `assumeYes` decides. `interrupted`, when given,
// turns an answer typed after Ctrl-C into a No.
class Confirmer
{
public:
    explicit Confirmer(bool assumeYes, std::function<bool()> interrupted = {});
    bool Ask(wxString question);

private:
    bool m_assumeYes;
    bool m_interactive;
    std::function<bool()> m_interrupted;
};
