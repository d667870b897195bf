#include "Driver.h"

#include "osh/Version.h"

#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace {

const wchar_t kWindowClass[] = L"ToolkitWindow";

std::wstring Widen(const char* s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? static_cast<size_t>(n - 1) : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    return w;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    if (!CreateDirectoryW(to.c_str(), nullptr))
        throw std::runtime_error("cannot create the scratch folder");
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot list the distribution folder");
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        } else if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), TRUE)) {
            FindClose(find);
            throw std::runtime_error("cannot copy the distribution folder");
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

BOOL CALLBACK Collect(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

// This process's environment block with some variables replaced or added.
std::wstring EnvironmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& env) {
    std::wstring block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* p = own; *p; p += lstrlenW(p) + 1) {
        std::wstring entry = p;
        bool replaced = false;
        for (const auto& [name, value] : env)
            replaced |=
                entry.size() > name.size() && entry[name.size()] == L'=' &&
                CompareStringOrdinal(entry.c_str(), static_cast<int>(name.size()), name.c_str(),
                                     static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
        if (!replaced)
            block += entry + L'\0';
    }
    FreeEnvironmentStringsW(own);
    for (const auto& [name, value] : env)
        block += name + L"=" + value + L'\0';
    return block + L'\0';
}

bool StartsWith(const std::wstring& s, const std::wstring& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

bool WaitUntil(const std::function<bool()>& pred, DWORD ms, DWORD step) {
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(step);
    }
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256];
    int n = GetClassNameW(h, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring CaptionOf(HWND h) {
    wchar_t buf[1024];
    int n = InternalGetWindowText(h, buf, 1024);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring ControlText(HWND h) {
    wchar_t buf[4096];
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000,
                             &n))
        return L"<no answer>";
    return std::wstring(buf, n);
}

void SetControlText(HWND h, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        10000, &result);
}

DWORD ProcessOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindChild(HWND parent, const std::wstring& cls, const std::optional<std::wstring>& caption) {
    for (HWND h : ChildWindows(parent))
        if (lstrcmpiW(ClassOf(h).c_str(), cls.c_str()) == 0 &&
            (!caption || CaptionOf(h) == *caption))
            return h;
    return nullptr;
}

std::wstring DistFolder() {
    std::wstring path = L"Z:" + Widen(OSH_DIST_DIR);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    // Shared with writers: the interpreter may still hold the file.
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

bool RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    return RemoveDirectoryW(dir.c_str()) != 0;
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TScratchCopy::TScratchCopy(const std::wstring& suffix) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp, n) + L"osh-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + suffix;
    RemoveTree(path_);
    try {
        CopyTree(DistFolder(), path_);
    } catch (...) {
        RemoveTree(path_);
        throw;
    }
}

TScratchCopy::~TScratchCopy() {
    // A console that just ended may still hold the folder for a moment.
    WaitUntil([this] { return RemoveTree(path_) || !PathExists(path_); }, 5000, 100);
}

namespace {

// The standard user's token linked to this process's elevated one, or null.
HANDLE LimitedToken() {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
        return nullptr;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    TOKEN_ELEVATION_TYPE type{};
    const bool ok = GetTokenInformation(own, TokenElevationType, &type, sizeof type, &size) &&
                    type == TokenElevationTypeFull &&
                    GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size);
    CloseHandle(own);
    return ok ? linked.LinkedToken : nullptr;
}

} // namespace

TProgram::TProgram(const std::wstring& folder,
                   const std::vector<std::pair<std::wstring, std::wstring>>& env,
                   const std::wstring& workingFolder, bool limited) {
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (!job_)
        throw std::runtime_error("CreateJobObject failed");
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::wstring exe = folder + L"\\Orbitashell.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring block = EnvironmentWith(env);
    const std::wstring& start = workingFolder.empty() ? folder : workingFolder;
    HANDLE token = limited ? LimitedToken() : nullptr;
    if (limited && !token) {
        CloseHandle(job_);
        throw std::runtime_error("no standard user's token linked to this one");
    }
    const DWORD flags = CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT;
    const BOOL started =
        token ? CreateProcessAsUserW(token, exe.c_str(), command.data(), nullptr, nullptr, FALSE,
                                     flags, block.data(), start.c_str(), &si, &pi)
              : CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                               block.data(), start.c_str(), &si, &pi);
    if (token)
        CloseHandle(token);
    if (!started) {
        CloseHandle(job_);
        throw std::runtime_error("cannot start Orbitashell.exe");
    }
    AssignProcessToJobObject(job_, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
}

