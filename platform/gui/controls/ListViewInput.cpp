// The list view's input: item states and the selection (single or several,
// with a mark that Shift extends from), the pen (taps with Control and
// Shift, double taps, the right button, the scroll bar, the wheel), the
// keys, and in-place label editing with an edit child, which a second tap
// on the focused item's label starts after a pause.

#include <algorithm>

#include "platform/core/Text.h"
#include "platform/gui/controls/Controls.h"
#include "platform/gui/controls/ListView.h"

namespace ce::gui {
namespace {

// The parent destroyed the list while the list told it of something.
bool Gone(const ListView& lv) {
    return Peek(lv.hwnd) == nullptr;
}

// Changes one item's state bits and tells the parent.
void ChangeState(ListView& lv, int i, UINT state, UINT mask) {
    if (!lv.Valid(i))
        return;
    ListItem& item = lv.Item(i);
    UINT old = item.state;
    UINT now = (old & ~mask) | (state & mask);
    if (now == old)
        return;
    item.state = now;
    NMLISTVIEW notify{};
    notify.iItem = i;
    notify.uNewState = now;
    notify.uOldState = old;
    notify.uChanged = LVIF_STATE;
    notify.lParam = item.lParam;
    Redraw(lv);
    NotifyParent(lv.hwnd, LVN_ITEMCHANGED, &notify.hdr);
}

void SelectOnly(ListView& lv, int i) {
    for (int k = 0; k < lv.Count() && !Gone(lv); ++k) {
        if (k != i)
            ChangeState(lv, k, 0, LVIS_SELECTED);
    }
    if (lv.Valid(i) && !Gone(lv))
        SetItemState(lv, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// Selects the items from the selection mark to `i` and no others, and
// focuses `i`; the mark stays where it was.
void SelectRange(ListView& lv, int i) {
    int mark = lv.selectionMark;
    int low = std::min(mark, i);
    int high = std::max(mark, i);
    for (int k = 0; k < lv.Count() && !Gone(lv); ++k)
        ChangeState(lv, k, k >= low && k <= high ? LVIS_SELECTED : 0, LVIS_SELECTED);
    SetItemState(lv, i, LVIS_FOCUSED, LVIS_FOCUSED);
    lv.selectionMark = mark;
}

// A press on the scroll bar pages towards it; true when it was on the bar.
bool ScrollBarPress(ListView& lv, POINT p) {
    ListLayout l = MakeLayout(lv);
    if (!l.OnScrollBar(p))
        return false;
    lv.top = l.TopAfterBarPress(lv.top, p);
    Redraw(lv);
    return true;
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

void SetItemState(ListView& lv, int i, UINT state, UINT mask) {
    bool single = HasStyle(lv, LVS_SINGLESEL);
    if (i == -1) {
        for (int k = 0; k < lv.Count() && !Gone(lv); ++k) {
            UINT m = mask;
            if ((state & LVIS_FOCUSED) != 0)
                m &= ~LVIS_FOCUSED;  // one item at most holds the focus
            ChangeState(lv, k, state, m);
        }
        return;
    }
    if (!lv.Valid(i))
        return;
    if ((mask & LVIS_FOCUSED) != 0 && (state & LVIS_FOCUSED) != 0) {
        for (int k = 0; k < lv.Count() && !Gone(lv); ++k) {
            if (k != i && (lv.Item(k).state & LVIS_FOCUSED) != 0)
                ChangeState(lv, k, 0, LVIS_FOCUSED);
        }
    }
    if (single && (mask & LVIS_SELECTED) != 0 && (state & LVIS_SELECTED) != 0) {
        for (int k = 0; k < lv.Count() && !Gone(lv); ++k) {
            if (k != i)
                ChangeState(lv, k, 0, LVIS_SELECTED);
        }
    }
    if (Gone(lv))
        return;
    ChangeState(lv, i, state, mask);
    if ((mask & LVIS_SELECTED) != 0 && (state & LVIS_SELECTED) != 0)
        lv.selectionMark = i;
}

void EnsureVisible(ListView& lv, int i) {
    if (!lv.Valid(i))
        return;
    int old = lv.top;
    lv.top = MakeLayout(lv).TopShowing(lv.top, i);
    if (lv.top != old)
        Redraw(lv);
}

void Scroll(ListView& lv, int amount) {
    ListLayout l = MakeLayout(lv);
    lv.top = l.ClampTop(lv.top + amount);
    Redraw(lv);
}

void ToggleCheck(ListView& lv, int i) {
    bool checked = (lv.Item(i).state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    SetItemState(lv, i, INDEXTOSTATEIMAGEMASK(checked ? 1 : 2), LVIS_STATEIMAGEMASK);
    Redraw(lv);
}

void PenDown(ListView& lv, LPARAM lParam, WPARAM keys, bool doubleClick) {
    HWND hwnd = lv.hwnd;
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    if (lv.edit != nullptr)
        EndEdit(lv, true);
    POINT p = PointOf(lParam);
    if (ScrollBarPress(lv, p))
        return;
    ListLayout l = MakeLayout(lv);
    UINT flags = 0;
    int i = l.HitTest(lv.top, p, &flags);
    bool single = HasStyle(lv, LVS_SINGLESEL);
    KillTimer(hwnd, kEditTimer);
    lv.editCandidate = -1;
    if (i < 0) {
        if ((keys & MK_CONTROL) == 0)
            SetItemState(lv, -1, 0, LVIS_SELECTED);
    } else if ((lv.exStyle & LVS_EX_CHECKBOXES) != 0 && flags == LVHT_ONITEMICON) {
        ToggleCheck(lv, i);
        if (!Gone(lv))
            SelectOnly(lv, i);
    } else if ((keys & MK_CONTROL) != 0 && !single) {
        UINT state = lv.Item(i).state;
        SetItemState(lv, i, (state & LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
        SetItemState(lv, i, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if ((keys & MK_SHIFT) != 0 && !single && lv.Valid(lv.selectionMark)) {
        SelectRange(lv, i);
    } else {
        const ListItem& item = lv.Item(i);
        bool soleFocused =
            (item.state & (LVIS_SELECTED | LVIS_FOCUSED)) == (LVIS_SELECTED | LVIS_FOCUSED) &&
            ListView_GetSelectedCount(hwnd) == 1;
        SelectOnly(lv, i);
        if (soleFocused && !doubleClick && flags == LVHT_ONITEMLABEL &&
            HasStyle(lv, LVS_EDITLABELS))
            lv.editCandidate = i;
    }
    if (Gone(lv))
        return;
    EnsureVisible(lv, i);
    lv.clickPending = true;
    if (doubleClick) {
        lv.clickPending = false;
        NotifyItem(lv, NM_DBLCLK, i, p);
    }
}

void PenUp(ListView& lv, LPARAM lParam) {
    if (!lv.clickPending)
        return;
    lv.clickPending = false;
    POINT p = PointOf(lParam);
    UINT flags = 0;
    int i = MakeLayout(lv).HitTest(lv.top, p, &flags);
    if (lv.editCandidate >= 0 && i == lv.editCandidate)
        SetTimer(lv.hwnd, kEditTimer, kEditDelay, nullptr);
    else
        lv.editCandidate = -1;
    NotifyItem(lv, NM_CLICK, i, p);
}

void RightPenDown(ListView& lv, LPARAM lParam) {
    PenDown(lv, lParam, 0, false);
    if (Gone(lv))
        return;
    lv.clickPending = false;
    UINT flags = 0;
    POINT p = PointOf(lParam);
    NotifyItem(lv, NM_RCLICK, MakeLayout(lv).HitTest(lv.top, p, &flags), p);
}

void KeyDown(ListView& lv, WPARAM key) {
    HWND hwnd = lv.hwnd;
    NMLVKEYDOWN notify{};
    notify.wVKey = static_cast<WORD>(key);
    NotifyParent(hwnd, LVN_KEYDOWN, &notify.hdr);
    int n = lv.Count();
    if (n == 0 || Gone(lv))
        return;
    ListLayout l = MakeLayout(lv);
    int focus = ListView_GetNextItem(hwnd, -1, LVNI_FOCUSED);
    int at = focus < 0 ? 0 : focus;
    int across = l.StepAcross();
    int down = l.StepDown();
    int page = std::max(1, ListView_GetCountPerPage(hwnd));
    bool report = l.m.view == LVS_REPORT;
    switch (key) {
        case VK_UP:
            at -= down;
            break;
        case VK_DOWN:
            at += down;
            break;
        case VK_LEFT:
            at -= report ? 0 : across;
            break;
        case VK_RIGHT:
            at += report ? 0 : across;
            break;
        case VK_HOME:
            at = 0;
            break;
        case VK_END:
            at = n - 1;
            break;
        case VK_PRIOR:
            at -= page;
            break;
        case VK_NEXT:
            at += page;
            break;
        case VK_RETURN:
            NotifyItem(lv, NM_RETURN, focus, {});
            return;
        case VK_SPACE:
            if ((lv.exStyle & LVS_EX_CHECKBOXES) != 0 && lv.Valid(focus))
                ToggleCheck(lv, focus);
            return;
        default:
            if (key == VK_F1 + 1 && HasStyle(lv, LVS_EDITLABELS))
                EditLabel(lv, focus);
            return;
    }
    at = std::clamp(at, 0, n - 1);
    bool single = HasStyle(lv, LVS_SINGLESEL);
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0)
        SetItemState(lv, at, LVIS_FOCUSED, LVIS_FOCUSED);
    else if ((GetKeyState(VK_SHIFT) & 0x8000) != 0 && !single && lv.Valid(lv.selectionMark))
        SelectRange(lv, at);
    else
        SelectOnly(lv, at);
    EnsureVisible(lv, at);
}

void EndEdit(ListView& lv, bool keep) {
    HWND hwnd = lv.hwnd;
    HWND edit = std::exchange(lv.edit, nullptr);
    int item = std::exchange(lv.editItem, -1);
    if (edit == nullptr)
        return;
    int length = GetWindowTextLengthW(edit);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    NMLVDISPINFOW info{};
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.iItem = item;
    info.item.pszText = keep ? text.data() : nullptr;
    info.item.cchTextMax = length + 1;
    if (lv.Valid(item))
        info.item.lParam = lv.Item(item).lParam;
    if (GetFocus() == edit)
        SetFocus(hwnd);
    LRESULT accepted = NotifyParent(hwnd, LVN_ENDLABELEDITW, &info.hdr);
    if (IsWindow(edit))
        DestroyWindow(edit);
    if (Gone(lv))
        return;
    if (keep && accepted != 0 && lv.Valid(item)) {
        SetText(lv.Item(item), 0, text);
        Redraw(lv);
    }
}

HWND EditLabel(ListView& lv, int i) {
    HWND hwnd = lv.hwnd;
    EndEdit(lv, true);
    if (!lv.Valid(i) || Gone(lv))
        return nullptr;
    std::u16string text = TextOf(lv.Item(i), 0);
    EnsureVisible(lv, i);
    ListLayout l = MakeLayout(lv);
    RECT r = l.ItemRect(lv.top, i, LVIR_LABEL);
    r.right = std::max<LONG>(r.right, r.left + TextWidth(hwnd, text) + 16);
    r.right = std::min<LONG>(r.right, l.m.width);
    // The field exists (hidden) while the parent hears that editing begins,
    // so that it can limit or fill it through LVM_GETEDITCONTROL.
    HWND edit =
        CreateWindowExW(0, u"EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, r.left,
                        r.top, r.right - r.left, r.bottom - r.top, hwnd, nullptr, nullptr, nullptr);
    if (edit == nullptr)
        return nullptr;
    Window* w = Peek(hwnd);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(w != nullptr ? w->font : nullptr),
                 FALSE);
    lv.edit = edit;
    lv.editItem = i;
    NMLVDISPINFOW info{};
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.iItem = i;
    info.item.pszText = text.data();
    info.item.cchTextMax = static_cast<int>(text.size()) + 1;
    info.item.lParam = lv.Item(i).lParam;
    bool refused = NotifyParent(hwnd, LVN_BEGINLABELEDITW, &info.hdr) != 0;
    if (refused || Gone(lv) || !IsWindow(edit)) {
        if (!Gone(lv) && lv.edit == edit) {
            lv.edit = nullptr;
            lv.editItem = -1;
        }
        if (IsWindow(edit))
            DestroyWindow(edit);
        return nullptr;
    }
    if (Window* e = Peek(edit))
        ControlOf<EditState>(*e).labelEditOf = hwnd;
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ShowWindow(edit, SW_SHOW);
    SetFocus(edit);
    return edit;
}

void EditTimerFired(ListView& lv) {
    KillTimer(lv.hwnd, kEditTimer);
    int candidate = std::exchange(lv.editCandidate, -1);
    if (GetFocus() == lv.hwnd && lv.Valid(candidate) &&
        (lv.Item(candidate).state & LVIS_FOCUSED) != 0)
        EditLabel(lv, candidate);
}

}  // namespace ce::gui
