// The gallery: every look of the display controls and of the list rows, drawn
// by the program's own code into a bitmap.
//   gallery.exe <output.bmp>
#include "app/Unit1.h"
#include "components/DLine.h"
#include "components/Label3D.h"
#include "osh/Version.h"
#include "components/LabelURL.h"
#include "dialogs/UnitAPropos.h"
#include "dialogs/UnitLicence.h"
#include "dialogs/UnitPrincipe.h"
#include "EnumNames.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1220;
constexpr int kHeight = 1590;
// The classic dialog grey, on which both the white and the grey copies show.
constexpr TColor kSheet = RGBColor(212, 208, 200);

// A top-down 32-bit DIB section with its own DC.
class TBitmap {
public:
    TBitmap(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~TBitmap() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    HDC DC() const { return dc_; }

    // A 24-bit bottom-up BMP file, the plainest kind every reader knows.
    bool Save(const std::string& path) const {
        GdiFlush();
        const int stride = (width_ * 3 + 3) & ~3;
        const DWORD imageSize = static_cast<DWORD>(stride * height_);
        BITMAPFILEHEADER fh{};
        BITMAPINFOHEADER ih{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = fh.bfOffBits + imageSize;
        ih.biSize = sizeof ih;
        ih.biWidth = width_;
        ih.biHeight = height_;
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        ih.biCompression = BI_RGB;
        ih.biSizeImage = imageSize;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&ih, sizeof ih, 1, f);
        std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
        const auto* pixels = static_cast<const std::uint32_t*>(bits_);
        for (int y = height_ - 1; y >= 0; --y) {
            for (int x = 0; x < width_; ++x) {
                std::uint32_t v = pixels[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                                         static_cast<size_t>(x)];
                row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(v & 0xFF);
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
                row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>((v >> 16) & 0xFF);
            }
            std::fwrite(row.data(), row.size(), 1, f);
        }
        return std::fclose(f) == 0;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// The sheet the controls are placed on; it owns them.
class TSheet : public TForm {
public:
    TSheet() : TForm(nullptr) {
        SetColor(kSheet);
        Font = TFont("Tahoma", 11, clBlack);
        SetBounds(0, 0, kWidth, kHeight);
    }

    template <class T> T& Add(int left, int top, int width, int height) {
        auto control = std::make_unique<T>(this);
        T& c = *control;
        c.SetParent(this);
        c.SetBounds(left, top, width, height);
        owned_.push_back(std::move(control));
        return c;
    }

    TLabel& Caption(int left, int top, const std::string& text, bool heading = false) {
        TLabel& label = Add<TLabel>(left, top, 0, 0);
        label.SetTransparent(true);
        label.Font = heading ? TFont("Tahoma", 15, clBlack, fsBold) : TFont("Tahoma", 11, clBlack);
        label.SetCaption(text);
        return label;
    }

private:
    std::vector<std::unique_ptr<TControl>> owned_;
};

void TextStylesAndBorders(TSheet& sheet, int top) {
    sheet.Caption(10, top, "TLabel3D : TextStyle × BorderType", true);
    const int x0 = 150, cellW = 200, cellH = 40, y0 = top + 50;
    const TBorderType borders[] = {btDefault, btRecessed, btRaised};
    for (int b = 0; b < 3; ++b)
        sheet.Caption(x0 + b * (cellW + 10), y0 - 18, std::string(EnumName(borders[b])));
    sheet.Caption(x0 + 3 * (cellW + 10), y0 - 18, "désactivé, sans bordure");
    for (int s = 0; s <= static_cast<int>(tsShadow); ++s) {
        const auto style = static_cast<TTextStyle>(s);
        const int y = y0 + s * (cellH + 8);
        sheet.Caption(10, y + 12, std::string(EnumName(style)));
        for (int b = 0; b < 4; ++b) {
            auto& label = sheet.Add<TLabel3D>(x0 + b * (cellW + 10), y, cellW, cellH);
            label.SetAutoSize(false);
            label.SetTransparent(true);
            label.Font = TFont("Arial", 24, clNavy, fsBold);
            label.SetCaption("Orbitashell");
            label.SetAlignment(taCenter);
            label.SetLayout(tlCenter);
            label.SetTextStyle(style);
            label.SetShift(3);
            if (b < 3) {
                label.SetBorder(true);
                label.SetBorderType(borders[b]);
            } else {
                label.SetEnabled(false);
            }
        }
    }
    // Pen width and style of the border.
    const int y = y0 + 6 * (cellH + 8) + 6;
    sheet.Caption(10, y + 4, "BorderWidth,");
    sheet.Caption(10, y + 20, "BorderPenStyle");
    struct Pen {
        TBorderType type;
        int width;
        TPenStyle style;
        const char* text;
    };
    const Pen pens[] = {{btDefault, 3, psSolid, "btDefault 3 (moitié coupée)"},
                        {btDefault, 1, psDash, "btDefault 1 psDash"},
                        {btRaised, 2, psSolid, "btRaised 2"},
                        {btDefault, 0, psSolid, "BorderWidth 0 : rien"}};
    for (int i = 0; i < 4; ++i) {
        auto& label = sheet.Add<TLabel3D>(x0 + i * (cellW + 10), y, cellW, cellH);
        label.SetAutoSize(false);
        label.SetTransparent(false);
        label.SetColor(clWhite);
        label.Font = TFont("Arial", 13, clBlack);
        label.SetCaption(pens[i].text);
        label.SetAlignment(taCenter);
        label.SetLayout(tlCenter);
        label.SetTextStyle(tsNone);
        label.SetBorder(true);
        label.SetBorderType(pens[i].type);
        label.SetBorderWidth(pens[i].width);
        label.SetBorderPenStyle(pens[i].style);
    }
}

void Escapements(TSheet& sheet, int top) {
    sheet.Caption(10, top, "TLabel3D : Escapement (AutoSize, tsShadow, cadre = boîte englobante)",
                  true);
    const int angles[] = {0, 45, 90, 180, 270, -30};
    for (int i = 0; i < 6; ++i) {
        const int x = 10 + i * 160, y = top + 50;
        auto& label = sheet.Add<TLabel3D>(x, y, 0, 0);
        label.SetTransparent(true);
        label.Font = TFont("Arial", 20, clPurple, fsBold);
        label.SetCaption("Orbitashell");
        label.SetTextStyle(tsShadow);
        label.SetShift(2);
        label.SetBorder(true);
        label.SetEscapement(angles[i]);
        sheet.Caption(x, y - 20,
                      "Escapement " + std::to_string(angles[i]) +
                          (angles[i] < 0 ? " (" + std::to_string(label.Escapement()) + ")" : ""));
    }
}

void Rails(TSheet& sheet, int top) {
    sheet.Caption(10, top, "TDLine : RailStyle × Direction", true);
    for (int s = 0; s <= static_cast<int>(stRaisedPlus); ++s) {
        const auto style = static_cast<TDLineRailStyle>(s);
        const int x = 10 + s * 190, y = top + 50;
        sheet.Caption(x, y - 22, std::string(EnumName(style)));
        auto& horiz = sheet.Add<TDLine>(x, y, 170, 9);
        horiz.SetRailStyle(style);
        auto& vert = sheet.Add<TDLine>(x + 80, y + 20, 9, 90);
        vert.SetDirection(drVert);
        vert.SetRailStyle(style);
    }
}

void AboutBoxLinks(TSheet& sheet, int top) {
    sheet.Caption(10, top, "Comme dans la boîte À propos : titre, liens, séparateurs", true);
    const int x = 10, y = top + 40;

    auto& title = sheet.Add<TLabel3D>(x + 73, y, 249, 30);
    title.SetAutoSize(false);
    title.SetCaption("Orbitashell v " OSH_VERSION_TEXT);
    title.SetTextStyle(tsShadow);
    title.SetShift(2);
    title.SetTransparent(true);
    title.SetColor(clWhite);
    title.Font = TFont("Tahoma", 21, clPurple, fsBold);

    auto& rail1 = sheet.Add<TDLine>(x + 3, y + 40, 355, 1);
    rail1.SetRailStyle(stSunken);
    auto& rail2 = sheet.Add<TDLine>(x + 3, y + 110, 355, 1);
    rail2.SetRailStyle(stNone);

    // The two hyperlink labels, at rest and with the pointer over them.
    const TFont navy("MS Sans Serif", 11, clNavy);
    const TFont navyUnderlined("MS Sans Serif", 11, clNavy, fsUnderline);
    for (int hovered = 0; hovered < 2; ++hovered) {
        const int ly = y + 52 + hovered * 26;
        sheet.Caption(x + 380, ly, hovered ? "TLabelURL, survolé" : "TLabelURL");
        auto& web = sheet.Add<TLabelURL>(x + 20, ly, 0, 13);
        web.Font = navy;
        web.SetTransparent(true);
        web.SetCaption("www.orbitashell.fr");
        web.URL = "https://www.orbitashell.fr/";
        auto& mail = sheet.Add<TLabelURL>(x + 200, ly, 0, 13);
        mail.Font = navyUnderlined;
        mail.SetTransparent(true);
        mail.SetCaption("écrire à l'auteur");
        mail.URL = "mailto:auteur@orbitashell.fr";
        if (hovered) {
            web.MouseEnter();
            mail.MouseEnter();
        }
    }
    for (int hovered = 0; hovered < 2; ++hovered) {
        const int ly = y + 130 + hovered * 26;
        sheet.Caption(x + 380, ly,
                      hovered ? "TLabel3D lsWWWAddress / lsEMailAddress, survolé"
                              : "TLabel3D lsWWWAddress / lsEMailAddress");
        auto& web = sheet.Add<TLabel3D>(x + 20, ly, 0, 0);
        web.Font = navy;
        web.SetTextStyle(tsNone);
        web.SetTransparent(true);
        web.SetLabelStyle(lsWWWAddress);
        web.SetAddress("https://www.orbitashell.fr/");
        web.SetCaption("www.orbitashell.fr");
        auto& mail = sheet.Add<TLabel3D>(x + 200, ly, 0, 0);
        mail.Font = navy;
        mail.SetTextStyle(tsNone);
        mail.SetTransparent(true);
        mail.SetLabelStyle(lsEMailAddress);
        mail.SetAddress("auteur@orbitashell.fr");
        mail.SetCaption("auteur@orbitashell.fr");
        if (hovered) {
            web.MouseEnter();
            mail.MouseEnter();
        }
    }
}

struct TRowsOfList {
    TComboBox* list;
    const char* name;
    std::vector<std::string> rows;
};

std::vector<TRowsOfList> ListsOf(TForm1& main) {
    return {
        {&main.cbbListCPL,
         "cbbListCPL",
         {"control appwiz.cpl (Programmes)", "control desk.cpl (Affichage)",
          "control firewall.cpl (Pare-feu)", "control inetcpl.cpl (Internet)",
          "control main.cpl (Souris)"}},
        {&main.cbbListSyst,
         "cbbListSyst",
         {"ipconfig /all (configuration IP)", "systeminfo", "tasklist (processus)", "ver",
          "chkdsk C: (vérification)"}},
        {&main.cbbListCustom,
         "cbbListCustom",
         {"dir %TEMP%", "", "ping localhost", "Edit+ netstat -an", "echo Bonjour"}},
    };
}

constexpr int kListWidth = 300;

int ListLeft(int index) {
    return 10 + index * (kListWidth + 15);
}

void ListCaptions(TForm1& main, TSheet& sheet, int top) {
    sheet.Caption(10, top, "Lignes des trois listes", true);
    const int rowH = Scale(15), y = top + 50;
    const auto lists = ListsOf(main);
    for (size_t l = 0; l < lists.size(); ++l) {
        const int x = ListLeft(static_cast<int>(l));
        sheet.Caption(x, y - 20, std::string(lists[l].name) + " : ligne 2 choisie");
        sheet.Caption(x, y + 5 * rowH + 8, "fermée : focus / sans focus / vide + focus");
    }
}

// The rows as the lists draw them, through the program's own handlers.
void DrawListRows(TForm1& main, HDC dc, int top) {
    const int rowH = Scale(15), y = top + 50;
    const auto lists = ListsOf(main);
    for (size_t l = 0; l < lists.size(); ++l) {
        const TRowsOfList& entry = lists[l];
        entry.list->SetItems(entry.rows);
        const int x = ListLeft(static_cast<int>(l));
        auto draw = [&](int index, int rowTop, UINT state) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_COMBOBOX;
            dis.itemID = static_cast<UINT>(index);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = state;
            dis.hwndItem = entry.list->Handle();
            dis.hDC = dc;
            dis.rcItem = {x, rowTop, x + kListWidth, rowTop + rowH};
            entry.list->HandleDrawItem(dis);
        };
        for (int i = 0; i < 5; ++i)
            draw(i, y + i * rowH, i == 2 ? ODS_SELECTED | ODS_FOCUS : 0);
        const int closed = y + 5 * rowH + 28;
        draw(1, closed, ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS);
        draw(1, closed + rowH + 6, ODS_COMBOBOXEDIT);
        draw(-1, closed + 2 * (rowH + 6), ODS_COMBOBOXEDIT | ODS_FOCUS);
    }
}

// A window and its windowed children, never shown, drawn at (x, y): the
// toolkit's through their one paint path, a text box by its own printing
// inside the one-pixel frame its flat border gives it.
void PrintTree(TWinControl& w, HDC dc, int x, int y) {
    const RECT client = w.ClientRect();
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, x, y, nullptr);
    IntersectClipRect(dc, 0, 0, w.Width(), w.Height());
    if (auto* memo = dynamic_cast<TMemo*>(&w)) {
        RECT frame{0, 0, w.Width(), w.Height()};
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
        SetViewportOrgEx(dc, x + 1, y + 1, nullptr);
        SendMessageA(memo->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_ERASEBKGND);
    } else {
        TCanvas canvas(dc);
        w.PaintTo(canvas, client);
    }
    RestoreDC(dc, saved);
    for (TControl* c : w.Controls())
        if (auto* child = dynamic_cast<TWinControl*>(c))
            PrintTree(*child, dc, x + child->Left(), y + child->Top());
}

// The three information dialogs, client areas side by side.
void DrawDialogs(HDC dc, int top) {
    std::unique_ptr<TForm> dialogs[] = {std::make_unique<TAboutBox>(nullptr),
                                        std::make_unique<TLicence>(nullptr),
                                        std::make_unique<TPrincipe>(nullptr)};
    int x = 10;
    for (auto& d : dialogs) {
        d->DoCreate();
        PrintTree(*d, dc, x, top);
        x += d->ClientRect().right + 12;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery <output.bmp>\n");
        return 2;
    }
    TApplication application;
    TSheet sheet;
    TextStylesAndBorders(sheet, 10);
    Escapements(sheet, 420);
    Rails(sheet, 610);
    AboutBoxLinks(sheet, 790);
    // The main window, never shown: its lists draw their rows, nothing is loaded or checked.
    TForm1 main;
    main.HandleNeeded();
    const int listsTop = 1010;
    ListCaptions(main, sheet, listsTop);
    const int dialogsTop = 1260;
    sheet.Caption(10, dialogsTop, "A propos..., Licence, Principe (zones client)", true);

    TBitmap bitmap(kWidth, kHeight);
    const RECT all{0, 0, kWidth, kHeight};
    // Twice: turned labels take the size of their text at their first paint.
    for (int pass = 0; pass < 2; ++pass) {
        TCanvas canvas(bitmap.DC());
        sheet.PaintTo(canvas, all);
    }
    DrawListRows(main, bitmap.DC(), listsTop);
    DrawDialogs(bitmap.DC(), dialogsTop + 30);
    if (!bitmap.Save(argv[1])) {
        std::fprintf(stderr, "gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
