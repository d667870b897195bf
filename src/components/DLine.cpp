#include "components/DLine.h"

TDLine::TDLine(TComponent* owner) : TGraphicControl(owner) {
    width_ = DLineDefault::Width;
    height_ = DLineDefault::Height;
}

void TDLine::SetDirection(TDLineDirection v) {
    if (v != direction_) {
        direction_ = v;
        Invalidate();
    }
}

void TDLine::SetRailStyle(TDLineRailStyle v) {
    if (v != railStyle_) {
        railStyle_ = v;
        Invalidate();
    }
}

void TDLine::Paint(TCanvas& canvas) {
    const GRail rail = RailLines(width_, height_, direction_, railStyle_);
    auto draw = [&canvas](const GLine& line) {
        canvas.Pen.Color = line.color;
        canvas.MoveTo(line.from.x, line.from.y);
        canvas.LineTo(line.to.x, line.to.y);
    };
    // Grey first: where the two could meet, the white one lies on top.
    draw(rail.grey);
    if (rail.hasWhite)
        draw(rail.white);
}
