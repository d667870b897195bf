// The information menu, the About box and the two text dialogs, created for
// real; the pointer, the memory status and the environment come from the seam.
#include "TestSupport.h"

#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "dialogs/UnitAPropos.h"
#include "dialogs/UnitCompleterCommande.h"
#include "dialogs/UnitLicence.h"
#include "dialogs/UnitPrincipe.h"
#include "update/UpdateService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

class TFigureSystem : public TRecordingSystem {
public:
    MEMORYSTATUSEX Memory{};
    POINT Cursor{0, 0};
    MEMORYSTATUSEX MemoryStatus() override { return Memory; }
    POINT CursorPos() override { return Cursor; }
};

std::string ThousandsSeparator() {
    char buf[8];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf);
    return n > 1 ? std::string(buf, static_cast<size_t>(n - 1)) : "";
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

// The main window, never shown: nothing is loaded and no check runs.
class InfoMenu : public testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>(nullptr);
        form_->SetBounds(100, 100, Scale(611), Scale(314));
        form_->HandleNeeded();
    }
    // Opens the menu by act and returns the top-left corner it showed at.
    POINT MenuCornerAfter(const std::function<void()>& act) {
        POINT corner{-1, -1};
        TSteps steps({[&] {
            HWND menu = FindWindowA("#32768", nullptr);
            ASSERT_NE(menu, nullptr) << "no menu on screen";
            RECT r;
            GetWindowRect(menu, &r);
            corner = {r.left, r.top};
            EndMenu();
        }});
        act();
        EXPECT_EQ(steps.Run(), 1u);
        return corner;
    }
    TFigureSystem sys_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(InfoMenu, LeftClickOpensItBelowLeftOfThePointerAndRightClickAtThePointer) {
    sys_.Cursor = {400, 300};
    POINT left = MenuCornerAfter([&] { form_->btnInfos.Click(); });
    EXPECT_EQ(left.x, 300);
    EXPECT_EQ(left.y, 327);

    // A right-click on the windowless button: the system turns it into a
    // context-menu request at the click's screen position.
    const int x = form_->btnInfos.Left() + 5, y = form_->btnInfos.Top() + 5;
    POINT screen{x, y};
    ClientToScreen(form_->Handle(), &screen);
    POINT right = MenuCornerAfter([&] {
        SendMessageA(form_->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        SendMessageA(form_->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    });
    EXPECT_EQ(right.x, screen.x);
    EXPECT_EQ(right.y, screen.y);
    EXPECT_TRUE(sys_.ShellCalls.empty()) << "closing the menu chooses nothing";
}

TEST_F(InfoMenu, EntriesInOrderWithTheirImages) {
    const std::vector<std::pair<TMenuItem*, std::string>> expected = {
        {&form_->itemAPropos, "A propos..."},
        {&form_->itemLicence, "Licence"},
        {&form_->itemPrincipe, "Principe de fonctionnement"},
        {&form_->itemWebSite, "Orbitashell sur le Web"},
        {&form_->itemSeparatorInfos, "-"},
        {&form_->itemZoneNotification, "Garder dans la zone de notification"},
    };
    ASSERT_EQ(form_->ppmInfos.Items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(form_->ppmInfos.Items[i], expected[i].first);
        EXPECT_EQ(expected[i].first->Caption, expected[i].second);
        EXPECT_EQ(expected[i].first->ImageIndex, i < 4 ? static_cast<int>(i) : -1);
    }
    EXPECT_EQ(form_->btnInfos.PopupMenu, &form_->ppmInfos);
    EXPECT_EQ(form_->ppmInfos.Images, &form_->ImageList1);
}

TEST_F(InfoMenu, PublisherLabelAndWebEntryOpenTheirAddresses) {
    form_->lblPublisher.Click();
    form_->itemWebSite.Click();
    ASSERT_EQ(sys_.ShellCalls.size(), 2u);
    const TShellCall& site = sys_.ShellCalls[0];
    EXPECT_EQ(site.owner, form_->Handle());
    EXPECT_EQ(site.verb, "open");
    EXPECT_EQ(site.file.rfind("https://", 0), 0u);
    EXPECT_EQ(site.file, PublisherSiteAddress());
    EXPECT_EQ(site.parameters, "");
    EXPECT_FALSE(site.directory);
    EXPECT_EQ(site.show, SW_SHOWNORMAL);
    const TShellCall& page = sys_.ShellCalls[1];
    EXPECT_EQ(page.owner, nullptr);
    EXPECT_EQ(page.verb, "OPEN");
    EXPECT_EQ(page.file, PublisherSiteAddress() + "/orbitashell.php");
    EXPECT_EQ(page.parameters, "");
    EXPECT_EQ(page.directory, "");
    EXPECT_EQ(page.show, SW_SHOWNORMAL);
}

TEST(ImageList, StripIsCutIntoPremultipliedImages) {
    TImageList list(nullptr);
    // Two 16 x 16 images side by side, bottom-up as a BMP file holds them:
    // the first transparent but for a half-transparent red pixel, the second opaque blue.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = 16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            px[y * 32 + x] = x < 16 ? 0 : 0xFF0000FF;
    px[15 * 32 + 0] = 0x80FF0000; // top-left pixel of the first image
    list.AddStrip(strip);
    DeleteObject(strip);
    ASSERT_EQ(list.Count(), 2);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(list.Bitmap(0), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    const auto* first = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(first[0], 0x80800000u) << "top row first, colour premultiplied";
    EXPECT_EQ(first[1], 0u);
    GetObjectA(list.Bitmap(1), sizeof ds, &ds);
    EXPECT_EQ(static_cast<const std::uint32_t*>(ds.dsBm.bmBits)[100], 0xFF0000FFu);
    EXPECT_EQ(list.Bitmap(2), nullptr);

    HBITMAP wrong = CreateBitmap(20, 16, 1, 32, nullptr);
    EXPECT_THROW(list.AddStrip(wrong), Exception);
    DeleteObject(wrong);
    EXPECT_FALSE(list.LoadStrip("NO_SUCH_STRIP"));
    EXPECT_EQ(list.Count(), 2);
}

// Menu images are drawn by their owner over the menu's own background: a
// transparent pixel keeps it, an opaque one is the image's.
TEST(ImageList, ImagesLoadedOnFirstUseOnly) {
    TImageList list(nullptr);
    int loads = 0;
    list.LoadOnFirstUse([&loads](TImageList& l) {
        ++loads;
        l.AddPixels(std::vector<std::uint32_t>(16 * 16, 0xFF0000FF));
    });
    EXPECT_EQ(loads, 0);
    EXPECT_NE(list.Bitmap(0), nullptr);
    EXPECT_NE(list.GreyedBitmap(0), nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(loads, 1);
}

TEST(ImageList, MenuImageDrawnOverTheMenusBackground) {
    TImageList list(nullptr);
    std::vector<std::uint32_t> pixels(16 * 16, 0);
    pixels[8 * 16 + 8] = 0xFFFF0000; // one opaque red pixel
    list.AddPixels(pixels);
    TMenuImage image{&list, 0};
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 1, 0, 0, reinterpret_cast<ULONG_PTR>(&image)};
    ASSERT_TRUE(MeasureMenuImage(mis));
    EXPECT_GT(mis.itemWidth, 16u) << "a gap before the caption";
    EXPECT_EQ(mis.itemHeight, 16u);

    TDib dib(20, 16, RGB(0, 200, 0));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = dib.DC();
    dis.rcItem = {0, 0, 20, 16};
    dis.itemData = reinterpret_cast<ULONG_PTR>(&image);
    ASSERT_TRUE(DrawMenuImage(dis));
    EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 200, 0));
    EXPECT_EQ(dib.Pixel(8, 8), RGB(255, 0, 0));
    // A disabled entry's image is faded to grey, as its caption is.
    for (UINT state : {UINT{ODS_GRAYED}, UINT{ODS_DISABLED}}) {
        TDib faded(20, 16, RGB(0, 200, 0));
        dis.hDC = faded.DC();
        dis.itemState = state;
        ASSERT_TRUE(DrawMenuImage(dis));
        const COLORREF c = faded.Pixel(8, 8);
        EXPECT_NE(c, RGB(255, 0, 0));
        EXPECT_LT(GetRValue(c), GetGValue(c) + 40) << "still red: " << std::hex << c;
    }
    dis.CtlType = ODT_BUTTON;
    EXPECT_FALSE(DrawMenuImage(dis));
}

// ------------------------------------------------------------- About box

class AboutBoxFigures : public testing::Test {
protected:
    std::unique_ptr<TAboutBox> Create() {
        return std::unique_ptr<TAboutBox>(Application->CreateForm<TAboutBox>(nullptr));
    }
    TFigureSystem sys_;
};

TEST_F(AboutBoxFigures, MemoryInFullAndLoadAsPercent) {
    const std::string sep = ThousandsSeparator();
    struct Case {
        DWORDLONG bytes;
        DWORD load;
        std::string mem, res;
    } cases[] = {
        {2147483648ull, 0, "2" + sep + "097" + sep + "152 Ko", "0 %"},
        {16ull << 30, 100, "16" + sep + "777" + sep + "216 Ko", "100 %"},
        {4294967295ull, 37, "4" + sep + "194" + sep + "304 Ko", "37 %"},
        {1535, 5, "1 Ko", "5 %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mem);
        sys_.Memory.ullTotalPhys = c.bytes;
        sys_.Memory.dwMemoryLoad = c.load;
        auto box = Create();
        EXPECT_EQ(box->PhysMem.Caption(), c.mem);
        EXPECT_EQ(box->FreeRes.Caption(), c.res);
    }
}

TEST_F(AboutBoxFigures, ProcessorFiguresAreTheEnvironmentsOrEmpty) {
    sys_.Env["NUMBER_OF_PROCESSORS"] = "8";
    sys_.Env["PROCESSOR_REVISION"] = "2a07";
    EXPECT_EQ(Create()->NbrProc.Caption(), "8");
    EXPECT_EQ(Create()->RevisProc.Caption(), "2a07");
    sys_.Env["NUMBER_OF_PROCESSORS"] = std::nullopt;
    sys_.Env["PROCESSOR_REVISION"] = std::nullopt;
    auto box = Create();
    EXPECT_EQ(box->NbrProc.Caption(), "") << "the designed 0 does not remain";
    EXPECT_EQ(box->RevisProc.Caption(), "");
}

TEST_F(AboutBoxFigures, LinksOpenTheSiteAndTheMailAndLeaveTheBoxOpen) {
    auto box = Create();
    EXPECT_EQ(box->LabelURL2.Caption(), "Site : " + PublisherPlainAddress());
    box->LabelURL2.Click();
    box->LabelURL3.Click();
    ASSERT_EQ(sys_.ShellCalls.size(), 2u);
    EXPECT_EQ(sys_.ShellCalls[0].file, "http://" + PublisherSiteAddress().substr(8));
    EXPECT_EQ(sys_.ShellCalls[0].owner, box->Panel.Handle());
    EXPECT_EQ(sys_.ShellCalls[1].file, std::string("mailto:") + AuthorMail());
    EXPECT_EQ(box->ModalResult, mrNone);
    EXPECT_EQ(box->Label5.Caption(), "Orbitashell est développé sous " + ToolChainName());
    EXPECT_EQ(ToolChainName().rfind("MinGW-w64 GCC ", 0), 0u) << ToolChainName();
}

TEST_F(AboutBoxFigures, NoLabelIsClippedAndAllStayInThePanel) {
    auto box = Create();
    const RECT panel = box->Panel.ClientRect();
    TDib dib(panel.right, panel.bottom);
    for (TControl* c : box->Panel.Controls()) {
        auto* label = dynamic_cast<TCustomLabel*>(c);
        if (!label || label == &box->Label3D1)
            continue;
        SCOPED_TRACE(label->Caption());
        EXPECT_LE(label->Left() + label->Width(), panel.right - 2);
        // Drawn alone where nothing limits it, the text's ink ends inside the label.
        HDC dc = dib.DC();
        RECT all{0, 0, dib.Width(), dib.Height()};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        {
            TCanvas canvas(dc);
            canvas.Font = label->Font;
            canvas.Brush.Style = bsClear;
            RECT r{0, 0, dib.Width(), dib.Height()};
            canvas.DrawText(label->Caption(), r, DT_EXPANDTABS);
        }
        int right = -1;
        for (int y = 0; y < label->Height() + 4; ++y)
            for (int x = 0; x < dib.Width(); ++x)
                if (dib.Pixel(x, y) != RGB(255, 255, 255))
                    right = std::max(right, x);
        EXPECT_LT(right, label->Width());
    }
}

TEST_F(AboutBoxFigures, TitleShadowRailsAndBevels) {
    auto box = Create();
    const RECT panel = box->Panel.ClientRect();
    TDib dib(panel.right, panel.bottom);
    {
        TCanvas canvas(dib.DC());
        box->Panel.PaintTo(canvas, panel);
    }
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    // The title: purple text over its shadow moved 2 pixels down and right.
    const RECT t = box->Label3D1.BoundsRect();
    int purple = 0, shadowed = 0;
    for (int y = t.top; y < t.bottom - 2; ++y)
        for (int x = t.left; x < t.right - 2; ++x)
            if (dib.Pixel(x, y) == RGB(128, 0, 128)) {
                ++purple;
                // Where the text's own stroke does not cover the copy, it shows.
                COLORREF below = dib.Pixel(x + 2, y + 2);
                shadowed += below == shadow || below == RGB(128, 0, 128);
            }
    int shadowOnly = 0;
    for (int y = t.top; y < t.bottom; ++y)
        for (int x = t.left; x < t.right; ++x)
            shadowOnly += dib.Pixel(x, y) == shadow;
    EXPECT_GT(purple, 50);
    EXPECT_GT(shadowOnly, 50);
    // Smoothed edges blend the two colours; the body of the text has its shadow.
    EXPECT_GE(shadowed * 10, purple * 8) << shadowed << " of " << purple;
    // The two rails: one grey row each across 355 pixels, nothing under them.
    for (TDLine* rail : {&box->DLine1, &box->DLine3}) {
        const int y = rail->Top(), l = rail->Left(), r = rail->Left() + rail->Width();
        EXPECT_EQ(rail->Height(), Scale(1));
        EXPECT_EQ(dib.Pixel(l, y), RGB(128, 128, 128));
        EXPECT_EQ(dib.Pixel(r - 1, y), RGB(128, 128, 128));
        EXPECT_EQ(dib.Pixel(r, y), RGB(255, 255, 255));
        EXPECT_EQ(dib.Pixel(l, y + 1), RGB(255, 255, 255));
    }
    EXPECT_EQ(box->DLine1.RailStyle(), stSunken);
    EXPECT_EQ(box->DLine3.RailStyle(), stNone);
    // Lowered outer bevel, raised inner one, white inside.
    const int w = panel.right, h = panel.bottom;
    EXPECT_EQ(dib.Pixel(0, h / 2), shadow);
    EXPECT_EQ(dib.Pixel(w - 1, h / 2), highlight);
    EXPECT_EQ(dib.Pixel(1, h / 2), highlight);
    EXPECT_EQ(dib.Pixel(w - 2, h / 2), shadow);
    EXPECT_EQ(dib.Pixel(w / 2, 1), highlight);
    EXPECT_EQ(dib.Pixel(w / 2, h - 2), shadow);
    EXPECT_EQ(dib.Pixel(2, h / 2), RGB(255, 255, 255));
}

// ---------------------------------------------------- opening and closing

// Opens the dialog from the main window's menu entry, runs check inside its
// modal loop, then closes it by Escape, then opens it afresh and closes it
// with the close box.
template <class T>
void OpenAndClose(T*& instance, TMenuItem TForm1::*entry,
                  const std::function<void(T&, int opening)>& check) {
    TFigureSystem sys;
    TForm1 form(nullptr);
    form.HandleNeeded();
    const std::vector<std::pair<const char*, std::function<void(T&)>>> ways = {
        {"Escape",
         [](T& d) {
             HWND focus = GetFocus();
             EXPECT_TRUE(focus == d.WindowHandle() || IsChild(d.WindowHandle(), focus));
             PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
        {"close box", [](T& d) { PostMessageA(d.WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    int opening = 0;
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        HWND dialog = nullptr;
        int asked = 0;
        TSteps steps({[&, close = close] {
            ASSERT_NE(instance, nullptr);
            dialog = instance->WindowHandle();
            EXPECT_TRUE(instance->Modal());
            EXPECT_FALSE(IsWindowEnabled(form.Handle())) << "the main window takes no input";
            check(*instance, opening);
            instance->OnCloseQuery = [&asked](TObject*, bool&) { ++asked; };
            close(*instance);
        }});
        (form.*entry).Click();
        EXPECT_EQ(steps.Run(), 1u);
        EXPECT_EQ(asked, 1) << "one key, one close";
        EXPECT_EQ(instance, nullptr);
        PumpMessages(30);
        EXPECT_FALSE(IsWindow(dialog)) << "released once closed";
        EXPECT_TRUE(IsWindowEnabled(form.Handle()));
        ++opening;
    }
}

TEST(InfoDialogs, AboutBoxClosesAndReopensWithFreshFigures) {
    OpenAndClose<TAboutBox>(AboutBox, &TForm1::itemAPropos, [](TAboutBox& d, int opening) {
        auto& sys = static_cast<TFigureSystem&>(Sys());
        EXPECT_EQ(d.FreeRes.Caption(), std::to_string(opening * 50) + " %");
        sys.Memory.dwMemoryLoad = 50; // seen by the next opening only
        RECT client;
        GetClientRect(d.WindowHandle(), &client);
        EXPECT_EQ(client.right, Scale(386));
        EXPECT_EQ(client.bottom, Scale(295));
        EXPECT_EQ(WindowTextOf(d.WindowHandle()), "A propos...");
    });
}

template <class T> void CheckTextBox(T& d, TMemo& memo, const char* caption) {
    HWND h = memo.WindowHandle();
    EXPECT_EQ(WindowTextOf(d.WindowHandle()), caption);
    EXPECT_EQ(GetFocus(), h) << "the text box has the focus";
    DWORD start = 1, end = 1;
    SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(SendMessageA(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "shown from the top";
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & (WS_HSCROLL | ES_AUTOHSCROLL)) << "long lines wrap";
    EXPECT_FALSE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    const RECT designed{Scale(12), Scale(12), Scale(374), Scale(264)};
    const RECT bounds = memo.BoundsRect();
    EXPECT_TRUE(EqualRect(&bounds, &designed));
    // Typing changes nothing; scrolling to the end is forgotten at the next opening.
    const std::string before = WindowTextOf(h);
    SendMessageA(h, WM_CHAR, 'x', 0);
    SendMessageA(h, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(WindowTextOf(h), before);
    SendMessageA(h, EM_LINESCROLL, 0, 100);
    EXPECT_GT(SendMessageA(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST(InfoDialogs, UserGuideClosesAndReopensFromTheTop) {
    OpenAndClose<TPrincipe>(Principe, &TForm1::itemPrincipe, [](TPrincipe& d, int) {
        CheckTextBox(d, d.mmPrincipe, "Principe");
        EXPECT_EQ(WindowTextOf(d.mmPrincipe.WindowHandle()), Joined(PrincipeLines()));
    });
}

TEST(InfoDialogs, LicenceClosesAndReopensFromTheTop) {
    OpenAndClose<TLicence>(Licence, &TForm1::itemLicence, [](TLicence& d, int) {
        CheckTextBox(d, d.Memo2, "Licence");
        EXPECT_EQ(WindowTextOf(d.Memo2.WindowHandle()), Joined(LicenceLines()));
    });
}

TEST(InfoDialogs, UserGuideTextAsDesigned) {
    const std::vector<std::string> expected = {
        "     ",
        "                          PRINCIPE DE FONCTIONNEMENT",
        "                                   ===================",
        "",
        "  Cliquer droit sur ce fichier Orbitashell.exe,  puis",
        "  afin d'obtenir les droits requis d'administrateur ; cliquez  sur ",
        "  \"Exécuter en tant qu'administrateur\".",
        "",
        "  Il existe deux variantes de fonctionnement :",
        "  1. Taper directement votre ligne de commande ; puis \"Lancer\".",
        "  2. Choisir une commande dans les listes ; puis \"Lancer\".",
        "",
        "  Suivant les systémes d'exploitations, les commandes peuvent ne",
        "  pas fonctionner, ou bien ne pas pointer sur un même endroit donné.",
        "",
        "  La commande virtuelle Edit+ est ajoutée depuis la version 2.1.0.",
        "  Cette dernière permet de collecter dans un simple fichier texte,",
        "  toutes les écritures qui seront récoltées sous fenêtrage CMD.",
        "",
        "  MISE EN GARDE, SI VOUS HÉSITEZ À LANCER TELLE",
        "  OU TELLE COMMANDE : ABSTENEZ-VOUS !",
        "",
        "  Nota : la clé \"/K\" est automatiquemnt ajoutée à chaque commande,",
        "  sauf aux commandes ne nécessitant aucun fenêtrage MS-DOS®",
        "  visible.",
        "",
        "  Des tags ajoutés en fin de certaines lignes d'informations",
        "  sous crochets désignent des commandes spécifiques à :",
        "         [X] = XP®",
        "         [V] = Vista®",
        "         [S] = Seven®",
        "         [.] = ...",
        "          ",
    };
    EXPECT_EQ(PrincipeLines(), expected);
    ASSERT_EQ(PrincipeLines().size(), 33u);
    EXPECT_EQ(PrincipeLines()[0], std::string(5, ' '));
    EXPECT_EQ(PrincipeLines()[32], std::string(10, ' '));
}

TEST(InfoDialogs, LicenceLayout) {
    const std::vector<std::string>& lines = LicenceLines();
    ASSERT_EQ(lines.size(), 56u);
    EXPECT_EQ(lines.back(), "    Octobre 2023");
    int clause = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        const std::string opening = std::string(" ") + std::to_string(clause + 1) + ". ";
        if (l.rfind(opening, 0) == 0) {
            ++clause;
            EXPECT_TRUE(i == 1 || lines[i - 1].empty()) << "an empty line before clause " << clause;
        } else if (!l.empty() && clause < 8) {
            EXPECT_EQ(l.rfind("     ", 0), 0u) << l;
        }
    }
    EXPECT_EQ(clause, 8);
    EXPECT_EQ(lines[51], std::string("    ") + kAuthorName);
    EXPECT_EQ(lines[52], std::string("    ") + AuthorMail());
    EXPECT_NE(lines[2].find(PublisherSiteName()), std::string::npos);
}

} // namespace

// "Compléter la commande", opened as the launch opens it.
namespace {

const std::string kBlankLine = "ping -n {{nombre}} {{h\xF4te=1.1.1.1}} & echo {{H\xF4TE}}";

// Opens the dialog with count fields; act runs once inside its modal loop
// and ends it. The modal result, or -1.
int Complete(size_t count, const std::function<void(TCompleterCommande&)>& act) {
    std::vector<TBlankField> fields = {{"h\xF4te", "1.1.1.1"}, {"nombre", ""}};
    for (size_t i = fields.size(); i < count; ++i)
        fields.push_back({"champ " + std::to_string(i + 1), std::to_string(i)});
    fields.resize(count);
    TForm owner(nullptr);
    owner.HandleNeeded();
    int result = -1;
    HWND dialog = nullptr;
    TSteps steps({[&] {
        ASSERT_NE(CompleterCommande, nullptr);
        dialog = CompleterCommande->Handle();
        act(*CompleterCommande);
    }});
    OpenDialogWith(
        &owner, CompleterCommande, [&](TCompleterCommande& d) { result = d.ShowModal(); },
        kBlankLine, fields);
    EXPECT_EQ(steps.Run(), 1u);
    // Released while its owner lives: no later test may find it as the main form.
    PumpMessages(30);
    EXPECT_FALSE(IsWindow(dialog));
    return result;
}

} // namespace

TEST(CompleterCommande, FirstBoxHasTheFocusWithItsTextSelectedAndEnterGivesTheValuesAsTyped) {
    std::vector<std::string> values;
    const int result = Complete(2, [&](TCompleterCommande& d) {
        EXPECT_EQ(WindowTextOf(d.Handle()), "Compl\xE9ter la commande");
        EXPECT_EQ(d.edtLigne.Text(), kBlankLine);
        EXPECT_EQ(d.Rows[0].lbl.Caption(), "h\xF4te :");
        ASSERT_EQ(GetFocus(), d.Rows[0].edt.Handle());
        DWORD start = 1, end = 0;
        SendMessageA(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(end - start, 7u);
        // Typing replaces the selected value.
        SendMessageA(GetFocus(), WM_CHAR, '8', 1);
        d.Rows[1].edt.SetText("4 & ver > nul");
        values = d.Values();
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(values, (std::vector<std::string>{"8", "4 & ver > nul"}));
}

TEST(CompleterCommande, NineFieldsStackWithoutOverlapAndEscapeCancels) {
    const int result = Complete(kBlanksMax, [](TCompleterCommande& d) {
        RECT client, window;
        GetClientRect(d.Handle(), &client);
        GetWindowRect(d.Handle(), &window);
        int bottom = d.edtLigne.Top() + d.edtLigne.Height();
        for (const auto& row : d.Rows) {
            EXPECT_GE(row.lbl.Top(), bottom);
            EXPECT_GE(row.edt.Top(), row.lbl.Top() + row.lbl.Height());
            bottom = row.edt.Top() + row.edt.Height();
        }
        EXPECT_GT(d.btnOK.Top(), bottom);
        EXPECT_LE(d.btnOK.Top() + d.btnOK.Height(), client.bottom);
        EXPECT_LE(window.bottom - window.top, 700) << "fits a 768-pixel screen";
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_NE(result, mrOk);
}
