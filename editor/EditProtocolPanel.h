// A protocol parameter page: owns the protocol code and the protocol
// parameter block of the node entry.
#pragma once

#include "editor/EditPanel.h"

class EditProtocolPanel : public EditPanel
{
public:
    uint8_t ProtocolCode() const { return m_code; }
    bool Load(const NodeEntry& node) final;
    bool Store(NodeEntry& node) final;

protected:
    EditProtocolPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t code);

private:
    uint8_t m_code;
};
