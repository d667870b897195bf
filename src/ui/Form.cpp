#include "ui/Form.h"

#include "ui/Application.h"

#include <commctrl.h>

namespace {
const UINT CM_RELEASE = WM_APP + 0x100;

bool IsDroppedCombo(HWND h) {
    for (; h; h = GetParent(h)) {
        char cls[32];
        if (GetClassNameA(h, cls, sizeof cls) && lstrcmpiA(cls, "ComboBox") == 0)
            return SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)) & WS_POPUP)
            break;
    }
    return false;
}

bool IsPushButton(HWND h) {
    char cls[32];
    if (!h || !GetClassNameA(h, cls, sizeof cls) || lstrcmpiA(cls, "Button") != 0)
        return false;
    // A split button's caption part, and a button the toolkit draws, press as push buttons do.
    LONG_PTR type = GetWindowLongPtrA(h, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_SPLITBUTTON ||
           type == BS_DEFSPLITBUTTON || type == BS_OWNERDRAW;
}
} // namespace

TShiftState KeyboardShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? ssShift : 0u) |
           (GetKeyState(VK_CONTROL) < 0 ? ssCtrl : 0u) | (GetKeyState(VK_MENU) < 0 ? ssAlt : 0u);
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    TabStop = false;
    color_ = clBtnFace;
    ParentColor = false;
    ParentFont = false;
    idle_.SetInterval(1);
    idle_.OnTimer = [this](TObject*) { MakeUnseenWindows(); };
}

TForm::~TForm() {
    if (tooltip_)
        DestroyWindow(tooltip_);
    if (Application && Application->MainForm == this)
        Application->MainForm = nullptr;
}

void TForm::CreateParams(TCreateParams& p) {
    p.style = WS_CLIPCHILDREN;
    p.exStyle = WS_EX_CONTROLPARENT;
    switch (BorderStyle) {
    case bsNone:
        p.style |= WS_POPUP;
        break;
    case bsSingle:
        p.style |= WS_OVERLAPPED | WS_CAPTION;
        break;
    case bsSizeable:
        p.style |= WS_OVERLAPPEDWINDOW & ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
        break;
    case bsDialog:
        p.style |= WS_POPUP | WS_CAPTION;
        p.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    if (BorderIcons & biSystemMenu) {
        p.style |= WS_SYSMENU;
        if (BorderStyle != bsDialog) {
            if (BorderIcons & biMinimize)
                p.style |= WS_MINIMIZEBOX;
            if (BorderIcons & biMaximize)
                p.style |= WS_MAXIMIZEBOX;
        }
    }
    p.x = left_;
    p.y = top_;
    p.width = width_;
    p.height = height_;
    p.text = caption_;
    if (auto* ownerForm = dynamic_cast<TForm*>(Owner()))
        p.parent = ownerForm->Handle();
}

void TForm::AfterCreateWnd() {
    if (clientWidth_ >= 0 || clientHeight_ >= 0)
        SetClientSize(clientWidth_ >= 0 ? clientWidth_ : ClientWidth(),
                      clientHeight_ >= 0 ? clientHeight_ : ClientHeight());
    // Opened on a screen whose dpi differs from the primary one's: no
    // WM_DPICHANGED comes for that, so scale as if it had.
    if (int dpi = WindowDpi(handle_); dpi != ppi_) {
        const int old = ppi_;
        RECT r{0, 0, MulDiv(ClientWidth(), dpi, old), MulDiv(ClientHeight(), dpi, old)};
        ChangeScale(dpi);
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_EXSTYLE)));
        SetBounds(left_, top_, r.right - r.left, r.bottom - r.top);
    }
    if (!unseenMade_)
        idle_.SetEnabled(true);
}

void TForm::MakeUnseenWindows() {
    idle_.SetEnabled(false);
    if (unseenMade_ || !handle_)
        return;
    unseenMade_ = true;
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tooltip_)
        SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    AddToolsAndNames(this);
}

void TForm::AddToolsAndNames(TWinControl* parent) {
    for (TControl* c : parent->controls_) {
        if (!c->Hint().empty())
            AddTool(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (!w->accessibleName_.empty())
                w->SetAccessibleName(w->accessibleName_);
            AddToolsAndNames(w);
        }
    }
}

