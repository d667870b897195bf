// Start-up to idle of the main window with three catalogues of 1,000 to
// 200,000 rows each, against bare Win32 windows that read the same three files:
//   bare        one owner-drawn drop-down list holding all the rows, filled
//               with CB_ADDSTRING (storage reserved, drawing off);
//   bare-three  the main window's three lists without its toolkit, each
//               filled through its list part, as TComboBox does: the
//               strictest reference.
//
// Every measurement runs in a fresh process, so that no heap, cache or
// window class carries over from one run to the next and the memory figures
// belong to one variant alone. The variants take turns, after one warm-up
// run of each that is not counted.
//
//   startup_bench [--sizes N,N... | --rows N] [--reps N]
//                                          the comparison (default 1k, 10k, 50k, 100k and
//                                          200k rows, 5 runs), then the idle memory with
//                                          the shipped catalogues
//   startup_bench --sections [--closing] [--rows N]   (default 100000 rows)
//                                          the parts of the start-up timed one by one;
//                                          with --closing, also the main window's closing
//   startup_bench --write DIR [--rows N]   only writes the three catalogues and Syst into DIR
//   startup_bench --child bare|bare-three|form|trace|trace-close --data DIR --out FILE
//                                          one run
//
// Time runs from just before the window is created (TForm1: CreateForm, then
// Show) until the window has been painted and the thread's queue holds
// nothing but timers' messages.
// The update check of the first activation runs, but the seam's connectivity
// probe answers "not connected" at once: FormActivate takes its offline branch
// and nothing waits on the network.
#include "BenchSeams.h"
#include "BenchSupport.h"
#include "app/Unit1.h"
#include "core/Catalogue.h"
#include "ui/AnsiPaths.h"
#include "ui/Application.h"
#include "ui/System.h"
#include "update/Network.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kCatalogueNames[] = {"CommandesCPL.TXT", "CommandesSyst.TXT", "Commandes.txt"};

struct TMemory {
    double peakWorkingSet = 0, workingSet = 0, privateBytes = 0; // MB
};

TMemory Memory() {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c),
                         sizeof c);
    const double mb = 1024.0 * 1024.0;
    // Wine leaves PrivateUsage at zero; its PagefileUsage is the anonymous resident memory.
    const SIZE_T priv = c.PrivateUsage ? c.PrivateUsage : c.PagefileUsage;
    return {static_cast<double>(c.PeakWorkingSetSize) / mb,
            static_cast<double>(c.WorkingSetSize) / mb, static_cast<double>(priv) / mb};
}

// Whose combo box the runs get: the system's own class lives in USER32.
const char* ComboBoxSource() {
    HWND probe = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
    bool system = reinterpret_cast<HMODULE>(GetClassLongPtrA(probe, GCLP_HMODULE)) ==
                  GetModuleHandleA("user32.dll");
    DestroyWindow(probe);
    return system ? "the system's first combo box (USER32)" : "common controls 6";
}

// ------------------------------------------------------------ the catalogues

// A small deterministic generator: the same files on every run.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return static_cast<std::uint32_t>(s_ >> 11);
    }
    std::size_t Below(std::size_t n) { return Next() % n; }
    template <class T, std::size_t N> const T& Pick(const T (&a)[N]) { return a[Below(N)]; }

private:
    std::uint64_t s_;
};

const char* const kCommands[] = {"ipconfig /all",
                                 "ipconfig /flushdns",
                                 "netstat -ano",
                                 "ping -n 4",
                                 "tracert -d",
                                 "nslookup",
                                 "sfc /scannow",
                                 "chkdsk C: /scan",
                                 "tasklist /v",
                                 "taskkill /im",
                                 "sc query",
                                 "net user",
                                 "net localgroup",
                                 "systeminfo",
                                 "driverquery /v",
                                 "wmic diskdrive get",
                                 "powercfg /batteryreport",
                                 "DISM /Online /Cleanup-Image",
                                 "control /name Microsoft.Mouse",
                                 "control sysdm.cpl",
                                 "control /name Microsoft.Sound",
                                 "start ncpa.cpl",
                                 "start appwiz.cpl",
                                 "netsh wlan show",
                                 "netsh interface ip show",
                                 "route print",
                                 "arp -a",
                                 "gpresult /r",
                                 "schtasks /query",
                                 "bcdedit /enum",
                                 "cleanmgr /sageset:",
                                 "start msconfig",
                                 "defrag C: /a",
                                 "fsutil volume",
                                 "reg query HKCU\\Software",
                                 "wevtutil qe System /c:",
                                 "manage-bde -status",
                                 "cipher /w:C:"};

