#include "core/VersionFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

using namespace std::string_literals;

namespace {

// Every key these tests read.
constexpr TVersionKey kKeys[] = {
    {"version", "dispo"},
    {"info", "line1"},
    {"info", "line2"},
    {"info", "dispo"},
    {"version", "[info"},
    {"x]y", "z"},
    {"", "a"},
    {"", "b"},
    {"", "dispo"},
    {"\xA0version", "dispo"},
    {"\xC9t\xE9", "Cl\xE9"},
    {"s", "bare line"},
    {"version", "hex"},
    {"version", "neg"},
    {"version", "text"},
    {"version", "missing"},
    {"version", "long0"},
    {"s12", "key12345"},
    {"s12", "key13000"},
    {"pad", "pad"},
    {"s", "a"},
    {"s", "empty"},
    {"s", ""},
    {"t", "a"},
};

TVersionFile Parse(std::string_view bytes) {
    return TVersionFile::Parse(bytes, kKeys);
}

std::string Dispo(const std::string& bytes) {
    return Parse(bytes).ReadString("version", "dispo", "<none>");
}

} // namespace

TEST(VersionFileLines, AllThreeLineEndsAndMixtures) {
    EXPECT_EQ(Dispo("[version]\r\ndispo=1\r\n"), "1");
    EXPECT_EQ(Dispo("[version]\ndispo=2"), "2");
    EXPECT_EQ(Dispo("[version]\rdispo=3\r"), "3");
    EXPECT_EQ(Dispo("[other]\n\r[version]\r\r\ndispo=4\n\rx=y"), "4");
}

TEST(VersionFileLines, NulEndsTheText) {
    const auto file = Parse("[version]\ndispo=5\0\ndispo=6\n[info]\nline1=x\n"s);
    EXPECT_EQ(file.ReadString("version", "dispo", ""), "5");
    EXPECT_EQ(file.ReadString("info", "line1", "none"), "none");
    EXPECT_EQ(Dispo("[version]\ndispo=12\0x34\n"s), "12");
    EXPECT_EQ(Dispo("\0[version]\ndispo=1"s), "<none>");
}

TEST(VersionFileLines, ByteOrderMarkBelongsToTheFirstLine) {
    const auto file = Parse("\xEF\xBB\xBF[version]\r\ndispo=2002001\r\n");
    EXPECT_EQ(file.ReadInteger("version", "dispo", 0), 0);
    // Behind a blank first line, the header is recognised again.
    EXPECT_EQ(Dispo("\xEF\xBB\xBF\r\n[version]\r\ndispo=2002001\r\n"), "2002001");
}

TEST(VersionFileLines, TrimsControlsAndBlanksButNotHighBytes) {
    EXPECT_EQ(Dispo(" \t[ version\t ]\x01\n\x1F  dispo \t=\t 7 \x7F\x02 \n"), "7 \x7F");
    // 0xA0 is above 32 once read unsigned: it is part of the value.
    EXPECT_EQ(Dispo("[version]\ndispo=\xA0v\xA0\n"), "\xA0v\xA0");
    EXPECT_EQ(Parse("[\xA0version]\ndispo=1").ReadString("\xA0version", "dispo", ""), "1");
}

TEST(VersionFileLines, CommentsAndLinesBeforeAnySectionAreSkipped) {
    const auto file = Parse("dispo=1\n;[version]\n[version]\n  ;dispo=2\ndispo=;3\n");
    EXPECT_EQ(file.ReadString("version", "dispo", ""), ";3");
    EXPECT_EQ(Parse("dispo=1\n").ReadString("", "dispo", "none"), "none");
}

TEST(VersionFileLines, ACommentHoldsNoKeyEvenOneAskedForByItsText) {
    const auto file = TVersionFile::Parse("[s]\n ;k=1\n;=2\n", {{"s", ";k"}, {"s", ";"}});
    EXPECT_EQ(file.ReadString("s", ";k", "none"), "none");
    EXPECT_EQ(file.ReadString("s", ";", "none"), "none");
}

TEST(VersionFileSections, OpenBracketWithoutCloseIsAnOrdinaryLine) {
    const auto file = Parse("[version]\n[info\ndispo=1\n[info = 2\n[x]y]\nz=3\n");
    EXPECT_EQ(file.ReadString("info", "dispo", "none"), "none");
    EXPECT_EQ(file.ReadString("version", "dispo", ""), "1");
    EXPECT_EQ(file.ReadString("version", "[info", ""), "2");
    EXPECT_EQ(file.ReadString("x]y", "z", ""), "3");
    EXPECT_EQ(Dispo("[version\ndispo=1\n"), "<none>");
}

