// The wizard's pages: type and identifier, then the date, number, text or
// boolean page; Back keeps what the first page held. The palm-size edition
// shows templates 188 and 184-187, the keyboard edition its captioned 130-134.

#include "editor/AddPropertyWizard.h"

#include <algorithm>

#include "appcore/Application.h"
#include "appcore/ScopedValue.h"
#include "editor/EditorState.h"
#include "editor/NumberInput.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/time/Time.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "store/Formatting.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace editor {

using namespace ce;

namespace {

constexpr const char16_t* kWizardTopic = u"addprop";
constexpr int kBack = 100;

// The first page's list, alphabetical; binary properties cannot be added.
constexpr WORD kAddableTypes[] = {CEVT_BOOL, CEVT_FILETIME, CEVT_R8,  CEVT_I2,
                                  CEVT_I4,   CEVT_LPWSTR,   CEVT_UI2, CEVT_UI4};

struct Wizard {
    bool newRecord = false;
    bool locked = false;
    DWORD identifier = 0;
    WORD type = 0;
    const std::vector<WORD>* inUse = nullptr;
    CEPROPVAL value{};
    std::u16string text;
    bool hasText = false;
};

Wizard& WizardOf(HWND dialog) {
    return *reinterpret_cast<Wizard*>(GetWindowLongW(dialog, DWL_USER));
}

void Refuse(HWND dialog, UINT stringId, int field, bool select) {
    ui::MessageById(dialog, stringId, ui::kErrorStyle);
    HWND control = GetDlgItem(dialog, field);
    SetFocus(control);
    if (select)
        SendMessageW(control, EM_SETSEL, 0, -1);
}

std::u16string FieldText(HWND dialog, int id) {
    WCHAR text[262] = {};
    GetDlgItemTextW(dialog, id, text, 262);
    return text;
}

// ---- Type and identifier ----

void InitTypePage(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, parameter);
    Wizard& wizard = *reinterpret_cast<Wizard*>(parameter);
    HWND list = GetDlgItem(dialog, res::IDC_PROPERTY_TYPE);
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = std::max<int>(client.right - client.left - GetSystemMetrics(SM_CXVSCROLL), 40);
    ListView_InsertColumn(list, 0, &column);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    int selected = 0;
    for (int i = 0; i < static_cast<int>(std::size(kAddableTypes)); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<WCHAR*>(FindType(kAddableTypes[i])->name);
        item.lParam = kAddableTypes[i];
        ListView_InsertItem(list, &item);
        if (kAddableTypes[i] == wizard.type)
            selected = i;
    }
    ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    SetDlgItemTextW(dialog, res::IDC_PROPERTY_ID,
                    FormatWide(u"%u", {static_cast<unsigned>(wizard.identifier)}).c_str());
    CheckDlgButton(dialog, res::IDC_NEW_RECORD, wizard.newRecord ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, res::IDC_NEW_RECORD), !wizard.locked);
}

bool NextFromTypePage(HWND dialog) {
    Wizard& wizard = WizardOf(dialog);
    HWND list = GetDlgItem(dialog, res::IDC_PROPERTY_TYPE);
    int item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (item < 0) {
        Refuse(dialog, res::IDS_SELECT_PROPERTY_TYPE, res::IDC_PROPERTY_TYPE, false);
        return false;
    }
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    ListView_GetItem(list, &lv);
    wizard.type = static_cast<WORD>(lv.lParam);
    // Text that is not a number reads as 0, as the platform's field reading does.
    std::optional<long long> id = ParseInteger(FieldText(dialog, res::IDC_PROPERTY_ID), false);
    long long identifier = id.value_or(0);
    if (identifier >= 65535) {
        Refuse(dialog, res::IDS_BAD_PROPERTY_ID, res::IDC_PROPERTY_ID, true);
        return false;
    }
    wizard.identifier = static_cast<DWORD>(identifier);
    wizard.newRecord = IsDlgButtonChecked(dialog, res::IDC_NEW_RECORD) == BST_CHECKED;
    if (!wizard.newRecord && wizard.inUse != nullptr &&
        std::find(wizard.inUse->begin(), wizard.inUse->end(), static_cast<WORD>(identifier)) !=
            wizard.inUse->end()) {
        std::u16string number = FormatWide(u"%u", {static_cast<unsigned>(identifier)});
        ui::MessageByIdWith(dialog, res::IDS_PROPERTY_ID_IN_USE, number, ui::kErrorStyle);
        HWND field = GetDlgItem(dialog, res::IDC_PROPERTY_ID);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        return false;
    }
    wizard.value = CEPROPVAL{};
    wizard.value.propid = MakePropID(static_cast<WORD>(identifier), wizard.type);
    return true;
}

