#include "core/ListRowStyle.h"

#include <gtest/gtest.h>

TEST(ListRowStyle, ColoursAreBgrValues) {
    EXPECT_EQ(ListRowColor::Even, 0x00CCE6FFu);
    EXPECT_EQ(ListRowColor::OddCPL, 0x00FFFFCCu);
    EXPECT_EQ(ListRowColor::OddSyst, 0x00FFE1E1u);
    EXPECT_EQ(ListRowColor::OddCustom, 0x00C1C1FFu);
    EXPECT_EQ(ListRowColor::Selected, 0x0000FFDFu);
}

TEST(ListRowStyle, EvenRowsShareOddRowsTellListsApart) {
    for (TListKind k : {lkCPL, lkSyst, lkCustom}) {
        EXPECT_EQ(RowBackground(k, 0), ListRowColor::Even);
        EXPECT_EQ(RowBackground(k, 4), ListRowColor::Even);
        EXPECT_EQ(RowBackground(k, 3), OddRowColor(k));
        EXPECT_EQ(RowBackground(k, -1), OddRowColor(k));
    }
    EXPECT_EQ(RowBackground(lkCPL, 1), ListRowColor::OddCPL);
    EXPECT_EQ(RowBackground(lkSyst, 1), ListRowColor::OddSyst);
    EXPECT_EQ(RowBackground(lkCustom, 1), ListRowColor::OddCustom);
}

TEST(ListRowStyle, SelectedRowOverprintsBoldBlackTwoDesignPixelsUpLeft) {
    GRowPasses p = RowPasses(lkSyst, 2, false);
    ASSERT_EQ(p.count, 1);
    EXPECT_EQ(p.pass[0].background, ListRowColor::Even);
    EXPECT_EQ(p.pass[0].textOffset, (GPoint{10, 2}));
    EXPECT_TRUE(p.pass[0].listTextColor);
    EXPECT_FALSE(p.pass[0].bold);

    p = RowPasses(lkSyst, 1, true);
    ASSERT_EQ(p.count, 2);
    EXPECT_EQ(p.pass[0].background, ListRowColor::OddSyst);
    EXPECT_EQ(p.pass[0].textOffset, (GPoint{10, 2}));
    EXPECT_EQ(p.pass[1].background, ListRowColor::Selected);
    EXPECT_EQ(p.pass[1].textOffset, (GPoint{8, 0}));
    EXPECT_FALSE(p.pass[1].listTextColor);
    EXPECT_EQ(p.pass[1].textColor, 0x00000000u);
    EXPECT_TRUE(p.pass[1].bold);
}
