// The update check of the main window, run once at its first activation.
#include "app/Unit1.h"

#include "app/DialogOpener.h"
#include "core/Captions.h"
#include "ui/Application.h"
#include "update/UnitUpdate.h"
#include "update/UpdateCheck.h"

void TForm1::TestUpdate() {
    const TUpdateResult result = TUpdateCheck().Run();
    if (result.Status != TUpdateStatus::Offline) {
        GetUpdate(result);
        return;
    }
    SetCaption(ComposeCaption(BaseCaption, " - Mode non connecté...", 50));
    SetCaption(BaseCaption);
}

void TForm1::GetUpdate(const TUpdateResult& result) {
    PublishedFile = result.File;
    switch (result.Status) {
    case TUpdateStatus::Newer:
        btnNewVersionDispo.Show();
        break;
    case TUpdateStatus::UpToDate:
        SetCaption(ComposeCaption(BaseCaption, " - Votre version est à jour", 54));
        break;
    case TUpdateStatus::Error:
        // Shown once the first activation has returned, as a window
        // procedure's failure is; the check ends with its captions meanwhile.
        Application->QueueException(std::make_exception_ptr(Exception(result.Message)));
        break;
    case TUpdateStatus::Offline:
        break;
    }
    SetCaption(BaseCaption);
}

void TForm1::btnNewVersionDispoClick(TObject*) {
    OpenDialog(this, UpdateVersion, PublishedFile);
}
