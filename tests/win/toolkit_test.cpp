// The toolkit's own behaviour under Wine: the error dialog and error box,
// modal loops, deferred release, windowless controls and the owner-drawn list.
#include "TestSupport.h"

#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/SingleInstance.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

namespace {

// Runs an action on every tick of a thread timer, also inside modal loops.
class TTicker {
public:
    explicit TTicker(std::function<void()> action) {
        action_ = std::move(action);
        timer_ = SetTimer(nullptr, 0, 20, &TTicker::Tick);
    }
    ~TTicker() {
        KillTimer(nullptr, timer_);
        action_ = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (action_)
            action_();
    }
    static inline std::function<void()> action_;
    UINT_PTR timer_ = 0;
};

// The modal form of type T shown on this thread, if any.
template <class T> T* ShownModal() {
    T* found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
            auto* f = dynamic_cast<T*>(TWinControl::FromHandle(h));
            if (f && f->Modal() && IsWindowVisible(h)) {
                *reinterpret_cast<T**>(lp) = f;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostKey(HWND target, UINT vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

// A plain windowless control that fills its bounds with one colour.
class TSpot : public TGraphicControl {
public:
    TSpot(TWinControl* parent, int l, int t, int w, int h, TColor c) : TGraphicControl(parent) {
        SetParent(parent);
        SetBounds(l, t, w, h);
        SetColor(c);
    }
    void Paint(TCanvas& canvas) override {
        canvas.Brush.Color = Color();
        // Far past its bounds: the parent's clipping must hold it in.
        canvas.FillRect({-1000, -1000, 1000, 1000});
    }
};

} // namespace

// ------------------------------------------------------------ "Erreur" dialog

TEST(ErrorDialog, SilentCentredStopBoxWithAWrappedMessageAndOneOK) {
    TRecordingSystem sys;
    TBoxRecorder boxes;
    const std::string message =
        "Le fichier demandé n'a pas pu être lu, parce qu'un autre programme le tient ouvert "
        "en écriture ; fermez ce programme, puis recommencez.";
    struct {
        bool seen = false;
        RECT window{}, label{};
        int clientWidth = 0;
        LONG_PTR style = 0, exStyle = 0;
        std::vector<std::string> buttons;
        size_t beeps = 0;
        bool okHasFocus = false;
        int lineHeight = 0;
    } d;
    TTicker ticker([&] {
        TErrorDialog* e = ShownModal<TErrorDialog>();
        if (!e || d.seen)
            return;
        d.seen = true;
        HWND h = e->Handle();
        GetWindowRect(h, &d.window);
        d.clientWidth = e->ClientWidth();
        d.style = GetWindowLongPtrA(h, GWL_STYLE);
        d.exStyle = GetWindowLongPtrA(h, GWL_EXSTYLE);
        d.label = e->lblMessage.BoundsRect();
        for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32];
            GetClassNameA(c, cls, sizeof cls);
            if (lstrcmpiA(cls, "Button") == 0)
                d.buttons.push_back(WindowTextOf(c));
        }
        d.beeps = sys.Beeps.size();
        d.okHasFocus = GetFocus() == e->btnOK.Handle();
        HDC dc = GetDC(h);
        {
            TCanvas canvas(dc);
            canvas.Font = e->lblMessage.Font;
            d.lineHeight = canvas.TextExtent("Ag").cy;
        }
        ReleaseDC(h, dc);
        PostKey(GetFocus(), VK_RETURN);
    });
    ShowErrorMessage(message);
    ASSERT_TRUE(d.seen);

    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_FALSE(boxes.Shown[0].systemBox); // a system box would make its own sound
    EXPECT_EQ(boxes.Shown[0].title, "Erreur");
    EXPECT_EQ(boxes.Shown[0].text, message);
    EXPECT_EQ(boxes.Shown[0].icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)));
    // The stop sound comes from the seam, once, before the dialog shows.
    EXPECT_EQ(boxes.Shown[0].beepsBefore, 1u);
    EXPECT_EQ(sys.Beeps, std::vector<UINT>{MB_ICONHAND});

    EXPECT_EQ(d.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(d.okHasFocus);
    EXPECT_TRUE(d.style & WS_CAPTION);
    EXPECT_TRUE(d.style & WS_SYSMENU);
    EXPECT_FALSE(d.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(d.exStyle & WS_EX_DLGMODALFRAME);
    // The message wraps onto several lines inside the dialog.
    EXPECT_GE(d.label.bottom - d.label.top, 2 * d.lineHeight);
    EXPECT_LE(d.label.right, d.clientWidth);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((d.window.left + d.window.right) / 2, sw / 2, 1);
    EXPECT_NEAR((d.window.top + d.window.bottom) / 2, sh / 2, 1);
}

TEST(ErrorDialog, EnterAndEscapeBothPressOK) {
    for (UINT key : {UINT{VK_RETURN}, UINT{VK_ESCAPE}}) {
        SCOPED_TRACE(key);
        TErrorDialog dialog(nullptr, "Court.");
        dialog.DoCreate();
        int clicks = 0;
        auto press = dialog.btnOK.OnClick;
        dialog.btnOK.OnClick = [&](TObject* s) {
            ++clicks;
            press(s);
        };
        bool posted = false;
        TTicker ticker([&] {
            if (!posted && ShownModal<TErrorDialog>() == &dialog) {
                posted = true;
                PostKey(GetFocus(), key);
            }
        });
        EXPECT_EQ(dialog.ShowModal(), mrOk);
        EXPECT_EQ(clicks, 1);
        EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    }
}

// ------------------------------------------------------ application error box

struct TPeriodCase {
    const char* message;
    const char* shown;
};

class ApplicationErrorBox : public testing::TestWithParam<TPeriodCase> {};

TEST_P(ApplicationErrorBox, FailureEscapingAHandlerIsShownWithThePeriodRule) {
    TBoxRecorder boxes;
    TDialogWatcher watcher;
    TForm form(nullptr);
    TButton button(&form);
    button.SetParent(&form);
    const std::string message = GetParam().message;
    button.OnClick = [&](TObject*) { throw Exception(message); };
    form.DoCreate();
    form.Show();
    // The click arrives through the window procedure; the failure must not
    // unwind through the system, and the program goes on.
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    PumpMessages(30);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_TRUE(boxes.Shown[0].systemBox);
    EXPECT_EQ(boxes.Shown[0].title, Application->Title);
    EXPECT_EQ(boxes.Shown[0].text, GetParam().shown);
    EXPECT_EQ(boxes.Shown[0].icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)));
    EXPECT_EQ(watcher.Seen.size(), 1u);
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

