// The real Orbitashell.exe, started from a scratch copy of the distribution
// folder and driven by window messages; the command lines really run in cmd.
#include "Driver.h"

#include "osh/Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace {

const wchar_t kWindowClass[] = L"ToolkitWindow";

std::string TrimRight(std::string s) {
    s.erase(s.find_last_not_of(" \t\r\n") + 1);
    return s;
}

// The file's lines, CR LF or LF, each without its trailing blanks.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(TrimRight(line));
    return lines;
}

// A capture's own output: the lines of its file but the headers that start each capture.
std::vector<std::string> Captured(const std::optional<std::string>& text) {
    std::vector<std::string> lines;
    for (std::string& line : LinesOf(text.value_or("")))
        if (line.rfind("----- ", 0) != 0)
            lines.push_back(std::move(line));
    return lines;
}

// A program started in a fresh copy of the distribution folder, idle at its main window.
class E2E : public testing::Test {
protected:
    void StartIdle(const std::vector<std::pair<std::wstring, std::wstring>>& env = {}) {
        program_.emplace(scratch_.Path(), env);
        HWND main = program_->WaitIdleMainWindow();
        ASSERT_NE(main, nullptr) << "no idle main window";
        window_.emplace(main);
        ASSERT_NE(window_->box, nullptr);
        ASSERT_NE(window_->launch, nullptr);
        ASSERT_FALSE(IsWindowEnabled(window_->launch)) << "an empty box cannot be launched";
    }

    void Launch(const std::wstring& line) {
        window_->Type(line);
        ASSERT_EQ(window_->Line(), line);
        ASSERT_TRUE(IsWindowEnabled(window_->launch)) << "the box's change handler enables Lancer";
        ASSERT_TRUE(window_->ClickLaunch()) << testing::PrintToString(program_->MessageBoxes());
    }

    // The lines of the launched console once its prompt is back, in the program's folder.
    std::vector<std::wstring> ConsoleOnceDone() {
        DWORD cmd = 0;
        EXPECT_TRUE(
            WaitUntil([&] { return (cmd = ChildProcess(program_->Id(), L"cmd.exe")) != 0; }, 5000));
        std::optional<TConsoleView> view;
        const std::wstring prompt = scratch_.Path() + L">";
        EXPECT_TRUE(WaitUntil(
            [&] {
                view = cmd ? ReadConsoleOf(cmd) : std::nullopt;
                return view && !view->lines.empty() && view->lines.back() == prompt;
            },
            10000, 100));
        return view ? view->lines : std::vector<std::wstring>{};
    }

    void TearDown() override {
        if (program_) {
            EXPECT_TRUE(program_->Close()) << "the program did not end on WM_CLOSE";
            program_.reset();
        }
    }

    TScratchCopy scratch_;
    std::optional<TProgram> program_;
    std::optional<TMainWindow> window_;
};

TEST_F(E2E, ToolLineRunsInCmdAndItsConsoleClosesByItself) {
    StartIdle();
    // "start" makes it a tool line: "/c", so the console goes once the line has run.
    Launch(L"echo ok> marker.txt & rem start");

    std::optional<std::string> marker;
    EXPECT_TRUE(WaitUntil(
        [&] {
            marker = ReadFileBytes(scratch_ / L"marker.txt");
            return marker && marker->find('\n') != std::string::npos;
        },
        15000))
        << "no marker.txt in the program's folder";
    EXPECT_EQ(TrimRight(marker.value_or("")), "ok");

    EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 1; }, 10000))
        << "the console stayed: " << program_->ProcessNames();
    EXPECT_TRUE(ConsoleWindows().empty());
    EXPECT_EQ(window_->Line(), L"echo ok> marker.txt & rem start");
}

