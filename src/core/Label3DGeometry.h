#pragma once

// Geometry and drawing rules of the 3-D label (TLabel3D), plus the parts it
// shares with the standard label that TLabelURL draws with. The component
// turns each result into canvas calls; nothing here draws.

#include "core/DisplayTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------
// Construction defaults of TLabel3D.

namespace Label3DDefault {
inline constexpr std::uint32_t BorderColor = clRed;
inline constexpr TPenStyle BorderPenStyle = psSolid;
inline constexpr int BorderWidth = 1;
inline constexpr bool Border = false;
inline constexpr TBorderType BorderType = btDefault;
inline constexpr int Escapement = 0;
inline constexpr TTextStyle TextStyle = tsRaised;
inline constexpr TLabelStyle LabelStyle = lsDefault;
inline constexpr TEllipsesStyle EllipsesStyle = esNone;
inline constexpr int Shift = 1;
inline constexpr std::string_view FontName = "Arial";
// Fixed at construction; nothing changes them afterwards.
inline constexpr std::uint32_t ShadowColor = clBtnShadow;
inline constexpr std::uint32_t HighlightColor = clBtnHighlight;
inline constexpr std::uint32_t HoverColor = clRed;
inline constexpr std::uint32_t SavedFontColor = clBlack;
} // namespace Label3DDefault

// ---------------------------------------------------------------------------
// Escapement: the caption's angle in whole degrees, counter-clockwise.

// What the Escapement setter stores: a negative value becomes 0..359, a value
// above 360 becomes 1..360 (so 720 stays a full turn, 360), 0..360 is kept.
int NormalizeEscapement(int value);

// LOGFONT's lfEscapement for a normalised escapement: tenths of a degree.
int LogFontEscapement(int escapement);

// ---------------------------------------------------------------------------
// DrawTextA flags.

// Flags of the paint step, the same for TLabel3D and the standard label:
// DT_EXPANDTABS, DT_WORDBREAK when word-wrapping, and the alignment.
unsigned LabelPaintFlags(TAlignment alignment, bool wordWrap);

// Flags the base's automatic sizing measures the caption with.
unsigned AutoSizeMeasureFlags(bool wordWrap);

// The flags TLabel3D's text-drawing step actually uses, given the flags it was
// called with. Layout becomes DT_VCENTER or DT_BOTTOM with DT_SINGLELINE only
// for an unrotated caption (escapement 0); a rotated caption ignores all flags.
unsigned Label3DTextFlags(unsigned flags, bool showAccelChar, TEllipsesStyle ellipses,
                          int escapement, TTextLayout layout);

// The text handed to DrawTextA. A measuring request (DT_CALCRECT) on an empty
// caption, or on a lone "&" that would be an accelerator mark, gets one blank
// appended, so the measured height is never zero.
std::string LabelTextToDraw(std::string_view caption, unsigned flags, bool showAccelChar);

// ---------------------------------------------------------------------------
// The text's passes: the effect copies, then the main text, in drawing order.
// Each pass draws into a copy of the text rectangle moved by offset (both
// corners; Moved). Only the main pass writes a measurement back: the
// copies measure into scratch rectangles.

struct GTextPass {
    GPoint offset;
    std::uint32_t color;
    bool mainText;
    friend bool operator==(const GTextPass&, const GTextPass&) = default;
};

struct GTextPasses {
    int count;
    std::array<GTextPass, 3> pass;
};

// TLabel3D: the copies of the style (shadow below right, highlight above left,
// tsShadow at (Shift, Shift)) keep their colours when the label is disabled;
// only the main text turns to clGrayText.
GTextPasses Label3DTextPasses(TTextStyle style, int shift, std::uint32_t fontColor, bool enabled);

// The standard label: once in the font colour, or, disabled, once at (+1, +1)
// in clBtnHighlight and once in place in clBtnShadow.
GTextPasses StandardLabelTextPasses(std::uint32_t fontColor, bool enabled);

// The standard label's vertical layout: how far the drawing rectangle moves
// down, given the client height and the bottom of the caption measured with the
// paint flags plus DT_CALCRECT. tlCenter truncates toward zero.
int StandardLabelLayoutShift(TTextLayout layout, int height, int measuredBottom);

// ---------------------------------------------------------------------------
// Rotated caption (escapement not 0, 360 included). The font turns about the
// top-left corner of the unrotated text cell; text is the caption's extent
// from GetTextExtentPoint32A with the label's font, unrotated.

// What to add to the rectangle's top-left so that the rotated text's bounding
// box starts there.
GPoint RotatedTextOffset(int escapement, GSize text);

// Size of the rotated text's bounding box (each product truncated, then its
// absolute value taken).
GSize RotatedTextBounds(int escapement, GSize text);

struct GRotatedPlacement {
    GPoint origin; // where TextOut draws with the rotated font
    bool resize;   // AutoSize: the label takes size, and no alignment shift applies
    GSize size;    // the bounding box of the rotated text
    friend bool operator==(const GRotatedPlacement&, const GRotatedPlacement&) = default;
};

// Placement of one pass of rotated text drawn for rect (the pass's moved
// rectangle). Without AutoSize the box is aligned horizontally in the label's
// width: centred (truncated toward zero) or against the right edge. A measuring
// request on a rotated caption draws nothing and leaves its rectangle alone,
// so the base's automatic sizing keeps the current size.
GRotatedPlacement PlaceRotatedText(const GRect& rect, int escapement, GSize text, bool autoSize,
                                   TAlignment alignment, int labelWidth);

// ---------------------------------------------------------------------------
// Automatic sizing by the base: the label's new bounds in its parent, from its
// bounds and the rectangle measured from (0, 0). The right edge stays in place
// for taRightJustify; otherwise the top-left corner does.
GRect AutoSizeBounds(const GRect& bounds, const GRect& measured, TAlignment alignment);

// ---------------------------------------------------------------------------
// Border.

struct GBorder {
    bool visible; // false: draw nothing at all
    int penWidth; // BorderWidth
    TPenStyle penStyle;
    bool outline; // btDefault: Rectangle(rect) with a clear brush
    GRect rect;   // (0, 0, Width, Height): right and bottom lines fall on the last column/row
    std::uint32_t outlineColor;
    int lineCount; // bevels: four lines, drawn in order
    std::array<GLine, 4> lines;
};

// The border drawn over the label (it takes no room from the caption).
// Nothing is drawn unless border is set and penWidth is at least 1.
GBorder Label3DBorder(bool border, TBorderType type, int width, int height, int penWidth,
                      std::uint32_t borderColor, TPenStyle penStyle);

// ---------------------------------------------------------------------------
// Link behaviour.

constexpr bool IsLinkStyle(TLabelStyle style) {
    return style == lsWWWAddress || style == lsEMailAddress;
}

// What a click hands to ShellExecuteA: the address for a web link, "mailto:"
// and the address for an e-mail link, and nothing (empty) for a plain label or
// an empty address, which only fire OnClick.
std::string LinkTarget(TLabelStyle style, std::string_view address);
