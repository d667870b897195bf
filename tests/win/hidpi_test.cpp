// A window moved to a screen of another dpi: WM_DPICHANGED as the system sends
// it, to the main window, a dialog and the capture viewer.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "dialogs/UnitAPropos.h"
#include "viewer/UnitViewer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TShape {
    TControl* control;
    RECT bounds;
    RECT window; // where the system has a windowed control, else empty
    int fontHeight;
};

RECT WindowIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<TShape> ShapesOf(TForm& form) {
    std::vector<TShape> shapes;
    for (TControl* c : form.Controls()) {
        TShape s{c, c->BoundsRect(), {}, -MulDiv(c->Font.Height(), c->PixelsPerInch(), 96)};
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->WindowHandle())
            s.window = WindowIn(form.Handle(), w->WindowHandle());
        shapes.push_back(s);
    }
    return shapes;
}

bool AutoSized(TControl* c) {
    auto* l = dynamic_cast<TCustomLabel*>(c);
    return l && l->AutoSize();
}

// A closed list is as tall as the system makes its selection field.
bool SystemHeight(TControl* c) {
    return dynamic_cast<TComboBox*>(c) != nullptr;
}

// Sends the system's message with a rectangle the window's size times the ratio.
RECT ChangeDpi(TForm& form, int dpi) {
    RECT r;
    GetWindowRect(form.Handle(), &r);
    const int old = form.PixelsPerInch();
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, old),
                   r.top + MulDiv(r.bottom - r.top, dpi, old)};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

// Every control's bounds and font follow the ratio; an auto-sized label keeps
// its place and sizes itself to its scaled font.
void ExpectScaled(TForm& form, const std::vector<TShape>& before, int from, int to) {
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    for (const TShape& s : before) {
        SCOPED_TRACE(s.control->Caption() + " " + s.control->Name);
        EXPECT_EQ(s.control->PixelsPerInch(), to);
        RECT now = s.control->BoundsRect();
        auto scaled = [&](LONG v) { return MulDiv(v, to, from); };
        EXPECT_NEAR(now.left, scaled(s.bounds.left), 1);
        EXPECT_NEAR(now.top, scaled(s.bounds.top), 1);
        if (!AutoSized(s.control)) {
            EXPECT_NEAR(now.right, scaled(s.bounds.right), 2);
            if (!SystemHeight(s.control)) {
                EXPECT_NEAR(now.bottom, scaled(s.bounds.bottom), 2);
            }
        } else if (!s.control->Caption().empty()) {
            EXPECT_EQ(now.right - now.left > s.bounds.right - s.bounds.left, to > from);
        }
        EXPECT_EQ(-MulDiv(s.control->Font.Height(), to, 96), s.control->Font.Log().lfHeight);
        if (auto* w = dynamic_cast<TWinControl*>(s.control); w && w->WindowHandle()) {
            RECT win = WindowIn(form.Handle(), w->WindowHandle());
            EXPECT_EQ(win.left, now.left);
            EXPECT_EQ(win.top, now.top);
            EXPECT_EQ(win.right - win.left, now.right - now.left);
            LOGFONTA lf{};
            auto font = reinterpret_cast<HFONT>(SendMessageA(w->WindowHandle(), WM_GETFONT, 0, 0));
            if (font && GetObjectA(font, sizeof lf, &lf)) {
                EXPECT_EQ(lf.lfHeight, s.control->Font.Log().lfHeight);
            }
        }
    }
}

