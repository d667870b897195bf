// The display controls drawn off-screen into a DIB section and read back, and
// their hover and click behaviour observed through the seam.
#include "TestSupport.h"

#include "components/DLine.h"
#include "components/Label3D.h"
#include "components/LabelURL.h"
#include "gallery/EnumNames.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// The parent's colour: neither grey, white, red nor any system colour.
constexpr TColor kBack = RGBColor(40, 120, 60);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kPurple = RGB(128, 0, 128);

// A control on a parent form that is never shown: windowless controls paint
// through PaintTo, the path of WM_PAINT. Labels start with AutoSize off.
template <class T> struct TStaged {
    TForm form{nullptr};
    T control{&form};
    TStaged(int left, int top, int width, int height) {
        form.SetColor(kBack);
        control.SetParent(&form);
        if constexpr (std::is_base_of_v<TCustomLabel, T>)
            control.SetAutoSize(false);
        control.SetBounds(left, top, width, height);
    }
    std::unique_ptr<TDib> Render(int width, int height) {
        auto dib = std::make_unique<TDib>(width, height);
        TCanvas canvas(dib->DC());
        form.PaintTo(canvas, {0, 0, width, height});
        return dib;
    }
};

// Pixels of one exact colour: how many, and their bounding box (inclusive).
struct TInk {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};

TInk Find(const TDib& dib, COLORREF colour, RECT area = {0, 0, 0, 0}) {
    if (IsRectEmpty(&area))
        area = {0, 0, dib.Width(), dib.Height()};
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

// The copy lies (dx, dx) from the text: compared on the side it sticks out.
void ExpectOffset(const TInk& copy, const TInk& text, int dx) {
    ASSERT_GT(copy.count, 0);
    if (dx > 0) {
        EXPECT_NEAR(copy.right, text.right + dx, 1);
        EXPECT_NEAR(copy.bottom, text.bottom + dx, 1);
    } else {
        EXPECT_NEAR(copy.left, text.left + dx, 1);
        EXPECT_NEAR(copy.top, text.top + dx, 1);
    }
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

// A system colour changed for the life of the object: Wine gives the shadow
// and the grey text the same colour.
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
void BigCaption(TCustomLabel& label, const std::string& caption = "HHH") {
    label.Font = TFont("Arial", 21, clPurple, fsBold);
    label.SetCaption(caption);
}

} // namespace

// ------------------------------------------------------------------ TDLine

TEST(DLine, NewLineIsSunkenAcrossTheWholeWidth) {
    TStaged<TDLine> s(10, 10, 200, 50);
    TDLine fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 200);
    EXPECT_EQ(fresh.Height(), 50);
    EXPECT_EQ(fresh.Direction(), drHoriz);
    EXPECT_EQ(fresh.RailStyle(), stSunken);
    auto dib = s.Render(220, 70);
    EXPECT_EQ(Find(*dib, kGrey, {10, 34, 210, 35}).count, 200);
    EXPECT_EQ(Find(*dib, kWhite, {10, 35, 210, 36}).count, 200);
    EXPECT_EQ(Find(*dib, kBack).count, 220 * 70 - 400);
}

