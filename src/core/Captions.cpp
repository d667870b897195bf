#include "core/Captions.h"

#include <algorithm>

namespace {

constexpr std::size_t kBaseCaptionLength = 27;

} // namespace

std::string BaseCaptionOf(std::string_view caption) {
    return std::string(caption.substr(0, kBaseCaptionLength));
}

std::string ComposeCaption(std::string_view base, std::string_view suffix, std::size_t limit) {
    std::string out;
    out.reserve(std::min(base.size() + suffix.size(), limit));
    out.append(base.substr(0, limit));
    out.append(suffix.substr(0, limit - out.size()));
    return out;
}

std::string WithFinalPeriod(std::string_view message) {
    std::string out(message);
    if (!out.empty() && static_cast<unsigned char>(out.back()) > static_cast<unsigned char>('.'))
        out.push_back('.');
    return out;
}
