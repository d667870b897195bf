#include "app/Suggestions.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace {

// Rows in sight at once; beyond them the list scrolls.
const int kSuggestionRows = 12;
// Rows put in the list with the key, since a list box takes rows one message
// each; more come when the keys or the scroll bar reach the last of them.
const size_t kShownRows = 200;
const size_t kMoreRows = 150;
// Rows whose width sets the list's.
const size_t kMeasuredRows = 24;
// The leading rows' text, after their clock, in design pixels; their ink,
// and the rule under the last of them.
const int kLeadingIndent = 20;
const TColor kLeadingInk = RGBColor(70, 70, 120);
const TColor kLeadingRule = RGBColor(160, 160, 160);

} // namespace

void DrawStyledRow(TCanvas& canvas, int ppi, TListKind kind, int index, const std::string& text,
                   const RECT& r, TOwnerDrawState state) {
    const GRowPasses passes = RowPasses(kind, index, (state & odSelected) != 0);
    for (int i = 0; i < passes.count; ++i) {
        const GRowPass& pass = passes.pass[static_cast<size_t>(i)];
        canvas.Brush.Color = pass.background;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(r);
        if (!pass.listTextColor)
            canvas.Font.SetColor(pass.textColor);
        if (pass.bold)
            canvas.Font.SetStyle(canvas.Font.Style() | fsBold);
        // A row wider than the list ends in an ellipsis.
        const int x = MulDiv(pass.textOffset.x, ppi, 96);
        RECT at{r.left + x, r.top + MulDiv(pass.textOffset.y, ppi, 96), r.right - x, r.bottom};
        canvas.DrawText(text, at, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_NOCLIP);
    }
}

TSuggestions::TSuggestions(TWinControl* form, TWinControl& box)
    : TComponent(form), form_(form), box_(box), list_(form) {
    list_.ItemHeight = ListRowHeight;
    list_.OnClick = [this](TObject*) { Pick(); };
    list_.OnNeedRows = [this](TObject*, int count) { FillTo(count); };
    list_.OnDrawItem = [this](TObject*, int i, const RECT& r, TOwnerDrawState st) {
        DrawItem(i, r, st);
    };
    // Made ahead, the windows spare the first key their making.
    idle_.SetInterval(1);
    idle_.OnTimer = [this](TObject*) {
        idle_.SetEnabled(false);
        list_.Handle();
    };
    idle_.SetEnabled(true);
}

void TSuggestions::SetRows(TListKind kind, const std::vector<std::string_view>& rows) {
    Close();
    index_.SetRows(kind, rows);
}

std::string TSuggestions::TextOf(size_t at) const {
    if (at < leading_.size())
        return leading_[at];
    const GSearchHit hit = hits_[at - leading_.size()];
    return RowText ? RowText(hit.list, hit.row) : std::string();
}

std::vector<std::string> TSuggestions::Texts(size_t from, size_t count) const {
    std::vector<std::string> rows;
    const size_t end = std::min(Count(), from + count);
    for (size_t i = from; i < end; ++i)
        rows.push_back(TextOf(i));
    return rows;
}

void TSuggestions::Search(std::string_view typed) {
    // Emptied, the box opens nothing: only Down does.
    if (typed.empty()) {
        Close();
        return;
    }
    Show(LeadingRows ? LeadingRows(typed) : std::vector<std::string>{}, index_.Find(typed));
}

void TSuggestions::Show(std::vector<std::string> leading, std::vector<GSearchHit> found) {
    if (leading.empty() && found.empty()) {
        Close();
        return;
    }
    // The same rows in the list (the next letter of a word often leaves
    // them): nothing to fill or draw again.
    const auto shown = static_cast<size_t>(list_.ItemCount());
    const size_t total = leading.size() + found.size();
    const size_t listed = shown - std::min(shown, leading.size()); // hits the list holds
    const bool same = list_.Visible() && list_.TopIndex() == 0 && leading == leading_ &&
                      shown == std::min(total, kShownRows) && hits_.size() >= listed &&
                      std::equal(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(listed),
                                 hits_.begin());
    leading_ = std::move(leading);
    hits_ = std::move(found);
    if (same) {
        // As after a new filling: no row highlighted (asked only when one
        // is, since the list draws itself again for it even then).
        if (list_.ItemIndex() >= 0)
            list_.SetItemIndex(-1);
        list_.SetRowTotal(static_cast<int>(total));
        return;
    }
    list_.SetItems(Texts(0, kShownRows), static_cast<int>(total));
    Place();
}

void TSuggestions::FillTo(int count) {
    const int filled = list_.ItemCount();
    if (count > filled)
        list_.AddItems(Texts(static_cast<size_t>(filled),
                             std::max(kMoreRows, static_cast<size_t>(count - filled))));
}

