#include "app/NameDialogs.h"

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "ui/DialogFrame.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

HWND OwnerOr(HWND owner) {
    return owner != nullptr ? owner : App().mainWindow;
}

void InitNameDialog(HWND dialog, LPARAM) {
    NameDialogParameters& parameters = NameParameters();
    ui::InitDialogFrame(dialog, true, true);
    if (parameters.renameMode) {
        std::u16string caption = ui::LoadText(res::IDS_RENAME_CAPTION);
        SetWindowTextW(dialog, caption.c_str());
        SetDlgItemTextW(dialog, res::IDC_TITLE, caption.c_str());
    }
    SetDlgItemTextW(dialog, res::IDC_NAME_FROM, parameters.source);
    SendDlgItemMessageW(dialog, res::IDC_NAME_TO, EM_LIMITTEXT, store::kDatabaseNameUnits, 0);
}

void ConfirmName(HWND dialog) {
    NameDialogParameters& parameters = NameParameters();
    // The field takes one character more than a name has.
    WCHAR entered[store::kDatabaseNameUnits + 1] = {};
    GetDlgItemTextW(dialog, res::IDC_NAME_TO, entered, store::kDatabaseNameUnits + 1);
    CopyWide(parameters.target, WideView(entered, store::kDatabaseNameLength));
    if (parameters.target[0] == 0) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    store::Database database(dialog);
    database.SetReportErrors(false);
    if (database.Open(parameters.target) == INVALID_HANDLE_VALUE) {
        EndDialog(dialog, IDOK);
        return;
    }
    database.Close();
    ui::MessageByIdWith(dialog, res::IDS_NAME_EXISTS, parameters.target, ui::kErrorStyle);
    HWND field = GetDlgItem(dialog, res::IDC_NAME_TO);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

bool OnNameCommand(HWND dialog, int id) {
    if (id == IDOK) {
        ConfirmName(dialog);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL NameProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, ui::kNameDialogTopic,
                                   &InitNameDialog, &OnNameCommand);
}

void InitExists(HWND dialog, LPARAM name) {
    ui::InitDialogFrame(dialog, true, false);
    WCHAR format[256];
    ui::LoadText(res::IDS_DATABASE_EXISTS, format, 256);
    std::u16string text = FormatWide(format, {reinterpret_cast<const WCHAR*>(name)});
    SetDlgItemTextW(dialog, res::IDC_EXISTS_TEXT, text.c_str());
}

bool OnExistsCommand(HWND dialog, int id) {
    if (id != kExistsRename && id != kExistsCancel && id != kExistsOverwrite)
        return false;
    EndDialog(dialog, id);
    return true;
}

BOOL ExistsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, nullptr, &InitExists,
                                   &OnExistsCommand);
}

}  // namespace

NameDialogParameters& NameParameters() {
    static NameDialogParameters parameters;
    return parameters;
}

bool AskName(HWND owner) {
    return DialogBoxParamW(App().instance, MAKEINTRESOURCE(res::IDD_NAME), OwnerOr(owner),
                           &NameProcedure, 0) == IDOK;
}

bool AskNewName(const WCHAR* source, WCHAR (&target)[store::kDatabaseNameUnits], HWND owner) {
    NameDialogParameters& parameters = NameParameters();
    parameters.renameMode = true;
    CopyWide(parameters.source, WideView(source, store::kDatabaseNameLength));
    if (!AskName(owner))
        return false;
    CopyWide(target, WideView(parameters.target, store::kDatabaseNameLength));
    return true;
}

int AskExists(const WCHAR* name, HWND owner) {
    int answer = DialogBoxParamW(App().instance, MAKEINTRESOURCE(res::IDD_DATABASE_EXISTS),
                                 OwnerOr(owner), &ExistsProcedure, reinterpret_cast<LPARAM>(name));
    return answer == kExistsRename || answer == kExistsOverwrite ? answer : kExistsCancel;
}

}  // namespace app
