#include "ui/ExtCtrls.h"

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    width_ = 185;
    height_ = 41;
    TabStop = false;
}

void TPanel::PaintBackground(TCanvas& canvas, const RECT& clip) {
    TWinControl::PaintBackground(canvas, clip);
    RECT r = ClientRect();
    canvas.Brush.Style = bsSolid;
    // Each bevel is BevelWidth rings, lit from the top left when raised.
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone)
            return;
        const TColor topLeft = kind == bvRaised ? clBtnHighlight : clBtnShadow;
        const TColor bottomRight = kind == bvRaised ? clBtnShadow : clBtnHighlight;
        for (int i = 0; i < BevelWidth; ++i) {
            canvas.Brush.Color = topLeft;
            canvas.FillRect({r.left, r.top, r.right - 1, r.top + 1});
            canvas.FillRect({r.left, r.top, r.left + 1, r.bottom - 1});
            canvas.Brush.Color = bottomRight;
            canvas.FillRect({r.right - 1, r.top, r.right, r.bottom});
            canvas.FillRect({r.left, r.bottom - 1, r.right, r.bottom});
            InflateRect(&r, -1, -1);
        }
    };
    bevel(BevelOuter);
    bevel(BevelInner);
}
