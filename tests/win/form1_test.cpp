// The main window created for real, with the seam recording launches and beeps.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "core/Launch.h"
#include "dialogs/UnitAjoutCommande.h"
#include "dialogs/UnitCompleterCommande.h"
#include "ui/Exceptions.h"
#include "ui/MessageDialog.h"
#include "update/Network.h"

#include "osh/Version.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <utility>

namespace {

const char kWaitingCaption[] = "Orbitashell v " OSH_VERSION_TEXT
                               " - Recherche mise à jour d'Orbitashell, veuillez patienter...";
const char kMissingCPL[] = "Le fichier \"CommandesCPL.TXT\" d'Orbitashell est introuvable !";
const char kMissingSyst[] = "Le fichier \"CommandesSyst.TXT\" d'Orbitashell est introuvable !";
const char kMissingFolder[] = "Le dossier \"Syst\" d'Orbitashell est introuvable !";
const std::string kBatch(CaptureBatchText());

// A capture's parameters after "/cTitle Orbitashell&&Color 4E&&": the header's
// stamp (the recording system's clock) and the line, then the batch file.
std::string CaptureTail(const std::string& command,
                        const std::string& batch = "\"%temp%\\EditCMD\"") {
    return "set OSH_HEAD=----- 08/12/2026 14:02:07&set OSH_LINE=" + command + "&" + batch;
}
std::string CaptureParameters(const std::string& command) {
    return "/cTitle Orbitashell&&Color 4E&&" + CaptureTail(command);
}

// A scratch copy of the program's folder: the executable's path goes through
// the seam, the catalogues and "Syst" are real files, and the current folder
// is moved into it for the test's lifetime.
class TInstall {
public:
    explicit TInstall(TRecordingSystem& sys, const std::string& tag) : dir(MakeScratchDir(tag)) {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        savedCwd_ = cwd;
        sys.ExePath = Widened(dir + "\\Orbitashell.exe");
        SetCurrentDirectoryA(dir.c_str());
    }
    ~TInstall() {
        SetCurrentDirectoryA(savedCwd_.c_str());
        RemoveTree(dir);
    }
    TInstall& Cpl(const std::string& bytes = "control (Panneau)\r\nappwiz.cpl\r\n") {
        WriteBytes(dir + "\\CommandesCPL.TXT", bytes);
        return *this;
    }
    TInstall& Syst(const std::string& bytes = "ipconfig /all (IP)\r\nver\r\ndir /w\r\n") {
        WriteBytes(dir + "\\CommandesSyst.TXT", bytes);
        return *this;
    }
    TInstall& Custom(const std::string& bytes = "echo perso\r\n") {
        WriteBytes(dir + "\\Commandes.txt", bytes);
        return *this;
    }
    TInstall& SystFolder() {
        CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
        return *this;
    }
    TInstall& Full() { return Cpl().Syst().SystFolder(); }
    const std::string dir;

private:
    std::string savedCwd_;
};

struct TFormDeleter {
    void operator()(TForm1* f) const { delete f; }
};
using TForm1Ptr = std::unique_ptr<TForm1, TFormDeleter>;

TForm1Ptr NewForm1() {
    return TForm1Ptr(Application->CreateForm<TForm1>());
}

// Shows the window and lets its activation run.
void ShowForm(TForm1& f) {
    f.Show();
    SetForegroundWindow(f.Handle());
    PumpMessages(50);
}

RECT ChildRect(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Bounds(int l, int t, int w, int h) {
    return {l, t, l + w, t + h};
}

testing::AssertionResult SameRect(const RECT& got, const RECT& want) {
    if (EqualRect(&got, &want))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "(" << got.left << ", " << got.top << ", " << got.right - got.left << ", "
           << got.bottom - got.top << ") instead of (" << want.left << ", " << want.top << ", "
           << want.right - want.left << ", " << want.bottom - want.top << ")";
}

LOGFONTA FontOf(HWND h) {
    LOGFONTA lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

std::vector<std::string> Rows(const TComboBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.ItemCount(); ++i)
        rows.push_back(list.Item(i));
    return rows;
}

std::vector<std::string> Texts(const std::vector<TShownBox>& boxes) {
    std::vector<std::string> texts;
    for (const auto& b : boxes)
        texts.push_back(b.text);
    return texts;
}

// A row chosen as the mouse would: the selection moves, then the list tells its parent.
void ChooseRow(TForm1& f, TComboBox& list, int index) {
    SendMessageA(list.Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.Handle()));
}

void PostKey(HWND target, UINT vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

void Type(HWND target, const std::string& chars) {
    for (char c : chars)
        PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
    PumpMessages(20);
}

// The clipboard as another program leaves it.
void SetClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

std::wstring ClipboardText() {
    std::wstring text = L"(nothing)";
    if (OpenClipboard(nullptr)) {
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
    }
    return text;
}

// Holds Ctrl, and Shift when asked, for the keys posted next; none when both false.
void Hold(bool ctrl, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

// The balloon this thread shows, or null.
HWND ShownBalloon() {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, TOOLTIPS_CLASSA, nullptr)) &&
           (!IsWindowVisible(h) || GetWindowThreadProcessId(h, nullptr) != GetCurrentThreadId())) {
    }
    return h;
}

void PressLancer(TForm1& f) {
    SendMessageA(f.btnExecuter.Handle(), BM_CLICK, 0, 0);
}

// Handles messages until done holds or ms have passed; the milliseconds taken.
DWORD PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms)
        PumpMessages(20);
    return GetTickCount() - start;
}

bool IsScreenDpi96() {
    return ScreenDpi() == 96;
}

} // namespace

// ------------------------------------------------------------------ layout

TEST(Form1Layout, SmallLayoutMatchesTheDesign) {
    if (!IsScreenDpi96())
        GTEST_SKIP() << "design values are checked at 96 dpi";
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "layout-small");
    install.Full();
    auto f = NewForm1();
    ShowForm(*f);
    HWND h = f->Handle();
    EXPECT_TRUE(boxes.Shown.empty());

    LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT client, outer;
    GetClientRect(h, &client);
    GetWindowRect(h, &outer);
    EXPECT_EQ(client.right, 605);
    EXPECT_EQ(outer.bottom - outer.top, 314);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((outer.left + outer.right) / 2, sw / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, sh / 2, 1);
    EXPECT_EQ(f->Color(), clBtnFace);
    EXPECT_EQ(f->Font.Name(), "Tahoma");
    EXPECT_EQ(f->Font.Height(), 11);
    EXPECT_TRUE(f->KeyPreview);

    // Windowed controls: where the system put them, their text and their font.
    struct Windowed {
        TWinControl* c;
        RECT bounds;
        const char* text;
    } windowed[] = {
        {&f->cbbListCPL, Bounds(17, 103, 503, 21), ""},
        {&f->cbbListSyst, Bounds(17, 160, 503, 21), ""},
        {&f->edtCmdLine, Bounds(17, 217, 503, 21), ""},
        {&f->btnExecuter, Bounds(524, 217, 63, 21), "Lancer"},
    };
    for (const auto& w : windowed) {
        SCOPED_TRACE(WindowTextOf(w.c->Handle()) + " / " +
                     std::to_string(GetDlgCtrlID(w.c->Handle())));
        EXPECT_TRUE(SameRect(ChildRect(h, w.c->Handle()), w.bounds));
        EXPECT_EQ(WindowTextOf(w.c->Handle()), w.text);
        EXPECT_TRUE(IsWindowVisible(w.c->Handle()));
        LOGFONTA lf = FontOf(w.c->Handle());
        EXPECT_STREQ(lf.lfFaceName, "Tahoma");
        EXPECT_EQ(lf.lfHeight, -11);
    }
    EXPECT_FALSE(IsWindowVisible(f->cbbListCustom.Handle()));
    EXPECT_FALSE(IsWindowEnabled(f->btnExecuter.Handle()));
    EXPECT_TRUE(GetWindowLongPtrA(f->btnExecuter.Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(f->edtCmdLine.Color(), clWindow);

    // Windowless controls: the bounds their parent paints and hit-tests.
    EXPECT_TRUE(SameRect(f->Bevel1.BoundsRect(), Bounds(17, 27, 503, 33)));
    EXPECT_EQ(f->Bevel1.Shape, bsFrame);
    EXPECT_EQ(f->Bevel1.Style, bsRaised);
    EXPECT_TRUE(SameRect(f->lblLine1.BoundsRect(), Bounds(40, 36, 443, 16)));
    EXPECT_TRUE(SameRect(f->btnNewVersionDispo.BoundsRect(), Bounds(374, 0, 146, 22)));
    EXPECT_FALSE(f->btnNewVersionDispo.Visible());
    EXPECT_EQ(f->btnNewVersionDispo.Caption(), " Nouvelle version disponible ");
    EXPECT_TRUE(SameRect(f->btnInfos.BoundsRect(), Bounds(570, 26, 20, 20)));
    EXPECT_TRUE(f->btnInfos.Flat);
    EXPECT_TRUE(f->btnInfos.Font.Style() & fsBold);
    EXPECT_TRUE(f->btnInfos.Caption().empty());
    EXPECT_EQ(f->lblLine1.Caption(),
              "Choisir en ces listes, votre commande, ensuite cliquez sur \"Lancer\"");
    EXPECT_EQ(f->lblLine1.Font, TFont("Verdana", 13, clBlack));

    struct Label {
        TLabel* l;
        int left, top;
        const char* text;
        TColor color;
        bool visible;
    } labels[] = {
        {&f->lblListCPL, 27, 87, "Commandes directes des dossiers CPL du Panneau de Configuration",
         clNavy, true},
        {&f->lblListSystem, 27, 144, "Commandes générales et commandes système", clNavy, true},
        {&f->lblExecuter, 27, 201,
         "Ligne de commande à taper directement, ou bien choisir dans les listes", clNavy, true},
        // The test build's publisher is the local server: the label follows the host.
        {&f->lblPublisher, 19, 266, "Les éditions localhost", clGray, true},
        {&f->lblListCustom, 27, 296, "Commandes personnelles", clNavy, false},
    };
    for (const auto& l : labels) {
        SCOPED_TRACE(l.text);
        EXPECT_EQ(l.l->Left(), l.left);
        EXPECT_EQ(l.l->Top(), l.top);
        EXPECT_EQ(l.l->Caption(), l.text);
        EXPECT_EQ(l.l->Font, TFont("Verdana", 11, l.color));
        EXPECT_EQ(l.l->Visible(), l.visible);
        // Sized to its text, which stays clear of the control below it.
        EXPECT_GT(l.l->Width(), 100);
        EXPECT_GE(l.l->Height(), 11);
        EXPECT_LE(l.l->Top() + l.l->Height(), l.top + 16);
    }
    EXPECT_EQ(f->lblPublisher.Cursor, crHandPoint);

    // Hints are tools of the form's tooltip window.
    std::map<UINT_PTR, TTooltipTool> tools;
    for (const auto& t : TooltipTools(h))
        tools[t.id] = t;
    auto hwndTool = [&](TWinControl& c) { return tools[reinterpret_cast<UINT_PTR>(c.Handle())]; };
    auto ctlTool = [&](TControl& c) { return tools[reinterpret_cast<UINT_PTR>(&c)]; };
    EXPECT_EQ(hwndTool(f->cbbListCPL).text,
              "Liste des commandes directes des dossiers CPL du Panneau de Configuration");
    EXPECT_EQ(hwndTool(f->cbbListSyst).text, "Liste des commandes générales et commandes système");
    EXPECT_EQ(hwndTool(f->cbbListCustom).text, "Liste de vos commandes personnelles");
    EXPECT_EQ(hwndTool(f->edtCmdLine).text, "Zone de la ligne de commande");
    EXPECT_EQ(ctlTool(f->btnInfos).text, "A propos ; licence ; etc.");
    EXPECT_TRUE(SameRect(ctlTool(f->btnInfos).rect, Bounds(570, 26, 20, 20)));
    EXPECT_EQ(ctlTool(f->lblPublisher).text, "Logiciels gratuits ; icônes ; liens");
    EXPECT_TRUE(SameRect(ctlTool(f->lblPublisher).rect, f->lblPublisher.BoundsRect()));
    for (TControl* none : std::initializer_list<TControl*>{
             &f->btnExecuter, &f->btnNewVersionDispo, &f->lblLine1, &f->lblListCPL, &f->Bevel1}) {
        auto key = none->IsWindowed()
                       ? reinterpret_cast<UINT_PTR>(static_cast<TWinControl*>(none)->Handle())
                       : reinterpret_cast<UINT_PTR>(none);
        EXPECT_EQ(tools.count(key), 0u) << none->Caption();
    }

    // The box has the focus; Tab walks the system list, then the Control Panel list.
    EXPECT_EQ(GetFocus(), f->edtCmdLine.Handle());
    std::vector<HWND> order;
    for (HWND c = GetWindow(f->edtCmdLine.Handle(), GW_HWNDFIRST); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP)
            order.push_back(c);
    std::vector<HWND> want = {f->edtCmdLine.Handle(), f->cbbListSyst.Handle(),
                              f->cbbListCPL.Handle(), f->cbbListCustom.Handle(),
                              f->btnExecuter.Handle()};
    EXPECT_EQ(order, want);
    EXPECT_EQ(GetNextDlgTabItem(h, f->edtCmdLine.Handle(), FALSE), f->cbbListSyst.Handle());
    EXPECT_EQ(GetNextDlgTabItem(h, f->cbbListSyst.Handle(), FALSE), f->cbbListCPL.Handle());
    EXPECT_EQ(GetNextDlgTabItem(h, f->cbbListCPL.Handle(), FALSE), f->edtCmdLine.Handle());

    EXPECT_EQ(Rows(f->cbbListCPL), (std::vector<std::string>{"control (Panneau)", "appwiz.cpl"}));
    EXPECT_EQ(Rows(f->cbbListSyst),
              (std::vector<std::string>{"ipconfig /all (IP)", "ver", "dir /w"}));
    EXPECT_EQ(Rows(f->cbbListCustom), std::vector<std::string>{""});
    EXPECT_FALSE(TakeQuitRequest());
}

TEST(Form1Layout, PersonalListTakesTheBoxPlaceInTheLargeLayout) {
    if (!IsScreenDpi96())
        GTEST_SKIP() << "design values are checked at 96 dpi";
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "layout-large");
    // The name on disk is in mixed case; the lookup does not care.
    install.Full().Custom("echo un\r\necho deux (2)\r\n");
    auto f = NewForm1();
    ShowForm(*f);
    HWND h = f->Handle();
    EXPECT_TRUE(boxes.Shown.empty());

    RECT client, outer;
    GetClientRect(h, &client);
    GetWindowRect(h, &outer);
    EXPECT_EQ(client.right, 605);
    EXPECT_EQ(outer.bottom - outer.top, 374);
    int sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, sh / 2, 1);

    EXPECT_TRUE(SameRect(ChildRect(h, f->cbbListCPL.Handle()), Bounds(17, 103, 503, 21)));
    EXPECT_TRUE(SameRect(ChildRect(h, f->cbbListSyst.Handle()), Bounds(17, 160, 503, 21)));
    EXPECT_TRUE(SameRect(ChildRect(h, f->cbbListCustom.Handle()), Bounds(17, 217, 503, 21)));
    EXPECT_TRUE(SameRect(ChildRect(h, f->edtCmdLine.Handle()), Bounds(17, 274, 503, 21)));
    EXPECT_TRUE(SameRect(ChildRect(h, f->btnExecuter.Handle()), Bounds(524, 274, 63, 21)));
    EXPECT_TRUE(IsWindowVisible(f->cbbListCustom.Handle()));
    EXPECT_TRUE(f->lblListCustom.Visible());
    EXPECT_EQ(f->lblListCustom.Left(), 27);
    EXPECT_EQ(f->lblListCustom.Top(), 201);
    EXPECT_EQ(f->lblExecuter.Top(), 258);
    EXPECT_EQ(f->lblExecuter.Left(), 27);
    EXPECT_EQ(f->lblPublisher.Top(), 323);
    EXPECT_EQ(f->lblPublisher.Left(), 19);
    EXPECT_LE(f->lblPublisher.Top() + f->lblPublisher.Height(), client.bottom);
    EXPECT_TRUE(SameRect(f->Bevel1.BoundsRect(), Bounds(17, 27, 503, 33)));

    // The personal list joins the tab order between the two others and "Lancer".
    f->edtCmdLine.SetText("ver");
    EXPECT_EQ(GetNextDlgTabItem(h, f->cbbListCPL.Handle(), FALSE), f->cbbListCustom.Handle());
    EXPECT_EQ(GetNextDlgTabItem(h, f->cbbListCustom.Handle(), FALSE), f->btnExecuter.Handle());
    EXPECT_EQ(GetNextDlgTabItem(h, f->btnExecuter.Handle(), FALSE), f->edtCmdLine.Handle());

    EXPECT_EQ(Rows(f->cbbListCustom), (std::vector<std::string>{"echo un", "echo deux (2)"}));
    EXPECT_EQ(Rows(f->cbbListSyst).size(), 3u);
    EXPECT_FALSE(TakeQuitRequest());
}

