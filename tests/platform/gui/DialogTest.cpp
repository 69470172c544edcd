// Dialogs from templates: modal and modeless, the dialog keyboard, the
// owner disabled while modal, scripted actions, and unscripted dialogs
// ending instead of hanging.

#include <utility>

#include "platform/core/Text.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"

namespace gui_test {
namespace {

struct DialogRun {
    LPARAM initParameter = 0;
    std::vector<int> commands;
    bool ownerEnabledDuring = true;
    HWND owner = nullptr;
};
DialogRun* run = nullptr;

BOOL TestDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            run->initParameter = lParam;
            SetDlgItemTextW(dialog, kEdit, u"start");
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(static_cast<DWORD>(wParam));
            if (HIWORD(static_cast<DWORD>(wParam)) != BN_CLICKED)
                return FALSE;
            run->commands.push_back(id);
            if (run->owner != nullptr)
                run->ownerEnabledDuring = IsWindowEnabled(run->owner) != 0;
            if (id == IDOK || id == IDCANCEL)
                EndDialog(dialog, id);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

class DialogTest : public GuiTest {
protected:
    DialogTest() { run = &state; }
    ~DialogTest() override { run = nullptr; }
    int Show(HWND owner, LPARAM parameter = 42) {
        state.owner = owner;
        return DialogBoxParamW(instance(), MAKEINTRESOURCE(kDialog), owner, TestDialog, parameter);
    }
    DialogRun state;
};

TEST_F(DialogTest, ModalDialogGetsItsParameterDisablesItsOwnerAndReturnsTheButton) {
    HWND frame = MakeFrame();
    std::u16string seenText;
    user().OnDialog(kDialog, [&](HWND dialog) {
        WCHAR text[32];
        GetDlgItemTextW(dialog, kEdit, text, 32);
        seenText = text;
        EXPECT_FALSE(IsWindowEnabled(frame));
        gui::input::ClickDlgButton(dialog, kCheck);
        EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED);
        gui::input::ClickDlgButton(dialog, IDOK);
    });
    EXPECT_EQ(Show(frame), IDOK);
    EXPECT_EQ(state.initParameter, 42);
    EXPECT_EQ(seenText, u"start");
    EXPECT_FALSE(state.ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(state.commands, (std::vector<int>{kCheck, IDOK}));
    EXPECT_EQ(user().dialogs(), (std::vector<UINT>{kDialog}));
    EXPECT_TRUE(failures.empty()) << failures[0];
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonEscapeCancelsAndAMultiLineFieldKeepsEnter) {
    user().OnDialog(kDialog, [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, kMultiLine));
        gui::input::PressKey(VK_RETURN);
        gui::input::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(Show(nullptr), IDCANCEL);
    EXPECT_EQ(state.commands, (std::vector<int>{IDCANCEL}));

    state.commands.clear();
    user().OnDialog(kDialog, [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, kEdit));
        gui::input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(Show(nullptr), IDOK);
    EXPECT_EQ(state.commands, (std::vector<int>{IDOK}));

    // Enter on a focused push button presses that button, not the default one.
    state.commands.clear();
    user().OnDialog(kDialog, [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        gui::input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(Show(nullptr), IDCANCEL);
    EXPECT_TRUE(failures.empty());
}

TEST_F(DialogTest, TheTitleBarOkBecomesOkAndCancelButtonsBelowTheControls) {
    struct Seen {
        RECT client{}, check{}, ok{}, cancel{};
        bool okIsDefault = false;
        int children = 0;
    } seen;
    auto look = [&](HWND dialog) {
        GetClientRect(dialog, &seen.client);
        auto place = [&](int id, RECT& r) {
            HWND control = GetDlgItem(dialog, id);
            ASSERT_NE(control, nullptr) << id;
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        };
        place(kCheck, seen.check);
        place(IDOK, seen.ok);
        place(IDCANCEL, seen.cancel);
        seen.okIsDefault =
            (GetWindowLongW(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            ++seen.children;
    };
    user().OnDialog(kCaptionOkDialog, [&](HWND dialog) {
        look(dialog);
        gui::input::ClickDlgButton(dialog, IDOK);
    });
    EXPECT_EQ(
        DialogBoxParamW(instance(), MAKEINTRESOURCE(kCaptionOkDialog), nullptr, TestDialog, 0),
        IDOK);
    EXPECT_EQ(seen.children, 3);
    EXPECT_TRUE(seen.okIsDefault);
    EXPECT_GE(seen.ok.top, seen.check.bottom) << "below the template's controls";
    EXPECT_EQ(seen.ok.top, seen.cancel.top) << "in one row";
    EXPECT_LT(seen.ok.right, seen.cancel.left) << "OK first";
    EXPECT_LE(seen.cancel.right, seen.client.right);
    EXPECT_LE(seen.cancel.bottom, seen.client.bottom) << "the dialog grows to hold them";

    user().OnDialog(kCaptionOkDialog, [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, kCheck));
        gui::input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(
        DialogBoxParamW(instance(), MAKEINTRESOURCE(kCaptionOkDialog), nullptr, TestDialog, 0),
        IDOK)
        << "Enter still confirms";
    user().OnDialog(kCaptionOkDialog,
                    [](HWND dialog) { gui::input::ClickDlgButton(dialog, IDCANCEL); });
    EXPECT_EQ(
        DialogBoxParamW(instance(), MAKEINTRESOURCE(kCaptionOkDialog), nullptr, TestDialog, 0),
        IDCANCEL);

    // A dialog with buttons of its own gets no others.
    int children = 0;
    user().OnDialog(kDialog, [&](HWND dialog) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            ++children;
        gui::input::ClickDlgButton(dialog, IDCANCEL);
    });
    Show(nullptr);
    EXPECT_EQ(children, 7);
    EXPECT_TRUE(failures.empty());
}

TEST_F(DialogTest, AnUnscriptedDialogFailsTheTestAndEndsWithCancel) {
    HWND frame = MakeFrame();
    EXPECT_EQ(Show(frame), IDCANCEL);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("dialog 100"), std::string::npos);
    EXPECT_TRUE(IsWindowEnabled(frame));
}

TEST_F(DialogTest, ActionsQueuePerOccurrenceAndAStandingActionServesTheRest) {
    user().OnDialog(kDialog, [](HWND d) { gui::input::ClickDlgButton(d, IDOK); });
    user().AlwaysOnDialog(kDialog, [](HWND d) { gui::input::ClickDlgButton(d, IDCANCEL); });
    EXPECT_EQ(Show(nullptr), IDOK);
    EXPECT_EQ(Show(nullptr), IDCANCEL);
    EXPECT_EQ(Show(nullptr), IDCANCEL);
    EXPECT_EQ(user().UnusedAnswers(), 0u);
}

TEST_F(DialogTest, ControlsByIdentifierTabOrderRadioGroupsAndNumbers) {
    HWND dialog = CreateDialogParamW(instance(), MAKEINTRESOURCE(kDialog), nullptr, TestDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kEdit));
    EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, kEdit), FALSE),
              GetDlgItem(dialog, kCheck));
    EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, kEdit), TRUE),
              GetDlgItem(dialog, IDCANCEL));
    CheckRadioButton(dialog, kRadioA, kRadioB, kRadioA);
    gui::input::ClickDlgButton(dialog, kRadioB);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioB), BST_CHECKED);

    BOOL ok = FALSE;
    SetDlgItemInt(dialog, kEdit, static_cast<UINT>(-32768), TRUE);
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, kEdit, &ok, TRUE)), -32768);
    EXPECT_TRUE(ok);
    SetDlgItemTextW(dialog, kEdit, u"  12x");
    GetDlgItemInt(dialog, kEdit, &ok, TRUE);
    EXPECT_FALSE(ok);
    SetDlgItemTextW(dialog, kEdit, u"4294967296");
    GetDlgItemInt(dialog, kEdit, &ok, FALSE);
    EXPECT_FALSE(ok);
    SetDlgItemTextW(dialog, kEdit, u"-1");
    GetDlgItemInt(dialog, kEdit, &ok, FALSE);
    EXPECT_FALSE(ok);

    // Dialog units follow the dialog's font: 7-pixel characters, 16-pixel lines.
    RECT r{4, 8, 8, 16};
    MapDialogRect(dialog, &r);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 16);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(GetDialogBaseUnits())), 7);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, EditFieldsKeepTheirLimitSelectionAndUndo) {
    HWND dialog = CreateDialogParamW(instance(), MAKEINTRESOURCE(kDialog), nullptr, TestDialog, 0);
    ShowWindow(dialog, SW_SHOW);
    HWND edit = GetDlgItem(dialog, kEdit);
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    SetWindowTextW(edit, u"");
    SetFocus(edit);
    gui::input::TypeText(u"abcdefg");
    WCHAR text[16];
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"abcde");
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    SendMessageW(edit, EM_SETSEL, 1, 3);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    gui::input::PressKey(VK_DELETE);
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"ade");
    SendMessageW(edit, EM_UNDO, 0, 0);
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"abcde");
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    gui::input::EditText(edit, u"no");
    EXPECT_EQ(failures.size(), 1u);  // a person cannot type into a read-only field
    DestroyWindow(dialog);
}

