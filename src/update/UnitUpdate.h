// The update dialog: what the newer release brings, and its download.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TUpdateVersion : public TForm {
public:
    explicit TUpdateVersion(TComponent* owner);

    TLabel Label1{this};
    TLabel lblVersion{this};
    TLabel Label3{this};
    TMemo memoUpdate{this};
    TButton btnDownload{this};
    TButton btnCancelDownload{this};

    void FormCreate(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void btnDownloadClick(TObject* Sender);
    void btnCancelDownloadClick(TObject* Sender);
    // Fills lblVersion and memoUpdate from the version file that the check downloaded.
    void GetUpdate();
};

// The dialog while it is open; null otherwise.
extern TUpdateVersion* UpdateVersion;
