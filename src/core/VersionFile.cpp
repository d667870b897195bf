#include "core/VersionFile.h"

#include <algorithm>

namespace {

std::string_view Trim(std::string_view s) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) < 33; };
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

char FoldChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void AppendFolded(std::string& out, std::string_view s) {
    for (const char c : s)
        out.push_back(FoldChar(c));
}

std::string Folded(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    AppendFolded(out, s);
    return out;
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

TVersionFile TVersionFile::Parse(std::string_view bytes) {
    TVersionFile file;
    const std::string_view text = bytes.substr(0, bytes.find('\0'));

    // The next CR and the next LF are each searched for only once the
    // previous one has been passed, so both searches cross the text once.
    std::size_t nextCr = std::min(text.find('\r'), text.size());
    std::size_t nextLf = std::min(text.find('\n'), text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (nextCr < pos)
            nextCr = std::min(text.find('\r', pos), text.size());
        if (nextLf < pos)
            nextLf = std::min(text.find('\n', pos), text.size());
        const std::size_t end = std::min(nextCr, nextLf);
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (end == nextCr && nextLf == end + 1)
            ++pos;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            file.m_sections.push_back({file.m_pool.size(), name.size(), file.m_entries.size()});
            AppendFolded(file.m_pool, name);
            continue;
        }
        const std::size_t eq = line.find('=');
        // Lines before any section, and lines no key can ever match, are not kept.
        if (file.m_sections.empty() || eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        file.m_entries.push_back({file.m_pool.size(), key.size(), value.size()});
        AppendFolded(file.m_pool, key);
        file.m_pool.append(value);
    }
    return file;
}

std::string_view TVersionFile::View(std::size_t pos, std::size_t len) const {
    return std::string_view(m_pool).substr(pos, len);
}

// The last header of that name: a later section replaces an earlier one whole.
std::optional<std::size_t> TVersionFile::FindSection(const std::string& foldedName) const {
    for (std::size_t i = m_sections.size(); i-- > 0;) {
        const TSection& s = m_sections[i];
        if (s.nameLen == foldedName.size() && View(s.namePos, s.nameLen) == foldedName)
            return i;
    }
    return std::nullopt;
}

std::optional<std::string_view> TVersionFile::Find(std::string_view section,
                                                   std::string_view key) const {
    const std::optional<std::size_t> index = FindSection(Folded(section));
    if (!index)
        return std::nullopt;
    const std::string foldedKey = Folded(key);
    const std::size_t first = m_sections[*index].firstEntry;
    const std::size_t end =
        *index + 1 < m_sections.size() ? m_sections[*index + 1].firstEntry : m_entries.size();
    for (std::size_t i = end; i-- > first;) {
        const TEntry& e = m_entries[i];
        if (e.keyLen == foldedKey.size() && View(e.keyPos, e.keyLen) == foldedKey)
            return View(e.keyPos + e.keyLen, e.valueLen);
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
