#include "core/Catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace std::string_literals;
using Rows = std::vector<std::string>;

namespace {
Rows SplitCatalogueLines(std::string_view bytes) {
    const auto views = CatalogueLineViews(bytes);
    return Rows(views.begin(), views.end());
}
} // namespace

TEST(CatalogueLines, LineBreakStylesGiveTheSameRows) {
    const Rows expected{"ipconfig", "netstat -an", "ver"};
    EXPECT_EQ(SplitCatalogueLines("ipconfig\r\nnetstat -an\r\nver\r\n"), expected);
    EXPECT_EQ(SplitCatalogueLines("ipconfig\nnetstat -an\nver\n"), expected);
    EXPECT_EQ(SplitCatalogueLines("ipconfig\rnetstat -an\rver\r"), expected);
    EXPECT_EQ(SplitCatalogueLines("ipconfig\r\nnetstat -an\nver\r"), expected);
    EXPECT_EQ(SplitCatalogueLines("ipconfig\r\nnetstat -an\r\nver"), expected);
}

TEST(CatalogueLines, EmptyLinesAreRows) {
    EXPECT_EQ(SplitCatalogueLines(""), Rows{});
    EXPECT_EQ(SplitCatalogueLines("\r\n"), Rows{""});
    EXPECT_EQ(SplitCatalogueLines("a\r\n\r\n"), (Rows{"a", ""}));
    EXPECT_EQ(SplitCatalogueLines("a\n\n\nb"), (Rows{"a", "", "", "b"}));
    // LF CR is two breaks, not one.
    EXPECT_EQ(SplitCatalogueLines("a\n\rb"), (Rows{"a", "", "b"}));
    EXPECT_EQ(SplitCatalogueLines("a\r\r\nb"), (Rows{"a", "", "b"}));
    EXPECT_EQ(SplitCatalogueLines("\r\n\r\n\r\n"), (Rows{"", "", ""}));
}

TEST(CatalogueLines, NulEndsTheList) {
    EXPECT_EQ(SplitCatalogueLines("a\r\nb\0c\r\nd\r\n"s), (Rows{"a", "b"}));
    EXPECT_EQ(SplitCatalogueLines("a\r\n\0b\r\n"s), Rows{"a"});
    EXPECT_EQ(SplitCatalogueLines("a\r\0\nb"s), Rows{"a"});
    EXPECT_EQ(SplitCatalogueLines("\0a\r\n"s), Rows{});
}

TEST(CatalogueLines, KeepsOrderBlanksAndHighBytes) {
    const std::string accented = "control sysdm.cpl (Propri\xE9t\xE9s syst\xE8me)";
    EXPECT_EQ(SplitCatalogueLines("zz\r\n  aa \t\r\n" + accented + "\r\n"),
              (Rows{"zz", "  aa \t", accented}));
}

TEST(CatalogueLines, LargeInputsStayFast) {
    const auto start = std::chrono::steady_clock::now();

    const std::string oneLine(10 * 1024 * 1024, 'x');
    const auto single = SplitCatalogueLines(oneLine + "\r\n");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].size(), oneLine.size());

    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "row " + std::to_string(i) + "\r\n";
    const auto rows = SplitCatalogueLines(many);
    ASSERT_EQ(rows.size(), 100000u);
    EXPECT_EQ(rows.front(), "row 0");
    EXPECT_EQ(rows.back(), "row 99999");

    std::string breaks(1000000, '\n');
    EXPECT_EQ(SplitCatalogueLines(breaks).size(), breaks.size());

    // Generous even under sanitizers; a quadratic split takes minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}
