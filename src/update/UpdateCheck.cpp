#include "update/UpdateCheck.h"

#include "core/UpdateRules.h"
#include "ui/Application.h"
#include "ui/Files.h"
#include "update/Network.h"
#include "update/UpdateService.h"

TUpdateResult TUpdateCheck::Run() {
    if (!TestInternet())
        return {};
    if (!VersionCodeIsValid(kOwnVersionCode))
        Application->MessageBox("Bad code version : " +
                                std::to_string(VersionCodeDigitCount(kOwnVersionCode)));
    try {
        return Fetch();
    } catch (const std::exception& e) {
        return {TUpdateStatus::Error, TVersionFile::Parse("", {}), e.what()};
    }
}

TUpdateResult TUpdateCheck::Fetch() {
    const std::string path = GetTempDir() + std::string(kVersionFileName);
    // A copy left by an earlier run must never pass for a fresh download.
    if (FileExists(path))
        DeleteFileA(path.c_str());

    const std::string address = VersionFileAddress();
    const TDownloadResult r = Network().Download(address, path, kVersionFileMaxBytes);
    // The download succeeds on a server's error page too: its status
    // decides. A file beyond the reader's bound is no version file.
    if (r.Result != S_OK || r.HttpStatus >= 400 || !VersionFileSizeAccepted(path)) {
        DeleteFileA(path.c_str());
        return {TUpdateStatus::Error, TVersionFile::Parse("", {}),
                "Erreur de téléchargement de l'URL : " + address};
    }
    TUpdateResult result{TUpdateStatus::UpToDate, ReadVersionFile(path), {}};
    if (IsNewerRelease(PublishedVersionCode(result.File)))
        result.Status = TUpdateStatus::Newer;
    return result;
}
