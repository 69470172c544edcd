// The list view: items with subitem texts, images, states and lParams in
// four views (large icons, small icons, list, report with a header), its
// layout, hit testing, scrolling and painting, selection with the pen and
// keys, sorting by callback, and in-place label editing with an edit child.

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/controls/Controls.h"
#include "platform/gui/controls/HeaderControl.h"

namespace ce::gui {
namespace {

constexpr UINT kEditTimer = 0x7E01;
constexpr UINT kEditDelay = 500;
constexpr int kWheelRows = 3;

struct ListItem {
    std::vector<std::u16string> texts;  // by subitem
    int image = 0;
    UINT state = 0;
    LPARAM lParam = 0;
};

struct ListViewState : ControlState {
    std::vector<ListItem> items;
    std::vector<int> columnSubItems;
    HWND header = nullptr;
    HWND edit = nullptr;
    int editItem = -1;
    HIMAGELIST normal = nullptr;
    HIMAGELIST small = nullptr;
    HIMAGELIST stateImages = nullptr;
    DWORD exStyle = 0;
    int top = 0;  // first row (report), first column (list), pixels (icon views)
    int selectionMark = -1;
    int editCandidate = -1;
    bool clickPending = false;
};

// The layout of the current view, worked out from the font and images.
struct Layout {
    DWORD view = LVS_REPORT;
    int width = 0;  // client area
    int height = 0;
    int headerHeight = 0;
    int lineHeight = 0;
    int rowHeight = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int perLine = 1;  // items per row (icon views) or per column (list view)
    int smallCx = 0;
    int smallCy = 0;
    int largeCx = 0;
    int largeCy = 0;
    int scrollBar = 13;
};

ListViewState& StateFor(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr) {
        // The parent destroyed the list while the list told it of a change:
        // the code that told it finds an empty list and nothing left to do.
        static auto* gone = new ListViewState;
        *gone = ListViewState{};
        return *gone;
    }
    if (w->control == nullptr)
        w->control = std::make_unique<ListViewState>();
    return *static_cast<ListViewState*>(w->control.get());
}

DWORD ViewOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & LVS_TYPEMASK;
}

bool Valid(const ListViewState& s, int i) {
    return i >= 0 && i < static_cast<int>(s.items.size());
}

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

int ColumnsWidth(const ListViewState& s) {
    if (s.header == nullptr)
        return 0;
    int total = 0;
    for (const HeaderItem& item : HeaderOf(s.header).items)
        total += item.width;
    return total;
}

Layout MakeLayout(HWND hwnd, const ListViewState& s) {
    Layout l;
    RECT client{};
    GetClientRect(hwnd, &client);
    l.view = ViewOf(hwnd);
    l.width = client.right;
    l.height = client.bottom;
    l.scrollBar = CurrentBackend().Screen().scrollBarWidth;
    l.lineHeight = CurrentBackend().MeasureFont(WindowFont(hwnd)).height;
    if (s.small != nullptr)
        ImageList_GetIconSize(s.small, &l.smallCx, &l.smallCy);
    if (s.normal != nullptr)
        ImageList_GetIconSize(s.normal, &l.largeCx, &l.largeCy);
    l.rowHeight = std::max(l.lineHeight, l.smallCy) + 2;
    bool header =
        l.view == LVS_REPORT && (GetWindowLongW(hwnd, GWL_STYLE) & LVS_NOCOLUMNHEADER) == 0;
    l.headerHeight = header && s.header != nullptr ? HeaderHeight(s.header) : 0;
    int average = std::max(1, CurrentBackend().MeasureFont(WindowFont(hwnd)).averageCharWidth);
    switch (l.view) {
        case LVS_ICON:
            l.cellWidth = std::max(l.largeCx + 24, 8 * average + 8);
            // Two lines of label under each icon.
            l.cellHeight = l.largeCy + 6 + 2 * l.lineHeight + 4;
            l.perLine = std::max(1, (l.width - l.scrollBar) / l.cellWidth);
            break;
        case LVS_SMALLICON:
            l.cellWidth = l.smallCx + 6 + 12 * average;
            l.cellHeight = l.rowHeight;
            l.perLine = std::max(1, (l.width - l.scrollBar) / l.cellWidth);
            break;
        case LVS_LIST: {
            int widest = 0;
            for (const ListItem& item : s.items)
                widest = std::max(widest, TextWidth(hwnd, TextOf(item, 0)));
            l.cellWidth = std::min(std::max(l.width, 1), l.smallCx + 10 + widest);
            l.cellWidth = std::max(l.cellWidth, 1);
            l.cellHeight = l.rowHeight;
            l.perLine = std::max(1, (l.height - l.scrollBar) / l.rowHeight);
            break;
        }
        default:
            l.cellHeight = l.rowHeight;
            break;
    }
    return l;
}

int Count(const ListViewState& s) {
    return static_cast<int>(s.items.size());
}

// Rows (report), columns (list) or pixels (icon views) of the whole content.
int ContentExtent(const Layout& l, const ListViewState& s) {
    int n = Count(s);
    switch (l.view) {
        case LVS_REPORT:
            return n;
        case LVS_LIST:
            return (n + l.perLine - 1) / l.perLine;
        default:
            return ((n + l.perLine - 1) / l.perLine) * l.cellHeight;
    }
}

// How much of that extent one page shows.
int PageExtent(const Layout& l) {
    switch (l.view) {
        case LVS_REPORT:
            return std::max(1, (l.height - l.headerHeight) / l.rowHeight);
        case LVS_LIST:
            return std::max(1, l.width / std::max(1, l.cellWidth));
        default:
            return std::max(1, l.height);
    }
}

void ClampTop(const Layout& l, ListViewState& s) {
    int most = std::max(0, ContentExtent(l, s) - PageExtent(l));
    s.top = std::clamp(s.top, 0, most);
}

bool HasScrollBar(const Layout& l, const ListViewState& s) {
    return ContentExtent(l, s) > PageExtent(l);
}