TEST(DLine, LinesOfEveryStyleExtentAndDirection) {
    // Pixels across the line from one before the control to one after it:
    // G grey, W white, . the parent.
    struct Case {
        TDLineDirection direction;
        int extent;
        TDLineRailStyle style;
        const char* across;
    };
    const Case cases[] = {
        {drHoriz, 2, stSunken, ".GW."},
        {drHoriz, 2, stRaised, ".G.."},
        {drHoriz, 1, stNone, ".G."},
        {drHoriz, 1, stSunken, ".G."},
        {drHoriz, 1, stSunkenPlus, ".G."},
        {drHoriz, 1, stRaised, ".G."},
        {drHoriz, 1, stRaisedPlus, ".G."},
        {drHoriz, 0, stSunken, ".."},
        {drHoriz, 5, stSunkenPlus, "...G.W."},
        {drHoriz, 5, stRaisedPlus, ".W.G..."},
        {drVert, 3, stRaised, ".WG.."},
        {drVert, 3, stSunken, "..GW."},
        {drVert, 7, stNone, "....G...."},
        {drVert, 7, stSunkenPlus, "....G.W.."},
        {drVert, 7, stRaisedPlus, "..W.G...."},
    };
    for (const Case& c : cases) {
        const bool vert = c.direction == drVert;
        TStaged<TDLine> s(10, 10, vert ? c.extent : 30, vert ? 30 : c.extent);
        s.control.SetDirection(c.direction);
        s.control.SetRailStyle(c.style);
        auto dib = s.Render(50, 50);
        SCOPED_TRACE(std::string(EnumName(c.style)) + (vert ? " vertical " : " horizontal ") +
                     std::to_string(c.extent));
        auto at = [&](int across, int along) {
            return vert ? dib->Pixel(across, along) : dib->Pixel(along, across);
        };
        for (int i = 0; c.across[i]; ++i) {
            const COLORREF want = c.across[i] == 'G' ? kGrey : c.across[i] == 'W' ? kWhite : kBack;
            EXPECT_EQ(at(9 + i, 10), want) << i;
            EXPECT_EQ(at(9 + i, 39), want) << i;
            EXPECT_EQ(at(9 + i, 9), kBack) << i;
            EXPECT_EQ(at(9 + i, 40), kBack) << i;
        }
    }
}

TEST(DLine, SettersRepaintOnlyOnChange) {
    TCounting<TDLine> line(nullptr);
    line.SetRailStyle(stSunken);
    line.SetDirection(drHoriz);
    EXPECT_EQ(line.repaints, 0);
    line.SetRailStyle(stRaisedPlus);
    line.SetDirection(drVert);
    EXPECT_EQ(line.repaints, 2);
    line.SetDirection(drVert);
    line.SetRailStyle(stRaisedPlus);
    EXPECT_EQ(line.repaints, 2);
}

// ---------------------------------------------------------------- TLabel3D

TEST(Label3D, NewLabelDefaults) {
    TForm parent(nullptr);
    parent.Font = TFont("Tahoma", 13);
    TLabel3D label(&parent);
    EXPECT_EQ(label.TextStyle(), tsRaised);
    EXPECT_EQ(label.Shift(), 1);
    EXPECT_EQ(label.BorderWidth(), 1);
    EXPECT_EQ(label.BorderColor(), clRed);
    EXPECT_FALSE(label.Border());
    EXPECT_EQ(label.LabelStyle(), lsDefault);
    EXPECT_EQ(label.SavedFontColor(), 0u);
    EXPECT_TRUE(label.AutoSize());
    EXPECT_EQ(label.Width(), 65);
    EXPECT_EQ(label.Height(), 17);
    EXPECT_FALSE(label.ParentFont);
    EXPECT_EQ(label.Font, TFont("Arial", 11, clWindowText));
    label.SetParent(&parent);
    EXPECT_EQ(label.Font, TFont("Arial", 11, clWindowText)) << "its own font stays";
}

TEST(Label3D, WhichSettersRepaint) {
    TCounting<TLabel3D> label(nullptr);
    auto repaintsOf = [&label](auto&& set) {
        int before = label.repaints;
        set();
        return label.repaints - before;
    };
    // Escapement: normalised, and always repainted.
    EXPECT_EQ(repaintsOf([&] { label.SetEscapement(-30); }), 1);
    EXPECT_EQ(label.Escapement(), 330);
    EXPECT_EQ(repaintsOf([&] { label.SetEscapement(720); }), 1);
    EXPECT_EQ(label.Escapement(), 360);
    EXPECT_EQ(repaintsOf([&] { label.SetEscapement(360); }), 1);
    // Only on a change.
    EXPECT_EQ(repaintsOf([&] { label.SetTextStyle(tsRaised); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetTextStyle(tsShadow); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetShift(1); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetShift(-3); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderType(btDefault); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderType(btRaised); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetEllipsesStyle(esNone); }), 0);
    // Always.
    EXPECT_EQ(repaintsOf([&] { label.SetBorder(false); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderColor(clRed); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderWidth(1); }), 1);
    EXPECT_EQ(repaintsOf([&] { label.SetBorderPenStyle(psSolid); }), 1);
    // Never.
    EXPECT_EQ(repaintsOf([&] { label.SetLabelStyle(lsWWWAddress); }), 0);
    EXPECT_EQ(repaintsOf([&] { label.SetAddress("www.orbitashell.fr"); }), 0);
    EXPECT_EQ(label.Address(), "www.orbitashell.fr");
}

