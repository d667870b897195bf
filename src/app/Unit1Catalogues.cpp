// The lists following their files, and "Ajouter à mes commandes…".
#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "core/Catalogue.h"
#include "dialogs/UnitAjoutCommande.h"
#include "ui/Exceptions.h"

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

// Where the row that was selected is now: the same place when it still holds
// that row, else its first copy, else none.
int RowIndex(const TComboBox& list, const std::string& row, int oldIndex) {
    if (list.Item(oldIndex) == row)
        return oldIndex;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i) == row)
            return i;
    return -1;
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

void TForm1::LoadFollowed(TFollowedList& followed) {
    // The stamp first: a change made during the load shows at the next check.
    const TFileStamp stamp = FileStampOf(followed.path);
    LoadList(*followed.list, followed.path);
    followed.loaded = stamp;
}

void TForm1::FollowList(TFollowedList& followed) {
    TComboBox& list = *followed.list;
    const TFileStamp now = FileStampOf(followed.path);
    // A file gone keeps the rows shown; an open list is not changed under the pointer.
    if (!now.Exists || now == followed.loaded || list.DroppedDown())
        return;
    const int index = list.ItemIndex();
    const std::string selected = list.Item(index);
    try {
        LoadFollowed(followed);
    } catch (const EFOpenError&) {
        // Locked or being written: the rows stay, and the next check tries again.
        return;
    }
    if (&list == &cbbListCustom && !cbbListCustom.Visible())
        ShowCustomList();
    if (index >= 0)
        list.SetItemIndex(RowIndex(list, selected, index));
}

void TForm1::tmrCataloguesTimer(TObject*) {
    FollowList(followCPL_);
    FollowList(followSyst_);
    FollowList(followCustom_);
}

void TForm1::itemAjouterCommandeClick(TObject*) {
    const std::string line = edtCmdLine.Text();
    if (line.empty())
        return;
    bool confirmed = false;
    std::string comment;
    OpenDialog(this, AjoutCommande, [&](TAjoutCommande& dialog) {
        dialog.edtLigne.SetText(line);
        confirmed = dialog.ShowModal() == mrOk;
        comment = dialog.edtCommentaire.Text();
    });
    if (confirmed)
        AddCustomRow(line, comment);
}

void TForm1::AddCustomRow(const std::string& line, const std::string& comment) {
    std::optional<std::string> old;
    if (FileExists(followCustom_.path))
        old = ReadWholeFile(followCustom_.path);
    const std::optional<std::string_view> file =
        old ? std::optional<std::string_view>(*old) : std::nullopt;
    ReplaceWholeFile(PathOnDisk(followCustom_.path, "Commandes.txt"),
                     CatalogueWithRow(file, ComposeAddedRow(line, comment)));
    // Shown at once rather than at the next check.
    FollowList(followCustom_);
}
