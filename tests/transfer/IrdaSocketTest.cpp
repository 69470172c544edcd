// IrdaSocket on its own device: retryable connects and the messages of
// failures. (Reads and codes against another device are in WireTest.)

#include "transfer/IrdaSocket.h"

#include <gtest/gtest.h>

#include "resources/TransferIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace transfer_tests {
namespace {

using namespace transfer;

class IrdaSocketTest : public ::testing::Test {
protected:
    IrdaSocketTest() { ::setenv("TESSALY_IR_ROOM", (room_.path()).c_str(), 1); }
    ~IrdaSocketTest() override { ::unsetenv("TESSALY_IR_ROOM"); }
    testing_support::TempDevice device_;
    testing_support::TempDirectory room_;
    testing_support::ScriptedSession session_;
    ce::gui::ScriptedUser& user_ = session_.user();
};

TEST_F(IrdaSocketTest, WithNoReceiverConnectingIsRetriedWithoutAMessage) {
    IrdaSocket socket(nullptr);
    ASSERT_TRUE(socket.CreateClient());
    EXPECT_EQ(socket.TryConnect(), 1);
    EXPECT_EQ(socket.TryConnect(), 1);
    EXPECT_TRUE(user_.shown().empty());
}

TEST_F(IrdaSocketTest, DestroyingAnUnusedSocketClosesNothing) {
    { IrdaSocket socket(nullptr); }
    EXPECT_TRUE(user_.shown().empty());
}

TEST_F(IrdaSocketTest, ASecondListenerOnTheDeviceIsAnInitializeFailureNamingBind) {
    IrdaSocket first(nullptr);
    ASSERT_TRUE(first.CreateListener());
    IrdaSocket second(nullptr);
    user_.Answer(res::IDS_IR_CANT_INITIALIZE, ce::IDOK);
    EXPECT_FALSE(second.CreateListener());
    ASSERT_EQ(user_.shown().size(), 1u);
    EXPECT_EQ(user_.shown()[0].text,
              u"Unable to initialize Infrared port. Error Code: bind[10048].");
}

}  // namespace
}  // namespace transfer_tests
