// The search behind the suggestions alone: GCommandIndex::Find over three
// lists of N rows each (default 10,000), made from the shipped catalogues'
// rows as suggestions_bench makes them, for every prefix of each query from
// two characters on, as typed one key at a time. Per prefix: the median and
// the worst of a number of calls, and the rows found.
//
// Portable (no Windows header): built with the other benchmarks, and natively
// by hand, to compare with the host's C library, from the source tree:
//   g++ -O2 -std=c++20 -Isrc -DOSH_CATALOGUE_DIR="\"$PWD/catalogues\""
//       bench/search_bench.cpp src/core/{CommandSearch,Catalogue,Utf8}.cpp   (one line)
//
//   search_bench [--rows N] [--reps N]
#include "SearchLists.h"
#include "core/CommandSearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char** argv) {
    int rows = 10000, reps = 21;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--rows")
            rows = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--reps")
            reps = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::vector<std::string> shipped = ShippedFiles();
    const std::vector<std::string_view> shippedRows = RowsOf(shipped);
    if (shippedRows.empty()) {
        std::fprintf(stderr, "search_bench: no catalogue under %s\n", OSH_CATALOGUE_DIR);
        return 1;
    }
    std::vector<std::string> large;
    for (int k = 0; k < 3; ++k)
        large.push_back(MakeList(shippedRows, rows, k * 31));
    GCommandIndex index;
    const TListKind kinds[] = {lkCPL, lkSyst, lkCustom};
    for (int k = 0; k < 3; ++k)
        index.SetRows(kinds[k], CatalogueLineViews(large[static_cast<size_t>(k)]));

    std::printf("Find over 3 x %d rows, %d calls per prefix: median / worst ms, rows found\n", rows,
                reps);
    std::vector<double> medians;
    double worst = 0;
    std::string worstPrefix;
    unsigned long long sum = 0; // of the rows found, weighted: the same lists give the same sum
    for (const char* query : kQueries) {
        const std::string q = query;
        for (size_t n = 2; n <= q.size(); ++n) {
            const std::string typed = q.substr(0, n);
            std::vector<double> ms;
            size_t found = 0;
            for (int r = 0; r < reps; ++r) {
                const double t0 = NowMs();
                const std::vector<GSearchHit> hits = index.Find(typed);
                ms.push_back(NowMs() - t0);
                found = hits.size();
                if (r == 0)
                    for (size_t i = 0; i < hits.size(); ++i)
                        sum += (i + 1ull) *
                               static_cast<unsigned long long>(hits[i].list * 100000 + hits[i].row);
            }
            std::sort(ms.begin(), ms.end());
            medians.push_back(ms[ms.size() / 2]);
            if (ms.back() > worst) {
                worst = ms.back();
                worstPrefix = typed;
            }
            std::printf("  %-20s %7.3f / %7.3f  %6zu\n", ("\"" + typed + "\"").c_str(),
                        ms[ms.size() / 2], ms.back(), found);
        }
    }
    std::sort(medians.begin(), medians.end());
    std::printf("over %zu prefixes: median of the medians %.3f ms, slowest median %.3f ms, worst "
                "call %.3f ms (\"%s\"); check sum %llu\n",
                medians.size(), medians[medians.size() / 2], medians.back(), worst,
                worstPrefix.c_str(), sum);
    return 0;
}