INSTANTIATE_TEST_SUITE_P(Messages, ApplicationErrorBox,
                         testing::Values(TPeriodCase{"Fichier introuvable", "Fichier introuvable."},
                                         TPeriodCase{"Déjà fait.", "Déjà fait."},
                                         TPeriodCase{"Attention !", "Attention !"},
                                         TPeriodCase{"(voir plus haut)", "(voir plus haut)"},
                                         TPeriodCase{"Accès refusé", "Accès refusé."},
                                         TPeriodCase{"C:\\dossier\\", "C:\\dossier\\."},
                                         TPeriodCase{"chemin/", "chemin/."},
                                         TPeriodCase{"moins -", "moins -"},
                                         TPeriodCase{"guillemet \"", "guillemet \""}));

TEST(ApplicationErrorBoxDirect, ShowExceptionUsesTheTitleAndAnyStandardException) {
    TBoxRecorder boxes;
    TDialogWatcher watcher;
    std::string saved = Application->Title;
    Application->Title = "Titre d'essai";
    Application->ShowException("Texte");
    Application->HandleException(std::runtime_error("Autre échec"));
    Application->Title = saved;
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[0].title, "Titre d'essai");
    EXPECT_EQ(boxes.Shown[0].text, "Texte.");
    EXPECT_EQ(boxes.Shown[1].text, "Autre échec.");
}

namespace {
// Fails its first paint only.
class TFailingPaint : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int paints = 0;
    void Paint(TCanvas&) override {
        if (paints++ == 0)
            throw Exception("Dessin impossible");
    }
};
} // namespace

