// Restoring databases from an archive: opening it with its password, and
// writing back the chosen databases block by block.
//
// No restore loses what was there before. A new database is deleted again
// when its restore fails. An existing database that is overwritten is
// restored first into a database of a temporary name, which replaces it
// only once every record is in. A database that another program holds open
// is refilled in place: the new records are added beside the old ones, and
// the old ones are deleted only when all the new ones are in (on failure the
// new ones go instead).

#include <cstdio>
#include <vector>

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/CodecWorker.h"
#include "backup/PasswordDialogs.h"
#include "backup/RestoreDialog.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/WinUser.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "resources/BackupIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressWindow.h"

namespace backup {

using namespace ce;

namespace {

appcore::Settings& CurrentSettings() {
    return *appcore::App().settings;
}

bool Exists(const WCHAR* name) {
    store::Database probe;
    auto quiet = probe.QuietErrors();
    return probe.Open(name) != INVALID_HANDLE_VALUE;
}

// Every record's identifier, in the handle's order.
std::vector<CEOID> RecordIdentifiers(store::Database& database) {
    std::vector<CEOID> records;
    auto quiet = database.QuietErrors();
    DWORD index = 0;
    CEOID record = 0;
    for (bool found = database.SeekFirst(index, &record); found;
         found = database.SeekNext(index, &record))
        records.push_back(record);
    return records;
}

void DeleteRecords(store::Database& database, const std::vector<CEOID>& records) {
    auto quiet = database.QuietErrors();
    for (CEOID record : records)
        database.DeleteRecord(record);
}

}  // namespace

// The database one block is restored into.
struct BackupArchive::RestoreTarget {
    explicit RestoreTarget(HWND owner) : database(owner) {}
    store::Database database;
    // The name the database has when the restore is done.
    DatabaseName name = {};
    // The name it is filled under while an existing one waits (empty: `name`).
    DatabaseName temporary = {};
};

bool BackupArchive::OpenForRestore(HWND owner, const WCHAR* fileName) {
    owner_ = owner;
    restoreComplete_ = false;
    WCHAR name[MAX_PATH] = {};
    if (fileName != nullptr && fileName[0] != 0)
        CopyWide(name, WideView(fileName, MAX_PATH));
    else if (!ui::AskFileName(owner, name, true, res::IDS_FILTER_BACKUP, u"*.bkp"))
        return false;
    if (!OpenArchiveFile(name))
        return false;
    // The password is asked even when no other question is.
    if (passwordSet_ && password_[0] != 0) {
        ScramblePassword(password_);
        bool confirmed = AskPassword(password_, owner);
        ScramblePassword(password_);
        if (!confirmed) {
            CloseFile();
            codec_.reset();
            return false;
        }
    }
    if (CurrentSettings().showDialogs == 0)
        RestoreSelected(nullptr);
    else
        RunRestoreDialog(*this, owner);
    owner_ = owner;
    CloseFile();
    codec_.reset();
    return true;
}

bool BackupArchive::RestoreSelected(HWND dialog) {
    appcore::Settings& settings = CurrentSettings();
    restoreComplete_ = true;
    HWND list = dialog != nullptr ? GetDlgItem(dialog, res::IDC_RESTORE_LIST) : nullptr;
    if (settings.noProgress == 0) {
        progress_ = std::make_unique<ui::ProgressWindow>(ui::ProgressWindow::kRestoreQuestion,
                                                         ui::ProgressWindow::kRestoreTitle);
        if (!progress_->Create(dialog))
            progress_.reset();
    }
    HWND previousOwner = owner_;
    owner_ = progress_ ? progress_->window() : dialog;
    bool ok = ReadArchiveHeader();
    position_ = header_.firstBlock;
    for (DWORD i = 0; ok && i < header_.databaseCount; ++i) {
        DatabaseHeader header;
        if (!ReadDatabaseHeader(header)) {
            ok = false;
            break;
        }
        bool chosen =
            list == nullptr ||
            (ListView_GetItemState(list, static_cast<int>(i), LVIS_SELECTED) & LVIS_SELECTED) != 0;
        // Unattended, system databases come back only when asked for.
        if (chosen && list == nullptr && header.info.szDbaseName[0] == u'\\' &&
            settings.includeSystemDatabases == 0)
            chosen = false;
        bool passedOver = false;
        if (chosen && !RestoreBlock(header, passedOver))
            ok = false;
        if (passedOver)
            restoreComplete_ = false;
        if (ok && i + 1 < header_.databaseCount && !AdvanceToNextBlock(header))
            ok = false;
    }
    progress_.reset();
    owner_ = previousOwner;
    if (!ok)
        restoreComplete_ = false;
    return ok;
}

bool BackupArchive::RestoreBlock(const DatabaseHeader& header, bool& passedOver) {
    const WCHAR* archived = header.info.szDbaseName;
    if (progress_) {
        progress_->SetRange(static_cast<LONG>(header.info.wNumRecords) + 1);
        progress_->SetText(res::IDS_RESTORING_RECORD, 0, archived);
    }
    RestoreTarget target(owner_);
    CopyWide(target.name, WideView(archived, store::kDatabaseNameLength));
    if (!Exists(archived))
        return FillTarget(target, header);
    ExistsAnswer answer = ExistsAnswer::Overwrite;
    if (CurrentSettings().showDialogs != 0 && questions_.askExists != nullptr)
        answer = questions_.askExists(archived, owner_);
    switch (answer) {
        case ExistsAnswer::Cancel:
            passedOver = true;
            return true;
        case ExistsAnswer::Rename:
            if (questions_.askNewName == nullptr ||
                !questions_.askNewName(archived, target.name, owner_)) {
                passedOver = true;
                return true;
            }
            return FillTarget(target, header);
        case ExistsAnswer::Overwrite:
            break;
    }
    return ReplaceExisting(target, header, passedOver);
}

bool BackupArchive::CreateTemporary(RestoreTarget& target, const CEDBASEINFO& info) {
    // A name nobody uses: the object store refuses a name that exists.
    for (int n = 1; n < 10000; ++n) {
        std::u16string name = FormatWide(u"~restore %d", {n});
        CopyWide(target.temporary, name);
        auto quiet = target.database.QuietErrors();
        if (target.database.Create(target.temporary, info) != INVALID_HANDLE_VALUE)
            return true;
        if (GetLastError() != ERROR_DUP_NAME)
            break;
    }
    target.database.ReportError(res::IDS_CANT_CREATE_DB, target.name);
    target.temporary[0] = 0;
    return false;
}

bool BackupArchive::ReadRecordsInto(RestoreTarget& target, WORD records) {
    // The database is new or of a temporary name: nothing relies on it
    // until it is complete, so its records may arrive a batch at a time.
    StoreWriteBatch batch;
    if (!FillFromArchive(target, records))
        return false;
    if (batch.End())
        return true;
    target.database.ReportError(res::IDS_CANT_WRITE_RECORD);
    return false;
}

bool BackupArchive::FillFromArchive(RestoreTarget& target, WORD records) {
    // The block's records lie one after the other from here; the next block
    // is sought by its offset.
    if (compress_) {
        // Records are decompressed on a second thread while the ones before
        // go into the store; without one, here.
        if (std::unique_ptr<CodecWorker> worker =
                CodecWorker::Start(CodecWorker::Work::kDecompress))
            return FillUnpacking(target, records, *worker);
    }
    ArchiveInput input(file_.get(), true);
    for (WORD i = 0; i < records; ++i) {
        if (!ProgressGoesOn(target.name))
            return false;
        ArchiveRecord record;
        if (!ReadRecord(input, record, target.name))
            return false;
        if (!WriteImage(target, record.header.propertyCount,
                        {record.image(), record.imageLength()}))
            return false;
    }
    return true;
}

bool BackupArchive::FillUnpacking(RestoreTarget& target, WORD records, CodecWorker& worker) {
    ArchiveInput input(file_.get(), true);
    for (WORD i = 0; i < records; ++i) {
        if (!ProgressGoesOn(target.name))
            return false;
        ArchiveRecord record;
        RecordRead result = ReadRecordBytes(input, true, record);
        if (result == RecordRead::Ok &&
            !worker.Add({record.image(), record.imageLength()}, record.header.propertyCount,
                        kLargestRecordImage)) {
            result = RecordRead::NoMemory;
        }
        if (result != RecordRead::Ok) {
            // The records before it go in first, as one by one they would
            // have, and the first failure is the one reported.
            worker.Send();
            if (WriteUnpacked(target, worker, true))
                ReportRecordRead(result, target.name);
            return false;
        }
        if (worker.filling() == 0 && !WriteUnpacked(target, worker, false))
            return false;
    }
    worker.Send();
    return WriteUnpacked(target, worker, true);
}

bool BackupArchive::WriteUnpacked(RestoreTarget& target, CodecWorker& worker, bool all) {
    return worker.TakeCoded(all, [&](const CodecWorker::Piece& piece, std::span<const BYTE> image) {
        if (!piece.ok) {
            ReportRecordRead(UnpackResult(piece.limitReached), target.name);
            return false;
        }
        return WriteImage(target, piece.tag, image);
    });
}

bool BackupArchive::ProgressGoesOn(const WCHAR* name) {
    if (!progress_)
        return true;
    progress_->SetText(res::IDS_RESTORING_RECORD, -1, name);
    return progress_->Pump();
}

bool BackupArchive::WriteImage(RestoreTarget& target, WORD propertyCount,
                               std::span<const BYTE> image) {
    store::RecordBuffer buffer;
    buffer.count = propertyCount;
    buffer.size = static_cast<DWORD>(image.size());
    buffer.buffer = const_cast<BYTE*>(image.data());
    return target.database.WriteRecordRelative(0, buffer) != 0;
}

bool BackupArchive::FillTarget(RestoreTarget& target, const DatabaseHeader& header) {
    if (target.temporary[0] == 0 &&
        target.database.Create(target.name, header.info) == INVALID_HANDLE_VALUE)
        return false;
    if (ReadRecordsInto(target, header.info.wNumRecords))
        return target.database.Close();
    // Undone: the database this restore made goes.
    target.database.Close();
    store::Database undo(owner_);
    auto quiet = undo.QuietErrors();
    undo.DeleteDatabase(target.temporary[0] != 0 ? target.temporary : target.name);
    return false;
}

bool BackupArchive::ReplaceExisting(RestoreTarget& target, const DatabaseHeader& header,
                                    bool& passedOver) {
    if (!CreateTemporary(target, header.info))
        return false;
    CEOID filled = target.database.identifier();
    if (!FillTarget(target, header))
        return false;
    store::Database existing(owner_);
    bool deleted;
    {
        auto quiet = existing.QuietErrors();
        deleted = existing.DeleteDatabase(target.name);
    }
    if (deleted) {
        CEDBASEINFO rename{};
        rename.dwFlags = CEDB_VALIDNAME;
        CopyWide(rename.szDbaseName, WideView(target.name, store::kDatabaseNameLength));
        // Should the rename fail, the records stay under the temporary name.
        return existing.SetInfo(filled, rename);
    }
    // Another program has it open: it can only be refilled where it is.
    int answer = IDYES;
    if (!appcore::RunningSilently())
        answer = ui::MessageByIdWith(owner_, res::IDS_DATABASE_IN_USE, target.name,
                                     MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    bool ok = true;
    if (answer == IDYES)
        ok = RefillInPlace(target);
    else if (answer == IDNO)
        passedOver = true;
    else
        ok = false;
    store::Database temporary(owner_);
    auto quiet = temporary.QuietErrors();
    temporary.DeleteDatabase(target.temporary);
    return ok;
}

bool BackupArchive::RefillInPlace(RestoreTarget& target) {
    store::Database& database = target.database;
    if (database.Open(target.name) == INVALID_HANDLE_VALUE)
        return false;
    store::Database source(owner_);
    if (source.Open(target.temporary) == INVALID_HANDLE_VALUE)
        return false;
    std::vector<CEOID> old = RecordIdentifiers(database);
    std::vector<CEOID> added;
    if (progress_)
        progress_->SetText(res::IDS_RESTORING_RECORD, 0, target.name);
    store::RecordBuffer buffer;
    bool ok = true;
    {
        auto quiet = source.QuietErrors();
        DWORD index = 0;
        for (bool found = source.SeekFirst(index); ok && found; found = source.SeekNext(index)) {
            if (progress_) {
                progress_->SetText(res::IDS_RESTORING_RECORD, -1, target.name);
                ok = progress_->Pump();
            }
            if (ok)
                ok = source.ReadRecordRelative(buffer) != 0;
            CEOID id = ok ? database.WriteRecordRelative(0, buffer) : 0;
            if (id != 0)
                added.push_back(id);
            ok = ok && id != 0;
        }
    }
    buffer.Release();
    // The records that go: the old ones once the new are in, else the new.
    DeleteRecords(database, ok ? old : added);
    database.Close();
    return ok;
}

}  // namespace backup
