#include "platform/core/LocalMemory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"

namespace ce {
namespace {

// Each block carries its size in a header so that LocalSize and LocalReAlloc
// work like the platform's.
struct alignas(std::max_align_t) BlockHeader {
    std::size_t size;
};

std::atomic<int> failingAllocs{0};

bool ShouldFail() {
    int n = failingAllocs.load();
    while (n > 0) {
        if (failingAllocs.compare_exchange_weak(n, n - 1))
            return true;
    }
    return false;
}

BlockHeader* HeaderOf(HLOCAL block) {
    return static_cast<BlockHeader*>(block) - 1;
}

}  // namespace

void FailNextLocalAllocs(int count) {
    failingAllocs = count;
}

HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
    if (ShouldFail()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (header == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->size = bytes;
    if (flags & LMEM_ZEROINIT)
        std::memset(header + 1, 0, bytes);
    return header + 1;
}

HLOCAL LocalReAlloc(HLOCAL block, std::size_t bytes, UINT flags) {
    if (block == nullptr)
        return LocalAlloc(flags, bytes);
    if (ShouldFail()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::size_t old = HeaderOf(block)->size;
    auto* header =
        static_cast<BlockHeader*>(std::realloc(HeaderOf(block), sizeof(BlockHeader) + bytes));
    if (header == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->size = bytes;
    if ((flags & LMEM_ZEROINIT) && bytes > old) {
        std::memset(reinterpret_cast<BYTE*>(header + 1) + old, 0, bytes - old);
    }
    return header + 1;
}

HLOCAL LocalFree(HLOCAL block) {
    if (block != nullptr)
        std::free(HeaderOf(block));
    return nullptr;
}

std::size_t LocalSize(HLOCAL block) {
    return block == nullptr ? 0 : HeaderOf(block)->size;
}

}  // namespace ce
