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

std::string JsonString(const wxString& text)
{
    std::string out = "\"";
    for (const unsigned char c : text.utf8_string()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}
