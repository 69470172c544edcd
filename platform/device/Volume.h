#pragma once
// The process's connection to the device's object store volume
// (objectstore.db, SQLite in WAL mode). The object store and the registry
// both live in it.
//
// The volume is opened, and created with its schema, on first use; it is
// closed when the device directory changes. All access goes through
// `AccessVolume`, which serialises the process's threads. A volume that
// cannot be opened (a foreign or damaged file, a device directory that
// cannot be created or written) makes every call fail with a platform error
// code; `CheckVolume` describes the problem in one line.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/core/Types.h"
#include "platform/device/VolumeSpace.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ce::device {

struct SqliteCloser {
    void operator()(sqlite3* connection) const;
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
using SqliteConnection = std::unique_ptr<sqlite3, SqliteCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// The platform error code for an SQLite result code (SQLITE_FULL is
// ERROR_DISK_FULL, a damaged file ERROR_BADDB, ...).
DWORD PlatformErrorFromSqlite(int result);

// Executes one statement that returns at most one integer (into `value`
// when given); returns SQLite's extended result code.
int ExecInt(sqlite3* connection, const char* sql, std::int64_t* value);

// One use of a cached prepared statement: bindings are cleared and the
// statement is reset when the use ends, so that no read stays open.
class Query {
public:
    explicit Query(sqlite3_stmt* statement) : statement_(statement) {}
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int index, std::int64_t value);
    Query& BindBlob(int index, std::span<const BYTE> bytes);
    // As BindBlob without a copy: the bytes must stay until the use ends.
    Query& BindBorrowedBlob(int index, std::span<const BYTE> bytes);
    Query& BindText16(int index, std::u16string_view text);  // as a UTF-16 blob
    Query& BindNull(int index);

    // Steps once: true with a row, false when done. A failure leaves the
    // platform error code in error().
    bool Step();
    // Steps a statement that returns no row; false on failure.
    bool Run();
    DWORD error() const { return error_; }

    std::int64_t Int(int column) const;
    bool IsNull(int column) const;
    std::span<const BYTE> Blob(int column) const;
    std::u16string Text16(int column) const;  // a UTF-16 blob written by BindText16

private:
    sqlite3_stmt* statement_;
    DWORD error_ = 0;
};

class Volume;

// What the writes of a batch leave to be written once, just before each
// commit of the batch's transaction, instead of each on its own: the
// object store's counts, sizes and change-log entries. Installed on the
// volume by the layer that defers them (Volume::deferred).
class DeferredWrites {
public:
    virtual ~DeferredWrites() = default;
    // Whether anything waits to be written.
    virtual bool pending() const = 0;
    // Writes what waits into the open transaction; on failure nothing of it
    // is taken as written (the caller undoes its statements).
    virtual DWORD Flush(Volume& volume) = 0;
    // The batch's transaction is lost: what waits is gone with it, and so
    // is anything reserved in it.
    virtual void Drop() = 0;
    // The batch has ended: reservations kept for it may go.
    virtual void EndBatch() = 0;
};

class Volume {
public:
    Volume(SqliteConnection connection, std::filesystem::path path);
    ~Volume();
    Volume(const Volume&) = delete;
    Volume& operator=(const Volume&) = delete;

    sqlite3* connection() const { return connection_.get(); }

    // A cached prepared statement; `sql` must have static storage duration.
    Query Prepare(const char* sql);

    // Runs `work` as one write transaction (BEGIN IMMEDIATE), waiting while
    // another process writes; a nonzero platform code from `work` rolls the
    // transaction back and is returned. A write that finds the store full
    // is tried once more after the WAL has been folded into the volume and
    // the room measured again (VolumeSpace.h); `work` must therefore only
    // touch the volume, or do again what it did the first time.
    DWORD Write(const std::function<DWORD()>& work);
    // As Write, for a write that frees room (a deletion): it must succeed on
    // a full store, and may pass the volume's cap by a few pages to do so.
    DWORD WriteFreeing(const std::function<DWORD()>& work);
    // As Write, for a write whose only change of the volume is one statement
    // (a failing statement undoes itself) beside reservations that stay
    // valid whatever becomes of it; its other effects it leaves to the
    // volume's DeferredWrites while deferring() is true, and makes them only
    // once nothing in it can fail any more. Inside a write batch such a
    // write needs no savepoint of its own; outside one it is a Write.
    DWORD WriteDeferring(const std::function<DWORD()>& work);
    // True while a WriteDeferring write of a batch runs.
    bool deferring() const { return deferring_; }
    // The volume's deferred writes; installed by their first user.
    DeferredWrites* deferred() const { return deferred_.get(); }
    void SetDeferred(std::unique_ptr<DeferredWrites> deferred) { deferred_ = std::move(deferred); }

    // Runs `work` in one read transaction, for reads that must agree.
    DWORD Read(const std::function<DWORD()>& work);

