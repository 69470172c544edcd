#include "platform/device/VolumeSchema.h"

#include <sqlite3.h>

#include <string>

#include "platform/device/Volume.h"

namespace ce::device {
namespace {

// Texts (names, classes) are stored as UTF-16LE blobs so that every unit,
// unpaired surrogates included, comes back as written. name_key holds the
// name lower-cased unit by unit, for case-insensitive uniqueness. Registry
// key identifiers are never reused, so that a handle to a deleted key never
// reaches a newer one. A row of the change log stands for `span` changes of
// one kind and origin to the records record .. record + span - 1, numbered
// seq - span + 1 .. seq: a batch that creates many records in a row logs
// them as one row.
constexpr const char* kSchema = R"sql(
CREATE TABLE volume_counters(
    name TEXT PRIMARY KEY,
    value INTEGER NOT NULL
) WITHOUT ROWID;
INSERT INTO volume_counters(name, value) VALUES('next_oid', 1);

CREATE TABLE databases(
    oid INTEGER PRIMARY KEY,
    name BLOB NOT NULL,
    name_key BLOB NOT NULL UNIQUE,
    type INTEGER NOT NULL,
    sort_orders BLOB NOT NULL,
    record_count INTEGER NOT NULL DEFAULT 0,
    size INTEGER NOT NULL DEFAULT 0,
    modified INTEGER NOT NULL,
    version INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE records(
    oid INTEGER PRIMARY KEY,
    db INTEGER NOT NULL,
    props BLOB NOT NULL
);
CREATE INDEX records_by_db ON records(db);

CREATE TABLE changes(
    seq INTEGER PRIMARY KEY,
    db INTEGER NOT NULL,
    record INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    origin INTEGER NOT NULL,
    span INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE registry_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    name_key BLOB NOT NULL,
    class BLOB NOT NULL,
    modified INTEGER NOT NULL
);
CREATE UNIQUE INDEX registry_keys_by_name ON registry_keys(parent, name_key);
CREATE INDEX registry_keys_by_parent ON registry_keys(parent);
INSERT INTO registry_keys(id, parent, name, name_key, class, modified)
    VALUES (1, 0, x'', x'01', x'', 0), (2, 0, x'', x'02', x'', 0),
           (3, 0, x'', x'03', x'', 0), (4, 0, x'', x'04', x'', 0);

CREATE TABLE registry_values(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    name_key BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL
);
CREATE UNIQUE INDEX registry_values_by_name ON registry_values(key, name_key);
CREATE INDEX registry_values_by_key ON registry_values(key);
)sql";

constexpr const char* kTables[] = {"volume_counters", "databases",     "records",
                                   "changes",         "registry_keys", "registry_values"};

}  // namespace

int CreateVolumeSchema(sqlite3* connection) {
    int rc = sqlite3_exec(connection, kSchema, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    std::string marks = "PRAGMA application_id = " + std::to_string(kVolumeApplicationId) +
                        "; PRAGMA user_version = " + std::to_string(kVolumeSchemaVersion) + ";";
    return sqlite3_exec(connection, marks.c_str(), nullptr, nullptr, nullptr);
}

int UpgradeVolumeSchema(sqlite3* connection, std::int64_t version) {
    int rc = SQLITE_OK;
    if (version < 2) {
        rc = sqlite3_exec(connection,
                          "ALTER TABLE changes ADD COLUMN span INTEGER NOT NULL DEFAULT 1", nullptr,
                          nullptr, nullptr);
    }
    if (rc != SQLITE_OK)
        return rc;
    std::string mark = "PRAGMA user_version = " + std::to_string(kVolumeSchemaVersion);
    return sqlite3_exec(connection, mark.c_str(), nullptr, nullptr, nullptr);
}

bool CheckVolumeSchema(sqlite3* connection, std::string* problem) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(
        connection, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?", -1,
        &raw, nullptr);
    SqliteStatement statement(raw);
    if (rc != SQLITE_OK) {
        *problem = sqlite3_errmsg(connection);
        return false;
    }
    for (const char* table : kTables) {
        sqlite3_reset(raw);
        sqlite3_bind_text(raw, 1, table, -1, SQLITE_STATIC);
        if (sqlite3_step(raw) != SQLITE_ROW) {
            *problem = sqlite3_errmsg(connection);
            return false;
        }
        if (sqlite3_column_int(raw, 0) != 1) {
            *problem = std::string("the table ") + table + " is missing";
            return false;
        }
    }
    return true;
}

}  // namespace ce::device
