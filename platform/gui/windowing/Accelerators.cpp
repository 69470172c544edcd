// Accelerator tables: key combinations that become commands.

#include <vector>

#include "platform/core/HandleTable.h"
#include "platform/gui/Resources.h"
#include "platform/gui/controls/Controls.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce {
namespace {

struct AcceleratorTable {
    std::vector<AcceleratorEntry> entries;
};

auto& Tables() {
    return ProcessHandleTable<AcceleratorTable, HACCEL, 0x40000, 8>();
}

bool Down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    const AcceleratorResource* resource =
        gui::FindResourceOf(instance, name, &ResourceModule::FindAccelerators);
    if (resource == nullptr)
        return nullptr;
    return Tables().Insert(std::make_unique<AcceleratorTable>(AcceleratorTable{resource->entries}));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    return Tables().Erase(table) != nullptr ? TRUE : FALSE;
}

int TranslateAcceleratorW(HWND hwnd, HACCEL table, MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    const AcceleratorTable* accelerators = Tables().Lookup(table);
    if (accelerators == nullptr || gui::Find(hwnd) == nullptr)
        return 0;
    // While a text field has the focus, its editing keys edit the text.
    if (Down(VK_CONTROL) && !Down(VK_MENU) && gui::IsTextEditingKey(msg->hwnd, msg->wParam))
        return 0;
    // Keys without Ctrl or Alt (Enter ends a label being edited) are the field's own.
    if (!Down(VK_CONTROL) && !Down(VK_MENU) && gui::IsTextEditingKey(msg->hwnd, 0))
        return 0;
    for (const AcceleratorEntry& entry : accelerators->entries) {
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
