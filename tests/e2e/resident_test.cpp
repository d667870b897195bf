// Orbitashell kept in the notification area, driven from outside as a user
// would: its menus, the shortcut typed on the keyboard, its icon clicked in
// Wine's own notification area (a window of Wine's explorer when no desktop
// shell runs), a second start.
#include "Driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// Keys through the system's input, as the keyboard gives them.
void SendKeys(const std::vector<std::pair<WORD, bool>>& keys) {
    std::vector<INPUT> inputs;
    for (auto [vk, up] : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressCtrlAlt(WORD key) {
    SendKeys({{VK_CONTROL, false},
              {VK_MENU, false},
              {key, false},
              {key, true},
              {VK_MENU, true},
              {VK_CONTROL, true}});
}

void TypeLetters(const std::string& letters) {
    for (char c : letters)
        SendKeys({{static_cast<WORD>(c), false}, {static_cast<WORD>(c), true}});
}

void Click(HWND h, UINT down, UINT up, int x = 4) {
    PostMessageW(h, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, 4));
    PostMessageW(h, up, 0, MAKELPARAM(x, 4));
}

// The icons of Wine's notification area, which Wine's explorer shows in a
// window of its own once a program adds an icon.
std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    if (HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr))
        for (HWND h : ChildWindows(tray))
            if (ClassOf(h) == L"__winex11_tray_icon" && IsWindowVisible(h))
                icons.push_back(h);
    return icons;
}

