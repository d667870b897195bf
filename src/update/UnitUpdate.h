// The update dialog: what the newer release brings, and its download.
#pragma once
#include "core/VersionFile.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TUpdateVersion : public TForm {
public:
    // published: the version file as the update check read it.
    TUpdateVersion(TComponent* owner, TVersionFile published);

    TLabel Label1{this};
    TLabel lblVersion{this};
    TLabel Label3{this};
    TMemo memoUpdate{this};
    TButton btnDownload{this};
    TButton btnCancelDownload{this};

    void FormCreate(TObject* Sender);
    void btnDownloadClick(TObject* Sender);
    void btnCancelDownloadClick(TObject* Sender);
    // Fills lblVersion and memoUpdate from the version file that the check read.
    void GetUpdate();

private:
    TVersionFile published_;
};

// The dialog while it is open; null otherwise.
extern TUpdateVersion* UpdateVersion;
