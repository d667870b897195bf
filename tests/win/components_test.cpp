// The display controls drawn off-screen into a DIB section and read back, and
// their hover and click behaviour observed through the seam.
#include "TestSupport.h"

#include "components/DLine.h"
#include "components/Label3D.h"
#include "components/LabelURL.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// The parent's colour: neither grey, white, red nor any system colour.
constexpr TColor kBack = RGBColor(40, 120, 60);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kPurple = RGB(128, 0, 128);

COLORREF SysRGB(int index) {
    return GetSysColor(index);
}

// A parent form that is never shown: its windowless children paint through
// PaintTo, the same path as WM_PAINT.
struct TStage {
    TForm form{nullptr};
    TStage() { form.SetColor(kBack); }
    void Render(TDib& dib) {
        TCanvas canvas(dib.DC());
        form.PaintTo(canvas, {0, 0, dib.Width(), dib.Height()});
    }
};

// Pixels of one exact colour inside an area: how many, and their bounding box
// (inclusive coordinates).
struct TInk {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};

TInk Find(const TDib& dib, COLORREF colour, RECT area) {
    TInk ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (dib.Pixel(x, y) == colour) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

TInk Find(const TDib& dib, COLORREF colour) {
    return Find(dib, colour, {0, 0, dib.Width(), dib.Height()});
}

// Counts the repaints a setter asks for.
template <class T> struct TCounting : T {
    using T::T;
    int repaints = 0;
    void Invalidate() override {
        ++repaints;
        T::Invalidate();
    }
};

// A system colour changed for the life of the object (Wine gives the shadow
// and the grey text the same colour).
class TSysColour {
public:
    TSysColour(int index, COLORREF colour) : index_(index), old_(GetSysColor(index)) {
        SetSysColors(1, &index_, &colour);
    }
    ~TSysColour() { SetSysColors(1, &index_, &old_); }
    TSysColour(const TSysColour&) = delete;
    TSysColour& operator=(const TSysColour&) = delete;

private:
    int index_;
    COLORREF old_;
};

// A big bold caption with solid stems, whatever face stands in for Arial.
void BigCaption(TCustomLabel& label, const std::string& caption) {
    label.Font = TFont("Arial", 21, clPurple, fsBold);
    label.SetCaption(caption);
}

} // namespace

// ------------------------------------------------------------------ TDLine

TEST(DLine, NewLineIsSunkenAcrossTheWholeWidth) {
    TStage stage;
    TDLine line(&stage.form);
    EXPECT_EQ(line.Width(), 200);
    EXPECT_EQ(line.Height(), 50);
    EXPECT_EQ(line.Direction(), drHoriz);
    EXPECT_EQ(line.RailStyle(), stSunken);
    line.SetParent(&stage.form);
    line.SetBounds(10, 10, 200, 50);
    TDib dib(220, 70);
    stage.Render(dib);

    EXPECT_EQ(Find(dib, kGrey).count, 200);
    EXPECT_EQ(Find(dib, kWhite).count, 200);
    for (int x = 10; x < 210; ++x) {
        ASSERT_EQ(dib.Pixel(x, 10 + 24), kGrey) << x;
        ASSERT_EQ(dib.Pixel(x, 10 + 25), kWhite) << x;
    }
    // The rest shows the parent.
    EXPECT_EQ(dib.Pixel(9, 34), kBack);
    EXPECT_EQ(dib.Pixel(210, 35), kBack);
    EXPECT_EQ(dib.Pixel(100, 33), kBack);
    EXPECT_EQ(dib.Pixel(100, 36), kBack);
}

TEST(DLine, ThinLinesCutTheWhiteLineOff) {
    struct Case {
        int height;
        TDLineRailStyle style;
        std::vector<COLORREF> rows; // from one row above the control to one below
    };
    const Case cases[] = {
        {2, stSunken, {kBack, kGrey, kWhite, kBack}},
        {2, stRaised, {kBack, kGrey, kBack, kBack}},
        {2, stNone, {kBack, kGrey, kBack, kBack}},
        {1, stNone, {kBack, kGrey, kBack}},
        {1, stSunken, {kBack, kGrey, kBack}},
        {1, stSunkenPlus, {kBack, kGrey, kBack}},
        {1, stRaised, {kBack, kGrey, kBack}},
        {1, stRaisedPlus, {kBack, kGrey, kBack}},
        {0, stSunken, {kBack, kBack}},
        {5, stSunkenPlus, {kBack, kBack, kBack, kGrey, kBack, kWhite, kBack}},
        {5, stRaisedPlus, {kBack, kWhite, kBack, kGrey, kBack, kBack, kBack}},
    };
    for (const Case& c : cases) {
        TStage stage;
        TDLine line(&stage.form);
        line.SetParent(&stage.form);
        line.SetBounds(5, 10, 30, c.height);
        line.SetRailStyle(c.style);
        TDib dib(40, 20);
        stage.Render(dib);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            int y = 9 + static_cast<int>(i);
            EXPECT_EQ(dib.Pixel(5, y), c.rows[i])
                << "height " << c.height << " style " << EnumName(c.style) << " row " << y;
            EXPECT_EQ(dib.Pixel(34, y), c.rows[i]);
            EXPECT_EQ(dib.Pixel(4, y), kBack);
            EXPECT_EQ(dib.Pixel(35, y), kBack);
        }
    }
}

