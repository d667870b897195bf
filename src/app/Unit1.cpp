#include "app/Unit1.h"

#include "app/ProgramFolder.h"
#include "core/Captions.h"
#include "core/Catalogue.h"
#include "osh/Version.h"
#include "core/ParenComments.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"
#include "ui/MessageDialog.h"
#include "update/UpdateService.h"

namespace {

std::string UpperName(std::string name) {
    CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// A caption above a list or the box, in their labels' font; its accelerator
// goes to what it names.
void SetUpCaption(TForm& form, TLabel& label, const char* caption, int top, TWinControl& named) {
    label.SetParent(&form);
    label.Font = TFont("Verdana", 11, clNavy);
    label.SetCaption(caption);
    label.SetDesignBounds(27, top, 0, 0);
    label.AdjustBounds();
    label.SetFocusControl(&named);
}

// A catalogue's list, with one empty row until its file is loaded.
void SetUpList(TForm& form, TComboBox& list, int top, const char* hint, int tabOrder) {
    list.SetParent(&form);
    list.SetDesignBounds(17, top, 503, 21);
    list.ItemHeight = ListRowHeight;
    list.SetItems({""});
    list.SetHint(hint);
    list.SetTabOrder(tabOrder);
}

} // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    // Window
    SetCaption("Orbitashell v " OSH_VERSION_TEXT);
    BorderStyle = bsSingle;
    BorderIcons = biSystemMenu | biMinimize;
    Position = poScreenCenter;
    KeyPreview = true;
    Font = TFont("Tahoma", 11, clWindowText);
    SetDesignBounds(0, 0, 611, 314);
    SetClientWidth(Scale(605));
    OnCreate = Bind(this, &TForm1::FormCreate);
    OnActivate = Bind(this, &TForm1::FormActivate);
    OnKeyPress = Bind(this, &TForm1::FormKeyPress);
    OnCloseQuery = Bind(this, &TForm1::FormCloseQuery);
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) {
        Suggestions.KeyDown(k, sh);
        if (k)
            FormKeyDown(s, k, sh);
    };
    OnDeactivate = Bind(this, &TForm1::FormDeactivate);
    OnMove = Bind(this, &TForm1::FormMove);

    //                          left  top  width height
    Bevel1.SetParent(this);
    Bevel1.Shape = bsFrame;
    Bevel1.Style = bsRaised;
    Bevel1.SetDesignBounds(17, 27, 503, 33);

    lblLine1.SetParent(this);
    lblLine1.Font = TFont("Verdana", 13, clBlack);
    lblLine1.SetAutoSize(false);
    lblLine1.SetCaption("Choisir en ces listes, votre commande, ensuite cliquez sur \"Lancer\"");
    lblLine1.SetDesignBounds(40, 36, 443, 16);

    btnNewVersionDispo.SetParent(this);
    btnNewVersionDispo.SetCaption(" Nouvelle version disponible ");
    btnNewVersionDispo.Font = TFont("MS Sans Serif", 12, clNavy);
    btnNewVersionDispo.SetDesignBounds(374, 0, 146, 22);
    btnNewVersionDispo.SetVisible(false);

    btnInfos.SetParent(this);
    btnInfos.Flat = true;
    btnInfos.SetGlyph("INFOS");
    btnInfos.Font.SetStyle(fsBold);
    btnInfos.SetDesignBounds(570, 26, 20, 20);
    btnInfos.SetHint("A propos ; licence ; etc.");
    btnInfos.PopupMenu = &ppmInfos;

    SetUpCaption(*this, lblListCPL,
                 "Commandes directes des dossiers CPL du Panneau de Configuration", 87, cbbListCPL);
    SetUpList(*this, cbbListCPL, 103,
              "Liste des commandes directes des dossiers CPL du Panneau de Configuration", 2);

    SetUpCaption(*this, lblListSystem, "Commandes générales et commandes système", 144,
                 cbbListSyst);
    SetUpList(*this, cbbListSyst, 160, "Liste des commandes générales et commandes système", 1);

    SetUpCaption(*this, lblExecuter,
                 "Ligne de commande à taper directement, ou bien choisir dans les listes", 201,
                 edtCmdLine);

    edtCmdLine.SetParent(this);
    edtCmdLine.SetDesignBounds(17, 217, 503, 21);
    edtCmdLine.SetHint("Zone de la ligne de commande");
    edtCmdLine.SetTabOrder(0);

    btnExecuter.SetParent(this);
    btnExecuter.SetCaption("Lancer");
    btnExecuter.SetDesignBounds(524, 217, 63, 21);
    btnExecuter.SetDefault(true);
    btnExecuter.Style = bsSplitButton;
    btnExecuter.SetTabOrder(4);
    btnExecuter.SetEnabled(false);

    lblPublisher.SetParent(this);
    lblPublisher.Font = TFont("Verdana", 11, clGray);
    lblPublisher.SetCaption(std::string("Les éditions ") + PublisherSiteName());
    lblPublisher.SetDesignBounds(19, 266, 0, 0);
    lblPublisher.AdjustBounds();
    lblPublisher.SetHint("Logiciels gratuits ; icônes ; liens");
    lblPublisher.Cursor = crHandPoint;

    SetUpCaption(*this, lblListCustom, "Commandes personnelles", 296, cbbListCustom);
    lblListCustom.SetVisible(false);

    SetUpList(*this, cbbListCustom, 311, "Liste de vos commandes personnelles", 3);
    cbbListCustom.SetVisible(false);

    // Without its images the menu still works. Images wait for the menu's first opening.
    ImageList1.LoadOnFirstUse([](TImageList& list) { list.LoadStrip("MENUIMAGES"); });
    ppmInfos.Images = &ImageList1;
    ppmInfos.Items = {&itemAPropos, &itemLicence,        &itemPrincipe,
                      &itemWebSite, &itemSeparatorInfos, &itemZoneNotification};
    itemAPropos.Caption = "A propos...";
    itemAPropos.ImageIndex = 0;
    itemLicence.Caption = "Licence";
    itemLicence.ImageIndex = 1;
    itemPrincipe.Caption = "Principe de fonctionnement";
    itemPrincipe.ImageIndex = 2;
    itemWebSite.Caption = "Orbitashell sur le Web";
    itemWebSite.ImageIndex = 3;
    itemSeparatorInfos.Caption = "-";
    itemZoneNotification.Caption = "Garder dans la zone de notification";

    Suggestions.SetFont(Font);

    // The system's shield marks the entry that asks for an administrator.
    ImageList2.LoadOnFirstUse([](TImageList& list) { list.AddStockIcon(SIID_SHIELD); });
    btnExecuter.PopupMenu = &ppmExecuter;
    btnExecuter.DropDownMenu = &ppmExecuter;
    ppmExecuter.Images = &ImageList2;
    ppmExecuter.Items = {&itemExecuter,          &itemExecuterAdmin,   &itemCopierLigne,
                         &itemSeparatorExecuter, &itemAjouterCommande, &itemEffacerHistorique};
    itemExecuter.Caption = "Lancer";
    itemExecuterAdmin.Caption = "Lancer en tant qu'administrateur";
    itemExecuterAdmin.ImageIndex = 0;
    itemCopierLigne.Caption = "Copier la ligne";
    itemSeparatorExecuter.Caption = "-";
    itemAjouterCommande.Caption = "Ajouter à mes commandes…";
    itemEffacerHistorique.Caption = "Effacer l'historique";

    // Lists follow their files: a check of three time stamps a second.
    tmrCatalogues.SetInterval(1000);
    Catalogues.SetList(lkCPL, cbbListCPL);
    Catalogues.SetList(lkSyst, cbbListSyst);
    Catalogues.SetList(lkCustom, cbbListCustom);

    // Events
    cbbListCPL.OnChange = Bind(this, &TForm1::cbbListCPLChange);
    cbbListSyst.OnChange = Bind(this, &TForm1::cbbListSystChange);
    cbbListCustom.OnChange = Bind(this, &TForm1::cbbListCustomChange);
    cbbListCPL.OnDrawItem = Bind(this, &TForm1::cbbListCPLDrawItem);
    cbbListSyst.OnDrawItem = Bind(this, &TForm1::cbbListSystDrawItem);
    cbbListCustom.OnDrawItem = Bind(this, &TForm1::cbbListCustomDrawItem);
    edtCmdLine.OnChange = Bind(this, &TForm1::edtCmdLineChange);
    edtCmdLine.OnAfterChange = Bind(this, &TForm1::edtCmdLineAfterChange);
    edtCmdLine.OnExit = Bind(this, &TForm1::edtCmdLineExit);
    edtCmdLine.OnPaste = Bind(this, &TForm1::edtCmdLinePaste);
    Suggestions.RowText = [this](TListKind kind, int row) {
        return Catalogues.List(kind).Item(row);
    };
    // The lines that ran come first, and alone under the empty box.
    Suggestions.LeadingRows = [this](std::string_view typed) {
        return launchMemory_ ? launchMemory_->HistoryFor(typed) : std::vector<std::string>{};
    };
    Suggestions.OnPick = Bind(this, &TForm1::SuggestionsPick);
    Suggestions.OnCopy = Bind(this, &TForm1::SuggestionsCopy);
    btnExecuter.OnClick = Bind(this, &TForm1::btnExecuterClick);
    btnNewVersionDispo.OnClick = Bind(this, &TForm1::btnNewVersionDispoClick);
    btnInfos.OnClick = Bind(this, &TForm1::btnInfosClick);
    lblPublisher.OnClick = Bind(this, &TForm1::lblPublisherClick);
    itemAPropos.OnClick = Bind(this, &TForm1::itemAProposClick);
    itemLicence.OnClick = Bind(this, &TForm1::itemLicenceClick);
    itemPrincipe.OnClick = Bind(this, &TForm1::itemPrincipeClick);
    itemWebSite.OnClick = Bind(this, &TForm1::itemWebSiteClick);
    ppmInfos.OnPopup = Bind(this, &TForm1::ppmInfosPopup);
    itemZoneNotification.OnClick = Bind(this, &TForm1::itemZoneNotificationClick);
    ppmExecuter.OnPopup = Bind(this, &TForm1::ppmExecuterPopup);
    itemExecuter.OnClick = Bind(this, &TForm1::itemExecuterClick);
    itemExecuterAdmin.OnClick = Bind(this, &TForm1::itemExecuterAdminClick);
    itemCopierLigne.OnClick = Bind(this, &TForm1::itemCopierLigneClick);
    itemAjouterCommande.OnClick = Bind(this, &TForm1::itemAjouterCommandeClick);
    itemEffacerHistorique.OnClick = Bind(this, &TForm1::itemEffacerHistoriqueClick);
    tmrCatalogues.OnTimer = Bind(this, &TForm1::tmrCataloguesTimer);
    Catalogues.OnRowsLoaded = Bind(this, &TForm1::CataloguesRowsLoaded);
}

