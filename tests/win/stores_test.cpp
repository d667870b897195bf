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

// The value values offer for name, or "?" for none.
std::string Offered(const TFieldValues& values, const std::string& name) {
    return values.Prefilled({{name, "?"}})[0].Default;
}

class Stores : public testing::Test {
protected:
    void TearDown() override { RemoveTree(dir); }
    std::function<void(const std::string&)> Recorder() {
        return [this](const std::string& m) { errors.push_back(m); };
    }
    const std::string dir = MakeScratchDir("stores");
    Lines errors;
};

} // namespace

TEST_F(Stores, ValuesComeBackAsWrittenInTheNextSession) {
    const std::string ini = dir + "\\Orbitashell.ini";
    TFieldValues written(ini, "Valeurs", Recorder());
    written.Keep({{"h\xF4te", " 8.8.8.8 "}, {"vide", ""}});
    written.Keep({{"dossier", "\"C:\\Program Files\" & echo >x"}});
    TFieldValues values(ini, "Valeurs", Recorder());
    EXPECT_EQ(Offered(values, "vide"), "") << "an empty value is one";
    EXPECT_EQ(Offered(values, "dossier"), "\"C:\\Program Files\" & echo >x");
    // Last used, blanks kept and letter case ignored, else the row's default.
    const auto fields = values.Prefilled({{"H\xF4TE", "1.1.1.1"}, {"n", "4"}});
    EXPECT_EQ(fields[0].Default, " 8.8.8.8 ");
    EXPECT_EQ(fields[1].Default, "4");
    EXPECT_NE(ReadBytes(ini).value_or("").find("[Valeurs]\r\n"), std::string::npos);
    EXPECT_TRUE(errors.empty());

    TFieldValues nowhere(dir + "\\absent\\Orbitashell.ini", "Valeurs", Recorder());
    nowhere.Keep({{"a", "1"}});
    nowhere.Keep({{"b", "2"}});
    ASSERT_EQ(errors.size(), 1u) << "once a session";
    EXPECT_NE(errors[0].find("Orbitashell.ini\""), std::string::npos) << errors[0];
}

TEST_F(Stores, HistoryIsWrittenWholeReadInTheNextSessionAndCleared) {
    const std::string path = dir + "\\Historique.txt";
    THistoryFile history(path, Recorder());
    history.Load();
    for (const char* line :
         {"ping h\xF4te", " secret", "for %i in ((*.txt)) do echo %i", "ping h\xF4te"})
        history.Add(line);
    EXPECT_EQ(ReadBytes(path), "for %i in ((*.txt)) do echo %i\r\nping h\xF4te\r\n");
    THistoryFile next(path, Recorder());
    next.Load();
    EXPECT_EQ(next.Lines(), history.Lines());
    next.Clear();
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Stores, HistoryThatCannotBeReadIsNotReplacedAndFailuresAreReportedOnce) {
    const std::string path = dir + "\\Historique.txt";
    WriteBytes(path, "ver\r\n");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    THistoryFile history(path, Recorder());
    history.Load();
    history.Add("echo a");
    CloseHandle(writer);
    EXPECT_EQ(ReadBytes(path), "ver\r\n") << "not replaced by the session's lines alone";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    history.Add("echo b");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), "ver\r\n");
    history.Add("echo c");
    EXPECT_EQ(ReadBytes(path), "ver\r\necho a\r\necho b\r\necho c\r\n");
    EXPECT_EQ(errors.size(), 1u);

    // A clearing the user asked for is never silent, nor half done.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    history.Clear();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(history.Lines().size(), 4u);
}

// Two windows keep their values in one file: neither loses the other's, the
// other sections stay as they were, and a value the file could not take is
// still the one offered for the rest of the session.
TEST_F(Stores, ValuesOfTwoWindowsMeetInTheFileAndASessionKeepsWhatItTyped) {
    const std::string ini = dir + "\\Orbitashell.ini";
    WriteBytes(ini, "[Options]\r\nicone=1\r\n[Valeurs]\r\nH\xD4TE=\"ancienne\"\r\n"
                    "h\xF4te=\"doublon\"\r\n[Autre]\r\nk=v\r\n");
    TFieldValues a(ini, "Valeurs", Recorder()), b(ini, "Valeurs", Recorder());
    EXPECT_EQ(Offered(a, "h\xF4te"), "ancienne") << "the first of a name";
    a.Keep({{"n", "4"}});
    b.Keep({{"h\xF4te", "8.8.8.8"}});
    EXPECT_EQ(Offered(TFieldValues(ini, "Valeurs", Recorder()), "N"), "4") << "lost by b's write";
    const std::string file = ReadBytes(ini).value_or("");
    EXPECT_NE(file.find("[Options]\r\nicone=1\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[Autre]\r\nk=v\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("doublon"), std::string::npos) << file;

    HANDLE reader =
        CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    a.Keep({{"H\xD4TE", "1.1.1.1"}});
    a.Keep({{"n", "5"}});
    CloseHandle(reader);
    ASSERT_EQ(errors.size(), 1u) << "once a session";
    EXPECT_EQ(Offered(a, "h\xF4te"), "1.1.1.1");
    EXPECT_EQ(Offered(a, "n"), "5");
    EXPECT_NE(ReadBytes(ini).value_or("").find("H\xD4TE=\"8.8.8.8\""), std::string::npos)
        << "the name kept as the file first spelt it";
}
