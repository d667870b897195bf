#include "ui/System.h"

#include <shellapi.h>

#include <vector>

void TSystem::ShellOpen(HWND owner, const char* verb, const std::string& file,
                        const char* parameters, const char* directory, int show) {
    ShellExecuteA(owner, verb, file.c_str(), parameters, directory, show);
}

DWORD TSystem::ShellRun(HWND owner, const char* verb, const std::string& file,
                        const std::string& parameters, int show) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    return ShellExecuteExA(&info) ? 0 : GetLastError();
}

bool TSystem::IsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && elevation.TokenIsElevated != 0;
}

std::string TSystem::CurrentFolder() {
    const DWORD n = GetCurrentDirectoryA(0, nullptr);
    std::string folder(n, '\0');
    const DWORD got = n ? GetCurrentDirectoryA(n, folder.data()) : 0;
    folder.resize(got < n ? got : 0);
    return folder;
}

void TSystem::Beep(UINT type) {
    MessageBeep(type);
}

std::optional<std::string> TSystem::Environment(const std::string& name) {
    DWORD n = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (n == 0)
        return std::nullopt;
    std::vector<char> buf(n);
    DWORD got = GetEnvironmentVariableA(name.c_str(), buf.data(), n);
    if (got == 0 || got >= n)
        return std::nullopt;
    return std::string(buf.data(), got);
}

std::string TSystem::TempPath() {
    char buf[256];
    DWORD n = GetTempPathA(255, buf);
    if (n == 0 || n > 255)
        return {};
    return std::string(buf, n);
}

MEMORYSTATUSEX TSystem::MemoryStatus() {
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatusEx(&ms);
    return ms;
}

POINT TSystem::CursorPos() {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}

std::string TSystem::ExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string TSystem::SystemFolder() {
    char buf[MAX_PATH];
    UINT n = GetSystemDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string("C:\\Windows\\System32");
}

SYSTEMTIME TSystem::LocalTime() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return t;
}

namespace {
TSystem realSystem;
TSystem* current = &realSystem;
} // namespace

TSystem& Sys() {
    return *current;
}
void SetSystem(TSystem* replacement) {
    current = replacement ? replacement : &realSystem;
}
