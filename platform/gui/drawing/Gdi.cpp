// GDI objects: fonts (a LOGFONTW), solid brushes, pens and bitmaps (decoded
// pixels). Handles index a table; stock objects are never deleted.

#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/drawing/GdiObjects.h"

namespace ce {
namespace {

struct GdiTable {
    std::mutex mutex;
    HandleTable<gui::GdiObject, HGDIOBJ> objects{{0x10000, 8}};
    std::map<int, HGDIOBJ> stock;  // by stock object number; system colours at 100 + n
    std::map<const BYTE*, std::shared_ptr<const gui::Image>> decoded;
};

GdiTable& Table() {
    static GdiTable* table = new GdiTable;
    return *table;
}

HGDIOBJ Insert(GdiTable& table, gui::GdiObject object) {
    return table.objects.Insert(std::make_unique<gui::GdiObject>(std::move(object)));
}

gui::GdiObject SystemFont(LONG height) {
    gui::GdiObject object;
    object.kind = gui::GdiObject::Font;
    object.font.lfHeight = height;
    object.font.lfWeight = FW_NORMAL;
    CopyWide(object.font.lfFaceName, u"Tahoma");
    object.stock = true;
    return object;
}

gui::GdiObject Brush(COLORREF color, bool hollow, bool stock) {
    gui::GdiObject object;
    object.kind = gui::GdiObject::Brush;
    object.color = color;
    object.hollow = hollow;
    object.stock = stock;
    return object;
}

gui::GdiObject Pen(int style, int width, COLORREF color, bool stock) {
    gui::GdiObject object;
    object.kind = gui::GdiObject::Pen;
    object.color = color;
    object.penStyle = style;
    object.penWidth = width < 1 ? 1 : width;
    object.hollow = style == PS_NULL;
    object.stock = stock;
    return object;
}

HGDIOBJ Stock(GdiTable& table, int key, gui::GdiObject (*make)(int)) {
    auto it = table.stock.find(key);
    if (it != table.stock.end())
        return it->second;
    HGDIOBJ handle = Insert(table, make(key));
    table.stock[key] = handle;
    return handle;
}

// Stock fonts are as many pixels high as the screen's density makes their
// points: one stock font per density (tests change the screen).
constexpr int kDensityKey = 1 << 16;

LONG PixelsAtDensity(LONG pixelsAt96, int dpi) {
    return dpi > 96 ? -((-pixelsAt96 * dpi + 48) / 96) : pixelsAt96;
}

gui::GdiObject MakeStock(int key) {
    int which = key % kDensityKey;
    int dpi = key / kDensityKey;
    switch (which) {
        case SYSTEM_FONT:
            return SystemFont(PixelsAtDensity(-13, dpi));
        case DEFAULT_GUI_FONT:
            return SystemFont(PixelsAtDensity(-11, dpi));
        case WHITE_BRUSH:
            return Brush(RGB(255, 255, 255), false, true);
        case LTGRAY_BRUSH:
            return Brush(RGB(192, 192, 192), false, true);
        case GRAY_BRUSH:
            return Brush(RGB(128, 128, 128), false, true);
        case BLACK_BRUSH:
            return Brush(RGB(0, 0, 0), false, true);
        case NULL_BRUSH:
            return Brush(0, true, true);
        case WHITE_PEN:
            return Pen(PS_SOLID, 1, RGB(255, 255, 255), true);
        case BLACK_PEN:
            return Pen(PS_SOLID, 1, RGB(0, 0, 0), true);
        case NULL_PEN:
            return Pen(PS_NULL, 1, 0, true);
        default:
            return Brush(GetSysColor(which - 100), false, true);
    }
}

}  // namespace

namespace gui {

std::optional<GdiObject> ObjectCopy(HGDIOBJ handle) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    GdiObject* object = table.objects.Lookup(handle);
    if (object == nullptr)
        return std::nullopt;
    return *object;
}

}  // namespace gui

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
    if (lplf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    gui::GdiObject object;
    object.kind = gui::GdiObject::Font;
    object.font = *lplf;
    return Insert(table, std::move(object));
}

