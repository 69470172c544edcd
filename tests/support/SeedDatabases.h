#pragma once
// Databases made for a test through the object store, with the sizes and
// contents the list and the commands are checked against.

#include <vector>

#include "platform/objectstore/ObjectStore.h"

namespace test_support {

using ce::CEDBASEINFO;
using ce::CEOID;
using ce::DWORD;
using ce::SORTORDERSPEC;

inline constexpr ce::CEPROPID kSeedBlob = ce::MakePropID(1, ce::CEVT_BLOB);
inline constexpr ce::CEPROPID kSeedText = ce::MakePropID(2, ce::CEVT_LPWSTR);

// A database of `records` records of one text each; or, when `bytes` is not
// 0, of one record whose blob makes the database exactly `bytes` bytes.
CEOID MakeDatabase(const char16_t* name, int records, DWORD type = 0, DWORD bytes = 0,
                   const std::vector<SORTORDERSPEC>& sorts = {});
// Whether a database of that name can be opened.
bool DatabaseExists(const char16_t* name);
// The database's information; all zeros when it cannot be opened.
CEDBASEINFO DatabaseInfo(const char16_t* name);

}  // namespace test_support
