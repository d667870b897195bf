#include "core/ParenComments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

TEST(StripParenComments, RemovesCommentsKeepingSurroundingBlanks) {
    EXPECT_EQ(StripParenComments("ipconfig /all (Configuration IP)"), "ipconfig /all ");
    EXPECT_EQ(StripParenComments("(Seulement un commentaire)"), "");
    EXPECT_EQ(StripParenComments("a (one) b (two) c"), "a  b  c");
    EXPECT_EQ(StripParenComments("a(x)(y)b"), "ab");
    EXPECT_EQ(StripParenComments("()"), "");
    EXPECT_EQ(StripParenComments("control (Panneau de configuration [S])"), "control ");
}

TEST(StripParenComments, TextWithoutCommentIsUnchanged) {
    EXPECT_EQ(StripParenComments(""), "");
    EXPECT_EQ(StripParenComments("   "), "   ");
    EXPECT_EQ(StripParenComments("sfc /scannow"), "sfc /scannow");
    EXPECT_EQ(StripParenComments("ver)"), "ver)");
    EXPECT_EQ(StripParenComments("echo ) )"), "echo ) )");
}

TEST(StripParenComments, ParenthesesDoNotNest) {
    // The first ")" closes the comment; the second one stays.
    EXPECT_EQ(StripParenComments("a (b (c) d) e"), "a  d) e");
    EXPECT_EQ(StripParenComments("a (b ((c) d) e"), "a  d) e");
    // Inside a comment a doubled ")" is not one of the command's.
    EXPECT_EQ(StripParenComments("a (b)) c"), "a ) c");
}

TEST(StripParenComments, DoubledParenthesesAreKeptDoubledAndRunSingle) {
    const std::string row = "for %i in ((*.txt)) do echo %i (Lister les fichiers texte)";
    EXPECT_EQ(StripParenComments(row), "for %i in ((*.txt)) do echo %i ");
    EXPECT_EQ(UndoubleParens(StripParenComments(row)), "for %i in (*.txt) do echo %i ");
    // Read from the left: three in a row are a double and a single.
    EXPECT_EQ(StripParenComments("(((c) d"), "(( d");
    EXPECT_EQ(StripParenComments("x))) (c)"), "x))) ");
    EXPECT_EQ(UndoubleParens("(((x)))"), "((x))");
    EXPECT_EQ(UndoubleParens("ping (en cours"), "ping (en cours");
    // Any text with its parentheses doubled passes the rule whole.
    const std::string text = "if (%x%)==() (echo a) else ((echo b)))";
    std::string doubled;
    for (char c : text)
        doubled.append(c == '(' || c == ')' ? 2 : 1, c);
    EXPECT_EQ(UndoubleParens(StripParenComments(doubled)), text);
}

TEST(StripParenComments, EarlierClosingParenthesisStays) {
    EXPECT_EQ(StripParenComments("a) b (c) d"), "a) b  d");
    EXPECT_EQ(StripParenComments(")(x)"), ")");
}

TEST(StripParenComments, UnclosedCommentIsKeptAsTyped) {
    EXPECT_EQ(StripParenComments("ping (en cours"), "ping (en cours");
    EXPECT_EQ(StripParenComments("a) (b"), "a) (b");
    EXPECT_EQ(StripParenComments("a (b) c (d"), "a  c (d");
    EXPECT_EQ(StripParenComments("("), "(");
    // Stripping twice changes nothing more.
    const std::string once = StripParenComments("x (y) ) (z");
    EXPECT_EQ(once, "x  ) (z");
    EXPECT_EQ(StripParenComments(once), once);
}

TEST(StripParenComments, HighBytesPassThrough) {
    EXPECT_EQ(StripParenComments("d\xE9j\xE0 (r\xE9seau) \xFF"), "d\xE9j\xE0  \xFF");
}

TEST(StripParenComments, ManyCommentsStayLinear) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 200000; ++i) {
        text += "ab(c)";
        expected += "ab";
    }
    text += std::string(200000, '(');
    expected += std::string(200000, '(');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StripParenComments(text), expected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
