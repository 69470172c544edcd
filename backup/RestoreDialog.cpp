#include "backup/RestoreDialog.h"

#include <cstdlib>
#include <optional>

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/BackupOptionsDialog.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "resources/BackupIds.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "store/Formatting.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace backup {

using namespace ce;

namespace {

struct RestoreDialogState {
    BackupArchive* archive = nullptr;
    std::vector<CatalogueEntry> rows;
};

RestoreDialogState& State(HWND dialog) {
    return *reinterpret_cast<RestoreDialogState*>(GetWindowLongW(dialog, DWL_USER));
}

HWND List(HWND dialog) {
    return GetDlgItem(dialog, res::IDC_RESTORE_LIST);
}

// The column widths come with the edition's resources ("140 60" gives the
// name and size columns; a third width adds the date column).
std::vector<int> ColumnWidths() {
    std::u16string text = ui::LoadText(res::IDS_RESTORE_COLUMNS);
    std::vector<int> widths;
    std::string digits = WideToUtf8(text);
    for (const char* p = digits.c_str(); *p != 0;) {
        char* end = nullptr;
        long width = std::strtol(p, &end, 10);
        if (end == p)
            break;
        widths.push_back(static_cast<int>(width));
        p = end;
    }
    if (widths.size() < 2)
        widths = {140, 60};
    return widths;
}

std::u16string StoredText(const DatabaseHeader& header) {
    store::DateTime stored(header.stored);
    std::u16string text = stored.ShortDate();
    return text + u" " + stored.TimeText(false);
}

void AddColumns(HWND list) {
    const UINT headings[] = {res::IDS_CATALOGUE_NAME, res::IDS_CATALOGUE_SIZE,
                             res::IDS_CATALOGUE_DATE};
    std::vector<int> widths = ColumnWidths();
    int scale = appcore::App().highResolution ? 2 : 1;
    for (std::size_t i = 0; i < widths.size() && i < 3; ++i) {
        std::u16string heading = ui::LoadText(headings[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = widths[i] * scale;
        column.pszText = heading.data();
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(list, static_cast<int>(i), &column);
    }
}

void AddRows(HWND list, const std::vector<CatalogueEntry>& rows) {
    bool dateColumn = ColumnWidths().size() >= 3;
    int i = 0;
    for (const CatalogueEntry& row : rows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<WCHAR*>(row.header.info.szDbaseName);
        item.lParam = static_cast<LPARAM>(row.position);
        int index = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, index, 1, CatalogueSizeText(row.header).c_str());
        if (dateColumn)
            ListView_SetItemText(list, index, 2, StoredText(row.header).c_str());
        ++i;
    }
}

// The information line of the first selected row.
void ShowInformation(HWND dialog) {
    RestoreDialogState& state = State(dialog);
    int row = ListView_GetNextItem(List(dialog), -1, LVNI_SELECTED);
    std::u16string text;
    if (row >= 0 && static_cast<std::size_t>(row) < state.rows.size())
        text = CatalogueInformation(state.rows[row].header, state.archive->compress());
    SetDlgItemTextW(dialog, res::IDC_RESTORE_INFO, text.c_str());
}

void InitRestore(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, parameter);
    RestoreDialogState& state = State(dialog);
    HWND list = List(dialog);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    AddColumns(list);
    if (!state.archive->WalkCatalogue(state.rows)) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    AddRows(list, state.rows);
    if (!state.rows.empty()) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetFocus(list);
    }
    if (HFONT bold = appcore::App().settings->boldFont; bold != nullptr)
        SendDlgItemMessageW(dialog, res::IDC_RESTORE_INFO, WM_SETFONT,
                            reinterpret_cast<WPARAM>(bold), TRUE);
    ShowInformation(dialog);
}

bool OnRestoreCommand(HWND dialog, int id) {
    if (id == IDOK) {
        ShowWindow(dialog, SW_HIDE);
        bool ok = State(dialog).archive->RestoreSelected(dialog);
        EndDialog(dialog, ok ? IDOK : IDCANCEL);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL RestoreProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
        if (notice->idFrom == res::IDC_RESTORE_LIST && notice->code == LVN_ITEMCHANGED) {
            ShowInformation(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kRestoreTopic, &InitRestore,
                                   &OnRestoreCommand);
}

// ---- On the console ----

void ChooseRowsOnConsole(HWND dialog, gui::ConsoleHost& console) {
    HWND list = List(dialog);
    int rows = ListView_GetItemCount(list);
    for (int i = 0; i < rows; ++i) {
        WCHAR name[64] = {}, size[32] = {};
        ListView_GetItemText(list, i, 0, name, 64);
        ListView_GetItemText(list, i, 1, size, 32);
        console.Say(FormatWide(u"%d. %s (%s)", {i + 1, name, size}));
    }
    std::vector<int> chosen;
    for (;;) {
        std::optional<std::u16string> line = console.ReadLine(
            u"Restore which databases (numbers, or * for all; nothing restores none)? ", false);
        if (!line || line->empty()) {
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (ParseRowChoice(*line, rows, chosen))
            break;
    }
    for (int i = 0; i < rows; ++i)
        ListView_SetItemState(list, i, 0, LVIS_SELECTED);
    for (int row : chosen)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void AnswerExistsOnConsole(HWND dialog, gui::ConsoleHost& console) {
    WCHAR text[256] = {};
    GetDlgItemTextW(dialog, res::IDC_EXISTS_TEXT, text, 256);
    console.Say(text);
    std::optional<std::u16string> line =
        console.ReadLine(u"[r]ename, [o]verwrite or [c]ancel? ", false);
    char16_t c = line && !line->empty() ? ToUpperWide((*line)[0]) : u'C';
    int id = c == u'R' ? 1 : c == u'O' ? static_cast<int>(res::IDC_OVERWRITE) : 2;
    SendMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void AnswerNameOnConsole(HWND dialog, gui::ConsoleHost& console) {
    while (!gui::DialogEnded(dialog)) {
        std::optional<std::u16string> line = console.ReadLine(u"New name: ", false);
        SetDlgItemTextW(dialog, res::IDC_NAME_TO, line ? line->c_str() : u"");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (!line)
            break;
    }
}

}  // namespace

bool ParseRowChoice(std::u16string_view line, int rows, std::vector<int>& chosen) {
    chosen.clear();
    std::string text = WideToUtf8(line);
    if (text == "*" || text == "all" || text == "a") {
        for (int i = 0; i < rows; ++i)
            chosen.push_back(i);
        return rows > 0;
    }
    for (const char* p = text.c_str(); *p != 0;) {
        if (*p == ' ' || *p == ',' || *p == '\t') {
            ++p;
            continue;
        }
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        if (end == p || n < 1 || n > rows)
            return false;
        chosen.push_back(static_cast<int>(n - 1));
        p = end;
    }
    return !chosen.empty();
}

void AnswerRestoreOnConsole() {
    gui::ConsoleHost* console = gui::CurrentConsole();
    if (console == nullptr || console->AnswersDialog(res::IDD_RESTORE))
        return;
    console->AnswerDialog(res::IDD_RESTORE, &ChooseRowsOnConsole);
    console->AnswerDialog(res::IDD_RESTORE_WIDE, &ChooseRowsOnConsole);
    if (!console->AnswersDialog(res::IDD_DATABASE_EXISTS))
        console->AnswerDialog(res::IDD_DATABASE_EXISTS, &AnswerExistsOnConsole);
    if (!console->AnswersDialog(res::IDD_NAME))
        console->AnswerDialog(res::IDD_NAME, &AnswerNameOnConsole);
}

bool RunRestoreDialog(BackupArchive& archive, HWND owner) {
    AnswerRestoreOnConsole();
    appcore::Application& application = appcore::App();
    RestoreDialogState state;
    state.archive = &archive;
    UINT id = ui::ChooseTemplate(res::IDD_RESTORE, res::IDD_RESTORE_WIDE);
    return DialogBoxParamW(application.instance, MAKEINTRESOURCE(id),
                           owner != nullptr ? owner : application.mainWindow, &RestoreProcedure,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace backup