// ----------------------------------------------------------------- caption

TEST(Form1Caption, WaitingCaptionUntilTheFirstActivationOnly) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TInstall install(sys, "caption");
    install.Full();
    auto f = NewForm1();
    EXPECT_EQ(Application->Title, "Orbitashell");
    EXPECT_EQ(f->BaseCaption, "Orbitashell v " OSH_VERSION_TEXT);
    EXPECT_EQ(WindowTextOf(f->Handle()), kWaitingCaption);
    EXPECT_LE(std::string(kWaitingCaption).size(), 88u);
    EXPECT_TRUE(f->Launcher()->TempDir.empty());

    int activations = 0;
    auto activate = f->OnActivate;
    f->OnActivate = [&](TObject* s) {
        ++activations;
        activate(s);
    };
    ShowForm(*f);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(WindowTextOf(f->Handle()), "Orbitashell v " OSH_VERSION_TEXT);
    EXPECT_TRUE(f->Activated());

    // As if a status had been put in the caption: it must survive the
    // dialog's closing and a return from another window.
    f->SetCaption("Orbitashell v " OSH_VERSION_TEXT " - statut");
    ShowErrorMessage("Un message");
    PumpMessages(50);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(GetActiveWindow(), f->Handle());
    EXPECT_EQ(GetFocus(), f->edtCmdLine.Handle());
    HWND other = CreateWindowExA(0, "STATIC", "autre", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    PumpMessages(20);
    SetActiveWindow(f->Handle());
    PumpMessages(20);
    DestroyWindow(other);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(WindowTextOf(f->Handle()), "Orbitashell v " OSH_VERSION_TEXT " - statut");
}

// ---------------------------------------------------------------- start-up

struct TMissing {
    bool cpl, syst, folder;
};

class Form1Startup : public testing::TestWithParam<TMissing> {};

// Notes, at each connectivity probe, whether the main window was on screen; answers "offline".
class TProbeWatch : public TRecordingSystem, public TNetwork {
public:
    TProbeWatch() { SetNetwork(this); }
    ~TProbeWatch() override { SetNetwork(nullptr); }
    std::vector<bool> MainVisible;
    bool Probe(const std::string&) override {
        HWND main = Application->MainForm ? Application->MainForm->WindowHandle() : nullptr;
        MainVisible.push_back(main && IsWindowVisible(main));
        return false;
    }
};

TEST_P(Form1Startup, MissingFilesAreReportedInOrderAndEndTheProgram) {
    const TMissing m = GetParam();
    TProbeWatch sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "missing");
    if (!m.cpl)
        install.Cpl();
    if (!m.syst)
        install.Syst();
    if (!m.folder)
        install.SystFolder();

    auto f = NewForm1();

    std::vector<std::string> want;
    if (m.cpl)
        want.push_back(kMissingCPL);
    if (m.syst)
        want.push_back(kMissingSyst);
    if (m.folder)
        want.push_back(kMissingFolder);
    EXPECT_EQ(Texts(boxes.Shown), want);
    for (size_t i = 0; i < boxes.Shown.size(); ++i) {
        EXPECT_EQ(boxes.Shown[i].title, "Erreur");
        EXPECT_FALSE(boxes.Shown[i].systemBox);
        // Its own beep comes just before each box.
        EXPECT_EQ(boxes.Shown[i].beepsBefore, i + 1);
    }
    EXPECT_EQ(sys.Beeps, std::vector<UINT>(want.size(), MB_ICONHAND));
    // Only the first box waited for an answer; the pending quit closed the others.
    if (!want.empty()) {
        ASSERT_EQ(watcher.Seen.size(), 1u);
        EXPECT_EQ(watcher.Seen[0].text, want[0]);
    } else {
        EXPECT_TRUE(watcher.Seen.empty());
    }

    // The lists that could be read are loaded anyway.
    EXPECT_EQ(f->cbbListCPL.ItemCount(), m.cpl ? 1 : 2);
    EXPECT_EQ(f->cbbListSyst.ItemCount(), m.syst ? 1 : 3);

    // Answering a box activates no hidden window: the update check waits.
    EXPECT_FALSE(f->Activated());
    EXPECT_TRUE(sys.MainVisible.empty());

    // The window still opens and is activated once, with the quit still pending;
    // the update check runs while it is on screen, and only when nothing failed.
    f->Show();
    EXPECT_TRUE(f->Activated());
    EXPECT_EQ(sys.MainVisible, want.empty() ? std::vector<bool>{true} : std::vector<bool>{});
    EXPECT_EQ(WindowTextOf(f->Handle()), "Orbitashell v " OSH_VERSION_TEXT);
    EXPECT_EQ(TakeQuitRequest(), !want.empty());
    EXPECT_TRUE(sys.ShellCalls.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryCombination, Form1Startup,
                         testing::Values(TMissing{false, false, false},
                                         TMissing{true, false, false}, TMissing{false, true, false},
                                         TMissing{false, false, true}, TMissing{true, true, false},
                                         TMissing{true, false, true}, TMissing{false, true, true},
                                         TMissing{true, true, true}));

TEST(Form1Startup, CataloguesBesideTheProgramSystInTheCurrentFolder) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "where");
    install.Full();
    auto current = [] {
        char cwd[MAX_PATH];
        return std::string(cwd, GetCurrentDirectoryA(MAX_PATH, cwd));
    };
    // Started from a folder that holds "Syst" but no catalogue: it stays current.
    std::string elsewhere = MakeScratchDir("elsewhere");
    CreateDirectoryA((elsewhere + "\\Syst").c_str(), nullptr);
    SetCurrentDirectoryA(elsewhere.c_str());
    {
        auto f = NewForm1();
        EXPECT_TRUE(boxes.Shown.empty());
        EXPECT_EQ(f->cbbListSyst.ItemCount(), 3);
        EXPECT_FALSE(TakeQuitRequest());
        EXPECT_EQ(current(), elsewhere);
    }
    // The same folder without "Syst" (a shortcut without a working folder):
    // the program's own folder, which has one, becomes the current folder.
    RemoveTree(elsewhere + "\\Syst");
    {
        auto f = NewForm1();
        EXPECT_TRUE(boxes.Shown.empty());
        EXPECT_EQ(f->cbbListCPL.ItemCount(), 2);
        EXPECT_FALSE(TakeQuitRequest());
        EXPECT_EQ(current(), install.dir);
    }
    // "Syst" in neither: the message, and the current folder stays.
    RemoveTree(install.dir + "\\Syst");
    SetCurrentDirectoryA(elsewhere.c_str());
    {
        auto f = NewForm1();
        EXPECT_EQ(Texts(boxes.Shown), std::vector<std::string>{kMissingFolder});
        EXPECT_TRUE(TakeQuitRequest());
        EXPECT_EQ(current(), elsewhere);
    }
    SetCurrentDirectoryA(install.dir.c_str());
    RemoveTree(elsewhere);
}

// Unzipped into a folder whose name has letters Windows-1252 lacks, on a
// volume without short names: no ANSI call reaches the folder, so the message
// names it, and nothing is loaded nor run.
TEST(Form1Startup, FolderThatNoAnsiCallReaches) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "noshort");
    sys.ExePath = Widened(install.dir) + L"\\\u041E\u0440\u0431\u0438\u0442\u0430\\Orbitashell.exe";
    sys.ShortNames = false;
    auto f = NewForm1();
    EXPECT_EQ(Texts(boxes.Shown),
              std::vector<std::string>{
                  "Le nom du dossier \"" + install.dir +
                  "\\??????\" contient des caractères que Windows-1252 n'a pas, et Windows ne "
                  "donne pas de nom court (8.3) à ce dossier : Orbitashell ne peut pas y lire ni "
                  "y écrire ses fichiers. Placez Orbitashell dans un dossier dont le nom n'a que "
                  "des lettres latines, par exemple C:\\Orbitashell."});
    EXPECT_TRUE(TakeQuitRequest());
    f->edtCmdLine.SetText("ver");
    PressLancer(*f);
    EXPECT_TRUE(sys.ShellCalls.empty());
}

// A catalogue held open for writing by someone else cannot be read: the
// application error box names it, and the window opens with what was loaded.
TEST(Form1Startup, CatalogueHeldOpenForWriting) {
    struct Case {
        const char* name;
        bool custom;
    } cases[] = {
        {"COMMANDESCPL.TXT", false}, {"COMMANDESSYST.TXT", false}, {"COMMANDES.TXT", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRecordingSystem sys;
        TDialogWatcher watcher;
        TBoxRecorder boxes;
        TInstall install(sys, "held");
        install.Full();
        if (c.custom)
            install.Custom();
        std::string path = install.dir + "\\" + c.name;
        HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        auto f = NewForm1();
        CloseHandle(writer);
        // Shown by the loop, not from inside the creation handler.
        EXPECT_TRUE(boxes.Shown.empty());
        PumpMessages(20);

        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_TRUE(boxes.Shown[0].systemBox);
        EXPECT_EQ(boxes.Shown[0].title, "Orbitashell");
        EXPECT_EQ(boxes.Shown[0].text, "Impossible d'ouvrir le fichier \"" + path + "\". " +
                                           SysErrorMessage(ERROR_SHARING_VIOLATION) + ".");
        EXPECT_EQ(boxes.Shown[0].icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)));
        EXPECT_TRUE(sys.Beeps.empty());
        EXPECT_EQ(watcher.Seen.size(), 1u);
        EXPECT_FALSE(TakeQuitRequest());

        // The failed list keeps its single empty row for now; the others load.
        const std::vector<std::string> empty{""};
        const std::string name = c.name;
        EXPECT_EQ(Rows(f->cbbListCPL).size() == 2u, name != "COMMANDESCPL.TXT");
        EXPECT_EQ(Rows(f->cbbListSyst).size() == 3u, name != "COMMANDESSYST.TXT");
        EXPECT_EQ(Rows(f->cbbListCustom), empty);
        EXPECT_EQ(f->cbbListCustom.Visible(), c.custom);

        ShowForm(*f);
        EXPECT_TRUE(IsWindowVisible(f->Handle()));
        EXPECT_EQ(WindowTextOf(f->Handle()), "Orbitashell v " OSH_VERSION_TEXT);

        // Every file free now: each list fills at the next check, those after
        // the failed one too.
        EXPECT_LT(PumpUntil([&] {
                      return Rows(f->cbbListCPL).size() == 2 && Rows(f->cbbListSyst).size() == 3 &&
                             (!c.custom ||
                              Rows(f->cbbListCustom) == std::vector<std::string>{"echo perso"});
                  }),
                  2500u);
    }
}

