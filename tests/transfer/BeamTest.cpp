// Two devices beam databases with devicectl, each side its own process: what
// arrives, what each side says, and what is left when a transfer fails.

#include <chrono>
#include <csignal>
#include <thread>

#include "platform/device/DeviceDirectory.h"
#include "tests/support/SeedDatabases.h"

#include "tests/transfer/BeamFixture.h"

namespace transfer_tests {
namespace {

constexpr const char* kCompleted = "Tessaly: Database transfer successfully completed!";
constexpr const char* kCancelledByHost = "Tessaly: Transfer has been cancelled by host machine.";
constexpr const char* kReadFailed =
    "Tessaly: Unable to read data from Infrared port. Error Code: recv[";

class BeamTest : public BeamFixture {
protected:
    // A receiver in the background, then the sender of `name` to its end.
    ProcessResult Beam(const std::string& name, const std::vector<std::string>& receiveOptions,
                       int* receiverExit, std::string* receiverOutput = nullptr) {
        std::vector<std::string> args{"beam", "receive"};
        args.insert(args.end(), receiveOptions.begin(), receiveOptions.end());
        auto receiver = Start(receiver_, args);
        EXPECT_TRUE(WaitForListener());
        ProcessResult sent = Ctl(sender_, {"beam", "send", name});
        *receiverExit = receiver->Wait(30);
        if (receiverOutput != nullptr)
            *receiverOutput = receiver->output();
        return sent;
    }

    // A database of `records` records, written in this process.
    void FillMany(const std::filesystem::path& device, const char16_t* name, int records) {
        ce::device::SetDeviceDirectory(device);
        test_support::MakeDatabase(name, records);
        ce::device::SetDeviceDirectory(self_.path());
    }
};

TEST_F(BeamTest, EveryPropertyTypeSortOrderAndTheTypeArriveEqual) {
    Fill(
        sender_, "Every",
        {"--type", "4711", "--sort", "0x0001001F:nocase", "--sort", "0x00020003:desc,unknownfirst"},
        {{"1:TEXT=h\xC3\xA9llo, w\xC3\xB6rld", "2:LONG=-5", "3:DATE=2026-12-08T06:18:51Z",
          "4:BINARY=00ff10", "5:FLOAT=1.5", "6:BOOLEAN=1", "7:INT=-3", "8:UINT=65535",
          "9:ULONG=4294967295"},
         {"1:TEXT", "4:BINARY=", "5:FLOAT=nan", "6:BOOLEAN=0"},
         {"9:ULONG=0x10", "1:TEXT=last", "5:FLOAT=-inf"}});
    int receiverExit = -1;
    std::string receiverOutput;
    ProcessResult sent = Beam("Every", {}, &receiverExit, &receiverOutput);
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(receiverExit, 0) << receiverOutput;
    EXPECT_NE(sent.err.find("Sending record 3 of 3..."), std::string::npos) << sent.err;
    EXPECT_NE(sent.err.find(kCompleted), std::string::npos);
    EXPECT_NE(receiverOutput.find("Receiving record 3 of 3..."), std::string::npos);
    EXPECT_NE(receiverOutput.find(kCompleted), std::string::npos);
    std::string original = Dump(sender_, "Every");
    ASSERT_FALSE(original.empty());
    EXPECT_EQ(Dump(receiver_, "Every"), original);
    // Nothing else is left on the receiving device.
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Every"});
}

TEST_F(BeamTest, AnEmptyDatabaseIsRefusedWithoutLookingForAReceiver) {
    Fill(sender_, "Nothing", {}, {});
    ProcessResult sent = Ctl(sender_, {"beam", "send", "Nothing"});
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_NE(sent.err.find(
                  "Tessaly: Database 'Nothing' is empty. Please choose another database to send!"),
              std::string::npos)
        << sent.err;
    EXPECT_EQ(sent.err.find("Looking for"), std::string::npos);
    ProcessResult missing = Ctl(sender_, {"beam", "send", "Missing"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Couldn't open \"Missing\" database"), std::string::npos)
        << missing.err;
}

TEST_F(BeamTest, WithNobodyThereTheSearchEndsAfterItsTimeout) {
    Fill(sender_, "Lonely", {}, {{"1:TEXT=x"}});
    ProcessResult sent = Ctl(sender_, {"beam", "send", "Lonely", "--timeout", "1"});
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_NE(sent.err.find("Looking for device that is receiving..."), std::string::npos);
    EXPECT_NE(sent.err.find("no device found within 1 seconds"), std::string::npos) << sent.err;
    ProcessResult received = Ctl(receiver_, {"beam", "receive", "--timeout", "1"});
    EXPECT_EQ(received.exitCode, 1);
    EXPECT_NE(received.err.find("Looking for device that is sending..."), std::string::npos);
}

TEST_F(BeamTest, AnExistingNameCancelledOnTheReceiverIsRefusedToTheSender) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}, {"1:TEXT=older"}});
    std::string before = Dump(receiver_, "Shared");
    // No option and nothing on standard input: the question's answer is Cancel.
    int receiverExit = -1;
    std::string receiverOutput;
    ProcessResult sent = Beam("Shared", {}, &receiverExit, &receiverOutput);
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_NE(sent.err.find(kCancelledByHost), std::string::npos) << sent.err;
    EXPECT_EQ(receiverExit, 1);
    EXPECT_NE(receiverOutput.find("Database \"Shared\" already exists."), std::string::npos)
        << receiverOutput;
    EXPECT_EQ(Dump(receiver_, "Shared"), before);
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Shared"});
}

