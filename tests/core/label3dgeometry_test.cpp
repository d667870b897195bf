#include "core/Label3DGeometry.h"
#include "gallery/EnumNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

TEST(Label3DEscapement, NegativeValuesWrapIntoZeroTo359) {
    EXPECT_EQ(NormalizeEscapement(-30), 330);
    EXPECT_EQ(NormalizeEscapement(-360), 0);
    EXPECT_EQ(NormalizeEscapement(-361), 359);
    EXPECT_EQ(NormalizeEscapement(-720), 0);
    EXPECT_EQ(NormalizeEscapement(-1), 359);
    const int fromMin = NormalizeEscapement(INT_MIN);
    EXPECT_GE(fromMin, 0);
    EXPECT_LE(fromMin, 359);
    EXPECT_EQ((static_cast<long long>(INT_MIN) - fromMin) % 360, 0);
}

TEST(Label3DEscapement, LargeValuesWrapIntoOneTo360) {
    EXPECT_EQ(NormalizeEscapement(720), 360);
    EXPECT_EQ(NormalizeEscapement(361), 1);
    EXPECT_EQ(NormalizeEscapement(1080), 360);
    EXPECT_EQ(NormalizeEscapement(450), 90);
    const int fromMax = NormalizeEscapement(INT_MAX);
    EXPECT_GE(fromMax, 1);
    EXPECT_LE(fromMax, 360);
    EXPECT_EQ((static_cast<long long>(INT_MAX) - fromMax) % 360, 0);
}

TEST(Label3DEscapement, ZeroTo360KeptAndLogFontInTenths) {
    for (int a : {0, 1, 90, 180, 270, 359, 360}) {
        EXPECT_EQ(NormalizeEscapement(a), a);
    }
    EXPECT_EQ(LogFontEscapement(90), 900);
    EXPECT_EQ(LogFontEscapement(360), 3600);
}

TEST(Label3DFlags, PaintAndMeasureFlags) {
    EXPECT_EQ(LabelPaintFlags(taLeftJustify, false), 0x40u);
    EXPECT_EQ(LabelPaintFlags(taRightJustify, false), 0x42u);
    EXPECT_EQ(LabelPaintFlags(taCenter, true), 0x51u);
    EXPECT_EQ(AutoSizeMeasureFlags(false), 0x440u);
    EXPECT_EQ(AutoSizeMeasureFlags(true), 0x450u);
}

TEST(Label3DFlags, TextStepAddsPrefixEllipsisAndLayout) {
    const unsigned base = LabelPaintFlags(taLeftJustify, true);
    EXPECT_EQ(Label3DTextFlags(base, true, esNone, 0, tlTop), base);
    EXPECT_EQ(Label3DTextFlags(base, false, esNone, 0, tlTop), base | 0x800u);
    EXPECT_EQ(Label3DTextFlags(base, true, esEnd, 0, tlTop), base | 0x8000u);
    EXPECT_EQ(Label3DTextFlags(base, true, esPath, 0, tlTop), base | 0x4000u);
    // Layout forces a single line even with word wrapping on.
    EXPECT_EQ(Label3DTextFlags(base, true, esNone, 0, tlCenter), base | 0x24u);
    EXPECT_EQ(Label3DTextFlags(base, true, esNone, 0, tlBottom), base | 0x28u);
}

TEST(Label3DFlags, LayoutIgnoredWhenRotated) {
    for (int a : {90, 180, 270, 360}) {
        EXPECT_EQ(Label3DTextFlags(0x40, true, esNone, a, tlCenter), 0x40u) << a;
        EXPECT_EQ(Label3DTextFlags(0x40, true, esNone, a, tlBottom), 0x40u) << a;
    }
}

TEST(Label3DFlags, MeasuringEmptyOrLoneAccelGetsABlank) {
    const unsigned measure = AutoSizeMeasureFlags(false);
    EXPECT_EQ(LabelTextToDraw("", measure, true), " ");
    EXPECT_EQ(LabelTextToDraw("", measure, false), " ");
    EXPECT_EQ(LabelTextToDraw("&", measure, true), "& ");
    EXPECT_EQ(LabelTextToDraw("&", measure, false), "&");
    EXPECT_EQ(LabelTextToDraw("&&", measure, true), "&&");
    EXPECT_EQ(LabelTextToDraw("", 0x40, true), "");
    EXPECT_EQ(LabelTextToDraw("&", 0x40, true), "&");
}