TEST(DLine, VerticalLinesRunTopToBottom) {
    struct Case {
        int width;
        TDLineRailStyle style;
        std::vector<COLORREF> columns; // the control's columns, left to right
    };
    const Case cases[] = {
        {3, stRaised, {kWhite, kGrey, kBack}},
        {3, stSunken, {kBack, kGrey, kWhite}},
        {7, stNone, {kBack, kBack, kBack, kGrey, kBack, kBack, kBack}},
        {7, stSunkenPlus, {kBack, kBack, kBack, kGrey, kBack, kWhite, kBack}},
        {7, stRaisedPlus, {kBack, kWhite, kBack, kGrey, kBack, kBack, kBack}},
    };
    for (const Case& c : cases) {
        TStage stage;
        TDLine line(&stage.form);
        line.SetParent(&stage.form);
        line.SetDirection(drVert);
        line.SetRailStyle(c.style);
        line.SetBounds(10, 5, c.width, 50);
        TDib dib(30, 60);
        stage.Render(dib);
        for (size_t i = 0; i < c.columns.size(); ++i) {
            int x = 10 + static_cast<int>(i);
            EXPECT_EQ(dib.Pixel(x, 5), c.columns[i]) << EnumName(c.style) << " column " << i;
            EXPECT_EQ(dib.Pixel(x, 54), c.columns[i]) << EnumName(c.style) << " column " << i;
            EXPECT_EQ(dib.Pixel(x, 4), kBack);
            EXPECT_EQ(dib.Pixel(x, 55), kBack);
        }
    }
}

TEST(DLine, SettersRepaintOnlyOnChange) {
    TCounting<TDLine> line(nullptr);
    line.SetRailStyle(stSunken);
    line.SetDirection(drHoriz);
    EXPECT_EQ(line.repaints, 0);
    line.SetRailStyle(stRaisedPlus);
    EXPECT_EQ(line.repaints, 1);
    line.SetDirection(drVert);
    EXPECT_EQ(line.repaints, 2);
    line.SetDirection(drVert);
    line.SetRailStyle(stRaisedPlus);
    EXPECT_EQ(line.repaints, 2);
}

// ---------------------------------------------------------------- TLabel3D

TEST(Label3D, NewLabelDefaults) {
    TStage stage;
    stage.form.Font = TFont("Tahoma", 13);
    TLabel3D label(&stage.form);
    EXPECT_EQ(label.TextStyle(), tsRaised);
    EXPECT_EQ(label.Shift(), 1);
    EXPECT_EQ(label.BorderWidth(), 1);
    EXPECT_EQ(label.BorderColor(), clRed);
    EXPECT_EQ(label.BorderPenStyle(), psSolid);
    EXPECT_FALSE(label.Border());
    EXPECT_EQ(label.BorderType(), btDefault);
    EXPECT_EQ(label.Escapement(), 0);
    EXPECT_EQ(label.LabelStyle(), lsDefault);
    EXPECT_EQ(label.EllipsesStyle(), esNone);
    EXPECT_EQ(label.Address(), "");
    EXPECT_EQ(label.ShadowColor(), clBtnShadow);
    EXPECT_EQ(label.HighlightColor(), clBtnHighlight);
    EXPECT_EQ(label.HoverColor(), clRed);
    EXPECT_EQ(label.SavedFontColor(), 0u);
    EXPECT_TRUE(label.AutoSize());
    EXPECT_EQ(label.Width(), 65);
    EXPECT_EQ(label.Height(), 17);
    EXPECT_EQ(label.Cursor, crDefault);
    EXPECT_FALSE(label.ParentFont);
    EXPECT_EQ(label.Font, TFont("Arial", 11, clWindowText));
    // Its own font survives being placed on a parent.
    label.SetParent(&stage.form);
    EXPECT_EQ(label.Font.Name(), "Arial");
    EXPECT_EQ(label.Font.Height(), 11);
}

