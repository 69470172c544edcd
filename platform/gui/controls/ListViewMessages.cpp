// The list view's window procedure: a table from each message the list
// handles to its handler; every other message goes to DefWindowProcW.

#include <algorithm>
#include <array>

#include "platform/core/Text.h"
#include "platform/gui/controls/ListView.h"

namespace ce::gui {
namespace {

using Handler = LRESULT (*)(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam);

struct MessageHandler {
    UINT message;
    Handler handler;
};

int IndexOf(WPARAM wParam) {
    return static_cast<int>(static_cast<std::intptr_t>(wParam));
}

// ---- Window messages ----

LRESULT Create(ListView& lv, UINT, WPARAM, LPARAM) {
    lv.header = CreateWindowExW(0, WC_HEADERW, u"", WS_CHILD, 0, 0, 0, 0, lv.hwnd, nullptr, nullptr,
                                nullptr);
    LayoutHeader(lv);
    return 0;
}

LRESULT Resized(ListView& lv, UINT, WPARAM, LPARAM) {
    LayoutHeader(lv);
    Redraw(lv);
    return 0;
}

LRESULT SetFont(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
    DefWindowProcW(lv.hwnd, message, wParam, lParam);
    if (lv.header != nullptr)
        SendMessageW(lv.header, WM_SETFONT, wParam, lParam);
    LayoutHeader(lv);
    return 0;
}

LRESULT PaintMessage(ListView& lv, UINT, WPARAM, LPARAM) {
    Paint(lv);
    return 0;
}

LRESULT EraseBackground(ListView&, UINT, WPARAM, LPARAM) {
    return 1;  // the paint fills the whole client area
}

LRESULT FocusChanged(ListView& lv, UINT message, WPARAM, LPARAM) {
    if (message == WM_KILLFOCUS)
        KillTimer(lv.hwnd, kEditTimer);
    Redraw(lv);
    return 0;
}

LRESULT ButtonDown(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
    PenDown(lv, lParam, wParam, message == WM_LBUTTONDBLCLK);
    return 0;
}

LRESULT ButtonUp(ListView& lv, UINT, WPARAM, LPARAM lParam) {
    PenUp(lv, lParam);
    return 0;
}

LRESULT RightButtonDown(ListView& lv, UINT, WPARAM, LPARAM lParam) {
    RightPenDown(lv, lParam);
    return 0;
}

LRESULT Wheel(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    int delta = static_cast<short>(HIWORD(static_cast<DWORD>(wParam)));
    Scroll(lv, -(delta / 120) * kWheelRows * MakeLayout(lv).WheelUnit());
    return 0;
}

LRESULT TimerMessage(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    if (wParam == kEditTimer)
        EditTimerFired(lv);
    return 0;
}

LRESULT Key(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    KeyDown(lv, wParam);
    return 0;
}

LRESULT DialogCode(ListView&, UINT, WPARAM, LPARAM) {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT HeaderNotification(ListView& lv, UINT, WPARAM, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr || header->hwndFrom != lv.header)
        return 0;
    if (header->code == HDN_ITEMCLICKW) {
        NMLISTVIEW notify{};
        notify.iItem = -1;
        notify.iSubItem = reinterpret_cast<NMHEADERW*>(lParam)->iItem;
        NotifyParent(lv.hwnd, LVN_COLUMNCLICK, &notify.hdr);
    } else if (header->code == HDN_ENDTRACKW) {
        Redraw(lv);
    }
    return 0;
}

LRESULT RedrawMessage(ListView& lv, UINT, WPARAM, LPARAM) {
    Redraw(lv);
    return 0;
}

LRESULT EndLabelEditMessage(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    EndEdit(lv, wParam != 0);
    return 0;
}

// ---- Items ----

LRESULT GetItemCount(ListView& lv, UINT, WPARAM, LPARAM) {
    return lv.Count();
}

LRESULT InsertItemMessage(ListView& lv, UINT, WPARAM, LPARAM lParam) {
    return InsertItem(lv, reinterpret_cast<const LVITEMW*>(lParam));
}

LRESULT DeleteItemMessage(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    return DeleteItem(lv, IndexOf(wParam));
}

LRESULT DeleteAllMessage(ListView& lv, UINT, WPARAM, LPARAM) {
    return DeleteAllItems(lv);
}

LRESULT ItemMessage(ListView& lv, UINT message, WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<LVITEMW*>(lParam);
    if (item == nullptr || !lv.Valid(item->iItem))
        return FALSE;
    ListItem& target = lv.Item(item->iItem);
    if (message == LVM_GETITEMW) {
        CopyItemOut(target, item);
        return TRUE;
    }
    if ((item->mask & LVIF_TEXT) != 0)
        SetText(target, item->iSubItem, WideView(item->pszText));
    if ((item->mask & LVIF_IMAGE) != 0)
        target.image = item->iImage;
    if ((item->mask & LVIF_PARAM) != 0)
        target.lParam = item->lParam;
    Redraw(lv);
    if ((item->mask & LVIF_STATE) != 0)
        SetItemState(lv, item->iItem, item->state, item->stateMask);
    return TRUE;
}

LRESULT GetItemText(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<LVITEMW*>(lParam);
    if (item == nullptr || item->pszText == nullptr || item->cchTextMax <= 0)
        return 0;
    item->pszText[0] = 0;
    int index = IndexOf(wParam);
    if (!lv.Valid(index))
        return 0;
    return static_cast<LRESULT>(CopyWide(item->pszText, static_cast<std::size_t>(item->cchTextMax),
                                         TextOf(lv.Item(index), item->iSubItem)));
}

LRESULT SetItemText(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<const LVITEMW*>(lParam);
    int index = IndexOf(wParam);
    if (item == nullptr || !lv.Valid(index))
        return FALSE;
    SetText(lv.Item(index), item->iSubItem, WideView(item->pszText));
    Redraw(lv);
    return TRUE;
}

LRESULT SetItemStateMessage(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<const LVITEMW*>(lParam);
    int index = IndexOf(wParam);
    if (item == nullptr || (index != -1 && !lv.Valid(index)))
        return FALSE;
    SetItemState(lv, index, item->state, item->stateMask);
    return TRUE;
}

LRESULT GetItemState(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    int index = IndexOf(wParam);
    return lv.Valid(index) ? lv.Item(index).state & static_cast<UINT>(lParam) : 0;
}

LRESULT GetNextItem(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    UINT flags = LOWORD(static_cast<DWORD>(lParam));
    for (int i = std::max(0, IndexOf(wParam) + 1); i < lv.Count(); ++i) {
        UINT state = lv.Item(i).state;
        if ((flags & LVNI_SELECTED) != 0 && (state & LVIS_SELECTED) == 0)
            continue;
        if ((flags & LVNI_FOCUSED) != 0 && (state & LVIS_FOCUSED) == 0)
            continue;
        return i;
    }
    return -1;
}

LRESULT GetSelectedCount(ListView& lv, UINT, WPARAM, LPARAM) {
    return std::count_if(lv.items.begin(), lv.items.end(),
                         [](const ListItem& i) { return (i.state & LVIS_SELECTED) != 0; });
}

LRESULT FindItemMessage(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    return FindItem(lv, IndexOf(wParam), reinterpret_cast<const LVFINDINFOW*>(lParam));
}

LRESULT SortItemsMessage(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    return SortItems(lv, static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
}

LRESULT Column(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam) {
    return ColumnMessage(lv, message, wParam, lParam);
}

// ---- Looks ----

HIMAGELIST* ImageListSlot(ListView& lv, int which) {
    return which == LVSIL_NORMAL ? &lv.normal : which == LVSIL_SMALL ? &lv.small : &lv.stateImages;
}

LRESULT SetImageList(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    HIMAGELIST old =
        std::exchange(*ImageListSlot(lv, IndexOf(wParam)), reinterpret_cast<HIMAGELIST>(lParam));
    Redraw(lv);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT GetImageList(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    return reinterpret_cast<LRESULT>(*ImageListSlot(lv, IndexOf(wParam)));
}

LRESULT GetHeader(ListView& lv, UINT, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(lv.header);
}

LRESULT SetExtendedStyle(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    DWORD old = lv.exStyle;
    DWORD mask = wParam == 0 ? 0xFFFFFFFF : static_cast<DWORD>(wParam);
    lv.exStyle = (lv.exStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
    Redraw(lv);
    return old;
}

LRESULT GetExtendedStyle(ListView& lv, UINT, WPARAM, LPARAM) {
    return lv.exStyle;
}

LRESULT GetStringWidth(ListView& lv, UINT, WPARAM, LPARAM lParam) {
    return TextWidth(lv.hwnd, WideView(reinterpret_cast<LPCWSTR>(lParam)));
}

// ---- Geometry and scrolling ----

LRESULT HitTestMessage(ListView& lv, UINT message, WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
    if (info == nullptr)
        return -1;
    ListLayout l = MakeLayout(lv);
    if (message == LVM_SUBITEMHITTEST) {
        l.SubItemHitTest(lv.top, info);
    } else {
        info->iItem = l.HitTest(lv.top, info->pt, &info->flags);
        info->iSubItem = 0;
    }
    return info->iItem;
}

LRESULT GetItemRect(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    int index = IndexOf(wParam);
    if (rect == nullptr || !lv.Valid(index))
        return FALSE;
    *rect = MakeLayout(lv).ItemRect(lv.top, index, rect->left);
    return TRUE;
}

LRESULT GetItemPosition(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    auto* point = reinterpret_cast<POINT*>(lParam);
    int index = IndexOf(wParam);
    if (point == nullptr || !lv.Valid(index))
        return FALSE;
    RECT r = MakeLayout(lv).ItemRect(lv.top, index, LVIR_BOUNDS);
    *point = {r.left, r.top};
    return TRUE;
}

LRESULT EnsureVisibleMessage(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    int index = IndexOf(wParam);
    if (!lv.Valid(index))
        return FALSE;
    EnsureVisible(lv, index);
    return TRUE;
}

LRESULT ScrollMessage(ListView& lv, UINT, WPARAM wParam, LPARAM lParam) {
    Scroll(lv, MakeLayout(lv).ScrollAmount(IndexOf(wParam), static_cast<int>(lParam)));
    return TRUE;
}

LRESULT GetTopIndex(ListView& lv, UINT, WPARAM, LPARAM) {
    return MakeLayout(lv).TopIndex(lv.top);
}

LRESULT GetCountPerPage(ListView& lv, UINT, WPARAM, LPARAM) {
    return MakeLayout(lv).CountPerPage();
}

LRESULT RedrawItems(ListView& lv, UINT, WPARAM, LPARAM) {
    Redraw(lv);
    return TRUE;
}

// ---- Label editing ----

LRESULT EditLabelMessage(ListView& lv, UINT, WPARAM wParam, LPARAM) {
    int index = IndexOf(wParam);
    if (index == -1) {
        EndEdit(lv, false);
        return 0;
    }
    return reinterpret_cast<LRESULT>(EditLabel(lv, index));
}

LRESULT GetEditControl(ListView& lv, UINT, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(lv.edit);
}

constexpr auto kHandlers = [] {
    auto table = std::to_array<MessageHandler>({
        {WM_CREATE, Create},
        {WM_SIZE, Resized},
        {WM_STYLECHANGED, Resized},
        {WM_SETFONT, SetFont},
        {WM_PAINT, PaintMessage},
        {WM_ERASEBKGND, EraseBackground},
        {WM_SETFOCUS, FocusChanged},
        {WM_KILLFOCUS, FocusChanged},
        {WM_LBUTTONDOWN, ButtonDown},
        {WM_LBUTTONDBLCLK, ButtonDown},
        {WM_LBUTTONUP, ButtonUp},
        {WM_RBUTTONDOWN, RightButtonDown},
        {WM_MOUSEWHEEL, Wheel},
        {WM_TIMER, TimerMessage},
        {WM_KEYDOWN, Key},
        {WM_GETDLGCODE, DialogCode},
        {WM_NOTIFY, HeaderNotification},
        {kHeaderLayout, RedrawMessage},
        {kEndLabelEdit, EndLabelEditMessage},
        {LVM_GETITEMCOUNT, GetItemCount},
        {LVM_INSERTITEMW, InsertItemMessage},
        {LVM_DELETEITEM, DeleteItemMessage},
        {LVM_DELETEALLITEMS, DeleteAllMessage},
        {LVM_GETITEMW, ItemMessage},
        {LVM_SETITEMW, ItemMessage},
        {LVM_GETITEMTEXTW, GetItemText},
        {LVM_SETITEMTEXTW, SetItemText},
        {LVM_SETITEMSTATE, SetItemStateMessage},
        {LVM_GETITEMSTATE, GetItemState},
        {LVM_GETNEXTITEM, GetNextItem},
        {LVM_GETSELECTEDCOUNT, GetSelectedCount},
        {LVM_FINDITEMW, FindItemMessage},
        {LVM_SORTITEMS, SortItemsMessage},
        {LVM_INSERTCOLUMNW, Column},
        {LVM_DELETECOLUMN, Column},
        {LVM_GETCOLUMNW, Column},
        {LVM_SETCOLUMNW, Column},
        {LVM_GETCOLUMNWIDTH, Column},
        {LVM_SETCOLUMNWIDTH, Column},
        {LVM_SETIMAGELIST, SetImageList},
        {LVM_GETIMAGELIST, GetImageList},
        {LVM_GETHEADER, GetHeader},
        {LVM_SETEXTENDEDLISTVIEWSTYLE, SetExtendedStyle},
        {LVM_GETEXTENDEDLISTVIEWSTYLE, GetExtendedStyle},
        {LVM_HITTEST, HitTestMessage},
        {LVM_SUBITEMHITTEST, HitTestMessage},
        {LVM_GETITEMRECT, GetItemRect},
        {LVM_GETITEMPOSITION, GetItemPosition},
        {LVM_ENSUREVISIBLE, EnsureVisibleMessage},
        {LVM_SCROLL, ScrollMessage},
        {LVM_GETTOPINDEX, GetTopIndex},
        {LVM_GETCOUNTPERPAGE, GetCountPerPage},
        {LVM_REDRAWITEMS, RedrawItems},
        {LVM_UPDATE, RedrawItems},
        {LVM_ARRANGE, RedrawItems},
        {LVM_GETSTRINGWIDTHW, GetStringWidth},
        {LVM_EDITLABELW, EditLabelMessage},
        {LVM_GETEDITCONTROL, GetEditControl},
    });
    std::sort(table.begin(), table.end(), [](const MessageHandler& a, const MessageHandler& b) {
        return a.message < b.message;
    });
    return table;
}();

static_assert(std::adjacent_find(kHandlers.begin(), kHandlers.end(),
                                 [](const MessageHandler& a, const MessageHandler& b) {
                                     return a.message == b.message;
                                 }) == kHandlers.end(),
              "each message has one handler");

Handler HandlerOf(UINT message) {
    auto it = std::lower_bound(
        kHandlers.begin(), kHandlers.end(), message,
        [](const MessageHandler& entry, UINT wanted) { return entry.message < wanted; });
    return it != kHandlers.end() && it->message == message ? it->handler : nullptr;
}

}  // namespace

LRESULT ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    Handler handler = HandlerOf(message);
    if (handler == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    ListView& lv = ControlOf<ListView>(*w);
    lv.hwnd = hwnd;
    return handler(lv, message, wParam, lParam);
}

}  // namespace ce::gui

namespace ce {

void ListView_SetItemText(HWND hwnd, int i, int subItem, LPCWSTR text) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    SendMessageW(hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void ListView_GetItemText(HWND hwnd, int i, int subItem, LPWSTR text, int size) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = size;
    SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void ListView_SetItemState(HWND hwnd, int i, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

}  // namespace ce
