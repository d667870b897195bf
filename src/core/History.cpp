#include "core/History.h"

#include "core/Catalogue.h"
#include "core/CommandSearch.h"

#include <algorithm>

bool AddToHistory(std::vector<std::string>& lines, std::string_view line) {
    if (line.empty() || line.front() == ' ' || line.front() == '\t')
        return false;
    std::string kept(line);
    std::replace_if(
        kept.begin(), kept.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (!lines.empty() && lines.back() == kept)
        return false;
    // Blanks at the end do not tell two lines apart on screen: the newer one stays.
    const auto visible = [](std::string_view s) {
        return s.substr(0, s.find_last_not_of(" \t") + 1);
    };
    std::erase_if(lines, [&](const std::string& l) { return visible(l) == visible(kept); });
    lines.push_back(std::move(kept));
    if (lines.size() > kHistoryMax)
        lines.erase(lines.begin(), lines.end() - kHistoryMax);
    return true;
}

THistoryRead ReadHistory(std::string_view bytes) {
    THistoryRead read;
    read.Whole = CatalogueReadWhole(bytes);
    std::string text(bytes);
    const TCatalogueEncoding encoding = CatalogueEncoding(bytes);
    // A NUL byte of UTF-16 is half of a character.
    if (encoding != TCatalogueEncoding::Utf16le && encoding != TCatalogueEncoding::Utf16be)
        std::replace(text.begin(), text.end(), '\0', '\n');
    std::string storage;
    for (std::string_view row : CatalogueLineViews(CatalogueAnsiText(text, storage)))
        AddToHistory(read.Lines, row);
    return read;
}

std::string HistoryText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

std::vector<std::string> HistoryMatches(const std::vector<std::string>& lines,
                                        std::string_view typed) {
    std::vector<std::string> found;
    if (!typed.empty() && !SearchableText(typed))
        return found;
    const std::string folded = FoldedText(typed);
    const std::vector<std::string_view> words = SearchWords(folded);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const std::string text = FoldedText(*line);
        if (std::all_of(words.begin(), words.end(),
                        [&](std::string_view w) { return text.find(w) != std::string::npos; }))
            found.push_back(*line);
    }
    return found;
}
