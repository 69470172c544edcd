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

#include <memory>
#include <string>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReading.h"
#include "backup/LzwCodec.h"
#include "platform/core/Types.h"
#include "platform/core/UniqueResource.h"

namespace backup {

using ce::HWND;
using ce::UINT;

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
    // Moves the current position to the block after the one whose header
    // this is. Blocks only ever follow each other, so an offset that does
    // not lead forward is corruption: false after string 77.
    bool AdvanceToNextBlock(const DatabaseHeader& header);
    // Reads every database header from the first block on; false (the walk
    // fails whole) after the message of the header that could not be read.
    bool WalkCatalogue(std::vector<CatalogueEntry>& rows);

private:
    void Report(UINT id);
    void ReportOutOfMemory();
    void AbandonScript();
    bool WriteAt(DWORD offset, const void* bytes, DWORD length);

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

    WCHAR archiveName_[ce::MAX_PATH] = {};
    WCHAR scriptName_[ce::MAX_PATH] = {};
    // The database block being written.
    DatabaseHeader block_;
    DWORD writePosition_ = 0;
    DWORD compressedHeaderLength_ = 0;
    DWORD recordSequence_ = 0;
};

// The catalogue's size column: "%d.%02dKB" of the database's size.
std::u16string CatalogueSizeText(const DatabaseHeader& header);
// The information line of the restore dialog for one block (strings 93 and
// 94): size, backup date and time without seconds, record count.
std::u16string CatalogueInformation(const DatabaseHeader& header, bool compressed);

}  // namespace backup
