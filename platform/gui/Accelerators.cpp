// Accelerator tables: key combinations that become commands.

#include <unordered_map>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WindowSystem.h"

namespace ce {
namespace {

std::unordered_map<std::uintptr_t, std::vector<AcceleratorEntry>>& Tables() {
    static auto* tables = new std::unordered_map<std::uintptr_t, std::vector<AcceleratorEntry>>;
    return *tables;
}

bool Down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    const AcceleratorResource* resource = instance != nullptr && IS_INTRESOURCE(name)
                                              ? instance->FindAccelerators(ResourceId(name))
                                              : nullptr;
    if (resource == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    static std::uintptr_t next = 0x40000;
    std::uintptr_t value = next;
    next += 8;
    Tables()[value] = resource->entries;
    return reinterpret_cast<HACCEL>(value);
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    return Tables().erase(reinterpret_cast<std::uintptr_t>(table)) != 0 ? TRUE : FALSE;
}

int TranslateAcceleratorW(HWND hwnd, HACCEL table, MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    auto it = Tables().find(reinterpret_cast<std::uintptr_t>(table));
    if (it == Tables().end() || gui::Find(hwnd) == nullptr)
        return 0;
    for (const AcceleratorEntry& entry : it->second) {
        if ((entry.fVirt & FVIRTKEY) == 0 || entry.key != msg->wParam)
            continue;
        if (((entry.fVirt & FCONTROL) != 0) != Down(VK_CONTROL) ||
            ((entry.fVirt & FSHIFT) != 0) != Down(VK_SHIFT) ||
            ((entry.fVirt & FALT) != 0) != Down(VK_MENU))
            continue;
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}

}  // namespace ce
