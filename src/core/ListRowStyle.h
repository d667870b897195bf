#pragma once

// Colours and text positions of the owner-drawn rows of the three command
// lists. Colours are 0x00BBGGRR.

#include "core/DisplayTypes.h"

#include <array>
#include <cstdint>

enum TListKind { lkCPL, lkSyst, lkCustom }; // cbbListCPL, cbbListSyst, cbbListCustom

// Row height and text offsets are design pixels (96 dpi): the list scales them.
inline constexpr int ListRowHeight = 15;

namespace ListRowColor {
inline constexpr std::uint32_t Even = RGBColor(255, 230, 204);
inline constexpr std::uint32_t OddCPL = RGBColor(204, 255, 255);
inline constexpr std::uint32_t OddSyst = RGBColor(225, 225, 255);
inline constexpr std::uint32_t OddCustom = RGBColor(255, 193, 193);
inline constexpr std::uint32_t Selected = RGBColor(223, 255, 0);
inline constexpr std::uint32_t SelectedText = clBlack;
} // namespace ListRowColor

// The colour that tells the lists apart, on their odd rows.
std::uint32_t OddRowColor(TListKind kind);

// Background of row index before any selection: even rows share one colour,
// odd rows take the list's own. Row 0 is even.
std::uint32_t RowBackground(TListKind kind, int index);

// One fill of the row rectangle followed by the row's text.
struct GRowPass {
    std::uint32_t background;
    GPoint textOffset;       // from the row's top-left corner, in design pixels
    bool listTextColor;      // true: the colour the list prepared for the row
    std::uint32_t textColor; // used when listTextColor is false
    bool bold;
    friend bool operator==(const GRowPass&, const GRowPass&) = default;
};

struct GRowPasses {
    int count;
    std::array<GRowPass, 2> pass;
};

// The passes for one row, in order: the parity pass with its text at (10, 2),
// then for a selected row the yellow-green pass in black bold at (8, 0). The list restores its own
// font before each row, so the bold of a selected row never reaches the next one.
GRowPasses RowPasses(TListKind kind, int index, bool selected);