TEST(VersionFileSections, EmptyAndBlankNames) {
    const auto file = Parse("[]\na=1\n[ \t ]\nb=2\n");
    EXPECT_EQ(file.ReadString("", "b", ""), "2");
    EXPECT_EQ(file.ReadString("", "a", "none"), "none");
}

TEST(VersionFileLookup, LetterCaseIsIgnoredForAsciiOnly) {
    const auto file = Parse("[VerSION]\nDISPO=1\n[\xC9t\xE9]\nCl\xE9=2\n");
    EXPECT_EQ(file.ReadString("VERSION", "dispo", ""), "1");
    EXPECT_EQ(file.ReadString("version", "Dispo", ""), "1");
    EXPECT_EQ(file.ReadString("\xC9T\xE9", "cL\xE9", ""), "2");
    EXPECT_EQ(file.ReadString("\xE9t\xE9", "Cl\xE9", "none"), "none");
}

TEST(VersionFileLookup, LastOccurrenceWins) {
    EXPECT_EQ(Dispo("[version]\ndispo=1\nDispo=2\n"), "2");
    EXPECT_EQ(Parse("[s]\n=\n = \n=last\n").ReadString("s", "", ""), "last");
    // The last block of a section replaces the earlier ones as a whole.
    const auto file = Parse("[info]\nline1=a\nline2=b\n[version]\ndispo=1\n[INFO]\nline2=c\n");
    EXPECT_EQ(file.ReadString("info", "line2", ""), "c");
    EXPECT_EQ(file.ReadString("info", "line1", "gone"), "gone");
    EXPECT_EQ(file.ReadString("version", "dispo", ""), "1");
}

TEST(VersionFileLookup, OnlyTheKeysAskedForAreKept) {
    const std::string bytes = "[version]\ndispo=1\nother=2\n[INFO]\nline1=x\n";
    const auto file = TVersionFile::Parse(bytes, {{"VERSION", "Dispo"}, {"info", "LINE1"}});
    EXPECT_EQ(file.ReadString("version", "dispo", ""), "1");
    EXPECT_EQ(file.ReadString("Info", "line1", ""), "x");
    EXPECT_EQ(file.ReadString("version", "other", "absent"), "absent");
    EXPECT_EQ(TVersionFile::Parse(bytes, {}).ReadInteger("version", "dispo", 7), 7);
    // The same key asked twice, and a section asked for under two spellings.
    const auto twice = TVersionFile::Parse("[s]\nk=1\n[t]\nk=2\n[S]\nk=3\n",
                                           {{"s", "k"}, {"S", "K"}, {"t", "k"}, {"s", "k"}});
    EXPECT_EQ(twice.ReadString("s", "k", ""), "3");
    EXPECT_EQ(twice.ReadString("t", "k", ""), "2");
}

TEST(VersionFileLookup, EntriesValuesAndDefaults) {
    const auto file = Parse("[s]\nbare line\na = \"x\" = y\\n\nempty=\n=anonymous\n");
    EXPECT_EQ(file.ReadString("s", "bare line", "def"), "def");
    EXPECT_EQ(file.ReadString("s", "a", ""), "\"x\" = y\\n");
    EXPECT_EQ(file.ReadString("s", "empty", "def"), "");
    EXPECT_EQ(file.ReadInteger("s", "empty", -4), -4);
    EXPECT_EQ(file.ReadString("s", "", ""), "anonymous");
    EXPECT_EQ(file.ReadString("t", "a", "def"), "def");
    EXPECT_EQ(file.ReadInteger("t", "a", 9), 9);
}

TEST(VersionInteger, DecimalAndBounds) {
    EXPECT_EQ(ParseVersionInteger("2002001"), 2002001);
    EXPECT_EQ(ParseVersionInteger("+17"), 17);
    EXPECT_EQ(ParseVersionInteger("-17"), -17);
    EXPECT_EQ(ParseVersionInteger("000000000000000000042"), 42);
    EXPECT_EQ(ParseVersionInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseVersionInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseVersionInteger("2147483648"), std::nullopt);
    EXPECT_EQ(ParseVersionInteger("-2147483649"), std::nullopt);
    EXPECT_EQ(ParseVersionInteger("99999999999"), std::nullopt);
    EXPECT_EQ(ParseVersionInteger(std::string(100000, '9')), std::nullopt);
}