// A personal list held by an editor stops none of the other checks: a
// missing catalogue is still said, then the list's error; the list fills
// once its file is free.
TEST(Form1Startup, HeldPersonalListAndMissingCatalogueAreBothSaid) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "heldmissing");
    install.Cpl().SystFolder().Custom();
    const std::string path = install.dir + "\\COMMANDES.TXT";
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    auto f = NewForm1();
    EXPECT_TRUE(Application->QuitRequested());
    PumpMessages(20);
    EXPECT_EQ(Texts(boxes.Shown),
              (std::vector<std::string>{kMissingSyst,
                                        "Impossible d'ouvrir le fichier \"" + path + "\". " +
                                            SysErrorMessage(ERROR_SHARING_VIOLATION) + "."}));
    EXPECT_EQ(Rows(f->cbbListCPL).size(), 2u);
    CloseHandle(writer);
    EXPECT_LT(
        PumpUntil([&] { return Rows(f->cbbListCustom) == std::vector<std::string>{"echo perso"}; }),
        2500u);
}

// ---------------------------------------------------------------- bad input

struct TBadCatalogue {
    const char* name;
    std::string bytes;
    std::vector<std::string> rows;
};

TEST(Form1Catalogue, BadInputGivesTheRowsOfTheRules) {
    const std::vector<TBadCatalogue> cases = {
        {"LF only", "ver\ndir\n\nvol\n", {"ver", "dir", "", "vol"}},
        {"CR only", "ver\rdir\r\rvol\r", {"ver", "dir", "", "vol"}},
        {"mixed ends", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"empty lines at the end", "a\r\n\r\n", {"a", ""}},
        {"NUL in the middle", std::string("ver\r\ndi\0r\r\nvol\r\n", 16), {"ver", "di"}},
        {"NUL first", std::string("\0ver\r\n", 6), {}},
        {"empty file", "", {}},
        {"upper bytes",
         "\x80\x81\x8D\x8F\x90\x9D\xA0\xE9\xFF\r\n",
         {"\x80\x81\x8D\x8F\x90\x9D\xA0\xE9\xFF"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRecordingSystem sys;
        TBoxRecorder boxes;
        TInstall install(sys, "bad");
        install.Cpl(c.bytes).Syst().SystFolder();
        auto f = NewForm1();
        EXPECT_EQ(Rows(f->cbbListCPL), c.rows);
        EXPECT_TRUE(boxes.Shown.empty());
        EXPECT_FALSE(TakeQuitRequest());
    }
}

TEST(Form1Catalogue, RandomBytesNeitherCrashNorLoseBytes) {
    std::mt19937 rng(20240607);
    for (int round = 0; round < 4; ++round) {
        std::string bytes(20000, '\0');
        for (auto& b : bytes)
            b = static_cast<char>(rng() % 256);
        // Every other round without NUL, so that the whole file is read.
        if (round % 2)
            for (auto& b : bytes)
                if (b == '\0')
                    b = 'x';
        // The rule, written plainly: lines up to the first NUL, at CR, LF or CR LF.
        std::vector<std::string> want;
        std::string line;
        bool open = false;
        for (size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
            char ch = bytes[i];
            if (ch == '\r' || ch == '\n') {
                want.push_back(line);
                line.clear();
                open = false;
                if (ch == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                    ++i;
            } else {
                line += ch;
                open = true;
            }
        }
        if (open)
            want.push_back(line);

        TRecordingSystem sys;
        TBoxRecorder boxes;
        TInstall install(sys, "random");
        install.Cpl().Syst(bytes).SystFolder();
        auto f = NewForm1();
        auto rows = Rows(f->cbbListSyst);
        ASSERT_EQ(rows.size(), want.size()) << "round " << round;
        for (size_t i = 0; i < rows.size(); ++i)
            ASSERT_EQ(rows[i], want[i]) << "round " << round << ", row " << i;
        EXPECT_TRUE(boxes.Shown.empty());
        ShowForm(*f);
    }
}

TEST(Form1Catalogue, TenMegabyteLineIsOneRowThatCanBeChosenAndLaunched) {
    std::string line(10 * 1024 * 1024, 'a');
    line.replace(0, 5, "echo ");
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "huge-line");
    install.Cpl(line + "\r\nver\r\n").Syst().SystFolder();
    auto f = NewForm1();
    ASSERT_EQ(f->cbbListCPL.ItemCount(), 2);
    EXPECT_EQ(f->cbbListCPL.Item(0), line);
    ShowForm(*f);
    ChooseRow(*f, f->cbbListCPL, 0);
    EXPECT_EQ(f->edtCmdLine.Text(), line);
    EXPECT_TRUE(f->btnExecuter.Enabled());
    // Far longer than the interpreter takes: refused, nothing runs.
    TDialogWatcher watcher;
    PressLancer(*f);
    EXPECT_TRUE(sys.ShellCalls.empty());
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].title, "Erreur");
    EXPECT_EQ(f->edtCmdLine.Text(), line);
}

// A long list loads whole, and two letters typed at a user's pace, a third of
// a second apart, still make one prefix when the rows they look for come last.
TEST(Form1Catalogue, HundredThousandRows) {
    std::string bytes;
    for (int i = 0; i < 99997; ++i)
        bytes += "echo ligne " + std::to_string(i) + " (commentaire)\r\n";
    bytes += "zz haut\r\nyes\r\nZY bas (fin)\r\n";
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "many");
    install.Cpl(bytes).Syst().SystFolder();
    auto f = NewForm1();
    ASSERT_EQ(f->cbbListCPL.ItemCount(), 100000);
    EXPECT_EQ(f->cbbListCPL.Item(0), "echo ligne 0 (commentaire)");
    EXPECT_EQ(f->cbbListCPL.Item(99999), "ZY bas (fin)");
    ShowForm(*f);
    ChooseRow(*f, f->cbbListCPL, 99996);
    EXPECT_EQ(f->edtCmdLine.Text(), "echo ligne 99996 ");

    HWND list = f->cbbListCPL.Handle();
    SetFocus(list);
    Type(list, "z");
    EXPECT_EQ(f->cbbListCPL.ItemIndex(), 99997);
    Sleep(350);
    Type(list, "y");
    EXPECT_EQ(f->cbbListCPL.ItemIndex(), 99999);
    EXPECT_EQ(f->edtCmdLine.Text(), "ZY bas ");
    EXPECT_TRUE(boxes.Shown.empty());
}

// ---------------------------------------------------------- lists and box

class Form1Box : public testing::Test {
protected:
    void SetUp() override {
        install_.Cpl("control (Panneau)\r\nappwiz.cpl\r\n")
            .Syst("ipconfig /all (Configuration IP)\r\n(seulement un commentaire)\r\necho (a\r\n"
                  "dir (x) /w (y)\r\necho ) a (b) c\r\nver\r\n")
            .Custom("ipconfig\r\nDiskpart (disques)\r\ndir /w\r\nver\r\nvol\r\n")
            .SystFolder();
        f_ = NewForm1();
        ShowForm(*f_);
        auto change = f_->edtCmdLine.OnChange;
        f_->edtCmdLine.OnChange = [this, change](TObject* s) {
            ++changes_;
            change(s);
        };
    }
    void TearDown() override { EXPECT_TRUE(boxes_.Shown.empty()); }
    TForm1& F() { return *f_; }
    std::string Box() { return F().edtCmdLine.Text(); }
    bool Lancer() { return IsWindowEnabled(F().btnExecuter.Handle()) != FALSE; }

    TRecordingSystem sys_;
    TBoxRecorder boxes_;
    TInstall install_{sys_, "box"};
    TForm1Ptr f_;
    int changes_ = 0;
};

TEST_F(Form1Box, ChoosingARowFillsTheBoxWithoutComments) {
    struct {
        int row;
        const char* box;
        bool enabled;
    } cases[] = {
        {0, "ipconfig /all ", true},
        {1, "", false},
        {2, "echo (a", true},     // no ")" at all: taken over as it is
        {3, "dir  /w ", true},    // both comments go, the blanks around them stay
        {4, "echo ) a  c", true}, // a ")" before the first "(" stays
        {5, "ver", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ChooseRow(F(), F().cbbListSyst, c.row);
        EXPECT_EQ(Box(), c.box);
        EXPECT_EQ(Lancer(), c.enabled);
        EXPECT_EQ(F().btnExecuter.Enabled(), c.enabled);
    }
    // Each list fills the same box.
    ChooseRow(F(), F().cbbListCPL, 0);
    EXPECT_EQ(Box(), "control ");
    ChooseRow(F(), F().cbbListCustom, 4);
    EXPECT_EQ(Box(), "vol");
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

// A row of a UTF-8 list that shows '?' for a letter Windows-1252 lacks would
// run another command: from its list or the suggestions it is refused, the
// box as it was. A '?' of the file itself is no loss.
TEST(Form1LossyRow, IsRefusedFromTheListAndFromTheSuggestions) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "lossy");
    install.Full().Custom("echo \xD0\x96urnal\r\necho ok ? \xC3\xA9t\xC3\xA9\r\n");
    auto f = NewForm1();
    ShowForm(*f);
    ChooseRow(*f, f->cbbListCustom, 1);
    ChooseRow(*f, f->cbbListCustom, 0);
    EXPECT_EQ(f->edtCmdLine.Text(), "echo ok ? été");
    HWND box = f->edtCmdLine.Handle();
    f->edtCmdLine.SetText("");
    SetFocus(box);
    Type(box, "urnal");
    PostKey(box, VK_DOWN);
    PostKey(box, VK_RETURN);
    PumpMessages(50);
    EXPECT_EQ(f->edtCmdLine.Text(), "urnal");
    const std::string refused =
        "Cette ligne contient un caractère que Windows-1252 n'a pas (il s'affiche « ? ») : "
        "lancée telle quelle, elle exécuterait une autre commande. La ligne de commande reste "
        "inchangée ; corrigez la ligne dans le fichier de la liste.";
    // Copied, it would be pasted as another command: refused too, the clipboard kept.
    SetClipboard(L"avant");
    f->edtCmdLine.SetText("");
    Type(box, "urnal");
    PostKey(box, VK_DOWN);
    PumpMessages(20);
    ASSERT_EQ(f->Suggestions.List().ItemIndex(), 0);
    Hold(true);
    PostKey(box, 'C');
    PumpMessages(20);
    Hold(false);
    EXPECT_EQ(ClipboardText(), L"avant");
    EXPECT_EQ(Texts(boxes.Shown), (std::vector<std::string>{refused, refused, refused}));
}

TEST_F(Form1Box, ChoosingTheRowAlreadyShownChangesNothing) {
    ChooseRow(F(), F().cbbListSyst, 5);
    ASSERT_EQ(Box(), "ver");
    int before = changes_;
    SendMessageA(F().edtCmdLine.Handle(), EM_SETSEL, 1, 2);
    ChooseRow(F(), F().cbbListSyst, 5);
    ChooseRow(F(), F().cbbListCustom, 3);
    EXPECT_EQ(changes_, before);
    DWORD from = 0, to = 0;
    SendMessageA(F().edtCmdLine.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 2u);
}

TEST_F(Form1Box, ArrowKeysOnTheClosedListRewriteTheBoxAtEveryStep) {
    HWND list = F().cbbListCustom.Handle();
    SetFocus(list);
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        PostKey(list, VK_DOWN);
        PumpMessages(20);
        seen.push_back(Box());
    }
    EXPECT_FALSE(F().cbbListCustom.DroppedDown());
    EXPECT_EQ(seen, (std::vector<std::string>{"ipconfig", "Diskpart ", "dir /w"}));
    PostKey(list, VK_UP);
    PumpMessages(20);
    EXPECT_EQ(Box(), "Diskpart ");
    EXPECT_EQ(F().cbbListCustom.ItemIndex(), 1);
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

TEST_F(Form1Box, TypedPrefixChoosesTheFirstRowThatBeginsWithIt) {
    HWND list = F().cbbListCustom.Handle();
    SetFocus(list);
    Type(list, "d");
    EXPECT_EQ(Box(), "Diskpart ");
    Type(list, "I");
    EXPECT_EQ(Box(), "Diskpart ");
    Type(list, "r");
    EXPECT_EQ(Box(), "dir /w");
    Sleep(600); // a pause starts a new prefix
    Type(list, "v");
    EXPECT_EQ(Box(), "ver");
    Type(list, "x"); // "vx" begins no row: the choice stays
    EXPECT_EQ(Box(), "ver");
    EXPECT_EQ(F().cbbListCustom.ItemIndex(), 3);
}

