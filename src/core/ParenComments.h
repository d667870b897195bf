#pragma once

#include <cstddef>
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
// A '"' outside a comment opens a quoted stretch, which ends at the next '"'
// or at the end of the text: "C:\Program Files (x86)" is a path, never a
// comment, and its parentheses stay single.
std::string StripParenComments(std::string_view text);

// The line as the interpreter gets it: outside quotes "((" becomes "(" and
// "))" becomes ")", read from the left; a single parenthesis stays, and a
// quoted stretch is kept as it stands.
std::string UndoubleParens(std::string_view text);

// The other way: every parenthesis outside quotes doubled, so that the text
// passes StripParenComments whole and UndoubleParens gives it back. quoted:
// the text starts inside a quoted stretch (it goes in after an open '"').
std::string DoubleParens(std::string_view text, bool quoted = false);

// Whether position pos of text lies inside a quoted stretch, as
// StripParenComments reads it (a '"' inside a comment opens nothing).
bool QuotedAt(std::string_view text, std::size_t pos);
