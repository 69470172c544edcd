// The command-band strip: rows of bands across the top of a window, each
// with an optional gripper and image before its child (a command bar). A
// band begins a new row when it has RBBS_BREAK; the last band of a row takes
// what is left of it. Dragging a gripper sideways resizes the band before
// it, and onto the start of the band before it (or past the band after it)
// moves the band there; dragging it down or up by half a row breaks the row
// there or joins it to the row above. The adornment buttons sit at the first
// row's right end.

#include <algorithm>

#include "platform/core/Bytes.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

struct Band {
    UINT id = 0;
    UINT style = 0;
    int image = -1;
    HWND child = nullptr;
    int minChildWidth = 0;
    int minChildHeight = 0;
    int cx = 0;
    LPARAM lParam = 0;
    RECT rect{};
};

struct Drag {
    std::size_t band = 0;
    POINT start{};
    int previousWidth = 0;
};

struct BandsState : ControlState {
    HIMAGELIST images = nullptr;
    std::vector<Band> bands;
    HWND adornments = nullptr;
    int height = 0;
    std::optional<Drag> drag;
};

constexpr int kGripperWidth = 9;
constexpr int kBandImageWidth = 14;

BandsState* StripOf(HWND hwnd) {
    return StateOf<BandsState>(hwnd);
}

// A band's image shows only when the band is too narrow for its child: the
// gripper (or a small margin) is all a band puts before its child.
int HeaderWidth(const BandsState&, const Band& band) {
    return (band.style & RBBS_NOGRIPPER) != 0 ? 2 : kGripperWidth;
}

int MinimumWidth(const BandsState& strip, const Band& band) {
    return HeaderWidth(strip, band) + band.minChildWidth;
}

int RowHeight(const BandsState& strip) {
    int height = CurrentBackend().Screen().menuBarHeight;
    for (const Band& band : strip.bands) {
        height = std::max(height, band.minChildHeight);
        if (band.child != nullptr)
            height = std::max(height, CommandBar_Height(band.child));
    }
    return height;
}

bool StartsRow(const BandsState& strip, std::size_t index) {
    return index == 0 || (strip.bands[index].style & RBBS_BREAK) != 0;
}

// Places every band and its child; returns the strip's height.
int Layout(HWND hwnd, BandsState& strip) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int rowHeight = RowHeight(strip);
    int adornmentWidth = 0;
    if (strip.adornments != nullptr) {
        RECT r{};
        GetWindowRect(strip.adornments, &r);
        adornmentWidth = r.right - r.left;
    }
    int row = -1;
    int x = 0;
    for (std::size_t i = 0; i < strip.bands.size(); ++i) {
        if (StartsRow(strip, i)) {
            ++row;
            x = 0;
        }
        int available = client.right - (row == 0 ? adornmentWidth : 0);
        std::size_t end = i + 1;
        int restMinimum = 0;
        while (end < strip.bands.size() && !StartsRow(strip, end))
            restMinimum += MinimumWidth(strip, strip.bands[end++]);
        Band& band = strip.bands[i];
        int width = end == i + 1 ? available - x
                                 : std::min(std::max(band.cx, MinimumWidth(strip, band)),
                                            available - x - restMinimum);
        width = std::max(width, MinimumWidth(strip, band));
        int top = row * rowHeight;
        band.rect = {x, top, x + width, top + rowHeight};
        if (band.child != nullptr) {
            int header = HeaderWidth(strip, band);
            MoveWindow(band.child, x + header, top, std::max(0, width - header), rowHeight, TRUE);
        }
        x += width;
    }
    if (strip.adornments != nullptr)
        MoveWindow(strip.adornments, client.right - adornmentWidth, 0, adornmentWidth, rowHeight,
                   TRUE);
    return (row + 1) * rowHeight;
}

// Lays the strip out and, when its height changed, resizes it and tells its parent.
void Relayout(HWND hwnd, BandsState& strip) {
    int height = Layout(hwnd, strip);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (height == strip.height)
        return;
    strip.height = height;
    RECT r{};
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    NMHDR header{hwnd, static_cast<std::uintptr_t>(GetDlgCtrlID(hwnd)), RBN_HEIGHTCHANGE};
    NotifyParent(hwnd, RBN_HEIGHTCHANGE, &header);
}

