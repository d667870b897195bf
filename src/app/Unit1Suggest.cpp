// The suggestions under the command-line box: the rows of every list that
// hold the words typed, in a drop-down that leaves the box unchanged until a
// row is taken.
#include "app/Unit1.h"

#include <algorithm>
#include <functional>

namespace {

// Rows in sight at once; beyond them the list scrolls.
const int kSuggestionRows = 12;
// Rows put in the list with the key, since a list box takes rows one message
// each; more come when the keys or the scroll bar reach the last of them.
const size_t kShownRows = 200;
const size_t kMoreRows = 150;
// Rows whose width sets the list's.
const size_t kMeasuredRows = 24;

} // namespace

TComboBox& TForm1::ListOf(TListKind kind) {
    return Catalogues.List(kind);
}

void TForm1::ListRowsLoaded(TListKind kind, const std::vector<std::string_view>& rows) {
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
    std::vector<GSearchHit> found = commands_.Find(edtCmdLine.Text());
    if (found.empty()) {
        CloseSuggestions();
        return;
    }
    // The same rows in the list (the next letter of a word often leaves
    // them): nothing to fill or draw again.
    const auto shown = static_cast<size_t>(lstSuggestions.ItemCount());
    const bool same = lstSuggestions.Visible() && lstSuggestions.TopIndex() == 0 &&
                      shown == std::min(found.size(), kShownRows) &&
                      std::equal(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(shown),
                                 suggested_.begin());
    suggested_ = std::move(found);
    if (same) {
        // As after a new filling: no row highlighted (asked only when one
        // is, since the list draws itself again for it even then).
        if (lstSuggestions.ItemIndex() >= 0)
            lstSuggestions.SetItemIndex(-1);
        return;
    }
    lstSuggestions.SetItems(SuggestionRows(0, kShownRows));
    PlaceSuggestions();
}

std::vector<std::string> TForm1::SuggestionRows(size_t from, size_t count) {
    std::vector<std::string> rows;
    const size_t end = std::min(suggested_.size(), from + count);
    for (size_t i = from; i < end; ++i)
        rows.push_back(ListOf(suggested_[i].list).Item(suggested_[i].row));
    return rows;
}

void TForm1::MoreSuggestionsFor(int row) {
    const auto filled = static_cast<size_t>(lstSuggestions.ItemCount());
    if (static_cast<size_t>(row) + kSuggestionRows >= filled && filled < suggested_.size())
        lstSuggestions.AddItems(SuggestionRows(filled, kMoreRows));
}

void TForm1::lstSuggestionsScroll(TObject*) {
    MoreSuggestionsFor(lstSuggestions.TopIndex() + lstSuggestions.RowsInSight());
}

void TForm1::PlaceSuggestions() {
    lstSuggestions.ChangeScale(PixelsPerInch());
    const int count = lstSuggestions.ItemCount();
    RECT box;
    GetWindowRect(edtCmdLine.Handle(), &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;

    // As wide as the box, or as the widest row where the screen allows; the
    // longest rows stand for all, since measuring thousands takes long.
    std::vector<std::pair<size_t, size_t>> longest; // length, place
    for (size_t i = 0; i < suggested_.size(); ++i)
        longest.emplace_back(commands_.RowLength(suggested_[i]), i);
    const size_t measured = std::min(longest.size(), kMeasuredRows);
    std::partial_sort(longest.begin(), longest.begin() + static_cast<std::ptrdiff_t>(measured),
                      longest.end(), std::greater<>());
    int widest = 0;
    {
        TWindowDC screen;
        TSelectObject font(screen.Get(), lstSuggestions.Font.Handle());
        for (size_t k = 0; k < measured; ++k) {
            const GSearchHit hit = suggested_[longest[k].second];
            const std::string text = ListOf(hit.list).Item(hit.row);
            SIZE size{};
            GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
    const int bar = count > kSuggestionRows ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    // It only widens while open: every change of a popup's size is a
    // round of the display server and a new drawing of the whole list.
    suggestionsWidth_ = std::min(std::max({static_cast<int>(box.right - box.left),
                                           widest + Scale(14) + bar + frame, suggestionsWidth_}),
                                 static_cast<int>(work.right - work.left));
    const int width = suggestionsWidth_;
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
    suggestionsWidth_ = 0;
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
    MoreSuggestionsFor(to);
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

void TForm1::edtCmdLineEnter(TObject*) {
    // The suggestions' windows are made before the first key needs them.
    lstSuggestions.Handle();
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
