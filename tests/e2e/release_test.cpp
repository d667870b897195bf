// The program users download: orbitashell.zip of the release build, unpacked,
// run under Wine with its traces of WinINet and ShellExecute on. What it asks
// of the network and of the shell is read back from those traces, so no
// Internet is needed and the program is the one that ships, not a test build.
#include "Driver.h"

#include <dbghelp.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

namespace {

std::wstring WinePath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

// Wine's standard error, which tools/wine-run.sh sends to a file for this test.
class TTrace {
public:
    TTrace() {
        const char* file = std::getenv("OSH_WINE_STDERR");
        if (file)
            path_ = WinePath(file);
    }
    bool Available() const { return !path_.empty() && PathExists(path_); }

    // The first quoted value after key on each new line that names function,
    // from lines written since the last call.
    std::vector<std::string> NewValues(const std::string& function, const std::string& key) {
        const std::string text = ReadFileBytes(path_).value_or("");
        std::vector<std::string> values;
        size_t start = seen_;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = text.substr(start, end - start);
            if (line.find(function) == std::string::npos)
                continue;
            const size_t at = line.find(key + "L\"");
            if (at == std::string::npos)
                continue;
            const size_t open = at + key.size() + 2;
            values.push_back(line.substr(open, line.find('"', open) - open));
        }
        seen_ = start;
        return values;
    }
    bool Holds(const std::string& text) const {
        return ReadFileBytes(path_).value_or("").find(text) != std::string::npos;
    }
    // What the program opened through ShellExecute since the last look.
    std::vector<std::string> Opened() { return NewValues("trace:exec:SHELL_execute", "file="); }
    // The addresses it asked of WinINet since the last look.
    std::vector<std::string> Asked() { return NewValues("trace:wininet:InternetOpenUrlW (", ", "); }

private:
    std::wstring path_;
    size_t seen_ = 0;
};

HWND VisibleWindowOf(DWORD pid, const std::wstring& cls, const std::wstring& caption = L"") {
    for (HWND h : TopLevelWindows())
        if (ProcessOf(h) == pid && IsWindowVisible(h) && ClassOf(h) == cls &&
            (caption.empty() || CaptionOf(h) == caption))
            return h;
    return nullptr;
}

// Every file under folder, as "sub\\name" paths, with their sizes.
void ListFiles(const std::wstring& folder, const std::wstring& prefix,
               std::vector<std::pair<std::wstring, ULONGLONG>>& files) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder + L"\\" + name, prefix + name + L"\\", files);
        else
            files.emplace_back(prefix + name,
                               (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// A click on a windowless label at x, y of the design, in window's client area.
void ClickAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    const LPARAM at = MAKELPARAM(MulDiv(x, dpi, 96), MulDiv(y, dpi, 96));
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

// A program file, read with dbghelp, which maps the addresses its headers
// give (RVAs) to the file.
class TImage {
public:
    explicit TImage(const std::wstring& path) : file_(ReadFileBytes(path).value_or("")) {
        nt_ = file_.empty() ? nullptr : ImageNtHeader(file_.data());
    }
    bool Valid() const { return nt_ && nt_->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC; }
    const std::string& File() const { return file_; }

    // "DLL!function" of each slot of the import address table, by its address.
    std::map<DWORD, std::string> Imports() {
        std::map<DWORD, std::string> slots;
        const auto& table = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(table.VirtualAddress); d && d->Name; ++d) {
            const DWORD names = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
            for (DWORD i = 0; At<ULONGLONG>(names + 8 * i) && *At<ULONGLONG>(names + 8 * i); ++i) {
                const ULONGLONG name = *At<ULONGLONG>(names + 8 * i);
                slots[d->FirstThunk + 8 * i] =
                    std::string(At<char>(d->Name)) + "!" +
                    (name & IMAGE_ORDINAL_FLAG64 ? "#" + std::to_string(name & 0xFFFF)
                                                 : At<char>(static_cast<DWORD>(name) + 2));
            }
        }
        return slots;
    }

    // The import the entry point calls first, and the value it passes in ECX.
    // Only the instructions a prologue holds before that call are read: any
    // other stops the reading.
    std::string FirstCall(DWORD& ecx) {
        for (DWORD at = nt_->OptionalHeader.AddressOfEntryPoint; At<DWORD>(at + 2);) {
            const auto* code = At<unsigned char>(at);
            if (code[0] == 0x48 && code[1] == 0x83 && code[2] == 0xEC) // sub rsp, imm8
                at += 4;
            else if (code[0] == 0xB9) // mov ecx, imm32
                ecx = *At<DWORD>(at + 1), at += 5;
            else if (code[0] == 0xFF && code[1] == 0x15) { // call [rip + disp32]
                const auto slots = Imports();
                const auto found = slots.find(at + 6 + *At<DWORD>(at + 2));
                return found == slots.end() ? "a call through no import" : found->second;
            } else
                return "instruction byte " + std::to_string(code[0]);
        }
        return "the end of the image";
    }

private:
    template <class T> const T* At(DWORD rva) {
        return static_cast<const T*>(ImageRvaToVa(nt_, file_.data(), rva, nullptr));
    }
    std::string file_;
    IMAGE_NT_HEADERS* nt_;
};

// DLLs that Windows 10 and 11 always take from the system folder: the values
// of HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs there,
// less the WOW64 emulation's own.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "clbcatq.dll",  "combase.dll",  "comdlg32.dll", "coml2.dll",    "difxapi.dll",
    "gdi32.dll",    "gdiplus.dll",  "imagehlp.dll", "imm32.dll",    "kernel32.dll", "msctf.dll",
    "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ole32.dll",    "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",   "shell32.dll",  "shlwapi.dll",
    "user32.dll",   "wldap32.dll",  "ws2_32.dll"};

