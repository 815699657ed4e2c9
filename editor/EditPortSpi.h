// SPI port: no parameters; the page only sets the port type.
#pragma once

#include "editor/EditPortPanel.h"

class EditPortSpi : public EditPortPanel
{
public:
    EditPortSpi(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
};
