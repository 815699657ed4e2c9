#include "QstOutput.h"

#include <cstdio>
#include <iostream>
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


Confirmer::Confirmer(bool assumeYes, std::function<bool()> interrupted)
    : m_assumeYes(assumeYes), m_interactive(::isatty(STDIN_FILENO)), m_interrupted(std::move(interrupted))
{
}

bool Confirmer::Ask(wxString question)
{
    if (m_assumeYes)
        return true;
    question.Replace("\r\n", "\n");
    if (!m_interactive) {
        PrintError(question.BeforeFirst('\n') + "\nNot written: no terminal to confirm on; give --yes to write anyway.");
        return false;
    }
    std::fprintf(stderr, "%s [y/N] ", question.utf8_string().c_str());
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer) || (m_interrupted && m_interrupted()))
        return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}
