#include "editor/EditPortTcpClient.h"

#include <wx/checkbox.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

using namespace EditorIds;
using namespace NodeFields;

EditPortTcpClient::EditPortTcpClient(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortTcpClient(parent, id, pos, size, PORT_TCP_CLIENT)
{
}

EditPortTcpClient::EditPortTcpClient(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     uint8_t type)
    : EditPortPanel(parent, id, pos, size, type)
{
    wxStaticText* ipLabel = NewStaticText("Server IP");
    m_serverIp = new wxTextCtrl(Inner(), ID_TEXTCTRLSERVERIP.id, "192.168.1.10", wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, ID_TEXTCTRLSERVERIP.name);
    m_ipState = NewStaticText(ID_TEXTIPSTATE, {});
    AddRow(ipLabel, m_serverIp, m_ipState);
    m_serverPort = AddSpin(ID_SPINCTRLSERVERPORT, "Server Port", 1, 65535, 4001);
    Link(m_serverPort, kIpPort);
    m_useSourcePort = new wxCheckBox(Inner(), ID_CHECKBOXSOURCEPORT.id, "Source Port", wxDefaultPosition,
                                     wxDefaultSize, 0, wxDefaultValidator, ID_CHECKBOXSOURCEPORT.name);
    m_sourcePort = NewSpin(ID_SPINCTRLSOURCEPORT, 0, 65535, 6001);
    AddRow(m_useSourcePort, m_sourcePort);

    m_serverIp->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateAddressState(); });
    UpdateAddressState();
}

void EditPortTcpClient::UpdateAddressState()
{
    m_ipState->SetLabel(ParseServerAddress(m_serverIp->GetValue()).valid ? "IP appears valid" : "IP appears invalid");
}

bool EditPortTcpClient::Load(const NodeEntry& node)
{
    EditPortPanel::Load(node);
    SetNodeProtocol(node.protocol);
    return true;
}

void EditPortTcpClient::SetNodeProtocol(uint8_t protocol)
{
    // Analogue/Audio Master keeps its first trigger in the source port's bytes.
    const bool allowed = SourcePortAllowed(protocol);
    if (!allowed)
        m_useSourcePort->SetValue(false);
    m_useSourcePort->Enable(allowed);
    m_sourcePort->Enable(allowed);
    m_useSourcePort->SetToolTip(allowed ? wxString()
                                        : wxString("Not available with Analogue/Audio Master, "
                                                   "which keeps its triggers in the same place"));
}

void EditPortTcpClient::LoadOwn(const NodeEntry& node)
{
    m_serverIp->SetValue(ServerAddressText(node));
    UpdateAddressState();
    const bool fixed = HasFixedSourcePort(node);
    m_useSourcePort->SetValue(fixed);
    if (fixed)
        m_sourcePort->SetValue(GetValue(node, kClientSourcePort));
}

void EditPortTcpClient::StoreOwn(NodeEntry& node)
{
    StoreServerAddress(node, m_serverIp->GetValue());
    SetValue(node, kClientPortCodeBits, 0);
    // The protocol page has stored first, so the node's protocol is current.
    if (m_useSourcePort->GetValue() && SourcePortAllowed(node.protocol)) {
        SetFlag(node, kClientFixedSourcePort, true);
        SetValue(node, kClientSourcePort, m_sourcePort->GetValue());
    }
}
