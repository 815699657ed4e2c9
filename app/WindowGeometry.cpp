#include "app/WindowGeometry.h"

#include <wx/confbase.h>

#include <algorithm>

namespace {

constexpr const char* kKeyX = "WindowPosition_X";
constexpr const char* kKeyY = "WindowPosition_Y";
constexpr const char* kKeyWidth = "WindowPosition_Width";
constexpr const char* kKeyHeight = "WindowPosition_Height";

} // namespace

StoredGeometry ReadGeometry(const wxConfigBase& store)
{
    StoredGeometry stored;
    stored.x = store.ReadLong(kKeyX, -1);
    stored.y = store.ReadLong(kKeyY, -1);
    stored.width = store.ReadLong(kKeyWidth, -1);
    stored.height = store.ReadLong(kKeyHeight, -1);
    return stored;
}

void WriteGeometry(wxConfigBase& store, const wxRect& window)
{
    store.Write(kKeyX, long(window.x));
    store.Write(kKeyY, long(window.y));
    store.Write(kKeyWidth, long(window.width));
    store.Write(kKeyHeight, long(window.height));
}

std::optional<wxRect> RestoredWindowRect(const StoredGeometry& stored, const wxRect& clientArea)
{
    if (stored.x == -1 || stored.y == -1)
        return std::nullopt;
    long x = stored.x;
    if (stored.x + stored.width > clientArea.width)
        x = clientArea.width - stored.width;
    x = std::max<long>(x, clientArea.x);
    long y = stored.y;
    if (stored.y + stored.height > clientArea.height)
        y = clientArea.height - stored.height;
    y = std::max<long>(y, clientArea.y);
    return wxRect(int(x), int(y), int(stored.width), int(stored.height));
}
