// The database list of a device with 1,000 databases: refilling it, and
// sorting it by date (which opens two databases for every comparison),
// against reading the same rows (name, records, size, date) with one query
// on the volume with plain SQLite. Runs the real list on the headless
// window backend. Most of a refill is the object store's opening of every
// database for its icon (with its cross-process locks) and the date texts;
// a date sort is two such opens per comparison.

#include <sqlite3.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/DatabaseList.h"
#include "app/ListSorting.h"
#include "app/MainWindow.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/Editions.h"
#include "shells/palm/PalmShell.h"

namespace {

using namespace ce;

constexpr int kDatabases = 1000;
constexpr CEPROPID kText = MakePropID(1, CEVT_LPWSTR);

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_browser: %s (error %u)\n", what.c_str(), GetLastError());
    std::exit(1);
}

// Databases of one to three records, with modification times in an order
// unlike their names'.
void CreateDatabases() {
    for (int i = 0; i < kDatabases; ++i) {
        std::u16string name = u"Database " + Utf8ToWide(std::to_string(i));
        CEOID oid = CeCreateDatabase(name.c_str(), 0, 0, nullptr);
        if (oid == 0)
            Die("cannot create a database");
        CEOID opened = oid;
        HANDLE handle = CeOpenDatabase(&opened, nullptr, 0, 0, nullptr);
        for (int r = 0; r < 1 + i % 3; ++r) {
            CEPROPVAL value{};
            value.propid = kText;
            std::u16string text = u"a record of database " + Utf8ToWide(std::to_string(i));
            value.val.lpwstr = text.data();
            if (CeWriteRecordProps(handle, 0, 1, &value) == 0)
                Die("cannot write a record");
        }
        CloseHandle(handle);
        std::uint64_t time = 0x01DC000000000000ULL +
                             static_cast<std::uint64_t>((i * 7919) % kDatabases) * 10000000ULL;
        CEDBASEINFO info{};
        info.dwFlags = CEDB_VALIDMODTIME;
        info.ftLastModified = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        if (!CeSetDatabaseInfo(oid, &info))
            Die("cannot set a date");
    }
}

// The peer: one query for every row the list shows.
int ReadRowsWithOneQuery(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, record_count, size, modified FROM databases", -1,
                           &statement, nullptr) != SQLITE_OK)
        Die("cannot prepare the peer's query");
    int rows = 0;
    long long sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        sum += sqlite3_column_bytes(statement, 0) + sqlite3_column_int64(statement, 1) +
               sqlite3_column_int64(statement, 2) + sqlite3_column_int64(statement, 3);
        ++rows;
    }
    sqlite3_finalize(statement);
    return sum == 0 ? -1 : rows;
}

void Report(const char* name, double ours, double peer, double target) {
    bench::ReportRatio(name, ours, peer, target, "one query");
    std::printf("%-58s ours %10.1f us per database\n", "", ours / kDatabases * 1e6);
}

}  // namespace

int main() {
    appcore::InstallShell(shells::MakePalmShell());
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);
    if (!device::EnsureDevice(nullptr))
        Die("cannot make the device");
    CreateDatabases();

    gui::ScopedBackend backend(
        std::make_unique<gui::HeadlessBackend>(std::make_shared<gui::ConsoleHost>()));
    appcore::Application& application = appcore::App();
    application.instance = res::PalmEdition();
    app::RegisterMainClass();
    if (!app::CreateMainWindow())
        Die("cannot create the main window");
    if (ListView_GetItemCount(application.list) != kDatabases)
        Die("the list does not show every database");

    sqlite3* db = nullptr;
    if (sqlite3_open_v2((root / "device/objectstore.db").c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        Die("cannot open the volume with sqlite");
    double peer = bench::BestSeconds(
        [&] {
            if (ReadRowsWithOneQuery(db) != kDatabases)
                Die("the peer's query missed rows");
        },
        5);
    std::printf("%d databases of 1 to 3 records\n", kDatabases);

    double refresh = bench::BestSeconds([] { app::RefreshList(); }, 3);
    Report("refresh the list (enumerate, icon check, texts, sort)", refresh, peer, 600.0);

    appcore::Settings& settings = *application.settings;
    double sort = bench::BestSeconds(
        [&] {
            settings.sortKey = appcore::kSortByDate;
            app::SortList();
        },
        3,
        [&] {
            settings.sortKey = appcore::kSortByName;
            app::SortList();
        });
    Report("sort the list by date (two opens per comparison)", sort, peer, 2000.0);

    sqlite3_close(db);
    DestroyWindow(application.mainWindow);
    std::error_code error;
    std::filesystem::remove_all(root, error);
    return 0;
}
