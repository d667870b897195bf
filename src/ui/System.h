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
    // The longest, in milliseconds, that a probe or a download holds its
    // caller; also WinINet's connect, send and receive time-outs of the probe.
    DWORD NetworkTimeout = 10000;
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
    // The local date and time (GetLocalTime).
    virtual SYSTEMTIME LocalTime();
    // True when the server of url answered at all, whatever the HTTP status;
    // false when it did not within NetworkTimeout.
    virtual bool InternetProbe(const std::string& url);
    // Writes url's body to path; the system's cached copy of url is discarded
    // first, so that an old copy never stands in for the server's. A download
    // still running after NetworkTimeout is abandoned (INET_E_CONNECTION_TIMEOUT)
    // and writes nothing afterwards.
    // Both calls are the installed network's (SetNetwork); while they wait, the
    // calling thread handles sent messages and paints its windows, nothing else.
    virtual TDownloadResult DownloadToFile(const std::string& url, const std::string& path);
};

// The seam in force; tests swap it with SetSystem and restore it with nullptr.
TSystem& Sys();
void SetSystem(TSystem* replacement);

// The network behind the seam's probe and download. The toolkit wraps windows,
// not services: the program installs the implementation with SetNetwork.
class TNetwork {
public:
    virtual ~TNetwork() = default;
    virtual bool Probe(const std::string& url, DWORD timeout) = 0;
    virtual TDownloadResult Download(const std::string& url, const std::string& path,
                                     DWORD timeout) = 0;
};
void SetNetwork(TNetwork* network);
