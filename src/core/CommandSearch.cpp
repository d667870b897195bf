#include "core/CommandSearch.h"

#include "core/Ascii.h"

#include <algorithm>
#include <array>
#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 'A' + 'a');
    // Windows-1252 letters with accents, each to its base letter.
    const char* const groups[] = {"a\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5",
                                  "c\xC7\xE7",
                                  "d\xD0\xF0",
                                  "e\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB",
                                  "i\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF",
                                  "n\xD1\xF1",
                                  "o\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8",
                                  "s\x8A\x9A",
                                  "u\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC",
                                  "y\xDD\xFD\xFF\x9F",
                                  "z\x8E\x9E",
                                  "\xE6\xC6",
                                  "\x9C\x8C",
                                  "\xFE\xDE",
                                  " \xA0"};
    for (const char* g : groups)
        for (const char* p = g + 1; *p; ++p)
            t[static_cast<unsigned char>(*p)] = static_cast<unsigned char>(*g);
    return t;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

// Letters and digits make words; in folded text the letters left above 0x7F
// are the ligatures and sharp s.
bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == 0xE6 || u == 0x9C ||
           u == 0xFE || u == 0xDF;
}

// True when the bytes at at between the first and the last are the word's.
bool Matches(const char* at, std::string_view word) {
    for (std::size_t i = 1; i + 1 < word.size(); ++i)
        if (at[i] != word[i])
            return false;
    return true;
}

// The first place in [from, end) where word (not empty) begins and ends, or
// end. Made to go through a whole list at once: string_view::find calls the
// C library's memchr, which under Wine goes a byte at a time.
const char* Search(const char* from, const char* end, std::string_view word) {
    const std::size_t m = word.size();
    if (static_cast<std::size_t>(end - from) < m)
        return end;
    const char* const last = end - m; // where the last match could begin
#ifdef __SSE2__
    // Sixteen places at once whose first and last bytes are the word's.
    const __m128i firsts = _mm_set1_epi8(word.front());
    const __m128i lasts = _mm_set1_epi8(word.back());
    for (; last - from >= 15; from += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + m - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firsts), _mm_cmpeq_epi8(b, lasts))));
        for (; mask != 0; mask &= mask - 1) {
            const char* at = from + __builtin_ctz(mask);
            if (Matches(at, word))
                return at;
        }
    }
#endif
    for (; from <= last; ++from)
        if (from[0] == word.front() && from[m - 1] == word.back() && Matches(from, word))
            return from;
    return end;
}

// True when row, without its leading blanks, begins with text.
bool BeginsWith(std::string_view row, std::string_view text) {
    std::size_t lead = 0;
    while (lead < row.size() && IsSpaceOrTab(row[lead]))
        ++lead;
    if (row.size() - lead < text.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (row[lead + i] != text[i])
            return false;
    return true;
}

// How word occurs in row from its place from on: 0 not at all, 1 inside
// words only, 2 at the start of a word.
int Occurrence(std::string_view row, std::string_view word, std::ptrdiff_t from = 0) {
    const char* const end = row.data() + row.size();
    int found = 0;
    for (const char* at = Search(row.data() + from, end, word); at != end;
         at = Search(at + 1, end, word)) {
        if (at == row.data() || !IsWordChar(at[-1]))
            return 2;
        found = 1;
    }
    return found;
}

} // namespace

char FoldChar(char c) {
    return static_cast<char>(kFold[static_cast<unsigned char>(c)]);
}

std::string FoldedText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = FoldChar(c);
    return out;
}

std::vector<std::string_view> SearchWords(std::string_view folded) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && IsSpaceOrTab(folded[i]))
            ++i;
        std::size_t end = i;
        while (end < folded.size() && !IsSpaceOrTab(folded[end]))
            ++end;
        if (end > i)
            words.push_back(folded.substr(i, end - i));
        i = end;
    }
    return words;
}

bool SearchableText(std::string_view typed) {
    int n = 0;
    for (char c : typed)
        if (!IsSpaceOrTab(FoldChar(c)))
            ++n;
    return n >= 2;
}

void GCommandIndex::SetRows(TListKind list, const std::vector<std::string_view>& rows) {
    GFolded folded;
    std::size_t bytes = 0;
    for (std::string_view r : rows)
        bytes += r.size() + 1;
    folded.text.reserve(bytes);
    folded.starts.reserve(rows.size());
    for (std::string_view r : rows) {
        folded.starts.push_back(static_cast<std::uint32_t>(folded.text.size()));
        for (char c : r)
            folded.text.push_back(FoldChar(c));
        folded.text.push_back('\0');
    }
    lists_[list] = std::move(folded);
}

std::vector<GSearchHit> GCommandIndex::Find(std::string_view typed) const {
    if (!SearchableText(typed))
        return {};
    const std::string text = FoldedText(typed);
    const std::vector<std::string_view> words = SearchWords(text);
    const std::string_view whole = Trimmed(text);
    // A command holds no "(": text with one begins none.
    const bool wholeMayBegin = whole.find('(') == std::string_view::npos;
    // The longest word is looked for through each list's bytes at once; the
    // others only in the rows that hold it.
    const std::string_view rare = *std::max_element(
        words.begin(), words.end(), [](auto a, auto b) { return a.size() < b.size(); });

    std::vector<GSearchHit> ranks[3];
    for (TListKind kind : {lkCustom, lkSyst, lkCPL}) {
        const GFolded& list = lists_[kind];
        const std::size_t count = list.starts.size();
        const char* const base = list.text.data();
        const char* const end = base + list.text.size();
        std::size_t i = 0;
        for (const char* at = Search(base, end, rare); at != end;) {
            while (i + 1 < count && base + list.starts[i + 1] <= at)
                ++i;
            const char* const next = i + 1 < count ? base + list.starts[i + 1] : end;
            const char* const begin = base + list.starts[i];
            const std::string_view row(begin, static_cast<std::size_t>(next - 1 - begin));
            // How the words occur in the row, the least of them (see Occurrence).
            // A match that runs on past its row (typed text with a NUL) is none.
            int least = 0;
            if (at + rare.size() <= row.data() + row.size())
                least = at == row.data() || !IsWordChar(at[-1])
                            ? 2
                            : std::max(1, Occurrence(row, rare, at + 1 - row.data()));
            for (auto w = words.begin(); least != 0 && w != words.end(); ++w)
                if (w->data() != rare.data())
                    least = std::min(least, Occurrence(row, *w));
            if (least != 0) {
                int rank = least == 2 ? 1 : 2;
                if (wholeMayBegin && BeginsWith(row, whole))
                    rank = 0;
                ranks[rank].push_back({kind, static_cast<int>(i)});
            }
            at = Search(next, end, rare);
        }
    }
    std::vector<GSearchHit> out;
    out.reserve(ranks[0].size() + ranks[1].size() + ranks[2].size());
    for (const auto& r : ranks)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

size_t GCommandIndex::RowLength(const GSearchHit& hit) const {
    const GFolded& list = lists_[hit.list];
    const auto i = static_cast<size_t>(hit.row);
    const size_t end = i + 1 < list.starts.size() ? list.starts[i + 1] : list.text.size();
    return end - list.starts[i] - 1;
}
