#include "update/Network.h"

#include "core/RunWithin.h"
#include "core/UpdateRules.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"

#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

namespace {

// Waits as a window's thread must: the messages other programs send (screen
// readers, broadcasts) are answered and the windows painted, so that the
// system never calls the window hung; input, timers and posted messages wait,
// so nothing can start again what the caller is in the middle of.
class TAnsweringWaiter : public TWaiter {
public:
    TAnsweringWaiter() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
        if (!event_)
            throw Exception("CreateEvent: " + std::to_string(GetLastError()));
    }
    ~TAnsweringWaiter() override { CloseHandle(event_); }
    TAnsweringWaiter(const TAnsweringWaiter&) = delete;
    TAnsweringWaiter& operator=(const TAnsweringWaiter&) = delete;

    void Wake() override { SetEvent(event_); }
    void WaitUntil(std::chrono::steady_clock::time_point deadline) override {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const DWORD ms = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
        // MWMO_INPUTAVAILABLE: a paint already due wakes the wait as a new one would.
        if (MsgWaitForMultipleObjectsEx(1, &event_, ms, QS_SENDMESSAGE | QS_PAINT,
                                        MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0 + 1)
            return;
        // The peek itself answers the sent messages. One paint at a time, so
        // that a window that never validates cannot hold the wait past its end.
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT,
                          PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_PAINT))
            return;
        // Windows may hand back a pending quit whatever the range: it is the loop's.
        if (msg.message == WM_QUIT)
            PostQuitMessage(static_cast<int>(msg.wParam));
        else
            DispatchMessageA(&msg);
    }

private:
    HANDLE event_;
};

// RunWithin for a window's thread.
bool RunAnswering(DWORD ms, std::function<void()> work, std::function<void()> leftBehind = {}) {
    return RunWithin(std::chrono::milliseconds(ms), std::make_shared<TAnsweringWaiter>(),
                     std::move(work), std::move(leftBehind));
}

// WinINet's entries, loaded at the first use from the system folder only:
// WININET.dll is no known DLL, and Windows looks for an imported one beside
// the program first, where browsers save their downloads.
struct TWinInet {
    HMODULE Library = LoadLibraryExW(L"WININET.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    template <class F> F Entry(const char* name) const {
        const FARPROC entry = Library ? GetProcAddress(Library, name) : nullptr;
        if (!entry)
            throw Exception("Impossible de charger WININET.DLL");
        return reinterpret_cast<F>(reinterpret_cast<void*>(entry));
    }
#define OSH_WININET(name) decltype(&::name) name = Entry<decltype(&::name)>(#name)
    OSH_WININET(InternetOpenA);
    OSH_WININET(InternetSetOptionA);
    OSH_WININET(InternetOpenUrlA);
    OSH_WININET(InternetCloseHandle);
    OSH_WININET(HttpQueryInfoA);
    OSH_WININET(InternetReadFile);
    OSH_WININET(DeleteUrlCacheEntryA);
#undef OSH_WININET
};
const TWinInet& WinInet() {
    static const TWinInet wininet;
    return wininet;
}

// An Internet handle, closed once on every path (also when another thread
// closes it early); closing a null handle is harmless.
struct TInternetHandle {
    std::atomic<HINTERNET> h;
    explicit TInternetHandle(HINTERNET handle) : h(handle) {}
    TInternetHandle(const TInternetHandle&) = delete;
    TInternetHandle& operator=(const TInternetHandle&) = delete;
    ~TInternetHandle() { Close(); }
    void Close() { WinInet().InternetCloseHandle(h.exchange(nullptr)); }
    // Leaves the handle to its parent's closing.
    void Release() { h = nullptr; }
};

// A WinINet session with the program's agent and the system's proxy
// settings, whose requests wait for the server no longer than timeout.
std::shared_ptr<TInternetHandle> OpenSession(DWORD timeout) {
    auto internet = std::make_shared<TInternetHandle>(
        WinInet().InternetOpenA("InetURL:/1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (internet->h)
        for (int option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                           INTERNET_OPTION_RECEIVE_TIMEOUT})
            WinInet().InternetSetOptionA(internet->h, static_cast<DWORD>(option), &timeout,
                                         sizeof timeout);
    return internet;
}

// Closes the session on a thread of its own. WinINet, closing a request whose
// body it has not read to the end, reads on for as long as more of it is
// already there, to keep the connection: over a fast link that is the rest of
// a large body, which the caller does not wait for.
void CloseAside(std::shared_ptr<TInternetHandle> internet) {
    std::thread([internet = std::move(internet)] { internet->Close(); }).detach();
}

// Writes url's body to file a buffer at a time, as URLDownloadToFileA would
// (S_OK whatever the HTTP status, which comes apart), but gives up once the
// body passes maxBytes: an oversized one is never fetched whole. Always the
// server's copy, and none kept in the Internet cache.
TDownloadResult Fetch(const std::shared_ptr<TInternetHandle>& internet, const std::string& url,
                      const std::string& file, std::uint64_t maxBytes) {
    TInternetHandle request{WinInet().InternetOpenUrlA(
        internet->h, url.c_str(), nullptr, 0,
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!request.h)
        return {HRESULT_FROM_WIN32(GetLastError()), 0};
    TDownloadResult result;
    DWORD size = sizeof result.HttpStatus;
    WinInet().HttpQueryInfoA(request.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                             &result.HttpStatus, &size, nullptr);
    // Shared with no one while written: no other instance takes it for a leftover.
    TFileHandle out(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid())
        return {HRESULT_FROM_WIN32(GetLastError()), result.HttpStatus};
    char buffer[16384];
    std::uint64_t total = 0;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!WinInet().InternetReadFile(request.h, buffer, sizeof buffer, &got))
            return {HRESULT_FROM_WIN32(GetLastError()), result.HttpStatus};
        if (got == 0)
            break;
        if ((total += got) > maxBytes) {
            request.Release();
            CloseAside(internet);
            return {HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), result.HttpStatus};
        }
        if (!WriteFile(out.Get(), buffer, got, &written, nullptr))
            return {HRESULT_FROM_WIN32(GetLastError()), result.HttpStatus};
    }
    result.Result = S_OK;
    return result;
}

