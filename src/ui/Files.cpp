#include "ui/Files.h"

#include "core/Ascii.h"
#include "ui/AnsiPaths.h"
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

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
    // Through UTF-16: a relative name in a current folder that the ANSI code
    // page cannot spell would come back with '?' or a look-alike letter.
    return ShownPath(Widened(path));
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

void WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    TFileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&path] {
        DWORD err = GetLastError();
        throw EFCreateError("Impossible de créer le fichier \"" + ShownPath(path) + "\". " +
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
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.Valid())
        return;
    DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND)
        throw EFCreateError("Impossible d'écrire dans le fichier \"" + FullPath(path) + "\". " +
                            SysErrorMessage(err));
    // A folder the user may not write to: the file is made and gone at once.
    const TFileHandle made(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    err = GetLastError();
    // ERROR_FILE_EXISTS: its writer made it meanwhile.
    if (!made.Valid() && err != ERROR_FILE_EXISTS)
        throw EFCreateError("Impossible de créer le fichier \"" + FullPath(path) + "\". " +
                            SysErrorMessage(err));
}

TFileStamp FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    auto wide = [](DWORD hi, DWORD lo) { return std::uint64_t{hi} << 32 | lo; };
    return {true, wide(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
            wide(data.nFileSizeHigh, data.nFileSizeLow)};
}

void ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::string full = FullPath(path);
    auto fail = [&full](DWORD err) {
        throw EFCreateError("Impossible de créer le fichier \"" + full + "\". " +
                            SysErrorMessage(err));
    };
    // Windows refuses to replace a read-only file; Wine's rename would not.
    const DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        fail(ERROR_ACCESS_DENIED);
    const std::string folder = full.substr(0, full.find_last_of('\\') + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "osh", 0, temp))
        fail(GetLastError());
    bool moved = false;
    struct TTempRemover {
        const char* path;
        const bool& moved;
        ~TTempRemover() {
            if (!moved)
                DeleteFileA(path);
        }
    } remover{temp, moved};
    {
        TFileHandle f(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.Valid())
            fail(GetLastError());
        DWORD written = 0;
        if (!WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) ||
            written != bytes.size() || !FlushFileBuffers(f.Get()))
            fail(GetLastError());
    }
    // One rename: a reader sees the old file or the new one, and a crash
    // before it leaves the old one whole.
    if (!MoveFileExA(temp, full.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(GetLastError());
    moved = true;
}

TFileLock::TFileLock(const std::string& path, DWORD ms) {
    // No backslash in a kernel object's name past its namespace, and a path's
    // letter case names the same file; a long path keeps its end.
    std::string name;
    for (char c : FullPath(path))
        name += c == '\\' ? '/' : AsciiUpper(c);
    const std::string prefix = "Local\\TFileLock:";
    const std::size_t room = MAX_PATH - 1 - prefix.size();
    if (name.size() > room)
        name.erase(0, name.size() - room);
    mutex_ = CreateMutexA(nullptr, FALSE, (prefix + name).c_str());
    if (mutex_) {
        const DWORD waited = WaitForSingleObject(mutex_, ms);
        // Abandoned: its holder ended without giving it back; it is this one's now.
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
}

TFileLock::~TFileLock() {
    if (owned_)
        ReleaseMutex(mutex_);
    if (mutex_)
        CloseHandle(mutex_);
}
