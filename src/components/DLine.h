// TDLine: a decorative separator, a grey line across the control, paired
// with a white one so that it looks cut into the surface or standing out of it.
#pragma once
#include "core/RailGeometry.h"
#include "ui/Controls.h"

class TDLine : public TGraphicControl {
public:
    explicit TDLine(TComponent* owner);

    TDLineDirection Direction() const { return direction_; }
    void SetDirection(TDLineDirection v);
    TDLineRailStyle RailStyle() const { return railStyle_; }
    void SetRailStyle(TDLineRailStyle v);

    void Paint(TCanvas& canvas) override;

private:
    TDLineDirection direction_ = DLineDefault::Direction;
    TDLineRailStyle railStyle_ = DLineDefault::RailStyle;
};
