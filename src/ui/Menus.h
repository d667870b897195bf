// Popup menus with images, and the image list that holds their images.
#pragma once
#include "ui/Controls.h"

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Images of one size kept as 32-bit top-down DIB sections with premultiplied
// alpha: the form in which menu items draw a bitmap with its transparency
// and keep the system's look around it.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const {
        LoadPending();
        return static_cast<int>(images_.size());
    }
    // Owned by the list; null for an index out of range.
    HBITMAP Bitmap(int index) const;
    // The same image faded to grey, as a disabled entry shows it.
    HBITMAP GreyedBitmap(int index) const;
    // Adds the images of a 32-bit DIB section with an alpha channel, laid side
    // by side (its width a multiple of the list's); an Exception for any other
    // bitmap. The caller keeps the strip.
    void AddStrip(HBITMAP strip);
    // The same from a bitmap resource of the program; false, and nothing
    // added, when it has none such.
    bool LoadStrip(const char* resourceName);
    // Adds one image from straight (not premultiplied) RGBA pixels, top row first.
    void AddPixels(const std::vector<std::uint32_t>& argb);
    // Adds an icon drawn at the list's size, its transparency kept.
    void AddIcon(HICON icon);
    // The same from one of the system's stock icons, in its small size; false,
    // and nothing added, when the system has none such.
    bool AddStockIcon(SHSTOCKICONID id);
    // Images not needed at start-up: load runs once, at the first Count or Bitmap.
    void LoadOnFirstUse(std::function<void(TImageList&)> load);

private:
    void LoadPending() const;
    mutable std::function<void(TImageList&)> pending_;
    int width_, height_;
    std::vector<TGdiObject<HBITMAP>> images_;
    std::vector<TGdiObject<HBITMAP>> greyed_;
};

// What an owner-drawn menu image refers to while its menu is shown.
struct TMenuImage {
    const TImageList* list = nullptr;
    int index = -1;
};
// WM_MEASUREITEM and WM_DRAWITEM of a menu image; false when the item is not one.
bool MeasureMenuImage(MEASUREITEMSTRUCT& mis);
bool DrawMenuImage(const DRAWITEMSTRUCT& dis);

class TMenuItem : public TComponent {
public:
    using TComponent::TComponent;
    // "-" makes the entry a separator line.
    std::string Caption;
    int ImageIndex = -1;
    bool Enabled = true;
    bool Checked = false;
    // Shown in bold: what a double-click on the menu's owner does.
    bool Default = false;
    TNotifyEvent OnClick;
    void Click();
    bool IsSeparator() const { return Caption == "-"; }
};

class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    TImageList* Images = nullptr;
    // The entries in their order; the form owns them.
    std::vector<TMenuItem*> Items;
    // Raised as the menu opens and, with the chosen entry's OnClick, once it has closed.
    TNotifyEvent OnPopup;
    // Shows the menu with its top-left corner at (x, y), in screen
    // coordinates; the system moves it back onto the screen where it would
    // leave it. Returns once the menu has closed and the chosen entry has run.
    void Popup(int x, int y);
    // The same for a menu whose owner is no control (a notification icon's window).
    void Popup(int x, int y, HWND owner);
    // Where the last Popup was asked to put the menu.
    POINT PopupPoint() const { return popupPoint_; }

private:
    POINT popupPoint_{0, 0};
};
