#include "core/CommandSearch.h"

#include <gtest/gtest.h>

namespace {

// The rows found, as "list:row" with C, S and P for the three lists.
std::vector<std::string> Found(const GCommandIndex& index, std::string_view typed) {
    std::vector<std::string> out;
    for (const GSearchHit& h : index.Find(typed))
        out.push_back(std::string(1, "CSP"[h.list]) + ":" + std::to_string(h.row));
    return out;
}

using Rows = std::vector<std::string>;

} // namespace

TEST(CommandSearch, CaseAndAccentsAreIgnoredOnBothSides) {
    GCommandIndex index;
    index.SetRows(lkSyst, {"ncpa.cpl (Connexions R\xC9SEAU)", "ver (\xC9t\xE9 \xE0 No\xEBl)",
                           "cmd (\xC6on \x8Cuvre \xC7"
                           "a)",
                           "dir\xA0/w"});
    EXPECT_EQ(Found(index, "reseau"), Rows{"S:0"});
    EXPECT_EQ(Found(index, "r\xE9seau"), Rows{"S:0"});
    EXPECT_EQ(Found(index, "ETE A NOEL"), Rows{"S:1"});
    EXPECT_EQ(Found(index, "\xE6on \x9Cuvre CA"), Rows{"S:2"});
    EXPECT_EQ(Found(index, "dir /w"), Rows{"S:3"}); // a no-break space is a blank
    EXPECT_EQ(FoldChar('\xC9'), 'e');
    EXPECT_EQ(FoldChar('\xDF'), '\xDF'); // sharp s has no other form in one byte
}

TEST(CommandSearch, EveryWordInAnyOrderAndTwoCharactersAtLeast) {
    GCommandIndex index;
    index.SetRows(lkCPL, {"control printers (Imprimantes)", "control mouse (Souris)", ""});
    EXPECT_EQ(Found(index, "  imprim   control "), Rows{"C:0"});
    EXPECT_EQ(Found(index, "control souris imprim"), Rows{});
    EXPECT_EQ(Found(index, "co"), (Rows{"C:0", "C:1"}));
    EXPECT_EQ(Found(index, " c "), Rows{});
    EXPECT_EQ(Found(index, ""), Rows{});
    EXPECT_TRUE(SearchableText(" a b"));
    EXPECT_FALSE(SearchableText("\t\xA0x "));
}

TEST(CommandSearch, RanksThenListsThenFileOrder) {
    GCommandIndex index;
    index.SetRows(lkCPL, {"netsh dns (x)", "ipconfig /flushdns (Vider le cache DNS)"});
    index.SetRows(lkSyst,
                  {"ipconfig /displaydns", "dnscmd /info", "nslookup (serveur DNS)", "echo (dns"});
    index.SetRows(lkCustom, {"xdns", "Dns perso"});
    // Command begins with the text; each word begins a word; the rest.
    EXPECT_EQ(Found(index, "dns"), (Rows{"P:1", "S:1", "S:2", "S:3", "C:0", "C:1", "P:0", "S:0"}));
    // The comment is not the command, even with the text at its start.
    EXPECT_EQ(Found(index, "echo (dn"), Rows{"S:3"});
    EXPECT_EQ(Found(index, "ipconfig /fl"), Rows{"C:1"});
    EXPECT_EQ(Found(index, "cache ipconfig"), Rows{"C:1"});
    // A list given new rows is searched in them alone.
    index.SetRows(lkCustom, {"vol"});
    EXPECT_EQ(Found(index, "dns").size(), 6u);
}

TEST(CommandSearch, EachRowIsSearchedAloneThroughTheWholeList) {
    GCommandIndex index;
    EXPECT_EQ(Found(index, "dns"), Rows{}); // no rows at all
    // A word found first inside a word and then at the start of one ranks as
    // beginning a word, whether it is the word looked for first or another.
    index.SetRows(lkSyst, {"ping (xdns)", "ping (xdns dns)", "ipconfig (xdns dns)"});
    EXPECT_EQ(Found(index, "dns"), (Rows{"S:1", "S:2", "S:0"}));
    EXPECT_EQ(Found(index, "dns ping"), (Rows{"S:1", "S:0"}));
    // Typed text with a NUL may not run from one row into the next.
    index.SetRows(lkSyst, {"ab", "cd"});
    EXPECT_EQ(Found(index, std::string_view("b\0c", 3)), Rows{});
    EXPECT_EQ(Found(index, std::string_view("b\0", 2)), Rows{});
    // Found at every place of rows long and short, first and last of a list.
    for (std::size_t n = 0; n < 40; ++n) {
        const std::string row = std::string(n, '-') + "zq";
        index.SetRows(lkCPL, {row, "a", row});
        EXPECT_EQ(Found(index, "zq"), (Rows{"C:0", "C:2"})) << n;
        index.SetRows(lkCPL, {"zz", "q" + row + "z"});
        EXPECT_EQ(Found(index, "zq"), Rows{"C:1"}) << n;
    }
}
