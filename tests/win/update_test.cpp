// The update check and the update dialog, against the local HTTPS server of
// tools/https-server.sh (real WinINet), and with fakes in the seam
// where the platform cannot be made to fail on demand.
#include "TestSupport.h"

#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "core/VersionFile.h"
#include "ui/Files.h"
#include "update/Network.h"
#include "update/UnitUpdate.h"
#include "update/UpdateService.h"

#include "osh/Version.h"

#include <gtest/gtest.h>
#include <wininet.h>
#include <winsock2.h>

#include <urlmon.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

using namespace std::string_literals;

namespace {

const std::string kBase = "Orbitashell v " OSH_VERSION_TEXT;
const std::string kWaiting =
    kBase + " - Recherche mise à jour d'Orbitashell, veuillez patienter...";
const std::string kOffline = kBase + " - Mode non connecté...";
const std::string kUpToDate = kBase + " - Votre version est à jour";
// Marks, in a caption log, the moment a system message box came up.
const std::string kBoxMark = "<message box>";

std::string TextOfWindow(HWND h) {
    char buf[8192];
    int n = GetWindowTextA(h, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i; (i = text.find("\r\n", start)) != std::string::npos; start = i + 2)
        lines.push_back(text.substr(start, i - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The local server, as tools/https-server.sh leaves it in the prefix.
class TTestServer {
public:
    static constexpr const char* kShare = "C:\\osh-https";

    // Why the server-bound tests cannot run here, or "" when they can.
    static std::string Problem() {
        std::optional<std::string> ini = ReadBytes(std::string(kShare) + "\\server.ini");
        if (!ini)
            return "the local HTTPS server is not running (tools/https-server.sh start)";
        const std::string host =
            "localhost:" +
            std::to_string(
                TVersionFile::Parse(*ini, {{"server", "port"}}).ReadInteger("server", "port", 0));
        // Never let a test reach a host outside this machine.
        if (ProbeAddress() != "https://" + host + "/index.html" ||
            VersionFileAddress() != "https://" + host + "/version/v_osh.txt")
            return "this build's update hosts are not the local server's " + host;
        return "";
    }
    static int Port(const char* key) {
        return TVersionFile::Parse(ReadBytes(std::string(kShare) + "\\server.ini").value_or(""),
                                   {{"server", key}})
            .ReadInteger("server", key, 0);
    }

    ~TTestServer() {
        SetMode("");
        Serve("[version]\r\ndispo=" OSH_VERSION_CODE_TEXT "\r\n");
    }
    void Serve(const std::string& bytes) {
        CreateDirectoryA((std::string(kShare) + "\\www\\version").c_str(), nullptr);
        WriteBytes(VersionFile(), bytes);
    }
    void Withdraw() { DeleteFileA(VersionFile().c_str()); }
    // "absent", "untrusted", "slow" or "" (normal service).
    void SetMode(const std::string& mode) {
        const std::string path = std::string(kShare) + "\\mode";
        if (mode.empty())
            DeleteFileA(path.c_str());
        else
            WriteBytes(path, mode);
    }

private:
    static std::string VersionFile() { return std::string(kShare) + "\\www\\version\\v_osh.txt"; }
};

// Every caption that the program's forms are given (WM_SETTEXT), and the
// moments when system message boxes come up, in one timeline.
class TCaptionLog {
public:
    TCaptionLog() {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    }
    ~TCaptionLog() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    // The timeline of one form, message boxes included.
    std::vector<std::string> Of(HWND form) const {
        std::vector<std::string> out;
        for (const auto& [hwnd, text] : entries_)
            if (hwnd == form || text == kBoxMark)
                out.push_back(text);
        return out;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && active_) {
            char cls[64] = "";
            GetClassNameA(m->hwnd, cls, sizeof cls);
            if (m->message == WM_SETTEXT && m->lParam && !GetParent(m->hwnd) &&
                std::string(cls) == "ToolkitWindow")
                active_->entries_.emplace_back(m->hwnd, reinterpret_cast<const char*>(m->lParam));
            else if (m->message == WM_INITDIALOG && std::string(cls) == "#32770")
                active_->entries_.emplace_back(m->hwnd, kBoxMark);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline TCaptionLog* active_ = nullptr;
    HHOOK hook_ = nullptr;
    std::vector<std::pair<HWND, std::string>> entries_;
};

// A socket listening on a free loopback port, Winsock started for it.
SOCKET ListenOnLoopback(int& port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(s, 8);
    int n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    port = ntohs(a.sin_port);
    return s;
}

// A server that takes connections and never answers, not even the TLS
// handshake. It lets go after 30 s, so that a call it holds still ends.
class TSilentServer {
public:
    TSilentServer() : socket_(ListenOnLoopback(port_)) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        closer_ = std::thread([this] {
            WaitForSingleObject(stop_, 30000);
            closesocket(socket_);
        });
    }
    ~TSilentServer() {
        SetEvent(stop_);
        closer_.join();
        CloseHandle(stop_);
        WSACleanup();
    }
    std::string Url(const std::string& path) const {
        return "https://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    int port_ = 0;
    SOCKET socket_;
    HANDLE stop_ = nullptr;
    std::thread closer_;
};

// A plain HTTP server that answers one request with a body of about size
// bytes, its length unannounced, and counts the bytes it could send before
// the client let go.
class TCountingServer {
public:
    explicit TCountingServer(size_t size) : listener_(ListenOnLoopback(port_)) {
        thread_ = std::thread([this, size] {
            SOCKET client = accept(listener_, nullptr, nullptr);
            char request[4096];
            recv(client, request, sizeof request, 0);
            // Gives up on a client that stops reading yet keeps the connection.
            const DWORD patience = 5000;
            setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&patience),
                       sizeof patience);
            std::string bytes = "HTTP/1.0 200 OK\r\n\r\n";
            send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
            bytes.assign(16384, ';');
            for (int sent; Sent < size && (sent = send(client, bytes.data(),
                                                       static_cast<int>(bytes.size()), 0)) > 0;)
                Sent += static_cast<size_t>(sent);
            closesocket(client);
        });
    }
    ~TCountingServer() {
        closesocket(listener_);
        Finish();
        WSACleanup();
    }
    // Waits until the server has sent what it could.
    void Finish() {
        if (thread_.joinable())
            thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/v_osh.txt"; }
    std::atomic<size_t> Sent = 0;

private:
    int port_ = 0;
    SOCKET listener_;
    std::thread thread_;
};

// The file that the Internet cache holds for url, or "".
std::string CachedFileOf(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    std::vector<char> buffer(size ? size : 1);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    if (!size || !GetUrlCacheEntryInfoA(url.c_str(), info, &size))
        return "";
    return info->lpszLocalFileName ? info->lpszLocalFileName : "";
}

// Puts a copy of url holding bytes into the Internet cache, as another
// download would; returns its file.
std::string CacheCopy(const std::string& url, const std::string& bytes) {
    char cached[MAX_PATH] = "";
    EXPECT_TRUE(CreateUrlCacheEntryA(url.c_str(), 0, "txt", cached, 0));
    WriteBytes(cached, bytes);
    const FILETIME never{0xFFFFFFFF, 0x7FFFFFFF}, none{0, 0};
    EXPECT_TRUE(CommitUrlCacheEntryA(url.c_str(), cached, never, none, NORMAL_CACHE_ENTRY, nullptr,
                                     0, nullptr, nullptr));
    return cached;
}

// The network in force while it lives, which notes each probe and download
// with the caption the main window showed meanwhile. Probe and download are
// the real ones unless a test fakes them.
class TUpdateNetwork : public TNetwork {
public:
    TUpdateNetwork() { SetNetwork(this); }
    ~TUpdateNetwork() override { SetNetwork(nullptr); }
    struct TCall {
        std::string url;
        std::string caption;
        TDownloadResult result;
        // Nothing of the observed window was waiting to be drawn.
        bool painted = false;
    };
    std::vector<TCall> Probes, Downloads;
    HWND Observed = nullptr;
    // The probe fails, or answers, without asking the network.
    bool Offline = false;
    bool Online = false;
    std::function<TDownloadResult(const std::string& url, const std::string& path)> FakeDownload;
    // The real download asks this address instead of the one it is given.
    std::string Redirect;

    bool Probe(const std::string& url) override {
        Probes.push_back(
            {url, TextOfWindow(Observed), {}, !GetUpdateRect(Observed, nullptr, FALSE)});
        return Online || (!Offline && TNetwork::Probe(url));
    }
    TDownloadResult Download(const std::string& url, const std::string& path,
                             std::uint64_t maxBytes) override {
        Downloads.push_back({url, TextOfWindow(Observed), {}});
        TDownloadResult r =
            FakeDownload ? FakeDownload(url, path)
                         : TNetwork::Download(Redirect.empty() ? url : Redirect, path, maxBytes);
        Downloads.back().result = r;
        return r;
    }
    // The real download of the version file.
    TDownloadResult Fetch(const std::string& url, const std::string& path) {
        return TNetwork::Download(url, path, kVersionFileMaxBytes);
    }
};

// Runs each step from whatever message loop is in force (a modal dialog's
// included), one step per tick; a dialog still open after the last step is
// closed so that a failing test cannot hang.
class TScript {
public:
    explicit TScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 60, &Tick);
    }
    ~TScript() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    size_t StepsRun() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TScript* self = active_;
        if (!self)
            return;
        if (self->next_ < self->steps_.size()) {
            self->steps_[self->next_++]();
        } else if (UpdateVersion && ++self->idle_ > 10) {
            ADD_FAILURE() << "the update dialog did not close";
            UpdateVersion->ModalResult = mrCancel;
        }
    }
    static inline TScript* active_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    int idle_ = 0;
    UINT_PTR timer_ = 0;
};

// The names of a folder's files.
std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return names;
}