TEST(Label3D, EscapementIsNormalisedAndAlwaysRepaints) {
    TCounting<TLabel3D> label(nullptr);
    const std::pair<int, int> cases[] = {{-30, 330},     {-360, 0},     {720, 360},  {361, 1},
                                         {360, 360},     {0, 0},        {-721, 359}, {45, 45},
                                         {INT_MIN, 232}, {INT_MAX, 127}};
    int repaints = 0;
    for (auto [in, out] : cases) {
        label.SetEscapement(in);
        EXPECT_EQ(label.Escapement(), out) << in;
        EXPECT_EQ(label.repaints, ++repaints) << in;
    }
}

TEST(Label3D, WhichSettersRepaint) {
    TCounting<TLabel3D> label(nullptr);
    auto repaintsOf = [&label](auto&& set) {
        int before = label.repaints;
        set();
        return label.repaints - before;
    };
    // Only on a change.
    EXPECT_EQ(repaintsOf([&] { label.SetTextStyle(tsRaised); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetTextStyle(tsShadow); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetShift(1); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetShift(-3); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderType(btDefault); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderType(btRaised); }), 1);
    // Always.
    EXPECT_EQ(repaintsOf([&] { label.SetBorder(false); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderColor(clRed); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderWidth(1); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderPenStyle(psSolid); }), 1);
    // Never.
    EXPECT_EQ(repaintsOf([&] { label.SetLabelStyle(lsWWWAddress); }), 0);
    EXPECT_EQ(label.LabelStyle(), lsWWWAddress);
    EXPECT_EQ(repaintsOf([&] { label.SetAddress("www.example.org"); }), 0);
    EXPECT_EQ(label.Address(), "www.example.org");
}

TEST(Label3D, EllipsesTurnAutoSizeOffForGood) {
    TCounting<TLabel3D> label(nullptr);
    label.SetCaption("Un texte assez long pour ne pas tenir");
    int width = label.Width();
    label.SetEllipsesStyle(esEnd);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_GT(label.repaints, 0);
    label.SetEllipsesStyle(esNone);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_EQ(label.Width(), width);

    TLabel3D other(nullptr);
    other.SetEllipsesStyle(esNone);
    EXPECT_TRUE(other.AutoSize());
    other.SetEllipsesStyle(esPath);
    EXPECT_FALSE(other.AutoSize());
    EXPECT_EQ(other.EllipsesStyle(), esPath);
}

TEST(Label3D, MeasuringAnEmptyCaptionOrALoneAccelGivesALine) {
    TLabel3D label(nullptr);
    label.SetCaption("Titre");
    const int lineHeight = label.Height();
    ASSERT_GT(lineHeight, 5);
    label.SetCaption("");
    EXPECT_EQ(label.Height(), lineHeight);
    EXPECT_GT(label.Width(), 0);
    label.SetCaption("&");
    EXPECT_EQ(label.Height(), lineHeight);
    EXPECT_GT(label.Width(), 0);
}

TEST(Label3D, AutoSizeKeepsTheRightEdgeOnlyWhenRightJustified) {
    for (TAlignment alignment : {taLeftJustify, taCenter, taRightJustify}) {
        TLabel3D label(nullptr);
        label.SetBounds(100, 10, 65, 17);
        label.SetAlignment(alignment);
        label.SetCaption("Orbitashell, un assistant");
        ASSERT_NE(label.Width(), 65);
        if (alignment == taRightJustify)
            EXPECT_EQ(label.Left() + label.Width(), 165);
        else
            EXPECT_EQ(label.Left(), 100) << EnumName(alignment);
        EXPECT_EQ(label.Top(), 10);
    }
}

