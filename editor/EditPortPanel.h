// A port parameter page: owns the port type and the port parameter block of
// the node entry.
#pragma once

#include "editor/EditPanel.h"

class EditPortPanel : public EditPanel
{
public:
    uint8_t PortType() const { return m_type; }
    bool Load(const NodeEntry& node) override;
    bool Store(NodeEntry& node) override;

    // The node editor tells the port page which protocol the node now runs;
    // only the client pages care (their source port).
    virtual void SetNodeProtocol(uint8_t) {}

protected:
    EditPortPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t type);

    // The COM port choice ("COM1".."COM3") and a speed choice offering the
    // first `offered` speed codes, both linked. A stored COM index or speed
    // code that the list lacks is shown as one more item and kept unless
    // the user picks another.
    wxChoice* AddComPortChoice();
    wxChoice* AddSpeedChoice(size_t offered, int initial);

private:
    uint8_t m_type;
};
