#pragma once
// The registry's keys and values in the volume, and the process's table of
// open key handles.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"
#include "platform/registry/Registry.h"

namespace ce::registry {

inline constexpr std::size_t kMaxNameUnits = 255;
inline constexpr std::size_t kMaxClassUnits = 255;
inline constexpr DWORD kMaxValueBytes = 64 * 1024;
inline constexpr int kMaxDepth = 16;

// Splits a sub-key path at "\"; ERROR_INVALID_PARAMETER for a path that
// starts with "\", has an empty part or a part over 255 characters. A null
// or empty path has no parts.
LONG SplitSubKey(LPCWSTR subKey, std::vector<std::u16string>* parts);
// A value name (null is the default value, ""); 87 when over 255 characters.
LONG CheckValueName(LPCWSTR name, std::u16string* out);

// The key a handle names: a root or an open handle of this process.
// ERROR_INVALID_HANDLE otherwise.
LONG ResolveKey(device::Volume& volume, HKEY key, std::int64_t* id);
HKEY InsertKeyHandle(device::Volume& volume, std::int64_t id);
LONG CloseKeyHandle(HKEY key);

// Whether a key still exists (ERROR_KEY_DELETED when it was deleted).
LONG CheckKeyExists(device::Volume& volume, std::int64_t id);
// The child of `parent` named `name` (any case); ERROR_FILE_NOT_FOUND.
LONG FindChild(device::Volume& volume, std::int64_t parent, std::u16string_view name,
               std::int64_t* child);
// Levels between a key and its root (a root is 0).
LONG KeyDepth(device::Volume& volume, std::int64_t id, int* depth);
// Inside a write transaction.
LONG CreateChild(device::Volume& volume, std::int64_t parent, std::u16string_view name,
                 std::u16string_view keyClass, std::int64_t* child);
LONG DeleteKeyTree(device::Volume& volume, std::int64_t id);
LONG TouchKey(device::Volume& volume, std::int64_t id);

// A value as a read hands it out: views of the process's cache (valid until
// the registry call ends) or of the row's own copy of what the volume holds.
struct ValueRow {
    ValueRow() = default;
    ValueRow(const ValueRow&) = delete;
    ValueRow& operator=(const ValueRow&) = delete;

    std::u16string_view name;
    DWORD type = 0;
    std::span<const BYTE> data;

    std::u16string nameCopy;
    std::vector<BYTE> dataCopy;
};
LONG LoadValue(device::Volume& volume, std::int64_t key, std::u16string_view name, ValueRow* value);
// The value at `index` in creation order; ERROR_NO_MORE_ITEMS past the end.
LONG LoadValueAt(device::Volume& volume, std::int64_t key, DWORD index, ValueRow* value);
LONG StoreValue(device::Volume& volume, std::int64_t key, std::u16string_view name, DWORD type,
                std::span<const BYTE> data);
LONG DeleteValue(device::Volume& volume, std::int64_t key, std::u16string_view name);

struct KeyRow {
    std::u16string name;
    std::u16string keyClass;
    std::uint64_t modified = 0;
};
// The sub-key at `index` in creation order; ERROR_NO_MORE_ITEMS past the end.
LONG LoadChildAt(device::Volume& volume, std::int64_t parent, DWORD index, KeyRow* key);

}  // namespace ce::registry
