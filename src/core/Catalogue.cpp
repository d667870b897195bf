#include "core/Catalogue.h"

#include "core/ParenComments.h"
#include "core/Utf8.h"

#include <algorithm>

std::vector<std::string_view> CatalogueLineViews(std::string_view bytes) {
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);

    std::vector<std::string_view> rows;
    // A count of the breaks bounds the row count, so the vector never regrows.
    const auto breaks =
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    rows.reserve(static_cast<std::size_t>(breaks) + 1);

    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        rows.push_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        rows.push_back(bytes.substr(start));
    return rows;
}

namespace {

// Unicode of Windows-1252's bytes 0x80 to 0x9F; the five it leaves undefined
// map to the C1 control of the same value, as the system's tables do.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char AnsiOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < 32; ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

char32_t UnicodeOf(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A character that stands for none in Windows-1252: a broken sequence.
constexpr char32_t kBroken = 0xFFFD;

void PutAnsi(std::string& out, char32_t c, std::vector<std::size_t>* lost) {
    const char ansi = AnsiOf(c);
    if (lost && ansi == '?' && c != U'?')
        lost->push_back(out.size());
    out += ansi;
}

void Utf8ToAnsi(std::string_view s, std::string& out, std::vector<std::size_t>* lost) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        const std::size_t n = Utf8SequenceAt(s, i, c);
        if (n == 1 && c == 0)
            return;
        PutAnsi(out, n ? c : kBroken, lost);
        i += n ? n : 1;
    }
}

char16_t Unit16(std::string_view s, std::size_t i, bool bigEndian) {
    const auto lo = static_cast<unsigned char>(s[i + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(s[i + (bigEndian ? 0 : 1)]);
    return static_cast<char16_t>(hi << 8 | lo);
}

void Utf16ToAnsi(std::string_view s, bool bigEndian, std::string& out,
                 std::vector<std::size_t>* lost) {
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const char16_t u = Unit16(s, i, bigEndian);
        if (u == 0)
            return;
        // A whole surrogate pair is one character, and so one '?'.
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
            const char16_t next = Unit16(s, i + 2, bigEndian);
            if (next >= 0xDC00 && next <= 0xDFFF)
                i += 2;
        }
        PutAnsi(out, u, lost);
    }
}

void AppendUnit16(std::string& out, char32_t c, bool bigEndian) {
    const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1252 text in the file's encoding.
std::string Encoded(std::string_view text, TCatalogueEncoding encoding) {
    std::string out;
    for (char ch : text) {
        switch (encoding) {
        case TCatalogueEncoding::Ansi:
            out += ch;
            break;
        case TCatalogueEncoding::Utf8:
        case TCatalogueEncoding::Utf8Bom:
            AppendUtf8(out, UnicodeOf(ch));
            break;
        case TCatalogueEncoding::Utf16le:
        case TCatalogueEncoding::Utf16be:
            AppendUnit16(out, UnicodeOf(ch), encoding == TCatalogueEncoding::Utf16be);
            break;
        }
    }
    return out;
}

} // namespace

TCatalogueEncoding CatalogueEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark))
        return TCatalogueEncoding::Utf8Bom;
    if (bytes.starts_with("\xFF\xFE"))
        return TCatalogueEncoding::Utf16le;
    if (bytes.starts_with("\xFE\xFF"))
        return TCatalogueEncoding::Utf16be;
    const std::string_view listed = bytes.substr(0, bytes.find('\0'));
    return IsUtf8WithNonAscii(listed) ? TCatalogueEncoding::Utf8 : TCatalogueEncoding::Ansi;
}

bool CatalogueReadWhole(std::string_view bytes) {
    std::string storage;
    const std::string_view text = CatalogueAnsiText(bytes, storage);
    switch (CatalogueEncoding(bytes)) {
    case TCatalogueEncoding::Ansi:
        return text.find('\0') == std::string_view::npos;
    case TCatalogueEncoding::Utf8:
        return Encoded(text, TCatalogueEncoding::Utf8) == bytes;
    case TCatalogueEncoding::Utf8Bom:
        return Encoded(text, TCatalogueEncoding::Utf8) == bytes.substr(kUtf8Mark.size());
    case TCatalogueEncoding::Utf16le:
    case TCatalogueEncoding::Utf16be:
        return Encoded(text, CatalogueEncoding(bytes)) == bytes.substr(2);
    }
    return false;
}

