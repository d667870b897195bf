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

TEST(LaunchWords, ClassifyLine) {
    EXPECT_EQ(ClassifyLine("ipconfig /all"), LaunchKind::Ordinary);
    EXPECT_EQ(ClassifyLine("control"), LaunchKind::Tool);
    EXPECT_EQ(ClassifyLine("Edit+ ipconfig"), LaunchKind::Capture);
    EXPECT_EQ(ClassifyLine("edit+ REGEDIT"), LaunchKind::Mixed);
    EXPECT_EQ(ClassifyLine("Edit+ sc query | findstr restart"), LaunchKind::Mixed);
}

TEST(LaunchWords, RemoveFirstOccurrenceOnly) {
    EXPECT_EQ(RemoveFirstNoCase("Edit+ ipconfig", "Edit+"), " ipconfig");
    EXPECT_EQ(RemoveFirstNoCase("ipconfig edit+", "Edit+"), "ipconfig ");
    EXPECT_EQ(RemoveFirstNoCase("aEDIT+b Edit+", "Edit+"), "ab Edit+");
    EXPECT_EQ(RemoveFirstNoCase("Edit+", "Edit+"), "");
    EXPECT_EQ(RemoveFirstNoCase("dir", "Edit+"), "dir");
    EXPECT_EQ(RemoveFirstNoCase("dir", ""), "dir");
    EXPECT_EQ(RemoveFirstNoCase("Edit", "Edit+"), "Edit");
}

TEST(LaunchParameters, OrdinaryAndToolLines) {
    EXPECT_EQ(OrdinaryParameters("ipconfig /all "),
              "/kTitle Orbitashell&&Color 4E&&ipconfig /all ");
    EXPECT_EQ(ToolParameters("control appwiz.cpl"),
              "/cTitle Orbitashell&&Color 4E&&control appwiz.cpl");
    EXPECT_EQ(OrdinaryParameters(""), "/kTitle Orbitashell&&Color 4E&&");
}

TEST(LaunchParameters, CaptureQuotesTheBatchFile) {
    const std::string prefix = "/cTitle Orbitashell&&Color 4E&&\"%temp%\\EditCMD\"";
    // "Edit+" first: its blank already separates the batch file from the command.
    EXPECT_EQ(CaptureParameters(RemoveFirstNoCase("Edit+ ipconfig /all", "Edit+")),
              prefix + " ipconfig /all");
    EXPECT_EQ(CaptureParameters("\tver"), prefix + "\tver");
    // "Edit+" last: a blank is put in so the command is not glued to the name.
    EXPECT_EQ(CaptureParameters(RemoveFirstNoCase("ipconfig /all Edit+", "Edit+")),
              prefix + " ipconfig /all ");
    EXPECT_EQ(CaptureParameters(""), prefix);
    EXPECT_EQ(CaptureParameters(" "), prefix + " ");
}

TEST(LaunchParameters, AdminWordAnywhereInAnyCaseAndWithTheOtherWords) {
    struct {
        const char* line;
        const char* run;
        LaunchKind kind;
    } cases[] = {
        {"Admin+ sfc /scannow", " sfc /scannow", LaunchKind::Ordinary},
        {"chkdsk C: ADMIN+", "chkdsk C: ", LaunchKind::Ordinary},
        {"Edit+ admin+ ipconfig", "Edit+  ipconfig", LaunchKind::Capture},
        {"aDmIn+Edit+ipconfig", "Edit+ipconfig", LaunchKind::Capture},
        {"Admin+ regedit", " regedit", LaunchKind::Tool},
        {"Admin+ Edit+ start x", " Edit+ start x", LaunchKind::Mixed},
        {"Admin + dir", "Admin + dir", LaunchKind::Ordinary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(HasAdminRequest(c.line), std::string(c.run) != c.line);
        const std::string run = RemoveFirstNoCase(c.line, AdminWord());
        EXPECT_EQ(run, c.run);
        EXPECT_EQ(ClassifyLine(run), c.kind);
    }
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

TEST(LaunchParameters, ElevatedConsoleFirstChangesToTheQuotedFolder) {
    const std::string folder = "C:\\Mes outils & (d\xE9p\xF4t)";
    EXPECT_EQ(ElevatedParameters(OrdinaryParameters(" sfc /scannow"), folder),
              "/kcd /d \"C:\\Mes outils & (d\xE9p\xF4t)\"&&Title Orbitashell&&Color 4E&& sfc "
              "/scannow");
    EXPECT_EQ(ElevatedParameters(ToolParameters("regedit"), "C:\\"),
              "/ccd /d \"C:\\\"&&Title Orbitashell&&Color 4E&&regedit");
    // The batch file by its full path, quoted, and still parted from the command.
    EXPECT_EQ(
        ElevatedParameters(CaptureParameters("ipconfig", "C:\\T emp\\EditCMD.bat"), "D:\\x"),
        "/ccd /d \"D:\\x\"&&Title Orbitashell&&Color 4E&&\"C:\\T emp\\EditCMD.bat\" ipconfig");
    EXPECT_EQ(CaptureParameters(" ver", "C:\\t\\EditCMD.bat"),
              "/cTitle Orbitashell&&Color 4E&&\"C:\\t\\EditCMD.bat\" ver");
}

// The interpreter's limit holds the whole parameters: the program's own
// prefix and, for a capture, the batch file's name count too.
TEST(LaunchParameters, InterpreterLimitCountsWhatTheProgramAdds) {
    const std::string fits(kInterpreterLineMax - OrdinaryParameters("").size(), 'x');
    EXPECT_TRUE(InterpreterAccepts(OrdinaryParameters(fits)));
    EXPECT_FALSE(InterpreterAccepts(OrdinaryParameters(fits + "x")));
    EXPECT_FALSE(InterpreterAccepts(CaptureParameters(fits)));
    EXPECT_TRUE(InterpreterAccepts(""));
}

TEST(CaptureBatch, FixedTextAndNames) {
    const std::string expected = "CHCP 850\r\n"
                                 ":CHCP 1252\r\n"
                                 "%* >> EditCmd.TXT\r\n"
                                 "CD Syst\r\n"
                                 "CD Driver\r\n"
                                 "START oshv.exe \r\n";
    EXPECT_EQ(CaptureBatchText(), expected);
    EXPECT_EQ(CaptureBatchText().size(), 78u);
    EXPECT_EQ(CaptureBatchName(), "EditCMD.bat");
    EXPECT_EQ(CaptureWord(), "Edit+");
}
