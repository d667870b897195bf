#include "core/RailGeometry.h"
#include "gallery/EnumNames.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Grey = 0x00808080;
constexpr std::uint32_t White = 0x00FFFFFF;
constexpr GRect None{0, 0, 0, 0};

GRect Row(int y, int width) {
    return {0, y, width, y + 1};
}

GRect Column(int x, int height) {
    return {x, 0, x + 1, height};
}

} // namespace

TEST(RailGeometry, NewControlIsSunkenAcrossTheMiddle) {
    const GRail r = RailLines(DLineDefault::Width, DLineDefault::Height, DLineDefault::Direction,
                              DLineDefault::RailStyle);
    EXPECT_EQ(r.grey, (GLine{{0, 24}, {200, 24}, Grey}));
    ASSERT_TRUE(r.hasWhite);
    EXPECT_EQ(r.white, (GLine{{0, 25}, {200, 25}, White}));
    EXPECT_EQ(r.greyPixels, Row(24, 200));
    EXPECT_EQ(r.whitePixels, Row(25, 200));
}

TEST(RailGeometry, WhiteLineSideForEachStyle) {
    EXPECT_FALSE(RailWhiteOffset(stNone).has_value());
    EXPECT_FALSE(RailLines(200, 50, drHoriz, stNone).hasWhite);
    EXPECT_EQ(RailLines(200, 50, drHoriz, stNone).whitePixels, None);
    EXPECT_EQ(RailLines(200, 50, drHoriz, stSunkenPlus).whitePixels, Row(26, 200));
    EXPECT_EQ(RailLines(200, 50, drHoriz, stRaised).whitePixels, Row(23, 200));
    EXPECT_EQ(RailLines(200, 50, drHoriz, stRaisedPlus).whitePixels, Row(22, 200));
    // Odd height: the grey line sits exactly in the middle.
    EXPECT_EQ(RailLines(10, 5, drHoriz, stNone).greyPixels, Row(2, 10));
}

TEST(RailGeometry, ThinControlsShowOnlyWhatFits) {
    for (TDLineRailStyle s : {stNone, stSunken, stSunkenPlus, stRaised, stRaisedPlus}) {
        const GRail r = RailLines(355, 1, drHoriz, s);
        EXPECT_EQ(r.greyPixels, Row(0, 355)) << EnumName(s);
        EXPECT_EQ(r.whitePixels, None) << EnumName(s);
    }
    EXPECT_EQ(RailLines(30, 2, drHoriz, stSunken).greyPixels, Row(0, 30));
    EXPECT_EQ(RailLines(30, 2, drHoriz, stSunken).whitePixels, Row(1, 30));
    EXPECT_EQ(RailLines(30, 2, drHoriz, stRaised).greyPixels, Row(0, 30));
    EXPECT_EQ(RailLines(30, 2, drHoriz, stRaised).whitePixels, None);
    EXPECT_EQ(RailLines(30, 2, drHoriz, stSunkenPlus).whitePixels, None);
}

TEST(RailGeometry, EmptyControlsShowNothing) {
    EXPECT_EQ(RailGreyPosition(0), 0);
    const GRail flat = RailLines(200, 0, drHoriz, stSunken);
    EXPECT_EQ(flat.grey, (GLine{{0, 0}, {200, 0}, Grey}));
    EXPECT_EQ(flat.greyPixels, None);
    EXPECT_EQ(flat.whitePixels, None);
    EXPECT_EQ(RailLines(0, 50, drHoriz, stSunken).greyPixels, None);
    EXPECT_EQ(RailLines(0, 50, drVert, stSunken).greyPixels, None);
    EXPECT_EQ(RailLines(-4, -4, drVert, stRaised).whitePixels, None);
}

TEST(RailGeometry, VerticalExchangesTheAxes) {
    const GRail r = RailLines(3, 40, drVert, stRaised);
    EXPECT_EQ(r.grey, (GLine{{1, 0}, {1, 40}, Grey}));
    EXPECT_EQ(r.white, (GLine{{0, 0}, {0, 40}, White}));
    EXPECT_EQ(r.greyPixels, Column(1, 40));
    EXPECT_EQ(r.whitePixels, Column(0, 40));

    const GRail d = RailLines(200, 50, drVert, stSunken);
    EXPECT_EQ(d.greyPixels, Column(99, 50));
    EXPECT_EQ(d.whitePixels, Column(100, 50));
    EXPECT_EQ(RailLines(1, 50, drVert, stSunken).whitePixels, None);
}
