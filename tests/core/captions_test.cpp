#include "core/Captions.h"

#include <gtest/gtest.h>

#include <string>

TEST(Captions, BaseCaptionIsFirst27Characters) {
    EXPECT_EQ(BaseCaptionOf("Orbitashell v 2.2.0"), "Orbitashell v 2.2.0");
    EXPECT_EQ(BaseCaptionOf(""), "");
    const std::string long40(40, 'c');
    EXPECT_EQ(BaseCaptionOf(long40), std::string(27, 'c'));
}

TEST(Captions, ComposeCutsToLimit) {
    const std::string waiting = " - Recherche mise \xE0 jour d'Orbitashell, veuillez patienter...";
    const std::string base = "Orbitashell v 2.2.0";
    EXPECT_EQ(ComposeCaption(base, waiting, 88), base + waiting);
    // The longest base caption with the waiting text fills the limit exactly.
    const std::string longest(27, 'b');
    EXPECT_EQ(ComposeCaption(longest, waiting, 88), longest + waiting);
    EXPECT_EQ(ComposeCaption(longest + "x", waiting, 88).size(), 88u);
    EXPECT_EQ(ComposeCaption("abc", "def", 5), "abcde");
    EXPECT_EQ(ComposeCaption("abcdef", "gh", 4), "abcd");
    EXPECT_EQ(ComposeCaption("abc", "def", 0), "");
    EXPECT_EQ(ComposeCaption("", "", 50), "");
}

TEST(Captions, FinalPeriodAfterCharactersSortingAfterPeriod) {
    EXPECT_EQ(WithFinalPeriod("Acc\xE8s refus\xE9"), "Acc\xE8s refus\xE9.");
    EXPECT_EQ(WithFinalPeriod("Erreur 5"), "Erreur 5.");
    EXPECT_EQ(WithFinalPeriod("chemin/"), "chemin/.");
    EXPECT_EQ(WithFinalPeriod("Fin."), "Fin.");
    EXPECT_EQ(WithFinalPeriod("Stop !"), "Stop !");
    EXPECT_EQ(WithFinalPeriod("(code)"), "(code)");
    EXPECT_EQ(WithFinalPeriod("ligne\r\n"), "ligne\r\n");
    EXPECT_EQ(WithFinalPeriod(""), "");
}
