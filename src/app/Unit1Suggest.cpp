// The suggestions under the command-line box: the rows of every list that
// hold the words typed, in a drop-down that leaves the box unchanged until a
// row is taken.
#include "app/Unit1.h"

#include <algorithm>

namespace {

// Rows in sight at once; beyond them the list scrolls.
const int kSuggestionRows = 12;

} // namespace

TComboBox& TForm1::ListOf(TListKind kind) {
    switch (kind) {
    case lkSyst:
        return cbbListSyst;
    case lkCustom:
        return cbbListCustom;
    case lkCPL:
        break;
    }
    return cbbListCPL;
}

void TForm1::ListRowsLoaded(TComboBox& list, const std::vector<std::string_view>& rows) {
    const TListKind kind = &list == &cbbListSyst     ? lkSyst
                           : &list == &cbbListCustom ? lkCustom
                                                     : lkCPL;
    // What is shown names rows by their place: new rows make it stale.
    CloseSuggestions();
    commands_.SetRows(kind, rows);
}

void TForm1::edtCmdLineAfterChange(TObject*, bool ByUser) {
    // A row taken from a list, or the comments removed, opens nothing.
    if (!ByUser) {
        CloseSuggestions();
        return;
    }
    suggested_ = commands_.Find(edtCmdLine.Text());
    if (suggested_.empty()) {
        CloseSuggestions();
        return;
    }
    std::vector<std::string> rows;
    rows.reserve(suggested_.size());
    for (const GSearchHit& hit : suggested_)
        rows.push_back(ListOf(hit.list).Item(hit.row));
    lstSuggestions.SetItems(rows);
    PlaceSuggestions(rows);
}

void TForm1::PlaceSuggestions(const std::vector<std::string>& rows) {
    lstSuggestions.ChangeScale(PixelsPerInch());
    const int count = static_cast<int>(suggested_.size());
    RECT box;
    GetWindowRect(edtCmdLine.Handle(), &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;

    // As wide as the box, or as the widest row where the screen allows.
    int widest = 0;
    {
        TWindowDC screen;
        TSelectObject font(screen.Get(), lstSuggestions.Font.Handle());
        for (const std::string& text : rows) {
            SIZE size{};
            GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
    const int bar = count > kSuggestionRows ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int width =
        std::min(std::max(static_cast<int>(box.right - box.left), widest + Scale(14) + bar + frame),
                 static_cast<int>(work.right - work.left));
    const int height =
        std::min(count, kSuggestionRows) * Scale(ListRowHeight) + 2 * GetSystemMetrics(SM_CYBORDER);
    const int left =
        std::max(static_cast<int>(work.left),
                 std::min(static_cast<int>(box.left), static_cast<int>(work.right) - width));
    // Under the box, or above it where the screen ends first.
    int top = box.bottom;
    if (top + height > work.bottom && box.top - height >= work.top)
        top = box.top - height;
    lstSuggestions.SetBounds(left, top, width, height);
    lstSuggestions.Show();
}

void TForm1::CloseSuggestions() {
    if (!lstSuggestions.Visible())
        return;
    lstSuggestions.Hide();
    suggested_.clear();
    lstSuggestions.SetItems({});
}

void TForm1::SuggestionsKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (!lstSuggestions.Visible() || Shift != 0)
        return;
    const int last = lstSuggestions.ItemCount() - 1;
    const int at = lstSuggestions.ItemIndex();
    int to;
    switch (Key) {
    case VK_DOWN:
        to = std::min(at + 1, last);
        break;
    case VK_UP:
        to = std::max(at - 1, 0);
        break;
    case VK_NEXT:
        to = std::min(at + kSuggestionRows, last);
        break;
    case VK_PRIOR:
        to = std::max(at - kSuggestionRows, 0);
        break;
    case VK_RETURN:
        // With no row highlighted, Enter launches the box as ever.
        if (at < 0) {
            CloseSuggestions();
            return;
        }
        Key = 0;
        lstSuggestionsClick(&lstSuggestions);
        return;
    case VK_ESCAPE:
        Key = 0;
        CloseSuggestions();
        return;
    default:
        return;
    }
    Key = 0;
    lstSuggestions.SetItemIndex(to);
}

void TForm1::lstSuggestionsClick(TObject*) {
    const int at = lstSuggestions.ItemIndex();
    if (at < 0 || at >= static_cast<int>(suggested_.size()))
        return;
    const GSearchHit hit = suggested_[static_cast<size_t>(at)];
    CloseSuggestions();
    // As a pick in the row's own list: the box's change handler does the rest.
    edtCmdLine.SetText(ListOf(hit.list).Item(hit.row));
}

void TForm1::lstSuggestionsDrawItem(TObject*, int Index, const RECT& Rect, TOwnerDrawState State) {
    if (Index < 0 || Index >= static_cast<int>(suggested_.size()))
        return;
    const GSearchHit hit = suggested_[static_cast<size_t>(Index)];
    DrawRow(*lstSuggestions.Canvas(), hit.list, hit.row, ListOf(hit.list).Item(hit.row), Rect,
            State);
}

void TForm1::edtCmdLineExit(TObject*) {
    CloseSuggestions();
}

void TForm1::FormDeactivate(TObject*) {
    CloseSuggestions();
}

void TForm1::FormMove(TObject*) {
    CloseSuggestions();
}