TEST_F(Form1Box, TypingIntoTheBox) {
    HWND box = F().edtCmdLine.Handle();
    SetFocus(box);
    Type(box, "ipconfig (tout");
    EXPECT_EQ(Box(), "ipconfig (tout");
    EXPECT_TRUE(Lancer());
    Type(box, ")");
    EXPECT_EQ(Box(), "ipconfig ");
    // Typing goes on at the end of the shortened text.
    Type(box, "/all");
    EXPECT_EQ(Box(), "ipconfig /all");

    // Deleting the last character disables "Lancer"; a single blank enables it.
    SendMessageA(box, EM_SETSEL, 0, -1);
    PostKey(box, VK_DELETE);
    PumpMessages(20);
    EXPECT_EQ(Box(), "");
    EXPECT_FALSE(Lancer());
    Type(box, " ");
    EXPECT_EQ(Box(), " ");
    EXPECT_TRUE(Lancer());
    Type(box, "\b");
    EXPECT_EQ(Box(), "");
    EXPECT_FALSE(Lancer());

    // A ")" typed first, then a comment after it: only the comment goes.
    Type(box, "a) b (c");
    EXPECT_EQ(Box(), "a) b (c");
    Type(box, ")");
    EXPECT_EQ(Box(), "a) b ");
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

// A paste keeps its parentheses: doubled outside quotes, so that none is a
// comment (the e2e test runs one). A ")" typed to end a comment says why, once.
TEST_F(Form1Box, PastedParenthesesStayAndATypedCommentIsExplainedOnce) {
    HWND box = F().edtCmdLine.Handle();
    SetFocus(box);
    // After an open quote, the paste is quoted; by Shift+Insert; its first line; undone whole.
    F().edtCmdLine.SetText("dir \"C:\\Program Files");
    SetClipboard(L" (x86)\\R\u00e9sum\u00e9\u041f\" (liste)\r\nsecond");
    Hold(false, true);
    PostKey(box, VK_INSERT);
    PumpMessages(20);
    Hold(false);
    EXPECT_EQ(Box(), "dir \"C:\\Program Files (x86)\\R\xE9sum\xE9?\" ((liste))");
    SendMessageA(box, WM_UNDO, 0, 0);
    EXPECT_EQ(Box(), "dir \"C:\\Program Files");

    F().edtCmdLine.SetText("");
    Type(box, "dir \"C:\\Program Files (x86)\"");
    EXPECT_EQ(Box(), "dir \"C:\\Program Files (x86)\"");
    ChooseRow(F(), F().cbbListSyst, 0); // a row's comment goes in silence
    EXPECT_EQ(ShownBalloon(), nullptr);
    F().edtCmdLine.SetText("");
    Type(box, "for %f in (*.txt)");
    EXPECT_EQ(Box(), "for %f in ");
    HWND balloon = ShownBalloon();
    EXPECT_EQ(WindowTextOf(balloon),
              "Le texte entre parenthèses est un commentaire : il est retiré de la ligne. Pour "
              "garder une parenthèse, doublez-la : (( et )).");
    RECT r{}, b;
    GetWindowRect(balloon, &r);
    GetWindowRect(box, &b);
    EXPECT_TRUE(r.top >= b.bottom - 2 && r.left < b.right && r.right > b.left);
    Type(box, "(a)");
    EXPECT_EQ(Box(), "for %f in ");
    EXPECT_EQ(ShownBalloon(), nullptr); // the next key hides it, and it comes no more
}

// ------------------------------------------------------------ suggestions

TEST_F(Form1Box, SuggestionsTakeARowByKeysOrMouseAndLeaveEnterAndEscapeAsTheyWere) {
    HWND box = F().edtCmdLine.Handle();
    TDropDownList& found = F().Suggestions.List();
    auto key = [](HWND h, UINT vk) {
        PostKey(h, vk);
        PumpMessages(20);
    };
    SetFocus(box);
    Type(box, "i");
    EXPECT_FALSE(found.Visible());
    Type(box, "P");
    ASSERT_TRUE(found.Visible());
    ASSERT_EQ(found.ItemCount(), 2);
    EXPECT_EQ(found.Item(0), "ipconfig"); // the personal list first
    EXPECT_EQ(found.Item(1), "ipconfig /all (Configuration IP)");
    RECT r, b;
    GetWindowRect(GetAncestor(found.Handle(), GA_ROOT), &r);
    GetWindowRect(box, &b);
    EXPECT_EQ(r.top, b.bottom);
    EXPECT_EQ(r.bottom - r.top, 2 * 15 + 2);
    EXPECT_EQ(GetForegroundWindow(), F().Handle());
    EXPECT_TRUE(IsWindowVisible(found.Handle()));

    key(box, VK_DOWN);
    key(box, VK_DOWN);
    key(box, VK_DOWN);
    EXPECT_EQ(found.ItemIndex(), 1);
    EXPECT_EQ(Box(), "iP");
    key(box, VK_RETURN);
    EXPECT_FALSE(found.Visible());
    EXPECT_EQ(Box(), "ipconfig /all ");
    EXPECT_TRUE(Lancer());
    DWORD from = 0, to = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 14u);
    EXPECT_EQ(to, 14u);
    EXPECT_TRUE(sys_.ShellCalls.empty());

    // A click takes the row under the pointer; the box keeps the focus.
    F().edtCmdLine.SetText("");
    Type(box, "/w");
    ASSERT_EQ(found.ItemCount(), 2);
    PostMessageA(found.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 20));
    PumpMessages(20);
    EXPECT_EQ(Box(), "dir  /w ");
    EXPECT_EQ(GetFocus(), box);

    // Nothing highlighted: Enter launches what was typed.
    F().edtCmdLine.SetText("");
    Type(box, "ve");
    ASSERT_EQ(found.ItemCount(), 2);
    key(box, VK_RETURN);
    ASSERT_EQ(sys_.ShellCalls.size(), 1u);
    EXPECT_EQ(sys_.ShellCalls[0].parameters, "/kTitle Orbitashell&&Color 4E&&ve");
    EXPECT_FALSE(found.Visible());

    // Escape closes the suggestions, a second one the program.
    Type(box, "r");
    ASSERT_TRUE(found.Visible());
    PostKey(box, VK_ESCAPE);
    EXPECT_FALSE(PumpUntilQuit(60));
    EXPECT_FALSE(found.Visible());
    EXPECT_FALSE(IsWindowVisible(found.Handle())); // emptied once hidden, yet not shown
    EXPECT_EQ(Box(), "ver");
    PostKey(box, VK_ESCAPE);
    EXPECT_TRUE(PumpUntilQuit(60));
}

TEST_F(Form1Box, RowsOfAnotherSourceComeFirstAndArePickedLikeTheOthers) {
    F().Suggestions.LeadingRows = [](std::string_view typed) {
        return typed == "iP" ? std::vector<std::string>{"ipconfig /renew"}
                             : std::vector<std::string>{};
    };
    HWND box = F().edtCmdLine.Handle();
    TDropDownList& found = F().Suggestions.List();
    SetFocus(box);
    Type(box, "iP");
    ASSERT_EQ(found.ItemCount(), 3);
    EXPECT_EQ(found.Item(0), "ipconfig /renew");
    EXPECT_EQ(found.Item(1), "ipconfig");
    PostKey(box, VK_DOWN);
    PostKey(box, VK_RETURN);
    PumpMessages(20);
    EXPECT_EQ(Box(), "ipconfig /renew");
    EXPECT_FALSE(found.Visible());
}

TEST_F(Form1Box, SuggestionsOpenOnlyWhileTheUserTypesInTheFocusedBox) {
    HWND box = F().edtCmdLine.Handle();
    TDropDownList& found = F().Suggestions.List();
    SetFocus(box);
    ChooseRow(F(), F().cbbListCustom, 1); // a pick holding "disques" and "Diskpart"
    EXPECT_FALSE(found.Visible());
    Type(box, "(di");
    ASSERT_TRUE(found.Visible()); // "(di" begins "(disques)"
    Type(box, ")");
    EXPECT_EQ(Box(), "Diskpart ");
    EXPECT_FALSE(found.Visible());
    Type(box, "\b");
    ASSERT_TRUE(found.Visible());
    SetFocus(F().cbbListSyst.Handle());
    EXPECT_FALSE(found.Visible());
    SetFocus(box);
    F().edtCmdLine.SetText("");
    Type(box, "di");
    ASSERT_TRUE(found.Visible());
    SetWindowPos(F().Handle(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(found.Visible());
}

TEST(Form1Suggestions, ManyRowsScrollByTheirBarAndComeInAsTheListReachesThem) {
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "many");
    std::string rows;
    for (int i = 0; i < 450; ++i)
        rows += "echo ligne " + std::to_string(i) + "\r\n";
    install.Cpl("").Syst("").Custom(rows).SystFolder();
    auto f = NewForm1();
    ShowForm(*f);
    HWND box = f->edtCmdLine.Handle();
    TDropDownList& found = f->Suggestions.List();
    SetFocus(box);
    Type(box, "li");
    ASSERT_EQ(found.ItemCount(), 200);
    HWND frame = GetParent(found.Handle());
    HWND bar = FindWindowExA(frame, nullptr, "SCROLLBAR", nullptr);
    ASSERT_TRUE(bar && IsWindowVisible(bar));
    RECT list, thumbs;
    GetWindowRect(found.Handle(), &list);
    GetWindowRect(bar, &thumbs);
    EXPECT_EQ(list.right, thumbs.left);
    auto barAt = [&](int max) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(bar, SB_CTL, &si);
        EXPECT_EQ(si.nMax, max);
        EXPECT_EQ(si.nPage, 12u);
        return si.nPos;
    };
    // The bar covers every match, not only the rows the list holds yet.
    EXPECT_EQ(barAt(449), 0);

    // The bar scrolls the list; the rows it reaches come in.
    SendMessageA(frame, WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(found.TopIndex(), 12);
    EXPECT_EQ(barAt(449), 12);
    SendMessageA(frame, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(found.ItemCount(), 450);
    EXPECT_EQ(found.TopIndex(), 438);
    // The keys from the top, down to the last row.
    Type(box, "g");
    EXPECT_EQ(found.ItemCount(), 200);
    for (int k = 0; k < 40; ++k)
        PostKey(box, VK_NEXT);
    PumpMessages(100);
    EXPECT_EQ(found.ItemCount(), 450);
    EXPECT_EQ(found.ItemIndex(), 449);
    EXPECT_EQ(barAt(449), 438);

    // A letter starts from the top with nothing highlighted, even when it
    // leaves the same rows.
    Type(box, "n");
    EXPECT_EQ(found.ItemCount(), 200);
    EXPECT_EQ(barAt(449), 0);
    PostKey(box, VK_DOWN);
    PumpMessages(20);
    ASSERT_EQ(found.ItemIndex(), 0);
    Type(box, "e");
    EXPECT_EQ(found.ItemIndex(), -1);
    EXPECT_EQ(found.Item(0), "echo ligne 0");

    // Twelve rows or fewer: no bar, the list takes the whole width.
    Type(box, " 12");
    EXPECT_EQ(found.ItemCount(), 15); // 12, 112, 120 to 129, 212, 312, 412
    EXPECT_TRUE(IsWindowVisible(bar));
    Type(box, "3");
    EXPECT_EQ(found.ItemCount(), 1);
    EXPECT_FALSE(IsWindowVisible(bar));
    GetWindowRect(found.Handle(), &list);
    EXPECT_EQ(list.right, thumbs.right);
}

// A window whose personal list holds rows, the others nothing.
struct TWindowOn {
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install{sys, "rows"};
    TForm1Ptr form;
    explicit TWindowOn(const std::string& rows) {
        install.Cpl("").Syst("").Custom(rows).SystFolder();
        form = NewForm1();
        ShowForm(*form);
        SetFocus(form->edtCmdLine.Handle());
    }
    void Type(const char* text) { ::Type(form->edtCmdLine.Handle(), text); }
    HWND Frame() { return GetParent(form->Suggestions.List().Handle()); }
    HWND Bar() { return FindWindowExA(Frame(), nullptr, "SCROLLBAR", nullptr); }
};

// 450 rows that "li" all finds.
std::string ManyRows() {
    std::string rows;
    for (int i = 0; i < 450; ++i)
        rows += "echo ligne " + std::to_string(i) + "\r\n";
    return rows;
}

TEST(Form1Suggestions, TheirWindowsAreMadeOnceTheWindowIsPaintedAndIdle) {
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "idle");
    install.Full();
    auto f = NewForm1();
    f->Show();
    SetForegroundWindow(f->Handle());
    ASSERT_EQ(GetFocus(), f->edtCmdLine.Handle());
    EXPECT_FALSE(f->Suggestions.List().HandleAllocated());
    PumpMessages(50);
    EXPECT_TRUE(f->Suggestions.List().HandleAllocated());
}

TEST(Form1Suggestions, TheThumbDraggedToTheBottomShowsTheLastMatch) {
    TWindowOn many(ManyRows());
    many.Type("li");
    TDropDownList& found = many.form->Suggestions.List();
    ASSERT_EQ(found.ItemCount(), 200);
    HWND bar = many.Bar();
    RECT r;
    GetClientRect(bar, &r);
    const int x = r.right / 2;
    // The thumb lies at the top, under the arrow; it goes down past the end.
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(x, GetSystemMetrics(SM_CYVSCROLL) + 2));
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, r.bottom - 1));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, r.bottom - 1));
    PumpMessages(50);
    EXPECT_EQ(found.TopIndex(), 450 - 12);
    EXPECT_EQ(found.Item(449), "echo ligne 449");
}

TEST(Form1Suggestions, TheScrollBarHasTheWidthOfTheWindowsDpi) {
    TWindowOn many(ManyRows());
    RECT r;
    GetWindowRect(many.form->Handle(), &r);
    const int dpi = many.form->PixelsPerInch() * 2;
    SendMessageA(many.form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&r));
    SetFocus(many.form->edtCmdLine.Handle());
    many.Type("li");
    GetWindowRect(many.Bar(), &r);
    EXPECT_NEAR(r.right - r.left, 2 * GetSystemMetrics(SM_CXVSCROLL), 1);
}

TEST(Form1Suggestions, TheDropDownNarrowsAgainWhenItsLongRowsGo) {
    TWindowOn window("echo court\r\necho " + std::string(120, 'x') + "\r\n");
    auto width = [&] {
        RECT r;
        GetWindowRect(window.Frame(), &r);
        return r.right - r.left;
    };
    const int box = window.form->edtCmdLine.Width();
    window.Type("ec");
    EXPECT_GT(width(), box);
    window.Type("ho co");
    ASSERT_EQ(window.form->Suggestions.List().ItemCount(), 1);
    EXPECT_EQ(width(), box);
}

