#include "update/UnitUpdate.h"

#include "core/UpdateRules.h"
#include "core/VersionFile.h"
#include "ui/System.h"
#include "update/UpdateService.h"

TUpdateVersion* UpdateVersion = nullptr;

TUpdateVersion::TUpdateVersion(TComponent* owner, TVersionFile published)
    : TForm(owner), published_(std::move(published)) {
    // Window
    SetUpDialog("UpdateVersion", "Service de mises à jour",
                TFont("MS Sans Serif", 11, clWindowText));
    SetClientSize(Scale(425), Scale(317));
    OnCreate = [this](TObject* s) { FormCreate(s); };

    //                          left  top  width height
    Label1.SetParent(this);
    Label1.Font = TFont("MS Sans Serif", 13, clWindowText);
    Label1.SetCaption("Une nouvelle version d'Orbitashell est disponible");
    Label1.SetDesignBounds(49, 13, 0, 0);
    Label1.AdjustBounds();

    lblVersion.SetParent(this);
    lblVersion.Font = TFont("MS Sans Serif", 13, clWindowText);
    lblVersion.SetDesignBounds(49, 32, 0, 0);
    lblVersion.AdjustBounds();
    lblVersion.SetHint("Numéro de cette nouvelle version");

    Label3.SetParent(this);
    Label3.SetCaption("Quoi de neuf :");
    Label3.SetDesignBounds(20, 59, 0, 0);
    Label3.AdjustBounds();

    memoUpdate.SetParent(this);
    memoUpdate.Font = TFont("MS Sans Serif", 11, clNavy);
    memoUpdate.ReadOnly = true;
    memoUpdate.ScrollBars = true;
    memoUpdate.SetDesignBounds(16, 76, 393, 206);
    memoUpdate.SetHint("Les nouveautés apportées à cette nouvelle version, et de sa méthode "
                       "d'installation ");
    memoUpdate.SetTabOrder(0);

    btnDownload.SetParent(this);
    btnDownload.Font = TFont("MS Sans Serif", 12, clWindowText);
    btnDownload.SetCaption("Je télécharge");
    btnDownload.SetDesignBounds(182, 288, 97, 21);
    btnDownload.SetHint("Je télécharge directement cette nouvelle version");
    btnDownload.SetTabOrder(1);

    btnCancelDownload.SetParent(this);
    btnCancelDownload.Font = TFont("MS Sans Serif", 12, clWindowText);
    btnCancelDownload.SetCaption("Plus tard...");
    btnCancelDownload.SetDesignBounds(291, 288, 97, 21);
    btnCancelDownload.SetHint("Je téléchargerais peut-être plus tard...");
    btnCancelDownload.SetTabOrder(2);

    // Events
    btnDownload.OnClick = [this](TObject* s) { btnDownloadClick(s); };
    btnCancelDownload.OnClick = [this](TObject* s) { btnCancelDownloadClick(s); };
}

void TUpdateVersion::FormCreate(TObject*) {
    memoUpdate.SetColor(RGBColor(225, 234, 205));
    GetUpdate();
}

void TUpdateVersion::GetUpdate() {
    lblVersion.SetCaption(NewVersionLabel(published_));
    memoUpdate.SetLines(ReleaseNotesLines(published_, kAuthorName, PublisherHostName()));
}

void TUpdateVersion::btnDownloadClick(TObject*) {
    Sys().ShellOpen(Handle(), "open", DownloadAddress(), nullptr, nullptr, SW_SHOW);
}

void TUpdateVersion::btnCancelDownloadClick(TObject*) {
    Close();
}
