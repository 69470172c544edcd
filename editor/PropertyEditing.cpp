// Deleting properties and records, the clipboard and undo; Cut, Copy, Paste,
// Undo and Select All go to the text or number field when it has the focus.

#include <cstring>

#include "appcore/Application.h"
#include "appcore/ScopedValue.h"
#include "editor/ClipboardBlock.h"
#include "editor/EditorState.h"
#include "platform/core/LocalMemory.h"
#include "platform/gui/Clipboard.h"
#include "platform/shell/Shell.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace editor {

using namespace ce;

namespace {

bool WarningsOn() {
    return appcore::App().settings && appcore::App().settings->showWarning != 0;
}

// Puts a property on the clipboard under the program's format.
bool PutOnClipboard(EditorState& state, const CEPROPVAL& property) {
    if (!OpenClipboard(state.window))
        return false;
    bool put = false;
    if (std::optional<std::vector<BYTE>> block = EncodeClipboardBlock(property)) {
        HLOCAL memory = LocalAlloc(LMEM_FIXED, block->size());
        if (memory == nullptr) {
            SHShowOutOfMemory(state.window, 0);
        } else {
            std::memcpy(memory, block->data(), block->size());
            EmptyClipboard();
            put = SetClipboardData(ClipboardFormat(), reinterpret_cast<HANDLE>(memory)) != nullptr;
            if (!put)
                LocalFree(memory);
        }
    }
    CloseClipboard();
    return put;
}

std::optional<PropertyValue> TakeFromClipboard(EditorState& state) {
    if (!OpenClipboard(state.window))
        return std::nullopt;
    std::optional<PropertyValue> value;
    if (HANDLE data = GetClipboardData(ClipboardFormat())) {
        auto* block = reinterpret_cast<HLOCAL>(data);
        value = DecodeClipboardBlock(
            std::span<const BYTE>(static_cast<const BYTE*>(block), LocalSize(block)));
    }
    CloseClipboard();
    return value;
}

bool HasProperty(const EditorState& state, CEPROPID id) {
    for (WORD i = 0; i < state.record.count; ++i) {
        if (state.record.props()[i].propid == id)
            return true;
    }
    return false;
}

// Writes with the failure reported through `format` (0: silently).
CEOID WriteReporting(EditorState& state, const CEPROPVAL& value, bool report) {
    state.database->SetReportErrors(report);
    CEOID written = state.database->WriteProperty(state.recordId, value);
    state.database->SetReportErrors(false);
    return written;
}

}  // namespace

UINT ClipboardFormat() {
    static UINT format = RegisterClipboardFormatW(kClipboardFormatName);
    return format;
}

HWND FocusedField(const EditorState& state) {
    HWND focus = GetFocus();
    if (focus == nullptr)
        return nullptr;
    if (focus == state.textField || focus == state.numberField)
        return focus;
    return nullptr;
}

void DeleteProperty(EditorState& state) {
    if (state.record.count < 2) {
        DeleteRecord(state);
        return;
    }
    WORD index = SelectedProperty(state);
    const CEPROPVAL* property = state.Property(index);
    if (property == nullptr ||
        ListView_GetSelectedCount(GetDlgItem(state.window, res::IDC_PROPERTY_LIST)) != 1)
        return;
    if (ui::MessageById(state.window, res::IDS_CONFIRM_DELETE_PROPERTY, ui::kWarningQuestion) !=
        IDYES)
        return;
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    PropertyValue removed(*property);
    state.database->SetReportErrors(true);
    CEOID done = state.database->DeleteProperty(state.recordId, removed.Value());
    state.database->SetReportErrors(false);
    if (done != 0)
        state.KeepUndo(removed.Value(), UndoKind::Deleted);
    FillPropertyList(state);
}

void DeleteRecord(EditorState& state) {
    if (state.recordId == 0)
        return;
    if (ui::MessageById(state.window, res::IDS_CONFIRM_DELETE_RECORD, ui::kWarningQuestion) !=
        IDYES)
        return;
    state.DiscardUndo();
    {
        appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
        state.database->SetReportErrors(true);
        state.database->DeleteRecord(state.recordId);
        state.database->SetReportErrors(false);
    }
    state.editedProperty = kNoProperty;
    if (Reopen(state))
        FillPropertyList(state);
}

