#include "editor/EditPortTcpClient.h"

#include <wx/checkbox.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <iterator>

using namespace EditorIds;
using namespace NodeFields;

namespace {
const char* const kIpValid = "IP appears valid";
const char* const kIpInvalid = "IP appears invalid";
} // namespace

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
    AddRow(ipLabel, m_serverIp);
    // The state has a row of its own, as wide as its longer text.
    m_ipState = NewStaticText(ID_TEXTIPSTATE, {});
    m_ipState->SetMinSize(wxSize(std::max(m_ipState->GetTextExtent(kIpValid).GetWidth(),
                                          m_ipState->GetTextExtent(kIpInvalid).GetWidth()),
                                 -1));
    AddRow(nullptr, m_ipState);
    Link({[this] { return m_serverIp->GetValue(); },
          [this](const NodeEntry& node) { m_serverIp->SetValue(ServerAddressText(node)); },
          [this](NodeEntry& node) { StoreServerAddress(node, m_serverIp->GetValue()); },
          [](NodeEntry& node, const NodeEntry& loaded) {
              std::copy(std::begin(loaded.remoteIp), std::end(loaded.remoteIp), node.remoteIp);
          }});
    m_serverPort = AddSpin(ID_SPINCTRLSERVERPORT, "Server Port", 1, 65535, 4001);
    Link(m_serverPort, kIpPort);
    m_useSourcePort = new wxCheckBox(Inner(), ID_CHECKBOXSOURCEPORT.id, "Source Port", wxDefaultPosition,
                                     wxDefaultSize, 0, wxDefaultValidator, ID_CHECKBOXSOURCEPORT.name);
    m_sourcePort = NewSpin(ID_SPINCTRLSOURCEPORT, 0, 65535, 6001);
    AddRow(m_useSourcePort, m_sourcePort);
    // The source port is written and loaded only while the box is ticked.
    Link({[this] { return Shows(m_useSourcePort) + (m_useSourcePort->GetValue() ? Shows(m_sourcePort) : wxString()); },
          [this](const NodeEntry& node) {
              const bool fixed = HasFixedSourcePort(node);
              m_useSourcePort->SetValue(fixed);
              if (fixed)
                  m_sourcePort->SetValue(GetValue(node, kClientSourcePort));
          },
          [this](NodeEntry& node) { StoreSourcePort(node); },
          [this](NodeEntry& node, const NodeEntry& loaded) {
              // A protocol that takes the source port's bytes for its own
              // changes what the bit means: the box says what is stored.
              if (SourcePortAllowed(node.protocol) != SourcePortAllowed(loaded.protocol)) {
                  StoreSourcePort(node);
                  return;
              }
              CopyField(node, loaded, kClientFixedSourcePort);
              if (HasFixedSourcePort(loaded))
                  CopyField(node, loaded, kClientSourcePort);
          }});
    LinkUnshown(kClientUnusedBits, 0);

    m_serverIp->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateAddressState(); });
    UpdateAddressState();
}

void EditPortTcpClient::UpdateAddressState()
{
    m_ipState->SetLabel(ParseServerAddress(m_serverIp->GetValue()).valid ? kIpValid : kIpInvalid);
}

bool EditPortTcpClient::Load(const NodeEntry& node)
{
    EditPortPanel::Load(node);
    SetNodeProtocol(node.protocol);
    return true;
}

void EditPortTcpClient::SetNodeProtocol(uint8_t protocol)
{
    // Analogue/Audio Master keeps its first trigger in the source port's
    // bytes. The box is unticked while it runs, and shows again what it
    // showed when another protocol comes back.
    const bool allowed = SourcePortAllowed(protocol);
    if (allowed != m_sourcePortAllowed) {
        if (allowed) {
            m_useSourcePort->SetValue(m_heldSourcePort);
        } else {
            m_heldSourcePort = m_useSourcePort->GetValue();
            m_useSourcePort->SetValue(false);
        }
        m_sourcePortAllowed = allowed;
    }
    m_useSourcePort->Enable(allowed);
    m_sourcePort->Enable(allowed);
    m_useSourcePort->SetToolTip(allowed ? wxString()
                                        : wxString("Not available with Analogue/Audio Master, "
                                                   "which keeps its triggers in the same place"));
}

void EditPortTcpClient::LoadOwn(const NodeEntry&)
{
    UpdateAddressState();
}

void EditPortTcpClient::StoreSourcePort(NodeEntry& node) const
{
    // The protocol page has stored first, so the node's protocol is current.
    const bool fixed = m_useSourcePort->GetValue() && SourcePortAllowed(node.protocol);
    SetFlag(node, kClientFixedSourcePort, fixed);
    if (fixed)
        SetValue(node, kClientSourcePort, m_sourcePort->GetValue());
}
