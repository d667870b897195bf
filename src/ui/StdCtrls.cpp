#include "ui/StdCtrls.h"

#include "core/Label3DGeometry.h"

#include "ui/GdiHandles.h"
#include "ui/Menus.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cwchar>
#include <optional>
#include <type_traits>
#include <utility>

// ------------------------------------------------------------ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    width_ = 65;
    height_ = 17;
}

void TCustomLabel::SetCaption(const std::string& v) {
    if (v == caption_)
        return;
    caption_ = v;
    AdjustBounds();
    Invalidate();
    NameFocusControl();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_ && focusControl_ != control)
        focusControl_->SetAccessibleName("");
    focusControl_ = control;
    NameFocusControl();
}

void TCustomLabel::NameFocusControl() {
    if (!focusControl_)
        return;
    // The name is the text as read: an access-key ampersand is not part of it.
    std::string name;
    for (size_t i = 0; i < caption_.size(); ++i) {
        if (showAccelChar_ && caption_[i] == '&' && i + 1 < caption_.size())
            ++i;
        name += caption_[i];
    }
    focusControl_->SetAccessibleName(name);
}

void TCustomLabel::SetAutoSize(bool v) {
    if (v != autoSize_) {
        autoSize_ = v;
        AdjustBounds();
    }
}
void TCustomLabel::SetAlignment(TAlignment v) {
    if (v != alignment_) {
        alignment_ = v;
        Invalidate();
    }
}
void TCustomLabel::SetLayout(TTextLayout v) {
    if (v != layout_) {
        layout_ = v;
        Invalidate();
    }
}
void TCustomLabel::SetWordWrap(bool v) {
    if (v != wordWrap_) {
        wordWrap_ = v;
        AdjustBounds();
        Invalidate();
    }
}
void TCustomLabel::SetTransparent(bool v) {
    if (v != transparent_) {
        transparent_ = v;
        Invalidate();
    }
}
void TCustomLabel::SetShowAccelChar(bool v) {
    if (v != showAccelChar_) {
        showAccelChar_ = v;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::DoDrawText(TCanvas& canvas, RECT& r, UINT flags) {
    const std::string text = LabelTextToDraw(caption_, flags, showAccelChar_);
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    canvas.Font = Font;
    const GTextPasses passes = StandardLabelTextPasses(Font.Color(), enabled_);
    for (int i = 0; i < passes.count; ++i) {
        const GTextPass& pass = passes.pass[static_cast<size_t>(i)];
        canvas.Font.SetColor(pass.color);
        if (pass.mainText) {
            canvas.DrawText(text, r, flags);
        } else {
            // A copy measures into its own rectangle: a measurement is the main text's.
            RECT moved = r;
            OffsetRect(&moved, pass.offset.x, pass.offset.y);
            canvas.DrawText(text, moved, flags);
        }
    }
}

void TCustomLabel::Paint(TCanvas& canvas) {
    RECT r{0, 0, width_, height_};
    if (!transparent_) {
        canvas.Brush.Color = color_;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(r);
    }
    canvas.Brush.Style = bsClear;
    const UINT flags = LabelPaintFlags(alignment_, wordWrap_);
    if (layout_ != tlTop) {
        RECT calc = r;
        DoDrawText(canvas, calc, flags | DT_CALCRECT);
        OffsetRect(&r, 0, StandardLabelLayoutShift(layout_, height_, calc.bottom));
    }
    DoDrawText(canvas, r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_)
        return;
    TWindowDC screen;
    RECT r{0, 0, width_, height_};
    {
        TCanvas canvas(screen.Get());
        DoDrawText(canvas, r, AutoSizeMeasureFlags(wordWrap_));
    }
    const GRect b = AutoSizeBounds({left_, top_, left_ + width_, top_ + height_},
                                   {r.left, r.top, r.right, r.bottom}, alignment_);
    SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
}

// ------------------------------------------------------------------ TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    width_ = 50;
    height_ = 50;
}

void TBevel::Paint(TCanvas& canvas) {
    TColor c1 = Style == bsRaised ? clBtnHighlight : clBtnShadow;
    TColor c2 = Style == bsRaised ? clBtnShadow : clBtnHighlight;
    auto bevelRect = [&](RECT r, TColor topLeft, TColor bottomRight) {
        canvas.Pen.Color = topLeft;
        canvas.MoveTo(r.left, r.bottom);
        canvas.LineTo(r.left, r.top);
        canvas.LineTo(r.right, r.top);
        canvas.Pen.Color = bottomRight;
        canvas.LineTo(r.right, r.bottom);
        canvas.LineTo(r.left, r.bottom);
    };
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    if (Shape == bsFrame) {
        // Two offset rectangles: the etched frame of the designer's bevel.
        bevelRect({1, 1, width_ - 1, height_ - 1}, c2, c2);
        bevelRect({0, 0, width_ - 2, height_ - 2}, c1, c1);
    } else {
        bevelRect({0, 0, width_ - 1, height_ - 1}, c1, c2);
    }
}

// ------------------------------------------------------------ TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = 23;
    height_ = 22;
}

