#include "app/Resident.h"

#include "core/HotKeyText.h"
#include "ui/AnsiPaths.h"
#include "ui/Application.h"
#include "ui/Files.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/SingleInstance.h"
#include "ui/StdCtrls.h"
#include "ui/System.h"

#include <string_view>

namespace {

const char kSection[] = "Options";
const char kKeptKey[] = "ZoneDeNotification";
const char kShortcutKey[] = "Raccourci";
constexpr THotKeyChord kDefaultShortcut{hkCtrl | hkAlt, 'O'};

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"Orbitashell";
const char kRunKeyName[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program's own path, quoted, as the Run value starts it: the wide path,
// which names any folder whatever its characters.
std::wstring QuotedProgramPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return L"\"" + path + L"\"";
}

// What the registry holds: this program started with Windows.
bool StartsWithWindows() {
    std::wstring value(32768, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    value.resize(size / sizeof(wchar_t) ? size / sizeof(wchar_t) - 1 : 0);
    return lstrcmpiW(value.c_str(), QuotedProgramPath().c_str()) == 0;
}

void SetStartsWithWindows(bool v) {
    LSTATUS error;
    if (v) {
        const std::wstring command = QuotedProgramPath();
        error = RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, command.c_str(),
                                static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        error = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
        if (error == ERROR_FILE_NOT_FOUND)
            error = ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS)
        ShowErrorMessage(std::string(v ? "Impossible d'inscrire" : "Impossible de retirer") +
                         " Orbitashell au démarrage de Windows (" + kRunKeyName + "). " +
                         SysErrorMessage(static_cast<DWORD>(error)) + ".");
}

} // namespace

TResident::TResident(TForm& form, TEdit& box) : TComponent(&form), form_(form), box_(box) {
    ppmTray.Items = {&itemAfficher, &itemDemarrerWindows, &itemTraySeparator, &itemQuitter};
    itemAfficher.Caption = "Afficher Orbitashell";
    itemAfficher.Default = true;
    itemDemarrerWindows.Caption = "Démarrer avec Windows";
    itemTraySeparator.Caption = "-";
    itemQuitter.Caption = "Quitter";
    tray_.Hint = "Orbitashell";
    tray_.PopupMenu = &ppmTray;

    tray_.OnClick = [this](TObject*) { BringForward(); };
    hotKey_.OnHotKey = [this](TObject*) { BringForward(); };
    ppmTray.OnPopup = [this](TObject* s) { ppmTrayPopup(s); };
    itemAfficher.OnClick = [this](TObject*) { BringForward(); };
    itemDemarrerWindows.OnClick = [this](TObject* s) { itemDemarrerWindowsClick(s); };
    itemQuitter.OnClick = [this](TObject* s) { itemQuitterClick(s); };
}

TResident::~TResident() = default;

bool TResident::Start(const std::string& folder) {
    iniPath_ = folder + "Orbitashell.ini";
    if (!GetPrivateProfileIntA(kSection, kKeptKey, 0, iniPath_.c_str()))
        return true;
    if (!Listen())
        return false;
    active_ = true;
    Engage();
    return true;
}

void TResident::SetActive(bool v) {
    if (v == active_)
        return;
    active_ = v;
    if (!WritePrivateProfileStringA(kSection, kKeptKey, v ? "1" : "0", iniPath_.c_str()))
        ShowErrorMessage("Impossible d'écrire dans le fichier \"" + FullPath(iniPath_) + "\". " +
                         SysErrorMessage(GetLastError()) +
                         ". Ce choix ne vaudra que jusqu'à la fermeture d'Orbitashell.");
    if (v) {
        Listen();
        Engage();
    } else {
        Disengage();
    }
}

bool TResident::Listen() {
    // One copy per program file: a copy elsewhere, with settings of its own, runs apart.
    single_ = std::make_unique<TSingleInstance>(ShownPath(Sys().ExecutablePath()));
    if (single_->HandedOver()) {
        single_.reset();
        return false;
    }
    single_->OnRequest = [this] { BringForward(); };
    return true;
}

void TResident::Engage() {
    tray_.SetVisible(true);
    RegisterShortcut();
}

void TResident::Disengage() {
    hotKey_.SetHoldsTypedKeys(false);
    hotKey_.Unregister();
    single_.reset();
    tray_.SetVisible(false);
}

void TResident::RegisterShortcut() {
    std::string written(256, '\0');
    written.resize(GetPrivateProfileStringA(kSection, kShortcutKey, "", written.data(),
                                            static_cast<DWORD>(written.size()), iniPath_.c_str()));
    THotKeyChord chord = kDefaultShortcut;
    const std::string setting = std::string(kShortcutKey) + "=";
    const std::string file =
        "le fichier \"" + FullPath(iniPath_) + "\", section [" + kSection + "]";
    if (!written.empty()) {
        if (std::optional<THotKeyChord> read = ParseHotKey(written))
            chord = *read;
        else
            ShowErrorMessage(setting + written + ", dans " + file +
                             ", n'est pas un raccourci : " + HotKeyText(chord) +
                             " reste en usage. Un raccourci s'écrit avec Ctrl, Alt, Maj ou Win, "
                             "et une lettre, un chiffre ou une touche F1 à F24, par exemple " +
                             setting + "Ctrl+Alt+K.");
    }
    if (!hotKey_.Register(chord.Modifiers, chord.Key))
        ShowErrorMessage("Le raccourci " + HotKeyText(chord) +
                         " est déjà pris par un autre programme. Pour en choisir un autre, "
                         "écrivez dans " +
                         file + ", une ligne comme " + setting + "Ctrl+Alt+K.");
}

void TResident::BringForward() {
    HWND window = form_.Handle();
    if (!IsWindowVisible(window) || IsIconic(window))
        form_.Show();
    // A dialog of the window (the About box, "Compléter la commande") comes in its place.
    HWND front = GetLastActivePopup(window);
    SetForegroundWindow(front);
    if (front == window) {
        box_.SetFocus();
        box_.SelectAll();
    }
}

bool TResident::HideInstead() {
    if (!active_)
        return false;
    form_.Hide();
    hotKey_.SetHoldsTypedKeys(hotKey_.Registered());
    return true;
}

void TResident::WindowDeactivated() {
    if (active_ && hotKey_.Registered())
        hotKey_.SetHoldsTypedKeys(true);
}

void TResident::ppmTrayPopup(TObject*) {
    itemDemarrerWindows.Checked = StartsWithWindows();
}

void TResident::itemDemarrerWindowsClick(TObject*) {
    SetStartsWithWindows(!StartsWithWindows());
}

void TResident::itemQuitterClick(TObject*) {
    Application->Terminate();
}
