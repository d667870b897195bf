#include "ui/WideMemo.h"

#include "ui/Application.h"

#include <windowsx.h>

TWideMemo::TWideMemo(TComponent* owner) : TWinControl(owner) {
    width_ = 300;
    height_ = 200;
    color_ = clWindow;
    ParentColor = false;
    // The EDIT inside takes the focus and the tab stop.
    TabStop = false;
}

TWideMemo::~TWideMemo() {
    DestroyHandle();
}

void TWideMemo::ApplyFont(bool redraw) {
    if (!edit_)
        return;
    HFONT font = Font.Handle();
    if (FixedPitch) {
        LOGFONTA lf = Font.Log();
        lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        font = SharedFont(lf);
    }
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void TWideMemo::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.style |= WS_CLIPCHILDREN;
    p.exStyle |= WS_EX_CONTROLPARENT;
}

void TWideMemo::AfterCreateWnd() {
    // A Unicode window, never subclassed through the ANSI API: any ANSI hop
    // would squeeze the text through the code page.
    RECT r;
    GetClientRect(handle_, &r);
    edit_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
        0, 0, r.right, r.bottom, handle_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit_)
        throw Exception("CreateWindowEx: " + SysErrorMessage(GetLastError()));
    // The default limit (about 32,000 characters) would cut long captures.
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
    ApplyFont(false);
    SetWindowTextW(edit_, pending_.c_str());
    pending_.clear();
    pending_.shrink_to_fit();
}

void TWideMemo::FontChanged() {
    ApplyFont(true);
}

std::wstring TWideMemo::Text() const {
    if (!edit_)
        return pending_;
    std::wstring s(static_cast<size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(edit_, s.data(), static_cast<int>(s.size()))));
    return s;
}

void TWideMemo::SetText(const std::wstring& text) {
    if (edit_)
        SetWindowTextW(edit_, text.c_str());
    else
        pending_ = text;
}

size_t TWideMemo::TextLength() const {
    return edit_ ? static_cast<size_t>(GetWindowTextLengthW(edit_)) : pending_.size();
}

std::pair<size_t, size_t> TWideMemo::Selection() const {
    DWORD start = 0, end = 0;
    if (edit_)
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void TWideMemo::Select(size_t start, size_t end) {
    if (!edit_)
        return;
    SendMessageW(edit_, EM_SETSEL, start, static_cast<LPARAM>(end));
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void TWideMemo::SelectAll() {
    if (edit_)
        SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void TWideMemo::CopyToClipboard() {
    if (edit_)
        SendMessageW(edit_, WM_COPY, 0, 0);
}

void TWideMemo::ScrollToEnd() {
    const size_t n = TextLength();
    Select(n, n);
}

int TWideMemo::FirstVisibleLine() const {
    return edit_ ? static_cast<int>(SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

LRESULT TWideMemo::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (edit_)
            MoveWindow(edit_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        break;
    case WM_SETFOCUS:
        if (edit_)
            ::SetFocus(edit_);
        return 0;
    case WM_CTLCOLORSTATIC:
        // A read-only EDIT asks for the static colours; a text to read wants the window's.
        if (reinterpret_cast<HWND>(lp) == edit_) {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_MOUSEWHEEL:
        // The EDIT scrolls by itself and hands only Ctrl + wheel to its parent.
        if (GET_KEYSTATE_WPARAM(wp) & MK_CONTROL) {
            wheel_ += GET_WHEEL_DELTA_WPARAM(wp);
            const int steps = wheel_ / WHEEL_DELTA;
            wheel_ -= steps * WHEEL_DELTA;
            if (steps && OnZoom)
                OnZoom(this, steps);
            return 0;
        }
        break;
    case WM_CLOSE:
        // A multi-line EDIT posts this to its parent on Escape; the form decides.
        return 0;
    case WM_DESTROY:
        edit_ = nullptr;
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}