TEST_F(E2E, OrdinaryLineLeavesConsoleTitledOrbitashellOpen) {
    StartIdle();
    ASSERT_TRUE(ConsoleWindows().empty()) << "a console from elsewhere is in the way";
    Launch(L"echo hello");

    ASSERT_TRUE(WaitUntil([] { return ConsoleWindows().size() == 1; }, 10000))
        << "no console window titled Orbitashell";
    HWND console = ConsoleWindows().front();

    DWORD cmd = 0;
    ASSERT_TRUE(
        WaitUntil([&] { return (cmd = ChildProcess(program_->Id(), L"cmd.exe")) != 0; }, 5000));
    // The prompt after the output shows that cmd waits for more (/k), in the
    // program's folder, since the launch names no working folder.
    std::optional<TConsoleView> view;
    const std::wstring prompt = scratch_.Path() + L">";
    bool prompted = WaitUntil(
        [&] {
            view = ReadConsoleOf(cmd);
            return view && !view->lines.empty() && view->lines.back() == prompt;
        },
        10000, 100);
    ASSERT_TRUE(view.has_value()) << "cannot read the console";
    std::wstring shown;
    for (const auto& line : view->lines)
        shown += line + L"\n";
    EXPECT_TRUE(prompted) << "console shows:\n" << testing::PrintToString(shown);
    EXPECT_NE(shown.find(L"hello\n"), std::wstring::npos);
    EXPECT_EQ(view->title, L"Orbitashell");
    EXPECT_EQ(view->attributes, 0x4E) << "light yellow on red";
    EXPECT_TRUE(IsWindow(console));

    PostMessageW(console, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ConsoleWindows().empty(); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 1; }, 10000));
}

TEST_F(E2E, EditPlusAppendsOutputToEditCmdTxt) {
    // A temporary folder with a blank in its path: the batch name must be quoted.
    const std::wstring temp = scratch_ / L"dossier temp";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    const std::wstring batch = temp + L"\\EditCMD.bat";
    StartIdle({{L"TEMP", temp}, {L"TMP", temp}});

    // More than seven words: the batch file passes every one on.
    Launch(L"Edit+ echo captured 2 3 4 5 6 7 8");
    EXPECT_EQ(window_->Line(), L"Edit+ echo captured 2 3 4 5 6 7 8");
    std::optional<std::string> text;
    auto hasLines = [&](size_t n) {
        return WaitUntil(
            [&] {
                text = ReadFileBytes(scratch_ / L"EditCmd.TXT");
                return text && Captured(text).size() >= n;
            },
            15000);
    };
    EXPECT_TRUE(hasLines(1)) << "no EditCmd.TXT in the program's folder";
    EXPECT_TRUE(ReadFileBytes(batch).has_value());

    // No waiting for the first console: Wine's cmd holds the batch file open
    // until it ends, and the next capture rewrites it all the same.
    // "Edit+" after the command: a blank must still part the batch name from "echo".
    Launch(L"echo second Edit+");
    EXPECT_TRUE(hasLines(2));
    EXPECT_EQ(Captured(text), (std::vector<std::string>{"captured 2 3 4 5 6 7 8", "second"}));
    EXPECT_EQ(window_->Line(), L"Edit+ echo second");

    EXPECT_TRUE(WaitUntil([&] { return ConsoleWindows().empty(); }, 10000))
        << "a capture console stayed";
}

// The whole line runs inside the capture, its "&", "|", quotes and a for
// loop's "%f" included, and each capture starts with a line naming it.
TEST_F(E2E, EditPlusCapturesTheWholeLineAfterAHeaderNamingIt) {
    StartIdle();
    // (Wine's cmd runs what follows "||" even after a success: "&&" here.)
    const std::vector<std::wstring> lines = {
        L"Edit+ echo un & echo deux",
        L"Edit+ dir /b | find \"TXT\"",
        L"Edit+ for %f in ((Commandes*.TXT)) do @echo [%f]",
        L"Edit+ ver > nul && echo \"a & b\"",
    };
    std::optional<std::string> text;
    size_t headers = 0;
    for (const std::wstring& line : lines) {
        Launch(line);
        ++headers;
        // One capture at a time, so that the file reads in the order launched.
        EXPECT_TRUE(WaitUntil(
            [&] {
                text = ReadFileBytes(scratch_ / L"EditCmd.TXT");
                return LinesOf(text.value_or("")).size() > Captured(text).size() + headers - 1 &&
                       program_->ActiveProcesses() <= 2;
            },
            15000))
            << testing::PrintToString(text);
    }
    const std::vector<std::string> all = LinesOf(text.value_or(""));
    const std::regex header(R"(----- \d\d/\d\d/\d{4} \d\d:\d\d:\d\d  (.*))");
    std::vector<std::string> named;
    for (const std::string& l : all)
        if (std::smatch m; std::regex_match(l, m, header))
            named.push_back(m[1]);
    EXPECT_EQ(named, (std::vector<std::string>{"echo un & echo deux", "dir /b | find \"TXT\"",
                                               "for %f in (Commandes*.TXT) do @echo [%f]",
                                               "ver > nul && echo \"a & b\""}))
        << testing::PrintToString(all);
    EXPECT_EQ(Captured(text),
              (std::vector<std::string>{"un", "deux", "CommandesCPL.TXT", "CommandesSyst.TXT",
                                        "EditCmd.TXT", "[CommandesCPL.TXT]", "[CommandesSyst.TXT]",
                                        "\"a & b\""}));
    EXPECT_TRUE(WaitUntil([&] { return ConsoleWindows().empty(); }, 10000))
        << "a part of a line ran in a console of its own";
}

