// The main window: the three command lists, the command-line box and "Lancer".
#pragma once
#include "app/FollowedCatalogues.h"
#include "app/LaunchMemory.h"
#include "app/Launcher.h"
#include "app/Resident.h"
#include "app/Suggestions.h"
#include "core/ListRowStyle.h"
#include "core/VersionFile.h"
#include "ui/Files.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <memory>

struct TUpdateResult;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner = nullptr);
    // The launch of the box's line: its batch file and Temp (GetBatTemp, TempDir).
    TLauncher* Launcher() { return launcher_.get(); }

    TBevel Bevel1{this};
    TLabel lblLine1{this};
    TSpeedButton btnNewVersionDispo{this};
    TSpeedButton btnInfos{this};
    TLabel lblListCPL{this};
    TComboBox cbbListCPL{this};
    TLabel lblListSystem{this};
    TComboBox cbbListSyst{this};
    TLabel lblExecuter{this};
    TEdit edtCmdLine{this};
    TButton btnExecuter{this};
    TLabel lblPublisher{this};
    TLabel lblListCustom{this};
    TComboBox cbbListCustom{this};
    TImageList ImageList1{this};
    TImageList ImageList2{this};
    TPopupMenu ppmInfos{this};
    TMenuItem itemAPropos{this};
    TMenuItem itemLicence{this};
    TMenuItem itemPrincipe{this};
    TMenuItem itemWebSite{this};
    TMenuItem itemSeparatorInfos{this};
    TMenuItem itemZoneNotification{this};
    // Rows of every list found by the words typed in the box.
    TSuggestions Suggestions{this, edtCmdLine};
    TPopupMenu ppmExecuter{this};
    TMenuItem itemExecuter{this};
    TMenuItem itemExecuterAdmin{this};
    TMenuItem itemCopierLigne{this};
    TMenuItem itemSeparatorExecuter{this};
    TMenuItem itemAjouterCommande{this};
    TMenuItem itemEffacerHistorique{this};
    TTimer tmrCatalogues{this};
    // The three lists and the files they show.
    TFollowedCatalogues Catalogues{this};
    // Kept in the notification area, with a shortcut from any program.
    TResident Resident{*this, edtCmdLine};

    // The caption as designed, without status suffix (at most 27 characters).
    std::string BaseCaption;
    // The publisher's version file as the update check read it: the update
    // dialog shows it without reading the file again.
    TVersionFile PublishedFile = TVersionFile::Parse("", {});

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    // Kept at hand, the window hides rather than close.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The windowless speed buttons from the keyboard: F1 opens the information
    // menu at its button, Alt+N presses "Nouvelle version disponible"; and
    // Ctrl+Shift+C in the box, as "Copier la ligne".
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void cbbListCPLChange(TObject* Sender);
    void cbbListSystChange(TObject* Sender);
    void cbbListCustomChange(TObject* Sender);
    // A typed ")" that takes a comment out says why, once a session.
    void edtCmdLineChange(TObject* Sender);
    // A pasted line runs as it was copied: its parentheses go in doubled.
    void edtCmdLinePaste(TObject* Sender, std::string& Text);
    // With Ctrl and Shift held, the line runs as administrator.
    void btnExecuterClick(TObject* Sender);
    // Runs the line, in an administrator's console when it holds "Admin+" or
    // elevate asks for one; a capture shows its words first afterwards.
    void LaunchLine(bool elevate);
    // The menu of "Lancer": its entries' states follow the box, but that of
    // "Effacer l'historique" the lines that ran.
    void ppmExecuterPopup(TObject* Sender);
    void itemExecuterClick(TObject* Sender);
    void itemExecuterAdminClick(TObject* Sender);
    // The box's command as it would run, on the clipboard.
    void itemCopierLigneClick(TObject* Sender);
    void itemEffacerHistoriqueClick(TObject* Sender);
    void cbbListCPLDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    void cbbListSystDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    void cbbListCustomDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    // The update check of the first activation: the check, then GetUpdate or
    // the offline captions; it always ends with the base caption.
    void TestUpdate();
    // The outcome of a check that reached the network: the up-to-date
    // caption, btnNewVersionDispo for a newer release, or the error box.
    void GetUpdate(const TUpdateResult& result);
    void btnNewVersionDispoClick(TObject* Sender);

    // The information menu and the publisher's site.
    void btnInfosClick(TObject* Sender);
    void lblPublisherClick(TObject* Sender);
    void itemAProposClick(TObject* Sender);
    void itemLicenceClick(TObject* Sender);
    void itemPrincipeClick(TObject* Sender);
    void itemWebSiteClick(TObject* Sender);
    void ppmInfosPopup(TObject* Sender);
    void itemZoneNotificationClick(TObject* Sender);

    // The suggestions open as the user types in the box and close as the
    // box or the window loses the focus, or the window moves.
    void edtCmdLineAfterChange(TObject* Sender, bool ByUser);
    void edtCmdLineExit(TObject* Sender);
    void SuggestionsPick(TObject* Sender, const std::string& Text, const GSearchHit* Row);
    void SuggestionsCopy(TObject* Sender, const std::string& Text, const GSearchHit* Row);
    void FormDeactivate(TObject* Sender);
    void FormMove(TObject* Sender);

    // The personal list as its owner keeps it: "Ajouter à mes commandes…"
    // appends the box's line, and every list follows its file on disk.
    void itemAjouterCommandeClick(TObject* Sender);
    void tmrCataloguesTimer(TObject* Sender);
    // A list's rows as they are loaded: the search learns them, and a
    // personal list that appears brings the tall layout.
    void CataloguesRowsLoaded(TObject* Sender, TListKind Kind,
                              const std::vector<std::string_view>& Rows);

private:
    // The tall layout, with the personal list above the command-line box.
    void ShowCustomList();
    void AddCustomRow(const std::string& line, const std::string& comment);
    void DrawListRow(TListKind kind, int index, const RECT& r, TOwnerDrawState state);
    // True, and the user told why, for a row that shows '?' for a character
    // its file holds and Windows-1252 lacks: taken or copied, it would be
    // another command.
    bool RefusedAsLossy(TListKind kind, int index);
    // A list's row into the box, as its change handler takes it; a lossy row
    // is refused, the box left as it was.
    void TakeListRow(TListKind kind, int index);

    // The blanks to fill and the lines that ran, once the form is created.
    std::unique_ptr<TLaunchMemory> launchMemory_;
    // The box's line run, once the form is created.
    std::unique_ptr<TLauncher> launcher_;
    bool commentTipShown_ = false;
};
