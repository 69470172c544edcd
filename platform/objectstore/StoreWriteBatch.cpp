#include "platform/objectstore/StoreWriteBatch.h"

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/device/Volume.h"

namespace ce {

namespace {

// Runs `step` on the volume the batch began on; a volume opened again since
// holds none of the batch's writes. True on success, else the last error set.
template <class Step>
bool OnBatchVolume(std::uint64_t serial, Step step) {
    DWORD error = device::AccessVolume([&](device::Volume& volume) -> DWORD {
        return volume.serial() == serial ? step(volume) : ERROR_INVALID_HANDLE;
    });
    if (error == ERROR_SUCCESS)
        return true;
    SetLastError(error);
    return false;
}

}  // namespace

StoreWriteBatch::StoreWriteBatch() : lock_(device::LockVolume()) {
    // A volume that cannot be opened makes the writes fail on their own.
    open_ = device::AccessVolume([&](device::Volume& volume) -> DWORD {
                serial_ = volume.serial();
                volume.BeginWriteBatch();
                return ERROR_SUCCESS;
            }) == ERROR_SUCCESS;
}

StoreWriteBatch::~StoreWriteBatch() {
    End();
}

bool StoreWriteBatch::Commit() {
    return !open_ ||
           OnBatchVolume(serial_, [](device::Volume& volume) { return volume.CommitWriteBatch(); });
}

bool StoreWriteBatch::End() {
    if (!open_)
        return true;
    open_ = false;
    bool ended =
        OnBatchVolume(serial_, [](device::Volume& volume) { return volume.EndWriteBatch(); });
    lock_.unlock();
    return ended;
}

void CommitStoreWriteBatch() {
    device::CommitPendingWriteBatch();
}

}  // namespace ce
