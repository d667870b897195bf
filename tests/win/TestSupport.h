// Shared helpers of the tests that create real windows under Wine.
#pragma once
#include "ui/AnsiPaths.h"
#include "ui/Application.h"
#include "ui/System.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct TShellCall {
    HWND owner = nullptr;
    std::optional<std::string> verb;
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show = 0;
};

// The seam as tests see it: records what the program asks of the outside
// world and answers from the values a test sets. Installed for its lifetime.
class TRecordingSystem : public TSystem {
public:
    TRecordingSystem();
    ~TRecordingSystem() override;
    std::vector<TShellCall> ShellCalls;
    std::vector<UINT> Beeps;
    // A name mapped to nullopt reads as unset; names not listed read the real environment.
    std::map<std::string, std::optional<std::string>> Env;
    std::optional<std::wstring> ExePath;
    std::optional<std::string> Temp;
    // False: a volume without short 8.3 names.
    bool ShortNames = true;
    // ShellRun records its call as ShellOpen does and answers this error code.
    DWORD ShellError = 0;
    bool Elevated = false;
    // Unset: the real working folder.
    std::optional<std::string> WorkingFolder;
    // A fixed clock, so that a capture's header is known: 08/12/2026 14:02:07.
    SYSTEMTIME Time{2026, 12, 2, 8, 14, 2, 7, 0};

    void ShellOpen(HWND owner, const char* verb, const std::string& file, const char* parameters,
                   const char* directory, int show) override;
    DWORD ShellRun(HWND owner, const char* verb, const std::string& file,
                   const std::string& parameters, int show) override;
    bool IsElevated() override;
    std::string CurrentFolder() override;
    void Beep(UINT type) override;
    std::optional<std::string> Environment(const std::string& name) override;
    std::optional<std::wstring> WideEnvironment(const std::string& name) override;
    std::wstring TempPath() override;
    std::wstring ExecutablePath() override;
    std::wstring ShortPath(const std::wstring& path) override;
    SYSTEMTIME LocalTime() override { return Time; }
};

struct TSeenDialog {
    std::string title;
    std::string text;
};

// Answers every modal box of this thread that appears while it lives (the
// system's message boxes and the program's "Erreur" dialog): records its
// title and text, then presses its button. With keepOpenMs, each box first
// stays up that long.
class TDialogWatcher {
public:
    TDialogWatcher();
    ~TDialogWatcher();
    std::vector<TSeenDialog> Seen;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Visit(HWND, LPARAM);
    UINT_PTR timer_ = 0;
};

// Handles the messages of this thread for about ms milliseconds.
void PumpMessages(int ms = 50);

// A fresh empty folder under the temporary folder; removed by RemoveTree.
std::string MakeScratchDir(const std::string& tag);
void RemoveTree(const std::string& dir);
void WriteBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::string& path);

// A 32-bit top-down DIB section with its own memory DC, for reading pixels back.
class TDib {
public:
    TDib(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~TDib();
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;
    HDC DC() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_, height_;
};

// Every modal box shown on this thread while it lives, also one that a pending
// quit closes before anybody could answer it: the system's message boxes and
// the program's "Erreur" dialog, in the order they appeared.
struct TShownBox {
    std::string title;
    std::string text;
    bool systemBox = false; // a system message box rather than the program's dialog
    HICON icon = nullptr;   // the icon it shows
    size_t beepsBefore = 0; // beeps the recording seam had heard when it appeared
};
class TBoxRecorder {
public:
    TBoxRecorder();
    ~TBoxRecorder();
    TBoxRecorder(const TBoxRecorder&) = delete;
    TBoxRecorder& operator=(const TBoxRecorder&) = delete;
    std::vector<TShownBox> Shown;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    HHOOK hook_ = nullptr;
};

// Removes a pending quit request of this thread; true when there was one.
bool TakeQuitRequest(int* exitCode = nullptr);

// Handles the messages of this thread, as the application's loop would, for
// about ms milliseconds or until a quit request comes out of the queue (true).
bool PumpUntilQuit(int ms = 50);

// The tools of the tooltip window owned by a form: id (a window handle or a
// control's address), rectangle (for windowless controls) and text.
struct TTooltipTool {
    UINT_PTR id = 0;
    bool isWindow = false;
    RECT rect{};
    std::string text;
};
std::vector<TTooltipTool> TooltipTools(HWND form);

// The text of a window, through GetWindowTextA.
std::string WindowTextOf(HWND h);

// Counts the GDI objects the program's own code creates and deletes while it
// lives, by replacing gdi32's entries in this executable's import table (the
// system's DLLs are not counted). One at a time, on one thread.
class TGdiCounter {
public:
    TGdiCounter();
    ~TGdiCounter();
    TGdiCounter(const TGdiCounter&) = delete;
    TGdiCounter& operator=(const TGdiCounter&) = delete;
    long Fonts() const;   // fonts created
    long Created() const; // fonts, pens, brushes, bitmaps and DCs created
    long Deleted() const; // objects and DCs deleted
};

// Runs its steps one per timer tick, inside whatever modal loop is running.
class TSteps {
public:
    explicit TSteps(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 40, &Tick);
    }
    ~TSteps() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    size_t Run() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (TSteps* self = active_; self && self->next_ < self->steps_.size())
            self->steps_[self->next_++]();
    }
    static inline TSteps* active_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};
