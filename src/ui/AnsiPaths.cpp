#include "ui/AnsiPaths.h"

#include "ui/System.h"

#include <windows.h>

namespace {

std::wstring FullWide(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0)
            return path;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);
    }
}

std::string Narrowed(std::wstring_view wide, DWORD flags) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, flags, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The text in the ANSI code page when it comes back unchanged: a letter
// turned into '?' or into a look-alike ('Ł' into 'L') does not.
std::optional<std::string> ExactAnsi(std::wstring_view wide) {
    std::string ansi = Narrowed(wide, 0);
    if (Widened(ansi) != wide)
        return std::nullopt;
    return ansi;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A path's last name, its separators after it apart: "C:\A\B\" gives
// {"C:\A", "B", "\"}; the root keeps its separator: "C:\A" gives {"C:\", "A", ""}.
struct TLastName {
    std::wstring_view folder, name, trail;
};
std::optional<TLastName> LastName(std::wstring_view path) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1]))
        --end;
    size_t start = end;
    while (start > 0 && !IsSeparator(path[start - 1]))
        --start;
    if (start == 0 || start == end)
        return std::nullopt;
    const bool root = start < 2 || IsSeparator(path[start - 2]) || path[start - 2] == L':';
    return TLastName{path.substr(0, root ? start : start - 1), path.substr(start, end - start),
                     path.substr(end)};
}

// Name by name, so that only the names the ANSI code page cannot spell go
// by their short form, and a name still to be made by its own.
std::optional<std::string> AnsiOfFull(const std::wstring& full) {
    if (auto exact = ExactAnsi(full))
        return exact;
    const std::optional<TLastName> last = LastName(full);
    if (!last)
        return std::nullopt;
    const std::optional<std::string> folder = AnsiOfFull(std::wstring(last->folder));
    if (!folder)
        return std::nullopt;
    std::optional<std::string> name = ExactAnsi(last->name);
    if (!name) {
        const std::wstring shortForm = Sys().ShortPath(full);
        const std::optional<TLastName> shortLast = LastName(shortForm);
        if (!shortLast || !(name = ExactAnsi(shortLast->name)))
            return std::nullopt;
    }
    const bool root = IsSeparator(last->folder.back());
    return *folder + (root ? "" : "\\") + *name + *ExactAnsi(last->trail);
}

} // namespace

std::wstring Widened(std::string_view ansi) {
    if (ansi.empty())
        return {};
    const int size = static_cast<int>(ansi.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, out.data(), n);
    return out;
}

std::optional<std::string> AnsiFullPath(const std::wstring& path) {
    return AnsiOfFull(FullWide(path));
}

std::string ShownPath(const std::wstring& path) {
    std::wstring full = FullWide(path);
    if (const std::optional<TLastName> last = LastName(full))
        full.resize(full.size() - last->trail.size());
    if (auto ansi = AnsiOfFull(full))
        return *ansi;
    return Narrowed(full, WC_NO_BEST_FIT_CHARS);
}
