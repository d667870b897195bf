#include "core/CaptureText.h"

#include "core/Utf8.h"

#include <algorithm>

namespace {

using Byte = unsigned char;

Byte At(std::string_view s, std::size_t i) {
    return static_cast<Byte>(s[i]);
}

bool IsAsciiText(Byte b) {
    return b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b < 0x7F);
}

// A UTF-16LE code unit that text of a Latin script would hold: ASCII text or
// a printable Latin-1 character, high byte zero.
bool IsLatinUnit(Byte lo, Byte hi) {
    return hi == 0 && (IsAsciiText(lo) || lo >= 0xA0);
}

// Without a byte-order mark, two Latin characters followed by zero bytes make
// the start of a UTF-16LE stretch: console text never holds a NUL byte.
bool Utf16StartsAt(std::string_view s, std::size_t i) {
    if (i + 1 < s.size() && At(s, i) == 0xFF && At(s, i + 1) == 0xFE)
        return true;
    return i + 3 < s.size() && IsLatinUnit(At(s, i), At(s, i + 1)) &&
           IsLatinUnit(At(s, i + 2), At(s, i + 3));
}

// The end of the UTF-16LE stretch starting at i. After a byte-order mark any
// character goes, except a pair of ASCII bytes, which means 8-bit text again.
// Past its first line the stretch grows by whole lines only: the next capture
// appends 8-bit text whose first bytes may pair up as some CJK character.
std::size_t Utf16End(std::string_view s, std::size_t i) {
    const bool marked = At(s, i) == 0xFF && At(s, i + 1) == 0xFE;
    if (marked)
        i += 2;
    bool firstLine = true;
    while (i + 1 < s.size()) {
        std::size_t j = i;
        bool whole = true, ended = false;
        while (!ended && j + 1 < s.size()) {
            const Byte lo = At(s, j), hi = At(s, j + 1);
            if (!IsLatinUnit(lo, hi) &&
                !(marked && hi != 0 && !(IsAsciiText(lo) && IsAsciiText(hi)))) {
                whole = false;
                break;
            }
            j += 2;
            ended = lo == '\n' && hi == 0;
        }
        if (!whole && !firstLine)
            break;
        i = j;
        if (!whole)
            break;
        firstLine = false;
    }
    return i;
}

// cmd /u writes UTF-16LE without a byte-order mark. A capture that starts so
// is told apart by its zero bytes: in text of a Latin script, most bytes at odd
// offsets are zero, and hardly any at even offsets.
bool StartsAsUnmarkedUtf16(std::string_view s) {
    if (s.size() < 4 || s.size() % 2 != 0 || (At(s, 0) == 0xFF && At(s, 1) == 0xFE))
        return false;
    const std::size_t units = std::min<std::size_t>(s.size(), 4096) / 2;
    std::size_t oddZeros = 0, evenZeros = 0;
    for (std::size_t k = 0; k < units; ++k) {
        evenZeros += At(s, 2 * k) == 0;
        oddZeros += At(s, 2 * k + 1) == 0;
    }
    return oddZeros * 2 > units && evenZeros * 4 <= oddZeros;
}

// The end of such a leading stretch: any character goes, up to the line of the
// first 8-bit text appended after it, which shows a CR or LF byte beside a
// non-zero one (in UTF-16LE, a rare character such as U+010D or U+4E0A does
// too, and ends the stretch early: the rest is read as before).
std::size_t LeadingUtf16End(std::string_view s) {
    std::size_t end = 0;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const Byte lo = At(s, i), hi = At(s, i + 1);
        if (hi == '\r' || hi == '\n' || (hi != 0 && (lo == '\r' || lo == '\n')))
            return end;
        if (lo == '\n')
            end = i + 2;
    }
    return s.size();
}

void Append(std::vector<TCaptureStretch>& out, TCaptureEncoding e, std::size_t offset,
            std::size_t length) {
    if (length == 0)
        return;
    if (!out.empty() && out.back().Encoding == e)
        out.back().Length += length;
    else
        out.push_back({e, offset, length});
}

void AppendUtf8(std::u16string& out, std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        const std::size_t n = Utf8SequenceAt(s, i, c);
        if (n == 0) // only lines checked whole come here
            c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += n ? n : 1;
    }
}