namespace {

void ExpectPass(const GTextPass& p, GPoint offset, std::uint32_t color, bool mainText) {
    EXPECT_EQ(p.offset, offset);
    EXPECT_EQ(p.color, color);
    EXPECT_EQ(p.mainText, mainText);
}

} // namespace

TEST(Label3DTextPasses, EachStyleCopiesThenMainText) {
    const std::uint32_t font = clPurple;
    const std::uint32_t shadow = 0xFF000010;
    const std::uint32_t light = 0xFF000014;

    GTextPasses p = Label3DTextPasses(tsNone, 5, font, true);
    ASSERT_EQ(p.count, 1);
    ExpectPass(p.pass[0], {0, 0}, font, true);

    p = Label3DTextPasses(tsRaised, 5, font, true);
    ASSERT_EQ(p.count, 2);
    ExpectPass(p.pass[0], {1, 1}, shadow, false);

    p = Label3DTextPasses(tsLightRaised, 5, font, true);
    ASSERT_EQ(p.count, 3);
    ExpectPass(p.pass[0], {1, 1}, shadow, false);
    ExpectPass(p.pass[1], {-1, -1}, light, false);
    ExpectPass(p.pass[2], {0, 0}, font, true);

    p = Label3DTextPasses(tsRecessed, 5, font, true);
    ASSERT_EQ(p.count, 2);
    ExpectPass(p.pass[0], {1, 1}, light, false);

    p = Label3DTextPasses(tsHeavyRecessed, 5, font, true);
    ASSERT_EQ(p.count, 3);
    ExpectPass(p.pass[0], {1, 1}, light, false);
    ExpectPass(p.pass[1], {-1, -1}, shadow, false);
}

TEST(Label3DTextPasses, ShadowFollowsShiftOfAnySign) {
    GTextPasses p = Label3DTextPasses(tsShadow, 2, clPurple, true);
    ASSERT_EQ(p.count, 2);
    ExpectPass(p.pass[0], {2, 2}, 0xFF000010, false);
    ExpectPass(p.pass[1], {0, 0}, clPurple, true);

    EXPECT_EQ(Label3DTextPasses(tsShadow, -3, 0, true).pass[0].offset, (GPoint{-3, -3}));
    // Shift 0: the shadow is still drawn, hidden under the text.
    p = Label3DTextPasses(tsShadow, 0, 0, true);
    ASSERT_EQ(p.count, 2);
    EXPECT_FALSE(p.pass[0].mainText);
    EXPECT_EQ(p.pass[0].offset, (GPoint{0, 0}));
}

TEST(Label3DTextPasses, DisabledGreysOnlyTheMainText) {
    const GTextPasses p = Label3DTextPasses(tsRaised, 1, clPurple, false);
    ASSERT_EQ(p.count, 2);
    ExpectPass(p.pass[0], {1, 1}, clBtnShadow, false);
    ExpectPass(p.pass[1], {0, 0}, clGrayText, true);
}

TEST(Label3DTextPasses, ShiftedRectangleSaturates) {
    const GRect r{0, 0, 100, 20};
    const GPoint off = Label3DTextPasses(tsShadow, INT_MAX, 0, true).pass[0].offset;
    EXPECT_EQ(Moved(r, off), (GRect{INT_MAX, INT_MAX, INT_MAX, INT_MAX}));
    EXPECT_EQ(Moved(r, {-3, -3}), (GRect{-3, -3, 97, 17}));
}

TEST(StandardLabel, DisabledDrawsEmbossedTwice) {
    GTextPasses p = StandardLabelTextPasses(clNavy, true);
    ASSERT_EQ(p.count, 1);
    ExpectPass(p.pass[0], {0, 0}, clNavy, true);
    p = StandardLabelTextPasses(clNavy, false);
    ASSERT_EQ(p.count, 2);
    ExpectPass(p.pass[0], {1, 1}, clBtnHighlight, false);
    ExpectPass(p.pass[1], {0, 0}, clBtnShadow, true);
}

