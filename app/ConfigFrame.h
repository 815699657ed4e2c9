// The main window: one configuration document and its commands.
#pragma once

#include <wx/frame.h>

#include <memory>

class ConfigData;

class ConfigFrame : public wxFrame
{
public:
    explicit ConfigFrame(wxWindow* parent);
    ~ConfigFrame() override;

    ConfigData& Document() { return *m_config; }

private:
    std::unique_ptr<ConfigData> m_config;
};
