// Find: the dialog and its settings, case, numbers and dates, the offer to
// start again from the first record, and the record found.

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "editor/FindProperty.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/editor/EditorFixture.h"

namespace editor_test {
namespace {

using Ids = std::vector<UINT>;

class FindTest : public EditorTest {
protected:
    // The next Find dialog gets this text and these boxes, then OK.
    void FindWith(const char16_t* text, bool matchCase = false, bool numbers = false) {
        user().OnDialog(res::IDD_FIND, [=](HWND dialog) {
            SetDlgItemTextW(dialog, res::IDC_FIND_TEXT, text);
            CheckDlgButton(dialog, res::IDC_MATCH_CASE, matchCase ? BST_CHECKED : BST_UNCHECKED);
            CheckDlgButton(dialog, res::IDC_SEARCH_NUMBERS, numbers ? BST_CHECKED : BST_UNCHECKED);
            gui::input::PressDone(dialog);
        });
    }
};

TEST_F(FindTest, MatchCaseDecidesWhetherABCFindsXabcx) {
    MakeDatabase(u"Case", {{Long(1, 0)}, {Text(2, u"xabcx")}});
    RunEditor(u"Case", [this](EditorWindow& editor) {
        FindWith(u"ABC", true);
        user().Answer(res::IDS_TEXT_NOT_FOUND, IDOK);
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(user().ShownIds(), Ids{res::IDS_TEXT_NOT_FOUND});
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");
        FindWith(u"ABC", false);
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 2");
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 5 2");
        editor.Done();
    });
    EXPECT_EQ(appcore::App().settings->matchCase, 0u);
}

TEST_F(FindTest, NumbersAreSearchedOnlyWhenAskedAndAsTheirTexts) {
    MakeDatabase(u"Numbers", {{Text(9, u"start")}, {Long(1, 1042)}, {Long(1, 42)}});
    RunEditor(u"Numbers", [this](EditorWindow& editor) {
        FindWith(u"42", false, false);
        user().Answer(res::IDS_TEXT_NOT_FOUND, IDOK);
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        FindWith(u"42", false, true);
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        EXPECT_FALSE(editor.Grayed(res::IDM_FIND_NEXT));
        editor.Command(res::IDM_FIND_NEXT);
        EXPECT_EQ(editor.Counter(), u"Record\n3 of 3");
        editor.Done();
    });
    EXPECT_EQ(appcore::App().settings->searchNumericProperties, 1u);
}

TEST_F(FindTest, ReachingTheEndOffersToStartAgainAndNoShowsNotFound) {
    MakeDatabase(u"Wrap", {{Text(2, u"needle")}, {Text(2, u"hay")}, {Text(2, u"hay")}});
    RunEditor(u"Wrap", [this](EditorWindow& editor) {
        EXPECT_TRUE(editor.Grayed(res::IDM_FIND_NEXT));
        editor.Command(res::IDM_RECORD_NEXT);
        FindWith(u"needle");
        user().Answer(res::IDS_FIND_WRAP, IDNO);
        user().Answer(res::IDS_TEXT_NOT_FOUND, IDOK);
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(user().ShownIds(), (Ids{res::IDS_FIND_WRAP, res::IDS_TEXT_NOT_FOUND}));
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        user().ClearShown();
        user().Answer(res::IDS_FIND_WRAP, IDYES);
        editor.Command(res::IDM_FIND_NEXT);
        EXPECT_EQ(user().ShownIds(), Ids{res::IDS_FIND_WRAP});
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        // From the first record the end means not found at once.
        user().ClearShown();
        user().Answer(res::IDS_TEXT_NOT_FOUND, IDOK);
        editor.Command(res::IDM_FIND_NEXT);
        EXPECT_EQ(user().ShownIds(), Ids{res::IDS_TEXT_NOT_FOUND});
        editor.Done();
    });
}

TEST_F(FindTest, AFoundPropertyIsSelectedWhateverTheListsOrder) {
    MakeDatabase(u"Select", {{Long(1, 0)}, {Long(1, 3), Text(4, u"zz"), Text(7, u"target")}});
    RunEditor(u"Select", [this](EditorWindow& editor) {
        gui::input::ClickHeaderColumn(editor.list(), 1);
        FindWith(u"TARGET");
        editor.Command(res::IDM_FIND);
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 6 7");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"target");
        editor.Done();
    });
}

TEST_F(FindTest, CancelOrAnEmptyTextSearchesNothing) {
    MakeDatabase(u"Quiet", {{Text(2, u"a")}, {Text(2, u"a")}});
    RunEditor(u"Quiet", [this](EditorWindow& editor) {
        user().OnDialog(res::IDD_FIND, [](HWND dialog) {
            SetDlgItemTextW(dialog, res::IDC_FIND_TEXT, u"a");
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        editor.Command(res::IDM_FIND);
        FindWith(u"");
        editor.Command(res::IDM_FIND);
        EXPECT_TRUE(user().shown().empty());
        EXPECT_TRUE(editor.Grayed(res::IDM_FIND_NEXT));
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");
        editor.Done();
    });
}

TEST(MatchRecord, ADateMatchesByItsTimeWithoutSecondsNeverByTheSeconds) {
    // 2026-01-01 12:34:56 UTC; the tests run with TZ=UTC.
    CEPROPVAL date{};
    date.propid = MakePropID(1, CEVT_FILETIME);
    std::uint64_t time = 134116992000000000ULL + 452960000000ULL;
    date.val.filetime.dwLowDateTime = static_cast<DWORD>(time);
    date.val.filetime.dwHighDateTime = static_cast<DWORD>(time >> 32);
    EXPECT_TRUE(editor::MatchRecord(&date, 1, u"12:34", false, true).has_value());
    EXPECT_FALSE(editor::MatchRecord(&date, 1, u"34:56", false, true).has_value());
    EXPECT_FALSE(editor::MatchRecord(&date, 1, u"12:34", false, false).has_value());
}

TEST(MatchRecord, BooleansBinariesAndAbsentTextsAreNeverSearched) {
    CEPROPVAL values[3]{};
    values[0].propid = MakePropID(1, CEVT_BOOL);
    values[0].val.boolVal = 1;
    BYTE bytes[] = {'1'};
    values[1].propid = MakePropID(2, CEVT_BLOB);
    values[1].val.blob = {1, bytes};
    values[2].propid = MakePropID(3, CEVT_LPWSTR);
    EXPECT_FALSE(editor::MatchRecord(values, 3, u"1", false, true).has_value());
    EXPECT_FALSE(editor::MatchRecord(values, 3, u"", false, true).has_value());
}

}  // namespace
}  // namespace editor_test
