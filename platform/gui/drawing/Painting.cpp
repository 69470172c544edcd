// Device contexts and drawing: a window's context draws on the backend's
// surface for its client area; a memory context holds a selected bitmap to
// copy from. Text layout (alignment, lines, ellipsis, prefixes) is done here
// with the backend's text metrics, so it is the same on every backend.

#include <algorithm>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"
#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/drawing/GdiObjects.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

struct DcState {
    HGDIOBJ font = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ bitmap = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT position{0, 0};
    bool clipped = false;
    RECT clip{};
};

struct DeviceContext {
    HWND window = nullptr;
    std::unique_ptr<Surface> surface;
    DcState state;
    std::vector<DcState> saved;
};

auto& Contexts() {
    return ProcessHandleTable<DeviceContext, HDC, 0x20000, 8>();
}

DeviceContext* Context(HDC hdc) {
    return Contexts().LookupOrError(hdc, ERROR_INVALID_HANDLE);
}

HDC NewContext(HWND window, std::unique_ptr<Surface> surface) {
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->surface = std::move(surface);
    dc->state.font = GetStockObject(SYSTEM_FONT);
    dc->state.brush = GetStockObject(WHITE_BRUSH);
    dc->state.pen = GetStockObject(BLACK_PEN);
    return Contexts().Insert(std::move(dc));
}

LOGFONTW FontOf(const DeviceContext& dc) {
    const LOGFONTW* font = FontDescription(static_cast<HFONT>(dc.state.font));
    return font != nullptr ? *font : *FontDescription(DefaultFont());
}

void ApplyClip(DeviceContext& dc, const RECT* extra) {
    if (!dc.surface)
        return;
    if (!dc.state.clipped && extra == nullptr) {
        dc.surface->SetClip(nullptr);
        return;
    }
    RECT clip = dc.state.clipped ? dc.state.clip : *extra;
    if (dc.state.clipped && extra != nullptr) {
        clip.left = std::max(clip.left, extra->left);
        clip.top = std::max(clip.top, extra->top);
        clip.right = std::min(clip.right, extra->right);
        clip.bottom = std::min(clip.bottom, extra->bottom);
    }
    dc.surface->SetClip(&clip);
}

// The colour of a brush handle, including the (COLOR_x + 1) form.
std::optional<COLORREF> BrushColor(HBRUSH brush) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= 32)
        return GetSysColor(static_cast<int>(value) - 1);
    std::optional<GdiObject> object = ObjectCopy(brush);
    if (!object || object->kind != GdiObject::Brush || object->hollow)
        return std::nullopt;
    return object->color;
}

LONG Width(const LOGFONTW& font, std::u16string_view text) {
    return text.empty() ? 0 : CurrentBackend().MeasureText(font, text).cx;
}

// Breaks one paragraph into lines no wider than `width` at blanks.
void Wrap(const LOGFONTW& font, std::u16string_view paragraph, LONG width,
          std::vector<std::u16string>& lines) {
    std::u16string line;
    std::size_t i = 0;
    while (i < paragraph.size()) {
        std::size_t end = paragraph.find(u' ', i);
        if (end == std::u16string_view::npos)
            end = paragraph.size();
        std::u16string_view word = paragraph.substr(i, end - i);
        std::u16string candidate =
            line.empty() ? std::u16string(word) : line + u" " + std::u16string(word);
        if (!line.empty() && Width(font, candidate) > width) {
            lines.push_back(line);
            line = std::u16string(word);
        } else {
            line = candidate;
        }
        i = end + 1;
    }
    lines.push_back(line);
}

std::u16string Ellipsize(const LOGFONTW& font, std::u16string text, LONG width) {
    if (Width(font, text) <= width)
        return text;
    while (text.size() > 1 && Width(font, text + u"...") > width)
        text.pop_back();
    return text + u"...";
}

}  // namespace

std::u16string StripPrefixes(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            out.push_back(text[++i]);
            continue;
        }
        if (text[i] != u'&')
            out.push_back(text[i]);
    }
    return out;
}

std::size_t AccessKeyIndex(std::u16string_view text) {
    std::size_t shown = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i, ++shown) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return shown;
        ++i;
    }
    return std::u16string_view::npos;
}

WCHAR AccessKeyOf(std::u16string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1];
        ++i;
    }
    return 0;
}

