#include "core/Catalogue.h"

#include <algorithm>

std::vector<std::string_view> CatalogueLineViews(std::string_view bytes) {
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);

    std::vector<std::string_view> rows;
    // A count of the breaks bounds the row count, so the vector never regrows.
    const auto breaks =
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    rows.reserve(static_cast<std::size_t>(breaks) + 1);

    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        rows.push_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        rows.push_back(bytes.substr(start));
    return rows;
}
