#include "core/ParenComments.h"

namespace {

bool DoubledAt(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i + 1] == text[i];
}

bool IsParen(char c) {
    return c == '(' || c == ')';
}

} // namespace

std::string StripParenComments(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        if (quoted || c != '(' || DoubledAt(text, i)) {
            // A ")" outside a comment is kept, single or doubled; a run of "("
            // pairs from its left end.
            const std::size_t n = !quoted && c == '(' ? 2 : 1;
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        const auto close = text.find(')', i + 1);
        if (close == std::string_view::npos)
            break;
        i = close + 1;
    }
    out.append(text.substr(i));
    return out;
}

std::string UndoubleParens(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsParen(text[i]) && DoubledAt(text, i))
            ++i;
    }
    return out;
}

std::string DoubleParens(std::string_view text, bool quoted) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        out.append(!quoted && IsParen(c) ? 2 : 1, c);
    }
    return out;
}

bool QuotedAt(std::string_view text, std::size_t pos) {
    bool quoted = false;
    for (std::size_t i = 0; i < pos && i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && text[i] == '(') {
            if (DoubledAt(text, i)) {
                ++i;
                continue;
            }
            // An unclosed "(" stays in the line as it stands; a '"' inside a
            // comment opens nothing.
            const auto close = text.find(')', i + 1);
            if (close == std::string_view::npos)
                continue;
            if (close >= pos)
                break;
            i = close;
        }
    }
    return quoted;
}