using TForm1Ptr = std::unique_ptr<TForm1>;

FILETIME LastWrite(const std::string& path) {
    FILETIME t{};
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    GetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
    return t;
}

// A scratch installation (catalogues beside a fake executable, "Syst" in the
// current folder) and a scratch temporary folder for the version file.
class Installation : public testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeScratchDir("update");
        WriteBytes(dir_ + "\\COMMANDESCPL.TXT", "control\r\n");
        WriteBytes(dir_ + "\\COMMANDESSYST.TXT", "ver\r\n");
        CreateDirectoryA((dir_ + "\\Syst").c_str(), nullptr);
        CreateDirectoryA((dir_ + "\\temp").c_str(), nullptr);
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        cwd_ = cwd;
        SetCurrentDirectoryA(dir_.c_str());
        sys_.ExePath = Widened(dir_ + "\\Orbitashell.exe");
        sys_.Temp = dir_ + "\\temp\\";
        localCopy_ = *sys_.Temp + "Versiosh.txt";
    }
    void TearDown() override {
        SetCurrentDirectoryA(cwd_.c_str());
        PumpMessages(20);
        RemoveTree(dir_);
    }

    TForm1Ptr CreateMainWindow() {
        TForm1Ptr form(Application->CreateForm<TForm1>());
        net_.Observed = form->Handle();
        return form;
    }
    // Creates the main window and shows it: its first activation runs the check.
    TForm1Ptr ShowMainWindow() {
        TForm1Ptr form = CreateMainWindow();
        form->Show();
        PumpMessages(30);
        return form;
    }

    TRecordingSystem sys_;
    TUpdateNetwork net_;
    TDialogWatcher watcher_;
    TCaptionLog captions_;
    std::unique_ptr<TTestServer> server_;
    std::string dir_, cwd_, localCopy_;
};

