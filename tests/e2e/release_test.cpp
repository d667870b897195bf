// The program users download: orbitashell.zip of the release build, unpacked,
// run under Wine with its traces of WinINet and ShellExecute on. What it asks
// of the network and of the shell is read back from those traces, so no
// Internet is needed and the program is the one that ships, not a test build.
#include "Driver.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
    // What the program opened through ShellExecute since the last look.
    std::vector<std::string> Opened() { return NewValues("trace:exec:SHELL_execute", "file="); }
    // The addresses it asked of WinINet since the last look.
    std::vector<std::string> Asked() { return NewValues("trace:wininet:InternetOpenUrlW (", ", "); }

private:
    std::wstring path_;
    size_t seen_ = 0;
};

HWND VisibleWindowOf(DWORD pid, const std::wstring& cls) {
    for (HWND h : TopLevelWindows())
        if (ProcessOf(h) == pid && IsWindowVisible(h) && ClassOf(h) == cls)
            return h;
    return nullptr;
}

TEST(Release, AsksTheRealAddresses) {
    TTrace trace;
    ASSERT_TRUE(trace.Available()) << "no trace file: run through CTest (OSH_WINE_STDERR)";
    const std::wstring folder = WinePath(OSH_UNPACKED_DIR) + L"\\Orbitashell";
    ASSERT_TRUE(PathExists(folder + L"\\Orbitashell.exe"));

    TProgram program(folder, {{L"WINEDEBUG", L"+wininet,+exec"}});
    // There is no network here: the probe fails and the program goes offline.
    HWND main = program.WaitIdleMainWindow(60000);
    ASSERT_NE(main, nullptr) << testing::PrintToString(program.MessageBoxes());
    EXPECT_EQ(trace.Asked(), std::vector<std::string>{"https://www.wikipedia.org/index.html"});

    // The publisher's label, a windowless control at 19,266 of the design.
    HDC dc = GetDC(main);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(main, dc);
    const LPARAM at = MAKELPARAM(MulDiv(30, dpi, 96), MulDiv(272, dpi, 96));
    PostMessageW(main, WM_MOUSEMOVE, 0, at);
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(main, WM_LBUTTONUP, 0, at);
    std::vector<std::string> opened;
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"https://www.orbitashell.fr"});

    // F1 opens the information menu; its last entry is the web site.
    TMainWindow window(main);
    PostMessageW(window.box, WM_KEYDOWN, VK_F1, 0x003B0001);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = VisibleWindowOf(program.Id(), L"#32768")); }, 10000))
        << "F1 did not open the information menu";
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0x01480001);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    WaitUntil([&] { return !(opened = trace.Opened()).empty(); }, 10000);
    EXPECT_EQ(opened, std::vector<std::string>{"https://www.orbitashell.fr/orbitashell.php"});

    EXPECT_TRUE(program.Close()) << "the program did not end on WM_CLOSE";
}

} // namespace
