// The suggestions under the command-line box: the rows of every list that
// hold the words typed, in a drop-down that leaves the box unchanged until a
// row is taken. The form hands it the lists' rows and the box's keys, and
// takes the row picked through OnPick.
#pragma once
#include "core/CommandSearch.h"
#include "core/ListRowStyle.h"
#include "ui/DropDownList.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

#include <string>
#include <string_view>
#include <vector>

class TSuggestions : public TComponent {
public:
    // A drop-down of form, placed under box. Its windows are made at first
    // use, or before once the thread is idle after painting the form: a
    // timer's message comes only when no other, nor any paint, waits.
    TSuggestions(TWinControl* form, TWinControl& box);

    // The text of a list's row, as the search names it by its place.
    std::function<std::string(TListKind kind, int row)> RowText;
    // Rows of free text shown before the lists' rows for what is typed, and
    // for nothing typed those that Down opens in the empty box; they are
    // marked apart from the lists' rows. None when unset.
    std::function<std::vector<std::string>(std::string_view typed)> LeadingRows;
    // A row taken by Enter or a click, with its text and, for a list's row,
    // its place (null for a leading row); the drop-down is closed.
    std::function<void(TObject* Sender, const std::string& Text, const GSearchHit* Row)> OnPick;
    // Ctrl+C on a highlighted row, with its text and place as OnPick has
    // them; the drop-down stays.
    std::function<void(TObject* Sender, const std::string& Text, const GSearchHit* Row)> OnCopy;

    // The rows of one list, as loaded. What shows names rows by their place,
    // so it closes.
    void SetRows(TListKind kind, const std::vector<std::string_view>& rows);
    // Shows the rows that hold the words of typed, or closes when none does
    // or nothing is typed.
    void Search(std::string_view typed);
    void Close();
    bool Visible() const { return list_.Visible(); }
    // The box's keys while they show: arrows and pages move the highlight,
    // Enter takes the highlighted row, Escape closes. Down or Alt+Down in
    // the empty box opens the leading rows for nothing typed; Ctrl+C on a
    // highlighted row copies it. Key is 0 when used.
    void KeyDown(WORD& Key, TShiftState Shift);

    // The rows' font, at 96 dpi as the form's design gives it.
    void SetFont(const TFont& font) { list_.Font = font; }

    // The drop-down list itself, its rows as the user sees them.
    TDropDownList& List() { return list_; }

private:
    // The text of the row at, counted from the first shown.
    std::string TextOf(size_t at) const;
    // The list's row shown at, none for a leading row.
    const GSearchHit* RowAt(int at) const;
    std::vector<std::string> Texts(size_t from, size_t count) const;
    size_t Count() const { return leading_.size() + hits_.size(); }
    // Puts rows in the list up to count at least.
    void FillTo(int count);
    void Show(std::vector<std::string> leading, std::vector<GSearchHit> found);
    void Place();
    // Where the text of the row at begins, from the row's left.
    int TextIndent(size_t at) const;
    void Pick();
    void DrawItem(int index, const RECT& r, TOwnerDrawState state);
    void DrawLeadingRow(size_t at, const RECT& r, TOwnerDrawState state);

    TWinControl* form_;
    TWinControl& box_;
    TDropDownList list_;
    TTimer idle_{this}; // once, to make the windows
    GCommandIndex index_;
    std::vector<std::string> leading_; // what the list shows first, then hits_
    std::vector<GSearchHit> hits_;
};

// Draws a row of a list in the program's style: kind and index give its
// colours, ppi the scale of its offsets. Text wider than the row ends in an
// ellipsis.
void DrawStyledRow(TCanvas& canvas, int ppi, TListKind kind, int index, const std::string& text,
                   const RECT& r, TOwnerDrawState state);
