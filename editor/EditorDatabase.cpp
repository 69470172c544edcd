// The editor's database: opening in the order in use, navigation, Sort By,
// reloading, and noticing another process's adds and deletes.

#include "appcore/ScopedValue.h"
#include "editor/EditorState.h"
#include "platform/core/Text.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace editor {

using namespace ce;

namespace {

HMENU SortMenu(EditorState& state) {
    HMENU bar = reinterpret_cast<HMENU>(SendMessageW(state.menuBar, SHCMBM_GETMENU, 0, 0));
    HMENU record = bar != nullptr ? GetSubMenu(bar, 0) : nullptr;
    return record != nullptr ? GetSubMenu(record, 0) : nullptr;
}

bool OpenUnsorted(EditorState& state) {
    return state.database->OpenNotified(state.window, state.name) != INVALID_HANDLE_VALUE;
}

bool OpenSorted(EditorState& state, int index) {
    return state.database->OpenNotified(state.window, state.name,
                                        state.info.rgSortSpecs[index].propid) !=
           INVALID_HANDLE_VALUE;
}

// After a change of order: the first record, no undo, a fresh list.
void StartOver(EditorState& state) {
    state.database->SetReportErrors(false);
    state.database->SeekFirst(state.position);
    state.DiscardUndo();
    FillPropertyList(state);
}

}  // namespace

bool Reopen(EditorState& state, CEOID returnTo) {
    KillTimer(state.window, kChangeTimer);
    store::Database& database = *state.database;
    database.SetReportErrors(false);
    database.Close();
    bool open = state.SortOrderInUse() && OpenSorted(state, state.sortInUse);
    if (!open)
        open = OpenUnsorted(state);
    if (!open) {
        database.SetReportErrors(true);
        database.ReportError(res::IDS_CANT_OPEN_DB, state.name);
        database.SetReportErrors(false);
        CloseEditor(state, kClosedCancel);
        return false;
    }
    database.GetInfo(state.info);
    if (state.info.wNumRecords == 0) {
        ui::MessageById(state.window, res::IDS_LAST_RECORD_DELETED, ui::kErrorStyle);
        CloseEditor(state, kClosedCancel);
        return false;
    }
    database.SeekFirst(state.position);
    if (returnTo != 0)
        database.SeekTo(returnTo, state.position);
    state.changePending = false;
    return true;
}

void Reload(EditorState& state) {
    std::optional<CEPROPID> selected;
    if (const CEPROPVAL* property = state.Property(SelectedProperty(state)))
        selected = property->propid;
    if (Reopen(state, state.recordId))
        FillPropertyList(state, selected);
}

void Navigate(EditorState& state, UINT command) {
    bool saved = false;
    state.refused = false;
    if (state.editedProperty != kNoProperty)
        saved = SavePendingEdit(state, state.editedProperty, false);
    // Input that was refused stays in its field: the editor does not move.
    if (state.refused)
        return;
    state.editedProperty = kNoProperty;
    store::Database& database = *state.database;
    bool moved = command == res::IDM_RECORD_FIRST      ? database.SeekFirst(state.position)
                 : command == res::IDM_RECORD_PREVIOUS ? database.SeekPrevious(state.position)
                 : command == res::IDM_RECORD_NEXT     ? database.SeekNext(state.position)
                                                       : database.SeekLast(state.position);
    if (moved || saved) {
        state.DiscardUndo();
        FillPropertyList(state);
    }
}

void BuildSortMenu(EditorState& state) {
    HMENU menu = SortMenu(state);
    if (menu == nullptr)
        return;
    int orders = std::min<int>(state.info.wNumSortOrder, 4);
    for (int i = 3; i >= orders; --i)
        DeleteMenu(menu, res::IDM_SORT_FIRST + static_cast<UINT>(i), MF_BYCOMMAND);
    for (int i = 0; i < orders; ++i) {
        std::u16string text = SortItemText(state.info.rgSortSpecs[i].propid);
        ModifyMenuW(menu, res::IDM_SORT_FIRST + static_cast<UINT>(i), MF_BYCOMMAND | MF_STRING,
                    res::IDM_SORT_FIRST + static_cast<UINT>(i), text.c_str());
    }
}

void ChooseSortOrder(EditorState& state, int index) {
    bool sorted = index >= 0 && index < state.info.wNumSortOrder;
    if ((sorted && index == state.sortInUse) || (!sorted && !state.SortOrderInUse()))
        return;
    store::Database& database = *state.database;
    database.Close();
    database.SetReportErrors(true);
    if (sorted && OpenSorted(state, index)) {
        state.sortInUse = index;
    } else {
        state.sortInUse = -1;
        if (!OpenUnsorted(state)) {
            database.SetReportErrors(false);
            return;
        }
    }
    StartOver(state);
}

void OnDatabaseNotification(EditorState& state, UINT, CEOID parent) {
    if (parent != state.database->identifier() || state.ownWrite || state.changePending)
        return;
    state.changePending = true;
    if (state.active)
        SetTimer(state.window, kChangeTimer, kChangeDelayMs, nullptr);
}

void OnActivate(EditorState& state, bool active) {
    if (!active) {
        state.active = false;
        return;
    }
    if (state.active)
        return;
    state.active = true;
    if (state.changePending)
        SetTimer(state.window, kChangeTimer, kChangeDelayMs, nullptr);
}

void OnChangeTimer(EditorState& state) {
    KillTimer(state.window, kChangeTimer);
    ui::MessageByIdWith(state.window, res::IDS_MODIFIED_BY_OTHER, state.name,
                        MB_OK | MB_ICONINFORMATION);
    Reload(state);
    UpdateCommandStates(state);
}

}  // namespace editor
