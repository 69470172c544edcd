#include "platform/objectstore/BatchedEffects.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/core/ErrorCodes.h"
#include "platform/objectstore/DatabaseCatalogue.h"
#include "platform/objectstore/HandleLocks.h"
#include "platform/objectstore/Notifications.h"

namespace ce::objectstore {

BatchedEffects& BatchedEffects::Of(device::Volume& volume) {
    if (volume.deferred() == nullptr)
        volume.SetDeferred(std::make_unique<BatchedEffects>());
    return *static_cast<BatchedEffects*>(volume.deferred());
}

const BatchedEffects* BatchedEffects::Waiting(const device::Volume& volume) {
    const auto* effects = static_cast<const BatchedEffects*>(volume.deferred());
    return effects != nullptr && effects->pending() ? effects : nullptr;
}

DWORD BatchedEffects::TakeOid(device::Volume& volume, CEOID* oid) {
    if (next_ >= end_) {
        device::Query query = volume.Prepare(
            "UPDATE volume_counters SET value = value + ? WHERE name = 'next_oid' "
            "RETURNING value - ?");
        query.Bind(1, kOidBlock).Bind(2, kOidBlock);
        if (!query.Step())
            return query.error() != ERROR_SUCCESS ? query.error() : ERROR_BADDB;
        std::int64_t first = query.Int(0);
        if (first <= 0 || first > kMaxLockableOid)
            return ERROR_DISK_FULL;
        next_ = first;
        end_ = std::min<std::int64_t>(first + kOidBlock, std::int64_t{kMaxLockableOid} + 1);
    }
    *oid = static_cast<CEOID>(next_++);
    return ERROR_SUCCESS;
}

DWORD BatchedEffects::Prepare(device::Volume& volume, CEOID database, int countDelta) {
    auto it = databases_.find(database);
    if (it == databases_.end()) {
        device::Query query = volume.Prepare(
            "SELECT record_count, size, version, modified FROM databases WHERE oid = ?");
        query.Bind(1, database);
        if (!query.Step())
            return query.error() != ERROR_SUCCESS ? query.error() : ERROR_INVALID_HANDLE;
        Counts counts;
        counts.recordCount = query.Int(0);
        counts.size = query.Int(1);
        counts.version = query.Int(2);
        counts.modified = static_cast<std::uint64_t>(query.Int(3));
        it = databases_.emplace(database, counts).first;
    }
    if (it->second.recordCount + countDelta > static_cast<std::int64_t>(CEDB_MAXNUMRECORDS))
        return ERROR_DISK_FULL;
    if (changes_.size() == changes_.capacity())
        changes_.reserve(std::max<std::size_t>(64, changes_.capacity() * 2));
    return ERROR_SUCCESS;
}

std::int64_t BatchedEffects::Account(CEOID database, int countDelta, std::int64_t sizeDelta,
                                     CEOID record, UINT message, std::int64_t origin) {
    Counts& counts = databases_[database];  // there since Prepare
    counts.recordCount += countDelta;
    counts.size = std::max<std::int64_t>(0, counts.size + sizeDelta);
    counts.modified = NowFileTime();
    ++counts.version;
    counts.touched = true;
    changes_.push_back({database, record, message, origin});  // room made by Prepare
    return counts.version;
}

void BatchedEffects::Overlay(DatabaseRow* row) const {
    auto it = databases_.find(row->oid);
    if (it == databases_.end() || !it->second.touched)
        return;
    row->recordCount = static_cast<DWORD>(it->second.recordCount);
    row->size = static_cast<std::uint64_t>(it->second.size);
    row->modified = it->second.modified;
    row->version = it->second.version;
}

void BatchedEffects::Overlay(CEOID database, std::int64_t* version, std::int64_t* size) const {
    auto it = databases_.find(database);
    if (it == databases_.end() || !it->second.touched)
        return;
    *version = it->second.version;
    *size = it->second.size;
}

namespace {

// Change-log rows written by one statement.
constexpr std::size_t kRowsPerInsert = 32;
constexpr int kColumns = 6;

// "INSERT INTO changes(...) VALUES (...), ... (...)" for `rows` rows; the
// text lives as long as the program, as cached statements need.
const char* InsertChangesSql(std::size_t rows) {
    static std::string texts[kRowsPerInsert + 1];
    std::string& text = texts[rows];
    if (text.empty()) {
        text = "INSERT INTO changes(seq, db, record, kind, origin, span) VALUES ";
        for (std::size_t i = 0; i < rows; ++i)
            text += i == 0 ? "(?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?)";
    }
    return text.c_str();
}

}  // namespace

DWORD BatchedEffects::WriteChanges(device::Volume& volume) {
    // The entries take the numbers one insert after the other would have
    // given them; those the log would drop at once by the end are not
    // written at all. Entries of one kind and origin for records that
    // follow one another (a run of creations) share a row.
    std::int64_t first = 0;
    {
        device::Query newest = volume.Prepare("SELECT coalesce(max(seq), 0) FROM changes");
        if (!newest.Step())
            return newest.error() != ERROR_SUCCESS ? newest.error() : ERROR_BADDB;
        first = newest.Int(0) + 1;
    }
    auto last = first + static_cast<std::int64_t>(changes_.size()) - 1;
    std::int64_t dropped = TrimmedThrough(first, last);
    std::size_t at = dropped >= first ? static_cast<std::size_t>(dropped - first + 1) : 0;
    while (at < changes_.size()) {
        // The runs of one statement: each row's first entry, then its end.
        std::size_t starts[kRowsPerInsert + 1];
        std::size_t rows = 0;
        for (starts[0] = at; rows < kRowsPerInsert && starts[rows] < changes_.size(); ++rows)
            starts[rows + 1] = RunEnd(starts[rows]);
        device::Query insert = volume.Prepare(InsertChangesSql(rows));
        for (std::size_t row = 0; row < rows; ++row) {
            const Change& change = changes_[starts[row]];
            std::size_t end = starts[row + 1];
            int column = static_cast<int>(row) * kColumns;
            insert.Bind(column + 1, first + static_cast<std::int64_t>(end - 1))
                .Bind(column + 2, change.database)
                .Bind(column + 3, change.record)
                .Bind(column + 4, change.message)
                .Bind(column + 5, change.origin)
                .Bind(column + 6, static_cast<std::int64_t>(end - starts[row]));
        }
        if (!insert.Run())
            return insert.error();
        at = starts[rows];
    }
    return TrimChanges(volume, first, last);
}

std::size_t BatchedEffects::RunEnd(std::size_t at) const {
    const Change& start = changes_[at];
    std::size_t end = at + 1;
    while (end < changes_.size()) {
        const Change& next = changes_[end];
        if (next.database != start.database || next.message != start.message ||
            next.origin != start.origin ||
            next.record != start.record + static_cast<CEOID>(end - at)) {
            break;
        }
        ++end;
    }
    return end;
}

DWORD BatchedEffects::Flush(device::Volume& volume) {
    for (const auto& [oid, counts] : databases_) {
        if (!counts.touched)
            continue;
        device::Query update = volume.Prepare(
            "UPDATE databases SET record_count = ?, size = ?, modified = ?, version = ? "
            "WHERE oid = ?");
        update.Bind(1, counts.recordCount)
            .Bind(2, counts.size)
            .Bind(3, static_cast<std::int64_t>(counts.modified))
            .Bind(4, counts.version)
            .Bind(5, oid);
        if (!update.Run())
            return update.error();
    }
    if (!changes_.empty()) {
        DWORD error = WriteChanges(volume);
        if (error != ERROR_SUCCESS)
            return error;
    }
    // What other writes change from now on is what SQL has.
    databases_.clear();
    changes_.clear();
    return ERROR_SUCCESS;
}

void BatchedEffects::Drop() {
    databases_.clear();
    changes_.clear();
    next_ = end_ = 0;
}

void BatchedEffects::EndBatch() {
    next_ = end_ = 0;
}

}  // namespace ce::objectstore
