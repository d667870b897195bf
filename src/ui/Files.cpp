#include "ui/Files.h"

#include "ui/Exceptions.h"

#include <algorithm>

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
    char buf[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

std::string ReadWholeFile(const std::string& path) {
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    auto fail = [&path] {
        DWORD err = GetLastError();
        throw EFOpenError("Impossible d'ouvrir le fichier \"" + FullPath(path) + "\". " +
                          SysErrorMessage(err));
    };
    if (!f.Valid())
        fail();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.Get(), &size))
        fail();
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24)), got = 0;
        if (!ReadFile(f.Get(), bytes.data() + done, chunk, &got, nullptr))
            fail();
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&path] {
        DWORD err = GetLastError();
        throw EFCreateError("Impossible de créer le fichier \"" + path + "\". " +
                            SysErrorMessage(err));
    };
    if (!f.Valid())
        fail();
    DWORD written = 0;
    if (!WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        fail();
}

void CheckAppendable(const std::string& path) {
    const TFileHandle f(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) {
        const DWORD err = GetLastError();
        throw EFCreateError("Impossible d'écrire dans le fichier \"" + FullPath(path) + "\". " +
                            SysErrorMessage(err));
    }
}
