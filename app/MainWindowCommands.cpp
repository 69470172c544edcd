#include "app/MainWindowCommands.h"

#include "app/BackupCommands.h"
#include "app/DatabaseCommands.h"
#include "app/DatabaseList.h"
#include "app/ListSorting.h"
#include "app/MenuState.h"
#include "app/NameDialogs.h"
#include "app/OptionsDialog.h"
#include "appcore/Application.h"
#include "editor/AddPropertyWizard.h"
#include "editor/RecordEditor.h"
#include "export/ExportDialog.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "regbackup/RegistryBackup.h"
#include "resources/ControlIds.h"
#include "resources/KeyboardIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "transfer/Transfer.h"
#include "ui/FileDialogs.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace ce;
using namespace appcore;
using namespace res;

namespace {

void ViewModify() {
    WCHAR name[store::kDatabaseNameUnits];
    if (SelectedCount() != 1 || !SelectedName(name))
        return;
    store::Database database;
    CEDBASEINFO info{};
    if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info)) {
        RefreshIfGone(name);
        return;
    }
    if (info.wNumRecords == 0) {
        if (ui::MessageById(nullptr, IDS_CONFIRM_ADD_RECORD, ui::kWarningQuestion) != IDYES)
            return;
        database.Close();
        if (!editor::AddFirstRecord(App().mainWindow, name))
            return;
    }
    database.Close();
    editor::RunRecordEditor(App().mainWindow, name);
    UpdateSelectedRows();
}

void SetView(DWORD style) {
    Application& application = App();
    DWORD view = static_cast<DWORD>(GetWindowLongW(application.list, GWL_STYLE)) & LVS_TYPEMASK;
    DWORD wanted = style == kLargeIcons   ? LVS_ICON
                   : style == kSmallIcons ? LVS_SMALLICON
                   : style == kList       ? LVS_LIST
                                          : LVS_REPORT;
    if (view == wanted)
        return;
    SetListView(style);
    application.settings->style = style;
    SortList();
}

void Refresh() {
    SaveSelection();
    RefreshList();
}

// A command on the first selected database (nothing when no row is
// selected), and `then` when it succeeded. A failure on a database that
// another program deleted takes its row away.
template <bool (*Operation)(const WCHAR* name), void (*Then)()>
void OnSelected() {
    WCHAR name[store::kDatabaseNameUnits];
    if (!SelectedName(name))
        return;
    if (Operation(name))
        Then();
    else
        RefreshIfGone(name);
}

bool RenameWithDialog(const WCHAR* name) {
    return Rename(name, true);
}

void Nothing() {}

bool SendSelected(const WCHAR* name) {
    return transfer::SendDatabase(App().mainWindow, name) != transfer::Outcome::NotStarted;
}

void Receive() {
    transfer::ReceiveQuestions questions;
    questions.askExists = [](const WCHAR* name, HWND owner) {
        int answer = AskExists(name, owner);
        return answer == kExistsRename      ? transfer::ExistsAnswer::Rename
               : answer == kExistsOverwrite ? transfer::ExistsAnswer::Overwrite
                                            : transfer::ExistsAnswer::Cancel;
    };
    questions.askNewName = [](const WCHAR* name, WCHAR(&target)[store::kDatabaseNameUnits],
                              HWND owner) { return AskNewName(name, target, owner); };
    if (transfer::ReceiveDatabase(App().mainWindow, questions) != transfer::Outcome::NotStarted)
        RefreshList();
}

bool ExportSelected(const WCHAR* name) {
    return textexport::ExportCommand(App().mainWindow, name);
}

void BackupRegistry() {
    regbackup::RegistryBackup(App().mainWindow).BackupRegistry();
}

void RestoreRegistry() {
    regbackup::RegistryBackup(App().mainWindow).RestoreRegistry();
}

void PropertiesOfSelected() {
    WCHAR name[store::kDatabaseNameUnits];
    if (SelectedCount() != 1 || !SelectedName(name))
        return;
    ShowProperties();
    RefreshIfGone(name);
}

void Options() {
    if (ShowOptions(App().mainWindow)) {
        ApplyListAppearance();
        RefreshList();
    }
}

void About() {
    ShowAbout(App().mainWindow);
}

void Help() {
    ui::ShowHelpTopic(ui::kMainHelpTopic);
}

void Close() {
    // Posted: the close is refused while this command still runs.
    PostMessageW(App().mainWindow, WM_CLOSE, 0, 0);
}

// Rows without a handler say "This command is not available yet.".
constexpr ui::CommandRow kCommands[] = {
    {IDM_VIEW_MODIFY, &ViewModify},
    {IDM_COPY, &OnSelected<&Copy, &RefreshList>, &OneRowSelected},
    {IDM_RENAME, &OnSelected<&RenameWithDialog, &RefreshList>, &OneRowSelected},
    {IDM_PROPERTIES, &PropertiesOfSelected, &OneRowSelected},
    {IDM_DELETE, &OnSelected<&DeleteSelected, &RefreshList>, &OneRowSelected},
    {IDM_EMPTY, &OnSelected<&EmptySelected, &Refresh>, &OneRowSelected},
    {IDM_VIEW_SMALL_ICONS, [] { SetView(kSmallIcons); }},
    {IDM_VIEW_LARGE_ICONS, [] { SetView(kLargeIcons); }},
    {IDM_KEYBOARD_LARGE_ICONS, [] { SetView(kLargeIcons); }},
    {IDM_VIEW_LIST, [] { SetView(kList); }},
    {IDM_VIEW_DETAILS, [] { SetView(kDetails); }},
    {IDM_ARRANGE_BY_NAME, [] { ArrangeBy(kSortByName); }},
    {IDM_ARRANGE_BY_DATE, [] { ArrangeBy(kSortByDate); }},
    {IDM_ARRANGE_BY_SIZE, [] { ArrangeBy(kSortBySize); }},
    {IDM_REFRESH, &Refresh},
    {IDM_OPTIONS, &Options},
    {IDM_AUTOBACKUP, &AutobackupCommand},
    {IDM_KEYBOARD_AUTOBACKUP, &AutobackupCommand},
    {IDM_BACKUP, &BackupCommand},
    {IDM_RESTORE, &RestoreCommand},
    {IDM_BACKUP_REGISTRY, &BackupRegistry},
    {IDM_RESTORE_REGISTRY, &RestoreRegistry},
    {IDM_RECEIVE, &Receive},
    {IDM_EXPORT, &OnSelected<&ExportSelected, &Nothing>, &OneRowSelected},
    {IDM_SEND, &OnSelected<&SendSelected, &Refresh>, &OneRowSelected},
    {IDM_ABOUT, &About},
    {IDM_HELP, &Help},
    {IDM_CLOSE, &Close},
};

}  // namespace

ui::CommandTable MainWindowCommands() {
    return kCommands;
}

void RunCommand(UINT command) {
    Application& application = App();
    {
        auto running = application.CommandRunning();
        ui::CarryOut(kCommands, command);
    }
    if (IsWindow(application.mainWindow))
        UpdateMenus(nullptr);
}

}  // namespace app
