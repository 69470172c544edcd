// The registry calls: argument checks and buffer conventions around the
// key and value tables of RegistryKeys.

#include "platform/registry/Registry.h"

#include <cstring>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/registry/KeyCache.h"
#include "platform/registry/RegistryKeys.h"
#include "platform/time/Time.h"

namespace ce {
namespace {

using device::Volume;
using namespace registry;

LONG Code(DWORD error) {
    return static_cast<LONG>(error);
}

// Resolves `key` and walks `parts` below it; ERROR_FILE_NOT_FOUND when a
// part is missing.
LONG Walk(Volume& volume, HKEY key, const std::vector<std::u16string>& parts, std::int64_t* id) {
    LONG e = ResolveKey(volume, key, id);
    if (e == ERROR_SUCCESS)
        e = CheckKeyExists(volume, *id);
    for (std::size_t i = 0; e == ERROR_SUCCESS && i < parts.size(); ++i) {
        e = FindChild(volume, *id, parts[i], id);
    }
    return e;
}

// Copies a name into a caller's buffer of `*capacity` units (terminator
// included). Too small: ERROR_MORE_DATA with the size needed in *capacity.
LONG CopyName(std::u16string_view name, LPWSTR buffer, LPDWORD capacity) {
    if (*capacity < name.size() + 1) {
        *capacity = static_cast<DWORD>(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
    buffer[name.size()] = 0;
    *capacity = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Hands out a value's data: the size alone without a buffer, ERROR_MORE_DATA
// with the size needed when the buffer is too small.
LONG CopyData(const ValueRow& value, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type != nullptr)
        *type = value.type;
    if (data != nullptr && size == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (size == nullptr)
        return ERROR_SUCCESS;
    auto needed = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed != 0)
        std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (phkResult == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> parts;
    LONG e = SplitSubKey(lpSubKey, &parts);
    if (e != ERROR_SUCCESS)
        return e;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t id = 0;
        LONG r = Walk(volume, hKey, parts, &id);
        if (r != ERROR_SUCCESS)
            return static_cast<DWORD>(r);
        *phkResult = InsertKeyHandle(volume, id);
        return ERROR_SUCCESS;
    }));
}

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPCWSTR lpClass, DWORD, REGSAM, void*,
                     PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (phkResult == nullptr || lpSubKey == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::u16string_view keyClass = WideView(lpClass);
    if (keyClass.size() > kMaxClassUnits)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> parts;
    LONG e = SplitSubKey(lpSubKey, &parts);
    if (e != ERROR_SUCCESS)
        return e;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t id = 0;
        bool created = false;
        DWORD r = volume.Write([&]() -> DWORD {
            KeyCache::WriteScope writing(ProcessKeyCache());
            created = false;
            LONG w = ResolveKey(volume, hKey, &id);
            if (w == ERROR_SUCCESS)
                w = CheckKeyExists(volume, id);
            int depth = 0;
            if (w == ERROR_SUCCESS)
                w = KeyDepth(volume, id, &depth);
            for (std::size_t i = 0; w == ERROR_SUCCESS && i < parts.size(); ++i) {
                std::int64_t child = 0;
                w = FindChild(volume, id, parts[i], &child);
                if (w == ERROR_FILE_NOT_FOUND) {
                    if (depth + static_cast<int>(i) + 1 > kMaxDepth)
                        return ERROR_INVALID_PARAMETER;
                    bool last = i + 1 == parts.size();
                    w = CreateChild(volume, id, parts[i], last ? keyClass : u"", &child);
                    created = last;
                }
                id = child;
            }
            return static_cast<DWORD>(w);
        });
        if (r != ERROR_SUCCESS)
            return r;
        *phkResult = InsertKeyHandle(volume, id);
        if (lpdwDisposition != nullptr) {
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
        return ERROR_SUCCESS;
    }));
}

