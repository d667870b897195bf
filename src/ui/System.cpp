#include "ui/System.h"

#include "ui/AnsiPaths.h"

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
    return ShownPath(L".");
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

std::optional<std::wstring> TSystem::WideEnvironment(const std::string& name) {
    const std::wstring wide = Widened(name);
    const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (n == 0)
        return std::nullopt;
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
    if (got == 0 || got >= n)
        return std::nullopt;
    value.resize(got);
    return value;
}

std::wstring TSystem::TempPath() {
    wchar_t buf[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH)
        return {};
    return std::wstring(buf, n);
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

std::wstring TSystem::ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring TSystem::ShortPath(const std::wstring& path) {
    const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::wstring shortForm(n, L'\0');
    const DWORD got = GetShortPathNameW(path.c_str(), shortForm.data(), n);
    if (got == 0 || got >= n)
        return {};
    shortForm.resize(got);
    return shortForm;
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
