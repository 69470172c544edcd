// The list view's items and columns: texts by subitem, images, states and
// lParams; inserting, deleting, sorting by callback and finding; columns
// kept in the header child; and the metrics the layout is made from.

#include <algorithm>
#include <numeric>

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/controls/HeaderControl.h"
#include "platform/gui/controls/ListView.h"

namespace ce::gui {

const std::u16string& TextOf(const ListItem& item, int subItem) {
    static const std::u16string empty;
    return subItem >= 0 && subItem < static_cast<int>(item.texts.size())
               ? item.texts[static_cast<std::size_t>(subItem)]
               : empty;
}

void SetText(ListItem& item, int subItem, std::u16string_view text) {
    if (subItem < 0)
        return;
    if (static_cast<int>(item.texts.size()) <= subItem)
        item.texts.resize(static_cast<std::size_t>(subItem) + 1);
    item.texts[static_cast<std::size_t>(subItem)] = text;
}

int TextWidth(HWND hwnd, std::u16string_view text) {
    return text.empty() ? 0 : CurrentBackend().MeasureText(WindowFont(hwnd), text).cx;
}

DWORD ViewOf(const ListView& lv) {
    return static_cast<DWORD>(GetWindowLongW(lv.hwnd, GWL_STYLE)) & LVS_TYPEMASK;
}

bool HasStyle(const ListView& lv, DWORD style) {
    return (GetWindowLongW(lv.hwnd, GWL_STYLE) & style) != 0;
}

ListLayout MakeLayout(const ListView& lv) {
    ListMetrics m;
    RECT client{};
    GetClientRect(lv.hwnd, &client);
    m.view = ViewOf(lv);
    m.width = client.right;
    m.height = client.bottom;
    m.scrollBar = CurrentBackend().Screen().scrollBarWidth;
    FontMetrics font = CurrentBackend().MeasureFont(WindowFont(lv.hwnd));
    m.lineHeight = font.height;
    m.averageCharWidth = font.averageCharWidth;
    if (lv.small != nullptr)
        ImageList_GetIconSize(lv.small, &m.smallCx, &m.smallCy);
    // Without small images the check boxes take the icon's place.
    if ((lv.exStyle & LVS_EX_CHECKBOXES) != 0 && lv.small == nullptr && m.view != LVS_ICON)
        m.smallCx = m.smallCy = std::max(8, m.lineHeight - 2);
    if (lv.normal != nullptr)
        ImageList_GetIconSize(lv.normal, &m.largeCx, &m.largeCy);
    const HeaderState* header = FindHeader(lv.header);
    bool showHeader = m.view == LVS_REPORT && !HasStyle(lv, LVS_NOCOLUMNHEADER);
    m.headerHeight = showHeader && header != nullptr ? HeaderHeight(lv.header) : 0;
    if (header != nullptr) {
        for (const HeaderItem& item : header->items)
            m.columnWidths.push_back(item.width);
    }
    m.fullRowSelect = (lv.exStyle & LVS_EX_FULLROWSELECT) != 0;
    if (m.view == LVS_LIST) {
        for (const ListItem& item : lv.items)
            m.widestLabel = std::max(m.widestLabel, TextWidth(lv.hwnd, TextOf(item, 0)));
    }
    return ListLayout(std::move(m), lv.Count());
}

void Redraw(const ListView& lv) {
    InvalidateRect(lv.hwnd, nullptr, TRUE);
}

void NotifyItem(ListView& lv, UINT code, int item, POINT at) {
    NMLISTVIEW notify{};
    notify.iItem = item;
    notify.ptAction = at;
    if (lv.Valid(item))
        notify.lParam = lv.Item(item).lParam;
    NotifyParent(lv.hwnd, code, &notify.hdr);
}

LRESULT InsertItem(ListView& lv, const LVITEMW* in) {
    if (in == nullptr)
        return -1;
    ListItem item;
    if ((in->mask & LVIF_TEXT) != 0)
        SetText(item, 0, WideView(in->pszText));
    if ((in->mask & LVIF_IMAGE) != 0)
        item.image = in->iImage;
    if ((in->mask & LVIF_PARAM) != 0)
        item.lParam = in->lParam;
    UINT state = (in->mask & LVIF_STATE) != 0 ? (in->state & in->stateMask) : 0;
    int at = std::clamp(in->iItem, 0, lv.Count());
    lv.items.insert(lv.items.begin() + at, item);
    if (lv.selectionMark >= at)
        ++lv.selectionMark;
    if (lv.editItem >= at)
        ++lv.editItem;
    Redraw(lv);
    NotifyItem(lv, LVN_INSERTITEM, at, {});
    if (state != 0 && Peek(lv.hwnd) != nullptr)
        SetItemState(lv, at, state, in->stateMask);
    return at;
}

LRESULT DeleteItem(ListView& lv, int i) {
    if (!lv.Valid(i))
        return FALSE;
    if (lv.editItem == i)
        EndEdit(lv, false);
    NotifyItem(lv, LVN_DELETEITEM, i, {});
    // The parent may have changed the list, or destroyed it, meanwhile.
    if (Peek(lv.hwnd) == nullptr || !lv.Valid(i))
        return FALSE;
    lv.items.erase(lv.items.begin() + i);
    if (lv.selectionMark == i)
        lv.selectionMark = -1;
    else if (lv.selectionMark > i)
        --lv.selectionMark;
    if (lv.editItem > i)
        --lv.editItem;
    lv.top = MakeLayout(lv).ClampTop(lv.top);
    Redraw(lv);
    return TRUE;
}

LRESULT DeleteAllItems(ListView& lv) {
    EndEdit(lv, false);
    NMLISTVIEW notify{};
    notify.iItem = -1;
    NotifyParent(lv.hwnd, LVN_DELETEALLITEMS, &notify.hdr);
    lv.items.clear();
    lv.selectionMark = -1;
    lv.top = 0;
    Redraw(lv);
    return TRUE;
}

LRESULT SortItems(ListView& lv, LPARAM parameter, PFNLVCOMPARE compare) {
    if (compare == nullptr)
        return FALSE;
    EndEdit(lv, true);
    // The comparison may look at the list (find items, read their texts), so
    // the items stay where they are until the order is known.
    std::vector<LPARAM> params;
    for (const ListItem& item : lv.items)
        params.push_back(item.lParam);
    std::vector<std::size_t> order(params.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return compare(params[a], params[b], parameter) < 0;
    });
    if (Peek(lv.hwnd) == nullptr || lv.items.size() != order.size())
        return FALSE;
    std::vector<ListItem> sorted;
    sorted.reserve(order.size());
    int mark = -1;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (static_cast<int>(order[k]) == lv.selectionMark)
            mark = static_cast<int>(k);
        sorted.push_back(std::move(lv.items[order[k]]));
    }
    lv.items = std::move(sorted);
    lv.selectionMark = mark;
    Redraw(lv);
    return TRUE;
}

