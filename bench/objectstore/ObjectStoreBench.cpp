// The object store against plain SQLite doing the same work on the same
// machine: a volume of 100,000 records of about 200 bytes in 20 databases
// with two sort orders each. Both sides use WAL with synchronous=NORMAL and
// one transaction per record written.

#include <sqlite3.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/objectstore/ObjectStore.h"

namespace {

using namespace ce;

constexpr int kDatabases = 20;
constexpr int kRecordsPerDatabase = 5000;
constexpr int kOpens = 10000;
constexpr CEPROPID kNumber = MakePropID(1, CEVT_I4);
constexpr CEPROPID kName = MakePropID(2, CEVT_LPWSTR);
constexpr CEPROPID kStamp = MakePropID(3, CEVT_FILETIME);
constexpr CEPROPID kNote = MakePropID(4, CEVT_LPWSTR);

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_objectstore: %s (error %u)\n", what.c_str(), GetLastError());
    std::exit(1);
}

std::u16string DatabaseName(int i) {
    return u"Database " + Utf8ToWide(std::to_string(i));
}

// A record of 4 properties: 64 bytes of entries, a 61-character name
// (124 bytes) and a 10-character note (22 bytes): 210 bytes in all.
struct Record {
    std::u16string name;
    std::u16string note = u"note text!";
    LONG number;
    std::uint64_t stamp;
};

Record MakeRecord(int db, int i) {
    unsigned mixed = static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(db);
    std::string name = "Name " + std::to_string(mixed % 100000) + " of a record in the bench";
    name.resize(61, '.');
    return Record{Utf8ToWide(name), u"note text!", static_cast<LONG>(mixed % 10007),
                  0x01D0000000000000ULL + static_cast<std::uint64_t>(i)};
}

// The same record as one blob, for plain SQLite.
std::vector<BYTE> Flatten(const Record& r) {
    std::vector<BYTE> bytes(sizeof r.number + sizeof r.stamp);
    std::memcpy(bytes.data(), &r.number, sizeof r.number);
    std::memcpy(bytes.data() + sizeof r.number, &r.stamp, sizeof r.stamp);
    const auto* name = reinterpret_cast<const BYTE*>(r.name.c_str());
    bytes.insert(bytes.end(), name, name + (r.name.size() + 1) * 2);
    const auto* note = reinterpret_cast<const BYTE*>(r.note.c_str());
    bytes.insert(bytes.end(), note, note + (r.note.size() + 1) * 2);
    return bytes;
}

// ---- Plain SQLite -----------------------------------------------------------

class Plain {
public:
    explicit Plain(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK)
            Die("cannot open " + path);
        Exec(
            "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
            "CREATE TABLE databases(id INTEGER PRIMARY KEY, name TEXT UNIQUE COLLATE NOCASE,"
            "  info BLOB);"
            "CREATE TABLE records(id INTEGER PRIMARY KEY, db INTEGER NOT NULL, name TEXT,"
            "  number INTEGER, data BLOB);"
            "CREATE INDEX records_by_name ON records(db, name COLLATE NOCASE);"
            "CREATE INDEX records_by_number ON records(db, number);");
        begin_ = Prepare("BEGIN");
        commit_ = Prepare("COMMIT");
        insert_ = Prepare("INSERT INTO records(db, name, number, data) VALUES(?, ?, ?, ?)");
        lookup_ = Prepare("SELECT id, info FROM databases WHERE name = ?");
        unsorted_ = Prepare("SELECT data FROM records WHERE db = ? ORDER BY id");
        sorted_ = Prepare("SELECT data FROM records WHERE db = ? ORDER BY name COLLATE NOCASE, id");
    }
    ~Plain() {
        for (sqlite3_stmt* s : {begin_, commit_, insert_, lookup_, unsorted_, sorted_}) {
            sqlite3_finalize(s);
        }
        sqlite3_close(db_);
    }
    void CreateDatabases() {
        Exec("BEGIN");
        for (int i = 0; i < kDatabases; ++i) {
            Exec("INSERT INTO databases(name, info) VALUES('" + WideToUtf8(DatabaseName(i)) +
                 "', zeroblob(120))");
        }
        Exec("COMMIT");
    }
    void Write(int db, const Record& r) {
        std::vector<BYTE> data = Flatten(r);
        std::string name = WideToUtf8(r.name);
        Step(begin_);
        sqlite3_bind_int(insert_, 1, db);
        sqlite3_bind_text(insert_, 2, name.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int(insert_, 3, r.number);
        sqlite3_bind_blob(insert_, 4, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
        Step(insert_);
        Step(commit_);
    }
    std::size_t ReadAll(int db, bool sorted) {
        sqlite3_stmt* s = sorted ? sorted_ : unsorted_;
        sqlite3_bind_int(s, 1, db);
        std::size_t bytes = 0;
        std::vector<BYTE> buffer;
        while (sqlite3_step(s) == SQLITE_ROW) {
            auto* p = static_cast<const BYTE*>(sqlite3_column_blob(s, 0));
            buffer.assign(p, p + sqlite3_column_bytes(s, 0));
            bytes += buffer.size();
        }
        sqlite3_reset(s);
        return bytes;
    }
    void Lookup(const std::string& name) {
        sqlite3_bind_text(lookup_, 1, name.c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(lookup_) != SQLITE_ROW)
            Die("lookup");
        sqlite3_reset(lookup_);
    }

private:
    void Exec(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            Die(sqlite3_errmsg(db_));
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK)
            Die(sqlite3_errmsg(db_));
        return s;
    }
    void Step(sqlite3_stmt* s) {
        if (sqlite3_step(s) != SQLITE_DONE)
            Die(sqlite3_errmsg(db_));
        sqlite3_reset(s);
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt *begin_, *commit_, *insert_, *lookup_, *unsorted_, *sorted_;
};

// ---- The object store -------------------------------------------------------

std::vector<CEOID> CreateDatabases() {
    std::vector<CEOID> oids;
    for (int i = 0; i < kDatabases; ++i) {
        SORTORDERSPEC sorts[2] = {{kName, CEDB_SORT_CASEINSENSITIVE}, {kNumber, 0}};
        CEOID oid = CeCreateDatabase(DatabaseName(i).c_str(), 0, 2, sorts);
        if (oid == 0)
            Die("create database");
        oids.push_back(oid);
    }
    return oids;
}

void WriteAll(const std::vector<CEOID>& oids) {
    for (int db = 0; db < kDatabases; ++db) {
        CEOID oid = oids[db];
        HANDLE h = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            Die("open");
        for (int i = 0; i < kRecordsPerDatabase; ++i) {
            Record r = MakeRecord(db, i);
            CEPROPVAL props[4]{};
            props[0].propid = kNumber;
            props[0].val.lVal = r.number;
            props[1].propid = kName;
            props[1].val.lpwstr = r.name.data();
            props[2].propid = kStamp;
            props[2].val.filetime = {static_cast<DWORD>(r.stamp),
                                     static_cast<DWORD>(r.stamp >> 32)};
            props[3].propid = kNote;
            props[3].val.lpwstr = r.note.data();
            if (CeWriteRecordProps(h, 0, 4, props) == 0)
                Die("write");
        }
        CloseHandle(h);
    }
}

std::size_t ReadAll(CEOID oid, CEPROPID order) {
    HANDLE h = CeOpenDatabase(&oid, nullptr, order, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Die("open");
    BYTE* buffer = nullptr;
    DWORD size = 0;
    std::size_t bytes = 0;
    DWORD index = 0;
    for (CEOID r = CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, &index); r != 0;
         r = CeSeekDatabase(h, CEDB_SEEK_CURRENT, 1, &index)) {
        WORD count = 0;
        if (CeReadRecordProps(h, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size) == 0) {
            Die("read");
        }
        bytes += size;
    }
    LocalFree(buffer);
    CloseHandle(h);
    return bytes;
}

}  // namespace