void TForm::DoCreate() {
    Handle();
    if (OnCreate) {
        // A failure in the creation handler is shown by the loop, and the
        // window still opens: a form created by a handler shows no box from
        // inside that handler's message.
        try {
            OnCreate(this);
        } catch (...) {
            Application->QueueException(std::current_exception());
        }
    }
}

static TOOLINFOA ToolFor(HWND form, TControl* c) {
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = form;
    // No TTF_SUBCLASS: the message loop relays the mouse to the tooltip, so the
    // common controls never subclass the form or its controls.
    ti.uFlags = 0;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->WindowHandle()) {
        ti.uFlags |= TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(w->WindowHandle());
    } else {
        ti.uId = reinterpret_cast<UINT_PTR>(c);
        ti.rect = c->Visible() ? c->BoundsRect() : RECT{0, 0, 0, 0};
    }
    return ti;
}

void TForm::AddTool(TControl* c) {
    if (!tooltip_ || !handle_)
        return;
    TOOLINFOA ti = ToolFor(handle_, c);
    ti.lpszText = const_cast<char*>(c->Hint().c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::UpdateHint(TControl* c) {
    if (!tooltip_ || !handle_ || c == this)
        return;
    TOOLINFOA ti = ToolFor(handle_, c);
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    if (!c->Hint().empty())
        AddTool(c);
}

void TForm::ChangeScale(int ppi) {
    if (ppi <= 0 || ppi == ppi_)
        return;
    ppi_ = ppi;
    ScaleFont(ppi);
    for (TControl* c : std::vector<TControl*>(controls_))
        c->ChangeScale(ppi);
}

void TForm::DefaultButtonChanged(TWinControl* button, bool isDefault) {
    if (isDefault)
        DefaultButton = button;
    else if (DefaultButton == button)
        DefaultButton = nullptr;
}

void TForm::SetUpDialog(const char* name, const std::string& caption, const TFont& font) {
    Name = name;
    SetCaption(caption);
    BorderStyle = bsDialog;
    BorderIcons = biSystemMenu;
    Position = poScreenCenter;
    KeyPreview = true;
    Font = font;
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    if (!handle_) {
        SetBounds(left_, top_, width, height);
        return;
    }
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_EXSTYLE)));
    clientWidth_ = clientHeight_ = -1;
    SetBounds(left_, top_, r.right - r.left, r.bottom - r.top);
}

void TForm::SetClientWidth(int width) {
    if (!handle_) {
        clientWidth_ = width;
        return;
    }
    SetClientSize(width, ClientHeight());
}

int TForm::ClientWidth() const {
    return ClientRect().right;
}
int TForm::ClientHeight() const {
    return ClientRect().bottom;
}

void TForm::CenterOnScreen() {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetBounds((sw - width_) / 2, (sh - height_) / 2, width_, height_);
}

void TForm::Show() {
    Handle();
    if (!shownOnce_) {
        shownOnce_ = true;
        if (Position == poScreenCenter)
            CenterOnScreen();
    }
    visible_ = true;
    ShowWindow(handle_, SW_SHOWNORMAL);
    if (OnShow)
        OnShow(this);
}

void TForm::Hide() {
    visible_ = false;
    if (!handle_)
        return;
    ShowWindow(handle_, SW_HIDE);
    // Wine follows a control that tracks the pointer (a themed box's hover)
    // by polling it until the pointer leaves, and a pointer left still over a
    // hidden window never does: its tracking ends with the window.
    TRACKMOUSEEVENT track{sizeof track, TME_QUERY, nullptr, 0};
    if (TrackMouseEvent(&track) && track.hwndTrack &&
        (track.hwndTrack == handle_ || IsChild(handle_, track.hwndTrack))) {
        track.dwFlags |= TME_CANCEL;
        TrackMouseEvent(&track);
    }
}