TEST_F(BeamTest, RenameOnTheReceiverKeepsBothDatabases) {
    Fill(sender_, "Shared", {"--type", "9"}, {{"1:TEXT=new"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}});
    std::string old = Dump(receiver_, "Shared");
    int receiverExit = -1;
    ProcessResult sent = Beam("Shared", {"--rename", "Copy of Shared"}, &receiverExit);
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(receiverExit, 0);
    EXPECT_EQ(Dump(receiver_, "Shared"), old);
    std::string copy = Dump(receiver_, "Copy of Shared");
    std::string original = Dump(sender_, "Shared");
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(copy.substr(copy.find("\"type\"")), original.substr(original.find("\"type\"")));
}

TEST_F(BeamTest, RenameToANameThatExistsTooRefusesTheTransfer) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}});
    Fill(receiver_, "Taken", {}, {{"1:TEXT=taken"}});
    int receiverExit = -1;
    std::string output;
    ProcessResult sent = Beam("Shared", {"--rename", "Taken"}, &receiverExit, &output);
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_EQ(receiverExit, 1);
    EXPECT_NE(output.find("\"Taken\" exists too"), std::string::npos) << output;
    EXPECT_NE(Dump(receiver_, "Taken").find("taken"), std::string::npos);
}

TEST_F(BeamTest, TheQuestionIsReadFromStandardInputWhenNoOptionAnswersIt) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}});
    auto sender = Start(sender_, {"beam", "send", "Shared"});
    ProcessResult received = Ctl(receiver_, {"beam", "receive"}, "r\nFrom Sender\n");
    EXPECT_EQ(received.exitCode, 0) << received.err;
    EXPECT_EQ(sender->Wait(30), 0) << sender->output();
    EXPECT_NE(Dump(receiver_, "From Sender").find("new"), std::string::npos);
    EXPECT_NE(Dump(receiver_, "Shared").find("old"), std::string::npos);
}

TEST_F(BeamTest, OverwriteReplacesTheOldDatabaseWithTheSendersOne) {
    Fill(sender_, "Shared", {"--type", "3"}, {{"1:TEXT=new"}, {"1:TEXT=newer"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}});
    int receiverExit = -1;
    ProcessResult sent = Beam("Shared", {"--overwrite"}, &receiverExit);
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(receiverExit, 0);
    EXPECT_EQ(Dump(receiver_, "Shared"), Dump(sender_, "Shared"));
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Shared"});
}

