// Stepping from record to record: a record of the same properties as the
// one shown keeps the list's items and updates only what differs (sizes,
// the value pane), yet shows exactly what a full refill would; a record of
// other properties is listed afresh; saving, the change check and the
// command states stay right on every step.

#include <gtest/gtest.h>

#include "platform/gui/CommCtrl.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/editor/EditorFixture.h"

namespace editor_test {
namespace {

using Strings = std::vector<std::u16string>;

// 2026-01-01 00:00:00 UTC as a FILETIME, and one day.
constexpr std::uint64_t kMidnight = 134116992000000000ULL;
constexpr std::uint64_t kDay = 864000000000ULL;

class SteppingTest : public EditorTest {};

// Lists by a column: a click on its header, and a second when the order
// is the other way round (earlier editors may have left either direction).
void ListBy(EditorWindow& editor, int column, const Strings& rows) {
    gui::input::ClickHeaderColumn(editor.list(), column);
    if (editor.Rows() != rows)
        gui::input::ClickHeaderColumn(editor.list(), column);
    ASSERT_EQ(editor.Rows(), rows);
}

TEST_F(SteppingTest, EachRecordOfTheSamePropertiesShowsItsOwnSizesAndValues) {
    MakeDatabase(u"Same", {{Text(1, u"a"), Long(2, 1), Date(3, kMidnight)},
                           {Text(1, u"abcd"), Long(2, 2), Date(3, kMidnight + kDay)},
                           {Int(5, 7)},
                           {Text(1, u"xy"), Long(2, 3), Date(3, kMidnight + 2 * kDay)}});
    RunEditor(u"Same", [](EditorWindow& editor) {
        editor.SelectProperty(1);
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 1 1");
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Rows(), (Strings{u"DATE 8 3", u"LONG 4 2", u"TEXT 4 1"}));
        // The same place in the list stays selected, with its value shown.
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 4 1");
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_TEXT));
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"abcd");

        // Other properties: listed afresh, the item at the place kept.
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Rows(), (Strings{u"INT 2 5"}));
        EXPECT_EQ(editor.SelectedRow(), u"INT 2 5");
        EXPECT_TRUE(editor.Visible(res::IDC_VALUE_NUMBER));
        EXPECT_FALSE(editor.Visible(res::IDC_VALUE_TEXT));
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"7");

        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Rows(), (Strings{u"DATE 8 3", u"LONG 4 2", u"TEXT 2 1"}));
        EXPECT_EQ(editor.SelectedRow(), u"DATE 8 3");
        EXPECT_TRUE(editor.Visible(res::IDC_DATE_PICKER));
        EXPECT_FALSE(editor.Visible(res::IDC_VALUE_NUMBER));
        SYSTEMTIME shown{};
        DateTime_GetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER), &shown);
        EXPECT_EQ(shown.wDay, 3);
        editor.Command(res::IDM_RECORD_PREVIOUS);
        editor.Command(res::IDM_RECORD_PREVIOUS);
        EXPECT_EQ(editor.SelectedRow(), u"DATE 8 3");
        DateTime_GetSystemtime(GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER), &shown);
        EXPECT_EQ(shown.wDay, 2);
        editor.Done();
    });
}

TEST_F(SteppingTest, ListedBySizeTheItemsReorderAsTheSizesChangeAndThePlaceIsKept) {
    MakeDatabase(u"Shrink", {{Text(1, u"abcdefghij"), Long(2, 1)}, {Text(1, u"a"), Long(2, 2)}});
    RunEditor(u"Shrink", [](EditorWindow& editor) {
        ListBy(editor, 1, {u"TEXT 10 1", u"LONG 4 2"});
        editor.SelectProperty(1);
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Rows(), (Strings{u"LONG 4 2", u"TEXT 1 1"}));
        // The first place, as a refill selects: now the LONG, and its value.
        EXPECT_EQ(editor.SelectedRow(), u"LONG 4 2");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"2");
        // Back to the program's first order for the tests after this one.
        ListBy(editor, 2, {u"LONG 4 2", u"TEXT 1 1"});
        editor.Done();
    });
}

