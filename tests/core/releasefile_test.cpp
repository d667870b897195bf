// The version file that the distribution writes for the publisher, read back
// by the program's own reader.
#include "core/UpdateRules.h"
#include "core/VersionFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(ReleaseVersionFile, ReadsBackAsThisReleaseWithItsNotes) {
    const std::string bytes = Slurp(OSH_VERSION_FILE);
    ASSERT_FALSE(bytes.empty());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    const TVersionFile file = TVersionFile::Parse(bytes, UpdateFileKeys());
    EXPECT_EQ(PublishedVersionCode(file), kOwnVersionCode);
    EXPECT_FALSE(IsNewerRelease(PublishedVersionCode(file)));
    EXPECT_EQ(NewVersionLabel(file), "2.2.0");

    std::vector<std::string> notes;
    std::istringstream in(Slurp(OSH_RELEASE_NOTES));
    for (std::string line; std::getline(in, line) && notes.size() < 7;)
        notes.push_back(line.substr(0, line.find('\r')));
    ASSERT_EQ(notes.size(), 7u);
    const std::vector<std::string> shown = ReleaseNotesLines(file, "author", "site");
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_FALSE(notes[i].empty());
        EXPECT_EQ(shown[i], notes[i]);
    }
}

// LISEZMOI.txt is read in Notepad on any Windows: Windows-1252 with CR LF, as
// the catalogues. A file saved as UTF-8 shows "Ã©" for every "é" there.
TEST(ReleaseReadme, IsWindows1252WithCrLf) {
    const std::string bytes = Slurp(OSH_README_FILE);
    ASSERT_FALSE(bytes.empty());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
        ASSERT_NE(bytes[i], '\xC3') << "a UTF-8 sequence at " << i;
    }
    EXPECT_NE(bytes.find("Ajouter \xE0 mes commandes\x85"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}
