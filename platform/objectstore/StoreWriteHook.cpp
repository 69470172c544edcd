#include "platform/objectstore/StoreWriteHook.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/objectstore/ObjectStore.h"

namespace ce::objectstore {
namespace {

// Writes still allowed before they start failing; negative: no limit.
std::atomic<long> allowedWrites{-1};
std::once_flag environmentRead;

void ReadEnvironment() {
    std::call_once(environmentRead, [] {
        const char* value = std::getenv("TESSALY_FAIL_STORE_WRITES_AFTER");
        if (value == nullptr || *value == 0)
            return;
        char* end = nullptr;
        long count = std::strtol(value, &end, 10);
        if (end != value && *end == 0 && count >= 0)
            allowedWrites = count;
    });
}

}  // namespace

bool StoreWriteMustFail() {
    ReadEnvironment();
    return allowedWrites.load() == 0;
}

void CountStoreWrite() {
    long n = allowedWrites.load();
    while (n > 0 && !allowedWrites.compare_exchange_weak(n, n - 1)) {
    }
}

}  // namespace ce::objectstore

namespace ce {

void FailStoreWritesAfter(int writes) {
    objectstore::ReadEnvironment();
    objectstore::allowedWrites = writes;
}

}  // namespace ce
