// The receiving role: wait for a sending device, read the header, decide the
// target name, then write each record as it arrives. The records go into a
// database of a temporary (hidden, system) name, which becomes the target
// only at XFER_END: a transfer that fails or is cancelled leaves an existing
// database as it was and no partial copy. Since nothing relies on the
// temporary database until then, its records are written in a batch of the
// object store, committed whenever the sender keeps the receiver waiting and
// before the rename.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "appcore/Application.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/WinUser.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "platform/shell/Shell.h"
#include "resources/StringIds.h"
#include "resources/TransferIds.h"
#include "transfer/IrdaSocket.h"
#include "transfer/Transfer.h"
#include "transfer/TransferWindow.h"
#include "ui/MessageBoxes.h"

namespace transfer {

using namespace ce;

namespace {

// How long each look for a waiting connection may wait, so that the search
// does not spin.
constexpr int kSearchWaitMs = 20;

class Receiver {
public:
    Receiver(HWND owner, const ReceiveQuestions& questions, SearchLimit limit)
        : owner_(owner), questions_(questions), search_(limit), database_(nullptr) {}

    bool Open();
    // Completed when the database arrived whole and has its name.
    Outcome Run();

private:
    bool Connect();
    bool ReadHeader();
    bool ChooseTarget();
    bool CreateTemporary();
    // The records in a write batch, committed when this returns.
    bool ReceiveRecords();
    bool ReceiveEachRecord();
    // One record after its XFER_RECORD.
    bool ReceiveRecord();
    // Room for an image of `size` bytes and the spare zero bytes after it,
    // kept from record to record; null when memory runs out.
    BYTE* ImageBuffer(DWORD size);
    bool Finish();
    void Refuse() { socket_->SendCode(XFER_CANCEL, IrdaSocket::kAccepted); }
    void Invalid();
    void RemoveTemporary();

