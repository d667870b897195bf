#include "core/CaptureText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;
using E = TCaptureEncoding;

namespace {

// Stands in for the system's code page 850 table: the few bytes the tests
// use, the rest as Latin-1, and a marker to show which bytes went through it.
std::u16string FakeOem(std::string_view s) {
    std::u16string out;
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += b == 0x82   ? u'\u00E9'
               : b == 0x85 ? u'\u00E0'
               : b == 0xC4 ? u'\u2500'
                           : static_cast<char16_t>(b);
    }
    return out;
}

std::u16string Decode(const std::string& bytes) {
    return DecodeCapture(bytes, FakeOem);
}

std::string Utf16(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

} // namespace

TEST(CaptureDecode, ConsoleOemTextGoesThroughTheCodePage) {
    EXPECT_EQ(Decode("num\x82ro \x82t\x82\r\n"), u"num\u00E9ro \u00E9t\u00E9\r\n");
    EXPECT_EQ(Decode("\xC4\xC4 voil\x85"), u"\u2500\u2500 voil\u00E0");
    EXPECT_EQ(Decode(""), u"");
}

TEST(CaptureDecode, ValidUtf8LinesAmongOemLines) {
    const std::string bytes = "num\x82ro\r\n"
                              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"
                              "\x82t\x82\r\n";
    EXPECT_EQ(Decode(bytes), u"num\u00E9ro\r\ncaf\u00E9 \u20AC \U0001F600\r\n\u00E9t\u00E9\r\n");
    const auto stretches = ClassifyCapture(bytes);
    ASSERT_EQ(stretches.size(), 3u);
    EXPECT_EQ(stretches[1], (TCaptureStretch{E::Utf8, 8, 16}));
}

TEST(CaptureDecode, MalformedUtf8StaysOem) {
    // Overlong slash, an encoded surrogate, a cut sequence, a code point past U+10FFFF.
    for (const std::string line : {"\xC0\xAF", "\xED\xA0\x80", "ab\xC3", "\xF4\x90\x80\x80"}) {
        const auto stretches = ClassifyCapture(line);
        ASSERT_EQ(stretches.size(), 1u) << line;
        EXPECT_EQ(stretches[0].Encoding, E::Oem) << line;
    }
    // Plain ASCII counts as OEM: nothing to tell apart.
    EXPECT_EQ(ClassifyCapture("abc\n")[0].Encoding, E::Oem);
}

TEST(CaptureDecode, Utf16WithMarkThenOemAgain) {
    // wmic writes a byte-order mark; the next capture appends 8-bit text.
    const std::string bytes =
        "avant\r\n"s + "\xFF\xFE"s +
        Utf16(u"Caption  \r\n\u041F\u0440\u0438\u0432\u0435\u0442 \u20AC\r\n") + "apr\x82s\r\n";
    EXPECT_EQ(
        Decode(bytes),
        u"avant\r\nCaption  \r\n\u041F\u0440\u0438\u0432\u0435\u0442 \u20AC\r\napr\u00E9s\r\n");
    const auto stretches = ClassifyCapture(bytes);
    ASSERT_EQ(stretches.size(), 3u);
    EXPECT_EQ(stretches[1].Encoding, E::Utf16le);
    EXPECT_EQ(stretches[1].Offset, 7u);
}

TEST(CaptureDecode, OemLineAfterMarkedUtf16IsNotTakenForCjk) {
    // 0xC4 0xC4 would read as U+C4C4: the line is 8-bit text because it does not hold up as UTF-16.
    const std::string bytes = "\xFF\xFE"s + Utf16(u"wmic\r\n") + "\xC4\xC4\xC4 tree\r\n";
    EXPECT_EQ(Decode(bytes), u"wmic\r\n\u2500\u2500\u2500 tree\r\n");
    // Within the first line a non-Latin character followed by 8-bit text splits mid-line.
    EXPECT_EQ(Decode("\xFF\xFE"s + Utf16(u"\u0416") + "ab"), u"\u0416ab");
}

