// Delete, empty, rename, copy and properties as a person runs them, with
// the name dialog and the "Database Exists" question.

#include <gtest/gtest.h>

#include "app/DatabaseList.h"
#include "app/NameDialogs.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/app/BrowserFixture.h"

namespace browser_test {
namespace {

namespace input = gui::input;
using Texts = std::vector<std::u16string>;

using DatabaseCommandsTest = BrowserTest;

std::u16string ItemText(HWND dialog, int id) {
    WCHAR text[260] = {};
    GetDlgItemTextW(dialog, id, text, 260);
    return std::u16string(WideView(text, 260));
}

void ExpectTypeAndSortOrders(const CEDBASEINFO& info, DWORD type,
                             const std::vector<SORTORDERSPEC>& sorts) {
    EXPECT_EQ(info.dwDbaseType, type);
    ASSERT_EQ(info.wNumSortOrder, sorts.size());
    for (std::size_t i = 0; i < sorts.size(); ++i) {
        EXPECT_EQ(info.rgSortSpecs[i].propid, sorts[i].propid) << i;
        EXPECT_EQ(info.rgSortSpecs[i].dwFlags, sorts[i].dwFlags) << i;
    }
}

// The name dialog gets `name` in its "To:" field and Done.
auto EnterName(std::u16string name) {
    return [name](HWND dialog) {
        input::EditText(GetDlgItem(dialog, res::IDC_NAME_TO), name);
        input::PressDone(dialog);
    };
}

TEST_F(DatabaseCommandsTest, DeleteAsksWithNoAsTheDefaultAndDeletesOnlyOnYes) {
    MakeDatabase(u"keep");
    MakeDatabase(u"victim");
    Start();
    Select({RowOf(u"victim")});
    user().Answer(res::IDS_CONFIRM_DELETE, IDNO);
    Choose(res::IDM_DELETE);
    ASSERT_EQ(user().shown().size(), 1u);
    EXPECT_EQ(user().shown()[0].style & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_NE(user().shown()[0].text.find(u"'victim'"), std::u16string::npos);
    EXPECT_TRUE(Exists(u"victim"));

    user().Answer(res::IDS_CONFIRM_DELETE, IDYES);
    Choose(res::IDM_DELETE);
    EXPECT_FALSE(Exists(u"victim"));
    EXPECT_EQ(Column(), (Texts{u"keep"}));
}

TEST_F(DatabaseCommandsTest, EmptyRemovesEveryRecordAndKeepsTheSelection) {
    MakeDatabase(u"a", 1);
    MakeDatabase(u"full", 5);
    Start();
    Select({1});
    user().Answer(res::IDS_CONFIRM_EMPTY, IDYES);
    Choose(res::IDM_EMPTY);
    EXPECT_EQ(Info(u"full").wNumRecords, 0);
    EXPECT_EQ(Icon(1), app::kIconEmpty);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
}

TEST_F(DatabaseCommandsTest, CopyToAnExistingNameKeepsTheDialogOpenUntilANewOneIsGiven) {
    SORTORDERSPEC sort{kTextProperty, CEDB_SORT_DESCENDING};
    MakeDatabase(u"source", 3, 77, 0, {sort});
    MakeDatabase(u"taken");
    Start();
    Select({RowOf(u"source")});
    bool openAfterTaken = false;
    std::u16string from;
    user().OnDialog(res::IDD_NAME, [&](HWND dialog) {
        from = ItemText(dialog, res::IDC_NAME_FROM);
        EnterName(u"TAKEN")(dialog);
        openAfterTaken = IsWindow(dialog) && IsWindowVisible(dialog);
        EnterName(u"copy of source")(dialog);
    });
    Choose(res::IDM_COPY);
    EXPECT_EQ(from, u"source");
    EXPECT_TRUE(openAfterTaken);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_NAME_EXISTS}));
    EXPECT_NE(user().shown()[0].text.find(u"'TAKEN'"), std::u16string::npos);
    CEDBASEINFO copy = Info(u"copy of source");
    EXPECT_EQ(copy.wNumRecords, 3);
    EXPECT_EQ(copy.dwDbaseType, 77u);
    EXPECT_EQ(Column(), (Texts{u"copy of source", u"source", u"taken"}));
}

TEST_F(DatabaseCommandsTest, AnEmptyToFieldCancelsTheCopySilently) {
    MakeDatabase(u"source");
    Start();
    Select({0});
    user().OnDialog(res::IDD_NAME, EnterName(u""));
    Choose(res::IDM_COPY);
    EXPECT_TRUE(user().shown().empty());
    EXPECT_EQ(Column(), (Texts{u"source"}));
}