const char* const kComments[] = {
    "Affiche la configuration réseau complète de toutes les cartes",
    "Vide le cache du résolveur DNS",
    "Connexions actives et ports à l'écoute",
    "Vérifie les fichiers système protégés et répare ceux qui sont endommagés",
    "Liste des processus en cours avec leur mémoire",
    "Arrête le programme désigné",
    "État des services installés",
    "Comptes d'utilisateurs de l'ordinateur",
    "Informations détaillées sur le système",
    "Pilotes installés et leur état",
    "Rapport sur la batterie enregistré dans le dossier courant",
    "Répare l'image de Windows à partir de Windows Update",
    "Propriétés de la souris",
    "Propriétés système : nom, domaine, paramètres avancés",
    "Périphériques de son et thèmes",
    "Connexions réseau",
    "Programmes et fonctionnalités",
    "Profils Wi-Fi enregistrés",
    "Table de routage IP",
    "Stratégies de groupe appliquées à l'utilisateur",
    "Tâches planifiées et leur prochaine exécution",
    "Données de configuration du démarrage",
    "Nettoyage du disque : choix des éléments",
    "Configuration du système et démarrage sélectif",
    "Analyse de la fragmentation du lecteur C:",
    "Effacement sécurisé de l'espace libre"};

const char* const kFillers[] = {"rapide",           "détaillé",  "à l'écran",
                                "en français",      "complet",   "pour l'administrateur",
                                "sans redémarrage", "très utile"};

// One row: a command with optional arguments and tags, then a parenthesised
// comment of whole words, 40 to 80 bytes in all, its length drawn at random.
std::string MakeRow(TRandom& r) {
    for (;;) {
        std::string command = r.Pick(kCommands);
        switch (r.Below(6)) {
        case 0:
            command += " 192.168.1." + std::to_string(r.Below(255));
            break;
        case 1:
            command += " /" + std::to_string(r.Below(100));
            break;
        default:
            break;
        }
        if (r.Below(20) == 0)
            command = "Edit+ " + command;
        if (r.Below(15) == 0)
            command += r.Pick({" [X]", " [V]", " [S]"});
        const std::size_t length = 40 + r.Below(41);
        std::string comment = r.Pick(kComments);
        while (command.size() + comment.size() + 3 < length)
            comment += std::string(" ") + r.Pick(kFillers);
        while (command.size() + comment.size() + 3 > length &&
               comment.find(' ') != std::string::npos)
            comment.resize(comment.rfind(' '));
        const std::size_t size = command.size() + comment.size() + 3;
        if (size >= 40 && size <= 80)
            return command + " (" + comment + ")";
    }
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(h);
    return ok;
}

// The three catalogues and a "Syst" folder; returns the total size in bytes.
std::size_t MakeCatalogues(const std::string& dir, int rows) {
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
    std::size_t total = 0;
    int seed = 1;
    for (const char* name : kCatalogueNames) {
        TRandom r(static_cast<unsigned>(seed++));
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(rows) * 64);
        for (int i = 0; i < rows; ++i)
            bytes += MakeRow(r) + "\r\n";
        if (!WriteFileBytes(dir + "\\" + name, bytes)) {
            std::fprintf(stderr, "cannot write %s\\%s\n", dir.c_str(), name);
            std::exit(1);
        }
        total += bytes.size();
    }
    return total;
}

