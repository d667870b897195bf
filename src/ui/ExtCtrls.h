// The panel: a windowed container painted in its colour inside its bevels.
#pragma once
#include "ui/Controls.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    // The outer bevel lies on the panel's edge, the inner one just inside it.
    TPanelBevel BevelOuter = bvRaised;
    TPanelBevel BevelInner = bvNone;
    int BevelWidth = 1;

protected:
    void PaintBackground(TCanvas& canvas, const RECT& clip) override;
};
