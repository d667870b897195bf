#pragma once

// Finding rows of the three command lists by any words typed. Rows and typed
// text are Windows-1252 bytes; letter case and accents are ignored.

#include "core/ListRowStyle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A byte in lower case without its accent ("\xC9" and "E" give "e"); "\xA0"
// (no-break space) gives a space. One byte for one, so a folded text keeps
// the offsets of its source.
char FoldChar(char c);

// text with every byte folded as FoldChar does.
std::string FoldedText(std::string_view text);
// The words of folded text, as the search looks for them: split at spaces and
// tabs, each a view of folded.
std::vector<std::string_view> SearchWords(std::string_view folded);

// True when typed holds enough to search by: two characters besides blanks.
bool SearchableText(std::string_view typed);

struct GSearchHit {
    TListKind list;
    int row;
    friend bool operator==(const GSearchHit&, const GSearchHit&) = default;
};

// The rows of the lists in one folded copy, and the search through them.
class GCommandIndex {
public:
    // Replaces the rows of one list.
    void SetRows(TListKind list, const std::vector<std::string_view>& rows);

    // The rows whose text contains every blank-separated word of typed, best
    // first: rows whose command (the text before its first "(") begins with
    // the whole typed text, then rows where each word begins a word, then the
    // rest; within one rank the personal list, the system list, then the
    // Control Panel list, each in file order. Nothing for unsearchable text.
    std::vector<GSearchHit> Find(std::string_view typed) const;
    // The length of a row in bytes, as given.
    size_t RowLength(const GSearchHit& hit) const;

private:
    struct GFolded {
        std::string text;                  // every row folded, each followed by a NUL
        std::vector<std::uint32_t> starts; // where each row begins
    };
    GFolded lists_[3];
};
