// Menus: loaded from resources or built, items found by command (through
// submenus) or by position, enabled, greyed and checked (plain or radio
// marks), and shown as popups by the backend.

#include <algorithm>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"
#include "platform/core/Text.h"
#include "platform/gui/Resources.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

struct MenuItem {
    std::u16string text;
    UINT id = 0;
    UINT flags = 0;  // MF_GRAYED, MF_CHECKED, MFT_RADIOCHECK, MF_SEPARATOR, MF_POPUP
    HMENU popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

auto& Menus() {
    return ProcessHandleTable<Menu, HMENU, 0x30000, 8>();
}

Menu* MenuOf(HMENU handle) {
    return Menus().LookupOrError(handle, ERROR_INVALID_MENU_HANDLE);
}

HMENU NewMenu() {
    return Menus().Insert(std::make_unique<Menu>());
}

HMENU Build(const std::vector<MenuItemResource>& items) {
    HMENU handle = NewMenu();
    for (const MenuItemResource& r : items) {
        MenuItem item;
        item.text = WideView(r.text);
        item.id = r.id;
        item.flags = r.flags & (MF_GRAYED | MF_CHECKED | MFT_RADIOCHECK);
        if (!r.children.empty()) {
            item.popup = Build(r.children);
            item.flags |= MF_POPUP;
        } else if (r.id == 0 && item.text.empty()) {
            item.flags |= MF_SEPARATOR;
        }
        MenuOf(handle)->items.push_back(std::move(item));
    }
    return handle;
}

// The menu that holds an item (searching submenus by command) and its index.
std::pair<Menu*, int> Locate(HMENU handle, UINT which, UINT flags) {
    Menu* menu = MenuOf(handle);
    if (menu == nullptr)
        return {nullptr, -1};
    if ((flags & MF_BYPOSITION) != 0) {
        if (which >= menu->items.size())
            return {nullptr, -1};
        return {menu, static_cast<int>(which)};
    }
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        if (item.popup == nullptr && (item.flags & MF_SEPARATOR) == 0 && item.id == which)
            return {menu, static_cast<int>(i)};
        if (item.popup != nullptr) {
            auto found = Locate(item.popup, which, flags);
            if (found.first != nullptr)
                return found;
        }
    }
    return {nullptr, -1};
}

MenuItem MakeItem(UINT flags, std::uintptr_t idOrPopup, LPCWSTR text) {
    MenuItem item;
    item.flags = flags & (MF_GRAYED | MF_CHECKED | MF_SEPARATOR | MF_POPUP);
    if ((flags & MF_POPUP) != 0)
        item.popup = reinterpret_cast<HMENU>(idOrPopup);
    else
        item.id = static_cast<UINT>(idOrPopup);
    if ((flags & MF_SEPARATOR) == 0)
        item.text = WideView(text);
    return item;
}

}  // namespace

void SendInitMenuPopup(HWND owner, HMENU popup) {
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
}

}  // namespace ce::gui

namespace ce {

using gui::Locate;
using gui::MenuOf;

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    const MenuResource* resource = gui::FindResourceOf(instance, name, &ResourceModule::FindMenu);
    return resource != nullptr ? gui::Build(resource->items) : nullptr;
}

HMENU CreatePopupMenu() {
    return gui::NewMenu();
}

BOOL DestroyMenu(HMENU handle) {
    gui::Menu* menu = MenuOf(handle);
    if (menu == nullptr)
        return FALSE;
    std::vector<HMENU> popups;
    for (const gui::MenuItem& item : menu->items) {
        if (item.popup != nullptr)
            popups.push_back(item.popup);
    }
    gui::Menus().Erase(handle);
    for (HMENU popup : popups)
        DestroyMenu(popup);
    return TRUE;
}

HMENU GetSubMenu(HMENU handle, int position) {
    gui::Menu* menu = MenuOf(handle);
    if (menu == nullptr || position < 0 || position >= static_cast<int>(menu->items.size()))
        return nullptr;
    return menu->items[static_cast<std::size_t>(position)].popup;
}

int GetMenuItemCount(HMENU handle) {
    gui::Menu* menu = MenuOf(handle);
    return menu == nullptr ? -1 : static_cast<int>(menu->items.size());
}

UINT GetMenuItemID(HMENU handle, int position) {
    gui::Menu* menu = MenuOf(handle);
    if (menu == nullptr || position < 0 || position >= static_cast<int>(menu->items.size()))
        return 0xFFFFFFFF;
    const gui::MenuItem& item = menu->items[static_cast<std::size_t>(position)];
    return item.popup != nullptr ? 0xFFFFFFFF : item.id;
}

