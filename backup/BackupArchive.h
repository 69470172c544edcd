#pragma once
// One backup archive being written (backup, Autobackup) or read (restore).
// It owns the open archive file, the codec of a compressed archive and the
// Autobackup script being written, and reports every failure of these to
// the user itself, once, through the message boxes (none when the program
// runs silently). The byte layouts are in ArchiveFormat.h and ScriptFile.h.
//
// Writing, in this order: CreateCodec (compressed archives), AttachFile,
// BeginArchive, [StartScript], then per database BeginDatabaseBlock,
// WriteRecord for each record, FinishDatabaseBlock (after a complete
// record walk), [AppendScriptEntry]; at the end FinishArchive and
// [FinishScript].
//
// Reading: OpenArchiveFile (header, password, codec), then either the
// catalogue walk, or per block ReadDatabaseHeader, ReadRecord wNumRecords
// times, AdvanceToNextBlock.
//
// The operations the commands use are built from these: OpenForBackup,
// BackupDatabase per database and FinishBackup (BackupOperations.cpp);
// RunAutobackup (Autobackup.cpp); OpenForRestore and RestoreSelected
// (RestoreOperations.cpp).

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReading.h"
#include "backup/LzwCodec.h"
#include "platform/core/Types.h"
#include "platform/core/UniqueResource.h"

namespace ui {
class ProgressWindow;
}
namespace store {
class Database;
}

namespace backup {

class CodecWorker;

using ce::HWND;
using ce::UINT;

// The questions a restore asks about a database that already exists. They
// are the browser's dialogs ("Database Exists" and the name dialog), which
// the caller hands in; without them an existing database is overwritten.
enum class ExistsAnswer { Rename, Overwrite, Cancel };
using DatabaseName = WCHAR[ce::CEDB_MAXDBASENAMELEN];
struct ExistsQuestions {
    ExistsAnswer (*askExists)(const WCHAR* name, HWND owner) = nullptr;
    // The new name for a database restored beside the existing one; false
    // when the user gave none.
    bool (*askNewName)(const WCHAR* name, DatabaseName& target, HWND owner) = nullptr;
};

// One row of the restore dialog's catalogue.
struct CatalogueEntry {
    DWORD position = 0;  // file offset of the database block
    DatabaseHeader header;
};

class BackupArchive {
public:
    BackupArchive();
    virtual ~BackupArchive();
    BackupArchive(const BackupArchive&) = delete;
    BackupArchive& operator=(const BackupArchive&) = delete;

    // ---- Backup -------------------------------------------------------------
    // Starts a backup into `fileName` (none: the user is asked): the Backup
    // Options dialog when `showOptions` and dialogs are shown, the codec,
    // the file (asking before an existing one is replaced), the header, the
    // script and the progress window. False, with the reason shown, when no
    // backup can be made; an archive file it created is removed again.
    bool OpenForBackup(HWND owner, bool showOptions, const WCHAR* fileName);
    // Appends one database block. A block whose record walk fails or is
    // cancelled is cut off again, so that the archive holds whole blocks
    // only and the header counts them; a record that cannot be read is
    // passed over and the block's header counts the records stored.
    bool BackupDatabase(const WCHAR* name);
    // Writes the final header and closes the archive and the script; false
    // when the header could not be written (string 75 shown), and the
    // broken archive is then removed.
    bool FinishBackup();
    // Whether every database given to BackupDatabase was stored.
    bool backupComplete() const { return backupComplete_; }
    // The progress window of the backup or restore running (none: nullptr).
    HWND progressWindow() const;

    // ---- Autobackup -----------------------------------------------------
    // Runs the Autobackup script named by the settings. The new archive is
    // written beside the one named in the script and takes its place only
    // when the whole run succeeded, so a failed run leaves the previous
    // archive as it was.
    bool RunAutobackup(HWND owner);

    // ---- Restore ------------------------------------------------------------
    void SetExistsQuestions(const ExistsQuestions& questions) { questions_ = questions; }
    // Opens the archive (none: the user is asked), asks its password, and
    // runs the restore dialog (or, without dialogs, restores everything).
    // False when the archive was never opened or the password refused.
    bool OpenForRestore(HWND owner, const WCHAR* fileName);
    // Restores the databases chosen in the restore dialog's list (every one
    // without a dialog). A database that exists and is overwritten is
    // replaced only once its new records are all in; one refilled in place
    // keeps its old records until then. False when the restore stopped.
    bool RestoreSelected(HWND dialog);
    // Whether the last restore restored every database chosen (none passed
    // over by an answer, none failed).
    bool restoreComplete() const { return restoreComplete_; }

