#pragma once

// Letters a to z to their capitals, every other byte as it is: Windows-1252
// accented letters keep their case, so words and kernel object names compare
// alike on every code page.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
