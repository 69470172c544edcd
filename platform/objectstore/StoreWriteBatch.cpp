#include "platform/objectstore/StoreWriteBatch.h"

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/device/Volume.h"

namespace ce {

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
    if (!open_)
        return true;
    DWORD error = device::AccessVolume([&](device::Volume& volume) -> DWORD {
        // A volume opened again since holds none of the batch's writes.
        if (volume.serial() != serial_)
            return ERROR_INVALID_HANDLE;
        return volume.CommitWriteBatch();
    });
    if (error == ERROR_SUCCESS)
        return true;
    SetLastError(error);
    return false;
}

bool StoreWriteBatch::End() {
    if (!open_)
        return true;
    open_ = false;
    DWORD error = device::AccessVolume([&](device::Volume& volume) -> DWORD {
        if (volume.serial() != serial_)
            return ERROR_INVALID_HANDLE;
        return volume.EndWriteBatch();
    });
    lock_.unlock();
    if (error == ERROR_SUCCESS)
        return true;
    SetLastError(error);
    return false;
}

void CommitStoreWriteBatch() {
    device::CommitPendingWriteBatch();
}

}  // namespace ce
