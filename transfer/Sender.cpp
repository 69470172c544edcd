// The sending role: connect to the receiving device, send the database's
// header, then each readable record (its code, descriptor and image in
// chunks), each unit acknowledged, and XFER_END.

#include <algorithm>

#include "appcore/Application.h"
#include "platform/gui/WinUser.h"
#include "platform/shell/Shell.h"
#include "platform/time/Time.h"
#include "resources/TransferIds.h"
#include "transfer/IrdaSocket.h"
#include "transfer/Transfer.h"
#include "transfer/TransferWindow.h"
#include "ui/MessageBoxes.h"

namespace transfer {

using namespace ce;

namespace {

// The least pause between connection attempts, so that a pace of 0 does not
// turn the search into a busy loop over the room.
constexpr int kLeastRetryPauseMs = 10;

class Sender {
public:
    Sender(store::Database& database, const CEDBASEINFO& info, SearchLimit limit)
        : database_(database), info_(info), search_(limit) {}

    // Shows the transfer window; false when it cannot be made.
    bool Open(HWND owner);
    // Completed when XFER_END went out.
    Outcome Run();

private:
    bool Connect();
    bool SendRecords();
    bool SendRecord(store::RecordBuffer& record);
    // Waits for XFER_ACK. XFER_CANCEL or a failed read ends the transfer
    // with "Transfer has been cancelled by host machine."; a Cancel the user
    // confirmed meanwhile ends it without a message.
    bool Acknowledged(bool bounded = true);
    bool Paced() { return window_.PacedPump(pace_); }

    store::Database& database_;
    const CEDBASEINFO& info_;
    TransferWindow window_;
    std::unique_ptr<IrdaSocket> socket_;
    SearchLimit search_;
    bool noPeer_ = false;
    int pace_ = PaceMilliseconds();
    int counter_ = 1;
};

bool Sender::Open(HWND owner) {
    return window_.Create(owner, CaptionText(res::IDS_IR_SENDING_CAPTION, info_.szDbaseName));
}

Outcome Sender::Run() {
    socket_ = std::make_unique<IrdaSocket>(window_.window());
    bool succeeded = socket_->CreateClient() && Connect() && SendRecords();
    socket_.reset();
    window_.Destroy();
    return succeeded ? Outcome::Completed : noPeer_ ? Outcome::NoPeer : Outcome::Failed;
}

bool Sender::Connect() {
    window_.SetStatus(res::IDS_IR_LOOKING_FOR_RECEIVER);
    SearchDeadline deadline(search_);
    while (true) {
        if (!window_.Pump())
            return false;
        if (deadline.Passed()) {
            noPeer_ = true;
            return false;
        }
        int result = socket_->TryConnect();
        if (result == 0)
            return true;
        if (result < 0)
            return false;
        Sleep(static_cast<DWORD>(std::max(pace_, kLeastRetryPauseMs)));
    }
}

bool Sender::Acknowledged(bool bounded) {
    bool stopped = false;
    DWORD code = 0;
    do {
        if (!window_.Pump()) {
            stopped = true;
            break;
        }
        code = socket_->ReceiveCode(
            IrdaSocket::kPrimary, [this] { return window_.Pump(); }, &stopped, bounded);
    } while (!stopped && code != XFER_ACK && code != XFER_CANCEL);
    if (!stopped && code == XFER_ACK)
        return true;
    // Our own user's confirmed Cancel ends the transfer without a word, as it
    // does at every other step; only the other side's refusal or a failed
    // read is the host's cancel.
    if (!stopped)
        ui::MessageById(window_.window(), res::IDS_IR_CANCELLED_BY_HOST, ui::kErrorStyle);
    return false;
}

bool Sender::SendRecords() {
    window_.SetStatus(res::IDS_IR_SENDING_HEADER);
    window_.StartProgress(info_.wNumRecords + 1);
    std::array<BYTE, kHeaderSize> header = EncodeHeader(info_);
    if (socket_->SendBytes(header.data(), kHeaderSize) < 0)
        return false;
    // The other device's user may be deciding what to do with a name that
    // exists there: this wait has no silence limit, only Cancel.
    if (!Acknowledged(false))
        return false;
    window_.Step();

    auto quiet = database_.QuietErrors();
    DWORD index = 0;
    bool found = database_.SeekFirst(index);
    while (found) {
        store::RecordBuffer record;
        // A record that cannot be read is left out; the others still go.
        if (database_.ReadRecordRelative(record) != 0) {
            bool sent = SendRecord(record);
            record.Release();
            if (!sent)
                return false;
        }
        found = database_.SeekNext(index);
        ++counter_;
    }
    Paced();
    return socket_->SendCode(XFER_END, IrdaSocket::kPrimary);
}

bool Sender::SendRecord(store::RecordBuffer& record) {
    window_.SetStatus(res::IDS_IR_SENDING_RECORD, counter_, info_.wNumRecords);
    if (!Paced() || !socket_->SendCode(XFER_RECORD, IrdaSocket::kPrimary) || !Acknowledged())
        return false;
    RecordDescriptor descriptor;
    descriptor.count = record.count;
    descriptor.size = record.size;
    descriptor.address = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(record.buffer));
    std::array<BYTE, kDescriptorSize> bytes = EncodeDescriptor(descriptor);
    if (!Paced() || socket_->SendBytes(bytes.data(), kDescriptorSize) < 0 || !Acknowledged())
        return false;
    DWORD position = 0;
    while (position < record.size) {
        int chunk = static_cast<int>(std::min<DWORD>(record.size - position, kChunkSize));
        if (!Paced())
            return false;
        int sent = socket_->SendBytes(record.buffer + position, chunk);
        if (sent < 0 || !Acknowledged())
            return false;
        position += static_cast<DWORD>(sent);
    }
    window_.Step();
    // The receiver's verdict on writing the record.
    return Acknowledged();
}

}  // namespace

Outcome SendDatabase(HWND owner, const WCHAR* name, SearchLimit limit) {
    store::Database database(owner);
    CEDBASEINFO info{};
    if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info))
        return Outcome::NotStarted;
    if (info.wNumRecords == 0) {
        ui::MessageByIdWith(owner, res::IDS_IR_EMPTY_DATABASE, name, ui::kErrorStyle);
        return Outcome::NotStarted;
    }
    Sender sender(database, info, limit);
    if (!sender.Open(owner))
        return Outcome::NotStarted;
    Outcome outcome = sender.Run();
    if (outcome == Outcome::Completed)
        ui::MessageById(owner, res::IDS_IR_COMPLETED, MB_OK | MB_ICONINFORMATION);
    database.Close();
    return outcome;
}

}  // namespace transfer