TEST_F(DatabaseCommandsTest, CopyingAnEmptyDatabaseKeepsItsTypeAndSortOrders) {
    constexpr CEPROPID kNumber = MakePropID(3, CEVT_I4);
    SORTORDERSPEC sorts[2] = {{kTextProperty, CEDB_SORT_CASEINSENSITIVE},
                              {kNumber, CEDB_SORT_DESCENDING}};
    MakeDatabase(u"blank", 0, 12, 0, {sorts[0], sorts[1]});
    Start();
    Select({0});
    user().OnDialog(res::IDD_NAME, EnterName(u"blank too"));
    Choose(res::IDM_COPY);
    CEDBASEINFO copy = Info(u"blank too");
    EXPECT_EQ(copy.wNumRecords, 0);
    ExpectTypeAndSortOrders(copy, 12, {sorts[0], sorts[1]});
}

TEST_F(DatabaseCommandsTest, RenameWithTheDialogIsCaptionedAndCutsTheNameAt31Characters) {
    MakeDatabase(u"old");
    Start();
    Select({0});
    std::u16string caption;
    user().OnDialog(res::IDD_NAME, [&](HWND dialog) {
        WCHAR text[64] = {};
        GetWindowTextW(dialog, text, 64);
        caption = text;
        // The field takes 32 characters; the 32nd is dropped.
        EnterName(u"abcdefghijklmnopqrstuvwxyz012345")(dialog);
    });
    Choose(res::IDM_RENAME);
    EXPECT_EQ(caption, u"Rename Database");
    EXPECT_EQ(Column(), (Texts{u"abcdefghijklmnopqrstuvwxyz01234"}));
    EXPECT_FALSE(Exists(u"old"));
}

TEST_F(DatabaseCommandsTest, RenameChangesOnlyTheNameNotTypeSortOrdersOrTimeOfChange) {
    constexpr CEPROPID kNumber = MakePropID(3, CEVT_I4);
    MakeDatabase(u"dated", 2, 77, 0, {{kTextProperty, CEDB_SORT_CASEINSENSITIVE}, {kNumber, 0}});
    SetModifiedDay(u"dated", 3);
    CEDBASEINFO before = Info(u"dated");
    Start();
    Select({0});
    user().OnDialog(res::IDD_NAME, EnterName(u"renamed"));
    Choose(res::IDM_RENAME);
    ASSERT_FALSE(Exists(u"dated"));
    CEDBASEINFO after = Info(u"renamed");
    EXPECT_EQ(after.wNumRecords, 2);
    ExpectTypeAndSortOrders(after, 77, {{kTextProperty, CEDB_SORT_CASEINSENSITIVE}, {kNumber, 0}});
    EXPECT_EQ(after.ftLastModified.dwHighDateTime, before.ftLastModified.dwHighDateTime);
    EXPECT_EQ(after.ftLastModified.dwLowDateTime, before.ftLastModified.dwLowDateTime);

    // Renaming in place passes the same information.
    input::EditListLabel(list(), 0, u"again");
    input::PumpMessages();
    CEDBASEINFO again = Info(u"again");
    EXPECT_EQ(again.dwDbaseType, 77u);
    EXPECT_EQ(again.ftLastModified.dwLowDateTime, before.ftLastModified.dwLowDateTime);
}

TEST_F(DatabaseCommandsTest, RenamingInPlaceToAnExistingNameFailsAndKeepsTheOldLabel) {
    MakeDatabase(u"first");
    MakeDatabase(u"second");
    Start();
    input::EditListLabel(list(), RowOf(u"second"), u"first");
    input::PumpMessages();
    ASSERT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CANT_UPDATE_DB}));
    EXPECT_NE(user().shown()[0].text.find(u"'second'"), std::u16string::npos);
    EXPECT_EQ(Column(), (Texts{u"first", u"second"}));
    EXPECT_TRUE(Exists(u"second"));

    input::EditListLabel(list(), RowOf(u"second"), u"third");
    input::PumpMessages();
    EXPECT_EQ(Column(), (Texts{u"first", u"third"}));
    EXPECT_FALSE(Exists(u"second"));
    // Escape leaves everything as it was.
    input::EditListLabelAndCancel(list(), 0, u"fourth");
    input::PumpMessages();
    EXPECT_EQ(Column(), (Texts{u"first", u"third"}));
}

