// The rows the user chose stay chosen across every refill of the list, by
// name: after Copy, Rename, Delete, Options and Refresh, whatever moved, and
// in lists longer than a saved position can tell. Rows of databases another
// program deleted leave the list when a command fails on them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/DatabaseList.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/app/BrowserFixture.h"

namespace browser_test {
namespace {

namespace input = gui::input;
using Texts = std::vector<std::u16string>;

class SelectionTest : public BrowserTest {
protected:
    std::vector<std::u16string> SelectedNames() {
        std::vector<std::u16string> names;
        for (int row : SelectedRows())
            names.push_back(Text(row));
        return names;
    }
    std::u16string FocusedName() {
        int row = ListView_GetNextItem(list(), -1, LVNI_FOCUSED);
        return row < 0 ? std::u16string() : Text(row);
    }
    void SelectName(const char16_t* name) { Select({RowOf(name)}); }
};

auto EnterName(std::u16string name) {
    return [name](HWND dialog) {
        input::EditText(GetDlgItem(dialog, res::IDC_NAME_TO), name);
        input::PressDone(dialog);
    };
}

TEST_F(SelectionTest, CopyKeepsTheDatabaseTheUserChoseNotTheOneOfTheLastRefresh) {
    MakeDatabase(u"Empty", 0);
    MakeDatabase(u"Notes");
    MakeDatabase(u"Tasks");
    Start();
    SelectName(u"Tasks");
    Choose(res::IDM_REFRESH);
    EXPECT_EQ(SelectedNames(), (Texts{u"Tasks"}));

    SelectName(u"Empty");
    user().OnDialog(res::IDD_NAME, EnterName(u"Another"));
    Choose(res::IDM_COPY);
    EXPECT_EQ(Column(), (Texts{u"Another", u"Empty", u"Notes", u"Tasks"}));
    EXPECT_EQ(SelectedNames(), (Texts{u"Empty"}));

    // Delete now offers the database the user chose.
    user().Answer(res::IDS_CONFIRM_DELETE, IDNO);
    Choose(res::IDM_DELETE);
    ASSERT_FALSE(user().shown().empty());
    EXPECT_NE(user().shown().back().text.find(u"'Empty'"), std::u16string::npos);
}

TEST_F(SelectionTest, RenameKeepsTheRenamedDatabaseChosenUnderItsNewName) {
    MakeDatabase(u"alpha");
    MakeDatabase(u"beta");
    MakeDatabase(u"gamma");
    Start();
    SelectName(u"alpha");
    user().OnDialog(res::IDD_NAME, EnterName(u"zeta"));
    Choose(res::IDM_RENAME);
    EXPECT_EQ(Column(), (Texts{u"beta", u"gamma", u"zeta"}));
    EXPECT_EQ(SelectedNames(), (Texts{u"zeta"}));
    EXPECT_EQ(FocusedName(), u"zeta");

    // In place too: the label edit ends in a posted Refresh.
    SelectName(u"beta");
    input::EditListLabel(list(), RowOf(u"beta"), u"omega");
    input::PumpMessages();
    EXPECT_EQ(Column(), (Texts{u"gamma", u"omega", u"zeta"}));
    EXPECT_EQ(SelectedNames(), (Texts{u"omega"}));
}

TEST_F(SelectionTest, RefreshFollowsNamesWhenOtherDatabasesMoveAndTheCursorFollows) {
    MakeDatabase(u"b");
    MakeDatabase(u"d");
    MakeDatabase(u"f");
    Start();
    Select({1, 2});
    // Another program adds databases that sort before the chosen ones.
    MakeDatabase(u"a");
    MakeDatabase(u"c");
    Choose(res::IDM_REFRESH);
    EXPECT_EQ(SelectedNames(), (Texts{u"d", u"f"}));
    // The keyboard cursor stays on a chosen row.
    EXPECT_TRUE(FocusedName() == u"d" || FocusedName() == u"f") << WideToUtf8(FocusedName());

    // Options, confirmed, refills the list and keeps the choice too.
    user().OnDialog(res::IDD_OPTIONS, [](HWND dialog) { input::PressDone(dialog); });
    Choose(res::IDM_OPTIONS);
    EXPECT_EQ(SelectedNames(), (Texts{u"d", u"f"}));
}

TEST_F(SelectionTest, ADeletedChoiceFallsToTheRowInItsPlace) {
    MakeDatabase(u"a");
    MakeDatabase(u"b");
    MakeDatabase(u"c");
    Start();
    SelectName(u"b");
    user().Answer(res::IDS_CONFIRM_DELETE, IDYES);
    Choose(res::IDM_DELETE);
    EXPECT_EQ(Column(), (Texts{u"a", u"c"}));
    EXPECT_EQ(SelectedNames(), (Texts{u"c"}));
}

TEST_F(SelectionTest, BeyondTwoHundredFiftyFiveRowsOnlyTheChosenRowIsSelected) {
    auto bulk = [](int i) { return u"Bulk " + Utf8ToWide(std::to_string(1000 + i)).substr(1); };
    for (int i = 0; i < 300; ++i)
        MakeDatabase(bulk(i).c_str(), 0);
    Start();
    ASSERT_EQ(ListView_GetItemCount(list()), 300);
    // A free slot (255) is no position, though the list has a row 255.
    Select({299});
    Choose(res::IDM_REFRESH);
    EXPECT_EQ(SelectedNames(), (Texts{u"Bulk 299"}));

    // A saved position that the shorter list cannot restore selects nothing.
    Select({});
    auto& slots = appcore::App().settings->selection;
    std::fill(std::begin(slots), std::end(slots), appcore::kFreeSlot);
    slots[0] = 254;
    for (int i = 240; i < 300; ++i)
        Delete(bulk(i).c_str());
    app::RefreshList();
    EXPECT_EQ(ListView_GetItemCount(list()), 240);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(SelectionTest, AFailedCommandOnADatabaseAnotherProgramDeletedTakesItsRowAway) {
    MakeDatabase(u"kept");
    MakeDatabase(u"lost one");
    MakeDatabase(u"lost two");
    MakeDatabase(u"lost three");
    Start();

    SelectName(u"lost one");
    Delete(u"lost one");
    Choose(res::IDM_PROPERTIES);
    EXPECT_EQ(user().CountShown(res::IDS_CANT_OPEN_DB), 1);
    EXPECT_EQ(RowOf(u"lost one"), -1);

    SelectName(u"lost two");
    Delete(u"lost two");
    Choose(res::IDM_RENAME);
    EXPECT_EQ(user().CountShown(res::IDS_CANT_OPEN_DB), 2);
    EXPECT_EQ(RowOf(u"lost two"), -1);

    SelectName(u"lost three");
    Delete(u"lost three");
    user().Answer(res::IDS_CONFIRM_DELETE, IDYES);
    Choose(res::IDM_DELETE);
    EXPECT_EQ(Column(), (Texts{u"kept"}));

    // A cancelled command on a database that is still there refreshes nothing.
    user().Answer(res::IDS_CONFIRM_DELETE, IDNO);
    Choose(res::IDM_DELETE);
    EXPECT_EQ(Column(), (Texts{u"kept"}));
}

}  // namespace
}  // namespace browser_test
