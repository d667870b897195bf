#include "core/VersionFile.h"

#include "core/Ascii.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}

char FoldChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// folded is already case-folded.
bool MatchesFolded(std::string_view folded, std::string_view s) {
    if (folded.size() != s.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (folded[i] != FoldChar(s[i]))
            return false;
    }
    return true;
}

std::string Folded(std::string_view s) {
    std::string folded(s);
    for (char& c : folded)
        c = FoldChar(c);
    return folded;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

TVersionFile TVersionFile::Parse(std::string_view bytes, std::span<const TVersionKey> keys) {
    TVersionFile file;
    for (const TVersionKey& k : keys)
        file.m_wanted.push_back({Folded(k.section), Folded(k.key), std::nullopt});
    // For each key asked for: whether the current block is its section, and its
    // value as last seen there, a view of bytes, so that no line is copied.
    struct TSeen {
        bool inBlock = false;
        std::optional<std::string_view> value;
    };
    std::vector<TSeen> seen(keys.size());

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n' && bytes[end] != '\0')
            ++end;
        const std::string_view line = Trimmed(bytes.substr(pos, end - pos), IsBlank);
        // A NUL ends the text; CR LF reads as a line end and an empty line.
        pos = (end < bytes.size() && bytes[end] == '\0') ? bytes.size() : end + 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') { // two bytes at least
            const std::string_view name = Trimmed(line.substr(1, line.size() - 2), IsBlank);
            for (std::size_t i = 0; i < seen.size(); ++i) {
                seen[i].inBlock = MatchesFolded(file.m_wanted[i].section, name);
                if (seen[i].inBlock)
                    seen[i].value.reset(); // a later block replaces the earlier ones whole
            }
            continue;
        }
        // Lines before any section and lines without '=' hold no key.
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = Trimmed(line.substr(0, eq), IsBlank);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (seen[i].inBlock && MatchesFolded(file.m_wanted[i].key, key))
                seen[i].value = Trimmed(line.substr(eq + 1), IsBlank); // the last one wins
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].value)
            file.m_wanted[i].value.emplace(*seen[i].value);
    }
    return file;
}

std::optional<std::string_view> TVersionFile::Find(std::string_view section,
                                                   std::string_view key) const {
    for (const TWanted& w : m_wanted) {
        if (w.value && MatchesFolded(w.section, section) && MatchesFolded(w.key, key))
            return *w.value;
    }
    return std::nullopt;
}

std::string TVersionFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    return std::string(Find(section, key).value_or(def));
}

std::int32_t TVersionFile::ReadInteger(std::string_view section, std::string_view key,
                                       std::int32_t def) const {
    const std::optional<std::string_view> value = Find(section, key);
    if (!value)
        return def;
    return ParseVersionInteger(*value).value_or(def);
}

std::optional<std::int32_t> ParseVersionInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    std::string_view hex;
    bool isHex = false;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    } else if (!text.empty() && text.front() == '$') {
        hex = text.substr(1);
        isHex = true;
    }

    if (isHex) {
        if (hex.empty())
            return std::nullopt;
        std::uint32_t pattern = 0;
        for (const char c : hex) {
            const int digit = HexDigit(c);
            if (digit < 0 || pattern > 0x0FFFFFFFu)
                return std::nullopt;
            pattern = pattern * 16 + static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }

    if (text.empty())
        return std::nullopt;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    if (magnitude == kLimit)
        return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}