TEST_F(DatabaseCommandsTest, PropertiesShowSizeWithBytesTypeAndRecords) {
    MakeDatabase(u"sized", 1, 4242, 1536);
    Start();
    Select({0});
    std::u16string name, size, modified, type, records;
    user().OnDialog(res::IDD_PROPERTIES, [&](HWND dialog) {
        name = ItemText(dialog, res::IDC_PROP_NAME);
        size = ItemText(dialog, res::IDC_PROP_SIZE);
        modified = ItemText(dialog, res::IDC_PROP_MODIFIED);
        type = ItemText(dialog, res::IDC_PROP_TYPE);
        records = ItemText(dialog, res::IDC_PROP_RECORDS);
        input::PressDone(dialog);
    });
    Choose(res::IDM_PROPERTIES);
    EXPECT_EQ(name, u"sized");
    EXPECT_EQ(size, u"1.50KB (1536 Bytes)");
    EXPECT_EQ(type, u"4242");
    EXPECT_EQ(records, u"1");
    // Date, a blank and the time with seconds.
    EXPECT_EQ(std::count(modified.begin(), modified.end(), u':'), 2) << WideToUtf8(modified);
}

TEST_F(DatabaseCommandsTest, PropertiesOfADatabaseGoneMeanwhileReportAndClose) {
    MakeDatabase(u"gone");
    Start();
    Select({0});
    Delete(u"gone");
    Choose(res::IDM_PROPERTIES);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CANT_OPEN_DB}));
}

TEST_F(DatabaseCommandsTest, TheExistsQuestionAndTheNewNameDialogAnswerTheirCallers) {
    MakeDatabase(u"there");
    Start();
    std::u16string text;
    user().OnDialog(res::IDD_DATABASE_EXISTS, [&](HWND dialog) {
        text = ItemText(dialog, res::IDC_EXISTS_TEXT);
        input::ClickDlgButton(dialog, res::IDC_OVERWRITE);
    });
    EXPECT_EQ(app::AskExists(u"there"), app::kExistsOverwrite);
    EXPECT_EQ(text, u"Database \"there\" already exists.");
    user().OnDialog(res::IDD_DATABASE_EXISTS,
                    [](HWND dialog) { input::ClickDlgButton(dialog, IDCANCEL); });
    EXPECT_EQ(app::AskExists(u"there"), app::kExistsCancel);

    WCHAR chosen[32] = {};
    user().OnDialog(res::IDD_NAME, EnterName(u"elsewhere"));
    EXPECT_TRUE(app::AskNewName(u"there", chosen));
    EXPECT_EQ(std::u16string(chosen), u"elsewhere");
    user().OnDialog(res::IDD_NAME, [](HWND) { input::PressKey(VK_ESCAPE); });
    EXPECT_FALSE(app::AskNewName(u"there", chosen));
}

// The program's loop: accelerators of table 101 first, then the window.
void PumpAsTheProgramDoes(HWND main) {
    HACCEL table =
        LoadAcceleratorsW(appcore::App().instance, MAKEINTRESOURCE(res::IDR_MAIN_ACCELERATORS));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!TranslateAcceleratorW(main, table, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyAcceleratorTable(table);
}

void PressWithControl(HWND main, WORD key) {
    gui::PostKey(WM_KEYDOWN, VK_CONTROL);
    gui::PostKey(WM_KEYDOWN, key);
    gui::PostKey(WM_KEYUP, key);
    gui::PostKey(WM_KEYUP, VK_CONTROL);
    PumpAsTheProgramDoes(main);
}

TEST_F(DatabaseCommandsTest, TheRenameBoxKeepsItsEditingKeysAndRefusesANameTooLong) {
    MakeDatabase(u"notes");
    Start();
    HWND edit = ListView_EditLabel(list(), 0);
    ASSERT_NE(edit, nullptr);
    auto selection = [&] {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return std::pair<DWORD, DWORD>(start, end);
    };
    input::PressKey(VK_END);
    ASSERT_EQ(selection(), (std::pair<DWORD, DWORD>(5, 5)));
    // Ctrl+A selects the text (it is not Autobackup while the box has the focus).
    PressWithControl(main(), 'A');
    EXPECT_TRUE(user().shown().empty());
    ASSERT_TRUE(IsWindow(edit));
    EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>(0, 5)));
    // Cut, paste back twice, undo the last paste.
    PressWithControl(main(), 'X');
    EXPECT_EQ(GetWindowTextLengthW(edit), 0);
    PressWithControl(main(), 'V');
    PressWithControl(main(), 'V');
    EXPECT_EQ(GetWindowTextLengthW(edit), 10);
    PressWithControl(main(), 'Z');
    EXPECT_EQ(GetWindowTextLengthW(edit), 5);
    EXPECT_TRUE(user().shown().empty());

    // Typing stops at 31 characters, the most a database name holds.
    input::TypeText(u" and a great many other things");
    EXPECT_EQ(GetWindowTextLengthW(edit), 31);
    input::PressKey(VK_RETURN);
    input::PumpMessages();
    EXPECT_EQ(Column(), (Texts{u"notes and a great many other th"}));
    EXPECT_TRUE(user().shown().empty());
}

}  // namespace
}  // namespace browser_test