TEST(StandardLabel, LayoutShift) {
    EXPECT_EQ(StandardLabelLayoutShift(tlTop, 17, 13), 0);
    EXPECT_EQ(StandardLabelLayoutShift(tlBottom, 17, 13), 4);
    EXPECT_EQ(StandardLabelLayoutShift(tlCenter, 17, 12), 2);
    // A caption taller than the label moves up, truncated toward zero.
    EXPECT_EQ(StandardLabelLayoutShift(tlCenter, 10, 15), -2);
    EXPECT_EQ(StandardLabelLayoutShift(tlBottom, 10, 15), -5);
}

TEST(RotatedText, QuarterTurns) {
    const GSize text{100, 20};
    struct Case {
        int angle;
        GPoint offset;
        GSize box;
    };
    const Case cases[] = {
        {0, {0, 0}, {100, 20}},    {90, {0, 100}, {20, 100}}, {180, {100, 20}, {100, 20}},
        {270, {20, 0}, {20, 100}}, {360, {0, 0}, {100, 20}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RotatedTextOffset(c.angle, text), c.offset) << c.angle;
        EXPECT_EQ(RotatedTextBounds(c.angle, text), c.box) << c.angle;
    }
}

// For every angle, the offset must bring the turned text cell's corners to the
// rectangle's top-left corner, and the box must hold them.
TEST(RotatedText, OffsetAndBoxFitTheTurnedCell) {
    const double w = 137;
    const double h = 23;
    for (int a = 1; a <= 360; ++a) {
        const double rad = a * std::numbers::pi / 180;
        const double c = std::cos(rad);
        const double s = std::sin(rad);
        const GPoint off = RotatedTextOffset(a, {137, 23});
        const GSize box = RotatedTextBounds(a, {137, 23});
        // Screen y grows downwards; the text turns counter-clockwise.
        const double xs[] = {0, w * c, h * s, w * c + h * s};
        const double ys[] = {0, -w * s, h * c, -w * s + h * c};
        const double minX = *std::min_element(std::begin(xs), std::end(xs)) + off.x;
        const double minY = *std::min_element(std::begin(ys), std::end(ys)) + off.y;
        const double maxX = *std::max_element(std::begin(xs), std::end(xs)) + off.x;
        const double maxY = *std::max_element(std::begin(ys), std::end(ys)) + off.y;
        EXPECT_NEAR(minX, 0, 1.0) << a;
        EXPECT_NEAR(minY, 0, 1.0) << a;
        EXPECT_NEAR(maxX - minX, box.cx, 2.0) << a;
        EXPECT_NEAR(maxY - minY, box.cy, 2.0) << a;
    }
}

TEST(RotatedText, AutoSizeTakesTheBoxWithoutShift) {
    const GRotatedPlacement p = PlaceRotatedText({0, 0, 65, 17}, 90, {100, 20}, true, taCenter, 65);
    EXPECT_TRUE(p.resize);
    EXPECT_EQ(p.size, (GSize{20, 100}));
    EXPECT_EQ(p.origin, (GPoint{0, 100}));
}

TEST(RotatedText, AlignmentShiftWithoutAutoSize) {
    const GRect r{0, 0, 249, 30};
    EXPECT_EQ(PlaceRotatedText(r, 90, {100, 20}, false, taLeftJustify, 249).origin,
              (GPoint{0, 100}));
    EXPECT_EQ(PlaceRotatedText(r, 90, {100, 20}, false, taRightJustify, 249).origin,
              (GPoint{229, 100}));
    EXPECT_EQ(PlaceRotatedText(r, 90, {100, 20}, false, taCenter, 249).origin, (GPoint{114, 100}));
    // Narrower than the box: the centring shift is negative, truncated toward zero.
    EXPECT_EQ(PlaceRotatedText(r, 180, {15, 10}, false, taCenter, 10).origin, (GPoint{13, 10}));
    // The shadow pass is placed from its own moved rectangle.
    const GRect moved = Moved(r, {2, 2});
    EXPECT_FALSE(PlaceRotatedText(moved, 90, {100, 20}, false, taLeftJustify, 249).resize);
    EXPECT_EQ(PlaceRotatedText(moved, 90, {100, 20}, false, taLeftJustify, 249).origin,
              (GPoint{2, 102}));
}

