#include "app/BackupCommands.h"

#include "app/DatabaseList.h"
#include "app/NameDialogs.h"
#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "resources/StringIds.h"
#include "ui/FileDialogs.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

backup::ExistsAnswer AskExistsForRestore(const WCHAR* name, HWND owner) {
    switch (AskExists(name, owner)) {
        case kExistsRename:
            return backup::ExistsAnswer::Rename;
        case kExistsOverwrite:
            return backup::ExistsAnswer::Overwrite;
        default:
            return backup::ExistsAnswer::Cancel;
    }
}

bool AskNewNameForRestore(const WCHAR* name, backup::DatabaseName& target, HWND owner) {
    return AskNewName(name, target, owner);
}

}  // namespace

backup::ExistsQuestions BrowserExistsQuestions() {
    return {&AskExistsForRestore, &AskNewNameForRestore};
}

void BackupCommand() {
    Application& application = App();
    backup::BackupArchive archive;
    if (!archive.OpenForBackup(application.mainWindow, true, nullptr))
        return;
    HWND list = application.list;
    int rows = list != nullptr ? ListView_GetItemCount(list) : 0;
    for (int row = 0; row < rows; ++row) {
        if (!archive.allDatabases() &&
            (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED) == 0)
            continue;
        WCHAR name[store::kDatabaseNameUnits] = {};
        ListView_GetItemText(list, row, kNameColumn, name, store::kDatabaseNameUnits);
        if (!archive.BackupDatabase(name))
            break;
    }
    archive.FinishBackup();
}

void AutobackupCommand() {
    Application& application = App();
    Settings& settings = *application.settings;
    if (settings.promptScript != 0) {
        WCHAR path[MAX_PATH];
        CopyWide(path, WideView(settings.scriptName, MAX_PATH));
        if (!ui::AskFileName(application.mainWindow, path, true, res::IDS_FILTER_SCRIPT, u"*.abk"))
            return;
        CopyWide(settings.scriptName, WideView(path, MAX_PATH));
    }
    backup::BackupArchive archive;
    archive.RunAutobackup(application.mainWindow);
}

void RestoreCommand() {
    backup::BackupArchive archive;
    archive.SetExistsQuestions(BrowserExistsQuestions());
    if (archive.OpenForRestore(App().mainWindow, nullptr))
        RefreshList();
}

}  // namespace app