TEST(Form1Suggestions, ARowWiderThanTheScreenEndsInAnEllipsis) {
    TWindowOn window("echo " + std::string(2000, 'W') + "\r\n");
    window.Type("ec");
    TDropDownList& found = window.form->Suggestions.List();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window.Frame(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT frame, row;
    GetWindowRect(window.Frame(), &frame);
    EXPECT_LE(frame.right - frame.left, monitor.rcWork.right - monitor.rcWork.left);

    // The row drawn into a bitmap: near its end, ink only low down, as the
    // dots of an ellipsis leave it, and none of the tall W's.
    SendMessageA(found.Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, row.right, row.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ was = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.hwndItem = found.Handle();
    dis.hDC = dc;
    dis.rcItem = row;
    found.HandleDrawItem(dis);
    const COLORREF paper = GetPixel(dc, row.right - 1, row.top);
    int high = 0, low = 0;
    for (int x = row.right - found.Scale(20); x < row.right; ++x)
        for (int y = row.top; y < row.bottom; ++y)
            if (GetPixel(dc, x, y) != paper)
                ++(y < (row.top + row.bottom) / 2 ? high : low);
    SelectObject(dc, was);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_EQ(high, 0);
    EXPECT_GT(low, 0);
}

// ------------------------------------------------------------------ launch

class Form1Launch : public Form1Box {
protected:
    void SetUp() override {
        Form1Box::SetUp();
        temp_ = install_.dir + "\\Dossier temporaire";
        CreateDirectoryA(temp_.c_str(), nullptr);
        sys_.Env["Temp"] = temp_;
        sys_.Env["ComSpec"] = std::nullopt;
        CreateDirectoryA((install_.dir + "\\Syst\\Driver").c_str(), nullptr);
        WriteBytes(Viewer(), "MZ");
    }
    std::string Viewer() { return install_.dir + "\\Syst\\Driver\\oshv.exe"; }
    std::string Capture() { return install_.dir + "\\EditCmd.TXT"; }
    static std::string SystemCmd() {
        char dir[MAX_PATH];
        UINT n = GetSystemDirectoryA(dir, MAX_PATH);
        return std::string(dir, n) + "\\cmd.exe";
    }
    // Pressed from outside the loop: a failure shows once the loop runs.
    void Launch(const std::string& line) {
        F().edtCmdLine.SetText(line);
        PressLancer(F());
        PumpMessages(20);
    }
    TShellCall Only() {
        EXPECT_EQ(sys_.ShellCalls.size(), 1u);
        TShellCall c = sys_.ShellCalls.empty() ? TShellCall{} : sys_.ShellCalls.back();
        sys_.ShellCalls.clear();
        return c;
    }
    std::string BatchPath() { return temp_ + "\\EditCMD.bat"; }
    std::string temp_;
};

TEST_F(Form1Launch, OrdinaryAndToolLinesRunInAConsoleOwnedByTheWindow) {
    struct {
        const char* line;
        const char* parameters;
    } cases[] = {
        {"ipconfig /all", "/kTitle Orbitashell&&Color 4E&&ipconfig /all"},
        {" ", "/kTitle Orbitashell&&Color 4E&& "},
        {"control /name Microsoft.ProgramsAndFeatures",
         "/cTitle Orbitashell&&Color 4E&&control /name Microsoft.ProgramsAndFeatures"},
        {"shutdown /r /t 0 & echo restart",
         "/cTitle Orbitashell&&Color 4E&&shutdown /r /t 0 & echo restart"},
        {"REGEDIT", "/cTitle Orbitashell&&Color 4E&&REGEDIT"},
        {"msconfig.exe", "/cTitle Orbitashell&&Color 4E&&msconfig.exe"},
        {"éditer É", "/kTitle Orbitashell&&Color 4E&&éditer É"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Launch(c.line);
        TShellCall call = Only();
        EXPECT_EQ(call.owner, F().Handle());
        EXPECT_FALSE(call.verb.has_value());
        EXPECT_EQ(call.file, SystemCmd());
        EXPECT_EQ(call.parameters, c.parameters);
        EXPECT_FALSE(call.directory.has_value());
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        EXPECT_EQ(Box(), c.line);
    }
    EXPECT_FALSE(ReadBytes(BatchPath()).has_value());
    EXPECT_TRUE(sys_.Beeps.empty());
}

TEST_F(Form1Launch, CaptureWritesTheBatchFileAndShowsTheRequestAgain) {
    struct {
        std::string line;
        std::string parameters;
        std::string boxAfter;
    } cases[] = {
        {"Edit+ ipconfig /all", CaptureParameters("ipconfig /all"), "Edit+ ipconfig /all"},
        {"edit+ dir", CaptureParameters("dir"), "Edit+ dir"},
        // The word leaves with its blanks, wherever it stands.
        {"ipconfig /all Edit+", CaptureParameters("ipconfig /all"), "Edit+ ipconfig /all"},
        {"netstat EDIT+ -an", CaptureParameters("netstat -an"), "Edit+ netstat -an"},
        {"Edit+", CaptureParameters(""), "Edit+"},
        // The whole line, its operators and quotes escaped for the variable.
        {"Edit+ echo un & dir /b | find \"TXT\"",
         CaptureParameters("echo un ^& dir /b ^| find ^\"TXT^\""),
         "Edit+ echo un & dir /b | find \"TXT\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        WriteBytes(BatchPath(), "ancien contenu");
        Launch(c.line);
        TShellCall call = Only();
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.verb.has_value());
        EXPECT_EQ(call.file, SystemCmd());
        EXPECT_EQ(call.parameters, c.parameters);
        EXPECT_FALSE(call.directory.has_value());
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        EXPECT_EQ(Box(), c.boxAfter);
        EXPECT_TRUE(Lancer());
        EXPECT_EQ(F().Launcher()->TempDir, temp_);
        EXPECT_EQ(ReadBytes(BatchPath()), kBatch);
    }
    EXPECT_TRUE(sys_.Beeps.empty());
}

// A console still running the previous capture holds the batch file open, as
// the interpreter reads it; the next capture must rewrite it all the same.
TEST_F(Form1Launch, CaptureWhileTheBatchFileIsOpenInTheInterpreter) {
    WriteBytes(BatchPath(), std::string(kBatch));
    HANDLE reader = CreateFileA(BatchPath().c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    Launch("Edit+ ver");
    CloseHandle(reader);
    EXPECT_EQ(Only().parameters, CaptureParameters("ver"));
    EXPECT_EQ(ReadBytes(BatchPath()), std::string(kBatch));
}

TEST_F(Form1Launch, CaptureMixedWithAToolIsRefused) {
    TDialogWatcher watcher;
    for (const char* line : {"Edit+ regedit", "RegEdit Edit+", "edit+ start notepad"}) {
        SCOPED_TRACE(line);
        sys_.Beeps.clear();
        boxes_.Shown.clear();
        Launch(line);
        EXPECT_TRUE(sys_.ShellCalls.empty());
        EXPECT_EQ(sys_.Beeps, std::vector<UINT>{MB_ICONHAND});
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].title, "Erreur");
        EXPECT_EQ(boxes_.Shown[0].text, "Mélange incompatible de commandes !");
        EXPECT_EQ(boxes_.Shown[0].beepsBefore, 1u);
        EXPECT_EQ(Box(), line);
        EXPECT_FALSE(ReadBytes(BatchPath()).has_value());
    }
    boxes_.Shown.clear();
}

TEST_F(Form1Launch, BatchFileThatCannotBeWritten) {
    TDialogWatcher watcher;
    // A Temp naming a folder that does not exist.
    std::string absent = install_.dir + "\\absent";
    sys_.Env["Temp"] = absent;
    Launch("Edit+ ipconfig");
    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_EQ(Box(), "Edit+ ipconfig");
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_TRUE(boxes_.Shown[0].systemBox);
    EXPECT_EQ(boxes_.Shown[0].title, "Orbitashell");
    EXPECT_EQ(boxes_.Shown[0].text, "Impossible de créer le fichier \"" + absent +
                                        "\\EditCMD.bat\". " +
                                        SysErrorMessage(ERROR_PATH_NOT_FOUND) + ".");
    EXPECT_EQ(GetFileAttributesA(absent.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(sys_.Beeps.empty());
    boxes_.Shown.clear();

    // Temp unset or empty: the file would go to the root of the current drive,
    // where the interpreter would not find it. Nothing is written there.
    const char root[] = "\\EditCMD.bat";
    if (GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "\\EditCMD.bat already stands at the root of the drive";
    for (std::optional<std::string> temp :
         {std::optional<std::string>{}, std::optional<std::string>{""}}) {
        SCOPED_TRACE(temp ? "empty" : "unset");
        sys_.Env["Temp"] = temp;
        Launch("ipconfig Edit+");
        bool written = GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
        if (written)
            DeleteFileA(root);
        EXPECT_FALSE(written);
        EXPECT_TRUE(sys_.ShellCalls.empty());
        sys_.ShellCalls.clear();
        EXPECT_EQ(Box(), "ipconfig Edit+");
        EXPECT_EQ(F().Launcher()->TempDir, "");
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].title, "Orbitashell");
        EXPECT_EQ(boxes_.Shown[0].text, "Impossible de créer le fichier \"\\EditCMD.bat\". " +
                                            SysErrorMessage(ERROR_ENVVAR_NOT_FOUND) + ".");
        boxes_.Shown.clear();
    }
}

// A capture with no viewer to show it, or no capture file to write, runs
// nothing: the error box names the file instead of a console that closes at once.
TEST_F(Form1Launch, CaptureThatCannotWorkNamesTheFileAndRunsNothing) {
    TDialogWatcher watcher;
    auto refused = [&](const std::string& text) {
        Launch("Edit+ ipconfig");
        EXPECT_TRUE(sys_.ShellCalls.empty());
        EXPECT_FALSE(ReadBytes(BatchPath()).has_value()) << "written before the check";
        EXPECT_EQ(Box(), "Edit+ ipconfig");
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].title, "Orbitashell");
        EXPECT_EQ(boxes_.Shown[0].text, text);
        boxes_.Shown.clear();
    };
    DeleteFileA(Viewer().c_str());
    refused("Impossible d'ouvrir le fichier \"" + Viewer() + "\". " +
            SysErrorMessage(ERROR_FILE_NOT_FOUND) + ".");
    EXPECT_FALSE(ReadBytes(Capture()).has_value()) << "the capture file was created";
    WriteBytes(Viewer(), "MZ");

    // Held by a program that lets nobody write to it.
    WriteBytes(Capture(), "ancienne capture\r\n");
    HANDLE holder = CreateFileA(Capture().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    refused("Impossible d'écrire dans le fichier \"" + Capture() + "\". " +
            SysErrorMessage(ERROR_SHARING_VIOLATION) + ".");
    CloseHandle(holder);

    // Free again: the capture runs, and its file is left as it was.
    Launch("Edit+ ipconfig");
    EXPECT_EQ(Only().parameters, CaptureParameters("ipconfig"));
    EXPECT_EQ(ReadBytes(Capture()), "ancienne capture\r\n");
}

// Whether a new file can be made in dir; reason gets the error when not.
bool TakesNewFiles(const std::string& dir, DWORD* reason = nullptr) {
    const HANDLE probe = CreateFileA((dir + "\\probe.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (reason)
        *reason = GetLastError();
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    return true;
}

// Sets or clears the Linux "immutable" attribute of a folder through chattr,
// started as a Unix program by Wine's start /unix (which does not wait for
// it): under Wine, run as root, neither a folder's read-only attribute nor
// its permissions keep a file from being made in it. True once the folder
// takes new files or not, as asked.
bool SetImmutable(const std::string& dir, bool on) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    char* name = unixName && MultiByteToWideChar(CP_ACP, 0, dir.c_str(), -1, wide, MAX_PATH)
                     ? unixName(wide)
                     : nullptr;
    if (!name)
        return false;
    std::string command =
        std::string("start.exe /unix /usr/bin/chattr ") + (on ? "+i " : "-i ") + name;
    HeapFree(GetProcessHeap(), 0, name);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int tries = 0; tries < 50; ++tries, Sleep(100))
        if (TakesNewFiles(dir) != on)
            return true;
    return false;
}

// A folder where no file can be made (a program's folder without the rights
// to write there): the check says so, naming the capture file, and runs nothing.
TEST_F(Form1Launch, CaptureInAFolderWhereNoFileCanBeMadeIsRefused) {
    TDialogWatcher watcher;
    DWORD reason = 0;
    if (!SetImmutable(install_.dir, true) || TakesNewFiles(install_.dir, &reason)) {
        SetImmutable(install_.dir, false);
        GTEST_SKIP() << "no way here to keep a folder from taking new files";
    }
    Launch("Edit+ ipconfig");
    SetImmutable(install_.dir, false);
    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_FALSE(ReadBytes(BatchPath()).has_value()) << "written before the check";
    EXPECT_EQ(Texts(boxes_.Shown),
              std::vector<std::string>{"Impossible de créer le fichier \"" + Capture() + "\". " +
                                       SysErrorMessage(reason) + "."});
    EXPECT_FALSE(ReadBytes(Capture()).has_value());
    boxes_.Shown.clear();
}

// Every check comes before the first write: a capture refused for its length
// leaves no batch file, and the checks never make the capture file, whose
// absence the viewer tells from an empty capture.
TEST_F(Form1Launch, RefusedCaptureWritesNothingAndNoCheckMakesTheCaptureFile) {
    TDialogWatcher watcher;
    Launch("Edit+ " + std::string(8192 - CaptureParameters("").size(), 'c'));
    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_EQ(boxes_.Shown.size(), 1u);
    boxes_.Shown.clear();
    EXPECT_FALSE(ReadBytes(BatchPath()).has_value()) << "written before the length check";
    EXPECT_FALSE(ReadBytes(Capture()).has_value()) << "made by the checks";

    Launch("Edit+ ver");
    EXPECT_EQ(Only().parameters, CaptureParameters("ver"));
    EXPECT_TRUE(ReadBytes(BatchPath()).has_value());
    EXPECT_FALSE(ReadBytes(Capture()).has_value()) << "left to the console to make";
}

// The interpreter takes 8191 characters, those the program puts before the
// line included; one more and the line is refused with a message.
TEST_F(Form1Launch, LineLongerThanTheInterpreterTakesIsRefused) {
    TDialogWatcher watcher;
    const size_t ordinary = 8191 - std::string("/kTitle Orbitashell&&Color 4E&&").size();
    const size_t capture = 8191 - CaptureParameters("").size();
    struct {
        std::string line;
        size_t shown;
    } cases[] = {
        {"echo " + std::string(ordinary - 5, 'o'), 0},
        {"echo " + std::string(ordinary - 4, 'o'), 8192},
        {"Edit+ " + std::string(capture, 'c'), 0},
        {"Edit+ " + std::string(capture + 1, 'c'), 8192},
        {"start " + std::string(9003, 't'), 9040},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.size());
        sys_.Beeps.clear();
        Launch(c.line);
        if (!c.shown) {
            ASSERT_EQ(sys_.ShellCalls.size(), 1u);
            EXPECT_EQ(sys_.ShellCalls[0].parameters->size(), 8191u);
            sys_.ShellCalls.clear();
            continue;
        }
        EXPECT_TRUE(sys_.ShellCalls.empty());
        EXPECT_EQ(Box(), c.line);
        EXPECT_EQ(sys_.Beeps, std::vector<UINT>{MB_ICONHAND});
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].title, "Erreur");
        EXPECT_EQ(boxes_.Shown[0].text,
                  "Ligne de commande trop longue : l'interpréteur accepte 8191 caractères au "
                  "plus, ceux qu'Orbitashell ajoute compris (ici " +
                      std::to_string(c.shown) + ") !");
        boxes_.Shown.clear();
    }
}