    // ---- Write batches ------------------------------------------------------
    // Between BeginWriteBatch and EndWriteBatch the writes made through Write
    // and WriteFreeing share transactions instead of committing one by one:
    // each write is still all or nothing (a savepoint, or for WriteDeferring
    // its one statement with the deferred effects written before each
    // commit), and the transaction
    // is committed after kBatchWrites writes or about kBatchBytes of growth
    // (looked at every kGrowthCheckInterval writes), when it has been open
    // for kBatchAge, when the store is short of room (then every write
    // commits, as outside a batch), after a write that frees room (made
    // under locks that must not outlive it), by CommitWriteBatch and at the
    // end. Other
    // processes see the writes only when they are committed, so a batch is
    // for writes that may become visible in any number of steps: filling a
    // database nobody relies on yet. A write that finds the store full
    // commits what the batch holds and is tried once more as a write of its
    // own. Should a transaction be lost (a commit that fails, a failure that
    // ends the transaction), the writes it held are gone: the batch then
    // refuses every further write with that error, and CommitWriteBatch and
    // EndWriteBatch return it. Batches nest; the outermost end commits.
    // The caller holds the volume lock (LockVolume) for the whole batch.
    static constexpr std::size_t kBatchWrites = 8192;
    // The most a batch's transaction grows the volume by: a batch must fit
    // in the room a store that is not short of it has (VolumeSpace.h).
    static constexpr std::int64_t kBatchBytes = 4 << 20;
    static constexpr std::size_t kGrowthCheckInterval = 16;
    static constexpr std::chrono::milliseconds kBatchAge{250};
    void BeginWriteBatch();
    // Commits what the batch holds; its error when writes were lost.
    DWORD CommitWriteBatch();
    DWORD EndWriteBatch();
    bool inWriteBatch() const { return batchDepth_ > 0; }
    // Whether the batch holds writes not yet committed.
    bool batchPending() const { return batchOpen_; }
    // Counts the transactions rolled back after other handles of this process
    // may have seen their writes: what was read from them is stale.
    std::uint64_t rollbacks() const { return rollbacks_; }

    // Changes whenever the volume may have changed since the last call
    // returned the same value: a commit by another connection or by this one.
    std::uint64_t ChangeStamp();

    // Watches the connection's WAL index (the shared memory SQLite keeps
    // for the volume) so that ChangeStamp can tell that nothing was
    // committed without running a statement.
    void WatchWalIndex();

    // Distinguishes this connection from the ones opened before it in this
    // process, so that objects bound to an old volume can tell.
    std::uint64_t serial() const { return serial_; }

private:
    DWORD Transaction(const char* begin, const std::function<DWORD()>& work);
    DWORD WriteMakingRoom(const std::function<DWORD()>& work, bool freeing);
    // Runs a transaction-control statement, retrying while the volume is busy.
    DWORD RunPatiently(const char* sql);
    DWORD BatchedWrite(const std::function<DWORD()>& work, bool freeing, bool deferring);
    std::int64_t PageCount();
    // One write of the batch, opening the transaction first: in a savepoint
    // of its own, after what waits deferred is written, unless `deferring`.
    DWORD BatchAttempt(const std::function<DWORD()>& work, bool deferring);
    // Writes what waits deferred into the batch's transaction, in a
    // savepoint of its own: a failure leaves it all still waiting.
    DWORD FlushDeferred();
    // Commits the batch's transaction; a commit that fails rolls it back,
    // which loses the writes it held.
    DWORD CommitBatchTransaction();
    // The batch's transaction ended with its writes lost through `error`.
    void LoseBatchWrites(DWORD error);

    // The first header of the WAL index, as SQLite's WAL format lays it out:
    // every commit rewrites it (frame count, checksums, salts).
    static constexpr std::size_t kWalIndexHeaderBytes = 48;
    static_assert(kWalIndexHeaderBytes % 8 == 0);

    SqliteConnection connection_;
    std::filesystem::path path_;
    VolumeSpace space_;
    std::unordered_map<const char*, SqliteStatement> statements_;
    std::unique_ptr<DeferredWrites> deferred_;
    bool deferring_ = false;
    // Our own changes of the volume: commits, writes inside a batch, and
    // transactions rolled back after their writes were made.
    std::uint64_t localChanges_ = 0;
    int batchDepth_ = 0;
    bool batchOpen_ = false;  // the batch's transaction is open
    std::size_t batchWrites_ = 0;
    DWORD batchError_ = 0;
    std::chrono::steady_clock::time_point batchStarted_;
    std::int64_t batchStartPages_ = 0;
    std::uint64_t rollbacks_ = 0;
    std::uint64_t serial_;
    // SQLite's own mapping of the WAL index, valid while the connection is.
    const volatile BYTE* walIndex_ = nullptr;
    BYTE lastHeader_[kWalIndexHeaderBytes] = {};
    bool haveLastHeader_ = false;
    std::uint64_t lastLocalChanges_ = 0;
    std::uint64_t lastStamp_ = 0;
};

// Runs `work` with the process's volume, opened on first use, while holding
// the process's volume lock. Returns the volume's platform error code when
// it cannot be opened, else what `work` returns.
DWORD AccessVolume(const std::function<DWORD(Volume&)>& work);

// The lock that serialises the process's use of the volume; platform calls
// that keep their own state beside the volume hold it too.
std::unique_lock<std::recursive_mutex> LockVolume();

// Commits what a write batch of this process holds, if the volume is open
// and not in use by another thread; before the program waits for the user.
void CommitPendingWriteBatch();

// Opens (creating it when needed) and checks the volume. On failure returns
// false and describes the problem in one line in `error`, for example "the
// object store volume /x/objectstore.db is not a Tessaly volume".
bool CheckVolume(std::string* error);

// Closes the process's volume (it reopens on next use). The last connection
// to close folds the WAL into the volume and removes it. A process closes its
// volume when it ends.
void CloseVolume();

}  // namespace ce::device
