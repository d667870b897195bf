#include "core/Label3DGeometry.h"

#include <cmath>
#include <numbers>

int NormalizeEscapement(int value) {
    if (value < 0) {
        const int r = value % 360; // -359..0, no overflow even for INT_MIN
        return r == 0 ? 0 : r + 360;
    }
    if (value > 360) {
        const int r = value % 360;
        return r == 0 ? 360 : r;
    }
    return value;
}

int LogFontEscapement(int escapement) {
    return ClampToInt(static_cast<long long>(escapement) * 10);
}

unsigned LabelPaintFlags(TAlignment alignment, bool wordWrap) {
    unsigned flags = GDT_EXPANDTABS;
    if (wordWrap) {
        flags |= GDT_WORDBREAK;
    }
    switch (alignment) {
    case taRightJustify:
        flags |= GDT_RIGHT;
        break;
    case taCenter:
        flags |= GDT_CENTER;
        break;
    case taLeftJustify:
        flags |= GDT_LEFT;
        break;
    }
    return flags;
}

unsigned AutoSizeMeasureFlags(bool wordWrap) {
    return GDT_EXPANDTABS | GDT_CALCRECT | (wordWrap ? GDT_WORDBREAK : 0u);
}

unsigned Label3DTextFlags(unsigned flags, bool showAccelChar, TEllipsesStyle ellipses,
                          int escapement, TTextLayout layout) {
    if (!showAccelChar) {
        flags |= GDT_NOPREFIX;
    }
    if (ellipses == esEnd) {
        flags |= GDT_END_ELLIPSIS;
    } else if (ellipses == esPath) {
        flags |= GDT_PATH_ELLIPSIS;
    }
    if (escapement == 0) {
        if (layout == tlCenter) {
            flags |= GDT_VCENTER | GDT_SINGLELINE;
        } else if (layout == tlBottom) {
            flags |= GDT_BOTTOM | GDT_SINGLELINE;
        }
    }
    return flags;
}

std::string LabelTextToDraw(std::string_view caption, unsigned flags, bool showAccelChar) {
    std::string text(caption);
    if ((flags & GDT_CALCRECT) != 0 && (text.empty() || (showAccelChar && text == "&"))) {
        text += ' ';
    }
    return text;
}

GTextPasses Label3DTextPasses(TTextStyle style, int shift, std::uint32_t fontColor, bool enabled) {
    using namespace Label3DDefault;
    GTextPasses out{};
    auto add = [&out](GPoint offset, std::uint32_t color, bool mainText) {
        out.pass[static_cast<std::size_t>(out.count++)] = {offset, color, mainText};
    };
    switch (style) {
    case tsNone:
        break;
    case tsRaised:
        add({1, 1}, ShadowColor, false);
        break;
    case tsLightRaised:
        add({1, 1}, ShadowColor, false);
        add({-1, -1}, HighlightColor, false);
        break;
    case tsRecessed:
        add({1, 1}, HighlightColor, false);
        break;
    case tsHeavyRecessed:
        add({1, 1}, HighlightColor, false);
        add({-1, -1}, ShadowColor, false);
        break;
    case tsShadow:
        add({shift, shift}, ShadowColor, false);
        break;
    }
    add({0, 0}, enabled ? fontColor : clGrayText, true);
    return out;
}

GTextPasses StandardLabelTextPasses(std::uint32_t fontColor, bool enabled) {
    if (enabled) {
        return {1, {GTextPass{{0, 0}, fontColor, true}}};
    }
    return {2, {GTextPass{{1, 1}, clBtnHighlight, false}, GTextPass{{0, 0}, clBtnShadow, true}}};
}

int StandardLabelLayoutShift(TTextLayout layout, int height, int measuredBottom) {
    const long long room = static_cast<long long>(height) - measuredBottom;
    switch (layout) {
    case tlBottom:
        return ClampToInt(room);
    case tlCenter:
        return ClampToInt(room / 2);
    case tlTop:
        break;
    }
    return 0;
}

