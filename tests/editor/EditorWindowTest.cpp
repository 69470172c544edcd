// The editor's window: the property list and its sort, each value pane,
// the record counter, navigation and its command states, Sort By, Reload.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "editor/EditorCommands.h"

#include "appcore/Application.h"
#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "tests/editor/EditorFixture.h"

namespace editor_test {
namespace {

using Strings = std::vector<std::u16string>;

// 2026-01-01 12:34:56 UTC as a FILETIME.
constexpr std::uint64_t kNewYearNoon = 134116992000000000ULL + 452960000000ULL;

class EditorWindowTest : public EditorTest {};

// A key pressed with a modifier, through the editor loop's own handling.
void PressInEditor(HWND editor, WORD key, WORD modifier) {
    HACCEL table =
        LoadAcceleratorsW(appcore::App().instance, MAKEINTRESOURCE(res::IDR_EDITOR_ACCELERATORS));
    gui::PostKey(WM_KEYDOWN, modifier);
    gui::PostKey(WM_KEYDOWN, key);
    gui::PostKey(WM_KEYUP, key);
    gui::PostKey(WM_KEYUP, modifier);
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!editor::TranslateEditorMessage(editor, msg, table)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyAcceleratorTable(table);
}

TEST_F(EditorWindowTest, ARecordListsItsPropertiesByIdDescendingWithTypeAndSize) {
    MakeDatabase(u"Mixed", {{Int(1, -5), UInt(2, 7), Long(3, 70000), ULong(4, 4000000000u),
                             Float(5, 2.0), Bool(6, 1), Date(7, kNewYearNoon),
                             Text(8, u"h\u00e9llo"), AbsentText(9), Blob(10, {1, 2, 3})}});
    int code = RunEditor(u"Mixed", [](EditorWindow& editor) {
        EXPECT_EQ(editor.Rows(),
                  (Strings{u"BINARY 3 10", u"TEXT 0 9", u"TEXT 5 8", u"DATE 8 7", u"BOOLEAN 1 6",
                           u"FLOAT 8 5", u"ULONG 4 4", u"LONG 4 3", u"UINT 2 2", u"INT 2 1"}));
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 1");
        editor.Done();
    });
    EXPECT_EQ(code, editor::kClosedDone);
}

TEST_F(EditorWindowTest, EachTypeShowsItsOwnValuePane) {
    MakeDatabase(u"Panes", {{Int(1, -5), UInt(2, 7), Long(3, 70000), ULong(4, 4000000000u),
                             Float(5, 2.0), Float(15, 0.0), Bool(6, 1), Date(7, kNewYearNoon),
                             Text(8, u"h\u00e9llo"), Blob(10, {1, 2, 3})}});
    RunEditor(u"Panes", [](EditorWindow& editor) {
        struct Case {
            WORD id;
            const char16_t* number;
            UINT info;
        };
        for (Case c :
             {Case{1, u"-5", res::IDS_INFO_INT}, Case{2, u"7", res::IDS_INFO_UINT},
              Case{3, u"70000", res::IDS_INFO_LONG}, Case{4, u"4000000000", res::IDS_INFO_ULONG},
              Case{5, u"2.", res::IDS_INFO_FLOAT}, Case{15, u"0.", res::IDS_INFO_FLOAT}}) {
            editor.SelectProperty(c.id);
            EXPECT_TRUE(editor.Visible(res::IDC_VALUE_NUMBER)) << c.id;
            EXPECT_TRUE(editor.Visible(res::IDC_VALUE_INFO)) << c.id;
            EXPECT_FALSE(editor.Visible(res::IDC_VALUE_TEXT)) << c.id;
            EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), c.number) << c.id;
            EXPECT_NE(editor.ControlText(res::IDC_VALUE_INFO).find(u"This property supports"),
                      std::u16string::npos);
        }
        editor.SelectProperty(6);
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_TRUE));
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_FALSE));
        EXPECT_EQ(IsDlgButtonChecked(editor.hwnd(), res::IDC_VALUE_TRUE), BST_CHECKED);
        EXPECT_FALSE(editor.Visible(res::IDC_VALUE_NUMBER));

        editor.SelectProperty(7);
        EXPECT_TRUE(editor.Visible(res::IDC_DATE_PICKER));
        EXPECT_TRUE(editor.Visible(res::IDC_TIME_PICKER));
        SYSTEMTIME date{};
        SYSTEMTIME time{};
        DateTime_GetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER), &date);
        DateTime_GetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_TIME_PICKER), &time);
        EXPECT_EQ(date.wYear, 2026);
        EXPECT_EQ(date.wMonth, 1);
        EXPECT_EQ(date.wDay, 1);
        EXPECT_EQ(time.wHour, 12);  // the tests run with TZ=UTC
        EXPECT_EQ(time.wMinute, 34);
        EXPECT_EQ(time.wSecond, 56);

        editor.SelectProperty(8);
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_TEXT));
        EXPECT_TRUE(editor.Enabled(res::IDC_VALUE_TEXT));
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"h\u00e9llo");

        editor.SelectProperty(10);
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_TEXT));
        EXPECT_FALSE(editor.Enabled(res::IDC_VALUE_TEXT));
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"<Binary Data>");
        editor.Done();
    });
}