RECT ItemRect(const Layout& l, const ListViewState& s, int i, int code) {
    RECT bounds{};
    RECT icon{};
    RECT label{};
    switch (l.view) {
        case LVS_REPORT: {
            int y = l.headerHeight + (i - s.top) * l.rowHeight;
            int column0 = s.header != nullptr && !HeaderOf(s.header).items.empty()
                              ? HeaderOf(s.header).items[0].width
                              : l.width;
            bounds = {0, y, std::max(ColumnsWidth(s), column0), y + l.rowHeight};
            icon = {2, y, 2 + l.smallCx, y + l.rowHeight};
            label = {icon.right + 2, y, column0, y + l.rowHeight};
            break;
        }
        case LVS_LIST: {
            int x = (i / l.perLine - s.top) * l.cellWidth;
            int y = (i % l.perLine) * l.rowHeight;
            bounds = {x, y, x + l.cellWidth, y + l.rowHeight};
            icon = {x + 2, y, x + 2 + l.smallCx, y + l.rowHeight};
            label = {icon.right + 2, y, x + l.cellWidth, y + l.rowHeight};
            break;
        }
        case LVS_SMALLICON: {
            int x = (i % l.perLine) * l.cellWidth;
            int y = (i / l.perLine) * l.rowHeight - s.top;
            bounds = {x, y, x + l.cellWidth, y + l.rowHeight};
            icon = {x + 2, y, x + 2 + l.smallCx, y + l.rowHeight};
            label = {icon.right + 2, y, x + l.cellWidth, y + l.rowHeight};
            break;
        }
        default: {
            int x = (i % l.perLine) * l.cellWidth;
            int y = (i / l.perLine) * l.cellHeight - s.top;
            bounds = {x, y, x + l.cellWidth, y + l.cellHeight};
            int iconLeft = x + (l.cellWidth - l.largeCx) / 2;
            icon = {iconLeft, y + 2, iconLeft + l.largeCx, y + 2 + l.largeCy};
            label = {x + 2, icon.bottom + 4, x + l.cellWidth - 2,
                     icon.bottom + 4 + 2 * l.lineHeight};
            break;
        }
    }
    switch (code) {
        case LVIR_ICON:
            return icon;
        case LVIR_LABEL:
            return label;
        case LVIR_SELECTBOUNDS:
            if (l.view == LVS_REPORT && (s.exStyle & LVS_EX_FULLROWSELECT) != 0)
                return bounds;
            return {std::min(icon.left, label.left), std::min(icon.top, label.top),
                    std::max(icon.right, label.right), std::max(icon.bottom, label.bottom)};
        default:
            return bounds;
    }
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

int HitTest(const Layout& l, const ListViewState& s, POINT p, UINT* flags) {
    *flags = LVHT_NOWHERE;
    if (p.y < l.headerHeight)
        return -1;
    for (int i = 0; i < Count(s); ++i) {
        RECT bounds = ItemRect(l, s, i, LVIR_BOUNDS);
        if (!Inside(bounds, p))
            continue;
        if (Inside(ItemRect(l, s, i, LVIR_ICON), p)) {
            *flags = LVHT_ONITEMICON;
            return i;
        }
        if (Inside(ItemRect(l, s, i, LVIR_LABEL), p)) {
            *flags = LVHT_ONITEMLABEL;
            return i;
        }
        // Beside the label of a report row only full-row selection hits the item.
        if (l.view != LVS_REPORT || (s.exStyle & LVS_EX_FULLROWSELECT) != 0) {
            *flags = LVHT_ONITEMLABEL;
            return i;
        }
        return -1;
    }
    return -1;
}

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Changes one item's state bits and tells the parent.
void ChangeState(HWND hwnd, int i, UINT state, UINT mask) {
    ListViewState& s = StateFor(hwnd);
    if (!Valid(s, i))
        return;
    ListItem& item = s.items[static_cast<std::size_t>(i)];
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
    Redraw(hwnd);
    NotifyParent(hwnd, LVN_ITEMCHANGED, &notify.hdr);
}

void SetItemState(HWND hwnd, int i, UINT state, UINT mask) {
    ListViewState& s = StateFor(hwnd);
    bool single = (GetWindowLongW(hwnd, GWL_STYLE) & LVS_SINGLESEL) != 0;
    if (i == -1) {
        for (int k = 0; k < Count(StateFor(hwnd)); ++k) {
            UINT m = mask;
            if ((state & LVIS_FOCUSED) != 0)
                m &= ~LVIS_FOCUSED;  // one item at most holds the focus
            ChangeState(hwnd, k, state, m);
        }
        return;
    }
    if (!Valid(s, i))
        return;
    if ((mask & LVIS_FOCUSED) != 0 && (state & LVIS_FOCUSED) != 0) {
        for (int k = 0; k < Count(StateFor(hwnd)); ++k) {
            if (k != i && (StateFor(hwnd).items[static_cast<std::size_t>(k)].state & LVIS_FOCUSED))
                ChangeState(hwnd, k, 0, LVIS_FOCUSED);
        }
    }
    if (single && (mask & LVIS_SELECTED) != 0 && (state & LVIS_SELECTED) != 0) {
        for (int k = 0; k < Count(StateFor(hwnd)); ++k) {
            if (k != i)
                ChangeState(hwnd, k, 0, LVIS_SELECTED);
        }
    }
    ChangeState(hwnd, i, state, mask);
    if ((mask & LVIS_SELECTED) != 0 && (state & LVIS_SELECTED) != 0)
        StateFor(hwnd).selectionMark = i;
}

void EnsureVisible(HWND hwnd, int i) {
    ListViewState& s = StateFor(hwnd);
    if (!Valid(s, i))
        return;
    Layout l = MakeLayout(hwnd, s);
    int old = s.top;
    switch (l.view) {
        case LVS_REPORT: {
            int page = PageExtent(l);
            if (i < s.top)
                s.top = i;
            else if (i >= s.top + page)
                s.top = i - page + 1;
            break;
        }
        case LVS_LIST: {
            int column = i / l.perLine;
            int page = PageExtent(l);
            if (column < s.top)
                s.top = column;
            else if (column >= s.top + page)
                s.top = column - page + 1;
            break;
        }
        default: {
            int y = (i / l.perLine) * l.cellHeight;
            if (y < s.top)
                s.top = y;
            else if (y + l.cellHeight > s.top + l.height)
                s.top = y + l.cellHeight - l.height;
            break;
        }
    }
    ClampTop(l, s);
    if (s.top != old)
        Redraw(hwnd);
}

void SelectOnly(HWND hwnd, int i) {
    for (int k = 0; k < Count(StateFor(hwnd)); ++k) {
        if (k != i)
            ChangeState(hwnd, k, 0, LVIS_SELECTED);
    }
    if (Valid(StateFor(hwnd), i))
        SetItemState(hwnd, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// Selects the items from the selection mark to `i` and no others, and
// focuses `i`; the mark stays where it was.
void SelectRange(HWND hwnd, int i) {
    int mark = StateFor(hwnd).selectionMark;
    int low = std::min(mark, i);
    int high = std::max(mark, i);
    for (int k = 0; k < Count(StateFor(hwnd)); ++k)
        ChangeState(hwnd, k, k >= low && k <= high ? LVIS_SELECTED : 0, LVIS_SELECTED);
    SetItemState(hwnd, i, LVIS_FOCUSED, LVIS_FOCUSED);
    StateFor(hwnd).selectionMark = mark;
}

void NotifyItem(HWND hwnd, UINT code, int item, POINT at) {
    NMLISTVIEW notify{};
    notify.iItem = item;
    notify.ptAction = at;
    ListViewState& s = StateFor(hwnd);
    if (Valid(s, item))
        notify.lParam = s.items[static_cast<std::size_t>(item)].lParam;
    NotifyParent(hwnd, code, &notify.hdr);
}

void EndEdit(HWND hwnd, bool keep) {
    ListViewState& s = StateFor(hwnd);
    HWND edit = std::exchange(s.edit, nullptr);
    int item = std::exchange(s.editItem, -1);
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
    if (Valid(s, item))
        info.item.lParam = s.items[static_cast<std::size_t>(item)].lParam;
    if (GetFocus() == edit)
        SetFocus(hwnd);
    LRESULT accepted = NotifyParent(hwnd, LVN_ENDLABELEDITW, &info.hdr);
    if (IsWindow(edit))
        DestroyWindow(edit);
    if (Peek(hwnd) == nullptr)
        return;
    ListViewState& again = StateFor(hwnd);
    if (keep && accepted != 0 && Valid(again, item)) {
        SetText(again.items[static_cast<std::size_t>(item)], 0, text);
        Redraw(hwnd);
    }
}

HWND EditLabel(HWND hwnd, int i) {
    EndEdit(hwnd, true);
    ListViewState& s = StateFor(hwnd);
    if (!Valid(s, i))
        return nullptr;
    NMLVDISPINFOW info{};
    std::u16string text = TextOf(s.items[static_cast<std::size_t>(i)], 0);
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.iItem = i;
    info.item.pszText = text.data();
    info.item.cchTextMax = static_cast<int>(text.size()) + 1;
    info.item.lParam = s.items[static_cast<std::size_t>(i)].lParam;
    if (NotifyParent(hwnd, LVN_BEGINLABELEDITW, &info.hdr) != 0 || Peek(hwnd) == nullptr)
        return nullptr;
    EnsureVisible(hwnd, i);
    ListViewState& now = StateFor(hwnd);
    Layout l = MakeLayout(hwnd, now);
    RECT r = ItemRect(l, now, i, LVIR_LABEL);
    r.right = std::max<LONG>(r.right, r.left + TextWidth(hwnd, text) + 16);
    r.right = std::min<LONG>(r.right, l.width);
    HWND edit = CreateWindowExW(
        0, u"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
        r.right - r.left, r.bottom - r.top, hwnd, nullptr, nullptr, nullptr);
    if (edit == nullptr)
        return nullptr;
    if (Window* e = Peek(edit)) {
        if (e->control == nullptr)
            e->control = std::make_unique<EditState>();
        static_cast<EditState*>(e->control.get())->labelEditOf = hwnd;
    }
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(Peek(hwnd)->font), FALSE);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    StateFor(hwnd).edit = edit;
    StateFor(hwnd).editItem = i;
    SetFocus(edit);
    return edit;
}

void PaintScrollBar(HDC hdc, const Layout& l, const ListViewState& s) {
    int extent = ContentExtent(l, s);
    int page = PageExtent(l);
    if (extent <= page)
        return;
    bool horizontal = l.view == LVS_LIST;
    RECT track = horizontal ? RECT{0, l.height - l.scrollBar, l.width, l.height}
                            : RECT{l.width - l.scrollBar, l.headerHeight, l.width, l.height};
    FillRect(hdc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    int length = horizontal ? track.right - track.left : track.bottom - track.top;
    int thumb = std::max(l.scrollBar, length * page / extent);
    int start = (length - thumb) * s.top / std::max(1, extent - page);
    RECT knob =
        horizontal
            ? RECT{track.left + start, track.top + 1, track.left + start + thumb, track.bottom - 1}
            : RECT{track.left + 1, track.top + start, track.right - 1, track.top + start + thumb};
    FillRect(hdc, &knob, GetSysColorBrush(COLOR_BTNSHADOW));
}

LONG TextWidth(HDC hdc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(hdc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A large icon's label: at most two lines, broken at blanks, a word too wide
// for the cell broken where it must be; what does not fit ends the second
// line with an ellipsis (drawn by DrawTextW).
std::vector<std::u16string> IconLabelLines(HDC hdc, std::u16string_view text, LONG width) {
    std::vector<std::u16string> lines;
    std::size_t i = 0;
    while (i < text.size() && lines.size() < 2) {
        if (lines.size() == 1) {
            lines.emplace_back(text.substr(i));
            break;
        }
        std::size_t end = i;
        std::size_t lastBlank = std::u16string_view::npos;
        while (end < text.size() && TextWidth(hdc, text.substr(i, end - i + 1)) <= width) {
            if (text[end] == u' ')
                lastBlank = end;
            ++end;
        }
        if (end == text.size()) {
            lines.emplace_back(text.substr(i));
            break;
        }
        std::size_t cut = lastBlank != std::u16string_view::npos ? lastBlank : std::max(end, i + 1);
        lines.emplace_back(text.substr(i, cut - i));
        i = cut;
        while (i < text.size() && text[i] == u' ')
            ++i;
    }
    return lines;
}

void Paint(HWND hwnd) {
    ListViewState& s = StateFor(hwnd);
    Layout l = MakeLayout(hwnd, s);
    Window* w = Peek(hwnd);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(hdc, w->font != nullptr ? w->font : DefaultFont());
    RECT client{0, 0, l.width, l.height};
    FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(hdc, TRANSPARENT);
    bool focused = GetFocus() == hwnd;
    bool showSelection = focused || (w->style & LVS_SHOWSELALWAYS) != 0;
    std::vector<HeaderItem> columns;
    if (s.header != nullptr)
        columns = HeaderOf(s.header).items;
    for (int i = 0; i < Count(s); ++i) {
        RECT bounds = ItemRect(l, s, i, LVIR_BOUNDS);
        if (bounds.bottom <= l.headerHeight || bounds.top >= l.height || bounds.right <= 0 ||
            bounds.left >= l.width)
            continue;
        const ListItem& item = s.items[static_cast<std::size_t>(i)];
        bool selected = (item.state & LVIS_SELECTED) != 0 && showSelection;
        RECT label = ItemRect(l, s, i, LVIR_LABEL);
        RECT highlight =
            l.view == LVS_REPORT && (s.exStyle & LVS_EX_FULLROWSELECT) != 0 ? bounds : label;
        std::vector<std::u16string> iconLines;
        if (l.view == LVS_ICON) {
            // The highlight covers the label's lines, not the room left for a second one.
            iconLines = IconLabelLines(hdc, TextOf(item, 0), label.right - label.left);
            highlight.bottom =
                highlight.top +
                static_cast<LONG>(std::max<std::size_t>(1, iconLines.size())) * l.lineHeight;
        }
        if (selected) {
            FillRect(hdc, &highlight, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        }
        COLORREF textColor =
            selected && focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
        HIMAGELIST images = l.view == LVS_ICON ? s.normal : s.small;
        RECT icon = ItemRect(l, s, i, LVIR_ICON);
        if (images != nullptr && item.image >= 0)
            ImageList_Draw(
                images, item.image, hdc, icon.left,
                icon.top +
                    (icon.bottom - icon.top - (l.view == LVS_ICON ? l.largeCy : l.smallCy)) / 2,
                ILD_TRANSPARENT);
        SetTextColor(hdc, textColor);
        if (l.view == LVS_REPORT && !columns.empty()) {
            int x = 0;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                RECT cell =
                    c == 0 ? label : RECT{x, bounds.top, x + columns[c].width, bounds.bottom};
                if (c > 0 && !selected)
                    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
                if (c > 0 && selected && (s.exStyle & LVS_EX_FULLROWSELECT) == 0)
                    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
                RECT text{cell.left + (c == 0 ? 2 : 6), cell.top, cell.right - 6, cell.bottom};
                int subItem =
                    c < s.columnSubItems.size() ? s.columnSubItems[c] : static_cast<int>(c);
                int format = columns[c].format & HDF_JUSTIFYMASK;
                UINT align = format == HDF_RIGHT    ? DT_RIGHT
                             : format == HDF_CENTER ? DT_CENTER
                                                    : DT_LEFT;
                if (text.right > text.left) {
                    const std::u16string& value = TextOf(item, subItem);
                    DrawTextW(hdc, value.c_str(), -1, &text,
                              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
                }
                x += columns[c].width;
            }
        } else if (l.view == LVS_ICON) {
            RECT text = label;
            text.bottom = text.top + l.lineHeight;
            for (const std::u16string& line : iconLines) {
                DrawTextW(hdc, line.c_str(), -1, &text,
                          DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                text.top += l.lineHeight;
                text.bottom += l.lineHeight;
            }
        } else {
            RECT text = label;
            const std::u16string& value = TextOf(item, 0);
            DrawTextW(hdc, value.c_str(), -1, &text,
                      DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (focused && (item.state & LVIS_FOCUSED) != 0)
            DrawFocusRect(hdc, &highlight);
    }
    PaintScrollBar(hdc, l, s);
    SelectObject(hdc, oldFont);
    EndPaint(hwnd, &ps);
}

// A press on the scroll bar pages towards it; true when it was on the bar.
bool ScrollBarPress(HWND hwnd, POINT p) {
    ListViewState& s = StateFor(hwnd);
    Layout l = MakeLayout(hwnd, s);
    if (!HasScrollBar(l, s))
        return false;
    bool horizontal = l.view == LVS_LIST;
    bool onBar = horizontal ? p.y >= l.height - l.scrollBar : p.x >= l.width - l.scrollBar;
    if (!onBar || p.y < l.headerHeight)
        return false;
    int extent = ContentExtent(l, s);
    int page = PageExtent(l);
    int length = horizontal ? l.width : l.height - l.headerHeight;
    int thumb = std::max(l.scrollBar, length * page / extent);
    int start = (length - thumb) * s.top / std::max(1, extent - page);
    int at = horizontal ? p.x : p.y - l.headerHeight;
    if (at < start)
        s.top -= page;
    else if (at >= start + thumb)
        s.top += page;
    ClampTop(l, s);
    Redraw(hwnd);
    return true;
}

void Scroll(HWND hwnd, int amount) {
    ListViewState& s = StateFor(hwnd);
    Layout l = MakeLayout(hwnd, s);
    s.top += amount;
    ClampTop(l, s);
    Redraw(hwnd);
}

void PenDown(HWND hwnd, LPARAM lParam, WPARAM keys, bool doubleClick) {
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    ListViewState& s = StateFor(hwnd);
    if (s.edit != nullptr)
        EndEdit(hwnd, true);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (ScrollBarPress(hwnd, p))
        return;
    ListViewState& now = StateFor(hwnd);
    Layout l = MakeLayout(hwnd, now);
    UINT flags = 0;
    int i = HitTest(l, now, p, &flags);
    bool single = (GetWindowLongW(hwnd, GWL_STYLE) & LVS_SINGLESEL) != 0;
    KillTimer(hwnd, kEditTimer);
    now.editCandidate = -1;
    if (i < 0) {
        if ((keys & MK_CONTROL) == 0)
            SetItemState(hwnd, -1, 0, LVIS_SELECTED);
    } else if ((keys & MK_CONTROL) != 0 && !single) {
        UINT state = now.items[static_cast<std::size_t>(i)].state;
        SetItemState(hwnd, i, (state & LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
        SetItemState(hwnd, i, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if ((keys & MK_SHIFT) != 0 && !single && Valid(now, now.selectionMark)) {
        SelectRange(hwnd, i);
    } else {
        const ListItem& item = now.items[static_cast<std::size_t>(i)];
        bool soleFocused =
            (item.state & (LVIS_SELECTED | LVIS_FOCUSED)) == (LVIS_SELECTED | LVIS_FOCUSED) &&
            ListView_GetSelectedCount(hwnd) == 1;
        SelectOnly(hwnd, i);
        if (soleFocused && !doubleClick && flags == LVHT_ONITEMLABEL &&
            (GetWindowLongW(hwnd, GWL_STYLE) & LVS_EDITLABELS) != 0)
            StateFor(hwnd).editCandidate = i;
    }
    if (Peek(hwnd) == nullptr)
        return;
    EnsureVisible(hwnd, i);
    StateFor(hwnd).clickPending = true;
    if (doubleClick) {
        StateFor(hwnd).clickPending = false;
        NotifyItem(hwnd, NM_DBLCLK, i, p);
    }
}

void PenUp(HWND hwnd, LPARAM lParam) {
    ListViewState& s = StateFor(hwnd);
    if (!s.clickPending)
        return;
    s.clickPending = false;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Layout l = MakeLayout(hwnd, s);
    UINT flags = 0;
    int i = HitTest(l, s, p, &flags);
    if (s.editCandidate >= 0 && i == s.editCandidate)
        SetTimer(hwnd, kEditTimer, kEditDelay, nullptr);
    else
        s.editCandidate = -1;
    NotifyItem(hwnd, NM_CLICK, i, p);
}

void KeyDown(HWND hwnd, WPARAM key) {
    NMLVKEYDOWN notify{};
    notify.wVKey = static_cast<WORD>(key);
    NotifyParent(hwnd, LVN_KEYDOWN, &notify.hdr);
    ListViewState& s = StateFor(hwnd);
    int n = Count(s);
    if (n == 0)
        return;
    Layout l = MakeLayout(hwnd, s);
    int focus = ListView_GetNextItem(hwnd, -1, LVNI_FOCUSED);
    int at = focus < 0 ? 0 : focus;
    int across = l.view == LVS_LIST ? l.perLine : 1;
    int down = l.view == LVS_ICON || l.view == LVS_SMALLICON ? l.perLine : 1;
    int page = std::max(1, ListView_GetCountPerPage(hwnd));
    switch (key) {
        case VK_UP:
            at -= down;
            break;
        case VK_DOWN:
            at += down;
            break;
        case VK_LEFT:
            at -= l.view == LVS_REPORT ? 0 : across;
            break;
        case VK_RIGHT:
            at += l.view == LVS_REPORT ? 0 : across;
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
            NotifyItem(hwnd, NM_RETURN, focus, {});
            return;
        default:
            if (key == VK_F1 + 1 && (GetWindowLongW(hwnd, GWL_STYLE) & LVS_EDITLABELS) != 0)
                EditLabel(hwnd, focus);
            return;
    }
    at = std::clamp(at, 0, n - 1);
    bool single = (GetWindowLongW(hwnd, GWL_STYLE) & LVS_SINGLESEL) != 0;
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0)
        SetItemState(hwnd, at, LVIS_FOCUSED, LVIS_FOCUSED);
    else if ((GetKeyState(VK_SHIFT) & 0x8000) != 0 && !single && Valid(s, s.selectionMark))
        SelectRange(hwnd, at);
    else
        SelectOnly(hwnd, at);
    EnsureVisible(hwnd, at);
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

LRESULT InsertItem(HWND hwnd, const LVITEMW* in) {
    ListViewState& s = StateFor(hwnd);
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
    int at = std::clamp(in->iItem, 0, Count(s));
    s.items.insert(s.items.begin() + at, item);
    if (s.selectionMark >= at)
        ++s.selectionMark;
    if (s.editItem >= at)
        ++s.editItem;
    Redraw(hwnd);
    NotifyItem(hwnd, LVN_INSERTITEM, at, {});
    if (state != 0 && Peek(hwnd) != nullptr)
        SetItemState(hwnd, at, state, in->stateMask);
    return at;
}

LRESULT DeleteItem(HWND hwnd, int i) {
    if (!Valid(StateFor(hwnd), i))
        return FALSE;
    if (StateFor(hwnd).editItem == i)
        EndEdit(hwnd, false);
    NotifyItem(hwnd, LVN_DELETEITEM, i, {});
    ListViewState& s = StateFor(hwnd);
    if (!Valid(s, i))
        return FALSE;
    s.items.erase(s.items.begin() + i);
    if (s.selectionMark == i)
        s.selectionMark = -1;
    else if (s.selectionMark > i)
        --s.selectionMark;
    if (s.editItem > i)
        --s.editItem;
    ClampTop(MakeLayout(hwnd, s), s);
    Redraw(hwnd);
    return TRUE;
}

LRESULT SortItems(HWND hwnd, LPARAM parameter, PFNLVCOMPARE compare) {
    if (compare == nullptr)
        return FALSE;
    EndEdit(hwnd, true);
    // The comparison may look at the list (find items, read their texts), so
    // the items stay where they are until the order is known.
    std::vector<LPARAM> params;
    for (const ListItem& item : StateFor(hwnd).items)
        params.push_back(item.lParam);
    std::vector<std::size_t> order(params.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return compare(params[a], params[b], parameter) < 0;
    });
    if (Peek(hwnd) == nullptr)
        return FALSE;
    ListViewState& s = StateFor(hwnd);
    if (s.items.size() != order.size())
        return FALSE;
    std::vector<ListItem> sorted;
    sorted.reserve(order.size());
    int mark = -1;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (static_cast<int>(order[k]) == s.selectionMark)
            mark = static_cast<int>(k);
        sorted.push_back(std::move(s.items[order[k]]));
    }
    s.items = std::move(sorted);
    s.selectionMark = mark;
    Redraw(hwnd);
    return TRUE;
}

LRESULT FindItem(HWND hwnd, int start, const LVFINDINFOW* info) {
    ListViewState& s = StateFor(hwnd);
    if (info == nullptr)
        return -1;
    int n = Count(s);
    int first = start + 1;
    int steps = (info->flags & LVFI_WRAP) != 0 ? n : n - std::max(0, first);
    for (int k = 0; k < steps; ++k) {
        int i = (std::max(0, first) + k) % std::max(1, n);
        const ListItem& item = s.items[static_cast<std::size_t>(i)];
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

void LayoutHeader(HWND hwnd) {
    ListViewState& s = StateFor(hwnd);
    if (s.header == nullptr)
        return;
    Layout l = MakeLayout(hwnd, s);
    bool show = l.headerHeight > 0;
    MoveWindow(s.header, 0, 0, l.width, show ? l.headerHeight : 0, TRUE);
    ShowWindow(s.header, show ? SW_SHOWNA : SW_HIDE);
    ClampTop(l, s);
}

LRESULT ColumnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ListViewState& s = StateFor(hwnd);
    int index = static_cast<int>(wParam);
    int count = static_cast<int>(s.columnSubItems.size());
    switch (message) {
        case LVM_INSERTCOLUMNW: {
            auto* in = reinterpret_cast<const LVCOLUMNW*>(lParam);
            if (in == nullptr)
                return -1;
            index = std::clamp(index, 0, count);
            HDITEMW item{};
            item.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT;
            item.fmt =
                HDF_STRING | ((in->mask & LVCF_FMT) != 0 ? (in->fmt & LVCFMT_JUSTIFYMASK) : 0);
            item.cxy = (in->mask & LVCF_WIDTH) != 0 ? in->cx : 60;
            std::u16string text = (in->mask & LVCF_TEXT) != 0
                                      ? std::u16string(WideView(in->pszText))
                                      : std::u16string();
            item.pszText = text.data();
            SendMessageW(s.header, HDM_INSERTITEMW, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item));
            StateFor(hwnd).columnSubItems.insert(
                StateFor(hwnd).columnSubItems.begin() + index,
                (in->mask & LVCF_SUBITEM) != 0 ? in->iSubItem : index);
            Redraw(hwnd);
            return index;
        }
        case LVM_DELETECOLUMN:
            if (index < 0 || index >= count)
                return FALSE;
            SendMessageW(s.header, HDM_DELETEITEM, wParam, 0);
            StateFor(hwnd).columnSubItems.erase(StateFor(hwnd).columnSubItems.begin() + index);
            Redraw(hwnd);
            return TRUE;
        case LVM_GETCOLUMNW:
        case LVM_SETCOLUMNW: {
            auto* column = reinterpret_cast<LVCOLUMNW*>(lParam);
            if (index < 0 || index >= count || column == nullptr)
                return FALSE;
            HDITEMW item{};
            item.mask = HDI_FORMAT | HDI_WIDTH | ((column->mask & LVCF_TEXT) != 0 ? HDI_TEXT : 0);
            if (message == LVM_GETCOLUMNW) {
                item.pszText = column->pszText;
                item.cchTextMax = column->cchTextMax;
                SendMessageW(s.header, HDM_GETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
                column->fmt = item.fmt & HDF_JUSTIFYMASK;
                column->cx = item.cxy;
                column->iSubItem = s.columnSubItems[static_cast<std::size_t>(index)];
                return TRUE;
            }
            SendMessageW(s.header, HDM_GETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
            if ((column->mask & LVCF_FMT) != 0)
                item.fmt = (item.fmt & ~HDF_JUSTIFYMASK) | (column->fmt & LVCFMT_JUSTIFYMASK);
            if ((column->mask & LVCF_WIDTH) != 0)
                item.cxy = column->cx;
            item.pszText = column->pszText;
            SendMessageW(s.header, HDM_SETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
            if ((column->mask & LVCF_SUBITEM) != 0)
                StateFor(hwnd).columnSubItems[static_cast<std::size_t>(index)] = column->iSubItem;
            Redraw(hwnd);
            return TRUE;
        }
        case LVM_GETCOLUMNWIDTH:
            if (index < 0 || index >= count)
                return 0;
            return HeaderOf(s.header).items[static_cast<std::size_t>(index)].width;
        case LVM_SETCOLUMNWIDTH: {
            if (index < 0 || index >= count)
                return FALSE;
            int width = static_cast<short>(LOWORD(static_cast<DWORD>(lParam)));
            if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
                int subItem = s.columnSubItems[static_cast<std::size_t>(index)];
                int widest = 0;
                for (const ListItem& item : s.items)
                    widest = std::max(widest, TextWidth(hwnd, TextOf(item, subItem)));
                if (width == LVSCW_AUTOSIZE_USEHEADER)
                    widest = std::max(
                        widest,
                        TextWidth(hwnd,
                                  HeaderOf(s.header).items[static_cast<std::size_t>(index)].text));
                width = widest + 12;
            }
            HDITEMW item{};
            item.mask = HDI_WIDTH;
            item.cxy = std::max(0, width);
            SendMessageW(s.header, HDM_SETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
            Redraw(hwnd);
            return TRUE;
        }
        default:
            return 0;
    }
}

}  // namespace

LRESULT ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Peek(hwnd) == nullptr)
        return 0;
    ListViewState& s = StateFor(hwnd);
    int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    switch (message) {
        case WM_CREATE:
            s.header = CreateWindowExW(0, WC_HEADERW, u"", WS_CHILD, 0, 0, 0, 0, hwnd, nullptr,
                                       nullptr, nullptr);
            LayoutHeader(hwnd);
            return 0;
        case WM_SIZE:
        case WM_STYLECHANGED:
            LayoutHeader(hwnd);
            Redraw(hwnd);
            return 0;
        case WM_SETFONT:
            DefWindowProcW(hwnd, message, wParam, lParam);
            if (s.header != nullptr)
                SendMessageW(s.header, WM_SETFONT, wParam, lParam);
            LayoutHeader(hwnd);
            return 0;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (message == WM_KILLFOCUS)
                KillTimer(hwnd, kEditTimer);
            Redraw(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            PenDown(hwnd, lParam, wParam, false);
            return 0;
        case WM_LBUTTONDBLCLK:
            PenDown(hwnd, lParam, wParam, true);
            return 0;
        case WM_LBUTTONUP:
            PenUp(hwnd, lParam);
            return 0;
        case WM_RBUTTONDOWN: {
            PenDown(hwnd, lParam, 0, false);
            StateFor(hwnd).clickPending = false;
            Layout l = MakeLayout(hwnd, StateFor(hwnd));
            UINT flags = 0;
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            NotifyItem(hwnd, NM_RCLICK, HitTest(l, StateFor(hwnd), p, &flags), p);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            int delta = static_cast<short>(HIWORD(static_cast<DWORD>(wParam)));
            Layout l = MakeLayout(hwnd, s);
            int unit = l.view == LVS_REPORT || l.view == LVS_LIST ? 1 : l.cellHeight;
            Scroll(hwnd, -(delta / 120) * kWheelRows * unit);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kEditTimer) {
                KillTimer(hwnd, kEditTimer);
                int candidate = std::exchange(s.editCandidate, -1);
                if (GetFocus() == hwnd && Valid(s, candidate) &&
                    (s.items[static_cast<std::size_t>(candidate)].state & LVIS_FOCUSED) != 0)
                    EditLabel(hwnd, candidate);
            }
            return 0;
        case WM_KEYDOWN:
            KeyDown(hwnd, wParam);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header != nullptr && header->hwndFrom == s.header) {
                if (header->code == HDN_ITEMCLICKW) {
                    NMLISTVIEW notify{};
                    notify.iItem = -1;
                    notify.iSubItem = reinterpret_cast<NMHEADERW*>(lParam)->iItem;
                    NotifyParent(hwnd, LVN_COLUMNCLICK, &notify.hdr);
                } else if (header->code == HDN_ENDTRACKW) {
                    Redraw(hwnd);
                }
            }
            return 0;
        }
        case kHeaderLayout:
            Redraw(hwnd);
            return 0;
        case kEndLabelEdit:
            EndEdit(hwnd, wParam != 0);
            return 0;
        case LVM_GETITEMCOUNT:
            return Count(s);
        case LVM_INSERTITEMW:
            return InsertItem(hwnd, reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_DELETEITEM:
            return DeleteItem(hwnd, index);
        case LVM_DELETEALLITEMS: {
            EndEdit(hwnd, false);
            NMLISTVIEW notify{};
            notify.iItem = -1;
            NotifyParent(hwnd, LVN_DELETEALLITEMS, &notify.hdr);
            ListViewState& now = StateFor(hwnd);
            now.items.clear();
            now.selectionMark = -1;
            now.top = 0;
            Redraw(hwnd);
            return TRUE;
        }
        case LVM_GETITEMW:
        case LVM_SETITEMW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item == nullptr || !Valid(s, item->iItem))
                return FALSE;
            ListItem& target = s.items[static_cast<std::size_t>(item->iItem)];
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
            Redraw(hwnd);
            if ((item->mask & LVIF_STATE) != 0)
                SetItemState(hwnd, item->iItem, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMTEXTW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item == nullptr || item->pszText == nullptr || item->cchTextMax <= 0)
                return 0;
            item->pszText[0] = 0;
            if (!Valid(s, index))
                return 0;
            return static_cast<LRESULT>(
                CopyWide(item->pszText, static_cast<std::size_t>(item->cchTextMax),
                         TextOf(s.items[static_cast<std::size_t>(index)], item->iSubItem)));
        }
        case LVM_SETITEMTEXTW: {
            auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (item == nullptr || !Valid(s, index))
                return FALSE;
            SetText(s.items[static_cast<std::size_t>(index)], item->iSubItem,
                    WideView(item->pszText));
            Redraw(hwnd);
            return TRUE;
        }
        case LVM_SETITEMSTATE: {
            auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (item == nullptr || (index != -1 && !Valid(s, index)))
                return FALSE;
            SetItemState(hwnd, index, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMSTATE:
            return Valid(s, index)
                       ? s.items[static_cast<std::size_t>(index)].state & static_cast<UINT>(lParam)
                       : 0;
        case LVM_GETNEXTITEM: {
            UINT flags = LOWORD(static_cast<DWORD>(lParam));
            for (int i = std::max(0, index + 1); i < Count(s); ++i) {
                UINT state = s.items[static_cast<std::size_t>(i)].state;
                if ((flags & LVNI_SELECTED) != 0 && (state & LVIS_SELECTED) == 0)
                    continue;
                if ((flags & LVNI_FOCUSED) != 0 && (state & LVIS_FOCUSED) == 0)
                    continue;
                return i;
            }
            return -1;
        }
        case LVM_GETSELECTEDCOUNT:
            return std::count_if(s.items.begin(), s.items.end(),
                                 [](const ListItem& i) { return (i.state & LVIS_SELECTED) != 0; });
        case LVM_FINDITEMW:
            return FindItem(hwnd, index, reinterpret_cast<const LVFINDINFOW*>(lParam));
        case LVM_SORTITEMS:
            return SortItems(hwnd, static_cast<LPARAM>(wParam),
                             reinterpret_cast<PFNLVCOMPARE>(lParam));
        case LVM_INSERTCOLUMNW:
        case LVM_DELETECOLUMN:
        case LVM_GETCOLUMNW:
        case LVM_SETCOLUMNW:
        case LVM_GETCOLUMNWIDTH:
        case LVM_SETCOLUMNWIDTH:
            return ColumnMessage(hwnd, message, wParam, lParam);
        case LVM_SETIMAGELIST: {
            HIMAGELIST* slot = index == LVSIL_NORMAL  ? &s.normal
                               : index == LVSIL_SMALL ? &s.small
                                                      : &s.stateImages;
            HIMAGELIST old = std::exchange(*slot, reinterpret_cast<HIMAGELIST>(lParam));
            Redraw(hwnd);
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(index == LVSIL_NORMAL  ? s.normal
                                             : index == LVSIL_SMALL ? s.small
                                                                    : s.stateImages);
        case LVM_GETHEADER:
            return reinterpret_cast<LRESULT>(s.header);
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            DWORD old = s.exStyle;
            DWORD mask = wParam == 0 ? 0xFFFFFFFF : static_cast<DWORD>(wParam);
            s.exStyle = (s.exStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
            Redraw(hwnd);
            return old;
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return s.exStyle;
        case LVM_HITTEST:
        case LVM_SUBITEMHITTEST: {
            auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
            if (info == nullptr)
                return -1;
            Layout l = MakeLayout(hwnd, s);
            info->iItem = HitTest(l, s, info->pt, &info->flags);
            info->iSubItem = 0;
            if (message == LVM_SUBITEMHITTEST && l.view == LVS_REPORT && s.header != nullptr) {
                int x = 0;
                const auto& columns = HeaderOf(s.header).items;
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    if (info->pt.x >= x && info->pt.x < x + columns[c].width) {
                        info->iSubItem = static_cast<int>(c);
                        int y = info->pt.y - l.headerHeight;
                        int i = y >= 0 ? s.top + y / l.rowHeight : -1;
                        if (Valid(s, i) && info->iItem < 0 && c > 0) {
                            info->iItem = i;
                            info->flags = LVHT_ONITEMLABEL;
                        }
                    }
                    x += columns[c].width;
                }
            }
            return info->iItem;
        }
        case LVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect == nullptr || !Valid(s, index))
                return FALSE;
            *rect = ItemRect(MakeLayout(hwnd, s), s, index, rect->left);
            return TRUE;
        }
        case LVM_GETITEMPOSITION: {
            auto* point = reinterpret_cast<POINT*>(lParam);
            if (point == nullptr || !Valid(s, index))
                return FALSE;
            RECT r = ItemRect(MakeLayout(hwnd, s), s, index, LVIR_BOUNDS);
            *point = {r.left, r.top};
            return TRUE;
        }
        case LVM_ENSUREVISIBLE:
            if (!Valid(s, index))
                return FALSE;
            EnsureVisible(hwnd, index);
            return TRUE;
        case LVM_SCROLL: {
            Layout l = MakeLayout(hwnd, s);
            int dx = static_cast<int>(static_cast<std::intptr_t>(wParam));
            int dy = static_cast<int>(lParam);
            int amount = l.view == LVS_REPORT ? dy / std::max(1, l.rowHeight)
                         : l.view == LVS_LIST ? dx / std::max(1, l.cellWidth)
                                              : dy;
            Scroll(hwnd, amount);
            return TRUE;
        }
        case LVM_GETTOPINDEX: {
            Layout l = MakeLayout(hwnd, s);
            if (l.view == LVS_REPORT)
                return std::min(s.top, std::max(0, Count(s) - 1));
            return l.view == LVS_LIST ? std::min(s.top * l.perLine, std::max(0, Count(s) - 1)) : 0;
        }
        case LVM_GETCOUNTPERPAGE: {
            Layout l = MakeLayout(hwnd, s);
            switch (l.view) {
                case LVS_REPORT:
                    return std::max(0, (l.height - l.headerHeight) / std::max(1, l.rowHeight));
                case LVS_LIST:
                    return l.perLine * std::max(1, l.width / std::max(1, l.cellWidth));
                default:
                    return l.perLine * std::max(1, l.height / std::max(1, l.cellHeight));
            }
        }
        case LVM_REDRAWITEMS:
        case LVM_UPDATE:
        case LVM_ARRANGE:
            Redraw(hwnd);
            return TRUE;
        case LVM_GETSTRINGWIDTHW:
            return TextWidth(hwnd, WideView(reinterpret_cast<LPCWSTR>(lParam)));
        case LVM_EDITLABELW:
            if (index == -1) {
                EndEdit(hwnd, false);
                return 0;
            }
            return reinterpret_cast<LRESULT>(EditLabel(hwnd, index));
        case LVM_GETEDITCONTROL:
            return reinterpret_cast<LRESULT>(s.edit);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
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