void TForm1::FormCreate(TObject*) {
    Application->Title = "Orbitashell";
    btnExecuter.SetEnabled(false);
    BaseCaption = BaseCaptionOf(Caption());
    SetCaption(ComposeCaption(BaseCaption,
                              " - Recherche mise à jour d'Orbitashell, veuillez patienter...", 88));

    // Before the loads: a catalogue that cannot be read now fills its list once it can.
    tmrCatalogues.SetEnabled(true);

    // A folder that ANSI calls cannot reach: the message, and nothing else runs.
    const std::optional<std::string> settled = SettleInProgramFolder();
    if (!settled) {
        Application->Terminate();
        return;
    }
    const std::string& folder = *settled;
    // Already running kept at hand: that window comes forward, and this copy ends unseen.
    if (!Resident.Start(folder)) {
        Application->ShowMainForm = false;
        Application->Terminate();
        return;
    }

    launchMemory_ = std::make_unique<TLaunchMemory>(this, folder);
    launcher_ = std::make_unique<TLauncher>(*this, *launchMemory_);
    Catalogues.SetPath(lkCustom, folder + UpperName("Commandes.txt"));
    Catalogues.SetPath(lkCPL, folder + UpperName("CommandesCPL.TXT"));
    Catalogues.SetPath(lkSyst, folder + UpperName("CommandesSyst.TXT"));
    // A file held by a writer stops its own list's load only: every check
    // still runs, and the loop shows the failure once this handler is done.
    // The timer fills the list once the file is free.
    auto load = [this](TListKind kind) {
        try {
            Catalogues.Load(kind);
        } catch (const EFOpenError&) {
            Application->QueueException(std::current_exception());
        }
    };

    if (FileExists(Catalogues.Path(lkCustom))) {
        ShowCustomList();
        load(lkCustom);
    } else {
        SetHeight(Scale(314));
    }

    if (FileExists(Catalogues.Path(lkCPL))) {
        load(lkCPL);
    } else {
        ShowErrorMessage("Le fichier \"CommandesCPL.TXT\" d'Orbitashell est introuvable !");
        Application->Terminate();
    }

    if (FileExists(Catalogues.Path(lkSyst))) {
        load(lkSyst);
    } else {
        ShowErrorMessage("Le fichier \"CommandesSyst.TXT\" d'Orbitashell est introuvable !");
        Application->Terminate();
    }

    // Relative to the current folder, as the capture batch file expects it.
    if (!DirectoryExists("Syst")) {
        ShowErrorMessage("Le dossier \"Syst\" d'Orbitashell est introuvable !");
        Application->Terminate();
    }
}

