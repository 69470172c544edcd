// The Add Property wizard in the keyboard edition: captioned pages of their
// own, walked with access keys alone, that add what the palm-size pages add.

#include <gtest/gtest.h>

#include <vector>

#include "appcore/Application.h"
#include "editor/AddPropertyWizard.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "store/Database.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

std::u16string Caption(HWND page) {
    WCHAR text[64] = {};
    GetWindowTextW(page, text, 64);
    return text;
}

std::u16string SelectedType(HWND page) {
    HWND list = GetDlgItem(page, res::IDC_PROPERTY_TYPE);
    WCHAR text[16] = {};
    ListView_GetItemText(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0, text, 16);
    return text;
}

void SelectType(HWND page, int index) {
    ListView_SetItemState(GetDlgItem(page, res::IDC_PROPERTY_TYPE), index,
                          LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

class KeyboardWizard : public ::testing::Test {
protected:
    KeyboardWizard() { appcore::App().settings = std::make_unique<appcore::Settings>(); }

    gui::ScriptedUser& user() { return session_.user(); }

    testing_support::KeyboardSession session_;
};

TEST_F(KeyboardWizard, PagesAreCaptionedAndAccessKeysWalkThemForwardAndBack) {
    test_support::MakeDatabase(u"Empty", 0);
    std::vector<std::u16string> captions;
    std::vector<std::u16string> typesShown;
    bool locked = false;
    auto onType = [&](HWND page) {
        captions.push_back(Caption(page));
        typesShown.push_back(SelectedType(page));
        locked = IsDlgButtonChecked(page, res::IDC_NEW_RECORD) == BST_CHECKED &&
                 !IsWindowEnabled(GetDlgItem(page, res::IDC_NEW_RECORD));
        SelectType(page, 5);  // TEXT
        gui::input::PressKey('N', MK_ALT);
    };
    user().OnDialog(res::IDD_KEYBOARD_WIZARD_TYPE, onType);
    user().OnDialog(res::IDD_KEYBOARD_WIZARD_TEXT, [&](HWND page) {
        captions.push_back(Caption(page));
        gui::input::PressKey('B', MK_ALT);
    });
    user().OnDialog(res::IDD_KEYBOARD_WIZARD_TYPE, onType);
    user().OnDialog(res::IDD_KEYBOARD_WIZARD_TEXT, [&](HWND page) {
        captions.push_back(Caption(page));
        // Alt+T moves on from the label to the field, where the text goes.
        gui::input::PressKey('T', MK_ALT);
        gui::input::PumpMessages();
        EXPECT_EQ(GetFocus(), GetDlgItem(page, res::IDC_VALUE_TEXT));
        gui::input::TypeText(u"first");
        gui::input::PressKey('F', MK_ALT);
    });
    EXPECT_TRUE(editor::AddFirstRecord(nullptr, u"Empty"));
    EXPECT_EQ(captions, std::vector<std::u16string>(4, u"Add Property Wizard"));
    EXPECT_EQ(typesShown, (std::vector<std::u16string>{u"BOOLEAN", u"TEXT"}))
        << "after Back the first page shows the type chosen before";
    EXPECT_TRUE(locked) << "an empty database's first record is always a new one";

    store::Database database(nullptr);
    ASSERT_NE(database.Open(u"Empty"), INVALID_HANDLE_VALUE);
    CEDBASEINFO info{};
    ASSERT_TRUE(database.GetInfo(info));
    EXPECT_EQ(info.wNumRecords, 1);
}

TEST_F(KeyboardWizard, EachTypeOpensItsOwnCaptionedValuePage) {
    // Types in list order: BOOLEAN, DATE, FLOAT, INT ... as the first page shows them.
    struct Case {
        int index;
        UINT page;
    };
    const Case cases[] = {{0, res::IDD_KEYBOARD_WIZARD_BOOLEAN},
                          {1, res::IDD_KEYBOARD_WIZARD_DATE},
                          {2, res::IDD_KEYBOARD_WIZARD_NUMBER}};
    for (const Case& c : cases) {
        bool opened = false;
        std::u16string start;
        user().OnDialog(res::IDD_KEYBOARD_WIZARD_TYPE, [&](HWND page) {
            SelectType(page, c.index);
            gui::input::ClickDlgButton(page, res::IDC_WIZARD_NEXT);
        });
        user().OnDialog(c.page, [&](HWND page) {
            opened = Caption(page) == u"Add Property Wizard";
            WCHAR text[16] = {};
            GetDlgItemTextW(page, res::IDC_VALUE_NUMBER, text, 16);
            start = text;
            gui::input::PressKey(VK_ESCAPE);
        });
        EXPECT_FALSE(editor::RunAddPropertyWizard(nullptr, 0, {}).has_value());
        EXPECT_TRUE(opened) << "page " << c.page;
        if (c.page == res::IDD_KEYBOARD_WIZARD_NUMBER) {
            EXPECT_EQ(start, u"0.") << "FLOAT starts as 0.";
        }
    }
}

}  // namespace