TEST_F(DialogTest, AModelessDialogActsWhenPumpedAndHidesOnEndDialog) {
    HWND frame = MakeFrame();
    user().OnDialog(kDialog, [](HWND d) { gui::input::ClickDlgButton(d, IDCANCEL); });
    HWND dialog = CreateDialogParamW(instance(), MAKEINTRESOURCE(kDialog), frame, TestDialog, 0);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(IsWindowEnabled(frame));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    EXPECT_EQ(state.commands, (std::vector<int>{IDCANCEL}));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(frame);
    EXPECT_FALSE(IsWindow(dialog));  // owned windows go with their owner
}

TEST_F(DialogTest, HidingAnActiveModelessDialogGivesItsOwnerTheKeyboardBack) {
    HWND frame = MakeFrame();
    HWND dialog = CreateDialogParamW(instance(), MAKEINTRESOURCE(kDialog), frame, TestDialog, 0);
    ShowWindow(dialog, SW_SHOW);
    ASSERT_EQ(GetActiveWindow(), dialog);
    ASSERT_TRUE(IsChild(dialog, GetFocus()));
    EndDialog(dialog, IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(GetActiveWindow(), frame);
    SeenMessages().clear();
    gui::input::PressKey('A');
    EXPECT_EQ(CountSeen(frame, WM_KEYDOWN), 1);

    // Shown again, it takes the keyboard back where it left it.
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kEdit));
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), frame);
    DestroyWindow(frame);
}

