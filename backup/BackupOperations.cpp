// Backing databases up: opening the archive for a backup, appending one
// database block per database, finishing the archive.

#include <cstring>
#include <vector>

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/BackupOptionsDialog.h"
#include "backup/CodecWorker.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/time/Time.h"
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

}  // namespace

HWND BackupArchive::progressWindow() const {
    return progress_ ? progress_->window() : nullptr;
}

bool BackupArchive::CreateArchiveFile(const WCHAR* fileName) {
    WCHAR used[MAX_PATH] = {};
    if (!writeBeside_) {
        HANDLE file = ui::CreateFileAsking(owner_, fileName, used);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        AttachFile(file, used);
        CopyWide(writtenName_, WideView(used, MAX_PATH));
        return true;
    }
    // Beside the archive: the question is the same, the file another.
    std::u16string name(WideView(fileName, MAX_PATH));
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ui::MessageByIdWith(owner_, res::IDS_FILE_EXISTS, name.c_str(), ui::kCancelQuestion) !=
            IDYES)
        return false;
    std::u16string beside = name + u".new";
    if (beside.size() >= MAX_PATH) {
        ui::MessageByIdWith(owner_, res::IDS_CANT_CREATE_BACKUP, name.c_str(), ui::kErrorStyle);
        return false;
    }
    HANDLE file = CreateFileW(beside.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ui::MessageByIdWith(owner_, res::IDS_CANT_CREATE_BACKUP, name.c_str(), ui::kErrorStyle);
        return false;
    }
    AttachFile(file, name.c_str());
    CopyWide(writtenName_, beside);
    return true;
}

bool BackupArchive::OpenForBackup(HWND owner, bool showOptions, const WCHAR* fileName) {
    owner_ = owner;
    makeScript_ = false;
    backupComplete_ = true;
    appcore::Settings& settings = CurrentSettings();
    if (showOptions && settings.showDialogs != 0 && !ShowBackupOptions(*this, owner))
        return false;
    if (compress_ && !CreateCodec()) {
        ReportOutOfMemory();
        return false;
    }
    WCHAR name[MAX_PATH] = {};
    if (fileName != nullptr && fileName[0] != 0)
        CopyWide(name, WideView(fileName, MAX_PATH));
    else if (!ui::AskFileName(owner, name, false, res::IDS_FILTER_BACKUP, u"*.bkp"))
        return false;
    if (!CreateArchiveFile(name))
        return false;
    if (!BeginArchive()) {
        // A file without a whole header is no archive: it goes again.
        CloseFile();
        DeleteFileW(writtenName_);
        return false;
    }
    if (makeScript_)
        StartScript(settings.scriptName);
    if (settings.noProgress == 0) {
        progress_ = std::make_unique<ui::ProgressWindow>(ui::ProgressWindow::kBackupQuestion,
                                                         ui::ProgressWindow::kBackupTitle);
        if (!progress_->Create(owner))
            progress_.reset();
    }
    return true;
}

namespace {

// Without a codec worker, the bytes of the record images read in one run,
// written once the store has let go.
constexpr std::size_t kRunBytes = 32 * 1024;

struct RunRecord {
    WORD count;
    DWORD length;
};

}  // namespace

bool BackupArchive::WalkRecords(store::Database& database, const WCHAR* name, WORD records) {
    if (records == 0)
        return true;
    // Records are compressed on a second thread while the next ones are
    // read; without one, here.
    std::unique_ptr<CodecWorker> worker;
    if (compress_)
        worker = CodecWorker::Start(CodecWorker::Work::kCompress);
    std::vector<BYTE> runBytes;
    std::vector<RunRecord> runRecords;
    DWORD taken = 0;
    CEOID after = 0;
    // The store hands the records over a run at a time, until a job goes to
    // the worker or, without one, about a job's worth is read. Nothing that
    // may show a message runs while the store is reading: the run's output is
    // written after it, waiting for the worker when it is full, and Cancel is
    // looked at between runs.
    for (bool more = true; more;) {
        if (progress_) {
            progress_->SetText(res::IDS_STORING_RECORD, static_cast<LONG>(taken) + 1, name);
            if (!progress_->Pump())
                return false;
        }
        more = false;
        bool tooMany = false, noMemory = false;
        bool read = database.ReadRecordImages(
            after, [&](CEOID oid, std::span<const BYTE> image, WORD count) {
                after = oid;
                if (taken == 0xFFFF) {
                    tooMany = true;  // more than a block can count
                    return false;
                }
                ++taken;
                if (worker) {
                    noMemory = !worker->Add(image, count);
                    more = worker->filling() == 0;  // a job went
                } else {
                    runBytes.insert(runBytes.end(), image.begin(), image.end());
                    runRecords.push_back({count, static_cast<DWORD>(image.size())});
                    more = runBytes.size() >= kRunBytes;
                }
                return !more && !noMemory;
            });
        if (noMemory)
            ReportOutOfMemory();
        if (!read || tooMany || noMemory)
            return false;
        if (worker) {
            if (more && !WriteCompressed(*worker, false))
                return false;
            continue;
        }
        const BYTE* image = runBytes.data();
        for (const RunRecord& record : runRecords) {
            if (!WriteRecord(record.count, image, record.length))
                return false;
            image += record.length;
        }
        runBytes.clear();
        runRecords.clear();
    }
    if (worker) {
        worker->Send();
        if (!WriteCompressed(*worker, true))
            return false;
    }
    if (progress_)
        progress_->SetText(res::IDS_STORING_RECORD, static_cast<LONG>(taken), name);
    return true;
}

bool BackupArchive::WriteCompressed(CodecWorker& worker, bool all) {
    return worker.TakeCoded(all, [&](const CodecWorker::Piece& piece, std::span<const BYTE> body) {
        if (!piece.ok) {
            ReportOutOfMemory();
            return false;
        }
        return WriteRecordBody(piece.tag, body.data(), static_cast<DWORD>(body.size()));
    });
}

bool BackupArchive::BackupDatabase(const WCHAR* name) {
    store::Database database(owner_);
    CEDBASEINFO info{};
    if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info)) {
        backupComplete_ = false;
        return false;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    bool ok = BeginDatabaseBlock(info, now);
    if (ok && progress_) {
        progress_->SetRange(static_cast<LONG>(info.wNumRecords) + 1);
        progress_->SetText(res::IDS_STORING_RECORD, 0, name);
    }
    ok = ok && WalkRecords(database, name, info.wNumRecords) && FinishDatabaseBlock();
    database.Close();
    if (!ok) {
        // Only whole blocks stay: the header will count those.
        DiscardDatabaseBlock();
        backupComplete_ = false;
        return false;
    }
    CountWrittenDatabase();
    AppendScriptEntry(name);
    return true;
}

bool BackupArchive::FinishBackup() {
    bool ok = true;
    if (file_) {
        // Bytes past the last whole block (a block cut off, a header that
        // shrank) go with the final header.
        ok = WriteArchiveHeader();
        if (ok && !(SeekFile(file_.get(), position_) && SetEndOfFile(file_.get()))) {
            Report(res::IDS_CANT_WRITE_FILE);
            ok = false;
        }
        CloseFile();
        // A header that could not be written may be half written: no archive
        // is better than a broken one.
        if (!ok)
            DeleteFileW(writtenName_);
    }
    codec_.reset();
    progress_.reset();
    FinishScript();
    if (!ok)
        backupComplete_ = false;
    return ok;
}

}  // namespace backup