// The check against the local server; skipped where it does not run.
class UpdateCheck : public Installation {
protected:
    void SetUp() override {
        Installation::SetUp();
        if (const std::string why = TTestServer::Problem(); !why.empty()) {
            // make test starts the server: there, its absence is a failure.
            if (GetEnvironmentVariableA("OSH_REQUIRE_HTTPS", nullptr, 0) > 0)
                FAIL() << why;
            GTEST_SKIP() << why;
        }
        server_ = std::make_unique<TTestServer>();
    }
};

TEST_F(UpdateCheck, UpToDateWhenTheCodeIsAtMostOursOrUnusable) {
    // Long, yet within the 64 KiB that the check accepts.
    const std::string longLine(60000, 'x');
    const std::pair<const char*, std::string> files[] = {
        {"equal", "[version]\r\ndispo=" OSH_VERSION_CODE_TEXT "\r\n"},
        {"zero", "[Version]\r\nDispo = 0\r\n"},
        {"negative", "[version]\ndispo=-2002001\n"},
        {"not a number", "[version]\r\ndispo=2.2.1\r\n"},
        {"out of range", "[version]\r\ndispo=99999999999\r\n"},
        {"no key", "[version]\r\nversion=2002001\r\n"},
        {"byte-order mark", "\xEF\xBB\xBF[version]\r\ndispo=2002001\r\n"},
        {"after a NUL", "[version]\r\ndispo=" OSH_VERSION_CODE_TEXT "\r\n\0dispo=2002001\r\n"s},
        {"a 60,000-byte line", "[version]\r\ndispo=" + longLine + "2002001\r\n"},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        server_->Serve(bytes);
        TForm1Ptr form = ShowMainWindow();
        EXPECT_EQ(captions_.Of(form->Handle()),
                  (std::vector<std::string>{kWaiting, kUpToDate, kBase}));
        EXPECT_FALSE(form->btnNewVersionDispo.Visible());
        EXPECT_EQ(ReadBytes(localCopy_), bytes) << "the downloaded copy stays for the dialog";
    }
    EXPECT_TRUE(watcher_.Seen.empty());
}

TEST_F(UpdateCheck, NewerReleaseShowsTheButton) {
    const std::pair<const char*, std::string> files[] = {
        {"decimal", "[version]\r\ndispo=2002001\r\n"},
        {"0x", "[info]\r\nline1=2.2.1\r\n[version]\r\ndispo=0x1E8C51\r\n"},
        {"$", "; comment\r\n[ VERSION ]\r\n  DISPO = $1e8c51 \r\n"},
        {"last of two", "[version]\ndispo=1\n[version]\ndispo=2\ndispo=3000000\n"},
        {"after a 60,000-byte line",
         "[version]\r\nnote=" + std::string(60000, 'n') + "\r\ndispo=2002001\r\n"},
    };
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        server_->Serve(bytes);
        TForm1Ptr form = ShowMainWindow();
        EXPECT_EQ(captions_.Of(form->Handle()), (std::vector<std::string>{kWaiting, kBase}));
        EXPECT_TRUE(form->btnNewVersionDispo.Visible());
    }
    EXPECT_TRUE(watcher_.Seen.empty());
}

