// The header control: column captions with widths, formats, images and
// owner drawing (WM_DRAWITEM to the parent), clicks (HDN_ITEMCLICK) and
// column resizing by dragging a divider.

#include "platform/gui/controls/HeaderControl.h"

#include <algorithm>

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"

namespace ce::gui {
namespace {

constexpr int kDividerSlop = 3;

void CopyOut(const HeaderItem& item, HDITEMW* out) {
    if ((out->mask & HDI_WIDTH) != 0)
        out->cxy = item.width;
    if ((out->mask & HDI_FORMAT) != 0)
        out->fmt = item.format;
    if ((out->mask & HDI_LPARAM) != 0)
        out->lParam = item.lParam;
    if ((out->mask & HDI_IMAGE) != 0)
        out->iImage = item.image;
    if ((out->mask & HDI_TEXT) != 0 && out->pszText != nullptr && out->cchTextMax > 0)
        CopyWide(out->pszText, static_cast<std::size_t>(out->cchTextMax), item.text);
}

void CopyIn(const HDITEMW& in, HeaderItem& item) {
    if ((in.mask & HDI_WIDTH) != 0)
        item.width = std::max(0, in.cxy);
    if ((in.mask & HDI_FORMAT) != 0)
        item.format = in.fmt;
    if ((in.mask & HDI_LPARAM) != 0)
        item.lParam = in.lParam;
    if ((in.mask & HDI_IMAGE) != 0)
        item.image = in.iImage;
    if ((in.mask & HDI_TEXT) != 0)
        item.text = WideView(in.pszText);
}

int ItemAt(const HeaderState& state, int x, int height, bool* onDivider) {
    *onDivider = false;
    for (int i = 0; i < static_cast<int>(state.items.size()); ++i) {
        RECT r = HeaderItemRect(state, i, height);
        if (std::abs(x - r.right) <= kDividerSlop) {
            *onDivider = true;
            return i;
        }
        if (x >= r.left && x < r.right)
            return i;
    }
    return -1;
}

void Paint(HWND hwnd, HeaderState& state) {
    Window* w = Peek(hwnd);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HGDIOBJ oldFont = SelectObject(hdc, w->font != nullptr ? w->font : DefaultFont());
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    for (int i = 0; i < static_cast<int>(state.items.size()); ++i) {
        HeaderItem& item = state.items[static_cast<std::size_t>(i)];
        RECT r = HeaderItemRect(state, i, client.bottom);
        if ((item.format & HDF_OWNERDRAW) != 0 && w->parent != nullptr) {
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_HEADER;
            draw.CtlID = static_cast<UINT>(w->id);
            draw.itemID = static_cast<UINT>(i);
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = state.pressed == i ? ODS_SELECTED : 0;
            draw.hwndItem = hwnd;
            draw.hDC = hdc;
            draw.rcItem = r;
            draw.itemData = static_cast<std::uintptr_t>(item.lParam);
            int saved = SaveDC(hdc);
            SendMessageW(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id),
                         reinterpret_cast<LPARAM>(&draw));
            RestoreDC(hdc, saved);
            if (Peek(hwnd) == nullptr)
                break;
        } else {
            RECT text = {r.left + 4, r.top, r.right - 4, r.bottom};
            if ((item.format & HDF_IMAGE) != 0 && state.images != nullptr && item.image >= 0) {
                int cx = 0;
                int cy = 0;
                ImageList_GetIconSize(state.images, &cx, &cy);
                ImageList_Draw(state.images, item.image, hdc, text.left,
                               r.top + (r.bottom - r.top - cy) / 2, ILD_TRANSPARENT);
                text.left += cx + 2;
            }
            UINT align = (item.format & HDF_JUSTIFYMASK) == HDF_CENTER  ? DT_CENTER
                         : (item.format & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT
                                                                        : DT_LEFT;
            int shift = state.pressed == i ? 1 : 0;
            OffsetRectBy(text, shift, shift);
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(hdc, item.text.c_str(), -1, &text,
                      align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        HGDIOBJ oldPen = SelectObject(hdc, shadow);
        MoveToEx(hdc, r.right - 1, r.top + 2, nullptr);
        LineTo(hdc, r.right - 1, r.bottom - 2);
        SelectObject(hdc, oldPen);
    }
    HGDIOBJ oldPen = SelectObject(hdc, shadow);
    MoveToEx(hdc, 0, client.bottom - 1, nullptr);
    LineTo(hdc, client.right, client.bottom - 1);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldFont);
    DeleteObject(shadow);
    EndPaint(hwnd, &ps);
}

void Changed(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (Window* w = Peek(hwnd); w != nullptr && w->parent != nullptr)
        SendMessageW(w->parent, kHeaderLayout, 0, 0);
}

}  // namespace

void OffsetRectBy(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

HeaderState& HeaderOf(HWND header) {
    return ControlOf<HeaderState>(*Peek(header));
}

HeaderState* FindHeader(HWND header) {
    return Peek(header) != nullptr ? &HeaderOf(header) : nullptr;
}

RECT HeaderItemRect(const HeaderState& state, int index, int height) {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += state.items[static_cast<std::size_t>(i)].width;
    return {left, 0, left + state.items[static_cast<std::size_t>(index)].width, height};
}

int HeaderHeight(HWND header) {
    return CurrentBackend().MeasureFont(WindowFont(header)).height + 6;
}

LRESULT HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Peek(hwnd) == nullptr)
        return 0;
    HeaderState& state = HeaderOf(hwnd);
    int count = static_cast<int>(state.items.size());
    int index = static_cast<int>(wParam);
    switch (message) {
        case HDM_GETITEMCOUNT:
            return count;
        case HDM_INSERTITEMW: {
            auto* in = reinterpret_cast<const HDITEMW*>(lParam);
            if (in == nullptr)
                return -1;
            HeaderItem item;
            CopyIn(*in, item);
            index = std::clamp(index, 0, count);
            state.items.insert(state.items.begin() + index, item);
            Changed(hwnd);
            return index;
        }
        case HDM_DELETEITEM:
            if (index < 0 || index >= count)
                return FALSE;
            state.items.erase(state.items.begin() + index);
            Changed(hwnd);
            return TRUE;
        case HDM_GETITEMW:
            if (index < 0 || index >= count || lParam == 0)
                return FALSE;
            CopyOut(state.items[static_cast<std::size_t>(index)],
                    reinterpret_cast<HDITEMW*>(lParam));
            return TRUE;
        case HDM_SETITEMW:
            if (index < 0 || index >= count || lParam == 0)
                return FALSE;
            CopyIn(*reinterpret_cast<const HDITEMW*>(lParam),
                   state.items[static_cast<std::size_t>(index)]);
            Changed(hwnd);
            return TRUE;
        case HDM_GETITEMRECT: {
            if (index < 0 || index >= count || lParam == 0)
                return FALSE;
            RECT client;
            GetClientRect(hwnd, &client);
            *reinterpret_cast<RECT*>(lParam) = HeaderItemRect(state, index, client.bottom);
            return TRUE;
        }
        case HDM_SETIMAGELIST: {
            HIMAGELIST old = state.images;
            state.images = reinterpret_cast<HIMAGELIST>(lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case HDM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(state.images);
        case WM_PAINT:
            Paint(hwnd, state);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            RECT client;
            GetClientRect(hwnd, &client);
            bool divider = false;
            int at = ItemAt(state, GET_X_LPARAM(lParam), client.bottom, &divider);
            if (divider) {
                state.tracking = at;
            } else if (at >= 0) {
                state.pressed = at;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (state.tracking >= 0 && state.tracking < count) {
                RECT client;
                GetClientRect(hwnd, &client);
                RECT r = HeaderItemRect(state, state.tracking, client.bottom);
                state.items[static_cast<std::size_t>(state.tracking)].width =
                    std::max(0, GET_X_LPARAM(lParam) - static_cast<int>(r.left));
                Changed(hwnd);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (state.tracking >= 0) {
                NMHEADERW notify{};
                notify.iItem = state.tracking;
                state.tracking = -1;
                NotifyParent(hwnd, HDN_ENDTRACKW, &notify.hdr);
                return 0;
            }
            int pressed = std::exchange(state.pressed, -1);
            if (pressed < 0)
                return 0;
            InvalidateRect(hwnd, nullptr, FALSE);
            RECT client;
            GetClientRect(hwnd, &client);
            bool divider = false;
            if (ItemAt(state, GET_X_LPARAM(lParam), client.bottom, &divider) == pressed) {
                NMHEADERW notify{};
                notify.iItem = pressed;
                NotifyParent(hwnd, HDN_ITEMCLICKW, &notify.hdr);
            }
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ce::gui
