// The value pane: the controls of the selected property's type, filled from
// the record, and the saving of what the user changed there.

#include "appcore/Application.h"
#include "appcore/ScopedValue.h"
#include "editor/EditorState.h"
#include "editor/NumberInput.h"
#include "platform/gui/CommCtrl.h"
#include "platform/time/Time.h"
#include "resources/EditorIds.h"
#include "store/Formatting.h"
#include "ui/MessageBoxes.h"

namespace editor {

using namespace ce;

namespace {

constexpr UINT kValueControls[] = {res::IDC_VALUE_INFO, res::IDC_VALUE_NUMBER, res::IDC_VALUE_TEXT,
                                   res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE,  res::IDC_DATE_PICKER,
                                   res::IDC_TIME_PICKER};

void Show(HWND dialog, UINT id, bool shown) {
    ShowWindow(GetDlgItem(dialog, static_cast<int>(id)), shown ? SW_SHOW : SW_HIDE);
}

void ShowControlsOf(HWND dialog, Pane pane) {
    for (UINT id : kValueControls)
        Show(dialog, id, false);
    switch (pane) {
        case Pane::Number:
            Show(dialog, res::IDC_VALUE_INFO, true);
            Show(dialog, res::IDC_VALUE_NUMBER, true);
            break;
        case Pane::Text:
        case Pane::Binary:
            Show(dialog, res::IDC_VALUE_TEXT, true);
            EnableWindow(GetDlgItem(dialog, res::IDC_VALUE_TEXT), pane == Pane::Text);
            break;
        case Pane::Boolean:
            Show(dialog, res::IDC_VALUE_TRUE, true);
            Show(dialog, res::IDC_VALUE_FALSE, true);
            break;
        case Pane::Date:
            Show(dialog, res::IDC_DATE_PICKER, true);
            Show(dialog, res::IDC_TIME_PICKER, true);
            break;
        case Pane::None:
            break;
    }
}

std::u16string FieldText(HWND dialog, UINT id) {
    HWND field = GetDlgItem(dialog, static_cast<int>(id));
    int length = GetWindowTextLengthW(field);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(field, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

// The date from the date picker and the time of day from the time picker.
SYSTEMTIME PickedTime(const EditorState& state) {
    SYSTEMTIME date{};
    SYSTEMTIME time{};
    DateTime_GetSystemtime(state.datePicker, &date);
    DateTime_GetSystemtime(state.timePicker, &time);
    date.wHour = time.wHour;
    date.wMinute = time.wMinute;
    date.wSecond = time.wSecond;
    date.wMilliseconds = time.wMilliseconds;
    return date;
}

// The new value of the edited property from the pane, and whether it
// differs from the stored one; nothing when there is nothing to save (or the
// input was refused, which has been said).
std::optional<PropertyValue> TakeNewValue(EditorState& state, const CEPROPVAL& stored) {
    HWND dialog = state.window;
    CEPROPVAL fresh{};
    fresh.propid = stored.propid;
    PropertyValue value;
    WORD type = TypeFromPropID(stored.propid);
    switch (type) {
        case CEVT_LPWSTR: {
            if (!state.textEdited)
                return std::nullopt;
            std::u16string text = FieldText(dialog, res::IDC_VALUE_TEXT);
            std::u16string_view old =
                stored.val.lpwstr != nullptr ? std::u16string_view(stored.val.lpwstr) : u"";
            if (text == old)
                return std::nullopt;
            value.SetHeader(fresh);
            value.SetText(text, !text.empty());
            return value;
        }
        case CEVT_FILETIME: {
            // The pickers were filled from the stored value: unchanged, they
            // still hold what was put in.
            SYSTEMTIME picked = PickedTime(state);
            if (!store::DateTime(picked).Differs(store::DateTime(state.shownTime)))
                return std::nullopt;
            FILETIME local{};
            if (!SystemTimeToFileTime(&picked, &local) ||
                !LocalFileTimeToFileTime(&local, &fresh.val.filetime))
                return std::nullopt;
            value.SetHeader(fresh);
            return value;
        }
        case CEVT_BOOL: {
            bool on = IsDlgButtonChecked(dialog, res::IDC_VALUE_TRUE) == BST_CHECKED;
            if (on == (stored.val.boolVal != 0))
                return std::nullopt;
            fresh.val.boolVal = on ? 1 : 0;
            value.SetHeader(fresh);
            return value;
        }
        case CEVT_I2:
        case CEVT_UI2:
        case CEVT_I4:
        case CEVT_UI4:
        case CEVT_R8: {
            if (!state.numberEdited)
                return std::nullopt;
            if (!ReadNumber(type, FieldText(dialog, res::IDC_VALUE_NUMBER), fresh.val)) {
                ui::MessageById(dialog, BadNumberMessage(type), ui::kErrorStyle);
                state.refused = true;
                return std::nullopt;
            }
            if (SameValue(fresh, stored))
                return std::nullopt;
            value.SetHeader(fresh);
            return value;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

void HideValueControls(EditorState& state) {
    ShowControlsOf(state.window, Pane::None);
}

void ShowValue(EditorState& state, WORD index) {
    const CEPROPVAL* property = state.Property(index);
    const PropertyType* type = property != nullptr ? TypeOf(property->propid) : nullptr;
    if (type == nullptr)
        return;
    HWND dialog = state.window;
    if (type->pane != state.shownPane)
        ShowControlsOf(dialog, type->pane);
    appcore::ScopedValue<bool> showing(state.showing, true);
    HWND number = state.numberField;
    HWND text = state.textField;
    switch (type->pane) {
        case Pane::Number: {
            if (state.shownInfo != type->infoString) {
                SetDlgItemTextW(dialog, res::IDC_VALUE_INFO,
                                ui::LoadText(type->infoString).c_str());
                state.shownInfo = type->infoString;
            }
            SetWindowTextW(number, NumberText(*property).c_str());
            SendMessageW(number, EM_SETMODIFY, FALSE, 0);
            SendMessageW(number, EM_EMPTYUNDOBUFFER, 0, 0);
            break;
        }
        case Pane::Text:
            SetWindowTextW(text, property->val.lpwstr != nullptr ? property->val.lpwstr : u"");
            SendMessageW(text, EM_SETMODIFY, FALSE, 0);
            break;
        case Pane::Binary:
            SetWindowTextW(text, ui::LoadText(res::IDS_BINARY_DATA).c_str());
            SendMessageW(text, EM_EMPTYUNDOBUFFER, 0, 0);
            break;
        case Pane::Boolean:
            CheckRadioButton(
                dialog, res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE,
                property->val.boolVal != 0 ? res::IDC_VALUE_TRUE : res::IDC_VALUE_FALSE);
            break;
        case Pane::Date: {
            SYSTEMTIME local = store::DateTime::FromFileTime(property->val.filetime).time();
            state.shownTime = local;
            DateTime_SetSystemtime(state.datePicker, GDT_VALID, &local);
            DateTime_SetSystemtime(state.timePicker, GDT_VALID, &local);
            break;
        }
        case Pane::None:
            break;
    }
    state.shownPane = type->pane;
    state.numberEdited = false;
    state.textEdited = false;
}

bool SavePendingEdit(EditorState& state, WORD index, bool refresh) {
    const CEPROPVAL* stored = state.Property(index);
    if (stored == nullptr || state.recordId == 0)
        return false;
    std::optional<PropertyValue> fresh = TakeNewValue(state, *stored);
    if (!fresh)
        return false;
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    if (appcore::App().settings && appcore::App().settings->showWarning != 0 &&
        ui::MessageById(state.window, res::IDS_CONFIRM_CHANGE, ui::kWarningQuestion) != IDYES) {
        state.refused = true;
        return false;
    }
    state.KeepUndo(*stored, UndoKind::Changed);
    bool saved = state.database->WriteProperty(state.recordId, fresh->Value()) == state.recordId;
    if (saved) {
        state.numberEdited = false;
        state.textEdited = false;
    } else {
        state.database->SetReportErrors(true);
        state.database->ReportError(res::IDS_CANT_SAVE_PROPERTY);
        state.database->SetReportErrors(false);
    }
    if (refresh)
        FillPropertyList(state);
    return saved;
}

void SaveEditedProperty(EditorState& state, bool refresh) {
    if (state.editedProperty != kNoProperty)
        SavePendingEdit(state, state.editedProperty, refresh);
}

}  // namespace editor