TEST_F(SteppingTest, AnEditIsSavedOnTheStepAndOnlyAChangedDateIsWritten) {
    MakeDatabase(u"Edit", {{Long(2, 1), Date(3, kMidnight)},
                           {Long(2, 2), Date(3, kMidnight + kDay)},
                           {Long(2, 3), Date(3, kMidnight + 2 * kDay)}});
    RunEditor(u"Edit", [](EditorWindow& editor) {
        editor.SelectProperty(2);
        editor.Type(res::IDC_VALUE_NUMBER, u"41");
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"2");
        // Looking at a date and stepping on changes nothing.
        editor.SelectProperty(3);
        editor.Command(res::IDM_RECORD_NEXT);
        // A date changed in the pane is saved on the step back.
        HWND date = GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER);
        SYSTEMTIME d{};
        DateTime_GetSystemtime(date, &d);
        d.wDay = 20;
        DateTime_SetSystemtime(date, GDT_VALID, &d);
        editor.Command(res::IDM_RECORD_PREVIOUS);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        editor.Done();
    });
    ASSERT_EQ(Records(u"Edit").size(), 3u);
    EXPECT_EQ(Find(u"Edit", 0, MakePropID(2, CEVT_I4))->Value().val.lVal, 41);
    auto count = [](FILETIME t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    EXPECT_EQ(count(Find(u"Edit", 1, MakePropID(3, CEVT_FILETIME))->Value().val.filetime),
              kMidnight + kDay);
    FILETIME third = Find(u"Edit", 2, MakePropID(3, CEVT_FILETIME))->Value().val.filetime;
    EXPECT_EQ(count(third), kMidnight + 19 * kDay);
}

TEST_F(SteppingTest, RefusedInputStopsTheStepAndKeepsItsField) {
    MakeDatabase(u"Refuse", {{Int(2, 1)}, {Int(2, 2)}});
    user().Answer(res::IDS_BAD_INT, IDOK);
    RunEditor(u"Refuse", [](EditorWindow& editor) {
        editor.SelectProperty(2);
        editor.Type(res::IDC_VALUE_NUMBER, u"40000");
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"40000");
        editor.Type(res::IDC_VALUE_NUMBER, u"-3");
        editor.Command(res::IDM_RECORD_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 2");
        editor.Done();
    });
    EXPECT_EQ(Find(u"Refuse", 0, MakePropID(2, CEVT_I2))->Value().val.iVal, -3);
}

TEST_F(SteppingTest, TheMovesAreGreyedRightAfterEveryStepOnTheMenuAndTheBar) {
    MakeDatabase(u"Moves", {{Long(1, 1)}, {Long(1, 2)}, {Long(1, 3)}});
    RunEditor(u"Moves", [](EditorWindow& editor) {
        HWND bar = SHFindMenuBar(editor.hwnd());
        auto onBar = [bar](UINT command) {
            return SendMessageW(bar, TB_ISBUTTONENABLED, command, 0) != 0;
        };
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_PREVIOUS));
            EXPECT_FALSE(onBar(res::IDM_RECORD_FIRST));
            EXPECT_TRUE(onBar(res::IDM_RECORD_NEXT));
            editor.Command(res::IDM_RECORD_NEXT);
            EXPECT_FALSE(editor.Grayed(res::IDM_RECORD_PREVIOUS));
            EXPECT_FALSE(editor.Grayed(res::IDM_RECORD_NEXT));
            EXPECT_TRUE(onBar(res::IDM_RECORD_FIRST));
            editor.Command(res::IDM_RECORD_NEXT);
            EXPECT_TRUE(editor.Grayed(res::IDM_RECORD_NEXT));
            EXPECT_FALSE(onBar(res::IDM_RECORD_LAST));
            EXPECT_TRUE(onBar(res::IDM_RECORD_PREVIOUS));
            editor.Command(res::IDM_RECORD_FIRST);
        }
        editor.Done();
    });
}

}  // namespace
}  // namespace editor_test