// A dialog whose check box runs a loop of its own inside the procedure (as
// a command that waits for a transfer would) and whose check box in an
// inner dialog opens the same template once more.
struct NestedRun {
    bool endFirst = false;      // the check box ends the dialog before its loop
    bool noTimer = false;       // the loop waits for nothing that can come
    bool timerArrived = false;  // the inner loop saw its timer
    bool loopQuit = false;      // the inner loop was told to quit
    int spins = 0;
    bool openInner = false;  // the check box opens the template once more instead
    int innerResult = 0;
    HINSTANCE instance = nullptr;
};
NestedRun* nested = nullptr;

BOOL NestingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    int id = LOWORD(static_cast<DWORD>(wParam));
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
    }
    if (id != kCheck)
        return FALSE;
    if (std::exchange(nested->openInner, false)) {
        nested->innerResult =
            DialogBoxParamW(nested->instance, MAKEINTRESOURCE(kDialog), dialog, NestingDialog, 0);
        return TRUE;
    }
    if (nested->endFirst)
        EndDialog(dialog, IDOK);
    if (!nested->noTimer)
        SetTimer(dialog, 7, 100, nullptr);
    MSG msg;
    while (nested->spins < 20) {
        ++nested->spins;
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            nested->loopQuit = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_TIMER && msg.wParam == 7) {
            nested->timerArrived = true;
            break;
        }
        DispatchMessageW(&msg);
    }
    KillTimer(dialog, 7);
    return TRUE;
}