TEST(VersionInteger, HexadecimalPrefixesSignAndWrap) {
    EXPECT_EQ(ParseVersionInteger("0x1E8C51"), 2002001);
    EXPECT_EQ(ParseVersionInteger("0X1e8c51"), 2002001);
    EXPECT_EQ(ParseVersionInteger("$1E8c51"), 2002001);
    EXPECT_EQ(ParseVersionInteger("-0x10"), -16);
    EXPECT_EQ(ParseVersionInteger("+$10"), 16);
    EXPECT_EQ(ParseVersionInteger("0x7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(ParseVersionInteger("0x80000000"), INT32_MIN);
    EXPECT_EQ(ParseVersionInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseVersionInteger("-0xFFFFFFFF"), 1);
    EXPECT_EQ(ParseVersionInteger("0x00000000000000000001"), 1);
    EXPECT_EQ(ParseVersionInteger("0x100000000"), std::nullopt);
}

TEST(VersionInteger, RejectsEverythingElse) {
    for (const char* text : {"", "+", "-", "0x", "$", "0x$1", "$0x1", "0x-1", "--1", "+-1", " 1",
                             "1 ", "1.0", "12a", "0x1g", "1e3", "x1", "0b1", "\xB2"}) {
        EXPECT_EQ(ParseVersionInteger(text), std::nullopt) << text;
    }
    EXPECT_EQ(ParseVersionInteger("1\0"s), std::nullopt);
}

TEST(VersionInteger, ReadIntegerFallsBackToTheDefault) {
    const auto file = Parse("[version]\ndispo=99999999999\nhex = $1E8C51\nneg=-5\ntext=v2\n");
    EXPECT_EQ(file.ReadInteger("version", "dispo", 0), 0);
    EXPECT_EQ(file.ReadInteger("version", "hex", 0), 2002001);
    EXPECT_EQ(file.ReadInteger("version", "neg", 0), -5);
    EXPECT_EQ(file.ReadInteger("version", "text", 3), 3);
    EXPECT_EQ(file.ReadInteger("version", "missing", 3), 3);
}

TEST(VersionFileLarge, FiftyMegabytesWithMegabyteLines) {
    std::string bytes = "[version]\r\n";
    const std::string longValue(1 << 20, 'v');
    for (int i = 0; i < 30; ++i)
        bytes += "long" + std::to_string(i) + "=" + longValue + "\r\n";
    bytes += std::string(1 << 20, ' ') + ";" + std::string(1 << 20, 'c') + "\n";
    bytes += "[" + std::string(1 << 20, 's') + "]\n";
    for (int i = 0; i < 100000; ++i) {
        if (i % 1000 == 0)
            bytes += "[s" + std::to_string(i / 1000) + "]\n";
        bytes += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    }
    const std::string padLine = "pad=" + std::string(1000, 'p') + "\r";
    bytes += "[pad]\n";
    while (bytes.size() < (50u << 20))
        bytes += padLine;
    bytes += "[VERSION]\ndispo=2002001\n";

    const auto file = Parse(bytes);
    EXPECT_EQ(file.ReadInteger("version", "dispo", 0), 2002001);
    EXPECT_EQ(file.ReadString("version", "long0", ""), "") << "earlier block must be replaced";
    EXPECT_EQ(file.ReadInteger("s12", "key12345", -1), 12345);
    EXPECT_EQ(file.ReadInteger("s12", "key13000", -1), -1);
    EXPECT_EQ(file.ReadString("pad", "pad", ""), padLine.substr(4, 1000));

    const auto longFile = Parse("[info]\nline2=" + longValue + "\n");
    EXPECT_EQ(longFile.ReadString("info", "line2", ""), longValue);
}

TEST(VersionFileLarge, BinaryGarbage) {
    std::string bytes(2 << 20, '\0');
    std::uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        // No NUL, which would end the text; plenty of line ends, brackets, "=" and ";".
        const unsigned byte = state >> 24;
        c = byte == 0 ? '\x01' : byte % 7 == 0 ? "\r\n[]=;\n"[byte % 6] : static_cast<char>(byte);
    }
    const auto file = Parse(bytes);
    EXPECT_EQ(file.ReadInteger("version", "dispo", 0),
              ParseVersionInteger(file.ReadString("version", "dispo", "")).value_or(0));
    const auto appended = Parse(bytes + "\n[version]\ndispo=$10\n");
    EXPECT_EQ(appended.ReadInteger("version", "dispo", 0), 16);
}
