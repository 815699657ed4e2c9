// The commands of qst and what they share: their arguments and the device
// target.
#pragma once

#include "QstOutput.h"

#include <wx/string.h>

#include <vector>

// The words after the command name, taken one by one as the command reads
// its options and operands.
class QstArgs
{
public:
    explicit QstArgs(std::vector<wxString> words) : m_words(std::move(words)) {}

    // Removes `option` and returns true when it is present.
    bool TakeFlag(const wxString& option);
    // Removes `option` and its value; false when absent. A missing value is
    // a usage error (m_bad set).
    bool TakeValue(const wxString& option, wxString& value);
    // The next operand; false when none is left.
    bool TakeOperand(wxString& operand);
    // The next word, whatever it is; false when none is left.
    bool TakeAny(wxString& word);
    // True when something unexpected is left or an option lacked its value;
    // prints what.
    bool Leftover();

private:
    std::vector<wxString> m_words;
    bool m_bad = false;
};

// Where a device is reached: TCP host and port, or serial device and speed.
struct QstTarget {
    bool useTcp = true;
    wxString target;
    int portOrSpeed = 0;
};

// Takes --tcp HOST[:PORT] or --serial DEVICE[:BAUD] from the arguments;
// false (with a message) when neither or both are given or a number is bad.
bool TakeTarget(QstArgs& args, QstTarget& target);

// "tcp HOST:PORT" or "serial DEVICE:BAUD", as results name a device.
wxString TargetText(const QstTarget& target);

struct QstCommand {
    const char* name;
    const char* synopsis;
    const char* summary;
    const char* help;   // further lines of the command's --help
    int (*run)(QstArgs& args);
};

const std::vector<QstCommand>& FileCommands();
const std::vector<QstCommand>& DeviceCommands();
const std::vector<QstCommand>& CompareCommands();
const std::vector<QstCommand>& ApplyCommands();