    HWND owner_;
    const ReceiveQuestions& questions_;
    SearchLimit search_;
    bool noPeer_ = false;
    TransferWindow window_;
    std::unique_ptr<IrdaSocket> socket_;
    store::Database database_;
    CEDBASEINFO header_{};
    WCHAR target_[store::kDatabaseNameUnits] = {};
    WCHAR temporary_[store::kDatabaseNameUnits] = {};
    bool overwrite_ = false;
    bool created_ = false;
    int counter_ = 1;
    std::unique_ptr<BYTE[]> image_;
    DWORD imageCapacity_ = 0;
};

bool Receiver::Open() {
    return window_.Create(owner_, CaptionText(res::IDS_IR_RECEIVING_CAPTION, nullptr));
}

Outcome Receiver::Run() {
    database_.SetOwner(window_.window());
    socket_ = std::make_unique<IrdaSocket>(window_.window());
    bool succeeded = socket_->CreateListener() && Connect() && ReadHeader() && ChooseTarget() &&
                     CreateTemporary() && ReceiveRecords();
    socket_.reset();
    window_.Destroy();
    database_.Close();
    if (succeeded)
        succeeded = Finish();
    if (!succeeded)
        RemoveTemporary();
    return succeeded ? Outcome::Completed : noPeer_ ? Outcome::NoPeer : Outcome::Failed;
}

bool Receiver::Connect() {
    window_.SetStatus(res::IDS_IR_LOOKING_FOR_SENDER);
    SearchDeadline deadline(search_);
    while (true) {
        if (!window_.Pump())
            return false;
        if (deadline.Passed()) {
            noPeer_ = true;
            return false;
        }
        if (socket_->IsConnectionPending(kSearchWaitMs))
            return socket_->AcceptConnection();
    }
}

void Receiver::Invalid() {
    ui::MessageById(window_.window(), res::IDS_IR_INVALID_DATA, ui::kErrorStyle);
    Refuse();
}

bool Receiver::ReadHeader() {
    if (!window_.Pump()) {
        Refuse();
        return false;
    }
    std::array<BYTE, kHeaderSize> bytes{};
    if (socket_->ReceiveExact(bytes.data(), kHeaderSize) != kHeaderSize) {
        Refuse();
        return false;
    }
    if (!DecodeHeader(bytes, header_, nullptr)) {
        Invalid();
        return false;
    }
    window_.SetStatus(res::IDS_IR_RECEIVING_HEADER);
    window_.StartProgress(header_.wNumRecords + 1);
    return true;
}

bool Receiver::ChooseTarget() {
    auto quiet = database_.QuietErrors();
    const WCHAR* name = header_.szDbaseName;
    if (database_.Open(name) == INVALID_HANDLE_VALUE) {
        CopyWide(target_, WideView(name, store::kDatabaseNameLength));
    } else {
        database_.Close();
        switch (questions_.askExists(name, window_.window())) {
            case ExistsAnswer::Cancel:
                Refuse();
                return false;
            case ExistsAnswer::Rename:
                if (!questions_.askNewName(name, target_, window_.window()) || target_[0] == 0) {
                    Refuse();
                    return false;
                }
                break;
            case ExistsAnswer::Overwrite:
                // The old database goes only when the new one is whole.
                overwrite_ = true;
                CopyWide(target_, WideView(name, store::kDatabaseNameLength));
                break;
        }
    }
    window_.SetCaption(res::IDS_IR_RECEIVING_CAPTION, target_);
    return true;
}

bool Receiver::CreateTemporary() {
    CEDBASEINFO info = header_;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[store::kDatabaseNameUnits];
        std::snprintf(name, sizeof name, "\\Receiving %08x.%d", static_cast<unsigned>(::getpid()),
                      attempt);
        CopyWide(temporary_, Utf8ToWide(name));
        auto quiet = database_.QuietErrors();
        if (database_.Create(temporary_, info) != INVALID_HANDLE_VALUE) {
            created_ = true;
            break;
        }
        if (GetLastError() != ERROR_DUP_NAME)
            break;
    }
    if (!created_) {
        // Reported under the name the user knows.
        database_.ReportError(res::IDS_CANT_CREATE_DB, target_);
        Refuse();
        return false;
    }
    window_.Step();
    return socket_->SendCode(XFER_ACK, IrdaSocket::kAccepted);
}

bool Receiver::ReceiveRecords() {
    StoreWriteBatch batch;
    // A sender that keeps us waiting, for a moment or for its user, must not
    // keep other processes from writing meanwhile.
    socket_->SetWhileWaiting([] { CommitStoreWriteBatch(); });
    bool received = ReceiveEachRecord();
    socket_->SetWhileWaiting({});
    // The records are all committed before anything looks for them under
    // the target's name; after a failure they go with the temporary name.
    bool committed = batch.End();
    if (!received)
        return false;
    if (!committed) {
        database_.ReportError(res::IDS_CANT_WRITE_RECORD);
        return false;
    }
    return true;
}

bool Receiver::ReceiveEachRecord() {
    while (true) {
        if (!window_.Pump()) {
            Refuse();
            return false;
        }
        bool stopped = false;
        DWORD code = socket_->ReceiveCode(
            IrdaSocket::kAccepted, [this] { return window_.Pump(); }, &stopped);
        if (stopped) {
            Refuse();
            return false;
        }
        switch (code) {
            case XFER_ACK:
                break;
            case XFER_RECORD:
                if (!ReceiveRecord())
                    return false;
                break;
            case XFER_END:
                return true;
            case XFER_CANCEL:
                RemoveTemporary();
                ui::MessageById(window_.window(), res::IDS_IR_CANCELLED_BY_HOST, ui::kErrorStyle);
                return false;
            default:
                Invalid();
                return false;
        }
    }
}

bool Receiver::ReceiveRecord() {
    if (!socket_->SendCode(XFER_ACK, IrdaSocket::kAccepted))
        return false;
    std::array<BYTE, kDescriptorSize> bytes{};
    if (socket_->ReceiveExact(bytes.data(), kDescriptorSize) != kDescriptorSize) {
        Refuse();
        return false;
    }
    RecordDescriptor descriptor;
    if (!DecodeDescriptor(bytes, descriptor, nullptr)) {
        Invalid();
        return false;
    }
    window_.SetStatus(res::IDS_IR_RECEIVING_RECORD, counter_++, header_.wNumRecords);
    BYTE* image = ImageBuffer(descriptor.size);
    if (image == nullptr) {
        SHShowOutOfMemory(window_.window(), 0);
        Refuse();
        return false;
    }
    if (!socket_->SendCode(XFER_ACK, IrdaSocket::kAccepted))
        return false;
    DWORD received = 0;
    while (received < descriptor.size) {
        int chunk = static_cast<int>(std::min<DWORD>(descriptor.size - received, kChunkSize));
        if (socket_->ReceiveExact(image + received, chunk) != chunk)
            return false;
        received += static_cast<DWORD>(chunk);
        if (!socket_->SendCode(XFER_ACK, IrdaSocket::kAccepted))
            return false;
    }
    if (!CheckRecordImage(image, descriptor.size, descriptor.count, nullptr)) {
        Invalid();
        return false;
    }
    store::RecordBuffer record;
    record.count = descriptor.count;
    record.size = descriptor.size;
    record.buffer = image;
    CEOID written = database_.WriteRecordRelative(0, record);
    window_.Step();
    if (written == 0) {
        Refuse();
        return false;
    }
    return socket_->SendCode(XFER_ACK, IrdaSocket::kAccepted);
}

BYTE* Receiver::ImageBuffer(DWORD size) {
    // DecodeDescriptor has bounded `size` by the largest record image.
    DWORD needed = size + kSpareBytes;
    if (needed > imageCapacity_) {
        image_.reset(new (std::nothrow) BYTE[needed]);
        imageCapacity_ = image_ ? needed : 0;
        if (!image_)
            return nullptr;
    }
    // The image's own bytes all arrive before anything reads them.
    std::fill_n(image_.get() + size, kSpareBytes, BYTE{0});
    return image_.get();
}

bool Receiver::Finish() {
    store::Database database(owner_);
    if (overwrite_ && !database.DeleteDatabase(target_))
        return false;
    CEOID identifier = 0;
    {
        auto quiet = database.QuietErrors();
        if (database.Open(temporary_) == INVALID_HANDLE_VALUE)
            return false;
        identifier = database.identifier();
        database.Close();
    }
    CEDBASEINFO info{};
    info.dwFlags = CEDB_VALIDNAME;
    CopyWide(info.szDbaseName, WideView(target_, store::kDatabaseNameLength));
    if (!database.SetInfo(identifier, info))
        return false;
    created_ = false;
    return true;
}

void Receiver::RemoveTemporary() {
    if (!created_)
        return;
    database_.Close();
    store::Database database;
    database.SetReportErrors(false);
    if (database.DeleteDatabase(temporary_))
        created_ = false;
}

}  // namespace

Outcome ReceiveDatabase(HWND owner, const ReceiveQuestions& questions, SearchLimit limit) {
    Receiver receiver(owner, questions, limit);
    if (!receiver.Open())
        return Outcome::NotStarted;
    Outcome outcome = receiver.Run();
    if (outcome == Outcome::Completed)
        ui::MessageById(owner, res::IDS_IR_COMPLETED, MB_OK | MB_ICONINFORMATION);
    return outcome;
}

}  // namespace transfer
