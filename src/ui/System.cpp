#include "ui/System.h"

#include "ui/Exceptions.h"

#include <shellapi.h>
#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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

namespace {

// An Internet handle, closed once on every path (also when another thread
// closes it early); closing a null handle is harmless.
struct TInternetHandle {
    std::atomic<HINTERNET> h;
    explicit TInternetHandle(HINTERNET handle) : h(handle) {}
    TInternetHandle(const TInternetHandle&) = delete;
    TInternetHandle& operator=(const TInternetHandle&) = delete;
    ~TInternetHandle() { Close(); }
    void Close() { InternetCloseHandle(h.exchange(nullptr)); }
};

// Runs work on a thread of its own and waits at most ms for it; false when it
// had not ended by then. It is then left to end by itself, so it must own (by
// shared pointers) everything it touches. Its failure passes to the caller.
// The network libraries can ignore their own time-outs (under Wine a TLS
// handshake that the server never answers held the caller for minutes), and
// URLMON's own message loop would take the caller's close and quit requests.
bool RunWithin(DWORD ms, std::function<void()> work) {
    struct TState {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        std::exception_ptr failure;
    };
    auto state = std::make_shared<TState>();
    std::thread([state, work = std::move(work)] {
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(state->m);
        state->failure = failure;
        state->done = true;
        state->cv.notify_all();
    }).detach();
    std::unique_lock lock(state->m);
    if (!state->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return state->done; }))
        return false;
    if (state->failure)
        std::rethrow_exception(state->failure);
    return true;
}

// Reports nothing to the user; only notes the server's HTTP status, which
// URLDownloadToFileA itself does not look at.
// A COM object ends through Release, never through a base pointer's delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TStatusCallback : public IBindStatusCallback, public IHttpNegotiate {
public:
    DWORD HttpStatus = 0;
    // Set once the caller has stopped waiting: the binding ends at its next sign of life.
    std::atomic<bool> Abandoned = false;

    // The object lives on the caller's stack for the length of the call.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        // __uuidof, not the uuid library's IID_ constants: see Controls.cpp.
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IBindStatusCallback)))
            *ppv = static_cast<IBindStatusCallback*>(this);
        else if (IsEqualIID(riid, __uuidof(IHttpNegotiate)))
            *ppv = static_cast<IHttpNegotiate*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override {
        return Abandoned ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    // Always the server's copy, and none kept in the Internet cache: the file
    // is written where the caller asked, and nowhere else.
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO*) override {
        *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
        return Abandoned ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional) override {
        *additional = nullptr;
        return S_OK;
    }
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* additional) override {
        // After redirections the last answer is the one whose body was written.
        HttpStatus = code;
        if (additional)
            *additional = nullptr;
        return S_OK;
    }
};
#pragma GCC diagnostic pop

// A pending quit request survives the call: the download's own message loop
// (URLMON's under Wine) takes it out of the queue, and the program would
// then stay open after a start-up failure had asked it to end.
class TKeepQuitRequest {
public:
    TKeepQuitRequest() {
        MSG msg{};
        pending_ = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
        code_ = static_cast<int>(msg.wParam);
    }
    ~TKeepQuitRequest() {
        MSG msg{};
        if (pending_ && !PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            PostQuitMessage(code_);
    }
    TKeepQuitRequest(const TKeepQuitRequest&) = delete;
    TKeepQuitRequest& operator=(const TKeepQuitRequest&) = delete;

private:
    bool pending_ = false;
    int code_ = 0;
};

using TUrlDownloadToFileA = HRESULT(WINAPI*)(LPUNKNOWN, LPCSTR, LPCSTR, DWORD,
                                             LPBINDSTATUSCALLBACK);

// URLMON.DLL, loaded by the first download and kept for the life of the
// process: never freed, as an abandoned download may still run in it at exit.
struct TUrlMon {
    HMODULE Library = nullptr;
    TUrlDownloadToFileA Download = nullptr;
};

TUrlDownloadToFileA UrlDownloadToFileEntry() {
    static TUrlMon urlmon;
    if (!urlmon.Download) {
        if (!urlmon.Library)
            // From the system folder only: a URLMON.DLL beside the program is never loaded.
            urlmon.Library = LoadLibraryExA("URLMON.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (urlmon.Library)
            urlmon.Download = reinterpret_cast<TUrlDownloadToFileA>(
                reinterpret_cast<void*>(GetProcAddress(urlmon.Library, "URLDownloadToFileA")));
        if (!urlmon.Download)
            throw Exception("Impossible de charger URLMON.DLL");
    }
    return urlmon.Download;
}

} // namespace

bool TSystem::InternetProbe(const std::string& url) {
    auto internet = std::make_shared<TInternetHandle>(
        InternetOpenA("InetURL:/1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet->h)
        return false;
    DWORD timeout = NetworkTimeout;
    for (int option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(internet->h, static_cast<DWORD>(option), &timeout, sizeof timeout);
    auto answered = std::make_shared<std::atomic<bool>>(false);
    const bool ended = RunWithin(NetworkTimeout, [internet, answered, url] {
        // Any answer counts: nothing is read and the status is not looked at,
        // nor kept in the Internet cache.
        TInternetHandle request{
            InternetOpenUrlA(internet->h, url.c_str(), nullptr, 0,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
        *answered = request.h != nullptr;
    });
    // Closing the session ends its request wherever WinINet can stop it.
    if (!ended)
        internet->Close();
    return ended && *answered;
}

namespace {

// Where the Internet cache keeps its copy of url, or "" when it has none.
std::string CachedFileOf(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    if (size == 0)
        return {};
    std::vector<char> buffer(size);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    if (!GetUrlCacheEntryInfoA(url.c_str(), info, &size) || !info->lpszLocalFileName)
        return {};
    return info->lpszLocalFileName;
}

} // namespace

TDownloadResult TSystem::DownloadToFile(const std::string& url, const std::string& path) {
    TUrlDownloadToFileA download = UrlDownloadToFileEntry();
    TKeepQuitRequest keep;
    DeleteUrlCacheEntryA(url.c_str());
    struct TJob {
        TStatusCallback callback;
        TDownloadResult result;
    };
    auto job = std::make_shared<TJob>();
    const bool ended = RunWithin(NetworkTimeout, [job, download, url, path] {
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        job->result.Result = download(nullptr, url.c_str(), path.c_str(), 0, &job->callback);
        job->result.HttpStatus = job->callback.HttpStatus;
        if (com)
            CoUninitialize();
    });
    if (!ended) {
        job->callback.Abandoned = true;
        return TDownloadResult{INET_E_CONNECTION_TIMEOUT, 0};
    }
    TDownloadResult result = job->result;
    // Wine's URLMON stores the file in the Internet cache all the same (its
    // WinINet ignores the no-cache-write flag when URLMON needs a file): the
    // copy the caller asked for is the only one kept. An entry still locked by
    // the binding is only marked for deletion, so its file goes by name too.
    const std::string cached = CachedFileOf(url);
    DeleteUrlCacheEntryA(url.c_str());
    if (!cached.empty())
        DeleteFileA(cached.c_str());
    return result;
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