void TForm1::FormActivate(TObject*) {
    // A start-up failure has already asked to end: no check, nor its caption.
    if (Application->QuitRequested()) {
        SetCaption(BaseCaption);
        return;
    }
    // The window, its controls and its waiting caption are drawn whole before
    // the check: its waits paint what changes, but its other steps hold the thread.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    TestUpdate();
}

void TForm1::FormKeyPress(TObject*, char& Key) {
    if (Key == 27)
        Close();
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = !Resident.HideInstead();
}

void TForm1::cbbListCPLChange(TObject*) {
    TakeListRow(lkCPL, cbbListCPL.ItemIndex());
}

void TForm1::cbbListSystChange(TObject*) {
    TakeListRow(lkSyst, cbbListSyst.ItemIndex());
}

void TForm1::cbbListCustomChange(TObject*) {
    TakeListRow(lkCustom, cbbListCustom.ItemIndex());
}

bool TForm1::RefusedAsLossy(TListKind kind, int index) {
    if (!Catalogues.IsLossyRow(kind, index))
        return false;
    ShowErrorMessage("Cette ligne contient un caractère que Windows-1252 n'a pas (il "
                     "s'affiche « ? ») : lancée telle quelle, elle exécuterait une autre "
                     "commande. La ligne de commande reste inchangée ; corrigez la ligne "
                     "dans le fichier de la liste.");
    return true;
}