TEST_F(UpdateCheck, ProbeAndDownloadRunUnderTheWaitingCaption) {
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    TForm1Ptr form = ShowMainWindow();
    ASSERT_EQ(net_.Probes.size(), 1u);
    EXPECT_EQ(net_.Probes[0].url,
              "https://localhost:" + std::to_string(TTestServer::Port("port")) + "/index.html");
    EXPECT_EQ(net_.Probes[0].caption, kWaiting);
    ASSERT_EQ(net_.Downloads.size(), 1u);
    EXPECT_EQ(net_.Downloads[0].url,
              "https://localhost:" + std::to_string(TTestServer::Port("port")) +
                  "/version/v_osh.txt");
    EXPECT_EQ(net_.Downloads[0].caption, kWaiting);
    EXPECT_EQ(net_.Downloads[0].result.Result, S_OK);
    EXPECT_EQ(net_.Downloads[0].result.HttpStatus, 200u);
    EXPECT_EQ(CachedFileOf(net_.Downloads[0].url), "") << "a copy kept in the Internet cache";

    // Coming back to the window does not run the check again.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    PumpMessages(30);
    SetActiveWindow(form->Handle());
    PumpMessages(30);
    DestroyWindow(other);
    EXPECT_EQ(net_.Probes.size(), 1u);
    EXPECT_TRUE(form->btnNewVersionDispo.Visible()) << "once shown, the button stays";
}

TEST_F(UpdateCheck, NewReleasePublishedSinceTheLastCheckIsSeen) {
    // The server lets clients keep copies for a day; the system's cached copy
    // of the version file must not hide the new release.
    server_->Serve("[version]\r\ndispo=" OSH_VERSION_CODE_TEXT "\r\n");
    TForm1Ptr first = ShowMainWindow();
    EXPECT_FALSE(first->btnNewVersionDispo.Visible());
    first.reset();

    server_->Serve("[version]\r\ndispo=2002001\r\n");
    TForm1Ptr second = ShowMainWindow();
    EXPECT_TRUE(second->btnNewVersionDispo.Visible());
    EXPECT_EQ(ReadBytes(localCopy_), "[version]\r\ndispo=2002001\r\n");
}

TEST_F(UpdateCheck, CachedCopyIsDiscardedBeforeEachDownload) {
    // A copy that the system cached earlier; the download then fails before
    // anything could replace it, so only the discarding can have removed it.
    const std::string url = VersionFileAddress();
    CacheCopy(url, "[version]\r\ndispo=" OSH_VERSION_CODE_TEXT "\r\n");
    ASSERT_NE(CachedFileOf(url), "");
    server_->SetMode("absent");
    EXPECT_NE(net_.Fetch(url, localCopy_).Result, S_OK);
    EXPECT_EQ(CachedFileOf(url), "");
}

TEST_F(UpdateCheck, VersionFileMissingOnTheServer) {
    server_->Withdraw();
    // An earlier run's copy announcing a newer release must not be compared.
    WriteBytes(localCopy_, "[version]\r\ndispo=2002001\r\n");
    TForm1Ptr form = ShowMainWindow();

    ASSERT_EQ(watcher_.Seen.size(), 1u);
    EXPECT_EQ(watcher_.Seen[0].title, "Orbitashell");
    EXPECT_EQ(watcher_.Seen[0].text, "Erreur de téléchargement de l'URL : https://localhost:" +
                                         std::to_string(TTestServer::Port("port")) +
                                         "/version/v_osh.txt.");
    // The box comes once the check is over, as a window procedure's failure does.
    EXPECT_EQ(captions_.Of(form->Handle()), (std::vector<std::string>{kWaiting, kBase, kBoxMark}));
    EXPECT_FALSE(form->btnNewVersionDispo.Visible());
    ASSERT_EQ(net_.Downloads.size(), 1u);
    EXPECT_EQ(net_.Downloads[0].result.HttpStatus, 404u);
    EXPECT_FALSE(ReadBytes(localCopy_)) << "neither the old copy nor the error page is kept";
}

TEST_F(UpdateCheck, OfflineWhenTheProbeHostDoesNotAnswerOrIsNotTrusted) {
    const std::string oldCopy = "[version]\r\ndispo=2002001\r\n";
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    for (const char* mode : {"absent", "untrusted"}) {
        SCOPED_TRACE(mode);
        server_->SetMode(mode);
        WriteBytes(localCopy_, oldCopy);
        const FILETIME written = LastWrite(localCopy_);
        const size_t downloads = net_.Downloads.size();
        TForm1Ptr form = ShowMainWindow();
        EXPECT_EQ(captions_.Of(form->Handle()),
                  (std::vector<std::string>{kWaiting, kOffline, kBase}));
        EXPECT_FALSE(form->btnNewVersionDispo.Visible());
        EXPECT_EQ(net_.Downloads.size(), downloads);
        EXPECT_EQ(ReadBytes(localCopy_), oldCopy);
        const FILETIME now = LastWrite(localCopy_);
        EXPECT_EQ(CompareFileTime(&written, &now), 0);
    }
    EXPECT_TRUE(watcher_.Seen.empty());
}