void RemoveCatalogues(const std::string& dir) {
    for (const char* name : kCatalogueNames)
        DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA((dir + "\\Syst").c_str());
    RemoveDirectoryA(dir.c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

// ------------------------------------------------------------ one measured run

struct TRunResult {
    double totalMs = 0, paintMs = 0;
    long rows = 0;
    bool activated = false;
    TMemory before, after;
};

// True when the thread's queue holds a message other than a timer's. The
// catalogues' timer and the caret's never leave the queue empty for long:
// idle is a queue with nothing else in it.
bool NonTimerMessagePending() {
    MSG msg;
    const UINT kSysTimer = 0x0118; // the caret's blink, in the queue like WM_TIMER
    return PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, kSysTimer - 1, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, kSysTimer + 1, ~0u, PM_NOREMOVE);
}

// Painted once it shows with nothing left to draw: the main window draws
// itself before its update check, inside Show, so that no WM_PAINT of its
// own may ever reach the queue.
bool Painted(HWND window) {
    return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

// Handles messages until the window is painted and only timers' messages are
// left; the time of the first paint, from t0.
template <class Dispatch> double PumpUntilIdle(HWND window, double t0, Dispatch dispatch) {
    double paintMs = -1;
    for (;;) {
        if (paintMs < 0 && Painted(window))
            paintMs = NowMs() - t0;
        if (paintMs >= 0 && !NonTimerMessagePending())
            return paintMs;
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            dispatch(msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    }
}

void WriteText(const std::string& path, const std::string& text) {
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
}

std::string Format(const TRunResult& r) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%.3f %.3f %ld %d %.2f %.2f %.2f %.2f\n", r.totalMs, r.paintMs,
                  r.rows, r.activated ? 1 : 0, r.before.workingSet, r.before.privateBytes,
                  r.after.peakWorkingSet, r.after.privateBytes);
    return buf;
}

// Closing the main window with 300,000 owner-drawn rows takes the toolkit
// about a minute under Wine (one WM_DELETEITEM per row through the subclassed
// combo box; --sections --closing times it): once its figures are written, a
// run ends here.
[[noreturn]] void EndRun() {
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), 0);
    std::abort();
}

void RunForm(const std::string& dir, const std::string& out) {
    TRunResult result;
    TApplication application;
    TBenchSeams seams(dir);
    bool failed = false;
    application.OnException = [&failed](const std::string& message) {
        std::fprintf(stderr, "exception: %s\n", message.c_str());
        failed = true;
    };
    result.before = Memory();

    const double t0 = NowMs();
    TForm1* form = application.CreateForm<TForm1>();
    form->Show();
    result.paintMs =
        PumpUntilIdle(form->Handle(), t0, [&application](MSG& m) { application.DispatchOne(m); });
    result.totalMs = NowMs() - t0;

    result.after = Memory();
    result.activated = seams.network.probes == 1;
    result.rows = form->cbbListCPL.ItemCount() + form->cbbListSyst.ItemCount() +
                  form->cbbListCustom.ItemCount();
    if (failed)
        result.rows = -1;
    WriteText(out, Format(result));
    EndRun();
}

// The same start-up cut into its steps, as CreateForm takes them: the
// constructor, the windows, the creation handler (the three lists), Show,
// the first paint and the rest until idle.
void TraceForm(const std::string& dir, const std::string& out, bool closing) {
    TApplication application;
    TBenchSeams seams(dir);
    application.OnException = [](const std::string& message) {
        std::fprintf(stderr, "exception: %s\n", message.c_str());
    };
    std::vector<double> marks{NowMs()};
    auto* form = new TForm1();
    application.MainForm = form;
    marks.push_back(NowMs());
    form->Handle();
    marks.push_back(NowMs());
    form->DoCreate();
    marks.push_back(NowMs());
    form->Show();
    marks.push_back(NowMs());
    double paint = PumpUntilIdle(form->Handle(), marks[0],
                                 [&application](MSG& m) { application.DispatchOne(m); });
    marks.push_back(marks[0] + paint);
    marks.push_back(NowMs());
    if (closing) {
        delete form;
        marks.push_back(NowMs());
    }
    std::string text;
    for (std::size_t i = 1; i < marks.size(); ++i)
        text += std::to_string(marks[i] - marks[i - 1]) + " ";
    WriteText(out, text);
    EndRun();
}

// ------------------------------------------------------------ the bare window

const int kBareItemHeight = 15;