namespace {

double Radians(int degrees) {
    return degrees * std::numbers::pi / 180;
}

// Truncation toward zero, kept inside int for any extent.
int Trunc(double v) {
    if (!(v > INT_MIN)) {
        return std::isnan(v) ? 0 : INT_MIN;
    }
    if (!(v < INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(v);
}

int AbsClamped(int v) {
    return v == INT_MIN ? INT_MAX : (v < 0 ? -v : v);
}

} // namespace

GPoint RotatedTextOffset(int escapement, GSize text) {
    const int a = escapement;
    const double w = text.cx;
    const double h = text.cy;
    if (a <= 90) {
        return {0, Trunc(std::sin(Radians(a)) * w)};
    }
    if (a <= 180) {
        return {Trunc(-std::cos(Radians(a)) * w),
                Trunc(std::sin(Radians(a)) * w + std::cos(Radians(180 - a)) * h)};
    }
    if (a <= 270) {
        return {Trunc(-std::cos(Radians(a)) * w + std::sin(Radians(a - 180)) * h),
                Trunc(std::sin(Radians(270 - a)) * h)};
    }
    return {Trunc(std::sin(Radians(360 - a)) * h), 0};
}

GSize RotatedTextBounds(int escapement, GSize text) {
    const double c = std::cos(Radians(escapement));
    const double s = std::sin(Radians(escapement));
    const double w = text.cx;
    const double h = text.cy;
    return {AddClamped(AbsClamped(Trunc(c * w)), AbsClamped(Trunc(s * h))),
            AddClamped(AbsClamped(Trunc(s * w)), AbsClamped(Trunc(c * h)))};
}

GRotatedPlacement PlaceRotatedText(const GRect& rect, int escapement, GSize text, bool autoSize,
                                   TAlignment alignment, int labelWidth) {
    const GPoint offset = RotatedTextOffset(escapement, text);
    const GSize box = RotatedTextBounds(escapement, text);
    long long shift = 0;
    if (!autoSize) {
        const long long room = static_cast<long long>(labelWidth) - box.cx;
        if (alignment == taCenter) {
            shift = room / 2;
        } else if (alignment == taRightJustify) {
            shift = room;
        }
    }
    const GPoint origin{ClampToInt(static_cast<long long>(rect.left) + offset.x + shift),
                        AddClamped(rect.top, offset.y)};
    return {origin, autoSize, box};
}

GRect AutoSizeBounds(const GRect& bounds, const GRect& measured, TAlignment alignment) {
    const int width = measured.right;
    const int height = measured.bottom;
    const int left = alignment == taRightJustify ? AddClamped(bounds.right, -width) : bounds.left;
    return {left, bounds.top, AddClamped(left, width), AddClamped(bounds.top, height)};
}

GBorder Label3DBorder(bool border, TBorderType type, int width, int height, int penWidth,
                      std::uint32_t borderColor, TPenStyle penStyle) {
    GBorder out{};
    if (!border || penWidth < 1) {
        return out;
    }
    out.visible = true;
    out.penWidth = penWidth;
    out.penStyle = penStyle;
    if (type == btDefault) {
        out.outline = true;
        out.rect = {0, 0, width, height};
        out.outlineColor = borderColor;
        return out;
    }
    const int l = 0;
    const int t = 0;
    const int r = AddClamped(width, -1);
    const int b = AddClamped(height, -1);
    // Recessed: dark top and left, light bottom and right; raised swaps them.
    const std::uint32_t first = type == btRecessed ? clGray : clWhite;
    const std::uint32_t second = type == btRecessed ? clWhite : clGray;
    out.lineCount = 4;
    out.lines = {GLine{{l, t}, {r, t}, first}, GLine{{l, t}, {l, b}, first},
                 GLine{{r, b}, {r, t}, second}, GLine{{r, b}, {l, b}, second}};
    return out;
}

std::string LinkTarget(TLabelStyle style, std::string_view address) {
    if (address.empty()) {
        return {};
    }
    switch (style) {
    case lsWWWAddress:
        return std::string(address);
    case lsEMailAddress:
        return "mailto:" + std::string(address);
    case lsDefault:
        break;
    }
    return {};
}