TEST(Label3D, EllipsesTurnAutoSizeOffForGood) {
    TCounting<TLabel3D> label(nullptr);
    label.SetCaption("Un texte assez long pour ne pas tenir");
    const int width = label.Width();
    label.SetEllipsesStyle(esEnd);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_GT(label.repaints, 0);
    label.SetEllipsesStyle(esNone);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_EQ(label.Width(), width);
}

TEST(Label3D, AutoSize) {
    TLabel3D label(nullptr);
    label.SetCaption("Titre");
    const int lineHeight = label.Height();
    ASSERT_GT(lineHeight, 5);
    // An empty caption or a lone accelerator mark is measured as a blank.
    for (const char* caption : {"", "&"}) {
        label.SetCaption(caption);
        EXPECT_EQ(label.Height(), lineHeight) << caption;
        EXPECT_GT(label.Width(), 0) << caption;
    }
    // Only a right-justified label keeps its right edge.
    for (TAlignment alignment : {taLeftJustify, taCenter, taRightJustify}) {
        TLabel3D placed(nullptr);
        placed.SetBounds(100, 10, 65, 17);
        placed.SetAlignment(alignment);
        placed.SetCaption("Orbitashell, un assistant");
        ASSERT_NE(placed.Width(), 65);
        EXPECT_EQ(alignment == taRightJustify ? placed.Left() + placed.Width() : placed.Left(),
                  alignment == taRightJustify ? 165 : 100)
            << EnumName(alignment);
    }
}

TEST(Label3D, ShadowStyleFollowsShift) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int shift : {2, 0, -3}) {
        TStaged<TLabel3D> s(20, 20, 160, 40);
        s.control.SetTransparent(false);
        s.control.SetColor(clWhite);
        BigCaption(s.control);
        s.control.SetTextStyle(tsShadow);
        s.control.SetShift(shift);
        auto dib = s.Render(200, 80);
        SCOPED_TRACE(shift);
        const TInk text = Find(*dib, kPurple);
        ASSERT_GT(text.count, 30);
        EXPECT_GE(text.left, 20);
        EXPECT_GE(text.top, 20);
        if (shift == 0)
            EXPECT_EQ(Find(*dib, shadow).count, 0) << "the shadow hides under the text";
        else
            ExpectOffset(Find(*dib, shadow), text, shift);
        // Opaque: the label's colour fills its area, the parent shows around it.
        EXPECT_EQ(dib->Pixel(21, 59), kWhite);
        EXPECT_EQ(dib->Pixel(19, 30), kBack);
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
        TStaged<TLabel3D> staged(20, 20, 160, 40);
        BigCaption(staged.control);
        staged.control.SetTextStyle(c.style);
        auto dib = staged.Render(200, 80);
        SCOPED_TRACE(std::string(EnumName(c.style)));
        const TInk text = Find(*dib, kPurple);
        ASSERT_GT(text.count, 30);
        for (auto [colour, dx] : {std::pair{shadow, c.shadowDx}, std::pair{light, c.lightDx}}) {
            if (dx == 0)
                EXPECT_EQ(Find(*dib, colour).count, 0);
            else
                ExpectOffset(Find(*dib, colour), text, dx);
        }
    }
}

TEST(Label3D, DisabledGreysTheTextButNotItsShadow) {
    const COLORREF grey = RGB(0, 150, 0);
    TSysColour swap(COLOR_GRAYTEXT, grey);
    TStaged<TLabel3D> s(10, 10, 160, 40);
    BigCaption(s.control);
    s.control.SetEnabled(false);
    auto dib = s.Render(200, 60);
    const TInk text = Find(*dib, grey);
    EXPECT_EQ(Find(*dib, kPurple).count, 0);
    ASSERT_GT(text.count, 30);
    ExpectOffset(Find(*dib, GetSysColor(COLOR_BTNSHADOW)), text, 1);
}

