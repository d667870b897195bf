// Orbitashell kept at hand: its icon in the notification area, a shortcut
// that brings the window forward from any program, one running copy, and
// the start with Windows. Off until the user asks for it: the program then
// behaves as it always did.
#pragma once
#include "ui/HotKey.h"
#include "ui/Menus.h"
#include "ui/TrayIcon.h"

#include <memory>
#include <string>

class TForm;
class TEdit;
class TSingleInstance;

class TResident : public TComponent {
public:
    // form: the main window; box: the control that takes the keys when it comes forward.
    TResident(TForm& form, TEdit& box);
    ~TResident() override;

    // At start-up, with the folder of the settings file (and its final
    // separator): false when this program already runs, kept at hand, and
    // has been asked to show itself; this copy then ends.
    bool Start(const std::string& folder);
    bool Active() const { return active_; }
    // The user's choice: kept in the settings file, with the icon, the
    // shortcut and the single copy following at once.
    void SetActive(bool v);
    // The window in front, the box focused with its text selected.
    void BringForward();
    // In place of closing the window: hides it when kept at hand (true).
    bool HideInstead();
    // The window lost the activation.
    void WindowDeactivated();

    // The icon's menu.
    TPopupMenu ppmTray{this};
    TMenuItem itemAfficher{this};
    TMenuItem itemDemarrerWindows{this};
    TMenuItem itemTraySeparator{this};
    TMenuItem itemQuitter{this};

    void ppmTrayPopup(TObject* Sender);
    void itemDemarrerWindowsClick(TObject* Sender);
    void itemQuitterClick(TObject* Sender);

private:
    bool Listen();
    void Engage();
    void Disengage();
    void RegisterShortcut();

    TForm& form_;
    TEdit& box_;
    TTrayIcon tray_{this};
    THotKey hotKey_{this};
    std::unique_ptr<TSingleInstance> single_;
    std::string iniPath_;
    bool active_ = false;
};
