// The main window's position and size, kept between runs.
#pragma once

#include <wx/gdicmn.h>

#include <optional>

class wxConfigBase;

// The four stored values; -1 stands for a value that is absent.
struct StoredGeometry {
    long x = -1;
    long y = -1;
    long width = -1;
    long height = -1;
};

StoredGeometry ReadGeometry(const wxConfigBase& store);
void WriteGeometry(wxConfigBase& store, const wxRect& window);

// Where a window with the stored geometry goes on a display whose client
// area is `clientArea`: pulled back inside its right and bottom edges, then
// inside its left and top edges. Nothing when no position was stored. A
// width or height of -1 is passed on, for the toolkit to choose.
std::optional<wxRect> RestoredWindowRect(const StoredGeometry& stored, const wxRect& clientArea);
