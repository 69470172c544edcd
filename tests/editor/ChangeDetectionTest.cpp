// Another process (devicectl) adds records while the editor is open: nothing
// happens while the editor is in the background; once it is active again,
// one message and one reload that keeps the selected property, however many
// notifications came.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Process.h"

namespace editor_test {
namespace {

class ChangeDetectionTest : public EditorTest {
protected:
    void AddWithDevicectl(const char* property) {
        testing_support::ProcessResult result =
            testing_support::RunProgram(testing_support::BuiltProgram("devicectl"),
                                        {"add", "Watched", property}, {device_.EnvAssignment()});
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    // Runs the editor's messages on the real clock for a while.
    void PumpFor(int milliseconds) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        // Removing peeks, as the editor's loop takes messages: timers come due this way.
        MSG msg{};
        while (std::chrono::steady_clock::now() < end) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
};

TEST_F(ChangeDetectionTest, AddsInTheBackgroundAreReportedOnceWhenTheEditorIsActiveAgain) {
    MakeDatabase(u"Watched", {{Long(1, 1), Text(2, u"kept")}, {Long(1, 2)}});
    user().AlwaysAnswer(res::IDS_MODIFIED_BY_OTHER, IDOK);
    RunEditor(u"Watched", [this](EditorWindow& editor) {
        gui::CurrentHeadless()->UseRealClock();
        editor.SelectProperty(2);
        SendMessageW(editor.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
        AddWithDevicectl("1:LONG=3");
        PumpFor(1200);
        EXPECT_EQ(user().CountShown(res::IDS_MODIFIED_BY_OTHER), 0);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");

        SendMessageW(editor.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
        PumpFor(1200);
        EXPECT_EQ(user().CountShown(res::IDS_MODIFIED_BY_OTHER), 1);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 3");
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 4 2");

        // Two quick adds while it is active: one message, one reload.
        AddWithDevicectl("1:LONG=4");
        AddWithDevicectl("1:LONG=5");
        PumpFor(1500);
        EXPECT_EQ(user().CountShown(res::IDS_MODIFIED_BY_OTHER), 2);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 5");
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 4 2");
        editor.Done();
    });
}

TEST_F(ChangeDetectionTest, TheEditorsOwnWritesAreNotTakenForAnotherProcesss) {
    MakeDatabase(u"Watched", {{Long(1, 1)}, {Long(1, 2)}});
    RunEditor(u"Watched", [this](EditorWindow& editor) {
        gui::CurrentHeadless()->UseRealClock();
        editor.Type(res::IDC_VALUE_NUMBER, u"9");
        editor.Command(res::IDM_RECORD_NEXT);
        PumpFor(800);
        EXPECT_TRUE(user().shown().empty());
        editor.Done();
    });
}

}  // namespace
}  // namespace editor_test
