// Standard controls: labels, bevels and speed buttons are windowless; the
// edit box, push button, drop-down list and memo wrap the system's own
// EDIT, BUTTON and COMBOBOX windows.
#pragma once
#include "ui/Controls.h"
#include "ui/Timer.h"

#include <string_view>
#include <vector>

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);
    void SetCaption(const std::string& v) override;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    void Paint(TCanvas& canvas) override;
    // Resizes the label to its text when AutoSize is on.
    virtual void AdjustBounds();
    // The control the label names: screen readers give it the label's text.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

protected:
    virtual void DoDrawText(TCanvas& canvas, RECT& r, UINT flags);
    void FontChanged() override;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;

private:
    void NameFocusControl();
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

enum TBevelShape { bsBox, bsFrame };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape = bsBox;
    TBevelStyle Style = bsLowered;
    void Paint(TCanvas& canvas) override;
    bool HitTest(int, int) const override { return false; }
};

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    bool Flat = false;
    // A bitmap resource; its bottom-left pixel's colour is transparent.
    void SetGlyph(const char* resourceName);
    HBITMAP Glyph() const { return glyph_.Get(); }
    void Paint(TCanvas& canvas) override;
    void MouseDown(int, int) override;
    void MouseUp(int, int) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TGdiObject<HBITMAP> glyph_;
    bool down_ = false;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    ~TEdit() override;
    bool ReadOnly = false;
    std::string Text() const;
    // Setting the same text changes nothing and raises no OnChange.
    void SetText(const std::string& v);
    // Selects the whole text, as the dialog manager does for a box reached by Tab.
    void SelectAll();
    // Where the selection, or the caret, begins.
    int SelStart() const;
    TNotifyEvent OnChange;
    // Inside OnChange: the character whose typing made the change, or 0 when
    // something else did (a paste, a cut, an undo, SetText).
    char TypedChar() const { return typedChar_; }
    // Text about to be pasted (Ctrl+V, Shift+Insert, the context menu,
    // WM_PASTE): the clipboard's first line in the ANSI code page, which the
    // handler may change; it then replaces the selection, as typing would.
    std::function<void(TObject* Sender, std::string& Text)> OnPaste;
    // After OnChange and whatever text its handler set in turn: ByUser is
    // true when the box holds what the user typed, pasted or cut, false when
    // SetText put the text there.
    std::function<void(TObject* Sender, bool ByUser)> OnAfterChange;
    // The box took, or lost, the keyboard focus.
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    bool HandleCommand(WORD code) override;
    // An information balloon pointing at the caret from under the box; the
    // next key or click in the box, its losing the focus, or ten seconds hide it.
    void ShowBalloonTip(const std::string& title, const std::string& text);
    void HideBalloonTip();

protected:
    void CreateParams(TCreateParams& p) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Changed(bool byUser);
    void Paste();
    void DestroyBalloon();
    bool settingText_ = false;
    bool changing_ = false;
    bool replaced_ = false;
    char typedChar_ = 0;
    // The toolkit's own balloon, where the edit control shows none (Wine).
    HWND balloon_ = nullptr;
    bool balloonShown_ = false;
    TTimer balloonTimer_{this};
};

enum TButtonStyle { bsPushButton, bsSplitButton };

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    ~TButton() override;
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // A split button shows an arrow at its right, which opens DropDownMenu
    // below the button; the rest of it is pressed as a push button. Where the
    // system's buttons have no such style (common controls before version
    // 6), the toolkit draws the button and its arrow itself.
    TButtonStyle Style = bsPushButton;
    TPopupMenu* DropDownMenu = nullptr;
    // True when the toolkit draws the arrow, rather than the system.
    bool DrawsOwnArrow() const { return ownArrow_; }
    bool HandleCommand(WORD code) override;
    bool HandleNotify(NMHDR& nm, LRESULT& result) override;
    bool HandleDrawItem(DRAWITEMSTRUCT& dis) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    DWORD TypeStyle() const;
    int ArrowWidth() const { return Scale(15); }
    void DropDown();
    bool default_ = false;
    bool ownArrow_ = false;
};

enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1,
    odFocused = 2,
    odDisabled = 4,
    odComboBoxEdit = 8
};
using TOwnerDrawState = unsigned;

// A drop-down list whose rows the program draws (fixed row height); the rows
// live in the system control as strings, and a copy in one block of memory
// answers reads and the type-ahead search without a message per row.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    int ItemHeight = 15; // design pixels
    int DropDownCount = 17;

    int ItemCount() const;
    std::string Item(int index) const;
    // Replaces every row; fills the control with storage reserved and drawing off.
    void SetItems(const std::vector<std::string>& rows);
    // The same from views, which need only live for the call: a long list
    // then needs no string of its own per row.
    void SetItemViews(const std::vector<std::string_view>& rows);
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const;
    bool DroppedDown() const;
    void SetDroppedDown(bool v);

    // The canvas of the row being drawn, prepared with the list's font and
    // colours; valid only inside OnDrawItem.
    TCanvas* Canvas() const { return canvas_; }
    std::function<void(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State)>
        OnDrawItem;
    TNotifyEvent OnChange;

    bool HandleCommand(WORD code) override;
    bool HandleDrawItem(DRAWITEMSTRUCT& dis) override;
    bool HandleMeasureItem(MEASUREITEMSTRUCT& mis) override;
    void ChangeScale(int pixelsPerInch) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    template <class TText> void StoreRows(const std::vector<TText>& rows);
    std::string_view Row(size_t index) const;
    int FindPrefix(const std::string& prefix) const;
    void FillControl();
    // Every row followed by a NUL, and where each begins (one more at the end).
    std::string text_;
    std::vector<size_t> starts_{0};
    int pendingIndex_ = -1;
    TCanvas* canvas_ = nullptr;
    std::string prefix_;
    DWORD lastKeyTime_ = 0;
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;
    bool ReadOnly = false;
    bool ScrollBars = false;
    bool WantReturns = true;
    // A flat one-pixel frame in place of the sunken client edge.
    bool FlatBorder = false;
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(const std::vector<std::string>& lines);
    // Each line followed by CR LF, as a text file holds it.
    std::string Text() const;
    // Puts the caret at a character position, without selection, and scrolls it into view.
    void SetSelStart(int position);
    // The memo paints itself in its Color with its font's colour.
    HBRUSH HandleCtlColor(HDC dc) override;

protected:
    void CreateParams(TCreateParams& p) override;

private:
    std::vector<std::string> lines_;
    TGdiObject<HBRUSH> brush_;
    COLORREF brushColor_ = 0;
};
