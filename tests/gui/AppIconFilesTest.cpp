// The icon theme's PNG files are renderings of the icon the program draws;
// they must not drift from it.
#include "resources/AppIcon.h"

#include <gtest/gtest.h>
#include <wx/image.h>

#include <cstdlib>

TEST(AppIconFiles, MatchTheIconTheProgramDraws)
{
    wxInitAllImageHandlers();
    const wxImage drawn = MakeAppIconImage();
    for (int size : {16, 32, 128}) {
        wxImage file;
        ASSERT_TRUE(file.LoadFile(wxString::Format("%s/resources/icons/%d.png", QST_SOURCE_DIR, size),
                                  wxBITMAP_TYPE_PNG))
            << size;
        ASSERT_EQ(file.GetWidth(), size);
        ASSERT_EQ(file.GetHeight(), size);
        const wxImage expected = drawn.Scale(size, size, wxIMAGE_QUALITY_HIGH);
        int worst = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                worst = std::max({worst, std::abs(file.GetRed(x, y) - expected.GetRed(x, y)),
                                  std::abs(file.GetGreen(x, y) - expected.GetGreen(x, y)),
                                  std::abs(file.GetBlue(x, y) - expected.GetBlue(x, y))});
                if (file.HasAlpha() && expected.HasAlpha())
                    worst = std::max(worst, std::abs(file.GetAlpha(x, y) - expected.GetAlpha(x, y)));
            }
        EXPECT_LE(worst, 2) << "resources/icons/" << size << ".png differs from the drawn icon: run tools/export-icons.sh";
    }
}