TEST(Label3D, DefaultBorderIsHalfCutOff) {
    TStaged<TLabel3D> s(10, 10, 60, 30);
    s.control.SetBorder(true);
    s.control.SetBorderWidth(3);
    auto dib = s.Render(80, 50);
    // The 3-pixel pen is centred on the outline: two of its rows show inside.
    const COLORREF edge[] = {kBack, kRed, kRed, kBack};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dib->Pixel(9 + i, 25), edge[i]) << "left " << i;
        EXPECT_EQ(dib->Pixel(70 - i, 25), edge[i]) << "right " << i;
        EXPECT_EQ(dib->Pixel(40, 9 + i), edge[i]) << "top " << i;
        EXPECT_EQ(dib->Pixel(40, 40 - i), edge[i]) << "bottom " << i;
    }
    EXPECT_EQ(Find(*dib, kRed).count, 60 * 30 - 56 * 26) << "nothing beyond the control";

    s.control.SetBorderWidth(0);
    EXPECT_EQ(Find(*s.Render(80, 50), kRed).count, 0);
    s.control.SetBorderWidth(1);
    s.control.SetBorder(false);
    EXPECT_EQ(Find(*s.Render(80, 50), kRed).count, 0);
}

TEST(Label3D, BevelsLeaveTwoCornersOpen) {
    for (TBorderType type : {btRecessed, btRaised}) {
        TStaged<TLabel3D> s(10, 10, 60, 30);
        s.control.SetBorder(true);
        s.control.SetBorderType(type);
        auto dib = s.Render(80, 50);
        const COLORREF topLeft = type == btRecessed ? kGrey : kWhite;
        const COLORREF bottomRight = type == btRecessed ? kWhite : kGrey;
        SCOPED_TRACE(std::string(EnumName(type)));
        EXPECT_EQ(dib->Pixel(10, 10), topLeft);
        EXPECT_EQ(dib->Pixel(68, 10), topLeft);
        EXPECT_EQ(dib->Pixel(10, 38), topLeft);
        EXPECT_EQ(dib->Pixel(69, 11), bottomRight);
        EXPECT_EQ(dib->Pixel(69, 39), bottomRight);
        EXPECT_EQ(dib->Pixel(11, 39), bottomRight);
        // Each line stops short of its end point.
        EXPECT_EQ(dib->Pixel(69, 10), kBack);
        EXPECT_EQ(dib->Pixel(10, 39), kBack);
        EXPECT_EQ(Find(*dib, topLeft).count, 59 + 29 - 1);
        EXPECT_EQ(Find(*dib, bottomRight).count, 59 + 29 - 1);
    }
}

TEST(Label3D, LayoutSingleLineOnlyWhenUnturned) {
    auto inkOf = [](TTextLayout layout, int escapement) {
        TStaged<TLabel3D> s(0, 0, 60, 100);
        s.control.SetWordWrap(true);
        s.control.SetTextStyle(tsNone);
        BigCaption(s.control, "HH HH HH");
        s.control.SetLayout(layout);
        s.control.SetEscapement(escapement);
        return Find(*s.Render(70, 100), kPurple);
    };
    // Word wrapping gives several lines at the top...
    const TInk top = inkOf(tlTop, 0);
    EXPECT_LT(top.top, 10);
    EXPECT_GT(top.bottom - top.top, 30);
    // ...but a vertical layout draws one line, cut at the right edge.
    const TInk center = inkOf(tlCenter, 0);
    EXPECT_LT(center.bottom - center.top, 22);
    EXPECT_NEAR((center.top + center.bottom) / 2, 50, 6);
    const TInk bottom = inkOf(tlBottom, 0);
    EXPECT_LT(bottom.bottom - bottom.top, 22);
    EXPECT_GT(bottom.bottom, 90);
    // A full turn is drawn as turned text, which ignores the layout.
    EXPECT_LT(inkOf(tlBottom, 360).top, 10);
}

