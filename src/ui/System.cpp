#include "ui/System.h"

#include <shellapi.h>

#include <vector>

void TSystem::ShellOpen(HWND owner, const char* verb, const std::string& file,
                        const char* parameters, const char* directory, int show) {
    ShellExecuteA(owner, verb, file.c_str(), parameters, directory, show);
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

MEMORYSTATUS TSystem::MemoryStatus() {
    MEMORYSTATUS ms{};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatus(&ms);
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