TEST_F(EditorWindowTest, NavigationMovesThroughTheRecordsAndGreysWhatCannotMove) {
    MakeDatabase(u"Three", {{Long(1, 10)}, {Long(1, 20)}, {Long(1, 30)}});
    RunEditor(u"Three", [](EditorWindow& editor) {
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_FIRST));
        EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_PREVIOUS));
        EXPECT_FALSE(editor.Grayed(res::IDM_RECORD_NEXT));
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"20");
        EXPECT_FALSE(editor.Grayed(res::IDM_RECORD_FIRST));
        editor.Command(res::IDM_RECORD_LAST);
        EXPECT_EQ(editor.Counter(), u"Record\n3 of 3");
        EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_NEXT));
        EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_LAST));
        // Past the end a seek fails silently and the record stays.
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n3 of 3");
        editor.Command(res::IDM_RECORD_PREVIOUS);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"20");
        editor.Command(res::IDM_RECORD_FIRST);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        editor.Done();
    });
}

TEST_F(EditorWindowTest, OneRecordGreysAllFourMovesAndTheAcceleratorsReachTheCommands) {
    MakeDatabase(u"One", {{Long(1, 10)}});
    MakeDatabase(u"Two", {{Long(1, 10)}, {Long(1, 11)}});
    RunEditor(u"One", [](EditorWindow& editor) {
        for (UINT command : {res::IDM_RECORD_FIRST, res::IDM_RECORD_PREVIOUS, res::IDM_RECORD_NEXT,
                             res::IDM_RECORD_LAST})
            EXPECT_TRUE(editor.Grayed(command)) << command;
        HWND bar = SHFindMenuBar(editor.hwnd());
        EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, res::IDM_RECORD_NEXT, 0));
        editor.Done();
    });
    RunEditor(u"Two", [](EditorWindow& editor) {
        SetFocus(editor.list());
        // Ctrl+K is Next, Ctrl+H is First; the loop's accelerators turn them into commands.
        PressInEditor(editor.hwnd(), 'K', VK_CONTROL);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 2");
        PressInEditor(editor.hwnd(), 'H', VK_CONTROL);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");
        editor.Done();
    });
}

TEST_F(EditorWindowTest, ARecordWithoutPropertiesListsNothingAndGreysDeleteCopyAndCut) {
    MakeDatabase(u"Hollow", {{Long(1, 1)}, {Long(1, 2)}});
    // The second record loses its only property through another handle: it is left empty.
    {
        CEOID oid = 0;
        HANDLE handle = CeOpenDatabase(&oid, u"Hollow", 0, 0, nullptr);
        DWORD index = 0;
        CEOID second = CeSeekDatabase(handle, CEDB_SEEK_BEGINNING, 1, &index);
        CEPROPVAL gone{};
        gone.propid = MakePropID(1, CEVT_I4);
        gone.wFlags = CEDB_PROPDELETE;
        CeWriteRecordProps(handle, second, 1, &gone);
        CloseHandle(handle);
    }
    RunEditor(u"Hollow", [](EditorWindow& editor) {
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_TRUE(editor.Rows().empty());
        EXPECT_FALSE(editor.Enabled(res::IDC_DELETE_PROPERTY));
        SetFocus(editor.list());
        EXPECT_TRUE(editor.Grayed(res::IDM_EDIT_COPY));
        EXPECT_TRUE(editor.Grayed(res::IDM_EDIT_CUT));
        EXPECT_TRUE(editor.Grayed(res::IDM_EDIT_SELECT_ALL));
        editor.Done();
    });
}

