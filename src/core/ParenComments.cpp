#include "core/ParenComments.h"

std::string StripParenComments(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('(', pos);
        if (open == std::string_view::npos)
            break;
        const auto close = text.find(')', open + 1);
        if (close == std::string_view::npos)
            break;
        // Back-to-back comments leave nothing between them to copy.
        if (open > pos)
            out.append(text.substr(pos, open - pos));
        pos = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}
