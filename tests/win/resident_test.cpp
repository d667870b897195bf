// The main window kept at hand, and the arrow of "Lancer", created for real.
#include "TestSupport.h"

#include "app/Unit1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The program's folder as a scratch folder, current for the test's lifetime.
struct TScratchInstall {
    TScratchInstall(TRecordingSystem& sys, const std::string& settings) {
        WriteBytes(dir + "\\CommandesCPL.TXT", "control\r\n");
        WriteBytes(dir + "\\CommandesSyst.TXT", "ver\r\n");
        WriteBytes(dir + "\\Orbitashell.ini", settings);
        CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
        sys.ExePath = Widened(dir + "\\Orbitashell.exe");
        GetCurrentDirectoryA(MAX_PATH, saved);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~TScratchInstall() {
        SetCurrentDirectoryA(saved);
        RemoveTree(dir);
    }
    const std::string dir = MakeScratchDir("resident");
    char saved[MAX_PATH]{};
};

// Whether some program holds the shortcut Ctrl+Alt+key: the system refuses it to any other.
bool CtrlAltHeld(UINT key) {
    if (!RegisterHotKey(nullptr, 0xBF00, MOD_CONTROL | MOD_ALT, key))
        return true;
    UnregisterHotKey(nullptr, 0xBF00);
    return false;
}

} // namespace

TEST(Resident, TheShortcutIsReadFromTheSettingsAndOneItCannotHaveIsNamed) {
    const std::string kept = "[Options]\r\nZoneDeNotification=1\r\n";
    const struct {
        std::string setting;
        bool defaultHeldElsewhere;
        std::string said; // "file" stands for the settings file, as messages name it
        UINT heldKey;
    } cases[] = {
        {"", true,
         "Le raccourci Ctrl+Alt+O est déjà pris par un autre programme. Pour en choisir un autre, "
         "écrivez dans file, une ligne comme Raccourci=Ctrl+Alt+K.",
         0},
        {"Raccourci=Ctrl+Alt+\r\n", false,
         "Raccourci=Ctrl+Alt+, dans file, n'est pas un raccourci : Ctrl+Alt+O reste en usage. Un "
         "raccourci s'écrit avec Ctrl, Alt, Maj ou Win, et une lettre, un chiffre ou une touche F1 "
         "à F24, par exemple Raccourci=Ctrl+Alt+K.",
         'O'},
        {"Raccourci = ctrl + alt + k\r\n", false, "", 'K'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        TRecordingSystem sys;
        TScratchInstall install(sys, kept + c.setting);
        if (c.defaultHeldElsewhere)
            RegisterHotKey(nullptr, 0xBF01, MOD_CONTROL | MOD_ALT, 'O');
        TDialogWatcher watcher;
        std::unique_ptr<TForm1> form(Application->CreateForm<TForm1>());
        UnregisterHotKey(nullptr, 0xBF01);
        std::vector<std::string> said;
        for (const TSeenDialog& d : watcher.Seen)
            said.push_back(d.text);
        std::string expected = c.said;
        if (const size_t at = expected.find("file"); at != std::string::npos)
            expected.replace(
                at, 4, "le fichier \"" + install.dir + "\\Orbitashell.ini\", section [Options]");
        EXPECT_EQ(said, expected.empty() ? std::vector<std::string>{}
                                         : std::vector<std::string>{expected});
        EXPECT_TRUE(form->Resident.Active());
        for (UINT key : {UINT{'O'}, UINT{'K'}})
            EXPECT_EQ(CtrlAltHeld(key), key == c.heldKey) << static_cast<char>(key);
    }
}

// Where the system's buttons have no split style (a program without version
// 6 of the common controls), "Lancer" draws its own arrow, which opens its
// menu below it and runs nothing.
TEST(Resident, LancerDrawsTheArrowOfItsMenuWhereTheSystemDrawsNone) {
    TRecordingSystem sys;
    TScratchInstall install(sys, "");
    ULONG_PTR cookie = 0;
    ActivateActCtx(nullptr, &cookie);
    std::unique_ptr<TForm1> form(Application->CreateForm<TForm1>());
    DeactivateActCtx(0, cookie);
    form->Show();
    PumpMessages(50);
    TButton& lancer = form->btnExecuter;
    ASSERT_TRUE(lancer.DrawsOwnArrow());
    form->edtCmdLine.SetText("ver");
    const int w = lancer.Width(), h = lancer.Height();
    TDib dib(w, h, RGB(0, 255, 0));
    SendMessageA(lancer.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
    // The arrow's ink, right of the caption: rows narrowing downwards.
    std::vector<int> widths;
    for (int y = 3; y < h - 3; ++y) {
        int dark = 0;
        for (int x = w - lancer.Scale(15) + 2; x < w - 2; ++x)
            dark += dib.Pixel(x, y) == GetSysColor(COLOR_BTNTEXT);
        if (dark)
            widths.push_back(dark);
    }
    EXPECT_TRUE(widths.size() >= 3 && std::is_sorted(widths.rbegin(), widths.rend()) &&
                widths.front() > widths.back())
        << testing::PrintToString(widths);

    POINT corner{-1, -1};
    TSteps steps({[&] {
        HWND menu = FindWindowA("#32768", nullptr);
        RECT r;
        if (menu && GetWindowRect(menu, &r))
            corner = {r.left, r.top};
        EndMenu();
    }});
    SendMessageA(lancer.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w - 4, h / 2));
    SendMessageA(lancer.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(w - 4, h / 2));
    PumpMessages(50);
    RECT button;
    GetWindowRect(lancer.Handle(), &button);
    EXPECT_EQ(corner.x, button.left);
    EXPECT_EQ(corner.y, button.bottom);
    EXPECT_TRUE(sys.ShellCalls.empty());
}

// Hidden under a pointer that stays still, a window keeps no control
// following the pointer: Wine would poll the pointer for it for as long as
// the program lives (a few times a second, for a hidden window).
TEST(Resident, AHiddenWindowFollowsNoPointer) {
    TForm form(nullptr);
    TEdit box(&form);
    box.SetParent(&form);
    form.SetBounds(100, 100, 300, 200);
    box.SetBounds(10, 10, 200, 24);
    form.Show();
    RECT r;
    GetWindowRect(box.Handle(), &r);
    SetCursorPos(r.left + 5, r.top + 5);
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, box.Handle(), 0};
    ASSERT_TRUE(TrackMouseEvent(&track));
    form.Hide();
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    TrackMouseEvent(&query);
    EXPECT_EQ(query.hwndTrack, nullptr);
}