TEST(Label3D, ShadowStyleFollowsShift) {
    const COLORREF shadow = SysRGB(COLOR_BTNSHADOW);
    for (int shift : {2, 0, -3}) {
        TStage stage;
        TLabel3D label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetBounds(20, 20, 160, 40);
        label.SetTransparent(false);
        label.SetColor(clWhite);
        BigCaption(label, "HHH");
        label.SetTextStyle(tsShadow);
        label.SetShift(shift);
        TDib dib(200, 80);
        stage.Render(dib);
        const TInk text = Find(dib, kPurple);
        const TInk copy = Find(dib, shadow);
        ASSERT_GT(text.count, 30) << shift;
        // The text itself starts at the label's corner.
        EXPECT_GE(text.left, 20);
        EXPECT_GE(text.top, 20);
        if (shift == 0) {
            EXPECT_EQ(copy.count, 0) << "the shadow hides under the text";
            continue;
        }
        ASSERT_GT(copy.count, 10) << shift;
        if (shift > 0) {
            EXPECT_NEAR(copy.right, text.right + shift, 1);
            EXPECT_NEAR(copy.bottom, text.bottom + shift, 1);
        } else {
            EXPECT_NEAR(copy.left, text.left + shift, 1);
            EXPECT_NEAR(copy.top, text.top + shift, 1);
        }
        // Opaque: the label's colour fills its area, the parent shows around it.
        EXPECT_EQ(dib.Pixel(21, 59), kWhite);
        EXPECT_EQ(dib.Pixel(19, 30), kBack);
    }
}

TEST(Label3D, EachTextStyleDrawsItsCopies) {
    const COLORREF shadow = RGB(0, 0, 160);
    const COLORREF light = RGB(0, 200, 200);
    TSysColour s(COLOR_BTNSHADOW, shadow);
    TSysColour l(COLOR_BTNHIGHLIGHT, light);
    struct Case {
        TTextStyle style;
        int shadowDx, lightDx; // 0: no such copy
    };
    const Case cases[] = {{tsNone, 0, 0},     {tsRaised, 1, 0},         {tsLightRaised, 1, -1},
                          {tsRecessed, 0, 1}, {tsHeavyRecessed, -1, 1}, {tsShadow, 1, 0}};
    for (const Case& c : cases) {
        TStage stage;
        TLabel3D label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetBounds(20, 20, 160, 40);
        BigCaption(label, "HHH");
        label.SetTextStyle(c.style);
        TDib dib(200, 80);
        stage.Render(dib);
        const TInk text = Find(dib, kPurple);
        const TInk dark = Find(dib, shadow);
        const TInk lit = Find(dib, light);
        ASSERT_GT(text.count, 30);
        SCOPED_TRACE(std::string(EnumName(c.style)));
        for (auto [ink, dx] : {std::pair{dark, c.shadowDx}, std::pair{lit, c.lightDx}}) {
            if (dx == 0) {
                EXPECT_EQ(ink.count, 0);
            } else if (dx > 0) {
                ASSERT_GT(ink.count, 0);
                EXPECT_NEAR(ink.right, text.right + 1, 1);
                EXPECT_NEAR(ink.bottom, text.bottom + 1, 1);
            } else {
                ASSERT_GT(ink.count, 0);
                EXPECT_NEAR(ink.left, text.left - 1, 1);
                EXPECT_NEAR(ink.top, text.top - 1, 1);
            }
        }
    }
}

TEST(Label3D, DisabledGreysTheTextButNotItsShadow) {
    const COLORREF grey = RGB(0, 150, 0);
    TSysColour swap(COLOR_GRAYTEXT, grey);
    const COLORREF shadow = SysRGB(COLOR_BTNSHADOW);
    ASSERT_NE(shadow, grey);
    TStage stage;
    TLabel3D label(&stage.form);
    label.SetParent(&stage.form);
    label.SetAutoSize(false);
    label.SetBounds(10, 10, 160, 40);
    BigCaption(label, "HHH");
    label.SetEnabled(false);
    TDib dib(200, 60);
    stage.Render(dib);
    const TInk text = Find(dib, grey);
    const TInk copy = Find(dib, shadow);
    EXPECT_EQ(Find(dib, kPurple).count, 0);
    ASSERT_GT(text.count, 30);
    ASSERT_GT(copy.count, 10);
    EXPECT_NEAR(copy.right, text.right + 1, 1);
    EXPECT_NEAR(copy.bottom, text.bottom + 1, 1);
}

