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

template <class Map, class Resource>
void Store(Map& map, Resource resource) {
    UINT id = resource.id;
    map.insert_or_assign(id, std::move(resource));
}

}  // namespace

void ResourceModule::AddStrings(std::span<const StringResource> strings) {
    for (const StringResource& s : strings) {
        auto [it, added] = strings_.try_emplace(s.id, s.text);
        if (!added && it->second != s.text)
            stringClashes_.push_back(s.id);
        it->second = s.text;
    }
}
void ResourceModule::ReplaceStrings(std::span<const StringResource> strings) {
    for (const StringResource& s : strings)
        strings_[s.id] = s.text;
}
void ResourceModule::AddDialog(DialogResource dialog) {
    Store(dialogs_, std::move(dialog));
}
void ResourceModule::AddMenu(MenuResource menu) {
    Store(menus_, std::move(menu));
}
void ResourceModule::AddMenuBar(MenuBarResource bar) {
    Store(menuBars_, std::move(bar));
}
void ResourceModule::AddAccelerators(AcceleratorResource table) {
    Store(accelerators_, std::move(table));
}
void ResourceModule::AddBitmap(BitmapResource bitmap) {
    Store(bitmaps_, std::move(bitmap));
}
void ResourceModule::AddIcon(IconResource icon) {
    icons_[icon.id].insert_or_assign(icon.size, icon);
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
const IconResource* ResourceModule::FindIcon(UINT id, int size) const {
    auto icon = icons_.find(id);
    if (icon == icons_.end() || icon->second.empty())
        return nullptr;
    auto picture = icon->second.lower_bound(size);
    if (picture == icon->second.end())
        --picture;
    return &picture->second;
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
