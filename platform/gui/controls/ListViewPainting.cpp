// Painting the list view: each visible item's highlight, image and texts
// (report columns aligned as their header items say, large icons' labels on
// two lines), the focus rectangle and the scroll bar.

#include <algorithm>

#include "platform/gui/Gdi.h"
#include "platform/gui/controls/HeaderControl.h"
#include "platform/gui/controls/ListView.h"

namespace ce::gui {
namespace {

void PaintScrollBar(HDC hdc, const ListLayout& l, int top) {
    if (!l.HasScrollBar())
        return;
    ScrollBarGeometry bar = l.ScrollBar(top);
    FillRect(hdc, &bar.track, GetSysColorBrush(COLOR_SCROLLBAR));
    const RECT& track = bar.track;
    int start = bar.thumbStart;
    int thumb = bar.thumbLength;
    RECT knob =
        bar.horizontal
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

// What every item of one paint shares.
struct PaintContext {
    HDC hdc;
    const ListView& lv;
    const ListLayout& l;
    std::vector<HeaderItem> columns;
    bool focused;
    bool showSelection;
};

void PaintReportCells(const PaintContext& pc, const ListItem& item, RECT bounds, RECT label,
                      bool selected) {
    HDC hdc = pc.hdc;
    int x = 0;
    for (std::size_t c = 0; c < pc.columns.size(); ++c) {
        RECT cell = c == 0 ? label : RECT{x, bounds.top, x + pc.columns[c].width, bounds.bottom};
        if (c > 0 && !selected)
            SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        if (c > 0 && selected && (pc.lv.exStyle & LVS_EX_FULLROWSELECT) == 0)
            SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        RECT text{cell.left + (c == 0 ? 2 : 6), cell.top, cell.right - 6, cell.bottom};
        int subItem =
            c < pc.lv.columnSubItems.size() ? pc.lv.columnSubItems[c] : static_cast<int>(c);
        int format = pc.columns[c].format & HDF_JUSTIFYMASK;
        UINT align = format == HDF_RIGHT ? DT_RIGHT : format == HDF_CENTER ? DT_CENTER : DT_LEFT;
        if (text.right > text.left) {
            const std::u16string& value = TextOf(item, subItem);
            DrawTextW(hdc, value.c_str(), -1, &text,
                      align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        x += pc.columns[c].width;
    }
}

// A square box centred in `r`, with a tick when checked.
void PaintCheckBox(HDC hdc, RECT r, bool checked) {
    int side = std::min(r.right - r.left, r.bottom - r.top) - 2;
    if (side < 6)
        return;
    int left = r.left + (r.right - r.left - side) / 2;
    int top = r.top + (r.bottom - r.top - side) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    Rectangle(hdc, left, top, left + side, top + side);
    if (checked) {
        for (int d = 0; d < 2; ++d) {
            MoveToEx(hdc, left + 2, top + side / 2 + d, nullptr);
            LineTo(hdc, left + side / 2 - 1, top + side - 3 + d);
            LineTo(hdc, left + side - 2, top + 2 + d);
        }
    }
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void PaintItem(const PaintContext& pc, int i) {
    HDC hdc = pc.hdc;
    const ListLayout& l = pc.l;
    const ListView& lv = pc.lv;
    DWORD view = l.m.view;
    RECT bounds = l.ItemRect(lv.top, i, LVIR_BOUNDS);
    if (bounds.bottom <= l.m.headerHeight || bounds.top >= l.m.height || bounds.right <= 0 ||
        bounds.left >= l.m.width)
        return;
    const ListItem& item = lv.items[static_cast<std::size_t>(i)];
    bool selected = (item.state & LVIS_SELECTED) != 0 && pc.showSelection;
    RECT label = l.ItemRect(lv.top, i, LVIR_LABEL);
    RECT highlight = view == LVS_REPORT && l.m.fullRowSelect ? bounds : label;
    std::vector<std::u16string> iconLines;
    if (view == LVS_ICON) {
        // The highlight covers the label's lines, not the room left for a second one.
        iconLines = IconLabelLines(hdc, TextOf(item, 0), label.right - label.left);
        highlight.bottom =
            highlight.top +
            static_cast<LONG>(std::max<std::size_t>(1, iconLines.size())) * l.m.lineHeight;
    }
    if (selected)
        FillRect(hdc, &highlight, GetSysColorBrush(pc.focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    COLORREF textColor =
        selected && pc.focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
    HIMAGELIST images = view == LVS_ICON ? lv.normal : lv.small;
    RECT icon = l.ItemRect(lv.top, i, LVIR_ICON);
    if (images != nullptr && item.image >= 0) {
        int imageHeight = view == LVS_ICON ? l.m.largeCy : l.m.smallCy;
        ImageList_Draw(images, item.image, hdc, icon.left,
                       icon.top + (icon.bottom - icon.top - imageHeight) / 2, ILD_TRANSPARENT);
    }
    if ((lv.exStyle & LVS_EX_CHECKBOXES) != 0 && view != LVS_ICON)
        PaintCheckBox(hdc, icon, (item.state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
    SetTextColor(hdc, textColor);
    if (view == LVS_REPORT && !pc.columns.empty()) {
        PaintReportCells(pc, item, bounds, label, selected);
    } else if (view == LVS_ICON) {
        RECT text = label;
        text.bottom = text.top + l.m.lineHeight;
        for (const std::u16string& line : iconLines) {
            DrawTextW(hdc, line.c_str(), -1, &text,
                      DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            text.top += l.m.lineHeight;
            text.bottom += l.m.lineHeight;
        }
    } else {
        RECT text = label;
        const std::u16string& value = TextOf(item, 0);
        DrawTextW(hdc, value.c_str(), -1, &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (pc.focused && (item.state & LVIS_FOCUSED) != 0)
        DrawFocusRect(hdc, &highlight);
}

}  // namespace

void Paint(ListView& lv) {
    ListLayout l = MakeLayout(lv);
    Window* w = Peek(lv.hwnd);
    if (w == nullptr)
        return;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(lv.hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(hdc, w->font != nullptr ? w->font : DefaultFont());
    RECT client{0, 0, l.m.width, l.m.height};
    FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(hdc, TRANSPARENT);
    bool focused = GetFocus() == lv.hwnd;
    PaintContext pc{hdc, lv, l, {}, focused, focused || (w->style & LVS_SHOWSELALWAYS) != 0};
    if (const HeaderState* header = FindHeader(lv.header))
        pc.columns = header->items;
    for (int i = 0; i < lv.Count(); ++i)
        PaintItem(pc, i);
    PaintScrollBar(hdc, l, lv.top);
    SelectObject(hdc, oldFont);
    EndPaint(lv.hwnd, &ps);
}

}  // namespace ce::gui
