#include "ui/Graphics.h"

#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

// The portable rules speak the system's colour indexes, pen styles and
// DrawTextA flags under their own names.
static_assert(clWindow == (clSystemColor | COLOR_WINDOW) &&
              clWindowText == (clSystemColor | COLOR_WINDOWTEXT) &&
              clBtnFace == (clSystemColor | COLOR_BTNFACE) &&
              clBtnShadow == (clSystemColor | COLOR_BTNSHADOW) &&
              clBtnHighlight == (clSystemColor | COLOR_BTNHIGHLIGHT) &&
              clBtnText == (clSystemColor | COLOR_BTNTEXT) &&
              clGrayText == (clSystemColor | COLOR_GRAYTEXT) &&
              clHighlight == (clSystemColor | COLOR_HIGHLIGHT) &&
              clHighlightText == (clSystemColor | COLOR_HIGHLIGHTTEXT) &&
              clInfoBk == (clSystemColor | COLOR_INFOBK));
static_assert(RGBColor(1, 2, 3) == RGB(1, 2, 3));
static_assert(psSolid == PS_SOLID && psDash == PS_DASH && psDot == PS_DOT &&
              psDashDot == PS_DASHDOT && psDashDotDot == PS_DASHDOTDOT && psClear == PS_NULL &&
              psInsideFrame == PS_INSIDEFRAME);
static_assert(GDT_TOP == DT_TOP && GDT_LEFT == DT_LEFT && GDT_CENTER == DT_CENTER &&
              GDT_RIGHT == DT_RIGHT && GDT_VCENTER == DT_VCENTER && GDT_BOTTOM == DT_BOTTOM);
static_assert(GDT_WORDBREAK == DT_WORDBREAK && GDT_SINGLELINE == DT_SINGLELINE &&
              GDT_EXPANDTABS == DT_EXPANDTABS && GDT_NOCLIP == DT_NOCLIP &&
              GDT_CALCRECT == DT_CALCRECT && GDT_NOPREFIX == DT_NOPREFIX);
static_assert(GDT_PATH_ELLIPSIS == DT_PATH_ELLIPSIS && GDT_END_ELLIPSIS == DT_END_ELLIPSIS &&
              GDT_RTLREADING == DT_RTLREADING && GDT_WORD_ELLIPSIS == DT_WORD_ELLIPSIS);

COLORREF ColorToRGB(TColor c) {
    if (IsSystemColor(c))
        return GetSysColor(SystemColorIndex(c));
    return c & 0x00FFFFFFu;
}

