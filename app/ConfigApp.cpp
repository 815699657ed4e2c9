#include "app/ConfigApp.h"

#include "app/ConfigFrame.h"

bool ConfigApp::OnInit()
{
    if (!wxApp::OnInit())
        return false;
    auto* frame = new ConfigFrame(nullptr);
    SetTopWindow(frame);
    frame->Show();
    return true;
}
