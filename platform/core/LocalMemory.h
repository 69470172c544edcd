#pragma once
// The local heap: blocks that the object store hands out and callers free.

#include "platform/core/Types.h"

namespace ce {

HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Grows or shrinks a block; keeps the contents up to the smaller size.
// Returns nullptr (and leaves the block alone) when memory cannot be had.
HLOCAL LocalReAlloc(HLOCAL block, std::size_t bytes, UINT flags);
// Returns nullptr on success, the block itself on failure.
HLOCAL LocalFree(HLOCAL block);
std::size_t LocalSize(HLOCAL block);

// Makes the next `count` allocations fail, for out-of-memory paths in tests.
void FailNextLocalAllocs(int count);

}  // namespace ce
