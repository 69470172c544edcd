#pragma once
// The tables of the object store volume and the marks that make a SQLite
// file ours.

#include <cstdint>
#include <string>

struct sqlite3;

namespace ce::device {

// PRAGMA application_id of every volume ("TSLY").
inline constexpr std::int32_t kVolumeApplicationId = 0x54534C59;
// PRAGMA user_version: the schema this code creates and understands. 2 gave
// the change log its spans; a volume of 1 is upgraded when it is opened.
inline constexpr std::int32_t kVolumeSchemaVersion = 2;

// Registry roots are keys with these fixed identifiers (HKEY_CLASSES_ROOT is
// 1, HKEY_CURRENT_USER 2, HKEY_LOCAL_MACHINE 3, HKEY_USERS 4).
inline constexpr std::int64_t kRegistryRootCount = 4;

// Creates every table in an empty volume and marks it; runs inside the
// caller's transaction. Returns an SQLite result code.
int CreateVolumeSchema(sqlite3* connection);

// Brings a volume of an older schema `version` up to this one; runs inside
// the caller's transaction. Returns an SQLite result code.
int UpgradeVolumeSchema(sqlite3* connection, std::int64_t version);

// Checks that the tables this code uses exist; otherwise names the first
// missing one in `problem`.
bool CheckVolumeSchema(sqlite3* connection, std::string* problem);

}  // namespace ce::device
