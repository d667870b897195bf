#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The lines that ran, oldest first, as the box would hold them to run them
// again.

inline constexpr std::size_t kHistoryMax = 200;

// Keeps line as the newest: a line already there, or one that differs only
// by blanks at its end, gives way to it instead of standing twice, and the
// oldest go beyond kHistoryMax. An empty line, or one that begins with a
// blank (the user's way of keeping a line out), is not kept. A line break,
// which would split the line in the file, becomes a blank. False when
// nothing changed.
bool AddToHistory(std::vector<std::string>& lines, std::string_view line);

// The file's lines (Windows-1252, UTF-8 or UTF-16, any line ends), each
// passed through AddToHistory in order; a NUL ends a line, so that none after
// it is lost. Whole is false when the lines do not hold all of the file: a
// NUL, or a character Windows-1252 lacks (read as '?').
struct THistoryRead {
    std::vector<std::string> Lines;
    bool Whole = true;
};
THistoryRead ReadHistory(std::string_view bytes);
// The file: Windows-1252 lines, each ended by CR LF.
std::string HistoryText(const std::vector<std::string>& lines);

// The lines offered for typed, newest first: every one for an empty typed;
// else, as the lists' search finds rows, those holding every blank-separated
// word of typed, letter case and accents ignored, and none for text too short
// to search by.
std::vector<std::string> HistoryMatches(const std::vector<std::string>& lines,
                                        std::string_view typed);
