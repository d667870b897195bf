// A keyboard shortcut as a user writes it in a settings file ("Ctrl+Alt+O"),
// and back.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The modifiers, with the values the system's hot keys take.
enum THotKeyModifier : unsigned { hkAlt = 1, hkCtrl = 2, hkShift = 4, hkWin = 8 };

struct THotKeyChord {
    unsigned Modifiers = 0;
    // A virtual-key code: 'A' to 'Z', '0' to '9', F1 to F24 (0x70 to 0x87) or space (0x20).
    unsigned Key = 0;
    bool operator==(const THotKeyChord&) const = default;
};

// Modifiers ("Ctrl", "Alt", "Maj" or "Shift", "Win") then one key, joined by
// "+", in any letter case, blanks around each name left out. A letter, a digit
// or space needs Ctrl, Alt or Win: with Shift alone, or nothing, the shortcut
// would take keys the user types. Anything else is nullopt.
std::optional<THotKeyChord> ParseHotKey(std::string_view text);

// "Ctrl+Alt+O": the modifiers always in the same order, Shift written "Maj".
std::string HotKeyText(const THotKeyChord& chord);
