#include "core/Ascii.h"
#include "core/Blanks.h"
#include "core/Catalogue.h"
#include "core/Launch.h"
#include "core/LaunchPlan.h"
#include "core/ParenComments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path CatalogueDir() {
#ifdef OSH_CATALOGUE_DIR
    return fs::path(OSH_CATALOGUE_DIR);
#else
    return fs::path(__FILE__).parent_path() / ".." / ".." / "catalogues";
#endif
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Rows as strings: the file's bytes end with the call.
std::vector<std::string> CatalogueRows(std::string_view bytes) {
    const auto views = CatalogueLineViews(bytes);
    return {views.begin(), views.end()};
}

std::vector<fs::path> CatalogueFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(CatalogueDir())) {
        const auto ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".TXT" || ext == ".txt"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Catalogue commands are ASCII: plain upper case is enough to compare them.
std::string Upper(std::string s) {
    for (char& c : s)
        c = AsciiUpper(c);
    return s;
}

std::string FirstWord(const std::string& command) {
    return Upper(command.substr(0, command.find(' ')));
}

// Rows with a command once their comments are gone.
std::vector<std::string> Commands(const std::string& fileName) {
    std::vector<std::string> commands;
    for (const auto& row : CatalogueRows(ReadBytes(CatalogueDir() / fileName))) {
        const auto command = Trimmed(StripParenComments(row));
        if (!command.empty())
            commands.push_back(command);
    }
    return commands;
}

} // namespace

TEST(CatalogueFiles, AllFilesAreWellFormedWindows1252) {
    const auto files = CatalogueFiles();
    ASSERT_GE(files.size(), 3u) << CatalogueDir();
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::string bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            SCOPED_TRACE("offset " + std::to_string(i));
            if (c == '\r')
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n');
            else if (c == '\n')
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r');
            else
                ASSERT_TRUE(c >= 0x20 && c != 0x7F) << "control byte " << int(c);
            ASSERT_TRUE(c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D)
                << "byte undefined in Windows-1252: " << int(c);
        }
    }
}

TEST(CatalogueFiles, EveryCommentIsClosedAndUnnested) {
    for (const auto& path : CatalogueFiles()) {
        for (const auto& row : CatalogueRows(ReadBytes(path))) {
            SCOPED_TRACE(path.filename().string() + ": " + row);
            int depth = 0;
            for (char c : row) {
                depth += (c == '(') - (c == ')');
                // Comments do not nest: an inner ")" would leak into the command.
                ASSERT_GE(depth, 0);
                ASSERT_LE(depth, 1);
            }
            EXPECT_EQ(depth, 0);
            const auto command = StripParenComments(row);
            // Version tags belong at the end of the comment, never on the command line.
            for (const char* tag : {"[X]", "[V]", "[S]"})
                EXPECT_EQ(command.find(tag), std::string::npos);
            EXPECT_TRUE(command.empty() || command.front() != ' ');
        }
    }
}

TEST(CatalogueFiles, RequiredListsAreFullEnough) {
    EXPECT_GE(Commands("CommandesCPL.TXT").size(), 40u);
    EXPECT_GE(Commands("CommandesSyst.TXT").size(), 80u);
    EXPECT_FALSE(fs::exists(CatalogueDir() / "Commandes.txt"))
        << "the personal list is an example, not part of the delivery";
}

TEST(CatalogueFiles, CommandsLaunchAsIntended) {
    std::size_t settingsPages = 0;
    for (const auto& command : Commands("CommandesCPL.TXT")) {
        SCOPED_TRACE(command);
        // The Settings pages of Windows 10 and 11 follow the Control Panel's.
        if (Upper(command).rfind("START MS-SETTINGS:", 0) == 0) {
            ++settingsPages;
            EXPECT_EQ(command.find(' ', 6), std::string::npos) << "one page, nothing after it";
        } else {
            EXPECT_EQ(FirstWord(command), "CONTROL");
            EXPECT_EQ(settingsPages, 0u) << "a Control Panel row after the Settings pages";
        }
    }
    EXPECT_GE(settingsPages, 20u);
    std::size_t captures = 0, elevated = 0;
    for (const auto& path : CatalogueFiles()) {
        for (const auto& row : CatalogueRows(ReadBytes(path))) {
            const auto command = Trimmed(StripParenComments(row));
            SCOPED_TRACE(path.filename().string() + ": " + command);
            // Every row runs with its defaults: none is refused whatever its values.
            TLaunchFacts facts;
            const auto ask = PrepareLaunch(command, facts);
            ASSERT_TRUE(std::holds_alternative<TLaunchAsk>(ask));
            std::vector<std::string> defaults;
            for (const TBlankField& field : std::get<TLaunchAsk>(ask).Fields)
                defaults.push_back(field.Default);
            const auto plan = PlanLaunch(command, defaults, facts);
            ASSERT_TRUE(std::holds_alternative<TLaunchPlan>(plan));
            if (std::get<TLaunchPlan>(plan).Capture) {
                ++captures;
                EXPECT_EQ(command.rfind(CaptureWord(), 0), 0u);
            }
            if (HasAdminRequest(command)) {
                ++elevated;
                EXPECT_EQ(command.rfind(AdminWord(), 0), 0u) << "the request shows first";
            }
        }
    }
    EXPECT_GE(captures, 3u);
    EXPECT_GE(elevated, 15u);
}

