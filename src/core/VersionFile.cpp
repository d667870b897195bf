#include "core/VersionFile.h"

#include <algorithm>
#include <numeric>

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

    // Every header occurrence and every entry is gathered first; which of
    // them survive (the last of each name) is settled by sorting afterwards,
    // which keeps a file with millions of lines at n log n.
    std::vector<TSection> occurrences;
    std::vector<TEntry> entries;

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
            occurrences.push_back({file.m_pool.size(), name.size()});
            AppendFolded(file.m_pool, name);
            continue;
        }
        const std::size_t eq = line.find('=');
        // Lines before any section, and lines no key can ever match, are not kept.
        if (occurrences.empty() || eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        entries.push_back({occurrences.size() - 1, file.m_pool.size(), key.size(), value.size()});
        AppendFolded(file.m_pool, key);
        file.m_pool.append(value);
    }

    // Sort header occurrences by name, later ones after earlier ones, and
    // keep the last of each name.
    std::vector<std::size_t> order(occurrences.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int cmp = file.View(occurrences[a].namePos, occurrences[a].nameLen)
                            .compare(file.View(occurrences[b].namePos, occurrences[b].nameLen));
        return cmp != 0 ? cmp < 0 : a < b;
    });
    constexpr std::size_t kDropped = static_cast<std::size_t>(-1);
    std::vector<std::size_t> survivor(occurrences.size(), kDropped);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TSection& here = occurrences[order[i]];
        const bool lastOfName =
            i + 1 == order.size() ||
            file.View(here.namePos, here.nameLen) !=
                file.View(occurrences[order[i + 1]].namePos, occurrences[order[i + 1]].nameLen);
        if (lastOfName) {
            survivor[order[i]] = file.m_sections.size();
            file.m_sections.push_back(here);
        }
    }

    std::erase_if(entries, [&](const TEntry& e) { return survivor[e.section] == kDropped; });
    for (TEntry& e : entries)
        e.section = survivor[e.section];
    // Stable, so that duplicates stay in file order: an empty key with an
    // empty value takes no room in the pool, so positions there can tie.
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
        if (a.section != b.section)
            return a.section < b.section;
        return file.View(a.keyPos, a.keyLen) < file.View(b.keyPos, b.keyLen);
    });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TEntry& here = entries[i];
        const bool lastOfKey = i + 1 == entries.size() || here.section != entries[i + 1].section ||
                               file.View(here.keyPos, here.keyLen) !=
                                   file.View(entries[i + 1].keyPos, entries[i + 1].keyLen);
        if (lastOfKey)
            file.m_entries.push_back(here);
    }
    return file;
}

std::string_view TVersionFile::View(std::size_t pos, std::size_t len) const {
    return std::string_view(m_pool).substr(pos, len);
}

std::optional<std::size_t> TVersionFile::FindSection(const std::string& foldedName) const {
    const auto it = std::lower_bound(m_sections.begin(), m_sections.end(), foldedName,
                                     [&](const TSection& s, const std::string& name) {
                                         return View(s.namePos, s.nameLen) < name;
                                     });
    if (it == m_sections.end() || View(it->namePos, it->nameLen) != foldedName)
        return std::nullopt;
    return static_cast<std::size_t>(it - m_sections.begin());
}

std::optional<std::string_view> TVersionFile::Find(std::string_view section,
                                                   std::string_view key) const {
    const std::optional<std::size_t> index = FindSection(Folded(section));
    if (!index)
        return std::nullopt;
    const std::string foldedKey = Folded(key);
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), foldedKey,
                                     [&](const TEntry& e, const std::string& k) {
                                         if (e.section != *index)
                                             return e.section < *index;
                                         return View(e.keyPos, e.keyLen) < k;
                                     });
    if (it == m_entries.end() || it->section != *index || View(it->keyPos, it->keyLen) != foldedKey)
        return std::nullopt;
    return View(it->keyPos + it->keyLen, it->valueLen);
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

bool TVersionFile::SectionExists(std::string_view section) const {
    return FindSection(Folded(section)).has_value();
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
