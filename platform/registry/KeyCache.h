#pragma once
// What this process last read of the registry's keys and values, kept while
// nothing has been committed to the volume since, so that a walk over the
// registry (one call per sub-key and per value, as the registry API goes)
// costs a query per key read rather than several per call.
//
// A key's sub-keys are read in one query, and the values and the sub-keys
// of all those sub-keys in one more each the first time one of them is
// asked for: a walk reads siblings one after the other. Any commit, by this process or
// another, and any change of volume forgets everything; while a registry
// write runs nothing is kept or used, so a write never reads what it has
// not committed yet, and a write that rolls back leaves nothing behind.
//
// Used under the volume lock only.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"

namespace ce::registry {

struct CachedKey {
    std::int64_t id = 0;
    std::u16string name;
    std::u16string keyClass;
    std::uint64_t modified = 0;
};

struct CachedValue {
    std::u16string name;
    std::u16string nameKey;  // the name in lower case, as the volume compares it
    DWORD type = 0;
    std::vector<BYTE> data;
};

class KeyCache {
public:
    struct Children {
        std::vector<CachedKey> keys;  // in creation order
        std::unordered_map<std::u16string, std::size_t> byNameKey;
    };
    using Values = std::vector<CachedValue>;  // in creation order

    // The sub-keys of `parent`, read when not known. Null while a write runs
    // (the caller then asks the volume itself), or with `*error` set when
    // the read failed.
    const Children* ChildrenOf(device::Volume& volume, std::int64_t parent, LONG* error);
    // The values of `key`, likewise.
    const Values* ValuesOf(device::Volume& volume, std::int64_t key, LONG* error);
    // Whether `id` is known to exist now (a root, or a key read since the
    // last commit).
    bool KnownToExist(device::Volume& volume, std::int64_t id);
    void NoteExists(device::Volume& volume, std::int64_t id);

    // One registry call: what the cache holds is checked against the volume
    // once, when the call begins, and then stays as it is (apart from the
    // call's own writes) until the call ends, so that what a read hands out
    // stays valid for the call.
    class CallScope {
    public:
        CallScope(KeyCache& cache, device::Volume& volume) : cache_(cache) {
            cache_.Usable(volume);
            ++cache_.calls_;
        }
        ~CallScope() { --cache_.calls_; }
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        KeyCache& cache_;
    };

    // Marks a registry write: everything is forgotten when it begins and
    // again when it ends, and nothing is kept while it runs.
    class WriteScope {
    public:
        explicit WriteScope(KeyCache& cache) : cache_(cache) {
            cache_.Forget();
            ++cache_.writers_;
        }
        ~WriteScope() {
            --cache_.writers_;
            cache_.Forget();
        }
        WriteScope(const WriteScope&) = delete;
        WriteScope& operator=(const WriteScope&) = delete;

    private:
        KeyCache& cache_;
    };

private:
    using SiblingLoader = LONG (KeyCache::*)(device::Volume&, std::int64_t, std::int64_t);
    using OneLoader = LONG (KeyCache::*)(device::Volume&, std::int64_t);
    // What `map` holds for `id`: when it is not there, read for the siblings
    // of `id` from it on when its parent is known (a walk asks for them
    // next), else for `id` alone.
    template <class Map>
    const typename Map::mapped_type* Find(device::Volume& volume, Map& map, std::int64_t id,
                                          SiblingLoader loadSiblings, OneLoader loadOne,
                                          LONG* error);
    // False while a write runs; otherwise forgets what an intervening
    // commit or another volume made stale, and true.
    bool Usable(device::Volume& volume);
    void Forget();
    // Adds the key of the row at column `first` as a child of `parent`;
    // returns the bytes it holds.
    std::size_t AddChild(Children& children, std::int64_t parent, const device::Query& query,
                         int first);
    LONG LoadChildren(device::Volume& volume, std::int64_t parent);
    // The sub-keys of the sub-keys of `grandparent` from `first` on, likewise.
    LONG LoadSiblingChildren(device::Volume& volume, std::int64_t grandparent, std::int64_t first);
    // The values of the sub-keys of `parent` from `first` on (a walk goes
    // in creation order), up to a budget of bytes; the keys read whole are
    // kept.
    LONG LoadSiblingValues(device::Volume& volume, std::int64_t parent, std::int64_t first);
    LONG LoadValues(device::Volume& volume, std::int64_t key);
    void MakeRoom();

    std::uint64_t serial_ = 0;
    std::uint64_t stamp_ = 0;
    bool stamped_ = false;
    int writers_ = 0;
    int calls_ = 0;
    std::unordered_map<std::int64_t, Children> children_;
    std::unordered_map<std::int64_t, Values> values_;
    std::unordered_map<std::int64_t, std::int64_t> parentOf_;
    std::unordered_set<std::int64_t> existing_;
    std::size_t heldBytes_ = 0;
};

// The process's cache.
KeyCache& ProcessKeyCache();

}  // namespace ce::registry