TEST(Label3D, DefaultBorderIsHalfCutOff) {
    TStage stage;
    TLabel3D label(&stage.form);
    label.SetParent(&stage.form);
    label.SetAutoSize(false);
    label.SetBounds(10, 10, 60, 30);
    label.SetBorder(true);
    label.SetBorderWidth(3);
    TDib dib(80, 50);
    stage.Render(dib);
    // The 3-pixel pen is centred on the outline: two columns show inside.
    const COLORREF left[] = {kBack, kRed, kRed, kBack};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dib.Pixel(9 + i, 25), left[i]) << "left " << i;
        EXPECT_EQ(dib.Pixel(70 - i, 25), left[i]) << "right " << i;
        EXPECT_EQ(dib.Pixel(40, 9 + i), left[i]) << "top " << i;
        EXPECT_EQ(dib.Pixel(40, 40 - i), left[i]) << "bottom " << i;
    }
    // Not filled, and nothing beyond the control.
    EXPECT_EQ(dib.Pixel(40, 25), kBack);
    EXPECT_EQ(Find(dib, kRed, {0, 0, 10, 50}).count, 0);
    EXPECT_EQ(Find(dib, kRed, {70, 0, 80, 50}).count, 0);

    label.SetBorderWidth(0);
    TDib none(80, 50);
    stage.Render(none);
    EXPECT_EQ(Find(none, kRed).count, 0);

    label.SetBorderWidth(1);
    label.SetBorderColor(RGBColor(0, 0, 255));
    TDib thin(80, 50);
    stage.Render(thin);
    EXPECT_EQ(thin.Pixel(10, 25), RGB(0, 0, 255));
    EXPECT_EQ(thin.Pixel(69, 25), RGB(0, 0, 255));
    EXPECT_EQ(thin.Pixel(11, 25), kBack);
    EXPECT_EQ(thin.Pixel(68, 25), kBack);
}

TEST(Label3D, BevelsLeaveTwoCornersOpen) {
    for (TBorderType type : {btRecessed, btRaised}) {
        TStage stage;
        TLabel3D label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetBounds(10, 10, 60, 30);
        label.SetBorder(true);
        label.SetBorderType(type);
        TDib dib(80, 50);
        stage.Render(dib);
        const COLORREF topLeft = type == btRecessed ? kGrey : kWhite;
        const COLORREF bottomRight = type == btRecessed ? kWhite : kGrey;
        SCOPED_TRACE(std::string(EnumName(type)));
        EXPECT_EQ(dib.Pixel(10, 10), topLeft);
        EXPECT_EQ(dib.Pixel(68, 10), topLeft);
        EXPECT_EQ(dib.Pixel(10, 38), topLeft);
        EXPECT_EQ(dib.Pixel(69, 11), bottomRight);
        EXPECT_EQ(dib.Pixel(69, 39), bottomRight);
        EXPECT_EQ(dib.Pixel(11, 39), bottomRight);
        // Each line stops short of its end point.
        EXPECT_EQ(dib.Pixel(69, 10), kBack);
        EXPECT_EQ(dib.Pixel(10, 39), kBack);
        EXPECT_EQ(dib.Pixel(11, 11), kBack);
        // Four lines of 59 and 29 pixels; two corners are shared by lines of one colour.
        EXPECT_EQ(Find(dib, topLeft).count + Find(dib, bottomRight).count, 2 * (59 + 29) - 2);
    }
}

TEST(Label3D, LayoutSingleLineOnlyWhenUnturned) {
    auto inkOf = [](TTextLayout layout, int escapement) {
        TStage stage;
        TLabel3D label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetWordWrap(true);
        label.SetBounds(0, 0, 60, 100);
        label.SetTextStyle(tsNone);
        BigCaption(label, "HH HH HH");
        label.SetLayout(layout);
        label.SetEscapement(escapement);
        TDib dib(70, 100);
        stage.Render(dib);
        return Find(dib, kPurple);
    };
    const TInk top = inkOf(tlTop, 0);
    const TInk center = inkOf(tlCenter, 0);
    const TInk bottom = inkOf(tlBottom, 0);
    // Word wrapping gives two lines at the top...
    EXPECT_LT(top.top, 10);
    EXPECT_GT(top.bottom - top.top, 30);
    // ...but a vertical layout draws one line, cut at the right edge.
    EXPECT_LT(center.bottom - center.top, 22);
    EXPECT_NEAR((center.top + center.bottom) / 2, 50, 6);
    EXPECT_LT(bottom.bottom - bottom.top, 22);
    EXPECT_GT(bottom.bottom, 90);
    // Turned by a full circle the caption is placed as rotated text: layout ignored.
    const TInk turned = inkOf(tlBottom, 360);
    EXPECT_LT(turned.top, 10);
}