// A failure is shown once the message that raised it has returned, never from
// inside it: a failing paint gives one box and the window paints again, and
// what is not a standard exception is caught too.
TEST(ApplicationErrorBoxDirect, ShownAfterTheFailingMessageHasReturned) {
    TBoxRecorder boxes;
    TDialogWatcher watcher;
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TFailingPaint spot(&form);
    spot.SetParent(&form);
    spot.SetBounds(0, 0, 300, 200);
    TButton button(&form);
    button.SetParent(&form);
    button.SetBounds(10, 10, 80, 25);
    form.DoCreate();
    form.Show();
    PumpMessages(300);
    EXPECT_GE(spot.paints, 2);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].text, "Dessin impossible.");

    const std::function<void()> failures[] = {[] { throw Exception("Clic impossible"); },
                                              [] { throw 42; }};
    const char* shown[] = {"Clic impossible.", "Erreur inattendue."};
    for (size_t i = 0; i < std::size(failures); ++i) {
        SCOPED_TRACE(shown[i]);
        boxes.Shown.clear();
        button.OnClick = [&](TObject*) { failures[i](); };
        SendMessageA(button.Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(boxes.Shown.empty()) << "not from inside the message";
        PumpMessages(50);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].text, shown[i]);
    }
}

// The entries that are not window procedures queue their failure the same
// way: a timer, the single-instance listener and a creation handler.
TEST(ApplicationErrorBoxDirect, EveryEntryQueuesItsFailure) {
    TBoxRecorder boxes;
    TDialogWatcher watcher;

    // A failing timer gives one box, not one per period, and stops.
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        throw Exception("Minuterie en panne");
    };
    timer.SetInterval(40);
    timer.SetEnabled(true);
    PumpMessages(600);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].text, "Minuterie en panne.");
    boxes.Shown.clear();

    // A second start's request reaches the first, whose handler fails: the
    // second still hands over, and the box waits for the first one's loop.
    const std::string key = "cle-" + std::to_string(GetCurrentProcessId());
    TSingleInstance first(key);
    ASSERT_FALSE(first.HandedOver());
    first.OnRequest = [] { throw Exception("Rechargement impossible"); };
    TSingleInstance second(key);
    EXPECT_TRUE(second.HandedOver());
    EXPECT_TRUE(boxes.Shown.empty()) << "not from inside the request";
    PumpMessages(50);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].text, "Rechargement impossible.");
    boxes.Shown.clear();

    TForm form(nullptr);
    form.OnCreate = [](TObject*) { throw Exception("Création impossible"); };
    form.DoCreate();
    EXPECT_TRUE(boxes.Shown.empty()) << "not from inside the creation handler";
    EXPECT_NE(form.WindowHandle(), nullptr);
    PumpMessages(50);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].text, "Création impossible.");
}

// ----------------------------------------------------------------- lifetimes

TEST(Lifetimes, DefaultButtonForgottenWhenDestroyed) {
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    auto button = std::make_unique<TButton>(&form);
    button->SetParent(&form);
    button->SetDefault(true);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form.DoCreate();
    form.Show();
    edit.SetFocus();
    EXPECT_EQ(form.DefaultButton, button.get());
    button.reset();
    EXPECT_EQ(form.DefaultButton, nullptr);
    PostKey(edit.Handle(), VK_RETURN);
    PumpMessages(20);
    EXPECT_EQ(clicks, 0);
}

TEST(Lifetimes, AWindowKeepsItsFontUntilItHasTheNewOne) {
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    form.DoCreate();
    auto held = reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0));
    ASSERT_NE(held, nullptr);
    DWORD typeWhileChanging = 0;
    auto chain = edit.Font.OnChange;
    edit.Font.OnChange = [&] {
        typeWhileChanging = GetObjectType(held);
        chain();
    };
    edit.Font.SetHeight(edit.Font.Height() + 4);
    EXPECT_EQ(typeWhileChanging, static_cast<DWORD>(OBJ_FONT));
    auto now = reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0));
    EXPECT_NE(now, held);
    EXPECT_EQ(GetObjectType(now), static_cast<DWORD>(OBJ_FONT));
    // Fonts are shared: the old one may be held elsewhere, and comes back as it was.
    EXPECT_EQ(GetObjectType(held), static_cast<DWORD>(OBJ_FONT));
    edit.Font.SetHeight(edit.Font.Height() - 4);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0)), held);
}

