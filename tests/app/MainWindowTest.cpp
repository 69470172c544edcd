// The main window's commands as a person uses them: menu enabling, the
// Options dialog, the close rule while a command runs, the context menu and
// help.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "app/DatabaseList.h"
#include "app/MainWindow.h"
#include "app/MainWindowCommands.h"
#include "app/Program.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/BrowserStrings.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/EditorIds.h"
#include "resources/KeyboardIds.h"
#include "resources/StringIds.h"
#include "resources/TransferIds.h"
#include "tests/app/BrowserFixture.h"
#include "ui/CommandTable.h"

namespace browser_test {
namespace {

namespace input = gui::input;

using MainWindowTest = BrowserTest;

// The commands of the main window's table that need exactly one selected row.
std::vector<UINT> SingleRowCommands() {
    std::vector<UINT> commands;
    for (const ui::CommandRow& row : app::MainWindowCommands()) {
        if (row.enabled == &app::OneRowSelected)
            commands.push_back(row.id);
    }
    return commands;
}

// Every command the main window's menus, menu bar and accelerators send, in
// both editions (the keyboard edition's menus send some under ids of their own).
std::set<UINT> CommandsOfTheResources() {
    std::set<UINT> commands;
    std::function<void(const std::vector<MenuItemResource>&)> addItems =
        [&](const std::vector<MenuItemResource>& items) {
            for (const MenuItemResource& item : items) {
                if (item.id != 0)
                    commands.insert(item.id);
                addItems(item.children);
            }
        };
    HINSTANCE palm = testing_support::EditionResources(testing_support::Edition::Palm);
    HINSTANCE keyboard = testing_support::EditionResources(testing_support::Edition::Keyboard);
    for (UINT menu : {res::IDR_MAIN_MENU, res::IDR_LIST_MENU})
        addItems(palm->FindMenu(menu)->items);
    for (UINT menu : {res::IDR_MAIN_MENU, res::IDR_KEYBOARD_LIST_MENU})
        addItems(keyboard->FindMenu(menu)->items);
    for (const MenuBarItemResource& item : palm->FindMenuBar(res::IDR_MAIN_MENU)->items) {
        if (item.kind == MenuBarItemResource::Button)
            commands.insert(item.command);
    }
    for (HINSTANCE resources : {palm, keyboard}) {
        for (const AcceleratorEntry& entry :
             resources->FindAccelerators(res::IDR_MAIN_ACCELERATORS)->entries)
            commands.insert(entry.cmd);
    }
    return commands;
}

LONG ListFontWeight() {
    auto font = reinterpret_cast<HFONT>(SendMessageW(appcore::App().list, WM_GETFONT, 0, 0));
    const LOGFONTW* description = FontDescription(font);
    return description != nullptr ? description->lfWeight : -1;
}

TEST_F(MainWindowTest, WithTwoRowsSelectedSingleRowCommandsAreGreyAndViewModifyDoesNothing) {
    MakeDatabase(u"one", 2);
    MakeDatabase(u"two", 2);
    Start();
    std::vector<UINT> singleRow = SingleRowCommands();
    ASSERT_FALSE(singleRow.empty());
    Select({0});
    for (UINT command : singleRow)
        EXPECT_EQ(MenuState(command) & MF_GRAYED, 0u) << command;
    Select({0, 1});
    for (UINT command : singleRow)
        EXPECT_NE(MenuState(command) & MF_GRAYED, 0u) << command;
    HWND bar = SHFindMenuBar(main());
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, res::IDM_DELETE, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, res::IDM_PROPERTIES, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, res::IDM_BACKUP, 0));
    EXPECT_EQ(MenuState(res::IDM_VIEW_MODIFY) & MF_GRAYED, 0u);

    Choose(res::IDM_VIEW_MODIFY);
    SetFocus(list());
    input::PressKey(VK_RETURN);
    EXPECT_TRUE(user().shown().empty());

    // With one row Enter opens it in the record editor.
    Select({1});
    SetFocus(list());
    user().OnDialog(res::IDD_EDITOR, [](HWND editor) { input::PressDone(editor); });
    input::PressKey(VK_RETURN);
    EXPECT_TRUE(user().shown().empty());
    EXPECT_EQ(user().dialogs(), (std::vector<UINT>{res::IDD_EDITOR}));
}

