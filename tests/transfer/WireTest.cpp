// The transfer on the wire: what a sender puts there, unit by unit and chunk
// by chunk, and a hostile sender whose units a receiver must refuse without
// crashing and without touching its data.

#include <csignal>

#include "platform/core/Bytes.h"
#include "tests/transfer/BeamFixture.h"
#include "tests/transfer/WirePeer.h"
#include "transfer/TransferUnits.h"

namespace transfer_tests {
namespace {

using namespace transfer;

constexpr const char* kInvalid = "Tessaly: The data received from Infrared Port is invalid.";
constexpr DWORD kText = ce::MakePropID(1, ce::CEVT_LPWSTR);
constexpr DWORD kBlob = ce::MakePropID(2, ce::CEVT_BLOB);

// The test process receives from a devicectl sender.
class SenderOnTheWire : public BeamFixture {
protected:
    std::unique_ptr<BackgroundProcess> SendTo(WirePeer& peer, const std::string& name) {
        EXPECT_TRUE(peer.Listen());
        auto sender = Start(sender_, {"beam", "send", name});
        EXPECT_TRUE(peer.Accept());
        return sender;
    }
};

TEST_F(SenderOnTheWire, ImagesOf4096And4097BytesTravelInOneAndTwoChunks) {
    // One blob property: a 16-byte entry, then the blob's bytes.
    Fill(sender_, "Chunks", {}, {{BlobProperty(2, 4080)}, {BlobProperty(2, 4081)}});
    WirePeer peer;
    auto sender = SendTo(peer, "Chunks");
    auto header = peer.ReadExact(kHeaderSize);
    ASSERT_TRUE(header);
    EXPECT_EQ(ce::LoadU16(header->data() + 72), 2);
    peer.SendCode(XFER_ACK);
    for (DWORD size : {4096u, 4097u}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(peer.ReadCode(), XFER_RECORD);
        peer.SendCode(XFER_ACK);
        auto descriptor = peer.ReadExact(kDescriptorSize);
        ASSERT_TRUE(descriptor);
        EXPECT_EQ(ce::LoadU16(descriptor->data()), 1);
        EXPECT_EQ(ce::LoadU32(descriptor->data() + 8), size);
        peer.SendCode(XFER_ACK);
        // Each chunk waits for its acknowledgement before the next comes.
        std::vector<std::size_t> chunks;
        for (DWORD got = 0; got < size;) {
            std::vector<BYTE> chunk = peer.ReadWhatArrives(size);
            ASSERT_FALSE(chunk.empty());
            chunks.push_back(chunk.size());
            got += static_cast<DWORD>(chunk.size());
            peer.SendCode(XFER_ACK);
        }
        std::vector<std::size_t> expected{4096};
        if (size == 4097)
            expected.push_back(1);
        EXPECT_EQ(chunks, expected);
        // The verdict on the written record.
        peer.SendCode(XFER_ACK);
    }
    EXPECT_EQ(peer.ReadCode(), XFER_END);
    EXPECT_EQ(sender->Wait(30), 0) << sender->output();
}

TEST_F(SenderOnTheWire, ASendTakingOneByteAtATimeStillSendsWholeUnits) {
    Fill(sender_, "Slow", {}, {{"1:TEXT=one byte at a time"}});
    WirePeer peer;
    ASSERT_TRUE(peer.Listen());
    auto sender = Start(sender_, {"beam", "send", "Slow"}, {"TESSALY_IR_SEND_LIMIT=1"});
    ASSERT_TRUE(peer.Accept());
    auto header = peer.ReadExact(kHeaderSize);
    ASSERT_TRUE(header);
    EXPECT_EQ(ce::LoadU16(header->data() + 4), u'S');
    peer.SendCode(XFER_ACK);
    EXPECT_EQ(peer.ReadCode(), XFER_RECORD);
    peer.SendCode(XFER_ACK);
    auto descriptor = peer.ReadExact(kDescriptorSize);
    ASSERT_TRUE(descriptor);
    DWORD size = ce::LoadU32(descriptor->data() + 8);
    peer.SendCode(XFER_ACK);
    EXPECT_TRUE(peer.ReadExact(size));
    peer.SendCode(XFER_ACK);
    peer.SendCode(XFER_ACK);
    EXPECT_EQ(peer.ReadCode(), XFER_END);
    EXPECT_EQ(sender->Wait(30), 0) << sender->output();
}

TEST_F(SenderOnTheWire, ASilentReceiverEndsTheSenderAfterTheSilenceLimit) {
    Fill(sender_, "Quiet", {}, {{"1:TEXT=x"}});
    WirePeer peer;
    ASSERT_TRUE(peer.Listen());
    auto sender = Start(sender_, {"beam", "send", "Quiet"}, {"TESSALY_IR_SILENCE_MS=300"});
    ASSERT_TRUE(peer.Accept());
    ASSERT_TRUE(peer.ReadExact(kHeaderSize));
    peer.SendCode(XFER_ACK);
    EXPECT_EQ(peer.ReadCode(), XFER_RECORD);
    // No acknowledgement ever comes.
    EXPECT_EQ(sender->Wait(30), 1);
    EXPECT_NE(
        sender->output().find("Unable to read data from Infrared port. Error Code: recv[10060]."),
        std::string::npos)
        << sender->output();
    EXPECT_TRUE(peer.Closed());
}

// A hostile sender: the test process sends to a devicectl receiver.
class HostileSender : public BeamFixture {
protected:
    HostileSender() {
        Fill(receiver_, "Kept", {}, {{"1:TEXT=precious"}});
        kept_ = Dump(receiver_, "Kept");
    }