void TSpeedButton::SetGlyph(const char* resourceName) {
    glyph_.Reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, 0)));
    Invalidate();
}

void TSpeedButton::Paint(TCanvas& canvas) {
    RECT r{0, 0, width_, height_};
    bool pressed = down_ && MouseInControl();
    HDC dc = canvas.Handle();
    if (!Flat) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    } else {
        canvas.Brush.Color = color_;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(r);
        if (enabled_ && (pressed || MouseInControl()))
            DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    int shift = pressed ? 1 : 0;
    int textLeft = 0;
    if (glyph_) {
        BITMAP bm{};
        GetObjectA(glyph_.Get(), sizeof bm, &bm);
        int w = Scale(bm.bmWidth), h = Scale(bm.bmHeight);
        int x = caption_.empty() ? (width_ - w) / 2 : 4;
        int y = (height_ - h) / 2;
        TMemoryDC mem(dc);
        TSelectObject selected(mem.Get(), glyph_.Get());
        COLORREF transparent = GetPixel(mem.Get(), 0, bm.bmHeight - 1);
        // gdi32's own entry, as msimg32 would be looked for beside the program.
        GdiTransparentBlt(dc, x + shift, y + shift, w, h, mem.Get(), 0, 0, bm.bmWidth, bm.bmHeight,
                          transparent);
        textLeft = x + w;
    }
    if (!caption_.empty()) {
        RECT tr{textLeft + shift, shift, width_ + shift, height_ + shift};
        canvas.Brush.Style = bsClear;
        if (!enabled_)
            canvas.Font.SetColor(clGrayText);
        canvas.DrawText(caption_, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void TSpeedButton::MouseDown(int, int) {
    down_ = true;
    Invalidate();
}
void TSpeedButton::MouseUp(int, int) {
    down_ = false;
    Invalidate();
}
void TSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    Invalidate();
}
void TSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    Invalidate();
}

// ------------------------------------------------------------------- TEdit

namespace {

// The clipboard's first line in the ANSI code page, converted as the edit
// control's own paste converts it (a character the code page lacks becomes
// its nearest one or "?"), or nothing when it holds no text.
std::optional<std::string> ClipboardLine(HWND owner) {
    if (!OpenClipboard(owner))
        return std::nullopt;
    struct TClose {
        ~TClose() { CloseClipboard(); }
    } close;
    // The system offers text put there as CF_TEXT in this format too.
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!wide)
        return std::nullopt;
    struct TUnlock {
        HANDLE data;
        ~TUnlock() { GlobalUnlock(data); }
    } unlock{data};
    // Within the block even when its text lacks the final NUL.
    std::wstring_view line(wide, wcsnlen(wide, GlobalSize(data) / sizeof(wchar_t)));
    // A single-line box takes the text up to the first line feed, without the
    // carriage return before it, as the edit control does; a lone CR stays.
    if (const size_t feed = line.find(L'\n'); feed != std::wstring_view::npos)
        line = line.substr(0, feed > 0 && line[feed - 1] == L'\r' ? feed - 1 : feed);
    const int n = static_cast<int>(std::min<size_t>(line.size(), INT_MAX / 4));
    std::string text(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, line.data(), n, nullptr, 0,
                                                             nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_ACP, 0, line.data(), n, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

// The character being typed, for the time the edit control handles it.
class TTypedChar {
public:
    TTypedChar(char& typed, char c) : typed_(typed), was_(std::exchange(typed, c)) {}
    ~TTypedChar() { typed_ = was_; }
    TTypedChar(const TTypedChar&) = delete;
    TTypedChar& operator=(const TTypedChar&) = delete;

private:
    char& typed_;
    char was_;
};

std::wstring Widen(const std::string& s) {
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(
                          CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

} // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 21;
    color_ = clWindow;
    ParentColor = false;
    balloonTimer_.SetInterval(10000);
    balloonTimer_.OnTimer = [this](TObject*) { HideBalloonTip(); };
}

TEdit::~TEdit() {
    DestroyBalloon();
}

void TEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.className = "EDIT";
    p.style |= ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
    p.exStyle |= WS_EX_CLIENTEDGE;
}

std::string TEdit::Text() const {
    if (!handle_)
        return caption_;
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TEdit::SetText(const std::string& v) {
    if (v == Text())
        return;
    caption_ = v;
    TTypedChar set(typedChar_, '\0');
    if (handle_) {
        // The notification is raised here, once, whatever the control sends.
        settingText_ = true;
        SetWindowTextA(handle_, v.c_str());
        settingText_ = false;
        int n = static_cast<int>(v.size());
        SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(n), n);
    }
    Changed(false);
}

void TEdit::SelectAll() {
    if (handle_)
        SendMessageA(handle_, EM_SETSEL, 0, -1);
}

int TEdit::SelStart() const {
    DWORD from = 0;
    if (handle_)
        SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), 0);
    return static_cast<int>(from);
}

