#include "resources/AppIcon.h"

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/pen.h>
#include <wx/graphics.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

void DrawStar(wxGraphicsContext& gc, double cx, double cy, double outer, double inner)
{
    wxGraphicsPath star = gc.CreatePath();
    for (int i = 0; i < 8; ++i) {
        const double angle = -kPi / 2 + i * kPi / 4;
        const double r = (i % 2 == 0) ? outer : inner;
        const double x = cx + r * std::cos(angle);
        const double y = cy + r * std::sin(angle);
        if (i == 0)
            star.MoveToPoint(x, y);
        else
            star.AddLineToPoint(x, y);
    }
    star.CloseSubpath();
    gc.FillPath(star);
}

} // namespace

wxImage MakeAppIconImage()
{
    wxImage image(kAppIconSize, kAppIconSize);
    image.InitAlpha();
    unsigned char* alpha = image.GetAlpha();
    std::fill(alpha, alpha + kAppIconSize * kAppIconSize, 0);

    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (!gc)
            return image;
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        const double size = kAppIconSize;
        const double centre = size / 2;

        // Tile.
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateLinearGradientBrush(0, 0, size, size, wxColour(22, 36, 78), wxColour(20, 110, 138)));
        gc->DrawRoundedRectangle(4, 4, size - 8, size - 8, 22);

        // Links from each node to the shared memory.
        const double ring = 40;
        gc->SetPen(wxPen(wxColour(150, 210, 225), 4));
        for (int i = 0; i < 6; ++i) {
            const double angle = kPi / 6 + i * kPi / 3;
            gc->StrokeLine(centre, centre, centre + ring * std::cos(angle), centre + ring * std::sin(angle));
        }

        // The shared memory: a chip with rows of bytes.
        gc->SetPen(wxPen(wxColour(235, 245, 250), 2));
        gc->SetBrush(wxBrush(wxColour(240, 248, 252)));
        gc->DrawRoundedRectangle(centre - 17, centre - 17, 34, 34, 5);
        gc->SetPen(wxPen(wxColour(20, 110, 138), 3));
        for (int row = 0; row < 3; ++row) {
            const double y = centre - 8 + row * 8;
            gc->StrokeLine(centre - 10, y, centre + 10, y);
        }

        // The six nodes.
        gc->SetPen(wxPen(wxColour(120, 70, 10), 2));
        gc->SetBrush(wxBrush(wxColour(250, 184, 60)));
        for (int i = 0; i < 6; ++i) {
            const double angle = kPi / 6 + i * kPi / 3;
            const double x = centre + ring * std::cos(angle);
            const double y = centre + ring * std::sin(angle);
            gc->DrawEllipse(x - 10, y - 10, 20, 20);
        }

        // The little star of the name.
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(wxBrush(wxColour(255, 236, 140)));
        DrawStar(*gc, size - 24, 24, 12, 3.5);
    }
    return image;
}

wxIcon MakeAppIcon()
{
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(MakeAppIconImage()));
    return icon;
}