bool OnTypeCommand(HWND dialog, int id) {
    if (id == IDOK || id == res::IDC_WIZARD_NEXT) {
        if (NextFromTypePage(dialog))
            EndDialog(dialog, IDOK);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL TypeProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kWizardTopic, &InitTypePage,
                                   &OnTypeCommand);
}

// ---- Value pages ----

void InitValuePage(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, parameter);
    Wizard& wizard = *reinterpret_cast<Wizard*>(parameter);
    switch (wizard.type) {
        case CEVT_FILETIME: {
            SYSTEMTIME now = store::DateTime::Now().time();
            DateTime_SetSystemtime(GetDlgItem(dialog, res::IDC_DATE_PICKER), GDT_VALID, &now);
            DateTime_SetSystemtime(GetDlgItem(dialog, res::IDC_TIME_PICKER), GDT_VALID, &now);
            break;
        }
        case CEVT_BOOL:
            CheckRadioButton(dialog, res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE,
                             res::IDC_VALUE_FALSE);
            break;
        case CEVT_LPWSTR: {
            HWND field = GetDlgItem(dialog, res::IDC_VALUE_TEXT);
            SetFocus(field);
            SendMessageW(field, EM_SETSEL, 0, 0);
            break;
        }
        default:
            SendDlgItemMessageW(dialog, res::IDC_VALUE_NUMBER, EM_LIMITTEXT, 30, 0);
            SetDlgItemTextW(dialog, res::IDC_VALUE_NUMBER, wizard.type == CEVT_R8 ? u"0." : u"0");
            SetDlgItemTextW(dialog, res::IDC_VALUE_INFO,
                            ui::LoadText(FindType(wizard.type)->infoString).c_str());
            break;
    }
}

bool FinishValuePage(HWND dialog) {
    Wizard& wizard = WizardOf(dialog);
    switch (wizard.type) {
        case CEVT_FILETIME: {
            SYSTEMTIME date{};
            SYSTEMTIME time{};
            DateTime_GetSystemtime(GetDlgItem(dialog, res::IDC_DATE_PICKER), &date);
            DateTime_GetSystemtime(GetDlgItem(dialog, res::IDC_TIME_PICKER), &time);
            date.wHour = time.wHour;
            date.wMinute = time.wMinute;
            date.wSecond = time.wSecond;
            FILETIME local{};
            SystemTimeToFileTime(&date, &local);
            LocalFileTimeToFileTime(&local, &wizard.value.val.filetime);
            return true;
        }
        case CEVT_BOOL:
            wizard.value.val.boolVal =
                IsDlgButtonChecked(dialog, res::IDC_VALUE_TRUE) == BST_CHECKED ? 1 : 0;
            return true;
        case CEVT_LPWSTR: {
            HWND field = GetDlgItem(dialog, res::IDC_VALUE_TEXT);
            int length = GetWindowTextLengthW(field);
            std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
            text.resize(static_cast<std::size_t>(GetWindowTextW(field, text.data(), length + 1)));
            wizard.hasText = !text.empty();
            wizard.text = std::move(text);
            return true;
        }
        default: {
            std::u16string text = FieldText(dialog, res::IDC_VALUE_NUMBER);
            if (!ReadNumber(wizard.type, text, wizard.value.val)) {
                Refuse(dialog, BadNumberMessage(wizard.type), res::IDC_VALUE_NUMBER, true);
                return false;
            }
            return true;
        }
    }
}

bool OnValueCommand(HWND dialog, int id) {
    if (id == IDOK || id == res::IDC_WIZARD_FINISH) {
        if (FinishValuePage(dialog))
            EndDialog(dialog, IDOK);
        return true;
    }
    if (id == res::IDC_WIZARD_BACK) {
        EndDialog(dialog, kBack);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL ValueProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kWizardTopic, &InitValuePage,
                                   &OnValueCommand);
}

