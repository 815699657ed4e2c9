#include "QstCommand.h"

#include <algorithm>

bool QstArgs::TakeFlag(const wxString& option)
{
    const auto it = std::find(m_words.begin(), m_words.end(), option);
    if (it == m_words.end())
        return false;
    m_words.erase(it);
    return true;
}

bool QstArgs::TakeValue(const wxString& option, wxString& value)
{
    const auto it = std::find(m_words.begin(), m_words.end(), option);
    if (it == m_words.end())
        return false;
    if (it + 1 == m_words.end()) {
        PrintError(option + " needs a value");
        m_bad = true;
        m_words.erase(it);
        return false;
    }
    value = *(it + 1);
    m_words.erase(it, it + 2);
    return true;
}

bool QstArgs::TakeOperand(wxString& operand)
{
    const auto it = std::find_if(m_words.begin(), m_words.end(),
                                 [](const wxString& w) { return !w.StartsWith("--") || w == "-"; });
    if (it == m_words.end())
        return false;
    operand = *it;
    m_words.erase(it);
    return true;
}

bool QstArgs::TakeAny(wxString& word)
{
    if (m_words.empty())
        return false;
    word = m_words.front();
    m_words.erase(m_words.begin());
    return true;
}

bool QstArgs::Leftover()
{
    if (!m_words.empty()) {
        PrintError("unexpected argument: " + m_words.front());
        return true;
    }
    return m_bad;
}

namespace {

// "NAME:NUMBER" or "NAME"; the number must be a whole number in range.
bool SplitNumber(const wxString& text, wxString& name, int& number, long low, long high)
{
    const int colon = text.Find(':', true);
    if (colon == wxNOT_FOUND) {
        name = text;
        return !name.empty();
    }
    name = text.Left(colon);
    long value = 0;
    if (name.empty() || !text.Mid(colon + 1).ToLong(&value) || value < low || value > high)
        return false;
    number = int(value);
    return true;
}

} // namespace

bool TakeTarget(QstArgs& args, QstTarget& target)
{
    wxString tcp, serial;
    const bool hasTcp = args.TakeValue("--tcp", tcp);
    const bool hasSerial = args.TakeValue("--serial", serial);
    if (hasTcp == hasSerial) {
        PrintError("give the device as --tcp HOST[:PORT] or --serial DEVICE[:BAUD]");
        return false;
    }
    target.useTcp = hasTcp;
    target.portOrSpeed = hasTcp ? 23 : 9600;
    if (!SplitNumber(hasTcp ? tcp : serial, target.target, target.portOrSpeed, 1, hasTcp ? 65535 : 4000000)) {
        PrintError("bad device address: " + (hasTcp ? tcp : serial));
        return false;
    }
    return true;
}

wxString TargetText(const QstTarget& target)
{
    return wxString::Format("%s %s:%d", target.useTcp ? "tcp" : "serial", target.target, target.portOrSpeed);
}