LRESULT CALLBACK BareWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kBareItemHeight;
        return TRUE;
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        bool selected = d->itemState & ODS_SELECTED;
        FillRect(d->hDC, &d->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (static_cast<int>(d->itemID) >= 0) {
            char text[512];
            LRESULT n = SendMessageA(d->hwndItem, CB_GETLBTEXTLEN, d->itemID, 0);
            if (n > 0 && n < static_cast<LRESULT>(sizeof text)) {
                SendMessageA(d->hwndItem, CB_GETLBTEXT, d->itemID, reinterpret_cast<LPARAM>(text));
                SetBkMode(d->hDC, TRANSPARENT);
                SetTextColor(d->hDC,
                             GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
                TextOutA(d->hDC, d->rcItem.left + 2, d->rcItem.top, text, static_cast<int>(n));
            }
        }
        if (d->itemState & ODS_FOCUS)
            DrawFocusRect(d->hDC, &d->rcItem);
        return TRUE;
    }
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// Cuts a catalogue into rows in place: each line end becomes its row's NUL.
std::vector<const char*> CutRows(std::string& bytes) {
    std::vector<const char*> rows;
    char* p = bytes.data();
    char* end = p + bytes.size();
    for (char* start = p; p < end; ++p) {
        if (*p == '\r' || *p == '\n') {
            bool crlf = *p == '\r' && p + 1 < end && p[1] == '\n';
            *p = '\0';
            rows.push_back(start);
            if (crlf)
                ++p;
            start = p + 1;
        }
    }
    return rows;
}

// Fills a combo box with its drawing off and storage reserved, through the
// combo box itself or straight through its list part.
void FillBare(HWND combo, const std::vector<const char*>& rows, std::size_t bytes, bool listPart) {
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    HWND target = listPart && GetComboBoxInfo(combo, &info) ? info.hwndList : combo;
    SendMessageA(target, target == combo ? CB_INITSTORAGE : LB_INITSTORAGE, rows.size(),
                 static_cast<LPARAM>(bytes));
    const UINT add = target == combo ? CB_ADDSTRING : LB_ADDSTRING;
    for (const char* row : rows)
        SendMessageA(target, add, 0, reinterpret_cast<LPARAM>(row));
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(combo, nullptr, TRUE);
}

// One list of every row through CB_ADDSTRING, or, the strictest reference,
// the main window's shape without its toolkit: three lists, one per
// catalogue, each filled through its list part.
TRunResult RunBare(const std::string& dir, bool threeLists) {
    TRunResult result;
    result.before = Memory();
    HINSTANCE inst = GetModuleHandleA(nullptr);

    const double t0 = NowMs();
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareWindowProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OshBenchBare";
    RegisterClassA(&wc);
    const int w = 611, h = 374;
    HWND window = CreateWindowExA(
        0, wc.lpszClassName, "Bare", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
        nullptr, nullptr, inst, nullptr);
    HFONT font =
        CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    std::vector<HWND> combos;
    for (int top : {103, 160, 217}) {
        HWND combo =
            CreateWindowExA(0, "COMBOBOX", "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                                CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                            17, top, 503, kBareItemHeight * 18 + 8, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(top)), inst, nullptr);
        SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        combos.push_back(combo);
        if (!threeLists)
            break;
    }

    if (threeLists) {
        for (std::size_t i = 0; i < 3; ++i) {
            std::string bytes = ReadWholeFile(dir + "\\" + kCatalogueNames[i]);
            FillBare(combos[i], CutRows(bytes), bytes.size(), true);
        }
    } else {
        std::vector<std::string> files;
        std::vector<const char*> rows;
        std::size_t bytes = 0;
        for (const char* name : kCatalogueNames) {
            files.push_back(ReadWholeFile(dir + "\\" + name));
            bytes += files.back().size();
        }
        for (std::string& f : files) {
            std::vector<const char*> cut = CutRows(f);
            rows.insert(rows.end(), cut.begin(), cut.end());
        }
        FillBare(combos[0], rows, bytes, false);
    }

    ShowWindow(window, SW_SHOWNORMAL);
    result.paintMs = PumpUntilIdle(window, t0, [](MSG& m) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    });
    result.totalMs = NowMs() - t0;

    result.after = Memory();
    for (HWND combo : combos)
        result.rows += static_cast<long>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    result.activated = GetActiveWindow() == window;
    DestroyWindow(window);
    DeleteObject(font);
    return result;
}

int RunChild(const std::string& variant, const std::string& dir, const std::string& out) {
    if (variant == "form")
        RunForm(dir, out);
    if (variant == "trace" || variant == "trace-close")
        TraceForm(dir, out, variant == "trace-close");
    WriteText(out, Format(RunBare(dir, variant == "bare-three")));
    return 0;
}

// ------------------------------------------------------------ the comparison

std::string SelfPath() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n);
}