void TForm1::TakeListRow(TListKind kind, int index) {
    if (!RefusedAsLossy(kind, index))
        edtCmdLine.SetText(Catalogues.List(kind).Item(index));
}

void TForm1::edtCmdLineChange(TObject*) {
    std::string text = edtCmdLine.Text();
    if (text.find(')') != std::string::npos) {
        const std::string kept = StripParenComments(text);
        const bool typedComment = kept != text && edtCmdLine.TypedChar() == ')';
        edtCmdLine.SetText(kept);
        text = edtCmdLine.Text();
        if (typedComment && !commentTipShown_) {
            commentTipShown_ = true;
            edtCmdLine.ShowBalloonTip(
                "Orbitashell", "Le texte entre parenthèses est un commentaire : il est retiré de "
                               "la ligne. Pour garder une parenthèse, doublez-la : (( et )).");
        }
    }
    btnExecuter.SetEnabled(!text.empty());
}

void TForm1::edtCmdLinePaste(TObject*, std::string& Text) {
    // Doubled, as a catalogue row writes them, no parenthesis of it is taken
    // for a comment; after an open quote the text goes in quoted.
    const std::string line = edtCmdLine.Text();
    Text = DoubleParens(Text, QuotedAt(line, static_cast<size_t>(edtCmdLine.SelStart())));
}

