#include "core/Blanks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const TBlanks& b) {
    std::vector<std::string> names;
    for (const TBlankField& f : b.Fields)
        names.push_back(f.Name);
    return names;
}

} // namespace

TEST(Blanks, NamesInOrderOfFirstAppearanceOneFieldPerNameWhateverItsCase) {
    const TBlanks b = ParseBlanks("copy {{source}} {{ cible = D:\\ }} & dir {{Source}} {{CIBLE}}");
    EXPECT_EQ(b.Error, TBlanksError::None);
    EXPECT_EQ(Names(b), (std::vector<std::string>{"source", "cible"}));
    EXPECT_EQ(b.Fields[0].Default, "");
    // The default is kept as written, blanks and all.
    EXPECT_EQ(b.Fields[1].Default, " D:\\ ");
}

TEST(Blanks, DefaultIsTheFirstOneGivenAndMayHoldEqualSigns) {
    EXPECT_EQ(ParseBlanks("{{a}} {{A=1}} {{a=2}}").Fields[0].Default, "1");
    EXPECT_EQ(ParseBlanks("set {{var=x=y}}").Fields[0].Default, "x=y");
    EXPECT_EQ(ParseBlanks("{{h\xF4te=1.1.1.1}}").Fields[0].Name, "h\xF4te");
}

TEST(Blanks, AccentedCapitalsAreAnotherName) {
    EXPECT_EQ(ParseBlanks("{{\xE9t\xE9}} {{\xC9T\xC9}}").Fields.size(), 2u);
}

TEST(Blanks, LineWithoutMarksHasNoField) {
    EXPECT_FALSE(HasBlanks("echo {x} }} { {"));
    const TBlanks b = ParseBlanks("echo {x} }} { {");
    EXPECT_EQ(b.Error, TBlanksError::None);
    EXPECT_TRUE(b.Fields.empty());
}

TEST(Blanks, UnclosedMarkNamesTheRestOfTheLine) {
    const TBlanks b = ParseBlanks("ping {{h\xF4te} -n {{n}}");
    EXPECT_EQ(b.Error, TBlanksError::Unclosed);
    EXPECT_EQ(b.Culprit, "{{h\xF4te} -n {{n}}");
    EXPECT_TRUE(b.Fields.empty());
    EXPECT_EQ(ParseBlanks("a {{b}} {{c").Culprit, "{{c");
    EXPECT_EQ(ParseBlanks("{{a{{b}}").Error, TBlanksError::Unclosed);
}

TEST(Blanks, EmptyNameNamesItsMark) {
    for (const char* line : {"x {{}}", "x {{  }}", "x {{=5}}", "x {{ \t=5}}"}) {
        const TBlanks b = ParseBlanks(line);
        EXPECT_EQ(b.Error, TBlanksError::EmptyName) << line;
        EXPECT_EQ(b.Culprit, std::string(line).substr(2)) << line;
    }
}

TEST(Blanks, NineNamesAreAllowedTheTenthIsNamed) {
    std::string line;
    for (char c = '1'; c <= '9'; ++c)
        line += std::string("{{n") + c + "}} {{N" + c + "}} ";
    EXPECT_EQ(ParseBlanks(line).Fields.size(), 9u);
    const TBlanks b = ParseBlanks(line + "{{dix}} {{onze}}");
    EXPECT_EQ(b.Error, TBlanksError::TooMany);
    EXPECT_EQ(b.Culprit, "dix");
}

TEST(Blanks, FillPutsTheValueInEveryPlaceOfItsName) {
    EXPECT_EQ(FillBlanks("ping {{h\xF4te=1.1.1.1}} & tracert {{H\xF4TE}}", {"a b"}),
              "ping a b & tracert a b");
    EXPECT_EQ(FillBlanks("{{a}}{{b=2}}{{a}}", {"1", ""}), "11");
    // Values go in as they are: no mark inside one is read again.
    EXPECT_EQ(FillBlanks("echo {{x}} {{y}}", {"{{y}}", "&>"}), "echo {{y}} &>");
    EXPECT_EQ(FillBlanks("echo {{x}} }}", {}), "echo  }}");
    EXPECT_EQ(FillBlanks("dir", {"z"}), "dir");
}