// Up to 144 dpi and back: everything scales by 1.5, then returns to where it was.
template <class Form> void RoundTrip(Form& form) {
    const int base = form.PixelsPerInch();
    const std::vector<TShape> before = ShapesOf(form);
    const int high = base * 3 / 2;

    RECT suggested = ChangeDpi(form, high);
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    EXPECT_TRUE(EqualRect(&outer, &suggested)) << "the window takes the suggested rectangle";
    EXPECT_EQ(form.PixelsPerInch(), high);
    EXPECT_EQ(form.Font.Log().lfHeight, -MulDiv(form.Font.Height(), high, 96));
    ExpectScaled(form, before, base, high);

    ChangeDpi(form, base);
    for (const TShape& s : before) {
        SCOPED_TRACE(s.control->Caption());
        RECT now = s.control->BoundsRect();
        EXPECT_NEAR(now.left, s.bounds.left, 1);
        EXPECT_NEAR(now.top, s.bounds.top, 1);
        EXPECT_NEAR(now.right, s.bounds.right, 2);
        if (!SystemHeight(s.control)) {
            EXPECT_NEAR(now.bottom, s.bounds.bottom, 2);
        }
        EXPECT_EQ(-MulDiv(s.control->Font.Height(), base, 96), s.fontHeight);
    }
}

TEST(DpiChange, MainWindowScalesControlsFontsRowsAndTooltips) {
    TRecordingSystem sys;
    std::unique_ptr<TForm1> form(new TForm1(nullptr));
    form->SetBounds(10, 10, form->Width(), form->Height());
    form->HandleNeeded();
    // Its tooltip, as the window's first idle moment would make it.
    form->MakeUnseenWindows();
    const int rowBefore =
        static_cast<int>(SendMessageA(form->cbbListCPL.Handle(), CB_GETITEMHEIGHT, 0, 0));

    RoundTrip(*form);

    ChangeDpi(*form, 144);
    EXPECT_EQ(SendMessageA(form->cbbListCPL.Handle(), CB_GETITEMHEIGHT, 0, 0),
              MulDiv(rowBefore, 144, 96));
    // The selection field is at least the row's height (the system keeps it
    // as tall as the font needs).
    EXPECT_GE(SendMessageA(form->cbbListCPL.Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0),
              MulDiv(rowBefore, 144, 96));
    // The closed list is as tall as its scaled row, and the toolkit knows it.
    RECT r;
    GetWindowRect(form->cbbListCPL.Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, form->cbbListCPL.Height());
    EXPECT_GT(form->cbbListCPL.Height(), MulDiv(rowBefore, 144, 96));
    // A windowless control's tooltip follows its bounds.
    bool found = false;
    for (const TTooltipTool& t : TooltipTools(form->Handle()))
        if (t.id == reinterpret_cast<UINT_PTR>(&form->btnInfos)) {
            found = true;
            RECT b = form->btnInfos.BoundsRect();
            EXPECT_TRUE(EqualRect(&t.rect, &b));
        }
    EXPECT_TRUE(found);
    // A font given after the change is at the window's dpi.
    form->lblLine1.Font = TFont("Verdana", 13, clBlack);
    EXPECT_EQ(form->lblLine1.Font.Log().lfHeight, -MulDiv(13, 144, 96));
    // Layout done later by the form uses the new dpi.
    EXPECT_EQ(form->Scale(374), 561);
}

TEST(DpiChange, AboutBoxScales) {
    TRecordingSystem sys;
    std::unique_ptr<TAboutBox> box(Application->CreateForm<TAboutBox>(nullptr));
    box->HandleNeeded();
    RoundTrip(*box);
}

TEST(DpiChange, ViewerScalesItsBarAndLaysOutItsTextAtTheNewDpi) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "osh_dpi_capture.txt";
    WriteBytes(path, "numéro\r\n");
    {
        std::unique_ptr<TViewer> viewer(Application->CreateForm<TViewer>(nullptr, path));
        ChangeDpi(*viewer, 144);
        EXPECT_EQ(viewer->memoCapture.Top(), MulDiv(36, 144, 96));
        EXPECT_EQ(viewer->memoCapture.Height(), viewer->ClientHeight() - MulDiv(36, 144, 96));
        EXPECT_EQ(viewer->edtFind.Left(), MulDiv(78, 144, 96));
        EXPECT_EQ(viewer->memoCapture.Font.Log().lfHeight,
                  -MulDiv(viewer->memoCapture.Font.Height(), 144, 96));
    }
    DeleteFileA(path.c_str());
}

} // namespace
