#include "components/Label3D.h"

#include "ui/System.h"

#include <utility>

namespace {

// The class library's default font: 8 points, that is 11 pixels at 96 dpi.
constexpr int kDefaultFontHeight = 11;

GRect ToGRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const GRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TLabel3D::TLabel3D(TComponent* owner) : TCustomLabel(owner) {
    // The label's own font from the start, so that a parent never replaces it;
    // set quietly so that a new label keeps the base's starting size.
    auto notify = std::exchange(Font.OnChange, nullptr);
    Font = TFont(std::string(Label3DDefault::FontName), kDefaultFontHeight, clWindowText);
    Font.OnChange = std::move(notify);
    ParentFont = false;
}

void TLabel3D::SetBorderColor(TColor v) {
    borderColor_ = v;
    Invalidate();
}

void TLabel3D::SetBorderPenStyle(TPenStyle v) {
    borderPenStyle_ = v;
    Invalidate();
}

void TLabel3D::SetBorderWidth(int v) {
    borderWidth_ = v;
    Invalidate();
}

void TLabel3D::SetBorder(bool v) {
    border_ = v;
    Invalidate();
}

void TLabel3D::SetBorderType(TBorderType v) {
    if (v != borderType_) {
        borderType_ = v;
        Invalidate();
    }
}

void TLabel3D::SetEscapement(int v) {
    escapement_ = NormalizeEscapement(v);
    Invalidate();
}

void TLabel3D::SetTextStyle(TTextStyle v) {
    if (v != textStyle_) {
        textStyle_ = v;
        Invalidate();
    }
}

void TLabel3D::SetLabelStyle(TLabelStyle v) {
    labelStyle_ = v;
}

void TLabel3D::SetEllipsesStyle(TEllipsesStyle v) {
    if (v == ellipsesStyle_)
        return;
    // A caption cut short by an ellipsis must not be measured back to full size.
    if (v != esNone)
        SetAutoSize(false);
    ellipsesStyle_ = v;
    Invalidate();
}

void TLabel3D::SetShift(int v) {
    if (v != shift_) {
        shift_ = v;
        Invalidate();
    }
}

void TLabel3D::Paint(TCanvas& canvas) {
    RECT r{0, 0, width_, height_};
    if (!transparent_) {
        canvas.Brush.Color = color_;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(r);
    }
    canvas.Brush.Style = bsClear;

    const GBorder border = Label3DBorder(border_, borderType_, width_, height_, borderWidth_,
                                         borderColor_, borderPenStyle_);
    if (border.visible) {
        canvas.Pen.Width = border.penWidth;
        canvas.Pen.Style = border.penStyle;
        if (border.outline) {
            canvas.Pen.Color = border.outlineColor;
            canvas.Rectangle(border.rect.left, border.rect.top, border.rect.right,
                             border.rect.bottom);
        }
        for (int i = 0; i < border.lineCount; ++i) {
            const GLine& line = border.lines[static_cast<size_t>(i)];
            canvas.Pen.Color = line.color;
            canvas.MoveTo(line.from.x, line.from.y);
            canvas.LineTo(line.to.x, line.to.y);
        }
    }

    // The caption takes the whole client area; a border may overlap it.
    DoDrawText(canvas, r, LabelPaintFlags(alignment_, wordWrap_));
}

void TLabel3D::DoDrawText(TCanvas& canvas, RECT& r, UINT flags) {
    const std::string text = LabelTextToDraw(caption_, flags, showAccelChar_);
    flags = Label3DTextFlags(flags, showAccelChar_, ellipsesStyle_, escapement_, layout_);
    canvas.Font = Font;
    const GTextPasses passes = Label3DTextPasses(textStyle_, shift_, Font.Color(), enabled_);
    for (int i = 0; i < passes.count; ++i) {
        const GTextPass& pass = passes.pass[static_cast<size_t>(i)];
        canvas.Font.SetColor(pass.color);
        if (pass.mainText) {
            DrawPass(canvas, text, r, flags);
        } else {
            // A copy measures into its own rectangle: a measurement is the main text's.
            RECT moved = ToRect(Moved(ToGRect(r), pass.offset));
            DrawPass(canvas, text, moved, flags);
        }
    }
}

void TLabel3D::DrawPass(TCanvas& canvas, const std::string& text, RECT& r, UINT flags) {
    if (escapement_ == 0) {
        canvas.DrawText(text, r, flags);
        return;
    }
    // A turned caption is never measured: automatic sizing keeps the current size.
    if (flags & DT_CALCRECT)
        return;
    DrawRotated(canvas, text, r);
}

void TLabel3D::DrawRotated(TCanvas& canvas, const std::string& text, const RECT& r) {
    SIZE extent{0, 0};
    {
        TWindowDC screen;
        if (screen.Get()) {
            TSelectObject font(screen.Get(), Font.Handle());
            GetTextExtentPoint32A(screen.Get(), text.data(), static_cast<int>(text.size()),
                                  &extent);
        }
    }
    const GRotatedPlacement place = PlaceRotatedText(
        ToGRect(r), escapement_, {extent.cx, extent.cy}, autoSize_, alignment_, width_);
    if (place.resize) {
        SetWidth(place.size.cx);
        SetHeight(place.size.cy);
    }

    canvas.RequireFont();
    LOGFONTA lf = canvas.Font.Log();
    lf.lfEscapement = LogFontEscapement(escapement_);
    // The canvas keeps its own font selected in its books, so TextOut draws
    // with the turned one in the pass's colour.
    TSelectObject selected(canvas.Handle(), SharedFont(lf));
    canvas.TextOut(place.origin.x, place.origin.y, text);
}

void TLabel3D::Click() {
    const std::string target = LinkTarget(labelStyle_, address_);
    if (!target.empty()) {
        try {
            // The cursor shows at once; pumping messages here could run a
            // queued release of the form that is handling this click.
            SetCursorShape(crAppStart);
            Sys().ShellOpen(nullptr, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
        } catch (...) {
            // An address that cannot be opened is not reported.
        }
        SetCursorShape(crHandPoint);
    }
    TCustomLabel::Click();
}

void TLabel3D::MouseEnter() {
    hovered_ = true;
    if (IsLinkStyle(labelStyle_)) {
        savedFontColor_ = Font.Color();
        Font.SetStyle(Font.Style() | fsUnderline);
        SetCursorShape(crHandPoint);
        // The underlined caption shows before the colour changes. Painted at
        // once, not by pumping messages: a queued leave would then run inside
        // this enter and the hover colour would stay for good.
        Repaint();
        Font.SetColor(HoverColor());
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TLabel3D::MouseLeave() {
    hovered_ = false;
    if (IsLinkStyle(labelStyle_)) {
        SetCursorShape(crDefault);
        Font.SetStyle(Font.Style() & ~static_cast<TFontStyles>(fsUnderline));
        Repaint();
        Font.SetColor(savedFontColor_);
    }
    if (OnMouseExit)
        OnMouseExit(this);
}

void TLabel3D::SetCursorShape(TCursor c) {
    Cursor = c;
    // The parent shows a child's cursor only at the next WM_SETCURSOR.
    if (hovered_)
        SetCursor(CursorHandle(c));
}
