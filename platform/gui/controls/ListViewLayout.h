#pragma once
// The geometry of a list view, apart from any window: where each item, its
// icon and its label lie in each of the four views, what a point hits, how
// far the content reaches and how much of it a page shows, where the scroll
// bar's thumb is, and how far to scroll to bring an item into view. The
// list view reads the metrics from its window, font, image lists and header;
// everything here is arithmetic on them.

#include <vector>

#include "platform/gui/CommCtrl.h"

namespace ce::gui {

// What the layout depends on.
struct ListMetrics {
    DWORD view = LVS_REPORT;
    int width = 0;  // the client area
    int height = 0;
    int headerHeight = 0;  // 0 unless a report view shows its header
    int lineHeight = 0;
    int averageCharWidth = 1;
    int smallCx = 0;  // image sizes; 0 without an image list
    int smallCy = 0;
    int largeCx = 0;
    int largeCy = 0;
    int scrollBar = 13;
    bool fullRowSelect = false;
    std::vector<int> columnWidths;  // in header order
    int widestLabel = 0;            // list view: the widest item text
};

// Where a scroll bar lies and where its thumb is along it.
struct ScrollBarGeometry {
    bool horizontal = false;
    RECT track{};
    int length = 0;  // of the track, along it
    int thumbStart = 0;
    int thumbLength = 0;
};

// The layout of `count` items. "Top" is the scroll position: the first row
// (report), the first column (list) or pixels (icon views).
struct ListLayout {
    ListLayout(ListMetrics metrics, int count);

    ListMetrics m;
    int count = 0;
    int rowHeight = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int perLine = 1;  // items per row (icon views) or per column (list view)

    // Rows (report), columns (list) or pixels (icon views) of the whole content.
    int ContentExtent() const;
    // How much of that extent one page shows.
    int PageExtent() const;
    bool HasScrollBar() const { return ContentExtent() > PageExtent(); }
    // The nearest scroll position that keeps the last page full.
    int ClampTop(int top) const;

    // LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS of item `i`.
    RECT ItemRect(int top, int i, int code) const;
    // The item under a point with LVHT_ONITEMICON or LVHT_ONITEMLABEL in
    // `flags`, or -1 with LVHT_NOWHERE.
    int HitTest(int top, POINT p, UINT* flags) const;
    // As HitTest, with the column under the point; in a report view a point
    // beside a row's label in another column hits the row.
    void SubItemHitTest(int top, LVHITTESTINFO* info) const;

    // The scroll position that shows item `i`, moving as little as possible.
    int TopShowing(int top, int i) const;
    // The scroll bar (meaningful when HasScrollBar()).
    ScrollBarGeometry ScrollBar(int top) const;
    // Whether a point is on the scroll bar the content needs.
    bool OnScrollBar(POINT p) const;
    // A press on the scroll bar pages towards it: beside the thumb one page
    // back or on, on the thumb nowhere.
    int TopAfterBarPress(int top, POINT p) const;

    int CountPerPage() const;
    // The first item shown (LVM_GETTOPINDEX).
    int TopIndex(int top) const;
    // What LVM_SCROLL's pixels come to in scroll positions.
    int ScrollAmount(int dx, int dy) const;
    // One wheel notch's worth of scroll positions per row scrolled.
    int WheelUnit() const;
    // Items between neighbours across and down, for the arrow keys.
    int StepAcross() const { return m.view == LVS_LIST ? perLine : 1; }
    int StepDown() const { return m.view == LVS_ICON || m.view == LVS_SMALLICON ? perLine : 1; }
};

}  // namespace ce::gui