    // ---- Choices and state ----------------------------------------------
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND owner() const { return owner_; }
    void SetCompress(bool on) { compress_ = on; }
    bool compress() const { return compress_; }
    void SetAllDatabases(bool on) { allDatabases_ = on; }
    bool allDatabases() const { return allDatabases_; }
    void SetMakeScript(bool on) { makeScript_ = on; }
    bool makeScript() const { return makeScript_; }
    // Protects the archive with a password given in plain form (at most 19
    // units are kept); an empty one removes the protection. Only the
    // stored form is kept.
    void SetPassword(std::u16string_view plain);
    // Takes a password already in stored form (an Autobackup script's).
    void SetStoredPassword(const WCHAR (&stored)[kPasswordUnits]);
    bool passwordSet() const { return passwordSet_; }
    const WCHAR* storedPassword() const { return password_; }

    const ArchiveHeader& header() const { return header_; }
    DWORD position() const { return position_; }
    void SetPosition(DWORD position) { position_ = position; }
    DWORD writtenCount() const { return writtenCount_; }
    HANDLE file() const { return file_.get(); }
    const WCHAR* archiveName() const { return archiveName_; }
    LzwCodec* codec() const { return codec_.get(); }

    // Creates the codec and reserves its work area; false (nothing shown,
    // the caller reports it) when memory runs out.
    bool CreateCodec();
    void DestroyCodec() { codec_.reset(); }

    // ---- Writing ------------------------------------------------------------
    // Adopts an archive file just created for writing, with the name it was
    // created under (the Autobackup script remembers it).
    void AttachFile(HANDLE file, const WCHAR* name);
    // Writes the archive header with count 0 (and the password block); the
    // first database block goes after them. False after string 75.
    bool BeginArchive();
    // Writes the archive header (count = written count, compressed and
    // password from the choices) and the password block at offset 0; false
    // after string 75.
    bool WriteArchiveHeader();
    // Starts the database block at the current position with the database's
    // description and the backup time: the header with next-block offset 0
    // (uncompressed), or room for the prefix and the compressed header.
    // False after string 75, or after the out-of-memory message when the
    // header does not compress.
    bool BeginDatabaseBlock(const ce::CEDBASEINFO& info, const ce::SYSTEMTIME& storedAt);
    // Appends one record image (relative record form) of `propertyCount`
    // properties, compressed when the archive is. False after string 75 or
    // the out-of-memory message.
    bool WriteRecord(WORD propertyCount, const BYTE* image, DWORD length);
    // Appends a record whose body (the image, compressed when the archive
    // is) is made already.
    bool WriteRecordBody(WORD propertyCount, const BYTE* body, DWORD bodyLength);
    // Completes the block after its last record: rewrites the header with
    // the next-block offset (uncompressed) or writes the block prefix
    // (compressed), and moves the current position past the block. False
    // after string 75.
    bool FinishDatabaseBlock();
    // Counts a database as written (whether or not its record walk ended).
    void CountWrittenDatabase() { ++writtenCount_; }
    // Where the next byte of the open block goes, and its records so far.
    DWORD writePosition() const { return writePosition_; }
    DWORD recordsWritten() const { return recordSequence_; }
    // Rewrites the header with the final count (a failure shows string 75
    // and is otherwise ignored), closes the file and destroys the codec.
    void FinishArchive();
    // Closes the archive file if open.
    void CloseFile();

    // ---- Autobackup script ----------------------------------------------
    // None of these fails the backup: a script that cannot be written shows
    // string 95, is closed and deleted, and make script goes off.
    void StartScript(const WCHAR* scriptName);
    void AppendScriptEntry(const WCHAR* databaseName);
    void FinishScript();
    bool scriptOpen() const { return static_cast<bool>(scriptFile_); }

    // ---- Reading ------------------------------------------------------------
    // Opens an archive for reading, reads its header and password block and
    // creates the codec of a compressed archive. False after string 77
    // (cannot open or read), string 85 (no codec) or the out-of-memory
    // message (no work area for it).
    bool OpenArchiveFile(const WCHAR* name);
    // Reads the archive header and password block from offset 0 into the
    // object; false after string 77.
    bool ReadArchiveHeader();
    // Reads the database header of the block at the current position; the
    // file is then at its first record. False after string 77, or string 85
    // for a compressed header that cannot be unpacked.
    bool ReadDatabaseHeader(DatabaseHeader& header);
    // Reads the next record of the block; `target` names the database in the
    // messages. False after string 82 (short), string 83 (no memory) or the
    // out-of-memory message (does not decompress).
    bool ReadRecord(ArchiveRecord& record, const WCHAR* target);
    // The same through an input that walks the block (ArchiveReading.h).
    bool ReadRecord(ArchiveInput& input, ArchiveRecord& record, const WCHAR* target);
    // The message of a record that could not be read.
    void ReportRecordRead(RecordRead result, const WCHAR* target);
    // Moves the current position to the block after the one whose header
    // this is. Blocks only ever follow each other, so an offset that does
    // not lead forward is corruption: false after string 77.
    bool AdvanceToNextBlock(const DatabaseHeader& header);
    // Reads every database header from the first block on; false (the walk
    // fails whole) after the message of the header that could not be read.
    bool WalkCatalogue(std::vector<CatalogueEntry>& rows);