class NestedLoopTest : public GuiTest {
protected:
    NestedLoopTest() {
        state.instance = instance();
        nested = &state;
    }
    ~NestedLoopTest() override { nested = nullptr; }
    int Show(HWND owner) {
        return DialogBoxParamW(instance(), MAKEINTRESOURCE(kDialog), owner, NestingDialog, 0);
    }
    NestedRun state;
};

TEST_F(NestedLoopTest, ALoopInsideADialogThatEndsKeepsWaitingForWhatItWaitsFor) {
    state.endFirst = true;
    user().OnDialog(kDialog, [](HWND d) { gui::input::ClickDlgButton(d, kCheck); });
    EXPECT_EQ(Show(nullptr), IDOK);
    EXPECT_TRUE(state.timerArrived);
    EXPECT_LT(state.spins, 5);
    EXPECT_TRUE(failures.empty());
}

TEST_F(NestedLoopTest, ALoopInsideADialogThatNobodyAnswersQuitsAndTheDialogWithIt) {
    HWND frame = MakeFrame();
    state.noTimer = true;
    user().OnDialog(kDialog, [](HWND d) { gui::input::ClickDlgButton(d, kCheck); });
    EXPECT_EQ(Show(frame), IDCANCEL);
    EXPECT_TRUE(state.loopQuit);
    EXPECT_LT(state.spins, 5);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("nobody scripted"), std::string::npos);
    MSG msg;
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));  // the quit reaches the program's loop
    EXPECT_TRUE(IsWindowEnabled(frame));
}

TEST_F(NestedLoopTest, AModalDialogInsideAModalDialogDisablesItAndCanEndIt) {
    HWND frame = MakeFrame();
    HWND outer = nullptr;
    bool outerEnabledDuring = true;
    state.openInner = true;
    user().OnDialog(kDialog, [&](HWND d) {
        outer = d;
        gui::input::ClickDlgButton(d, kCheck);
        EXPECT_TRUE(IsWindowEnabled(d));
        gui::input::ClickDlgButton(d, IDCANCEL);
    });
    user().OnDialog(kDialog, [&](HWND inner) {
        outerEnabledDuring = IsWindowEnabled(outer) != 0;
        EXPECT_FALSE(IsWindowEnabled(frame));
        EXPECT_EQ(gui::OpenDialogs(), (std::vector<HWND>{inner, outer}));
        gui::input::ClickDlgButton(inner, IDOK);
    });
    EXPECT_EQ(Show(frame), IDCANCEL);
    EXPECT_EQ(state.innerResult, IDOK);
    EXPECT_FALSE(outerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(frame));

    // Ending the outer dialog from inside the inner one's loop takes effect
    // when the inner one is done.
    state.openInner = true;
    user().OnDialog(kDialog, [&](HWND d) {
        outer = d;
        gui::input::ClickDlgButton(d, kCheck);
    });
    user().OnDialog(kDialog, [&](HWND inner) {
        EndDialog(outer, 5);
        EXPECT_TRUE(IsWindow(inner));
        gui::input::ClickDlgButton(inner, IDCANCEL);
    });
    EXPECT_EQ(Show(frame), 5);
    EXPECT_EQ(state.innerResult, IDCANCEL);
    EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace gui_test