TEST(AutoSize, NewBoundsKeepRightEdgeForRightJustify) {
    const GRect bounds{73, 20, 138, 37};
    const GRect measured{0, 0, 40, 13};
    EXPECT_EQ(AutoSizeBounds(bounds, measured, taLeftJustify), (GRect{73, 20, 113, 33}));
    EXPECT_EQ(AutoSizeBounds(bounds, measured, taCenter), (GRect{73, 20, 113, 33}));
    EXPECT_EQ(AutoSizeBounds(bounds, measured, taRightJustify), (GRect{98, 20, 138, 33}));
}

TEST(Label3DBorderGeometry, NothingWithoutBorderOrPen) {
    EXPECT_FALSE(Label3DBorder(false, btDefault, 249, 30, 1, clRed, psSolid).visible);
    EXPECT_FALSE(Label3DBorder(true, btDefault, 249, 30, 0, clRed, psSolid).visible);
    EXPECT_FALSE(Label3DBorder(true, btRaised, 249, 30, -2, clRed, psSolid).visible);
}

TEST(Label3DBorderGeometry, DefaultIsAnOutlineOfTheWholeControl) {
    const GBorder b = Label3DBorder(true, btDefault, 249, 30, 3, clRed, psDash);
    EXPECT_TRUE(b.visible);
    EXPECT_TRUE(b.outline);
    EXPECT_EQ(b.rect, (GRect{0, 0, 249, 30}));
    EXPECT_EQ(b.outlineColor, clRed);
    EXPECT_EQ(b.penWidth, 3);
    EXPECT_EQ(b.penStyle, psDash);
    EXPECT_EQ(b.lineCount, 0);
}

TEST(Label3DBorderGeometry, BevelsDarkenOppositeSides) {
    const std::uint32_t grey = 0x00808080;
    const std::uint32_t white = 0x00FFFFFF;
    const GBorder in = Label3DBorder(true, btRecessed, 10, 5, 1, clRed, psSolid);
    EXPECT_FALSE(in.outline);
    ASSERT_EQ(in.lineCount, 4);
    EXPECT_EQ(in.lines[0], (GLine{{0, 0}, {9, 0}, grey}));
    EXPECT_EQ(in.lines[1], (GLine{{0, 0}, {0, 4}, grey}));
    EXPECT_EQ(in.lines[2], (GLine{{9, 4}, {9, 0}, white}));
    EXPECT_EQ(in.lines[3], (GLine{{9, 4}, {0, 4}, white}));

    const GBorder out = Label3DBorder(true, btRaised, 10, 5, 2, clRed, psSolid);
    ASSERT_EQ(out.lineCount, 4);
    EXPECT_EQ(out.penWidth, 2);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(out.lines[i].from, in.lines[i].from);
        EXPECT_EQ(out.lines[i].to, in.lines[i].to);
        EXPECT_EQ(out.lines[i].color, i < 2 ? white : grey);
    }
}

TEST(Label3DLink, TargetOfEachStyle) {
    EXPECT_EQ(LinkTarget(lsWWWAddress, "https://www.example.org/"), "https://www.example.org/");
    EXPECT_EQ(LinkTarget(lsEMailAddress, "auteur@example.org"), "mailto:auteur@example.org");
    EXPECT_EQ(LinkTarget(lsDefault, "https://www.example.org/"), "");
    EXPECT_EQ(LinkTarget(lsWWWAddress, ""), "");
    EXPECT_EQ(LinkTarget(lsEMailAddress, ""), "");
    EXPECT_FALSE(IsLinkStyle(lsDefault));
    EXPECT_TRUE(IsLinkStyle(lsEMailAddress));
}

TEST(DisplayTypes, NamesMatchOrdinals) {
    EXPECT_EQ(EnumName(tsHeavyRecessed), "tsHeavyRecessed");
    EXPECT_EQ(EnumName(tsShadow), "tsShadow");
    EXPECT_EQ(EnumName(esPath), "esPath");
    EXPECT_EQ(EnumName(psInsideFrame), "psInsideFrame");
    EXPECT_EQ(EnumName(stRaisedPlus), "stRaisedPlus");
    EXPECT_EQ(EnumName(static_cast<TTextStyle>(6)), "");
}
