#pragma once
// The process's handle table. Databases, database enumerations and files are
// objects owned by the table and named by HANDLE values; CloseHandle closes
// and destroys any of them.

#include <memory>

#include "platform/core/Types.h"

namespace ce {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Called by CloseHandle before the object is destroyed; a false result
    // (with the last error set) keeps the handle open.
    virtual bool Close() { return true; }
};

HANDLE InsertHandle(std::unique_ptr<KernelObject> object);

// The object behind a handle, or nullptr when the handle is not open or names
// an object of another kind.
KernelObject* LookupHandle(HANDLE handle);

template <class T>
T* LookupHandleAs(HANDLE handle) {
    return dynamic_cast<T*>(LookupHandle(handle));
}

// Closes any kernel object; ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);

// Number of open handles, for leak checks in tests.
std::size_t OpenHandleCount();

}  // namespace ce
