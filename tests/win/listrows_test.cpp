// The rows of the three command lists, drawn through WM_DRAWITEM into a DIB
// section and read back.
#include "TestSupport.h"

#include "app/Unit1.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr int kRowWidth = 300;
constexpr int kRowHeight = 15;
constexpr COLORREF kEven = RGB(255, 230, 204);
constexpr COLORREF kSelected = RGB(223, 255, 0);

// Pixels of a rectangle that differ from its background: how many, and
// their bounding box (inclusive).
struct TInk {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
};

TInk InkOf(const TDib& dib, const RECT& r, COLORREF background) {
    TInk ink;
    for (int y = 0; y < r.bottom - r.top; ++y)
        for (int x = 0; x < r.right - r.left; ++x)
            if (dib.Pixel(r.left + x, r.top + y) != background) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

bool SameArea(const TDib& a, const TDib& b, const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

// The main window with its lists filled, never shown: no update check runs.
struct TListsFixture : testing::Test {
    TForm1 form;
    const std::vector<std::string> rows{"Mmm zero (a)", "Mmm one", "", "Mmm three"};

    void SetUp() override {
        for (TComboBox* list : {&form.cbbListCPL, &form.cbbListSyst, &form.cbbListCustom})
            list->SetItems(rows);
        form.HandleNeeded();
    }

    // Draws one row as the system asks for it: WM_DRAWITEM sent to the form.
    void DrawRow(TDib& dib, TComboBox& list, int index, const RECT& r, UINT state) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(list.Handle()));
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = list.Handle();
        dis.hDC = dib.DC();
        dis.rcItem = r;
        SendMessageA(form.Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    }

    static RECT Row(int i) { return {0, i * kRowHeight, kRowWidth, (i + 1) * kRowHeight}; }
};

} // namespace

TEST_F(TListsFixture, RowsAlternateWithEachListsOwnColour) {
    struct Case {
        TComboBox* list;
        COLORREF odd;
    };
    const Case cases[] = {{&form.cbbListCPL, RGB(204, 255, 255)},
                          {&form.cbbListSyst, RGB(225, 225, 255)},
                          {&form.cbbListCustom, RGB(255, 193, 193)}};
    for (const Case& c : cases) {
        TDib dib(kRowWidth, 4 * kRowHeight, RGB(1, 2, 3));
        for (int i = 0; i < 4; ++i)
            DrawRow(dib, *c.list, i, Row(i), 0);
        for (int i = 0; i < 4; ++i) {
            const COLORREF back = i % 2 ? c.odd : kEven;
            const RECT r = Row(i);
            // The whole row is filled: its corners and the far end.
            EXPECT_EQ(dib.Pixel(0, r.top), back) << i;
            EXPECT_EQ(dib.Pixel(kRowWidth - 1, r.bottom - 1), back) << i;
            const TInk ink = InkOf(dib, r, back);
            if (rows[static_cast<size_t>(i)].empty()) {
                EXPECT_EQ(ink.count, 0) << "an empty row is a plain band";
                continue;
            }
            ASSERT_GT(ink.count, 10) << i;
            // The text starts at left + 10, top + 2, no further than a glyph's bearing.
            EXPECT_GE(ink.left, 10) << i;
            EXPECT_LE(ink.left, 12) << i;
            EXPECT_GE(ink.top, 2) << i;
        }
    }
}

TEST_F(TListsFixture, TextTakesTheColourTheListPrepared) {
    form.cbbListSyst.Font.SetColor(clRed);
    TDib dib(kRowWidth, kRowHeight);
    DrawRow(dib, form.cbbListSyst, 0, Row(0), 0);
    int red = 0;
    for (int y = 0; y < kRowHeight; ++y)
        for (int x = 0; x < kRowWidth; ++x) {
            COLORREF p = dib.Pixel(x, y);
            if (GetRValue(p) > 200 && GetGValue(p) < 120 && GetBValue(p) < 120)
                ++red;
        }
    EXPECT_GT(red, 5);
}

