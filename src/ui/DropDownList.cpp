#include "ui/DropDownList.h"

#include <windowsx.h>

#include <algorithm>
#include <array>

namespace {

// The popup the list lies in, with the list's scroll bar beside it. The list
// is its child rather than a popup itself: under Wine each change of a
// top-level window's scroll bar costs a trip to the display server.
class TDropDownFrame : public TWinControl {
public:
    TDropDownFrame(TWinControl* owner) : TWinControl(nullptr), owner_(owner) {
        visible_ = false;
        TabStop = false;
    }
    std::function<void(int code)> OnBarScroll;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
        // Topmost, as a drop-down is: in Wine's virtual desktop an owned
        // popup shown without activation stayed under its owner on screen.
        p.exStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
        p.parent = owner_->Handle();
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_MOUSEACTIVATE)
            return MA_NOACTIVATE;
        if (msg == WM_VSCROLL && lp && OnBarScroll) {
            OnBarScroll(LOWORD(wp));
            return 0;
        }
        return TWinControl::WndProc(msg, wp, lp);
    }

private:
    TWinControl* owner_;
};

} // namespace

TDropDownList::TDropDownList(TWinControl* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 97;
    color_ = clWindow;
    ParentColor = false;
    TabStop = false;
    visible_ = false;
    auto frame = std::make_unique<TDropDownFrame>(owner);
    frame->OnBarScroll = [this](int code) { BarScrolled(code); };
    frame_ = std::move(frame);
    SetParent(frame_.get());
}

TDropDownList::~TDropDownList() {
    // The list goes before its frame, which it must not outlive as a child.
    DestroyHandle();
    SetParent(nullptr);
}

void TDropDownList::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.className = "LISTBOX";
    // Always shown in its frame, which shows and hides. The scroll bar is a
    // window of its own beside the list: a list box draws its own bar again
    // at every change of its rows, even to the same range, and under Wine a
    // themed bar takes 4 ms to draw.
    p.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VISIBLE;
}

void TDropDownList::AfterCreateWnd() {
    // WM_MEASUREITEM came before the subclassing.
    SendMessageA(handle_, LB_SETITEMHEIGHT, 0, Scale(ItemHeight));
    bar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 0, 0, frame_->Handle(),
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

int TDropDownList::TopIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETTOPINDEX, 0, 0)) : 0;
}

int TDropDownList::RowsInSight() const {
    return std::max(1, static_cast<int>(ClientRect().bottom) / Scale(ItemHeight));
}

int TDropDownList::BarWidth() const {
    return SystemMetricAt(SM_CXVSCROLL, PixelsPerInch());
}

int TDropDownList::BorderWidth() const {
    return SystemMetricAt(SM_CXBORDER, PixelsPerInch());
}

