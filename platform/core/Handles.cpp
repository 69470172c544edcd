#include "platform/core/Handles.h"

#include <mutex>
#include <unordered_map>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"

namespace ce {
namespace {

struct HandleTable {
    std::recursive_mutex mutex;
    std::unordered_map<std::uintptr_t, std::unique_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x100;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // lives until exit, outlives statics
    return *table;
}

}  // namespace

HANDLE InsertHandle(std::unique_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    std::uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

KernelObject* LookupHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second.get();
}

BOOL CloseHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::unique_ptr<KernelObject> object;
    {
        std::lock_guard<std::recursive_mutex> lock(table.mutex);
        auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (!it->second->Close())
            return FALSE;
        object = std::move(it->second);
        table.objects.erase(it);
    }
    return TRUE;  // the object is destroyed outside the lock
}

std::size_t OpenHandleCount() {
    HandleTable& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    return table.objects.size();
}

}  // namespace ce
