// The record editor's command bar in the keyboard edition: its two menus,
// then the navigation and find buttons, each sending its command and showing
// its tip; the editor's controls lie below the bar.

#include <gtest/gtest.h>

#include <vector>

#include "appcore/Application.h"
#include "editor/RecordEditor.h"
#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

std::vector<UINT>& Recorded() {
    static std::vector<UINT> commands;
    return commands;
}

WNDPROC editorProcedure = nullptr;

LRESULT RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(static_cast<DWORD>(wParam)) >= res::IDM_RECORD_FIRST) {
        Recorded().push_back(LOWORD(static_cast<DWORD>(wParam)));
        return 0;
    }
    return CallWindowProcW(editorProcedure, window, message, wParam, lParam);
}

HWND CommandBarOf(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR name[40] = {};
        GetClassNameW(child, name, 40);
        if (WideView(name, 40) == TOOLBARCLASSNAMEW)
            return child;
    }
    return nullptr;
}

class KeyboardEditorBar : public ::testing::Test {
protected:
    KeyboardEditorBar() { appcore::App().settings = std::make_unique<appcore::Settings>(); }

    testing_support::KeyboardSession session_;
};

TEST_F(KeyboardEditorBar, EveryButtonSendsItsCommandAndHasItsTip) {
    test_support::MakeDatabase(u"Contacts", 3);
    struct Seen {
        UINT command;
        std::u16string tip;
        bool enabled;
    };
    std::vector<Seen> seen;
    std::vector<std::u16string> menus;
    bool below = true;
    session_.user().OnDialog(res::IDD_EDITOR_KEYBOARD, [&](HWND editor) {
        HWND bar = CommandBarOf(editor);
        ASSERT_NE(bar, nullptr);
        editorProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongW(editor, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordCommands)));
        Recorded().clear();
        HMENU menu = CommandBar_GetMenu(bar, 0);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            WCHAR text[40] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 40, MF_BYPOSITION);
            menus.emplace_back(WideView(text, 40));
        }
        auto count = SendMessageW(bar, TB_BUTTONCOUNT, 0, 0);
        for (int position = 0; position < count; ++position) {
            TBBUTTON button{};
            SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(position),
                         reinterpret_cast<LPARAM>(&button));
            if (button.idCommand == 0)
                continue;
            RECT r{};
            SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(position),
                         reinterpret_cast<LPARAM>(&r));
            POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
            seen.push_back(
                {static_cast<UINT>(button.idCommand), gui::ToolTipAt(bar, middle), enabled});
            if (enabled)
                gui::input::Tap(bar, middle);
        }
        RECT barRect{};
        GetWindowRect(bar, &barRect);
        RECT list{};
        GetWindowRect(GetDlgItem(editor, res::IDC_PROPERTY_LIST), &list);
        below = list.top >= barRect.bottom;
        SetWindowLongW(editor, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(editorProcedure));
        PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    });
    editor::RunRecordEditor(nullptr, u"Contacts");
    EXPECT_EQ(menus, (std::vector<std::u16string>{u"&Records", u"&Edit"}));
    std::vector<UINT> commands;
    std::vector<std::u16string> tips;
    std::vector<UINT> sent;
    for (const Seen& s : seen) {
        commands.push_back(s.command);
        tips.push_back(s.tip);
        if (s.enabled)
            sent.push_back(s.command);
    }
    // On the first record First and Previous are greyed and send nothing;
    // the buttons that can be pressed send their commands.
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_FALSE(seen[0].enabled);
    EXPECT_FALSE(seen[1].enabled);
    EXPECT_TRUE(seen[2].enabled);
    std::vector<UINT> expected = {res::IDM_RECORD_FIRST, res::IDM_RECORD_PREVIOUS,
                                  res::IDM_RECORD_NEXT,  res::IDM_RECORD_LAST,
                                  res::IDM_FIND,         res::IDM_FIND_NEXT};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(tips,
              (std::vector<std::u16string>{u"First Record (Ctrl+H)", u"Previous Record (Ctrl+J)",
                                           u"Next Record (Ctrl+K)", u"Last Record (Ctrl+L)",
                                           u"Find (Ctrl+F)", u"Find Next (Ctrl+N)"}));
    EXPECT_EQ(Recorded(), sent);
    EXPECT_GE(sent.size(), 3u);
    EXPECT_TRUE(below) << "the property list lies below the command bar";
}

}  // namespace
