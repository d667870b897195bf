#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Rows of a catalogue file as loaded into a drop-down list. Lines end at CR,
// LF or CR LF; a final line break adds no row, but every empty line does; a
// NUL byte ends the list. The rows are views into bytes, without a copy of
// each row: lists of many rows copy them once more where they go.
std::vector<std::string_view> CatalogueLineViews(std::string_view bytes);

// How a catalogue file is read: a byte-order mark names UTF-8 or UTF-16;
// without one, text that is valid UTF-8 up to its first NUL and holds a byte
// above 127 is UTF-8; anything else is the system's 8-bit code page.
enum class TCatalogueEncoding { Ansi, Utf8, Utf8Bom, Utf16le, Utf16be };
TCatalogueEncoding CatalogueEncoding(std::string_view bytes);

// The catalogue as the program's 8-bit text (Windows-1252), ready for
// CatalogueLineViews: 8-bit files as they stand, without a copy; UTF files
// converted into storage, without their mark, up to their first NUL. A
// character Windows-1252 lacks, or a broken sequence, becomes '?', whose
// place in the text goes into lost when it is given, in order.
std::string_view CatalogueAnsiText(std::string_view bytes, std::string& storage,
                                   std::vector<std::size_t>* lost = nullptr);

// The indexes of the rows that hold one of the places lost, in order: rows
// are CatalogueLineViews of text, lost as CatalogueAnsiText gave it. Such a
// row is not the file's line, and run it would run another command.
std::vector<std::size_t> RowsHoldingLost(const std::vector<std::string_view>& rows,
                                         std::string_view text,
                                         const std::vector<std::size_t>& lost);

// Whether CatalogueAnsiText gives every character of the file: no NUL ends
// it early and no character became '?'.
bool CatalogueReadWhole(std::string_view bytes);

// The row that "add to my commands" writes for a command line and an
// optional comment: the line, then " (comment)" when the comment holds more
// than blanks. Brackets stand for the comment's own parentheses, and a line
// break in it becomes a blank. None when the row, picked from its list, would
// not give the line back (StripParenComments, the blank before the comment
// aside): "echo (test" with a comment would come back as "echo ".
std::optional<std::string> ComposeAddedRow(std::string_view line, std::string_view comment);

// The whole file once a row (Windows-1252 text) is appended: in the file's
// own encoding with its mark, with its line ends (the first one found, else
// CR LF), a missing final line break added first. No file gives a new one in
// Windows-1252 with CR LF, which every release of the program reads. None
// when the file holds a NUL character: its list ends there, so the row would
// never show.
std::optional<std::string> CatalogueWithRow(std::optional<std::string_view> file,
                                            std::string_view row);