TEST_F(TListsFixture, SelectedRowIsBoldBlackOnYellowGreenMovedUpLeft) {
    for (int index : {0, 1}) {
        TDib plain(kRowWidth, kRowHeight);
        TDib chosen(kRowWidth, kRowHeight);
        DrawRow(plain, form.cbbListCPL, index, Row(0), 0);
        DrawRow(chosen, form.cbbListCPL, index, Row(0), ODS_SELECTED);
        EXPECT_EQ(chosen.Pixel(0, 0), kSelected);
        EXPECT_EQ(chosen.Pixel(kRowWidth - 1, kRowHeight - 1), kSelected);
        const TInk before = InkOf(plain, Row(0), plain.Pixel(0, 0));
        const TInk after = InkOf(chosen, Row(0), kSelected);
        ASSERT_GT(before.count, 10);
        // Nothing of the first pass (in the highlight text colour) is left.
        int dark = 0, other = 0;
        for (int y = 0; y < kRowHeight; ++y)
            for (int x = 0; x < kRowWidth; ++x) {
                COLORREF p = chosen.Pixel(x, y);
                if (p == kSelected)
                    continue;
                // Anti-aliased black on yellow-green: never lighter than the background.
                bool onTheWayToBlack = GetRValue(p) <= 223 && GetBValue(p) == 0;
                ++(onTheWayToBlack ? dark : other);
            }
        EXPECT_GT(dark, 10) << index;
        EXPECT_EQ(other, 0) << index;
        // Bold, two pixels left and up.
        EXPECT_GT(after.count, before.count) << index;
        EXPECT_GE(after.left, 8) << index;
        EXPECT_NEAR(after.left, before.left - 2, 1) << index;
        EXPECT_NEAR(after.top, before.top - 2, 1) << index;
    }
}

TEST_F(TListsFixture, BoldDoesNotCarryOverToTheNextRow) {
    TDib fresh(kRowWidth, 2 * kRowHeight);
    TDib afterSelected(kRowWidth, 2 * kRowHeight);
    DrawRow(fresh, form.cbbListSyst, 1, Row(1), 0);
    DrawRow(afterSelected, form.cbbListSyst, 0, Row(0), ODS_SELECTED | ODS_FOCUS);
    DrawRow(afterSelected, form.cbbListSyst, 1, Row(1), 0);
    EXPECT_TRUE(SameArea(fresh, afterSelected, Row(1)));
}

TEST_F(TListsFixture, FocusAndTheClosedBox) {
    // The focus rectangle comes after the row: every other pixel of its edge inverted.
    TDib dropped(kRowWidth, kRowHeight);
    DrawRow(dropped, form.cbbListCustom, 1, Row(0), ODS_SELECTED | ODS_FOCUS);
    const TInk dots = InkOf(dropped, {0, 0, 1, kRowHeight}, kSelected);
    EXPECT_NEAR(dots.count, kRowHeight / 2, 1);
    // The closed box draws its row the same way; without the focus, in its parity colour.
    TDib closed(kRowWidth, kRowHeight);
    DrawRow(closed, form.cbbListCustom, 1, Row(0), ODS_SELECTED | ODS_FOCUS | ODS_COMBOBOXEDIT);
    EXPECT_TRUE(SameArea(dropped, closed, Row(0)));
    DrawRow(closed, form.cbbListCustom, 1, Row(0), ODS_COMBOBOXEDIT);
    EXPECT_EQ(closed.Pixel(kRowWidth - 1, 0), RGB(255, 193, 193));
    // No row chosen yet: the list's own colour, and the focus rectangle when focused.
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    TDib none(kRowWidth, kRowHeight, RGB(1, 2, 3));
    DrawRow(none, form.cbbListSyst, -1, Row(0), ODS_COMBOBOXEDIT);
    EXPECT_EQ(InkOf(none, Row(0), window).count, 0);
    DrawRow(none, form.cbbListSyst, -1, Row(0), ODS_COMBOBOXEDIT | ODS_FOCUS);
    EXPECT_NEAR(InkOf(none, {0, 0, 1, kRowHeight}, window).count, kRowHeight / 2, 1);
    EXPECT_EQ(none.Pixel(kRowWidth / 2, kRowHeight / 2), window);
}
