#include "core/Blanks.h"

#include <gtest/gtest.h>

#include <string>

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
