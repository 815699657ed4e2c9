// The application's icon, drawn by the program itself.
#pragma once

#include <wx/icon.h>
#include <wx/image.h>

constexpr int kAppIconSize = 128;

// Six nodes around the shared memory, with a small star: 128 x 128 pixels
// with transparency.
wxImage MakeAppIconImage();
wxIcon MakeAppIcon();