void DrawImageOn(HDC hdc, const Image& image, RECT source, POINT destination,
                 COLORREF transparent) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || !dc->surface)
        return;
    source.left = std::max<LONG>(0, source.left);
    source.top = std::max<LONG>(0, source.top);
    source.right = std::min<LONG>(image.width, source.right);
    source.bottom = std::min<LONG>(image.height, source.bottom);
    if (source.right <= source.left || source.bottom <= source.top)
        return;
    ApplyClip(*dc, nullptr);
    dc->surface->DrawImage(image, source, destination, transparent);
}

void PaintIfNeeded(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr || !w->invalid || !w->redraw || !ReallyVisible(hwnd))
        return;
    Deliver(hwnd, WM_PAINT, 0, 0);
    if (Window* again = Peek(hwnd))
        again->invalid = false;
}

}  // namespace ce::gui

namespace ce {

using gui::Context;

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    auto paints = [](const gui::Window& w) {
        return w.kind == gui::PeerKind::Frame || w.kind == gui::PeerKind::Painted;
    };
    if (hwnd == nullptr) {
        gui::System().windows.ForEach(
            [&](HWND, gui::Window& window) { window.invalid = paints(window); });
        return TRUE;
    }
    gui::Window* w = gui::Find(hwnd);
    if (w == nullptr)
        return FALSE;
    if (paints(*w))
        w->invalid = true;
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT*) {
    gui::Window* w = gui::Find(hwnd);
    if (w == nullptr)
        return FALSE;
    w->invalid = false;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (gui::Find(hwnd) == nullptr)
        return FALSE;
    gui::PaintIfNeeded(hwnd);
    return TRUE;
}
using gui::DeviceContext;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    gui::Window* w = gui::Find(hwnd);
    if (w == nullptr || ps == nullptr)
        return nullptr;
    w->invalid = false;
    HDC hdc = gui::NewContext(hwnd, gui::CurrentBackend().BeginDrawing(hwnd));
    *ps = {};
    ps->hdc = hdc;
    GetClientRect(hwnd, &ps->rcPaint);
    ps->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
    return ps != nullptr && DeleteDC(ps->hdc);
}

HDC GetDC(HWND hwnd) {
    if (gui::Find(hwnd) == nullptr)
        return nullptr;
    return gui::NewContext(hwnd, gui::CurrentBackend().BeginDrawing(hwnd));
}

int ReleaseDC(HWND, HDC hdc) {
    return DeleteDC(hdc);
}

HDC CreateCompatibleDC(HDC) {
    return gui::NewContext(nullptr, nullptr);
}

BOOL DeleteDC(HDC hdc) {
    return gui::Contexts().Erase(hdc) != nullptr ? TRUE : FALSE;
}

int SaveDC(HDC hdc) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || dc->saved.empty())
        return FALSE;
    int count = static_cast<int>(dc->saved.size());
    int target = level < 0 ? count + level + 1 : level;
    if (target < 1 || target > count)
        return FALSE;
    dc->state = dc->saved[static_cast<std::size_t>(target - 1)];
    dc->saved.resize(static_cast<std::size_t>(target - 1));
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    DeviceContext* dc = Context(hdc);
    std::optional<gui::GdiObject> description = gui::ObjectCopy(object);
    if (dc == nullptr || !description)
        return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (description->kind) {
        case gui::GdiObject::Font:
            slot = &dc->state.font;
            break;
        case gui::GdiObject::Brush:
            slot = &dc->state.brush;
            break;
        case gui::GdiObject::Pen:
            slot = &dc->state.pen;
            break;
        case gui::GdiObject::Bitmap:
            slot = &dc->state.bitmap;
            break;
    }
    HGDIOBJ old = *slot;
    *slot = object;
    return old;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->state.textColor, color);
}

COLORREF GetTextColor(HDC hdc) {
    DeviceContext* dc = Context(hdc);
    return dc == nullptr ? CLR_INVALID : dc->state.textColor;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->state.bkColor, color);
}

COLORREF GetBkColor(HDC hdc) {
    DeviceContext* dc = Context(hdc);
    return dc == nullptr ? CLR_INVALID : dc->state.bkColor;
}

int SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return 0;
    return std::exchange(dc->state.bkMode, mode);
}

