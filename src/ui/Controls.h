// Component and control classes of the toolkit.
//
// Event convention: every event is a std::function field named On<Event>
// whose first argument is the sender (TObject*). Form code assigns its handler
// methods to them; no handler ever sees WPARAM or LPARAM. A handler that
// throws is caught where the message entered the program and shown in the
// application error box.
//
// Geometry is in device pixels; forms state their design values at 96 dpi
// through SetDesignBounds and Scale, which scale them by the control's dpi.
// When a window moves to a screen of another dpi, ChangeScale rescales its
// controls' bounds and fonts.
#pragma once
#include "ui/Graphics.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};
using TNotifyEvent = std::function<void(TObject* Sender)>;

// An event handled by a method of a form, any event's arguments passed on:
//   btnOk.OnClick = Bind(this, &TForm1::btnOkClick);
// Methods of one signature share one handler type, so a form with many
// events costs one small function per signature, not one per event.
template <class T, class... A> auto Bind(T* object, void (T::*method)(A...)) {
    return [object, method](A... args) { (object->*method)(std::forward<A>(args)...); };
}

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    TComponent* Owner() const { return owner_; }
    std::string Name;

private:
    TComponent* owner_;
};

enum TCursor { crDefault, crArrow, crHandPoint, crIBeam, crAppStart };
HCURSOR CursorHandle(TCursor c);

class TWinControl;
class TPopupMenu;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The window at the top of the parent chain (the control itself when it
    // has no parent and is windowed), or null.
    TWinControl* TopParent();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetDesignBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    // The dpi the control's bounds and font are in, and a design value at it.
    int PixelsPerInch() const { return ppi_; }
    int Scale(int designPixels) const { return MulDiv(designPixels, ppi_, 96); }
    // Rescales bounds and font from the current dpi to another.
    virtual void ChangeScale(int pixelsPerInch);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& v);

    // The font starts as the parent's, until the control is given its own.
    TFont Font;
    bool ParentFont = true;
    TColor Color() const { return color_; }
    virtual void SetColor(TColor c);
    bool ParentColor = true;

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h);
    TCursor Cursor = crDefault;
    // Opened at the pointer by a right-click on the control.
    TPopupMenu* PopupMenu = nullptr;

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void Click();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseDown(int, int) {}
    virtual void MouseUp(int, int) {}
    virtual void Invalidate();
    virtual bool IsWindowed() const { return false; }

protected:
    virtual void FontChanged();
    virtual void BoundsChanged() {}
    void ScaleFont(int pixelsPerInch);
    TWinControl* parent_ = nullptr;
    int ppi_ = ScreenDpi();
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    std::string hint_;
    TColor color_ = clBtnFace;
    friend class TWinControl;
};

// A control without a window of its own: its parent paints it, clipped to its
// bounds with the origin at its top-left corner, and routes mouse events to it.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    virtual void Paint(TCanvas& canvas) = 0;
    void Repaint();
    // True when the point (in the control's coordinates) belongs to it.
    virtual bool HitTest(int, int) const { return true; }
    bool MouseInControl() const { return mouseInControl_; }
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool mouseInControl_ = false;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    HWND WindowHandle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    static TWinControl* FromHandle(HWND h);

    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop = true;
    void SetFocus();
    bool Focused() const;

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    void SetCaption(const std::string& v) override;
    void Invalidate() override;
    bool IsWindowed() const override { return true; }
    void ChangeScale(int pixelsPerInch) override;

    // The name screen readers give the control when its label is windowless:
    // a hidden static text just before it in z-order (where Windows and Wine
    // look for a label), and the dynamic annotation where the system has it.
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const std::string& name);
    HWND NameLabelHandle() const { return nameLabel_; }

    RECT ClientRect() const;
    // Paints the background and the windowless children into a canvas: the
    // one paint path of WM_PAINT, WM_PRINTCLIENT and off-screen rendering.
    void PaintTo(TCanvas& canvas, const RECT& clip);
    TGraphicControl* ControlAtPos(int x, int y) const;

    // Notifications that the parent hands back to the control they concern.
    virtual bool HandleCommand(WORD) { return false; }
    virtual bool HandleDrawItem(DRAWITEMSTRUCT&) { return false; }
    virtual bool HandleMeasureItem(MEASUREITEMSTRUCT&) { return false; }
    // WM_NOTIFY: true, with its answer in result, when the control took it.
    virtual bool HandleNotify(NMHDR&, LRESULT& /*result*/) { return false; }
    // WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC: the background brush, or null for the system's.
    virtual HBRUSH HandleCtlColor(HDC) { return nullptr; }

    // What a top-level window hears from its descendants; a form keeps the
    // tooltips and the default button.
    virtual void UpdateHint(TControl*) {}
    virtual void DefaultButtonChanged(TWinControl*, bool /*isDefault*/) {}

protected:
    struct TCreateParams {
        const char* className = nullptr; // null: the toolkit's own class
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        int x = 0, y = 0, width = 0, height = 0;
        HWND parent = nullptr;
        HMENU menu = nullptr;
        std::string text;
    };
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateChildren();
    virtual void AfterCreateWnd() {}
    // A form whose window is not yet idle after its first paint makes its
    // descendants' names itself once it is.
    virtual bool DefersUnseenWindows() const { return false; }
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);
    virtual void PaintBackground(TCanvas& canvas, const RECT& clip);
    void FontChanged() override;
    void DestroyHandle();
    void UpdateTooltipRect(TControl* c);
    // Puts the hidden name label back just before the control in z-order.
    void PlaceNameLabel();

    HWND handle_ = nullptr;
    bool subclassed_ = false;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    int ctlId_ = 0;

private:
    static LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    WNDPROC prevProc_ = nullptr;
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void MouseMoveAt(int x, int y);
    void PopupBelow();
    TGraphicControl* hover_ = nullptr;
    TGraphicControl* pressed_ = nullptr;
    bool tracking_ = false;
    std::string accessibleName_;
    HWND nameLabel_ = nullptr;
    friend class TControl;
    friend class TForm;
};
