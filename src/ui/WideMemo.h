// A read-only multi-line text control for text of any script: the system's
// EDIT created as a Unicode window, hosted in a toolkit window that sizes it,
// paints its background and hands its mouse wheel with Ctrl to OnZoom.
#pragma once
#include "ui/Controls.h"

#include <string>

class TWideMemo : public TWinControl {
public:
    explicit TWideMemo(TComponent* owner);
    ~TWideMemo() override;

    std::wstring Text() const;
    // Replaces the text; CR LF line ends.
    void SetText(const std::wstring& text);
    size_t TextLength() const;
    // Start and end of the selection, in characters.
    std::pair<size_t, size_t> Selection() const;
    // Selects and scrolls the selection into view.
    void Select(size_t start, size_t end);
    void SelectAll();
    void CopyToClipboard();
    // The caret after the last character, and the last lines in view.
    void ScrollToEnd();
    // The first line in view, as the system counts lines.
    int FirstVisibleLine() const;
    HWND EditHandle() const { return edit_; }
    // Asks the font mapper for a fixed-pitch face when Font's is not there.
    bool FixedPitch = false;

    // Ctrl + wheel: +1 per notch away from the user, -1 per notch towards.
    std::function<void(TObject* Sender, int Steps)> OnZoom;

protected:
    void CreateParams(TCreateParams& p) override;
    void AfterCreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void FontChanged() override;

private:
    void ApplyFont(bool redraw);
    HWND edit_ = nullptr;
    std::wstring pending_;
    int wheel_ = 0;
};