// The capture viewer's windows: their caption names the capture file.
std::vector<HWND> ViewerWindows() {
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows())
        if (IsWindowVisible(h) && ClassOf(h) == kWindowClass &&
            CaptionOf(h).rfind(L"EditCmd.TXT - ", 0) == 0)
            found.push_back(h);
    return found;
}

TEST_F(E2E, EditPlusShowsTheAccentsInOneViewerThatReloads) {
    StartIdle();
    Launch(L"Edit+ echo num\u00E9ro \u00E9t\u00E9");
    HWND viewer = nullptr, text = nullptr;
    auto shows = [&](const std::wstring& wanted) {
        return WaitUntil(
            [&] {
                std::vector<HWND> all = ViewerWindows();
                if (all.size() != 1)
                    return false;
                viewer = all[0];
                text = FindChild(viewer, L"Edit");
                return text && ControlText(text).find(wanted) != std::wstring::npos;
            },
            20000);
    };
    ASSERT_TRUE(shows(L"num\u00E9ro \u00E9t\u00E9"))
        << "viewer shows: " << testing::PrintToString(text ? ControlText(text) : L"<none>");
    const HWND first = viewer;
    EXPECT_EQ(CaptionOf(viewer), L"EditCmd.TXT - " + scratch_.Path());

    // The next capture goes to the same window, which shows it as well.
    Launch(L"Edit+ echo deuxi\u00E8me capture");
    EXPECT_TRUE(shows(L"deuxi\u00E8me capture"))
        << "viewer shows: " << testing::PrintToString(text ? ControlText(text) : L"<none>");
    EXPECT_EQ(viewer, first);
    EXPECT_EQ(ViewerWindows().size(), 1u);
    // The window follows the file and may show the capture before the second
    // viewer has handed over: closed earlier, that one would open its own.
    EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 2; }, 15000))
        << "the second capture's console or viewer is still running";
    EXPECT_EQ(ViewerWindows().size(), 1u);

    PostMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return ViewerWindows().empty(); }, 10000));
    // The viewer only reads: the capture file holds the two outputs, nothing more.
    const std::optional<std::string> bytes = ReadFileBytes(scratch_ / L"EditCmd.TXT");
    EXPECT_EQ(Captured(bytes),
              (std::vector<std::string>{"num\x82ro \x82t\x82", "deuxi\x8Ame capture"}));
}

// A standard user's program asks for "runas", which Wine runs as "open": the
// line still runs in the working folder, whose name survives the parameters,
// and an elevated capture reaches the one viewer.
TEST(E2EAdmin, AdminLineRunsInTheWorkingFolderAndItsCaptureReachesTheViewer) {
    TScratchCopy scratch(L" Mes outils & (d\u00E9p\u00F4t)");
    TProgram program(scratch.Path(), {}, L"", true);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.Id());
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{1};
    DWORD size = 0;
    if (process && OpenProcessToken(process, TOKEN_QUERY, &token)) {
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
        CloseHandle(token);
    }
    CloseHandle(process);
    ASSERT_EQ(elevation.TokenIsElevated, 0u) << "the program must not be elevated already";
    HWND main = program.WaitIdleMainWindow();
    ASSERT_NE(main, nullptr) << testing::PrintToString(program.MessageBoxes());
    TMainWindow window(main);

    window.Type(L"echo ok> marker.txt & rem start ADMIN+");
    ASSERT_TRUE(window.ClickLaunch());
    std::optional<std::string> marker;
    EXPECT_TRUE(WaitUntil(
        [&] {
            marker = ReadFileBytes(scratch / L"marker.txt");
            return marker && marker->find('\n') != std::string::npos;
        },
        15000))
        << "no marker.txt in the working folder";
    EXPECT_EQ(TrimRight(marker.value_or("")), "ok");

    window.Type(L"Admin+ Edit+ echo \u00E9lev\u00E9e");
    ASSERT_TRUE(window.ClickLaunch());
    HWND text = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<HWND> all = ViewerWindows();
            text = all.size() == 1 ? FindChild(all[0], L"Edit") : nullptr;
            return text && ControlText(text).find(L"\u00E9lev\u00E9e") != std::wstring::npos;
        },
        20000))
        << "viewer shows: " << testing::PrintToString(text ? ControlText(text) : L"<none>");
    for (HWND viewer : ViewerWindows())
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return ViewerWindows().empty(); }, 10000));
    EXPECT_TRUE(program.Close());
}

