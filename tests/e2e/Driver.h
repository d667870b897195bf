// Drives the real Orbitashell.exe from outside, as a user would, by window messages.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Polls pred every step until it holds or ms have passed; true when it held.
bool WaitUntil(const std::function<bool()>& pred, DWORD ms, DWORD step = 50);

std::wstring ClassOf(HWND h);
// The caption, read without sending a message (answers while the owner is busy).
std::wstring CaptionOf(HWND h);
// A control's text in another process, through the wide message Wine marshals.
std::wstring ControlText(HWND h);
// WM_SETTEXT, wide, on a control of another process.
void SetControlText(HWND h, const std::wstring& text);
DWORD ProcessOf(HWND h);
std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildWindows(HWND parent);
// The first child of that class (and caption, when given), or null.
HWND FindChild(HWND parent, const std::wstring& cls,
               const std::optional<std::wstring>& caption = {});

// The distribution folder as Wine sees it.
std::wstring DistFolder();

std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Removes a folder and everything in it; true when the folder is gone.
bool RemoveTree(const std::wstring& dir);

// A copy of the distribution folder under the temporary folder, removed when done.
class TScratchCopy {
public:
    // suffix: appended to the folder's name (blanks, accents, "&"..., as users have them).
    explicit TScratchCopy(const std::wstring& suffix = L"");
    ~TScratchCopy();
    TScratchCopy(const TScratchCopy&) = delete;
    TScratchCopy& operator=(const TScratchCopy&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Orbitashell.exe started in a folder, inside a job object so that every
// console and tool it starts can be ended with it.
class TProgram {
public:
    // env: variables to set in the program's environment, over the test's own;
    // workingFolder: its current folder, when not its own.
    // limited: started with the standard user's rights (the linked token of
    // an elevated one), as a program started by a double click under UAC.
    explicit TProgram(const std::wstring& folder,
                      const std::vector<std::pair<std::wstring, std::wstring>>& env = {},
                      const std::wstring& workingFolder = L"", bool limited = false);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    DWORD Id() const { return pid_; }
    bool Running() const;
    bool WaitExit(DWORD ms) const;
    // A visible top-level window of the program with this class whose caption
    // begins with prefix; null after ms without one.
    HWND WaitWindow(const std::wstring& cls, const std::wstring& prefix, DWORD ms) const;
    // The main window once the first activation's update check is over.
    HWND WaitIdleMainWindow(DWORD ms = 20000) const;
    // The program's open message boxes, as "title: text", to explain a failure.
    std::vector<std::wstring> MessageBoxes() const;
    // Processes of the job still alive, the program included.
    DWORD ActiveProcesses() const;
    // The image names of the job's processes, for a failure's message.
    std::string ProcessNames() const;
    // WM_CLOSE, then the job's end as a last resort; true when the program ended by itself.
    bool Close();

private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The main window's command-line box and "Lancer", found by class.
struct TMainWindow {
    explicit TMainWindow(HWND main);
    HWND form;
    HWND box;
    HWND launch;
    // WM_SETTEXT on the box; its EN_CHANGE runs the program's change handler.
    void Type(const std::wstring& line) const;
    // The text put on the clipboard, then WM_PASTE to the box; false when the
    // clipboard cannot be set.
    bool Paste(const std::wstring& text) const;
    std::wstring Line() const;
    // BM_CLICK on "Lancer"; false when it is disabled or the program did not answer.
    bool ClickLaunch() const;
};

// Visible console windows titled "Orbitashell" (the interpreter's Title).
std::vector<HWND> ConsoleWindows();

// A child process of parent running that image (such as L"cmd.exe"), or 0.
DWORD ChildProcess(DWORD parent, const std::wstring& image);

// What a console shows: its lines (trailing blanks cut) and the current colours.
struct TConsoleView {
    std::vector<std::wstring> lines;
    WORD attributes = 0;
    std::wstring title;
};
// Reads the console that process pid is attached to.
std::optional<TConsoleView> ReadConsoleOf(DWORD pid);

// "Compléter la commande" once the program opens it, with its first value
// box (the read-only line left out).
struct TCompleter {
    explicit TCompleter(const TProgram& program);
    // BM_CLICK on the button of that caption; true once the dialog is gone.
    bool Press(const wchar_t* button) const;
    HWND dialog = nullptr;
    HWND first = nullptr;
};

// The clipboard's Unicode text, empty when it holds none.
std::wstring ClipboardText();
