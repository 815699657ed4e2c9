// TCP client port: server address and port, and an optional fixed source port.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortTcpClient : public EditPortPanel
{
public:
    EditPortTcpClient(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize);

    bool Load(const NodeEntry& node) override;
    void SetNodeProtocol(uint8_t protocol) override;

protected:
    // The UDP client page is the same page for another port type.
    EditPortTcpClient(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, uint8_t type);

    void LoadOwn(const NodeEntry& node) override;

private:
    void UpdateAddressState();
    void StoreSourcePort(NodeEntry& node) const;

    wxTextCtrl* m_serverIp = nullptr;
    wxStaticText* m_ipState = nullptr;
    wxSpinCtrl* m_serverPort = nullptr;
    wxCheckBox* m_useSourcePort = nullptr;
    wxSpinCtrl* m_sourcePort = nullptr;
    // Whether the node's protocol lets the box be ticked, and what the box
    // showed before a protocol that does not.
    bool m_sourcePortAllowed = true;
    bool m_heldSourcePort = false;
};
