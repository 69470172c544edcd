#include "platform/core/Handles.h"

#include <mutex>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"

namespace ce {
namespace {

struct KernelHandles {
    std::recursive_mutex mutex;
    HandleTable<KernelObject, HANDLE> objects{{0x100, 4}};
};

KernelHandles& Table() {
    static KernelHandles* table = new KernelHandles;  // lives until exit, outlives statics
    return *table;
}

}  // namespace

HANDLE InsertHandle(std::unique_ptr<KernelObject> object) {
    KernelHandles& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    return table.objects.Insert(std::move(object));
}

KernelObject* LookupHandle(HANDLE handle) {
    KernelHandles& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    return table.objects.Lookup(handle);
}

BOOL CloseHandle(HANDLE handle) {
    KernelHandles& table = Table();
    std::unique_ptr<KernelObject> object;
    {
        std::lock_guard<std::recursive_mutex> lock(table.mutex);
        KernelObject* open = table.objects.LookupOrError(handle, ERROR_INVALID_HANDLE);
        if (open == nullptr || !open->Close())
            return FALSE;
        object = table.objects.Erase(handle);
    }
    return TRUE;  // the object is destroyed outside the lock
}

std::size_t OpenHandleCount() {
    KernelHandles& table = Table();
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    return table.objects.Count();
}

}  // namespace ce