TEST_F(MainWindowTest, TheViewCommandsSwitchTheListAndMarkTheCurrentView) {
    MakeDatabase(u"one");
    Start();
    EXPECT_NE(MenuState(res::IDM_VIEW_DETAILS) & MF_CHECKED, 0u);
    Choose(res::IDM_VIEW_LARGE_ICONS);
    EXPECT_EQ(GetWindowLongW(list(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_ICON));
    EXPECT_EQ(appcore::App().settings->style, appcore::kLargeIcons);
    EXPECT_NE(MenuState(res::IDM_VIEW_LARGE_ICONS) & MF_CHECKED, 0u);
    EXPECT_EQ(MenuState(res::IDM_VIEW_DETAILS) & MF_CHECKED, 0u);
    Choose(res::IDM_VIEW_LIST);
    EXPECT_EQ(GetWindowLongW(list(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_LIST));
    // The stored view is used at the next start.
    Close();
    Start();
    EXPECT_EQ(GetWindowLongW(list(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_LIST));
}

TEST_F(MainWindowTest, OptionsChangeTheListFontAtOnceAndCancelChangesNothing) {
    MakeDatabase(u"one");
    MakeDatabase(u"\\system");
    Start();
    EXPECT_EQ(ListFontWeight(), FW_NORMAL);
    user().OnDialog(res::IDD_OPTIONS, [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, res::IDC_OPT_FULL_ROW), BST_CHECKED);
        input::ClickDlgButton(dialog, res::IDC_OPT_BOLD);
        input::ClickDlgButton(dialog, res::IDC_OPT_SHOW_SYSTEM);
        input::PressDone(dialog);
    });
    Choose(res::IDM_OPTIONS);
    EXPECT_EQ(ListFontWeight(), FW_BOLD);
    EXPECT_EQ(ListView_GetItemCount(list()), 2);

    user().OnDialog(res::IDD_OPTIONS, [](HWND dialog) {
        input::ClickDlgButton(dialog, res::IDC_OPT_BOLD);
        input::ClickDlgButton(dialog, res::IDC_OPT_FULL_ROW);
        input::PressDone(dialog);
    });
    Choose(res::IDM_OPTIONS);
    EXPECT_EQ(ListFontWeight(), FW_NORMAL);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list()) & LVS_EX_FULLROWSELECT, 0u);

    user().OnDialog(res::IDD_OPTIONS, [](HWND dialog) {
        input::ClickDlgButton(dialog, res::IDC_OPT_BOLD);
        input::ClickDlgButton(dialog, res::IDC_OPT_SHOW_SYSTEM);
        input::PressKey(VK_ESCAPE);
    });
    Choose(res::IDM_OPTIONS);
    EXPECT_EQ(ListFontWeight(), FW_NORMAL);
    EXPECT_EQ(appcore::App().settings->boldList, 0u);
    EXPECT_TRUE(appcore::App().settings->showSystemDatabases);
    EXPECT_EQ(ListView_GetItemCount(list()), 2);
}

TEST_F(MainWindowTest, ACloseRequestWhileACommandRunsIsIgnored) {
    MakeDatabase(u"one");
    Start();
    HWND window = main();
    bool stillOpen = false;
    user().OnDialog(res::IDD_ABOUT, [&](HWND dialog) {
        input::RequestClose(window);
        stillOpen = IsWindow(window) != FALSE;
        input::PressDone(dialog);
    });
    Choose(res::IDM_ABOUT);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(appcore::App().commandsIdle);
    input::RequestClose(window);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowTest, TheMainWindowShowsIcon101ItsClassLargeAndItselfAt16Pixels) {
    Start();
    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(appcore::App().instance, app::kMainClassName, &windowClass));
    EXPECT_EQ(windowClass.hIcon,
              LoadIconW(appcore::App().instance, MAKEINTRESOURCE(res::IDI_PROGRAM)));
    SIZE size{};
    ASSERT_TRUE(IconSize(windowClass.hIcon, &size));
    EXPECT_EQ(size.cx, 32);
    auto small = reinterpret_cast<HICON>(SendMessageW(main(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(IconSize(small, &size));
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);
    EXPECT_EQ(small, LoadImageW(appcore::App().instance, MAKEINTRESOURCE(res::IDI_PROGRAM),
                                IMAGE_ICON, 16, 16, 0));
}

TEST_F(MainWindowTest, EmptyingADatabaseWithoutRecordsStillAsks) {
    MakeDatabase(u"nothing", 0);
    Start();
    Select({0});
    user().Answer(res::IDS_CONFIRM_EMPTY, IDNO);
    Choose(res::IDM_EMPTY);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CONFIRM_EMPTY}));
}

