#include "core/Captions.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Input: a limit byte, then base and suffix separated by the first NUL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t limit = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\0');
    const std::string_view caption = rest.substr(0, cut);
    const std::string_view suffix = cut == std::string_view::npos ? "" : rest.substr(cut + 1);

    const std::string base = BaseCaptionOf(caption);
    if (base.size() > 27 || caption.substr(0, base.size()) != base)
        __builtin_trap();
    if (caption.size() <= 27 && base != caption)
        __builtin_trap();

    const std::string composed = ComposeCaption(base, suffix, limit);
    const std::string whole = base + std::string(suffix);
    if (composed.size() > limit || std::string_view(whole).substr(0, composed.size()) != composed)
        __builtin_trap();
    if (whole.size() <= limit && composed != whole)
        __builtin_trap();

    const std::string boxed = WithFinalPeriod(caption);
    const bool wantsPeriod = !caption.empty() && static_cast<unsigned char>(caption.back()) > '.';
    if (boxed.size() != caption.size() + (wantsPeriod ? 1 : 0) ||
        std::string_view(boxed).substr(0, caption.size()) != caption)
        __builtin_trap();
    return 0;
}
