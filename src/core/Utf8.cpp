#include "core/Utf8.h"

std::size_t Utf8SequenceAt(std::string_view s, std::size_t i, char32_t& c) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    const std::size_t n = b >= 0xC2 && b <= 0xDF   ? 2
                          : b >= 0xE0 && b <= 0xEF ? 3
                          : b >= 0xF0 && b <= 0xF4 ? 4
                                                   : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    c = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
    if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    return n;
}

bool IsUtf8WithNonAscii(std::string_view s) {
    bool wide = false;
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        const std::size_t n = Utf8SequenceAt(s, i, c);
        if (n == 0)
            return false;
        wide |= n > 1;
        i += n;
    }
    return wide;
}