// The tooltip shown while the pointer rests on the icon.
std::wstring TooltipOf(HWND icon) {
    // From elsewhere: a tip shows as the pointer comes onto its tool.
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

// Opens a menu of the program with open, then chooses in it with keys
// posted to one of the program's windows.
// shownAt: where the menu showed.
testing::AssertionResult ChooseInMenu(DWORD pid, HWND window, const std::function<void()>& open,
                                      const std::vector<WORD>& keys, RECT* shownAt = nullptr) {
    auto menu = [pid] {
        for (HWND h : TopLevelWindows())
            if (ClassOf(h) == L"#32768" && IsWindowVisible(h) && ProcessOf(h) == pid)
                return h;
        return HWND{};
    };
    open();
    if (!WaitUntil([&] { return menu() != nullptr; }, 5000))
        return testing::AssertionFailure() << "no menu";
    if (shownAt)
        GetWindowRect(menu(), shownAt);
    for (WORD k : keys) {
        PostMessageW(window, WM_KEYDOWN, k, 1);
        PostMessageW(window, WM_KEYUP, k, static_cast<LPARAM>(0xC0000001u));
    }
    if (!WaitUntil([&] { return menu() == nullptr; }, 5000))
        return testing::AssertionFailure() << "the menu stayed";
    return testing::AssertionSuccess();
}

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> RunValue() {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Orbitashell", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

class Resident : public testing::Test {
protected:
    void TearDown() override {
        // Wine starts what the Run key names when a prefix starts: nothing of the test stays.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orbitashell");
        SendKeys({{VK_MENU, true}, {VK_CONTROL, true}});
    }
    HWND Start() {
        program_.emplace(scratch_.Path());
        HWND main = program_->WaitIdleMainWindow();
        if (main)
            window_.emplace(main);
        return main;
    }
    // The information menu from the keyboard (F1); its last entry keeps the program at hand.
    testing::AssertionResult ToggleKeptAtHand() {
        return ChooseInMenu(program_->Id(), window_->box,
                            [&] { PostMessageW(window_->box, WM_KEYDOWN, VK_F1, 1); },
                            {VK_UP, VK_RETURN});
    }
    testing::AssertionResult ChooseInIconMenu(const std::vector<WORD>& keys) {
        const std::vector<HWND> icons = TrayIcons();
        if (icons.size() != 1)
            return testing::AssertionFailure() << icons.size() << " icons";
        return ChooseInMenu(
            program_->Id(), window_->box, [&] { Click(icons[0], WM_RBUTTONDOWN, WM_RBUTTONUP); },
            keys);
    }
    testing::AssertionResult Shown() const {
        if (WaitUntil(
                [&] {
                    return IsWindowVisible(window_->form) && GetForegroundWindow() == window_->form;
                },
                5000))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "visible " << IsWindowVisible(window_->form) << ", in front "
               << ClassOf(GetForegroundWindow()) << " " << CaptionOf(GetForegroundWindow());
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
            return ReadFileBytes(scratch_ / L"Orbitashell.ini").value_or("") ==
                   "[Options]\r\nZoneDeNotification=1\r\n";
        },
        5000));
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }, 5000));
    EXPECT_EQ(TooltipOf(TrayIcons()[0]), L"Orbitashell");

    // Escape hides, keeping the line; the shortcut brings it back, the line
    // selected, and the keys typed at once replace it, none lost.
    window_->Type(L"ancienne ligne");
    PostMessageW(window_->box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window_->form); }, 5000));
    EXPECT_EQ(window_->Line(), L"ancienne ligne");
    EXPECT_TRUE(program_->Running());
    PressCtrlAlt('O');
    TypeLetters("DIR");
    EXPECT_TRUE(WaitUntil([&] { return window_->Line() == L"dir"; }, 5000))
        << testing::PrintToString(window_->Line());
    EXPECT_TRUE(Shown());

    // The close button hides too; a personal list written meanwhile is
    // followed; a click on the icon brings the window back.
    PostMessageW(window_->form, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window_->form); }, 5000));
    HANDLE file = CreateFileW((scratch_ / L"Commandes.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "echo perso\r\n", 12, &written, nullptr);
    CloseHandle(file);
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
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window_->form); }, 5000));
    {
        TProgram second(scratch_.Path());
        EXPECT_TRUE(second.WaitExit(10000)) << "the second start stayed";
    }
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
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window_->form); }, 5000));
    PressCtrlAlt('O');
    EXPECT_TRUE(Shown());

    // "Démarrer avec Windows" shows and turns what the registry holds.
    const std::wstring quoted = L"\"" + (scratch_ / L"Orbitashell.exe") + L"\"";
    ASSERT_TRUE(ChooseInIconMenu({VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(WaitUntil([&] { return RunValue().has_value(); }, 5000));
    EXPECT_EQ(lstrcmpiW(RunValue().value_or(L"").c_str(), quoted.c_str()), 0)
        << testing::PrintToString(RunValue().value_or(L""));
    ASSERT_TRUE(ChooseInIconMenu({VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(WaitUntil([&] { return !RunValue(); }, 5000));

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
// menu below it and runs nothing.
TEST(SplitButton, TheArrowOfLancerOpensItsMenu) {
    TScratchCopy scratch;
    TProgram program(scratch.Path());
    HWND main = program.WaitIdleMainWindow();
    ASSERT_NE(main, nullptr);
    TMainWindow window(main);
    EXPECT_EQ(GetWindowLongW(window.launch, GWL_STYLE) & BS_TYPEMASK, BS_DEFSPLITBUTTON);
    RECT r;
    GetWindowRect(window.launch, &r);
    RECT inMain = r;
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&inMain), 2);
    const RECT design{524, 217, 524 + 63, 217 + 21};
    EXPECT_TRUE(EqualRect(&inMain, &design))
        << inMain.left << ", " << inMain.top << ", " << inMain.right << ", " << inMain.bottom;
    window.Type(L"echo rien");
    RECT menu{};
    EXPECT_TRUE(ChooseInMenu(
        program.Id(), window.box,
        [&] { Click(window.launch, WM_LBUTTONDOWN, WM_LBUTTONUP, r.right - r.left - 4); },
        {VK_ESCAPE}, &menu));
    EXPECT_EQ(menu.left, r.left);
    EXPECT_EQ(menu.top, r.bottom);
    Sleep(500);
    EXPECT_EQ(program.ActiveProcesses(), 1u) << program.ProcessNames();
    EXPECT_TRUE(program.Close());
}

} // namespace