// Given a bare "CMD", the shell would run a CMD.exe lying beside the program.
TEST_F(Form1Launch, TheSystemInterpreterRunsByItsFullPath) {
    const std::string system = SystemCmd();
    const std::string own = install_.dir + "\\interpreteur.exe";
    WriteBytes(own, "MZ");
    struct {
        std::optional<std::string> comspec;
        std::string want;
    } cases[] = {
        {own, own},
        {std::nullopt, system},
        {"", system},
        {install_.dir + "\\absent.exe", system},
        {install_.dir, system}, // a folder is no interpreter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comspec.value_or("(unset)"));
        sys_.Env["ComSpec"] = c.comspec;
        Launch("ver");
        EXPECT_EQ(Only().file, c.want);
        Launch("Edit+ ver");
        EXPECT_EQ(Only().file, c.want);
    }
}

// -------------------------------------------------------------------- keys

TEST_F(Form1Box, EscapeFromEveryControlClosesTheProgram) {
    F().edtCmdLine.SetText("ver");
    for (TWinControl* c :
         std::initializer_list<TWinControl*>{&F().edtCmdLine, &F().cbbListCPL, &F().cbbListSyst,
                                             &F().cbbListCustom, &F().btnExecuter}) {
        SCOPED_TRACE(GetDlgCtrlID(c->Handle()));
        SetFocus(c->Handle());
        ASSERT_EQ(GetFocus(), c->Handle());
        PostKey(c->Handle(), VK_ESCAPE);
        EXPECT_TRUE(PumpUntilQuit(100));
        PumpMessages(10);
    }
    // An open list takes Escape to close itself, and no more.
    SetFocus(F().cbbListSyst.Handle());
    F().cbbListSyst.SetDroppedDown(true);
    ASSERT_TRUE(F().cbbListSyst.DroppedDown());
    PostKey(F().cbbListSyst.Handle(), VK_ESCAPE);
    EXPECT_FALSE(PumpUntilQuit(100));
    EXPECT_FALSE(F().cbbListSyst.DroppedDown());
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

TEST_F(Form1Box, EnterPressesLancerOnlyWhenItIsEnabled) {
    HWND box = F().edtCmdLine.Handle();
    SetFocus(box);
    PostKey(box, VK_RETURN);
    PumpMessages(50);
    EXPECT_TRUE(sys_.ShellCalls.empty());

    Type(box, "ver");
    for (TWinControl* c :
         std::initializer_list<TWinControl*>{&F().edtCmdLine, &F().cbbListCPL, &F().btnExecuter}) {
        SCOPED_TRACE(GetDlgCtrlID(c->Handle()));
        SetFocus(c->Handle());
        PostKey(c->Handle(), VK_RETURN);
        PumpMessages(50);
        // Once, not twice.
        ASSERT_EQ(sys_.ShellCalls.size(), 1u);
        EXPECT_EQ(sys_.ShellCalls[0].parameters, "/kTitle Orbitashell&&Color 4E&&ver");
        sys_.ShellCalls.clear();
    }
    EXPECT_FALSE(TakeQuitRequest());
}

TEST_F(Form1Box, EnterOnADroppedListOnlyClosesIt) {
    HWND list = F().cbbListSyst.Handle();
    ChooseRow(F(), F().cbbListSyst, 5);
    SetFocus(list);
    F().cbbListSyst.SetDroppedDown(true);
    ASSERT_TRUE(F().cbbListSyst.DroppedDown());
    PostKey(list, VK_UP);
    PumpMessages(30);
    ASSERT_TRUE(Lancer());
    PostKey(list, VK_RETURN);
    PumpMessages(50);
    EXPECT_FALSE(F().cbbListSyst.DroppedDown());
    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_EQ(F().cbbListSyst.ItemIndex(), 4);
    EXPECT_EQ(Box(), "echo ) a  c");
    // Closed again, the list lets Enter press "Lancer".
    PostKey(list, VK_RETURN);
    PumpMessages(50);
    ASSERT_EQ(sys_.ShellCalls.size(), 1u);
    EXPECT_EQ(sys_.ShellCalls[0].parameters, "/kTitle Orbitashell&&Color 4E&&echo ) a  c");
}

TEST_F(Form1Box, EnterWithShiftOrControlDoesNotLaunch) {
    HWND box = F().edtCmdLine.Handle();
    SetFocus(box);
    Type(box, "ver");
    for (BYTE modifier : {BYTE{VK_SHIFT}, BYTE{VK_CONTROL}}) {
        SCOPED_TRACE(modifier);
        Hold(modifier == VK_CONTROL, modifier == VK_SHIFT);
        PostKey(box, VK_RETURN);
        PumpMessages(50);
        Hold(false);
        EXPECT_TRUE(sys_.ShellCalls.empty());
        EXPECT_EQ(Box(), "ver");
    }
    PostKey(box, VK_RETURN);
    PumpMessages(50);
    EXPECT_EQ(sys_.ShellCalls.size(), 1u);
}

TEST(Form1Paint, RepaintingRealisesNoFontAndLeavesNoObject) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TInstall install(sys, "paint");
    install.Full();
    auto f = NewForm1();
    ShowForm(*f);
    auto repaint = [&] {
        RedrawWindow(f->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    repaint();
    TGdiCounter count;
    for (int i = 0; i < 10; ++i)
        repaint();
    EXPECT_EQ(count.Fonts(), 0);
    EXPECT_GT(count.Created(), 0) << "the counter sees the painting";
    EXPECT_EQ(count.Deleted(), count.Created());
    EXPECT_FALSE(TakeQuitRequest());
}

// ------------------------------------------------------------ administrator

class Form1Admin : public Form1Launch {
protected:
    void SetUp() override {
        Form1Launch::SetUp();
        sys_.WorkingFolder = "C:\\Mes outils & (dépôt)";
    }
    // An elevated console's parameters: into the working folder first.
    static std::string Elevated(char keep, const std::string& command) {
        return std::string("/") + keep +
               "cd /d \"C:\\Mes outils & (dépôt)\"&&Title Orbitashell&&Color 4E&&" + command;
    }
    void ExpectRunAs(const std::string& parameters) {
        TShellCall call = Only();
        EXPECT_EQ(call.owner, F().Handle());
        EXPECT_EQ(call.verb, "runas");
        EXPECT_EQ(call.file, SystemCmd());
        EXPECT_EQ(call.parameters, parameters);
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
    // Runs act with Ctrl and Shift held, then lets the loop handle what it posted.
    static void WithCtrlShift(const std::function<void()>& act) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        act();
        PumpMessages(50);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
};

TEST_F(Form1Admin, TheWordAsksForAnElevatedConsoleInTheWorkingFolder) {
    // With "Edit+": no batch file that another program could change
    // between its writing and the elevated console's run.
    auto capture = [&](const char* command) {
        return Elevated('c', CaptureTail(command, std::string(CaptureInlineText())));
    };
    struct {
        std::string line, parameters, boxAfter;
    } cases[] = {
        {"Admin+ sfc /scannow", Elevated('k', "sfc /scannow"), "Admin+ sfc /scannow"},
        {"regedit ADMIN+", Elevated('c', "regedit"), "regedit ADMIN+"},
        {"Edit+ admin+ ipconfig", capture("ipconfig"), "Edit+ Admin+ ipconfig"},
        {"Admin+Edit+ver", capture("ver"), "Admin+ Edit+ ver"},
        {"Admin+ Edit+ dir", capture("dir"), "Admin+ Edit+ dir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Launch(c.line);
        ExpectRunAs(c.parameters);
        EXPECT_EQ(Box(), c.boxAfter);
    }
    EXPECT_FALSE(ReadBytes(BatchPath()).has_value());
}

TEST_F(Form1Admin, CtrlShiftEnterInTheBoxOrAListAndCtrlShiftClick) {
    F().edtCmdLine.SetText("ver");
    for (TWinControl* c : std::initializer_list<TWinControl*>{&F().edtCmdLine, &F().cbbListSyst}) {
        SetFocus(c->Handle());
        WithCtrlShift([&] { PostKey(c->Handle(), VK_RETURN); });
        ExpectRunAs(Elevated('k', "ver"));
    }
    WithCtrlShift([&] { PressLancer(F()); });
    ExpectRunAs(Elevated('k', "ver"));
    // Over suggestions with a row highlighted: the box runs, no row is taken.
    SetFocus(F().edtCmdLine.Handle());
    Type(F().edtCmdLine.Handle(), " ");
    ASSERT_TRUE(F().Suggestions.List().Visible());
    PostKey(F().edtCmdLine.Handle(), VK_DOWN);
    WithCtrlShift([&] { PostKey(F().edtCmdLine.Handle(), VK_RETURN); });
    ExpectRunAs(Elevated('k', "ver "));
    // An open list only closes, as with a plain Enter.
    F().cbbListSyst.SetDroppedDown(true);
    WithCtrlShift([&] { PostKey(F().cbbListSyst.Handle(), VK_RETURN); });
    EXPECT_FALSE(F().cbbListSyst.DroppedDown());
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

// The menu's entries as the system holds them: caption, greyed, owner-drawn image.
struct TShownItem {
    std::string caption;
    bool greyed;
    bool image;
    bool operator==(const TShownItem&) const = default;
};
struct TShownMenu {
    std::vector<TShownItem> items;
    POINT corner{-1, -1};
};

// Runs once, inside the menu's own loop, at the first timer tick that finds a menu.
class TOnMenu {
public:
    explicit TOnMenu(std::function<void()> run) : timer_(SetTimer(nullptr, 0, 40, &Tick)) {
        run_ = std::move(run);
    }
    ~TOnMenu() {
        KillTimer(nullptr, timer_);
        run_ = nullptr;
    }
    bool Ran() const { return !run_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (run_ && IsWindowVisible(FindWindowA("#32768", nullptr)))
            std::exchange(run_, nullptr)();
    }
    static inline std::function<void()> run_;
    UINT_PTR timer_;
};

TEST_F(Form1Admin, MenuOnLancerByRightClickMenuKeyOrShiftF10) {
    ASSERT_EQ(F().ImageList2.Count(), 1) << "no shield from the system";
    HWND button = F().btnExecuter.Handle();
    RECT r;
    GetWindowRect(button, &r);
    // Opened by act; keys, posted in the menu's loop, choose an entry (none: closed).
    auto open = [&](const std::function<void()>& act, const std::vector<UINT>& keys) {
        TShownMenu shown;
        TOnMenu onMenu([&] {
            HWND window = FindWindowA("#32768", nullptr);
            auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                char text[64] = "";
                MENUITEMINFOA mii{};
                mii.cbSize = sizeof mii;
                mii.fMask = MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
                mii.dwTypeData = text;
                mii.cch = sizeof text;
                GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii);
                shown.items.push_back(
                    {text, (mii.fState & MFS_DISABLED) != 0, mii.hbmpItem == HBMMENU_CALLBACK});
            }
            RECT m;
            GetWindowRect(window, &m);
            shown.corner = {m.left, m.top};
            if (keys.empty())
                EndMenu();
            for (UINT k : keys)
                PostKey(F().Handle(), k);
        });
        act();
        PumpMessages(50);
        EXPECT_TRUE(onMenu.Ran()) << "no menu on screen";
        return shown;
    };
    auto rightClick = [](HWND to, POINT at) {
        return [to, at] {
            SendMessageA(to, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(to), MAKELPARAM(at.x, at.y));
        };
    };
    // Over a disabled "Lancer" the click comes to the form: the menu opens greyed.
    const POINT at{r.left + 5, r.top + 5};
    TShownMenu shown = open(rightClick(F().Handle(), at), {VK_DOWN, VK_RETURN});
    EXPECT_EQ(shown.items,
              (std::vector<TShownItem>{{"Lancer", true, false},
                                       {"Lancer en tant qu'administrateur", true, true},
                                       {"Copier la ligne", true, false},
                                       {"", false, false},
                                       {"Ajouter à mes commandes…", true, false},
                                       {"Effacer l'historique", true, false}}));
    EXPECT_EQ(shown.corner.x, at.x);
    EXPECT_EQ(shown.corner.y, at.y);
    EXPECT_TRUE(sys_.ShellCalls.empty());

    F().edtCmdLine.SetText("ver");
    shown = open(rightClick(button, at), {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(shown.items,
              (std::vector<TShownItem>{{"Lancer", false, false},
                                       {"Lancer en tant qu'administrateur", false, true},
                                       {"Copier la ligne", false, false},
                                       {"", false, false},
                                       {"Ajouter à mes commandes…", false, false},
                                       {"Effacer l'historique", true, false}}));
    ExpectRunAs(Elevated('k', "ver"));

    // From the keyboard: below the button.
    SetFocus(button);
    shown = open([&] { PostKey(button, VK_APPS); }, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(shown.corner.x, r.left);
    EXPECT_EQ(shown.corner.y, r.bottom);
    EXPECT_FALSE(Only().verb.has_value()) << "the plain entry";
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    shown = open([&] { PostMessageA(button, WM_SYSKEYDOWN, VK_F10, 1); }, {});
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(shown.corner.y, r.bottom);
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

// What the menu shows, read off the screen: the darkest pixel (the captions'
// colour) and whether any pixel has a colour of its own (the shield).
struct TMenuLook {
    COLORREF darkest = RGB(255, 255, 255);
    bool coloured = false;
};

// With the box empty the entries must look disabled, the shield included: a
// coloured shield on a grey entry looked as if it could be chosen.
TEST_F(Form1Admin, MenuOnLancerLooksDisabledWhileTheBoxIsEmpty) {
    RECT r;
    GetWindowRect(F().btnExecuter.Handle(), &r);
    // Over a disabled "Lancer" the click comes to the form, else to the button.
    auto look = [&](HWND to) {
        TMenuLook seen;
        TOnMenu onMenu([&] {
            HWND window = FindWindowA("#32768", nullptr);
            UpdateWindow(window);
            RECT m;
            GetWindowRect(window, &m);
            TDib dib(m.right - m.left, m.bottom - m.top);
            HDC screen = GetDC(nullptr);
            BitBlt(dib.DC(), 0, 0, dib.Width(), dib.Height(), screen, m.left, m.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
            // Inside the frame only.
            for (int y = 3; y < dib.Height() - 3; ++y)
                for (int x = 3; x < dib.Width() - 3; ++x) {
                    const COLORREF c = dib.Pixel(x, y);
                    const int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
                    if (red + green + blue <
                        GetRValue(seen.darkest) + GetGValue(seen.darkest) + GetBValue(seen.darkest))
                        seen.darkest = c;
                    seen.coloured |=
                        std::max({red, green, blue}) - std::min({red, green, blue}) > 60;
                }
            EndMenu();
        });
        SendMessageA(to, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(to),
                     MAKELPARAM(r.left + 5, r.top + 5));
        PumpMessages(50);
        EXPECT_TRUE(onMenu.Ran()) << "no menu on screen";
        return seen;
    };
    TMenuLook empty = look(F().Handle());
    // Greyed captions: no pixel as dark as the menu's text.
    EXPECT_GE(GetGValue(empty.darkest), 0x60) << std::hex << empty.darkest;
    EXPECT_FALSE(empty.coloured) << "the shield of a disabled entry";

    F().edtCmdLine.SetText("ver");
    TMenuLook filled = look(F().btnExecuter.Handle());
    EXPECT_EQ(filled.darkest, GetSysColor(COLOR_MENUTEXT));
    EXPECT_TRUE(filled.coloured) << "no shield";
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

TEST_F(Form1Admin, RefusedElevationChangesNothingOtherFailuresAreShown) {
    TDialogWatcher watcher;
    sys_.ShellError = ERROR_CANCELLED;
    Launch("Edit+ Admin+ ipconfig");
    EXPECT_EQ(Only().verb, "runas");
    EXPECT_EQ(Box(), "Edit+ Admin+ ipconfig");
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_TRUE(sys_.Beeps.empty());

    sys_.ShellError = ERROR_ACCESS_DENIED;
    Launch("Admin+ ver");
    EXPECT_EQ(Only().verb, "runas");
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].title, "Orbitashell");
    EXPECT_EQ(boxes_.Shown[0].text, "Impossible de lancer \"" + SystemCmd() +
                                        "\" en tant qu'administrateur. " +
                                        SysErrorMessage(ERROR_ACCESS_DENIED) + ".");
    EXPECT_EQ(Box(), "Admin+ ver");
    boxes_.Shown.clear();
}

TEST_F(Form1Admin, AnElevatedProgramAsksNothingTwice) {
    sys_.Elevated = true;
    Launch("Admin+ ver");
    TShellCall call = Only();
    EXPECT_FALSE(call.verb.has_value());
    EXPECT_EQ(call.parameters, "/kTitle Orbitashell&&Color 4E&&ver");
    WithCtrlShift([&] { PressLancer(F()); });
    EXPECT_FALSE(Only().verb.has_value());
}

// ------------------------------------------------ the lists follow their files

namespace {

std::vector<std::string> FileNames(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd))
        if (fd.cFileName[0] != '.')
            names.push_back(fd.cFileName);
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

HANDLE HoldForWriting(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

TEST(Form1Follow, ChangedFilesShowWithinTwoSecondsKeepingTheChoice) {
    TRecordingSystem sys;
    TBoxRecorder boxes;
    TInstall install(sys, "follow");
    install.Full();
    auto f = NewForm1();
    ShowForm(*f);
    ChooseRow(*f, f->cbbListSyst, 1);
    ASSERT_EQ(f->edtCmdLine.Text(), "ver");

    // New rows around the chosen one, and a personal list in UTF-8 appears.
    install.Syst("echo neuf\r\nipconfig /all (IP)\r\nver\r\n").Custom("echo caf\xC3\xA9\r\n");
    EXPECT_LT(
        PumpUntil([&] { return f->cbbListSyst.ItemCount() == 3 && f->cbbListCustom.Visible(); }),
        2000u);
    EXPECT_EQ(f->cbbListSyst.ItemIndex(), 2);
    EXPECT_EQ(f->edtCmdLine.Text(), "ver");
    EXPECT_EQ(Rows(f->cbbListCustom), std::vector<std::string>{"echo caf\xE9"});
    // The suggestions search the new rows.
    f->edtCmdLine.SetText("");
    SetFocus(f->edtCmdLine.Handle());
    Type(f->edtCmdLine.Handle(), "CAFE");
    ASSERT_EQ(f->Suggestions.List().ItemCount(), 1);
    EXPECT_EQ(f->Suggestions.List().Item(0), "echo caf\xE9");
    f->edtCmdLine.SetText("ver");
    if (IsScreenDpi96()) {
        EXPECT_TRUE(
            SameRect(ChildRect(f->Handle(), f->cbbListCustom.Handle()), Bounds(17, 217, 503, 21)));
        EXPECT_TRUE(
            SameRect(ChildRect(f->Handle(), f->edtCmdLine.Handle()), Bounds(17, 274, 503, 21)));
    }

    // The chosen row gone: no choice, and the box keeps its line.
    install.Syst("vol\r\n");
    EXPECT_LT(PumpUntil([&] { return f->cbbListSyst.ItemCount() == 1; }), 2000u);
    EXPECT_EQ(f->cbbListSyst.ItemIndex(), -1);
    EXPECT_EQ(f->edtCmdLine.Text(), "ver");

    // Removed, or held by a writer while it changes: the rows stay, and no box.
    DeleteFileA((install.dir + "\\CommandesCPL.TXT").c_str());
    HANDLE writer = HoldForWriting(install.dir + "\\CommandesSyst.TXT");
    DWORD written = 0;
    WriteFile(writer, "dir\r\nver\r\n", 10, &written, nullptr);
    PumpMessages(1500);
    EXPECT_EQ(Rows(f->cbbListCPL), (std::vector<std::string>{"control (Panneau)", "appwiz.cpl"}));
    EXPECT_EQ(Rows(f->cbbListSyst), std::vector<std::string>{"vol"});
    EXPECT_TRUE(boxes.Shown.empty());
    // Once free, it loads.
    CloseHandle(writer);
    EXPECT_LT(PumpUntil([&] { return f->cbbListSyst.ItemCount() == 2; }), 2000u);
}

// ------------------------------------------------ "Ajouter à mes commandes…"

TEST(Form1AddCommand, DialogAppendsTheRowInTheFilesOwnEncoding) {
    TRecordingSystem sys;
    TInstall install(sys, "add");
    const std::string path = install.dir + "\\Commandes.txt";
    const std::string before = "\xEF\xBB\xBF"
                               "echo un\necho deux";
    install.Full().Custom(before);
    auto f = NewForm1();
    ShowForm(*f);
    f->ppmExecuterPopup(nullptr);
    EXPECT_FALSE(f->itemAjouterCommande.Enabled) << "greyed while the box is empty";
    f->edtCmdLine.SetText("ipconfig /all");
    f->ppmExecuterPopup(nullptr);
    EXPECT_TRUE(f->itemAjouterCommande.Enabled);

    // Escape and "Annuler" write nothing; Enter presses "OK".
    auto press = [](HWND button) { SendMessageA(button, BM_CLICK, 0, 0); };
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        TSteps steps({[&] {
            ASSERT_NE(AjoutCommande, nullptr);
            TAjoutCommande& d = *AjoutCommande;
            EXPECT_EQ(WindowTextOf(d.Handle()), "Ajouter à mes commandes");
            EXPECT_EQ(d.edtLigne.Text(), "ipconfig /all");
            EXPECT_TRUE(GetWindowLongPtrA(d.edtLigne.Handle(), GWL_STYLE) & ES_READONLY);
            EXPECT_EQ(GetFocus(), d.edtCommentaire.Handle());
            EXPECT_EQ(WindowTextOf(d.btnAnnuler.Handle()), "Annuler");
            RECT r;
            GetWindowRect(d.Handle(), &r);
            EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
            d.edtCommentaire.SetText("r\xE9seau (IP)");
            if (way == 0)
                PostKey(GetFocus(), VK_ESCAPE);
            else if (way == 1)
                press(d.btnAnnuler.Handle());
            else
                PostKey(GetFocus(), VK_RETURN);
        }});
        f->itemAjouterCommande.Click();
        EXPECT_EQ(steps.Run(), 1u);
        if (way < 2) {
            EXPECT_EQ(ReadBytes(path), before);
        }
    }
    EXPECT_EQ(ReadBytes(path), before + "\nipconfig /all (r\xC3\xA9seau [IP])\n");
    EXPECT_EQ(Rows(f->cbbListCustom),
              (std::vector<std::string>{"echo un", "echo deux", "ipconfig /all (r\xE9seau [IP])"}));
    EXPECT_EQ(FileNames(install.dir), (std::vector<std::string>{"Commandes.txt", "CommandesCPL.TXT",
                                                                "CommandesSyst.TXT", "Syst"}));
}

// A row that its list would not give back as the box's line, or that would
// stand after a NUL, where the list ends: refused, with the file as it was.
TEST(Form1AddCommand, RowThatWouldNotComeBackOrNotShowIsRefused) {
    TRecordingSystem sys;
    TDialogWatcher watcher;
    TBoxRecorder boxes;
    TInstall install(sys, "add-refused");
    install.Full().Custom("echo un\r\n");
    const std::string path = install.dir + "\\Commandes.txt";
    auto f = NewForm1();
    ShowForm(*f);
    auto add = [&](const std::string& line, const std::string& comment) {
        f->edtCmdLine.SetText(line);
        TSteps steps({[&] {
            AjoutCommande->edtCommentaire.SetText(comment);
            SendMessageA(AjoutCommande->btnOK.Handle(), BM_CLICK, 0, 0);
        }});
        f->itemAjouterCommande.Click();
    };
    add("echo (test", "note");
    add("a ) b ( c", "note");
    EXPECT_EQ(ReadBytes(path), "echo un\r\n");
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[0].title, "Erreur");
    EXPECT_NE(boxes.Shown[0].text.find("\"echo (test\""), std::string::npos) << boxes.Shown[0].text;
    // Without a comment that parenthesis closes nothing: the row comes back whole.
    add("echo (test", "");
    EXPECT_EQ(ReadBytes(path), "echo un\r\necho (test\r\n");
    EXPECT_EQ(Rows(f->cbbListCustom), (std::vector<std::string>{"echo un", "echo (test"}));

    const std::string nul("echo un\r\n\0echo cach\xE9\r\n", 22);
    WriteBytes(path, nul);
    boxes.Shown.clear();
    add("ver", "");
    EXPECT_EQ(ReadBytes(path), nul);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].title, "Erreur");
    EXPECT_NE(boxes.Shown[0].text.find("\"" + path + "\""), std::string::npos)
        << boxes.Shown[0].text;
}

TEST(Form1AddCommand, MissingListIsCreatedAndAFailedWriteLosesNothing) {
    TRecordingSystem sys;
    TInstall install(sys, "add-new");
    install.Full();
    auto f = NewForm1();
    ShowForm(*f);
    f->edtCmdLine.SetText("echo \xE9t\xE9");
    auto addWithOk = [&] {
        TSteps steps({[&] { SendMessageA(AjoutCommande->btnOK.Handle(), BM_CLICK, 0, 0); }});
        f->itemAjouterCommande.Click();
    };
    addWithOk();
    EXPECT_EQ(FileNames(install.dir), (std::vector<std::string>{"Commandes.txt", "CommandesCPL.TXT",
                                                                "CommandesSyst.TXT", "Syst"}));
    const std::string path = install.dir + "\\Commandes.txt";
    EXPECT_EQ(ReadBytes(path), "echo \xE9t\xE9\r\n");
    EXPECT_TRUE(f->cbbListCustom.Visible());
    EXPECT_EQ(Rows(f->cbbListCustom), std::vector<std::string>{"echo \xE9t\xE9"});

    // Held by a writer, or read-only: the error names the file, which stays as it was.
    HANDLE writer = HoldForWriting(path);
    EXPECT_THROW(addWithOk(), EFOpenError);
    CloseHandle(writer);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        addWithOk();
        ADD_FAILURE() << "a read-only list was replaced";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("Impossible de créer le fichier \"" + path + "\". ", 0), 0u)
            << e.what();
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), std::optional<std::string>("echo \xE9t\xE9\r\n"));
    EXPECT_EQ(FileNames(install.dir).size(), 4u) << "no temporary file is left";
}

// ------------------------------------------------- blanks to fill, history

class Form1Blanks : public Form1Launch {
protected:
    std::optional<std::string> History() { return ReadBytes(install_.dir + "\\Historique.txt"); }
    // Launches line and answers the dialog by act, from inside its loop.
    void LaunchAnswering(const std::string& line, std::function<void(TCompleterCommande&)> act) {
        TSteps steps({[&] {
            ASSERT_NE(CompleterCommande, nullptr);
            act(*CompleterCommande);
        }});
        Launch(line);
        EXPECT_EQ(steps.Run(), 1u);
    }
};

TEST_F(Form1Blanks, ValuesAreAskedPutInEveryPlaceAndTheBoxKeepsTheMarks) {
    const std::string written = "ping -n {{n=4}} {{h\xF4te=1.1.1.1}} & echo {{H\xF4TE}}";
    LaunchAnswering(written, [&](TCompleterCommande& d) {
        EXPECT_EQ(d.edtLigne.Text(), written);
        EXPECT_EQ(d.Rows.at(1).edt.Text(), "1.1.1.1");
        d.Rows[1].edt.SetText("8.8.8.8 > nul");
        PostKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(Only().parameters,
              "/kTitle Orbitashell&&Color 4E&&ping -n 4 8.8.8.8 > nul & echo 8.8.8.8 > nul");
    EXPECT_EQ(Box(), written);
    EXPECT_EQ(History(), "ping -n 4 8.8.8.8 > nul & echo 8.8.8.8 > nul\r\n");
    // The next launch asks again with the value last used; Escape runs nothing.
    LaunchAnswering(written, [](TCompleterCommande& d) {
        EXPECT_EQ(d.Rows.at(1).edt.Text(), "8.8.8.8 > nul");
        PostKey(GetFocus(), VK_ESCAPE);
    });
    EXPECT_TRUE(sys_.ShellCalls.empty());
}

// One launch decided whole: a line refused whatever its values asks none
// and writes nothing; values run as typed, as the dialog shows at each key,
// and the history row taken back runs them again; a failed start keeps nothing.
TEST_F(Form1Blanks, WhatTheUserMeantIsWhatRunsAndComesBack) {
    TDialogWatcher watcher;
    const std::string ini = install_.dir + "\\Orbitashell.ini";
    Launch("Edit+ regedit {{cle=HKCU}}");
    EXPECT_EQ(CompleterCommande, nullptr);
    EXPECT_EQ(Texts(std::exchange(boxes_.Shown, {})),
              std::vector<std::string>{"M\xE9lange incompatible de commandes !"});
    EXPECT_FALSE(ReadBytes(ini).has_value());

    LaunchAnswering("Edit+ echo {{v}}", [](TCompleterCommande& d) {
        EXPECT_EQ(d.edtLancee.Text(), "echo ");
        d.Rows.at(0).edt.SetText("(a) ((");
        EXPECT_EQ(d.edtLancee.Text(), "echo (a) ((");
        EXPECT_TRUE(d.edtLancee.ReadOnly);
        PostKey(GetFocus(), VK_RETURN);
    });
    const TShellCall ran = Only();
    EXPECT_EQ(ran.parameters, CaptureParameters("echo ^(a^) ^(^("));
    EXPECT_EQ(History(), "Edit+ echo ((a)) ((((\r\n");
    // Taken back from the history, as a pick sets the box.
    F().SuggestionsPick(nullptr, "Edit+ echo ((a)) ((((", nullptr);
    PressLancer(F());
    PumpMessages(20);
    EXPECT_EQ(Only().parameters, ran.parameters);

    sys_.ShellError = ERROR_FILE_NOT_FOUND;
    Launch("ver Edit+");
    EXPECT_EQ(Only().parameters, CaptureParameters("ver"));
    EXPECT_EQ(Texts(std::exchange(boxes_.Shown, {})),
              std::vector<std::string>{"Impossible de lancer \"" + SystemCmd() + "\". " +
                                       SysErrorMessage(ERROR_FILE_NOT_FOUND) + "."});
    EXPECT_EQ(Box(), "ver Edit+");
    EXPECT_EQ(History(), "Edit+ echo ((a)) ((((\r\n");
}

TEST_F(Form1Blanks, FaultyMarksAreNamedAndNothingRuns) {
    TDialogWatcher watcher;
    for (const auto& [line, shown] : {
             std::pair<std::string, std::string>{
                 "ping {{h\xF4te",
                 "Valeur \xE0 compl\xE9ter sans \xAB }} \xBB : \xAB {{h\xF4te \xBB !"},
             {"echo {{1}}{{2}}{{3}}{{4}}{{5}}{{6}}{{7}}{{8}}{{9}}{{j}}",
              "Trop de valeurs \xE0 compl\xE9ter : 9 au plus, et \xAB j \xBB est de trop !"},
             {"dir {{ [options]=/w}}",
              "Valeur \xE0 compl\xE9ter dont le nom commence par \xAB [ \xBB ou \xAB ; \xBB, "
              "qu'Orbitashell.ini ne peut pas garder : \xAB [options] \xBB !"},
         }) {
        Launch(line);
        EXPECT_TRUE(sys_.ShellCalls.empty());
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0].text, shown);
        boxes_.Shown.clear();
    }
    EXPECT_FALSE(History().has_value());
    EXPECT_FALSE(ReadBytes(install_.dir + "\\Orbitashell.ini").has_value());
}

TEST_F(Form1Blanks, DoubledParenthesesRunSingleAndTheHistoryKeepsThemDoubled) {
    Launch("for %i in ((*.txt)) do echo %i");
    EXPECT_EQ(Only().parameters, "/kTitle Orbitashell&&Color 4E&&for %i in (*.txt) do echo %i");
    EXPECT_EQ(Box(), "for %i in ((*.txt)) do echo %i");
    // Elevated from the menu: kept with the word that runs it so again.
    F().edtCmdLine.SetText("ver");
    F().itemExecuterAdmin.Click();
    Only();
    EXPECT_EQ(History(), "for %i in ((*.txt)) do echo %i\r\nAdmin+ ver\r\n");
}

// ----------------------------------------------------------------- history

class Form1History : public Form1Launch {
protected:
    void SetUp() override {
        WriteBytes(HistoryPath(), "ipconfig /all\r\nping h\xF4te\r\nver\r\n");
        Form1Launch::SetUp();
        SetFocus(F().edtCmdLine.Handle());
    }
    std::string HistoryPath() { return install_.dir + "\\Historique.txt"; }
    std::vector<std::string> Offered() {
        TDropDownList& found = F().Suggestions.List();
        std::vector<std::string> rows;
        for (int i = 0; found.Visible() && i < found.ItemCount(); ++i)
            rows.push_back(found.Item(i));
        return rows;
    }
    // Down in the box, with Alt held or not.
    void Down(bool alt) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(F().edtCmdLine.Handle(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_DOWN, 1);
        PumpMessages(20);
        keys[VK_MENU] = 0;
        SetKeyboardState(keys);
    }
};

TEST_F(Form1History, DownInTheEmptyBoxOffersWhatRanNewestFirstAndAPickLaunchesNothing) {
    HWND box = F().edtCmdLine.Handle();
    Down(false);
    EXPECT_EQ(Offered(), (std::vector<std::string>{"ver", "ping h\xF4te", "ipconfig /all"}));
    PostKey(box, VK_DOWN);
    PostKey(box, VK_DOWN);
    PostKey(box, VK_RETURN);
    PumpMessages(20);
    EXPECT_EQ(Box(), "ping h\xF4te");
    EXPECT_TRUE(Offered().empty());
    EXPECT_TRUE(sys_.ShellCalls.empty());
    // With text the keys stay the box's; emptied by the user, it opens nothing.
    Down(true);
    EXPECT_TRUE(Offered().empty());
    F().edtCmdLine.SetText("v");
    Type(box, "\b");
    EXPECT_TRUE(Offered().empty());
    Down(true);
    EXPECT_EQ(Offered().size(), 3u);
}

TEST_F(Form1History, TypedWordsBringTheLinesThatRanFirstMarkedApartFromTheListsRows) {
    Type(F().edtCmdLine.Handle(), "IP");
    EXPECT_EQ(Offered(), (std::vector<std::string>{"ipconfig /all", "ipconfig",
                                                   "ipconfig /all (Configuration IP)"}));
    // A row drawn into a bitmap: its paper, and ink before where the lists'
    // rows begin their text.
    TDropDownList& found = F().Suggestions.List();
    auto drawn = [&](UINT index, UINT state) {
        DRAWITEMSTRUCT dis{ODT_LISTBOX, 0, index, 0, state, found.Handle(), nullptr, {}, 0};
        SendMessageA(found.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&dis.rcItem));
        OffsetRect(&dis.rcItem, -dis.rcItem.left, -dis.rcItem.top);
        TDib dib(dis.rcItem.right, dis.rcItem.bottom);
        dis.hDC = dib.DC();
        found.HandleDrawItem(dis);
        const COLORREF paper = dib.Pixel(dis.rcItem.right - 2, 2);
        int ink = 0;
        for (int x = 0; x < found.Scale(9); ++x)
            for (int y = 0; y < dis.rcItem.bottom - 1; ++y)
                ink += dib.Pixel(x, y) != paper;
        return std::pair{paper, ink};
    };
    EXPECT_EQ(drawn(0, 0), std::pair(GetSysColor(COLOR_WINDOW), drawn(0, 0).second));
    EXPECT_GT(drawn(0, 0).second, 6) << "no mark";
    EXPECT_EQ(drawn(1, 0), std::pair(RGB(255, 230, 204), 0)) << "the lists' even row";
    EXPECT_EQ(drawn(0, ODS_SELECTED).first, drawn(1, ODS_SELECTED).first) << "highlight";
}