void TDropDownList::Arrange() {
    const RECT inside = frame_->ClientRect();
    const int rows = std::max(1, static_cast<int>(inside.bottom) / Scale(ItemHeight));
    const int bar = RowTotal() > rows ? BarWidth() : 0;
    const RECT now = BoundsRect();
    if (now.left != 0 || now.top != 0 || now.right != inside.right - bar ||
        now.bottom != inside.bottom)
        TWinControl::SetBounds(0, 0, inside.right - bar, inside.bottom);
    SyncBar();
    if (!bar) {
        ShowWindow(bar_, SW_HIDE);
        return;
    }
    RECT was;
    GetWindowRect(bar_, &was);
    MapWindowPoints(nullptr, frame_->Handle(), reinterpret_cast<POINT*>(&was), 2);
    const RECT want{inside.right - bar, 0, inside.right, inside.bottom};
    if (!IsWindowVisible(bar_) || !EqualRect(&was, &want))
        SetWindowPos(bar_, nullptr, want.left, 0, bar, want.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TDropDownList::SyncBar() {
    // Told only of a change: under Wine the bar draws itself again even for
    // the same values.
    const std::array<int, 3> now{std::max(0, RowTotal() - 1), RowsInSight(), TopIndex()};
    if (now == barShows_)
        return;
    barShows_ = now;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = now[0];
    info.nPage = static_cast<UINT>(now[1]);
    info.nPos = now[2];
    // Drawn again only when its thumb moves or resizes: the thumb of a few
    // thousand rows keeps its least length while their number changes.
    SCROLLBARINFO was{}, is{};
    was.cbSize = is.cbSize = sizeof was;
    GetScrollBarInfo(bar_, OBJID_CLIENT, &was);
    SetScrollInfo(bar_, SB_CTL, &info, FALSE);
    GetScrollBarInfo(bar_, OBJID_CLIENT, &is);
    if (was.xyThumbTop != is.xyThumbTop || was.xyThumbBottom != is.xyThumbBottom ||
        !std::equal(std::begin(was.rgstate), std::end(was.rgstate), std::begin(is.rgstate)))
        InvalidateRect(bar_, nullptr, TRUE);
}

void TDropDownList::Need(int count) {
    count = std::min(count, RowTotal());
    if (count > ItemCount() && OnNeedRows)
        OnNeedRows(this, count);
}

void TDropDownList::BarScrolled(int code) {
    const int top = TopIndex();
    const int rows = RowsInSight();
    int to;
    switch (code) {
    case SB_LINEUP:
        to = top - 1;
        break;
    case SB_LINEDOWN:
        to = top + 1;
        break;
    case SB_PAGEUP:
        to = top - rows;
        break;
    case SB_PAGEDOWN:
        to = top + rows;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(bar_, SB_CTL, &info);
        to = info.nTrackPos;
        break;
    }
    case SB_TOP:
        to = 0;
        break;
    case SB_BOTTOM:
        to = RowTotal();
        break;
    default:
        return;
    }
    // The bar covers every row: those it reaches come in first.
    to = std::clamp(to, 0, std::max(0, RowTotal() - rows));
    Need(to + rows);
    SendMessageA(handle_, LB_SETTOPINDEX,
                 static_cast<WPARAM>(std::clamp(to, 0, std::max(0, ItemCount() - rows))), 0);
    SyncBar();
}

void TDropDownList::ChangeScale(int ppi) {
    if (ppi == ppi_)
        return;
    TWinControl::ChangeScale(ppi);
    if (handle_)
        SendMessageA(handle_, LB_SETITEMHEIGHT, 0, Scale(ItemHeight));
}

bool TDropDownList::HandleMeasureItem(MEASUREITEMSTRUCT& mis) {
    mis.itemHeight = static_cast<UINT>(Scale(ItemHeight));
    return true;
}

void TDropDownList::SetVisible(bool v) {
    if (v == visible_)
        return;
    visible_ = v;
    SetWindowPos(frame_->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (v ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TDropDownList::SetBounds(int left, int top, int width, int height) {
    // Each move of a popup costs a trip to the display server: only a change.
    const RECT now = frame_->BoundsRect();
    if (now.left == left && now.top == top && now.right - now.left == width &&
        now.bottom - now.top == height && frame_->HandleAllocated())
        return;
    frame_->SetBounds(left, top, width, height);
    Arrange();
}

int TDropDownList::ItemCount() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETCOUNT, 0, 0)) : 0;
}

int TDropDownList::RowTotal() const {
    return std::max(total_, ItemCount());
}

void TDropDownList::SetRowTotal(int total) {
    total_ = total;
    if (handle_)
        Arrange();
}

std::string TDropDownList::Item(int index) const {
    if (index < 0 || index >= ItemCount())
        return {};
    const auto n = SendMessageA(handle_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(handle_, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

void TDropDownList::SetItems(const std::vector<std::string>& rows, int total) {
    total_ = total;
    Fill(rows, true);
}

void TDropDownList::AddItems(const std::vector<std::string>& rows) {
    Fill(rows, false);
}

void TDropDownList::Fill(const std::vector<std::string>& rows, bool replace) {
    HWND h = Handle();
    // Every change to a list that draws is a round of scroll bar and repaint.
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    if (replace)
        SendMessageA(h, LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const auto& s : rows)
        bytes += s.size() + 1;
    SendMessageA(h, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
    for (const auto& s : rows)
        SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
    Arrange();
}

int TDropDownList::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0)) : -1;
}

void TDropDownList::SetItemIndex(int index) {
    // A page beyond the row, so that the next keys find theirs.
    if (index >= 0)
        Need(index + 1 + RowsInSight());
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SyncBar();
}

bool TDropDownList::HandleDrawItem(DRAWITEMSTRUCT& dis) {
    TCanvas canvas(dis.hDC);
    // Every row starts from the list's own font and colours.
    canvas.Font = Font;
    canvas.Brush.Color = color_;
    canvas.Brush.Style = bsSolid;
    const RECT r = dis.rcItem;
    const int index = static_cast<int>(dis.itemID);
    if (index < 0) {
        canvas.FillRect(r);
        return true;
    }
    TOwnerDrawState state = 0;
    if (dis.itemState & ODS_SELECTED) {
        state |= odSelected;
        canvas.Brush.Color = clHighlight;
        canvas.Font.SetColor(clHighlightText);
    }
    if (dis.itemState & ODS_DISABLED)
        state |= odDisabled;
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
    return true;
}

LRESULT TDropDownList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Handled here: the list's own handling would take the focus.
        const auto hit = SendMessageA(handle_, LB_ITEMFROMPOINT, 0, lp);
        if (HIWORD(hit) == 0 && static_cast<int>(LOWORD(hit)) < ItemCount()) {
            SetItemIndex(LOWORD(hit));
            Click();
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        return 0;
    case WM_MOUSEWHEEL: {
        const LRESULT r = TWinControl::WndProc(msg, wp, lp);
        // The next turn finds its rows.
        Need(TopIndex() + 2 * RowsInSight());
        SyncBar();
        return r;
    }
    }
    return TWinControl::WndProc(msg, wp, lp);
}