    // Starts the receiver and sends the header of a database of one record.
    void Begin(const char16_t* name = u"Hostile") {
        receiver_process_ = Start(receiver_, {"beam", "receive", "--overwrite"});
        ASSERT_TRUE(WaitForListener());
        ASSERT_TRUE(peer_.ConnectToReceiver());
        ASSERT_TRUE(peer_.Send(HeaderBytes(name, 1)));
        ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
    }

    // Sends a record whose image is `image`, announced as `count` properties
    // of `size` bytes (the image's own size when 0).
    void SendRecord(WORD count, const std::vector<BYTE>& image, DWORD size = 0) {
        ASSERT_TRUE(peer_.SendCode(XFER_RECORD));
        ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
        ASSERT_TRUE(peer_.Send(DescriptorBytes(count, size != 0 ? size : image.size())));
    }

    // The receiver refused: the invalid-data message, XFER_CANCEL to the
    // sender, status 1, and nothing changed on its device.
    void ExpectRefused(const std::string& message = kInvalid) {
        std::optional<DWORD> code = peer_.ReadCode();
        while (code == XFER_ACK)
            code = peer_.ReadCode();
        EXPECT_EQ(code, XFER_CANCEL);
        EXPECT_EQ(receiver_process_->Wait(30), 1);
        EXPECT_NE(receiver_process_->output().find(message), std::string::npos)
            << receiver_process_->output();
        EXPECT_EQ(Dump(receiver_, "Kept"), kept_);
        EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Kept"});
    }

