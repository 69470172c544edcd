#include "platform/gui/controls/ListViewLayout.h"

#include <algorithm>
#include <numeric>

namespace ce::gui {
namespace {

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

ListLayout::ListLayout(ListMetrics metrics, int itemCount)
    : m(std::move(metrics)), count(itemCount) {
    rowHeight = std::max(m.lineHeight, m.smallCy) + 2;
    int average = std::max(1, m.averageCharWidth);
    switch (m.view) {
        case LVS_ICON:
            cellWidth = std::max(m.largeCx + 24, 8 * average + 8);
            // Two lines of label under each icon.
            cellHeight = m.largeCy + 6 + 2 * m.lineHeight + 4;
            perLine = std::max(1, (m.width - m.scrollBar) / cellWidth);
            break;
        case LVS_SMALLICON:
            cellWidth = m.smallCx + 6 + 12 * average;
            cellHeight = rowHeight;
            perLine = std::max(1, (m.width - m.scrollBar) / cellWidth);
            break;
        case LVS_LIST:
            cellWidth = std::min(std::max(m.width, 1), m.smallCx + 10 + m.widestLabel);
            cellWidth = std::max(cellWidth, 1);
            cellHeight = rowHeight;
            perLine = std::max(1, (m.height - m.scrollBar) / rowHeight);
            break;
        default:
            cellHeight = rowHeight;
            break;
    }
}

int ListLayout::ContentExtent() const {
    switch (m.view) {
        case LVS_REPORT:
            return count;
        case LVS_LIST:
            return (count + perLine - 1) / perLine;
        default:
            return ((count + perLine - 1) / perLine) * cellHeight;
    }
}

int ListLayout::PageExtent() const {
    switch (m.view) {
        case LVS_REPORT:
            return std::max(1, (m.height - m.headerHeight) / rowHeight);
        case LVS_LIST:
            return std::max(1, m.width / std::max(1, cellWidth));
        default:
            return std::max(1, m.height);
    }
}

int ListLayout::ClampTop(int top) const {
    int most = std::max(0, ContentExtent() - PageExtent());
    return std::clamp(top, 0, most);
}

RECT ListLayout::ItemRect(int top, int i, int code) const {
    RECT bounds{};
    RECT icon{};
    RECT label{};
    switch (m.view) {
        case LVS_REPORT: {
            int y = m.headerHeight + (i - top) * rowHeight;
            int column0 = m.columnWidths.empty() ? m.width : m.columnWidths.front();
            int columns = std::accumulate(m.columnWidths.begin(), m.columnWidths.end(), 0);
            bounds = {0, y, std::max(columns, column0), y + rowHeight};
            icon = {2, y, 2 + m.smallCx, y + rowHeight};
            label = {icon.right + 2, y, column0, y + rowHeight};
            break;
        }
        case LVS_LIST: {
            int x = (i / perLine - top) * cellWidth;
            int y = (i % perLine) * rowHeight;
            bounds = {x, y, x + cellWidth, y + rowHeight};
            icon = {x + 2, y, x + 2 + m.smallCx, y + rowHeight};
            label = {icon.right + 2, y, x + cellWidth, y + rowHeight};
            break;
        }
        case LVS_SMALLICON: {
            int x = (i % perLine) * cellWidth;
            int y = (i / perLine) * rowHeight - top;
            bounds = {x, y, x + cellWidth, y + rowHeight};
            icon = {x + 2, y, x + 2 + m.smallCx, y + rowHeight};
            label = {icon.right + 2, y, x + cellWidth, y + rowHeight};
            break;
        }
        default: {
            int x = (i % perLine) * cellWidth;
            int y = (i / perLine) * cellHeight - top;
            bounds = {x, y, x + cellWidth, y + cellHeight};
            int iconLeft = x + (cellWidth - m.largeCx) / 2;
            icon = {iconLeft, y + 2, iconLeft + m.largeCx, y + 2 + m.largeCy};
            label = {x + 2, icon.bottom + 4, x + cellWidth - 2, icon.bottom + 4 + 2 * m.lineHeight};
            break;
        }
    }
    switch (code) {
        case LVIR_ICON:
            return icon;
        case LVIR_LABEL:
            return label;
        case LVIR_SELECTBOUNDS:
            if (m.view == LVS_REPORT && m.fullRowSelect)
                return bounds;
            return {std::min(icon.left, label.left), std::min(icon.top, label.top),
                    std::max(icon.right, label.right), std::max(icon.bottom, label.bottom)};
        default:
            return bounds;
    }
}

int ListLayout::HitTest(int top, POINT p, UINT* flags) const {
    *flags = LVHT_NOWHERE;
    if (p.y < m.headerHeight)
        return -1;
    for (int i = 0; i < count; ++i) {
        if (!Inside(ItemRect(top, i, LVIR_BOUNDS), p))
            continue;
        if (Inside(ItemRect(top, i, LVIR_ICON), p)) {
            *flags = LVHT_ONITEMICON;
            return i;
        }
        if (Inside(ItemRect(top, i, LVIR_LABEL), p)) {
            *flags = LVHT_ONITEMLABEL;
            return i;
        }
        // Beside the label of a report row only full-row selection hits the item.
        if (m.view != LVS_REPORT || m.fullRowSelect) {
            *flags = LVHT_ONITEMLABEL;
            return i;
        }
        return -1;
    }
    return -1;
}

void ListLayout::SubItemHitTest(int top, LVHITTESTINFO* info) const {
    info->iItem = HitTest(top, info->pt, &info->flags);
    info->iSubItem = 0;
    if (m.view != LVS_REPORT)
        return;
    int x = 0;
    for (std::size_t c = 0; c < m.columnWidths.size(); ++c) {
        int width = m.columnWidths[c];
        if (info->pt.x >= x && info->pt.x < x + width) {
            info->iSubItem = static_cast<int>(c);
            int y = info->pt.y - m.headerHeight;
            int row = y >= 0 ? top + y / rowHeight : -1;
            if (row >= 0 && row < count && info->iItem < 0 && c > 0) {
                info->iItem = row;
                info->flags = LVHT_ONITEMLABEL;
            }
        }
        x += width;
    }
}

int ListLayout::TopShowing(int top, int i) const {
    switch (m.view) {
        case LVS_REPORT:
        case LVS_LIST: {
            int at = m.view == LVS_REPORT ? i : i / perLine;
            int page = PageExtent();
            if (at < top)
                top = at;
            else if (at >= top + page)
                top = at - page + 1;
            break;
        }
        default: {
            int y = (i / perLine) * cellHeight;
            if (y < top)
                top = y;
            else if (y + cellHeight > top + m.height)
                top = y + cellHeight - m.height;
            break;
        }
    }
    return ClampTop(top);
}

ScrollBarGeometry ListLayout::ScrollBar(int top) const {
    ScrollBarGeometry bar;
    bar.horizontal = m.view == LVS_LIST;
    bar.track = bar.horizontal ? RECT{0, m.height - m.scrollBar, m.width, m.height}
                               : RECT{m.width - m.scrollBar, m.headerHeight, m.width, m.height};
    bar.length =
        bar.horizontal ? bar.track.right - bar.track.left : bar.track.bottom - bar.track.top;
    int extent = ContentExtent();
    int page = PageExtent();
    bar.thumbLength = std::max(m.scrollBar, bar.length * page / std::max(1, extent));
    bar.thumbStart = (bar.length - bar.thumbLength) * top / std::max(1, extent - page);
    return bar;
}

bool ListLayout::OnScrollBar(POINT p) const {
    if (!HasScrollBar() || p.y < m.headerHeight)
        return false;
    return m.view == LVS_LIST ? p.y >= m.height - m.scrollBar : p.x >= m.width - m.scrollBar;
}

int ListLayout::TopAfterBarPress(int top, POINT p) const {
    ScrollBarGeometry bar = ScrollBar(top);
    int at = bar.horizontal ? p.x : p.y - m.headerHeight;
    if (at < bar.thumbStart)
        top -= PageExtent();
    else if (at >= bar.thumbStart + bar.thumbLength)
        top += PageExtent();
    return ClampTop(top);
}

int ListLayout::CountPerPage() const {
    switch (m.view) {
        case LVS_REPORT:
            return std::max(0, (m.height - m.headerHeight) / std::max(1, rowHeight));
        case LVS_LIST:
            return perLine * std::max(1, m.width / std::max(1, cellWidth));
        default:
            return perLine * std::max(1, m.height / std::max(1, cellHeight));
    }
}

int ListLayout::TopIndex(int top) const {
    int last = std::max(0, count - 1);
    switch (m.view) {
        case LVS_REPORT:
            return std::min(top, last);
        case LVS_LIST:
            return std::min(top * perLine, last);
        default:
            return 0;
    }
}

int ListLayout::ScrollAmount(int dx, int dy) const {
    switch (m.view) {
        case LVS_REPORT:
            return dy / std::max(1, rowHeight);
        case LVS_LIST:
            return dx / std::max(1, cellWidth);
        default:
            return dy;
    }
}

int ListLayout::WheelUnit() const {
    return m.view == LVS_REPORT || m.view == LVS_LIST ? 1 : cellHeight;
}

}  // namespace ce::gui