TEST_F(UpdateCheck, ProbeAcceptsAnyAnswerButNoUntrustedCertificate) {
    const std::string port = std::to_string(TTestServer::Port("port"));
    const std::string untrusted = std::to_string(TTestServer::Port("untrusted"));
    EXPECT_TRUE(TestInternet());
    EXPECT_TRUE(net_.Probe("https://localhost:" + port + "/no/such/page.html"));
    EXPECT_FALSE(net_.Probe("https://localhost:" + untrusted + "/index.html"));

    const std::string path = *sys_.Temp + "untrusted.txt";
    const TDownloadResult r =
        net_.Fetch("https://localhost:" + untrusted + "/version/v_osh.txt", path);
    EXPECT_NE(r.Result, S_OK);
}

TEST_F(UpdateCheck, WithoutTemporaryFolderTheCurrentFolderIsUsed) {
    sys_.Temp = "";
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    TForm1Ptr form = ShowMainWindow();
    EXPECT_TRUE(form->btnNewVersionDispo.Visible());
    EXPECT_EQ(ReadBytes(dir_ + "\\Versiosh.txt"), "[version]\r\ndispo=2002001\r\n");
}

// A larger file is no version file: it is refused without being read.
TEST_F(UpdateCheck, VersionFileOver64KiBIsADownloadError) {
    std::string bytes;
    bytes.reserve(50u << 20);
    std::uint32_t state = 7;
    while (bytes.size() < (50u << 20)) {
        state = state * 1664525u + 1013904223u;
        const char c = static_cast<char>(state >> 24);
        bytes.push_back(c == '\0' ? '\n' : c);
    }
    bytes += "\r\n[version]\r\ndispo=2002001\r\n";
    server_->Serve(bytes);
    TForm1Ptr form = ShowMainWindow();
    EXPECT_FALSE(form->btnNewVersionDispo.Visible());
    ASSERT_EQ(watcher_.Seen.size(), 1u);
    EXPECT_EQ(watcher_.Seen[0].text,
              "Erreur de téléchargement de l'URL : " + VersionFileAddress() + ".");
    EXPECT_FALSE(ReadBytes(localCopy_));

    // The bound itself is still a version file.
    server_->Serve("[version]\r\ndispo=2002001\r\n" + std::string(65536 - 26, ';'));
    watcher_.Seen.clear();
    form = ShowMainWindow();
    EXPECT_TRUE(form->btnNewVersionDispo.Visible());
    EXPECT_TRUE(watcher_.Seen.empty());
}

// The check gives the download up as soon as the body passes the bound, and
// says so as of any failed download.
TEST_F(UpdateCheck, AnOversizedVersionFileIsGivenUpOnceItPassesTheBound) {
    const size_t size = 50u << 20;
    TCountingServer server(size);
    net_.Redirect = server.Url();
    TForm1Ptr form = ShowMainWindow();
    server.Finish();
    ASSERT_EQ(net_.Downloads.size(), 1u);
    EXPECT_EQ(net_.Downloads[0].result.Result, HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE));
    EXPECT_LT(server.Sent, size / 10);
    ASSERT_EQ(watcher_.Seen.size(), 1u);
    EXPECT_EQ(watcher_.Seen[0].text,
              "Erreur de téléchargement de l'URL : " + VersionFileAddress() + ".");
    EXPECT_FALSE(form->btnNewVersionDispo.Visible());
    EXPECT_EQ(FilesIn(*sys_.Temp), std::vector<std::string>{});
    EXPECT_EQ(CachedFileOf(server.Url()), "");
}

// Copies that downloads left when their program ended first go at the next
// check; those a running instance may still write, and other files, stay.
TEST_F(UpdateCheck, LeftCopiesOfEndedProgramsGoAtTheNextCheck) {
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    // Another program that runs, and one that has ended (still held open).
    PROCESS_INFORMATION other{}, ended{};
    STARTUPINFOA si{};
    si.cb = sizeof si;
    char pause[] = "cmd.exe /c pause", quit[] = "cmd.exe /c exit";
    ASSERT_TRUE(CreateProcessA(nullptr, pause, nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &si, &other));
    ASSERT_TRUE(CreateProcessA(nullptr, quit, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &si, &ended));
    WaitForSingleObject(ended.hProcess, 10000);
    const auto copy = [this](DWORD pid, const char* end) {
        return *sys_.Temp + "Versiosh.txt." + std::to_string(pid) + end;
    };
    const std::vector<std::string> gone = {copy(ended.dwProcessId, "-1.part"),
                                           copy(other.dwProcessId, "-2.part"),
                                           copy(4294967292, "-3.part")}; // no such process
    const std::vector<std::string> kept = {
        // This program, whose own downloads never count that far.
        copy(GetCurrentProcessId(), "-4294967295.part"),
        copy(ended.dwProcessId, "-5.part"), // held open, below
        copy(ended.dwProcessId, "-6.part.txt"), *sys_.Temp + "Autre.txt.1-7.part"};
    for (const auto* paths : {&gone, &kept})
        for (const std::string& path : *paths)
            WriteBytes(path, "x");
    HANDLE held = CreateFileA(kept[1].c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);

    TForm1Ptr form = ShowMainWindow();
    CloseHandle(held);
    TerminateProcess(other.hProcess, 0);
    for (HANDLE h : {other.hProcess, other.hThread, ended.hProcess, ended.hThread})
        CloseHandle(h);
    EXPECT_TRUE(form->btnNewVersionDispo.Visible());
    for (const std::string& path : gone)
        EXPECT_FALSE(FileExists(path)) << path;
    for (const std::string& path : kept)
        EXPECT_TRUE(FileExists(path)) << path;
}

