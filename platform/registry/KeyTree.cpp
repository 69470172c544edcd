#include "platform/registry/KeyTree.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "platform/core/ErrorCodes.h"
#include "platform/device/Volume.h"
#include "platform/registry/KeyCache.h"
#include "platform/registry/RegistryKeys.h"

static_assert(ce::registry::kMaxTreeDepth == ce::registry::kMaxDepth);

namespace ce::registry {
namespace {

LONG QueryError(const device::Query& query) {
    return static_cast<LONG>(query.error() != ERROR_SUCCESS ? query.error() : ERROR_BADDB);
}

// Every key with its parent, oldest first: one pass over the table, the
// tree being put together in memory.
constexpr const char* kAllKeys = "SELECT id, parent, name, class FROM registry_keys ORDER BY id";

// The values of the keys with ids from ?1 to ?2, in creation order: one
// pass over the table, as a plain read of every value would make.
constexpr const char* kTreeValues =
    "SELECT key, name, type, data FROM registry_values NOT INDEXED "
    "WHERE key BETWEEN ?1 AND ?2 ORDER BY id";

// What each block of value data holds (a larger value has a block of its own).
constexpr std::size_t kBlockBytes = 256 * 1024;

}  // namespace

void KeyTree::Clear() {
    keys_.clear();
    values_.clear();
    texts_.clear();
    blocks_.clear();
    blockNext_ = nullptr;
    blockLeft_ = 0;
    read_ = false;
}

KeyTree::TextSpan KeyTree::AddText(std::span<const BYTE> utf16) {
    TextSpan span{static_cast<std::uint32_t>(texts_.size()),
                  static_cast<std::uint32_t>(utf16.size() / 2)};
    if constexpr (std::endian::native == std::endian::little) {
        std::size_t at = texts_.size();
        texts_.resize(at + span.units);
        if (span.units != 0)
            std::memcpy(texts_.data() + at, utf16.data(), span.units * sizeof(char16_t));
    } else {
        for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
            texts_.push_back(static_cast<char16_t>(utf16[i] | (utf16[i + 1] << 8)));
    }
    return span;
}

const BYTE* KeyTree::AddData(std::span<const BYTE> data) {
    if (data.empty())
        return nullptr;
    if (data.size() > blockLeft_) {
        std::size_t size = std::max(kBlockBytes, data.size());
        blocks_.push_back(std::make_unique_for_overwrite<BYTE[]>(size));
        blockNext_ = blocks_.back().get();
        blockLeft_ = size;
    }
    BYTE* at = blockNext_;
    std::memcpy(at, data.data(), data.size());
    blockNext_ += data.size();
    blockLeft_ -= data.size();
    return at;
}

KeyTree::Value KeyTree::ValueAt(std::size_t key, std::size_t index) const {
    const ValueEntry& entry = values_[keys_[key].firstValue + index];
    return Value{Text(entry.name), entry.type, std::span<const BYTE>(entry.data, entry.dataBytes)};
}

LONG KeyTree::ReadKeys(device::Volume& volume, std::int64_t top) {
    struct Row {
        std::int64_t id;
        std::int64_t parent;
        TextSpan name;
        TextSpan keyClass;
        std::uint32_t firstChild = UINT32_MAX;
        std::uint32_t lastChild = UINT32_MAX;
        std::uint32_t nextSibling = UINT32_MAX;
    };
    std::vector<Row> rows;
    device::Query query = volume.Prepare(kAllKeys);
    while (query.Step()) {
        rows.push_back(
            Row{query.Int(0), query.Int(1), AddText(query.Blob(2)), AddText(query.Blob(3))});
    }
    if (query.error() != ERROR_SUCCESS)
        return QueryError(query);
    // Rows come in id order, so a parent is found by halving, and children
    // join their parent's list oldest first.
    auto indexOf = [&](std::int64_t id) {
        auto found =
            std::lower_bound(rows.begin(), rows.end(), id,
                             [](const Row& row, std::int64_t want) { return row.id < want; });
        return found != rows.end() && found->id == id
                   ? static_cast<std::uint32_t>(found - rows.begin())
                   : UINT32_MAX;
    };
    std::uint32_t topIndex = indexOf(top);
    if (topIndex == UINT32_MAX)
        return ERROR_KEY_DELETED;
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        std::uint32_t parent = rows[i].parent == rows[i].id ? UINT32_MAX : indexOf(rows[i].parent);
        if (parent == UINT32_MAX)
            continue;
        if (rows[parent].lastChild == UINT32_MAX)
            rows[parent].firstChild = i;
        else
            rows[rows[parent].lastChild].nextSibling = i;
        rows[parent].lastChild = i;
    }
    // Depth first from the key read. Each row has one parent, so what is
    // reached from it is a tree; the depth bound still keeps a damaged
    // volume from sending the walk round a loop through the key itself.
    std::vector<std::pair<std::uint32_t, int>> stack;
    for (std::uint32_t child = rows[topIndex].firstChild; child != UINT32_MAX;
         child = rows[child].nextSibling) {
        stack.emplace_back(child, 1);
    }
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty()) {
        auto [index, depth] = stack.back();
        stack.pop_back();
        const Row& row = rows[index];
        keys_.push_back(KeyEntry{row.id, depth, row.name, row.keyClass, 0, 0});
        if (depth >= kMaxTreeDepth || index == topIndex)
            continue;
        std::size_t mark = stack.size();
        for (std::uint32_t child = row.firstChild; child != UINT32_MAX;
             child = rows[child].nextSibling) {
            stack.emplace_back(child, depth + 1);
        }
        std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
    }
    return ERROR_SUCCESS;
}