// Started from another folder (a shortcut without a working folder, a full
// path typed in a console) out of a folder named with a blank and an accent:
// the program works from its own folder, where the capture lands and whence
// the viewer starts.
TEST_F(E2E, StartedFromAnotherFolderCapturesBesideItself) {
    TScratchCopy install(L" Mes outils \u00E9t\u00E9");
    const std::wstring elsewhere = scratch_ / L"ailleurs";
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    program_.emplace(install.Path(), std::vector<std::pair<std::wstring, std::wstring>>{},
                     elsewhere);
    HWND main = program_->WaitIdleMainWindow();
    ASSERT_NE(main, nullptr) << testing::PrintToString(program_->MessageBoxes());
    window_.emplace(main);
    Launch(L"Edit+ echo parti d'ailleurs");

    std::vector<HWND> viewers;
    EXPECT_TRUE(WaitUntil(
        [&] {
            viewers = ViewerWindows();
            return viewers.size() == 1;
        },
        20000))
        << "no viewer";
    std::optional<std::string> text;
    EXPECT_TRUE(WaitUntil(
        [&] {
            text = ReadFileBytes(install / L"EditCmd.TXT");
            return !Captured(text).empty();
        },
        15000))
        << "no EditCmd.TXT beside the program";
    EXPECT_EQ(Captured(text), std::vector<std::string>{"parti d'ailleurs"});
    EXPECT_FALSE(PathExists(elsewhere + L"\\EditCmd.TXT"));
    if (viewers.size() == 1) {
        EXPECT_EQ(CaptionOf(viewers[0]), L"EditCmd.TXT - " + install.Path());
        PostMessageW(viewers[0], WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([] { return ViewerWindows().empty(); }, 10000));
    }
    EXPECT_TRUE(program_->Close()) << "the program did not end on WM_CLOSE";
    program_.reset();
}

// The local server answers each request 3 s late while the test runs.
class TSlowServer {
public:
    TSlowServer() {
        if (!PathExists(L"C:\\osh-https\\server.ini"))
            return;
        HANDLE f = CreateFileW(kMode, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ok_ = f != INVALID_HANDLE_VALUE && WriteFile(f, "slow", 4, &written, nullptr);
        CloseHandle(f);
    }
    ~TSlowServer() { DeleteFileW(kMode); }
    // make test starts the server: there, its absence is a failure.
    static bool Required() { return GetEnvironmentVariableA("OSH_REQUIRE_HTTPS", nullptr, 0) > 0; }
    bool Ok() const { return ok_; }

private:
    static constexpr const wchar_t* kMode = L"C:\\osh-https\\mode";
    bool ok_ = false;
};

#define SKIP_OR_FAIL_WITHOUT_SERVER()                                                              \
    do {                                                                                           \
        if (TSlowServer::Required())                                                               \
            FAIL() << "the local HTTPS server is not running";                                     \
        GTEST_SKIP() << "the local HTTPS server is not running";                                   \
    } while (false)

// After a failed start there is no update check: the program ends at the
// pending quit without waiting for the (slow) server.
TEST_F(E2E, AfterAFailedStartTheProgramEndsWithoutAnUpdateCheck) {
    TSlowServer slow;
    if (!slow.Ok())
        SKIP_OR_FAIL_WITHOUT_SERVER();
    ASSERT_TRUE(DeleteFileW((scratch_ / L"CommandesCPL.TXT").c_str()));

    program_.emplace(scratch_.Path());
    HWND error = program_->WaitWindow(kWindowClass, L"Erreur", 15000);
    ASSERT_NE(error, nullptr) << "no error dialog";
    HWND ok = FindChild(error, L"Button", std::wstring(L"OK"));
    ASSERT_NE(ok, nullptr);
    PostMessageW(ok, BM_CLICK, 0, 0);
    // A check would take at least 6 s here (a probe and a download, 3 s each).
    EXPECT_TRUE(program_->WaitExit(4000)) << "the program did not end at the pending quit";
}

// A close asked while the check waits on the server ends the program once the
// check returns: the probe and the download run off the window's thread, so no
// loop of theirs can take the request from its queue.
TEST_F(E2E, CloseDuringTheUpdateCheckEndsTheProgram) {
    TSlowServer slow;
    if (!slow.Ok())
        SKIP_OR_FAIL_WITHOUT_SERVER();
    program_.emplace(scratch_.Path());
    HWND main = program_->WaitWindow(kWindowClass,
                                     L"Orbitashell v " OSH_VERSION_TEXT L" - Recherche", 15000);
    ASSERT_NE(main, nullptr);
    // While the probe waits; the download comes after it.
    Sleep(1000);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program_->WaitExit(20000)) << "the close was lost";
    program_.reset();
}