TEST_F(UpdateCheck, TheWindowIsDrawnBeforeTheProbe) {
    net_.Offline = true;
    TForm1Ptr form = ShowMainWindow();
    ASSERT_EQ(net_.Probes.size(), 1u);
    EXPECT_TRUE(net_.Probes[0].painted);
}

// A late download's worker, left behind, puts nothing where the program
// looks: neither the version file nor a copy in the Internet cache.
TEST_F(UpdateCheck, ADownloadPastItsLimitWritesNothingOnceTheCallerHasGoneOn) {
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    server_->SetMode("slow");
    net_.Timeout = 1000;
    const std::string url = VersionFileAddress();
    EXPECT_EQ(net_.Fetch(url, localCopy_).Result, INET_E_CONNECTION_TIMEOUT);
    // Meanwhile another download of the address puts its copy in the cache:
    // the worker left behind leaves it alone.
    const std::string later = CacheCopy(url, "later");
    Sleep(5000); // the server answers after 3 s
    EXPECT_EQ(FilesIn(*sys_.Temp), std::vector<std::string>{});
    EXPECT_EQ(CachedFileOf(url), later);
    EXPECT_EQ(ReadBytes(later), "later");

    server_->SetMode("");
    EXPECT_EQ(net_.Fetch(url, localCopy_).Result, S_OK);
    EXPECT_EQ(FilesIn(*sys_.Temp), std::vector<std::string>{"Versiosh.txt"});
}

// The platform's failures that a local server cannot cause, through the seam.
TEST_F(UpdateCheck, DownloadFailuresAreShownAndNothingIsCompared) {
    const std::pair<const char*,
                    std::function<TDownloadResult(const std::string&, const std::string&)>>
        failures[] = {
            {"the system fails",
             [](const std::string&, const std::string&) -> TDownloadResult {
                 throw Exception("CreateEvent: 8");
             }},
            {"cut short",
             [](const std::string&, const std::string& path) {
                 WriteBytes(path, "[version]\r\ndispo=2002001");
                 return TDownloadResult{static_cast<HRESULT>(0x800C0008),
                                        200}; // INET_E_DOWNLOAD_FAILURE
             }},
            {"server error",
             [](const std::string&, const std::string& path) {
                 WriteBytes(path, "[version]\r\ndispo=2002001\r\n");
                 return TDownloadResult{S_OK, 500};
             }},
        };
    const std::string address = VersionFileAddress();
    const std::string expected[] = {"CreateEvent: 8.",
                                    "Erreur de téléchargement de l'URL : " + address + ".",
                                    "Erreur de téléchargement de l'URL : " + address + "."};
    for (size_t i = 0; i < std::size(failures); ++i) {
        SCOPED_TRACE(failures[i].first);
        net_.FakeDownload = failures[i].second;
        watcher_.Seen.clear();
        TForm1Ptr form = ShowMainWindow();
        ASSERT_EQ(watcher_.Seen.size(), 1u);
        EXPECT_EQ(watcher_.Seen[0].text, expected[i]);
        const std::vector<std::string> timeline = captions_.Of(form->Handle());
        EXPECT_EQ(std::vector<std::string>(timeline.end() - 2, timeline.end()),
                  (std::vector<std::string>{kBase, kBoxMark}));
        EXPECT_FALSE(form->btnNewVersionDispo.Visible());
        EXPECT_FALSE(ReadBytes(localCopy_));
    }
}

TEST_F(UpdateCheck, UnreadableVersionFileEndsTheCheckWithTheBaseCaption) {
    server_->Serve("[version]\r\ndispo=2002001\r\n");
    HANDLE lock = INVALID_HANDLE_VALUE;
    net_.FakeDownload = [&](const std::string& url, const std::string& path) {
        TDownloadResult r = net_.Fetch(url, path);
        // Another program holds the fresh copy open, refusing readers.
        lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return r;
    };
    TForm1Ptr form = ShowMainWindow();
    CloseHandle(lock);
    ASSERT_EQ(watcher_.Seen.size(), 1u);
    EXPECT_EQ(watcher_.Seen[0].text.rfind("Impossible d'ouvrir le fichier \"", 0), 0u)
        << watcher_.Seen[0].text;
    EXPECT_EQ(TextOfWindow(form->Handle()), kBase);
    EXPECT_FALSE(form->btnNewVersionDispo.Visible());
}

// ----------------------------------------------------- while the check waits

// Against a server that never answers: the window's thread paints meanwhile,
// and leaves everything else to its loop.
class CheckWaiting : public Installation {
protected:
    TSilentServer server_;
};

