// S2 Slave protocol: the S2 framing options and the prefix bit.
#pragma once

#include "editor/EditProtocolS2Master.h"

class EditProtocolS2Slave : public EditProtocolS2Master
{
public:
    EditProtocolS2Slave(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize);

private:
    wxCheckBox* m_prefixBit = nullptr;
};