// A window's pixels as the screen shows them, read through its top-level
// window's DC: under Wine a child's own DC reads blank from another process.
std::vector<COLORREF> ScreenPixels(HWND h) {
    HWND top = GetAncestor(h, GA_ROOT);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, ht = r.bottom - r.top;
    HDC dc = GetDCEx(top, nullptr, DCX_CACHE);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, ht);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, ht, dc, r.left, r.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(top, dc);
    return pixels;
}

// While the check waits on a server that does not answer, the window answers
// other programs at once and is drawn whole, "Lancer" included.
TEST_F(E2E, TheWindowAnswersAndIsDrawnWhileTheCheckWaits) {
    TSlowServer slow;
    if (!slow.Ok())
        GTEST_SKIP() << "the local HTTPS server is not running";
    const std::wstring waiting = L"Orbitashell v " OSH_VERSION_TEXT L" - Recherche";
    program_.emplace(scratch_.Path());
    HWND main = program_->WaitWindow(kWindowClass, waiting, 15000);
    ASSERT_NE(main, nullptr);
    const TMainWindow window(main);
    ASSERT_NE(window.launch, nullptr);
    // Inside the probe, which the server holds 3 s.
    Sleep(1000);
    const std::vector<COLORREF> during = ScreenPixels(window.launch);
    wchar_t text[256] = L"";
    DWORD_PTR n = 0;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_GETTEXT, std::size(text),
                                    reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &n));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(std::wstring(text, n).rfind(waiting, 0), 0u);

    ASSERT_NE(program_->WaitIdleMainWindow(), nullptr);
    const std::vector<COLORREF> drawn = ScreenPixels(window.launch);
    EXPECT_GT(std::set<COLORREF>(drawn.begin(), drawn.end()).size(), 2u) << "a drawn button";
    EXPECT_TRUE(during == drawn) << "\"Lancer\" drawn while the probe waited";
}

