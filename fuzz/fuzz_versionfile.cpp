#include "core/VersionFile.h"

#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A deliberately plain reader of the same format: keeps every line and
// searches backwards, to be compared with the one-pass reader.
struct TModelSection {
    std::string name;
    std::vector<std::string> lines;
};

std::string ModelTrim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return std::string(s);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<TModelSection> ModelParse(std::string_view bytes) {
    std::vector<std::string> rawLines(1);
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            rawLines.emplace_back();
        } else {
            rawLines.back().push_back(bytes[i]);
        }
    }
    std::vector<TModelSection> sections;
    for (const std::string& raw : rawLines) {
        const std::string line = ModelTrim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
            sections.push_back({ModelTrim(std::string_view(line).substr(1, line.size() - 2)), {}});
        else if (!sections.empty())
            sections.back().lines.push_back(line);
    }
    return sections;
}

const TModelSection* ModelSection(const std::vector<TModelSection>& sections,
                                  std::string_view name) {
    for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
        if (SameName(it->name, name))
            return &*it;
    }
    return nullptr;
}

std::optional<std::string> ModelRead(const std::vector<TModelSection>& sections,
                                     std::string_view section, std::string_view key) {
    const TModelSection* found = ModelSection(sections, section);
    if (!found)
        return std::nullopt;
    for (auto it = found->lines.rbegin(); it != found->lines.rend(); ++it) {
        const std::size_t eq = it->find('=');
        if (eq != std::string::npos &&
            SameName(ModelTrim(std::string_view(*it).substr(0, eq)), key))
            return ModelTrim(std::string_view(*it).substr(eq + 1));
    }
    return std::nullopt;
}

std::optional<std::int32_t> ModelInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const bool hex = text.starts_with("0x") || text.starts_with("0X") || text.starts_with("$");
    if (hex)
        text.remove_prefix(text[0] == '$' ? 1 : 2);
    if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    if (hex) {
        std::uint32_t pattern = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), pattern, 16);
        if (ec != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, 10);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string SwapCase(std::string s) {
    for (char& c : s) {
        if (std::isalpha(static_cast<unsigned char>(c)))
            c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c)
                                                                              : std::tolower(c));
    }
    return s;
}

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TModelSection> model = ModelParse(bytes);

    Check(ParseVersionInteger(bytes) == ModelInteger(bytes));

    // The keys asked for: the program's own, and names the file itself uses,
    // in the other letter case.
    std::vector<std::string> names = {"version", "info", "", "absent"};
    std::vector<std::string> keys = {"dispo", "line1", "", "absent"};
    for (const TModelSection& section : model) {
        if (names.size() < 8)
            names.push_back(SwapCase(section.name));
        for (const std::string& line : section.lines) {
            const std::size_t eq = line.find('=');
            if (keys.size() < 12)
                keys.push_back(SwapCase(ModelTrim(std::string_view(line).substr(0, eq))));
        }
    }
    std::vector<TVersionKey> wanted;
    for (const std::string& name : names) {
        for (const std::string& key : keys)
            wanted.push_back({name, key});
    }
    const TVersionFile file = TVersionFile::Parse(bytes, wanted);

    constexpr std::string_view kDef = "\x01missing";
    for (const TVersionKey& k : wanted) {
        const std::optional<std::string> expected = ModelRead(model, k.section, k.key);
        const std::string value = file.ReadString(k.section, k.key, kDef);
        Check(value == (expected ? *expected : std::string(kDef)));
        const std::int32_t integer = file.ReadInteger(k.section, k.key, 777);
        Check(integer == (expected ? ParseVersionInteger(value).value_or(777) : 777));
        if (expected)
            Check(ParseVersionInteger(value) == ModelInteger(value));
    }
    // A key not asked for reads as absent, whatever the file holds.
    Check(TVersionFile::Parse(bytes, {}).ReadString("version", "dispo", kDef) == kDef);

    // Whatever came before, a final block decides "dispo"; bytes after a NUL
    // never matter.
    constexpr TVersionKey kDispo[] = {{"version", "dispo"}};
    if (bytes.find('\0') == std::string_view::npos) {
        const std::string appended = std::string(bytes) + "\n[VERSION]\n dispo = $1E8C51\n";
        Check(TVersionFile::Parse(appended, kDispo).ReadInteger("version", "dispo", 0) == 2002001);
        const TVersionFile cut = TVersionFile::Parse(
            std::string(bytes) + std::string("\0[version]\ndispo=1\n", 19), kDispo);
        Check(cut.ReadString("version", "dispo", kDef) ==
              file.ReadString("version", "dispo", kDef));
    }
    return 0;
}
