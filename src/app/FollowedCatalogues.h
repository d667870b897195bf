// The three command lists and the catalogue files they show: each list is
// loaded from its file, then follows it, so that a file changed by its owner
// shows within a check, the chosen row kept.
#pragma once
#include "core/ListRowStyle.h"
#include "ui/Files.h"
#include "ui/StdCtrls.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TFollowedCatalogues : public TComponent {
public:
    using TRowsLoadedEvent = std::function<void(TObject* Sender, TListKind Kind,
                                                const std::vector<std::string_view>& Rows)>;
    using TComponent::TComponent;

    // Which list shows which kind: the one place that pairs them.
    void SetList(TListKind kind, TComboBox& list);
    TComboBox& List(TListKind kind) const;
    void SetPath(TListKind kind, std::string path);
    const std::string& Path(TListKind kind) const;

    // Fills the list from its file and notes the file's stamp; EFOpenError
    // when the file cannot be read (held by a writer).
    void Load(TListKind kind);
    // Loads the list again when its file has changed since, keeping the
    // chosen row. A file gone, held by a writer, or a list open under the
    // pointer keeps the rows shown: a later check tries again.
    void Follow(TListKind kind);
    // Every list at once: one check of the timer.
    void FollowAll();
    // True when the row shows a '?' for a character of a UTF-8 or UTF-16
    // file that Windows-1252 lacks: taken as it shows, it is not the file's line.
    bool IsLossyRow(TListKind kind, int row) const;

    // Each load's rows, before the list's selection is put back.
    TRowsLoadedEvent OnRowsLoaded;

private:
    struct TFollowed {
        TComboBox* list = nullptr;
        std::string path;
        TFileStamp loaded;
        std::vector<std::size_t> lossyRows; // in order
    };
    std::array<TFollowed, 3> followed_;
    TFollowed& Of(TListKind kind) { return followed_[static_cast<size_t>(kind)]; }
    const TFollowed& Of(TListKind kind) const { return followed_[static_cast<size_t>(kind)]; }
};
