#include "core/HotKeyText.h"

#include "core/Ascii.h"

namespace {

constexpr unsigned kSpace = 0x20;
constexpr unsigned kF1 = 0x70;
constexpr int kFunctionKeys = 24;

struct TModifierName {
    const char* name;
    unsigned modifier;
};
// In the order they are written.
constexpr TModifierName kModifiers[] = {
    {"Ctrl", hkCtrl}, {"Alt", hkAlt}, {"Maj", hkShift}, {"Win", hkWin}};

bool SameName(std::string_view text, std::string_view name) {
    if (text.size() != name.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(name[i]))
            return false;
    return true;
}

// The key's code, or 0 for a name that is none.
unsigned KeyCode(std::string_view name) {
    if (name.empty())
        return 0;
    if (name.size() == 1) {
        const char c = AsciiUpper(name[0]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return static_cast<unsigned char>(c);
        return 0;
    }
    if (SameName(name, "Espace") || SameName(name, "Space"))
        return kSpace;
    if (name.size() <= 3 && AsciiUpper(name[0]) == 'F') {
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9')
                return 0;
            n = n * 10 + (c - '0');
        }
        if (name[1] != '0' && n >= 1 && n <= kFunctionKeys)
            return kF1 + static_cast<unsigned>(n - 1);
    }
    return 0;
}

} // namespace

std::optional<THotKeyChord> ParseHotKey(std::string_view text) {
    THotKeyChord chord;
    for (;;) {
        const size_t plus = text.find('+');
        const std::string_view part = Trimmed(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            chord.Key = KeyCode(part);
            break;
        }
        // Shift is "Maj" on French keyboards; both names are read.
        unsigned modifier = SameName(part, "Shift") ? unsigned{hkShift} : 0u;
        for (const TModifierName& m : kModifiers)
            if (SameName(part, m.name))
                modifier = m.modifier;
        if (!modifier)
            return std::nullopt;
        chord.Modifiers |= modifier;
        text.remove_prefix(plus + 1);
    }
    const bool functionKey = chord.Key >= kF1;
    if (!chord.Key || (!functionKey && !(chord.Modifiers & (hkCtrl | hkAlt | hkWin))))
        return std::nullopt;
    return chord;
}

std::string HotKeyText(const THotKeyChord& chord) {
    std::string text;
    for (const TModifierName& m : kModifiers)
        if (chord.Modifiers & m.modifier) {
            text += m.name;
            text += '+';
        }
    if (chord.Key >= kF1) {
        text += 'F';
        text += std::to_string(chord.Key - kF1 + 1);
    } else if (chord.Key == kSpace) {
        text += "Espace";
    } else {
        text += static_cast<char>(chord.Key);
    }
    return text;
}
