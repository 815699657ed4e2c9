// Text that a device sends, such as its identity line, as the program shows
// it. The subnet scan and the device link read the same replies and must
// show them alike.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>

// The bytes up to the first NUL: UTF-8 when they are valid UTF-8 (in the
// strict sense: no overlong forms, surrogates or values above U+10FFFF),
// otherwise one character per byte of the same value (Latin-1), so that no
// byte is dropped and none turns the whole text empty. `cutShort` says that
// the bytes were cut by a length limit: a UTF-8 character split by that cut
// is dropped rather than turning the rest into Latin-1.
wxString DeviceText(const uint8_t* bytes, size_t length, bool cutShort = false);
