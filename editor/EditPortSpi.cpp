#include "editor/EditPortSpi.h"

EditPortSpi::EditPortSpi(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : EditPortPanel(parent, id, pos, size, PORT_SPI)
{
    AddNote("There are no parameters for this port");
}
