#include "core/VersionFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

// Eight bytes at a time: long lines, blanks and values cost a fraction of a
// byte-by-byte loop, which hostile files of one huge line would otherwise pay.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

static_assert(std::endian::native == std::endian::little, "words are read lowest byte first");

std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit of each zero byte of word is set, and of no byte below the
// first zero; bytes are in memory order, lowest first.
std::uint64_t ZeroBytes(std::uint64_t word) {
    return (word - kOnes) & ~word & kHighs;
}

// Some byte of word is 33 or more, that is, not blank.
bool HasNonBlank(std::uint64_t word) {
    return ((((word & ~kHighs) + kOnes * (0x80 - 33)) | word) & kHighs) != 0;
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}

// Moves begin past the blanks that open [begin, end).
void TrimFront(const char*& begin, const char* end) {
    while (end - begin >= 8 && !HasNonBlank(Load8(begin)))
        begin += 8;
    while (begin < end && IsBlank(*begin))
        ++begin;
}

// Moves end back over the blanks that close [begin, end).
void TrimBack(const char* begin, const char*& end) {
    while (end - begin >= 8 && !HasNonBlank(Load8(end - 8)))
        end -= 8;
    while (end > begin && IsBlank(end[-1]))
        --end;
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

// A cheap signature of a name, from its length and its folded first and
// last bytes: a line's name is compared in full only with the asked-for names
// of the same signature.
std::uint64_t Signature(std::string_view s) {
    if (s.empty())
        return 0;
    return (std::uint64_t{s.size()} << 16) |
           (std::uint64_t{static_cast<unsigned char>(FoldChar(s.front()))} << 8) |
           static_cast<unsigned char>(FoldChar(s.back()));
}

std::string_view Range(const char* begin, const char* end) {
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// The bytes a line's scan stops at; one table load tells any byte apart.
enum : unsigned char { kPlain, kLineEnd, kEquals };

constexpr std::array<unsigned char, 256> kStops = [] {
    std::array<unsigned char, 256> table{};
    table['\r'] = kLineEnd;
    table['\n'] = kLineEnd;
    table['\0'] = kLineEnd; // a NUL ends the text
    table['='] = kEquals;
    return table;
}();

// The end of the line starting at p (a CR, an LF, a NUL or end), noting its
// first '=' in eq. A word's lowest flagged byte is exact (only bytes above a
// match can be flagged wrongly), so the first stop comes from a bit count,
// without a branch per byte.
const char* LineEnd(const char* p, const char* end, const char*& eq) {
    // An empty line needs no word.
    if (p < end && kStops[static_cast<unsigned char>(*p)] == kLineEnd)
        return p;
    while (end - p >= 8) {
        const std::uint64_t word = Load8(p);
        const std::uint64_t stops =
            ZeroBytes(word) | ZeroBytes(word ^ (kOnes * '\r')) | ZeroBytes(word ^ (kOnes * '\n'));
        if (!eq) {
            const std::uint64_t equals = ZeroBytes(word ^ (kOnes * '='));
            if (equals && (!stops || std::countr_zero(equals) < std::countr_zero(stops)))
                eq = p + std::countr_zero(equals) / 8;
        }
        if (stops)
            return p + std::countr_zero(stops) / 8;
        p += 8;
    }
    for (; p < end; ++p) {
        const unsigned char kind = kStops[static_cast<unsigned char>(*p)];
        if (kind == kLineEnd)
            return p;
        if (kind == kEquals && !eq)
            eq = p;
    }
    return p;
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
    // The sections asked for, each once, and the keys asked for in each, with
    // where their values were last seen (views of bytes while scanning).
    struct TMember {
        std::uint64_t signature;
        std::string key;   // case-folded
        std::size_t index; // into keys
        const char* valueBegin;
        const char* valueEnd;
        bool found;
    };
    struct TGroup {
        std::string name; // case-folded
        std::uint64_t signature;
        std::vector<TMember> members;
    };
    std::vector<TGroup> groups;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const TVersionKey& k = keys[i];
        auto group = std::find_if(groups.begin(), groups.end(), [&](const TGroup& g) {
            return MatchesFolded(g.name, k.section);
        });
        if (group == groups.end())
            group = groups.insert(groups.end(), {Folded(k.section), Signature(k.section), {}});
        group->members.push_back({Signature(k.key), Folded(k.key), i, nullptr, nullptr, false});
    }
    TGroup* current = nullptr; // the section the lines belong to, if asked for

    const char* const end = bytes.data() + bytes.size();
    const char* p = bytes.data();
    while (p < end) {
        const char* lineBegin = p;
        const char* eq = nullptr;
        const char* lineEnd = LineEnd(p, end, eq);
        p = lineEnd;
        if (p < end) {
            if (*p == '\0')
                p = end; // a NUL ends the text
            else
                p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        }

        TrimFront(lineBegin, lineEnd);
        if (lineBegin == lineEnd || *lineBegin == ';')
            continue;
        TrimBack(lineBegin, lineEnd);
        if (*lineBegin == '[' && lineEnd[-1] == ']') {
            const char* nameBegin = lineBegin + 1;
            const char* nameEnd = std::max(nameBegin, lineEnd - 1);
            TrimFront(nameBegin, nameEnd);
            TrimBack(nameBegin, nameEnd);
            const std::string_view name = Range(nameBegin, nameEnd);
            const std::uint64_t signature = Signature(name);
            current = nullptr;
            for (TGroup& g : groups) {
                if (g.signature == signature && MatchesFolded(g.name, name)) {
                    // A later block of a section replaces the earlier ones whole.
                    current = &g;
                    for (TMember& m : g.members)
                        m.found = false;
                }
            }
            continue;
        }
        // Lines before any section and lines without '=' hold no key.
        if (!current || !eq)
            continue;
        // The line is trimmed already: the key's front and the value's end are its own.
        const char* keyEnd = eq;
        TrimBack(lineBegin, keyEnd);
        const std::string_view key = Range(lineBegin, keyEnd);
        const std::uint64_t signature = Signature(key);
        for (TMember& m : current->members) {
            if (m.signature == signature && MatchesFolded(m.key, key)) {
                m.valueBegin = eq + 1;
                m.valueEnd = lineEnd;
                TrimFront(m.valueBegin, m.valueEnd);
                m.found = true; // the last one wins
            }
        }
    }

    file.m_wanted.reserve(keys.size());
    for (const TVersionKey& k : keys)
        file.m_wanted.push_back({Folded(k.section), Folded(k.key), std::nullopt});
    for (const TGroup& g : groups) {
        for (const TMember& m : g.members) {
            if (m.found)
                file.m_wanted[m.index].value.emplace(Range(m.valueBegin, m.valueEnd));
        }
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
