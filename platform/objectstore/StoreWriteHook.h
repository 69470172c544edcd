#pragma once
// The test hook that makes object-store writes fail (FailStoreWritesAfter in
// ObjectStore.h).

namespace ce::objectstore {

// True when the write about to be made must fail with ERROR_DISK_FULL.
bool StoreWriteMustFail();
// Counts a write that succeeded.
void CountStoreWrite();

}  // namespace ce::objectstore