int ScreenDpi() {
    static const int dpi = [] {
        TWindowDC screen;
        int d = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

int Scale(int designPixels) {
    return MulDiv(designPixels, ScreenDpi(), 96);
}

int WindowDpi(HWND window) {
    // Looked up, not imported: Windows 7 and 8 have no per-window dpi.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi ? static_cast<int>(dpi) : ScreenDpi();
}

int SystemMetricAt(int index, int dpi) {
    // Looked up too: Windows before 10 scales every metric by the system's dpi.
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = reinterpret_cast<GetSystemMetricsForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

// Descriptions are compared byte for byte: the structure has no padding.
static_assert(sizeof(LOGFONTA) == 5 * sizeof(LONG) + 8 + LF_FACESIZE);

HFONT SharedFont(const LOGFONTA& description) {
    LOGFONTA key = description;
    // What follows the face name's end is not part of the description.
    const size_t nameLength = strnlen(key.lfFaceName, LF_FACESIZE);
    memset(key.lfFaceName + nameLength, 0, LF_FACESIZE - nameLength);

    static std::mutex lock;
    static std::vector<std::pair<LOGFONTA, HFONT>> fonts;
    std::lock_guard<std::mutex> hold(lock);
    for (const auto& [realised, font] : fonts)
        if (memcmp(&realised, &key, sizeof key) == 0)
            return font;
    HFONT font = CreateFontIndirectA(&key);
    if (font)
        fonts.emplace_back(key, font);
    return font;
}

TFont& TFont::operator=(const TFont& o) {
    if (this != &o) {
        name_ = o.name_;
        height_ = o.height_;
        color_ = o.color_;
        style_ = o.style_;
        orientation_ = o.orientation_;
        pixelsPerInch_ = o.pixelsPerInch_;
        handle_ = o.handle_;
        Notify();
    }
    return *this;
}

void TFont::SetName(const std::string& v) {
    if (v != name_) {
        name_ = v;
        Changed();
    }
}
void TFont::SetHeight(int v) {
    if (v != height_) {
        height_ = v;
        Changed();
    }
}
void TFont::SetColor(TColor v) {
    // The colour is the DC's, not the font's: the handle stays.
    if (v != color_) {
        color_ = v;
        Notify();
    }
}
void TFont::SetStyle(TFontStyles v) {
    if (v != style_) {
        style_ = v;
        Changed();
    }
}
void TFont::SetOrientation(int v) {
    if (v != orientation_) {
        orientation_ = v;
        Changed();
    }
}

void TFont::SetPixelsPerInch(int v) {
    if (v > 0 && v != pixelsPerInch_) {
        pixelsPerInch_ = v;
        Changed();
    }
}

void TFont::Changed() {
    // The old font is not deleted: a window may hold it, and it is shared.
    handle_ = nullptr;
    Notify();
}

void TFont::Notify() {
    if (OnChange)
        OnChange();
}

LOGFONTA TFont::Log() const {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(height_, pixelsPerInch_, 96);
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfEscapement = lf.lfOrientation = orientation_;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle() const {
    if (!handle_)
        handle_ = SharedFont(Log());
    return handle_;
}

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

namespace {
// The first selection remembers the DC's original; later ones only replace.
void Select(HDC dc, std::optional<TSelectObject>& selection, HGDIOBJ object) {
    if (selection)
        SelectObject(dc, object);
    else
        selection.emplace(dc, object);
}
} // namespace

void TCanvas::RequireFont() {
    HFONT f = Font.Handle();
    if (f != font_) {
        Select(dc_, fontSelection_, f);
        font_ = f;
    }
    SetTextColor(dc_, ColorToRGB(Font.Color()));
}

void TCanvas::RequirePen() {
    if (havePen_ && penKey_.Color == Pen.Color && penKey_.Width == Pen.Width &&
        penKey_.Style == Pen.Style)
        return;
    HPEN p = CreatePen(static_cast<int>(Pen.Style), Pen.Width, ColorToRGB(Pen.Color));
    Select(dc_, penSelection_, p);
    pen_.Reset(p);
    penKey_ = Pen;
    havePen_ = true;
}

void TCanvas::RequireBrush() {
    if (haveBrush_ && brushKey_.Color == Brush.Color && brushKey_.Style == Brush.Style) {
        SetBkMode(dc_, Brush.Style == bsClear ? TRANSPARENT : OPAQUE);
        return;
    }
    HBRUSH b = Brush.Style == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                      : CreateSolidBrush(ColorToRGB(Brush.Color));
    Select(dc_, brushSelection_, b);
    brush_.Reset(Brush.Style == bsClear ? nullptr : b);
    brushKey_ = Brush;
    haveBrush_ = true;
    SetBkColor(dc_, ColorToRGB(Brush.Color));
    SetBkMode(dc_, Brush.Style == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::FillRect(const RECT& r) {
    RequireBrush();
    if (Brush.Style != bsClear)
        ::FillRect(dc_, &r, brush_.Get());
}

void TCanvas::FrameRect(const RECT& r) {
    RequireBrush();
    if (Brush.Style != bsClear)
        ::FrameRect(dc_, &r, brush_.Get());
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
    RequirePen();
    RequireBrush();
    ::Rectangle(dc_, l, t, r, b);
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
    RequirePen();
    RequireBrush();
    ::Ellipse(dc_, l, t, r, b);
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    RequirePen();
    ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    RequireFont();
    RequireBrush();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(const std::string& text, RECT& r, UINT flags) {
    RequireFont();
    RequireBrush();
    return ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, flags);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequireFont();
    SIZE s{0, 0};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
    return s;
}

void TCanvas::DrawFocusRect(const RECT& r) {
    // The focus rectangle is drawn by XOR in the text and background colours.
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkColor(dc_, RGB(255, 255, 255));
    ::DrawFocusRect(dc_, &r);
    haveBrush_ = false;
}
