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

namespace {
Rows RowsOfFile(std::string_view bytes) {
    std::string storage;
    return SplitCatalogueLines(CatalogueAnsiText(bytes, storage));
}
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}
} // namespace

TEST(CatalogueEncoding, MarksThenValidUtf8WithHighBytesElseAnsi) {
    using E = TCatalogueEncoding;
    EXPECT_EQ(CatalogueEncoding("\xEF\xBB\xBFver\r\n"), E::Utf8Bom);
    EXPECT_EQ(CatalogueEncoding("\xFF\xFEv\0"s), E::Utf16le);
    EXPECT_EQ(CatalogueEncoding("\xFE\xFF\0v"s), E::Utf16be);
    EXPECT_EQ(CatalogueEncoding("echo caf\xC3\xA9\r\n"), E::Utf8);
    EXPECT_EQ(CatalogueEncoding("echo \xE2\x82\xAC \xF0\x9F\x98\x80"), E::Utf8);
    // Plain ASCII, Windows-1252 accents, overlong forms, surrogates, a cut sequence.
    EXPECT_EQ(CatalogueEncoding("ipconfig\r\n"), E::Ansi);
    EXPECT_EQ(CatalogueEncoding(""), E::Ansi);
    EXPECT_EQ(CatalogueEncoding("echo caf\xE9\r\n"), E::Ansi);
    EXPECT_EQ(CatalogueEncoding("\xC0\xAF"), E::Ansi);
    EXPECT_EQ(CatalogueEncoding("\xED\xA0\x80"), E::Ansi);
    EXPECT_EQ(CatalogueEncoding("caf\xC3"), E::Ansi);
    EXPECT_EQ(CatalogueEncoding("\xF4\x90\x80\x80"), E::Ansi);
    // Only the listed part counts: bytes after a NUL are never shown.
    EXPECT_EQ(CatalogueEncoding("caf\xC3\xA9\0\xE9"s), E::Utf8);
    EXPECT_EQ(CatalogueEncoding("ver\0caf\xC3\xA9"s), E::Ansi);
}

TEST(CatalogueEncoding, Utf8RowsBecomeWindows1252) {
    EXPECT_EQ(RowsOfFile("\xEF\xBB\xBF"
                         "echo caf\xC3\xA9\r\n\r\necho \xE2\x82\xAC\n"),
              (Rows{"echo caf\xE9", "", "echo \x80"}));
    // Outside Windows-1252: one '?' per character; with a mark, a broken byte too.
    EXPECT_EQ(RowsOfFile("echo \xE2\x98\x83 \xF0\x9F\x98\x80 \xC3\xA9"), Rows{"echo ? ? \xE9"});
    EXPECT_EQ(RowsOfFile("\xEF\xBB\xBF"
                         "a\xFF"
                         "b\r\nc\0d"s),
              (Rows{"a?b", "c"}));
    EXPECT_EQ(RowsOfFile("\xEF\xBB\xBF"), Rows{});
    // An 8-bit file is used where it lies, without a copy.
    const std::string ansi = "echo caf\xE9\r\n";
    std::string storage;
    EXPECT_EQ(CatalogueAnsiText(ansi, storage).data(), ansi.data());
}

TEST(CatalogueEncoding, Utf16BothOrders) {
    for (bool big : {false, true}) {
        EXPECT_EQ(RowsOfFile(Utf16(u"ipconfig\r\ncaf\u00E9 \u20AC\r\n\ru\U0001F600\nz", big)),
                  (Rows{"ipconfig", "caf\xE9 \x80", "", "u?", "z"}));
        EXPECT_EQ(RowsOfFile(Utf16(std::u16string(u"a\r\nb\0c", 6), big)), (Rows{"a", "b"}));
        // A lone surrogate and a lone last byte.
        EXPECT_EQ(RowsOfFile(Utf16(u"x\xD800y", big) + "!"), Rows{"x?y"});
    }
}

// A '?' put for a lost character is told from one of the file.
TEST(CatalogueEncoding, RowsThatLostACharacterAreNamed) {
    auto lossy = [](std::string_view bytes) {
        std::string storage;
        std::vector<std::size_t> lost;
        const std::string_view text = CatalogueAnsiText(bytes, storage, &lost);
        return RowsHoldingLost(CatalogueLineViews(text), text, lost);
    };
    using Indexes = std::vector<std::size_t>;
    EXPECT_EQ(
        lossy("\xEF\xBB\xBFok ?\r\n\r\n\xD0\x96\r\n\xC3\xA9\n\xE2\x98\x83\r\xE2\x82\xAC ?\r\n\xFF"),
        (Indexes{2, 4, 6}));
    EXPECT_EQ(lossy(Utf16(u"ver\r\n\U0001F600\r\nx\xD800", true)), (Indexes{1, 2}));
    EXPECT_EQ(lossy("echo ?\r\necho \xE9?\r\n"), Indexes{});
}

