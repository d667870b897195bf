// A list box whose rows the program draws (fixed row height). The rows are
// the control's strings, so screen readers read them.
#pragma once
#include "ui/StdCtrls.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;
    int ItemHeight = 15; // design pixels
    // Before the window is made: the list becomes a drop-down of this window,
    // inside a framed popup it owns, placed in screen coordinates, that takes
    // neither the activation nor the focus. A click there chooses the row
    // under the pointer and raises OnClick; the keys stay with the focused
    // control. Past the rows in sight, a scroll bar shows beside the list.
    void SetDropDownOf(TWinControl* owner);

    int ItemCount() const;
    std::string Item(int index) const;
    // Replaces every row, with storage reserved and drawing off.
    void SetItems(const std::vector<std::string>& rows);
    // Adds rows after the last (in place of them all with replace), the same way.
    void AddItems(const std::vector<std::string>& rows, bool replace = false);
    int ItemIndex() const;
    // -1 for none; a row out of sight scrolls into view.
    void SetItemIndex(int index);

    // The canvas of the row being drawn, prepared with the list's font and
    // colours; valid only inside OnDrawItem.
    TCanvas* Canvas() const { return canvas_; }
    std::function<void(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State)>
        OnDrawItem;
    // After the user scrolled the rows (bar or wheel).
    TNotifyEvent OnScroll;
    // The top row in sight, and how many rows show at once.
    int TopIndex() const;
    int RowsInSight() const;

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

    TCanvas* canvas_ = nullptr;
    std::unique_ptr<TWinControl> frame_;
    HWND bar_ = nullptr;                      // a drop-down's scroll bar, a child of its frame
    std::array<int, 3> barShows_{-1, -1, -1}; // its last row, page and position
};