TEST(Fonts, OneDescriptionIsRealisedOnceForTheProcess) {
    TFont a("Verdana", 13, clNavy);
    TFont b("Verdana", 13, clRed);
    ASSERT_NE(a.Handle(), nullptr);
    EXPECT_EQ(b.Handle(), a.Handle()) << "the colour is not the font's";
    TFont copy = a;
    EXPECT_EQ(copy.Handle(), a.Handle());

    TGdiCounter count;
    b.SetStyle(fsBold);
    HFONT bold = b.Handle();
    EXPECT_NE(bold, a.Handle());
    LOGFONTA lf{};
    GetObjectA(bold, sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfHeight, a.Log().lfHeight);
    // The same description again, even with stray bytes after the face name.
    b.SetStyle(0);
    EXPECT_EQ(b.Handle(), a.Handle());
    LOGFONTA stray = a.Log();
    stray.lfFaceName[LF_FACESIZE - 1] = 'x';
    EXPECT_EQ(SharedFont(stray), a.Handle());
    TFont again("Verdana", 13);
    again.SetStyle(fsBold);
    EXPECT_EQ(again.Handle(), bold);
    EXPECT_LE(count.Fonts(), 1);
    EXPECT_EQ(count.Deleted(), 0) << "a realised font lives on";
}

TEST(Fonts, CanvasDrawsWithTheSharedFontAndDeletesNothing) {
    TDib dib(40, 20);
    TFont font("Arial", 15);
    font.SetStyle(fsUnderline);
    ASSERT_NE(font.Handle(), nullptr);
    TGdiCounter count;
    for (int i = 0; i < 3; ++i) {
        TCanvas canvas(dib.DC());
        canvas.Font = font;
        canvas.Font.SetColor(i == 1 ? clRed : clBlack);
        canvas.TextOut(0, 0, "Ab");
        EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_FONT), font.Handle());
    }
    EXPECT_NE(GetCurrentObject(dib.DC(), OBJ_FONT), font.Handle()) << "the DC's own font is back";
    EXPECT_EQ(GetObjectType(font.Handle()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(count.Fonts(), 0);
    EXPECT_EQ(count.Deleted(), count.Created());
}

namespace {
// A form whose window cannot be made.
class TUncreatable : public TForm {
public:
    using TForm::TForm;
    ~TUncreatable() override { ++destroyed; }
    static inline int destroyed = 0;

protected:
    void CreateParams(TCreateParams& p) override {
        TForm::CreateParams(p);
        p.className = "OrbitashellNoSuchClass";
    }
};
} // namespace

TEST(Lifetimes, AChildAskedForItsWindowFirstMakesOneWindowAndItsParentsOne) {
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    HWND h = edit.Handle();
    int children = 0;
    struct Count {
        static BOOL CALLBACK One(HWND, LPARAM n) {
            ++*reinterpret_cast<int*>(n);
            return TRUE;
        }
    };
    EnumChildWindows(form.Handle(), &Count::One, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 1);
    EXPECT_EQ(GetParent(h), form.Handle());
}

TEST(Lifetimes, CreateFormThatFailsLeavesNoForm) {
    TForm* main = Application->MainForm;
    EXPECT_THROW(Application->CreateForm<TUncreatable>(nullptr), Exception);
    EXPECT_EQ(TUncreatable::destroyed, 1);
    EXPECT_EQ(Application->MainForm, main);
}

// --------------------------------------------------------------- modal loops

TEST(ShowModal, StopsAtOnceAtAPendingQuitAndPassesItOn) {
    TForm owner(nullptr);
    owner.DoCreate();
    owner.Show();
    TForm dialog(&owner);
    dialog.BorderStyle = bsDialog;
    dialog.DoCreate();
    TRecordingSystem sys;
    TBoxRecorder boxes;

    // A timer tick would mean the loop sat waiting for messages; after
    // enough of them it ends the dialog, so that a fault cannot hang the test.
    int ticks = 0;
    TTicker ticker([&] {
        if (++ticks > 25)
            if (TForm* f = ShownModal<TForm>())
                f->Close();
    });
    PostQuitMessage(7);
    int result = dialog.ShowModal();
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(result, mrCancel);
    EXPECT_FALSE(dialog.Modal());
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    int code = 0;
    EXPECT_TRUE(TakeQuitRequest(&code));
    EXPECT_EQ(code, 7);

    // The program's error dialog and the system's box behave alike.
    PostQuitMessage(3);
    ShowErrorMessage("Première");
    Application->ShowException("Seconde");
    EXPECT_TRUE(TakeQuitRequest(&code));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(ticks, 0);
}

TEST(ShowModal, DisablesTheOwnerWhileItRunsAndGivesBackTheFocus) {
    TForm owner(nullptr);
    TEdit edit(&owner);
    edit.SetParent(&owner);
    TEdit second(&owner);
    second.SetParent(&owner);
    second.SetTop(40);
    owner.DoCreate();
    owner.Show();
    SetForegroundWindow(owner.Handle());
    PumpMessages(20);
    second.SetFocus();
    ASSERT_EQ(GetFocus(), second.Handle());

    TForm dialog(&owner);
    dialog.DoCreate();
    bool ownerEnabledInside = true;
    TTicker ticker([&] {
        if (dialog.Modal() && IsWindowVisible(dialog.Handle())) {
            ownerEnabledInside = IsWindowEnabled(owner.Handle()) != FALSE;
            dialog.Close();
        }
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    PumpMessages(20);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(GetActiveWindow(), owner.Handle());
    EXPECT_EQ(GetFocus(), second.Handle());
}

// ------------------------------------------------------------------ release

namespace {
class TReleasedForm : public TForm {
public:
    TReleasedForm(std::vector<std::string>& log) : TForm(nullptr), log_(log) {
        button.SetParent(this);
        button.OnClick = [this](TObject*) {
            log_.push_back("click");
            Release();
            log_.push_back("after release");
        };
    }
    ~TReleasedForm() override { log_.push_back("destroyed"); }
    TButton button{this};

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_APP + 7)
            log_.push_back("queued message");
        return TForm::WndProc(msg, wp, lp);
    }

private:
    std::vector<std::string>& log_;
};
} // namespace

TEST(Release, DestroysTheFormOnlyAfterItsQueuedMessages) {
    std::vector<std::string> log;
    auto* form = new TReleasedForm(log);
    form->DoCreate();
    PostMessageA(form->Handle(), WM_APP + 7, 0, 0);
    form->Release();
    EXPECT_TRUE(log.empty());
    PumpMessages(30);
    EXPECT_EQ(log, (std::vector<std::string>{"queued message", "destroyed"}));
}

TEST(Release, FromTheFormsOwnHandler) {
    std::vector<std::string> log;
    auto* form = new TReleasedForm(log);
    form->DoCreate();
    form->Show();
    HWND h = form->Handle();
    SendMessageA(form->button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "after release"}));
    EXPECT_TRUE(IsWindow(h));
    PumpMessages(30);
    EXPECT_EQ(log.back(), "destroyed");
    EXPECT_FALSE(IsWindow(h));
}

