// An icon in the taskbar's notification area, with its tooltip and menu.
#pragma once
#include "ui/Controls.h"
#include "ui/UtilityWindow.h"

#include <memory>

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    // The icon is the program's own (its resource 1), at the notification
    // area's size. The tooltip: at most 127 characters are shown.
    std::string Hint;
    // Opened by a right-click on the icon or the menu key.
    TPopupMenu* PopupMenu = nullptr;

    bool Visible() const { return visible_; }
    // Shows or removes the icon. The taskbar may not be there yet (at logon):
    // the icon then comes as soon as it is, as it comes back when the taskbar
    // is made again.
    void SetVisible(bool v);
    // The icon chosen with the mouse's left button, or with the keyboard.
    TNotifyEvent OnClick;

private:
    bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Add();
    void Remove();
    void Popup(int x, int y);
    std::unique_ptr<TUtilityWindow> window_;
    HICON icon_ = nullptr;
    bool visible_ = false;
    bool shown_ = false;
    bool version4_ = false;
    int retries_ = 0;
};
