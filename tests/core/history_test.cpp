#include "core/History.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

TEST(History, NewLinesGoToTheEndAndARepeatMovesThere) {
    Lines h;
    EXPECT_TRUE(AddToHistory(h, "ipconfig"));
    EXPECT_TRUE(AddToHistory(h, "ver"));
    EXPECT_TRUE(AddToHistory(h, "ipconfig"));
    EXPECT_EQ(h, (Lines{"ver", "ipconfig"}));
    EXPECT_FALSE(AddToHistory(h, "ipconfig"));
    // Another spelling is another line.
    EXPECT_TRUE(AddToHistory(h, "IPCONFIG"));
    EXPECT_EQ(h.size(), 3u);
}

TEST(History, LinesBeginningWithABlankOrEmptyAreNotKept) {
    Lines h{"ver"};
    EXPECT_FALSE(AddToHistory(h, " secret"));
    EXPECT_FALSE(AddToHistory(h, "\tsecret"));
    EXPECT_FALSE(AddToHistory(h, ""));
    EXPECT_EQ(h, Lines{"ver"});
}

TEST(History, LineBreaksBecomeBlanks) {
    Lines h;
    AddToHistory(h, "echo a\r\nb\rc");
    EXPECT_EQ(h, Lines{"echo a  b c"});
}

TEST(History, KeepsTheNewestTwoHundred) {
    Lines h;
    for (int i = 0; i < 250; ++i)
        AddToHistory(h, "echo " + std::to_string(i));
    ASSERT_EQ(h.size(), kHistoryMax);
    EXPECT_EQ(h.front(), "echo 50");
    EXPECT_EQ(h.back(), "echo 249");
    // A repeat at the full length drops nothing else.
    AddToHistory(h, "echo 60");
    EXPECT_EQ(h.size(), kHistoryMax);
    EXPECT_EQ(h.front(), "echo 50");
}

TEST(History, FileRoundTripsInWindows1252WithCrLf) {
    const Lines h{"ping -n 4 h\xF4te", "for %i in ((*.txt)) do echo %i", "Admin+ sfc /scannow"};
    const std::string text = HistoryText(h);
    EXPECT_EQ(text,
              "ping -n 4 h\xF4te\r\nfor %i in ((*.txt)) do echo %i\r\nAdmin+ sfc /scannow\r\n");
    EXPECT_EQ(ParseHistory(text), h);
    EXPECT_EQ(HistoryText({}), "");
}

TEST(History, FileEditedByHandIsCleanedAsItIsRead) {
    // UTF-8, LF ends, an empty line, a repeat and a line kept out.
    EXPECT_EQ(ParseHistory("ver\n\nping h\xC3\xB4te\n  cls\nver\n"),
              (Lines{"ping h\xF4te", "ver"}));
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "echo " + std::to_string(i) + "\r\n";
    const Lines h = ParseHistory(many);
    ASSERT_EQ(h.size(), kHistoryMax);
    EXPECT_EQ(h.front(), "echo 100");
}
