#include "ui/HotKey.h"

namespace {
const int kHotKeyId = 1;
// The one hot key whose keys are held: a keyboard hook has no pointer of ours.
THotKey* holding = nullptr;
} // namespace

THotKey::THotKey(TComponent* owner) : TComponent(owner) {}

THotKey::~THotKey() {
    SetHoldsTypedKeys(false);
    Unregister();
}

bool THotKey::Register(unsigned modifiers, unsigned key) {
    Unregister();
    if (!window_)
        window_ = std::make_unique<TUtilityWindow>(
            [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
                return Message(msg, wp, lp, result);
            });
    registered_ = RegisterHotKey(window_->Handle(), kHotKeyId, modifiers | MOD_NOREPEAT, key);
    return registered_;
}

void THotKey::Unregister() {
    if (!registered_)
        return;
    registered_ = false;
    UnregisterHotKey(window_->Handle(), kHotKeyId);
}

bool THotKey::Message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_HOTKEY || wp != kHotKeyId)
        return false;
    result = 0;
    if (OnHotKey)
        OnHotKey(this);
    return true;
}

void THotKey::SetHoldsTypedKeys(bool v) {
    // Set again, the hook is made anew: Windows removes, and says nothing, a
    // low-level hook whose thread was once too slow to answer.
    if (holding && (v || holding == this)) {
        UnhookWindowsHookEx(holding->hook_);
        holding->hook_ = nullptr;
        holding = nullptr;
    }
    if (v) {
        hook_ =
            SetWindowsHookExA(WH_KEYBOARD_LL, &THotKey::KeyboardProc, GetModuleHandleA(nullptr), 0);
        holding = hook_ ? this : nullptr;
    }
}

LRESULT CALLBACK THotKey::KeyboardProc(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code == HC_ACTION && holding && holding->window_) {
        // The system routes this key once the hook returns: a shortcut
        // pressed before it is handled first, so that its window is in front
        // to take the key.
        MSG msg;
        if (HIWORD(GetQueueStatus(QS_HOTKEY)) &&
            PeekMessageA(&msg, holding->window_->Handle(), WM_HOTKEY, WM_HOTKEY, PM_REMOVE))
            DispatchMessageA(&msg);
        // The keys go to this thread's window anyway: no need to see them.
        if (holding &&
            GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId())
            holding->SetHoldsTypedKeys(false);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
