#include "core/UpdateRules.h"

#include "core/VersionFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

TEST(UpdateRules, NewerReleaseIsStrictlyAboveOwnCode) {
    EXPECT_FALSE(IsNewerRelease(kOwnVersionCode));
    EXPECT_TRUE(IsNewerRelease(kOwnVersionCode + 1));
    EXPECT_FALSE(IsNewerRelease(0));
    EXPECT_FALSE(IsNewerRelease(-2002001));
    EXPECT_FALSE(IsNewerRelease(INT32_MIN));
    EXPECT_TRUE(IsNewerRelease(INT32_MAX));
}

TEST(UpdateRules, PublishedVersionCode) {
    EXPECT_EQ(
        PublishedVersionCode(TVersionFile::Parse("[version]\ndispo=0x1E8C51\n", UpdateFileKeys())),
        2002001);
    EXPECT_EQ(PublishedVersionCode(
                  TVersionFile::Parse("[version]\ndispo=99999999999\n", UpdateFileKeys())),
              0);
    EXPECT_EQ(PublishedVersionCode(TVersionFile::Parse("[version]\ndispo=\n", UpdateFileKeys())),
              0);
    EXPECT_EQ(PublishedVersionCode(TVersionFile::Parse("", UpdateFileKeys())), 0);
}

TEST(UpdateRules, VersionCodeSelfCheck) {
    EXPECT_EQ(VersionCodeDigitCount(kOwnVersionCode), 7);
    EXPECT_TRUE(VersionCodeIsValid(kOwnVersionCode));
    EXPECT_EQ(VersionCodeDigitCount(0), 1);
    EXPECT_EQ(VersionCodeDigitCount(-1), 2);
    EXPECT_EQ(VersionCodeDigitCount(INT32_MAX), 10);
    EXPECT_EQ(VersionCodeDigitCount(INT32_MIN), 10);
    EXPECT_TRUE(VersionCodeIsValid(1000000));
    EXPECT_TRUE(VersionCodeIsValid(9999999));
    EXPECT_FALSE(VersionCodeIsValid(999999));
    EXPECT_FALSE(VersionCodeIsValid(10000000));
    EXPECT_FALSE(VersionCodeIsValid(-123456));
}

TEST(UpdateRules, UpdateAddress) {
    EXPECT_EQ(UpdateAddress("example.org", kDownloadPath),
              "https://example.org/download/orbitashell.zip");
    EXPECT_EQ(UpdateAddress("localhost:8443", kVersionFilePath),
              "https://localhost:8443/version/v_osh.txt");
}

TEST(UpdateDialogText, FileWithOnlyLine1AndLine2) {
    const auto file = TVersionFile::Parse(
        "[info]\r\nline1 = 2.3.0\r\nline2 =  Nouveau : \"Edit+\" \r\n", UpdateFileKeys());
    EXPECT_EQ(NewVersionLabel(file), "2.3.0");

    const std::vector<std::string> expected = {
        "Nouveau : \"Edit+\"",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "La proc\351dure d'installation reste inchang\351e :",
        "c'est-\340-dire, de manuellement installer cette mise \340 jour.",
        "",
        "L'auteur vous souhaite un agr\351able usage d'Orbitashell,",
        "Auteur",
        "example.org",
    };
    const std::vector<std::string> lines = ReleaseNotesLines(file, "Auteur", "example.org");
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(UpdateDialogText, NotesKeepTheirOrderAndLine1StaysOutOfTheBox) {
    const auto file = TVersionFile::Parse("[info]\nline8=h\nline1=v\nline3=c\nline2=b\nline5=e\n",
                                          UpdateFileKeys());
    const std::vector<std::string> lines = ReleaseNotesLines(file, "a", "s");
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8),
              (std::vector<std::string>{"b", "c", "", "e", "", "", "h", ""}));
    const std::vector<std::string> empty =
        ReleaseNotesLines(TVersionFile::Parse("", UpdateFileKeys()), "a", "s");
    EXPECT_EQ(std::vector<std::string>(empty.begin(), empty.begin() + 8),
              std::vector<std::string>(8));
    EXPECT_EQ(empty[8].substr(0, 2), "La");
}

// The labels, the licence and the signature take their names from the one host setting.
TEST(UpdateRules, SiteNameDropsPortAndLeadingWww) {
    EXPECT_EQ(HostName("www.orbitashell.fr:8443"), "www.orbitashell.fr");
    EXPECT_EQ(SiteName("www.orbitashell.fr"), "orbitashell.fr");
    EXPECT_EQ(SiteName("localhost:8443"), "localhost");
    EXPECT_EQ(SiteName("wwwide.fr"), "wwwide.fr");
    EXPECT_EQ(SiteName("www."), "www.");
}

// The clean-up of abandoned downloads removes only the names the program writes.
TEST(UpdateRules, PartialDownloadNamesAndTheirOwner) {
    EXPECT_EQ(PartialDownloadName("Versiosh.txt", 4242, 3), "Versiosh.txt.4242-3.part");
    EXPECT_EQ(PartialDownloadOwner("Versiosh.txt.4242-3.part", "Versiosh.txt"), 4242u);
    EXPECT_EQ(PartialDownloadOwner("VERSIOSH.TXT.4294967295-1.PART", "Versiosh.txt"), 4294967295u);
    for (const char* other :
         {"Versiosh.txt", "Versiosh.txt.part", "Versiosh.txt.-1.part", "Versiosh.txt.12-.part",
          "Versiosh.txt.12.part", "Versiosh.txt.x12-1.part", "Versiosh.txt.12-1x.part",
          "Versiosh.txt.+12-1.part", "Versiosh.txt.12-+1.part", "Versiosh.txt.4294967296-1.part",
          "Versiosh.txt.12-1.part.txt", "Versiosh.txt.12-1-1.part", "Autre.txt.12-1.part",
          "Versiosh.txt12-1.part", "xVersiosh.txt.12-1.part"})
        EXPECT_EQ(PartialDownloadOwner(other, "Versiosh.txt"), std::nullopt) << other;
}
