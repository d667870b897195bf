#pragma once

#include <string>
#include <string_view>

// Removes every stretch from a "(" through the first ")" after it; the text
// around each stretch is joined unchanged. Parentheses do not nest. From an
// unclosed "(" on, the text is kept as it stands, so a comment still being
// typed is not lost.
// Outside a comment, "((" and "))" stand for one parenthesis of the command
// itself: they are kept doubled, so that the line survives this rule again
// (a pick, a row written back), and UndoubleParens makes them single. Inside
// a comment the first ")" still ends it.
std::string StripParenComments(std::string_view text);

// The line as the interpreter gets it: "((" becomes "(" and "))" becomes ")",
// read from the left; a single parenthesis stays.
std::string UndoubleParens(std::string_view text);
