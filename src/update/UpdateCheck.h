// The update check of the main window's first activation, as a service: the
// probe, the download of the version file into the temporary folder (where it
// stays after the check) and its reading, through the network in force.
#pragma once
#include "core/VersionFile.h"

#include <string>

enum class TUpdateStatus { Offline, UpToDate, Newer, Error };

struct TUpdateResult {
    TUpdateStatus Status = TUpdateStatus::Offline;
    // UpToDate and Newer: the version file as the check read it.
    TVersionFile File = TVersionFile::Parse("", {});
    // Error: the text of the application error box.
    std::string Message;
};

class TUpdateCheck {
public:
    // The network's and the version file's failures are its Error, never an
    // exception.
    TUpdateResult Run();

private:
    TUpdateResult Fetch();
};
