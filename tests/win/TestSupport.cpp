#include "TestSupport.h"

#include "ui/Form.h"
#include "ui/MessageDialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The program's manifest asks for version 6 of the common controls; the test
// program has none, so the same request is made here through an activation
// context, and the controls under test are the ones the program gets.
const char kCommonControls6[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
    "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
    "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
    "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>"
    "</assembly>\r\n";

// One application object for the whole test program, as in the real one.
class TApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        std::string manifest = std::string(temp) + "osh-win-tests-" +
                               std::to_string(GetCurrentProcessId()) + ".manifest";
        WriteBytes(manifest, kCommonControls6);
        ACTCTXA ctx{};
        ctx.cbSize = sizeof ctx;
        ctx.lpSource = manifest.c_str();
        context_ = CreateActCtxA(&ctx);
        DeleteFileA(manifest.c_str());
        ASSERT_NE(context_, INVALID_HANDLE_VALUE) << "common controls 6 not available";
        ASSERT_TRUE(ActivateActCtx(context_, &cookie_));
        app_ = new TApplication();
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
        if (cookie_)
            DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context_);
    }

private:
    TApplication* app_ = nullptr;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

testing::Environment* const applicationEnvironment =
    testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

TDialogWatcher* activeWatcher = nullptr;

std::string WindowText(HWND h) {
    char buf[4096];
    int n = GetWindowTextA(h, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

TRecordingSystem::TRecordingSystem() {
    SetSystem(this);
}
TRecordingSystem::~TRecordingSystem() {
    SetSystem(nullptr);
}

void TRecordingSystem::ShellOpen(HWND owner, const char* verb, const std::string& file,
                                 const char* parameters, const char* directory, int show) {
    TShellCall c;
    c.owner = owner;
    if (verb)
        c.verb = verb;
    c.file = file;
    if (parameters)
        c.parameters = parameters;
    if (directory)
        c.directory = directory;
    c.show = show;
    ShellCalls.push_back(c);
}

DWORD TRecordingSystem::ShellRun(HWND owner, const char* verb, const std::string& file,
                                 const std::string& parameters, int show) {
    ShellOpen(owner, verb, file, parameters.c_str(), nullptr, show);
    return ShellError;
}

bool TRecordingSystem::IsElevated() {
    return Elevated;
}

std::string TRecordingSystem::CurrentFolder() {
    return WorkingFolder ? *WorkingFolder : TSystem::CurrentFolder();
}

void TRecordingSystem::Beep(UINT type) {
    Beeps.push_back(type);
}

std::optional<std::string> TRecordingSystem::Environment(const std::string& name) {
    if (auto it = Env.find(name); it != Env.end())
        return it->second;
    return TSystem::Environment(name);
}

std::optional<std::wstring> TRecordingSystem::WideEnvironment(const std::string& name) {
    if (auto it = Env.find(name); it != Env.end())
        return it->second ? std::optional(Widened(*it->second)) : std::nullopt;
    return TSystem::WideEnvironment(name);
}

std::wstring TRecordingSystem::TempPath() {
    return Temp ? Widened(*Temp) : TSystem::TempPath();
}

std::wstring TRecordingSystem::ExecutablePath() {
    return ExePath ? *ExePath : TSystem::ExecutablePath();
}

std::wstring TRecordingSystem::ShortPath(const std::wstring& path) {
    return ShortNames ? TSystem::ShortPath(path) : std::wstring();
}

TDialogWatcher::TDialogWatcher() {
    activeWatcher = this;
    timer_ = SetTimer(nullptr, 0, 30, &TDialogWatcher::Tick);
}

TDialogWatcher::~TDialogWatcher() {
    KillTimer(nullptr, timer_);
    if (activeWatcher == this)
        activeWatcher = nullptr;
}

BOOL CALLBACK TDialogWatcher::Visit(HWND h, LPARAM) {
    if (!activeWatcher || !IsWindowVisible(h) || !IsWindowEnabled(h))
        return TRUE;
    char cls[64];
    GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0) {
        TSeenDialog d{WindowText(h), WindowText(GetDlgItem(h, 0xFFFF))};
        activeWatcher->Seen.push_back(d);
        PostMessageA(h, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    if (auto* e = dynamic_cast<TErrorDialog*>(TWinControl::FromHandle(h)); e && e->Modal()) {
        if (e->ModalResult == mrNone) {
            activeWatcher->Seen.push_back({e->Caption(), e->lblMessage.Caption()});
            e->btnOK.Click();
        }
    }
    return TRUE;
}

void CALLBACK TDialogWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &TDialogWatcher::Visit, 0);
}

void PumpMessages(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue; // a test's own quit request is not the test program's
            Application->DispatchOne(msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

std::string MakeScratchDir(const std::string& tag) {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "osh-" + tag + "-" +
                      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
}

std::optional<std::string> ReadBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string s;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

TDib::TDib(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    RECT r{0, 0, width, height};
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc_, &r, b);
    DeleteObject(b);
}

TDib::~TDib() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF TDib::Pixel(int x, int y) const {
    GdiFlush();
    std::uint32_t v = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                            static_cast<size_t>(x)]; // 0x00RRGGBB in memory order BGRA
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

namespace {
TBoxRecorder* activeRecorder = nullptr;

HICON IconOfBox(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 &&
            (GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0));
    }
    return nullptr;
}

size_t BeepsSoFar() {
    auto* rec = dynamic_cast<TRecordingSystem*>(&Sys());
    return rec ? rec->Beeps.size() : 0;
}
} // namespace

