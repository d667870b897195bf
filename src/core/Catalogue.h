#pragma once

#include <string>
#include <string_view>
#include <vector>

// Rows of a catalogue file as loaded into a drop-down list. Lines end at CR,
// LF or CR LF; a final line break adds no row, but every empty line does; a
// NUL byte ends the list.
std::vector<std::string> SplitCatalogueLines(std::string_view bytes);

// The same rows as views into bytes, without a copy of each row: for lists of
// many rows that are copied once more where they go.
std::vector<std::string_view> CatalogueLineViews(std::string_view bytes);
