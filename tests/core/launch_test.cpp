#include "core/Launch.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(LaunchWords, FoldOnlyAsciiLetters) {
    EXPECT_TRUE(ContainsNoCase("Edit+ ipconfig /all 12", "EDIT+ IPCONFIG /ALL 12"));
    // Accented letters and bytes above 0x7F are left alone.
    EXPECT_TRUE(ContainsNoCase("d\xE9j\xE0 \xFF", "D\xE9J\xE0 \xFF"));
    EXPECT_FALSE(ContainsNoCase("d\xE9j\xE0", "D\xC9J\xC0"));
    EXPECT_TRUE(ContainsNoCase("a\0z"s, "A\0Z"s));
    // The neighbours of the letters are not letters.
    EXPECT_FALSE(ContainsNoCase("`{", "@["));
}

TEST(LaunchWords, MatchAnywhereWithoutRegardToCase) {
    EXPECT_TRUE(ContainsNoCase("shutdown /a", "SHUTDOWN"));
    EXPECT_TRUE(ContainsNoCase("xRESTARTx", "start"));
    EXPECT_FALSE(ContainsNoCase("sta rt", "start"));
    EXPECT_FALSE(ContainsNoCase("st", "start"));
    EXPECT_FALSE(ContainsNoCase("\xC9"
                                "dit+",
                                "Edit+"));

    EXPECT_TRUE(HasCaptureRequest("edit+ dir"));
    EXPECT_TRUE(HasCaptureRequest("dir EDIT+"));
    EXPECT_FALSE(HasCaptureRequest("edit dir"));
    EXPECT_FALSE(HasCaptureRequest("Edit +"));

    EXPECT_TRUE(HasToolWord("regedit"));
    EXPECT_TRUE(HasToolWord("msconfig"));
    EXPECT_TRUE(HasToolWord("CONTROL appwiz.cpl"));
    EXPECT_TRUE(HasToolWord("start devmgmt.msc"));
    EXPECT_TRUE(HasToolWord("shutdown /r (restart)"));
    EXPECT_FALSE(HasToolWord("ipconfig /all"));
    EXPECT_FALSE(HasToolWord("reg edit"));
    EXPECT_FALSE(HasToolWord(""));
}

TEST(LaunchParameters, OrdinaryAndToolLines) {
    EXPECT_EQ(OrdinaryParameters("ipconfig /all "),
              "/kTitle Orbitashell&&Color 4E&&ipconfig /all ");
    EXPECT_EQ(ToolParameters("control appwiz.cpl"),
              "/cTitle Orbitashell&&Color 4E&&control appwiz.cpl");
    EXPECT_EQ(OrdinaryParameters(""), "/kTitle Orbitashell&&Color 4E&&");
}

// Written back after a capture: the request words first, as the user ordered them.
TEST(LaunchWords, LineAfterCaptureKeepsTheWordsInTheUsersOrder) {
    EXPECT_EQ(LineAfterCapture("Admin+ Edit+ dir"), "Admin+ Edit+ dir");
    EXPECT_EQ(LineAfterCapture("edit+ admin+ ipconfig"), "Edit+ Admin+ ipconfig");
    EXPECT_EQ(LineAfterCapture("Admin+Edit+ver"), "Admin+ Edit+ ver");
    EXPECT_EQ(LineAfterCapture("dir /w ADMIN+  EDIT+"), "Admin+ Edit+ dir /w");
    // A word from the middle leaves one blank where it stood.
    EXPECT_EQ(LineAfterCapture("netstat EDIT+ -an"), "Edit+ netstat -an");
    EXPECT_EQ(LineAfterCapture("\tEdit+\tipconfig /all "), "Edit+ ipconfig /all ");
    EXPECT_EQ(LineAfterCapture("Edit+"), "Edit+");
    EXPECT_EQ(LineAfterCapture("Edit+ a Edit+"), "Edit+ a Edit+");
}

TEST(CaptureBatch, FixedTextAndNames) {
    const std::string expected = "CHCP 850\r\n"
                                 ":CHCP 1252\r\n"
                                 "SETLOCAL EnableDelayedExpansion\r\n"
                                 ">> EditCmd.TXT ECHO !OSH_HEAD!  !OSH_LINE!\r\n"
                                 "CMD /D /S /C \"!OSH_LINE!\" >> EditCmd.TXT\r\n"
                                 "ENDLOCAL\r\n"
                                 "CD Syst\r\n"
                                 "CD Driver\r\n"
                                 "START oshv.exe \r\n";
    EXPECT_EQ(CaptureBatchText(), expected);
    // An elevated console takes the same steps from its parameters, the two
    // that need delayed expansion in an interpreter that has it.
    EXPECT_EQ(CaptureInlineText(),
              "CHCP 850&CMD /D /V:ON /S /C \">> EditCmd.TXT ECHO !OSH_HEAD!  !OSH_LINE!&CMD /D /S "
              "/C \"!OSH_LINE!\" >> EditCmd.TXT\"&CD Syst&CD Driver&START oshv.exe ");
    EXPECT_EQ(CaptureBatchName(), "EditCMD.bat");
    EXPECT_EQ(CaptureWord(), "Edit+");
}
