#include "app/Unit1.h"

#include "core/Captions.h"
#include "core/Catalogue.h"
#include "osh/Version.h"
#include "core/ParenComments.h"
#include "ui/Application.h"
#include "ui/Files.h"
#include "ui/MessageDialog.h"
#include "ui/System.h"
#include "update/UpdateService.h"

namespace {

std::string UpperName(std::string name) {
    CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name;
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
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnKeyPress = [this](TObject* s, char& k) { FormKeyPress(s, k); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) {
        Suggestions.KeyDown(k, sh);
        if (k)
            FormKeyDown(s, k, sh);
    };
    OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
    OnMove = [this](TObject* s) { FormMove(s); };

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

    lblListCPL.SetParent(this);
    lblListCPL.Font = TFont("Verdana", 11, clNavy);
    lblListCPL.SetCaption("Commandes directes des dossiers CPL du Panneau de Configuration");
    lblListCPL.SetDesignBounds(27, 87, 0, 0);
    lblListCPL.AdjustBounds();
    lblListCPL.SetFocusControl(&cbbListCPL);

    cbbListCPL.SetParent(this);
    cbbListCPL.SetDesignBounds(17, 103, 503, 21);
    cbbListCPL.ItemHeight = ListRowHeight;
    cbbListCPL.SetItems({""}); // one empty row until its catalogue is loaded
    cbbListCPL.SetHint("Liste des commandes directes des dossiers CPL du Panneau de Configuration");
    cbbListCPL.SetTabOrder(2);

    lblListSystem.SetParent(this);
    lblListSystem.Font = TFont("Verdana", 11, clNavy);
    lblListSystem.SetCaption("Commandes générales et commandes système");
    lblListSystem.SetDesignBounds(27, 144, 0, 0);
    lblListSystem.AdjustBounds();
    lblListSystem.SetFocusControl(&cbbListSyst);

    cbbListSyst.SetParent(this);
    cbbListSyst.SetDesignBounds(17, 160, 503, 21);
    cbbListSyst.ItemHeight = ListRowHeight;
    cbbListSyst.SetItems({""}); // one empty row until its catalogue is loaded
    cbbListSyst.SetHint("Liste des commandes générales et commandes système");
    cbbListSyst.SetTabOrder(1);

    lblExecuter.SetParent(this);
    lblExecuter.Font = TFont("Verdana", 11, clNavy);
    lblExecuter.SetCaption(
        "Ligne de commande à taper directement, ou bien choisir dans les listes");
    lblExecuter.SetDesignBounds(27, 201, 0, 0);
    lblExecuter.AdjustBounds();
    lblExecuter.SetFocusControl(&edtCmdLine);

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

    lblListCustom.SetParent(this);
    lblListCustom.Font = TFont("Verdana", 11, clNavy);
    lblListCustom.SetCaption("Commandes personnelles");
    lblListCustom.SetDesignBounds(27, 296, 0, 0);
    lblListCustom.AdjustBounds();
    lblListCustom.SetFocusControl(&cbbListCustom);
    lblListCustom.SetVisible(false);

    cbbListCustom.SetParent(this);
    cbbListCustom.SetDesignBounds(17, 311, 503, 21);
    cbbListCustom.ItemHeight = ListRowHeight;
    cbbListCustom.SetItems({""}); // one empty row until its catalogue is loaded
    cbbListCustom.SetHint("Liste de vos commandes personnelles");
    cbbListCustom.SetTabOrder(3);
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
    cbbListCPL.OnChange = [this](TObject* s) { cbbListCPLChange(s); };
    cbbListSyst.OnChange = [this](TObject* s) { cbbListSystChange(s); };
    cbbListCustom.OnChange = [this](TObject* s) { cbbListCustomChange(s); };
    cbbListCPL.OnDrawItem = [this](TObject* s, int i, const RECT& r, TOwnerDrawState st) {
        cbbListCPLDrawItem(s, i, r, st);
    };
    cbbListSyst.OnDrawItem = [this](TObject* s, int i, const RECT& r, TOwnerDrawState st) {
        cbbListSystDrawItem(s, i, r, st);
    };
    cbbListCustom.OnDrawItem = [this](TObject* s, int i, const RECT& r, TOwnerDrawState st) {
        cbbListCustomDrawItem(s, i, r, st);
    };
    edtCmdLine.OnChange = [this](TObject* s) { edtCmdLineChange(s); };
    edtCmdLine.OnAfterChange = [this](TObject* s, bool u) { edtCmdLineAfterChange(s, u); };
    edtCmdLine.OnExit = [this](TObject* s) { edtCmdLineExit(s); };
    edtCmdLine.OnPaste = [this](TObject* s, std::string& t) { edtCmdLinePaste(s, t); };
    Suggestions.RowText = [this](TListKind kind, int row) {
        return Catalogues.List(kind).Item(row);
    };
    // The lines that ran come first, and alone under the empty box.
    Suggestions.LeadingRows = [this](std::string_view typed) {
        return launchMemory_ ? launchMemory_->HistoryFor(typed) : std::vector<std::string>{};
    };
    Suggestions.OnPick = [this](TObject* s, const std::string& t) { SuggestionsPick(s, t); };
    Suggestions.OnCopy = [this](TObject*, const std::string& t) {
        if (launcher_)
            launcher_->Copy(t);
    };
    btnExecuter.OnClick = [this](TObject* s) { btnExecuterClick(s); };
    btnNewVersionDispo.OnClick = [this](TObject* s) { btnNewVersionDispoClick(s); };
    btnInfos.OnClick = [this](TObject* s) { btnInfosClick(s); };
    lblPublisher.OnClick = [this](TObject* s) { lblPublisherClick(s); };
    itemAPropos.OnClick = [this](TObject* s) { itemAProposClick(s); };
    itemLicence.OnClick = [this](TObject* s) { itemLicenceClick(s); };
    itemPrincipe.OnClick = [this](TObject* s) { itemPrincipeClick(s); };
    itemWebSite.OnClick = [this](TObject* s) { itemWebSiteClick(s); };
    ppmInfos.OnPopup = [this](TObject* s) { ppmInfosPopup(s); };
    itemZoneNotification.OnClick = [this](TObject* s) { itemZoneNotificationClick(s); };
    ppmExecuter.OnPopup = [this](TObject* s) { ppmExecuterPopup(s); };
    itemExecuter.OnClick = [this](TObject* s) { itemExecuterClick(s); };
    itemExecuterAdmin.OnClick = [this](TObject* s) { itemExecuterAdminClick(s); };
    itemCopierLigne.OnClick = [this](TObject* s) { itemCopierLigneClick(s); };
    itemAjouterCommande.OnClick = [this](TObject* s) { itemAjouterCommandeClick(s); };
    itemEffacerHistorique.OnClick = [this](TObject* s) { itemEffacerHistoriqueClick(s); };
    tmrCatalogues.OnTimer = [this](TObject* s) { tmrCataloguesTimer(s); };
    Catalogues.OnRowsLoaded = [this](TObject* s, TListKind k,
                                     const std::vector<std::string_view>& r) {
        CataloguesRowsLoaded(s, k, r);
    };
}

void TForm1::FormCreate(TObject*) {
    Application->Title = "Orbitashell";
    btnExecuter.SetEnabled(false);
    BaseCaption = BaseCaptionOf(Caption());
    SetCaption(ComposeCaption(BaseCaption,
                              " - Recherche mise à jour d'Orbitashell, veuillez patienter...", 88));

    // Before the loads: a catalogue that cannot be read now fills its list once it can.
    tmrCatalogues.SetEnabled(true);

    std::string exe = Sys().ExecutablePath();
    std::string folder = exe.substr(0, exe.find_last_of("\\/") + 1);
    // Already running kept at hand: that window comes forward, and this copy ends unseen.
    if (!Resident.Start(folder)) {
        Application->ShowMainForm = false;
        Application->Terminate();
        return;
    }
    // Started from elsewhere (a shortcut without a working folder, a full path
    // typed in a console): the batch file, the capture and the viewer all go
    // by the current folder, so the program's own becomes the current one.
    if (!DirectoryExists("Syst") && DirectoryExists(folder + "Syst"))
        SetCurrentDirectoryA(folder.c_str());

    launchMemory_ = std::make_unique<TLaunchMemory>(this, folder);
    launcher_ = std::make_unique<TLauncher>(*this, *launchMemory_);
    // Every list knows its file before the first load: a file held by a
    // writer ends this handler, and the lists after it fill at a later check.
    Catalogues.SetPath(lkCustom, folder + UpperName("Commandes.txt"));
    Catalogues.SetPath(lkCPL, folder + UpperName("CommandesCPL.TXT"));
    Catalogues.SetPath(lkSyst, folder + UpperName("CommandesSyst.TXT"));

    if (FileExists(Catalogues.Path(lkCustom))) {
        ShowCustomList();
        Catalogues.Load(lkCustom);
    } else {
        SetHeight(Scale(314));
    }

    if (FileExists(Catalogues.Path(lkCPL))) {
        Catalogues.Load(lkCPL);
    } else {
        ShowErrorMessage("Le fichier \"CommandesCPL.TXT\" d'Orbitashell est introuvable !");
        Application->Terminate();
    }

    if (FileExists(Catalogues.Path(lkSyst))) {
        Catalogues.Load(lkSyst);
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
    edtCmdLine.SetText(cbbListCPL.Item(cbbListCPL.ItemIndex()));
}

void TForm1::cbbListSystChange(TObject*) {
    edtCmdLine.SetText(cbbListSyst.Item(cbbListSyst.ItemIndex()));
}

void TForm1::cbbListCustomChange(TObject*) {
    edtCmdLine.SetText(cbbListCustom.Item(cbbListCustom.ItemIndex()));
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

void TForm1::SuggestionsPick(TObject*, const std::string& Text) {
    // As a pick in the row's own list: the box's change handler does the rest.
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