TEST(Label3D, TurnedCaptionTakesItsBoundingBox) {
    TStage stage;
    TLabel3D label(&stage.form);
    label.SetParent(&stage.form);
    label.SetBounds(30, 30, 0, 0);
    label.SetTextStyle(tsNone);
    BigCaption(label, "HHHH");
    SIZE text{};
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, label.Font.Handle());
        GetTextExtentPoint32A(dc, "HHHH", 4, &text);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    ASSERT_EQ(label.Width(), text.cx);
    label.SetEscapement(90);
    // Measuring keeps the size; the first paint resizes.
    EXPECT_EQ(label.Width(), text.cx);
    TDib first(200, 200);
    stage.Render(first);
    EXPECT_EQ(label.Width(), text.cy);
    EXPECT_EQ(label.Height(), text.cx);
    EXPECT_EQ(label.Left(), 30);

    TDib dib(200, 200);
    stage.Render(dib);
    const TInk ink = Find(dib, kPurple);
    ASSERT_GT(ink.count, 30);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_GE(ink.left, 30);
    EXPECT_GE(ink.top, 30);
    EXPECT_LE(ink.right, 30 + text.cy);
    EXPECT_LE(ink.bottom, 30 + text.cx);

    for (int angle : {180, 270, 45}) {
        label.SetEscapement(angle);
        TDib pass(200, 200);
        stage.Render(pass);
        const GSize box = RotatedTextBounds(angle, {text.cx, text.cy});
        EXPECT_EQ(label.Width(), box.cx) << angle;
        EXPECT_EQ(label.Height(), box.cy) << angle;
        TDib again(200, 200);
        stage.Render(again);
        const TInk turned = Find(again, kPurple);
        ASSERT_GT(turned.count, 30) << angle;
        EXPECT_GE(turned.left, 29) << angle;
        EXPECT_GE(turned.top, 29) << angle;
        EXPECT_LE(turned.right, 31 + box.cx) << angle;
        EXPECT_LE(turned.bottom, 31 + box.cy) << angle;
    }
}

TEST(Label3D, TurnedCaptionAlignsWithoutAutoSize) {
    auto inkOf = [](TAlignment alignment) {
        TStage stage;
        TLabel3D label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetBounds(0, 0, 200, 120);
        label.SetTextStyle(tsNone);
        BigCaption(label, "HHHH");
        label.SetAlignment(alignment);
        label.SetEscapement(90);
        TDib dib(200, 120);
        stage.Render(dib);
        EXPECT_EQ(label.Width(), 200);
        return Find(dib, kPurple);
    };
    const TInk left = inkOf(taLeftJustify);
    const TInk right = inkOf(taRightJustify);
    const TInk centre = inkOf(taCenter);
    EXPECT_LT(left.left, 10);
    EXPECT_GT(right.right, 185);
    EXPECT_NEAR((centre.left + centre.right) / 2, 100, 6);
}

TEST(Label3D, LinkHoverUnderlinesAndColours) {
    TRecordingSystem sys;
    TLabel3D label(nullptr);
    label.Font.SetColor(clNavy);
    label.SetLabelStyle(lsWWWAddress);
    std::vector<std::string> events;
    label.OnMouseEnter = [&](TObject* s) {
        EXPECT_EQ(s, &label);
        EXPECT_EQ(label.Font.Color(), clRed);
        events.push_back("enter");
    };
    label.OnMouseExit = [&](TObject* s) {
        EXPECT_EQ(s, &label);
        EXPECT_EQ(label.Font.Color(), clNavy);
        events.push_back("exit");
    };
    label.OnMouseLeave = [&](TObject*) { events.push_back("base leave"); };

    label.MouseEnter();
    EXPECT_EQ(label.SavedFontColor(), clNavy);
    EXPECT_EQ(label.Font.Style(), static_cast<TFontStyles>(fsUnderline));
    EXPECT_EQ(label.Cursor, crHandPoint);
    label.MouseLeave();
    EXPECT_EQ(label.Font.Style(), 0u);
    EXPECT_EQ(label.Cursor, crDefault);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));
}

TEST(Label3D, PlainLabelHoverOnlyFiresEvents) {
    TLabel3D label(nullptr);
    label.Font.SetStyle(fsBold);
    const TFont before = label.Font;
    int enters = 0, exits = 0;
    label.OnMouseEnter = [&](TObject*) { ++enters; };
    label.OnMouseExit = [&](TObject*) { ++exits; };
    label.MouseEnter();
    EXPECT_EQ(label.Font, before);
    EXPECT_EQ(label.Cursor, crDefault);
    label.MouseLeave();
    EXPECT_EQ(label.Font, before);
    EXPECT_EQ(label.SavedFontColor(), 0u);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
}