void TEdit::Changed(bool byUser) {
    if (changing_) {
        // A handler's own SetText: the outer change reports it once done.
        replaced_ = true;
        if (OnChange)
            OnChange(this);
        return;
    }
    changing_ = true;
    replaced_ = false;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{changing_};
    if (OnChange)
        OnChange(this);
    changing_ = false;
    if (OnAfterChange)
        OnAfterChange(this, byUser && !replaced_);
}

bool TEdit::HandleCommand(WORD code) {
    if (code == EN_CHANGE && !settingText_) {
        caption_ = Text();
        Changed(true);
        return true;
    }
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        if (TNotifyEvent& event = code == EN_SETFOCUS ? OnEnter : OnExit)
            event(this);
        return true;
    }
    return false;
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PASTE:
        if (OnPaste && !(GetWindowLongPtrA(handle_, GWL_STYLE) & ES_READONLY)) {
            Paste();
            return 0;
        }
        break;
    case WM_KEYDOWN:
        HideBalloonTip();
        // Wine's edit control pastes Shift+Insert without a WM_PASTE: every
        // paste goes through that message here, as on Windows.
        if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            SendMessageA(handle_, WM_PASTE, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR: {
        HideBalloonTip();
        TTypedChar typed(typedChar_, static_cast<char>(wp));
        return TWinControl::WndProc(msg, wp, lp);
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KILLFOCUS:
        HideBalloonTip();
        break;
    case WM_DESTROY:
        DestroyBalloon();
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

void TEdit::Paste() {
    std::optional<std::string> text = ClipboardLine(handle_);
    if (!text)
        return;
    OnPaste(this, *text);
    // Ctrl+V comes as a typed character: what changes now is pasted.
    TTypedChar pasted(typedChar_, '\0');
    SendMessageA(handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()));
}

void TEdit::ShowBalloonTip(const std::string& title, const std::string& text) {
    if (!handle_ || !IsWindowVisible(handle_))
        return;
    HideBalloonTip();
    balloonShown_ = true;
    balloonTimer_.SetEnabled(true);
    const std::wstring wideTitle = Widen(title), wideText = Widen(text);
    EDITBALLOONTIP tip{sizeof tip, wideTitle.c_str(), wideText.c_str(),
                       title.empty() ? TTI_NONE : TTI_INFO};
    if (SendMessageW(handle_, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip)))
        return;
    // Wine's edit control shows none: a tracking balloon of our own, likewise
    // pointing at the caret from the box's lower edge.
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = handle_;
    tool.uId = 1;
    if (!balloon_) {
        balloon_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   handle_, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!balloon_)
            return;
        SendMessageA(balloon_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(balloon_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(balloon_, TTM_SETTITLEA, title.empty() ? TTI_NONE : TTI_INFO,
                 reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageA(balloon_, TTM_SETMAXTIPWIDTH, 0, std::max(width_, Scale(200)));
    POINT caret{Scale(8), 0};
    if (GetFocus() != handle_ || !GetCaretPos(&caret))
        caret = {Scale(8), 0};
    ClientToScreen(handle_, &caret);
    RECT frame;
    GetWindowRect(handle_, &frame);
    const LONG x = std::clamp(caret.x, frame.left, frame.right);
    SendMessageA(balloon_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, frame.bottom));
    SendMessageA(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void TEdit::HideBalloonTip() {
    if (!balloonShown_)
        return;
    balloonShown_ = false;
    balloonTimer_.SetEnabled(false);
    if (balloon_) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = handle_;
        tool.uId = 1;
        SendMessageA(balloon_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    if (handle_)
        SendMessageA(handle_, EM_HIDEBALLOONTIP, 0, 0);
}

void TEdit::DestroyBalloon() {
    balloonShown_ = false;
    balloonTimer_.SetEnabled(false);
    // Its owner, the box's window, may have taken it along already.
    if (balloon_ && IsWindow(balloon_))
        DestroyWindow(balloon_);
    balloon_ = nullptr;
}

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    width_ = 75;
    height_ = 25;
}

TButton::~TButton() {
    // The form must not keep pressing a button that is gone.
    if (TWinControl* top = TopParent())
        top->DefaultButtonChanged(this, false);
}

DWORD TButton::TypeStyle() const {
    if (ownArrow_)
        return BS_OWNERDRAW;
    if (Style == bsSplitButton)
        return default_ ? BS_DEFSPLITBUTTON : BS_SPLITBUTTON;
    return default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.className = "BUTTON";
    p.style |= TypeStyle();
}

void TButton::AfterCreateWnd() {
    if (Style != bsSplitButton)
        return;
    // Buttons that know no split style draw nothing at all for it.
    BUTTON_SPLITINFO info{};
    info.mask = BCSIF_STYLE;
    if (SendMessageA(handle_, BCM_GETSPLITINFO, 0, reinterpret_cast<LPARAM>(&info)))
        return;
    ownArrow_ = true;
    SendMessageA(handle_, BM_SETSTYLE, TypeStyle(), TRUE);
}

void TButton::SetDefault(bool v) {
    default_ = v;
    if (TWinControl* top = TopParent())
        top->DefaultButtonChanged(this, v);
    if (handle_)
        SendMessageA(handle_, BM_SETSTYLE, TypeStyle(), TRUE);
}

bool TButton::HandleCommand(WORD code) {
    if (code == BN_CLICKED) {
        Click();
        return true;
    }
    return false;
}

bool TButton::HandleNotify(NMHDR& nm, LRESULT& result) {
    if (nm.code != BCN_DROPDOWN)
        return false;
    result = 0;
    DropDown();
    return true;
}

void TButton::DropDown() {
    if (!DropDownMenu || !handle_)
        return;
    RECT r;
    GetWindowRect(handle_, &r);
    DropDownMenu->Popup(r.left, r.bottom);
}

LRESULT TButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (ownArrow_ && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) &&
        GET_X_LPARAM(lp) >= width_ - ArrowWidth()) {
        // The arrow opens the menu and presses nothing.
        ::SetFocus(handle_);
        DropDown();
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

bool TButton::HandleDrawItem(DRAWITEMSTRUCT& dis) {
    if (!ownArrow_)
        return false;
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool disabled = dis.itemState & ODS_DISABLED;
    if (default_) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    DrawFrameControl(dc, &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (dis.itemState & ODS_SELECTED ? DFCS_PUSHED : 0u));
    const int shift = dis.itemState & ODS_SELECTED ? 1 : 0;
    // A rule parts the arrow from the caption, as on the system's split buttons.
    RECT rule{r.right - ArrowWidth(), r.top + 3, r.right, r.bottom - 3};
    DrawEdge(dc, &rule, EDGE_ETCHED, BF_LEFT);
    const COLORREF ink = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int cx = (rule.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
    const int half = Scale(3);
    const POINT arrow[] = {
        {cx - half, cy - half / 2}, {cx + half + 1, cy - half / 2}, {cx, cy + half - half / 2 + 1}};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ink));
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ink));
    {
        TSelectObject b(dc, brush.Get()), p(dc, pen.Get());
        Polygon(dc, arrow, 3);
    }
    RECT text{r.left + shift, r.top + shift, rule.left + shift, r.bottom + shift};
    TSelectObject font(dc, Font.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
    return true;
}

// --------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    width_ = 145;
    height_ = 21;
    color_ = clWindow;
    ParentColor = false;
}

void TComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.className = "COMBOBOX";
    p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL;
    // A combo box's window height is its dropped-down extent.
    p.height = Scale(ItemHeight) * (DropDownCount + 1) + 8;
}

