#include "ui/Menus.h"

#include "ui/Exceptions.h"

#include <memory>
#include <type_traits>
#include <utility>

namespace {

HBITMAP CreateTopDownDib(int width, int height, std::uint32_t** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!b)
        throw Exception("CreateDIBSection: " + SysErrorMessage(GetLastError()));
    *bits = static_cast<std::uint32_t*>(p);
    return b;
}

std::uint32_t Premultiplied(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
           channel(argb & 0xFF);
}

struct TMenuDeleter {
    void operator()(HMENU m) const { DestroyMenu(m); }
};
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

} // namespace

// -------------------------------------------------------------- TImageList

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {}

TImageList::~TImageList() = default;

HBITMAP TImageList::Bitmap(int index) const {
    return index >= 0 && index < Count() ? images_[static_cast<size_t>(index)].Get() : nullptr;
}

void TImageList::AddPixels(const std::vector<std::uint32_t>& argb) {
    if (argb.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_))
        throw Exception("Taille d'image incorrecte pour la liste d'images");
    std::uint32_t* bits = nullptr;
    TGdiObject<HBITMAP> b(CreateTopDownDib(width_, height_, &bits));
    for (size_t i = 0; i < argb.size(); ++i)
        bits[i] = Premultiplied(argb[i]);
    images_.push_back(std::move(b));
}

void TImageList::AddStrip(HBITMAP strip) {
    DIBSECTION ds{};
    const bool usable = strip && GetObjectA(strip, sizeof ds, &ds) == sizeof ds &&
                        ds.dsBm.bmBitsPixel == 32 && ds.dsBm.bmBits &&
                        ds.dsBm.bmHeight == height_ && ds.dsBm.bmWidth % width_ == 0;
    if (!usable)
        throw Exception("Image inutilisable pour la liste d'images");
    const auto* src = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    const bool bottomUp = ds.dsBmih.biHeight > 0;
    const int stride = ds.dsBm.bmWidthBytes / 4;
    for (int first = 0; first < ds.dsBm.bmWidth; first += width_) {
        std::vector<std::uint32_t> pixels;
        pixels.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_));
        for (int y = 0; y < height_; ++y) {
            const int row = bottomUp ? height_ - 1 - y : y;
            for (int x = 0; x < width_; ++x)
                pixels.push_back(src[row * stride + first + x]);
        }
        AddPixels(pixels);
    }
}

bool TImageList::LoadStrip(const char* resourceName) {
    auto* strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), resourceName,
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip)
        return false;
    const TGdiObject<HBITMAP> owned(strip);
    try {
        AddStrip(strip);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

// --------------------------------------------------------------- TMenuItem

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

// -------------------------------------------------------------- TPopupMenu

void TPopupMenu::Popup(int x, int y) {
    popupPoint_ = {x, y};
    if (OnPopup)
        OnPopup(this);
    HWND owner = nullptr;
    for (TComponent* c = Owner(); c && !owner; c = c->Owner())
        if (auto* w = dynamic_cast<TWinControl*>(c))
            owner = w->Handle();
    TMenuHandle menu(CreatePopupMenu());
    if (!menu)
        throw Exception("CreatePopupMenu: " + SysErrorMessage(GetLastError()));
    UINT id = 1;
    for (TMenuItem* item : Items) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
        mii.wID = id++;
        mii.dwTypeData = const_cast<char*>(item->Caption.c_str());
        mii.fState = item->Enabled ? MFS_ENABLED : MFS_DISABLED;
        if (Images) {
            if (HBITMAP image = Images->Bitmap(item->ImageIndex)) {
                mii.fMask |= MIIM_BITMAP;
                mii.hbmpItem = image;
            }
        }
        InsertMenuItemA(menu.get(), mii.wID, FALSE, &mii);
    }
    // The chosen entry runs after the menu has gone, so that a dialog it
    // opens is not stacked over the menu's own modal loop.
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       x, y, 0, owner, nullptr));
    if (chosen >= 1 && chosen <= Items.size())
        Items[chosen - 1]->Click();
}
