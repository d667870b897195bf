#include "core/History.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

TEST(History, ARepeatMovesToTheEndBlankLedLinesStayOutTheNewestTwoHundredStay) {
    Lines h;
    for (const char* line : {"ipconfig", "ver", "hostname ", "ipconfig", " secret", "\tsecret", "",
                             "echo a\r\nb", "hostname"})
        AddToHistory(h, line);
    // A row picked with its comment's blank and the same typed are one line.
    EXPECT_EQ(h, (Lines{"ver", "ipconfig", "echo a  b", "hostname"}));
    EXPECT_FALSE(AddToHistory(h, "hostname"));
    for (int i = 0; i < 250; ++i)
        AddToHistory(h, "echo " + std::to_string(i));
    ASSERT_EQ(h.size(), kHistoryMax);
    AddToHistory(h, "echo 60");
    EXPECT_EQ(h.front(), "echo 50") << "a repeat drops nothing";
    EXPECT_EQ(h.back(), "echo 60");
}

TEST(History, FileIsWindows1252WithCrLfAndAHandEditedOneIsCleanedAsRead) {
    const Lines h{"ping h\xF4te", "for %i in ((*.txt)) do echo %i"};
    EXPECT_EQ(HistoryText(h), "ping h\xF4te\r\nfor %i in ((*.txt)) do echo %i\r\n");
    EXPECT_EQ(ReadHistory(HistoryText(h)).Lines, h);
    EXPECT_TRUE(ReadHistory(HistoryText(h)).Whole);
    // UTF-8, LF ends, an empty line, a line kept out and a repeat.
    const THistoryRead utf8 = ReadHistory("ver\n\nping h\xC3\xB4te\n  cls\nver\n");
    EXPECT_EQ(utf8.Lines, (Lines{"ping h\xF4te", "ver"}));
    EXPECT_TRUE(utf8.Whole);
}

// Nothing of a damaged file is dropped unsaid: the lines on both sides of a
// NUL are read, and a file that cannot be written back as it was says so.
TEST(History, ReadPastANulAndToldWhenTheLinesDoNotHoldTheWholeFile) {
    const THistoryRead nul = ReadHistory(std::string("ver\r\nip\0\0config\r\ndir\r\n", 22));
    EXPECT_EQ(nul.Lines, (Lines{"ver", "ip", "config", "dir"}));
    EXPECT_FALSE(nul.Whole);
    const THistoryRead greek = ReadHistory("echo \xCE\xB1 \xC3\xA9\r\n");
    EXPECT_EQ(greek.Lines, Lines{"echo ? \xE9"});
    EXPECT_FALSE(greek.Whole);
    const THistoryRead utf16 = ReadHistory(std::string("\xFF\xFEv\0e\0r\0\r\0\n\0", 12));
    EXPECT_EQ(utf16.Lines, Lines{"ver"});
    EXPECT_TRUE(utf16.Whole);
}

TEST(History, OfferedNewestFirstAllForNothingTypedOnlyThoseWithEveryWordOtherwise) {
    const Lines h{"ipconfig /all", "PING h\xD4te", "dir /w", "ping localhost"};
    EXPECT_EQ(HistoryMatches(h, ""),
              (Lines{"ping localhost", "dir /w", "PING h\xD4te", "ipconfig /all"}));
    // Case and accents ignored, words in any order, a no-break space as a blank.
    EXPECT_EQ(HistoryMatches(h, "HOTE  ping"), (Lines{"PING h\xD4te"}));
    EXPECT_EQ(HistoryMatches(h, "pi\xA0lo"), (Lines{"ping localhost"}));
    EXPECT_EQ(HistoryMatches(h, "ping zz"), Lines{});
    // Too little to search by, as in the lists.
    EXPECT_EQ(HistoryMatches(h, " p "), Lines{});
}
