#include "backup/PasswordDialogs.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/time/Time.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace backup {

using namespace ce;

namespace {

constexpr const char16_t* kPasswordTopic = u"passwd";
constexpr int kShortestPassword = 4;

using Field = WCHAR[kPasswordUnits];

void ReadField(HWND dialog, int id, Field& text) {
    text[0] = 0;
    GetDlgItemTextW(dialog, id, text, static_cast<int>(kPasswordUnits));
}

// After a refusal the user types again over the whole first field.
void SelectAgain(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

template <class T>
T& DialogData(HWND dialog) {
    return *reinterpret_cast<T*>(GetWindowLongW(dialog, DWL_USER));
}

void LimitField(HWND dialog, int id) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kMaxPasswordLength, 0);
}

// ---- Protect Backup ----

void InitProtect(HWND dialog, LPARAM password) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, password);
    LimitField(dialog, res::IDC_PASSWORD);
    LimitField(dialog, res::IDC_PASSWORD_CONFIRM);
}

void ConfirmProtect(HWND dialog) {
    Field first, second;
    ReadField(dialog, res::IDC_PASSWORD, first);
    ReadField(dialog, res::IDC_PASSWORD_CONFIRM, second);
    if (first[0] == 0 && second[0] == 0) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    if (WideView(first, kPasswordUnits).size() < kShortestPassword) {
        ui::MessageById(dialog, res::IDS_PASSWORD_TOO_SHORT, ui::kErrorStyle);
    } else if (lstrcmpW(first, second) != 0) {
        ui::MessageById(dialog, res::IDS_PASSWORD_NOT_CONFIRMED, MB_OK | MB_ICONSTOP);
    } else {
        CopyWide(DialogData<Field>(dialog), WideView(first, kPasswordUnits));
        EndDialog(dialog, IDOK);
        return;
    }
    SelectAgain(dialog, res::IDC_PASSWORD);
}

bool OnProtectCommand(HWND dialog, int id) {
    if (id == IDOK) {
        ConfirmProtect(dialog);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL ProtectProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kPasswordTopic, &InitProtect,
                                   &OnProtectCommand);
}

// ---- Enter Password ----

void InitEnter(HWND dialog, LPARAM expected) {
    ui::InitDialogFrame(dialog, true, true);
    SetWindowLongW(dialog, DWL_USER, expected);
    LimitField(dialog, res::IDC_PASSWORD_ENTER);
    if (reinterpret_cast<const WCHAR*>(expected)[0] == 0)
        EndDialog(dialog, IDOK);
}

void ConfirmEnter(HWND dialog) {
    Field typed;
    ReadField(dialog, res::IDC_PASSWORD_ENTER, typed);
    if (typed[0] == 0) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    if (lstrcmpW(typed, &DialogData<const WCHAR>(dialog)) == 0) {
        EndDialog(dialog, IDOK);
        return;
    }
    ui::MessageById(dialog, res::IDS_PASSWORD_INCORRECT, MB_OK | MB_ICONSTOP);
    SelectAgain(dialog, res::IDC_PASSWORD_ENTER);
}

bool OnEnterCommand(HWND dialog, int id) {
    if (id == IDOK) {
        ConfirmEnter(dialog);
        return true;
    }
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL EnterProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, kPasswordTopic, &InitEnter,
                                   &OnEnterCommand);
}

// ---- On the console ----

// Types each prompted line into its field and presses OK, until the dialog
// has ended: a refused password is asked for again. The end of input empties
// every field before OK, which cancels.
void TypeIntoFields(HWND dialog, gui::ConsoleHost& console,
                    std::initializer_list<std::pair<int, const char16_t*>> fields) {
    while (!gui::DialogEnded(dialog)) {
        std::vector<std::u16string> lines;
        for (const auto& field : fields) {
            std::optional<std::u16string> line = console.ReadLine(field.second, true);
            if (!line) {
                lines.assign(fields.size(), u"");
                break;
            }
            lines.push_back(line->substr(0, kMaxPasswordLength));
        }
        bool endOfInput = lines.size() == fields.size() &&
                          std::all_of(lines.begin(), lines.end(),
                                      [](const std::u16string& l) { return l.empty(); });
        std::size_t i = 0;
        for (const auto& field : fields)
            SetDlgItemTextW(dialog, field.first, lines[i++].c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (endOfInput)
            break;
    }
}

void AnswerOnConsole() {
    gui::ConsoleHost* console = gui::CurrentConsole();
    if (console == nullptr || console->AnswersDialog(res::IDD_ENTER_PASSWORD))
        return;
    console->AnswerDialog(res::IDD_PROTECT_PASSWORD, [](HWND dialog, gui::ConsoleHost& host) {
        TypeIntoFields(dialog, host,
                       {{res::IDC_PASSWORD, u"Password: "},
                        {res::IDC_PASSWORD_CONFIRM, u"Confirm password: "}});
    });
    console->AnswerDialog(res::IDD_ENTER_PASSWORD, [](HWND dialog, gui::ConsoleHost& host) {
        TypeIntoFields(dialog, host, {{res::IDC_PASSWORD_ENTER, u"Password: "}});
    });
}

HWND OwnerOr(HWND owner) {
    return owner != nullptr ? owner : appcore::App().mainWindow;
}

}  // namespace

bool AskProtectPassword(WCHAR* password, HWND owner) {
    AnswerOnConsole();
    return DialogBoxParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_PROTECT_PASSWORD),
                           OwnerOr(owner), &ProtectProcedure,
                           reinterpret_cast<LPARAM>(password)) == IDOK;
}

bool AskPassword(const WCHAR* expected, HWND owner) {
    if (expected[0] == 0)
        return true;
    AnswerOnConsole();
    if (DWORD delay = appcore::Shell().PasswordQuestionDelayMs(); delay != 0)
        Sleep(delay);
    return DialogBoxParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_ENTER_PASSWORD),
                           OwnerOr(owner), &EnterProcedure,
                           reinterpret_cast<LPARAM>(expected)) == IDOK;
}

}  // namespace backup
