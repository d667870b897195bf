#include "core/CommandSearch.h"

#include <array>

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Fold(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = FoldChar(c);
    return out;
}

std::vector<std::string_view> Words(std::string_view folded) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && IsBlank(folded[i]))
            ++i;
        std::size_t end = i;
        while (end < folded.size() && !IsBlank(folded[end]))
            ++end;
        if (end > i)
            words.push_back(folded.substr(i, end - i));
        i = end;
    }
    return words;
}

// Without its leading blanks, and its trailing ones too.
std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool BeginsAWord(std::string_view row, std::string_view word) {
    for (std::size_t at = row.find(word); at != std::string_view::npos; at = row.find(word, at + 1))
        if (at == 0 || !IsWordChar(row[at - 1]))
            return true;
    return false;
}

} // namespace

char FoldChar(char c) {
    return static_cast<char>(kFold[static_cast<unsigned char>(c)]);
}

bool SearchableText(std::string_view typed) {
    int n = 0;
    for (char c : typed)
        if (!IsBlank(FoldChar(c)))
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
    const std::string text = Fold(typed);
    const std::vector<std::string_view> words = Words(text);
    const std::string_view whole = Trimmed(text);

    std::vector<GSearchHit> ranks[3];
    for (TListKind kind : {lkCustom, lkSyst, lkCPL}) {
        const GFolded& list = lists_[kind];
        const std::size_t count = list.starts.size();
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t begin = list.starts[i];
            const std::size_t end = (i + 1 < count ? list.starts[i + 1] : list.text.size()) - 1;
            const std::string_view row(list.text.data() + begin, end - begin);
            bool all = true;
            for (std::string_view w : words)
                if (row.find(w) == std::string_view::npos) {
                    all = false;
                    break;
                }
            if (!all)
                continue;
            int rank;
            if (Trimmed(row.substr(0, row.find('('))).starts_with(whole)) {
                rank = 0;
            } else {
                rank = 1;
                for (std::string_view w : words)
                    if (!BeginsAWord(row, w)) {
                        rank = 2;
                        break;
                    }
            }
            ranks[rank].push_back({kind, static_cast<int>(i)});
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
