#include "app/OptionsDialog.h"

#include <cstdint>

#include "appcore/Application.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/shell/Shell.h"
#include "resources/BrowserDialogs.h"
#include "resources/BrowserStrings.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/DialogFrame.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

// The keyboard edition's template gives three of the boxes other identifiers.
int BoxId(HWND dialog, int id, int otherId) {
    return GetDlgItem(dialog, id) != nullptr ? id : otherId;
}

struct Box {
    int id;
    int otherId;
};
constexpr Box kShowSystem{static_cast<int>(res::IDC_OPT_SHOW_SYSTEM), 0};
constexpr Box kBold{static_cast<int>(res::IDC_OPT_BOLD), 1021};
constexpr Box kFullRow{static_cast<int>(res::IDC_OPT_FULL_ROW), 1022};
constexpr Box kPromptScript{static_cast<int>(res::IDC_OPT_PROMPT_SCRIPT), 1035};
constexpr Box kShowWarning{static_cast<int>(res::IDC_OPT_SHOW_WARNING), 0};
constexpr Box kDoubleTap{static_cast<int>(res::IDC_OPT_DOUBLE_TAP), 0};

void Check(HWND dialog, Box box, bool on) {
    CheckDlgButton(dialog, BoxId(dialog, box.id, box.otherId), on ? BST_CHECKED : BST_UNCHECKED);
}

DWORD Ticked(HWND dialog, Box box) {
    return IsDlgButtonChecked(dialog, BoxId(dialog, box.id, box.otherId)) == BST_CHECKED ? 1 : 0;
}

void InitOptions(HWND dialog, LPARAM) {
    ui::InitDialogFrame(dialog, true, true);
    const Settings& settings = *App().settings;
    Check(dialog, kShowSystem, settings.showSystemDatabases);
    Check(dialog, kBold, settings.boldList != 0);
    Check(dialog, kFullRow, settings.fullRow != 0);
    Check(dialog, kPromptScript, settings.promptScript != 0);
    Check(dialog, kShowWarning, settings.showWarning != 0);
    Check(dialog, kDoubleTap, settings.doubleTap != 0);
}

void StoreOptions(HWND dialog) {
    Settings& settings = *App().settings;
    settings.showSystemDatabases = Ticked(dialog, kShowSystem) != 0;
    settings.boldList = Ticked(dialog, kBold);
    settings.fullRow = Ticked(dialog, kFullRow);
    settings.promptScript = Ticked(dialog, kPromptScript);
    settings.showWarning = Ticked(dialog, kShowWarning);
    settings.doubleTap = Ticked(dialog, kDoubleTap);
    settings.MakeListFont();
}

bool OnOptionsCommand(HWND dialog, int id) {
    if (id == IDOK)
        StoreOptions(dialog);
    return ui::CloseOnOkOrCancel(dialog, id);
}

BOOL OptionsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, ui::kOptionsTopic, &InitOptions,
                                   &OnOptionsCommand);
}

// Kilobytes while they read easily, megabytes beyond.
void SetMemoryText(HWND dialog, int id, UINT kilobytes, UINT megabytes, std::uint64_t bytes) {
    constexpr std::uint64_t kMostKilobytes = 999999;
    std::uint64_t value = bytes / 1024;
    UINT format = kilobytes;
    if (value > kMostKilobytes) {
        value /= 1024;
        format = megabytes;
    }
    WCHAR text[256];
    ui::LoadText(format, text, 256);
    SetDlgItemTextW(dialog, id, FormatWide(text, {static_cast<long>(value)}).c_str());
}

void InitAbout(HWND dialog, LPARAM) {
    ui::InitDialogFrame(dialog, true, true);
    StoreSpace store;
    if (!GetStoreSpace(&store))
        return;
    SetMemoryText(dialog, res::IDC_ABOUT_AVAILABLE, res::IDS_AVAILABLE_MEMORY,
                  res::IDS_AVAILABLE_MEMORY_MB, store.storeSize);
    SetMemoryText(dialog, res::IDC_ABOUT_FREE, res::IDS_FREE_MEMORY, res::IDS_FREE_MEMORY_MB,
                  store.freeSize);
}

BOOL AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ui::FramedDialogMessage(dialog, message, wParam, lParam, ui::kMainHelpTopic, &InitAbout,
                                   &ui::CloseOnOkOrCancel);
}

// The wide partner of a template on a screen wider than high, when the
// edition has one.
UINT ForScreen(UINT narrow) {
    if (!ui::IsWideScreen())
        return narrow;
    for (const res::TemplatePair& pair : res::kWideTemplates) {
        if (pair.narrow == narrow && App().instance->FindDialog(pair.wide) != nullptr)
            return pair.wide;
    }
    return narrow;
}

}  // namespace

bool ShowOptions(HWND owner) {
    return DialogBoxParamW(App().instance, MAKEINTRESOURCE(ForScreen(res::IDD_OPTIONS)), owner,
                           &OptionsProcedure, 0) == IDOK;
}

void ShowAbout(HWND owner) {
    DialogBoxParamW(App().instance, MAKEINTRESOURCE(ForScreen(res::IDD_ABOUT)), owner,
                    &AboutProcedure, 0);
}

}  // namespace app
