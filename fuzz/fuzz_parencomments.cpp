#include "core/ParenComments.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The removal as the rule states it: find the first "(", delete through the
// first ")" after it, repeat. Quadratic, so inputs are kept short for it.
std::string Reference(std::string_view input) {
    std::string text(input);
    for (;;) {
        const auto open = text.find('(');
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

    // Whatever "(" remains is unclosed: no ")" follows it.
    const auto open = stripped.find('(');
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

    if (size <= 4096 && Reference(text) != stripped)
        __builtin_trap();
    return 0;
}
