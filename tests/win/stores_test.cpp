// The values last used and the lines that ran, kept in files beside the
// catalogues: written and read back for real through the system.
#include "TestSupport.h"

#include "app/FieldValues.h"
#include "app/HistoryFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class Stores : public testing::Test {
protected:
    void SetUp() override { dir = MakeScratchDir("stores"); }
    void TearDown() override { RemoveTree(dir); }
    std::function<void(const std::string&)> Recorder() {
        return [this](const std::string& m) { errors.push_back(m); };
    }
    std::string dir;
    Lines errors;
};

} // namespace

TEST_F(Stores, ValuesComeBackAsWrittenInTheNextSession) {
    const std::string ini = dir + "\\Orbitashell.ini";
    {
        TFieldValues values(ini, "Valeurs", Recorder());
        EXPECT_FALSE(values.Value("h\xF4te").has_value());
        values.SetValue("h\xF4te", " 8.8.8.8 ");
        values.SetValue("vide", "");
        values.SetValue("dossier", "\"C:\\Program Files\" & echo >x");
    }
    TFieldValues values(ini, "Valeurs", Recorder());
    EXPECT_EQ(values.Value("H\xF4TE"), " 8.8.8.8 ") << "blanks kept, letter case ignored";
    EXPECT_EQ(values.Value("vide"), "") << "an empty value is one";
    EXPECT_EQ(values.Value("dossier"), "\"C:\\Program Files\" & echo >x");
    EXPECT_FALSE(values.Value("autre").has_value());
    EXPECT_NE(ReadBytes(ini).value_or("").find("[Valeurs]\r\n"), std::string::npos);

    // Last used, else the row's default; Remember keeps them field for field.
    std::vector<TBlankField> fields = values.Prefilled({{"h\xF4te", "1.1.1.1"}, {"n", "4"}});
    EXPECT_EQ(fields[0].Default, " 8.8.8.8 ");
    EXPECT_EQ(fields[1].Default, "4");
    values.Remember(fields, {"9.9.9.9", "2"});
    EXPECT_EQ(values.Value("n"), "2");
    EXPECT_EQ(values.Value("h\xF4te"), "9.9.9.9");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Stores, ValuesThatCannotBeKeptAreReportedOnce) {
    const std::string ini = dir + "\\absent\\Orbitashell.ini";
    TFieldValues values(ini, "Valeurs", Recorder());
    values.SetValue("a", "1");
    values.SetValue("b", "2");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Orbitashell.ini\""), std::string::npos) << errors[0];
}

TEST_F(Stores, HistoryIsWrittenWholeAndReadInTheNextSession) {
    const std::string path = dir + "\\Historique.txt";
    THistoryFile history(path, Recorder());
    history.Load();
    EXPECT_TRUE(history.Lines().empty());
    EXPECT_FALSE(ReadBytes(path).has_value()) << "nothing to keep, no file";
    history.Add("ping h\xF4te");
    history.Add(" secret");
    history.Add("for %i in ((*.txt)) do echo %i");
    history.Add("ping h\xF4te");
    EXPECT_EQ(ReadBytes(path), "for %i in ((*.txt)) do echo %i\r\nping h\xF4te\r\n");

    THistoryFile next(path, Recorder());
    next.Load();
    EXPECT_EQ(next.Lines(), (Lines{"for %i in ((*.txt)) do echo %i", "ping h\xF4te"}));
    next.Clear();
    EXPECT_TRUE(next.Lines().empty());
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Stores, HistoryThatCannotBeWrittenIsReportedOnceAndKeptInMemory) {
    const std::string path = dir + "\\Historique.txt";
    WriteBytes(path, "ver\r\n");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    THistoryFile history(path, Recorder());
    history.Load();
    history.Add("echo a");
    history.Add("echo b");
    history.Clear();
    history.Add("echo c");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Historique.txt\""), std::string::npos) << errors[0];
    EXPECT_EQ(history.Lines(), Lines{"echo c"});
    EXPECT_EQ(ReadBytes(path), "ver\r\n");
}

TEST_F(Stores, HistoryHeldByAWriterLoadsEmptyWithOneReport) {
    const std::string path = dir + "\\Historique.txt";
    WriteBytes(path, "ver\r\n");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    THistoryFile history(path, Recorder());
    history.Load();
    EXPECT_TRUE(history.Lines().empty());
    history.Add("echo a");
    EXPECT_EQ(ReadBytes(path), "ver\r\n") << "not replaced while it cannot be read";
    CloseHandle(writer);
    EXPECT_EQ(errors.size(), 1u);
    // Readable again: the session's lines follow the file's own.
    history.Add("echo b");
    EXPECT_EQ(ReadBytes(path), "ver\r\necho a\r\necho b\r\n");
}