    WirePeer peer_;
    std::unique_ptr<BackgroundProcess> receiver_process_;
    std::string kept_;
};

TEST_F(HostileSender, AWellFormedRecordArrives) {
    Begin();
    std::vector<BYTE> image;
    AppendEntry(image, kText, 32);
    AppendEntry(image, kBlob, 2, 38);
    for (BYTE b : std::initializer_list<BYTE>{'h', 0, 'i', 0, 0, 0, 0xAB, 0xCD})
        image.push_back(b);
    SendRecord(2, image);
    ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
    ASSERT_TRUE(peer_.Send(image));
    EXPECT_EQ(peer_.ReadCode(), XFER_ACK);
    EXPECT_EQ(peer_.ReadCode(), XFER_ACK);
    ASSERT_TRUE(peer_.SendCode(XFER_END));
    EXPECT_EQ(receiver_process_->Wait(30), 0) << receiver_process_->output();
    std::string dump = Dump(receiver_, "Hostile");
    EXPECT_NE(dump.find("\"value\":\"hi\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"value\":\"abcd\""), std::string::npos) << dump;
}

TEST_F(HostileSender, ASizeLargerThanAnyRecordIsRefusedBeforeAnythingArrives) {
    Begin();
    SendRecord(1, {}, 0x7FFFFFF0);
    ExpectRefused();
}

TEST_F(HostileSender, MoreEntriesThanTheImageHoldsAreRefused) {
    Begin();
    SendRecord(3, {}, 32);
    ExpectRefused();
}

struct BadImage {
    const char* name;
    std::vector<BYTE> image;
};

std::vector<BYTE> TextAt(DWORD offset, std::vector<BYTE> tail) {
    std::vector<BYTE> image;
    AppendEntry(image, kText, offset);
    image.insert(image.end(), tail.begin(), tail.end());
    return image;
}

std::vector<BYTE> BlobOf(DWORD count, DWORD offset) {
    std::vector<BYTE> image;
    AppendEntry(image, kBlob, count, offset);
    image.insert(image.end(), {1, 2, 3, 4});
    return image;
}

TEST_F(HostileSender, ImagesWhoseTextsOrBlobsLeaveTheImageAreRefused) {
    const std::vector<BadImage> cases = {
        {"text offset past the end", TextAt(400, {'a', 0, 0, 0})},
        {"text offset inside the entries", TextAt(4, {'a', 0, 0, 0})},
        {"text without its terminator", TextAt(16, {'a', 0, 'b', 0})},
        {"text whose terminator is cut in half", TextAt(16, {'a', 0, 0})},
        {"blob longer than the image", BlobOf(5, 16)},
        {"blob offset past the end", BlobOf(1, 21)},
        {"blob count that wraps the offset", BlobOf(0xFFFFFFFF, 17)},
    };
    for (const BadImage& c : cases) {
        SCOPED_TRACE(c.name);
        Begin();
        SendRecord(1, c.image);
        ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
        ASSERT_TRUE(peer_.Send(c.image));
        ExpectRefused();
        peer_.Close();
    }
}

TEST_F(HostileSender, CodesOutsideTheProtocolEndTheReception) {
    for (DWORD code : {0u, 0x1101u, 0x1103u, 0x1105u, 0x1106u, 0x1109u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(code);
        Begin();
        ASSERT_TRUE(peer_.SendCode(code));
        ExpectRefused();
        peer_.Close();
    }
}

TEST_F(HostileSender, AHeaderWithoutANameOrWithTooManySortOrdersIsRefused) {
    receiver_process_ = Start(receiver_, {"beam", "receive"});
    ASSERT_TRUE(WaitForListener());
    ASSERT_TRUE(peer_.ConnectToReceiver());
    ASSERT_TRUE(peer_.Send(HeaderBytes(u"", 1)));
    ExpectRefused();
    peer_.Close();
    receiver_process_ = Start(receiver_, {"beam", "receive"});
    ASSERT_TRUE(WaitForListener());
    ASSERT_TRUE(peer_.ConnectToReceiver());
    ASSERT_TRUE(peer_.Send(HeaderBytes(u"Sorted", 1, 5)));
    ExpectRefused();
}

TEST_F(HostileSender, ANameOf32UnitsWithoutTerminatorIsCutToADatabaseName) {
    Begin(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    ASSERT_TRUE(peer_.SendCode(XFER_END));
    EXPECT_EQ(receiver_process_->Wait(30), 0) << receiver_process_->output();
    EXPECT_FALSE(Dump(receiver_, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234").empty());
}

TEST_F(HostileSender, ASenderThatClosesInsideAUnitEndsTheReceptionAsAFailedRead) {
    Begin();
    std::vector<BYTE> image = TextAt(16, {'a', 0, 0, 0});
    SendRecord(1, image);
    ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
    // Half the image, then two bytes of a code, then the end of the stream.
    ASSERT_TRUE(peer_.Send({image.begin(), image.begin() + 10}));
    peer_.Close();
    EXPECT_EQ(receiver_process_->Wait(30), 1);
    EXPECT_NE(receiver_process_->output().find(
                  "Unable to read data from Infrared port. Error Code: recv[10054]."),
              std::string::npos)
        << receiver_process_->output();
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Kept"});
}

TEST_F(HostileSender, ASenderThatGoesSilentEndsTheReceptionAfterTheSilenceLimit) {
    receiver_process_ = Start(receiver_, {"beam", "receive"}, {"TESSALY_IR_SILENCE_MS=300"});
    ASSERT_TRUE(WaitForListener());
    ASSERT_TRUE(peer_.ConnectToReceiver());
    ASSERT_TRUE(peer_.Send(HeaderBytes(u"Silent", 1)));
    ASSERT_EQ(peer_.ReadCode(), XFER_ACK);
    ASSERT_TRUE(peer_.Send({0x04, 0x11}));
    EXPECT_EQ(receiver_process_->Wait(30), 1);
    EXPECT_NE(receiver_process_->output().find(
                  "Unable to read data from Infrared port. Error Code: recv[10060]."),
              std::string::npos)
        << receiver_process_->output();
    EXPECT_EQ(Names(receiver_), std::vector<std::string>{"Kept"});
}

}  // namespace
}  // namespace transfer_tests