TEST(Label3D, ClickOpensTheLinkThenFiresOnClick) {
    struct Case {
        TLabelStyle style;
        std::string address;
        std::string opened; // empty: nothing opened
    };
    const Case cases[] = {
        {lsEMailAddress, "auteur@orbitashell.fr", "mailto:auteur@orbitashell.fr"},
        {lsWWWAddress, "https://www.orbitashell.fr/", "https://www.orbitashell.fr/"},
        {lsWWWAddress, "", ""},
        {lsEMailAddress, "", ""},
        {lsDefault, "https://www.orbitashell.fr/", ""},
    };
    for (const Case& c : cases) {
        TRecordingSystem sys;
        TLabel3D label(nullptr);
        label.SetLabelStyle(c.style);
        label.SetAddress(c.address);
        size_t shellCallsAtClick = 99;
        label.OnClick = [&](TObject* s) {
            EXPECT_EQ(s, &label);
            shellCallsAtClick = sys.ShellCalls.size();
        };
        label.Click();
        SCOPED_TRACE(std::string(EnumName(c.style)) + " " + c.address);
        if (c.opened.empty()) {
            EXPECT_TRUE(sys.ShellCalls.empty());
            EXPECT_EQ(shellCallsAtClick, 0u);
            EXPECT_EQ(label.Cursor, crDefault);
            continue;
        }
        ASSERT_EQ(sys.ShellCalls.size(), 1u);
        EXPECT_EQ(shellCallsAtClick, 1u);
        const TShellCall& call = sys.ShellCalls[0];
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.verb.has_value());
        EXPECT_EQ(call.file, c.opened);
        EXPECT_FALSE(call.parameters.has_value());
        EXPECT_FALSE(call.directory.has_value());
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        EXPECT_EQ(label.Cursor, crHandPoint);
    }
}

TEST(Label3D, FailingShellIsSilent) {
    struct TFailingSystem : TRecordingSystem {
        void ShellOpen(HWND, const char*, const std::string&, const char*, const char*,
                       int) override {
            throw Exception("pas de navigateur");
        }
    } sys;
    TLabel3D label(nullptr);
    label.SetLabelStyle(lsWWWAddress);
    label.SetAddress("www.orbitashell.fr");
    int clicks = 0;
    label.OnClick = [&](TObject*) { ++clicks; };
    EXPECT_NO_THROW(label.Click());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(label.Cursor, crHandPoint);
}

TEST(Label3D, ClickArrivesThroughTheParentWindow) {
    TRecordingSystem sys;
    TStage stage;
    stage.form.SetBounds(-3000, -3000, 300, 200);
    TLabel3D label(&stage.form);
    label.SetParent(&stage.form);
    label.SetAutoSize(false);
    label.SetBounds(20, 30, 100, 20);
    label.SetLabelStyle(lsEMailAddress);
    label.SetAddress("auteur@orbitashell.fr");
    std::vector<size_t> seen;
    label.OnClick = [&](TObject*) { seen.push_back(sys.ShellCalls.size()); };
    HWND h = stage.form.Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 40));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(50, 40));
    ASSERT_EQ(sys.ShellCalls.size(), 1u);
    EXPECT_EQ(sys.ShellCalls[0].file, "mailto:auteur@orbitashell.fr");
    EXPECT_EQ(seen, std::vector<size_t>{1});
}

// --------------------------------------------------------------- TLabelURL

TEST(LabelURL, NewLabelIsAHandWithABlueUnderlinedActiveFont) {
    TLabelURL label(nullptr);
    EXPECT_EQ(label.Cursor, crHandPoint);
    EXPECT_EQ(label.URL, "");
    EXPECT_EQ(label.ActiveFont.Color(), clBlue);
    EXPECT_EQ(label.ActiveFont.Style(), static_cast<TFontStyles>(fsUnderline));
    EXPECT_EQ(label.ActiveFont.Height(), 11);
    EXPECT_EQ(label.SavedFont(), label.Font);
    EXPECT_TRUE(label.AutoSize());
    EXPECT_TRUE(label.ParentFont);
}