TEST(Label3D, TurnedCaptionIsRealisedOnce) {
    TStaged<TLabel3D> s(0, 0, 80, 80);
    s.control.SetTextStyle(tsRaised);
    s.control.SetEscapement(90);
    BigCaption(s.control, "HH");
    const TInk first = Find(*s.Render(80, 80), kPurple);
    ASSERT_GT(first.count, 0);
    EXPECT_GT(first.bottom - first.top, first.right - first.left) << "the caption is turned";
    TGdiCounter count;
    for (int i = 0; i < 3; ++i) {
        const TInk again = Find(*s.Render(80, 80), kPurple);
        EXPECT_EQ(again.count, first.count);
    }
    EXPECT_EQ(count.Fonts(), 0);
    EXPECT_EQ(count.Deleted(), count.Created());
}

TEST(Label3D, TurnedCaptionTakesItsBoundingBoxAtPaint) {
    TStaged<TLabel3D> s(30, 30, 0, 0);
    s.control.SetAutoSize(true);
    s.control.SetTextStyle(tsNone);
    BigCaption(s.control, "HHHH");
    SIZE text{};
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, s.control.Font.Handle());
    GetTextExtentPoint32A(screen, "HHHH", 4, &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(s.control.Width(), text.cx);
    s.control.SetEscapement(90);
    s.control.SetCaption("HHHH ");
    s.control.SetCaption("HHHH");
    EXPECT_EQ(s.control.Width(), text.cx) << "measuring a turned caption keeps the size";

    for (int angle : {90, 180, 270, 45}) {
        SCOPED_TRACE(angle);
        s.control.SetEscapement(angle);
        s.Render(200, 200);
        const GSize box = RotatedTextBounds(angle, {text.cx, text.cy});
        EXPECT_EQ(s.control.Width(), box.cx);
        EXPECT_EQ(s.control.Height(), box.cy);
        EXPECT_EQ(s.control.Left(), 30);
        const TInk ink = Find(*s.Render(200, 200), kPurple);
        ASSERT_GT(ink.count, 30);
        EXPECT_GE(ink.left, 29);
        EXPECT_GE(ink.top, 29);
        EXPECT_LE(ink.right, 31 + box.cx);
        EXPECT_LE(ink.bottom, 31 + box.cy);
        if (angle == 90) {
            EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
        }
    }
}

TEST(Label3D, MeasuringDrawsNothing) {
    struct TMeasured : TLabel3D {
        using TLabel3D::DoDrawText;
        using TLabel3D::TLabel3D;
    } label(nullptr);
    BigCaption(label, "HHHH");
    for (int angle : {0, 90}) {
        label.SetEscapement(angle);
        TDib dib(200, 200);
        TCanvas canvas(dib.DC());
        RECT r{0, 0, 65, 17};
        label.DoDrawText(canvas, r, DT_CALCRECT | DT_EXPANDTABS);
        EXPECT_EQ(Find(dib, kPurple).count, 0) << angle;
        // Unturned, the measure comes back; turned, the rectangle stays as it was.
        EXPECT_EQ(r.right == 65 && r.bottom == 17, angle != 0) << angle;
    }
}

TEST(Label3D, TurnedCaptionAlignsWithoutAutoSize) {
    auto inkOf = [](TAlignment alignment) {
        TStaged<TLabel3D> s(0, 0, 200, 120);
        s.control.SetTextStyle(tsNone);
        BigCaption(s.control, "HHHH");
        s.control.SetAlignment(alignment);
        s.control.SetEscapement(90);
        return Find(*s.Render(200, 120), kPurple);
    };
    EXPECT_LT(inkOf(taLeftJustify).left, 10);
    EXPECT_GT(inkOf(taRightJustify).right, 185);
    const TInk centre = inkOf(taCenter);
    EXPECT_NEAR((centre.left + centre.right) / 2, 100, 6);
}

