// Owners of device contexts, their saved states, selections and GDI objects:
// each gives back what it holds on every path, a throwing paint included.
#pragma once
#include <windows.h>

#include <utility>

// GetDC of a window (null: the screen), released at the end.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and its EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~TPaintDC() { EndPaint(window_, &ps_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A memory DC compatible with another, deleted at the end.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~TMemoryDC() {
        if (dc_)
            DeleteDC(dc_);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// SaveDC, and RestoreDC at the end: clipping, origins and selections come back.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedDC() {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// An object selected into a DC; the one it replaced is selected back at the end.
class TSelectObject {
public:
    // HGDI_ERROR, spelt without the macro's sign-changing constant.
    static HGDIOBJ SelectFailed() { return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)); }

    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelectObject() {
        if (previous_ && previous_ != SelectFailed())
            SelectObject(dc_, previous_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A font, pen, brush or bitmap, deleted at the end. It must not be selected
// into a DC by then: release the selection first.
template <class T> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(T object) : object_(object) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& o) noexcept : object_(std::exchange(o.object_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.object_, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    T Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset(T object = nullptr) {
        if (object_ && object_ != object)
            DeleteObject(object_);
        object_ = object;
    }

private:
    T object_ = nullptr;
};
