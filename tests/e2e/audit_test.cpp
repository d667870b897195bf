// What the real program writes to disk: every file of the Wine prefix's
// drive C (the working folder is one of its folders) is listed before and
// after a session that goes through every feature, and compared.
// It runs alone (RUN_SERIAL): any other test writing in the prefix would show.
#include "Driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>

namespace {

const wchar_t kWindowClass[] = L"ToolkitWindow";
const wchar_t kBaseCaption[] = L"Orbitashell v 2.2.0";
const wchar_t kServerShare[] = L"C:\\osh-https";
const wchar_t kCatalogues[][20] = {L"CommandesCPL.TXT", L"CommandesSyst.TXT", L"Commandes.txt"};

struct TFileState {
    bool folder = false;
    std::uint64_t size = 0;
    std::uint64_t written = 0; // last write, 100 ns units
    std::uint64_t hash = 0;    // of the content; 0 for a folder or a file that cannot be read
    bool operator==(const TFileState&) const = default;
};
// Keyed by the full path in upper case: Windows names do not tell case apart.
using TListing = std::map<std::wstring, TFileState>;

std::wstring Upper(std::wstring s) {
    CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::uint64_t ContentHash(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    // FNV-1a: enough to see any change made by mistake.
    std::uint64_t h = 0xcbf29ce484222325ull;
    static char buffer[1 << 16];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            h = (h ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ull;
    CloseHandle(f);
    return h | 1;
}

void ListInto(const std::wstring& folder, TListing& out) {
    WIN32_FIND_DATAW d;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &d);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = d.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        TFileState s;
        s.folder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!s.folder) {
            s.size = (std::uint64_t{d.nFileSizeHigh} << 32) | d.nFileSizeLow;
            s.written = (std::uint64_t{d.ftLastWriteTime.dwHighDateTime} << 32) |
                        d.ftLastWriteTime.dwLowDateTime;
            s.hash = ContentHash(path);
        }
        out[Upper(path)] = s;
        // A linked folder leads out of the prefix (Wine links the user's
        // folders to the home folder): it is listed, not entered.
        if (s.folder && !(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListInto(path, out);
    } while (FindNextFileW(find, &d));
    FindClose(find);
}

TListing ListFiles(const std::wstring& root) {
    TListing out;
    ListInto(root, out);
    return out;
}

// Wine's Internet cache, in upper case. The program keeps nothing there, but
// discarding an older copy of the version file before each download touches
// the cache's index (index.dat), and its folders are made on first use:
// Wine's own bookkeeping.
std::wstring InternetCacheFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buf, MAX_PATH);
    return Upper(std::wstring(buf, n < MAX_PATH ? n : 0) +
                 L"\\Microsoft\\Windows\\INetCache\\Content.IE5");
}

bool IsCacheBookkeeping(const std::wstring& path, const TFileState& state) {
    static const std::wstring cache = InternetCacheFolder();
    if (path == cache + L"\\INDEX.DAT")
        return true;
    // In a prefix where nothing used the cache before, the audit's check
    // makes INetCache and Content.IE5 themselves.
    if (state.folder && (path == cache || path == cache.substr(0, cache.find_last_of(L'\\'))))
        return true;
    return state.folder && path.rfind(cache + L"\\", 0) == 0 &&
           path.find(L'\\', cache.size() + 1) == std::wstring::npos;
}

// Every path added, removed or changed, except those allowed to change.
std::vector<std::wstring> Changes(const TListing& before, const TListing& after,
                                  const std::set<std::wstring>& allowed) {
    std::vector<std::wstring> found;
    for (const auto& [path, state] : after) {
        if (allowed.count(path) || IsCacheBookkeeping(path, state))
            continue;
        auto was = before.find(path);
        if (was == before.end())
            found.push_back(L"added    " + path);
        // A folder's own time follows what happens inside it: its files tell.
        else if (state.folder != was->second.folder || (!state.folder && !(state == was->second)))
            found.push_back(L"changed  " + path);
    }
    // The program discards its own earlier copy from the cache before each download.
    static const std::wstring staleCopy = InternetCacheFolder() + L"\\";
    for (const auto& [path, state] : before)
        if (!allowed.count(path) && !after.count(path) &&
            !(path.rfind(staleCopy, 0) == 0 && path.find(L"\\V_OSH[") != std::wstring::npos))
            found.push_back(L"removed  " + path);
    return found;
}

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, buf);
    std::wstring path(buf, n);
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(f);
    return ok;
}

// The local server announces a newer release for the length of the test.
class TNewerRelease {
public:
    TNewerRelease() : saved_(ReadFileBytes(Path())) {
        ok_ = WriteBytes(Path(), "[version]\r\ndispo=9009009\r\n\r\n[info]\r\nline1=9.9.9\r\n"
                                 "line2=Version de contr\xF4le des \xE9\x63ritures\r\n");
    }
    ~TNewerRelease() {
        if (saved_)
            WriteBytes(Path(), *saved_);
    }
    bool Ok() const { return ok_; }
    static std::wstring Path() { return std::wstring(kServerShare) + L"\\www\\version\\v_osh.txt"; }

private:
    std::optional<std::string> saved_;
    bool ok_ = false;
};

