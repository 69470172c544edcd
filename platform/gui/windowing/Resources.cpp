#include "platform/gui/Resources.h"

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"

namespace ce {
namespace {

template <class Map>
const typename Map::mapped_type* Find(const Map& map, UINT id) {
    auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

void ResourceModule::AddStrings(std::span<const StringResource> strings) {
    for (const StringResource& s : strings)
        strings_[s.id] = s.text;
}
void ResourceModule::AddDialog(DialogResource dialog) {
    UINT id = dialog.id;
    dialogs_.insert_or_assign(id, std::move(dialog));
}
void ResourceModule::AddMenu(MenuResource menu) {
    UINT id = menu.id;
    menus_.insert_or_assign(id, std::move(menu));
}
void ResourceModule::AddMenuBar(MenuBarResource bar) {
    UINT id = bar.id;
    menuBars_.insert_or_assign(id, std::move(bar));
}
void ResourceModule::AddAccelerators(AcceleratorResource table) {
    UINT id = table.id;
    accelerators_.insert_or_assign(id, std::move(table));
}
void ResourceModule::AddBitmap(BitmapResource bitmap) {
    bitmaps_.insert_or_assign(bitmap.id, bitmap);
}

const char16_t* ResourceModule::FindString(UINT id) const {
    auto it = strings_.find(id);
    return it == strings_.end() ? nullptr : it->second.data();
}
const DialogResource* ResourceModule::FindDialog(UINT id) const {
    return Find(dialogs_, id);
}
const MenuResource* ResourceModule::FindMenu(UINT id) const {
    return Find(menus_, id);
}
const MenuBarResource* ResourceModule::FindMenuBar(UINT id) const {
    return Find(menuBars_, id);
}
const AcceleratorResource* ResourceModule::FindAccelerators(UINT id) const {
    return Find(accelerators_, id);
}
const BitmapResource* ResourceModule::FindBitmap(UINT id) const {
    return Find(bitmaps_, id);
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cchBufferMax) {
    if (buffer == nullptr || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = 0;
    const char16_t* text = instance != nullptr ? instance->FindString(id) : nullptr;
    if (text == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return static_cast<int>(CopyWide(buffer, static_cast<std::size_t>(cchBufferMax), text));
}

}  // namespace ce
