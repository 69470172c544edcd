// Find and Find Next: the Find dialog, the search from the record after the
// current one to the end, and the offer to start again from the first.

#include "editor/FindProperty.h"

#include "appcore/Application.h"
#include "editor/EditorState.h"
#include "platform/core/Text.h"
#include "resources/EditorIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

namespace editor {

using namespace ce;

namespace {

constexpr const char16_t* kFindTopic = u"findprop";

struct FindRequest {
    WCHAR text[kFindTextUnits] = {};
    bool matchCase = false;
    bool numbersToo = false;
};

void InitFind(HWND dialog, LPARAM parameter) {
    ui::InitDialogFrame(dialog, true, true);
    auto* request = reinterpret_cast<FindRequest*>(parameter);
    SetWindowLongW(dialog, DWL_USER, parameter);
    SendDlgItemMessageW(dialog, res::IDC_FIND_TEXT, EM_LIMITTEXT, kFindTextUnits - 1, 0);
    SetDlgItemTextW(dialog, res::IDC_FIND_TEXT, request->text);
    CheckDlgButton(dialog, res::IDC_MATCH_CASE, request->matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, res::IDC_SEARCH_NUMBERS,
                   request->numbersToo ? BST_CHECKED : BST_UNCHECKED);
}

bool OnFindCommand(HWND dialog, int id) {
    if (id == IDOK) {
        auto* request = reinterpret_cast<FindRequest*>(GetWindowLongW(dialog, DWL_USER));
        GetDlgItemTextW(dialog, res::IDC_FIND_TEXT, request->text, kFindTextUnits);
        request->matchCase = IsDlgButtonChecked(dialog, res::IDC_MATCH_CASE) == BST_CHECKED;
        request->numbersToo = IsDlgButtonChecked(dialog, res::IDC_SEARCH_NUMBERS) == BST_CHECKED;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL FindProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kFindTopic, &InitFind,
                                   &OnFindCommand);
}

// Asks for the text; false when cancelled or left empty.
bool AskFindText(EditorState& state) {
    appcore::Settings* settings = appcore::App().settings.get();
    FindRequest request;
    CopyWide(request.text, WideView(state.findText, kFindTextUnits));
    request.matchCase = settings != nullptr && settings->matchCase != 0;
    request.numbersToo = settings != nullptr && settings->searchNumericProperties != 0;
    if (DialogBoxParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_FIND), state.window,
                        &FindProcedure, reinterpret_cast<LPARAM>(&request)) != IDOK ||
        request.text[0] == 0)
        return false;
    CopyWide(state.findText, WideView(request.text, kFindTextUnits));
    if (settings != nullptr) {
        settings->matchCase = request.matchCase ? 1 : 0;
        settings->searchNumericProperties = request.numbersToo ? 1 : 0;
    }
    return true;
}

}  // namespace

std::optional<CEPROPID> MatchRecord(const CEPROPVAL* properties, WORD count,
                                    std::u16string_view text, bool matchCase, bool numbersToo) {
    std::u16string wanted = matchCase ? std::u16string(text) : ToLowerWide(text);
    for (WORD i = 0; i < count; ++i) {
        bool searched = false;
        std::u16string value = SearchText(properties[i], numbersToo, searched);
        if (!searched)
            continue;
        if (!matchCase)
            value = ToLowerWide(value);
        if (value.find(wanted) != std::u16string::npos)
            return properties[i].propid;
    }
    return std::nullopt;
}

void Find(EditorState& state, bool askFirst) {
    SaveEditedProperty(state, true);
    if (askFirst && !AskFindText(state))
        return;
    if (state.findText[0] == 0)
        return;
    appcore::Settings* settings = appcore::App().settings.get();
    bool matchCase = settings != nullptr && settings->matchCase != 0;
    bool numbersToo = settings != nullptr && settings->searchNumericProperties != 0;
    std::u16string_view text = WideView(state.findText, kFindTextUnits);
    store::Database& database = *state.database;
    database.SetReportErrors(false);
    store::RecordBuffer search;
    DWORD position = 0;
    bool seeking = database.SeekNext(position);
    bool found = false;
    std::optional<CEPROPID> match;
    for (;;) {
        {
            ui::WaitCursor wait;
            while (seeking) {
                if (database.ReadRecord(search) != 0) {
                    match = MatchRecord(search.props(), search.count, text, matchCase, numbersToo);
                    if (match) {
                        found = true;
                        break;
                    }
                }
                seeking = database.SeekNext(position);
            }
        }
        if (found || state.position == 0)
            break;
        state.position = 0;
        if (ui::MessageById(state.window, res::IDS_FIND_WRAP, ui::kCancelQuestion) != IDYES)
            break;
        seeking = database.SeekFirst(position);
    }
    search.Release();
    if (found) {
        state.position = position;
        state.DiscardUndo();
        FillPropertyList(state, match);
        return;
    }
    database.SeekTo(state.recordId, state.position);
    FillPropertyList(state);
    ui::MessageByIdWith(state.window, res::IDS_TEXT_NOT_FOUND, state.findText,
                        MB_OK | MB_ICONINFORMATION);
}

}  // namespace editor
