// Run in a prefix whose screen is at 144 dpi (tools/test.sh starts it), by a
// program that declares the program's own dpi awareness: the main window and
// a dialog come out 1.5 times their design size, fonts included.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "dialogs/UnitAPropos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

int Times15(int v) {
    return static_cast<int>(std::lround(v * 1.5));
}

testing::AssertionResult ScaledRect(HWND parent, HWND child, int l, int t, int w, int h) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == Times15(l) && r.top == Times15(t) && r.right - r.left == Times15(w) &&
        (h < 0 || r.bottom - r.top == Times15(h)))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "(" << r.left << ", " << r.top << ", " << r.right - r.left << ", " << r.bottom - r.top
           << ") for design (" << l << ", " << t << ", " << w << ", " << h << ")";
}

LONG FontHeightOf(HWND h) {
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

class At144Dpi : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ScreenDpi(), 144) << "this program runs in the 144-dpi rig (OSH_RIG_DIR)";
    }
    TRecordingSystem sys_;
};

TEST_F(At144Dpi, MainWindowBoundsAndFontsScaleByOneAndAHalf) {
    std::unique_ptr<TForm1> f(new TForm1(nullptr));
    HWND h = f->Handle();
    EXPECT_EQ(WindowDpi(h), 144);
    EXPECT_EQ(f->PixelsPerInch(), 144);
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, Times15(605));
    // The closed lists' height follows their row height, not the design value.
    EXPECT_TRUE(ScaledRect(h, f->cbbListCPL.Handle(), 17, 103, 503, -1));
    EXPECT_TRUE(ScaledRect(h, f->cbbListSyst.Handle(), 17, 160, 503, -1));
    EXPECT_TRUE(ScaledRect(h, f->edtCmdLine.Handle(), 17, 217, 503, 21));
    EXPECT_TRUE(ScaledRect(h, f->btnExecuter.Handle(), 524, 217, 63, 21));
    EXPECT_EQ(FontHeightOf(f->edtCmdLine.Handle()), -Times15(11));
    EXPECT_EQ(SendMessageA(f->cbbListCPL.Handle(), CB_GETITEMHEIGHT, 0, 0),
              Times15(f->cbbListCPL.ItemHeight));
    RECT bevel = f->Bevel1.BoundsRect();
    EXPECT_EQ(bevel.left, Times15(17));
    EXPECT_EQ(bevel.right - bevel.left, Times15(503));
    RECT info = f->btnInfos.BoundsRect();
    EXPECT_EQ(info.left, Times15(570));
    EXPECT_EQ(info.bottom - info.top, Times15(20));
    EXPECT_EQ(f->lblListCPL.Top(), Times15(87));
    EXPECT_EQ(f->lblListCPL.Font.Log().lfHeight, -Times15(11));
}

TEST_F(At144Dpi, AboutBoxBoundsScaleByOneAndAHalf) {
    std::unique_ptr<TAboutBox> box(Application->CreateForm<TAboutBox>(nullptr));
    RECT client;
    GetClientRect(box->Handle(), &client);
    EXPECT_EQ(client.right, Times15(386));
    EXPECT_EQ(client.bottom, Times15(295));
    EXPECT_TRUE(ScaledRect(box->Handle(), box->Panel.Handle(), 12, 12, 362, 269));
    EXPECT_EQ(box->Panel.Font.Log().lfHeight, -Times15(11));
}

} // namespace
