// Files as the program reads and writes them, with the toolkit's file errors.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// An open file handle, closed on every path.
class TFileHandle {
public:
    explicit TFileHandle(HANDLE h) : h_(h) {}
    ~TFileHandle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool DirectoryExists(const std::wstring& path);
// The full path as messages name it (ShownPath): the one ANSI calls reach.
std::string FullPath(const std::string& path);

// The whole file, opened for reading with writers refused, so that a file
// being written is never read half-way. EFOpenError on failure:
// "Impossible d'ouvrir le fichier \"<full path>\". <reason>".
std::string ReadWholeFile(const std::string& path);

// Creates or replaces the file with these bytes; others may keep it open for
// reading or writing meanwhile. The path is UTF-16, for a folder that ANSI
// calls cannot name. EFCreateError on failure:
// "Impossible de créer le fichier \"<ShownPath>\". <reason>".
void WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Opens the file for appending as a writer that shares it would, and closes
// it again; a missing file is made and deleted at once, so that nothing stays
// before a launch is sure to run. EFCreateError when it cannot be:
// "Impossible d'écrire dans le fichier \"<full path>\". <reason>", or for a
// missing one "Impossible de créer le fichier \"<full path>\". <reason>".
void CheckAppendable(const std::string& path);

// What tells a file's new content from its old one without reading it.
struct TFileStamp {
    bool Exists = false;
    std::uint64_t WriteTime = 0;
    std::uint64_t Size = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp FileStampOf(const std::string& path);

// Puts these bytes in place of the file's, or creates it, never leaving half
// a file: they go to a new file beside it first, which then replaces it in one
// move. EFCreateError naming path on failure, with the file as it was.
void ReplaceWholeFile(const std::string& path, std::string_view bytes);

// Serialises the read, change and write of a file between processes: a
// named mutex after the file's full path, held while the object lives. After
// ms without it, or without the mutex at all, the caller goes on unserialised:
// a write late or raced is better than none.
class TFileLock {
public:
    explicit TFileLock(const std::string& path, DWORD ms = 5000);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    HANDLE mutex_;
    bool owned_ = false;
};
