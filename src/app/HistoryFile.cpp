#include "app/HistoryFile.h"

#include "core/History.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"

#include <utility>

THistoryFile::THistoryFile(std::string path, std::function<void(const std::string&)> onError)
    : path_(std::move(path)), onError_(std::move(onError)) {}

void THistoryFile::Load() {
    lines_.clear();
    unread_ = false;
    if (!FileExists(path_))
        return;
    try {
        lines_ = ParseHistory(ReadWholeFile(path_));
    } catch (const EFOpenError& e) {
        unread_ = true;
        Report(e.Message());
    }
}

void THistoryFile::Add(const std::string& line) {
    if (unread_) {
        // A file that could not be read is not replaced by the lines of this
        // session alone: it is read again first, and those follow its own.
        std::vector<std::string> session = std::move(lines_);
        Load();
        for (const std::string& kept : session)
            AddToHistory(lines_, kept);
        if (unread_) {
            AddToHistory(lines_, line);
            return;
        }
    }
    if (AddToHistory(lines_, line))
        Save();
}

void THistoryFile::Clear() {
    // Asked for by the user, so a file that cannot be emptied is said every
    // time, and its lines stay offered as they stay on disk.
    try {
        ReplaceWholeFile(path_, HistoryText({}));
        lines_.clear();
        unread_ = false;
    } catch (const EFCreateError& e) {
        if (onError_)
            onError_(e.Message());
    }
}

void THistoryFile::Save() {
    try {
        ReplaceWholeFile(path_, HistoryText(lines_));
    } catch (const EFCreateError& e) {
        Report(e.Message());
    }
}

void THistoryFile::Report(const std::string& message) {
    if (reported_)
        return;
    reported_ = true;
    if (onError_)
        onError_(message);
}