// A process handle, closed on every path.
struct TProcessHandle {
    HANDLE h;
    explicit TProcessHandle(DWORD pid)
        : h(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {}
    TProcessHandle(const TProcessHandle&) = delete;
    TProcessHandle& operator=(const TProcessHandle&) = delete;
    ~TProcessHandle() {
        if (h)
            CloseHandle(h);
    }
};

// A search of a folder, closed on every path.
struct TFindHandle {
    WIN32_FIND_DATAA found;
    HANDLE h;
    explicit TFindHandle(const std::string& pattern) : h(FindFirstFileA(pattern.c_str(), &found)) {}
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;
    ~TFindHandle() {
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
    }
};

// The file name of a process's program, without its folder; "" when unknown.
std::string ProgramNameOf(HANDLE process) {
    char path[MAX_PATH * 4];
    DWORD size = sizeof path;
    if (!QueryFullProcessImageNameA(process, 0, path, &size))
        return {};
    const std::string_view full(path, size);
    const size_t slash = full.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? full : full.substr(slash + 1));
}

// True unless process pid is sure to be no running instance of this program
// (under any folder): a copy of such a one may be a download in progress.
bool MayRunThisProgram(DWORD pid) {
    TProcessHandle process(pid);
    if (!process.h)
        return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    DWORD code = 0;
    if (GetExitCodeProcess(process.h, &code) && code != STILL_ACTIVE)
        return false;
    const std::string name = ProgramNameOf(process.h);
    return name.empty() || lstrcmpiA(name.c_str(), ProgramNameOf(GetCurrentProcess()).c_str()) == 0;
}

// Removes the copies that downloads left beside path when their program
// ended before them: no one else ever moves or removes those. A copy that a
// running instance may still write, or that anyone holds open, stays.
void RemoveLeftCopies(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string file = path.substr(folder.size());
    TFindHandle find(path + ".*.part");
    for (bool more = find.h != INVALID_HANDLE_VALUE; more;
         more = FindNextFileA(find.h, &find.found)) {
        const std::optional<std::uint32_t> pid = PartialDownloadOwner(find.found.cFileName, file);
        if (!pid || (find.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            MayRunThisProgram(*pid))
            continue;
        // Shared with no one, so the open fails while anyone holds the file.
        TFileHandle copy(CreateFileA((folder + find.found.cFileName).c_str(), DELETE, 0, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    }
}

} // namespace

bool TNetwork::Probe(const std::string& url) {
    auto internet = OpenSession(Timeout);
    if (!internet->h)
        return false;
    auto answered = std::make_shared<std::atomic<bool>>(false);
    const bool ended = RunAnswering(Timeout, [internet, answered, url] {
        // Any answer counts: nothing is read and the status is not looked at,
        // nor kept in the Internet cache.
        TInternetHandle request{
            WinInet().InternetOpenUrlA(internet->h, url.c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
        *answered = request.h != nullptr;
    });
    // Closing the session ends its request wherever WinINet can stop it.
    if (!ended)
        CloseAside(internet);
    return ended && *answered;
}

TDownloadResult TNetwork::Download(const std::string& url, const std::string& path,
                                   std::uint64_t maxBytes) {
    // An older copy in the Internet cache must never stand in for the server's.
    WinInet().DeleteUrlCacheEntryA(url.c_str());
    RemoveLeftCopies(path);
    auto internet = OpenSession(Timeout);
    if (!internet->h)
        return {HRESULT_FROM_WIN32(GetLastError()), 0};
    // The worker writes to a name of its own beside path; only a caller still
    // waiting puts the file in its place, so a worker left behind past the
    // limit cannot write a copy that a later check would take for a fresh one.
    static std::atomic<std::uint32_t> downloads = 0;
    const std::string own = PartialDownloadName(path, GetCurrentProcessId(), ++downloads);
    auto result = std::make_shared<TDownloadResult>();
    const bool ended = RunAnswering(
        Timeout,
        [internet, result, url, own, maxBytes] { *result = Fetch(internet, url, own, maxBytes); },
        [own] { DeleteFileA(own.c_str()); });
    if (!ended) {
        CloseAside(internet);
        return {INET_E_CONNECTION_TIMEOUT, 0};
    }
    if (result->Result != S_OK ||
        !MoveFileExA(own.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const HRESULT failure =
            result->Result != S_OK ? result->Result : HRESULT_FROM_WIN32(GetLastError());
        DeleteFileA(own.c_str());
        return {failure, result->HttpStatus};
    }
    return *result;
}

namespace {
TNetwork realNetwork;
TNetwork* current = &realNetwork;
} // namespace

TNetwork& Network() {
    return *current;
}

void SetNetwork(TNetwork* replacement) {
    current = replacement ? replacement : &realNetwork;
}