TEST_F(Form1History, ForgettingIsOfferedWhileThereIsSomethingAndAsksFirst) {
    // Answered in the question's own loop by Enter, or by a click on "Yes".
    auto forget = [&](bool yes) {
        F().ppmExecuterPopup(nullptr);
        ASSERT_TRUE(F().itemEffacerHistorique.Enabled);
        TSteps steps({[yes] {
            HWND focus = GetFocus();
            if (yes)
                PostMessageA(GetDlgItem(GetParent(focus), IDYES), BM_CLICK, 0, 0);
            else
                PostKey(focus, VK_RETURN);
        }});
        F().itemEffacerHistorique.Click();
        EXPECT_EQ(Texts(std::exchange(boxes_.Shown, {})),
                  std::vector<std::string>{"Effacer l'historique des commandes lanc\xE9"
                                           "es ?"});
    };
    forget(false); // No is the default
    EXPECT_EQ(ReadBytes(HistoryPath()), "ipconfig /all\r\nping h\xF4te\r\nver\r\n");
    forget(true);
    EXPECT_EQ(ReadBytes(HistoryPath()), "");
    F().ppmExecuterPopup(nullptr);
    EXPECT_FALSE(F().itemEffacerHistorique.Enabled);
    Down(false);
    EXPECT_TRUE(Offered().empty());
}

