#include "app/ProgramFolder.h"

#include "ui/AnsiPaths.h"
#include "ui/Files.h"
#include "ui/MessageDialog.h"
#include "ui/System.h"

#include <windows.h>

namespace {

void SayFolderUnreachable(const std::wstring& folder) {
    ShowErrorMessage("Le nom du dossier \"" + ShownPath(folder) +
                     "\" contient des caractères que Windows-1252 n'a pas, et Windows ne donne "
                     "pas de nom court (8.3) à ce dossier : Orbitashell ne peut pas y lire ni y "
                     "écrire ses fichiers. Placez Orbitashell dans un dossier dont le nom n'a "
                     "que des lettres latines, par exemple C:\\Orbitashell.");
}

} // namespace

std::optional<std::string> SettleInProgramFolder() {
    const std::wstring exe = Sys().ExecutablePath();
    const std::wstring wide = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::optional<std::string> folder = AnsiFullPath(wide);
    if (!folder) {
        SayFolderUnreachable(wide);
        return std::nullopt;
    }
    if (!folder->ends_with('\\'))
        *folder += '\\';
    // Started from elsewhere (a shortcut without a working folder, a full path
    // typed in a console): the batch file, the capture and the viewer all go
    // by the current folder, so the program's own becomes the current one, by
    // its true name, which the consoles it starts inherit.
    if (!DirectoryExists("Syst") && DirectoryExists(*folder + "Syst"))
        SetCurrentDirectoryW(wide.c_str());
    // An elevated console is sent to the current folder by its name. Without
    // "Syst" there, the start ends anyway, and says so.
    if (DirectoryExists("Syst") && !AnsiFullPath(L".")) {
        SayFolderUnreachable(L".");
        return std::nullopt;
    }
    return folder;
}
