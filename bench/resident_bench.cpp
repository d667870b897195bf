// The main window kept at hand (Orbitashell.ini: ZoneDeNotification=1), with
// the shipped catalogues:
//   - the shortcut: Ctrl+Alt+O sent as input (SendInput, from another thread,
//     as a keyboard would), timed from the key that completes it until the
//     hidden window is shown, painted and its box focused; hidden again
//     between calls. For reference, the
//     same window brought forward by a direct call, without the input's way
//     through the system (the keyboard hook, the hot key, the thread's wake);
//   - hidden for a while: the processor time of every thread of the process,
//     read from Linux's /proc (GetProcessTimes gives no real figures under
//     Wine 8), and the time one check of the catalogues takes (once a
//     second, hidden or not).
//
//   resident_bench [--calls N] [--idle SECONDS]      (default 50 calls, 60 s)
#include "BenchSeams.h"
#include "BenchSupport.h"
#include "app/Unit1.h"
#include "ui/AnsiPaths.h"
#include "ui/Application.h"
#include "ui/System.h"
#include "update/Network.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void CopyFileInto(const std::string& from, const std::string& to) {
    CopyFileA(from.c_str(), to.c_str(), FALSE);
}

// Linux's view of a process, through drive Z:. Under Wine the wineserver
// opens files for the program, so /proc/self is the server's, and the
// program itself looks up a path's folders, where /proc/self is its own:
// the program is named by its number.
std::string ReadProc(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(("Z:\\proc\\" + path).c_str(), "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

// The program's number: the process of that name in this prefix.
std::string OwnProcEntry(const std::string& exeName) {
    char prefix[1024] = "";
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    std::string found;
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
        const std::string pid = entry.cFileName;
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string program = ReadProc(pid + "\\cmdline");
        program = program.substr(0, program.find('\0'));
        if (program.substr(program.find_last_of("/\\") + 1) != exeName)
            continue;
        const std::string environment = ReadProc(pid + "\\environ");
        if (environment.find(std::string("WINEPREFIX=") + prefix + '\0') == std::string::npos)
            continue;
        found = pid;
        ++count;
    }
    FindClose(find);
    return count == 1 ? found : "";
}

// The processor time of every thread of a process, in milliseconds, as Linux
// counts it (nanoseconds); -1 where it cannot be read.
double ProcessorMs(const std::string& entry) {
    WIN32_FIND_DATAA task;
    HANDLE find = FindFirstFileA(("Z:\\proc\\" + entry + "\\task\\*").c_str(), &task);
    double ns = 0;
    int threads = 0;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &task)) {
        unsigned long long run = 0;
        if (task.cFileName[0] != '.' &&
            std::sscanf(ReadProc(entry + "\\task\\" + task.cFileName + "\\schedstat").c_str(),
                        "%llu", &run) == 1) {
            ns += static_cast<double>(run);
            ++threads;
        }
    }
    FindClose(find);
    return entry.empty() || !threads ? -1 : ns / 1e6;
}

bool PaintPending() {
    return (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) != 0;
}

