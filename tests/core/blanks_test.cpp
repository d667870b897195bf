#include "core/Blanks.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Blanks, FieldsInOrderOfFirstAppearanceOnePerNameWhateverItsCase) {
    const TBlanks b = ParseBlanks("copy {{source}} {{ cible = D:\\ }} {{Source=x}} {{\xC9T\xC9}} "
                                  "{{\xE9t\xE9}} {{v=a=b}}");
    ASSERT_EQ(b.Error, TBlanksError::None);
    ASSERT_EQ(b.Fields.size(), 4u) << "accented letters are one name in either case";
    EXPECT_EQ(b.Fields[0].Name, "source");
    EXPECT_EQ(b.Fields[0].Default, "x") << "the first default given";
    EXPECT_EQ(b.Fields[1].Name, "cible");
    EXPECT_EQ(b.Fields[1].Default, " D:\\ ");
    EXPECT_EQ(b.Fields[2].Name, "\xC9T\xC9");
    EXPECT_EQ(b.Fields[3].Default, "a=b");
    EXPECT_FALSE(HasBlanks("echo {x} }} { {"));
}

TEST(Blanks, FaultsNameTheirMarkAndGiveNoField) {
    const struct {
        const char* line;
        TBlanksError error;
        const char* culprit;
    } cases[] = {
        {"ping {{h\xF4te} -n {{n}}", TBlanksError::Unclosed, "{{h\xF4te} -n {{n}}"},
        {"a {{b}} {{c", TBlanksError::Unclosed, "{{c"},
        {"x {{ \t=5}}", TBlanksError::EmptyName, "{{ \t=5}}"},
        {"{{1}}{{2}}{{3}}{{4}}{{5}}{{6}}{{7}}{{8}}{{9}}{{1}}{{dix}}", TBlanksError::TooMany, "dix"},
        {"dir {{a}} {{ [options]=/w}}", TBlanksError::ReservedName, "[options]"},
        {"dir {{;note}}", TBlanksError::ReservedName, ";note"},
    };
    for (const auto& c : cases) {
        const TBlanks b = ParseBlanks(c.line);
        EXPECT_EQ(b.Error, c.error) << c.line;
        EXPECT_EQ(b.Culprit, c.culprit) << c.line;
        EXPECT_TRUE(b.Fields.empty()) << c.line;
    }
}

TEST(Blanks, FillPutsEachValueInEveryPlaceOfItsNameAsItIs) {
    EXPECT_EQ(FillBlanks("ping {{h\xF4te=1.1.1.1}} & tracert {{H\xF4TE}}", {"a b"}),
              "ping a b & tracert a b");
    EXPECT_EQ(FillBlanks("echo {{x}} {{y}} }}", {"{{y}}", "&>"}), "echo {{y}} &> }}");
}

// The settings file's section read and written by the names' own rule: a
// value comes back as written, under any spelling of its name.
TEST(Blanks, KeptValuesRoundTripTheSectionUnderOneRuleForNames) {
    std::vector<TKeptValue> kept = ParseKeptValues(
        "h\xF4te= \" 8.8.8.8 \" \0; comment\0n='4'\0nu\0=x\0H\xD4TE=second\0q=\"\"a\"\"\0"s);
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(*FindKeptValue(kept, "H\xD4TE"), " 8.8.8.8 ") << "the first of a name";
    EXPECT_EQ(*FindKeptValue(kept, "N"), "4");
    EXPECT_EQ(*FindKeptValue(kept, "nu"), "");
    EXPECT_EQ(*FindKeptValue(kept, "q"), "\"a\"");
    EXPECT_EQ(FindKeptValue(kept, "hote"), nullptr) << "an accent is a letter of its own";

    SetKeptValue(kept, "H\xD4TE", "\"1.1.1.1\"");
    SetKeptValue(kept, "\x9Cuvre", "x");
    EXPECT_EQ(KeptValuesSection(kept),
              "h\xF4te=\"\"1.1.1.1\"\"\0n=\"4\"\0nu=\"\"\0q=\"\"a\"\"\0\x9Cuvre=\"x\"\0\0"s);
    EXPECT_EQ(*FindKeptValue(ParseKeptValues(KeptValuesSection(kept)), "h\xD4te"), "\"1.1.1.1\"");
    EXPECT_TRUE(SameBlankName("\x8Cuvre \xC9T\xC9", "\x9Cuvre \xE9t\xE9"));
}