// ----------------------------------------------------------- copy a line

// Whatever way it is asked, the clipboard gets the command that would run,
// as Unicode text: blanks asked, comments, doubled parentheses and the words
// out. Nothing runs or is kept, and a cancel or a faulty mark copies nothing.
TEST_F(Form1Blanks, CopyingALinePutsTheCommandThatWouldRunOnTheClipboard) {
    TDialogWatcher watcher;
    HWND box = F().edtCmdLine.Handle();
    SetFocus(box);
    SetClipboard(L"avant");
    F().ppmExecuterPopup(nullptr);
    EXPECT_FALSE(F().itemCopierLigne.Enabled);
    Hold(true, true);
    PostKey(box, 'C');
    PumpMessages(20);
    Hold(false);
    EXPECT_EQ(ClipboardText(), L"avant");

    // Ctrl+C on a highlighted suggestion; the dialog offers the default single.
    WriteBytes(install_.dir + "\\Commandes.txt",
               "Edit+ echo {{nom=((x))}} ((y)) Admin+ (commentaire)\r\n");
    F().Catalogues.Load(lkCustom);
    Type(box, "nom");
    PostKey(box, VK_DOWN);
    PumpMessages(20);
    ASSERT_EQ(F().Suggestions.List().ItemIndex(), 0);
    TSteps steps({[] {
        ASSERT_NE(CompleterCommande, nullptr);
        Hold(false);
        TCompleterCommande& d = *CompleterCommande;
        EXPECT_EQ(d.edtLigne.Text(), "Edit+ echo {{nom=((x))}} ((y)) Admin+ ");
        EXPECT_EQ(d.Rows.at(0).edt.Text(), "(x)");
        d.Rows[0].edt.SetText("\xE9\x80");
        EXPECT_EQ(d.edtLancee.Text(), "echo \xE9\x80 (y)");
        PostKey(GetFocus(), VK_RETURN);
    }});
    Hold(true);
    PostKey(box, 'C');
    PumpMessages(50);
    Hold(false);
    EXPECT_EQ(steps.Run(), 1u);
    EXPECT_EQ(ClipboardText(), L"echo \u00E9\u20AC (y)");
    EXPECT_EQ(Box(), "nom");

    // Annuler copies nothing; Ctrl+C without a highlighted row copies the box's selection.
    TSteps cancel({[] {
        ASSERT_NE(CompleterCommande, nullptr);
        Hold(false);
        PostKey(GetFocus(), VK_ESCAPE);
    }});
    F().edtCmdLine.SetText("ping {{h}}");
    Hold(true, true);
    PostKey(box, 'C');
    PumpMessages(50);
    Hold(false);
    EXPECT_EQ(cancel.Run(), 1u);
    EXPECT_EQ(ClipboardText(), L"echo \u00E9\u20AC (y)");
    SendMessageA(box, EM_SETSEL, 0, 4);
    Hold(true);
    PostKey(box, 'C');
    PumpMessages(20);
    Hold(false);
    EXPECT_EQ(ClipboardText(), L"ping");

    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_FALSE(History().has_value());
    EXPECT_FALSE(ReadBytes(install_.dir + "\\Orbitashell.ini").has_value());
}
