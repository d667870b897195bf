#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The capture file holds whatever the commands wrote: mostly the console's OEM
// code page, but also UTF-16LE (cmd /u, wmic) and UTF-8 lines. These rules
// tell the stretches apart; the OEM conversion itself belongs to the system.
enum class TCaptureEncoding { Oem, Utf8, Utf16le };

struct TCaptureStretch {
    TCaptureEncoding Encoding;
    std::size_t Offset;
    std::size_t Length;
    bool operator==(const TCaptureStretch&) const = default;
};

// Consecutive stretches covering every byte once, in order; neighbours differ
// in encoding. Linear in the size of the input.
std::vector<TCaptureStretch> ClassifyCapture(std::string_view bytes);

// Converts one OEM stretch to UTF-16, one character per byte.
using TOemDecoder = std::function<std::u16string(std::string_view)>;

// The text as a multi-line edit control wants it: every line break CR LF,
// no NUL (U+FFFD instead), no byte-order mark.
std::u16string DecodeCapture(std::string_view bytes, const TOemDecoder& oem);

// Where the shown part of a file too large to show whole begins, given the
// block read from its end: just past the first line break, so that the first
// line shown is whole. 0 when the block holds no line break.
std::size_t CaptureTailStart(std::string_view tail);

// The position of needle in text at or after from (forward) or wholly before
// from (backward), wrapping around the end; nothing when it does not occur.
// Both sides come already case-folded.
std::optional<std::size_t> FindInText(std::u16string_view text, std::u16string_view needle,
                                      std::size_t from, bool forward);
