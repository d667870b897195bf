#include "update/Internet.h"

#include "core/RunWithin.h"
#include "ui/Exceptions.h"

#include <urlmon.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

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

// WININET.DLL, loaded by the first call through WinInet() from the system
// folder only (one beside the program is never loaded) and kept for the life
// of the process: the program starts with no WinINet at all.
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
    OSH_WININET(GetUrlCacheEntryInfoA);
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
};

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

    // The object lives in the download's shared job for as long as the binding.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback))
            *ppv = static_cast<IBindStatusCallback*>(this);
        else if (IsEqualIID(riid, IID_IHttpNegotiate))
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

// Where the Internet cache keeps its copy of url, or "" when it has none.
std::string CachedFileOf(const std::string& url) {
    DWORD size = 0;
    WinInet().GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    if (size == 0)
        return {};
    std::vector<char> buffer(size);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    if (!WinInet().GetUrlCacheEntryInfoA(url.c_str(), info, &size) || !info->lpszLocalFileName)
        return {};
    return info->lpszLocalFileName;
}

// Wine's URLMON stores the file in the Internet cache all the same (its
// WinINet ignores the no-cache-write flag when URLMON needs a file): the copy
// the caller asked for is the only one kept. An entry still locked by the
// binding is only marked for deletion, so its file goes by name too.
void ForgetCachedCopy(const std::string& url) {
    const std::string cached = CachedFileOf(url);
    WinInet().DeleteUrlCacheEntryA(url.c_str());
    if (!cached.empty())
        DeleteFileA(cached.c_str());
}

class TInternet : public TNetwork {
public:
    bool Probe(const std::string& url, DWORD timeout) override;
    TDownloadResult Download(const std::string& url, const std::string& path,
                             DWORD timeout) override;
};

bool TInternet::Probe(const std::string& url, DWORD timeout) {
    auto internet = std::make_shared<TInternetHandle>(
        WinInet().InternetOpenA("InetURL:/1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet->h)
        return false;
    for (int option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT})
        WinInet().InternetSetOptionA(internet->h, static_cast<DWORD>(option), &timeout,
                                     sizeof timeout);
    auto answered = std::make_shared<std::atomic<bool>>(false);
    const bool ended = RunAnswering(timeout, [internet, answered, url] {
        // Any answer counts: nothing is read and the status is not looked at,
        // nor kept in the Internet cache.
        TInternetHandle request{
            WinInet().InternetOpenUrlA(internet->h, url.c_str(), nullptr, 0,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
        *answered = request.h != nullptr;
    });
    // Closing the session ends its request wherever WinINet can stop it.
    if (!ended)
        internet->Close();
    return ended && *answered;
}

TDownloadResult TInternet::Download(const std::string& url, const std::string& path,
                                    DWORD timeout) {
    TUrlDownloadToFileA download = UrlDownloadToFileEntry();
    WinInet().DeleteUrlCacheEntryA(url.c_str());
    // The worker writes to a name of its own beside path; only a caller still
    // waiting puts the file in its place, so a worker left behind past the
    // limit cannot write a copy that a later check would take for a fresh one.
    static std::atomic<unsigned> downloads = 0;
    const std::string own = path + "." + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(++downloads) + ".part";
    struct TJob {
        TStatusCallback callback;
        TDownloadResult result;
    };
    auto job = std::make_shared<TJob>();
    const bool ended = RunAnswering(
        timeout,
        [job, download, url, own] {
            const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
            job->result.Result = download(nullptr, url.c_str(), own.c_str(), 0, &job->callback);
            job->result.HttpStatus = job->callback.HttpStatus;
            if (com)
                CoUninitialize();
        },
        [url, own] {
            DeleteFileA(own.c_str());
            ForgetCachedCopy(url);
        });
    if (!ended) {
        job->callback.Abandoned = true;
        return TDownloadResult{INET_E_CONNECTION_TIMEOUT, 0};
    }
    ForgetCachedCopy(url);
    if (GetFileAttributesA(own.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !MoveFileExA(own.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        DeleteFileA(own.c_str());
        return TDownloadResult{HRESULT_FROM_WIN32(error), job->result.HttpStatus};
    }
    return job->result;
}

} // namespace

TNetwork& Internet() {
    static TInternet internet;
    return internet;
}
