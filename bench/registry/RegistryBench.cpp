// Registry backup of 10,000 keys with 5 values each, against reading the
// same values with one plain SQLite query on the volume; and a restore of
// that file onto the same registry, where every key matches and nothing is
// written, against the backup.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/registry/UniqueKey.h"
#include "regbackup/RegistryBackup.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/Editions.h"
#include "shells/palm/PalmShell.h"

namespace {

using namespace ce;

constexpr int kKeys = 10000;
constexpr int kValues = 5;

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_registry: %s\n", what.c_str());
    std::exit(1);
}

void MakeKeys() {
    for (int i = 0; i < kKeys; ++i) {
        std::u16string path = u"Bench\\Group" + Utf8ToWide(std::to_string(i / 100)) + u"\\Key" +
                              Utf8ToWide(std::to_string(i));
        HKEY key = 0;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, u"", 0, KEY_ALL_ACCESS, nullptr,
                            &key, &disposition) != ERROR_SUCCESS)
            Die("cannot create a key");
        UniqueKey owned(key);
        for (int v = 0; v < kValues; ++v) {
            std::u16string name = u"Value" + Utf8ToWide(std::to_string(v));
            std::u16string text = u"the text of value " + Utf8ToWide(std::to_string(i * 5 + v));
            if (RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * 2)) != ERROR_SUCCESS)
                Die("cannot set a value");
        }
    }
}

// The peer: every value with its key's name in one query.
void ReadValuesWithOneQuery(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT k.name, v.name, v.type, v.data FROM registry_values v "
                           "JOIN registry_keys k ON k.id = v.key",
                           -1, &statement, nullptr) != SQLITE_OK)
        Die("cannot prepare the peer's query");
    long long bytes = 0;
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        bytes += sqlite3_column_bytes(statement, 0) + sqlite3_column_bytes(statement, 1) +
                 sqlite3_column_int(statement, 2) + sqlite3_column_bytes(statement, 3);
        ++rows;
    }
    sqlite3_finalize(statement);
    if (rows < kKeys * kValues || bytes == 0)
        Die("the peer's query missed values");
}

// HKEY_LOCAL_MACHINE only, OK at once.
void AnswerSelection(gui::ConsoleHost& console) {
    auto answer = [](HWND dialog, gui::ConsoleHost&) {
        HWND list = GetDlgItem(dialog, res::IDC_REG_ROOTS);
        ListView_SetCheckState(list, regbackup::kRowClassesRoot, false);
        ListView_SetCheckState(list, regbackup::kRowCurrentUser, false);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
    console.AnswerDialog(res::IDD_REGISTRY_BACKUP, answer);
    console.AnswerDialog(res::IDD_REGISTRY_BACKUP_WIDE, answer);
}

}  // namespace

int main() {
    appcore::InstallShell(shells::MakePalmShell());
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);
    if (!device::EnsureDevice(nullptr))
        Die("cannot make the device");
    MakeKeys();

    std::FILE* quiet = std::fopen("/dev/null", "w");
    auto console = std::make_shared<gui::ConsoleHost>(nullptr, quiet);
    AnswerSelection(*console);
    gui::ScopedBackend backend(std::make_unique<gui::HeadlessBackend>(console));
    appcore::App().instance = res::PalmEdition();

    sqlite3* db = nullptr;
    if (sqlite3_open_v2((root / "device/objectstore.db").c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        Die("cannot open the volume with sqlite");
    // Each run takes tens of milliseconds, so the best of many is what
    // tells the code's cost from the machine's noise; the median shows how
    // far the rest strayed. The peer, the backup and the restore take turns
    // within each repetition, so that a busy spell of the machine falls on
    // all three alike.
    constexpr int kRepetitions = 15;
    // A commit before each run, as any write to the registry would make,
    // so that every backup and restore reads the volume and not what the
    // process kept of an earlier run (and the peer's connection, too, finds
    // its pages stale).
    DWORD commits = 0;
    auto commit = [&] {
        ++commits;
        if (RegSetValueExW(HKEY_CURRENT_USER, u"BenchCommits", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&commits),
                           sizeof commits) != ERROR_SUCCESS)
            Die("cannot commit a value");
    };
    std::u16string file = Utf8ToWide((root / "bench.rbk").string());
    std::vector<double> peerTimes, backupTimes, restoreTimes;
    for (int i = 0; i < kRepetitions; ++i) {
        commit();
        peerTimes.push_back(bench::Seconds([&] { ReadValuesWithOneQuery(db); }));
        std::filesystem::remove(root / "bench.rbk");
        commit();
        backupTimes.push_back(bench::Seconds([&] {
            regbackup::RegistryBackup registry(nullptr);
            if (!registry.BackupRegistry(file.c_str()))
                Die("the backup failed");
        }));
        commit();
        restoreTimes.push_back(bench::Seconds([&] {
            regbackup::RegistryBackup registry(nullptr);
            registry.warningAgreed = true;
            if (!registry.RestoreRegistry(file.c_str()))
                Die("the restore failed");
        }));
    }
    bench::Spread peer = bench::SpreadOf(peerTimes);
    bench::Spread backup = bench::SpreadOf(backupTimes);
    bench::Spread restore = bench::SpreadOf(restoreTimes);
    std::printf("%d keys of %d values, %ju bytes of registry backup; best and median of %d runs\n",
                kKeys, kValues,
                static_cast<std::uintmax_t>(std::filesystem::file_size(root / "bench.rbk")),
                kRepetitions);
    bench::ReportRatio("registry backup", backup.best, peer.best, 2.0, "one query");
    bench::ReportRatio("registry backup (medians)", backup.median, peer.median, 2.0, "one query");
    bench::ReportRatio("restore of a matching registry (nothing written)", restore.best,
                       backup.best, 2.0, "the backup");
    bench::ReportRatio("restore of a matching registry (medians)", restore.median, backup.median,
                       2.0, "the backup");
    sqlite3_close(db);
    std::fclose(quiet);
    std::filesystem::remove_all(root);
    return 0;
}