int main() {
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);

    std::vector<CEOID> oids = CreateDatabases();
    Plain plain((root / "plain.db").string());
    plain.CreateDatabases();
    std::printf("%d records of about 200 bytes in %d databases with two sort orders each\n",
                kDatabases * kRecordsPerDatabase, kDatabases);

    double ours = bench::BestSeconds([&] { WriteAll(oids); }, 1);
    double peer = bench::BestSeconds(
        [&] {
            for (int db = 0; db < kDatabases; ++db) {
                for (int i = 0; i < kRecordsPerDatabase; ++i)
                    plain.Write(db, MakeRecord(db, i));
            }
        },
        1);
    bench::ReportRatio("write 100,000 records, one transaction each", ours, peer, 2.0, "sqlite");

    ours = bench::BestSeconds([&] {
        for (CEOID oid : oids)
            ReadAll(oid, 0);
    });
    peer = bench::BestSeconds([&] {
        for (int db = 0; db < kDatabases; ++db)
            plain.ReadAll(db, false);
    });
    bench::ReportRatio("read all records in creation order (seek + read)", ours, peer, 2.0,
                       "sqlite");

    ours = bench::BestSeconds([&] {
        for (CEOID oid : oids)
            ReadAll(oid, kName);
    });
    peer = bench::BestSeconds([&] {
        for (int db = 0; db < kDatabases; ++db)
            plain.ReadAll(db, true);
    });
    bench::ReportRatio("read all records in a text sort order (seek + read)", ours, peer, 2.0,
                       "sqlite");

    std::vector<std::u16string> names;
    std::vector<std::string> utf8Names;
    for (int i = 0; i < kDatabases; ++i) {
        names.push_back(DatabaseName(i));
        utf8Names.push_back(WideToUtf8(names.back()));
    }
    ours = bench::BestSeconds([&] {
        for (int i = 0; i < kOpens; ++i) {
            CEOID oid = 0;
            HANDLE h = CeOpenDatabase(&oid, names[i % kDatabases].c_str(), 0, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE)
                Die("open by name");
            CEOIDINFO info{};
            if (!CeOidGetInfo(oid, &info))
                Die("info");
            CloseHandle(h);
        }
    });
    peer = bench::BestSeconds([&] {
        for (int i = 0; i < kOpens; ++i)
            plain.Lookup(utf8Names[i % kDatabases]);
    });
    bench::ReportRatio("open by name, CeOidGetInfo, close (10,000 times)", ours, peer, 3.0,
                       "sqlite SELECT");

    ce::device::SetDeviceDirectory({});
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
