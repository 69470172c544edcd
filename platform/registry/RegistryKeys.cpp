#include "platform/registry/RegistryKeys.h"

#include <algorithm>
#include <memory>

#include "platform/core/ErrorCodes.h"
#include "platform/core/HandleTable.h"
#include "platform/core/Text.h"
#include "platform/registry/KeyCache.h"
#include "platform/time/Time.h"

namespace ce::registry {
namespace {

struct OpenKey {
    std::int64_t id = 0;
    std::uint64_t volumeSerial = 0;
};

bool IsRoot(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS;
}

// Open key handles, numbered from 0x100 and never a root's value; used under the
// volume lock.
auto& Keys() {
    return ProcessHandleTable<OpenKey, HKEY, 0x100, 1, IsRoot>();
}

LONG QueryError(const device::Query& query, DWORD notFound) {
    return static_cast<LONG>(query.error() != ERROR_SUCCESS ? query.error() : notFound);
}

std::int64_t Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>(FileTimeToU64(now));
}

void ViewValue(const CachedValue& from, ValueRow* to) {
    to->name = from.name;
    to->type = from.type;
    to->data = from.data;
}

void CopyValue(const device::Query& query, ValueRow* to) {
    to->nameCopy = query.Text16(0);
    to->type = static_cast<DWORD>(query.Int(1));
    std::span<const BYTE> data = query.Blob(2);
    to->dataCopy.assign(data.begin(), data.end());
    to->name = to->nameCopy;
    to->data = to->dataCopy;
}

}  // namespace