void TSuggestions::Place() {
    list_.ChangeScale(form_->PixelsPerInch());
    const int count = list_.ItemCount();
    RECT box;
    GetWindowRect(box_.Handle(), &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(form_->Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;

    // As wide as the box, or as the widest row where the screen allows; the
    // longest rows stand for all, since measuring thousands takes long.
    std::vector<std::pair<size_t, size_t>> longest; // length, place
    for (size_t i = 0; i < leading_.size(); ++i)    // their mark counts as a few letters
        longest.emplace_back(leading_[i].size() + 4, i);
    for (size_t i = 0; i < hits_.size(); ++i)
        longest.emplace_back(index_.RowLength(hits_[i]), leading_.size() + i);
    const size_t measured = std::min(longest.size(), kMeasuredRows);
    std::partial_sort(longest.begin(), longest.begin() + static_cast<std::ptrdiff_t>(measured),
                      longest.end(), std::greater<>());
    int widest = 0;
    {
        TWindowDC screen;
        TSelectObject font(screen.Get(), list_.Font.Handle());
        for (size_t k = 0; k < measured; ++k) {
            const std::string text = TextOf(longest[k].second);
            SIZE size{};
            GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx) + TextIndent(longest[k].second));
        }
    }
    const int frame = 2 * list_.BorderWidth();
    const int bar = static_cast<int>(Count()) > kSuggestionRows ? list_.BarWidth() : 0;
    // Within the screen, where longer rows end in an ellipsis.
    const int width = std::min(
        std::max(static_cast<int>(box.right - box.left), widest + list_.Scale(4) + bar + frame),
        static_cast<int>(work.right - work.left));
    const int height = std::min(count, kSuggestionRows) * list_.Scale(ListRowHeight) + frame;
    const int left =
        std::max(static_cast<int>(work.left),
                 std::min(static_cast<int>(box.left), static_cast<int>(work.right) - width));
    // Under the box, or above it where the screen ends first.
    int top = box.bottom;
    if (top + height > work.bottom && box.top - height >= work.top)
        top = box.top - height;
    list_.SetBounds(left, top, width, height);
    list_.Show();
}

void TSuggestions::Close() {
    if (!list_.Visible())
        return;
    list_.Hide();
    leading_.clear();
    hits_.clear();
    list_.SetItems({});
}

void TSuggestions::KeyDown(WORD& Key, TShiftState Shift) {
    if (!list_.Visible()) {
        // As a combo box drops its list; with text typed the keys stay the box's.
        if (Key == VK_DOWN && (Shift == 0 || Shift == ssAlt) && LeadingRows &&
            GetFocus() == box_.Handle() && GetWindowTextLengthA(box_.Handle()) == 0) {
            Show(LeadingRows(""), {});
            if (list_.Visible())
                Key = 0;
        }
        return;
    }
    const int at = list_.ItemIndex();
    // Without a highlighted row, Ctrl+C copies the box's selection as ever.
    if (Key == 'C' && Shift == ssCtrl && at >= 0 && at < static_cast<int>(Count()) && OnCopy) {
        Key = 0;
        const GSearchHit* row = RowAt(at);
        OnCopy(this, TextOf(static_cast<size_t>(at)), row);
        return;
    }
    if (Shift != 0)
        return;
    const int last = static_cast<int>(Count()) - 1;
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
            Close();
            return;
        }
        Key = 0;
        Pick();
        return;
    case VK_ESCAPE:
        Key = 0;
        Close();
        return;
    default:
        return;
    }
    Key = 0;
    list_.SetItemIndex(to);
}

void TSuggestions::Pick() {
    const int at = list_.ItemIndex();
    if (at < 0 || at >= static_cast<int>(Count()))
        return;
    const std::string text = TextOf(static_cast<size_t>(at));
    const GSearchHit* hit = RowAt(at);
    const std::optional<GSearchHit> row = hit ? std::optional(*hit) : std::nullopt;
    Close();
    if (OnPick)
        OnPick(this, text, row ? &*row : nullptr);
}

const GSearchHit* TSuggestions::RowAt(int at) const {
    const size_t i = static_cast<size_t>(at);
    return i < leading_.size() ? nullptr : &hits_[i - leading_.size()];
}

void TSuggestions::DrawItem(int index, const RECT& r, TOwnerDrawState state) {
    if (index < 0 || index >= static_cast<int>(Count()))
        return;
    TCanvas& canvas = *list_.Canvas();
    const auto at = static_cast<size_t>(index);
    if (at < leading_.size()) {
        DrawLeadingRow(at, r, state);
        return;
    }
    const GSearchHit hit = hits_[at - leading_.size()];
    DrawStyledRow(canvas, list_.PixelsPerInch(), hit.list, hit.row, TextOf(at), r, state);
}

int TSuggestions::TextIndent(size_t at) const {
    // A leading row's text follows its clock; the lists' rows keep their offset.
    return list_.Scale(at < leading_.size() ? kLeadingIndent : 10);
}

void TSuggestions::DrawLeadingRow(size_t at, const RECT& r, TOwnerDrawState state) {
    // On the window's colour, where the lists' rows have theirs, after a
    // clock and in italics; the last is ruled off from the lists' rows.
    TCanvas& canvas = *list_.Canvas();
    const bool selected = (state & odSelected) != 0;
    canvas.Brush.Color = selected ? ListRowColor::Selected : clWindow;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(r);
    const TColor ink = selected ? ListRowColor::SelectedText : kLeadingInk;
    const int d = list_.Scale(11);
    const int x = r.left + list_.Scale(4);
    const int y = r.top + (r.bottom - r.top - d) / 2;
    canvas.Pen.Color = ink;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Style = bsClear;
    canvas.Ellipse(x, y, x + d, y + d);
    const int cx = x + d / 2, cy = y + d / 2;
    canvas.MoveTo(cx, y + list_.Scale(2));
    canvas.LineTo(cx, cy);
    canvas.LineTo(x + d - list_.Scale(3), cy);
    if (at + 1 == leading_.size() && !hits_.empty()) {
        canvas.Pen.Color = kLeadingRule;
        canvas.MoveTo(r.left, r.bottom - 1);
        canvas.LineTo(r.right, r.bottom - 1);
    }
    canvas.Font.SetColor(ink);
    // Not bold when highlighted, as the lists' rows are: bold italics crowd.
    canvas.Font.SetStyle(canvas.Font.Style() | fsItalic);
    RECT text{r.left + TextIndent(at), r.top + list_.Scale(1), r.right - list_.Scale(4), r.bottom};
    canvas.DrawText(leading_[at], text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_NOCLIP);
}