TEST(AddedRow, CommentInParenthesesWithBrackets) {
    EXPECT_EQ(ComposeAddedRow("ipconfig /all", ""), "ipconfig /all");
    EXPECT_EQ(ComposeAddedRow("ipconfig /all", "  \t"), "ipconfig /all");
    EXPECT_EQ(ComposeAddedRow("ipconfig /all", " r\xE9seau (IP) "),
              "ipconfig /all (r\xE9seau [IP])");
    EXPECT_EQ(ComposeAddedRow("a", "c\nd"), "a (c d)");
}

// Picked from its list, the row must give the line back: its comment rule
// would eat an opening parenthesis of the line along with the comment.
TEST(AddedRow, RefusedWhenTheRowWouldNotGiveTheLineBack) {
    EXPECT_EQ(ComposeAddedRow("echo (test", "note"), std::nullopt);
    EXPECT_EQ(ComposeAddedRow("a ) b ( c", "note"), std::nullopt);
    EXPECT_EQ(ComposeAddedRow("echo (x)", ""), std::nullopt);
    // The same lines without a comment, or with a parenthesis that closes nothing.
    EXPECT_EQ(ComposeAddedRow("echo (test", ""), "echo (test");
    EXPECT_EQ(ComposeAddedRow("a ) b ( c", " "), "a ) b ( c");
    EXPECT_EQ(ComposeAddedRow("echo ) ok", "note"), "echo ) ok (note)");
    // A line break would split the row in two.
    EXPECT_EQ(ComposeAddedRow("a\r\nb", ""), std::nullopt);
    EXPECT_EQ(ComposeAddedRow("a\nb", "c"), std::nullopt);
}

TEST(AddedRow, KeepsTheFilesEncodingMarkAndLineEnds) {
    EXPECT_EQ(CatalogueWithRow(std::nullopt, "caf\xE9"), "caf\xE9\r\n");
    EXPECT_EQ(CatalogueWithRow("", "ver"), "ver\r\n");
    EXPECT_EQ(CatalogueWithRow("a\r\nb\r\n", "caf\xE9"), "a\r\nb\r\ncaf\xE9\r\n");
    EXPECT_EQ(CatalogueWithRow("a\nb", "c"), "a\nb\nc\n");
    EXPECT_EQ(CatalogueWithRow("a\rb\r\n", "c"), "a\rb\r\nc\r");
    EXPECT_EQ(CatalogueWithRow("caf\xC3\xA9\n", "\x80 \xE9"),
              "caf\xC3\xA9\n\xE2\x82\xAC \xC3\xA9\n");
    EXPECT_EQ(CatalogueWithRow("\xEF\xBB\xBF", "\xE9"), "\xEF\xBB\xBF\xC3\xA9\r\n");
    EXPECT_EQ(CatalogueWithRow("\xEF\xBB\xBFver", "\xE9"), "\xEF\xBB\xBFver\r\n\xC3\xA9\r\n");
    for (bool big : {false, true}) {
        EXPECT_EQ(CatalogueWithRow(Utf16(u"a\nb", big), "\xE9\x80"),
                  Utf16(u"a\nb\n\u00E9\u20AC\n", big));
        EXPECT_EQ(CatalogueWithRow(Utf16(u"a", big) + "!", "b"), Utf16(u"a\r\nb\r\n", big));
    }
}

// Its list ends at a NUL: a row after it would never show.
TEST(AddedRow, RefusedWhenTheFileHoldsANul) {
    using namespace std::string_literals;
    EXPECT_EQ(CatalogueWithRow("a\r\n\0b\r\n"s, "c"), std::nullopt);
    EXPECT_EQ(CatalogueWithRow("\xEF\xBB\xBF\0"s, "c"), std::nullopt);
    for (bool big : {false, true}) {
        EXPECT_EQ(CatalogueWithRow(Utf16(std::u16string(u"a\n\0", 3), big), "c"), std::nullopt);
        // Zero bytes of whole characters are no NUL.
        EXPECT_NE(CatalogueWithRow(Utf16(u"\u0100\n", big), "c"), std::nullopt);
    }
}