void TComboBox::AfterCreateWnd() {
    // The parent answers WM_MEASUREITEM at creation; a height it did not give
    // is set again. Setting an equal one still resizes the box, a cost at start-up.
    const LRESULT height = Scale(ItemHeight);
    for (WPARAM part : {static_cast<WPARAM>(-1), WPARAM{0}})
        if (SendMessageA(handle_, CB_GETITEMHEIGHT, part, 0) != height)
            SendMessageA(handle_, CB_SETITEMHEIGHT, part, height);
    SendMessageA(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount), 0);
    FillControl();
    RECT r;
    GetWindowRect(handle_, &r);
    height_ = r.bottom - r.top;
}

void TComboBox::ChangeScale(int ppi) {
    if (ppi == ppi_)
        return;
    TWinControl::ChangeScale(ppi);
    if (!handle_)
        return;
    // The closed height follows the row height; the window's own height is
    // the dropped-down extent, as at creation.
    SendMessageA(handle_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ItemHeight));
    SendMessageA(handle_, CB_SETITEMHEIGHT, 0, Scale(ItemHeight));
    SetWindowPos(handle_, nullptr, 0, 0, width_, Scale(ItemHeight) * (DropDownCount + 1) + 8,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(handle_, &r);
    height_ = r.bottom - r.top;
}

