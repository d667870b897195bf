#include "core/Catalogue.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto rows = CatalogueLineViews(bytes);

    const auto end = bytes.find('\0');
    const std::string_view listed = bytes.substr(0, end);

    std::size_t total = 0;
    for (const auto& row : rows) {
        if (row.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            __builtin_trap();
        total += row.size();
    }
    // Rows hold every listed byte but the line breaks.
    std::size_t breaks = 0;
    for (char c : listed)
        breaks += (c == '\r' || c == '\n');
    if (total + breaks != listed.size())
        __builtin_trap();
    if (listed.empty() != rows.empty())
        __builtin_trap();

    // Joining the rows with CR LF and a final CR LF gives a file that splits
    // to the same rows.
    std::string joined;
    for (const auto& row : rows)
        joined.append(row).append("\r\n");
    if (CatalogueLineViews(joined) != rows)
        __builtin_trap();

    // Every row is a stretch of the input, in order.
    std::size_t from = 0;
    for (const auto& row : rows) {
        const auto at = listed.find(row, from);
        if (at == std::string_view::npos)
            __builtin_trap();
        from = at + row.size();
    }

    // Bytes after a NUL never matter.
    if (end != std::string_view::npos && CatalogueLineViews(listed) != rows)
        __builtin_trap();

    // Read in its encoding, the file gives the same rows with a row appended
    // and that row last, however its line ends, mark or last line look.
    std::string storage;
    std::vector<std::size_t> lost;
    const auto text = CatalogueAnsiText(bytes, storage, &lost);
    // Every place lost holds a '?', in order, and names a row that shows it.
    for (std::size_t i = 0; i < lost.size(); ++i)
        if (lost[i] >= text.size() || text[lost[i]] != '?' || (i > 0 && lost[i] <= lost[i - 1]))
            __builtin_trap();
    const auto views = CatalogueLineViews(text);
    for (std::size_t row : RowsHoldingLost(views, text, lost))
        if (row >= views.size() || views[row].find('?') == std::string_view::npos)
            __builtin_trap();
    if (CatalogueEncoding(bytes) != TCatalogueEncoding::Ansi &&
        text.find('\0') != std::string_view::npos)
        __builtin_trap();
    std::vector<std::string> before, after;
    for (const auto& row : CatalogueLineViews(text))
        before.emplace_back(row);
    before.emplace_back("echo \xE9 (x)");
    const std::optional<std::string> appended = CatalogueWithRow(bytes, before.back());
    // Only a file whose list a NUL ends is refused.
    if (!appended.has_value() && end == std::string_view::npos)
        __builtin_trap();
    if (appended) {
        std::string again;
        for (const auto& row : CatalogueLineViews(CatalogueAnsiText(*appended, again)))
            after.emplace_back(row);
        if (after != before)
            __builtin_trap();
    }
    return 0;
}
