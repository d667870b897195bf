#pragma once

#include <string>
#include <string_view>
#include <vector>

// Rows of a catalogue file as loaded into a drop-down list. Lines end at CR,
// LF or CR LF; a final line break adds no row, but every empty line does; a
// NUL byte ends the list. The rows are views into bytes, without a copy of
// each row: lists of many rows copy them once more where they go.
std::vector<std::string_view> CatalogueLineViews(std::string_view bytes);
