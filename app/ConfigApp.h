#pragma once

#include <wx/app.h>

class ConfigApp : public wxApp
{
public:
    bool OnInit() override;
};
