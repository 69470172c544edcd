// Running the editor: the window, its initialisation, the dialog procedure
// and the message loop with the focus-step rule and accelerator table 102.

#include "editor/RecordEditor.h"

#include "app/HeaderDrawing.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "editor/EditorState.h"
#include "platform/core/Text.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/shell/Shell.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace editor {

using namespace ce;

namespace {

constexpr const char16_t* kHelpTopic = u"fieldview";

EditorState* running = nullptr;
int closeCode = 0;
bool looping = false;

void SetTitle(EditorState& state) {
    std::u16string title = ui::LoadText(res::IDS_EDITOR_TITLE);
    title += state.name;
    title += u'"';
    SetWindowTextW(state.window, title.c_str());
    SetDlgItemTextW(state.window, res::IDC_TITLE, title.c_str());
}

void Initialise(HWND dialog, EditorState& state) {
    state.window = dialog;
    SetWindowLongW(dialog, DWL_USER, reinterpret_cast<LONG_PTR>(&state));
    ui::InitDialogFrame(dialog, true, true);
    state.menuBar = appcore::Shell().CreateEditorMenuBar(dialog);
    state.list = GetDlgItem(dialog, res::IDC_PROPERTY_LIST);
    state.numberField = GetDlgItem(dialog, res::IDC_VALUE_NUMBER);
    state.textField = GetDlgItem(dialog, res::IDC_VALUE_TEXT);
    state.datePicker = GetDlgItem(dialog, res::IDC_DATE_PICKER);
    state.timePicker = GetDlgItem(dialog, res::IDC_TIME_PICKER);
    state.counter = GetDlgItem(dialog, res::IDC_RECORD_COUNTER);
    state.deleteButton = GetDlgItem(dialog, res::IDC_DELETE_PROPERTY);
    SetTitle(state);
    SetUpPropertyList(state);
    SendDlgItemMessageW(dialog, res::IDC_VALUE_NUMBER, EM_LIMITTEXT, 30, 0);
    if (!state.database)
        state.database = std::make_unique<store::Database>(dialog);
    state.database->SetOwner(dialog);
    state.database->SetReportErrors(false);
    if (!Reopen(state))
        return;
    BuildSortMenu(state);
    UpdateCommandStates(state);
    state.active = true;
    FillPropertyList(state);
}

void OnCommand(EditorState& state, WORD id, WORD code) {
    if (id == res::IDC_VALUE_NUMBER || id == res::IDC_VALUE_TEXT) {
        if (code == EN_CHANGE && !state.showing)
            (id == res::IDC_VALUE_NUMBER ? state.numberEdited : state.textEdited) = true;
        return;
    }
    if (id == IDOK) {
        state.refused = false;
        SaveEditedProperty(state, false);
        if (state.refused)
            return;
        state.editedProperty = kNoProperty;
        CloseEditor(state, kClosedDone);
        return;
    }
    if (id == IDCANCEL) {
        CloseEditor(state, kClosedCancel);
        return;
    }
    if (RunEditorCommand(state, id) && IsWindow(state.window))
        UpdateCommandStates(state);
}

void OnNotify(EditorState& state, const NMHDR* header) {
    if (header == nullptr || header->idFrom != res::IDC_PROPERTY_LIST)
        return;
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        // Only a newly selected item: a change of focus alone is no new selection.
        if ((change->uChanged & LVIF_STATE) != 0 && (change->uNewState & LVIS_SELECTED) != 0 &&
            (change->uOldState & LVIS_SELECTED) == 0)
            OnSelectionChanged(state);
    } else if (header->code == NM_DBLCLK) {
        OnSelectionChanged(state);
    } else if (header->code == LVN_COLUMNCLICK) {
        OnColumnClick(state, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    }
}

BOOL EditorProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL result = FALSE;
    if (message == WM_INITDIALOG) {
        Initialise(dialog, *reinterpret_cast<EditorState*>(lParam));
        return TRUE;
    }
    if (ui::HandleFrameMessage(dialog, message, wParam, lParam, kHelpTopic, result))
        return result;
    EditorState* state = StateOf(dialog);
    if (state == nullptr)
        return FALSE;
    switch (message) {
        case WM_COMMAND:
            OnCommand(*state, LOWORD(static_cast<DWORD>(wParam)),
                      HIWORD(static_cast<DWORD>(wParam)));
            return TRUE;
        case WM_NOTIFY:
            OnNotify(*state, reinterpret_cast<const NMHDR*>(lParam));
            return TRUE;
        case WM_INITMENUPOPUP:
            UpdateCommandStates(*state);
            return TRUE;
        case WM_ACTIVATE:
            OnActivate(*state, LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE);
            return FALSE;
        case WM_TIMER:
            if (wParam == kChangeTimer)
                OnChangeTimer(*state);
            return TRUE;
        case DB_CEOID_CREATED:
        case DB_CEOID_RECORD_DELETED:
            OnDatabaseNotification(*state, message, static_cast<CEOID>(lParam));
            return TRUE;
        case WM_DESTROY:
            KillTimer(dialog, kChangeTimer);
            return FALSE;
        default:
            return FALSE;
    }
}

