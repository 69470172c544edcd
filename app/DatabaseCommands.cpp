#include "app/DatabaseCommands.h"

#include <cstring>

#include "app/DatabaseList.h"
#include "app/NameDialogs.h"
#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "store/Formatting.h"
#include "ui/DialogFrame.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

bool Confirmed(UINT questionId, const WCHAR* name) {
    return ui::MessageByIdWith(nullptr, questionId, name, ui::kDestructiveQuestion) == IDYES;
}

void SetBoldField(HWND dialog, int id, const std::u16string& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
    if (const Settings* settings = App().settings.get(); settings && settings->boldFont)
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(settings->boldFont),
                            FALSE);
}

void FillProperties(HWND dialog, LPARAM) {
    ui::InitDialogFrame(dialog, true, true);
    WCHAR name[store::kDatabaseNameUnits];
    store::Database database(dialog);
    CEDBASEINFO info{};
    if (!SelectedName(name) || database.Open(name) == INVALID_HANDLE_VALUE ||
        !database.GetInfo(info)) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    database.Close();
    SetBoldField(dialog, res::IDC_PROP_NAME,
                 std::u16string(WideView(info.szDbaseName, store::kDatabaseNameUnits)));
    SetBoldField(dialog, res::IDC_PROP_SIZE,
                 store::SizeTextWithBytes(static_cast<std::int32_t>(info.dwSize)));
    store::DateTime modified = store::DateTime::FromFileTime(info.ftLastModified);
    std::u16string when = std::u16string(modified.ShortDate()) + u" " + modified.TimeText(true);
    SetBoldField(dialog, res::IDC_PROP_MODIFIED, when);
    SetBoldField(dialog, res::IDC_PROP_TYPE,
                 FormatWide(u"%ld", {static_cast<long>(info.dwDbaseType)}));
    SetBoldField(dialog, res::IDC_PROP_RECORDS, FormatWide(u"%ld", {info.wNumRecords}));
}

BOOL PropertiesProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, ui::kPropertiesTopic,
                                   &FillProperties, &ui::CloseOnOkOrCancel);
}

void CopyRecords(store::Database& source, store::Database& target) {
    ui::WaitCursor wait;
    source.SetReportErrors(false);
    store::RecordBuffer record;
    DWORD index = 0;
    for (bool found = source.SeekFirst(index); found; found = source.SeekNext(index)) {
        if (source.ReadRecord(record) == 0)
            continue;
        if (target.WriteRecord(0, record) == 0)
            break;
    }
    record.Release();
}

}  // namespace

bool DeleteSelected(const WCHAR* name) {
    if (!Confirmed(res::IDS_CONFIRM_DELETE, name))
        return false;
    store::Database database;
    return database.DeleteDatabase(name);
}

bool EmptySelected(const WCHAR* name) {
    if (!Confirmed(res::IDS_CONFIRM_EMPTY, name))
        return false;
    store::Database database;
    if (database.Open(name) == INVALID_HANDLE_VALUE)
        return false;
    bool emptied = database.Empty();
    database.Close();
    return emptied;
}

bool Rename(const WCHAR* oldName, bool withDialog) {
    store::Database database;
    CEDBASEINFO info{};
    if (database.Open(oldName) == INVALID_HANDLE_VALUE || !database.GetInfo(info))
        return false;
    CEOID identifier = database.identifier();
    NameDialogParameters& parameters = NameParameters();
    CopyWide(parameters.source, WideView(info.szDbaseName, store::kDatabaseNameUnits));
    if (withDialog) {
        parameters.renameMode = true;
        if (!AskName())
            return false;
    }
    WCHAR old[store::kDatabaseNameUnits] = {};
    CopyWide(old, WideView(oldName, store::kDatabaseNameLength));
    std::memset(info.szDbaseName, 0, sizeof info.szDbaseName);
    CopyWide(info.szDbaseName, WideView(parameters.target, store::kDatabaseNameLength));
    // The information goes back as it was read, flags included, so that only
    // the name changes: type, sort orders and the time of the last change stay.
    // The name is changed while the database is closed.
    database.Close();
    {
        auto quiet = database.QuietErrors();
        if (database.SetInfo(identifier, info)) {
            NoteRenamed(old, info.szDbaseName);
            return true;
        }
    }
    database.ReportError(res::IDS_CANT_UPDATE_DB, old);
    return false;
}

bool Copy(const WCHAR* name) {
    NameDialogParameters& parameters = NameParameters();
    parameters.renameMode = false;
    CopyWide(parameters.source, WideView(name, store::kDatabaseNameLength));
    if (!AskName())
        return false;
    store::Database source;
    CEDBASEINFO info{};
    if (source.Open(name) == INVALID_HANDLE_VALUE || !source.GetInfo(info))
        return false;
    store::Database target;
    if (target.Create(parameters.target, info) == INVALID_HANDLE_VALUE)
        return false;
    if (info.wNumRecords > 0)
        CopyRecords(source, target);
    return true;
}

void ShowProperties() {
    DialogBoxParamW(App().instance, MAKEINTRESOURCE(res::IDD_PROPERTIES), App().mainWindow,
                    &PropertiesProcedure, 0);
}

}  // namespace app