DWORD EnableMenuItem(HMENU handle, UINT which, UINT enable) {
    auto [menu, index] = Locate(handle, which, enable);
    if (menu == nullptr)
        return 0xFFFFFFFF;
    gui::MenuItem& item = menu->items[static_cast<std::size_t>(index)];
    DWORD old = item.flags & (MF_GRAYED | MF_DISABLED);
    item.flags = (item.flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

DWORD CheckMenuItem(HMENU handle, UINT which, UINT check) {
    auto [menu, index] = Locate(handle, which, check);
    if (menu == nullptr)
        return 0xFFFFFFFF;
    gui::MenuItem& item = menu->items[static_cast<std::size_t>(index)];
    DWORD old = item.flags & MF_CHECKED;
    item.flags = (item.flags & ~(MF_CHECKED | MFT_RADIOCHECK)) | (check & MF_CHECKED);
    return old;
}

BOOL CheckMenuRadioItem(HMENU handle, UINT first, UINT last, UINT check, UINT flags) {
    auto [menu, index] = Locate(handle, check, flags);
    if (menu == nullptr)
        return FALSE;
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        gui::MenuItem& item = menu->items[i];
        bool inRange = (flags & MF_BYPOSITION) != 0
                           ? (i >= first && i <= last)
                           : (item.popup == nullptr && item.id >= first && item.id <= last);
        if (inRange)
            item.flags &= ~(MF_CHECKED | MFT_RADIOCHECK);
    }
    menu->items[static_cast<std::size_t>(index)].flags |= MF_CHECKED | MFT_RADIOCHECK;
    return TRUE;
}

UINT GetMenuState(HMENU handle, UINT which, UINT flags) {
    auto [menu, index] = Locate(handle, which, flags);
    if (menu == nullptr)
        return 0xFFFFFFFF;
    const gui::MenuItem& item = menu->items[static_cast<std::size_t>(index)];
    if (item.popup != nullptr)
        return (static_cast<UINT>(GetMenuItemCount(item.popup)) << 8) | item.flags | MF_POPUP;
    return item.flags;
}

int GetMenuStringW(HMENU handle, UINT which, LPWSTR buffer, int size, UINT flags) {
    auto [menu, index] = Locate(handle, which, flags);
    if (menu == nullptr)
        return 0;
    const std::u16string& text = menu->items[static_cast<std::size_t>(index)].text;
    if (buffer == nullptr || size <= 0)
        return static_cast<int>(text.size());
    return static_cast<int>(CopyWide(buffer, static_cast<std::size_t>(size), text));
}

BOOL AppendMenuW(HMENU handle, UINT flags, std::uintptr_t id, LPCWSTR text) {
    gui::Menu* menu = MenuOf(handle);
    if (menu == nullptr)
        return FALSE;
    menu->items.push_back(gui::MakeItem(flags, id, text));
    return TRUE;
}

BOOL InsertMenuW(HMENU handle, UINT position, UINT flags, std::uintptr_t id, LPCWSTR text) {
    gui::Menu* menu = MenuOf(handle);
    if (menu == nullptr)
        return FALSE;
    std::size_t at = menu->items.size();
    if ((flags & MF_BYPOSITION) != 0) {
        at = std::min<std::size_t>(position, menu->items.size());
    } else {
        auto [holder, index] = Locate(handle, position, MF_BYCOMMAND);
        if (holder != nullptr) {
            holder->items.insert(holder->items.begin() + index, gui::MakeItem(flags, id, text));
            return TRUE;
        }
    }
    menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(at),
                       gui::MakeItem(flags, id, text));
    return TRUE;
}

BOOL ModifyMenuW(HMENU handle, UINT position, UINT flags, std::uintptr_t id, LPCWSTR text) {
    auto [menu, index] = Locate(handle, position, flags);
    if (menu == nullptr)
        return FALSE;
    gui::MenuItem& item = menu->items[static_cast<std::size_t>(index)];
    HMENU keep = item.popup;
    item = gui::MakeItem(flags, id, text);
    if ((flags & MF_POPUP) == 0 && keep != nullptr)
        DestroyMenu(keep);
    return TRUE;
}

BOOL RemoveMenu(HMENU handle, UINT position, UINT flags) {
    auto [menu, index] = Locate(handle, position, flags);
    if (menu == nullptr)
        return FALSE;
    menu->items.erase(menu->items.begin() + index);
    return TRUE;
}

BOOL DeleteMenu(HMENU handle, UINT position, UINT flags) {
    auto [menu, index] = Locate(handle, position, flags);
    if (menu == nullptr)
        return FALSE;
    HMENU popup = menu->items[static_cast<std::size_t>(index)].popup;
    menu->items.erase(menu->items.begin() + index);
    if (popup != nullptr)
        DestroyMenu(popup);
    return TRUE;
}

BOOL TrackPopupMenuEx(HMENU handle, UINT flags, int x, int y, HWND owner, const TPMPARAMS*) {
    if (MenuOf(handle) == nullptr || gui::Find(owner) == nullptr)
        return FALSE;
    gui::SendInitMenuPopup(owner, handle);
    gui::WindowSystem& system = gui::System();
    ++system.popupDepth;
    gui::PopupMenuRequest request;
    request.owner = owner;
    request.menu = handle;
    request.screenPoint = {x, y};
    request.flags = flags;
    gui::PaintPendingWindows();
    UINT chosen = gui::CurrentBackend().TrackPopupMenu(request);
    --system.popupDepth;
    if (chosen != 0) {
        UINT state = GetMenuState(handle, chosen, MF_BYCOMMAND);
        // Greyed items, separators and submenus cannot be chosen.
        if (state == 0xFFFFFFFF || (state & (MF_GRAYED | MF_DISABLED | MF_POPUP)) != 0)
            chosen = 0;
    }
    if ((flags & TPM_RETURNCMD) != 0)
        return static_cast<BOOL>(chosen);
    if (chosen != 0 && (flags & TPM_NONOTIFY) == 0)
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return chosen != 0 ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU handle, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    return TrackPopupMenuEx(handle, flags, x, y, owner, nullptr);
}

}  // namespace ce
