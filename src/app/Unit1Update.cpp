// The update check of the main window, run once at its first activation.
#include "app/Unit1.h"

#include "app/DialogOpener.h"
#include "core/Captions.h"
#include "core/UpdateRules.h"
#include "core/VersionFile.h"
#include "ui/Application.h"
#include "ui/Files.h"
#include "ui/System.h"
#include "update/UnitUpdate.h"
#include "update/UpdateService.h"

void TForm1::TestUpdate() {
    if (TestInternet()) {
        GetUpdate();
        return;
    }
    SetCaption(ComposeCaption(BaseCaption, " - Mode non connecté...", 50));
    SetCaption(BaseCaption);
}

void TForm1::GetUpdate() {
    if (!VersionCodeIsValid(kOwnVersionCode))
        Application->MessageBox("Bad code version : " +
                                std::to_string(VersionCodeDigitCount(kOwnVersionCode)));

    const std::string path = GetTempDir() + std::string(kVersionFileName);
    // A copy left by an earlier run must never pass for a fresh download.
    if (FileExists(path))
        DeleteFileA(path.c_str());

    const std::string address = VersionFileAddress();
    bool downloaded = false;
    try {
        TDownloadResult r = Sys().DownloadToFile(address, path);
        // URLDownloadToFileA succeeds on a server's error page too: its status
        // decides. A file beyond the reader's bound is no version file.
        downloaded = r.Result == S_OK && r.HttpStatus < 400 && VersionFileSizeAccepted(path);
        if (!downloaded) {
            DeleteFileA(path.c_str());
            throw Exception("Erreur de téléchargement de l'URL : " + address);
        }
    } catch (...) {
        // Shown once the first activation has returned, as a window
        // procedure's failure is; the check ends with its captions meanwhile.
        Application->QueueException(std::current_exception());
    }

    if (downloaded && FileExists(path)) {
        try {
            PublishedFile = ReadVersionFile(path);
            if (IsNewerRelease(PublishedVersionCode(PublishedFile)))
                btnNewVersionDispo.Show();
            else
                SetCaption(ComposeCaption(BaseCaption, " - Votre version est à jour", 54));
        } catch (...) {
            SetCaption(BaseCaption);
            throw;
        }
    }
    SetCaption(BaseCaption);
}

void TForm1::btnNewVersionDispoClick(TObject*) {
    OpenDialog(this, UpdateVersion, PublishedFile);
}