TEST(Release, AfterAModalLoop) {
    std::vector<std::string> log;
    auto* form = new TReleasedForm(log);
    form->DoCreate();
    TTicker ticker([&] {
        if (form->Modal() && IsWindowVisible(form->WindowHandle()))
            form->Close();
    });
    form->ShowModal();
    form->Release();
    PumpMessages(30);
    EXPECT_EQ(log, std::vector<std::string>{"destroyed"});
}

// ------------------------------------------------------- windowless controls

TEST(WindowlessControls, HoverLeaveAndClickReachTheTopmostControl) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TSpot a(&form, 10, 10, 50, 30, clRed);
    TSpot b(&form, 40, 20, 50, 30, clBlue); // over a's corner
    TSpot hidden(&form, 150, 10, 40, 40, clGreen);
    hidden.Hide();
    TSpot disabled(&form, 150, 100, 40, 40, clYellow);
    disabled.SetEnabled(false);
    a.Cursor = crHandPoint;
    std::vector<std::string> log;
    auto watch = [&log](TSpot& s, const std::string& name) {
        s.OnMouseEnter = [&log, name](TObject*) { log.push_back("enter " + name); };
        s.OnMouseLeave = [&log, name](TObject*) { log.push_back("leave " + name); };
        s.OnClick = [&log, name](TObject*) { log.push_back("click " + name); };
    };
    watch(a, "a");
    watch(b, "b");
    watch(hidden, "hidden");
    watch(disabled, "disabled");
    form.DoCreate();
    form.Show();
    PumpMessages(20);
    HWND h = form.Handle();
    auto move = [h](int x, int y) {
        POINT p{x, y};
        ClientToScreen(h, &p);
        SetCursorPos(p.x, p.y);
        SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    auto click = [h, &move](int x, int y, int upX, int upY) {
        move(x, y);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        move(upX, upY);
        SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(upX, upY));
    };

    move(15, 15);
    EXPECT_TRUE(a.MouseInControl());
    // The pointer on a windowless control with a cursor of its own gets it.
    EXPECT_TRUE(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
    move(45, 25);
    move(160, 20);
    move(20, 15);
    SendMessageA(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(a.MouseInControl());
    EXPECT_EQ(log, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b", "enter a",
                                             "leave a"}));
    log.clear();

    click(50, 30, 55, 35);   // down and up on b
    click(50, 30, 250, 150); // released elsewhere: no click
    click(160, 110, 160, 110);
    click(160, 20, 160, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"enter b", "click b", "leave b", "enter disabled",
                                             "leave disabled"}));
    PumpMessages(20);
}

