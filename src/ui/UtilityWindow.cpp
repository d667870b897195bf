#include "ui/UtilityWindow.h"

#include "ui/Application.h"

namespace {
const char kClassName[] = "ToolkitUtilityWindow";
}

TUtilityWindow::TUtilityWindow(THandler handler) : handler_(std::move(handler)) {
    static const ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TUtilityWindow::WndProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExA(&wc);
    }();
    if (!atom)
        throw Exception("RegisterClassEx: " + SysErrorMessage(GetLastError()));
    handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
    if (!handle_)
        throw Exception("CreateWindowEx: " + SysErrorMessage(GetLastError()));
}

TUtilityWindow::~TUtilityWindow() {
    DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilityWindow::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(
            h, 0, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(h, 0));
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrA(h, 0, 0);
    else if (self && self->handler_) {
        try {
            LRESULT result = 0;
            if (self->handler_(msg, wp, lp, result))
                return result;
        } catch (...) {
            // Shown by the loop once this message has returned.
            if (Application)
                Application->QueueException(std::current_exception());
            return 0;
        }
    }
    return DefWindowProcA(h, msg, wp, lp);
}
