#include "app/ConfigApp.h"

wxIMPLEMENT_APP(ConfigApp);