int GetDeviceCaps(HDC, int index) {
    gui::ScreenMetrics screen = gui::CurrentBackend().Screen();
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return screen.dpi;
        case HORZRES:
            return screen.width;
        case VERTRES:
            return screen.height;
        default:
            return 0;
    }
}

int DrawTextW(HDC hdc, LPCWSTR string, int count, RECT* rect, UINT format) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || rect == nullptr || string == nullptr)
        return 0;
    std::u16string_view raw =
        count < 0 ? WideView(string) : std::u16string_view(string, static_cast<std::size_t>(count));
    bool prefixes = (format & DT_NOPREFIX) == 0;
    std::u16string text = prefixes ? gui::StripPrefixes(raw) : std::u16string(raw);
    // The access key's letter is drawn underlined, on a text of one line.
    std::size_t accessKey = prefixes ? gui::AccessKeyIndex(raw) : std::u16string_view::npos;
    LOGFONTW font = gui::FontOf(*dc);
    gui::FontMetrics metrics = gui::CurrentBackend().MeasureFont(font);
    LONG width = rect->right - rect->left;

    std::vector<std::u16string> lines;
    if ((format & DT_SINGLELINE) != 0) {
        std::u16string one;
        for (char16_t c : text) {
            if (c != u'\r' && c != u'\n')
                one.push_back(c);
        }
        lines.push_back(one);
    } else {
        std::size_t start = 0;
        for (;;) {
            std::size_t end = text.find(u'\n', start);
            std::u16string paragraph = text.substr(
                start, end == std::u16string::npos ? std::u16string::npos : end - start);
            if (!paragraph.empty() && paragraph.back() == u'\r')
                paragraph.pop_back();
            if ((format & DT_WORDBREAK) != 0)
                gui::Wrap(font, paragraph, width, lines);
            else
                lines.push_back(paragraph);
            if (end == std::u16string::npos)
                break;
            start = end + 1;
        }
    }
    if ((format & DT_END_ELLIPSIS) != 0) {
        for (std::u16string& line : lines)
            line = gui::Ellipsize(font, line, width);
    }
    LONG widest = 0;
    for (const std::u16string& line : lines)
        widest = std::max(widest, gui::Width(font, line));
    LONG height = static_cast<LONG>(lines.size()) * metrics.height;
    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    if (!dc->surface)
        return height;
    LONG y = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0)
            y = rect->top + (rect->bottom - rect->top - metrics.height) / 2;
        else if ((format & DT_BOTTOM) != 0)
            y = rect->bottom - metrics.height;
    }
    gui::ApplyClip(*dc, (format & DT_NOCLIP) != 0 ? nullptr : rect);
    for (const std::u16string& line : lines) {
        LONG lineWidth = gui::Width(font, line);
        LONG x = rect->left;
        if ((format & DT_CENTER) != 0)
            x = rect->left + (width - lineWidth) / 2;
        else if ((format & DT_RIGHT) != 0)
            x = rect->right - lineWidth;
        if (dc->state.bkMode == OPAQUE && !line.empty())
            dc->surface->FillRect({x, y, x + lineWidth, y + metrics.height}, dc->state.bkColor);
        if (!line.empty())
            dc->surface->DrawText({x, y}, line, font, dc->state.textColor);
        if (lines.size() == 1 && accessKey < line.size() && line.size() == text.size()) {
            LONG from = x + gui::Width(font, line.substr(0, accessKey));
            LONG to = x + gui::Width(font, line.substr(0, accessKey + 1));
            LONG under = y + std::min<LONG>(metrics.ascent + 1, metrics.height - 1);
            dc->surface->DrawLine({from, under}, {to - 1, under}, dc->state.textColor, 1);
        }
        y += metrics.height;
    }
    gui::ApplyClip(*dc, nullptr);
    return height;
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR string, UINT count,
                 const int*) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return FALSE;
    constexpr UINT kOpaque = 0x0002;
    if (dc->surface && rect != nullptr && (options & kOpaque) != 0)
        dc->surface->FillRect(*rect, dc->state.bkColor);
    if (dc->surface && string != nullptr && count > 0)
        dc->surface->DrawText({x, y}, std::u16string_view(string, count), gui::FontOf(*dc),
                              dc->state.textColor);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR string, int count, SIZE* size) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || size == nullptr || count < 0)
        return FALSE;
    std::u16string_view text(string == nullptr ? u"" : string,
                             string == nullptr ? 0 : static_cast<std::size_t>(count));
    LOGFONTW font = gui::FontOf(*dc);
    *size = gui::CurrentBackend().MeasureText(font, text);
    size->cy = gui::CurrentBackend().MeasureFont(font).height;
    return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || tm == nullptr)
        return FALSE;
    LOGFONTW font = gui::FontOf(*dc);
    gui::FontMetrics metrics = gui::CurrentBackend().MeasureFont(font);
    *tm = {};
    tm->tmHeight = metrics.height;
    tm->tmAscent = metrics.ascent;
    tm->tmDescent = metrics.height - metrics.ascent;
    tm->tmAveCharWidth = metrics.averageCharWidth;
    tm->tmMaxCharWidth = metrics.averageCharWidth * 2;
    tm->tmWeight = font.lfWeight;
    return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || rect == nullptr)
        return 0;
    std::optional<COLORREF> color = gui::BrushColor(brush);
    if (dc->surface && color) {
        gui::ApplyClip(*dc, nullptr);
        dc->surface->FillRect(*rect, *color);
    }
    return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return FALSE;
    if (previous != nullptr)
        *previous = dc->state.position;
    dc->state.position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return FALSE;
    std::optional<gui::GdiObject> pen = gui::ObjectCopy(dc->state.pen);
    if (dc->surface && pen && !pen->hollow) {
        gui::ApplyClip(*dc, nullptr);
        dc->surface->DrawLine(dc->state.position, {x, y}, pen->color, pen->penWidth);
    }
    dc->state.position = {x, y};
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return FALSE;
    if (std::optional<COLORREF> fill = gui::BrushColor(dc->state.brush); fill && dc->surface)
        dc->surface->FillRect({left, top, right, bottom}, *fill);
    POINT saved = dc->state.position;
    MoveToEx(hdc, left, top, nullptr);
    LineTo(hdc, right - 1, top);
    LineTo(hdc, right - 1, bottom - 1);
    LineTo(hdc, left, bottom - 1);
    LineTo(hdc, left, top);
    dc->state.position = saved;
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* r) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr || r == nullptr)
        return FALSE;
    if (!dc->surface)
        return TRUE;
    COLORREF grey = RGB(128, 128, 128);
    dc->surface->DrawLine({r->left, r->top}, {r->right, r->top}, grey, 1);
    dc->surface->DrawLine({r->left, r->bottom - 1}, {r->right, r->bottom - 1}, grey, 1);
    dc->surface->DrawLine({r->left, r->top}, {r->left, r->bottom}, grey, 1);
    dc->surface->DrawLine({r->right - 1, r->top}, {r->right - 1, r->bottom}, grey, 1);
    return TRUE;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy,
            DWORD) {
    DeviceContext* from = Context(source);
    if (from == nullptr || Context(destination) == nullptr)
        return FALSE;
    std::optional<gui::GdiObject> bitmap = gui::ObjectCopy(from->state.bitmap);
    if (!bitmap || bitmap->kind != gui::GdiObject::Bitmap || !bitmap->image)
        return FALSE;
    gui::DrawImageOn(destination, *bitmap->image, {sx, sy, sx + width, sy + height}, {x, y},
                     CLR_NONE);
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return CLR_INVALID;
    std::optional<gui::GdiObject> bitmap = gui::ObjectCopy(dc->state.bitmap);
    if (!bitmap || !bitmap->image || x < 0 || y < 0 || x >= bitmap->image->width ||
        y >= bitmap->image->height)
        return CLR_INVALID;
    return bitmap->image->Pixel(x, y);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext* dc = Context(hdc);
    if (dc == nullptr)
        return ERROR_REGION;
    RECT r{left, top, right, bottom};
    if (dc->state.clipped) {
        r.left = std::max(r.left, dc->state.clip.left);
        r.top = std::max(r.top, dc->state.clip.top);
        r.right = std::min(r.right, dc->state.clip.right);
        r.bottom = std::min(r.bottom, dc->state.clip.bottom);
    }
    dc->state.clipped = true;
    dc->state.clip = r;
    return r.right <= r.left || r.bottom <= r.top ? NULLREGION : SIMPLEREGION;
}

}  // namespace ce