// People unzip the archive where their browser saves files, beside whatever
// else was saved there, and Windows looks for a DLL outside its known ones
// first in the program's own folder. So each program imports at its start
// known DLLs only, and the common controls 6 its manifest names (taken side
// by side from the system's store), and its first call limits every later
// load to the system folder.
TEST(Release, ProgramsLoadNoDllFromTheirOwnFolder) {
    const std::wstring folder = WinePath(OSH_UNPACKED_DIR) + L"\\Orbitashell\\";
    for (const wchar_t* program : {L"Orbitashell.exe", L"Syst\\Driver\\oshv.exe"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(program)));
        TImage image(folder + program);
        ASSERT_TRUE(image.Valid()) << "not a 64-bit program file";
        std::set<std::string> dlls;
        for (const auto& [slot, import] : image.Imports())
            dlls.insert(CharLowerA(import.substr(0, import.find('!')).data()));
        EXPECT_TRUE(dlls.count("kernel32.dll")) << "import table not read";
        const bool commonControls6 =
            image.File().find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") !=
            std::string::npos;
        for (const std::string& dll : dlls)
            EXPECT_TRUE(kKnownDlls.count(dll) || (dll == "comctl32.dll" && commonControls6))
                << dll << " may be loaded from beside the program";
        DWORD ecx = 0;
        EXPECT_EQ(image.FirstCall(ecx), "KERNEL32.dll!SetDefaultDllDirectories");
        EXPECT_EQ(ecx, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
}

// The archive holds what the README's distribution lists, and the program
// keeps the size the release notes give it ("moins de 512 Ko").
TEST(Release, ArchiveHoldsTheDistributionAndNothingElse) {
    std::vector<std::pair<std::wstring, ULONGLONG>> files;
    ListFiles(WinePath(OSH_UNPACKED_DIR), L"", files);
    std::set<std::wstring> names;
    for (const auto& [name, size] : files) {
        names.insert(name);
        if (name == L"Orbitashell\\Orbitashell.exe") {
            EXPECT_LE(size, 512u * 1024u) << "the release notes promise less than 512 KiB";
        }
    }
    const std::set<std::wstring> expected = {
        L"Orbitashell\\Orbitashell.exe",        L"Orbitashell\\CommandesCPL.TXT",
        L"Orbitashell\\CommandesSyst.TXT",      L"Orbitashell\\LISEZMOI.txt",
        L"Orbitashell\\Syst\\Driver\\oshv.exe",
    };
    EXPECT_EQ(names, expected);
}

TEST(Release, AsksTheRealAddresses) {
    TTrace trace;
    ASSERT_TRUE(trace.Available()) << "no trace file: run through CTest (OSH_WINE_STDERR)";
    const std::wstring folder = WinePath(OSH_UNPACKED_DIR) + L"\\Orbitashell";
    ASSERT_TRUE(PathExists(folder + L"\\Orbitashell.exe"));

    TProgram program(folder, {{L"WINEDEBUG", L"+wininet,+exec"}});
    // The test's proxy answers nothing: the probe fails and the program goes offline.
    HWND main = program.WaitIdleMainWindow(60000);
    ASSERT_NE(main, nullptr) << testing::PrintToString(program.MessageBoxes());
    EXPECT_EQ(trace.Asked(), std::vector<std::string>{"https://www.wikipedia.org/index.html"});
    // ...through the proxy, and so to no other host, connected runner or not.
    EXPECT_TRUE(trace.Holds("HTTP_DealWithProxy proxy server=L\"127.0.0.1\" port=9"))
        << "the probe went past the test's proxy (http_proxy)";

    // The publisher's label, a windowless control at 19,266 of the design.
    ClickAt(main, 30, 272);
    std::vector<std::string> opened;
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"https://www.orbitashell.fr"});

    // F1 opens the information menu; the web site is the entry above its
    // separator (Up skips it), below which the program is kept at hand.
    TMainWindow window(main);
    PostMessageW(window.box, WM_KEYDOWN, VK_F1, 0x003B0001);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = VisibleWindowOf(program.Id(), L"#32768")); }, 10000))
        << "F1 did not open the information menu";
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0x01480001);
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0x01480001);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"https://www.orbitashell.fr/orbitashell.php"});

    // The first entry opens the About box, whose site and mail are two
    // windowless links on its panel, a window at 12,12 of the design.
    PostMessageW(window.box, WM_KEYDOWN, VK_F1, 0x003B0001);
    ASSERT_TRUE(
        WaitUntil([&] { return (menu = VisibleWindowOf(program.Id(), L"#32768")); }, 10000));
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0x01500001);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (about = VisibleWindowOf(program.Id(), L"ToolkitWindow", L"A propos...")); },
        10000))
        << "the first entry did not open the About box";
    RECT panelRect;
    HWND panel = GetWindow(about, GW_CHILD);
    for (; panel; panel = GetWindow(panel, GW_HWNDNEXT)) {
        GetWindowRect(panel, &panelRect);
        if (panelRect.right - panelRect.left > 300)
            break;
    }
    ASSERT_NE(panel, nullptr) << "no panel in the About box";
    ClickAt(panel, 110, 56);
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"http://www.orbitashell.fr"});
    ClickAt(panel, 210, 86);
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"mailto:julien.marchal@orbitashell.fr"});
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }, 10000));

    EXPECT_TRUE(program.Close()) << "the program did not end on WM_CLOSE";
}

} // namespace
