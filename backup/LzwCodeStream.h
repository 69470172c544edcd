#pragma once
// The grammar of a code stream, which both decoders follow: LzwCodec, which
// keeps its whole output and copies strings out of it, and LzwStreamDecoder,
// which hands its output on as it goes. How codes are taken from the
// stream, when the code width grows, what CLEAR does and which code may
// stand where is decided here; what a code spells is the decoder's.

#include <algorithm>
#include <cstdint>

#include "platform/core/Bytes.h"
#include "platform/core/Types.h"

namespace backup::lzw {

constexpr unsigned kFirstWidth = 9;
constexpr unsigned kMaxWidth = 16;
constexpr std::uint32_t kLiterals = 256;
constexpr std::uint32_t kClear = 256;
constexpr std::uint32_t kFirstFree = 257;
constexpr std::uint32_t kCodeLimit = 65536;  // no code reaches it

constexpr std::uint32_t LargestCode(unsigned width) {
    return width == kMaxWidth ? kCodeLimit : (std::uint32_t{1} << width) - 1;
}

// One chunk of the stream: `width` bytes (fewer at the end), holding as many
// whole codes as fit. A code is loaded as 4 bytes, so the chunk must be
// readable 4 bytes past its end.
class CodeChunk {
public:
    void Start(const ce::BYTE* chunk, std::size_t bytes) {
        chunk_ = chunk;
        position_ = 0;
        bits_ = static_cast<unsigned>(bytes * 8);
    }
    bool Exhausted(unsigned width) const { return position_ + width > bits_; }
    std::uint32_t Take(unsigned width) {
        std::uint32_t bits = ce::LoadU32(chunk_ + position_ / 8) >> (position_ % 8);
        position_ += width;
        return bits & ((std::uint32_t{1} << width) - 1);
    }

private:
    const ce::BYTE* chunk_ = nullptr;
    unsigned position_ = 0;
    unsigned bits_ = 0;
};

enum class WalkResult {
    Ok,
    Corrupt,  // no code at all, or a code that cannot stand where it does
    Stopped,  // the decoder stopped the walk
};

// Walks every code of a stream. `Reader` has NextChunk(width) (false at the
// end of the input), Exhausted(width) and Take(width) as CodeChunk has.
// `Decoder` has Literal(byte), called for the first code and for the one
// after each CLEAR, and Code(code, nextFree) for every other: `code` is at
// most `nextFree`, and equal to it when it is the string being defined by
// this very step (the previous string plus its own first byte); the new
// string goes to `nextFree` unless that is kCodeLimit. Both return false to
// stop the walk.
template <class Reader, class Decoder>
WalkResult WalkCodes(Reader& reader, Decoder& decoder) {
    unsigned width = kFirstWidth;
    std::uint32_t largestCode = LargestCode(width);
    std::uint32_t nextFree = kFirstFree;
    bool newChunk = true;
    // Absent at the start and after a CLEAR, when the next code must be a
    // literal.
    bool havePrevious = false;
    bool anyCode = false;
    for (;;) {
        if (newChunk || reader.Exhausted(width)) {
            if (!reader.NextChunk(width) || reader.Exhausted(width))
                break;
            newChunk = false;
        }
        std::uint32_t code = reader.Take(width);
        if (code == kClear) {
            // Only an encoder with something to forget writes a CLEAR.
            if (!havePrevious)
                return WalkResult::Corrupt;
            nextFree = kFirstFree;
            havePrevious = false;
            width = kFirstWidth;
            largestCode = LargestCode(width);
            newChunk = true;
            continue;
        }
        if (!havePrevious) {
            // A stream and a new dictionary start with a literal.
            if (code >= kLiterals)
                return WalkResult::Corrupt;
            if (!decoder.Literal(static_cast<ce::BYTE>(code)))
                return WalkResult::Stopped;
            havePrevious = anyCode = true;
            continue;
        }
        if (code > nextFree)
            return WalkResult::Corrupt;
        if (!decoder.Code(code, nextFree))
            return WalkResult::Stopped;
        if (nextFree < kCodeLimit)
            ++nextFree;
        if (nextFree > largestCode) {
            width = std::min(width + 1, kMaxWidth);
            largestCode = LargestCode(width);
            newChunk = true;
        }
    }
    return anyCode ? WalkResult::Ok : WalkResult::Corrupt;
}

}  // namespace backup::lzw