HGDIOBJ GetStockObject(int which) {
    switch (which) {
        case SYSTEM_FONT:
        case DEFAULT_GUI_FONT:
        case WHITE_BRUSH:
        case LTGRAY_BRUSH:
        case GRAY_BRUSH:
        case BLACK_BRUSH:
        case NULL_BRUSH:
        case WHITE_PEN:
        case BLACK_PEN:
        case NULL_PEN:
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    int key = which;
    if (which == SYSTEM_FONT || which == DEFAULT_GUI_FONT)
        key += kDensityKey * std::max(96, gui::CurrentBackend().Screen().dpi);
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    return Stock(table, key, MakeStock);
}

HBRUSH GetSysColorBrush(int index) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    return Stock(table, 100 + index, MakeStock);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    return Insert(table, Brush(color, false, false));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    return Insert(table, Pen(style, width, color, false));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (instance == nullptr || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const BitmapResource* resource = instance->FindBitmap(ResourceId(name));
    if (resource == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    std::shared_ptr<const gui::Image>& image = table.decoded[resource->png.data()];
    if (!image)
        image = gui::DecodePng(resource->png.data(), resource->png.size());
    if (!image) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    gui::GdiObject object;
    object.kind = gui::GdiObject::Bitmap;
    object.image = image;
    return Insert(table, std::move(object));
}

HBITMAP gui::CreateBitmapFromImage(std::shared_ptr<const Image> image) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    gui::GdiObject object;
    object.kind = gui::GdiObject::Bitmap;
    object.image = std::move(image);
    return Insert(table, std::move(object));
}

int GetObjectW(HGDIOBJ handle, int size, void* out) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    gui::GdiObject* object = table.objects.LookupOrError(handle, ERROR_INVALID_HANDLE);
    if (object == nullptr)
        return 0;
    BITMAP bitmap{};
    const void* source = &object->font;
    int bytes = static_cast<int>(sizeof(LOGFONTW));
    if (object->kind == gui::GdiObject::Bitmap) {
        bitmap.bmWidth = object->image->width;
        bitmap.bmHeight = object->image->height;
        bitmap.bmWidthBytes = object->image->width * 4;
        bitmap.bmPlanes = 1;
        bitmap.bmBitsPixel = 32;
        source = &bitmap;
        bytes = static_cast<int>(sizeof(BITMAP));
    } else if (object->kind != gui::GdiObject::Font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (out == nullptr)
        return bytes;
    int n = size < bytes ? size : bytes;
    if (n <= 0)
        return 0;
    std::memcpy(out, source, static_cast<std::size_t>(n));
    return n;
}

BOOL DeleteObject(HGDIOBJ handle) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    gui::GdiObject* object = table.objects.LookupOrError(handle, ERROR_INVALID_HANDLE);
    if (object == nullptr)
        return FALSE;
    if (!object->stock)
        table.objects.Erase(handle);
    return TRUE;
}

const LOGFONTW* FontDescription(HFONT font) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    gui::GdiObject* object = table.objects.Lookup(font);
    return object != nullptr && object->kind == gui::GdiObject::Font ? &object->font : nullptr;
}

std::size_t LiveGdiObjectCount() {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    std::size_t n = 0;
    table.objects.ForEach(
        [&](HGDIOBJ, const gui::GdiObject& object) { n += object.stock ? 0 : 1; });
    return n;
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
        case COLOR_BTNHIGHLIGHT:
        case COLOR_HIGHLIGHTTEXT:
        case COLOR_CAPTIONTEXT:
        case COLOR_STATIC:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
        case COLOR_MENU:
        case COLOR_SCROLLBAR:
            return RGB(192, 192, 192);
        case COLOR_HIGHLIGHT:
        case COLOR_ACTIVECAPTION:
            return RGB(0, 0, 128);
        case COLOR_GRAYTEXT:
        case COLOR_BTNSHADOW:
            return RGB(128, 128, 128);
        case COLOR_BACKGROUND:
            return RGB(0, 128, 128);
        default:
            return RGB(0, 0, 0);
    }
}

int GetSystemMetrics(int index) {
    gui::ScreenMetrics screen = gui::CurrentBackend().Screen();
    bool large = screen.dpi > 150;
    switch (index) {
        case SM_CXSCREEN:
            return screen.width;
        case SM_CYSCREEN:
            return screen.height;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return screen.scrollBarWidth;
        case SM_CYCAPTION:
            return screen.captionHeight;
        case SM_CYMENU:
            return screen.menuBarHeight;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXICON:
        case SM_CYICON:
            return large ? 64 : 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return large ? 32 : 16;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        default:
            return 0;
    }
}

}  // namespace ce