LONG RegCloseKey(HKEY hKey) {
    return CloseKeyHandle(hKey);
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    std::u16string name;
    LONG e = CheckValueName(lpValueName, &name);
    if (e != ERROR_SUCCESS)
        return e;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t id = 0;
        LONG r = ResolveKey(volume, hKey, &id);
        ValueRow value;
        if (r == ERROR_SUCCESS)
            r = LoadValue(volume, id, name, &value);
        if (r == ERROR_FILE_NOT_FOUND && CheckKeyExists(volume, id) == ERROR_KEY_DELETED) {
            r = ERROR_KEY_DELETED;
        }
        if (r == ERROR_SUCCESS)
            r = CopyData(value, lpType, lpData, lpcbData);
        return static_cast<DWORD>(r);
    }));
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    std::u16string name;
    LONG e = CheckValueName(lpValueName, &name);
    if (e != ERROR_SUCCESS)
        return e;
    if (cbData > kMaxValueBytes || (lpData == nullptr && cbData != 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::span<const BYTE> data;
    if (cbData != 0)
        data = std::span<const BYTE>(lpData, cbData);
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        return volume.Write([&]() -> DWORD {
            KeyCache::WriteScope writing(ProcessKeyCache());
            std::int64_t id = 0;
            LONG r = ResolveKey(volume, hKey, &id);
            if (r == ERROR_SUCCESS)
                r = CheckKeyExists(volume, id);
            if (r == ERROR_SUCCESS)
                r = StoreValue(volume, id, name, dwType, data);
            return static_cast<DWORD>(r);
        });
    }));
}

LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD,
                   LPWSTR lpClass, LPDWORD lpcchClass, FILETIME* lpftLastWriteTime) {
    if (lpName == nullptr || lpcchName == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (lpClass != nullptr && lpcchClass == nullptr)
        return ERROR_INVALID_PARAMETER;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t id = 0;
        LONG r = ResolveKey(volume, hKey, &id);
        if (r == ERROR_SUCCESS)
            r = CheckKeyExists(volume, id);
        KeyRow key;
        if (r == ERROR_SUCCESS)
            r = LoadChildAt(volume, id, dwIndex, &key);
        if (r != ERROR_SUCCESS)
            return static_cast<DWORD>(r);
        LONG nameResult = CopyName(key.name, lpName, lpcchName);
        LONG classResult = ERROR_SUCCESS;
        if (lpClass != nullptr) {
            classResult = CopyName(key.keyClass, lpClass, lpcchClass);
        } else if (lpcchClass != nullptr) {
            *lpcchClass = static_cast<DWORD>(key.keyClass.size());
        }
        if (lpftLastWriteTime != nullptr)
            *lpftLastWriteTime = U64ToFileTime(key.modified);
        return static_cast<DWORD>(nameResult != ERROR_SUCCESS ? nameResult : classResult);
    }));
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpValueName == nullptr || lpcchValueName == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (lpData != nullptr && lpcbData == nullptr)
        return ERROR_INVALID_PARAMETER;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t id = 0;
        LONG r = ResolveKey(volume, hKey, &id);
        if (r == ERROR_SUCCESS)
            r = CheckKeyExists(volume, id);
        ValueRow value;
        if (r == ERROR_SUCCESS)
            r = LoadValueAt(volume, id, dwIndex, &value);
        if (r != ERROR_SUCCESS)
            return static_cast<DWORD>(r);
        LONG nameResult = CopyName(value.name, lpValueName, lpcchValueName);
        LONG dataResult = CopyData(value, lpType, lpData, lpcbData);
        return static_cast<DWORD>(nameResult != ERROR_SUCCESS ? nameResult : dataResult);
    }));
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    std::u16string name;
    LONG e = CheckValueName(lpValueName, &name);
    if (e != ERROR_SUCCESS)
        return e;
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        return volume.WriteFreeing([&]() -> DWORD {
            KeyCache::WriteScope writing(ProcessKeyCache());
            std::int64_t id = 0;
            LONG r = ResolveKey(volume, hKey, &id);
            if (r == ERROR_SUCCESS)
                r = CheckKeyExists(volume, id);
            if (r == ERROR_SUCCESS)
                r = DeleteValue(volume, id, name);
            return static_cast<DWORD>(r);
        });
    }));
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    std::vector<std::u16string> parts;
    LONG e = SplitSubKey(lpSubKey, &parts);
    if (e != ERROR_SUCCESS)
        return e;
    if (parts.empty())
        return ERROR_INVALID_PARAMETER;  // never a key itself, nor a root
    return Code(device::AccessVolume([&](Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        return volume.WriteFreeing([&]() -> DWORD {
            KeyCache::WriteScope writing(ProcessKeyCache());
            std::int64_t id = 0;
            LONG r = Walk(volume, hKey, parts, &id);
            if (r == ERROR_SUCCESS)
                r = DeleteKeyTree(volume, id);
            return static_cast<DWORD>(r);
        });
    }));
}

}  // namespace ce
