#include "regbackup/RegistryPicture.h"

#include <algorithm>
#include <cstring>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"

namespace regbackup {

using ce::registry::KeyTree;

void RegistryPicture::Read(std::span<const ce::HKEY> roots) {
    roots_.clear();
    for (ce::HKEY root : roots) {
        Root& entry = roots_.emplace_back();
        entry.root = root;
        if (entry.tree.Read(root) != ce::ERROR_SUCCESS) {
            roots_.pop_back();
            continue;
        }
        ce::registry::TreePath paths;
        entry.byPath.reserve(entry.tree.KeyCount());
        for (std::size_t i = 0; i < entry.tree.KeyCount(); ++i)
            entry.byPath.emplace(ce::ToLowerWide(paths.Next(entry.tree, i)), i);
    }
}

bool RegistryPicture::Matches(const KeyRecord& record, DWORD largestData) const {
    auto root = std::find_if(roots_.begin(), roots_.end(),
                             [&](const Root& r) { return r.root == record.root; });
    if (root == roots_.end())
        return false;
    auto key = root->byPath.find(ce::ToLowerWide(record.path));
    if (key == root->byPath.end())
        return false;
    const KeyTree& tree = root->tree;
    std::size_t count = tree.ValueCount(key->second);
    if (count != record.values.size())
        return false;
    // Names are unique in a key, so as many values, each named exactly as
    // one of the record's with the same type and data, are the record's.
    for (std::size_t i = 0; i < count; ++i) {
        KeyTree::Value held = tree.ValueAt(key->second, i);
        if (held.data.size() > largestData)
            return false;
        auto same =
            std::find_if(record.values.begin(), record.values.end(), [&](const ValueRecord& v) {
                return v.name == held.name && v.type == held.type && v.size() == held.data.size() &&
                       (v.size() == 0 || std::memcmp(v.data(), held.data.data(), v.size()) == 0);
            });
        if (same == record.values.end())
            return false;
    }
    return tree.Unchanged();
}

}  // namespace regbackup