LONG KeyTree::Read(HKEY key) {
    Clear();
    DWORD error = device::AccessVolume([&](device::Volume& volume) -> DWORD {
        KeyCache::CallScope call(ProcessKeyCache(), volume);
        std::int64_t top = 0;
        LONG e = ResolveKey(volume, key, &top);
        if (e == ERROR_SUCCESS)
            e = CheckKeyExists(volume, top);
        if (e != ERROR_SUCCESS)
            return static_cast<DWORD>(e);
        // Taken before the read: a commit between the two makes the tree
        // look changed, never the other way round.
        stamp_ = volume.ChangeStamp();
        serial_ = volume.serial();
        return volume.Read([&]() -> DWORD {
            LONG keysRead = ReadKeys(volume, top);
            if (keysRead != ERROR_SUCCESS || keys_.empty())
                return static_cast<DWORD>(keysRead);
            std::vector<std::pair<std::int64_t, std::uint32_t>> byId;
            byId.reserve(keys_.size());
            for (std::uint32_t i = 0; i < keys_.size(); ++i)
                byId.emplace_back(keys_[i].id, i);
            std::sort(byId.begin(), byId.end());

            device::Query values = volume.Prepare(kTreeValues);
            values.Bind(1, byId.front().first).Bind(2, byId.back().first);
            std::vector<ValueEntry> read;
            // A key's values mostly come one after the other.
            std::int64_t lastOwner = 0;
            std::uint32_t lastKey = UINT32_MAX;
            while (values.Step()) {
                std::int64_t owner = values.Int(0);
                if (owner != lastOwner || lastKey == UINT32_MAX) {
                    auto found =
                        std::lower_bound(byId.begin(), byId.end(), owner,
                                         [](const std::pair<std::int64_t, std::uint32_t>& p,
                                            std::int64_t id) { return p.first < id; });
                    lastOwner = owner;
                    lastKey =
                        found != byId.end() && found->first == owner ? found->second : UINT32_MAX;
                }
                if (lastKey == UINT32_MAX)
                    continue;  // a key of another subtree between ours
                ValueEntry entry;
                entry.key = lastKey;
                entry.name = AddText(values.Blob(1));
                entry.type = static_cast<DWORD>(values.Int(2));
                std::span<const BYTE> data = values.Blob(3);
                entry.data = AddData(data);
                entry.dataBytes = static_cast<DWORD>(data.size());
                read.push_back(entry);
                ++keys_[entry.key].valueCount;
            }
            if (values.error() != ERROR_SUCCESS)
                return static_cast<DWORD>(QueryError(values));
            // Grouped by key in the keys' order, each key's values staying
            // in creation order.
            std::uint32_t next = 0;
            for (KeyEntry& entry : keys_) {
                entry.firstValue = next;
                next += entry.valueCount;
            }
            // Keys made one after the other, as most are, leave the values in
            // that order already.
            if (std::is_sorted(
                    read.begin(), read.end(),
                    [](const ValueEntry& a, const ValueEntry& b) { return a.key < b.key; })) {
                values_ = std::move(read);
                return ERROR_SUCCESS;
            }
            std::vector<std::uint32_t> placed(keys_.size(), 0);
            values_.resize(read.size());
            for (const ValueEntry& entry : read)
                values_[keys_[entry.key].firstValue + placed[entry.key]++] = entry;
            return ERROR_SUCCESS;
        });
    });
    if (error != ERROR_SUCCESS) {
        Clear();
        return static_cast<LONG>(error);
    }
    read_ = true;
    return ERROR_SUCCESS;
}

const std::u16string& TreePath::Next(const KeyTree& tree, std::size_t key) {
    auto depth = static_cast<std::size_t>(tree.Depth(key));
    path_.resize(ends_[depth - 1]);
    if (depth > 1)
        path_ += u'\\';
    path_ += tree.Name(key);
    ends_[depth] = path_.size();
    return path_;
}

bool KeyTree::Unchanged() const {
    if (!read_)
        return false;
    DWORD same = device::AccessVolume([&](device::Volume& volume) -> DWORD {
        return volume.serial() == serial_ && volume.ChangeStamp() == stamp_ ? ERROR_SUCCESS
                                                                            : ERROR_BADDB;
    });
    return same == ERROR_SUCCESS;
}

}  // namespace ce::registry
