// The main window kept at hand, created for real.
#include "TestSupport.h"

#include "app/Unit1.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The program's folder as a scratch folder, current for the test's lifetime.
class TScratchInstall {
public:
    TScratchInstall(TRecordingSystem& sys, const std::string& settings)
        : dir(MakeScratchDir("resident")) {
        WriteBytes(dir + "\\CommandesCPL.TXT", "control\r\n");
        WriteBytes(dir + "\\CommandesSyst.TXT", "ver\r\n");
        WriteBytes(dir + "\\Orbitashell.ini", settings);
        CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
        sys.ExePath = dir + "\\Orbitashell.exe";
        GetCurrentDirectoryA(MAX_PATH, saved_);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~TScratchInstall() {
        SetCurrentDirectoryA(saved_);
        RemoveTree(dir);
    }
    const std::string dir;

private:
    char saved_[MAX_PATH]{};
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
