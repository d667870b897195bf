#include "core/ListRowStyle.h"

std::uint32_t OddRowColor(TListKind kind) {
    switch (kind) {
    case lkSyst:
        return ListRowColor::OddSyst;
    case lkCustom:
        return ListRowColor::OddCustom;
    case lkCPL:
        break;
    }
    return ListRowColor::OddCPL;
}

std::uint32_t RowBackground(TListKind kind, int index) {
    // index % 2 is -1 for negative odd indexes: test for non-zero.
    return index % 2 != 0 ? OddRowColor(kind) : ListRowColor::Even;
}

GPoint RowTextOrigin(const GRect& row, bool selected) {
    return selected ? GPoint{AddClamped(row.left, 8), row.top}
                    : GPoint{AddClamped(row.left, 10), AddClamped(row.top, 2)};
}

GRowPasses RowPasses(TListKind kind, int index, const GRect& row, bool selected) {
    GRowPasses out{1,
                   {GRowPass{RowBackground(kind, index), RowTextOrigin(row, false), true,
                             DisplayColor::Black, false}}};
    if (selected) {
        out.pass[1] = {ListRowColor::Selected, RowTextOrigin(row, true), false,
                       ListRowColor::SelectedText, true};
        out.count = 2;
    }
    return out;
}