TProgram::~TProgram() {
    Close();
    TerminateJobObject(job_, 1);
    CloseHandle(process_);
    CloseHandle(job_);
}

bool TProgram::Running() const {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool TProgram::WaitExit(DWORD ms) const {
    return WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

HWND TProgram::WaitWindow(const std::wstring& cls, const std::wstring& prefix, DWORD ms) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows())
                if (ProcessOf(h) == pid_ && IsWindowVisible(h) && ClassOf(h) == cls &&
                    StartsWith(CaptionOf(h), prefix)) {
                    found = h;
                    return true;
                }
            return !Running();
        },
        ms);
    return found;
}

HWND TProgram::WaitIdleMainWindow(DWORD ms) const {
    const std::wstring base = L"Orbitashell v " OSH_VERSION_TEXT;
    HWND main = WaitWindow(kWindowClass, base, ms);
    // A server on the test port may answer the update check with an error box:
    // it is not what these tests are about, so it is pressed away.
    auto done = [&] {
        for (HWND h : TopLevelWindows())
            if (ProcessOf(h) == pid_ && IsWindowVisible(h) && ClassOf(h) == L"#32770")
                PostMessageW(h, WM_COMMAND, IDOK, 0);
        return CaptionOf(main) == base;
    };
    if (!main || !WaitUntil(done, ms))
        return nullptr;
    return main;
}

std::vector<std::wstring> TProgram::MessageBoxes() const {
    std::vector<std::wstring> boxes;
    for (HWND h : TopLevelWindows()) {
        if (ProcessOf(h) != pid_ || !IsWindowVisible(h) || ClassOf(h) != L"#32770")
            continue;
        std::wstring text = CaptionOf(h) + L":";
        for (HWND c : ChildWindows(h))
            if (ClassOf(c) == L"Static")
                text += L" " + ControlText(c);
        boxes.push_back(text);
    }
    return boxes;
}

DWORD TProgram::ActiveProcesses() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &info, sizeof info,
                                   nullptr))
        return 0;
    return info.ActiveProcesses;
}

std::string TProgram::ProcessNames() const {
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } ids{};
    ids.list.NumberOfAssignedProcesses = 64;
    std::string names;
    if (!QueryInformationJobObject(job_, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr))
        return names;
    const DWORD count = std::min<DWORD>(ids.list.NumberOfProcessIdsInList, 64);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    for (DWORD i = 0; i < count; ++i) {
        const auto id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
        std::string name = std::to_string(id);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
            if (entry.th32ProcessID == id)
                name += std::string(":") + entry.szExeFile;
        names += (names.empty() ? "" : " ") + name;
    }
    CloseHandle(snapshot);
    return names;
}

bool TProgram::Close() {
    if (!Running())
        return true;
    for (HWND h : TopLevelWindows())
        if (ProcessOf(h) == pid_ && ClassOf(h) == kWindowClass && IsWindowVisible(h))
            PostMessageW(h, WM_CLOSE, 0, 0);
    if (WaitExit(10000))
        return true;
    TerminateProcess(process_, 1);
    WaitExit(5000);
    return false;
}

TMainWindow::TMainWindow(HWND main)
    : form(main), box(FindChild(main, L"Edit")),
      launch(FindChild(main, L"Button", std::wstring(L"Lancer"))) {}

void TMainWindow::Type(const std::wstring& line) const {
    SetControlText(box, line);
}

