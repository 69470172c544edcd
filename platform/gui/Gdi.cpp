#include "platform/gui/Gdi.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"

namespace ce {
namespace {

struct GdiObject {
    LOGFONTW font;
    bool stock;
};

struct GdiTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
    std::uintptr_t next = 0x10000;
    std::uintptr_t systemFont = 0;
    std::uintptr_t guiFont = 0;
};

GdiTable& Table() {
    static GdiTable* table = new GdiTable;
    return *table;
}

std::uintptr_t Insert(GdiTable& table, const LOGFONTW& font, bool stock) {
    std::uintptr_t value = table.next;
    table.next += 8;
    table.objects.emplace(value, std::make_unique<GdiObject>(GdiObject{font, stock}));
    return value;
}

LOGFONTW SystemFont(LONG height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    CopyWide(font.lfFaceName, u"Tahoma");
    return font;
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
    if (lplf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    return reinterpret_cast<HFONT>(Insert(table, *lplf, false));
}

HGDIOBJ GetStockObject(int fnObject) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    switch (fnObject) {
        case SYSTEM_FONT:
            if (table.systemFont == 0)
                table.systemFont = Insert(table, SystemFont(-13), true);
            return reinterpret_cast<HGDIOBJ>(table.systemFont);
        case DEFAULT_GUI_FONT:
            if (table.guiFont == 0)
                table.guiFont = Insert(table, SystemFont(-11), true);
            return reinterpret_cast<HGDIOBJ>(table.guiFont);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

int GetObjectW(HGDIOBJ object, int cbBuffer, void* out) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(object));
    if (it == table.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (out == nullptr)
        return static_cast<int>(sizeof(LOGFONTW));
    int n = cbBuffer < static_cast<int>(sizeof(LOGFONTW)) ? cbBuffer
                                                          : static_cast<int>(sizeof(LOGFONTW));
    if (n <= 0)
        return 0;
    std::memcpy(out, &it->second->font, static_cast<std::size_t>(n));
    return n;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(object));
    if (it == table.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!it->second->stock)
        table.objects.erase(it);
    return TRUE;
}

const LOGFONTW* FontDescription(HFONT font) {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(font));
    return it == table.objects.end() ? nullptr : &it->second->font;
}

std::size_t LiveGdiObjectCount() {
    GdiTable& table = Table();
    std::lock_guard lock(table.mutex);
    std::size_t n = 0;
    for (const auto& [value, object] : table.objects)
        n += object->stock ? 0 : 1;
    return n;
}

}  // namespace ce