TEST_F(MainWindowTest, ViewModifyOnAnEmptyDatabaseAnsweredNoAddsNothing) {
    MakeDatabase(u"nothing", 0);
    Start();
    Select({0});
    user().Answer(res::IDS_CONFIRM_ADD_RECORD, IDNO);
    Choose(res::IDM_VIEW_MODIFY);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CONFIRM_ADD_RECORD}));
    EXPECT_EQ(Info(u"nothing").wNumRecords, 0);
}

TEST_F(MainWindowTest, TapAndHoldOpensTheContextMenuForTheHeldRow) {
    MakeDatabase(u"one", 1, 7);
    MakeDatabase(u"two", 1, 9);
    Start();
    Select({0});
    bool deleteEnabled = false;
    user().OnNextPopup([&](HMENU menu) {
        deleteEnabled = (GetMenuState(menu, res::IDM_DELETE, MF_BYCOMMAND) & MF_GRAYED) == 0;
        return res::IDM_PROPERTIES;
    });
    std::u16string type;
    user().OnDialog(res::IDD_PROPERTIES, [&](HWND dialog) {
        WCHAR text[32] = {};
        GetDlgItemTextW(dialog, res::IDC_PROP_TYPE, text, 32);
        type = text;
        input::PressDone(dialog);
    });
    input::TapAndHoldItem(list(), 1);
    EXPECT_EQ(user().popupsShown(), 1);
    EXPECT_TRUE(deleteEnabled);
    EXPECT_EQ(type, u"9");
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
}

TEST_F(MainWindowTest, HelpShowsItsTopicsFromTheMenuAndFromADialogsHelpButton) {
    Start();
    auto* backend = gui::CurrentHeadless();
    // Ctrl+H: the accelerator sends the command.
    SendMessageW(main(), WM_COMMAND, MAKEWPARAM(res::IDM_HELP, 1), 0);
    ASSERT_EQ(backend->helpRequests().size(), 1u);
    EXPECT_EQ(backend->helpRequests()[0].anchor, u"tessaly_help");
    EXPECT_EQ(backend->helpRequests()[0].file.filename(), "tessaly.htm");

    user().OnDialog(res::IDD_OPTIONS, [](HWND dialog) {
        input::ClickDlgButton(dialog, res::IDC_HELP_BUTTON);
        input::PressKey(VK_ESCAPE);
    });
    Choose(res::IDM_OPTIONS);
    ASSERT_EQ(backend->helpRequests().size(), 2u);
    EXPECT_EQ(backend->helpRequests()[1].anchor, u"options");
}

TEST_F(MainWindowTest, ASecondStartBringsTheOpenDialogForwardWithItsOwner) {
    Start();
    auto* backend = gui::CurrentHeadless();
    HWND active = nullptr;
    std::vector<HWND> raised;
    HWND options = nullptr;
    user().OnDialog(res::IDD_OPTIONS, [&](HWND dialog) {
        options = dialog;
        // What the running program does when it is started again.
        ShowWindow(main(), SW_SHOWNORMAL);
        SetForegroundWindow(main());
        active = GetActiveWindow();
        raised = backend->raised();
        input::PressKey(VK_ESCAPE);
    });
    Choose(res::IDM_OPTIONS);
    ASSERT_NE(options, nullptr);
    // The dialog, not its disabled owner, has the keys; it was raised last.
    EXPECT_EQ(active, options);
    ASSERT_FALSE(raised.empty());
    EXPECT_EQ(raised.back(), options);
    EXPECT_NE(std::find(raised.begin(), raised.end(), main()), raised.end());
    // Closed, the dialog gives the keyboard back to its owner's list.
    EXPECT_EQ(GetActiveWindow(), main());
    EXPECT_EQ(GetFocus(), list());
}