// Handles messages until done holds after a message, or ms have passed.
template <class Done> bool PumpUntil(TApplication& application, Done done, double ms) {
    const double end = NowMs() + ms;
    while (NowMs() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            application.DispatchOne(msg);
            if (done())
                return true;
        }
        if (done())
            return true;
        // Asleep until a message comes: the idle figure is the program's, not the loop's.
        const double left = end - NowMs();
        if (left > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
    return false;
}

void SendKeys(std::initializer_list<WORD> keys, bool up) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int calls = 50, idleSeconds = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--calls"))
            calls = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--idle"))
            idleSeconds = std::atoi(argv[i + 1]);
    }
    UseCommonControls6();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir =
        std::string(temp) + "osh-resident-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
    for (const char* name : {"CommandesCPL.TXT", "CommandesSyst.TXT"})
        CopyFileInto(std::string(OSH_CATALOGUE_DIR) + "/" + name, dir + "\\" + name);
    WritePrivateProfileStringA("Options", "ZoneDeNotification", "1",
                               (dir + "\\Orbitashell.ini").c_str());

    TApplication application;
    TBenchSeams seams(dir);
    application.OnException = [](const std::string& message) {
        std::fprintf(stderr, "exception: %s\n", message.c_str());
    };
    TForm1* form = application.CreateForm<TForm1>();
    form->Show();
    HWND window = form->Handle();
    HWND box = form->edtCmdLine.Handle();
    PumpUntil(
        application, [] { return false; }, 500);
    if (!form->Resident.Active()) {
        std::fprintf(stderr, "resident_bench: the window is not kept at hand\n");
        return 1;
    }

    // The shortcut, from a thread of its own as from the keyboard. The time
    // runs from the key that completes it: Ctrl and Alt are already down,
    // as a hand holds them before it presses O.
    std::atomic<double> sentAt{0};
    std::vector<double> times;
    int missed = 0;
    for (int i = 0; i < calls; ++i) {
        form->Close(); // hides, as Escape does
        PumpUntil(
            application, [] { return false; }, 100);
        std::thread sender([&sentAt] {
            SendKeys({VK_CONTROL, VK_MENU}, false);
            Sleep(20);
            sentAt = NowMs();
            SendKeys({'O'}, false);
        });
        const bool shown = PumpUntil(
            application,
            [&] {
                return sentAt > 0 && IsWindowVisible(window) && GetFocus() == box &&
                       !PaintPending();
            },
            2000);
        const double at = NowMs();
        sender.join();
        SendKeys({'O', VK_MENU, VK_CONTROL}, true);
        if (shown)
            times.push_back(at - sentAt);
        else
            ++missed;
        sentAt = 0;
    }
    const double median = Median(times);
    const double worst = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    std::printf("shortcut to window shown, painted and focused: %d calls, median %.2f ms, worst "
                "%.2f ms, %d missed\n",
                calls, median, worst, missed);
    std::printf("TABLE|Kept at hand: shortcut to window shown, painted, box focused, %d calls: "
                "median (worst)|%.1f ms (%.1f)|<= 30 (<= 100)|%s\n",
                calls, median, worst, !missed && median <= 30 && worst <= 100 ? "met" : "NOT met");

    // For reference: the same window brought forward by a call, without the
    // input's way through the system.
    std::vector<double> direct;
    for (int i = 0; i < calls; ++i) {
        form->Close();
        PumpUntil(
            application, [] { return false; }, 100);
        const double start = NowMs();
        form->Resident.BringForward();
        PumpUntil(
            application,
            [&] { return IsWindowVisible(window) && GetFocus() == box && !PaintPending(); }, 2000);
        direct.push_back(NowMs() - start);
    }
    std::printf("brought forward by a call: median %.2f ms, worst %.2f ms\n", Median(direct),
                *std::max_element(direct.begin(), direct.end()));
    std::printf("TABLE|Kept at hand: the same, brought forward by a call (no input): median "
                "(worst)|%.1f ms (%.1f)|-|-\n",
                Median(direct), *std::max_element(direct.begin(), direct.end()));

    // One check of the three catalogues' time stamps.
    const int checks = 2000;
    double t0 = NowMs();
    for (int i = 0; i < checks; ++i)
        form->Catalogues.FollowAll();
    const double checkUs = (NowMs() - t0) * 1000.0 / checks;

    // Hidden, idle, the pointer left where the box was (the worst case: under
    // Wine a control that follows the pointer polls it until it leaves).
    form->Resident.BringForward();
    PumpUntil(
        application, [] { return false; }, 200);
    RECT r;
    GetWindowRect(box, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = 1;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    PumpUntil(
        application, [] { return false; }, 200);
    form->Close();
    PumpUntil(
        application, [] { return false; }, 1000);
    const std::string self = OwnProcEntry("resident_bench.exe");
    const double cpu0 = ProcessorMs(self);
    t0 = NowMs();
    PumpUntil(
        application, [] { return false; }, idleSeconds * 1000.0);
    const double wall = NowMs() - t0, cpu = ProcessorMs(self) - cpu0;
    const double share = cpu0 < 0 ? -1 : 100.0 * cpu / wall;
    std::printf("hidden %.1f s: processor %.1f ms (%.3f %%); one check of the catalogues %.1f "
                "us\n",
                wall / 1000.0, cpu, share, checkUs);
    std::printf("TABLE|Kept at hand, hidden %d s: processor time of the program|%.3f %% (%.1f "
                "ms)|<= 0.1 %%|%s\n",
                idleSeconds, share, cpu, share >= 0 && share <= 0.1 ? "met" : "NOT met");
    std::printf("TABLE|Kept at hand, hidden: one check of the catalogues (once a second)|%.1f "
                "us|-|-\n",
                checkUs);
    delete form;
    for (const char* name : {"CommandesCPL.TXT", "CommandesSyst.TXT", "Orbitashell.ini"})
        DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA((dir + "\\Syst").c_str());
    RemoveDirectoryA(dir.c_str());
    return 0;
}