LONG SplitSubKey(LPCWSTR subKey, std::vector<std::u16string>* parts) {
    parts->clear();
    std::u16string_view path = WideView(subKey);
    if (path.empty())
        return ERROR_SUCCESS;
    if (path.front() == u'\\')
        return ERROR_INVALID_PARAMETER;
    if (path.back() == u'\\')
        path.remove_suffix(1);  // "Software\" names "Software"
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        std::u16string_view part = path.substr(start, end - start);
        if (part.empty() || part.size() > kMaxNameUnits)
            return ERROR_INVALID_PARAMETER;
        parts->emplace_back(part);
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

LONG CheckValueName(LPCWSTR name, std::u16string* out) {
    std::u16string_view view = WideView(name);
    if (view.size() > kMaxNameUnits)
        return ERROR_INVALID_PARAMETER;
    out->assign(view);
    return ERROR_SUCCESS;
}

LONG ResolveKey(device::Volume& volume, HKEY key, std::int64_t* id) {
    if (IsRoot(key)) {
        *id = static_cast<std::int64_t>(key - HKEY_CLASSES_ROOT) + 1;
        return ERROR_SUCCESS;
    }
    const OpenKey* open = Keys().Lookup(key);
    if (open == nullptr || open->volumeSerial != volume.serial())
        return ERROR_INVALID_HANDLE;
    *id = open->id;
    return ERROR_SUCCESS;
}

HKEY InsertKeyHandle(device::Volume& volume, std::int64_t id) {
    return Keys().Insert(std::make_unique<OpenKey>(OpenKey{id, volume.serial()}));
}

LONG CloseKeyHandle(HKEY key) {
    if (IsRoot(key))
        return ERROR_SUCCESS;
    auto lock = device::LockVolume();
    return Keys().Erase(key) != nullptr ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG CheckKeyExists(device::Volume& volume, std::int64_t id) {
    KeyCache& cache = ProcessKeyCache();
    if (cache.KnownToExist(volume, id))
        return ERROR_SUCCESS;
    device::Query query = volume.Prepare("SELECT 1 FROM registry_keys WHERE id = ?");
    query.Bind(1, id);
    if (!query.Step())
        return QueryError(query, ERROR_KEY_DELETED);
    cache.NoteExists(volume, id);
    return ERROR_SUCCESS;
}

LONG FindChild(device::Volume& volume, std::int64_t parent, std::u16string_view name,
               std::int64_t* child) {
    std::u16string nameKey = ToLowerWide(name);
    LONG error = ERROR_SUCCESS;
    if (const KeyCache::Children* children = ProcessKeyCache().ChildrenOf(volume, parent, &error)) {
        auto found = children->byNameKey.find(nameKey);
        if (found == children->byNameKey.end())
            return ERROR_FILE_NOT_FOUND;
        *child = children->keys[found->second].id;
        return ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS)
        return error;
    device::Query query =
        volume.Prepare("SELECT id FROM registry_keys WHERE parent = ? AND name_key = ?");
    query.Bind(1, parent).BindText16(2, nameKey);
    if (!query.Step())
        return QueryError(query, ERROR_FILE_NOT_FOUND);
    *child = query.Int(0);
    return ERROR_SUCCESS;
}

LONG KeyDepth(device::Volume& volume, std::int64_t id, int* depth) {
    device::Query query = volume.Prepare(
        "WITH RECURSIVE up(id, parent) AS ("
        "  SELECT id, parent FROM registry_keys WHERE id = ?"
        "  UNION ALL SELECT k.id, k.parent FROM registry_keys k JOIN up ON k.id = up.parent)"
        "SELECT count(*) FROM up");
    query.Bind(1, id);
    if (!query.Step())
        return QueryError(query, ERROR_KEY_DELETED);
    *depth = static_cast<int>(query.Int(0)) - 1;
    return ERROR_SUCCESS;
}

LONG CreateChild(device::Volume& volume, std::int64_t parent, std::u16string_view name,
                 std::u16string_view keyClass, std::int64_t* child) {
    device::Query query = volume.Prepare(
        "INSERT INTO registry_keys(parent, name, name_key, class, modified) "
        "VALUES(?, ?, ?, ?, ?) RETURNING id");
    query.Bind(1, parent)
        .BindText16(2, name)
        .BindText16(3, ToLowerWide(name))
        .BindText16(4, keyClass)
        .Bind(5, Now());
    if (!query.Step())
        return QueryError(query, ERROR_BADDB);
    *child = query.Int(0);
    return query.Run() ? ERROR_SUCCESS : QueryError(query, ERROR_BADDB);
}

LONG DeleteKeyTree(device::Volume& volume, std::int64_t id) {
    device::Query values = volume.Prepare(
        "WITH RECURSIVE below(id) AS ("
        "  SELECT ? UNION ALL SELECT k.id FROM registry_keys k JOIN below ON k.parent = below.id)"
        "DELETE FROM registry_values WHERE key IN below");
    values.Bind(1, id);
    if (!values.Run())
        return QueryError(values, ERROR_BADDB);
    device::Query keys = volume.Prepare(
        "WITH RECURSIVE below(id) AS ("
        "  SELECT ? UNION ALL SELECT k.id FROM registry_keys k JOIN below ON k.parent = below.id)"
        "DELETE FROM registry_keys WHERE id IN below");
    keys.Bind(1, id);
    return keys.Run() ? ERROR_SUCCESS : QueryError(keys, ERROR_BADDB);
}

LONG TouchKey(device::Volume& volume, std::int64_t id) {
    device::Query query = volume.Prepare("UPDATE registry_keys SET modified = ? WHERE id = ?");
    query.Bind(1, Now()).Bind(2, id);
    return query.Run() ? ERROR_SUCCESS : QueryError(query, ERROR_BADDB);
}

LONG LoadValue(device::Volume& volume, std::int64_t key, std::u16string_view name,
               ValueRow* value) {
    std::u16string nameKey = ToLowerWide(name);
    LONG error = ERROR_SUCCESS;
    if (const KeyCache::Values* values = ProcessKeyCache().ValuesOf(volume, key, &error)) {
        auto found = std::find_if(values->begin(), values->end(),
                                  [&](const CachedValue& v) { return v.nameKey == nameKey; });
        if (found == values->end())
            return ERROR_FILE_NOT_FOUND;
        ViewValue(*found, value);
        return ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS)
        return error;
    device::Query query = volume.Prepare(
        "SELECT name, type, data FROM registry_values WHERE key = ? AND name_key = ?");
    query.Bind(1, key).BindText16(2, nameKey);
    if (!query.Step())
        return QueryError(query, ERROR_FILE_NOT_FOUND);
    CopyValue(query, value);
    return ERROR_SUCCESS;
}

LONG LoadValueAt(device::Volume& volume, std::int64_t key, DWORD index, ValueRow* value) {
    LONG error = ERROR_SUCCESS;
    if (const KeyCache::Values* values = ProcessKeyCache().ValuesOf(volume, key, &error)) {
        if (index >= values->size())
            return ERROR_NO_MORE_ITEMS;
        ViewValue((*values)[index], value);
        return ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS)
        return error;
    device::Query query = volume.Prepare(
        "SELECT name, type, data FROM registry_values WHERE key = ? ORDER BY id "
        "LIMIT 1 OFFSET ?");
    query.Bind(1, key).Bind(2, index);
    if (!query.Step())
        return QueryError(query, ERROR_NO_MORE_ITEMS);
    CopyValue(query, value);
    return ERROR_SUCCESS;
}

LONG StoreValue(device::Volume& volume, std::int64_t key, std::u16string_view name, DWORD type,
                std::span<const BYTE> data) {
    // The name keeps the case it was first written with.
    device::Query query = volume.Prepare(
        "INSERT INTO registry_values(key, name, name_key, type, data) VALUES(?, ?, ?, ?, ?) "
        "ON CONFLICT(key, name_key) DO UPDATE SET type = excluded.type, data = excluded.data");
    query.Bind(1, key)
        .BindText16(2, name)
        .BindText16(3, ToLowerWide(name))
        .Bind(4, type)
        .BindBlob(5, data);
    if (!query.Run())
        return QueryError(query, ERROR_BADDB);
    return TouchKey(volume, key);
}

LONG DeleteValue(device::Volume& volume, std::int64_t key, std::u16string_view name) {
    device::Query query =
        volume.Prepare("DELETE FROM registry_values WHERE key = ? AND name_key = ? RETURNING id");
    query.Bind(1, key).BindText16(2, ToLowerWide(name));
    if (!query.Step())
        return QueryError(query, ERROR_FILE_NOT_FOUND);
    if (!query.Run())
        return QueryError(query, ERROR_BADDB);
    return TouchKey(volume, key);
}

LONG LoadChildAt(device::Volume& volume, std::int64_t parent, DWORD index, KeyRow* key) {
    LONG error = ERROR_SUCCESS;
    if (const KeyCache::Children* children = ProcessKeyCache().ChildrenOf(volume, parent, &error)) {
        if (index >= children->keys.size())
            return ERROR_NO_MORE_ITEMS;
        const CachedKey& found = children->keys[index];
        key->name = found.name;
        key->keyClass = found.keyClass;
        key->modified = found.modified;
        return ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS)
        return error;
    device::Query query = volume.Prepare(
        "SELECT name, class, modified FROM registry_keys WHERE parent = ? ORDER BY id "
        "LIMIT 1 OFFSET ?");
    query.Bind(1, parent).Bind(2, index);
    if (!query.Step())
        return QueryError(query, ERROR_NO_MORE_ITEMS);
    key->name = query.Text16(0);
    key->keyClass = query.Text16(1);
    key->modified = static_cast<std::uint64_t>(query.Int(2));
    return ERROR_SUCCESS;
}

}  // namespace ce::registry