void Copy(EditorState& state) {
    if (HWND field = FocusedField(state)) {
        SendMessageW(field, WM_COPY, 0, 0);
        return;
    }
    WORD index = SelectedProperty(state);
    if (state.Property(index) == nullptr)
        return;
    CEPROPID id = state.Property(index)->propid;
    if (state.editedProperty != kNoProperty && SavePendingEdit(state, state.editedProperty, true))
        SelectPropertyItem(state, id);
    for (WORD i = 0; i < state.record.count; ++i) {
        if (state.record.props()[i].propid == id) {
            PutOnClipboard(state, state.record.props()[i]);
            return;
        }
    }
}

void Cut(EditorState& state) {
    if (HWND field = FocusedField(state)) {
        SendMessageW(field, WM_CUT, 0, 0);
        return;
    }
    const CEPROPVAL* property = state.Property(SelectedProperty(state));
    if (property == nullptr)
        return;
    if (WarningsOn() && ui::MessageById(state.window, res::IDS_CONFIRM_DELETE_PROPERTY,
                                        ui::kWarningQuestion) != IDYES)
        return;
    if (!PutOnClipboard(state, *property))
        return;
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    PropertyValue removed(*property);
    state.database->DeleteProperty(state.recordId, removed.Value());
    state.KeepUndo(removed.Value(), UndoKind::Cut);
    FillPropertyList(state);
}

void Paste(EditorState& state) {
    if (HWND field = FocusedField(state)) {
        SendMessageW(field, WM_PASTE, 0, 0);
        return;
    }
    if (state.recordId == 0 || !IsClipboardFormatAvailable(ClipboardFormat()))
        return;
    std::optional<PropertyValue> pasted = TakeFromClipboard(state);
    if (!pasted)
        return;
    std::optional<PropertyValue> replaced;
    UndoKind kind = UndoKind::Added;
    if (HasProperty(state, pasted->propid())) {
        if (ui::MessageById(state.window, res::IDS_CONFIRM_OVERWRITE_PROPERTY,
                            ui::kCancelQuestion) != IDYES)
            return;
        kind = UndoKind::Changed;
    }
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    SaveEditedProperty(state, false);
    state.editedProperty = kNoProperty;
    // The value the paste replaces is what Undo puts back (read after the
    // save, which may have changed it).
    if (kind == UndoKind::Changed) {
        state.recordId = state.database->ReadRecord(state.record);
        for (WORD i = 0; i < state.record.count; ++i) {
            if (state.record.props()[i].propid == pasted->propid())
                replaced.emplace(state.record.props()[i]);
        }
    }
    if (WriteReporting(state, pasted->Value(), true) != 0)
        state.KeepUndo(replaced ? replaced->Value() : pasted->Value(), kind);
    FillPropertyList(state, pasted->propid());
}

void Undo(EditorState& state) {
    if (HWND field = FocusedField(state)) {
        SendMessageW(field, WM_UNDO, 0, 0);
        return;
    }
    if (!state.undo)
        return;
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    PropertyValue copy = *state.undo;
    CEPROPID id = copy.propid();
    bool written = false;
    switch (state.undoKind) {
        case UndoKind::Deleted:
        case UndoKind::Cut:
            written = WriteReporting(state, copy.Value(), false) != 0;
            if (written)
                state.undoKind = UndoKind::Added;
            break;
        case UndoKind::Changed: {
            std::optional<PropertyValue> current;
            for (WORD i = 0; i < state.record.count; ++i) {
                if (state.record.props()[i].propid == id)
                    current.emplace(state.record.props()[i]);
            }
            written = WriteReporting(state, copy.Value(), false) != 0;
            if (written && current)
                state.KeepUndo(current->Value(), UndoKind::Changed);
            break;
        }
        case UndoKind::Added:
            written = state.database->DeleteProperty(state.recordId, copy.Value()) != 0;
            if (written)
                state.undoKind = UndoKind::Deleted;
            break;
        case UndoKind::None:
            return;
    }
    if (!written)
        return;
    state.editedProperty = kNoProperty;
    if (state.undoKind == UndoKind::Deleted)
        FillPropertyList(state);
    else
        FillPropertyList(state, id);
}

void SelectAll(EditorState& state) {
    if (HWND field = FocusedField(state))
        SendMessageW(field, EM_SETSEL, 0, -1);
}

}  // namespace editor