bool TComboBox::HandleMeasureItem(MEASUREITEMSTRUCT& mis) {
    mis.itemHeight = static_cast<UINT>(Scale(ItemHeight));
    return true;
}

namespace {

// Replaces the rows of a combo box with storage reserved and drawing off.
template <class Row> void FillComboBox(HWND combo, const std::vector<Row>& rows, int index) {
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const auto& s : rows)
        bytes += s.size() + 1;
    // The rows go straight to the list part, which is not subclassed: through
    // the subclass chain every message pays window-property look-ups (server
    // round trips under Wine), which made 300,000 rows take seconds.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    HWND list = GetComboBoxInfo(combo, &info) && info.hwndList ? info.hwndList : nullptr;
    HWND target = list ? list : combo;
    SendMessageA(target, list ? LB_INITSTORAGE : CB_INITSTORAGE, rows.size(),
                 static_cast<LPARAM>(bytes));
    const UINT add = list ? LB_ADDSTRING : CB_ADDSTRING;
    std::string text; // a view's row, terminated
    for (const Row& s : rows) {
        const char* row = s.data();
        if constexpr (std::is_same_v<Row, std::string_view>)
            row = text.assign(s).c_str();
        SendMessageA(target, add, 0, reinterpret_cast<LPARAM>(row));
    }
    if (index >= 0)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(combo, nullptr, TRUE);
}

} // namespace

