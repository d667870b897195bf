#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Values to fill in a command line at launch: "{{name}}" marks one, and
// "{{name=default}}" gives it a default. A mark runs from "{{" to the first
// "}}"; the name is the text before its first "=", trimmed of blanks, and the
// default everything after that "=", as written. Names compare whatever the
// case of their Windows-1252 letters, accented ones included: one name written
// twice is one field, which takes the first default given.

inline constexpr std::size_t kBlanksMax = 9;

struct TBlankField {
    std::string Name; // as first written
    std::string Default;
};

enum class TBlanksError {
    None,
    Unclosed,  // "{{" with no "}}", or another brace before it
    EmptyName, // "{{}}", "{{ =x}}"
    TooMany,   // a name beyond kBlanksMax
};

// Where a mark stands in the line: [Begin, End) from its "{{" through its
// "}}", and the field it fills.
struct TBlankMark {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Field = 0;
};

struct TBlanks {
    std::vector<TBlankField> Fields; // in order of first appearance
    std::vector<TBlankMark> Marks;   // in the line's order
    TBlanksError Error = TBlanksError::None;
    // The faulty mark as written (from its "{{" to the line's end when it is
    // unclosed), or, for TooMany, the first name beyond the limit.
    std::string Culprit;
};

bool HasBlanks(std::string_view line);
TBlanks ParseBlanks(std::string_view line);

// The line with every mark replaced by the value of its field; values go
// field for field with ParseBlanks(line).Fields, a missing one counts as
// empty. The line must parse without error.
std::string FillBlanks(std::string_view line, const std::vector<std::string>& values);