// The templates of the five pages in one edition.
struct PageTemplates {
    UINT type, date, number, text, boolean;
};

const PageTemplates& Pages() {
    static constexpr PageTemplates kPalm{res::IDD_WIZARD_TYPE, res::IDD_WIZARD_DATE,
                                         res::IDD_WIZARD_NUMBER, res::IDD_WIZARD_TEXT,
                                         res::IDD_WIZARD_BOOLEAN};
    static constexpr PageTemplates kKeyboard{
        res::IDD_KEYBOARD_WIZARD_TYPE, res::IDD_KEYBOARD_WIZARD_DATE,
        res::IDD_KEYBOARD_WIZARD_NUMBER, res::IDD_KEYBOARD_WIZARD_TEXT,
        res::IDD_KEYBOARD_WIZARD_BOOLEAN};
    return appcore::App().instance == res::KeyboardEdition() ? kKeyboard : kPalm;
}

UINT ValuePageOf(WORD type) {
    const PageTemplates& pages = Pages();
    switch (type) {
        case CEVT_FILETIME:
            return pages.date;
        case CEVT_BOOL:
            return pages.boolean;
        case CEVT_LPWSTR:
            return pages.text;
        default:
            return pages.number;
    }
}

}  // namespace

std::optional<WizardResult> RunAddPropertyWizard(HWND owner, CEOID recordId,
                                                 const std::vector<WORD>& inUse) {
    Wizard wizard;
    wizard.newRecord = recordId == 0;
    wizard.locked = recordId == 0;
    wizard.inUse = recordId != 0 ? &inUse : nullptr;
    if (recordId != 0 && !inUse.empty())
        wizard.identifier = static_cast<DWORD>(*std::max_element(inUse.begin(), inUse.end())) + 1;
    HINSTANCE instance = appcore::App().instance;
    auto parameter = reinterpret_cast<LPARAM>(&wizard);
    for (;;) {
        if (DialogBoxParamW(instance, MAKEINTRESOURCE(Pages().type), owner, &TypeProcedure,
                            parameter) != IDOK)
            return std::nullopt;
        int answer = DialogBoxParamW(instance, MAKEINTRESOURCE(ValuePageOf(wizard.type)), owner,
                                     &ValueProcedure, parameter);
        if (answer == kBack)
            continue;
        if (answer != IDOK)
            return std::nullopt;
        break;
    }
    WizardResult result;
    result.property.SetHeader(wizard.value);
    if (wizard.type == CEVT_LPWSTR)
        result.property.SetText(wizard.text, wizard.hasText);
    result.recordId = wizard.newRecord ? 0 : recordId;
    return result;
}

bool AddFirstRecord(HWND owner, const WCHAR* databaseName) {
    std::optional<WizardResult> added = RunAddPropertyWizard(owner, 0, {});
    if (!added)
        return false;
    store::Database database(owner);
    if (database.Open(databaseName) == INVALID_HANDLE_VALUE)
        return false;
    if (database.WriteProperty(0, added->property.Value()) == 0)
        return false;
    CEDBASEINFO info{};
    return database.GetInfo(info) && info.wNumRecords > 0;
}

void AddProperty(EditorState& state) {
    SaveEditedProperty(state, true);
    std::vector<WORD> inUse;
    for (WORD i = 0; i < state.record.count; ++i)
        inUse.push_back(NumberOf(state.record.props()[i].propid));
    std::optional<WizardResult> added = RunAddPropertyWizard(state.window, state.recordId, inUse);
    if (!added)
        return;
    appcore::ScopedValue<bool> ownWrite(state.ownWrite, true);
    CEPROPVAL value = added->property.Value();
    state.database->SetReportErrors(true);
    CEOID written = state.database->WriteProperty(added->recordId, value);
    state.database->SetReportErrors(false);
    if (written != 0)
        state.recordId = written;
    if (written != 0 && added->recordId == 0 && !Reopen(state, written))
        return;
    if (written != 0)
        state.KeepUndo(value, UndoKind::Added);
    state.editedProperty = kNoProperty;
    FillPropertyList(state, value.propid);
    SelectPropertyItem(state, value.propid);
}

}  // namespace editor