void Paint(HWND hwnd, const BandsState& strip) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    for (const Band& band : strip.bands) {
        const RECT& r = band.rect;
        int x = r.left + 2;
        if ((band.style & RBBS_NOGRIPPER) == 0) {
            for (int line = 0; line < 2; ++line) {
                HGDIOBJ old = SelectObject(hdc, shadow);
                MoveToEx(hdc, x + 3 * line + 1, r.top + 3, nullptr);
                LineTo(hdc, x + 3 * line + 1, r.bottom - 3);
                SelectObject(hdc, light);
                MoveToEx(hdc, x + 3 * line, r.top + 3, nullptr);
                LineTo(hdc, x + 3 * line, r.bottom - 3);
                SelectObject(hdc, old);
            }
            x = r.left + kGripperWidth;
        }
        if (band.image >= 0 && strip.images != nullptr && r.right - x < kBandImageWidth + 6) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(strip.images, &cx, &cy);
            ImageList_Draw(strip.images, band.image, hdc, x, r.top + (r.bottom - r.top - cy) / 2,
                           ILD_TRANSPARENT);
        }
        if (band.rect.top > 0) {
            HGDIOBJ old = SelectObject(hdc, shadow);
            MoveToEx(hdc, r.left, r.top, nullptr);
            LineTo(hdc, r.right, r.top);
            SelectObject(hdc, old);
        }
    }
    DeleteObject(shadow);
    DeleteObject(light);
    EndPaint(hwnd, &ps);
}

std::optional<std::size_t> GripperAt(const BandsState& strip, POINT p) {
    for (std::size_t i = 0; i < strip.bands.size(); ++i) {
        const Band& band = strip.bands[i];
        if ((band.style & RBBS_NOGRIPPER) != 0)
            continue;
        const RECT& r = band.rect;
        if (p.x >= r.left && p.x < r.left + kGripperWidth && p.y >= r.top && p.y < r.bottom)
            return i;
    }
    return std::nullopt;
}

// Moves band `from` to position `to`. A band that began a row hands the
// row's start to the band after it; `startRow`: the moved band takes the
// row start of the band it lands before (it goes first in that row).
void MoveBand(BandsState& strip, std::size_t from, std::size_t to, bool startRow) {
    std::vector<Band>& bands = strip.bands;
    if (from >= bands.size() || to >= bands.size() || from == to)
        return;
    if (from + 1 < bands.size() && !StartsRow(strip, from + 1))
        bands[from + 1].style |= bands[from].style & RBBS_BREAK;
    Band moved = bands[from];
    moved.style &= ~RBBS_BREAK;
    bands.erase(bands.begin() + static_cast<std::ptrdiff_t>(from));
    std::size_t before = to;  // the index, after the removal, the band goes in front of
    if (before < bands.size() && startRow) {
        moved.style |= bands[before].style & RBBS_BREAK;
        bands[before].style &= ~RBBS_BREAK;
    }
    bands.insert(bands.begin() + static_cast<std::ptrdiff_t>(std::min(before, bands.size())),
                 moved);
}

// Dragged onto the start of the band before it, a band goes in front of
// that band; dragged past the middle of the band after it, behind it.
bool MoveByDrag(BandsState& strip, Drag& drag, POINT p) {
    std::size_t i = drag.band;
    std::size_t moved = i;
    if (!StartsRow(strip, i) && p.x < strip.bands[i - 1].rect.left + kGripperWidth) {
        MoveBand(strip, i, i - 1, true);
        moved = i - 1;
    } else if (i + 1 < strip.bands.size() && !StartsRow(strip, i + 1)) {
        const RECT& next = strip.bands[i + 1].rect;
        if (p.x >= (next.left + next.right) / 2) {
            MoveBand(strip, i, i + 1, false);
            moved = i + 1;
        }
    }
    if (moved == i)
        return false;
    drag.band = moved;
    drag.start = p;
    return true;
}

