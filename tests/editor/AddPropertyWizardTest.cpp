// The Add Property wizard from the editor and for the first record of an
// empty database: the pages, their checks and what is written.

#include <gtest/gtest.h>

#include "editor/AddPropertyWizard.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/editor/EditorFixture.h"

namespace editor_test {
namespace {

using Strings = std::vector<std::u16string>;
using Ids = std::vector<UINT>;

void ChooseType(HWND page, const char16_t* name) {
    HWND list = GetDlgItem(page, res::IDC_PROPERTY_TYPE);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        WCHAR text[16] = {};
        ListView_GetItemText(list, i, 0, text, 16);
        if (std::u16string(text) == name) {
            ListView_SetItemState(list, i, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            return;
        }
    }
    ADD_FAILURE() << "no type";
}

std::u16string Text(HWND page, int id) {
    WCHAR text[64] = {};
    GetDlgItemTextW(page, id, text, 64);
    return text;
}

void Next(HWND page) {
    gui::input::ClickDlgButton(page, res::IDC_WIZARD_NEXT);
}

void Finish(HWND page) {
    gui::input::ClickDlgButton(page, res::IDC_WIZARD_FINISH);
}

class WizardTest : public EditorTest {};

TEST_F(WizardTest, TheFirstPageOffersTheNextFreeIdentifierAndStartsOnBoolean) {
    MakeDatabase(u"Ids", {{Long(1, 0), Long(5, 0), Long(3, 0)}});
    RunEditor(u"Ids", [this](EditorWindow& editor) {
        user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
            EXPECT_EQ(Text(page, res::IDC_PROPERTY_ID), u"6");
            HWND list = GetDlgItem(page, res::IDC_PROPERTY_TYPE);
            WCHAR first[16] = {};
            ListView_GetItemText(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0, first, 16);
            EXPECT_EQ(std::u16string(first), u"BOOLEAN");
            EXPECT_EQ(ListView_GetItemCount(list), 8);
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, res::IDC_NEW_RECORD)));
            EXPECT_EQ(IsDlgButtonChecked(page, res::IDC_NEW_RECORD), BST_UNCHECKED);
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_BOOLEAN, [](HWND page) {
            EXPECT_EQ(IsDlgButtonChecked(page, res::IDC_VALUE_FALSE), BST_CHECKED);
            CheckRadioButton(page, res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE, res::IDC_VALUE_TRUE);
            Finish(page);
        });
        editor.Command(res::IDC_ADD_PROPERTY);
        EXPECT_EQ(editor.SelectedRow(), u"BOOLEAN 1 6");
        editor.Done();
    });
    EXPECT_EQ(Find(u"Ids", 0, MakePropID(6, CEVT_BOOL))->Value().val.boolVal, 1);
}

TEST_F(WizardTest, IdentifiersFrom65535AndNumbersInUseAreRefused) {
    MakeDatabase(u"Used", {{Long(5, 0)}});
    RunEditor(u"Used", [this](EditorWindow& editor) {
        user().OnDialog(res::IDD_WIZARD_TYPE, [this](HWND page) {
            ChooseType(page, u"TEXT");
            SetDlgItemTextW(page, res::IDC_PROPERTY_ID, u"65535");
            user().Answer(res::IDS_BAD_PROPERTY_ID, IDOK);
            Next(page);
            SetDlgItemTextW(page, res::IDC_PROPERTY_ID, u"5");
            user().Answer(res::IDS_PROPERTY_ID_IN_USE, IDOK);
            Next(page);
            EXPECT_EQ(user().shown().back().text,
                      u"The property ID 5 is already in use, please choose another value.");
            SetDlgItemTextW(page, res::IDC_PROPERTY_ID, u"65534");
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_TEXT, [](HWND page) {
            SetDlgItemTextW(page, res::IDC_VALUE_TEXT, u"new");
            Finish(page);
        });
        editor.Command(res::IDC_ADD_PROPERTY);
        editor.Done();
    });
    EXPECT_EQ(user().ShownIds(), (Ids{res::IDS_BAD_PROPERTY_ID, res::IDS_PROPERTY_ID_IN_USE}));
    EXPECT_EQ(Find(u"Used", 0, MakePropID(65534, CEVT_LPWSTR))->text(), u"new");
}

TEST_F(WizardTest, ANewRecordMayReuseANumberAndBackKeepsTheFirstPage) {
    MakeDatabase(u"Fresh", {{Long(5, 0)}});
    RunEditor(u"Fresh", [this](EditorWindow& editor) {
        user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
            ChooseType(page, u"LONG");
            SetDlgItemTextW(page, res::IDC_PROPERTY_ID, u"5");
            CheckDlgButton(page, res::IDC_NEW_RECORD, BST_CHECKED);
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_NUMBER, [](HWND page) {
            EXPECT_EQ(Text(page, res::IDC_VALUE_NUMBER), u"0");
            gui::input::ClickDlgButton(page, res::IDC_WIZARD_BACK);
        });
        user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
            EXPECT_EQ(Text(page, res::IDC_PROPERTY_ID), u"5");
            EXPECT_EQ(IsDlgButtonChecked(page, res::IDC_NEW_RECORD), BST_CHECKED);
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_NUMBER, [](HWND page) {
            SetDlgItemTextW(page, res::IDC_VALUE_NUMBER, u"77");
            Finish(page);
        });
        editor.Command(res::IDC_ADD_PROPERTY);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 2");
        EXPECT_EQ(editor.SelectedRow(), u"LONG 4 5");
        editor.Done();
    });
    EXPECT_EQ(Records(u"Fresh").size(), 2u);
    EXPECT_EQ(Find(u"Fresh", 1, MakePropID(5, CEVT_I4))->Value().val.lVal, 77);
}

