#include "ui/TrayIcon.h"

#include "ui/Menus.h"

#include <shellapi.h>
#include <windowsx.h>

namespace {
const UINT kCallback = WM_APP + 1;
const UINT kIconId = 1;
const UINT_PTR kRetryTimer = 1;
// A taskbar that is not there yet is asked again once a second, for a minute.
const int kRetries = 60;

NOTIFYICONDATAA IconData(HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

// Sent to every top-level window when the taskbar is made (again, after
// Explorer ended): its icons are gone and must be added anew.
UINT TaskbarCreated() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}
} // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {}

TTrayIcon::~TTrayIcon() {
    Remove();
    if (icon_)
        DestroyIcon(icon_);
}

void TTrayIcon::SetVisible(bool v) {
    if (v == visible_)
        return;
    visible_ = v;
    if (!v) {
        Remove();
        return;
    }
    if (!window_) {
        window_ = std::make_unique<TUtilityWindow>(
            [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
                return Message(msg, wp, lp, result);
            });
        // A program run as administrator still hears the taskbar of the
        // user's rights, and its icon's clicks.
        ChangeWindowMessageFilterEx(window_->Handle(), TaskbarCreated(), MSGFLT_ALLOW, nullptr);
        ChangeWindowMessageFilterEx(window_->Handle(), kCallback, MSGFLT_ALLOW, nullptr);
    }
    if (!icon_)
        icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    Add();
}

void TTrayIcon::Add() {
    NOTIFYICONDATAA data = IconData(window_->Handle());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = kCallback;
    data.hIcon = icon_ ? icon_ : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    lstrcpynA(data.szTip, Hint.c_str(), sizeof data.szTip);
    // A busy taskbar may answer late and report a failure for an icon it
    // took: the icon is then there to be changed.
    shown_ = Shell_NotifyIconA(NIM_ADD, &data) || Shell_NotifyIconA(NIM_MODIFY, &data);
    // A taskbar made again says so (TaskbarCreated), but one still being
    // made as the icon is added (Wine's, started with the program) says
    // nothing: it is asked again.
    if (!shown_ && retries_++ < kRetries)
        SetTimer(window_->Handle(), kRetryTimer, 1000, nullptr);
    if (!shown_)
        return;
    KillTimer(window_->Handle(), kRetryTimer);
    retries_ = 0;
    // Version 4: one message for a choice, whatever the mouse or keys did.
    data.uVersion = NOTIFYICON_VERSION_4;
    version4_ = Shell_NotifyIconA(NIM_SETVERSION, &data) != FALSE;
}

void TTrayIcon::Remove() {
    if (window_)
        KillTimer(window_->Handle(), kRetryTimer);
    retries_ = 0;
    if (!shown_)
        return;
    shown_ = false;
    NOTIFYICONDATAA data = IconData(window_->Handle());
    Shell_NotifyIconA(NIM_DELETE, &data);
}

bool TTrayIcon::Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (msg == TaskbarCreated() && window_) {
        shown_ = false;
        if (visible_)
            Add();
        return true;
    }
    if (msg == WM_TIMER && wp == kRetryTimer) {
        KillTimer(window_->Handle(), kRetryTimer);
        if (visible_ && !shown_)
            Add();
        return true;
    }
    if (msg != kCallback)
        return false;
    const UINT event = version4_ ? LOWORD(lp) : static_cast<UINT>(lp);
    switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (version4_ && OnClick)
            OnClick(this);
        break;
    case WM_LBUTTONUP:
        if (!version4_ && OnClick)
            OnClick(this);
        break;
    case WM_CONTEXTMENU:
        // Where the taskbar says: under the pointer, or at the icon from the keyboard.
        Popup(GET_X_LPARAM(wp), GET_Y_LPARAM(wp));
        break;
    case WM_RBUTTONUP:
        if (!version4_) {
            POINT p;
            GetCursorPos(&p);
            Popup(p.x, p.y);
        }
        break;
    }
    return true;
}

void TTrayIcon::Popup(int x, int y) {
    if (!PopupMenu)
        return;
    // Without the foreground, the menu would stay open when the user clicks
    // elsewhere; the posted message lets it close at once when it should.
    HWND window = window_->Handle();
    SetForegroundWindow(window);
    PopupMenu->Popup(x, y, window);
    PostMessageA(window, WM_NULL, 0, 0);
}
