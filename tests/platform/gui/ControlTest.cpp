// The simple built-in controls: the progress bar's messages and the edit
// field's limit, selection and read-only state.

#include <string>

#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/support/ParamNames.h"

namespace gui_test {
namespace {

// ---- Progress bar ----------------------------------------------------------

struct ProgressStep {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT returns;  // what the message answers
};

struct ProgressCase {
    std::vector<ProgressStep> steps;
    int low;
    int high;
    int position;
};

class ProgressBar : public GuiTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressBar, MessagesAnswerAndLeaveTheRangeAndPosition) {
    HWND frame = MakeFrame();
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 10, frame,
                               reinterpret_cast<HMENU>(1008), instance(), nullptr);
    ASSERT_NE(bar, nullptr);
    for (const ProgressStep& step : GetParam().steps)
        EXPECT_EQ(SendMessageW(bar, step.message, step.wParam, step.lParam), step.returns)
            << "message " << step.message;
    gui::ControlValue value = gui::GetControlValue(bar);
    EXPECT_EQ(value.rangeLow, GetParam().low);
    EXPECT_EQ(value.rangeHigh, GetParam().high);
    EXPECT_EQ(value.position, GetParam().position);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), GetParam().position);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), GetParam().low);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), GetParam().high);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ProgressBar,
    ::testing::Values(
        // A new bar runs from 0 to 100 and steps by 10.
        ProgressCase{{{PBM_STEPIT, 0, 0, 0}, {PBM_STEPIT, 0, 0, 10}}, 0, 100, 20},
        // Positions are kept inside the range; each answer is the old position.
        ProgressCase{
            {{PBM_SETPOS, 150, 0, 0}, {PBM_SETPOS, static_cast<WPARAM>(-5), 0, 100}}, 0, 100, 0},
        ProgressCase{
            {{PBM_SETPOS, 40, 0, 0}, {PBM_DELTAPOS, 25, 0, 40}, {PBM_DELTAPOS, 100, 0, 65}},
            0,
            100,
            100},
        // The 16-bit range packs both ends into lParam and answers the old range.
        ProgressCase{{{PBM_SETRANGE, 0, MAKELPARAM(10, 20), MAKELONG(0, 100)}}, 10, 20, 10},
        // A 32-bit range: the position moves into a range that shrank past it.
        ProgressCase{{{PBM_SETPOS, 90, 0, 0},
                      {PBM_SETRANGE32, 0, 11, MAKELONG(0, 100)},
                      {PBM_SETRANGE32, 0, 70000, MAKELONG(0, 11)}},
                     0,
                     70000,
                     11},
        // The progress window: range n, step 1, one step at a time.
        ProgressCase{{{PBM_SETRANGE32, 0, 3, MAKELONG(0, 100)},
                      {PBM_SETSTEP, 1, 0, 10},
                      {PBM_SETPOS, 0, 0, 0},
                      {PBM_STEPIT, 0, 0, 0},
                      {PBM_STEPIT, 0, 0, 1},
                      {PBM_STEPIT, 0, 0, 2}},
                     0,
                     3,
                     3},
        // A step past the end starts over from the beginning; a zero step stays.
        ProgressCase{{{PBM_SETPOS, 95, 0, 0}, {PBM_STEPIT, 0, 0, 95}}, 0, 100, 5},
        ProgressCase{
            {{PBM_SETSTEP, 0, 0, 10}, {PBM_SETPOS, 7, 0, 0}, {PBM_STEPIT, 0, 0, 7}}, 0, 100, 7}),
    testing_support::RowName());

// ---- Edit field ------------------------------------------------------------

class EditField : public GuiTest {
protected:
    EditField()
        : frame(MakeFrame()),
          edit(CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 100, 16,
                               frame, reinterpret_cast<HMENU>(1001), instance(), nullptr)) {}
    std::u16string Text() {
        WCHAR buffer[64];
        GetWindowTextW(edit, buffer, 64);
        return buffer;
    }
    std::pair<int, int> Selection() {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    int Notified(WORD code) {
        int n = 0;
        for (const Seen& s : SeenMessages())
            n += s.hwnd == frame && s.message == WM_COMMAND &&
                 HIWORD(static_cast<DWORD>(s.wParam)) == code;
        return n;
    }
    HWND frame;
    HWND edit;
};

TEST_F(EditField, ReplacingTheSelectionKeepsTheTextBeyondItWhenTheLimitIsReached) {
    SetWindowTextW(edit, u"abcde");
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    SeenMessages().clear();
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"X"));
    EXPECT_EQ(Text(), u"abcde");
    EXPECT_EQ(Notified(EN_MAXTEXT), 1);
    // What fits goes in, in place of the selection.
    SendMessageW(edit, EM_SETSEL, 1, 3);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"XYZ"));
    EXPECT_EQ(Text(), u"aXYde");
    EXPECT_EQ(Selection(), (std::pair<int, int>{3, 3}));
    // Typing at the limit changes nothing and says so.
    SetFocus(edit);
    SeenMessages().clear();
    gui::input::TypeText(u"q");
    EXPECT_EQ(Text(), u"aXYde");
    EXPECT_EQ(Notified(EN_MAXTEXT), 1);
    EXPECT_EQ(Notified(EN_CHANGE), 0);
}

struct SelectionCase {
    int start;
    int end;
    int wantStart;
    int wantEnd;
};

class EditSelection : public EditField, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(EditSelection, SetSelectionIsOrderedAndKeptInsideTheText) {
    SetWindowTextW(edit, u"hello");
    SendMessageW(edit, EM_SETSEL, 2, 4);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(GetParam().start), GetParam().end);
    EXPECT_EQ(Selection(), (std::pair<int, int>{GetParam().wantStart, GetParam().wantEnd}));
    EXPECT_EQ(gui::GetControlValue(edit).selectionStart, GetParam().wantStart);
    EXPECT_EQ(gui::GetControlValue(edit).selectionEnd, GetParam().wantEnd);
}

INSTANTIATE_TEST_SUITE_P(Ranges, EditSelection,
                         ::testing::Values(SelectionCase{0, -1, 0, 5},  // everything
                                           SelectionCase{1, 3, 1, 3},   // as given
                                           SelectionCase{4, 1, 1, 4},   // ordered
                                           SelectionCase{2, 99, 2, 5},  // up to the end
                                           SelectionCase{-1, 0, 4, 4},  // none: the caret stays
                                           SelectionCase{5, 5, 5, 5}),  // the caret at the end
                         testing_support::RowName());

TEST_F(EditField, AReadOnlyFieldRefusesTheUserButNotTheProgram) {
    SetWindowTextW(edit, u"keep");
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY, 0);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    gui::input::TypeText(u"x\b");
    gui::input::PressKey(VK_DELETE);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    gui::ControlTextEdited(edit, u"typed");  // a native field that let it through
    gui::input::PumpMessages();
    EXPECT_EQ(Text(), u"keep");
    SetWindowTextW(edit, u"set");
    EXPECT_EQ(Text(), u"set");
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    gui::input::EditText(edit, u"typed");
    EXPECT_EQ(Text(), u"typed");
    EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace gui_test
