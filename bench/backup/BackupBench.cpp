// Backing up and restoring the benchmark volume (100,000 records of about
// 200 bytes in 20 databases), each against a peer doing the bare work in the
// same run: backup against the codec compressing the same record images,
// restore against decompressing them plus plain SQLite inserting the same
// rows in one transaction. Peak memory of both is printed: it stays bounded
// by the largest record, not by the archive.

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "backup/BackupArchive.h"
#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/Editions.h"
#include "shells/palm/PalmShell.h"
#include "store/Database.h"

namespace {

using namespace ce;

constexpr int kDatabases = 20;
constexpr int kRecordsPerDatabase = 5000;
constexpr CEPROPID kNumber = MakePropID(1, CEVT_I4);
constexpr CEPROPID kName = MakePropID(2, CEVT_LPWSTR);
constexpr CEPROPID kNote = MakePropID(4, CEVT_LPWSTR);

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_backup: %s (error %u)\n", what.c_str(), GetLastError());
    std::exit(1);
}

long PeakKilobytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::u16string DatabaseName(int i) {
    return u"Database " + Utf8ToWide(std::to_string(i));
}

void FillVolume() {
    for (int db = 0; db < kDatabases; ++db) {
        std::u16string name = DatabaseName(db);
        CEOID oid = CeCreateDatabase(name.c_str(), 0, 0, nullptr);
        HANDLE h = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            Die("cannot create " + WideToUtf8(name));
        for (int i = 0; i < kRecordsPerDatabase; ++i) {
            unsigned mixed = static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(db);
            std::string text =
                "Name " + std::to_string(mixed % 100000) + " of a record in the bench";
            text.resize(61, '.');
            std::u16string recordName = Utf8ToWide(text), note = u"note text!";
            CEPROPVAL values[3] = {};
            values[0].propid = kNumber;
            values[0].val.lVal = static_cast<LONG>(mixed % 10007);
            values[1].propid = kName;
            values[1].val.lpwstr = recordName.data();
            values[2].propid = kNote;
            values[2].val.lpwstr = note.data();
            if (CeWriteRecordProps(h, 0, 3, values) == 0)
                Die("cannot write a record");
        }
        CloseHandle(h);
    }
}

// Every record image of the volume, as a backup reads them.
std::vector<std::vector<BYTE>> RecordImages() {
    std::vector<std::vector<BYTE>> images;
    for (int db = 0; db < kDatabases; ++db) {
        store::Database database;
        std::u16string name = DatabaseName(db);
        database.Open(name.c_str());
        store::RecordBuffer buffer;
        DWORD index = 0;
        auto quiet = database.QuietErrors();
        for (bool found = database.SeekFirst(index); found; found = database.SeekNext(index)) {
            if (database.ReadRecordRelative(buffer) != 0)
                images.emplace_back(buffer.buffer, buffer.buffer + buffer.size);
        }
        buffer.Release();
    }
    return images;
}

bool BackUp(const std::u16string& path) {
    backup::BackupArchive archive;
    if (!archive.OpenForBackup(nullptr, false, path.c_str()))
        return false;
    bool ok = true;
    for (int db = 0; ok && db < kDatabases; ++db)
        ok = archive.BackupDatabase(DatabaseName(db).c_str());
    return archive.FinishBackup() && ok;
}

void DeleteAll() {
    for (int db = 0; db < kDatabases; ++db) {
        store::Database database;
        database.DeleteDatabase(DatabaseName(db).c_str());
    }
}

// The peer of restore: the images decompressed and inserted as rows of
// plain SQLite, in one transaction.
void PlainRestore(const std::string& path, const std::vector<std::vector<BYTE>>& packed) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        Die("sqlite open");
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, "CREATE TABLE records(oid INTEGER PRIMARY KEY, db INTEGER, props BLOB)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO records(db, props) VALUES(?, ?)", -1, &insert, nullptr);
    backup::LzwCodec codec;
    codec.AllocateWorkArea();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (std::size_t i = 0; i < packed.size(); ++i) {
        if (!codec.Decompress(packed[i].data(), packed[i].size()))
            Die("decompress");
        sqlite3_bind_int(insert, 1, static_cast<int>(i / kRecordsPerDatabase));
        sqlite3_bind_blob(insert, 2, codec.Output(), static_cast<int>(codec.OutputLength()),
                          SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

}  // namespace

int main() {
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);
    appcore::InstallShell(shells::MakePalmShell());
    gui::ScopedBackend backend(
        std::make_unique<gui::HeadlessBackend>(std::make_shared<gui::ConsoleHost>()));
    appcore::App().instance = res::PalmEdition();
    appcore::App().settings = std::make_unique<appcore::Settings>();
    appcore::App().settings->SetWriteOnDestroy(false);
    appcore::App().settings->showDialogs = 0;
    appcore::App().settings->noProgress = 1;

    FillVolume();
    std::vector<std::vector<BYTE>> images = RecordImages();
    std::printf("%zu records of about 200 bytes in %d databases\n", images.size(), kDatabases);
    long before = PeakKilobytes();

    std::u16string archive = Utf8ToWide((root / "all.bkp").string());
    double ours = bench::BestSeconds(
        [&] {
            if (!BackUp(archive))
                Die("backup failed");
        },
        3, [&] { std::filesystem::remove(root / "all.bkp"); });
    long afterBackup = PeakKilobytes();
    std::vector<std::vector<BYTE>> packed;
    backup::LzwCodec codec;
    codec.AllocateWorkArea();
    double peer = bench::BestSeconds([&] {
        packed.clear();
        for (const auto& image : images) {
            if (!codec.Compress(image.data(), image.size()))
                Die("compress");
            packed.emplace_back(codec.Output(), codec.Output() + codec.OutputLength());
        }
    });
    bench::ReportRatio("back up 100,000 records", ours, peer, 1.5, "codec alone");

    ours = bench::BestSeconds(
        [&] {
            backup::BackupArchive restore;
            if (!restore.OpenForRestore(nullptr, archive.c_str()) || !restore.restoreComplete())
                Die("restore failed");
        },
        3, DeleteAll);
    long afterRestore = PeakKilobytes();
    peer = bench::BestSeconds([&] { PlainRestore((root / "plain.db").string(), packed); });
    bench::ReportRatio("restore 100,000 records onto an empty device", ours, peer, 1.5,
                       "unpack+sqlite");
    std::printf(
        "peak memory: %ld KB before, %ld KB after backup, %ld KB after restore "
        "(archive %ju KB)\n",
        before, afterBackup, afterRestore,
        static_cast<std::uintmax_t>(std::filesystem::file_size(root / "all.bkp") / 1024));
    appcore::App().settings.reset();
    std::filesystem::remove_all(root);
    return 0;
}