bool TMainWindow::Paste(const std::wstring& text) const {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr))
        return false;
    const bool set = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    DWORD_PTR result = 0;
    return set && SendMessageTimeoutW(box, WM_PASTE, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

std::wstring TMainWindow::Line() const {
    return ControlText(box);
}

bool TMainWindow::ClickLaunch() const {
    if (!IsWindowEnabled(launch))
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(launch, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

std::vector<HWND> ConsoleWindows() {
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows()) {
        // Wine's conhost draws its own window class; Windows has another.
        std::wstring cls = ClassOf(h);
        if (IsWindowVisible(h) && CaptionOf(h) == L"Orbitashell" &&
            (cls == L"WineConsoleClass" || cls == L"ConsoleWindowClass"))
            found.push_back(h);
    }
    return found;
}

DWORD ChildProcess(DWORD parent, const std::wstring& image) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    DWORD found = 0;
    for (BOOL ok = Process32FirstW(snap, &pe); ok && !found; ok = Process32NextW(snap, &pe))
        if (pe.th32ParentProcessID == parent && lstrcmpiW(pe.szExeFile, image.c_str()) == 0)
            found = pe.th32ProcessID;
    CloseHandle(snap);
    return found;
}

namespace {

const wchar_t kReadConsoleSwitch[] = L"--osh-read-console=";

// The console of process pid as text: the colours, the title, then the lines
// up to the cursor's, trailing blanks cut; one item a line.
std::optional<std::wstring> DescribeConsoleOf(DWORD pid) {
    FreeConsole();
    if (!AttachConsole(pid))
        return std::nullopt;
    std::optional<std::wstring> text;
    HANDLE out =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info)) {
        wchar_t title[256];
        DWORD n = GetConsoleTitleW(title, 256);
        text = std::to_wstring(info.wAttributes) + L"\n" + std::wstring(title, n) + L"\n";
        std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
            n = 0;
            ReadConsoleOutputCharacterW(out, row.data(), static_cast<DWORD>(info.dwSize.X),
                                        COORD{0, y}, &n);
            std::wstring line = row.substr(0, n);
            line.erase(line.find_last_not_of(L' ') + 1);
            *text += line + L"\n";
        }
    }
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    FreeConsole();
    return text;
}

// A process can attach to one console only, and leaving its own would cut the
// test's output when that goes to a terminal; so a copy of this program, started
// with the switch, attaches to the other console and writes it to its output.
struct TConsoleReaderEntry {
    TConsoleReaderEntry() {
        const wchar_t* at = wcsstr(GetCommandLineW(), kReadConsoleSwitch);
        if (!at)
            return;
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        std::optional<std::wstring> text =
            DescribeConsoleOf(wcstoul(at + wcslen(kReadConsoleSwitch), nullptr, 10));
        DWORD written = 0;
        if (text)
            WriteFile(out, text->data(), static_cast<DWORD>(text->size() * sizeof(wchar_t)),
                      &written, nullptr);
        ExitProcess(text ? 0 : 1);
    }
} consoleReaderEntry;

} // namespace

std::optional<TConsoleView> ReadConsoleOf(DWORD pid) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 1 << 20))
        return std::nullopt;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command =
        L"\"" + std::wstring(self) + L"\" " + kReadConsoleSwitch + std::to_wstring(pid);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = nullptr;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                  nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return std::nullopt;
    }
    CloseHandle(pi.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(readEnd);
    if (code != 0)
        return std::nullopt;

    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    std::vector<std::wstring> items;
    for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos;
         start = end + 1)
        items.push_back(text.substr(start, end - start));
    if (items.size() < 2)
        return std::nullopt;
    TConsoleView view;
    view.attributes = static_cast<WORD>(std::stoul(items[0]));
    view.title = items[1];
    view.lines.assign(items.begin() + 2, items.end());
    return view;
}

TCompleter::TCompleter(const TProgram& program)
    : dialog(program.WaitWindow(kWindowClass, L"Compl\u00E9ter la commande", 10000)) {
    LONG top = LONG_MAX;
    for (HWND h : ChildWindows(dialog)) {
        RECT r;
        GetWindowRect(h, &r);
        if (_wcsicmp(ClassOf(h).c_str(), L"Edit") == 0 &&
            !(GetWindowLongW(h, GWL_STYLE) & ES_READONLY) && r.top < top)
            top = r.top, first = h;
    }
}

bool TCompleter::Press(const wchar_t* button) const {
    PostMessageW(FindChild(dialog, L"Button", std::wstring(button)), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        if (const auto* at = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = at;
            GlobalUnlock(data);
        }
    CloseClipboard();
    return text;
}