TEST(LabelURL, HoverSwapsFontsAndRestoresTheOneSavedAtEnter) {
    TStage stage;
    TLabelURL label(&stage.form);
    label.SetParent(&stage.form);
    label.SetCaption("www.orbitashell.fr");
    const TFont normal("MS Sans Serif", 11, clNavy);
    label.Font = normal;
    label.ActiveFont = TFont("MS Sans Serif", 17, clBlue, fsUnderline | fsItalic);
    const int normalWidth = label.Width();
    std::vector<std::string> events;
    label.OnMouseEnter = [&](TObject*) {
        EXPECT_EQ(label.Font, label.ActiveFont);
        events.push_back("enter");
    };
    label.OnMouseLeave = [&](TObject*) {
        EXPECT_EQ(label.Font, normal);
        events.push_back("leave");
    };

    label.MouseEnter();
    EXPECT_EQ(label.SavedFont(), normal);
    EXPECT_GT(label.Width(), normalWidth) << "resized to the active font";
    // Changes made while the pointer is over it: the font's is lost, the
    // active font's shows at the next enter.
    label.Font.SetStyle(fsStrikeOut);
    label.ActiveFont.SetColor(clRed);
    EXPECT_EQ(label.Font.Color(), clBlue);
    label.MouseLeave();
    EXPECT_EQ(label.Font, normal);
    EXPECT_EQ(label.Width(), normalWidth);
    label.MouseEnter();
    EXPECT_EQ(label.Font.Color(), clRed);
    label.MouseLeave();
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));

    // Assigning ActiveFont copies: the caller's object stays its own.
    TFont mine("Verdana", 12, clGreen);
    label.ActiveFont = mine;
    mine.SetColor(clYellow);
    EXPECT_EQ(label.ActiveFont.Color(), clGreen);
}

TEST(LabelURL, ClickFiresOnClickThenOpensWithTheParentWindow) {
    TRecordingSystem sys;
    TStage stage;
    stage.form.SetBounds(-3000, -3000, 300, 200);
    TLabelURL label(&stage.form);
    label.SetParent(&stage.form);
    label.URL = "mailto:auteur@orbitashell.fr";
    std::vector<size_t> seen;
    label.OnClick = [&](TObject* s) {
        EXPECT_EQ(s, &label);
        seen.push_back(sys.ShellCalls.size());
    };
    label.Click();
    EXPECT_EQ(seen, std::vector<size_t>{0});
    ASSERT_EQ(sys.ShellCalls.size(), 1u);
    const TShellCall& call = sys.ShellCalls[0];
    EXPECT_EQ(call.owner, stage.form.WindowHandle());
    EXPECT_NE(call.owner, nullptr);
    EXPECT_EQ(call.verb, std::optional<std::string>("Open"));
    EXPECT_EQ(call.file, "mailto:auteur@orbitashell.fr");
    EXPECT_EQ(call.parameters, std::optional<std::string>(""));
    EXPECT_EQ(call.directory, std::optional<std::string>(""));
    EXPECT_EQ(call.show, SW_SHOWNORMAL);

    // An empty address goes to the shell like any other.
    label.URL.clear();
    label.Click();
    ASSERT_EQ(sys.ShellCalls.size(), 2u);
    EXPECT_EQ(sys.ShellCalls[1].file, "");
}

TEST(LabelURL, WithoutParentOnlyOnClick) {
    TRecordingSystem sys;
    TLabelURL label(nullptr);
    label.URL = "https://www.orbitashell.fr/";
    int clicks = 0;
    label.OnClick = [&](TObject*) { ++clicks; };
    label.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(sys.ShellCalls.empty());
}

TEST(LabelURL, DrawsAsAStandardLabel) {
    const COLORREF light = SysRGB(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = SysRGB(COLOR_BTNSHADOW);
    for (bool enabled : {true, false}) {
        TStage stage;
        TLabelURL label(&stage.form);
        label.SetParent(&stage.form);
        label.SetAutoSize(false);
        label.SetBounds(10, 10, 130, 35);
        BigCaption(label, "HHH");
        label.SetEnabled(enabled);
        TDib dib(150, 50);
        stage.Render(dib);
        const TInk text = Find(dib, kPurple);
        const TInk lit = Find(dib, light);
        const TInk shade = Find(dib, dark);
        if (enabled) {
            EXPECT_GT(text.count, 30);
            EXPECT_EQ(lit.count, 0);
            EXPECT_GE(text.left, 10);
            EXPECT_GE(text.top, 10);
            continue;
        }
        EXPECT_EQ(text.count, 0);
        ASSERT_GT(shade.count, 30);
        ASSERT_GT(lit.count, 10);
        EXPECT_NEAR(lit.right, shade.right + 1, 1);
        EXPECT_NEAR(lit.bottom, shade.bottom + 1, 1);
    }
}
