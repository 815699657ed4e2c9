// Creates the protocol and port pages of the node editor by code.
#pragma once

#include <cstdint>

class EditPortPanel;
class EditProtocolPanel;
class wxWindow;

// The page for protocol code 1..13 on the parent (a notebook), or nullptr
// for any other code.
EditProtocolPanel* CreateProtocolPanel(uint8_t protocol, wxWindow* parent);
// The page for port type 1..8 on the parent, or nullptr for any other type.
EditPortPanel* CreatePortPanel(uint8_t portType, wxWindow* parent);
