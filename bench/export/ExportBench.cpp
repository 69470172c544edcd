// Export of 100,000 records (two texts and two numbers) in comma mode,
// against the sqlite3 shell writing the same rows as CSV from a plain table
// in the same run. A database holds at most 65,535 records, so the records
// are two databases of 50,000, exported one after the other.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "export/TextExport.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/files/Files.h"
#include "platform/objectstore/ObjectStore.h"

namespace {

using namespace ce;

constexpr int kRecords = 100000;
constexpr int kParts = 2;
constexpr const char16_t* kNames[kParts] = {u"Bench 1", u"Bench 2"};

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_export: %s (error %u)\n", what.c_str(), GetLastError());
    std::exit(1);
}

std::string NameOf(int i) {
    return "Name " + std::to_string(i * 7919 % 100003) + ", of record";
}
std::string NoteOf(int i) {
    return "a \"quoted\" note number " + std::to_string(i);
}

void MakeDatabases() {
    for (int part = 0; part < kParts; ++part) {
        if (CeCreateDatabase(kNames[part], 0, 0, nullptr) == 0)
            Die("cannot create the database");
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, kNames[part], 0, 0, nullptr);
        for (int i = part * kRecords / kParts; i < (part + 1) * kRecords / kParts; ++i) {
            std::u16string name = Utf8ToWide(NameOf(i));
            std::u16string note = Utf8ToWide(NoteOf(i));
            CEPROPVAL values[4] = {};
            values[0].propid = MakePropID(1, CEVT_LPWSTR);
            values[0].val.lpwstr = name.data();
            values[1].propid = MakePropID(2, CEVT_I4);
            values[1].val.lVal = i - 50000;
            values[2].propid = MakePropID(3, CEVT_LPWSTR);
            values[2].val.lpwstr = note.data();
            values[3].propid = MakePropID(4, CEVT_UI4);
            values[3].val.ulVal = static_cast<ULONG>(i) * 40503u;
            if (CeWriteRecordProps(db, 0, 4, values) == 0)
                Die("cannot write a record");
        }
        CloseHandle(db);
    }
}

void MakePeerTable(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
        Die("cannot make the peer's database");
    sqlite3_exec(db,
                 "CREATE TABLE bench(name TEXT, number INTEGER, note TEXT, count INTEGER);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO bench VALUES(?, ?, ?, ?)", -1, &insert, nullptr);
    for (int i = 0; i < kRecords; ++i) {
        std::string name = NameOf(i), note = NoteOf(i);
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, i - 50000);
        sqlite3_bind_text(insert, 3, note.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 4, static_cast<sqlite3_int64>(i) * 40503);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}  // namespace

int main() {
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);
    if (!device::EnsureDevice(nullptr))
        Die("cannot make the device");
    MakeDatabases();
    MakePeerTable(root / "peer.db");

    double ours = bench::BestSeconds([&] {
        for (int part = 0; part < kParts; ++part) {
            std::u16string out =
                Utf8ToWide((root / ("bench" + std::to_string(part) + ".csv")).string());
            textexport::ExportOptions options;
            options.file = CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
            if (!textexport::WriteExport(kNames[part], options))
                Die("the export failed");
        }
    });
    std::string command = "sqlite3 -csv " + (root / "peer.db").string() +
                          " 'SELECT name, number, note, count FROM bench' > " +
                          (root / "peer.csv").string();
    double peer = bench::BestSeconds([&] {
        if (std::system(command.c_str()) != 0)
            Die("sqlite3 failed");
    });
    std::printf("%d records of two texts and two numbers, %ju bytes of CSV\n", kRecords,
                static_cast<std::uintmax_t>(std::filesystem::file_size(root / "bench0.csv") +
                                            std::filesystem::file_size(root / "bench1.csv")));
    bench::ReportRatio("export in comma mode", ours, peer, 1.5, "sqlite3 -csv");
    std::filesystem::remove_all(root);
    return 0;
}
