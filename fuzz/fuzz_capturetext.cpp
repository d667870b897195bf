#include "core/CaptureText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::u16string Latin1(std::string_view s) {
    std::u16string out;
    for (char c : s)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The stretches tile the input, in order, neighbours differing.
    std::size_t at = 0;
    const auto stretches = ClassifyCapture(bytes);
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        Check(stretches[k].Offset == at && stretches[k].Length > 0);
        Check(k == 0 || stretches[k].Encoding != stretches[k - 1].Encoding);
        at += stretches[k].Length;
    }
    Check(at == size);

    // The edit control's text: no NUL, no mark, every CR followed by LF and every LF preceded by
    // CR.
    const std::u16string text = DecodeCapture(bytes, Latin1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        Check(text[i] != u'\0' && text[i] != u'\xFEFF');
        if (text[i] == u'\r')
            Check(i + 1 < text.size() && text[i + 1] == u'\n');
        if (text[i] == u'\n')
            Check(i > 0 && text[i - 1] == u'\r');
    }

    const std::size_t tail = CaptureTailStart(bytes);
    Check(tail <= size);

    if (size > 2) {
        const std::size_t from = data[0] % (text.size() + 2);
        const std::u16string needle = text.substr(text.size() / 2, data[1] % 4);
        const auto found = FindInText(text, needle, from, data[2] & 1);
        if (found)
            Check(text.compare(*found, needle.size(), needle) == 0);
        else
            Check(needle.empty() || text.find(needle) == std::u16string::npos);
    }
    return 0;
}
