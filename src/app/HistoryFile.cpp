#include "app/HistoryFile.h"

#include "core/History.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"

#include <optional>
#include <utility>

namespace {

// A copy of the file under a name of its own beside it ("Historique
// (sauvegarde 2).txt"); its full path.
std::string KeepAside(const std::string& path) {
    const std::string full = FullPath(path);
    std::size_t dot = full.find_last_of('.');
    if (dot == std::string::npos || full.find('\\', dot) != std::string::npos)
        dot = full.size();
    for (int n = 1;; ++n) {
        const std::string aside = full.substr(0, dot) + " (sauvegarde" +
                                  (n > 1 ? " " + std::to_string(n) : "") + ")" + full.substr(dot);
        if (CopyFileA(full.c_str(), aside.c_str(), TRUE))
            return aside;
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || n == 999)
            throw EFCreateError("Impossible de créer le fichier \"" + aside + "\". " +
                                SysErrorMessage(error));
    }
}

} // namespace

THistoryFile::THistoryFile(std::string path, std::function<void(const std::string&)> onError)
    : path_(std::move(path)), onError_(std::move(onError)) {}

void THistoryFile::Load() {
    lines_.clear();
    if (!FileExists(path_))
        return;
    try {
        lines_ = ReadHistory(ReadWholeFile(path_)).Lines;
    } catch (const EFOpenError& e) {
        Report(e.Message());
    }
}

void THistoryFile::Add(const std::string& line) {
    pending_.push_back(line);
    std::optional<std::string> failure, aside;
    {
        // Read, merged and written by one window at a time; the boxes come
        // once the others may go on.
        const TFileLock lock(path_);
        try {
            const THistoryRead read =
                FileExists(path_) ? ReadHistory(ReadWholeFile(path_)) : THistoryRead{};
            std::vector<std::string> merged = read.Lines;
            bool changed = false;
            for (const std::string& kept : pending_)
                changed |= AddToHistory(merged, kept);
            lines_ = merged;
            if (!read.Whole)
                aside = KeepAside(path_);
            try {
                if (changed || aside)
                    ReplaceWholeFile(path_, HistoryText(merged));
            } catch (const EFCreateError&) {
                if (aside)
                    DeleteFileA(aside->c_str());
                aside.reset();
                throw;
            }
            pending_.clear();
        } catch (const EFOpenError& e) {
            AddToHistory(lines_, line);
            failure = e.Message();
        } catch (const EFCreateError& e) {
            failure = e.Message();
        }
    }
    if (failure)
        Report(*failure);
    if (aside && onError_)
        onError_("Le fichier \"" + FullPath(path_) +
                 "\" n'a pas pu être lu en entier : il est gardé tel quel sous le nom \"" + *aside +
                 "\", et un nouveau fichier le remplace, avec les lignes qui ont pu être lues.");
}

void THistoryFile::Clear() {
    // Asked for by the user, so a file that cannot be emptied is said every
    // time, and its lines stay offered as they stay on disk.
    std::optional<std::string> failure;
    {
        const TFileLock lock(path_);
        try {
            ReplaceWholeFile(path_, HistoryText({}));
            lines_.clear();
            pending_.clear();
        } catch (const EFCreateError& e) {
            failure = e.Message();
        }
    }
    if (failure && onError_)
        onError_(*failure);
}

void THistoryFile::Report(const std::string& message) {
    if (reported_)
        return;
    reported_ = true;
    if (onError_)
        onError_(message);
}
