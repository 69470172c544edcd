// The editor's commands as a table: what each does and when it can be chosen.

#include "editor/EditorCommands.h"

#include "editor/EditorState.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/ShellUi.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "ui/CommandTable.h"

namespace editor {

using namespace ce;

namespace {

// The editor the table's handlers and rules act on, while they run.
EditorState* current = nullptr;

EditorState& Editor() {
    return *current;
}

template <UINT Command>
void NavigateTo() {
    Navigate(Editor(), Command);
}

template <int Index>
void SortBy() {
    ChooseSortOrder(Editor(), Index);
}

bool NotAtFirst() {
    return Editor().position != 0;
}

bool NotAtLast() {
    return Editor().position + 1 < Editor().info.wNumRecords;
}

bool HaveFindText() {
    return Editor().findText[0] != 0;
}

bool FieldHasSelection(HWND field) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return end > start;
}

bool CanCopy() {
    if (HWND field = FocusedField(Editor()))
        return FieldHasSelection(field);
    return Editor().Property(SelectedProperty(Editor())) != nullptr;
}

bool CanUndo() {
    if (HWND field = FocusedField(Editor()))
        return SendMessageW(field, EM_CANUNDO, 0, 0) != 0;
    return Editor().undo.has_value();
}

bool CanPaste() {
    if (FocusedField(Editor()) != nullptr)
        return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    return IsClipboardFormatAvailable(ClipboardFormat()) != 0;
}

bool CanSelectAll() {
    return FocusedField(Editor()) != nullptr;
}

constexpr ui::CommandRow kCommands[] = {
    {res::IDM_SORT_UNSORTED, &SortBy<-1>},
    {res::IDM_SORT_FIRST, &SortBy<0>},
    {res::IDM_SORT_FIRST + 1, &SortBy<1>},
    {res::IDM_SORT_FIRST + 2, &SortBy<2>},
    {res::IDM_SORT_FIRST + 3, &SortBy<3>},
    {res::IDM_RECORD_FIRST, &NavigateTo<res::IDM_RECORD_FIRST>, &NotAtFirst},
    {res::IDM_RECORD_PREVIOUS, &NavigateTo<res::IDM_RECORD_PREVIOUS>, &NotAtFirst},
    {res::IDM_RECORD_NEXT, &NavigateTo<res::IDM_RECORD_NEXT>, &NotAtLast},
    {res::IDM_RECORD_LAST, &NavigateTo<res::IDM_RECORD_LAST>, &NotAtLast},
    {res::IDM_RECORD_DELETE, [] { DeleteRecord(Editor()); }},
    {res::IDM_EDIT_UNDO, [] { Undo(Editor()); }, &CanUndo},
    {res::IDM_EDIT_CUT, [] { Cut(Editor()); }, &CanCopy},
    {res::IDM_EDIT_COPY, [] { Copy(Editor()); }, &CanCopy},
    {res::IDM_EDIT_PASTE, [] { Paste(Editor()); }, &CanPaste},
    {res::IDM_EDIT_SELECT_ALL, [] { SelectAll(Editor()); }, &CanSelectAll},
    {res::IDM_FIND, [] { Find(Editor(), true); }},
    {res::IDM_FIND_NEXT, [] { Find(Editor(), false); }, &HaveFindText},
    {res::IDM_RELOAD, [] { Reload(Editor()); }},
    {res::IDC_ADD_PROPERTY, [] { AddProperty(Editor()); }},
    {res::IDC_DELETE_PROPERTY, [] { DeleteProperty(Editor()); }},
};

class Acting {
public:
    explicit Acting(EditorState& state) : previous_(current) { current = &state; }
    ~Acting() { current = previous_; }
    Acting(const Acting&) = delete;
    Acting& operator=(const Acting&) = delete;

private:
    EditorState* previous_;
};

}  // namespace

ui::CommandTable EditorCommands() {
    return kCommands;
}

bool RunEditorCommand(EditorState& state, UINT id) {
    Acting acting(state);
    return ui::CarryOut(kCommands, id);
}

void UpdateCommandStates(EditorState& state) {
    if (!IsWindow(state.window) || state.menuBar == nullptr)
        return;
    Acting acting(state);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(state.menuBar, SHCMBM_GETMENU, 0, 0));
    // Only what changed is written: on most records nothing does.
    ui::ApplyEnabling(kCommands, menu, state.menuBar, &state.appliedStates);
    UINT checked = state.SortOrderInUse() ? res::IDM_SORT_FIRST + static_cast<UINT>(state.sortInUse)
                                          : res::IDM_SORT_UNSORTED;
    if (menu != nullptr && checked != state.checkedSort) {
        CheckMenuRadioItem(menu, res::IDM_SORT_FIRST, res::IDM_SORT_UNSORTED, checked,
                           MF_BYCOMMAND);
        state.checkedSort = checked;
    }
}

}  // namespace editor
