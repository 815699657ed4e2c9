// The dialog that edits one node: its protocol and port with their
// parameter pages, and its slave table. It works on a copy of the node entry
// and never touches the document.
#pragma once

#include "config/ConfigData.h"

#include <wx/dialog.h>

class EditPortPanel;
class EditProtocolPanel;
class EditSlaves;
class wxButton;
class wxChoice;
class wxNotebook;
class wxStaticText;

class EditNodeDialog : public wxDialog
{
public:
    EditNodeDialog(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~EditNodeDialog() override;

    // Runs the dialog modally on the entry, which receives every page
    // whatever the outcome; true only when the user closed it with OK.
    // Once per dialog object.
    bool Edit(NodeEntry& entry);

    // Whether the device runs the chosen protocol on the chosen port.
    bool IsSupportedCombination() const;
    static bool IsSupportedCombination(unsigned protocolIndex, unsigned portIndex);

    void OnChoiceProtocolSelect(wxCommandEvent& event);
    void OnChoicePortSelect(wxCommandEvent& event);
    void OnButtonOKClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);

    // The modal result of OK; every other way out is a Cancel.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 0;

private:
    void UpdateWarning();
    // Ends the modal loop; when the dialog is not in one (a test's modal
    // hook runs in its place) only the result is kept.
    void Finish(int result);

    wxChoice* m_protocolChoice = nullptr;
    wxChoice* m_portChoice = nullptr;
    wxStaticText* m_warningText = nullptr;
    wxNotebook* m_notebook = nullptr;
    wxButton* m_okButton = nullptr;
    wxButton* m_cancelButton = nullptr;

    // The pages now in the notebook, which owns them.
    EditProtocolPanel* m_protocolPanel = nullptr;
    EditPortPanel* m_portPanel = nullptr;
    EditSlaves* m_slavesPanel = nullptr;

    uint8_t m_protocolIndex = 0;
    uint8_t m_portIndex = 0;
    NodeEntry* m_entry = nullptr;
};

// The document's node editor: runs the dialog modally over the parent.
NodeEditor MakeNodeEditor(wxWindow* parent);
