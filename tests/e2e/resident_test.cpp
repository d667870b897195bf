// Orbitashell kept in the notification area, driven from outside as a user
// would: its menus, the shortcut typed on the keyboard, its icon clicked in
// Wine's own notification area (a window of Wine's explorer when no desktop
// shell runs), a second start.
#include "Driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// Keys through the system's input, as the keyboard gives them: each down,
// then each up in the reverse order.
void Press(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs(keys.size() * 2);
    for (size_t i = 0; i < inputs.size(); ++i) {
        const WORD vk = keys[i < keys.size() ? i : inputs.size() - 1 - i];
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = vk;
        inputs[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = i < keys.size() ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Click(HWND h, UINT down, UINT up, int x = 4) {
    PostMessageW(h, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, 4));
    PostMessageW(h, up, 0, MAKELPARAM(x, 4));
}

// The icons of Wine's notification area, a window of Wine's explorer.
std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    for (HWND h : ChildWindows(FindWindowW(L"__winex11_standalone_tray", nullptr)))
        if (ClassOf(h) == L"__winex11_tray_icon" && IsWindowVisible(h))
            icons.push_back(h);
    return icons;
}

// The tip shown as the pointer comes onto the icon.
std::wstring TooltipOf(HWND icon) {
    RECT r;
    GetWindowRect(icon, &r);
    SetCursorPos(r.right + 200, r.bottom + 200);
    Sleep(100);
    SetCursorPos(r.left + 4, r.top + 4);
    std::wstring text;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows())
                if (ClassOf(h) == L"tooltips_class32" && IsWindowVisible(h))
                    text = ControlText(h);
            return !text.empty();
        },
        5000);
    return text;
}

