#include "platform/registry/KeyCache.h"

#include "platform/core/ErrorCodes.h"

namespace ce::registry {
namespace {

// The four roots are rows of every volume and are never deleted.
constexpr std::int64_t kLastRootId = 4;

// What one read of a key's siblings' values may bring in, and what the
// cache may hold before it starts again empty.
constexpr std::size_t kSiblingBudgetBytes = 1 << 20;
constexpr std::size_t kHeldLimitBytes = 16 << 20;

// Rough memory of a row beside its texts and data.
constexpr std::size_t kRowOverhead = 64;

LONG QueryError(const device::Query& query) {
    return static_cast<LONG>(query.error() != ERROR_SUCCESS ? query.error() : ERROR_BADDB);
}

std::size_t SizeOf(const CachedValue& value) {
    return kRowOverhead + (value.name.size() + value.nameKey.size()) * 2 + value.data.size();
}

CachedValue ValueFromRow(const device::Query& query, int first) {
    CachedValue value;
    value.name = query.Text16(first);
    value.nameKey = query.Text16(first + 1);
    value.type = static_cast<DWORD>(query.Int(first + 2));
    std::span<const BYTE> data = query.Blob(first + 3);
    value.data.assign(data.begin(), data.end());
    return value;
}

}  // namespace

KeyCache& ProcessKeyCache() {
    static KeyCache cache;
    return cache;
}

bool KeyCache::Usable(device::Volume& volume) {
    if (writers_ > 0)
        return false;
    if (calls_ > 0 && stamped_)
        return true;
    std::uint64_t stamp = volume.ChangeStamp();
    if (!stamped_ || stamp != stamp_ || volume.serial() != serial_) {
        Forget();
        stamp_ = stamp;
        serial_ = volume.serial();
        stamped_ = true;
    }
    return true;
}

void KeyCache::Forget() {
    children_.clear();
    values_.clear();
    parentOf_.clear();
    existing_.clear();
    heldBytes_ = 0;
    stamped_ = false;
}

void KeyCache::MakeRoom() {
    if (heldBytes_ <= kHeldLimitBytes)
        return;
    std::uint64_t stamp = stamp_, serial = serial_;
    Forget();
    stamp_ = stamp;
    serial_ = serial;
    stamped_ = true;
}

bool KeyCache::KnownToExist(device::Volume& volume, std::int64_t id) {
    if (id >= 1 && id <= kLastRootId)
        return true;
    return Usable(volume) && (existing_.contains(id) || parentOf_.contains(id));
}

void KeyCache::NoteExists(device::Volume& volume, std::int64_t id) {
    if (Usable(volume)) {
        existing_.insert(id);
        heldBytes_ += kRowOverhead;
    }
}

template <class Map>
const typename Map::mapped_type* KeyCache::Find(device::Volume& volume, Map& map, std::int64_t id,
                                                SiblingLoader loadSiblings, OneLoader loadOne,
                                                LONG* error) {
    *error = ERROR_SUCCESS;
    if (!Usable(volume))
        return nullptr;
    auto found = map.find(id);
    if (found == map.end()) {
        MakeRoom();
        auto parent = parentOf_.find(id);
        if (parent != parentOf_.end()) {
            *error = (this->*loadSiblings)(volume, parent->second, id);
            if (*error != ERROR_SUCCESS)
                return nullptr;
            found = map.find(id);
        }
        if (found == map.end()) {
            *error = (this->*loadOne)(volume, id);
            if (*error != ERROR_SUCCESS)
                return nullptr;
            found = map.find(id);
        }
    }
    return &found->second;
}

const KeyCache::Children* KeyCache::ChildrenOf(device::Volume& volume, std::int64_t parent,
                                               LONG* error) {
    return Find(volume, children_, parent, &KeyCache::LoadSiblingChildren, &KeyCache::LoadChildren,
                error);
}

const KeyCache::Values* KeyCache::ValuesOf(device::Volume& volume, std::int64_t key, LONG* error) {
    return Find(volume, values_, key, &KeyCache::LoadSiblingValues, &KeyCache::LoadValues, error);
}

std::size_t KeyCache::AddChild(Children& children, std::int64_t parent, const device::Query& query,
                               int first) {
    CachedKey key;
    key.id = query.Int(first);
    key.name = query.Text16(first + 1);
    key.keyClass = query.Text16(first + 2);
    key.modified = static_cast<std::uint64_t>(query.Int(first + 3));
    children.byNameKey.emplace(query.Text16(first + 4), children.keys.size());
    parentOf_[key.id] = parent;
    std::size_t bytes = kRowOverhead * 3 + (key.name.size() * 2 + key.keyClass.size()) * 2;
    children.keys.push_back(std::move(key));
    return bytes;
}

LONG KeyCache::LoadChildren(device::Volume& volume, std::int64_t parent) {
    device::Query query = volume.Prepare(
        "SELECT id, name, class, modified, name_key FROM registry_keys WHERE parent = ? "
        "ORDER BY id");
    query.Bind(1, parent);
    Children children;
    std::size_t bytes = 0;
    while (query.Step())
        bytes += AddChild(children, parent, query, 0);
    if (query.error() != ERROR_SUCCESS)
        return QueryError(query);
    children_[parent] = std::move(children);
    heldBytes_ += bytes;
    return ERROR_SUCCESS;
}

LONG KeyCache::LoadSiblingChildren(device::Volume& volume, std::int64_t grandparent,
                                   std::int64_t first) {
    auto siblings = children_.find(grandparent);
    if (siblings == children_.end())
        return ERROR_SUCCESS;
    device::Query query = volume.Prepare(
        "SELECT k.parent, k.id, k.name, k.class, k.modified, k.name_key FROM registry_keys k "
        "JOIN registry_keys p ON p.id = k.parent WHERE p.parent = ? AND p.id >= ? "
        "ORDER BY k.parent, k.id");
    query.Bind(1, grandparent).Bind(2, first);
    std::unordered_map<std::int64_t, Children> read;
    std::size_t bytes = 0;
    // As with values: past the budget, the parents below the one at hand
    // have all their children.
    std::int64_t complete = INT64_MAX;
    while (query.Step()) {
        std::int64_t parent = query.Int(0);
        if (bytes > kSiblingBudgetBytes && !read.contains(parent)) {
            complete = parent;
            break;
        }
        bytes += AddChild(read[parent], parent, query, 1);
    }
    if (query.error() != ERROR_SUCCESS)
        return QueryError(query);
    for (const CachedKey& sibling : siblings->second.keys) {
        if (sibling.id < first || sibling.id >= complete || children_.contains(sibling.id))
            continue;
        auto found = read.find(sibling.id);
        children_[sibling.id] = found != read.end() ? std::move(found->second) : Children{};
        heldBytes_ += kRowOverhead;
    }
    heldBytes_ += bytes;
    return ERROR_SUCCESS;
}

LONG KeyCache::LoadSiblingValues(device::Volume& volume, std::int64_t parent, std::int64_t first) {
    auto siblings = children_.find(parent);
    if (siblings == children_.end())
        return ERROR_SUCCESS;
    device::Query query = volume.Prepare(
        "SELECT v.key, v.name, v.name_key, v.type, v.data FROM registry_values v "
        "JOIN registry_keys k ON k.id = v.key WHERE k.parent = ? AND k.id >= ? "
        "ORDER BY v.key, v.id");
    query.Bind(1, parent).Bind(2, first);
    std::unordered_map<std::int64_t, Values> read;
    std::size_t bytes = 0;
    // Rows come key by key in ascending order: when the budget runs out,
    // every key below the one at hand has been read whole.
    std::int64_t complete = INT64_MAX;
    while (query.Step()) {
        std::int64_t key = query.Int(0);
        if (bytes > kSiblingBudgetBytes && !read.contains(key)) {
            complete = key;
            break;
        }
        CachedValue value = ValueFromRow(query, 1);
        bytes += SizeOf(value);
        read[key].push_back(std::move(value));
    }
    if (query.error() != ERROR_SUCCESS)
        return QueryError(query);
    for (const CachedKey& sibling : siblings->second.keys) {
        if (sibling.id < first || sibling.id >= complete || values_.contains(sibling.id))
            continue;
        auto found = read.find(sibling.id);
        values_[sibling.id] = found != read.end() ? std::move(found->second) : Values{};
        heldBytes_ += kRowOverhead;
    }
    heldBytes_ += bytes;
    return ERROR_SUCCESS;
}

LONG KeyCache::LoadValues(device::Volume& volume, std::int64_t key) {
    device::Query query = volume.Prepare(
        "SELECT name, name_key, type, data FROM registry_values WHERE key = ? ORDER BY id");
    query.Bind(1, key);
    Values values;
    std::size_t bytes = kRowOverhead;
    while (query.Step()) {
        values.push_back(ValueFromRow(query, 0));
        bytes += SizeOf(values.back());
    }
    if (query.error() != ERROR_SUCCESS)
        return QueryError(query);
    values_[key] = std::move(values);
    heldBytes_ += bytes;
    return ERROR_SUCCESS;
}

}  // namespace ce::registry