std::string_view CatalogueAnsiText(std::string_view bytes, std::string& storage,
                                   std::vector<std::size_t>* lost) {
    storage.clear();
    if (lost)
        lost->clear();
    switch (CatalogueEncoding(bytes)) {
    case TCatalogueEncoding::Ansi:
        return bytes;
    case TCatalogueEncoding::Utf8:
        Utf8ToAnsi(bytes, storage, lost);
        break;
    case TCatalogueEncoding::Utf8Bom:
        Utf8ToAnsi(bytes.substr(kUtf8Mark.size()), storage, lost);
        break;
    case TCatalogueEncoding::Utf16le:
    case TCatalogueEncoding::Utf16be:
        Utf16ToAnsi(bytes.substr(2), bytes[0] == '\xFE', storage, lost);
        break;
    }
    return storage;
}

std::vector<std::size_t> RowsHoldingLost(const std::vector<std::string_view>& rows,
                                         std::string_view text,
                                         const std::vector<std::size_t>& lost) {
    // Both run in the text's order: one pass over each.
    std::vector<std::size_t> held;
    std::size_t next = 0;
    for (std::size_t row = 0; row < rows.size() && next < lost.size(); ++row) {
        const auto start = static_cast<std::size_t>(rows[row].data() - text.data());
        const std::size_t end = start + rows[row].size();
        while (next < lost.size() && lost[next] < start)
            ++next;
        if (next < lost.size() && lost[next] < end)
            held.push_back(row);
    }
    return held;
}

std::optional<std::string> ComposeAddedRow(std::string_view line, std::string_view comment) {
    std::string note(comment);
    std::replace_if(
        note.begin(), note.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    std::string row(line);
    std::string readBack(line);
    const auto first = note.find_first_not_of(" \t");
    if (first != std::string::npos) {
        note = note.substr(first, note.find_last_not_of(" \t") - first + 1);
        std::replace(note.begin(), note.end(), '(', '[');
        std::replace(note.begin(), note.end(), ')', ']');
        row += " (" + note + ")";
        readBack += ' ';
    }
    // A line break or a NUL would split the row or end the list before it.
    if (row.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
        StripParenComments(row) != readBack)
        return std::nullopt;
    return row;
}

std::optional<std::string> CatalogueWithRow(std::optional<std::string_view> file,
                                            std::string_view row) {
    if (!file)
        return std::string(row) + "\r\n";
    const TCatalogueEncoding encoding = CatalogueEncoding(*file);
    const bool wide =
        encoding == TCatalogueEncoding::Utf16le || encoding == TCatalogueEncoding::Utf16be;
    const std::size_t mark = encoding == TCatalogueEncoding::Utf8Bom ? kUtf8Mark.size()
                             : wide                                  ? 2
                                                                     : 0;
    // A lone last byte of a UTF-16 file is no character; the row must start on a whole unit.
    std::string out(wide ? file->substr(0, file->size() & ~std::size_t{1}) : *file);

    // The file's characters, one unit at a time, to find its line ends.
    const std::size_t step = wide ? 2 : 1;
    auto unitAt = [&](std::size_t i) -> char32_t {
        return wide ? Unit16(out, i, encoding == TCatalogueEncoding::Utf16be)
                    : static_cast<unsigned char>(out[i]);
    };
    for (std::size_t i = mark; i + step <= out.size(); i += step)
        if (unitAt(i) == 0)
            return std::nullopt;
    std::string_view lineEnd = "\r\n";
    for (std::size_t i = mark; i + step <= out.size(); i += step) {
        const char32_t c = unitAt(i);
        if (c == '\n') {
            lineEnd = "\n";
            break;
        }
        if (c == '\r') {
            lineEnd = i + 2 * step <= out.size() && unitAt(i + step) == '\n' ? "\r\n" : "\r";
            break;
        }
    }
    if (out.size() > mark) {
        const char32_t last = unitAt(out.size() - step);
        if (last != '\r' && last != '\n')
            out += Encoded(lineEnd, encoding);
    }
    return out + Encoded(std::string(row) + std::string(lineEnd), encoding);
}
