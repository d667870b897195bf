// A drop-down list of a window: rows the program draws (fixed row height) in
// a framed popup of its own, placed in screen coordinates, that takes neither
// the activation nor the focus. A click chooses the row under the pointer and
// raises OnClick; the keys stay with the focused control. The rows are the
// control's strings, so screen readers read them.
//
// The list may stand for more rows than it holds, given a few hundred at a
// time since a list box takes them one message each: its scroll bar, beside
// the list past the rows in sight, covers every row, and before it shows a
// row it does not hold yet it asks for it through OnNeedRows.
#pragma once
#include "ui/StdCtrls.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TDropDownList : public TWinControl {
public:
    // Its windows are made on first use; its popup is owned by owner's.
    explicit TDropDownList(TWinControl* owner);
    ~TDropDownList() override;
    int ItemHeight = 15; // design pixels

    int ItemCount() const;
    std::string Item(int index) const;
    // Replaces every row, with storage reserved and drawing off; the list
    // stands for total rows, or only these when total is smaller.
    void SetItems(const std::vector<std::string>& rows, int total = 0);
    // Adds rows after the last, the same way.
    void AddItems(const std::vector<std::string>& rows);
    // The rows the list stands for: never fewer than it holds.
    int RowTotal() const;
    void SetRowTotal(int total);
    // Asks that the list hold its first Count rows (Count within RowTotal).
    std::function<void(TObject* Sender, int Count)> OnNeedRows;

    int ItemIndex() const;
    // -1 for none; a row out of sight scrolls into view.
    void SetItemIndex(int index);

    // The canvas of the row being drawn, prepared with the list's font and
    // colours; valid only inside OnDrawItem.
    TCanvas* Canvas() const { return canvas_; }
    std::function<void(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State)>
        OnDrawItem;
    // The top row in sight, and how many rows show at once.
    int TopIndex() const;
    int RowsInSight() const;
    // The width of the scroll bar and of the popup's border, at the list's dpi.
    int BarWidth() const;
    int BorderWidth() const;

    void SetVisible(bool v) override;
    void SetBounds(int left, int top, int width, int height) override;
    void ChangeScale(int pixelsPerInch) override;
    bool HandleDrawItem(DRAWITEMSTRUCT& dis) override;
    bool HandleMeasureItem(MEASUREITEMSTRUCT& mis) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Arrange();
    void SyncBar();
    void BarScrolled(int code);
    // Asks for the rows before count that the list lacks.
    void Need(int count);
    void Fill(const std::vector<std::string>& rows, bool replace);

    TCanvas* canvas_ = nullptr;
    std::unique_ptr<TWinControl> frame_;
    HWND bar_ = nullptr;                      // the scroll bar, a child of the frame
    std::array<int, 3> barShows_{-1, -1, -1}; // its last row, page and position
    int total_ = 0;
};