TEST_F(MainWindowTest, MenuBarButtonsTellTheirTipsWhenHeldOrHoveredAndSendNothingThen) {
    MakeDatabase(u"victim");
    Start();
    HWND bar = SHFindMenuBar(main());
    auto middle = [&](int item) {
        RECT r{};
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    // Edit, View and Tools, then Properties, Delete, Backup, Autobackup, Restore.
    std::vector<std::u16string> tips;
    for (int item = 0; item < 8; ++item)
        tips.push_back(gui::ToolTipAt(bar, middle(item)));
    EXPECT_EQ(tips, (std::vector<std::u16string>{u"", u"", u"", u"Properties", u"Delete", u"Backup",
                                                 u"Autobackup", u"Restore"}));

    auto* backend = gui::CurrentHeadless();
    input::TapAndHold(bar, middle(4));
    EXPECT_TRUE(backend->tipShown());
    ASSERT_EQ(backend->tips(), (std::vector<std::u16string>{u"Delete"}));
    gui::PostPointer(bar, WM_LBUTTONUP, middle(4));
    input::PumpMessages();
    EXPECT_FALSE(backend->tipShown());
    // Held, the button only told what it does.
    EXPECT_TRUE(user().shown().empty());
    EXPECT_TRUE(Exists(u"victim"));
}

TEST_F(MainWindowTest, HelpThatNoBrowserCanShowSaysSoAndNamesTheFile) {
    Start();
    gui::CurrentHeadless()->SetHelpShown(false);
    SendMessageW(main(), WM_COMMAND, MAKEWPARAM(res::IDM_HELP, 1), 0);
    ASSERT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_HELP_NOT_SHOWN}));
    const std::u16string& text = user().shown()[0].text;
    std::u16string file = Utf8ToWide(HelpFilePath(u"tessaly.htm").string());
    EXPECT_NE(text.find(u"\"" + file + u"\""), std::u16string::npos) << WideToUtf8(text);
    EXPECT_EQ(user().shown()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST_F(MainWindowTest, EveryCommandOfTheMenusAndAcceleratorsHasOneRowInTheTable) {
    std::set<UINT> inTable;
    for (const ui::CommandRow& row : app::MainWindowCommands())
        EXPECT_TRUE(inTable.insert(row.id).second) << "two rows for " << row.id;
    EXPECT_EQ(inTable, CommandsOfTheResources());
}

TEST_F(MainWindowTest, CommandsWithoutAHandlerSayTheyAreNotAvailableYet) {
    MakeDatabase(u"one");
    Start();
    Select({0});
    for (const ui::CommandRow& row : app::MainWindowCommands()) {
        if (row.handler != nullptr)
            continue;
        user().ClearShown();
        Choose(row.id);
        EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_NOT_AVAILABLE_YET})) << row.id;
    }
}

TEST_F(MainWindowTest, ExportAndSendNeedARow) {
    MakeDatabase(u"one");
    MakeDatabase(u"zero", 0);
    Start();
    // Without a row their menu items are greyed; their accelerators still send them.
    Select({});
    SendMessageW(main(), WM_COMMAND, MAKEWPARAM(res::IDM_EXPORT, 1), 0);
    SendMessageW(main(), WM_COMMAND, MAKEWPARAM(res::IDM_SEND, 1), 0);
    EXPECT_TRUE(user().shown().empty());
    EXPECT_TRUE(user().dialogs().empty());
    // Send takes the selected database: an empty one is refused at once.
    Select({1});
    Choose(res::IDM_SEND);
    EXPECT_EQ(user().CountShown(res::IDS_IR_EMPTY_DATABASE), 1);
}

TEST_F(MainWindowTest, ExportAndTheRegistryCommandsOpenTheirDialogs) {
    MakeDatabase(u"one");
    Start();
    Select({0});
    for (UINT dialog : {res::IDD_EXPORT, res::IDD_REGISTRY_BACKUP})
        user().AlwaysOnDialog(dialog, [](HWND d) { SendMessageW(d, WM_COMMAND, IDCANCEL, 0); });
    Choose(res::IDM_EXPORT);
    Choose(res::IDM_BACKUP_REGISTRY);
    user().AnswerFile(std::nullopt);
    Choose(res::IDM_RESTORE_REGISTRY);
    EXPECT_EQ(user().dialogs(), (std::vector<UINT>{res::IDD_EXPORT, res::IDD_REGISTRY_BACKUP}));
    EXPECT_EQ(user().fileDialogs().size(), 1u);
    EXPECT_TRUE(user().shown().empty());
}

