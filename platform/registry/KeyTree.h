#pragma once
// Everything below one registry key, read at once: every key of the
// subtree in depth-first order (a key before its sub-keys, siblings in
// creation order, as a walk with RegEnumKeyExW meets them) and each key's
// values in creation order, as RegEnumValueW hands them out.
//
// Two queries in one read transaction read the whole subtree, so the read
// is one consistent picture of the registry and costs no call per key or
// per value. Names, classes and data are kept in two buffers for the
// whole tree. What the tree holds does not change when the registry does;
// Unchanged() tells whether anything was committed since the read.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"
#include "platform/registry/Registry.h"

namespace ce::registry {

// The deepest a key of a tree lies below the key read.
inline constexpr int kMaxTreeDepth = 16;

class KeyTree {
public:
    struct Value {
        std::u16string_view name;
        DWORD type = 0;
        std::span<const BYTE> data;
    };

    // Reads the subtree below `key` (a root or an open key), replacing what
    // was held. ERROR_INVALID_HANDLE, ERROR_KEY_DELETED or the volume's
    // error on failure, and then the tree is empty.
    LONG Read(HKEY key);

    std::size_t KeyCount() const { return keys_.size(); }
    // Levels below the key read: 1 for its sub-keys, at most kMaxTreeDepth,
    // and at most one more than the key before.
    int Depth(std::size_t key) const { return keys_[key].depth; }
    std::u16string_view Name(std::size_t key) const { return Text(keys_[key].name); }
    std::u16string_view Class(std::size_t key) const { return Text(keys_[key].keyClass); }
    std::size_t ValueCount(std::size_t key) const { return keys_[key].valueCount; }
    Value ValueAt(std::size_t key, std::size_t index) const;

    // True while nothing has been committed to the volume (by any process)
    // since the read.
    bool Unchanged() const;

private:
    struct TextSpan {
        std::uint32_t at = 0;
        std::uint32_t units = 0;
    };
    struct KeyEntry {
        std::int64_t id = 0;
        int depth = 0;
        TextSpan name;
        TextSpan keyClass;
        std::uint32_t firstValue = 0;
        std::uint32_t valueCount = 0;
    };
    struct ValueEntry {
        std::uint32_t key = 0;  // index in keys_
        TextSpan name;
        DWORD type = 0;
        const BYTE* data = nullptr;  // in one of blocks_
        DWORD dataBytes = 0;
    };

    std::u16string_view Text(TextSpan span) const {
        return std::u16string_view(texts_).substr(span.at, span.units);
    }
    TextSpan AddText(std::span<const BYTE> utf16);
    const BYTE* AddData(std::span<const BYTE> data);
    // The keys below `top`, depth first, into keys_.
    LONG ReadKeys(device::Volume& volume, std::int64_t top);
    void Clear();

    std::vector<KeyEntry> keys_;
    std::vector<ValueEntry> values_;  // grouped by key, in the keys' order
    std::u16string texts_;
    // Value data, in blocks that stay where they are as more are added.
    std::vector<std::unique_ptr<BYTE[]>> blocks_;
    BYTE* blockNext_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::uint64_t stamp_ = 0;
    std::uint64_t serial_ = 0;
    bool read_ = false;
};

// The paths of a tree's keys below the key read ("A\\B\\C"), built in
// place for one key after the other.
class TreePath {
public:
    // The path of key `key`, every key before it having been given first.
    const std::u16string& Next(const KeyTree& tree, std::size_t key);

private:
    std::u16string path_;
    // Where the path of the key at each depth ends.
    std::size_t ends_[kMaxTreeDepth + 1] = {};
};

}  // namespace ce::registry
