#pragma once
// What the registry holds under the roots a restore goes through, read in
// one pass per root, so that a record whose key already equals it is known
// to match without a registry call per value. The picture only ever says
// "matches" when the registry cannot have changed since it was taken (any
// commit, by this restore or another process, ends its use) and the key
// holds exactly the record's values; in every other case the caller
// compares through the registry calls as before.

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry/KeyTree.h"
#include "regbackup/RegistryBackupFile.h"

namespace regbackup {

class RegistryPicture {
public:
    // Reads the roots; one that cannot be read is left out.
    void Read(std::span<const ce::HKEY> roots);
    // True when the registry holds the record's key with exactly its values
    // (names, types and data), larger than none of `largestData` bytes, and
    // nothing was committed since Read.
    bool Matches(const KeyRecord& record, DWORD largestData) const;

private:
    struct Root {
        ce::HKEY root = 0;
        ce::registry::KeyTree tree;
        // Key paths in lower case, as the registry compares them.
        std::unordered_map<std::u16string, std::size_t> byPath;
    };
    std::vector<Root> roots_;
};

}  // namespace regbackup
