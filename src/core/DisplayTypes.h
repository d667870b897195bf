#pragma once

// Types shared by the display controls (3-D label, hyperlink label, rail line)
// and their portable geometry. Nothing here knows about a window.

#include <climits>
#include <cstdint>

// ---------------------------------------------------------------------------
// Points, sizes, rectangles and lines. Prefixed with G so that they never meet
// Win32's POINT, SIZE and RECT. Rectangles follow GDI: right and bottom are
// one past the last pixel.

struct GPoint {
    int x;
    int y;
    friend bool operator==(const GPoint&, const GPoint&) = default;
};

struct GSize {
    int cx;
    int cy;
    friend bool operator==(const GSize&, const GSize&) = default;
};

struct GRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const GRect&, const GRect&) = default;
};

// A line drawn the GDI way: MoveTo(from), LineTo(to); the end point is not drawn.
struct GLine {
    GPoint from;
    GPoint to;
    std::uint32_t color;
    friend bool operator==(const GLine&, const GLine&) = default;
};

// Sums that saturate instead of overflowing: a shift or a size may be any
// 32-bit value.
constexpr int ClampToInt(long long v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

constexpr int AddClamped(int a, int b) {
    return ClampToInt(static_cast<long long>(a) + b);
}

// Both corners move.
constexpr GRect Moved(const GRect& r, GPoint by) {
    return {AddClamped(r.left, by.x), AddClamped(r.top, by.y), AddClamped(r.right, by.x),
            AddClamped(r.bottom, by.y)};
}

constexpr bool IsEmpty(const GRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The empty result is {0, 0, 0, 0}.
constexpr GRect Intersection(const GRect& a, const GRect& b) {
    const GRect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                  a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return IsEmpty(r) ? GRect{0, 0, 0, 0} : r;
}

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR is an RGB colour, 0xFF0000nn the system colour nn
// (GetSysColor's index), resolved when drawn.

using TColor = std::uint32_t;

constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

inline constexpr TColor clSystemColor = 0xFF000000;

constexpr bool IsSystemColor(TColor color) {
    return (color & 0xFF000000u) == clSystemColor;
}

// The COLOR_ index of a system colour, for GetSysColor.
constexpr int SystemColorIndex(TColor color) {
    return static_cast<int>(color & 0xFFu);
}

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                        clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
// The system colours by their COLOR_ index; the toolkit checks each index.
inline constexpr TColor clHighlight = clSystemColor | 13, clHighlightText = clSystemColor | 14,
                        clWindow = clSystemColor | 5, clWindowText = clSystemColor | 8,
                        clBtnFace = clSystemColor | 15, clBtnShadow = clSystemColor | 16,
                        clGrayText = clSystemColor | 17, clBtnText = clSystemColor | 18,
                        clBtnHighlight = clSystemColor | 20, clInfoBk = clSystemColor | 24;
inline constexpr TColor clNone = 0x1FFFFFFF;

// ---------------------------------------------------------------------------
// DrawTextA flags, same values as the DT_ macros of <winuser.h>. The Win32 side
// can check each pair: static_assert(GDT_CENTER == DT_CENTER).

inline constexpr unsigned GDT_TOP = 0x0;
inline constexpr unsigned GDT_LEFT = 0x0;
inline constexpr unsigned GDT_CENTER = 0x1;
inline constexpr unsigned GDT_RIGHT = 0x2;
inline constexpr unsigned GDT_VCENTER = 0x4;
inline constexpr unsigned GDT_BOTTOM = 0x8;
inline constexpr unsigned GDT_WORDBREAK = 0x10;
inline constexpr unsigned GDT_SINGLELINE = 0x20;
inline constexpr unsigned GDT_EXPANDTABS = 0x40;
inline constexpr unsigned GDT_NOCLIP = 0x100;
inline constexpr unsigned GDT_CALCRECT = 0x400;
inline constexpr unsigned GDT_NOPREFIX = 0x800;
inline constexpr unsigned GDT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned GDT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned GDT_RTLREADING = 0x20000;
inline constexpr unsigned GDT_WORD_ELLIPSIS = 0x40000;

// ---------------------------------------------------------------------------
// Enumerations. TPenStyle's ordinals equal GDI's PS_SOLID .. PS_INSIDEFRAME.

enum TTextStyle { tsNone, tsRaised, tsLightRaised, tsRecessed, tsHeavyRecessed, tsShadow };
enum TBorderType { btDefault, btRecessed, btRaised };
enum TLabelStyle { lsDefault, lsWWWAddress, lsEMailAddress };
enum TEllipsesStyle { esNone, esEnd, esPath };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TDLineDirection { drHoriz, drVert };
enum TDLineRailStyle { stNone, stSunken, stSunkenPlus, stRaised, stRaisedPlus };