TEST_F(EditorWindowTest, HeaderClicksSortByIdThenBySizeKeepingTheDirection) {
    MakeDatabase(u"Sizes", {{Long(1, 1), Text(2, u"abcdef"), Int(3, 2), Blob(4, {1})}});
    RunEditor(u"Sizes", [](EditorWindow& editor) {
        EXPECT_EQ(editor.Rows(), (Strings{u"BINARY 1 4", u"INT 2 3", u"TEXT 6 2", u"LONG 4 1"}));
        gui::input::ClickHeaderColumn(editor.list(), 2);
        EXPECT_EQ(editor.Rows(), (Strings{u"LONG 4 1", u"TEXT 6 2", u"INT 2 3", u"BINARY 1 4"}));
        gui::input::ClickHeaderColumn(editor.list(), 1);
        EXPECT_EQ(editor.Rows(), (Strings{u"BINARY 1 4", u"INT 2 3", u"LONG 4 1", u"TEXT 6 2"}));
        gui::input::ClickHeaderColumn(editor.list(), 0);
        EXPECT_EQ(editor.Rows(), (Strings{u"BINARY 1 4", u"INT 2 3", u"LONG 4 1", u"TEXT 6 2"}));
        editor.Done();
    });
    // The order outlives the editor: the next one lists by type, ascending.
    RunEditor(u"Sizes", [](EditorWindow& editor) {
        EXPECT_EQ(editor.Rows().front(), u"BINARY 1 4");
        gui::input::ClickHeaderColumn(editor.list(), 2);
        gui::input::ClickHeaderColumn(editor.list(), 2);
        editor.Done();
    });
}

TEST_F(EditorWindowTest, SortByNamesTheSortOrdersAndMovesToTheFirstRecordOfTheOrder) {
    std::vector<SORTORDERSPEC> sorts = {{MakePropID(3, CEVT_LPWSTR), 0},
                                        {MakePropID(1, CEVT_I4), CEDB_SORT_DESCENDING}};
    MakeDatabase(
        u"Sorted",
        {{Long(1, 1), Text(3, u"b")}, {Long(1, 2), Text(3, u"a")}, {Long(1, 3), Text(3, u"c")}},
        sorts);
    RunEditor(u"Sorted", [](EditorWindow& editor) {
        HWND bar = SHFindMenuBar(editor.hwnd());
        auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
        HMENU sortBy = GetSubMenu(GetSubMenu(menu, 0), 0);
        ASSERT_EQ(GetMenuItemCount(sortBy), 3);
        WCHAR text[32] = {};
        GetMenuStringW(sortBy, res::IDM_SORT_FIRST, text, 32, MF_BYCOMMAND);
        EXPECT_EQ(std::u16string(text), u"Text (3)");
        GetMenuStringW(sortBy, res::IDM_SORT_FIRST + 1, text, 32, MF_BYCOMMAND);
        EXPECT_EQ(std::u16string(text), u"Long (1)");
        editor.Command(res::IDM_RECORD_NEXT);
        editor.Command(res::IDM_SORT_FIRST);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        editor.SelectProperty(3);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"a");
        EXPECT_NE(GetMenuState(sortBy, res::IDM_SORT_FIRST, MF_BYCOMMAND) & MF_CHECKED, 0u);
        editor.Command(res::IDM_SORT_FIRST + 1);
        editor.SelectProperty(1);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"3");
        editor.Command(res::IDM_SORT_UNSORTED);
        editor.SelectProperty(1);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"1");
        // Unsorted while unsorted does nothing: the record stays.
        editor.Command(res::IDM_RECORD_NEXT);
        editor.Command(res::IDM_SORT_UNSORTED);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        editor.Done();
    });
}

