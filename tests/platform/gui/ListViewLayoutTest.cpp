// The list view's geometry without a window: item rectangles in each view,
// hit testing, how far the content reaches, scrolling an item into view and
// the scroll bar's thumb, down to a client area of no size at all.

#include "platform/gui/controls/ListViewLayout.h"

#include <gtest/gtest.h>

namespace {

using ce::POINT;
using ce::RECT;
using ce::UINT;
using ce::gui::ListLayout;
using ce::gui::ListMetrics;

// A 200 x 150 client area, 16-pixel lines and small images (rows of 18),
// 32-pixel large images, a 20-pixel header over columns of 80, 60 and 40.
ListMetrics Metrics(ce::DWORD view) {
    ListMetrics m;
    m.view = view;
    m.width = 200;
    m.height = 150;
    m.headerHeight = view == ce::LVS_REPORT ? 20 : 0;
    m.lineHeight = 16;
    m.averageCharWidth = 8;
    m.smallCx = 16;
    m.smallCy = 16;
    m.largeCx = 32;
    m.largeCy = 32;
    m.scrollBar = 13;
    m.columnWidths = {80, 60, 40};
    m.widestLabel = 50;
    return m;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

POINT Middle(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(ListViewLayout, ReportRowsStackBelowTheHeaderWithTheLabelInTheFirstColumn) {
    ListLayout l(Metrics(ce::LVS_REPORT), 20);
    EXPECT_EQ(l.rowHeight, 18);
    EXPECT_TRUE(SameRect(l.ItemRect(0, 2, ce::LVIR_BOUNDS), RECT{0, 56, 180, 74}));
    EXPECT_TRUE(SameRect(l.ItemRect(0, 2, ce::LVIR_ICON), RECT{2, 56, 18, 74}));
    EXPECT_TRUE(SameRect(l.ItemRect(0, 2, ce::LVIR_LABEL), RECT{20, 56, 80, 74}));
    // Without full-row selection only icon and label are the item.
    EXPECT_TRUE(SameRect(l.ItemRect(0, 2, ce::LVIR_SELECTBOUNDS), RECT{2, 56, 80, 74}));
    // Scrolled down by three rows, row 3 takes the place of row 0.
    EXPECT_TRUE(SameRect(l.ItemRect(3, 3, ce::LVIR_BOUNDS), l.ItemRect(0, 0, ce::LVIR_BOUNDS)));

    ListMetrics full = Metrics(ce::LVS_REPORT);
    full.fullRowSelect = true;
    EXPECT_TRUE(
        SameRect(ListLayout(full, 20).ItemRect(0, 2, ce::LVIR_SELECTBOUNDS), RECT{0, 56, 180, 74}));
}

TEST(ListViewLayout, BesideAReportLabelOnlyFullRowSelectionHitsTheRow) {
    ListMetrics m = Metrics(ce::LVS_REPORT);
    UINT flags = 0;
    POINT inSecondColumn{100, 61};
    EXPECT_EQ(ListLayout(m, 5).HitTest(0, inSecondColumn, &flags), -1);
    EXPECT_EQ(flags, ce::LVHT_NOWHERE);
    m.fullRowSelect = true;
    EXPECT_EQ(ListLayout(m, 5).HitTest(0, inSecondColumn, &flags), 2);
    EXPECT_EQ(flags, ce::LVHT_ONITEMLABEL);
    // The header is nobody's row, and neither is the room below the last one.
    EXPECT_EQ(ListLayout(m, 5).HitTest(0, {30, 10}, &flags), -1);
    EXPECT_EQ(ListLayout(m, 5).HitTest(0, {30, 20 + 5 * 18 + 1}, &flags), -1);
}

TEST(ListViewLayout, SubItemHitTestingNamesTheColumnAndFindsTheRowOutsideTheFirst) {
    ListLayout l(Metrics(ce::LVS_REPORT), 5);
    ce::LVHITTESTINFO info{};
    info.pt = {100, 61};
    l.SubItemHitTest(0, &info);
    EXPECT_EQ(info.iItem, 2);
    EXPECT_EQ(info.iSubItem, 1);
    EXPECT_EQ(info.flags, ce::LVHT_ONITEMLABEL);
    // Between the icon and the label of the first column nothing is hit.
    info.pt = {19, 61};
    l.SubItemHitTest(0, &info);
    EXPECT_EQ(info.iItem, -1);
    EXPECT_EQ(info.iSubItem, 0);
    // Scrolled, the row under the point is counted from the first shown.
    info.pt = {150, 25};
    l.SubItemHitTest(4, &info);
    EXPECT_EQ(info.iItem, 4);
    EXPECT_EQ(info.iSubItem, 2);
    // Past the last row, or past the last column, there is no item.
    info.pt = {150, 25};
    l.SubItemHitTest(5, &info);
    EXPECT_EQ(info.iItem, -1);
    info.pt = {190, 25};
    l.SubItemHitTest(0, &info);
    EXPECT_EQ(info.iItem, -1);
}

TEST(ListViewLayout, LargeIconsFillRowsOfCellsLeavingRoomForTheScrollBar) {
    ListLayout l(Metrics(ce::LVS_ICON), 5);
    EXPECT_EQ(l.cellWidth, 72);   // eight average characters and a margin beat the image
    EXPECT_EQ(l.cellHeight, 74);  // the image and two lines of label
    EXPECT_EQ(l.perLine, 2);      // (200 - 13) / 72
    EXPECT_TRUE(SameRect(l.ItemRect(0, 3, ce::LVIR_BOUNDS), RECT{72, 74, 144, 148}));
    EXPECT_TRUE(SameRect(l.ItemRect(0, 3, ce::LVIR_ICON), RECT{92, 76, 124, 108}));
    EXPECT_TRUE(SameRect(l.ItemRect(0, 3, ce::LVIR_LABEL), RECT{74, 112, 142, 144}));
    EXPECT_EQ(l.ContentExtent(), 3 * 74);
    EXPECT_EQ(l.StepDown(), 2);
    EXPECT_EQ(l.StepAcross(), 1);
}

TEST(ListViewLayout, TheListViewFillsColumnsTopToBottomAsWideAsTheWidestLabel) {
    ListLayout l(Metrics(ce::LVS_LIST), 20);
    EXPECT_EQ(l.cellWidth, 76);  // image, margins and the widest label
    EXPECT_EQ(l.perLine, 7);     // (150 - 13) / 18 rows above the scroll bar
    EXPECT_TRUE(SameRect(l.ItemRect(0, 9, ce::LVIR_BOUNDS), RECT{76, 36, 152, 54}));
    EXPECT_TRUE(SameRect(l.ItemRect(1, 9, ce::LVIR_BOUNDS), RECT{0, 36, 76, 54}));
    EXPECT_EQ(l.ContentExtent(), 3);  // columns
    EXPECT_EQ(l.PageExtent(), 2);
    EXPECT_EQ(l.StepAcross(), 7);
    EXPECT_EQ(l.TopIndex(1), 7);
    // A label wider than the client area is cut to it.
    ListMetrics wide = Metrics(ce::LVS_LIST);
    wide.widestLabel = 1000;
    EXPECT_EQ(ListLayout(wide, 20).cellWidth, 200);
}

class EveryView : public ::testing::TestWithParam<ce::DWORD> {};

TEST_P(EveryView, TheMiddleOfEachItemsIconAndLabelHitsThatItem) {
    ListLayout l(Metrics(GetParam()), 9);
    for (int i = 0; i < 9; ++i) {
        RECT bounds = l.ItemRect(0, i, ce::LVIR_BOUNDS);
        if (bounds.top >= 150 || bounds.left >= 200)
            continue;  // not shown without scrolling
        UINT flags = 0;
        EXPECT_EQ(l.HitTest(0, Middle(l.ItemRect(0, i, ce::LVIR_LABEL)), &flags), i);
        EXPECT_EQ(flags, ce::LVHT_ONITEMLABEL);
        EXPECT_EQ(l.HitTest(0, Middle(l.ItemRect(0, i, ce::LVIR_ICON)), &flags), i);
        EXPECT_EQ(flags, ce::LVHT_ONITEMICON);
    }
}

TEST_P(EveryView, ScrollingToAnItemShowsItWholeAndMovesNoFurtherThanNeeded) {
    ListLayout l(Metrics(GetParam()), 40);
    int last = l.ClampTop(1 << 20);
    EXPECT_EQ(last, l.ContentExtent() - l.PageExtent());
    EXPECT_EQ(l.ClampTop(-5), 0);
    for (int i : {0, 13, 39}) {
        int top = l.TopShowing(0, i);
        RECT r = l.ItemRect(top, i, ce::LVIR_BOUNDS);
        EXPECT_GE(r.top, l.m.headerHeight) << i;
        EXPECT_GE(r.left, 0) << i;
        // Shown already: the position stays.
        EXPECT_EQ(l.TopShowing(top, i), top) << i;
    }
    EXPECT_EQ(l.TopShowing(last, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Views, EveryView,
                         ::testing::Values(ce::LVS_REPORT, ce::LVS_LIST, ce::LVS_SMALLICON,
                                           ce::LVS_ICON));

TEST(ListViewLayout, ReportScrollingBringsARowToTheBottomOrTheTopEdge) {
    ListLayout l(Metrics(ce::LVS_REPORT), 20);
    EXPECT_EQ(l.PageExtent(), 7);  // (150 - 20) / 18
    EXPECT_EQ(l.TopShowing(0, 10), 4);
    EXPECT_EQ(l.TopShowing(4, 2), 2);
    EXPECT_EQ(l.TopShowing(4, 6), 4);
    EXPECT_EQ(l.CountPerPage(), 7);
    EXPECT_EQ(l.TopIndex(30), 19);
    EXPECT_EQ(l.ScrollAmount(0, 40), 2);  // pixels down to whole rows
}

TEST(ListViewLayout, TheThumbShowsThePageAndAPressBesideItPagesTowardsThePress) {
    ListLayout l(Metrics(ce::LVS_REPORT), 20);
    ASSERT_TRUE(l.HasScrollBar());
    ce::gui::ScrollBarGeometry bar = l.ScrollBar(0);
    EXPECT_FALSE(bar.horizontal);
    EXPECT_TRUE(SameRect(bar.track, RECT{187, 20, 200, 150}));
    EXPECT_EQ(bar.thumbLength, 45);  // 130 * 7 / 20
    EXPECT_EQ(bar.thumbStart, 0);
    EXPECT_EQ(l.ScrollBar(13).thumbStart, 130 - 45);  // at the end at the last page

    EXPECT_TRUE(l.OnScrollBar({190, 120}));
    EXPECT_FALSE(l.OnScrollBar({190, 10}));  // the header is not the bar
    EXPECT_FALSE(l.OnScrollBar({100, 120}));
    EXPECT_EQ(l.TopAfterBarPress(0, {190, 120}), 7);
    EXPECT_EQ(l.TopAfterBarPress(0, {190, 30}), 0);  // on the thumb
    EXPECT_EQ(l.TopAfterBarPress(13, {190, 30}), 6);
    EXPECT_EQ(l.TopAfterBarPress(10, {190, 149}), 13);

    // Content that fits has no bar to press.
    ListLayout few(Metrics(ce::LVS_REPORT), 3);
    EXPECT_FALSE(few.HasScrollBar());
    EXPECT_FALSE(few.OnScrollBar({190, 120}));
}

TEST(ListViewLayout, TheListViewsScrollBarRunsAlongTheBottom) {
    ListLayout l(Metrics(ce::LVS_LIST), 20);
    ce::gui::ScrollBarGeometry bar = l.ScrollBar(0);
    EXPECT_TRUE(bar.horizontal);
    EXPECT_TRUE(SameRect(bar.track, RECT{0, 137, 200, 150}));
    EXPECT_TRUE(l.OnScrollBar({10, 140}));
    EXPECT_FALSE(l.OnScrollBar({190, 10}));
    EXPECT_EQ(l.TopAfterBarPress(0, {190, 140}), 1);
}

TEST(ListViewLayout, AClientAreaOfNoSizeStillHasOneItemPerLineAndAPageOfOne) {
    for (ce::DWORD view : {ce::LVS_REPORT, ce::LVS_LIST, ce::LVS_SMALLICON, ce::LVS_ICON}) {
        ListMetrics m = Metrics(view);
        m.width = 0;
        m.height = 0;
        ListLayout l(m, 4);
        EXPECT_EQ(l.perLine, 1) << view;
        EXPECT_EQ(l.PageExtent(), 1) << view;
        EXPECT_GE(l.cellWidth, view == ce::LVS_REPORT ? 0 : 1) << view;
        EXPECT_GE(l.CountPerPage(), 0) << view;
        EXPECT_EQ(l.ClampTop(2), 2) << view;  // the content still scrolls
        UINT flags = 0;
        EXPECT_EQ(l.HitTest(0, {0, 0}, &flags), view == ce::LVS_REPORT ? -1 : 0) << view;
    }
}

TEST(ListViewLayout, AnEmptyListHasNoContentAndNoTopItemBeyondTheFirst) {
    ListLayout l(Metrics(ce::LVS_REPORT), 0);
    EXPECT_EQ(l.ContentExtent(), 0);
    EXPECT_FALSE(l.HasScrollBar());
    EXPECT_EQ(l.ClampTop(3), 0);
    EXPECT_EQ(l.TopIndex(0), 0);
    UINT flags = 0;
    EXPECT_EQ(l.HitTest(0, {30, 30}, &flags), -1);
}

}  // namespace
