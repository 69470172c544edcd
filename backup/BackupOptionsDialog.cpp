#include "backup/BackupOptionsDialog.h"

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/PasswordDialogs.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/BackupIds.h"
#include "resources/StringIds.h"
#include "ui/DialogFrame.h"
#include "ui/FileDialogs.h"

namespace backup {

using namespace ce;

namespace {

// The keyboard edition's template names the script controls otherwise.
int ScriptNameId(HWND dialog) {
    return GetDlgItem(dialog, res::IDC_BACKUP_SCRIPT_NAME) != nullptr
               ? res::IDC_BACKUP_SCRIPT_NAME
               : res::IDC_BACKUP_SCRIPT_NAME_KEYBOARD;
}

int BrowseId(HWND dialog) {
    return GetDlgItem(dialog, res::IDC_BACKUP_SCRIPT_BROWSE) != nullptr
               ? res::IDC_BACKUP_SCRIPT_BROWSE
               : res::IDC_BACKUP_SCRIPT_BROWSE_KEYBOARD;
}

bool Ticked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void EnableScriptName(HWND dialog, bool on) {
    EnableWindow(GetDlgItem(dialog, ScriptNameId(dialog)), on ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dialog, BrowseId(dialog)), on ? TRUE : FALSE);
}

BackupArchive& Archive(HWND dialog) {
    return *reinterpret_cast<BackupArchive*>(GetWindowLongW(dialog, DWL_USER));
}

void InitOptions(HWND dialog, LPARAM archive) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, archive);
    appcore::Application& application = appcore::App();
    bool anySelected =
        application.list != nullptr && ListView_GetSelectedCount(application.list) > 0;
    if (anySelected) {
        CheckDlgButton(dialog, res::IDC_BACKUP_SELECTED, BST_CHECKED);
    } else {
        // Nothing is selected: all databases, and no choice.
        CheckDlgButton(dialog, res::IDC_BACKUP_ALL, BST_CHECKED);
        EnableWindow(GetDlgItem(dialog, res::IDC_BACKUP_SELECTED), FALSE);
        EnableWindow(GetDlgItem(dialog, res::IDC_BACKUP_ALL), FALSE);
    }
    CheckDlgButton(dialog, res::IDC_BACKUP_COMPRESS,
                   Archive(dialog).compress() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, res::IDC_BACKUP_MAKE_SCRIPT, BST_UNCHECKED);
    CheckDlgButton(dialog, res::IDC_BACKUP_PASSWORD, BST_UNCHECKED);
    int name = ScriptNameId(dialog);
    SendDlgItemMessageW(dialog, name, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SetDlgItemTextW(dialog, name, application.settings->scriptName);
    EnableScriptName(dialog, false);
}

void Browse(HWND dialog) {
    WCHAR path[MAX_PATH] = {};
    GetDlgItemTextW(dialog, ScriptNameId(dialog), path, MAX_PATH);
    if (ui::AskFileName(dialog, path, false, res::IDS_FILTER_SCRIPT, u"*.abk"))
        SetDlgItemTextW(dialog, ScriptNameId(dialog), path);
}

void Confirm(HWND dialog) {
    BackupArchive& archive = Archive(dialog);
    bool password = Ticked(dialog, res::IDC_BACKUP_PASSWORD);
    if (password) {
        // No password given: the options stay open, the box still ticked.
        WCHAR plain[kPasswordUnits] = {};
        if (!AskProtectPassword(plain, dialog) || plain[0] == 0)
            return;
        archive.SetPassword(WideView(plain, kMaxPasswordLength));
    } else {
        archive.SetPassword(u"");
    }
    archive.SetCompress(Ticked(dialog, res::IDC_BACKUP_COMPRESS));
    archive.SetAllDatabases(Ticked(dialog, res::IDC_BACKUP_ALL));
    archive.SetMakeScript(Ticked(dialog, res::IDC_BACKUP_MAKE_SCRIPT));
    if (archive.makeScript()) {
        WCHAR* scriptName = appcore::App().settings->scriptName;
        GetDlgItemTextW(dialog, ScriptNameId(dialog), scriptName, MAX_PATH);
    }
    EndDialog(dialog, IDOK);
}

bool OnCommand(HWND dialog, int id) {
    if (id == IDOK) {
        Confirm(dialog);
        return true;
    }
    if (id == res::IDC_BACKUP_MAKE_SCRIPT) {
        EnableScriptName(dialog, Ticked(dialog, id));
        return true;
    }
    if (id == BrowseId(dialog)) {
        Browse(dialog);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kBackupTopic, &InitOptions,
                                   &OnCommand);
}

}  // namespace

bool ShowBackupOptions(BackupArchive& archive, HWND owner) {
    appcore::Application& application = appcore::App();
    UINT id = ui::ChooseTemplate(res::IDD_BACKUP_OPTIONS, res::IDD_BACKUP_OPTIONS_WIDE);
    return DialogBoxParamW(application.instance, MAKEINTRESOURCE(id),
                           owner != nullptr ? owner : application.mainWindow, &Procedure,
                           reinterpret_cast<LPARAM>(&archive)) == IDOK;
}

}  // namespace backup