TEST_F(WizardTest, NumberPagesRefuseWhatIsNoNumberOfTheirType) {
    MakeDatabase(u"Typed", {{Long(1, 0)}});
    RunEditor(u"Typed", [this](EditorWindow& editor) {
        user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
            ChooseType(page, u"FLOAT");
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_NUMBER, [this](HWND page) {
            EXPECT_EQ(Text(page, res::IDC_VALUE_NUMBER), u"0.");
            SetDlgItemTextW(page, res::IDC_VALUE_NUMBER, u"abc");
            user().Answer(res::IDS_BAD_FLOAT, IDOK);
            Finish(page);
            SetDlgItemTextW(page, res::IDC_VALUE_NUMBER, u"2.5");
            Finish(page);
        });
        editor.Command(res::IDC_ADD_PROPERTY);
        user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
            ChooseType(page, u"LONG");
            Next(page);
        });
        user().OnDialog(res::IDD_WIZARD_NUMBER, [this](HWND page) {
            SetDlgItemTextW(page, res::IDC_VALUE_NUMBER, u"abc");
            user().Answer(res::IDS_BAD_LONG, IDOK);
            Finish(page);
            SendMessageW(page, WM_COMMAND, IDCANCEL, 0);
        });
        editor.Command(res::IDC_ADD_PROPERTY);
        editor.Done();
    });
    EXPECT_EQ(user().ShownIds(), (Ids{res::IDS_BAD_FLOAT, res::IDS_BAD_LONG}));
    EXPECT_EQ(Find(u"Typed", 0, MakePropID(2, CEVT_R8))->Value().val.dblVal, 2.5);
    EXPECT_FALSE(Find(u"Typed", 0, MakePropID(3, CEVT_I4)).has_value());
}

TEST_F(WizardTest, AnEmptyDatabaseGetsItsFirstRecordWithTheBoxOnAndLocked) {
    MakeDatabase(u"Blank", {});
    user().OnDialog(res::IDD_WIZARD_TYPE, [](HWND page) {
        EXPECT_EQ(Text(page, res::IDC_PROPERTY_ID), u"0");
        EXPECT_EQ(IsDlgButtonChecked(page, res::IDC_NEW_RECORD), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, res::IDC_NEW_RECORD)));
        ChooseType(page, u"DATE");
        Next(page);
    });
    user().OnDialog(res::IDD_WIZARD_DATE, [](HWND page) { Finish(page); });
    EXPECT_TRUE(editor::AddFirstRecord(nullptr, u"Blank"));
    ASSERT_EQ(Records(u"Blank").size(), 1u);
    EXPECT_EQ(Records(u"Blank")[0][0].propid(), MakePropID(0, CEVT_FILETIME));

    MakeDatabase(u"Still", {});
    user().OnDialog(res::IDD_WIZARD_TYPE,
                    [](HWND page) { SendMessageW(page, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(editor::AddFirstRecord(nullptr, u"Still"));
    EXPECT_TRUE(Records(u"Still").empty());
}

}  // namespace
}  // namespace editor_test