std::string TempFolder(const std::string& tag) {
    char buf[MAX_PATH];
    DWORD n = GetTempPathA(sizeof buf, buf);
    return std::string(buf, n) + tag + std::to_string(GetCurrentProcessId());
}

// Runs one child and returns what it wrote, or nothing when it failed.
std::optional<std::string> SpawnChild(const std::string& variant, const std::string& dir) {
    std::string out = dir + "\\result-" + variant + ".txt";
    DeleteFileA(out.c_str());
    std::string cmd = "\"";
    cmd.append(SelfPath()).append("\" --child ").append(variant);
    cmd.append(" --data \"").append(dir).append("\" --out \"").append(out).append("\"");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // The child's working folder holds "Syst", as the program's must.
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start a %s run (%lu)\n", variant.c_str(), GetLastError());
        return std::nullopt;
    }
    bool finished = WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
    if (!finished)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text = ReadWholeFile(out);
    DeleteFileA(out.c_str());
    if (!finished || text.empty()) {
        std::fprintf(stderr, "the %s run %s\n", variant.c_str(),
                     finished ? "gave no result" : "did not finish in 120 s");
        return std::nullopt;
    }
    return text;
}

bool SpawnRun(const std::string& variant, const std::string& dir, TRunResult& r) {
    std::optional<std::string> text = SpawnChild(variant, dir);
    int activated = 0;
    bool ok =
        text && std::sscanf(text->c_str(), "%lf %lf %ld %d %lf %lf %lf %lf", &r.totalMs, &r.paintMs,
                            &r.rows, &activated, &r.before.workingSet, &r.before.privateBytes,
                            &r.after.peakWorkingSet, &r.after.privateBytes) == 8;
    r.activated = activated != 0;
    return ok;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double Min(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

struct TSeries {
    std::vector<double> total, paint, baseWs, basePrivate, peakWs, privateBytes;
    void Add(const TRunResult& r) {
        total.push_back(r.totalMs);
        paint.push_back(r.paintMs);
        baseWs.push_back(r.before.workingSet);
        basePrivate.push_back(r.before.privateBytes);
        peakWs.push_back(r.after.peakWorkingSet);
        privateBytes.push_back(r.after.privateBytes);
    }
};

struct TVariant {
    const char* name;
    const char* label;
    TSeries series;
};

// Copies the catalogues delivered with the program into a fresh folder;
// returns their size, or 0 when they are not where the build put them.
std::size_t CopyShippedCatalogues(const std::string& dir) {
    std::string from = OSH_CATALOGUE_DIR;
    for (char& c : from)
        if (c == '/')
            c = '\\';
    from = "Z:" + from;
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
    std::size_t total = 0;
    for (const char* name : kCatalogueNames) {
        std::string bytes = ReadWholeFile(from + "\\" + name);
        // The personal list is optional: none is delivered.
        if (bytes.empty() && std::string(name) != "Commandes.txt")
            return 0;
        if (!bytes.empty() && !WriteFileBytes(dir + "\\" + name, bytes))
            return 0;
        total += bytes.size();
    }
    return total;
}

// One catalogue size: every variant in turn, reps times, after a warm-up run
// of each. rows < 0: the shipped catalogues, whose rows are not counted (the
// main window's hidden personal list, never filled, answers one row under Wine).
bool RunSize(const std::string& dir, int rows, int reps, bool verbose, TVariant (&variants)[3]) {
    const std::size_t count = std::size(variants);
    const long expected = 3L * rows;
    for (int i = -1; i < reps; ++i) {
        // The order turns from run to run, so no variant always follows the same one.
        for (std::size_t k = 0; k < count; ++k) {
            TVariant& v = variants[(k + static_cast<std::size_t>(i + 1)) % count];
            TRunResult r;
            if (!SpawnRun(v.name, dir, r))
                return false;
            if (rows >= 0 && r.rows != expected) {
                std::fprintf(stderr, "the %s run loaded %ld rows instead of %ld\n", v.name, r.rows,
                             expected);
                return false;
            }
            if (i < 0)
                continue;
            v.series.Add(r);
            if (verbose)
                std::printf("  run %d  %-26s %8.1f ms  (first paint %7.1f ms)%s\n", i + 1, v.label,
                            r.totalMs, r.paintMs, r.activated ? "" : "  [not activated]");
            std::fflush(stdout);
        }
    }
    return true;
}

void PrintDetail(TVariant (&variants)[3]) {
    const std::size_t count = std::size(variants);
    std::printf("\n%-34s %9s %9s %12s %10s %10s %10s\n", "", "median ms", "min ms", "first paint",
                "peak WS MB", "private MB", "base WS MB");
    for (const TVariant& v : variants)
        std::printf("%-34s %9.1f %9.1f %12.1f %10.1f %10.1f %10.1f\n", v.label,
                    Median(v.series.total), Min(v.series.total), Median(v.series.paint),
                    Median(v.series.peakWs), Median(v.series.privateBytes),
                    Median(v.series.baseWs));
    const TSeries& form = variants[count - 1].series;
    for (std::size_t k = 0; k + 1 < count; ++k) {
        const TSeries& bare = variants[k].series;
        std::printf("%-34s %9.2f %9.2f %12.2f\n",
                    ("ratio TForm1 / " + std::string(variants[k].name)).c_str(),
                    Median(form.total) / Median(bare.total), Min(form.total) / Min(bare.total),
                    Median(form.paint) / Median(bare.paint));
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

// Start-up to idle at each size, then the idle memory with the shipped
// catalogues; the lines that begin with TABLE are rows of tools/bench.sh's
// summary.
int RunComparison(const std::vector<int>& sizes, int reps) {
    std::printf("Start-up to idle, 3 catalogues of N rows each (the bare window's one list holds "
                "all 3N)\n%d runs of each variant in turn at each size, each in a fresh process, "
                "after one warm-up run of each; lists of %s\n",
                reps, ComboBoxSource());
    const bool verbose = sizes.size() == 1;
    struct TFigures {
        int rows;
        double bare, bareThree, form;
    };
    std::vector<TFigures> figures;
    for (int rows : sizes) {
        std::string dir = TempFolder("osh-bench-");
        std::size_t bytes = MakeCatalogues(dir, rows);
        if (verbose)
            std::printf("\n3 x %d rows, %.1f MB in all\n", rows,
                        static_cast<double>(bytes) / 1048576.0);
        TVariant variants[] = {{"bare", "bare window, one list", {}},
                               {"bare-three", "bare window, three lists", {}},
                               {"form", "Orbitashell TForm1", {}}};
        bool ok = RunSize(dir, rows, reps, verbose, variants);
        RemoveCatalogues(dir);
        if (!ok)
            return 1;
        if (verbose)
            PrintDetail(variants);
        figures.push_back({rows, Median(variants[0].series.total), Median(variants[1].series.total),
                           Median(variants[2].series.total)});
        const TFigures& f = figures.back();
        std::printf("  %7d rows: bare one list %8.1f ms, bare three lists %8.1f ms, TForm1 "
                    "%8.1f ms\n",
                    rows, f.bare, f.bareThree, f.form);
        std::fflush(stdout);
    }

    // The footprint with the catalogues that ship.
    TVariant shipped[] = {{"bare", "bare window, one list", {}},
                          {"bare-three", "bare window, three lists", {}},
                          {"form", "Orbitashell TForm1", {}}};
    std::string dir = TempFolder("osh-bench-shipped-");
    bool haveShipped = CopyShippedCatalogues(dir) > 0 && RunSize(dir, -1, reps, false, shipped);
    RemoveCatalogues(dir);
    if (haveShipped) {
        std::printf("\nThe shipped catalogues:");
        PrintDetail(shipped);
    }

    std::printf("\n%9s %12s %12s %12s %12s %12s\n", "rows/list", "bare one", "bare three", "TForm1",
                "/ bare one", "/ bare three");
    for (const TFigures& f : figures)
        std::printf("%9d %9.1f ms %9.1f ms %9.1f ms %12.2f %12.2f\n", f.rows, f.bare, f.bareThree,
                    f.form, f.form / f.bare, f.form / f.bareThree);
    for (const TFigures& f : figures)
        std::printf("TABLE|Start-up to idle, 3 x %dk rows: TForm1 (bare one list; bare three "
                    "lists)|%.0f ms (%.0f; %.0f)|<= bare three lists|%s\n",
                    f.rows / 1000, f.form, f.bare, f.bareThree, Verdict(f.form <= f.bareThree));
    auto at = [&](int rows) -> const TFigures* {
        for (const TFigures& f : figures)
            if (f.rows == rows)
                return &f;
        return nullptr;
    };
    if (const TFigures* from = at(50000), *to = at(200000); from && to) {
        const double form = to->form / from->form / 4, bare = to->bare / from->bare / 4,
                     bareThree = to->bareThree / from->bareThree / 4;
        std::printf("TABLE|Growth 50k -> 200k rows, times linear: TForm1 (bare one list; bare "
                    "three lists)|%.2fx (%.2fx; %.2fx)|<= 1.2x|%s\n",
                    form, bare, bareThree, Verdict(form <= 1.2));
    }
    if (haveShipped) {
        const double form = Median(shipped[2].series.total), bare = Median(shipped[0].series.total),
                     bareThree = Median(shipped[1].series.total);
        std::printf("TABLE|Start-up to idle, shipped catalogues: TForm1 (bare one list; bare three "
                    "lists)|%.0f ms (%.0f; %.0f): %.2fx|<= 1.2x bare three lists|%s\n",
                    form, bare, bareThree, form / bareThree, Verdict(form <= 1.2 * bareThree));
    }
    if (haveShipped) {
        const double form = Median(shipped[2].series.privateBytes),
                     bare = Median(shipped[0].series.privateBytes),
                     bareThree = Median(shipped[1].series.privateBytes);
        std::printf("TABLE|Idle private memory, shipped catalogues: TForm1 (bare one list; bare "
                    "three lists)|%.1f MiB (%.1f; %.1f)|<= bare three lists + 4 MiB|%s\n",
                    form, bare, bareThree, Verdict(form - bareThree <= 4));
    } else {
        std::printf("TABLE|Idle private memory, shipped catalogues|not measured (see above; "
                    "catalogues from %s)|<= bare + 4 MiB|-\n",
                    OSH_CATALOGUE_DIR);
    }
    std::printf("\nMemory: the committed private memory at idle (under Wine, the anonymous "
                "resident memory), median of the runs.\n");
    return 0;
}

// ------------------------------------------------------------ the sections

// The parts of the program's fill timed one by one, in one process: where
// the time of the main window's start-up goes.
int RunSections(int rows, bool closing) {
    std::string dir = TempFolder("osh-bench-sections-");
    MakeCatalogues(dir, rows);
    TApplication application;
    std::vector<std::string> files;
    std::vector<std::vector<std::string>> lists;

    double t = NowMs();
    for (const char* name : kCatalogueNames)
        files.push_back(ReadWholeFile(dir + "\\" + name));
    double read = NowMs() - t;

    t = NowMs();
    std::size_t viewed = 0;
    for (const std::string& f : files)
        viewed += CatalogueLineViews(f).size();
    double views = NowMs() - t;

    for (const std::string& f : files) {
        const auto v = CatalogueLineViews(f);
        lists.emplace_back(v.begin(), v.end());
    }

    // Each fill goes into lists of its own: refilling a long owner-drawn list
    // first deletes its rows one message at a time.
    TForm host(nullptr);
    host.SetBounds(0, 0, 600, 400);
    TComboBox box1(&host), box2(&host), box3(&host), box4(&host), box5(&host), box6(&host);
    TComboBox* boxes[] = {&box1, &box2, &box3, &box4, &box5, &box6};
    for (TComboBox* b : boxes)
        b->SetParent(&host);
    host.Handle();
    t = NowMs();
    for (std::size_t i = 0; i < 3; ++i)
        boxes[i]->SetItems(lists[i]);
    double setItems = NowMs() - t;

    t = NowMs();
    for (std::size_t i = 0; i < 3; ++i)
        boxes[3 + i]->SetItemViews(CatalogueLineViews(files[i]));
    double setViews = NowMs() - t;

    std::printf("Sections for 3 x %d rows (ms):\n", rows);
    std::printf("  read the three files                      %8.1f\n", read);
    std::printf("  CatalogueLineViews x3                     %8.1f  (%zu rows)\n", views, viewed);
    std::printf("  TComboBox::SetItems x3                    %8.1f\n", setItems);
    std::printf("  CatalogueLineViews + SetItemViews x3      %8.1f  (as a catalogue load)\n",
                setViews);

    // Plain combo boxes, as the bare window fills them: one list of every row
    // or one list per catalogue, through the combo box or its list part.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    for (int count : {1, 3})
        for (bool listPart : {false, true}) {
            std::vector<HWND> combos;
            for (int i = 0; i < count; ++i)
                combos.push_back(CreateWindowExA(
                    0, "COMBOBOX", "",
                    WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                    0, 0, 500, 300, parent, nullptr, nullptr, nullptr));
            t = NowMs();
            for (int i = 0; i < 3; ++i) {
                HWND combo = combos[static_cast<std::size_t>(i % count)];
                COMBOBOXINFO info{};
                info.cbSize = sizeof info;
                HWND target = listPart && GetComboBoxInfo(combo, &info) ? info.hwndList : combo;
                if (count == 3 || i == 0) {
                    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
                    SendMessageA(target, target == combo ? CB_INITSTORAGE : LB_INITSTORAGE,
                                 static_cast<WPARAM>(rows * 3 / count), rows * 3 / count * 64);
                }
                const UINT add = target == combo ? CB_ADDSTRING : LB_ADDSTRING;
                for (const auto& row : lists[static_cast<std::size_t>(i)])
                    SendMessageA(target, add, 0, reinterpret_cast<LPARAM>(row.c_str()));
            }
            for (HWND combo : combos)
                SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
            const double ms = NowMs() - t;
            std::printf("  %s into %s        %8.1f\n", listPart ? "LB_ADDSTRING" : "CB_ADDSTRING",
                        count == 1 ? "one plain list    " : "three plain lists ", ms);
            for (HWND combo : combos)
                DestroyWindow(combo);
        }
    DestroyWindow(parent);

    std::printf("\nTForm1 start-up in steps (ms), one fresh process per run:\n");
    std::printf("  %9s %9s %9s %9s %9s %9s\n", "construct", "windows", "OnCreate", "Show", "paint",
                "to idle");
    for (int run = 0; run < 3; ++run)
        if (std::optional<std::string> text = SpawnChild("trace", dir)) {
            double v[6] = {};
            std::sscanf(text->c_str(), "%lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4],
                        &v[5]);
            std::printf("  %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n", v[0], v[1], v[2], v[3], v[4],
                        v[5]);
        }
    if (closing)
        if (std::optional<std::string> text = SpawnChild("trace-close", dir)) {
            double v[7] = {};
            std::sscanf(text->c_str(), "%lf %lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3],
                        &v[4], &v[5], &v[6]);
            std::printf("\nClosing: delete TForm1 with its %d rows: %.1f ms\n", 3 * rows, v[6]);
        }
    RemoveCatalogues(dir);
    // The three filled TComboBox would take minutes to close.
    EndRun();
}

} // namespace

int main(int argc, char** argv) {
    std::string child, dir, out, write;
    int rows = 0, reps = 5;
    std::vector<int> sizes;
    bool sections = false, closing = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--child")
            child = next();
        else if (a == "--data")
            dir = next();
        else if (a == "--out")
            out = next();
        else if (a == "--write")
            write = next();
        else if (a == "--rows")
            rows = std::max(1, std::atoi(next().c_str()));
        else if (a == "--sizes") {
            const std::string list = next();
            for (std::size_t p = 0; p < list.size();) {
                std::size_t comma = std::min(list.find(',', p), list.size());
                sizes.push_back(std::max(1, std::atoi(list.substr(p, comma - p).c_str())));
                p = comma + 1;
            }
        } else if (a == "--reps")
            reps = std::max(1, std::atoi(next().c_str()));
        else if (a == "--sections")
            sections = true;
        else if (a == "--closing")
            closing = true;
        else {
            std::fprintf(stderr, "usage: startup_bench [--sizes N,N... | --rows N] [--reps N] | "
                                 "--sections [--closing] [--rows N] | "
                                 "--write DIR [--rows N]\n");
            return 2;
        }
    }
    if (!UseCommonControls6()) {
        std::fprintf(stderr, "common controls 6 not available\n");
        return 1;
    }
    if (!child.empty())
        return RunChild(child, dir, out);
    if (sections && rows == 0)
        rows = 100000;
    if (rows > 0)
        sizes = {rows};
    if (sizes.empty())
        sizes = {1000, 10000, 50000, 100000, 200000};
    if (!write.empty()) {
        std::printf("%zu bytes written\n", MakeCatalogues(write, sizes.front()));
        return 0;
    }
    if (sections)
        return RunSections(sizes.front(), closing);
    return RunComparison(sizes, reps);
}
