#include "core/ParenComments.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The index of the first "(" that opens a comment: read from the left, a
// doubled parenthesis is one of the command's and is stepped over whole,
// and a quoted stretch holds none.
std::size_t FirstOpening(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        if (quoted || (text[i] != '(' && text[i] != ')'))
            continue;
        if (i + 1 < text.size() && text[i + 1] == text[i])
            ++i;
        else if (text[i] == '(')
            return i;
    }
    return std::string_view::npos;
}

// The removal as the rule states it: find the first opening "(", delete
// through the first ")" after it, repeat from the start. Quadratic, so inputs
// are kept short for it.
std::string Reference(std::string_view input) {
    std::string text(input);
    for (;;) {
        const auto open = FirstOpening(text);
        if (open == std::string::npos)
            return text;
        const auto close = text.find(')', open + 1);
        if (close == std::string::npos)
            return text;
        text.erase(open, close - open + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string stripped = StripParenComments(text);

    if (stripped.size() > text.size())
        __builtin_trap();
    if (text.find('(') == std::string_view::npos && stripped != text)
        __builtin_trap();
    if (StripParenComments(stripped) != stripped)
        __builtin_trap();

    // Whatever opening "(" remains is unclosed: no ")" follows it.
    const auto open = FirstOpening(stripped);
    if (open != std::string::npos && stripped.find(')', open) != std::string::npos)
        __builtin_trap();
    // Each removed stretch holds exactly one ")" and at least one "(".
    const auto count = [](std::string_view s, char c) {
        std::size_t n = 0;
        for (char x : s)
            n += (x == c);
        return n;
    };
    const std::size_t textOpen = count(text, '(');
    const std::size_t textClose = count(text, ')');
    const std::size_t keptOpen = count(stripped, '(');
    const std::size_t keptClose = count(stripped, ')');
    if (keptOpen > textOpen || keptClose > textClose)
        __builtin_trap();
    if (textOpen - keptOpen < textClose - keptClose)
        __builtin_trap();
    if (text.size() - stripped.size() < 2 * (textClose - keptClose))
        __builtin_trap();

    // The escape: any text with its parentheses outside quotes doubled passes
    // the rule untouched and comes back whole once made single again.
    if (size <= 4096) {
        const std::string doubled = DoubleParens(text);
        if (StripParenComments(doubled) != doubled || UndoubleParens(doubled) != text)
            __builtin_trap();
        if (Reference(text) != stripped)
            __builtin_trap();
    }
    // Making doubles single never lengthens the line.
    const std::string single = UndoubleParens(stripped);
    if (single.size() > stripped.size())
        __builtin_trap();
    return 0;
}
