// Suggestions under the command-line box: the time one typed key takes, from
// the WM_CHAR reaching the box until the suggestions are drawn, in the main
// window with the shipped catalogues (and the example personal list), then
// with three lists of N rows each (default 10,000) made from their rows.
// Also the memory of the search's folded copy against the rows' own bytes.
//
//   suggestions_bench [--rows N]
#include "BenchSeams.h"
#include "BenchSupport.h"
#include "SearchLists.h"
#include "app/Unit1.h"
#include "core/Catalogue.h"
#include "core/CommandSearch.h"
#include "ui/AnsiPaths.h"
#include "ui/Application.h"
#include "ui/System.h"
#include "update/Network.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"CommandesCPL.TXT", "CommandesSyst.TXT", "Commandes.txt"};

void WriteAll(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

double PrivateMb() {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c),
                         sizeof c);
    // Wine leaves PrivateUsage at zero; its PagefileUsage is the anonymous resident memory.
    const SIZE_T priv = c.PrivateUsage ? c.PrivateUsage : c.PagefileUsage;
    return static_cast<double>(priv) / (1024.0 * 1024.0);
}

void Pump(TApplication& application) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        application.DispatchOne(msg);
}

struct TFigures {
    double median = 0, worst = 0;
    double handlingMedian = 0, handlingWorst = 0; // until WM_CHAR returns, before painting
    size_t keys = 0, mostRows = 0;
    std::string worstKey;
};

// Opens the main window on the three files and types every query.
TFigures TypeQueries(TApplication& application, const std::string& dir,
                     const std::vector<std::string>& files) {
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\Syst").c_str(), nullptr);
    for (size_t i = 0; i < 3; ++i)
        WriteAll(dir + "\\" + kNames[i], files[i]);
    SetCurrentDirectoryA(dir.c_str());
    static TBenchSeams seams(dir);

    auto* form = new TForm1();
    application.MainForm = form;
    form->DoCreate();
    form->Show();
    // As a user's first key comes: the window drawn, and its idle work done.
    for (const double start = NowMs();
         !form->Suggestions.List().HandleAllocated() && NowMs() - start < 1000; Sleep(1))
        Pump(application);
    HWND box = form->edtCmdLine.Handle();
    SetFocus(box);

    TFigures f;
    std::vector<double> ms, handling;
    for (const char* query : kQueries) {
        form->edtCmdLine.SetText("");
        std::string typed;
        for (const char* c = query; *c; ++c) {
            typed += *c;
            const double t0 = NowMs();
            SendMessageA(box, WM_CHAR, static_cast<unsigned char>(*c), 1);
            const double t1 = NowMs();
            // The popup with its rows and scroll bar.
            if (form->Suggestions.List().Visible())
                UpdateWindow(GetAncestor(form->Suggestions.List().Handle(), GA_ROOT));
            const double t = NowMs() - t0;
            handling.push_back(t1 - t0);
            ms.push_back(t);
            if (t >= f.worst) {
                f.worst = t;
                f.worstKey = typed;
            }
            f.mostRows =
                std::max(f.mostRows, static_cast<size_t>(form->Suggestions.List().ItemCount()));
            Pump(application);
        }
    }
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    std::sort(handling.begin(), handling.end());
    f.handlingMedian = handling[handling.size() / 2];
    f.handlingWorst = handling.back();
    f.keys = ms.size();
    form->edtCmdLine.SetText("");
    return f;
}

} // namespace

int main(int argc, char** argv) {
    int rows = 10000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--rows")
            rows = std::max(1, std::atoi(argv[i + 1]));
    UseCommonControls6();
    TApplication application;
    application.OnException = [](const std::string& message) {
        std::fprintf(stderr, "exception: %s\n", message.c_str());
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string base =
        std::string(temp) + "osh-suggest-" + std::to_string(GetCurrentProcessId());

    const std::vector<std::string> shipped = ShippedFiles();
    const std::vector<std::string_view> shippedRows = RowsOf(shipped);
    const TFigures small = TypeQueries(application, base + "-shipped", shipped);

    std::vector<std::string> large;
    for (int k = 0; k < 3; ++k)
        large.push_back(MakeList(shippedRows, rows, k * 31));
    const TFigures big = TypeQueries(application, base + "-large", large);

    // The folded copy alone: one index built from the large lists' rows.
    size_t bytes = 0;
    std::vector<std::vector<std::string_view>> views;
    for (const std::string& file : large) {
        views.push_back(CatalogueLineViews(file));
        bytes += file.size();
    }
    const double before = PrivateMb();
    auto* index = new GCommandIndex;
    index->SetRows(lkCPL, views[0]);
    index->SetRows(lkSyst, views[1]);
    index->SetRows(lkCustom, views[2]);
    const double indexMb = PrivateMb() - before;
    const double rowsMb = static_cast<double>(bytes) / (1024.0 * 1024.0);

    std::printf("shipped catalogues (%zu rows): %zu keys, median %.2f ms, worst %.2f ms (\"%s\"), "
                "at most %zu suggestions\n",
                shippedRows.size(), small.keys, small.median, small.worst, small.worstKey.c_str(),
                small.mostRows);
    std::printf("3 x %d rows: %zu keys, median %.2f ms, worst %.2f ms (\"%s\"), at most %zu "
                "suggestions\n",
                rows, big.keys, big.median, big.worst, big.worstKey.c_str(), big.mostRows);
    std::printf("  without painting: shipped median %.2f ms, worst %.2f ms; 3 x %d rows median "
                "%.2f ms, worst %.2f ms\n",
                small.handlingMedian, small.handlingWorst, rows, big.handlingMedian,
                big.handlingWorst);
    std::printf("folded copy of 3 x %d rows: %.2f MiB for %.2f MiB of catalogue bytes\n", rows,
                indexMb, rowsMb);
    // Per key as for the long lists: the median. The worst is the popup's
    // first showing, a round of the display server whatever the rows.
    const bool smallMet = small.median < 1.0;
    const bool bigMet = big.median <= 5.0 && big.worst <= 20.0;
    const bool memoryMet = indexMb <= rowsMb * 1.1 + 4.0 * 3 * rows / (1024.0 * 1024.0);
    std::printf(
        "TABLE|Suggestions, shipped catalogues, ms per key: median (worst)|%.2f (%.2f)|< 1|%s\n",
        small.median, small.worst, smallMet ? "met" : "NOT met");
    std::printf(
        "TABLE|Suggestions, 3 x %dk rows, ms per key: median (worst)|%.2f (%.2f)|<= 5 (<= 20)|%s\n",
        rows / 1000, big.median, big.worst, bigMet ? "met" : "NOT met");
    std::printf("TABLE|Suggestions, folded copy of 3 x %dk rows / their bytes|%.2f / %.2f MiB|<= "
                "one copy|%s\n",
                rows / 1000, indexMb, rowsMb, memoryMet ? "met" : "NOT met");
    std::fflush(nullptr);
    // The large window's thousands of rows take long to destroy: the figures are out.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