void TForm1::edtCmdLineAfterChange(TObject*, bool ByUser) {
    // A row taken from a list, or the comments removed, opens nothing.
    if (ByUser)
        Suggestions.Search(edtCmdLine.Text());
    else
        Suggestions.Close();
}

void TForm1::edtCmdLineExit(TObject*) {
    Suggestions.Close();
}

void TForm1::SuggestionsCopy(TObject*, const std::string& Text, const GSearchHit* Row) {
    if (launcher_ && !(Row && RefusedAsLossy(Row->list, Row->row)))
        launcher_->Copy(Text);
}

void TForm1::SuggestionsPick(TObject*, const std::string& Text, const GSearchHit* Row) {
    // As a pick in the row's own list: the box's change handler does the rest.
    if (Row)
        TakeListRow(Row->list, Row->row);
    else
        edtCmdLine.SetText(Text);
}

void TForm1::FormDeactivate(TObject*) {
    Suggestions.Close();
    Resident.WindowDeactivated();
}

void TForm1::FormMove(TObject*) {
    Suggestions.Close();
    edtCmdLine.HideBalloonTip();
}

void TForm1::btnExecuterClick(TObject*) {
    LaunchLine(KeyboardShiftState() == (ssCtrl | ssShift));
}

void TForm1::LaunchLine(bool elevate) {
    // The box keeps the line as written, blanks and doubled parentheses.
    if (!launcher_)
        return;
    if (auto after = launcher_->Launch(edtCmdLine.Text(), elevate))
        edtCmdLine.SetText(*after);
}

void TForm1::ppmExecuterPopup(TObject*) {
    const bool line = !edtCmdLine.Text().empty();
    itemExecuter.Enabled = line;
    itemExecuterAdmin.Enabled = line;
    itemCopierLigne.Enabled = line;
    itemAjouterCommande.Enabled = line;
    itemEffacerHistorique.Enabled = launchMemory_ && launchMemory_->HasHistory();
}

void TForm1::itemExecuterClick(TObject*) {
    LaunchLine(false);
}

void TForm1::itemExecuterAdminClick(TObject*) {
    LaunchLine(true);
}

void TForm1::itemCopierLigneClick(TObject*) {
    if (launcher_ && !edtCmdLine.Text().empty())
        launcher_->Copy(edtCmdLine.Text());
}

void TForm1::itemEffacerHistoriqueClick(TObject*) {
    launchMemory_->ForgetHistory();
}

void TForm1::DrawListRow(TListKind kind, int index, const RECT& r, TOwnerDrawState state) {
    TComboBox& list = Catalogues.List(kind);
    DrawStyledRow(*list.Canvas(), PixelsPerInch(), kind, index, list.Item(index), r, state);
}

void TForm1::cbbListCPLDrawItem(TObject*, int Index, const RECT& Rect, TOwnerDrawState State) {
    DrawListRow(lkCPL, Index, Rect, State);
}

void TForm1::cbbListSystDrawItem(TObject*, int Index, const RECT& Rect, TOwnerDrawState State) {
    DrawListRow(lkSyst, Index, Rect, State);
}

void TForm1::cbbListCustomDrawItem(TObject*, int Index, const RECT& Rect, TOwnerDrawState State) {
    DrawListRow(lkCustom, Index, Rect, State);
}