void TForm::Close() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return;
    if (modal_) {
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
    } else if (Application && Application->MainForm == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

int TForm::ShowModal() {
    HWND owner = handle_ ? GetWindow(handle_, GW_OWNER) : nullptr;
    if (!owner && Application && Application->MainForm && Application->MainForm != this)
        owner = Application->MainForm->WindowHandle();
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    modal_ = true;
    ModalResult = mrNone;
    struct Restore {
        TForm* self;
        HWND owner;
        bool enable;
        ~Restore() {
            self->modal_ = false;
            if (enable)
                EnableWindow(owner, TRUE);
            // Re-enable the owner before hiding, or activation goes elsewhere.
            self->Hide();
            // An owner not shown yet (a box of its creation handler) must not
            // be activated: that would be its first activation, unseen.
            if (owner && IsWindowVisible(owner))
                SetActiveWindow(owner);
        }
    } restore{this, owner, ownerWasEnabled};
    Show();
    MSG msg{};
    while (ModalResult == mrNone) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // Like the system's message boxes: end at once and pass the quit
            // on. A failing GetMessage filled in nothing and has no quit to pass.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            ModalResult = mrCancel;
            break;
        }
        Application->DispatchOne(msg);
    }
    return ModalResult;
}

void TForm::Release() {
    if (handle_)
        PostMessageA(handle_, CM_RELEASE, 0, 0);
    else
        delete this;
}

bool TForm::PreviewKey(MSG& msg) {
    // Alt combinations come as system keys; the form sees those too.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && KeyPreview && OnKeyDown) {
        WORD key = static_cast<WORD>(msg.wParam);
        OnKeyDown(this, key, KeyboardShiftState());
        if (key == 0)
            return true;
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        HWND focus = GetFocus();
        if (IsDroppedCombo(focus)) {
            // An open list takes Enter and Escape to close itself, and no more.
            DispatchMessageA(&msg);
            return true;
        }
        bool modifiers =
            GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
        char key = msg.wParam == VK_RETURN ? '\r' : '\x1b';
        if (KeyPreview && OnKeyPress) {
            OnKeyPress(this, key);
            if (key == 0)
                return true;
        }
        if (msg.wParam == VK_ESCAPE) {
            if (modal_)
                Close();
            return true;
        }
        if (modifiers) {
            // Past here the dialog manager would press the default button
            // whatever the modifiers: the key goes to the focused control alone.
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            return true;
        }
        if (IsPushButton(focus)) {
            SendMessageA(focus, BM_CLICK, 0, 0);
        } else if (DefaultButton && DefaultButton->Enabled() && DefaultButton->Visible()) {
            DefaultButton->Click();
        } else {
            return false;
        }
        return true;
    }
    if (msg.message == WM_CHAR && KeyPreview && OnKeyPress) {
        char key = static_cast<char>(msg.wParam);
        OnKeyPress(this, key);
        if (key == 0)
            return true;
        msg.wParam = static_cast<unsigned char>(key);
    }
    return false;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) == IDCANCEL) {
            Close();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(handle_, f))
                lastFocus_ = f;
            if (OnDeactivate)
                OnDeactivate(this);
        } else {
            if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_))
                ::SetFocus(lastFocus_);
            else if (HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE))
                ::SetFocus(first);
            else
                ::SetFocus(handle_); // nothing to focus: the keys still come to the form
            // The first activation is the one the user sees: a hidden window
            // activated by the system does not count.
            if (!activated_ && IsWindowVisible(handle_)) {
                activated_ = true;
                if (OnActivate)
                    OnActivate(this);
            }
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        // Controls and fonts first, so that the resize lays out scaled values.
        ChangeScale(HIWORD(wp));
        const RECT& r = *reinterpret_cast<const RECT*>(lp);
        SetWindowPos(handle_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case DM_GETDEFID:
        if (DefaultButton && DefaultButton->WindowHandle() && DefaultButton->Enabled())
            return MAKELRESULT(GetDlgCtrlID(DefaultButton->WindowHandle()), DC_HASDEFID);
        return 0;
    case WM_SIZE:
    case WM_MOVE: {
        RECT r;
        GetWindowRect(handle_, &r);
        left_ = r.left;
        top_ = r.top;
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        if (msg == WM_SIZE && OnResize)
            OnResize(this);
        if (msg == WM_MOVE && OnMove)
            OnMove(this);
        break;
    }
    default:
        if (msg == CM_RELEASE) {
            delete this;
            return 0;
        }
    }
    return TWinControl::WndProc(msg, wp, lp);
}
