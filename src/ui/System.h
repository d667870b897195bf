// The one seam between the program and the outside world. The real
// implementation only calls Win32; tests install a recorder or a fake.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// What URLDownloadToFileA returned, and the last HTTP status that its bind
// status callback saw (0 when none was reported).
struct TDownloadResult {
    HRESULT Result = E_FAIL;
    DWORD HttpStatus = 0;
};

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
    // The program's working folder (GetCurrentDirectoryA).
    virtual std::string CurrentFolder();
    virtual void Beep(UINT type);
    virtual std::optional<std::string> Environment(const std::string& name);
    // GetTempPathA with a buffer of 255: the folder with its separator, or "".
    virtual std::string TempPath();
    // GlobalMemoryStatusEx: 64-bit counts, so memory beyond 4 GiB is reported in full.
    virtual MEMORYSTATUSEX MemoryStatus();
    virtual POINT CursorPos();
    // The full path of the running program (GetModuleFileNameA).
    virtual std::string ExecutablePath();
    // The system folder (GetSystemDirectoryA), without a trailing separator.
    virtual std::string SystemFolder();
    // WinINet: true when the server of url answered at all, whatever the HTTP status.
    virtual bool InternetProbe(const std::string& url);
    // URLDownloadToFileA of URLMON.DLL, looked up on the first download of the
    // process (an Exception when it cannot be); the system's cached copy of url
    // is discarded first, so that an old copy never stands in for the server's.
    virtual TDownloadResult DownloadToFile(const std::string& url, const std::string& path);
};

// The seam in force; tests swap it with SetSystem and restore it with nullptr.
TSystem& Sys();
void SetSystem(TSystem* replacement);