TEST(CaptureDecode, Utf16WithoutMarkAtAnyOffset) {
    // cmd /u writes no mark; an odd-length line before it shifts its alignment.
    const std::string bytes = "x\r\n"s + Utf16(u"\u00E9t\u00E9\r\n") + "ok\n";
    EXPECT_EQ(Decode(bytes), u"x\r\n\u00E9t\u00E9\r\nok\r\n");
    EXPECT_EQ(ClassifyCapture(bytes)[1], (TCaptureStretch{E::Utf16le, 3, 10}));
}

TEST(CaptureDecode, Utf16WithoutMarkFillingTheStartTakesAnyCharacter) {
    // cmd /u: characters beyond Latin-1 too (oe, ellipsis, euro, box drawing).
    const std::u16string text = u"\u0152uvres compl\u00E8tes \u2026 \u00AE \u20AC\r\n"
                                u"\u2514\u2500\u2500 r\u00E9pertoire\r\n";
    EXPECT_EQ(Decode(Utf16(text)), text);
    // A later capture appends console text, with CR LF or a lone LF.
    EXPECT_EQ(Decode(Utf16(text) + "apr\x82s:\r\n"), text + u"apr\u00E9s:\r\n");
    EXPECT_EQ(Decode(Utf16(text) + "ok!\n"), text + u"ok!\r\n");
    // Console text first: the zero bytes that follow do not make it UTF-16.
    EXPECT_EQ(Decode("x:\r\n"s + Utf16(u"\u00E9t\u00E9\r\n")), u"x:\r\n\u00E9t\u00E9\r\n");
    // Zero bytes at even offsets as often are no UTF-16LE text.
    EXPECT_EQ(Decode(std::string(8, '\0')), std::u16string(8, u'\xFFFD'));
}

TEST(CaptureDecode, Utf16SurrogatesAndOddTail) {
    EXPECT_EQ(Decode("\xFF\xFE"s + Utf16(u"a\U0001F600b")), u"a\U0001F600b");
    // A lone surrogate becomes the replacement character.
    EXPECT_EQ(Decode("\xFF\xFE"s + "a\0\x00\xD8z\0"s), u"a\xFFFDz");
    // A last odd byte is 8-bit text again.
    EXPECT_EQ(Decode("\xFF\xFE"s + Utf16(u"ab") + "\x82"), u"ab\u00E9");
}

TEST(CaptureDecode, LineBreaksAndNulsForTheEditControl) {
    EXPECT_EQ(Decode("a\nb\rc\r\r\nd\r\n\r\ne"), u"a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(Decode("a\0b"s), u"a\xFFFD"
                               u"b");
    EXPECT_EQ(Decode("\r"), u"\r\n");
}

TEST(CaptureTail, StartsAfterTheFirstLineBreak) {
    EXPECT_EQ(CaptureTailStart("partial\r\nwhole\r\n"), 9u);
    EXPECT_EQ(CaptureTailStart("no break at all"), 0u);
    EXPECT_EQ(CaptureTailStart(Utf16(u"ab\r\ncd")), 8u);
    EXPECT_EQ(CaptureTailStart("\n"), 1u);
}

TEST(CaptureFind, ForwardBackwardAndAround) {
    const std::u16string_view text = u"un deux un trois un";
    EXPECT_EQ(FindInText(text, u"un", 0, true), 0u);
    EXPECT_EQ(FindInText(text, u"un", 1, true), 8u);
    EXPECT_EQ(FindInText(text, u"un", 18, true), 0u); // wraps to the start
    EXPECT_EQ(FindInText(text, u"un", 17, false), 8u);
    EXPECT_EQ(FindInText(text, u"un", 19, false), 17u);
    EXPECT_EQ(FindInText(text, u"un", 1, false), 17u); // wraps to the end
    EXPECT_EQ(FindInText(text, u"un", 500, true), 0u);
    EXPECT_EQ(FindInText(text, u"cinq", 0, true), std::nullopt);
    EXPECT_EQ(FindInText(text, u"", 0, true), std::nullopt);
    EXPECT_EQ(FindInText(u"a", u"aa", 0, false), std::nullopt);
}
