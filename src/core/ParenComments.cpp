#include "core/ParenComments.h"

namespace {

bool DoubledAt(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i + 1] == text[i];
}

} // namespace

std::string StripParenComments(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;  // start of the text still to copy
    std::size_t from = 0; // where to look for the next "("
    // A ")" outside a comment is kept, single or doubled, so only the "("
    // are looked for; a run of them pairs from its left end.
    while (from < text.size()) {
        const auto open = text.find('(', from);
        if (open == std::string_view::npos)
            break;
        if (DoubledAt(text, open)) {
            from = open + 2;
            continue;
        }
        const auto close = text.find(')', open + 1);
        if (close == std::string_view::npos)
            break;
        // Back-to-back comments leave nothing between them to copy.
        if (open > pos)
            out.append(text.substr(pos, open - pos));
        pos = from = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

std::string UndoubleParens(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if ((text[i] == '(' || text[i] == ')') && DoubledAt(text, i))
            ++i;
    }
    return out;
}