TEST_F(E2E, MissingSystFolderShowsErrorThenEnds) {
    ASSERT_TRUE(RemoveTree(scratch_ / L"Syst"));

    program_.emplace(scratch_.Path());
    HWND error = program_->WaitWindow(kWindowClass, L"Erreur", 15000);
    ASSERT_NE(error, nullptr) << "no error dialog";
    EXPECT_EQ(CaptionOf(error), L"Erreur");
    HWND ok = FindChild(error, L"Button", std::wstring(L"OK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(program_->Running()) << "the dialog waits for OK";

    DWORD_PTR result = 0;
    SendMessageTimeoutW(ok, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_TRUE(program_->WaitExit(15000)) << "the program did not end after OK";
}

TEST_F(E2E, EscapeInTheBoxEndsTheProgram) {
    StartIdle();
    window_->Type(L"echo not run");
    // Scan code 1 is Escape's; the loop previews the key before the box sees it.
    PostMessageW(window_->box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(program_->WaitExit(15000)) << "Escape did not close the program";
    EXPECT_EQ(program_->ActiveProcesses(), 0u) << "something was launched";
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// The rows of a list in another process, through the wide message.
std::vector<std::wstring> ListRows(HWND list) {
    std::vector<std::wstring> rows;
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; static_cast<LRESULT>(i) < count; ++i) {
        std::wstring row(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        rows.push_back(row);
    }
    return rows;
}

// A personal list as Notepad saves it, UTF-8 without a mark: the accents show,
// and a row added on disk shows without a restart.
TEST_F(E2E, Utf8PersonalListShowsItsAccentsAndFollowsItsFile) {
    const std::string first = "echo \xC3\xA9t\xC3\xA9 \xE2\x82\xAC (caf\xC3\xA9)\r\n";
    WriteFileBytes(scratch_ / L"Commandes.txt", first);
    StartIdle();
    // The personal list is the lowest of the three.
    HWND custom = nullptr;
    LONG lowest = -1;
    for (HWND h : ChildWindows(window_->form)) {
        RECT r;
        GetWindowRect(h, &r);
        if (_wcsicmp(ClassOf(h).c_str(), L"ComboBox") == 0 && IsWindowVisible(h) && r.top > lowest)
            lowest = r.top, custom = h;
    }
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(ListRows(custom),
              std::vector<std::wstring>{L"echo \u00E9t\u00E9 \u20AC (caf\u00E9)"});

    WriteFileBytes(scratch_ / L"Commandes.txt", first + "echo \xC3\xA7"
                                                        "a\r\n");
    EXPECT_TRUE(WaitUntil([&] { return ListRows(custom).size() == 2; }, 5000));
    EXPECT_EQ(ListRows(custom).back(), L"echo \u00E7a");
}

TEST_F(E2E, MarkedLineRunsFilledIsKeptNewestAndOffersItsValueAfterARestart) {
    WriteFileBytes(scratch_ / L"Historique.txt", "echo ancienne\r\n");
    const std::wstring line = L"Edit+ echo {{mot=bonjour}}";
    StartIdle();
    window_->Type(line);
    PostMessageW(window_->launch, BM_CLICK, 0, 0);
    TCompleter asked(*program_);
    ASSERT_NE(asked.first, nullptr) << "no dialog with a value box";
    EXPECT_EQ(ControlText(asked.first), L"bonjour") << "the default first";
    SetControlText(asked.first, L"monde \u00E9t\u00E9");
    EXPECT_TRUE(asked.Press(L"OK")) << "the dialog stayed";

    std::optional<std::string> text;
    EXPECT_TRUE(WaitUntil(
        [&] {
            text = ReadFileBytes(scratch_ / L"EditCmd.TXT");
            return !Captured(text).empty();
        },
        15000))
        << "the filled line did not run";
    EXPECT_EQ(Captured(text), std::vector<std::string>{"monde \x82t\x82"});
    // Ran after the launch, Windows-1252, oldest first: the line as it ran, marks filled.
    const std::string history = "echo ancienne\r\nEdit+ echo monde \xE9t\xE9\r\n";
    EXPECT_EQ(ReadFileBytes(scratch_ / L"Historique.txt").value_or(""), history);
    EXPECT_EQ(window_->Line(), line) << "the box keeps the marks";
    ASSERT_TRUE(program_->Close());

    StartIdle();
    window_->Type(line);
    PostMessageW(window_->launch, BM_CLICK, 0, 0);
    TCompleter again(*program_);
    ASSERT_NE(again.first, nullptr) << "no dialog after the restart";
    EXPECT_EQ(ControlText(again.first), L"monde \u00E9t\u00E9") << "the value last used";
    EXPECT_TRUE(again.Press(L"Annuler")) << "the dialog stayed";
    EXPECT_EQ(window_->Line(), line);
    EXPECT_EQ(ReadFileBytes(scratch_ / L"Historique.txt").value_or(""), history)
        << "a cancelled line ran";
}

// Two windows in one folder run lines in turn, from a history damaged by a
// NUL: the first to write keeps the old file aside and says so, once; the
// file then keeps every line, the old ones on both sides of the NUL first,
// then those of both windows in the order they ran.
TEST_F(E2E, TwoWindowsRunningLinesInTurnKeepEveryLineInOneHistory) {
    const std::string damaged = std::string("ancienne 1\r\n") + '\0' + "ancienne 2\r\n";
    WriteFileBytes(scratch_ / L"Historique.txt", damaged);
    StartIdle();
    TProgram other(scratch_.Path());
    HWND otherMain = other.WaitIdleMainWindow();
    ASSERT_NE(otherMain, nullptr);
    const TMainWindow b(otherMain);
    // "start" makes tool lines, whose consoles close by themselves.
    const std::vector<std::wstring> lines = {L"echo b1 & rem start", L"echo a1 & rem start",
                                             L"echo b2 & rem start", L"echo a2 & rem start"};
    b.Type(lines[0]);
    PostMessageW(b.launch, BM_CLICK, 0, 0);
    HWND told = other.WaitWindow(kWindowClass, L"Erreur", 15000);
    ASSERT_NE(told, nullptr) << "the old file was not said to be kept aside";
    PostMessageW(FindChild(told, L"Button", std::wstring(L"OK")), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(told); }, 10000));
    Launch(lines[1]);
    b.Type(lines[2]);
    ASSERT_TRUE(b.ClickLaunch());
    Launch(lines[3]);
    EXPECT_EQ(program_->WaitWindow(kWindowClass, L"Erreur", 500), nullptr) << "said twice";

    std::string want = "ancienne 1\r\nancienne 2\r\n";
    for (const std::wstring& line : lines)
        want += std::string(line.begin(), line.end()) + "\r\n";
    EXPECT_EQ(ReadFileBytes(scratch_ / L"Historique.txt").value_or(""), want);
    EXPECT_EQ(ReadFileBytes(scratch_ / L"Historique (sauvegarde).txt").value_or(""), damaged);
    EXPECT_TRUE(WaitUntil([&] { return ConsoleWindows().empty(); }, 10000));
    EXPECT_TRUE(other.Close());
}

// A row's example typed with its comment: the box takes the comment out,
// keeps the doubled parentheses, and the line runs with them single; the
// history keeps them doubled, to run the line again the same way.
TEST_F(E2E, DoubledParenthesesRunAsOne) {
    StartIdle();
    window_->Type(L"for %i in ((*.txt)) do echo %i (Lister les fichiers texte)");
    const std::wstring line = window_->Line();
    ASSERT_EQ(line.rfind(L"for %i in ((*.txt)) do echo %i", 0), 0u);
    ASSERT_EQ(line.find(L"Lister"), std::wstring::npos) << "the comment stays in the box";
    ASSERT_TRUE(window_->ClickLaunch());

    const std::vector<std::wstring> shown = ConsoleOnceDone();
    for (const wchar_t* name : {L"CommandesCPL.TXT", L"LISEZMOI.txt"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end())
            << testing::PrintToString(name) << " not listed in " << testing::PrintToString(shown);
    EXPECT_EQ(ReadFileBytes(scratch_ / L"Historique.txt").value_or(""),
              std::string(line.begin(), line.end()) + "\r\n");
    for (HWND console : ConsoleWindows())
        PostMessageW(console, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 1; }, 10000));
}

// A loop pasted as copied from a web page goes in with its parentheses
// doubled, and lists the text files as it would typed in a console.
TEST_F(E2E, PastedLoopRunsAsCopied) {
    StartIdle();
    ASSERT_TRUE(window_->Paste(L"for %f in (*.txt) do @echo %f\r\necho second"));
    ASSERT_EQ(window_->Line(), L"for %f in ((*.txt)) do @echo %f");
    ASSERT_TRUE(window_->ClickLaunch());
    const std::vector<std::wstring> shown = ConsoleOnceDone();
    for (const wchar_t* name : {L"CommandesCPL.TXT", L"CommandesSyst.TXT", L"LISEZMOI.txt"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end())
            << testing::PrintToString(name) << " not listed in " << testing::PrintToString(shown);
    for (HWND console : ConsoleWindows())
        PostMessageW(console, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return program_->ActiveProcesses() == 1; }, 10000));
}

} // namespace