bool IsShown(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window) &&
           (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

// Shift+Tab and Ctrl+Tab move the focus to the previous or next sibling
// that is visible, enabled and a tab stop, going round once.
bool FocusStep(HWND editor, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB)
        return false;
    bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool forward = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (!back && !forward)
        return false;
    HWND from = GetFocus();
    if (from != nullptr && GetParent(from) != editor && GetParent(GetParent(from)) == editor)
        from = GetParent(from);
    if (from == nullptr || GetParent(from) != editor)
        from = GetWindow(editor, GW_CHILD);
    if (from == nullptr)
        return true;
    UINT step = back ? GW_HWNDPREV : GW_HWNDNEXT;
    HWND candidate = GetWindow(from, step);
    bool wrapped = false;
    while (candidate != from) {
        if (candidate == nullptr) {
            if (wrapped)
                break;
            wrapped = true;
            candidate = GetWindow(from, back ? GW_HWNDLAST : GW_HWNDFIRST);
            continue;
        }
        if (IsShown(candidate)) {
            SetFocus(candidate);
            break;
        }
        candidate = GetWindow(candidate, step);
    }
    return true;
}

UINT EditorTemplate() {
    // The keyboard edition has a template of its own. The palm-size edition
    // uses the same number for another dialog, so the edition decides.
    if (appcore::App().instance == res::KeyboardEdition())
        return res::IDD_EDITOR_KEYBOARD;
    return ui::ChooseTemplate(res::IDD_EDITOR, res::IDD_EDITOR_WIDE);
}

HACCEL Accelerators(HACCEL& own) {
    appcore::Application& application = appcore::App();
    if (application.editorAccelerators != nullptr)
        return application.editorAccelerators;
    own = LoadAcceleratorsW(application.instance, MAKEINTRESOURCE(res::IDR_EDITOR_ACCELERATORS));
    return own;
}

}  // namespace

bool TranslateEditorMessage(HWND editor, MSG& msg, HACCEL accelerators) {
    if (FocusStep(editor, msg))
        return true;
    if (accelerators != nullptr && TranslateAcceleratorW(editor, accelerators, &msg))
        return true;
    return IsDialogMessageW(editor, &msg) != FALSE;
}

EditorState* StateOf(HWND window) {
    return reinterpret_cast<EditorState*>(GetWindowLongW(window, DWL_USER));
}

void CloseEditor(EditorState& state, int code) {
    KillTimer(state.window, kChangeTimer);
    if (closeCode == 0)
        closeCode = code;
    if (!looping)
        return;
    looping = false;
    DestroyWindow(state.window);
    PostQuitMessage(code);
}

HWND CurrentEditorWindow() {
    return running != nullptr && IsWindow(running->window) ? running->window : nullptr;
}

int RunRecordEditor(HWND owner, const WCHAR* databaseName) {
    EditorState state;
    CopyWide(state.name, WideView(databaseName, store::kDatabaseNameUnits));
    ClipboardFormat();
    EditorState* outer = running;
    running = &state;
    closeCode = 0;
    looping = false;
    HWND window = CreateDialogParamW(appcore::App().instance, MAKEINTRESOURCE(EditorTemplate()),
                                     owner, &EditorProcedure, reinterpret_cast<LPARAM>(&state));
    if (window == nullptr || closeCode != 0) {
        if (window != nullptr)
            DestroyWindow(window);
        running = outer;
        if (closeCode != 0)
            return closeCode;
        SHShowOutOfMemory(owner, 0);
        return kNoWindow;
    }
    EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    looping = true;
    HACCEL own = nullptr;
    HACCEL accelerators = Accelerators(own);
    MSG msg{};
    int code = kClosedCancel;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (!got) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (!IsWindow(window))
            continue;
        if (TranslateEditorMessage(window, msg, accelerators))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (looping) {
        // The loop ended without the editor closing itself (no input can come).
        looping = false;
        DestroyWindow(window);
    }
    if (own != nullptr)
        DestroyAcceleratorTable(own);
    EnableWindow(owner, TRUE);
    SetFocus(owner);
    ShowWindow(owner, SW_SHOW);
    running = outer;
    if (closeCode != 0)
        code = closeCode;
    return code == 0 ? kClosedCancel : code;
}

}  // namespace editor
