// The selection of main keys that registry backup and restore show first:
// one checked row per root, and in backup mode "Password-protected".

#include <string>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "regbackup/RegistryBackup.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace regbackup {

using namespace ce;

namespace {

constexpr const char16_t* kRegistryTopic = u"regbackup";
constexpr UINT kRowTexts[kRootRows] = {res::IDS_HKEY_CLASSES_ROOT, res::IDS_HKEY_LOCAL_MACHINE,
                                       res::IDS_HKEY_CURRENT_USER};

RegistryBackup& BackupOf(HWND dialog) {
    return *reinterpret_cast<RegistryBackup*>(GetWindowLongW(dialog, DWL_USER));
}

int ColumnWidth() {
    // The keyboard edition's captioned window has a wider column; the
    // palm-size one doubles its column at high resolution.
    if (!appcore::Shell().PaintsDialogTitles())
        return 200;
    return appcore::App().highResolution ? 370 : 185;
}

void FillRoots(HWND list, const RegistryBackup& backup) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = ColumnWidth();
    ListView_InsertColumn(list, 0, &column);
    for (int row = 0; row < kRootRows; ++row) {
        std::u16string text = ui::LoadText(kRowTexts[row]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text.data();
        ListView_InsertItem(list, &item);
        ListView_SetCheckState(list, row, backup.rootSelection[row]);
    }
}

void InitSelection(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, false, true);
    SetWindowLongW(dialog, DWL_USER, parameter);
    RegistryBackup& backup = BackupOf(dialog);
    FillRoots(GetDlgItem(dialog, res::IDC_REG_ROOTS), backup);
    HWND password = GetDlgItem(dialog, res::IDC_REG_PASSWORD);
    if (backup.restoreMode) {
        SetWindowTextW(dialog, ui::LoadText(res::IDS_REG_RESTORE_CAPTION).c_str());
        ShowWindow(password, SW_HIDE);
    } else {
        CheckDlgButton(dialog, res::IDC_REG_PASSWORD,
                       backup.passwordFlag ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool OnSelectionCommand(HWND dialog, int id) {
    if (id != IDOK)
        return ui::CloseOnOkOrCancel(dialog, id);
    HWND list = GetDlgItem(dialog, res::IDC_REG_ROOTS);
    bool checked[kRootRows];
    for (int row = 0; row < kRootRows; ++row)
        checked[row] = ListView_GetCheckState(list, row) != FALSE;
    bool protect = IsDlgButtonChecked(dialog, res::IDC_REG_PASSWORD) == BST_CHECKED;
    if (BackupOf(dialog).ConfirmSelection(dialog, checked, protect))
        EndDialog(dialog, IDOK);
    return true;
}

BOOL SelectionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kRegistryTopic, &InitSelection,
                                   &OnSelectionCommand);
}

}  // namespace

bool ShowRegistrySelection(RegistryBackup& backup) {
    HWND owner = backup.owner() != nullptr ? backup.owner() : appcore::App().mainWindow;
    UINT id = ui::ChooseTemplate(res::IDD_REGISTRY_BACKUP, res::IDD_REGISTRY_BACKUP_WIDE);
    return DialogBoxParamW(appcore::App().instance, MAKEINTRESOURCE(id), owner, &SelectionProcedure,
                           reinterpret_cast<LPARAM>(&backup)) == IDOK;
}

}  // namespace regbackup