TEST_F(CheckWaiting, PostedMessagesAndAPendingQuitWaitForTheLoop) {
    net_.Timeout = 500;
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i ? "download" : "probe");
        InvalidateRect(other, nullptr, TRUE);
        PostMessageA(other, WM_USER + 7, 0, 0);
        PostQuitMessage(3);
        if (i)
            EXPECT_NE(net_.Fetch(server_.Url("/v.txt"), dir_ + "\\v.txt").Result, S_OK);
        else
            EXPECT_FALSE(net_.Probe(server_.Url("/index.html")));
        EXPECT_FALSE(GetUpdateRect(other, nullptr, FALSE)) << "painted meanwhile";
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, other, WM_USER + 7, WM_USER + 7, PM_REMOVE));
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 3u);
    }
    DestroyWindow(other);
}

// ----------------------------------------------------------- update dialog

class UpdateDialog : public Installation {
protected:
    // Opens the dialog, with script steps run inside its modal loop, from a
    // main window whose check downloaded the bytes already at the local
    // copy's place, or found no network when there are none; afterCheck runs
    // between the check and the dialog.
    void OpenWith(std::vector<std::function<void()>> steps,
                  const std::function<void()>& afterCheck = {}) {
        const std::optional<std::string> published = ReadBytes(localCopy_);
        net_.Offline = !published;
        net_.Online = published.has_value();
        net_.FakeDownload = [published](const std::string&, const std::string& path) {
            WriteBytes(path, published.value_or(""));
            return TDownloadResult{S_OK, 200};
        };
        form_ = ShowMainWindow();
        if (afterCheck)
            afterCheck();
        TScript script(std::move(steps));
        form_->btnNewVersionDispo.Click();
        EXPECT_EQ(UpdateVersion, nullptr);
        EXPECT_EQ(script.StepsRun(), stepsExpected_);
    }
    static std::vector<std::string> MemoLines() {
        return SplitCrLf(TextOfWindow(UpdateVersion->memoUpdate.WindowHandle()));
    }
    TForm1Ptr form_;
    size_t stepsExpected_ = 0;
};

TEST_F(UpdateDialog, ShowsLine1InTheLabelAndTheNotesLineByLine) {
    WriteBytes(localCopy_, "[version]\r\ndispo=2002001\r\n[info]\r\nline1= v 2.2.1 \r\n"
                           "line2=Edit+ garde la fenêtre ouverte\r\n");
    HWND dialog = nullptr;
    stepsExpected_ = 1;
    OpenWith({[&] {
        ASSERT_NE(UpdateVersion, nullptr);
        dialog = UpdateVersion->WindowHandle();
        EXPECT_TRUE(UpdateVersion->Modal());
        EXPECT_EQ(TextOfWindow(dialog), "Service de mises à jour");
        EXPECT_EQ(UpdateVersion->lblVersion.Caption(), "v 2.2.1");
        const std::vector<std::string> expected = {
            "Edit+ garde la fenêtre ouverte",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "La procédure d'installation reste inchangée :",
            "c'est-à-dire, de manuellement installer cette mise à jour.",
            "",
            "L'auteur vous souhaite un agréable usage d'Orbitashell,",
            "Julien Marchal",
            "localhost", // the test build's host, without its port
            "",
        };
        EXPECT_EQ(MemoLines(), expected);
        HWND memo = UpdateVersion->memoUpdate.WindowHandle();
        EXPECT_TRUE(GetWindowLongPtrA(memo, GWL_STYLE) & ES_READONLY);
        EXPECT_TRUE(GetWindowLongPtrA(memo, GWL_STYLE) & WS_VSCROLL);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, Scale(425));
        EXPECT_EQ(client.bottom, Scale(317));
        UpdateVersion->btnCancelDownload.Click();
    }});
    PumpMessages(30);
    EXPECT_FALSE(IsWindow(dialog)) << "released once closed";
}

TEST_F(UpdateDialog, MissingFileGivesEmptyNotesAndFixedLines) {
    stepsExpected_ = 1;
    OpenWith({[&] {
        EXPECT_EQ(UpdateVersion->lblVersion.Caption(), "");
        const std::vector<std::string> lines = MemoLines();
        ASSERT_EQ(lines.size(), 15u);
        for (size_t i = 0; i < 8; ++i)
            EXPECT_EQ(lines[i], "") << "line " << i + 1;
        EXPECT_EQ(lines[8], "La procédure d'installation reste inchangée :");
        UpdateVersion->Close();
    }});
    EXPECT_TRUE(watcher_.Seen.empty());
}

