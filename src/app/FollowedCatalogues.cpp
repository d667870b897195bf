#include "app/FollowedCatalogues.h"

#include "core/Catalogue.h"
#include "ui/Exceptions.h"

#include <algorithm>

namespace {

// Where the row that was chosen is now: the same place when it still holds
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

void TFollowedCatalogues::SetList(TListKind kind, TComboBox& list) {
    Of(kind).list = &list;
}

TComboBox& TFollowedCatalogues::List(TListKind kind) const {
    return *Of(kind).list;
}

void TFollowedCatalogues::SetPath(TListKind kind, std::string path) {
    Of(kind).path = std::move(path);
}

const std::string& TFollowedCatalogues::Path(TListKind kind) const {
    return Of(kind).path;
}

void TFollowedCatalogues::Load(TListKind kind) {
    TFollowed& followed = Of(kind);
    // The stamp first: a change made during the load shows at the next check.
    const TFileStamp stamp = FileStampOf(followed.path);
    const std::string bytes = ReadWholeFile(followed.path);
    std::string converted;
    std::vector<std::size_t> lost;
    const std::string_view text = CatalogueAnsiText(bytes, converted, &lost);
    const std::vector<std::string_view> rows = CatalogueLineViews(text);
    followed.list->SetItemViews(rows);
    followed.lossyRows = RowsHoldingLost(rows, text, lost);
    followed.loaded = stamp;
    if (OnRowsLoaded)
        OnRowsLoaded(this, kind, rows);
}

void TFollowedCatalogues::Follow(TListKind kind) {
    TFollowed& followed = Of(kind);
    TComboBox& list = *followed.list;
    const TFileStamp now = FileStampOf(followed.path);
    if (!now.Exists || now == followed.loaded || list.DroppedDown())
        return;
    const int index = list.ItemIndex();
    const std::string chosen = list.Item(index);
    try {
        Load(kind);
    } catch (const EFOpenError&) {
        return;
    }
    if (index >= 0)
        list.SetItemIndex(RowIndex(list, chosen, index));
}

bool TFollowedCatalogues::IsLossyRow(TListKind kind, int row) const {
    const std::vector<std::size_t>& lossy = Of(kind).lossyRows;
    return row >= 0 &&
           std::binary_search(lossy.begin(), lossy.end(), static_cast<std::size_t>(row));
}

void TFollowedCatalogues::FollowAll() {
    for (TListKind kind : {lkCPL, lkSyst, lkCustom})
        Follow(kind);
}
