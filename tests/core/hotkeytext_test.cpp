#include "core/HotKeyText.h"

#include <gtest/gtest.h>

TEST(HotKeyText, ShortcutsAsUsersWriteThem) {
    const struct {
        const char* text;
        THotKeyChord chord;
        const char* written;
    } cases[] = {
        {"Ctrl+Alt+O", {hkCtrl | hkAlt, 'O'}, "Ctrl+Alt+O"},
        {" alt + CTRL +o ", {hkCtrl | hkAlt, 'O'}, "Ctrl+Alt+O"},
        {"Ctrl+Shift+9", {hkCtrl | hkShift, '9'}, "Ctrl+Maj+9"},
        {"win+maj+k", {hkWin | hkShift, 'K'}, "Maj+Win+K"},
        {"Ctrl+Espace", {hkCtrl, 0x20}, "Ctrl+Espace"},
        {"Alt+space", {hkAlt, 0x20}, "Alt+Espace"},
        {"F9", {0, 0x78}, "F9"},
        {"Maj+f24", {hkShift, 0x87}, "Maj+F24"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseHotKey(c.text), c.chord);
        EXPECT_EQ(HotKeyText(c.chord), c.written);
    }
}

TEST(HotKeyText, WhatIsNoShortcutOrWouldTakeTypedKeys) {
    for (const char* text : {"", " ", "O", "Maj+O", "Shift+Espace", "Ctrl+", "+O", "Ctrl++O",
                             "Ctrl+Alt+OO", "Ctrl+F25", "Ctrl+F0", "Ctrl+F01", "Ctrl+Alt+\xE9",
                             "Hyper+O", "Ctrl+Alt", "Ctrl Alt O", "Ctrl+Alt+O;"})
        EXPECT_EQ(ParseHotKey(text), std::nullopt) << text;
}
