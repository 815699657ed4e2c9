#include "app/ConfigApp.h"

// The toolkit's entry, which checks its build options before creating the
// application.
wxIMPLEMENT_APP(ConfigApp);