// Opens a menu of the program, then chooses in it with keys posted to one of
// its windows; shownAt: where the menu showed.
bool ChooseInMenu(DWORD pid, HWND window, const std::function<void()>& open,
                  const std::vector<WORD>& keys, RECT* shownAt = nullptr) {
    auto menu = [pid] {
        for (HWND h : TopLevelWindows())
            if (ClassOf(h) == L"#32768" && IsWindowVisible(h) && ProcessOf(h) == pid)
                return h;
        return HWND{};
    };
    // A click on an icon that the tray is still placing can be lost on a
    // loaded machine: the menu gets a second chance to open.
    bool opened = false;
    for (int tries = 0; tries < 2 && !opened; ++tries) {
        open();
        opened = WaitUntil([&] { return menu() != nullptr; }, 5000);
    }
    if (!opened)
        return false;
    if (shownAt)
        GetWindowRect(menu(), shownAt);
    for (WORD k : keys) {
        PostMessageW(window, WM_KEYDOWN, k, 1);
        PostMessageW(window, WM_KEYUP, k, static_cast<LPARAM>(0xC0000001u));
    }
    return WaitUntil([&] { return menu() == nullptr; }, 5000);
}

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunValue() {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Orbitashell", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

class Resident : public testing::Test {
protected:
    // Wine starts what the Run key names when a prefix starts: nothing of the test stays.
    void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orbitashell"); }
    HWND Start() {
        program_.emplace(scratch_.Path());
        HWND main = program_->WaitIdleMainWindow();
        if (main)
            window_.emplace(main);
        return main;
    }
    // The information menu from the keyboard (F1): its last entry.
    bool ToggleKeptAtHand() {
        return ChooseInMenu(program_->Id(), window_->box,
                            [&] { PostMessageW(window_->box, WM_KEYDOWN, VK_F1, 1); },
                            {VK_UP, VK_RETURN});
    }
    bool ChooseInIconMenu(const std::vector<WORD>& keys) {
        return WaitUntil([] { return TrayIcons().size() == 1; }, 5000) &&
               ChooseInMenu(
                   program_->Id(), window_->box,
                   [&] {
                       const std::vector<HWND> icons = TrayIcons();
                       if (icons.size() == 1)
                           Click(icons[0], WM_RBUTTONDOWN, WM_RBUTTONUP);
                   },
                   keys);
    }
    bool Hidden() const {
        return WaitUntil([&] { return !IsWindowVisible(window_->form); }, 5000);
    }
    bool Shown() const {
        return WaitUntil(
            [&] {
                return IsWindowVisible(window_->form) && GetForegroundWindow() == window_->form;
            },
            5000);
    }
    TScratchCopy scratch_;
    std::optional<TProgram> program_;
    std::optional<TMainWindow> window_;
};

TEST_F(Resident, KeptInTheNotificationAreaBroughtForwardByTheShortcutAndStartedOnce) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_TRUE(TrayIcons().empty()) << "an icon from elsewhere is in the way";
    ASSERT_TRUE(ToggleKeptAtHand());
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadFileBytes(scratch_ / L"Orbitashell.ini") ==
                   "[Options]\r\nZoneDeNotification=1\r\n";
        },
        5000));
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, 5000));
    EXPECT_EQ(TooltipOf(TrayIcons()[0]), L"Orbitashell");

    // Escape hides, keeping the line; the shortcut brings it back, the line
    // selected, and the keys typed at once replace it, none lost.
    window_->Type(L"ancienne ligne");
    PostMessageW(window_->box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ASSERT_TRUE(Hidden());
    EXPECT_EQ(window_->Line(), L"ancienne ligne");
    Press({VK_CONTROL, VK_MENU, 'O'});
    for (WORD letter : {WORD{'D'}, WORD{'I'}, WORD{'R'}})
        Press({letter});
    EXPECT_TRUE(WaitUntil([&] { return window_->Line() == L"dir"; }, 5000))
        << testing::PrintToString(window_->Line());
    EXPECT_TRUE(Shown());

    // The close button hides too; a personal list written meanwhile is
    // followed; a click on the icon brings the window back.
    PostMessageW(window_->form, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(Hidden());
    CopyFileW((scratch_ / L"CommandesSyst.TXT").c_str(), (scratch_ / L"Commandes.txt").c_str(),
              TRUE);
    Sleep(2500);
    Click(TrayIcons()[0], WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(window_->Line(), L"dir");
    size_t lists = 0;
    for (HWND h : ChildWindows(window_->form))
        lists += ClassOf(h) == L"ComboBox" && IsWindowVisible(h);
    EXPECT_EQ(lists, 3u) << "the personal list written while hidden";

    // A second start shows the running window, and ends.
    PostMessageW(window_->form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Hidden());
    EXPECT_TRUE(TProgram(scratch_.Path()).WaitExit(10000)) << "the second start stayed";
    EXPECT_TRUE(Shown());

    // When the taskbar is made again, the icon comes back.
    for (HWND h : TopLevelWindows())
        if (ProcessOf(h) == program_->Id() && ClassOf(h) == L"ToolkitUtilityWindow") {
            NOTIFYICONDATAW data{};
            data.cbSize = sizeof data;
            data.hWnd = h;
            data.uID = 1;
            Shell_NotifyIconW(NIM_DELETE, &data);
        }
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 5000));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, 5000));

    // "Quitter" on the icon's menu ends the program; started again, it is at hand at once.
    ASSERT_TRUE(ChooseInIconMenu({VK_UP, VK_RETURN}));
    ASSERT_TRUE(program_->WaitExit(10000));
    ASSERT_NE(Start(), nullptr);
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, 5000));
    PostMessageW(window_->box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ASSERT_TRUE(Hidden());
    Press({VK_CONTROL, VK_MENU, 'O'});
    EXPECT_TRUE(Shown());

    // "Démarrer avec Windows" turns what the registry holds.
    const std::wstring quoted = L"\"" + (scratch_ / L"Orbitashell.exe") + L"\"";
    ASSERT_TRUE(ChooseInIconMenu({VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(WaitUntil([&] { return !RunValue().empty(); }, 5000));
    EXPECT_EQ(lstrcmpiW(RunValue().c_str(), quoted.c_str()), 0)
        << testing::PrintToString(RunValue());
    ASSERT_TRUE(ChooseInIconMenu({VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(WaitUntil([&] { return RunValue().empty(); }, 5000));

    // Unchecked: no icon, the shortcut free, Escape ends the program.
    ASSERT_TRUE(ToggleKeptAtHand());
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 5000));
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'O')) << GetLastError();
    UnregisterHotKey(nullptr, 1);
    PostMessageW(window_->box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(program_->WaitExit(10000));
}

// "Lancer" at its place and size, as a split button that the common controls
// draw (the program's manifest asks for their version 6): its arrow opens its
// menu below it. "Copier la ligne" there asks the line's value and puts the
// command as it would run on the clipboard: nothing runs, nothing is kept.
TEST(SplitButton, TheArrowOfLancerOpensItsMenuWhoseCopyRunsNothing) {
    TScratchCopy scratch;
    TProgram program(scratch.Path());
    HWND main = program.WaitIdleMainWindow();
    ASSERT_NE(main, nullptr);
    TMainWindow window(main);
    EXPECT_EQ(GetWindowLongW(window.launch, GWL_STYLE) & BS_TYPEMASK, BS_DEFSPLITBUTTON);
    RECT r, inMain, menu{};
    GetWindowRect(window.launch, &r);
    inMain = r;
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&inMain), 2);
    const RECT design{524, 217, 524 + 63, 217 + 21};
    EXPECT_TRUE(EqualRect(&inMain, &design));
    window.Type(L"Admin+ Edit+ echo {{mot=bonjour}} ((x))");
    EXPECT_TRUE(ChooseInMenu(
        program.Id(), window.box,
        [&] { Click(window.launch, WM_LBUTTONDOWN, WM_LBUTTONUP, r.right - r.left - 4); },
        {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, &menu));
    EXPECT_EQ(menu.left, r.left);
    EXPECT_EQ(menu.top, r.bottom);
    TCompleter asked(program);
    ASSERT_NE(asked.first, nullptr) << "no dialog with a value box";
    SetControlText(asked.first, L"monde \u00E9t\u00E9");
    EXPECT_TRUE(asked.Press(L"OK")) << "the dialog stayed";
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == L"echo monde \u00E9t\u00E9 (x)"; }, 5000))
        << testing::PrintToString(ClipboardText());
    Sleep(500);
    EXPECT_EQ(program.ActiveProcesses(), 1u) << program.ProcessNames();
    EXPECT_FALSE(ReadFileBytes(scratch / L"Historique.txt").has_value());
    EXPECT_FALSE(ReadFileBytes(scratch / L"EditCmd.TXT").has_value());
    EXPECT_EQ(window.Line(), L"Admin+ Edit+ echo {{mot=bonjour}} ((x))");
    EXPECT_TRUE(program.Close());
}

} // namespace
