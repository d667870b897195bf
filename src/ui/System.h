// The one seam between the program and the outside world. The real
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
    virtual void Beep(UINT type);
    virtual std::optional<std::string> Environment(const std::string& name);
    // GetTempPathA with a buffer of 255: the folder with its separator, or "".
    virtual std::string TempPath();
    virtual MEMORYSTATUS MemoryStatus();
    virtual POINT CursorPos();
    // The full path of the running program (GetModuleFileNameA).
    virtual std::string ExecutablePath();
};

// The seam in force; tests swap it with SetSystem and restore it with nullptr.
TSystem& Sys();
void SetSystem(TSystem* replacement);
