#include "QstOutput.h"

#include <cstdio>
#include <unistd.h>

void PrintLine(const wxString& text)
{
    std::fputs(text.utf8_string().c_str(), stdout);
    std::fputc('\n', stdout);
}

void PrintError(const wxString& text)
{
    std::fflush(stdout);
    std::fprintf(stderr, "qst: %s\n", text.utf8_string().c_str());
}

void PrintProgress(const wxString& text)
{
    if (::isatty(STDERR_FILENO))
        std::fprintf(stderr, "%s\n", text.utf8_string().c_str());
}
