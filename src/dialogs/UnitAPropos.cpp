#include "dialogs/UnitAPropos.h"

#include "core/Figures.h"
#include "osh/Version.h"
#include "ui/System.h"
#include "update/UpdateService.h"

TAboutBox* AboutBox = nullptr;

namespace {

std::string LocaleText(LCTYPE what, const char* fallback) {
    char buf[16];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf);
    return n > 1 ? std::string(buf, static_cast<size_t>(n - 1)) : fallback;
}

} // namespace

std::string KiloBytesText(std::uint64_t bytes) {
    const std::string digits = std::to_string(RoundedKibibytes(bytes));
    // The locale's grouping and separators, but never a decimal part.
    std::string decimal = LocaleText(LOCALE_SDECIMAL, ".");
    std::string thousand = LocaleText(LOCALE_STHOUSAND, " ");
    std::string grouping = LocaleText(LOCALE_SGROUPING, "3;0");
    // "3;0" repeats groups of three (3 for NUMBERFMT), "3;2;0" is 32.
    std::string groupDigits;
    for (char c : grouping)
        if (c >= '0' && c <= '9')
            groupDigits += c;
    if (grouping.size() >= 2 && grouping.compare(grouping.size() - 2, 2, ";0") == 0)
        groupDigits.pop_back();
    NUMBERFMTA format{};
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = groupDigits.empty() ? 0 : static_cast<UINT>(std::stoul(groupDigits));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = 1;
    char buf[64];
    int n = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, buf, sizeof buf);
    return (n > 1 ? std::string(buf, static_cast<size_t>(n - 1)) : digits) + " Ko";
}

std::string ToolChainName() {
    auto version = [](int major, int minor, int patch) {
        return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
    };
    // Short enough to stay inside the box after its sentence.
#if defined(__MINGW64_VERSION_MAJOR)
    const std::string kit = "MinGW-w64 ";
#else
    const std::string kit;
#endif
#if defined(__clang__)
    return kit + "Clang " + version(__clang_major__, __clang_minor__, __clang_patchlevel__);
#elif defined(__GNUC__)
    return kit + "GCC " + version(__GNUC__, __GNUC_MINOR__, __GNUC_PATCHLEVEL__);
#elif defined(_MSC_VER)
    return "Visual C++ " + std::to_string(_MSC_VER);
#else
    return "C++";
#endif
}

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
    // Window
    SetUpDialog("AboutBox", "A propos...", TFont("MS Sans Serif", 11, clWindowText));
    SetClientSize(Scale(386), Scale(295));
    OnCreate = [this](TObject* s) { FormCreate(s); };

    //                          left  top  width height
    Panel.SetParent(this);
    Panel.SetColor(clWhite);
    Panel.BevelInner = bvRaised;
    Panel.BevelOuter = bvLowered;
    Panel.SetDesignBounds(12, 12, 362, 269);

    auto label = [this](TLabel& l, int left, int top, TColor color, const std::string& text) {
        l.SetParent(&Panel);
        l.Font = TFont("MS Sans Serif", 11, color);
        l.SetCaption(text);
        l.SetDesignBounds(left, top, 0, 0);
        l.AdjustBounds();
    };
    label(Label6, 17, 4, clSilver, "Octobre 2023");

    Label3D1.SetParent(&Panel);
    Label3D1.SetAutoSize(false);
    Label3D1.Font = TFont("Tahoma", 21, clPurple, fsBold);
    Label3D1.SetCaption("Orbitashell v " OSH_VERSION_TEXT);
    Label3D1.SetTextStyle(tsShadow);
    Label3D1.SetShift(2);
    Label3D1.SetBorder(false);
    Label3D1.SetBorderColor(clRed);
    Label3D1.SetBorderPenStyle(psSolid);
    Label3D1.SetBorderType(btDefault);
    Label3D1.SetEscapement(0);
    Label3D1.SetLabelStyle(lsDefault);
    Label3D1.SetEllipsesStyle(esNone);
    Label3D1.SetColor(clWhite);
    Label3D1.SetTransparent(true);
    Label3D1.SetDesignBounds(73, 20, 249, 30);

    label(LabelURL2, 108, 54, clNavy, "Site : " + PublisherPlainAddress());
    LabelURL2.URL = PublisherPlainAddress();

    label(Label1, 83, 84, clNavy, "Pour tout renseignement :");

    LabelURL3.SetParent(&Panel);
    LabelURL3.Font = TFont("MS Sans Serif", 11, clNavy, fsUnderline);
    LabelURL3.SetCaption("écrire à l'auteur");
    LabelURL3.SetDesignBounds(208, 84, 0, 0);
    LabelURL3.AdjustBounds();
    LabelURL3.URL = std::string("mailto:") + AuthorMail();

    DLine1.SetParent(&Panel);
    DLine1.SetDesignBounds(3, 112, 355, 1);

    label(Label5, 79, 123, clNavy, "Orbitashell est développé sous " + ToolChainName());

    DLine3.SetParent(&Panel);
    DLine3.SetRailStyle(stNone);
    DLine3.SetDesignBounds(3, 147, 355, 1);

    label(Label2, 52, 162, clOlive, "Mémoire physique disponible  :");
    label(PhysMem, 203, 162, clOlive, "0");
    label(Label3, 52, 186, clOlive, "Ressources système utilisées :");
    label(FreeRes, 203, 186, clOlive, "0");
    label(Label4, 52, 210, clOlive, "Nombre de processeurs  :");
    label(NbrProc, 203, 210, clOlive, "0");
    label(Label7, 52, 234, clOlive, "N° de révision processeur(s) :");
    label(RevisProc, 203, 234, clOlive, "0");
}

void TAboutBox::FormCreate(TObject*) {
    const MEMORYSTATUSEX status = Sys().MemoryStatus();
    PhysMem.SetCaption(KiloBytesText(status.ullTotalPhys));
    FreeRes.SetCaption(MemoryLoadText(status.dwMemoryLoad));
    NbrProc.SetCaption(Sys().Environment("NUMBER_OF_PROCESSORS").value_or(""));
    RevisProc.SetCaption(Sys().Environment("PROCESSOR_REVISION").value_or(""));
}
