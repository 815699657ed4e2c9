// Writes the application icon as PNG files at the sizes the desktop's icon
// theme wants: qst-export-icons FOLDER (FOLDER/<size>.png).
#include "resources/AppIcon.h"

#include <wx/app.h>
#include <wx/image.h>

#include <cstdio>

namespace {

class ExportApp : public wxApp
{
public:
    bool OnInit() override
    {
        if (argc != 2) {
            std::fprintf(stderr, "usage: qst-export-icons FOLDER\n");
            m_status = 2;
            return false;
        }
        wxInitAllImageHandlers();
        const wxImage icon = MakeAppIconImage();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            wxImage scaled = icon.Scale(size, size, wxIMAGE_QUALITY_HIGH);
            const wxString path = wxString::Format("%s/%d.png", argv[1], size);
            if (!scaled.SaveFile(path, wxBITMAP_TYPE_PNG)) {
                std::fprintf(stderr, "could not write %s\n", static_cast<const char*>(path.utf8_str()));
                m_status = 1;
            }
        }
        return false;
    }
    int OnExit() override { return m_status; }

private:
    int m_status = 0;
};

} // namespace

wxIMPLEMENT_APP(ExportApp);
