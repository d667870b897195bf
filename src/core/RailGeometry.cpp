#include "core/RailGeometry.h"

int RailGreyPosition(int extent) {
    return static_cast<int>((static_cast<long long>(extent) - DLineDefault::PenWidth) / 2);
}

std::optional<int> RailWhiteOffset(TDLineRailStyle style) {
    switch (style) {
    case stSunken:
        return 1;
    case stSunkenPlus:
        return 2;
    case stRaised:
        return -1;
    case stRaisedPlus:
        return -2;
    case stNone:
        break;
    }
    return std::nullopt;
}

namespace {

// A line of one pen width at position pos across the control, running over the
// whole length, in the control's coordinates.
GLine LineAt(TDLineDirection direction, int pos, int width, int height, std::uint32_t color) {
    if (direction == drVert) {
        return {{pos, 0}, {pos, height}, color};
    }
    return {{0, pos}, {width, pos}, color};
}

GRect Covered(TDLineDirection direction, const GLine& line, int width, int height) {
    // One pixel across, and the end point is left out.
    const GRect pixels =
        direction == drVert
            ? GRect{line.from.x, line.from.y, AddClamped(line.from.x, 1), line.to.y}
            : GRect{line.from.x, line.from.y, line.to.x, AddClamped(line.from.y, 1)};
    return Intersection(pixels, {0, 0, width, height});
}

} // namespace

GRail RailLines(int width, int height, TDLineDirection direction, TDLineRailStyle style) {
    GRail out{};
    const int pos = RailGreyPosition(direction == drVert ? width : height);
    out.grey = LineAt(direction, pos, width, height, clGray);
    out.greyPixels = Covered(direction, out.grey, width, height);
    if (const auto d = RailWhiteOffset(style)) {
        out.hasWhite = true;
        out.white = LineAt(direction, AddClamped(pos, *d), width, height, clWhite);
        out.whitePixels = Covered(direction, out.white, width, height);
    }
    return out;
}
