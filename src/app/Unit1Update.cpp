// The update check of the main window, run once at its first activation.
#include "app/Unit1.h"

#include "app/DialogOpener.h"
#include "core/Captions.h"
#include "core/UpdateRules.h"
#include "core/VersionFile.h"
#include "ui/Application.h"
#include "ui/System.h"
#include "update/UnitUpdate.h"

#include <algorithm>

#if !defined(OSH_PROBE_HOST) || !defined(OSH_PUBLISHER_HOST)
#error "OSH_PROBE_HOST and OSH_PUBLISHER_HOST come from the build settings"
#endif

namespace {

constexpr const char kProbePath[] = "/index.html";

struct TFileHandle {
    HANDLE h;
    ~TFileHandle() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
    char buf[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

} // namespace

std::string ProbeAddress() {
    return UpdateAddress(OSH_PROBE_HOST, kProbePath);
}

std::string VersionFileAddress() {
    return UpdateAddress(OSH_PUBLISHER_HOST, kVersionFilePath);
}

std::string DownloadAddress() {
    return UpdateAddress(OSH_PUBLISHER_HOST, kDownloadPath);
}

bool TestInternet() {
    return Sys().InternetProbe(ProbeAddress());
}

std::string GetTempDir() {
    return Sys().TempPath();
}

TVersionFile ReadVersionFile(const std::string& path) {
    TFileHandle f{CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    auto fail = [&path](DWORD err) {
        throw EFOpenError("Impossible d'ouvrir le fichier \"" + FullPath(path) + "\". " +
                          SysErrorMessage(err));
    };
    if (f.h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
            return TVersionFile::Parse("");
        fail(err);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.h, &size))
        fail(GetLastError());
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24)), got = 0;
        if (!ReadFile(f.h, bytes.data() + done, chunk, &got, nullptr))
            fail(GetLastError());
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return TVersionFile::Parse(bytes);
}

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
        // URLDownloadToFileA succeeds on a server's error page too: its status decides.
        downloaded = r.Result == S_OK && r.HttpStatus < 400;
        if (!downloaded) {
            DeleteFileA(path.c_str());
            throw Exception("Erreur de téléchargement de l'URL : " + address);
        }
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }

    if (downloaded && FileExists(path)) {
        try {
            const TVersionFile file = ReadVersionFile(path);
            if (IsNewerRelease(PublishedVersionCode(file)))
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
    OpenDialog(this, UpdateVersion);
}
