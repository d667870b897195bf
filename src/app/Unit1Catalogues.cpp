// The lists following their files, and "Ajouter à mes commandes…".
#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "core/Catalogue.h"
#include "dialogs/UnitAjoutCommande.h"
#include "ui/Exceptions.h"
#include "ui/MessageDialog.h"

#include <optional>

namespace {

// The file's name as it stands on disk, so that replacing it keeps its
// spelling; a file still to be made takes the name the program ships.
std::string PathOnDisk(const std::string& path, const char* newName) {
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return folder + newName;
    FindClose(h);
    return folder + found.cFileName;
}

} // namespace

void TForm1::ShowCustomList() {
    SetHeight(Scale(374));
    lblPublisher.SetTop(Scale(323));
    lblListCustom.SetTop(Scale(201));
    cbbListCustom.SetTop(Scale(217));
    lblExecuter.SetTop(Scale(258));
    edtCmdLine.SetTop(Scale(274));
    btnExecuter.SetTop(Scale(274));
    lblListCustom.Show();
    cbbListCustom.Show();
}

void TForm1::tmrCataloguesTimer(TObject*) {
    Catalogues.FollowAll();
}

void TForm1::CataloguesRowsLoaded(TObject*, TListKind Kind,
                                  const std::vector<std::string_view>& Rows) {
    if (Kind == lkCustom && !cbbListCustom.Visible())
        ShowCustomList();
    Suggestions.SetRows(Kind, Rows);
}

void TForm1::itemAjouterCommandeClick(TObject*) {
    const std::string line = edtCmdLine.Text();
    if (line.empty())
        return;
    bool confirmed = false;
    std::string comment;
    OpenDialogWith(this, AjoutCommande, [&](TAjoutCommande& dialog) {
        dialog.edtLigne.SetText(line);
        confirmed = dialog.ShowModal() == mrOk;
        comment = dialog.edtCommentaire.Text();
    });
    if (confirmed)
        AddCustomRow(line, comment);
}

void TForm1::AddCustomRow(const std::string& line, const std::string& comment) {
    const std::optional<std::string> row = ComposeAddedRow(line, comment);
    if (!row) {
        ShowErrorMessage("Cette ligne ne peut pas être ajoutée à vos commandes : choisie dans la "
                         "liste, elle ne redonnerait pas \"" +
                         line +
                         "\", car ses parenthèses seraient lues comme un commentaire. "
                         "Rien n'a été écrit.");
        return;
    }
    const std::string& path = Catalogues.Path(lkCustom);
    std::optional<std::string> old;
    if (FileExists(path))
        old = ReadWholeFile(path);
    const std::optional<std::string_view> file =
        old ? std::optional<std::string_view>(*old) : std::nullopt;
    const std::optional<std::string> bytes = CatalogueWithRow(file, *row);
    const std::string target = PathOnDisk(path, "Commandes.txt");
    if (!bytes) {
        ShowErrorMessage("Le fichier \"" + FullPath(target) +
                         "\" contient un caractère nul : la liste s'arrête à ce caractère, "
                         "et la commande ajoutée n'y paraîtrait pas. Rien n'a été écrit.");
        return;
    }
    ReplaceWholeFile(target, *bytes);
    // Shown at once rather than at the next check.
    Catalogues.Follow(lkCustom);
}
