// Type-ahead in a long drop-down list: the time one typed key takes, from the
// WM_CHAR reaching the list until it returns, with N rows (default 100,000).
//
// Two searches per key are timed:
//   last    the prefix chosen so far matches only the list's last row;
//   none    the prefix matches no row at all (the whole list is read, and the
//           choice stays).
// Keys are sent one after another, well within the half second that makes
// them one prefix, so every key searches with a longer prefix.
//
//   typeahead_bench [--rows N] [--keys N]
#include "BenchSupport.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TFigures {
    double median = 0, worst = 0;
};

// Sends the keys of typed one by one to the list, each timed.
TFigures TimeKeys(HWND list, const std::string& typed) {
    std::vector<double> ms;
    for (char c : typed) {
        double t0 = NowMs();
        SendMessageA(list, WM_CHAR, static_cast<unsigned char>(c), 1);
        ms.push_back(NowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char** argv) {
    int rows = 100000, keys = 12;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--rows")
            rows = std::max(2, std::atoi(argv[i + 1]));
        else if (a == "--keys")
            keys = std::max(1, std::atoi(argv[i + 1]));
    }
    UseCommonControls6();
    TApplication application;
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    TComboBox list(&form);
    list.SetParent(&form);
    list.SetBounds(10, 10, 300, 21);

    // Rows like a catalogue's; the last one alone begins with "zz".
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows - 1; ++i)
        items.push_back("echo ligne " + std::to_string(i) + " (commentaire de la ligne)");
    std::string last = "zz" + std::string(static_cast<size_t>(keys), 'z') + " dernière ligne";
    items.push_back(last);
    list.SetItems(items);
    form.Show();
    application.ProcessMessages();

    HWND h = list.Handle();
    TFigures matchLast = TimeKeys(h, std::string(static_cast<size_t>(keys), 'z'));
    bool chose = list.ItemIndex() == rows - 1;
    Sleep(600); // a new prefix
    TFigures none = TimeKeys(h, std::string(static_cast<size_t>(keys), 'q'));

    std::printf("rows %d, %d keys per search\n", rows, keys);
    std::printf("  last   median %7.2f ms per key, worst %7.2f ms%s\n", matchLast.median,
                matchLast.worst, chose ? "" : "  (the last row was NOT chosen)");
    std::printf("  none   median %7.2f ms per key, worst %7.2f ms\n", none.median, none.worst);
    return chose ? 0 : 1;
}
