// Icons from the module's icon resources: each picture is decoded once and
// has one handle for the life of the process.

#include "platform/gui/drawing/Icons.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"

namespace ce {
namespace {

// Handles count from 1 in steps of 4, so that no handle is null.
struct IconTable {
    std::mutex mutex;
    std::vector<std::shared_ptr<const gui::Image>> images;
    std::map<const BYTE*, HICON> byPicture;
};

// Never destroyed: windows may ask for their icons while the process ends.
IconTable& Table() {
    static auto* table = new IconTable;
    return *table;
}

HICON HandleOf(std::size_t index) {
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(index * 4 + 4));
}

bool IndexOf(HICON icon, std::size_t* index) {
    auto value = reinterpret_cast<std::uintptr_t>(icon);
    if (value < 4 || value % 4 != 0)
        return false;
    *index = value / 4 - 1;
    return true;
}

HICON LoadIconPicture(HINSTANCE instance, LPCWSTR name, int size) {
    const IconResource* picture = instance != nullptr && IS_INTRESOURCE(name)
                                      ? instance->FindIcon(ResourceId(name), size)
                                      : nullptr;
    if (picture == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconTable& table = Table();
    std::lock_guard lock(table.mutex);
    if (auto it = table.byPicture.find(picture->png.data()); it != table.byPicture.end())
        return it->second;
    std::shared_ptr<const gui::Image> image =
        gui::DecodePng(picture->png.data(), picture->png.size());
    if (!image) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    table.images.push_back(std::move(image));
    HICON handle = HandleOf(table.images.size() - 1);
    table.byPicture[picture->png.data()] = handle;
    return handle;
}

}  // namespace

void* LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT) {
    if (type != IMAGE_ICON) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int size = std::max(cx, cy);
    return LoadIconPicture(instance, name, size > 0 ? size : 32);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return LoadIconPicture(instance, name, 32);
}

BOOL DestroyIcon(HICON icon) {
    if (!gui::IconImage(icon)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

bool IconSize(HICON icon, SIZE* size) {
    std::shared_ptr<const gui::Image> image = gui::IconImage(icon);
    if (!image || size == nullptr)
        return false;
    *size = {image->width, image->height};
    return true;
}

std::shared_ptr<const gui::Image> gui::IconImage(HICON icon) {
    std::size_t index = 0;
    if (!IndexOf(icon, &index))
        return nullptr;
    IconTable& table = Table();
    std::lock_guard lock(table.mutex);
    return index < table.images.size() ? table.images[index] : nullptr;
}

}  // namespace ce
