// TLabel3D: a windowless label that draws its caption in relief (raised,
// recessed, lit from two sides or with a drop shadow), may turn it by whole
// degrees, may frame itself, and may act as a web or e-mail link.
#pragma once
#include "core/Label3DGeometry.h"
#include "ui/StdCtrls.h"

#include <string>

class TLabel3D : public TCustomLabel {
public:
    explicit TLabel3D(TComponent* owner);

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor v);
    TPenStyle BorderPenStyle() const { return borderPenStyle_; }
    void SetBorderPenStyle(TPenStyle v);
    // A width below 1 draws no border.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    bool Border() const { return border_; }
    void SetBorder(bool v);
    TBorderType BorderType() const { return borderType_; }
    void SetBorderType(TBorderType v);
    // Degrees, counter-clockwise; stored normalised (0..359 from a negative
    // value, 1..360 from a value above 360).
    int Escapement() const { return escapement_; }
    void SetEscapement(int v);
    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle v);
    TLabelStyle LabelStyle() const { return labelStyle_; }
    void SetLabelStyle(TLabelStyle v);
    const std::string& Address() const { return address_; }
    void SetAddress(const std::string& v) { address_ = v; }
    // Any style but esNone turns AutoSize off.
    TEllipsesStyle EllipsesStyle() const { return ellipsesStyle_; }
    void SetEllipsesStyle(TEllipsesStyle v);
    // Offset of the tsShadow copy on both axes; negative values put it above left.
    int Shift() const { return shift_; }
    void SetShift(int v);

    TColor ShadowColor() const { return Label3DDefault::ShadowColor; }
    TColor HighlightColor() const { return Label3DDefault::HighlightColor; }
    TColor HoverColor() const { return Label3DDefault::HoverColor; }
    // The font colour remembered when the pointer last entered a link.
    TColor SavedFontColor() const { return savedFontColor_; }

    // OnMouseEnter (inherited field) and OnMouseExit fire for every LabelStyle.
    TNotifyEvent OnMouseExit;

    void Paint(TCanvas& canvas) override;
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    void DoDrawText(TCanvas& canvas, RECT& r, UINT flags) override;

private:
    void DrawPass(TCanvas& canvas, const std::string& text, RECT& r, UINT flags);
    void DrawRotated(TCanvas& canvas, const std::string& text, const RECT& r);
    void SetCursorShape(TCursor c);

    TColor borderColor_ = Label3DDefault::BorderColor;
    TPenStyle borderPenStyle_ = Label3DDefault::BorderPenStyle;
    int borderWidth_ = Label3DDefault::BorderWidth;
    bool border_ = Label3DDefault::Border;
    TBorderType borderType_ = Label3DDefault::BorderType;
    int escapement_ = Label3DDefault::Escapement;
    TTextStyle textStyle_ = Label3DDefault::TextStyle;
    TLabelStyle labelStyle_ = Label3DDefault::LabelStyle;
    std::string address_;
    TEllipsesStyle ellipsesStyle_ = Label3DDefault::EllipsesStyle;
    int shift_ = Label3DDefault::Shift;
    TColor savedFontColor_ = Label3DDefault::SavedFontColor;
    bool hovered_ = false;
};
