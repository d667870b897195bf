#pragma once

#include <cstddef>
#include <string_view>

// Length of the well-formed UTF-8 sequence at s[i] (1 for ASCII), its
// character in c; 0 when none starts there (a stray, overlong or truncated
// sequence, a surrogate, a code point past U+10FFFF).
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i, char32_t& c);

// Text that is valid UTF-8 throughout and holds a character beyond ASCII.
bool IsUtf8WithNonAscii(std::string_view s);
