// The program's own side of a transfer, in this process with the scripted
// user, against devicectl on the other device: the transfer window in both
// editions, the "Database Exists" and name dialogs, and the Cancel question.

#include <csignal>

#include "app/NameDialogs.h"
#include "platform/core/Text.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/TransferIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/transfer/BeamFixture.h"
#include "transfer/Transfer.h"

namespace transfer_tests {
namespace {

using namespace ce;
using testing_support::Edition;
using testing_support::ScriptedSession;

std::u16string Text(HWND window) {
    WCHAR text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

transfer::ReceiveQuestions WindowQuestions() {
    transfer::ReceiveQuestions questions;
    questions.askExists = [](const WCHAR* name, HWND owner) {
        int answer = app::AskExists(name, owner);
        return answer == app::kExistsRename      ? transfer::ExistsAnswer::Rename
               : answer == app::kExistsOverwrite ? transfer::ExistsAnswer::Overwrite
                                                 : transfer::ExistsAnswer::Cancel;
    };
    questions.askNewName = [](const WCHAR* name, WCHAR(&target)[store::kDatabaseNameUnits],
                              HWND owner) { return app::AskNewName(name, target, owner); };
    return questions;
}

void Press(HWND dialog, int id) {
    if (id == IDOK && HasDoneButton(dialog))
        gui::input::PressDone(dialog);
    else if (GetDlgItem(dialog, id) != nullptr)
        gui::input::ClickDlgButton(dialog, id);
    else  // a keyboard template without the button: its key
        SendMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

class TransferWindowTest : public BeamFixture, public ::testing::WithParamInterface<Edition> {
protected:
    ScriptedSession session_{GetParam()};
    gui::ScriptedUser& user_ = session_.user();
};

TEST_P(TransferWindowTest, RenameInTheExistsDialogReceivesUnderTheNewName) {
    Fill(sender_, "Shared", {"--type", "12"}, {{"1:TEXT=from the sender"}, {"2:LONG=7"}});
    test_support::MakeDatabase(u"Shared", 3);
    auto sender = Start(sender_, {"beam", "send", "Shared"});
    std::u16string caption, status;
    bool hintShown = true, barShown = false;
    user_.OnDialog(res::IDD_DATABASE_EXISTS, [&](HWND dialog) {
        HWND window = GetWindow(dialog, GW_OWNER);
        caption = Text(window);
        status = Text(GetDlgItem(window, res::IDC_TRANSFER_STATUS));
        hintShown = IsWindowVisible(GetDlgItem(window, res::IDC_TRANSFER_HINT));
        barShown = IsWindowVisible(GetDlgItem(window, res::IDC_TRANSFER_PROGRESS));
        Press(dialog, app::kExistsRename);
    });
    user_.OnDialog(res::IDD_NAME, [](HWND dialog) {
        SetDlgItemTextW(dialog, res::IDC_NAME_TO, u"Renamed");
        Press(dialog, IDOK);
    });
    user_.Answer(res::IDS_IR_COMPLETED, IDOK);
    EXPECT_EQ(transfer::ReceiveDatabase(nullptr, WindowQuestions()), transfer::Outcome::Completed);
    EXPECT_EQ(sender->Wait(30), 0) << sender->output();
    EXPECT_EQ(caption, u"Receiving Database");
    EXPECT_EQ(status, u"Receiving database header...");
    EXPECT_FALSE(hintShown);
    EXPECT_TRUE(barShown);
    CEDBASEINFO info = test_support::DatabaseInfo(u"Renamed");
    EXPECT_EQ(info.wNumRecords, 2);
    EXPECT_EQ(info.dwDbaseType, 12u);
    EXPECT_EQ(test_support::DatabaseInfo(u"Shared").wNumRecords, 3);
    EXPECT_EQ(user_.ShownIds(), std::vector<UINT>{res::IDS_IR_COMPLETED});
}

TEST_P(TransferWindowTest, CancelAnsweredNoGoesOnAndYesEndsWithoutAPartialCopy) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    test_support::MakeDatabase(u"Shared", 2);
    for (bool confirm : {true, false}) {
        SCOPED_TRACE(confirm ? "Yes" : "No");
        auto sender = Start(sender_, {"beam", "send", "Shared"});
        user_.OnDialog(res::IDD_DATABASE_EXISTS, [](HWND dialog) {
            // Cancel, pressed in the transfer window just before the question came.
            SendMessageW(GetWindow(dialog, GW_OWNER), WM_COMMAND, IDCANCEL, 0);
            Press(dialog, app::kExistsOverwrite);
        });
        user_.Answer(res::IDS_IR_CANCEL_QUESTION, confirm ? IDYES : IDNO);
        if (!confirm)
            user_.Answer(res::IDS_IR_COMPLETED, IDOK);
        transfer::Outcome outcome = transfer::ReceiveDatabase(nullptr, WindowQuestions());
        EXPECT_EQ(outcome, confirm ? transfer::Outcome::Failed : transfer::Outcome::Completed);
        EXPECT_EQ(sender->Wait(30), confirm ? 1 : 0);
        EXPECT_EQ(test_support::DatabaseInfo(u"Shared").wNumRecords, confirm ? 2 : 1);
        if (confirm) {
            EXPECT_NE(sender->output().find("Transfer has been cancelled by host machine."),
                      std::string::npos);
        }
        EXPECT_EQ(user_.UnusedAnswers(), 0u);
    }
}

TEST_P(TransferWindowTest, TheSendersWindowNamesTheDatabaseAndHearsARefusal) {
    test_support::MakeDatabase(u"Mine", 2);
    Fill(receiver_, "Mine", {}, {{"1:TEXT=theirs"}});
    // Nothing on the receiver's standard input: it answers Cancel.
    auto receiver = Start(receiver_, {"beam", "receive"});
    ASSERT_TRUE(WaitForListener());
    std::u16string caption;
    user_.Answer(res::IDS_IR_CANCELLED_BY_HOST, IDOK);
    auto outcome = transfer::SendDatabase(nullptr, u"Mine");
    EXPECT_EQ(outcome, transfer::Outcome::Failed);
    EXPECT_EQ(receiver->Wait(30), 1);
    EXPECT_EQ(user_.ShownIds(), std::vector<UINT>{res::IDS_IR_CANCELLED_BY_HOST});
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Mine"});
}

TEST_P(TransferWindowTest, ASenderThatCancelsWhileWaitingIsNotToldTheHostCancelled) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    test_support::MakeDatabase(u"Shared", 2);
    auto sender = Start(sender_, {"beam", "send", "Shared"});
    int senderExit = -1;
    user_.OnDialog(res::IDD_DATABASE_EXISTS, [&](HWND dialog) {
        // The sender waits for its header's acknowledgement while this
        // question is open; its own user cancels it there.
        sender->Signal(SIGINT);
        senderExit = sender->Wait(30);
        Press(dialog, app::kExistsCancel);
    });
    // The cancel may or may not reach a sender that has gone.
    user_.AlwaysAnswer(res::IDS_IR_CANT_SEND, IDOK);
    EXPECT_EQ(transfer::ReceiveDatabase(nullptr, WindowQuestions()), transfer::Outcome::Failed);
    EXPECT_EQ(senderExit, 1);
    EXPECT_EQ(sender->output().find("cancelled by host"), std::string::npos) << sender->output();
    EXPECT_EQ(test_support::DatabaseInfo(u"Shared").wNumRecords, 2);
}

INSTANTIATE_TEST_SUITE_P(Editions, TransferWindowTest,
                         ::testing::Values(Edition::Palm, Edition::Keyboard));

}  // namespace
}  // namespace transfer_tests
