// The seam between the program and the system: the shell, the environment,
// folders and figures (the network's is the update service's). The real
// implementation only calls Win32; tests install a recorder or a fake.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

class TSystem {
public:
    virtual ~TSystem() = default;
    // ShellExecuteA; its result is never examined by the program.
    virtual void ShellOpen(HWND owner, const char* verb, const std::string& file,
                           const char* parameters, const char* directory, int show);
    // ShellExecuteExA without the shell's own error box: 0, or the system's
    // error code (ERROR_CANCELLED when the user refuses an elevation).
    virtual DWORD ShellRun(HWND owner, const char* verb, const std::string& file,
                           const std::string& parameters, int show);
    // True when the program runs with an administrator's full rights.
    virtual bool IsElevated();
    // The program's working folder as ANSI calls reach it (AnsiFullPath),
    // else as ShownPath gives it.
    virtual std::string CurrentFolder();
    virtual void Beep(UINT type);
    virtual std::optional<std::string> Environment(const std::string& name);
    // The same in UTF-16, as the system keeps it: a folder's true name.
    virtual std::optional<std::wstring> WideEnvironment(const std::string& name);
    // GetTempPathW: the folder with its separator, or "" (none, or longer than MAX_PATH).
    virtual std::wstring TempPath();
    // GlobalMemoryStatusEx: 64-bit counts, so memory beyond 4 GiB is reported in full.
    virtual MEMORYSTATUSEX MemoryStatus();
    virtual POINT CursorPos();
    // The full path of the running program (GetModuleFileNameW).
    virtual std::wstring ExecutablePath();
    // GetShortPathNameW: the short 8.3 form of an existing path, or "". A
    // volume without short names gives the long name back.
    virtual std::wstring ShortPath(const std::wstring& path);
    // The system folder (GetSystemDirectoryA), without a trailing separator.
    virtual std::string SystemFolder();
    // The local date and time (GetLocalTime).
    virtual SYSTEMTIME LocalTime();
};

// The seam in force; tests swap it with SetSystem and restore it with nullptr.
TSystem& Sys();
void SetSystem(TSystem* replacement);
