#include "update/UpdateService.h"

#include "core/UpdateRules.h"
#include "core/VersionFile.h"
#include "ui/AnsiPaths.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"
#include "ui/System.h"
#include "update/Network.h"

#if !defined(OSH_PROBE_HOST) || !defined(OSH_PUBLISHER_HOST)
#error "OSH_PROBE_HOST and OSH_PUBLISHER_HOST come from the build settings"
#endif
static_assert(sizeof(OSH_PROBE_HOST) > 1 && sizeof(OSH_PUBLISHER_HOST) > 1,
              "a program without its hosts would ask https:///");

namespace {

constexpr const char kProbePath[] = "/index.html";
constexpr const char kProductPagePath[] = "/orbitashell.php";

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

std::string PublisherSiteAddress() {
    return std::string("https://") + OSH_PUBLISHER_HOST;
}

std::string PublisherPlainAddress() {
    return std::string("http://") + OSH_PUBLISHER_HOST;
}

std::string ProductPageAddress() {
    return UpdateAddress(OSH_PUBLISHER_HOST, kProductPagePath);
}

std::string PublisherSiteName() {
    return std::string(SiteName(OSH_PUBLISHER_HOST));
}

std::string PublisherHostName() {
    return std::string(HostName(OSH_PUBLISHER_HOST));
}

std::string AuthorMail() {
    return "julien.marchal@" + PublisherSiteName();
}

bool TestInternet() {
    return Network().Probe(ProbeAddress());
}

std::string GetTempDir() {
    const std::wstring temp = Sys().TempPath();
    if (temp.empty())
        return {};
    // Never another folder in its place: the current one, or a look-alike
    // name that the ANSI code page would make of it.
    std::optional<std::string> reached = AnsiFullPath(temp);
    if (!reached)
        throw Exception("Le nom du dossier temporaire \"" + ShownPath(temp) +
                        "\" contient des caractères que Windows-1252 n'a pas, et Windows ne "
                        "donne pas de nom court (8.3) à ce dossier : la mise à jour ne peut pas "
                        "y être téléchargée. Donnez aux variables d'environnement TEMP et TMP un "
                        "dossier dont le nom n'a que des lettres latines.");
    if (!reached->ends_with('\\'))
        *reached += '\\';
    return *reached;
}

TVersionFile ReadVersionFile(const std::string& path) {
    if (!FileExists(path))
        return TVersionFile::Parse("", UpdateFileKeys());
    return TVersionFile::Parse(ReadWholeFile(path), UpdateFileKeys());
}

bool VersionFileSizeAccepted(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    const unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size <= kVersionFileMaxBytes;
}
