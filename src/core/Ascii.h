#pragma once

#include <string_view>

// Letters a to z to their capitals, every other byte as it is: Windows-1252
// accented letters keep their case, so words and kernel object names compare
// alike on every code page.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

// s without the blanks at either end; what a blank is depends on the text:
// spaces and tabs in a typed line, any control byte too in a file's line.
constexpr std::string_view Trimmed(std::string_view s, bool (*isBlank)(char) = IsSpaceOrTab) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}
