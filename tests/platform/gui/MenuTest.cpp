// Menus: states and radio marks, popups answered by the scripted user, the
// popup-about-to-open message, the menu bar and the file dialogs.

#include "platform/core/Text.h"
#include "platform/gui/CommDlg.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/support/TempDevice.h"

namespace gui_test {
namespace {

using MenuTest = GuiTest;

TEST_F(MenuTest, StatesAndRadioMarksAreFoundThroughSubmenus) {
    HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCE(kMenu));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(EnableMenuItem(menu, kDelete, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, kDelete, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(EnableMenuItem(menu, kOpen, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 12345, MF_BYCOMMAND | MF_GRAYED), 0xFFFFFFFF);
    CheckMenuRadioItem(menu, kLarge, kList, kList, MF_BYCOMMAND);
    EXPECT_EQ(GetMenuState(menu, kDetails, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(menu, kList, MF_BYCOMMAND) & (MF_CHECKED | MFT_RADIOCHECK),
              MF_CHECKED | MFT_RADIOCHECK);
    HMENU edit = GetSubMenu(menu, 0);
    EXPECT_EQ(GetMenuState(edit, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    WCHAR text[16];
    GetMenuStringW(menu, 1, text, 16, MF_BYPOSITION);
    EXPECT_EQ(std::u16string(text), u"View");
    DeleteMenu(menu, kLarge, MF_BYCOMMAND);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 1)), 2);
    DestroyMenu(menu);
}

TEST_F(MenuTest, APopupFirstTellsItsOwnerThenPostsTheChosenCommand) {
    HWND frame = MakeFrame();
    HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCE(kMenu));
    HMENU edit = GetSubMenu(menu, 0);
    UINT deleteState = 0;
    user().OnNextPopup([&](HMENU shown) {
        deleteState = GetMenuState(shown, kDelete, MF_BYCOMMAND);
        return kOpen;
    });
    SeenMessages().clear();
    EXPECT_TRUE(TrackPopupMenuEx(edit, TPM_LEFTALIGN, 10, 10, frame, nullptr));
    EXPECT_EQ(CountSeen(frame, WM_INITMENUPOPUP), 1);
    EXPECT_EQ(deleteState & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(CountSeen(frame, WM_COMMAND), 0);  // posted, not sent
    gui::input::PumpMessages();
    ASSERT_EQ(CountSeen(frame, WM_COMMAND), 1);

    // A greyed command cannot be chosen; an unscripted popup is dismissed.
    user().ChooseFromNextPopup(kDelete);
    EXPECT_EQ(TrackPopupMenuEx(edit, TPM_RETURNCMD, 0, 0, frame, nullptr), 0);
    EXPECT_EQ(TrackPopupMenuEx(edit, TPM_RETURNCMD, 0, 0, frame, nullptr), 0);
    EXPECT_EQ(failures.size(), 2u);
    DestroyMenu(menu);
}

TEST_F(MenuTest, TheMenuBarSitsBelowTheClientAreaAndRoutesMenusAndButtons) {
    HWND frame = MakeFrame();
    RECT before;
    GetClientRect(frame, &before);
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = frame;
    info.nToolBarId = kMenuBar;
    info.hInstRes = instance();
    info.nBmpId = 125;
    info.cBmpImages = 11;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    RECT after;
    GetClientRect(frame, &after);
    EXPECT_EQ(after.bottom, before.bottom - backend().Screen().menuBarHeight);
    EXPECT_EQ(SHFindMenuBar(frame), info.hwndMB);

    SeenMessages().clear();
    gui::input::ChooseMenuCommand(frame, kOpen);
    EXPECT_EQ(CountSeen(frame, WM_INITMENUPOPUP), 1);
    EXPECT_EQ(CountSeen(frame, WM_COMMAND), 1);
    gui::input::ChooseMenuCommand(frame, kDelete);  // greyed in the menu, and its button...
    EXPECT_EQ(CountSeen(frame, WM_COMMAND), 2);     // ...is enabled: the button sends it
    SendMessageW(info.hwndMB, TB_ENABLEBUTTON, kDelete, MAKELONG(FALSE, 0));
    EXPECT_FALSE(SendMessageW(info.hwndMB, TB_ISBUTTONENABLED, kDelete, 0));
    gui::input::ChooseMenuCommand(frame, kDelete);
    EXPECT_EQ(CountSeen(frame, WM_COMMAND), 2);
    EXPECT_EQ(failures.size(), 1u);

    // Tapping the first caption opens its popup for the owner.
    user().ChooseFromNextPopup(0);
    gui::input::Tap(info.hwndMB, {5, 5});
    EXPECT_EQ(user().popupsShown(), 1);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(info.hwndMB, SHCMBM_GETMENU, 0, 0));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
}

TEST_F(MenuTest, FileDialogsTakeTheScriptedAnswerAndTheDefaultExtension) {
    testing_support::TempDevice device;
    WCHAR path[MAX_PATH] = u".bkp";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = u"Backup Files (*.bkp)\0*.bkp\0\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = u"*.bkp" + 1;
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    user().AnswerFile(u"\\My Documents\\all");
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\all.bkp");
    ASSERT_EQ(user().fileDialogs().size(), 1u);
    EXPECT_TRUE(user().fileDialogs()[0].save);
    EXPECT_EQ(user().fileDialogs()[0].filters[0].second, u"*.bkp");
    EXPECT_EQ(user().fileDialogs()[0].initialName, u".bkp");

    user().AnswerFile(std::nullopt);
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\all.bkp");  // unchanged on cancel

    // An open dialog that requires an existing file cannot be given a missing one.
    ofn.Flags = OFN_FILEMUSTEXIST;
    user().AnswerFile(u"\\My Documents\\missing.bkp");
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(failures.size(), 1u);

    // The default extension may be given as the filter's pattern; a name
    // that has an extension keeps it, and a pattern of every file adds none.
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = 0;
    ofn.lpstrDefExt = u"*.rbk";
    user().AnswerFile(u"\\My Documents\\keys");
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\keys.rbk");
    EXPECT_EQ(user().fileDialogs().back().defaultExtension, u"rbk");
    user().AnswerFile(u"\\My Documents\\keys.old");
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\keys.old");
    ofn.lpstrDefExt = u"*.*";
    user().AnswerFile(u"\\My Documents\\plain");
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\plain");
    EXPECT_EQ(user().fileDialogs().back().defaultExtension, u"");

    WCHAR small[8] = u"";
    ofn.lpstrFile = small;
    ofn.nMaxFile = 8;
    ofn.Flags = 0;
    user().AnswerFile(u"\\My Documents\\long-name");
    EXPECT_FALSE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
}

}  // namespace
}  // namespace gui_test