TEST_F(MainWindowTest, AutobackupWithoutAScriptSaysSo) {
    Start();
    Choose(res::IDM_AUTOBACKUP);
    EXPECT_EQ(user().ShownIds(), std::vector<UINT>{res::IDS_SCRIPT_MISSING});
}

// With "Prompt for Autobackup script file" on, the command asks which
// script to run; cancelling runs nothing, and the chosen file is the one
// read and remembered for the next run.
TEST_F(MainWindowTest, AutobackupAsksForTheScriptWhenToldToAndRemembersTheChoice) {
    Start();
    appcore::Settings& settings = *appcore::App().settings;
    settings.promptScript = 1;
    user().AnswerFile(std::nullopt);
    Choose(res::IDM_AUTOBACKUP);
    EXPECT_TRUE(user().shown().empty());

    // A file that is there but holds no script.
    { std::ofstream(device::HostPath(u"\\My Documents\\nightly.abk")) << "not a script"; }
    user().AnswerFile(u"\\My Documents\\nightly.abk");
    Choose(res::IDM_AUTOBACKUP);
    ASSERT_EQ(user().ShownIds(), std::vector<UINT>{res::IDS_SCRIPT_MISSING});
    EXPECT_EQ(WideView(settings.scriptName), u"\\My Documents\\nightly.abk");
}

TEST_F(MainWindowTest, TheMessageLoopTurnsControlKeysIntoCommandsUntilCtrlQCloses) {
    MakeDatabase(u"victim");
    Start();
    Select({0});
    SetFocus(list());
    user().Answer(res::IDS_CONFIRM_DELETE, IDNO);
    auto control = [](WORD key) {
        gui::PostKey(WM_KEYDOWN, VK_CONTROL);
        gui::PostKey(WM_KEYDOWN, key);
        gui::PostKey(WM_KEYUP, key);
        gui::PostKey(WM_KEYUP, VK_CONTROL);
    };
    control('D');
    control('Q');
    EXPECT_EQ(app::RunMessageLoop(), 0);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CONFIRM_DELETE}));
    EXPECT_FALSE(IsWindow(main()));
    EXPECT_TRUE(Exists(u"victim"));
}

TEST_F(MainWindowTest, AboutShowsTheStoresSizeAndFreeSpace) {
    Start();
    std::u16string available, free;
    user().OnDialog(res::IDD_ABOUT, [&](HWND dialog) {
        WCHAR text[64] = {};
        GetDlgItemTextW(dialog, res::IDC_ABOUT_AVAILABLE, text, 64);
        available = text;
        GetDlgItemTextW(dialog, res::IDC_ABOUT_FREE, text, 64);
        free = text;
        input::PressDone(dialog);
    });
    Choose(res::IDM_ABOUT);
    EXPECT_EQ(available.rfind(u"Available Memory: ", 0), 0u);
    EXPECT_EQ(free.rfind(u"Free Memory: ", 0), 0u);
    // Both figures in one unit, compared: the free part of the store is
    // never more than the store, however large the disk under it.
    auto kilobytes = [](const std::u16string& text) {
        std::string digits = WideToUtf8(text.substr(text.find(u": ") + 2));
        std::uint64_t value = std::stoull(digits);
        std::u16string unit = text.substr(text.size() - 2);
        EXPECT_TRUE(unit == u"KB" || unit == u"MB") << digits;
        // Kilobytes stay under seven digits; megabytes take over there.
        if (unit == u"KB") {
            EXPECT_LE(value, 999999u);
        }
        return unit == u"MB" ? value * 1024 : value;
    };
    std::uint64_t store = kilobytes(available);
    std::uint64_t left = kilobytes(free);
    EXPECT_LE(left, store) << WideToUtf8(available) << " / " << WideToUtf8(free);
    EXPECT_NE(left, 4194303u);
}

}  // namespace
}  // namespace browser_test
