// A window that is never shown, for the toolkit's components that hear the
// system without being controls (the notification icon, the hot key).
#pragma once
#include <windows.h>

#include <functional>

class TUtilityWindow {
public:
    // Answers a message into result and returns true, or leaves it to the system.
    using THandler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;
    // Top-level, not message-only: broadcasts (such as the taskbar's
    // "TaskbarCreated") reach top-level windows alone.
    explicit TUtilityWindow(THandler handler);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    THandler handler_;
    HWND handle_ = nullptr;
};