TEST_F(EditorWindowTest, ReloadKeepsTheRecordAndTheSelectedProperty) {
    MakeDatabase(u"Again", {{Long(1, 1)}, {Long(1, 2), Text(2, u"x"), Int(3, 4)}});
    RunEditor(u"Again", [](EditorWindow& editor) {
        editor.Command(res::IDM_RECORD_NEXT);
        editor.SelectProperty(2);
        editor.Command(res::IDM_RELOAD);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 2");
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 1 2");
        editor.Done();
    });
}

TEST_F(EditorWindowTest, TheTitleNamesTheDatabaseAndHelpShowsItsTopic) {
    MakeDatabase(u"Named", {{Long(1, 1)}});
    RunEditor(u"Named", [](EditorWindow& editor) {
        WCHAR title[64] = {};
        GetWindowTextW(editor.hwnd(), title, 64);
        EXPECT_EQ(std::u16string(title), u"Database: \"Named\"");
        editor.Command(res::IDM_EDITOR_HELP);
        editor.Done();
    });
    auto* backend = gui::CurrentHeadless();
    ASSERT_NE(backend, nullptr);
    ASSERT_FALSE(backend->helpRequests().empty());
    EXPECT_EQ(backend->helpRequests().back().anchor, u"fieldview");
}

TEST_F(EditorWindowTest, ShiftTabAndCtrlTabStepTheFocusThroughTheShownControls) {
    MakeDatabase(u"Focus", {{Long(1, 1)}});
    RunEditor(u"Focus", [](EditorWindow& editor) {
        SetFocus(editor.list());
        PressInEditor(editor.hwnd(), VK_TAB, VK_CONTROL);
        EXPECT_EQ(GetFocus(), GetDlgItem(editor.hwnd(), res::IDC_ADD_PROPERTY));
        PressInEditor(editor.hwnd(), VK_TAB, VK_SHIFT);
        EXPECT_EQ(GetFocus(), editor.list());
        // Back from the first shown control goes round to the last: the number field.
        PressInEditor(editor.hwnd(), VK_TAB, VK_SHIFT);
        EXPECT_EQ(GetFocus(), GetDlgItem(editor.hwnd(), res::IDC_VALUE_NUMBER));
        editor.Done();
    });
}

TEST_F(EditorWindowTest, ADatabaseThatCannotBeOpenedClosesTheEditorWithItsMessage) {
    user().Answer(res::IDS_CANT_OPEN_DB, IDOK);
    EXPECT_EQ(editor::RunRecordEditor(nullptr, u"Nowhere"), editor::kClosedCancel);
    EXPECT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CANT_OPEN_DB}));
}

}  // namespace
}  // namespace editor_test

namespace editor_test {
namespace {

TEST_F(EditorWindowTest, EveryCommandOfTheEditorsMenusBarAndAcceleratorsHasARow) {
    std::set<UINT> inTable;
    for (const ui::CommandRow& row : editor::EditorCommands())
        EXPECT_TRUE(inTable.insert(row.id).second) << "two rows for " << row.id;
    HINSTANCE resources = appcore::App().instance;
    std::function<void(const std::vector<MenuItemResource>&)> check =
        [&](const std::vector<MenuItemResource>& items) {
            for (const MenuItemResource& item : items) {
                if (item.id != 0) {
                    EXPECT_EQ(inTable.count(item.id), 1u) << item.id;
                }
                check(item.children);
            }
        };
    check(resources->FindMenu(res::IDR_EDITOR_MENU)->items);
    for (const MenuBarItemResource& item : resources->FindMenuBar(res::IDR_EDITOR_MENU)->items) {
        if (item.kind == MenuBarItemResource::Button) {
            EXPECT_EQ(inTable.count(item.command), 1u) << item.command;
        }
    }
    for (const AcceleratorEntry& entry :
         resources->FindAccelerators(res::IDR_EDITOR_ACCELERATORS)->entries)
        EXPECT_EQ(inTable.count(entry.cmd), 1u) << entry.cmd;
}

}  // namespace
}  // namespace editor_test
