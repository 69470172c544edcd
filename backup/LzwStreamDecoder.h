#pragma once
// Decodes one LzwCodec stream piece by piece, for streams whose output is
// too big to hold: it reads the input as it needs it and hands the output
// on as it goes, in memory that does not grow with the stream. It accepts
// and refuses exactly the streams LzwCodec::Decompress does; that one,
// which keeps the whole output to copy its strings from, stays the fast way
// for the small streams of an archive.
//
// This is the classic form of the algorithm: each code is a prefix code and
// a suffix byte, and a string is spelled backwards onto a stack.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/Types.h"

namespace backup {

class LzwStreamDecoder {
public:
    // Fills up to `size` bytes; returns how many (0 at the end of the input).
    using Source = std::function<std::size_t(ce::BYTE* buffer, std::size_t size)>;
    // Takes output bytes; false stops the decoding.
    using Sink = std::function<bool(const ce::BYTE* bytes, std::size_t size)>;

    enum class Result {
        Ok,
        NotAStream,  // no code at all, or a code no encoder writes there
        Stopped,     // the sink refused its bytes
    };

    LzwStreamDecoder();
    ~LzwStreamDecoder();
    LzwStreamDecoder(const LzwStreamDecoder&) = delete;
    LzwStreamDecoder& operator=(const LzwStreamDecoder&) = delete;

    Result Decode(const Source& source, const Sink& sink);

    // Bytes handed to the sink by the last Decode.
    std::uint64_t produced() const { return produced_; }

private:
    class Strings;

    std::unique_ptr<std::uint16_t[]> prefix_;
    std::unique_ptr<ce::BYTE[]> suffix_;
    std::unique_ptr<ce::BYTE[]> stack_;
    std::uint64_t produced_ = 0;
};

}  // namespace backup