template <class TText> void TComboBox::StoreRows(const std::vector<TText>& rows) {
    size_t bytes = 0;
    for (const auto& r : rows)
        bytes += r.size() + 1;
    std::string text;
    text.reserve(bytes);
    std::vector<size_t> starts;
    starts.reserve(rows.size() + 1);
    for (const auto& r : rows) {
        starts.push_back(text.size());
        text.append(r.data(), r.size());
        text.push_back('\0');
    }
    starts.push_back(text.size());
    text_.swap(text);
    starts_.swap(starts);
}

std::string_view TComboBox::Row(size_t index) const {
    return {text_.data() + starts_[index], starts_[index + 1] - starts_[index] - 1};
}

void TComboBox::FillControl() {
    std::vector<std::string_view> rows;
    rows.reserve(starts_.size() - 1);
    for (size_t i = 0; i + 1 < starts_.size(); ++i)
        rows.push_back(Row(i));
    FillComboBox(handle_, rows, pendingIndex_);
}

void TComboBox::SetItems(const std::vector<std::string>& rows) {
    pendingIndex_ = -1;
    StoreRows(rows);
    if (handle_)
        FillComboBox(handle_, rows, -1);
}

void TComboBox::SetItemViews(const std::vector<std::string_view>& rows) {
    pendingIndex_ = -1;
    StoreRows(rows);
    if (handle_)
        FillComboBox(handle_, rows, -1);
}

int TComboBox::ItemCount() const {
    return static_cast<int>(starts_.size() - 1);
}

std::string TComboBox::Item(int index) const {
    if (index < 0 || index >= ItemCount())
        return {};
    return std::string(Row(static_cast<size_t>(index)));
}

namespace {

// Upper case as CharUpperBuffA has it for the ANSI code page, one table for all bytes.
const unsigned char* UpperTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        char c[256];
        for (int i = 0; i < 256; ++i)
            c[i] = static_cast<char>(i);
        CharUpperBuffA(c + 1, 255);
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<unsigned char>(c[i]);
        return t;
    }();
    return table.data();
}

} // namespace

int TComboBox::FindPrefix(const std::string& prefix) const {
    const unsigned char* up = UpperTable();
    std::string want = prefix;
    for (char& c : want)
        c = static_cast<char>(up[static_cast<unsigned char>(c)]);
    const size_t n = want.size();
    for (size_t i = 0; i + 1 < starts_.size(); ++i) {
        std::string_view row = Row(i);
        if (row.size() < n)
            continue;
        size_t k = 0;
        while (k < n &&
               up[static_cast<unsigned char>(row[k])] == static_cast<unsigned char>(want[k]))
            ++k;
        if (k == n)
            return static_cast<int>(i);
    }
    return -1;
}

int TComboBox::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0)) : pendingIndex_;
}

void TComboBox::SetItemIndex(int index) {
    if (handle_)
        SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else
        pendingIndex_ = index;
}

std::string TComboBox::Text() const {
    int i = ItemIndex();
    return i >= 0 ? Item(i) : std::string();
}