void AppendUtf16(std::u16string& out, std::string_view s) {
    const std::size_t count = s.size() / 2;
    for (std::size_t k = 0; k < count; ++k) {
        const char16_t u = static_cast<char16_t>(At(s, 2 * k) | (At(s, 2 * k + 1) << 8));
        const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
        if (high && k + 1 < count) {
            const char16_t next = static_cast<char16_t>(At(s, 2 * k + 2) | (At(s, 2 * k + 3) << 8));
            if (next >= 0xDC00 && next <= 0xDFFF) {
                out.push_back(u);
                out.push_back(next);
                ++k;
                continue;
            }
        }
        out.push_back(high || low ? u'\xFFFD' : u);
    }
}

} // namespace

std::vector<TCaptureStretch> ClassifyCapture(std::string_view bytes) {
    std::vector<TCaptureStretch> out;
    std::size_t lineStart = 0;
    if (StartsAsUnmarkedUtf16(bytes)) {
        lineStart = LeadingUtf16End(bytes);
        Append(out, TCaptureEncoding::Utf16le, 0, lineStart);
    }
    auto closeLine = [&](std::size_t end) {
        const std::string_view line = bytes.substr(lineStart, end - lineStart);
        Append(out, IsUtf8WithNonAscii(line) ? TCaptureEncoding::Utf8 : TCaptureEncoding::Oem,
               lineStart, line.size());
        lineStart = end;
    };
    for (std::size_t i = lineStart; i < bytes.size();) {
        if (Utf16StartsAt(bytes, i)) {
            closeLine(i);
            const std::size_t end = Utf16End(bytes, i);
            Append(out, TCaptureEncoding::Utf16le, i, end - i);
            lineStart = i = end;
        } else if (bytes[i] == '\n') {
            closeLine(++i);
        } else {
            ++i;
        }
    }
    closeLine(bytes.size());
    return out;
}

std::u16string DecodeCapture(std::string_view bytes, const TOemDecoder& oem) {
    std::u16string raw;
    raw.reserve(bytes.size());
    for (const TCaptureStretch& s : ClassifyCapture(bytes)) {
        const std::string_view part = bytes.substr(s.Offset, s.Length);
        switch (s.Encoding) {
        case TCaptureEncoding::Oem:
            raw += oem(part);
            break;
        case TCaptureEncoding::Utf8:
            AppendUtf8(raw, part);
            break;
        case TCaptureEncoding::Utf16le:
            AppendUtf16(raw, part);
            break;
        }
    }
    // Any run of CRs with or without its LF, or a lone LF, is one line break:
    // consoles write CR CR LF, and a lone CR would otherwise be invisible.
    std::u16string text;
    text.reserve(raw.size() + raw.size() / 16);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char16_t c = raw[i];
        if (c == u'\r') {
            while (i + 1 < raw.size() && raw[i + 1] == u'\r')
                ++i;
            if (i + 1 < raw.size() && raw[i + 1] == u'\n')
                ++i;
            text += u"\r\n";
        } else if (c == u'\n') {
            text += u"\r\n";
        } else if (c == u'\0') {
            text += u'\xFFFD';
        } else if (c != u'\xFEFF') {
            text += c;
        }
    }
    return text;
}

std::size_t CaptureTailStart(std::string_view tail) {
    const std::size_t lf = tail.find('\n');
    if (lf == std::string_view::npos)
        return 0;
    // In UTF-16LE text the line feed's zero byte goes with it.
    if (lf + 1 < tail.size() && tail[lf + 1] == '\0')
        return lf + 2;
    return lf + 1;
}

std::optional<std::size_t> FindInText(std::u16string_view text, std::u16string_view needle,
                                      std::size_t from, bool forward) {
    if (needle.empty() || needle.size() > text.size())
        return std::nullopt;
    from = from > text.size() ? text.size() : from;
    std::size_t at;
    if (forward) {
        at = text.find(needle, from);
        if (at == std::u16string_view::npos)
            at = text.find(needle);
    } else {
        at = from >= needle.size() ? text.rfind(needle, from - needle.size())
                                   : std::u16string_view::npos;
        if (at == std::u16string_view::npos)
            at = text.rfind(needle);
    }
    if (at == std::u16string_view::npos)
        return std::nullopt;
    return at;
}