// The dialog shows what the check read: the copy is not read again, so a copy
// changed or locked since then changes nothing.
TEST_F(UpdateDialog, ShowsWhatTheCheckReadThoughTheCopyIsLockedSince) {
    WriteBytes(localCopy_, "[info]\r\nline1=x\r\n");
    HANDLE lock = INVALID_HANDLE_VALUE;
    stepsExpected_ = 1;
    OpenWith({[&] {
                 EXPECT_EQ(UpdateVersion->lblVersion.Caption(), "x");
                 UpdateVersion->Close();
             }},
             [&] {
                 WriteBytes(localCopy_, "[info]\r\nline1=y\r\n");
                 lock = CreateFileA(localCopy_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
             });
    CloseHandle(lock);
    EXPECT_TRUE(watcher_.Seen.empty());
}

TEST_F(UpdateDialog, MemoColours) {
    WriteBytes(localCopy_, "[info]\r\nline2=i\r\n");
    stepsExpected_ = 1;
    OpenWith({[&] {
        HWND memo = UpdateVersion->memoUpdate.WindowHandle();
        RECT r;
        GetClientRect(memo, &r);
        TDib dib(r.right, r.bottom);
        SendMessageA(memo, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()),
                     PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(dib.Pixel(r.right - 3, 3), RGB(225, 234, 205));
        int navy = 0;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x)
                navy += dib.Pixel(x, y) == RGB(0, 0, 128);
        EXPECT_GT(navy, 100) << "the notes are written in navy";
        UpdateVersion->Close();
    }});
}

TEST_F(UpdateDialog, DownloadTwiceKeepsTheDialogOpen) {
    HWND dialog = nullptr;
    stepsExpected_ = 3;
    OpenWith({[&] {
                  dialog = UpdateVersion->WindowHandle();
                  UpdateVersion->btnDownload.Click();
              },
              [&] {
                  EXPECT_TRUE(IsWindowVisible(dialog));
                  SendMessageA(UpdateVersion->btnDownload.WindowHandle(), BM_CLICK, 0, 0);
              },
              [&] {
                  EXPECT_TRUE(IsWindowVisible(dialog));
                  EXPECT_EQ(UpdateVersion->ModalResult, mrNone);
                  UpdateVersion->Close();
              }});
    ASSERT_EQ(sys_.ShellCalls.size(), 2u);
    for (const TShellCall& call : sys_.ShellCalls) {
        EXPECT_EQ(call.owner, dialog);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, DownloadAddress());
        EXPECT_FALSE(call.parameters);
        EXPECT_FALSE(call.directory);
        EXPECT_EQ(call.show, SW_SHOW);
    }
    EXPECT_EQ(DownloadAddress().substr(DownloadAddress().size() - 25), "/download/orbitashell.zip");
}

TEST_F(UpdateDialog, EscapePlusTardAndTheCloseBoxCloseIt) {
    const std::pair<const char*, std::function<void(TUpdateVersion&)>> ways[] = {
        {"Escape in the text box",
         [](TUpdateVersion& d) {
             d.memoUpdate.SetFocus();
             EXPECT_EQ(GetFocus(), d.memoUpdate.WindowHandle());
             PostMessageA(d.memoUpdate.WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
        {"Escape on a button",
         [](TUpdateVersion& d) {
             d.btnDownload.SetFocus();
             PostMessageA(d.btnDownload.WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
        {"Plus tard...",
         [](TUpdateVersion& d) {
             SendMessageA(d.btnCancelDownload.WindowHandle(), BM_CLICK, 0, 0);
         }},
        {"close box",
         [](TUpdateVersion& d) { PostMessageA(d.WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    stepsExpected_ = 1;
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        OpenWith({[&close = close] { close(*UpdateVersion); }});
        form_.reset();
    }
    EXPECT_TRUE(sys_.ShellCalls.empty());
    EXPECT_EQ(net_.Probes.size(), std::size(ways)) << "closing the dialog does not run the check";
}

// A dialog whose showing fails is released all the same.
class TFailingDialog : public TForm {
public:
    explicit TFailingDialog(TComponent* owner) : TForm(owner) {
        OnShow = [](TObject*) { throw Exception("showing failed"); };
    }
    ~TFailingDialog() override { ++destroyed; }
    static inline int destroyed = 0;
};
TFailingDialog* FailingDialog = nullptr;

TEST(DialogOpener, ReleasesTheDialogWhenShowingFails) {
    TRecordingSystem sys;
    auto* owner = Application->CreateForm<TForm>(nullptr);
    EXPECT_THROW(OpenDialog(owner, FailingDialog), Exception);
    EXPECT_EQ(FailingDialog, nullptr);
    PumpMessages(30);
    EXPECT_EQ(TFailingDialog::destroyed, 1);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    delete owner;
}

} // namespace

namespace {

TEST(NetworkTimeout, ASilentServerHoldsTheProbeAndTheDownloadNoLongerThanTheTimeout) {
    TSilentServer server;
    TNetwork net;
    net.Timeout = 1500;
    DWORD start = GetTickCount();
    EXPECT_FALSE(net.Probe(server.Url("/index.html")));
    EXPECT_LT(GetTickCount() - start, 5000u);

    const std::string dir = MakeScratchDir("silent");
    start = GetTickCount();
    EXPECT_NE(net.Download(server.Url("/version/v_osh.txt"), dir + "\\v.txt", 100).Result, S_OK);
    EXPECT_LT(GetTickCount() - start, 5000u);
    RemoveTree(dir);
}

} // namespace