// Quotes now hold parentheses that are not comments: every row the program
// ships reads as it did when they did not.
TEST(CatalogueFiles, RowsStripAsBeforeQuotesHeldParentheses) {
    const auto unquoted = [](std::string_view text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '(' && i + 1 < text.size() && text[i + 1] == '(') {
                out += "((";
                ++i;
            } else if (text[i] == '(' && text.find(')', i) != std::string_view::npos) {
                i = text.find(')', i);
            } else if (text[i] == '(') {
                return out.append(text.substr(i));
            } else {
                out += text[i];
            }
        }
        return out;
    };
    std::size_t rows = 0;
    for (const auto& path : CatalogueFiles())
        for (const auto& row : CatalogueRows(ReadBytes(path))) {
            ++rows;
            EXPECT_EQ(StripParenComments(row), unquoted(row)) << path.filename() << ": " << row;
        }
    EXPECT_GE(rows, 150u);
}

TEST(CatalogueFiles, NoDestructiveCommands) {
    static const std::array<std::string_view, 9> forbidden = {
        "FORMAT", "DEL", "ERASE", "RD", "RMDIR", "DISKPART", "CIPHER", "TAKEOWN", "ICACLS"};
    for (const auto& path : CatalogueFiles()) {
        for (const auto& row : CatalogueRows(ReadBytes(path))) {
            auto command = Trimmed(StripParenComments(row));
            if (command.empty())
                continue;
            for (std::string_view word : {CaptureWord(), AdminWord()})
                if (const auto at = FindNoCase(command, word); at != std::string::npos)
                    command = Trimmed(command.erase(at, word.size()));
            SCOPED_TRACE(path.filename().string() + ": " + command);
            const auto first = FirstWord(command);
            const auto upper = Upper(command);
            EXPECT_TRUE(std::find(forbidden.begin(), forbidden.end(), first) == forbidden.end())
                << first;
            if (first == "REG") {
                EXPECT_EQ(upper.rfind("REG QUERY ", 0), 0u);
            }
            if (first == "SHUTDOWN") {
                EXPECT_EQ(upper, "SHUTDOWN /A");
            }
            EXPECT_EQ(upper.find("/RELEASE"), std::string::npos);
            EXPECT_EQ(upper.find(" RESET"), std::string::npos);
        }
    }
}

TEST(CatalogueFiles, BlanksToFillParseAndTheirDefaultsMakeACommand) {
    std::size_t rows = 0;
    for (const auto& path : CatalogueFiles()) {
        for (const auto& row : CatalogueRows(ReadBytes(path))) {
            const auto command = StripParenComments(row);
            if (!HasBlanks(command))
                continue;
            ++rows;
            SCOPED_TRACE(path.filename().string() + ": " + row);
            const TBlanks blanks = ParseBlanks(command);
            ASSERT_EQ(blanks.Error, TBlanksError::None) << blanks.Culprit;
            std::vector<std::string> defaults;
            for (const TBlankField& field : blanks.Fields) {
                EXPECT_FALSE(field.Default.empty()) << field.Name << ": a row runs as it did";
                defaults.push_back(field.Default);
            }
            const std::string filled = FillBlanks(command, defaults);
            EXPECT_EQ(filled.find_first_of("{}"), std::string::npos) << filled;
        }
    }
    EXPECT_GE(rows, 9u);
}
