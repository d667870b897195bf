// The main window: the three command lists, the command-line box and "Lancer".
#pragma once
#include "app/LaunchMemory.h"
#include "core/CommandSearch.h"
#include "core/ListRowStyle.h"
#include "core/VersionFile.h"
#include "ui/Files.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/Timer.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <memory>

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner = nullptr);

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
    TMemo Memo1{this};
    TImageList ImageList1{this};
    TImageList ImageList2{this};
    TPopupMenu ppmInfos{this};
    TMenuItem itemAPropos{this};
    TMenuItem itemLicence{this};
    TMenuItem itemPrincipe{this};
    TMenuItem itemWebSite{this};
    // Rows of every list found by the words typed in the box.
    TListBox lstSuggestions{this};
    TPopupMenu ppmExecuter{this};
    TMenuItem itemExecuter{this};
    TMenuItem itemExecuterAdmin{this};
    TMenuItem itemAjouterCommande{this};
    TTimer tmrCatalogues{this};

    // The caption as designed, without status suffix (at most 27 characters).
    std::string BaseCaption;
    // The value of Temp when the capture batch file was last written.
    std::string TempDir;
    // The publisher's version file as the update check read it: the update
    // dialog shows it without reading the file again.
    TVersionFile PublishedFile = TVersionFile::Parse("", {});

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    // The windowless speed buttons from the keyboard: F1 opens the information
    // menu at its button, Alt+N presses "Nouvelle version disponible".
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void cbbListCPLChange(TObject* Sender);
    void cbbListSystChange(TObject* Sender);
    void cbbListCustomChange(TObject* Sender);
    void edtCmdLineChange(TObject* Sender);
    // With Ctrl and Shift held, the line runs as administrator.
    void btnExecuterClick(TObject* Sender);
    // Runs the line, in an administrator's console when it holds "Admin+" or
    // elevate asks for one. A refused elevation leaves everything as it was.
    void LaunchLine(bool elevate);
    // The menu of "Lancer": its entries' states follow the box.
    void ppmExecuterPopup(TObject* Sender);
    void itemExecuterClick(TObject* Sender);
    void itemExecuterAdminClick(TObject* Sender);
    void cbbListCPLDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    void cbbListSystDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    void cbbListCustomDrawItem(TObject* Sender, int Index, const RECT& Rect, TOwnerDrawState State);
    // Writes the capture batch file into the folder named by Temp.
    void GetBatTemp();
    // Every launch of the interpreter, as administrator when runAs: a line
    // longer than it accepts is refused with a message, and a refused
    // elevation says nothing; in both cases nothing runs (false).
    bool RunInterpreter(HWND owner, bool runAs, const std::string& parameters);
    // Before a capture: the viewer is there and the capture file can be
    // appended to, both where the batch file looks; a file error otherwise.
    void CheckCapture();

    // The update check of the first activation: the probe, then GetUpdate or
    // the offline captions; it always ends with the base caption.
    void TestUpdate();
    // Downloads the version file, compares its code with this release's and
    // shows btnNewVersionDispo for a newer one.
    void GetUpdate();
    void btnNewVersionDispoClick(TObject* Sender);

    // The information menu and the publisher's site.
    void btnInfosClick(TObject* Sender);
    void lblPublisherClick(TObject* Sender);
    void itemAProposClick(TObject* Sender);
    void itemLicenceClick(TObject* Sender);
    void itemPrincipeClick(TObject* Sender);
    void itemWebSiteClick(TObject* Sender);

    // The suggestions under the box (Unit1Suggest.cpp).
    void edtCmdLineAfterChange(TObject* Sender, bool ByUser);
    void edtCmdLineEnter(TObject* Sender);
    void edtCmdLineExit(TObject* Sender);
    void SuggestionsKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void lstSuggestionsClick(TObject* Sender);
    void lstSuggestionsDrawItem(TObject* Sender, int Index, const RECT& Rect,
                                TOwnerDrawState State);
    void lstSuggestionsScroll(TObject* Sender);
    void FormDeactivate(TObject* Sender);
    void FormMove(TObject* Sender);

    // The personal list as its owner keeps it: "Ajouter à mes commandes…"
    // appends the box's line, and every list follows its file on disk.
    void itemAjouterCommandeClick(TObject* Sender);
    void tmrCataloguesTimer(TObject* Sender);

private:
    // Every list's rows pass here when they are loaded, for the search.
    void ListRowsLoaded(TComboBox& list, const std::vector<std::string_view>& rows);
    TComboBox& ListOf(TListKind kind);
    void CloseSuggestions();
    void PlaceSuggestions();
    std::vector<std::string> SuggestionRows(size_t from, size_t count);
    // Puts more rows in the list when row comes near its last.
    void MoreSuggestionsFor(int row);
    void DrawRow(TCanvas& canvas, TListKind kind, int index, const std::string& text, const RECT& r,
                 TOwnerDrawState state);
    GCommandIndex commands_;
    std::vector<GSearchHit> suggested_; // what lstSuggestions shows, row for row
    int suggestionsWidth_ = 0;          // while they show

    // A list and the file it shows, with that file's stamp when last loaded.
    struct TFollowedList {
        TComboBox* list;
        std::string path;
        TFileStamp loaded;
    };
    TFollowedList followCPL_{&cbbListCPL, {}, {}};
    TFollowedList followSyst_{&cbbListSyst, {}, {}};
    TFollowedList followCustom_{&cbbListCustom, {}, {}};
    // Loads the list from its file and notes the file's stamp.
    void LoadFollowed(TFollowedList& followed);
    // Reloads the list when its file has changed, keeping its selection.
    void FollowList(TFollowedList& followed);
    // The tall layout, with the personal list above the command-line box.
    void ShowCustomList();
    void AddCustomRow(const std::string& line, const std::string& comment);
    void LoadList(TComboBox& list, const std::string& path);
    void DrawListRow(TComboBox& list, TListKind kind, int index, const RECT& r,
                     TOwnerDrawState state);

    // The blanks to fill and the lines that ran, once the form is created.
    std::unique_ptr<TLaunchMemory> launchMemory_;
};
