// Drives the node edit dialog from tests: a modal expectation that acts in
// the dialog as the user would (choosing, typing, pressing its buttons) and
// gives ShowModal the result that the dialog's own buttons left.
#pragma once

#include "editor/EditNodeDialog.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/testing.h>
#include <wx/timer.h>

#include <functional>
#include <utility>

// The combinations the device runs, by protocol in the choice's order; one
// letter per port in the port choice's order (TCP Server, TCP Client, UDP
// Server, UDP Client, Async Serial, Sync Serial, Modem, SPI): Y supported.
inline constexpr std::pair<const char*, const char*> kSupportedPorts[] = {
    {"Control", "YYYYYNYN"},        {"IO Master", "NNNNNNNY"},     {"UCE Master", "YYYYYNYN"},
    {"UCE Slave", "YYYYYNYN"},      {"S2 Master", "YYYYYYYN"},     {"S2 Slave", "YYYYYYYN"},
    {"Genisys Master", "YYYYYNYN"}, {"Genisys Slave", "YYYYYNYN"}, {"Host Master", "YYYYYYYY"},
    {"Host Slave", "YYYYYYYY"},     {"NTP Client", "YYYYYYYY"},    {"Analogue/Audio Master", "YYYYYYYY"},
    {"Null", "YYYYYYYY"},
};

inline void Press(wxButton* button)
{
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

// Runs Edit in a real modal loop, where the toolkit shows and lays out the
// dialog; the action runs inside the loop. A dialog that the action leaves
// open is cancelled after a while, and fails the test.
inline bool EditInModalLoop(EditNodeDialog& dialog, NodeEntry& entry, std::function<void(EditNodeDialog&)> action)
{
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&dialog](wxTimerEvent&) {
        ADD_FAILURE() << "the dialog stayed open";
        dialog.EndModal(EditNodeDialog::kResultCancel);
    });
    guard.StartOnce(60000);
    dialog.CallAfter([&dialog, action] { action(dialog); });
    const bool accepted = dialog.Edit(entry);
    guard.Stop();
    return accepted;
}

template <>
class wxExpectModal<EditNodeDialog> : public wxExpectModalBase<EditNodeDialog>
{
public:
    using Action = std::function<void(EditNodeDialog& dialog)>;
    explicit wxExpectModal(Action action) : m_action(std::move(action)) {}

protected:
    int OnInvoked(EditNodeDialog* dialog) const override
    {
        m_action(*dialog);
        return dialog->GetReturnCode();
    }

private:
    Action m_action;
};
