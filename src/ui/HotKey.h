// A keyboard shortcut that works from any program (the system's hot keys).
#pragma once
#include "ui/Controls.h"
#include "ui/UtilityWindow.h"

#include <memory>

class THotKey : public TComponent {
public:
    explicit THotKey(TComponent* owner);
    ~THotKey() override;

    // modifiers: MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN; key: a virtual-key
    // code. False, and no shortcut, when another program holds it (or the
    // system keeps it for itself).
    bool Register(unsigned modifiers, unsigned key);
    void Unregister();
    bool Registered() const { return registered_; }
    // Raised once per press: holding the keys does not repeat it.
    TNotifyEvent OnHotKey;

    // The system gives each typed key to the window in front as the key
    // comes, and the window a shortcut brings forward is not in front yet
    // when the next keys come: they would go to the program left behind.
    // While this is on, a keyboard hook (which reads no key) has the system
    // wait at each key for a shortcut already pressed to be handled first.
    // It turns itself off once a window of this thread is in front: set it
    // again when the window hides or loses the activation.
    void SetHoldsTypedKeys(bool v);

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) noexcept;
    bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    std::unique_ptr<TUtilityWindow> window_;
    bool registered_ = false;
    HHOOK hook_ = nullptr;
};