TEST(Label3D, HoverChangesALinkAndFiresEventsForEveryStyle) {
    TLabel3D link(nullptr);
    link.Font.SetColor(clNavy);
    link.SetLabelStyle(lsWWWAddress);
    std::vector<std::string> events;
    link.OnMouseEnter = [&](TObject* s) {
        EXPECT_EQ(s, &link);
        EXPECT_EQ(link.Font.Color(), clRed);
        events.push_back("enter");
    };
    link.OnMouseExit = [&](TObject* s) {
        EXPECT_EQ(s, &link);
        EXPECT_EQ(link.Font.Color(), clNavy);
        events.push_back("exit");
    };
    link.OnMouseLeave = [&](TObject*) { events.push_back("base leave"); };
    link.MouseEnter();
    EXPECT_EQ(link.SavedFontColor(), clNavy);
    EXPECT_EQ(link.Font.Style(), static_cast<TFontStyles>(fsUnderline));
    EXPECT_EQ(link.Cursor, crHandPoint);
    link.MouseLeave();
    EXPECT_EQ(link.Font.Style(), 0u);
    EXPECT_EQ(link.Cursor, crDefault);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));

    TLabel3D plain(nullptr);
    plain.Font.SetStyle(fsBold);
    const TFont before = plain.Font;
    int fired = 0;
    plain.OnMouseEnter = plain.OnMouseExit = [&](TObject*) { ++fired; };
    plain.MouseEnter();
    EXPECT_EQ(plain.Font, before);
    EXPECT_EQ(plain.Cursor, crDefault);
    plain.MouseLeave();
    EXPECT_EQ(plain.Font, before);
    EXPECT_EQ(fired, 2);
}