TEST_F(BeamTest, AnOverwriteThatCannotDeleteTheOldDatabaseKeepsIt) {
    Fill(sender_, "Shared", {}, {{"1:TEXT=new"}});
    Fill(receiver_, "Shared", {}, {{"1:TEXT=old"}});
    auto holder = Start(receiver_, {"hold", "Shared", "60"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int receiverExit = -1;
    std::string output;
    Beam("Shared", {"--overwrite"}, &receiverExit, &output);
    EXPECT_EQ(receiverExit, 1);
    EXPECT_NE(output.find("Couldn't delete \"Shared\" database"), std::string::npos) << output;
    holder->Signal(SIGKILL);
    holder->Wait();
    EXPECT_NE(Dump(receiver_, "Shared").find("old"), std::string::npos);
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Shared"});
}

TEST_F(BeamTest, ASenderKilledMidTransferLeavesNoPartialCopyAndKeepsAnOverwrittenOne) {
    FillMany(sender_, u"Big", 200);
    Fill(receiver_, "Big", {}, {{"1:TEXT=old"}});
    std::string before = Dump(receiver_, "Big");
    auto receiver = Start(receiver_, {"beam", "receive", "--overwrite"});
    ASSERT_TRUE(WaitForListener());
    auto sender = Start(sender_, {"beam", "send", "Big"}, {"TESSALY_IR_PACE_MS=5"});
    ASSERT_TRUE(WaitFor(*sender, "Sending record 20 of 200..."));
    sender->Signal(SIGKILL);
    EXPECT_EQ(sender->Wait(), 128 + SIGKILL);
    EXPECT_EQ(receiver->Wait(30), 1);
    EXPECT_NE(receiver->output().find(kReadFailed), std::string::npos) << receiver->output();
    EXPECT_NE(receiver->output().find(kCancelledByHost), std::string::npos);
    EXPECT_EQ(Dump(receiver_, "Big"), before);
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Big"});
}

TEST_F(BeamTest, CancellingEitherSideMidTransferLeavesNoPartialCopy) {
    FillMany(sender_, u"Big", 200);
    Fill(receiver_, "Big", {}, {{"1:TEXT=old"}});
    std::string before = Dump(receiver_, "Big");
    for (bool cancelSender : {true, false}) {
        SCOPED_TRACE(cancelSender ? "sender cancels" : "receiver cancels");
        auto receiver = Start(receiver_, {"beam", "receive", "--overwrite"});
        ASSERT_TRUE(WaitForListener());
        auto sender = Start(sender_, {"beam", "send", "Big"}, {"TESSALY_IR_PACE_MS=5"});
        ASSERT_TRUE(WaitFor(*sender, "Sending record 20 of 200..."));
        (cancelSender ? sender : receiver)->Signal(SIGINT);
        EXPECT_EQ(sender->Wait(30), 1);
        EXPECT_EQ(receiver->Wait(30), 1);
        // The side that did not cancel hears of it: a receiver that waits for
        // a unit's bytes sees the stream end, one that waits for a code hears
        // the cancel.
        if (cancelSender) {
            const std::string& heard = receiver->output();
            EXPECT_TRUE(heard.find(kCancelledByHost) != std::string::npos ||
                        heard.find(kReadFailed) != std::string::npos)
                << heard;
        } else {
            EXPECT_NE(sender->output().find(kCancelledByHost), std::string::npos);
        }
        EXPECT_EQ(Dump(receiver_, "Big"), before);
        EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Big"});
    }
}

TEST_F(BeamTest, BeamRefusesOptionsThatDoNotFit) {
    for (std::vector<std::string> args : {std::vector<std::string>{"beam"},
                                          {"beam", "fly"},
                                          {"beam", "send"},
                                          {"beam", "send", "X", "--overwrite"},
                                          {"beam", "receive", "--rename", "A", "--overwrite"},
                                          {"beam", "receive", "--timeout", "0"},
                                          {"beam", "receive", "--timeout", "soon"}}) {
        ProcessResult result = Ctl(receiver_, args);
        EXPECT_EQ(result.exitCode, 2) << args.size();
        EXPECT_NE(result.err.find("usage: devicectl beam"), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace transfer_tests
