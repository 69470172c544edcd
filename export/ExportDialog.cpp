#include "export/ExportDialog.h"

#include "appcore/Application.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace textexport {

using namespace ce;

namespace {

constexpr const char16_t* kExportTopic = u"export";

ExportOptions& OptionsOf(HWND dialog) {
    return *reinterpret_cast<ExportOptions*>(GetWindowLongW(dialog, DWL_USER));
}

void InitExport(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, false, true);
    SetWindowLongW(dialog, DWL_USER, parameter);
    const ExportOptions& options = OptionsOf(dialog);
    HWND list = GetDlgItem(dialog, res::IDC_EXPORT_FORMAT);
    for (UINT id : {res::IDS_TAB_SEPARATED, res::IDS_COMMA_SEPARATED}) {
        std::u16string text = ui::LoadText(id);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(options.fileType), 0);
    CheckDlgButton(dialog, res::IDC_EXPORT_UNICODE, options.unicode ? BST_CHECKED : BST_UNCHECKED);
}

bool OnExportCommand(HWND dialog, int id) {
    if (id != IDOK)
        return ui::CloseOnOkOrCancel(dialog, id);
    auto type =
        static_cast<int>(SendDlgItemMessageW(dialog, res::IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0));
    if (type != kTabSeparated && type != kCommaSeparated) {
        ui::MessageById(dialog, res::IDS_SELECT_FILE_TYPE, ui::kErrorStyle);
        return true;
    }
    ExportOptions& options = OptionsOf(dialog);
    options.fileType = type;
    options.unicode = IsDlgButtonChecked(dialog, res::IDC_EXPORT_UNICODE) == BST_CHECKED;
    EndDialog(dialog, IDOK);
    return true;
}

BOOL ExportProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kExportTopic, &InitExport,
                                   &OnExportCommand);
}

}  // namespace

bool AskExportOptions(ExportOptions& options) {
    HWND owner = options.owner != nullptr ? options.owner : appcore::App().mainWindow;
    return DialogBoxParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_EXPORT), owner,
                           &ExportProcedure, reinterpret_cast<LPARAM>(&options)) == IDOK;
}

bool ExportCommand(HWND owner, const WCHAR* name) {
    ExportOptions options;
    options.owner = owner;
    if (!AskExportOptions(options))
        return false;
    return ExportDatabase(name, options);
}

}  // namespace textexport
