// The progress window of long operations: its record text, its bar, the
// Cancel question and the no-progress switch.

#include "ui/ProgressWindow.h"

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Cursor.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
namespace input = gui::input;
using ui::ProgressWindow;

class ProgressWindowTest : public ::testing::Test {
protected:
    ProgressWindowTest() { appcore::App().settings = std::make_unique<appcore::Settings>(); }
    gui::ScriptedUser& user() { return session_.user(); }

    std::u16string Text(const ProgressWindow& progress) {
        WCHAR text[256] = {};
        GetDlgItemTextW(progress.window(), res::IDC_PROGRESS_TEXT, text, 256);
        return std::u16string(WideView(text, 256));
    }
    gui::ControlValue Bar(const ProgressWindow& progress) {
        return gui::GetControlValue(GetDlgItem(progress.window(), res::IDC_PROGRESS_BAR));
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

TEST_F(ProgressWindowTest, RecordsCountOnFromTheLastPositionAndTheBarFollows) {
    ProgressWindow progress(ProgressWindow::kBackupQuestion, ProgressWindow::kBackupTitle);
    ASSERT_TRUE(progress.Create(nullptr));
    EXPECT_TRUE(IsWindowVisible(progress.window()));
    WCHAR caption[64] = {};
    GetWindowTextW(progress.window(), caption, 64);
    EXPECT_EQ(std::u16string(caption), u"Backup Databases");
    EXPECT_EQ(Text(progress), u"");
    EXPECT_EQ(Bar(progress).rangeHigh, 100);

    progress.SetRange(11);
    for (int i = 0; i < 3; ++i)
        progress.SetText(res::IDS_STORING_RECORD, -1, u"Contacts");
    EXPECT_EQ(Text(progress), u"Storing Database \"Contacts\"\nRecord 3 of 10");
    EXPECT_EQ(Bar(progress).rangeHigh, 11);
    EXPECT_EQ(Bar(progress).position, 4);
    // A new range keeps the record counter.
    progress.SetRange(5);
    progress.SetText(res::IDS_STORING_RECORD, -1, u"Contacts");
    EXPECT_EQ(Text(progress), u"Storing Database \"Contacts\"\nRecord 4 of 4");
    progress.SetText(res::IDS_STORING_RECORD, 0, u"Next");
    EXPECT_EQ(Text(progress), u"Storing Database \"Next\"\nRecord 0 of 4");
    progress.Step();
    EXPECT_EQ(Bar(progress).position, 2);
}

TEST_F(ProgressWindowTest, CancelAsksAndOnlyYesStopsTheOperation) {
    ProgressWindow progress(ProgressWindow::kRestoreQuestion, ProgressWindow::kRestoreTitle);
    ASSERT_TRUE(progress.Create(nullptr));
    user().Answer(ProgressWindow::kRestoreQuestion, IDNO);
    input::ClickDlgButton(progress.window(), IDCANCEL);
    EXPECT_TRUE(progress.Pump());
    EXPECT_TRUE(progress.Pump());

    user().Answer(ProgressWindow::kRestoreQuestion, IDYES);
    input::ClickDlgButton(progress.window(), IDCANCEL);
    EXPECT_FALSE(progress.Pump());
    EXPECT_TRUE(progress.cancelled());
    ASSERT_EQ(user().shown().size(), 2u);
    EXPECT_EQ(user().shown()[0].text, u"Abort database restore; Are you sure?");
    EXPECT_EQ(user().shown()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
}

TEST_F(ProgressWindowTest, CancelPressedWhileTheOperationPumpsIsSeenByTheNextPump) {
    ProgressWindow progress(ProgressWindow::kBackupQuestion, ProgressWindow::kBackupTitle);
    ASSERT_TRUE(progress.Create(nullptr));
    user().Answer(ProgressWindow::kBackupQuestion, IDYES);
    // The person presses Cancel while the operation works between records:
    // the pump that handles the press already says to stop.
    user().OnDialog(res::IDD_PROGRESS,
                    [](HWND dialog) { gui::ControlClicked(GetDlgItem(dialog, IDCANCEL)); });
    EXPECT_FALSE(progress.Pump());
    EXPECT_EQ(user().CountShown(ProgressWindow::kBackupQuestion), 1);
}

TEST_F(ProgressWindowTest, NoProgressKeepsTheWindowHiddenWithTheWaitCursor) {
    appcore::App().settings->noProgress = 1;
    {
        ProgressWindow progress(ProgressWindow::kBackupQuestion, ProgressWindow::kBackupTitle);
        ASSERT_TRUE(progress.Create(nullptr));
        EXPECT_FALSE(IsWindowVisible(progress.window()));
        EXPECT_TRUE(WaitCursorShown());
        progress.SetRange(11);
        progress.SetText(res::IDS_STORING_RECORD, -1, u"Contacts");
        EXPECT_EQ(Text(progress), u"");
        EXPECT_EQ(Bar(progress).rangeHigh, 100);
        EXPECT_TRUE(progress.Pump());
    }
    EXPECT_FALSE(WaitCursorShown());
}

}  // namespace