LRESULT FindItem(const ListView& lv, int start, const LVFINDINFOW* info) {
    if (info == nullptr)
        return -1;
    int n = lv.Count();
    int first = start + 1;
    int steps = (info->flags & LVFI_WRAP) != 0 ? n : n - std::max(0, first);
    for (int k = 0; k < steps; ++k) {
        int i = (std::max(0, first) + k) % std::max(1, n);
        const ListItem& item = lv.items[static_cast<std::size_t>(i)];
        if ((info->flags & LVFI_PARAM) != 0) {
            if (item.lParam == info->lParam)
                return i;
            continue;
        }
        if ((info->flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && info->psz != nullptr) {
            std::u16string_view wanted = WideView(info->psz);
            std::u16string_view text = TextOf(item, 0);
            if ((info->flags & LVFI_PARTIAL) != 0)
                text = text.substr(0, std::min(text.size(), wanted.size()));
            if (EqualsIgnoreCase(text, wanted))
                return i;
        }
    }
    return -1;
}

void CopyItemOut(const ListItem& item, LVITEMW* out) {
    if ((out->mask & LVIF_TEXT) != 0 && out->pszText != nullptr && out->cchTextMax > 0)
        CopyWide(out->pszText, static_cast<std::size_t>(out->cchTextMax),
                 TextOf(item, out->iSubItem));
    if ((out->mask & LVIF_IMAGE) != 0)
        out->iImage = item.image;
    if ((out->mask & LVIF_PARAM) != 0)
        out->lParam = item.lParam;
    if ((out->mask & LVIF_STATE) != 0)
        out->state = item.state & out->stateMask;
}

void LayoutHeader(ListView& lv) {
    if (lv.header == nullptr)
        return;
    ListLayout l = MakeLayout(lv);
    bool show = l.m.headerHeight > 0;
    MoveWindow(lv.header, 0, 0, l.m.width, show ? l.m.headerHeight : 0, TRUE);
    ShowWindow(lv.header, show ? SW_SHOWNA : SW_HIDE);
    lv.top = l.ClampTop(lv.top);
}

namespace {

LRESULT InsertColumn(ListView& lv, int index, const LVCOLUMNW* in) {
    if (in == nullptr)
        return -1;
    index = std::clamp(index, 0, static_cast<int>(lv.columnSubItems.size()));
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT;
    item.fmt = HDF_STRING | ((in->mask & LVCF_FMT) != 0 ? (in->fmt & LVCFMT_JUSTIFYMASK) : 0);
    item.cxy = (in->mask & LVCF_WIDTH) != 0 ? in->cx : 60;
    std::u16string text =
        (in->mask & LVCF_TEXT) != 0 ? std::u16string(WideView(in->pszText)) : std::u16string();
    item.pszText = text.data();
    SendMessageW(lv.header, HDM_INSERTITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    lv.columnSubItems.insert(lv.columnSubItems.begin() + index,
                             (in->mask & LVCF_SUBITEM) != 0 ? in->iSubItem : index);
    Redraw(lv);
    return index;
}

LRESULT GetColumn(ListView& lv, WPARAM wParam, LVCOLUMNW* column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_WIDTH | ((column->mask & LVCF_TEXT) != 0 ? HDI_TEXT : 0);
    item.pszText = column->pszText;
    item.cchTextMax = column->cchTextMax;
    SendMessageW(lv.header, HDM_GETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
    column->fmt = item.fmt & HDF_JUSTIFYMASK;
    column->cx = item.cxy;
    column->iSubItem = lv.columnSubItems[wParam];
    return TRUE;
}

LRESULT SetColumn(ListView& lv, WPARAM wParam, const LVCOLUMNW* column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_WIDTH | ((column->mask & LVCF_TEXT) != 0 ? HDI_TEXT : 0);
    SendMessageW(lv.header, HDM_GETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
    if ((column->mask & LVCF_FMT) != 0)
        item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | (column->fmt & LVCFMT_JUSTIFYMASK);
    if ((column->mask & LVCF_WIDTH) != 0)
        item.cxy = column->cx;
    item.pszText = column->pszText;
    SendMessageW(lv.header, HDM_SETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
    if ((column->mask & LVCF_SUBITEM) != 0 && wParam < lv.columnSubItems.size())
        lv.columnSubItems[wParam] = column->iSubItem;
    Redraw(lv);
    return TRUE;
}

LRESULT SetColumnWidth(ListView& lv, int index, int width) {
    const HeaderState* header = FindHeader(lv.header);
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        int subItem = lv.columnSubItems[static_cast<std::size_t>(index)];
        int widest = 0;
        for (const ListItem& item : lv.items)
            widest = std::max(widest, TextWidth(lv.hwnd, TextOf(item, subItem)));
        if (width == LVSCW_AUTOSIZE_USEHEADER && header != nullptr &&
            index < static_cast<int>(header->items.size()))
            widest = std::max(
                widest, TextWidth(lv.hwnd, header->items[static_cast<std::size_t>(index)].text));
        width = widest + 12;
    }
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = std::max(0, width);
    SendMessageW(lv.header, HDM_SETITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    Redraw(lv);
    return TRUE;
}

}  // namespace

LRESULT ColumnMessage(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
    int index = static_cast<int>(wParam);
    bool known = index >= 0 && index < static_cast<int>(lv.columnSubItems.size());
    switch (message) {
        case LVM_INSERTCOLUMNW:
            return InsertColumn(lv, index, reinterpret_cast<const LVCOLUMNW*>(lParam));
        case LVM_DELETECOLUMN:
            if (!known)
                return FALSE;
            SendMessageW(lv.header, HDM_DELETEITEM, wParam, 0);
            lv.columnSubItems.erase(lv.columnSubItems.begin() + index);
            Redraw(lv);
            return TRUE;
        case LVM_GETCOLUMNW:
        case LVM_SETCOLUMNW: {
            auto* column = reinterpret_cast<LVCOLUMNW*>(lParam);
            if (!known || column == nullptr)
                return FALSE;
            return message == LVM_GETCOLUMNW ? GetColumn(lv, wParam, column)
                                             : SetColumn(lv, wParam, column);
        }
        case LVM_GETCOLUMNWIDTH: {
            const HeaderState* header = FindHeader(lv.header);
            if (!known || header == nullptr || index >= static_cast<int>(header->items.size()))
                return 0;
            return header->items[static_cast<std::size_t>(index)].width;
        }
        case LVM_SETCOLUMNWIDTH:
            if (!known)
                return FALSE;
            return SetColumnWidth(lv, index,
                                  static_cast<short>(LOWORD(static_cast<DWORD>(lParam))));
        default:
            return 0;
    }
}

}  // namespace ce::gui