bool TComboBox::DroppedDown() const {
    return handle_ && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool v) {
    if (handle_)
        SendMessageA(handle_, CB_SHOWDROPDOWN, v, 0);
}

bool TComboBox::HandleCommand(WORD code) {
    if (code == CBN_SELCHANGE) {
        if (OnChange)
            OnChange(this);
        return true;
    }
    return false;
}

bool TComboBox::HandleDrawItem(DRAWITEMSTRUCT& dis) {
    TCanvas canvas(dis.hDC);
    // Every row starts from the list's own font and colours.
    canvas.Font = Font;
    canvas.Brush.Color = color_;
    canvas.Brush.Style = bsSolid;
    RECT r = dis.rcItem;
    if (static_cast<int>(dis.itemID) < 0) {
        canvas.FillRect(r);
        if (dis.itemState & ODS_FOCUS)
            canvas.DrawFocusRect(r);
        return true;
    }
    TOwnerDrawState state = 0;
    if (dis.itemState & ODS_SELECTED)
        state |= odSelected;
    if (dis.itemState & ODS_FOCUS)
        state |= odFocused;
    if (dis.itemState & ODS_DISABLED)
        state |= odDisabled;
    if (dis.itemState & ODS_COMBOBOXEDIT)
        state |= odComboBoxEdit;
    if (state & odSelected) {
        canvas.Brush.Color = clHighlight;
        canvas.Font.SetColor(clHighlightText);
    }
    int index = static_cast<int>(dis.itemID);
    if (OnDrawItem) {
        canvas_ = &canvas;
        struct Reset {
            TCanvas*& c;
            ~Reset() { c = nullptr; }
        } reset{canvas_};
        OnDrawItem(this, index, r, state);
    } else {
        canvas.FillRect(r);
        canvas.TextOut(r.left + 2, r.top, Item(index));
    }
    if (state & odFocused)
        canvas.DrawFocusRect(r);
    return true;
}

LRESULT TComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && wp >= 32) {
        // Keys typed less than half a second apart form one prefix.
        DWORD now = GetTickCount();
        if (now - lastKeyTime_ >= 500)
            prefix_.clear();
        lastKeyTime_ = now;
        prefix_ += static_cast<char>(wp);
        int i = FindPrefix(prefix_);
        if (i >= 0 && i != ItemIndex()) {
            SetItemIndex(i);
            if (OnChange)
                OnChange(this);
        }
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

// ------------------------------------------------------------------- TMemo

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    width_ = 185;
    height_ = 89;
    color_ = clWindow;
    ParentColor = false;
}

TMemo::~TMemo() {
    // The window goes first: it may still ask for its brush while being destroyed.
    DestroyHandle();
}

HBRUSH TMemo::HandleCtlColor(HDC dc) {
    COLORREF back = ColorToRGB(color_);
    if (!brush_ || back != brushColor_) {
        brush_.Reset(CreateSolidBrush(back));
        brushColor_ = back;
    }
    SetTextColor(dc, ColorToRGB(Font.Color()));
    SetBkColor(dc, back);
    return brush_.Get();
}

void TMemo::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.className = "EDIT";
    p.style |= ES_MULTILINE | ES_AUTOVSCROLL | (ReadOnly ? ES_READONLY : 0) |
               (ScrollBars ? WS_VSCROLL : 0) | (WantReturns ? ES_WANTRETURN : 0);
    if (FlatBorder)
        p.style |= WS_BORDER;
    else
        p.exStyle |= WS_EX_CLIENTEDGE;
    p.text = Text();
}

void TMemo::SetSelStart(int position) {
    if (HWND h = Handle()) {
        SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(position), position);
        SendMessageA(h, EM_SCROLLCARET, 0, 0);
    }
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
    lines_ = lines;
    if (handle_)
        SetWindowTextA(handle_, Text().c_str());
}

std::string TMemo::Text() const {
    std::string s;
    for (const auto& l : lines_)
        s += l + "\r\n";
    return s;
}
