#pragma once

// Geometry of the rail line (TDLine): a grey line across the control, and for
// every style but stNone a white line beside it.

#include "core/DisplayTypes.h"

#include <cstdint>
#include <optional>

namespace DLineDefault {
inline constexpr int Width = 200;
inline constexpr int Height = 50;
inline constexpr TDLineDirection Direction = drHoriz;
inline constexpr TDLineRailStyle RailStyle = stSunken;
// The pen is always solid and 1 pixel wide; only its colour changes.
inline constexpr int PenWidth = 1;
} // namespace DLineDefault

// Row (horizontal) or column (vertical) of the grey line, from the control's
// height or width: (extent - 1) / 2, truncated toward zero, so 0 for 0, 1 and 2.
int RailGreyPosition(int extent);

// Where the white line lies against the grey one, across the line: +1 and +2
// below (or right of) it for the sunken styles, -1 and -2 above (or left of)
// it for the raised ones, nothing for stNone.
std::optional<int> RailWhiteOffset(TDLineRailStyle style);

struct GRail {
    GLine grey;        // drawn first
    bool hasWhite;     // false for stNone
    GLine white;       // drawn second
    GRect greyPixels;  // the pixels each line covers inside the control;
    GRect whitePixels; // {0, 0, 0, 0} when it falls outside or there is no white line
};

// The lines the control draws (MoveTo/LineTo, end point not drawn) and what of
// them shows once cut to the control's bounds.
GRail RailLines(int width, int height, TDLineDirection direction, TDLineRailStyle style);