// A leave already queued when the pointer enters must not run inside the
// enter: the link would keep its hover colour with the pointer gone.
TEST(Label3D, LeaveQueuedDuringEnterLeavesTheNormalColour) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TLabel3D link(&form);
    link.SetParent(&form);
    link.SetBounds(10, 10, 120, 20);
    link.SetCaption("lien");
    link.Font.SetColor(clNavy);
    link.SetLabelStyle(lsWWWAddress);
    form.DoCreate();
    form.Show();
    PumpMessages(20);
    HWND h = form.Handle();
    PostMessageA(h, WM_MOUSELEAVE, 0, 0);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
    EXPECT_EQ(link.Font.Color(), clRed) << "the enter ran to its end first";
    PumpMessages(20);
    EXPECT_FALSE(link.MouseInControl());
    EXPECT_EQ(link.Font.Color(), clNavy);
    EXPECT_EQ(link.Font.Style(), 0u);
    EXPECT_EQ(link.SavedFontColor(), clNavy);
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
        {lsDefault, "https://www.orbitashell.fr/", ""},
    };
    for (const Case& c : cases) {
        TRecordingSystem sys;
        TLabel3D label(nullptr);
        label.SetLabelStyle(c.style);
        label.SetAddress(c.address);
        std::vector<size_t> shellCallsAtClick;
        label.OnClick = [&](TObject*) { shellCallsAtClick.push_back(sys.ShellCalls.size()); };
        label.Click();
        SCOPED_TRACE(std::string(EnumName(c.style)) + " " + c.address);
        if (c.opened.empty()) {
            EXPECT_TRUE(sys.ShellCalls.empty());
            EXPECT_EQ(shellCallsAtClick, std::vector<size_t>{0});
            continue;
        }
        ASSERT_EQ(sys.ShellCalls.size(), 1u);
        EXPECT_EQ(shellCallsAtClick, std::vector<size_t>{1});
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

// --------------------------------------------------------------- TLabelURL

TEST(LabelURL, NewLabelIsAHandWithABlueUnderlinedActiveFont) {
    TLabelURL label(nullptr);
    EXPECT_EQ(label.Cursor, crHandPoint);
    EXPECT_EQ(label.URL, "");
    EXPECT_EQ(label.ActiveFont, TFont("MS Sans Serif", 11, clBlue, fsUnderline));
    EXPECT_EQ(label.SavedFont(), label.Font);
    EXPECT_TRUE(label.ParentFont);
}

TEST(LabelURL, HoverSwapsFontsAndRestoresTheOneSavedAtEnter) {
    TStaged<TLabelURL> s(0, 0, 0, 0);
    TLabelURL& label = s.control;
    label.SetAutoSize(true);
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
    // While the pointer is over it, a change to the font is lost at the leave,
    // and a change to the active font shows at the next enter.
    label.Font.SetStyle(fsStrikeOut);
    label.ActiveFont.SetColor(clRed);
    label.MouseLeave();
    EXPECT_EQ(label.Font, normal);
    EXPECT_EQ(label.Width(), normalWidth);
    label.MouseEnter();
    EXPECT_EQ(label.Font.Color(), clRed);
    label.MouseLeave();
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

// However long its address, a link shows all of it from where it was placed,
// as the About box places the site's: its parent clips none of the text.
TEST(LabelURL, ShowsItsWholeTextFromItsDesignedLeftEdge) {
    TForm form(nullptr);
    TLabelURL label(&form);
    label.SetParent(&form);
    label.Font = TFont("MS Sans Serif", 11, clNavy);
    const std::string text = "Site : http://www.orbitashell.fr/wwwwwwwwww/" + std::string(40, 'm');
    label.SetCaption(text);
    label.SetDesignBounds(108, 54, 0, 0);
    label.AdjustBounds();
    EXPECT_EQ(label.Left(), Scale(108));
    TDib alone(800, 100), painted(800, 100);
    {
        TCanvas canvas(alone.DC());
        canvas.Font = label.Font;
        RECT r{label.Left(), label.Top(), 800, 100};
        canvas.DrawText(text, r, DT_EXPANDTABS);
        TCanvas parent(painted.DC());
        form.PaintTo(parent, {0, 0, 800, 100});
    }
    const TInk whole = Find(alone, RGB(0, 0, 128));
    ASSERT_GT(whole.count, 100);
    EXPECT_EQ(Find(painted, RGB(0, 0, 128)).right, whole.right);
}

TEST(LabelURL, ClickFiresOnClickThenOpensWithTheParentWindow) {
    TRecordingSystem sys;
    TStaged<TLabelURL> s(0, 0, 60, 13);
    s.form.SetBounds(-3000, -3000, 300, 200);
    s.control.URL = "mailto:auteur@orbitashell.fr";
    std::vector<size_t> seen;
    s.control.OnClick = [&](TObject*) { seen.push_back(sys.ShellCalls.size()); };
    s.control.Click();
    EXPECT_EQ(seen, std::vector<size_t>{0});
    ASSERT_EQ(sys.ShellCalls.size(), 1u);
    const TShellCall& call = sys.ShellCalls[0];
    EXPECT_NE(call.owner, nullptr);
    EXPECT_EQ(call.owner, s.form.WindowHandle());
    EXPECT_EQ(call.verb, std::optional<std::string>("Open"));
    EXPECT_EQ(call.file, "mailto:auteur@orbitashell.fr");
    EXPECT_EQ(call.parameters, std::optional<std::string>(""));
    EXPECT_EQ(call.directory, std::optional<std::string>(""));
    EXPECT_EQ(call.show, SW_SHOWNORMAL);

    // Without a parent, only OnClick.
    TLabelURL orphan(nullptr);
    orphan.URL = "https://www.orbitashell.fr/";
    orphan.OnClick = s.control.OnClick;
    orphan.Click();
    EXPECT_EQ(seen, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(sys.ShellCalls.size(), 1u);
}

TEST(LabelURL, DrawsAsAStandardLabel) {
    for (bool enabled : {true, false}) {
        TStaged<TLabelURL> s(10, 10, 130, 35);
        BigCaption(s.control);
        s.control.SetEnabled(enabled);
        auto dib = s.Render(150, 50);
        const TInk text = Find(*dib, kPurple);
        const TInk lit = Find(*dib, GetSysColor(COLOR_BTNHIGHLIGHT));
        if (enabled) {
            EXPECT_GT(text.count, 30);
            EXPECT_EQ(lit.count, 0);
            continue;
        }
        // Embossed: highlight one pixel down and right, shadow in place.
        EXPECT_EQ(text.count, 0);
        const TInk shade = Find(*dib, GetSysColor(COLOR_BTNSHADOW));
        ASSERT_GT(shade.count, 30);
        ExpectOffset(lit, shade, 1);
    }
}
