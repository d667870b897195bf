// Colours, fonts, pens, brushes and the canvas that wraps a device context.
#pragma once
#include <windows.h>

#include "core/DisplayTypes.h"
#include "ui/GdiHandles.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The RGB value of a colour, system colours resolved now.
COLORREF ColorToRGB(TColor c);

// Design values are pixels at 96 dpi; the toolkit scales them by the screen's
// dpi, and a window moved to a screen of another dpi scales them again.
int ScreenDpi();
int Scale(int designPixels);
// The dpi of the screen a window is on (the screen's dpi before Windows 10).
int WindowDpi(HWND window);
// A system metric (SM_...) at a dpi: the windows of a program aware of each
// screen's dpi are drawn at their screen's, not the system's.
int SystemMetricAt(int index, int dpi);

// The font of a description, realised once for the whole process and shared
// by every font, canvas and window that asks for it. A program uses a handful
// of fonts, so a realised font lives until the process ends: a window may hold
// it for as long as it likes, and nobody deletes it.
HFONT SharedFont(const LOGFONTA& description);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font given by face and character height in design pixels.
class TFont {
public:
    TFont() = default;
    TFont(std::string name, int height, TColor color = clWindowText, TFontStyles style = 0)
        : name_(std::move(name)), height_(height), color_(color), style_(style) {}
    TFont(const TFont& o)
        : name_(o.name_), height_(o.height_), color_(o.color_), style_(o.style_),
          orientation_(o.orientation_), pixelsPerInch_(o.pixelsPerInch_), handle_(o.handle_) {}
    TFont& operator=(const TFont& o);

    const std::string& Name() const { return name_; }
    int Height() const { return height_; }
    TColor Color() const { return color_; }
    TFontStyles Style() const { return style_; }
    int Orientation() const { return orientation_; }
    // The dpi the design height is scaled to.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetName(const std::string& v);
    void SetHeight(int v);
    void SetColor(TColor v);
    void SetStyle(TFontStyles v);
    void SetOrientation(int tenthsOfDegree);
    void SetPixelsPerInch(int dpi);
    void Assign(const TFont& o) { *this = o; }
    bool operator==(const TFont& o) const {
        return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ &&
               style_ == o.style_ && orientation_ == o.orientation_ &&
               pixelsPerInch_ == o.pixelsPerInch_;
    }

    LOGFONTA Log() const;
    // The shared font of this description (see SharedFont): never deleted.
    HFONT Handle() const;
    std::function<void()> OnChange;

private:
    // The description changed: the handle is looked up again.
    void Changed();
    void Notify();
    std::string name_ = "Tahoma";
    int height_ = 11;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    int orientation_ = 0;
    int pixelsPerInch_ = ScreenDpi();
    mutable HFONT handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// A canvas over a device context it does not own. Pen, brush and font are
// realised when a drawing call needs them, and the DC's originals come back
// when the canvas ends. The font is the shared one of its description: the
// canvas selects it and never deletes it.
class TCanvas {
public:
    explicit TCanvas(HDC dc);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    TPen Pen;
    TBrush Brush;
    TFont Font;

    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void Rectangle(int l, int t, int r, int b);
    void Ellipse(int l, int t, int r, int b);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    int DrawText(const std::string& text, RECT& r, UINT flags);
    SIZE TextExtent(const std::string& text);
    void DrawFocusRect(const RECT& r);
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

    // Realise the current font, pen or brush into the DC.
    void RequireFont();
    void RequirePen();
    void RequireBrush();

private:
    HDC dc_;
    // The objects come before the selections: the DC's originals go back
    // before any object of the canvas is deleted.
    TGdiObject<HPEN> pen_;
    TGdiObject<HBRUSH> brush_;
    std::optional<TSelectObject> fontSelection_, penSelection_, brushSelection_;
    HFONT font_ = nullptr; // selected, shared
    TPen penKey_{};
    bool havePen_ = false;
    TBrush brushKey_{};
    bool haveBrush_ = false;
};
