#pragma once

#include <string>
#include <string_view>

// Removes every stretch from a "(" through the first ")" after it; the text
// around each stretch is joined unchanged. Parentheses do not nest. From an
// unclosed "(" on, the text is kept as it stands, so a comment still being
// typed is not lost.
std::string StripParenComments(std::string_view text);