TEST(WindowlessControls, PaintedClippedToTheirBoundsOnEveryPaintPath) {
    TForm form(nullptr);
    form.SetColor(RGBColor(10, 20, 30));
    form.SetClientSize(120, 80);
    TSpot spot(&form, 20, 10, 30, 20, RGBColor(200, 0, 0));
    TSpot hidden(&form, 60, 10, 30, 20, RGBColor(0, 200, 0));
    hidden.Hide();
    form.DoCreate();

    TDib direct(120, 80, RGB(255, 255, 255));
    {
        TCanvas canvas(direct.DC());
        form.PaintTo(canvas, {0, 0, 120, 80});
    }
    TDib printed(120, 80, RGB(255, 255, 255));
    SendMessageA(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.DC()), PRF_CLIENT);
    for (const TDib* dib : {&direct, &printed}) {
        EXPECT_EQ(dib->Pixel(20, 10), RGB(200, 0, 0));
        EXPECT_EQ(dib->Pixel(49, 29), RGB(200, 0, 0));
        EXPECT_EQ(dib->Pixel(19, 10), RGB(10, 20, 30));
        EXPECT_EQ(dib->Pixel(50, 29), RGB(10, 20, 30));
        EXPECT_EQ(dib->Pixel(20, 30), RGB(10, 20, 30));
        EXPECT_EQ(dib->Pixel(70, 20), RGB(10, 20, 30)); // hidden: not painted
        EXPECT_EQ(dib->Pixel(0, 0), RGB(10, 20, 30));
    }
}

TEST(WindowlessControls, HintToolFollowsBoundsAndVisibility) {
    TForm form(nullptr);
    TSpot spot(&form, 20, 10, 30, 20, clRed);
    spot.SetHint("Une aide");
    form.DoCreate();
    // No tooltip window until the window is idle: it is not in the way of the first paint.
    EXPECT_EQ(form.Tooltip(), nullptr);
    PumpMessages();
    ASSERT_NE(form.Tooltip(), nullptr);
    auto toolRect = [&] {
        for (const auto& t : TooltipTools(form.Handle()))
            if (t.id == reinterpret_cast<UINT_PTR>(&spot)) {
                EXPECT_EQ(t.text, "Une aide");
                return t.rect;
            }
        ADD_FAILURE() << "no tool";
        return RECT{};
    };
    RECT r = toolRect(), bounds = spot.BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &bounds) != FALSE);
    spot.SetBounds(60, 40, 10, 10);
    r = toolRect();
    RECT want{60, 40, 70, 50};
    EXPECT_TRUE(EqualRect(&r, &want) != FALSE);
    spot.Hide();
    r = toolRect();
    EXPECT_TRUE(IsRectEmpty(&r) != FALSE);
    spot.SetHint("");
    EXPECT_TRUE(TooltipTools(form.Handle()).empty());
}

// --------------------------------------------------------------- key preview

