// The rows both suggestion benchmarks search: the shipped catalogues, and
// long lists made from their rows. Portable (no Windows header), so that the
// search benchmark also builds natively.
#pragma once
#include "core/Catalogue.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// What a user looks for, typed one key at a time from an empty box.
inline const char* const kQueries[] = {"dns",           "gestion disques", "reseau",
                                       "ipconfig /all", "control",         "pilotes installes",
                                       "start msc",     "cache dns vider", "zzqx"};

inline std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

// The shipped catalogues' files, the example personal list's included.
inline std::vector<std::string> ShippedFiles() {
#ifdef _WIN32
    const std::string from = "Z:" OSH_CATALOGUE_DIR; // Wine's Z: drive is the Unix root
#else
    const std::string from = OSH_CATALOGUE_DIR;
#endif
    return {ReadAll(from + "/CommandesCPL.TXT"), ReadAll(from + "/CommandesSyst.TXT"),
            ReadAll(from + "/exemples/Commandes.txt")};
}

// Their rows, without the empty ones.
inline std::vector<std::string_view> RowsOf(const std::vector<std::string>& files) {
    std::vector<std::string_view> rows;
    for (const std::string& file : files)
        for (std::string_view r : CatalogueLineViews(file))
            if (!r.empty())
                rows.push_back(r);
    return rows;
}

// Rows of a list of n: the command of one shipped row with the comment of
// another and a number, so that words recur as in a long personal list.
inline std::string MakeList(const std::vector<std::string_view>& shipped, int n, int seed) {
    std::string out;
    const size_t m = shipped.size();
    for (int i = 0; i < n; ++i) {
        std::string_view a = shipped[(static_cast<size_t>(i) * 7 + static_cast<size_t>(seed)) % m];
        std::string_view b = shipped[(static_cast<size_t>(i) * 13 + 5) % m];
        std::string_view command = a.substr(0, a.find(" ("));
        std::string_view comment =
            b.find(" (") == std::string_view::npos ? b : b.substr(b.find(" (") + 2);
        out.append(command).append(" (").append(comment.substr(0, comment.find(')')));
        out.append(" ").append(std::to_string(i)).append(")\r\n");
    }
    return out;
}
