#include "device/DeviceText.h"

#include <cstring>
#include <string>

namespace {

// Length of the well-formed UTF-8 sequence at `p` (at most `left` bytes
// long) and its code point; 0 when none starts there. `incomplete` is set
// when the bytes are a well-formed beginning that runs past `left`. The
// ranges of the second byte rule out overlong forms, surrogates and values
// above U+10FFFF.
size_t Utf8Sequence(const uint8_t* p, size_t left, char32_t& code, bool& incomplete)
{
    incomplete = false;
    const uint8_t lead = p[0];
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (k >= left) {
            incomplete = true;
            return 0;
        }
        const bool inRange = k == 1 ? p[k] >= low && p[k] <= high : (p[k] & 0xC0) == 0x80;
        if (!inRange)
            return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    return length;
}

} // namespace

wxString DeviceText(const uint8_t* bytes, size_t length, bool cutShort)
{
    const void* nul = std::memchr(bytes, 0, length);
    if (nul)
        length = size_t(static_cast<const uint8_t*>(nul) - bytes);

    std::u32string decoded;
    decoded.reserve(length);
    bool utf8 = true;
    for (size_t i = 0; i < length;) {
        char32_t code = 0;
        bool incomplete = false;
        const size_t n = Utf8Sequence(bytes + i, length - i, code, incomplete);
        if (n == 0) {
            if (incomplete && cutShort && !nul)
                break;
            utf8 = false;
            break;
        }
        decoded.push_back(code);
        i += n;
    }

    wxString text;
    text.reserve(length);
    if (utf8) {
        for (const char32_t c : decoded)
            text += wxUniChar(unsigned(c));
    } else {
        for (size_t i = 0; i < length; ++i)
            text += wxUniChar(unsigned(bytes[i]));
    }
    return text;
}
