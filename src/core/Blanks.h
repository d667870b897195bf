#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Values to fill in a command line at launch: "{{name}}" marks one, and
// "{{name=default}}" gives it a default. A mark runs from "{{" to the first
// "}}"; the name is the text before its first "=", trimmed of blanks, and the
// default everything after that "=", as written. Names compare by
// SameBlankName: one name written twice is one field, which takes the first
// default given.

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
    // A name the settings file would read as a section ("[x]") or a comment
    // (";x"), so that its value would never come back.
    ReservedName,
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
    // unclosed), or, for TooMany and ReservedName, the name.
    std::string Culprit;
};

bool HasBlanks(std::string_view line);
TBlanks ParseBlanks(std::string_view line);

// The line with every mark replaced by the value of its field; values go
// field for field with ParseBlanks(line).Fields, a missing one counts as
// empty. The line must parse without error.
std::string FillBlanks(std::string_view line, const std::vector<std::string>& values);

// Whether two names are one: letter case ignored, Windows-1252's accented
// letters included. The one rule for names, in a line and in the settings file.
bool SameBlankName(std::string_view a, std::string_view b);

// The value last used for a name.
struct TKeptValue {
    std::string Name;
    std::string Value;
};

// The values of the settings file's section, given as the profile functions
// hand a section over: "name=value" lines, each ended by a NUL. A value loses
// the blanks around it and one pair of enclosing quotes, as the profile
// functions read one; a line with no name, or a comment (";..."), gives none.
std::vector<TKeptValue> ParseKeptValues(std::string_view section);
// The value kept for name: the first of that name.
const std::string* FindKeptValue(const std::vector<TKeptValue>& kept, std::string_view name);
// Keeps value for name in place of the first of that name, whose spelling
// stays (others of that name go), or else last.
void SetKeptValue(std::vector<TKeptValue>& kept, std::string_view name, std::string_view value);
// The section as the profile functions write one: "name=\"value\"" lines, each
// ended by a NUL, then a NUL. Quoted, so that the blanks at either end of a
// value and quotes of its own come back.
std::string KeptValuesSection(const std::vector<TKeptValue>& kept);
