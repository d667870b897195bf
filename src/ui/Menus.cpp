#include "ui/Menus.h"

#include "ui/Exceptions.h"
#include "ui/GdiHandles.h"

#include <algorithm>
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

void TImageList::LoadOnFirstUse(std::function<void(TImageList&)> load) {
    pending_ = std::move(load);
}

void TImageList::LoadPending() const {
    if (!pending_)
        return;
    // Cleared first: the loader adds images through this very list.
    auto load = std::move(pending_);
    pending_ = nullptr;
    load(const_cast<TImageList&>(*this));
}

HBITMAP TImageList::Bitmap(int index) const {
    return index >= 0 && index < Count() ? images_[static_cast<size_t>(index)].Get() : nullptr;
}

HBITMAP TImageList::GreyedBitmap(int index) const {
    LoadPending();
    return index >= 0 && index < Count() ? greyed_[static_cast<size_t>(index)].Get() : nullptr;
}

void TImageList::AddPixels(const std::vector<std::uint32_t>& argb) {
    if (argb.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_))
        throw Exception("Taille d'image incorrecte pour la liste d'images");
    std::uint32_t* bits = nullptr;
    std::uint32_t* grey = nullptr;
    TGdiObject<HBITMAP> b(CreateTopDownDib(width_, height_, &bits));
    TGdiObject<HBITMAP> g(CreateTopDownDib(width_, height_, &grey));
    for (size_t i = 0; i < argb.size(); ++i) {
        bits[i] = Premultiplied(argb[i]);
        // Its lightness only, lifted towards white, at half its opacity.
        const std::uint32_t p = argb[i];
        const std::uint32_t luma =
            (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
        const std::uint32_t level = 128 + luma / 2;
        grey[i] = Premultiplied((p >> 24) / 2 << 24 | level << 16 | level << 8 | level);
    }
    images_.push_back(std::move(b));
    greyed_.push_back(std::move(g));
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

void TImageList::AddIcon(HICON icon) {
    // Drawn over black and over white: where the two differ, the background
    // shows through, which gives each pixel's opacity whatever kind of icon
    // (alpha channel or mask) the system handed over.
    std::uint32_t* onBlack = nullptr;
    std::uint32_t* onWhite = nullptr;
    TGdiObject<HBITMAP> black(CreateTopDownDib(width_, height_, &onBlack));
    TGdiObject<HBITMAP> white(CreateTopDownDib(width_, height_, &onWhite));
    const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    std::fill(onWhite, onWhite + count, 0x00FFFFFFu);
    for (HBITMAP target : {black.Get(), white.Get()}) {
        TMemoryDC dc(nullptr);
        TSelectObject selected(dc.Get(), target);
        if (!DrawIconEx(dc.Get(), 0, 0, icon, width_, height_, 0, nullptr, DI_NORMAL))
            throw Exception("DrawIconEx: " + SysErrorMessage(GetLastError()));
    }
    GdiFlush();
    std::vector<std::uint32_t> argb(count);
    for (size_t i = 0; i < count; ++i) {
        const std::uint32_t b = onBlack[i] & 0xFFFFFF, w = onWhite[i] & 0xFFFFFF;
        const std::uint32_t alpha = 255 - std::min(255u, ((w >> 8) & 0xFF) - ((b >> 8) & 0xFF));
        auto straight = [alpha](std::uint32_t c) {
            return alpha ? std::min(255u, (c * 255 + alpha / 2) / alpha) : 0u;
        };
        argb[i] = (alpha << 24) | (straight((b >> 16) & 0xFF) << 16) |
                  (straight((b >> 8) & 0xFF) << 8) | straight(b & 0xFF);
    }
    AddPixels(argb);
}

bool TImageList::AddStockIcon(SHSTOCKICONID id) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHGetStockIconInfo(id, SHGSI_ICON | SHGSI_SMALLICON, &info)) || !info.hIcon) {
        // Some systems (Wine 8) describe a stock icon without handing it over;
        // the shield is also one of the system's own icons.
        auto* shared = id == SIID_SHIELD
                           ? static_cast<HICON>(LoadImageA(nullptr, IDI_SHIELD, IMAGE_ICON, width_,
                                                           height_, LR_SHARED))
                           : nullptr;
        if (shared)
            AddIcon(shared);
        return shared != nullptr;
    }
    struct TIconOwner {
        HICON icon;
        ~TIconOwner() { DestroyIcon(icon); }
    } owner{info.hIcon};
    AddIcon(info.hIcon);
    return true;
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
    HWND owner = nullptr;
    for (TComponent* c = Owner(); c && !owner; c = c->Owner())
        if (auto* w = dynamic_cast<TWinControl*>(c))
            owner = w->Handle();
    Popup(x, y, owner);
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
    popupPoint_ = {x, y};
    if (OnPopup)
        OnPopup(this);
    TMenuHandle menu(CreatePopupMenu());
    if (!menu)
        throw Exception("CreatePopupMenu: " + SysErrorMessage(GetLastError()));
    // The images are drawn by the owner (HBMMENU_CALLBACK) over the menu's
    // own background: a bitmap handed to the menu is drawn without its alpha
    // by some systems (Wine among them), on black.
    std::vector<TMenuImage> images(Items.size());
    UINT id = 1;
    for (TMenuItem* item : Items) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_STATE | (item->IsSeparator() ? MIIM_FTYPE : MIIM_STRING);
        mii.fType = MFT_SEPARATOR;
        mii.wID = id++;
        mii.dwTypeData = const_cast<char*>(item->Caption.c_str());
        mii.fState = (item->Enabled ? MFS_ENABLED : MFS_DISABLED) |
                     (item->Checked ? MFS_CHECKED : 0u) | (item->Default ? MFS_DEFAULT : 0u);
        if (Images && Images->Bitmap(item->ImageIndex)) {
            TMenuImage& image = images[mii.wID - 1];
            image = {Images, item->ImageIndex};
            mii.fMask |= MIIM_BITMAP | MIIM_DATA;
            mii.hbmpItem = HBMMENU_CALLBACK;
            mii.dwItemData = reinterpret_cast<ULONG_PTR>(&image);
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

// ------------------------------------------------------ owner-drawn images

namespace {

// A gap between the image and the caption, as the system leaves one.
constexpr int kImageGap = 4;

const TMenuImage* ImageOf(ULONG_PTR data) {
    const auto* image = reinterpret_cast<const TMenuImage*>(data);
    return image && image->list && image->list->Bitmap(image->index) ? image : nullptr;
}

} // namespace

bool MeasureMenuImage(MEASUREITEMSTRUCT& mis) {
    const TMenuImage* image = ImageOf(mis.itemData);
    if (mis.CtlType != ODT_MENU || !image)
        return false;
    mis.itemWidth = static_cast<UINT>(image->list->Width() + kImageGap);
    mis.itemHeight = static_cast<UINT>(image->list->Height());
    return true;
}

bool DrawMenuImage(const DRAWITEMSTRUCT& dis) {
    const TMenuImage* image = ImageOf(dis.itemData);
    if (dis.CtlType != ODT_MENU || !image)
        return false;
    const int w = image->list->Width(), h = image->list->Height();
    const int x = dis.rcItem.left;
    const int y = dis.rcItem.top + (dis.rcItem.bottom - dis.rcItem.top - h) / 2;
    // The system greys a disabled entry's text; its image must follow, or
    // the entry looks as if it could be chosen.
    const bool greyed = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    TMemoryDC source(dis.hDC);
    TSelectObject selected(source.Get(), greyed ? image->list->GreyedBitmap(image->index)
                                                : image->list->Bitmap(image->index));
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // gdi32's own entry: msimg32, which only forwards to it, is no known DLL
    // and would be looked for beside the program first.
    GdiAlphaBlend(dis.hDC, x, y, w, h, source.Get(), 0, 0, w, h, blend);
    return true;
}