namespace {

// The folder the archive was unpacked into, as Wine sees it.
std::wstring UnpackedFolder() {
    std::wstring path = L"Z:";
    for (const char* p = OSH_UNPACKED_DIR; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path + L"\\Orbitashell";
}

// orbitashell.zip as a user gets it, unpacked into an empty folder (CTest's
// unpack_dist): everything the program needs is in it, and it runs from there.
TEST(Archive, UnpackedIntoAnEmptyFolderRunsWithTheViewerInPlace) {
    const std::wstring folder = UnpackedFolder();
    for (const wchar_t* name :
         {L"Orbitashell.exe", L"CommandesCPL.TXT", L"CommandesSyst.TXT", L"Syst\\Driver\\oshv.exe"})
        EXPECT_TRUE(PathExists(folder + L"\\" + name)) << testing::PrintToString(name);

    TProgram program(folder);
    HWND main = program.WaitIdleMainWindow();
    ASSERT_NE(main, nullptr) << testing::PrintToString(program.MessageBoxes());
    TMainWindow window(main);
    EXPECT_NE(window.box, nullptr);
    EXPECT_NE(window.launch, nullptr);
    EXPECT_TRUE(program.MessageBoxes().empty()) << testing::PrintToString(program.MessageBoxes());
    EXPECT_TRUE(program.Close()) << "the program did not end on WM_CLOSE";
}

// Unzipped into a folder named in Cyrillic letters, which Windows-1252 lacks,
// and started by a standard user from another folder: the lists fill, a line
// with a value runs as administrator in the program's folder and is kept
// there with its value, and a capture lands there and reaches the viewer.
TEST(E2EFolder, NamedInCyrillicTheProgramWorksFromIt) {
    TScratchCopy scratch(L" \u041E\u0440\u0431\u0438\u0442\u0430");
    TProgram program(scratch.Path(), {}, scratch / L"Syst", true);
    HWND main = program.WaitIdleMainWindow();
    ASSERT_NE(main, nullptr) << testing::PrintToString(program.MessageBoxes());
    EXPECT_GT(ListRows(FindChild(main, L"ComboBox")).size(), 10u);
    TMainWindow window(main);
    window.Type(L"echo {{mot=ok}}> marker.txt & rem start ADMIN+");
    PostMessageW(window.launch, BM_CLICK, 0, 0);
    EXPECT_TRUE(TCompleter(program).Press(L"OK")) << "the dialog stayed";
    window.Type(L"Edit+ echo captur\u00E9");
    ASSERT_TRUE(window.ClickLaunch());
    std::optional<std::string> text;
    EXPECT_TRUE(WaitUntil(
        [&] {
            text = ReadFileBytes(scratch / L"EditCmd.TXT");
            return ViewerWindows().size() == 1 && ReadFileBytes(scratch / L"marker.txt");
        },
        20000))
        << testing::PrintToString(program.MessageBoxes());
    EXPECT_EQ(Captured(text), std::vector<std::string>{"captur\x82"});
    EXPECT_EQ(TrimRight(ReadFileBytes(scratch / L"marker.txt").value_or("")), "ok");
    EXPECT_NE(ReadFileBytes(scratch / L"Orbitashell.ini").value_or("").find("mot=\"ok\""),
              std::string::npos);
    EXPECT_TRUE(ReadFileBytes(scratch / L"Historique.txt").has_value());
    for (HWND viewer : ViewerWindows())
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.Close());
}

// TEMP and TMP in a folder named in Cyrillic letters: the capture's batch file
// goes where the console's %temp% points, and the update check's copy of the
// version file lands there too, nowhere else, and without an error.
TEST_F(E2E, TempNamedInCyrillicCapturesAndChecksForAnUpdate) {
    const std::wstring temp = scratch_ / L"\u0422\u0435\u043C\u043F";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    StartIdle({{L"TEMP", temp}, {L"TMP", temp}});
    Launch(L"Edit+ echo temporaire");
    EXPECT_TRUE(WaitUntil([&] { return ViewerWindows().size() == 1; }, 20000));
    EXPECT_EQ(Captured(ReadFileBytes(scratch_ / L"EditCmd.TXT")),
              std::vector<std::string>{"temporaire"});
    EXPECT_EQ(PathExists(temp + L"\\Versiosh.txt"), PathExists(L"C:\\osh-https\\server.ini"));
    EXPECT_TRUE(program_->MessageBoxes().empty())
        << testing::PrintToString(program_->MessageBoxes());
}

} // namespace