TBoxRecorder::TBoxRecorder() {
    activeRecorder = this;
    hook_ =
        SetWindowsHookExA(WH_CALLWNDPROCRET, &TBoxRecorder::Hook, nullptr, GetCurrentThreadId());
}

TBoxRecorder::~TBoxRecorder() {
    UnhookWindowsHookEx(hook_);
    if (activeRecorder == this)
        activeRecorder = nullptr;
}

LRESULT CALLBACK TBoxRecorder::Hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && activeRecorder) {
        const auto& m = *reinterpret_cast<const CWPRETSTRUCT*>(lp);
        char cls[64] = "";
        GetClassNameA(m.hwnd, cls, sizeof cls);
        if (m.message == WM_INITDIALOG && strcmp(cls, "#32770") == 0) {
            activeRecorder->Shown.push_back({WindowTextOf(m.hwnd),
                                             WindowTextOf(GetDlgItem(m.hwnd, 0xFFFF)), true,
                                             IconOfBox(m.hwnd), BeepsSoFar()});
        } else if (m.message == WM_SHOWWINDOW && m.wParam) {
            if (auto* e = dynamic_cast<TErrorDialog*>(TWinControl::FromHandle(m.hwnd)))
                activeRecorder->Shown.push_back(
                    {e->Caption(), e->lblMessage.Caption(), false, e->imgIcon.Icon, BeepsSoFar()});
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool TakeQuitRequest(int* exitCode) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (exitCode)
        *exitCode = static_cast<int>(msg.wParam);
    return true;
}

bool PumpUntilQuit(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return true;
            Application->DispatchOne(msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
    return false;
}

std::vector<TTooltipTool> TooltipTools(HWND form) {
    std::vector<TTooltipTool> tools;
    struct Search {
        HWND owner;
        HWND tip = nullptr;
    } search{form};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[64];
            GetClassNameA(h, cls, sizeof cls);
            if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && GetWindow(h, GW_OWNER) == s->owner) {
                s->tip = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.tip)
        return tools;
    int n = static_cast<int>(SendMessageA(search.tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[1024] = "";
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.lpszText = text;
        if (!SendMessageA(search.tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&ti)))
            continue;
        tools.push_back({ti.uId, (ti.uFlags & TTF_IDISHWND) != 0, ti.rect, text});
    }
    return tools;
}

std::string WindowTextOf(HWND h) {
    return WindowText(h);
}

namespace {

long gFonts = 0, gCreated = 0, gDeleted = 0;

struct TImport {
    const char* name;
    ULONG_PTR replacement;
    ULONG_PTR original = 0;
};

HFONT WINAPI CountedFontIndirectA(const LOGFONTA* lf);
HPEN WINAPI CountedPen(int style, int width, COLORREF color);
HBRUSH WINAPI CountedSolidBrush(COLORREF color);
HBITMAP WINAPI CountedDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits,
                                 HANDLE section, DWORD offset);
HDC WINAPI CountedCompatibleDC(HDC dc);
BOOL WINAPI CountedDeleteObject(HGDIOBJ object);
BOOL WINAPI CountedDeleteDC(HDC dc);

TImport gImports[] = {
    {"CreateFontIndirectA", reinterpret_cast<ULONG_PTR>(&CountedFontIndirectA)},
    {"CreatePen", reinterpret_cast<ULONG_PTR>(&CountedPen)},
    {"CreateSolidBrush", reinterpret_cast<ULONG_PTR>(&CountedSolidBrush)},
    {"CreateDIBSection", reinterpret_cast<ULONG_PTR>(&CountedDIBSection)},
    {"CreateCompatibleDC", reinterpret_cast<ULONG_PTR>(&CountedCompatibleDC)},
    {"DeleteObject", reinterpret_cast<ULONG_PTR>(&CountedDeleteObject)},
    {"DeleteDC", reinterpret_cast<ULONG_PTR>(&CountedDeleteDC)},
};

template <class F> F Original(size_t i) {
    return reinterpret_cast<F>(gImports[i].original);
}

HFONT WINAPI CountedFontIndirectA(const LOGFONTA* lf) {
    ++gFonts;
    ++gCreated;
    return Original<decltype(&CountedFontIndirectA)>(0)(lf);
}
HPEN WINAPI CountedPen(int style, int width, COLORREF color) {
    ++gCreated;
    return Original<decltype(&CountedPen)>(1)(style, width, color);
}
HBRUSH WINAPI CountedSolidBrush(COLORREF color) {
    ++gCreated;
    return Original<decltype(&CountedSolidBrush)>(2)(color);
}
HBITMAP WINAPI CountedDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits,
                                 HANDLE section, DWORD offset) {
    ++gCreated;
    return Original<decltype(&CountedDIBSection)>(3)(dc, bmi, usage, bits, section, offset);
}
HDC WINAPI CountedCompatibleDC(HDC dc) {
    ++gCreated;
    return Original<decltype(&CountedCompatibleDC)>(4)(dc);
}
BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    ++gDeleted;
    return Original<decltype(&CountedDeleteObject)>(5)(object);
}
BOOL WINAPI CountedDeleteDC(HDC dc) {
    ++gDeleted;
    return Original<decltype(&CountedDeleteDC)>(6)(dc);
}

// Points gdi32's import slots of this executable at the counters (install)
// or back at gdi32 (restore).
void PatchImports(bool install) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        if (_stricmp(reinterpret_cast<const char*>(base + imp->Name), "gdi32.dll") != 0)
            continue;
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (TImport& i : gImports) {
                if (strcmp(reinterpret_cast<const char*>(byName->Name), i.name) != 0)
                    continue;
                DWORD protection = 0;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                               &protection);
                if (install) {
                    i.original = slots->u1.Function;
                    slots->u1.Function = i.replacement;
                } else if (i.original) {
                    slots->u1.Function = i.original;
                }
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection,
                               &protection);
            }
        }
    }
}

} // namespace

TGdiCounter::TGdiCounter() {
    gFonts = gCreated = gDeleted = 0;
    PatchImports(true);
}
TGdiCounter::~TGdiCounter() {
    PatchImports(false);
}
long TGdiCounter::Fonts() const {
    return gFonts;
}
long TGdiCounter::Created() const {
    return gCreated;
}
long TGdiCounter::Deleted() const {
    return gDeleted;
}