TEST(KeyPreview, TheFormSeesCharactersBeforeTheFocusedControl) {
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    form.KeyPreview = true;
    std::string seen;
    form.OnKeyPress = [&](TObject*, char& key) {
        seen += key;
        if (key == 'a')
            key = 'b';
        else if (key == 'x')
            key = 0;
    };
    form.DoCreate();
    form.Show();
    SetForegroundWindow(form.Handle());
    edit.SetFocus();
    for (char c : std::string("axc"))
        PostMessageA(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    PumpMessages(30);
    EXPECT_EQ(seen, "axc");
    EXPECT_EQ(edit.Text(), "bc");
}

// Escape ends a modal form by the toolkit alone, asking it once, whether the
// form previews keys or not; a handler that takes the key keeps it open.
TEST(KeyPreview, EscapeClosesAModalFormOnceUnlessItsHandlerTakesTheKey) {
    TForm owner(nullptr);
    owner.DoCreate();
    for (int preview : {0, 1, 2}) { // off, on, on and taking the key
        SCOPED_TRACE(preview);
        TForm dialog(&owner);
        dialog.KeyPreview = preview != 0;
        int seen = 0, asked = 0, ticks = 0;
        dialog.OnKeyPress = [&](TObject*, char& key) {
            seen += key == 27;
            key = preview == 2 ? 0 : key;
        };
        dialog.OnCloseQuery = [&](TObject*, bool&) { ++asked; };
        dialog.DoCreate();
        TTicker ticker([&] {
            if (dialog.Modal() && ++ticks == 1)
                PostKey(dialog.Handle(), VK_ESCAPE);
            else if (dialog.Modal())
                dialog.Close();
        });
        EXPECT_EQ(dialog.ShowModal(), mrCancel);
        EXPECT_EQ(ticks > 1, preview == 2) << "stayed open";
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(seen, preview != 0);
    }
}

// ---------------------------------------------------------- owner-drawn list

// A list never given rows has none, before and after its window exists.
TEST(ComboBox, UnfilledListHasNoRow) {
    TForm form(nullptr);
    TComboBox list(&form);
    list.SetParent(&form);
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(SendMessageA(list.Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(list.ItemCount(), 0);
    list.SetItems({"un"});
    EXPECT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.Item(0), "un");
}

TEST(ComboBox, RowsOfFifteenPixelsAndSeventeenVisibleWhenDropped) {
    if (ScreenDpi() != 96)
        GTEST_SKIP() << "design values are checked at 96 dpi";
    TForm form(nullptr);
    form.SetClientSize(400, 400);
    TComboBox many(&form);
    many.SetParent(&form);
    many.SetDesignBounds(10, 10, 300, 21);
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back("ligne " + std::to_string(i));
    many.SetItems(rows);
    TComboBox few(&form);
    few.SetParent(&form);
    few.SetDesignBounds(10, 100, 300, 21);
    few.SetItems({"un", "deux", "trois"});
    int drawn = 0;
    many.OnDrawItem = [&](TObject*, int, const RECT& r, TOwnerDrawState) {
        ++drawn;
        EXPECT_EQ(r.bottom - r.top, 15);
    };
    form.DoCreate();
    form.Show();
    PumpMessages(20);

    for (TComboBox* c : {&many, &few}) {
        HWND h = c->Handle();
        // (The selection field's height, as Wine reports it, counts two pixels
        // more than it was given; the closed box's height is what shows.)
        EXPECT_EQ(SendMessageA(h, CB_GETITEMHEIGHT, 0, 0), 15);
        RECT closed;
        GetWindowRect(h, &closed);
        EXPECT_EQ(closed.bottom - closed.top, 21);
        LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
        EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
        EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
        EXPECT_TRUE(style & CBS_HASSTRINGS);
    }
    auto droppedRows = [](TComboBox& c) {
        c.SetFocus();
        c.SetDroppedDown(true);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(c.Handle(), &info);
        RECT r{};
        GetClientRect(info.hwndList, &r);
        PumpMessages(20);
        c.SetDroppedDown(false);
        return r.bottom;
    };
    EXPECT_EQ(droppedRows(many), 17 * 15);
    EXPECT_EQ(droppedRows(few), 3 * 15);
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(many.Item(39), "ligne 39");
}
