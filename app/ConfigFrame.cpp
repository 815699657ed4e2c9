#include "app/ConfigFrame.h"

#include "config/ConfigData.h"

ConfigFrame::ConfigFrame(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, "TARVEN Quorastelline Configuration Utility"),
      m_config(std::make_unique<ConfigData>())
{
}

ConfigFrame::~ConfigFrame() = default;