// Windows of the program's own process whose caption begins with prefix.
HWND VisibleWindowOf(DWORD pid, const std::wstring& cls, const std::wstring& prefix) {
    for (HWND h : TopLevelWindows())
        if (ProcessOf(h) == pid && IsWindowVisible(h) && ClassOf(h) == cls &&
            CaptionOf(h).rfind(prefix, 0) == 0)
            return h;
    return nullptr;
}

// Any window, from any process, with that class and caption prefix.
HWND AnyVisibleWindow(const std::wstring& cls, const std::wstring& prefix) {
    for (HWND h : TopLevelWindows())
        if (IsWindowVisible(h) && ClassOf(h) == cls && CaptionOf(h).rfind(prefix, 0) == 0)
            return h;
    return nullptr;
}

class Audit : public testing::Test {
protected:
    void SetUp() override {
        if (!ReadFileBytes(std::wstring(kServerShare) + L"\\server.ini")) {
            const char why[] =
                "the local HTTPS server is not running (tools/https-server.sh start)";
            if (GetEnvironmentVariableA("OSH_REQUIRE_HTTPS", nullptr, 0) > 0)
                FAIL() << why;
            GTEST_SKIP() << why;
        }
    }

    void Launch(const std::wstring& line) {
        window_->Type(line);
        ASSERT_EQ(window_->Line(), line);
        ASSERT_TRUE(window_->ClickLaunch()) << testing::PrintToString(program_->MessageBoxes());
    }

    // Until only the program itself is left in its job.
    void WaitAlone() {
        EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 1; }, 15000))
            << program_->ActiveProcesses() << " processes in the program's job";
    }

    // A dialog of the program, shown then closed as its close box would.
    void ShowsAndCloses(const std::wstring& caption) {
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = VisibleWindowOf(program_->Id(), kWindowClass, caption)); },
            10000))
            << "no dialog " << testing::PrintToString(caption);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 10000));
    }

    // A click on a windowless control: the main window hit-tests it. x, y
    // are in the design's pixels (96 dpi).
    void ClickAt(int x, int y) {
        const HWND main = window_->form;
        HDC dc = GetDC(main);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(main, dc);
        const LPARAM at = MAKELPARAM(MulDiv(x, dpi, 96), MulDiv(y, dpi, 96));
        PostMessageW(main, WM_MOUSEMOVE, 0, at);
        PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(main, WM_LBUTTONUP, 0, at);
    }

    // The information button's menu, entry number index (from 0).
    void ChooseInformation(int index) {
        ClickAt(580, 36); // the button: 570,26, 20 x 20
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (menu = VisibleWindowOf(program_->Id(), L"#32768", L"")); }, 10000))
            << "the information menu did not open";
        // The menu's own loop reads the keys of the program's thread.
        for (int i = 0; i <= index; ++i)
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0x01500001);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 10000));
    }

    std::optional<TProgram> program_;
    std::optional<TMainWindow> window_;
};

