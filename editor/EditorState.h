#pragma once
// The state of one open record editor, and the operations its parts share.
// The window procedure finds it in the dialog's DWL_USER data.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/PropertyTypes.h"
#include "editor/PropertyValue.h"
#include "editor/RecordEditor.h"
#include "platform/core/Types.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinTypes.h"
#include "store/Database.h"

namespace editor {

using ce::CEOID;
using ce::DWORD;
using ce::HWND;
using ce::WCHAR;

enum class UndoKind { None, Deleted, Cut, Changed, Added };

inline constexpr WORD kNoProperty = 0xFFFF;
inline constexpr UINT kChangeTimer = 511;
inline constexpr UINT kChangeDelayMs = 500;
inline constexpr int kFindTextUnits = 260;

struct EditorState {
    std::optional<PropertyValue> undo;
    UndoKind undoKind = UndoKind::None;
    WCHAR name[store::kDatabaseNameUnits] = {};
    HWND window = nullptr;
    std::unique_ptr<store::Database> database;
    DWORD position = 0;
    store::RecordBuffer record;
    CEOID recordId = 0;
    HWND menuBar = nullptr;
    ce::CEDBASEINFO info{};
    Pane shownPane = Pane::None;
    bool numberEdited = false;
    bool textEdited = false;
    WORD editedProperty = kNoProperty;
    int sortInUse = -1;
    WCHAR findText[kFindTextUnits] = {};
    bool ownWrite = false;
    bool changePending = false;
    bool active = false;
    // Set while a value is put into the pane, so that the fields' change
    // notifications do not count as edits.
    bool showing = false;
    // Set when the last save refused the pane's input or the user declined
    // the change warning: the input is still there, unsaved.
    bool refused = false;
    // What the property list shows: the identifiers of the record's
    // properties in record order and their sizes, so that a record of
    // the same properties (the usual next record) only updates the sizes.
    std::vector<CEPROPID> listedIds;
    std::vector<unsigned> listedSizes;
    // The command states last written to the menus and buttons (one per
    // row of the command table) and the Sort By item last checked.
    std::vector<signed char> appliedStates;
    UINT checkedSort = 0;
    // The controls the editor asks for on every record.
    HWND list = nullptr;
    HWND numberField = nullptr;
    HWND textField = nullptr;
    HWND datePicker = nullptr;
    HWND timePicker = nullptr;
    HWND counter = nullptr;
    HWND deleteButton = nullptr;
    // The local time the date pane was filled with.
    ce::SYSTEMTIME shownTime{};
    // The info text the number pane shows (a string id), and the counter's format.
    UINT shownInfo = 0;
    std::u16string counterFormat;

    ~EditorState() { record.Release(); }

    const CEPROPVAL* Property(WORD index) const {
        return record.buffer != nullptr && index < record.count ? &record.props()[index] : nullptr;
    }
    void DiscardUndo() {
        undo.reset();
        undoKind = UndoKind::None;
    }
    void KeepUndo(const CEPROPVAL& value, UndoKind kind) {
        undo.emplace(value);
        undoKind = kind;
    }
    bool SortOrderInUse() const { return sortInUse >= 0 && sortInUse < info.wNumSortOrder; }
};

EditorState* StateOf(HWND window);

// ---- The database (EditorDatabase.cpp) ----
// Opens (or reopens) the database in the order in use, returning to the
// given record when it still exists; closes the editor on failure.
bool Reopen(EditorState& state, CEOID returnTo = 0);
// Reopens with the selected property kept.
void Reload(EditorState& state);
void Navigate(EditorState& state, UINT command);
void ChooseSortOrder(EditorState& state, int index);
void BuildSortMenu(EditorState& state);
// The object store's notifications, activation and the change timer.
void OnDatabaseNotification(EditorState& state, UINT message, CEOID parent);
void OnActivate(EditorState& state, bool active);
void OnChangeTimer(EditorState& state);
// Ends the editor with a close code (the quit message carries it).
void CloseEditor(EditorState& state, int code);

// ---- The property list (PropertyList.cpp) ----
// Refills the list from the current record; selects the property with this
// full identifier when given, else the item at the previously selected position.
void FillPropertyList(EditorState& state, std::optional<CEPROPID> select = std::nullopt);
void SetUpPropertyList(EditorState& state);
void SortPropertyList(EditorState& state);
void OnColumnClick(EditorState& state, int column);
// The property index of the selected item, or kNoProperty.
WORD SelectedProperty(const EditorState& state);
// Selects, focuses and shows the item whose property has this identifier.
void SelectPropertyItem(EditorState& state, CEPROPID id);
// The list's selection changed: saves the edit of the property left, shows the new one.
void OnSelectionChanged(EditorState& state);
// Shows the property with this index in the value pane as the one being edited.
void ShowSelected(EditorState& state, WORD index);

// ---- The value pane (ValuePane.cpp) ----
void HideValueControls(EditorState& state);
void ShowValue(EditorState& state, WORD index);
// Saves the pending edit of the edited property; true when it was saved.
bool SavePendingEdit(EditorState& state, WORD index, bool refresh);
// Saves the edit of the edited property, if any, without refreshing.
void SaveEditedProperty(EditorState& state, bool refresh);

// ---- Editing (PropertyEditing.cpp) ----
void DeleteProperty(EditorState& state);
void DeleteRecord(EditorState& state);
void Cut(EditorState& state);
void Copy(EditorState& state);
void Paste(EditorState& state);
void Undo(EditorState& state);
void SelectAll(EditorState& state);
// The focused text or number field, or nullptr when the focus is elsewhere.
HWND FocusedField(const EditorState& state);
UINT ClipboardFormat();

// ---- Find and Add (FindProperty.cpp, AddPropertyWizard.cpp) ----
void Find(EditorState& state, bool askFirst);
void AddProperty(EditorState& state);

// ---- Commands (EditorCommands.cpp) ----
bool RunEditorCommand(EditorState& state, UINT id);
void UpdateCommandStates(EditorState& state);

}  // namespace editor