void OnDrag(HWND hwnd, BandsState& strip, POINT p) {
    Drag& drag = *strip.drag;
    if (MoveByDrag(strip, drag, p))
        Relayout(hwnd, strip);
    std::size_t i = drag.band;
    Band& band = strip.bands[i];
    int half = RowHeight(strip) / 2;
    int dy = p.y - drag.start.y;
    if (i > 0 && (band.style & RBBS_BREAK) == 0 && dy > half) {
        band.style |= RBBS_BREAK;
        drag.start = p;
    } else if (i > 0 && (band.style & RBBS_BREAK) != 0 && dy < -half) {
        band.style &= ~RBBS_BREAK;
        drag.start = p;
    }
    if (!StartsRow(strip, i)) {
        Band& previous = strip.bands[i - 1];
        if (drag.start.x == p.x && drag.start.y == p.y)
            drag.previousWidth = previous.rect.right - previous.rect.left;
        previous.cx = std::max(MinimumWidth(strip, previous),
                               drag.previousWidth + static_cast<int>(p.x - drag.start.x));
    }
    Relayout(hwnd, strip);
    // What the layout let the band before have is its width now.
    if (!StartsRow(strip, i)) {
        Band& previous = strip.bands[i - 1];
        previous.cx = previous.rect.right - previous.rect.left;
    }
}

void FillBandInfo(const Band& band, REBARBANDINFOW& info) {
    if ((info.fMask & RBBIM_STYLE) != 0)
        info.fStyle = band.style;
    if ((info.fMask & RBBIM_IMAGE) != 0)
        info.iImage = band.image;
    if ((info.fMask & RBBIM_CHILD) != 0)
        info.hwndChild = band.child;
    if ((info.fMask & RBBIM_CHILDSIZE) != 0) {
        info.cxMinChild = static_cast<UINT>(band.minChildWidth);
        info.cyMinChild = static_cast<UINT>(band.minChildHeight);
    }
    // The width the band asks for: the last band of a row shows wider.
    if ((info.fMask & RBBIM_SIZE) != 0)
        info.cx = static_cast<UINT>(band.cx);
    if ((info.fMask & RBBIM_ID) != 0)
        info.wID = band.id;
    if ((info.fMask & RBBIM_LPARAM) != 0)
        info.lParam = band.lParam;
}

// Band sizes beyond any screen are refused, so that a wrong width cannot
// push the strip's layout out of range.
constexpr UINT kWidestBand = 0x7FFF;

bool ApplyBandInfo(Band& band, const REBARBANDINFOW& info) {
    if ((info.fMask & RBBIM_SIZE) != 0 && info.cx > kWidestBand)
        return false;
    if ((info.fMask & RBBIM_CHILDSIZE) != 0 &&
        (info.cxMinChild > kWidestBand || info.cyMinChild > kWidestBand))
        return false;
    if ((info.fMask & RBBIM_STYLE) != 0)
        band.style = info.fStyle;
    if ((info.fMask & RBBIM_IMAGE) != 0)
        band.image = info.iImage;
    if ((info.fMask & RBBIM_CHILD) != 0)
        band.child = info.hwndChild;
    if ((info.fMask & RBBIM_CHILDSIZE) != 0) {
        band.minChildWidth = static_cast<int>(info.cxMinChild);
        band.minChildHeight = static_cast<int>(info.cyMinChild);
    }
    if ((info.fMask & RBBIM_SIZE) != 0)
        band.cx = static_cast<int>(info.cx);
    if ((info.fMask & RBBIM_ID) != 0)
        band.id = info.wID;
    if ((info.fMask & RBBIM_LPARAM) != 0)
        band.lParam = info.lParam;
    return true;
}

LRESULT InsertBand(HWND hwnd, BandsState& strip, WPARAM position, const REBARBANDINFOW* info) {
    if (info == nullptr || info->cbSize != sizeof(REBARBANDINFOW))
        return FALSE;
    Band band;
    if (!ApplyBandInfo(band, *info))
        return FALSE;
    std::size_t at = std::min<std::size_t>(position, strip.bands.size());
    strip.bands.insert(strip.bands.begin() + static_cast<std::ptrdiff_t>(at), band);
    Relayout(hwnd, strip);
    return TRUE;
}