TEST_F(Audit, EveryFeatureWritesOnlyTheCaptureAndTheVersionCopy) {
    TNewerRelease release;
    ASSERT_TRUE(release.Ok());
    TScratchCopy scratch;
    // The distribution has no personal list: the user writes one.
    ASSERT_TRUE(WriteBytes(scratch / L"Commandes.txt",
                           "echo personnelle (ma commande)\r\nver (la version)\r\n"));
    std::map<std::wstring, std::string> catalogues;
    for (const wchar_t* name : kCatalogues) {
        std::optional<std::string> bytes = ReadFileBytes(scratch / name);
        ASSERT_TRUE(bytes) << testing::PrintToString(std::wstring(name));
        catalogues[name] = *bytes;
    }
    const std::wstring temp = TempFolder();
    const std::set<std::wstring> allowed = {
        Upper(temp + L"\\EditCMD.bat"), Upper(temp + L"\\Versiosh.txt"),
        Upper(scratch / L"EditCmd.TXT"), Upper(scratch / L"Commandes.txt"),
        // The memory of the lines that ran and the values last filled in.
        Upper(scratch / L"Historique.txt"), Upper(scratch / L"Orbitashell.ini")};
    const TListing before = ListFiles(L"C:");
    ASSERT_GT(before.size(), 100u);
    ASSERT_TRUE(before.count(Upper(scratch / L"Orbitashell.exe")))
        << "the working folder lies outside drive C";

    // Start-up, and the update check that finds the newer release.
    program_.emplace(scratch.Path());
    HWND main = program_->WaitWindow(kWindowClass, kBaseCaption, 20000);
    ASSERT_NE(main, nullptr);
    window_.emplace(main);
    const std::wstring copy = temp + L"\\Versiosh.txt";
    ASSERT_TRUE(
        WaitUntil([&] { return PathExists(copy) && CaptionOf(main) == kBaseCaption; }, 20000))
        << "no version file downloaded; " << testing::PrintToString(program_->MessageBoxes());
    EXPECT_TRUE(program_->MessageBoxes().empty())
        << testing::PrintToString(program_->MessageBoxes());

    // A pick in each list puts its row, without its comment, into the box.
    std::vector<HWND> lists;
    for (HWND h : ChildWindows(main))
        if (Upper(ClassOf(h)) == L"COMBOBOX")
            lists.push_back(h);
    ASSERT_EQ(lists.size(), 3u);
    for (HWND list : lists) {
        window_->Type(L"");
        DWORD_PTR r = 0;
        SendMessageTimeoutW(list, WM_KEYDOWN, VK_DOWN, 0x01500001, SMTO_NORMAL, 10000, &r);
        const std::wstring line = window_->Line();
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find(L'('), std::wstring::npos) << testing::PrintToString(line);
    }

    // A tool line (its console closes by itself) and a console line whose
    // blank "Compléter la commande" fills: only the memory of both is written.
    Launch(L"ver & rem start");
    WaitAlone();
    // Posted: the dialog that the click opens would hold a sent one.
    window_->Type(L"echo {{mot=audit}}");
    PostMessageW(window_->launch, BM_CLICK, 0, 0);
    HWND asked = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (asked = VisibleWindowOf(program_->Id(), kWindowClass,
                                            L"Compl\u00E9ter la commande"));
        },
        10000))
        << "no dialog for the blank";
    PostMessageW(FindChild(asked, L"Button", std::wstring(L"OK")), BM_CLICK, 0, 0);
    HWND console = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return !ConsoleWindows().empty() && (console = ConsoleWindows().front()); }, 10000));
    PostMessageW(console, WM_CLOSE, 0, 0);
    WaitAlone();

    // Edit+: the capture, shown in the viewer.
    Launch(L"Edit+ echo audit");
    HWND viewer = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (viewer = AnyVisibleWindow(kWindowClass, L"EditCmd.TXT - ")); }, 20000))
        << "no viewer";
    HWND text = FindChild(viewer, L"Edit");
    EXPECT_TRUE(WaitUntil(
        [&] { return text && ControlText(text).find(L"audit") != std::wstring::npos; }, 10000));
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    WaitAlone();

    // The update dialog, then every information dialog.
    // The newer release's button (374,0, 146 x 22) is shown: it opens the dialog.
    ClickAt(447, 11);
    ShowsAndCloses(L"Service de mises \u00E0 jour");
    const wchar_t* const dialogs[] = {L"A propos...", L"Licence", L"Principe"};
    for (int i = 0; i < 3; ++i) {
        ChooseInformation(i);
        ShowsAndCloses(dialogs[i]);
    }

    // "Ajouter à mes commandes…", fourth entry of the menu that the menu key
    // opens on "Lancer" (the separator before it is passed over): the
    // personal list's one change.
    EXPECT_EQ(ReadFileBytes(scratch / L"Commandes.txt"), catalogues[L"Commandes.txt"]);
    window_->Type(L"echo ajout");
    PostMessageW(window_->launch, WM_KEYDOWN, VK_APPS, 0x015D0001);
    PostMessageW(window_->launch, WM_KEYUP, VK_APPS, static_cast<LPARAM>(0xC15D0001u));
    HWND menu = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (menu = VisibleWindowOf(program_->Id(), L"#32768", L"")); }, 10000))
        << "the menu of Lancer did not open";
    for (int i = 0; i < 4; ++i)
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0x01500001);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    HWND add = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (add = VisibleWindowOf(program_->Id(), kWindowClass,
                                          L"Ajouter \u00E0 mes commandes"));
        },
        10000))
        << "no dialog to add the line";
    std::vector<HWND> edits;
    for (HWND h : ChildWindows(add))
        if (Upper(ClassOf(h)) == L"EDIT")
            edits.push_back(h);
    ASSERT_EQ(edits.size(), 2u);
    SendMessageW(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"audit (fin)"));
    PostMessageW(FindChild(add, L"Button", std::wstring(L"OK")), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(add); }, 10000));

    EXPECT_TRUE(program_->MessageBoxes().empty())
        << testing::PrintToString(program_->MessageBoxes());
    EXPECT_TRUE(program_->Close()) << "the program did not end on WM_CLOSE";
    program_.reset();

    const TListing after = ListFiles(L"C:");
    const std::vector<std::wstring> changes = Changes(before, after, allowed);
    std::wstring shown;
    for (const std::wstring& c : changes)
        shown += c + L"\n";
    EXPECT_TRUE(changes.empty()) << "written besides the capture and the version copy:\n"
                                 << testing::PrintToString(shown);
    EXPECT_TRUE(after.count(Upper(scratch / L"EditCmd.TXT")));
    EXPECT_TRUE(after.count(Upper(temp + L"\\Versiosh.txt")));
    EXPECT_TRUE(after.count(Upper(scratch / L"Historique.txt")));
    EXPECT_TRUE(after.count(Upper(scratch / L"Orbitashell.ini")));
    // The personal list gained exactly the added row; the others are as they were.
    catalogues[L"Commandes.txt"] += "echo ajout (audit [fin])\r\n";
    for (const auto& [name, bytes] : catalogues)
        EXPECT_EQ(ReadFileBytes(scratch / name), bytes) << testing::PrintToString(name);
}

} // namespace
