#include "backup/LzwStreamDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "backup/LzwCodeStream.h"

namespace backup {
namespace {

using ce::BYTE;
using lzw::kCodeLimit;
using lzw::kLiterals;
using lzw::kMaxWidth;

// A string is at most one byte longer than the number of codes.
constexpr std::size_t kLongestString = kCodeLimit + 1;
constexpr std::size_t kBufferBytes = 1 << 16;

// Takes the chunks of a stream from the source, through a buffer; each
// chunk is copied out, so that a code can always be loaded as 4 bytes.
class CodeSource {
public:
    explicit CodeSource(const LzwStreamDecoder::Source& source)
        : source_(source), buffer_(kBufferBytes) {}

    bool Exhausted(unsigned width) const { return chunk_.Exhausted(width); }
    std::uint32_t Take(unsigned width) { return chunk_.Take(width); }

    bool NextChunk(unsigned width) {
        std::memset(bytes_, 0, sizeof bytes_);
        std::size_t n = 0;
        while (n < width && Fill()) {
            std::size_t take = std::min<std::size_t>(width - n, end_ - next_);
            std::memcpy(bytes_ + n, buffer_.data() + next_, take);
            next_ += take;
            n += take;
        }
        chunk_.Start(bytes_, n);
        return n != 0;
    }

private:
    // Makes input available; false at its end.
    bool Fill() {
        if (next_ < end_)
            return true;
        next_ = 0;
        end_ = atEnd_ ? 0 : source_(buffer_.data(), buffer_.size());
        atEnd_ = end_ == 0;
        return !atEnd_;
    }

    const LzwStreamDecoder::Source& source_;
    std::vector<BYTE> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    BYTE bytes_[kMaxWidth + 4] = {};
    lzw::CodeChunk chunk_;
};

// Collects output and hands it to the sink a buffer at a time.
class Output {
public:
    Output(const LzwStreamDecoder::Sink& sink, std::uint64_t& produced)
        : sink_(sink), produced_(produced), buffer_(kBufferBytes) {}

    bool Put(const BYTE* bytes, std::size_t n) {
        while (n != 0) {
            if (used_ == kBufferBytes && !Flush())
                return false;
            std::size_t room = std::min(n, kBufferBytes - used_);
            std::memcpy(buffer_.data() + used_, bytes, room);
            used_ += room;
            bytes += room;
            n -= room;
        }
        return true;
    }

    bool Flush() {
        if (used_ == 0)
            return true;
        if (!sink_(buffer_.data(), used_))
            return false;
        produced_ += used_;
        used_ = 0;
        return true;
    }

private:
    const LzwStreamDecoder::Sink& sink_;
    std::uint64_t& produced_;
    std::vector<BYTE> buffer_;
    std::size_t used_ = 0;
};

}  // namespace

// Each string is a prefix code and a suffix byte; a code is spelled by
// following its prefixes, from its last byte to its first.
class LzwStreamDecoder::Strings {
public:
    Strings(LzwStreamDecoder& decoder, Output& output) : decoder_(decoder), output_(output) {}

    bool Literal(BYTE byte) {
        previous_ = byte;
        firstByte_ = byte;
        return output_.Put(&byte, 1);
    }

    bool Code(std::uint32_t code, std::uint32_t nextFree) {
        std::uint16_t* prefix = decoder_.prefix_.get();
        BYTE* suffix = decoder_.suffix_.get();
        // Laid down from the end of the stack, so that it reads forwards.
        BYTE* const end = decoder_.stack_.get() + kLongestString;
        BYTE* top = end;
        std::uint32_t walk = code;
        if (code == nextFree) {
            // The string being defined: the previous one and its own first
            // byte.
            *--top = firstByte_;
            walk = previous_;
        }
        while (walk >= kLiterals) {
            *--top = suffix[walk];
            walk = prefix[walk];
        }
        firstByte_ = static_cast<BYTE>(walk);
        *--top = firstByte_;
        if (nextFree < kCodeLimit) {
            prefix[nextFree] = static_cast<std::uint16_t>(previous_);
            suffix[nextFree] = firstByte_;
        }
        previous_ = code;
        return output_.Put(top, static_cast<std::size_t>(end - top));
    }

private:
    LzwStreamDecoder& decoder_;
    Output& output_;
    std::uint32_t previous_ = 0;
    BYTE firstByte_ = 0;
};

LzwStreamDecoder::LzwStreamDecoder()
    : prefix_(new std::uint16_t[kCodeLimit]),
      suffix_(new BYTE[kCodeLimit]),
      stack_(new BYTE[kLongestString]) {}

LzwStreamDecoder::~LzwStreamDecoder() = default;

LzwStreamDecoder::Result LzwStreamDecoder::Decode(const Source& source, const Sink& sink) {
    produced_ = 0;
    CodeSource codes(source);
    Output output(sink, produced_);
    Strings strings(*this, output);
    switch (lzw::WalkCodes(codes, strings)) {
        case lzw::WalkResult::Ok:
            return output.Flush() ? Result::Ok : Result::Stopped;
        case lzw::WalkResult::Stopped:
            return Result::Stopped;
        case lzw::WalkResult::Corrupt:
            break;
    }
    return Result::NotAStream;
}

}  // namespace backup
