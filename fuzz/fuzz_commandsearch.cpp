// The search's fast scan against the plain one: every row of every list
// tried with every word, ranked the same way.
#include "core/CommandSearch.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

bool WordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == 0xE6 || u == 0x9C ||
           u == 0xFE || u == 0xDF;
}

std::string Folded(std::string_view s) {
    std::string out;
    for (char c : s)
        out.push_back(FoldChar(c));
    return out;
}

// 0: word not in row; 1: only inside words; 2: somewhere at a word's start.
int Plain(const std::string& row, const std::string& word) {
    int best = 0;
    for (size_t at = row.find(word); at != std::string::npos; at = row.find(word, at + 1))
        best = std::max(best, at == 0 || !WordChar(row[at - 1]) ? 2 : 1);
    return best;
}

std::vector<GSearchHit> PlainFind(const std::vector<std::string_view> (&lists)[3],
                                  std::string_view typed) {
    if (!SearchableText(typed))
        return {};
    const std::string text = Folded(typed);
    std::vector<std::string> words;
    std::string word;
    for (char c : text + ' ') {
        if (!Blank(c)) {
            word.push_back(c);
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    const size_t first = text.find_first_not_of(" \t");
    const std::string whole = text.substr(first, text.find_last_not_of(" \t") - first + 1);

    std::vector<GSearchHit> ranks[3];
    for (TListKind kind : {lkCustom, lkSyst, lkCPL}) {
        for (size_t i = 0; i < lists[kind].size(); ++i) {
            const std::string row = Folded(lists[kind][i]);
            int least = 2;
            for (const std::string& w : words)
                least = std::min(least, Plain(row, w));
            if (least == 0)
                continue;
            const size_t lead = std::min(row.find_first_not_of(" \t"), row.size());
            const bool begins =
                whole.find('(') == std::string::npos && row.compare(lead, whole.size(), whole) == 0;
            ranks[begins ? 0 : least == 2 ? 1 : 2].push_back({kind, static_cast<int>(i)});
        }
    }
    std::vector<GSearchHit> out;
    for (const auto& r : ranks)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

} // namespace

// Input: the typed text's length byte, the typed text, then rows split by
// "\n", each led by a byte that chooses its list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view all(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view typed = all.substr(0, std::min<size_t>(data[0], all.size()));
    std::string_view rest = all.substr(typed.size());

    std::vector<std::string_view> lists[3];
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!line.empty())
            lists[static_cast<unsigned char>(line[0]) % 3].push_back(line.substr(1));
    }
    GCommandIndex index;
    for (TListKind kind : {lkCPL, lkSyst, lkCustom})
        index.SetRows(kind, lists[kind]);
    if (index.Find(typed) != PlainFind(lists, typed))
        __builtin_trap();
    return 0;
}
