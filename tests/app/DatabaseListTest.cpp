// The database list as a person sees it: rows, icons, size texts, sorting,
// the header and the selection kept across refreshes and runs.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/DatabaseList.h"
#include "app/HeaderDrawing.h"
#include "app/ListSorting.h"
#include "app/MenuState.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "tests/app/BrowserFixture.h"

namespace browser_test {
namespace {

namespace input = gui::input;
using Texts = std::vector<std::u16string>;

using DatabaseListTest = BrowserTest;

TEST_F(DatabaseListTest, SystemDatabasesAreHiddenUntilShownAndCarryTheSystemIcon) {
    MakeDatabase(u"\\sys", 0);
    MakeDatabase(u"Plain", 2);
    MakeDatabase(u"Empty", 0);
    Start();
    EXPECT_EQ(Column(), (Texts{u"Empty", u"Plain"}));
    EXPECT_EQ(Icon(RowOf(u"Empty")), app::kIconEmpty);
    EXPECT_EQ(Icon(RowOf(u"Plain")), app::kIconOrdinary);

    appcore::App().settings->showSystemDatabases = true;
    Choose(res::IDM_REFRESH);
    EXPECT_EQ(Column(), (Texts{u"\\sys", u"Empty", u"Plain"}));
    // System before empty: the rule table is tested in order.
    EXPECT_EQ(Icon(RowOf(u"\\sys")), app::kIconSystem);
}

TEST_F(DatabaseListTest, TheListFillsTheWindowAndItsColumnsFitTheirTextsInEveryFont) {
    MakeDatabase(u"a", 1, 0, 1536);
    SetModifiedDay(u"a", 340);
    Start();
    RECT client{};
    GetClientRect(main(), &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
    // Size and date as wide as their texts and titles need; the name the rest.
    auto fits = [&] {
        int size = ListView_GetColumnWidth(list(), app::kSizeColumn);
        int date = ListView_GetColumnWidth(list(), app::DateColumn());
        EXPECT_GE(size, ListView_GetStringWidth(list(), Text(0, app::kSizeColumn).c_str()) + 12);
        EXPECT_GE(date, ListView_GetStringWidth(list(), Text(0, app::DateColumn()).c_str()) + 12);
        EXPECT_GE(date, ListView_GetStringWidth(list(), u"Modified") + 12);
        // No strip at the right is left unused.
        EXPECT_EQ(ListView_GetColumnWidth(list(), app::kNameColumn) + size + date, client.right);
    };
    fits();
    // A wider font widens them at once.
    LOGFONTW wide{};
    wide.lfHeight = -14;
    wide.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&wide);
    SendMessageW(list(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    app::FitColumns();
    fits();
    DeleteObject(font);

    RECT placed{};
    GetWindowRect(list(), &placed);
    POINT top{placed.left, placed.top};
    ScreenToClient(main(), &top);
    EXPECT_EQ(top.y, 1);
    EXPECT_EQ(placed.bottom - placed.top, client.bottom - 1);
    // The menu bar lies below the client area.
    EXPECT_NE(SHFindMenuBar(main()), nullptr);
}

TEST_F(DatabaseListTest, SizesAreShownInKilobytesWithHundredthsRoundedDown) {
    MakeDatabase(u"a zero", 0);
    MakeDatabase(u"b kilo", 1, 0, 1024);
    MakeDatabase(u"c under", 1, 0, 1023);
    MakeDatabase(u"d half", 1, 0, 1536);
    MakeDatabase(u"e thousand", 1, 0, 1000);
    Start();
    EXPECT_EQ(Column(app::kSizeColumn),
              (Texts{u"0.00KB", u"1.00KB", u"0.99KB", u"1.50KB", u"0.97KB"}));
    EXPECT_FALSE(Text(0, app::DateColumn()).empty());
}

TEST_F(DatabaseListTest, ClickingTheSizeHeaderTwiceSortsUpThenDownAndArrangeKeepsIt) {
    MakeDatabase(u"a ten", 1, 0, 10240);
    MakeDatabase(u"b nine and a half", 1, 0, 9728);
    MakeDatabase(u"c two", 1, 0, 2048);
    Start();
    input::ClickHeaderColumn(list(), app::kSizeColumn);
    // Compared as numbers: 9.50KB before 10.00KB.
    EXPECT_EQ(Column(app::kSizeColumn), (Texts{u"2.00KB", u"9.50KB", u"10.00KB"}));
    EXPECT_TRUE(appcore::App().settings->sortAscending);
    EXPECT_NE(MenuState(res::IDM_ARRANGE_BY_SIZE) & MF_CHECKED, 0u);
    EXPECT_EQ(MenuState(res::IDM_ARRANGE_BY_NAME) & MF_CHECKED, 0u);

    input::ClickHeaderColumn(list(), app::kSizeColumn);
    EXPECT_EQ(Column(app::kSizeColumn), (Texts{u"10.00KB", u"9.50KB", u"2.00KB"}));
    EXPECT_FALSE(appcore::App().settings->sortAscending);

    // Arranging by the current key changes nothing (a click would reverse it).
    Choose(res::IDM_ARRANGE_BY_SIZE);
    EXPECT_EQ(Column(app::kSizeColumn), (Texts{u"10.00KB", u"9.50KB", u"2.00KB"}));
    Choose(res::IDM_ARRANGE_BY_NAME);
    EXPECT_EQ(Column(), (Texts{u"c two", u"b nine and a half", u"a ten"}));
}

TEST_F(DatabaseListTest, NamesAreComparedWithoutTheirTextAfterTheLastDot) {
    MakeDatabase(u"a.z");
    MakeDatabase(u"a-b");
    Start();
    // As whole texts "a-b" comes first; without the extension "a" does.
    EXPECT_EQ(Column(), (Texts{u"a.z", u"a-b"}));
    input::ClickHeaderColumn(list(), app::kNameColumn);
    EXPECT_EQ(Column(), (Texts{u"a-b", u"a.z"}));
}

TEST_F(DatabaseListTest, CompareRowsFindsRowsByItemValueForEveryKey) {
    MakeDatabase(u"A", 1, 0, 9728);
    MakeDatabase(u"a.b", 1, 0, 10240);
    SetModifiedDay(u"A", 5);
    SetModifiedDay(u"a.b", 2);
    Start();
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = RowOf(u"A");
    ListView_GetItem(list(), &item);
    LPARAM upper = item.lParam;
    item.iItem = RowOf(u"a.b");
    ListView_GetItem(list(), &item);
    LPARAM dotted = item.lParam;

    app::SortParameters by{true, app::kNameColumn, app::kCompareNames, list()};
    EXPECT_EQ(app::CompareRows(upper, dotted, reinterpret_cast<LPARAM>(&by)), 0);
    by.key = app::kCompareSizes;
    by.column = app::kSizeColumn;
    EXPECT_EQ(app::CompareRows(upper, dotted, reinterpret_cast<LPARAM>(&by)), -1);
    by.ascending = false;
    EXPECT_EQ(app::CompareRows(upper, dotted, reinterpret_cast<LPARAM>(&by)), 1);
    by.key = app::kCompareDates;
    EXPECT_EQ(app::CompareRows(upper, dotted, reinterpret_cast<LPARAM>(&by)), -1);
    by.key = 7;
    EXPECT_EQ(app::CompareRows(upper, dotted, reinterpret_cast<LPARAM>(&by)), 0);
    // An item value with its top bit set sorts first in either direction.
    EXPECT_EQ(
        app::CompareRows(static_cast<LPARAM>(0x80000000u), upper, reinterpret_cast<LPARAM>(&by)),
        -1);
}

TEST_F(DatabaseListTest, DatesSortBothWaysByTheDatabasesOwnTimes) {
    MakeDatabase(u"first made");
    MakeDatabase(u"second made");
    MakeDatabase(u"third made");
    SetModifiedDay(u"first made", 30);
    SetModifiedDay(u"second made", 10);
    SetModifiedDay(u"third made", 20);
    Start();
    Choose(res::IDM_ARRANGE_BY_DATE);
    EXPECT_EQ(Column(), (Texts{u"second made", u"third made", u"first made"}));
    EXPECT_NE(MenuState(res::IDM_ARRANGE_BY_DATE) & MF_CHECKED, 0u);
    input::ClickHeaderColumn(list(), app::DateColumn());
    EXPECT_EQ(Column(), (Texts{u"first made", u"third made", u"second made"}));

    // A database changed by another program moves on the next sort: dates
    // are read from the store, not from the list.
    SetModifiedDay(u"second made", 40);
    input::ClickHeaderColumn(list(), app::DateColumn());
    EXPECT_EQ(Column(), (Texts{u"third made", u"first made", u"second made"}));
}

TEST_F(DatabaseListTest, TheSelectionSurvivesARefreshAndARestart) {
    for (const char16_t* name : {u"one", u"two", u"three", u"four"})
        MakeDatabase(name);
    Start();
    Select({1, 3});
    Choose(res::IDM_REFRESH);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    Close();
    Start();
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
}

TEST_F(DatabaseListTest, AShorterListSelectsItsLastRowAndAnEmptyStoreNothing) {
    MakeDatabase(u"a");
    MakeDatabase(u"b");
    MakeDatabase(u"c");
    Start();
    // Nothing saved yet: the first row is selected at start.
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0}));
    Select({2});
    Delete(u"c");
    app::RefreshList();
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));

    Delete(u"a");
    Delete(u"b");
    app::RefreshList();
    EXPECT_EQ(ListView_GetItemCount(list()), 0);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(DatabaseListTest, TheHeaderMarksTheSortedColumnAndShortensWhatDoesNotFit) {
    MakeDatabase(u"x");
    Start();
    HWND header = ListView_GetHeader(list());
    auto* backend = gui::CurrentHeadless();
    ASSERT_NE(backend, nullptr);
    auto paintHeader = [&] {
        InvalidateRect(header, nullptr, TRUE);
        UpdateWindow(header);
        return backend->LastDrawing(header);
    };
    for (int column = 0; column < 3; ++column)
        ListView_SetColumnWidth(list(), column, 150);
    std::vector<std::u16string> texts;
    int ascendingMarks = 0;
    for (const gui::DrawOp& op : paintHeader()) {
        if (op.kind == gui::DrawOp::Text)
            texts.push_back(op.text);
        // Image 2 of the 10-pixel strip: ascending.
        if (op.kind == gui::DrawOp::Picture && op.source.left == 20)
            ++ascendingMarks;
    }
    EXPECT_EQ(texts, (Texts{u"Name", u"Size", u"Modified"}));
    EXPECT_EQ(ascendingMarks, 1);

    ListView_SetColumnWidth(list(), app::DateColumn(), 60);
    texts.clear();
    for (const gui::DrawOp& op : paintHeader()) {
        if (op.kind == gui::DrawOp::Text)
            texts.push_back(op.text);
    }
    ASSERT_EQ(texts.size(), 3u);
    const std::u16string& shortened = texts[2];
    ASSERT_GT(shortened.size(), 3u);
    EXPECT_EQ(shortened.substr(shortened.size() - 3), u"...");
    std::u16string kept = shortened.substr(0, shortened.size() - 3);
    EXPECT_LT(kept.size(), std::u16string(u"Modified").size());
    EXPECT_EQ(std::u16string(u"Modified").substr(0, kept.size()), kept);
}

TEST_F(DatabaseListTest, ATapOpensTheSelectedDatabaseUnlessDoubleTapIsAsked) {
    MakeDatabase(u"Full", 3);
    Start();
    auto editorsOpened = [this] {
        std::vector<UINT> seen = user().dialogs();
        return std::count(seen.begin(), seen.end(), res::IDD_EDITOR);
    };
    user().AlwaysOnDialog(res::IDD_EDITOR, [](HWND editor) { input::PressDone(editor); });
    input::TapItem(list(), 0);
    EXPECT_EQ(editorsOpened(), 1);

    appcore::App().settings->doubleTap = 1;
    input::TapItem(list(), 0);
    EXPECT_EQ(editorsOpened(), 1);
    input::DoubleTapItem(list(), 0);
    EXPECT_EQ(editorsOpened(), 2);
}

}  // namespace
}  // namespace browser_test