LRESULT BandMessage(HWND hwnd, BandsState& strip, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* info = reinterpret_cast<REBARBANDINFOW*>(lParam);
    if (info == nullptr || wParam >= strip.bands.size())
        return FALSE;
    Band& band = strip.bands[wParam];
    if (message == RB_GETBANDINFOW) {
        FillBandInfo(band, *info);
        return TRUE;
    }
    Band changed = band;
    if (!ApplyBandInfo(changed, *info))
        return FALSE;
    band = changed;
    Relayout(hwnd, strip);
    return TRUE;
}

}  // namespace

LRESULT CommandBandsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        if (Window* w = Peek(hwnd))
            ControlOf<BandsState>(*w);
        return 0;
    }
    BandsState* strip = StripOf(hwnd);
    if (strip == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_PAINT:
            Paint(hwnd, *strip);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Layout(hwnd, *strip);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            if (std::optional<std::size_t> at = GripperAt(*strip, point)) {
                strip->drag = Drag{*at, point, 0};
                OnDrag(hwnd, *strip, point);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (strip->drag && (wParam & MK_LBUTTON) != 0)
                OnDrag(hwnd, *strip, point);
            else
                strip->drag.reset();
            return 0;
        case WM_LBUTTONUP:
            if (strip->drag)
                OnDrag(hwnd, *strip, point);
            strip->drag.reset();
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY:
            // Whatever the bands' bars report goes on to the strip's parent.
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
        case RB_INSERTBANDW:
            return InsertBand(hwnd, *strip, wParam,
                              reinterpret_cast<const REBARBANDINFOW*>(lParam));
        case RB_GETBANDINFOW:
        case RB_SETBANDINFOW:
            return BandMessage(hwnd, *strip, message, wParam, lParam);
        case RB_MOVEBAND:
            if (wParam >= strip->bands.size() ||
                static_cast<std::size_t>(lParam) >= strip->bands.size())
                return FALSE;
            MoveBand(*strip, wParam, static_cast<std::size_t>(lParam),
                     lParam < static_cast<LPARAM>(wParam));
            Relayout(hwnd, *strip);
            return TRUE;
        case RB_GETBANDCOUNT:
            return static_cast<LRESULT>(strip->bands.size());
        case RB_IDTOINDEX:
            for (std::size_t i = 0; i < strip->bands.size(); ++i) {
                if (strip->bands[i].id == wParam)
                    return static_cast<LRESULT>(i);
            }
            return -1;
        case RB_GETBARHEIGHT:
            return strip->height;
        case RB_GETRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect == nullptr || wParam >= strip->bands.size())
                return FALSE;
            *rect = strip->bands[wParam].rect;
            return TRUE;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void FitBarsToParent(HWND parent) {
    Window* w = Peek(parent);
    if (w == nullptr)
        return;
    SIZE client = ClientSize(*w);
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Window* c = Peek(child);
        if (c == nullptr || c->windowClass == nullptr)
            continue;
        bool bar =
            c->windowClass->proc == &CommandBandsProc || c->windowClass->proc == &CommandBarProc;
        if (bar && c->rect.right - c->rect.left != client.cx)
            SetWindowPos(child, nullptr, 0, 0, client.cx, c->rect.bottom - c->rect.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace ce::gui

namespace ce {

namespace {

gui::BandsState* BandsOf(HWND hwnd) {
    gui::Window* w = gui::Find(hwnd);
    if (w == nullptr || w->windowClass == nullptr || w->windowClass->proc != &gui::CommandBandsProc)
        return nullptr;
    return gui::StateOf<gui::BandsState>(hwnd);
}

}  // namespace

std::array<BYTE, kBandRecordSize> BandRecordImage(const REBARBANDINFOW& band) {
    std::array<BYTE, kBandRecordSize> image{};
    const DWORD fields[19] = {
        band.cbSize == sizeof(REBARBANDINFOW) ? static_cast<DWORD>(kBandRecordSize) : band.cbSize,
        band.fMask,
        band.fStyle,
        band.clrFore,
        band.clrBack,
        0,
        band.cch,
        static_cast<DWORD>(band.iImage),
        0,
        band.cxMinChild,
        band.cyMinChild,
        band.cx,
        0,
        band.wID,
        band.cyChild,
        band.cyMaxChild,
        band.cyIntegral,
        band.cxIdeal,
        static_cast<DWORD>(band.lParam)};
    for (std::size_t i = 0; i < 19; ++i)
        StoreU32(image.data() + 4 * i, fields[i]);
    return image;
}

std::optional<REBARBANDINFOW> ReadBandRecord(std::span<const BYTE> image) {
    if (image.size() != kBandRecordSize)
        return std::nullopt;
    DWORD f[19];
    ByteReader reader(image);
    for (DWORD& field : f) {
        if (!reader.U32(field))
            return std::nullopt;
    }
    if (f[0] != kBandRecordSize || (f[1] & ~kKnownBandMask) != 0 || (f[2] & ~kKnownBandStyles) != 0)
        return std::nullopt;
    REBARBANDINFOW band{};
    band.cbSize = sizeof(REBARBANDINFOW);
    band.fMask = f[1];
    band.fStyle = f[2];
    band.clrFore = f[3];
    band.clrBack = f[4];
    band.cch = f[6];
    band.iImage = static_cast<int>(f[7]);
    band.cxMinChild = f[9];
    band.cyMinChild = f[10];
    band.cx = f[11];
    band.wID = f[13];
    band.cyChild = f[14];
    band.cyMaxChild = f[15];
    band.cyIntegral = f[16];
    band.cxIdeal = f[17];
    band.lParam = static_cast<LPARAM>(static_cast<std::int32_t>(f[18]));
    return band;
}

HWND CommandBands_Create(HINSTANCE instance, HWND parent, UINT id, DWORD styles,
                         HIMAGELIST images) {
    gui::Window* owner = gui::Find(parent);
    if (owner == nullptr)
        return nullptr;
    SIZE client = gui::ClientSize(*owner);
    HWND strip = CreateWindowExW(
        0, REBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE | styles, 0, 0, client.cx, 0, parent,
        reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), instance, nullptr);
    if (gui::BandsState* state = BandsOf(strip))
        state->images = images;
    return strip;
}

BOOL CommandBands_AddBands(HWND hwndCmdBands, HINSTANCE instance, UINT count,
                           REBARBANDINFOW* bands) {
    if (BandsOf(hwndCmdBands) == nullptr || (bands == nullptr && count != 0))
        return FALSE;
    for (UINT i = 0; i < count; ++i) {
        REBARBANDINFOW band = bands[i];
        if ((band.fMask & RBBIM_CHILD) == 0 || band.hwndChild == nullptr) {
            band.hwndChild = CommandBar_Create(instance, hwndCmdBands, static_cast<int>(band.wID));
            if (band.hwndChild == nullptr)
                return FALSE;
            band.fMask |= RBBIM_CHILD;
        }
        if (SendMessageW(hwndCmdBands, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&band)) == FALSE)
            return FALSE;
    }
    return TRUE;
}

HWND CommandBands_GetCommandBar(HWND hwndCmdBands, UINT index) {
    gui::BandsState* strip = BandsOf(hwndCmdBands);
    if (strip == nullptr || index >= strip->bands.size())
        return nullptr;
    return strip->bands[index].child;
}

BOOL CommandBands_AddAdornments(HWND hwndCmdBands, HINSTANCE instance, DWORD flags,
                                REBARBANDINFOW*) {
    gui::BandsState* strip = BandsOf(hwndCmdBands);
    if (strip == nullptr)
        return FALSE;
    if (strip->adornments == nullptr) {
        strip->adornments = CommandBar_Create(instance, hwndCmdBands, 0);
        if (strip->adornments == nullptr)
            return FALSE;
    }
    CommandBar_AddAdornments(strip->adornments, flags, 0);
    int count = 1 + ((flags & CMDBAR_HELP) != 0 ? 1 : 0) + ((flags & CMDBAR_OK) != 0 ? 1 : 0);
    MoveWindow(strip->adornments, 0, 0, 22 * count, gui::RowHeight(*strip), TRUE);
    gui::Relayout(hwndCmdBands, *strip);
    return TRUE;
}

}  // namespace ce
