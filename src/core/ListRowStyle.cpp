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

GRowPasses RowPasses(TListKind kind, int index, bool selected) {
    GRowPasses out{1, {GRowPass{RowBackground(kind, index), {10, 2}, true, clBlack, false}}};
    if (selected) {
        out.pass[1] = {ListRowColor::Selected, {8, 0}, false, ListRowColor::SelectedText, true};
        out.count = 2;
    }
    return out;
}
