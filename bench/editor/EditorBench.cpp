// The record editor on a database of 10,000 records, on the headless window
// backend: stepping through every record with Next (save check, seek, read,
// refilling the property list and the value pane) against reading the same
// records with Database::ReadRecord alone; and Find of a text only the last
// record holds against a plain SQLite scan of the same records with instr.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "bench/support/BenchDevice.h"
#include "bench/support/BenchReport.h"
#include "editor/EditorState.h"
#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/headless/HeadlessUser.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"
#include "shells/palm/PalmShell.h"
#include "store/Database.h"

namespace {

using namespace ce;

constexpr int kRecords = 10000;
constexpr const char16_t* kName = u"Bench";
constexpr const char16_t* kNeedle = u"needle in the last record";

void Die(const std::string& what) {
    std::fprintf(stderr, "bench_editor: %s (error %u)\n", what.c_str(), GetLastError());
    std::exit(1);
}

std::u16string RecordText(int i) {
    return i == kRecords - 1 ? std::u16string(kNeedle)
                             : u"an ordinary text of record " + Utf8ToWide(std::to_string(i));
}

void CreateDatabase() {
    CEOID oid = CeCreateDatabase(kName, 0, 0, nullptr);
    CEOID opened = oid;
    HANDLE handle = CeOpenDatabase(&opened, nullptr, 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        Die("cannot create the database");
    for (int i = 0; i < kRecords; ++i) {
        std::u16string text = RecordText(i);
        CEPROPVAL values[3]{};
        values[0].propid = MakePropID(1, CEVT_LPWSTR);
        values[0].val.lpwstr = text.data();
        values[1].propid = MakePropID(2, CEVT_I4);
        values[1].val.lVal = i;
        values[2].propid = MakePropID(3, CEVT_FILETIME);
        values[2].val.filetime = {static_cast<DWORD>(i), 0x01DC0000};
        if (CeWriteRecordProps(handle, 0, 3, values) == 0)
            Die("cannot write a record");
    }
    CloseHandle(handle);
}

double ReadAlone() {
    return bench::BestSeconds([] {
        store::Database database;
        database.SetReportErrors(false);
        database.Open(kName);
        store::RecordBuffer record;
        DWORD index = 0;
        int read = 0;
        for (bool more = database.SeekFirst(index); more; more = database.SeekNext(index))
            read += database.ReadRecord(record) != 0 ? 1 : 0;
        record.Release();
        if (read != kRecords)
            Die("the peer missed records");
    });
}

double ScanWithInstr(sqlite3* db) {
    std::u16string needle = kNeedle;
    return bench::BestSeconds([&] {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT oid FROM records WHERE instr(props, ?1) > 0", -1,
                               &statement, nullptr) != SQLITE_OK)
            Die("cannot prepare the scan");
        sqlite3_bind_blob(statement, 1, needle.data(), static_cast<int>(needle.size() * 2),
                          SQLITE_STATIC);
        int found = 0;
        while (sqlite3_step(statement) == SQLITE_ROW)
            ++found;
        sqlite3_finalize(statement);
        if (found != 1)
            Die("the scan did not find the one record");
    });
}

// Acts in the editor: steps to the end with Next, then finds the needle
// from the first record; then closes it.
class BenchUser : public gui::HeadlessUser {
public:
    int AnswerMessageBox(const gui::MessageBoxRequest&) override { return IDOK; }
    bool ActOnDialog(HWND dialog, UINT templateId) override {
        if (templateId == res::IDD_FIND) {
            SetDlgItemTextW(dialog, res::IDC_FIND_TEXT, kNeedle);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        }
        if (templateId != res::IDD_EDITOR)
            return false;
        editor::EditorState* state = editor::StateOf(dialog);
        stepping = bench::BestSeconds(
            [&] {
                for (int i = 1; i < kRecords; ++i)
                    SendMessageW(dialog, WM_COMMAND, res::IDM_RECORD_NEXT, 0);
                if (state->position != kRecords - 1)
                    Die("Next did not reach the last record");
            },
            3, [&] { SendMessageW(dialog, WM_COMMAND, res::IDM_RECORD_FIRST, 0); });
        finding = bench::BestSeconds(
            [&] {
                SendMessageW(dialog, WM_COMMAND, res::IDM_FIND_NEXT, 0);
                if (state->position != kRecords - 1)
                    Die("Find did not reach the last record");
            },
            3,
            [&] {
                SendMessageW(dialog, WM_COMMAND, res::IDM_RECORD_FIRST, 0);
                CopyWide(state->findText, kNeedle);
            });
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    }
    double stepping = 0;
    double finding = 0;
};

}  // namespace

int main() {
    appcore::InstallShell(shells::MakePalmShell());
    std::filesystem::path root = bench::UseTemporaryDevice(&Die);
    if (!device::EnsureDevice(nullptr))
        Die("cannot make the device");
    CreateDatabase();

    auto user = std::make_shared<BenchUser>();
    gui::ScopedBackend backend(std::make_unique<gui::HeadlessBackend>(user));
    appcore::Application& application = appcore::App();
    application.instance = res::PalmEdition();
    application.settings = std::make_unique<appcore::Settings>();
    if (editor::RunRecordEditor(nullptr, kName) != editor::kClosedDone)
        Die("the editor did not run to Done");

    sqlite3* db = nullptr;
    if (sqlite3_open_v2((root / "device/objectstore.db").c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        Die("cannot open the volume with sqlite");
    double read = ReadAlone();
    double scan = ScanWithInstr(db);
    std::printf("%d records of a text, a LONG and a DATE\n", kRecords);
    bench::ReportRatio("step with Next through every record", user->stepping, read, 3.0,
                       "ReadRecord");
    std::printf("%-58s ours %10.1f us per record\n", "", user->stepping / kRecords * 1e6);
    bench::ReportRatio("Find a text only the last record holds", user->finding, scan, 3.0,
                       "sqlite instr");
    sqlite3_close(db);
    application.settings.reset();
    std::error_code error;
    std::filesystem::remove_all(root, error);
    return 0;
}
