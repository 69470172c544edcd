#pragma once
// Lets many object-store writes share transactions, so that filling a
// database with thousands of records pays a commit per thousand records
// instead of one per record. While the batch lives, the writes of this
// process (CeWriteRecordProps, CeCreateDatabase, ...) each stay all or
// nothing, but other processes see them only as the batch commits, in
// steps (the volume's write batches, Volume.h, say when). So a batch is for
// writes that may become visible in any number of steps, such as filling a
// database that nothing relies on until it is complete. The batch holds the
// volume for its thread while it lives.

#include <cstdint>
#include <mutex>

#include "platform/core/Types.h"

namespace ce {

class StoreWriteBatch {
public:
    StoreWriteBatch();
    // Ends the batch if End was not called; its result is then lost.
    ~StoreWriteBatch();
    StoreWriteBatch(const StoreWriteBatch&) = delete;
    StoreWriteBatch& operator=(const StoreWriteBatch&) = delete;

    // Commits what the batch holds. False, with the last error set, when
    // writes of the batch that had succeeded were lost (a commit that failed,
    // a full store that ended the transaction, the volume closed meanwhile):
    // the batch then refuses every further write with that error.
    bool Commit();
    // Commits and ends the batch, with Commit's result; later calls return
    // true.
    bool End();

private:
    std::unique_lock<std::recursive_mutex> lock_;
    std::uint64_t serial_ = 0;
    bool open_ = false;
};

// Commits the writes a batch of this process holds, if any. The program
// calls it before it waits for the user (a message box), so that no other
// process waits for the user's answer to write.
void CommitStoreWriteBatch();

}  // namespace ce