    // Cuts the archive off at the current position (the start of the block
    // being written), dropping an unfinished block.
    bool DiscardDatabaseBlock();

private:
    struct RestoreTarget;
    bool CreateArchiveFile(const WCHAR* fileName);
    bool WalkRecords(store::Database& database, const WCHAR* name, WORD records);
    // Writes the records the worker has compressed: those ready, or with
    // `all` every one it holds. False after the message of what failed.
    bool WriteCompressed(CodecWorker& worker, bool all);
    bool RestoreBlock(const DatabaseHeader& header, bool& passedOver);
    bool CreateTemporary(RestoreTarget& target, const ce::CEDBASEINFO& info);
    // Writes the block's records into the target in write batches; false
    // after the message of what failed.
    bool ReadRecordsInto(RestoreTarget& target, WORD records);
    bool FillFromArchive(RestoreTarget& target, WORD records);
    // The same with the records decompressed on the worker's thread.
    bool FillUnpacking(RestoreTarget& target, WORD records, CodecWorker& worker);
    // Writes the records the worker has decompressed into the target: those
    // ready, or with `all` every one it holds. False after the message of
    // what failed.
    bool WriteUnpacked(RestoreTarget& target, CodecWorker& worker, bool all);
    // Moves the restore's progress on a record; false when it was cancelled.
    bool ProgressGoesOn(const WCHAR* name);
    // Writes one record image into the target; false after its message.
    bool WriteImage(RestoreTarget& target, WORD propertyCount, std::span<const BYTE> image);
    bool FillTarget(RestoreTarget& target, const DatabaseHeader& header);
    bool ReplaceExisting(RestoreTarget& target, const DatabaseHeader& header, bool& passedOver);
    bool RefillInPlace(RestoreTarget& target);
    void Report(UINT id);
    void ReportOutOfMemory();
    void AbandonScript();
    // Writes at `offset` after what is pending; false after string 75.
    bool WriteAt(DWORD offset, const void* bytes, DWORD length);
    // Writes at `offset` through the pending bytes, which a block's header
    // and records fill in file order; false after string 75.
    bool Append(DWORD offset, const void* bytes, DWORD length);
    bool FlushPending();

    HWND owner_ = nullptr;
    ce::UniqueHandle file_;
    ArchiveHeader header_;
    DWORD position_ = 0;
    DWORD writtenCount_ = 0;
    std::unique_ptr<LzwCodec> codec_;
    bool compress_ = true;
    bool allDatabases_ = false;
    bool makeScript_ = false;
    ce::UniqueHandle scriptFile_;
    WCHAR password_[kPasswordUnits] = {};
    bool passwordSet_ = false;
    std::unique_ptr<ui::ProgressWindow> progress_;
    ExistsQuestions questions_;
    bool backupComplete_ = true;
    bool restoreComplete_ = false;
    // Autobackup writes the archive beside the one it replaces.
    bool writeBeside_ = false;
    // The file actually written: the archive, or the one beside it.
    WCHAR writtenName_[ce::MAX_PATH] = {};

    WCHAR archiveName_[ce::MAX_PATH] = {};
    WCHAR scriptName_[ce::MAX_PATH] = {};
    // The database block being written.
    DatabaseHeader block_;
    DWORD writePosition_ = 0;
    DWORD compressedHeaderLength_ = 0;
    DWORD recordSequence_ = 0;
    // Bytes of the open block not yet in the file, which go from `pendingAt_`
    // on: writing them a few dozen kilobytes at a time saves a seek and two
    // writes per record.
    static constexpr std::size_t kPendingBytes = 64 * 1024;
    std::vector<BYTE> pending_;
    DWORD pendingAt_ = 0;
};

// The catalogue's size column: "%d.%02dKB" of the database's size.
std::u16string CatalogueSizeText(const DatabaseHeader& header);
// The information line of the restore dialog for one block (strings 93 and
// 94): size, backup date and time without seconds, record count.
std::u16string CatalogueInformation(const DatabaseHeader& header, bool compressed);

}  // namespace backup
