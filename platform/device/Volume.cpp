#include "platform/device/Volume.h"

#include <sqlite3.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <thread>

#include "platform/core/ErrorCodes.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/device/VolumeQuota.h"
#include "platform/device/VolumeSchema.h"

namespace ce::device {

void SqliteCloser::operator()(sqlite3* connection) const {
    sqlite3_close_v2(connection);
}
void StatementFinalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

DWORD PlatformErrorFromSqlite(int result) {
    switch (result & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return ERROR_SUCCESS;
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_NOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_SCHEMA:
            return ERROR_BADDB;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
        case SQLITE_AUTH:
            return ERROR_ACCESS_DENIED;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_SHARING_VIOLATION;
        case SQLITE_TOOBIG:
        case SQLITE_RANGE:
            return ERROR_INVALID_PARAMETER;
        case SQLITE_CONSTRAINT:
            return ERROR_ALREADY_EXISTS;
        case SQLITE_IOERR:
            if (result == SQLITE_IOERR_READ || result == SQLITE_IOERR_SHORT_READ) {
                return ERROR_READ_FAULT;
            }
            return ERROR_WRITE_FAULT;
        default:
            return ERROR_GEN_FAILURE;
    }
}

// ---- Query ------------------------------------------------------------------

Query::~Query() {
    if (statement_ == nullptr)
        return;
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Query& Query::Bind(int index, std::int64_t value) {
    if (statement_ == nullptr)
        return *this;
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

namespace {

void BindBlobAs(sqlite3_stmt* statement, int index, std::span<const BYTE> bytes,
                void (*lifetime)(void*)) {
    // A zero-length blob must still bind as a blob, not as NULL.
    static const BYTE kEmpty = 0;
    if (statement == nullptr)
        return;
    sqlite3_bind_blob64(statement, index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(),
                        lifetime);
}

}  // namespace

Query& Query::BindBlob(int index, std::span<const BYTE> bytes) {
    BindBlobAs(statement_, index, bytes, SQLITE_TRANSIENT);
    return *this;
}

Query& Query::BindBorrowedBlob(int index, std::span<const BYTE> bytes) {
    // The bindings are cleared when the use ends (~Query).
    BindBlobAs(statement_, index, bytes, SQLITE_STATIC);
    return *this;
}

Query& Query::BindText16(int index, std::u16string_view text) {
    std::u16string copy(text);
    std::basic_string<BYTE> bytes;
    bytes.reserve(copy.size() * 2);
    for (char16_t c : copy) {
        bytes.push_back(static_cast<BYTE>(c));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return BindBlob(index, std::span<const BYTE>(bytes.data(), bytes.size()));
}

Query& Query::BindNull(int index) {
    if (statement_ == nullptr)
        return *this;
    sqlite3_bind_null(statement_, index);
    return *this;
}

bool Query::Step() {
    if (statement_ == nullptr) {
        error_ = ERROR_BADDB;
        return false;
    }
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        error_ = PlatformErrorFromSqlite(sqlite3_extended_errcode(sqlite3_db_handle(statement_)));
    return false;
}

bool Query::Run() {
    while (Step()) {
    }
    return error_ == ERROR_SUCCESS;
}

std::int64_t Query::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

bool Query::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::span<const BYTE> Query::Blob(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    if (data == nullptr || size <= 0)
        return {};
    return std::span<const BYTE>(static_cast<const BYTE*>(data), static_cast<std::size_t>(size));
}

std::u16string Query::Text16(int column) const {
    std::span<const BYTE> bytes = Blob(column);
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

int ExecInt(sqlite3* connection, const char* sql, std::int64_t* value) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(connection, sql, -1, &raw, nullptr);
    SqliteStatement statement(raw);
    if (rc != SQLITE_OK)
        return sqlite3_extended_errcode(connection);
    rc = sqlite3_step(raw);
    if (rc == SQLITE_ROW) {
        if (value != nullptr)
            *value = sqlite3_column_int64(raw, 0);
        return SQLITE_OK;
    }
    if (rc == SQLITE_DONE)
        return SQLITE_OK;
    return sqlite3_extended_errcode(connection);
}

// ---- Volume -----------------------------------------------------------------

namespace {

// How long a write waits for other processes' writes before it gives up.
// SQLite's busy handler waits in steps inside; this loop only repeats it.
constexpr auto kWriteDeadline = std::chrono::seconds(120);
constexpr int kBusyTimeoutMs = 10000;
// A WAL that a checkpoint has copied into the volume is cut back to this
// when it starts over, so that it stays bounded while the volume is open.
constexpr const char* kWalSizeLimit = "PRAGMA journal_size_limit = 8388608";
// Some builds of SQLite overwrite every freed page with zeros, which makes a
// deletion write as much as it frees and so fail on a full store. Freed
// content is still cleared where that costs no extra writes.
constexpr const char* kFreedPages = "PRAGMA secure_delete = FAST";

bool IsBusy(int rc) {
    return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
}

struct VolumeState {
    std::recursive_mutex mutex;
    std::unique_ptr<Volume> volume;
    std::string problem;  // why the last open failed
    bool hookInstalled = false;
    pid_t opener = 0;  // the process that opened the volume
    std::uint64_t nextSerial = 1;
    int transactionDepth = 0;
};

VolumeState& State() {
    static VolumeState* state = new VolumeState;  // outlives static destructors
    return *state;
}

std::string Describe(const std::string& path, const std::string& what) {
    return "the object store volume " + path + " " + what;
}

// Runs `sql` until it stops reporting a busy volume (or the deadline passes).
int ExecPatiently(sqlite3* connection, const char* sql, std::int64_t* value = nullptr) {
    auto deadline = std::chrono::steady_clock::now() + kWriteDeadline;
    while (true) {
        int rc = ExecInt(connection, sql, value);
        if (!IsBusy(rc) || std::chrono::steady_clock::now() > deadline)
            return rc;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string ErrorText(sqlite3* connection, int rc) {
    const char* message = connection != nullptr ? sqlite3_errmsg(connection) : nullptr;
    return message != nullptr && *message != 0 ? message : sqlite3_errstr(rc);
}

// Settings of SQLite for the whole process, made before its first use (a
// process that used SQLite before keeps SQLite's own). A statement inside a
// transaction keeps what it changes in a statement journal, by default in
// buffers of 64 KB taken from the heap and given back when it ends; where
// such a buffer lies at the top of the heap, the C library returns the
// memory to the system and asks for it again at every statement, which made
// each single write about half again as slow. Our statements change a few
// pages each, so their journals stay in memory in small pieces.
void ConfigureSqlite() {
    sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, -1);
}

// Reads `pragma` again once this connection has the write lock and runs
// `work` with its value in that transaction, committed when it succeeds and
// rolled back otherwise. Returns an SQLite result code.
int UnderWriteLock(sqlite3* connection, const char* pragma,
                   const std::function<int(std::int64_t)>& work) {
    std::int64_t value = 0;
    int rc = ExecPatiently(connection, "BEGIN IMMEDIATE");
    if (rc == SQLITE_OK)
        rc = ExecInt(connection, pragma, &value);
    if (rc == SQLITE_OK)
        rc = work(value);
    if (rc == SQLITE_OK)
        rc = ExecPatiently(connection, "COMMIT");
    if (rc != SQLITE_OK)
        ExecInt(connection, "ROLLBACK", nullptr);
    return rc;
}

// Makes a new file ours, or checks that an existing one is. Returns a
// platform code with `problem` set on failure.
DWORD PrepareVolume(sqlite3* connection, const std::string& path, std::string* problem) {
    std::int64_t applicationId = 0;
    int rc = ExecPatiently(connection, "PRAGMA application_id", &applicationId);
    if (rc != SQLITE_OK) {
        if ((rc & 0xFF) == SQLITE_NOTADB) {
            *problem =
                Describe(path, "is not a Tessaly volume (" + ErrorText(connection, rc) + ")");
        } else {
            *problem = Describe(path, "cannot be read: " + ErrorText(connection, rc));
        }
        return PlatformErrorFromSqlite(rc);
    }
    if (applicationId == 0) {
        std::int64_t objects = 0;
        rc = ExecPatiently(connection, "SELECT count(*) FROM sqlite_schema", &objects);
        if (rc != SQLITE_OK) {
            *problem = Describe(path, "is damaged: " + ErrorText(connection, rc));
            return PlatformErrorFromSqlite(rc);
        }
        if (objects != 0) {
            *problem = Describe(path,
                                "is not a Tessaly volume (it holds another application's "
                                "tables)");
            return ERROR_BADDB;
        }
    } else if (applicationId != kVolumeApplicationId) {
        *problem = Describe(
            path, "is not a Tessaly volume (application id " + std::to_string(applicationId) + ")");
        return ERROR_BADDB;
    }

    std::int64_t unused = 0;
    rc = ExecPatiently(connection, "PRAGMA journal_mode = WAL", &unused);
    if (rc == SQLITE_OK)
        rc = ExecPatiently(connection, "PRAGMA synchronous = NORMAL");
    if (rc == SQLITE_OK)
        rc = ExecPatiently(connection, kWalSizeLimit, &unused);
    if (rc == SQLITE_OK)
        rc = ExecPatiently(connection, kFreedPages, &unused);
    if (rc != SQLITE_OK) {
        *problem = Describe(path, "cannot be opened for writing: " + ErrorText(connection, rc));
        return PlatformErrorFromSqlite(rc);
    }

    if (applicationId == 0) {
        // Two processes may meet a new volume at once: the second one finds
        // the schema made when it gets the write lock.
        rc = UnderWriteLock(connection, "PRAGMA application_id", [&](std::int64_t id) {
            return id == 0 ? CreateVolumeSchema(connection) : SQLITE_OK;
        });
        if (rc != SQLITE_OK) {
            *problem = Describe(path, "cannot be created: " + ErrorText(connection, rc));
            return PlatformErrorFromSqlite(rc);
        }
    }

    std::int64_t version = 0;
    rc = ExecPatiently(connection, "PRAGMA user_version", &version);
    if (rc != SQLITE_OK) {
        *problem = Describe(path, "is damaged: " + ErrorText(connection, rc));
        return PlatformErrorFromSqlite(rc);
    }
    if (version > kVolumeSchemaVersion) {
        *problem = Describe(path, "was written by a newer version of Tessaly (schema " +
                                      std::to_string(version) + ")");
        return ERROR_BADDB;
    }
    std::string missing;
    if (!CheckVolumeSchema(connection, &missing)) {
        *problem = Describe(path, "is damaged: " + missing);
        return ERROR_BADDB;
    }
    if (version < kVolumeSchemaVersion) {
        // As with a new volume, a second process finds it done once it
        // has the write lock.
        rc = UnderWriteLock(connection, "PRAGMA user_version", [&](std::int64_t found) {
            return found < kVolumeSchemaVersion ? UpgradeVolumeSchema(connection, found)
                                                : SQLITE_OK;
        });
        if (rc != SQLITE_OK) {
            *problem = Describe(path, "cannot be upgraded: " + ErrorText(connection, rc));
            return PlatformErrorFromSqlite(rc);
        }
    }
    return ERROR_SUCCESS;
}

void CloseVolumeHook() {
    CloseVolume();
}

// A process that ends closes its volume, so that the last one to go folds
// the WAL in. A thread still inside a call keeps it open, and a forked
// child that exits leaves alone the connection it only inherited.
void CloseVolumeAtExit() {
    VolumeState& state = State();
    std::unique_lock lock(state.mutex, std::try_to_lock);
    if (!lock.owns_lock() || state.transactionDepth != 0)
        return;
    if (state.opener == ::getpid())
        state.volume.reset();
    else
        static_cast<void>(state.volume.release());
}

DWORD OpenVolume(VolumeState& state) {
    if (state.volume)
        return ERROR_SUCCESS;
    if (!state.hookInstalled) {
        ConfigureSqlite();
        AddDeviceChangeHook(&CloseVolumeHook);
        std::atexit(&CloseVolumeAtExit);
        state.hookInstalled = true;
    }
    std::string problem;
    if (!EnsureDevice(&problem)) {
        state.problem = problem;
        return ERROR_ACCESS_DENIED;
    }
    std::string path = VolumePath().string();
    sqlite3* raw = nullptr;
    // The volume lock serialises every use of the connection, so SQLite's
    // own locking is not needed.
    int rc = sqlite3_open_v2(path.c_str(), &raw,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             QuotaVfsName());
    SqliteConnection connection(raw);
    if (rc != SQLITE_OK) {
        state.problem = Describe(path, "cannot be opened: " + ErrorText(raw, rc));
        return PlatformErrorFromSqlite(rc);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    DWORD error = PrepareVolume(raw, path, &state.problem);
    if (error != ERROR_SUCCESS)
        return error;
    state.volume = std::make_unique<Volume>(std::move(connection), path);
    state.opener = ::getpid();
    state.volume->WatchWalIndex();
    state.problem.clear();
    return ERROR_SUCCESS;
}

}  // namespace

Volume::Volume(SqliteConnection connection, std::filesystem::path path)
    : connection_(std::move(connection)), path_(std::move(path)), serial_(State().nextSerial++) {
    space_.Start(connection_.get(), path_);
}

// Closing the connection rolls back a batch's open transaction.
Volume::~Volume() {
    if (batchOpen_)
        --State().transactionDepth;
}

Query Volume::Prepare(const char* sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v3(connection_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw,
                                    nullptr);
        if (rc != SQLITE_OK) {
            // Our statements are fixed texts: failing to prepare one means
            // the volume's schema is not what it should be, and every step
            // of the query reports a damaged volume.
            sqlite3_finalize(raw);
            return Query(nullptr);
        }
        it = statements_.emplace(sql, SqliteStatement(raw)).first;
    }
    return Query(it->second.get());
}

DWORD Volume::RunPatiently(const char* sql) {
    auto deadline = std::chrono::steady_clock::now() + kWriteDeadline;
    while (true) {
        Query query = Prepare(sql);
        if (query.Run())
            return ERROR_SUCCESS;
        int rc = sqlite3_extended_errcode(connection_.get());
        if (!IsBusy(rc) || std::chrono::steady_clock::now() > deadline)
            return query.error();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

DWORD Volume::Transaction(const char* begin, const std::function<DWORD()>& work) {
    VolumeState& state = State();
    if (state.transactionDepth > 0)
        return work();
    DWORD error = RunPatiently(begin);
    if (error != ERROR_SUCCESS)
        return error;
    ++state.transactionDepth;
    DWORD result = ERROR_SUCCESS;
    try {
        result = work();
    } catch (const std::bad_alloc&) {
        result = ERROR_NOT_ENOUGH_MEMORY;
    }
    --state.transactionDepth;
    if (result != ERROR_SUCCESS) {
        Prepare("ROLLBACK").Run();
        return result;
    }
    error = RunPatiently("COMMIT");
    if (error != ERROR_SUCCESS) {
        Prepare("ROLLBACK").Run();
        return error;
    }
    if (std::strcmp(begin, "BEGIN IMMEDIATE") == 0)
        ++localChanges_;
    return ERROR_SUCCESS;
}

DWORD Volume::Write(const std::function<DWORD()>& work) {
    return WriteMakingRoom(work, false);
}

DWORD Volume::WriteFreeing(const std::function<DWORD()>& work) {
    return WriteMakingRoom(work, true);
}

DWORD Volume::WriteDeferring(const std::function<DWORD()>& work) {
    if (batchDepth_ > 0 && State().transactionDepth <= (batchOpen_ ? 1 : 0))
        return BatchedWrite(work, false, true);
    return WriteMakingRoom(work, false);
}

DWORD Volume::WriteMakingRoom(const std::function<DWORD()>& work, bool freeing) {
    if (State().transactionDepth > (batchOpen_ ? 1 : 0))
        return work();  // the outer transaction decides
    if (batchDepth_ > 0)
        return BatchedWrite(work, freeing, false);
    DWORD error = Transaction("BEGIN IMMEDIATE", work);
    if (error == ERROR_DISK_FULL) {
        // The room may be held by the WAL, or the file system may have
        // changed since it was measured.
        VolumeSpace::Checkpoint(connection_.get());
        space_.Measure(connection_.get(), path_, freeing);
        error = Transaction("BEGIN IMMEDIATE", work);
        if (error != ERROR_SUCCESS || freeing) {
            // A failed write leaves its pages in the WAL's file; truncating
            // it gives them back.
            VolumeSpace::Checkpoint(connection_.get());
            space_.Measure(connection_.get(), path_);
        }
    }
    if (error == ERROR_SUCCESS)
        space_.AfterCommit(connection_.get(), path_);
    return error;
}

DWORD Volume::Read(const std::function<DWORD()>& work) {
    return Transaction("BEGIN", work);
}

// ---- Write batches ----------------------------------------------------------

std::int64_t Volume::PageCount() {
    Query query = Prepare("PRAGMA page_count");
    return query.Step() ? query.Int(0) : 0;
}

void Volume::BeginWriteBatch() {
    ++batchDepth_;
}

DWORD Volume::CommitWriteBatch() {
    DWORD error = CommitBatchTransaction();
    return batchError_ != ERROR_SUCCESS ? batchError_ : error;
}

DWORD Volume::EndWriteBatch() {
    if (batchDepth_ == 0)
        return ERROR_SUCCESS;
    if (--batchDepth_ > 0)
        return batchError_;
    DWORD error = CommitWriteBatch();
    batchError_ = ERROR_SUCCESS;
    if (deferred_)
        deferred_->EndBatch();
    return error;
}

void Volume::LoseBatchWrites(DWORD error) {
    if (deferred_)
        deferred_->Drop();
    if (!batchOpen_)
        return;
    batchOpen_ = false;
    --State().transactionDepth;
    if (batchWrites_ > 0) {
        // Handles of this process may have read what is now gone.
        ++rollbacks_;
        ++localChanges_;
        if (batchError_ == ERROR_SUCCESS)
            batchError_ = error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
    }
    batchWrites_ = 0;
}

DWORD Volume::CommitBatchTransaction() {
    if (!batchOpen_)
        return ERROR_SUCCESS;
    if (sqlite3_get_autocommit(connection_.get())) {
        LoseBatchWrites(ERROR_WRITE_FAULT);  // ended without us
        return batchError_;
    }
    // The deferred effects go in last, so that the commit holds each write
    // whole.
    DWORD error = deferred_ && deferred_->pending() ? deferred_->Flush(*this) : ERROR_SUCCESS;
    if (error == ERROR_SUCCESS)
        error = RunPatiently("COMMIT");
    if (error != ERROR_SUCCESS) {
        if (!sqlite3_get_autocommit(connection_.get()))
            Prepare("ROLLBACK").Run();
        LoseBatchWrites(error);
        return batchError_;
    }
    batchOpen_ = false;
    --State().transactionDepth;
    batchWrites_ = 0;
    ++localChanges_;
    // A batch commits far less often than single writes do, and what the
    // next one may write is bounded by the room measured now.
    space_.AfterCommit(connection_.get(), path_);
    if (!space_.shortOfRoom())
        space_.Measure(connection_.get(), path_);
    return ERROR_SUCCESS;
}

DWORD Volume::FlushDeferred() {
    if (!deferred_ || !deferred_->pending())
        return ERROR_SUCCESS;
    if (!Prepare("SAVEPOINT deferred_writes").Run())
        return ERROR_GEN_FAILURE;
    DWORD error = deferred_->Flush(*this);
    if (error == ERROR_SUCCESS) {
        Query release = Prepare("RELEASE deferred_writes");
        if (release.Run())
            return ERROR_SUCCESS;
        error = release.error();
    }
    if (!sqlite3_get_autocommit(connection_.get())) {
        Prepare("ROLLBACK TO deferred_writes").Run();
        Prepare("RELEASE deferred_writes").Run();
    }
    return error;
}

DWORD Volume::BatchAttempt(const std::function<DWORD()>& work, bool deferring) {
    if (batchOpen_ && sqlite3_get_autocommit(connection_.get())) {
        // The transaction ended without us (SQLite rolls back by itself
        // after some I/O errors): a savepoint now would start another one
        // and commit this write alone, over the hole left by the lost ones.
        LoseBatchWrites(ERROR_WRITE_FAULT);
        if (batchError_ != ERROR_SUCCESS)
            return batchError_;
    }
    if (!batchOpen_) {
        DWORD error = RunPatiently("BEGIN IMMEDIATE");
        if (error != ERROR_SUCCESS)
            return error;
        batchOpen_ = true;
        batchWrites_ = 0;
        batchStarted_ = std::chrono::steady_clock::now();
        batchStartPages_ = PageCount();
        ++State().transactionDepth;
    }
    DWORD result = ERROR_SUCCESS;
    if (deferring) {
        // Its one statement is all or nothing by itself, and what it defers
        // is taken only once the statement has succeeded.
        deferring_ = true;
        try {
            result = work();
        } catch (const std::bad_alloc&) {
            result = ERROR_NOT_ENOUGH_MEMORY;
        }
        deferring_ = false;
        if (result == ERROR_SUCCESS) {
            ++batchWrites_;
            ++localChanges_;
        } else if (sqlite3_get_autocommit(connection_.get())) {
            LoseBatchWrites(result);
        }
        return result;
    }
    // A write of any other kind reads and writes the catalogue as SQL has
    // it: what waits deferred is written first.
    result = FlushDeferred();
    if (result != ERROR_SUCCESS) {
        if (sqlite3_get_autocommit(connection_.get()))
            LoseBatchWrites(result);
        return result;
    }
    result = Prepare("SAVEPOINT batched_write").Run() ? ERROR_SUCCESS : ERROR_GEN_FAILURE;
    if (result == ERROR_SUCCESS) {
        try {
            result = work();
        } catch (const std::bad_alloc&) {
            result = ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    if (result == ERROR_SUCCESS) {
        Query release = Prepare("RELEASE batched_write");
        if (!release.Run())
            result = release.error();
    }
    if (result == ERROR_SUCCESS) {
        ++batchWrites_;
        ++localChanges_;
        return ERROR_SUCCESS;
    }
    // SQLite may have ended the whole transaction itself (a full store, an
    // I/O error); otherwise only this write is undone.
    if (sqlite3_get_autocommit(connection_.get())) {
        LoseBatchWrites(result);
    } else if (!Prepare("ROLLBACK TO batched_write").Run() ||
               !Prepare("RELEASE batched_write").Run()) {
        Prepare("ROLLBACK").Run();
        LoseBatchWrites(result);
    }
    return result;
}

DWORD Volume::BatchedWrite(const std::function<DWORD()>& work, bool freeing, bool deferring) {
    if (batchError_ != ERROR_SUCCESS)
        return batchError_;
    DWORD error = BatchAttempt(work, deferring);
    if (error == ERROR_DISK_FULL && batchError_ == ERROR_SUCCESS) {
        // As a write of its own would: keep what the batch holds, make room
        // and try once more.
        error = CommitBatchTransaction();
        if (error != ERROR_SUCCESS)
            return error;
        VolumeSpace::Checkpoint(connection_.get());
        space_.Measure(connection_.get(), path_, freeing);
        error = BatchAttempt(work, deferring);
        if (error == ERROR_SUCCESS)
            error = CommitBatchTransaction();
        if (error != ERROR_SUCCESS || freeing) {
            VolumeSpace::Checkpoint(connection_.get());
            space_.Measure(connection_.get(), path_);
        }
        return error;
    }
    if (error != ERROR_SUCCESS)
        return error;
    // The growth is looked at every few writes: a statement of its own.
    bool grown = batchWrites_ % kGrowthCheckInterval == 0 &&
                 (PageCount() - batchStartPages_) * space_.pageSize() >= kBatchBytes;
    bool old = std::chrono::steady_clock::now() - batchStarted_ >= kBatchAge;
    // A write that frees room is often made under a lock that must not be
    // let go before it is committed (a database's deletion).
    if (freeing || batchWrites_ >= kBatchWrites || space_.shortOfRoom() || grown || old)
        return CommitBatchTransaction();
    return ERROR_SUCCESS;
}

void Volume::WatchWalIndex() {
    // The mapping is asked of the connection's own file, never opened
    // again: closing a second descriptor of the file would drop SQLite's
    // locks on it.
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(connection_.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) !=
            SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
        file->pMethods->xShmMap == nullptr) {
        return;  // ChangeStamp then asks SQLite every time
    }
    void volatile* region = nullptr;
    constexpr int kWalIndexPageBytes = 32768;
    if (file->pMethods->xShmMap(file, 0, kWalIndexPageBytes, 0, &region) == SQLITE_OK) {
        walIndex_ = static_cast<const volatile BYTE*>(region);
    }
}

std::uint64_t Volume::ChangeStamp() {
    BYTE header[kWalIndexHeaderBytes];
    bool watched = walIndex_ != nullptr;
    if (watched) {
        std::atomic_thread_fence(std::memory_order_acquire);
        // Eight bytes at a time: the header is read on every call into the
        // store, and the shared memory is page aligned.
        const auto* words = reinterpret_cast<const volatile std::uint64_t*>(walIndex_);
        for (std::size_t i = 0; i < kWalIndexHeaderBytes / 8; ++i) {
            std::uint64_t word = words[i];
            std::memcpy(header + 8 * i, &word, 8);
        }
        // An unchanged header means no connection committed since it was
        // last read; a torn read only sends us the slow way.
        if (haveLastHeader_ && localChanges_ == lastLocalChanges_ &&
            std::memcmp(header, lastHeader_, sizeof header) == 0) {
            return lastStamp_;
        }
    }
    std::int64_t dataVersion = 0;
    {
        Query query = Prepare("PRAGMA data_version");
        dataVersion = query.Step() ? query.Int(0) : -1;
    }
    // Our own commits do not change data_version; count them beside it.
    std::uint64_t stamp = (static_cast<std::uint64_t>(dataVersion) << 32) ^ localChanges_;
    if (watched && dataVersion >= 0) {
        std::memcpy(lastHeader_, header, sizeof header);  // read before the pragma
        haveLastHeader_ = true;
        lastLocalChanges_ = localChanges_;
        lastStamp_ = stamp;
    }
    return stamp;
}

DWORD AccessVolume(const std::function<DWORD(Volume&)>& work) {
    VolumeState& state = State();
    std::lock_guard lock(state.mutex);
    DWORD error = OpenVolume(state);
    if (error != ERROR_SUCCESS)
        return error;
    try {
        return work(*state.volume);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

std::unique_lock<std::recursive_mutex> LockVolume() {
    return std::unique_lock<std::recursive_mutex>(State().mutex);
}

void CommitPendingWriteBatch() {
    VolumeState& state = State();
    std::unique_lock lock(state.mutex, std::try_to_lock);
    if (lock.owns_lock() && state.volume && state.volume->batchPending())
        state.volume->CommitWriteBatch();
}

bool CheckVolume(std::string* error) {
    VolumeState& state = State();
    std::lock_guard lock(state.mutex);
    if (OpenVolume(state) == ERROR_SUCCESS)
        return true;
    if (error != nullptr)
        *error = state.problem;
    return false;
}

void CloseVolume() {
    VolumeState& state = State();
    std::lock_guard lock(state.mutex);
    state.volume.reset();
}

}  // namespace ce::device
