#include "backup/LzwCodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "backup/LzwCodeStream.h"
#include "platform/core/Bytes.h"

namespace backup {
namespace {

using ce::BYTE;

using lzw::kClear;
using lzw::kCodeLimit;
using lzw::kFirstFree;
using lzw::kFirstWidth;
using lzw::kLiterals;
using lzw::kMaxWidth;
using lzw::LargestCode;

constexpr std::uint32_t kTableSize = 69001;  // prime, so every probe sequence visits every entry
constexpr std::uint64_t kCheckGap = 50000;
constexpr std::uint64_t kFirstInputCount = 1;
constexpr std::uint64_t kFirstOutputCount = 3;  // the ".Z" header we do not write
constexpr std::uint32_t kKeyMask = 0xFFFFFF;    // (byte << 16) + prefix fits 24 bits
constexpr std::size_t kFirstOutputCapacity = 4096;
// A buffer bigger than this is not kept for the next call.
constexpr std::size_t kKeptOutputCapacity = std::size_t{1} << 20;

// The lookup table of a full dictionary: twice the codes it can hold, each
// slot (key + 1) << 16 | code, 0 when empty.
constexpr std::uint32_t kFullTableBits = 17;
constexpr std::uint32_t kFullTableSize = std::uint32_t{1} << kFullTableBits;

inline std::uint32_t FullSlot(std::uint32_t key) {
    return (key * 2654435761u) >> (32 - kFullTableBits);
}

// Compression ratio as the ".Z" tools measure it, 8 bits of fraction.
std::int64_t Ratio(std::uint64_t inputCount, std::uint64_t outputCount) {
    if (inputCount < 0x800000) {
        return static_cast<std::int64_t>((inputCount << 8) / outputCount);
    }
    std::uint64_t divisor = outputCount >> 8;
    if (divisor == 0)
        return 0x7FFFFFFF;
    return static_cast<std::int64_t>(inputCount / divisor);
}

// Takes the chunks of a stream straight from the input; a chunk with fewer
// than 4 input bytes after it is copied into a zero-padded buffer first, so
// that no read goes past the input.
class CodeReader {
public:
    CodeReader(const BYTE* bytes, std::size_t length) : bytes_(bytes), length_(length) {}

    bool Exhausted(unsigned width) const { return chunk_.Exhausted(width); }
    std::uint32_t Take(unsigned width) { return chunk_.Take(width); }

    bool NextChunk(unsigned width) {
        if (next_ >= length_)
            return false;
        std::size_t n = std::min<std::size_t>(width, length_ - next_);
        if (length_ - next_ >= n + 4) {
            chunk_.Start(bytes_ + next_, n);
        } else {
            std::memset(tail_, 0, sizeof tail_);
            std::memcpy(tail_, bytes_ + next_, n);
            chunk_.Start(tail_, n);
        }
        next_ += n;
        return true;
    }

private:
    const BYTE* bytes_;
    std::size_t length_;
    std::size_t next_ = 0;
    lzw::CodeChunk chunk_;
    BYTE tail_[kMaxWidth + 4];
};

}  // namespace

void LzwCodec::FreeDeleter::operator()(BYTE* p) const {
    std::free(p);
}

// Packs codes least significant bit first. Eight codes of the current width
// make one group of `width` bytes; at a width change an unfinished group is
// completed with zero bits, so the reader, which takes whole groups, stays in
// step. Bits collect in a 64-bit accumulator and leave it 32 at a time.
class LzwCodec::CodeWriter {
public:
    explicit CodeWriter(LzwCodec& codec)
        : codec_(codec), out_(codec.output_.get()), capacity_(codec.outputCapacity_) {}

    unsigned Width() const { return width_; }
    std::uint64_t OutputCount() const { return outputCount_; }

    bool Put(std::uint32_t code) {
        if (!Room())
            return false;
        accumulator_ |= static_cast<std::uint64_t>(code) << bits_;
        bits_ += width_;
        Drain();
        if (++codesInGroup_ == 8) {
            codesInGroup_ = 0;
            outputCount_ += width_;
        }
        return true;
    }

    // Ends the current group (padding it to its full size) and switches to
    // the next width, or back to the first one after a CLEAR.
    bool ChangeWidth(bool afterClear) {
        if (codesInGroup_ != 0) {
            if (!Room())
                return false;
            unsigned padding = (8 - codesInGroup_) * width_;
            codesInGroup_ = 0;
            outputCount_ += width_;
            while (padding != 0) {
                unsigned step = std::min(padding, 32u);
                bits_ += step;
                padding -= step;
                Drain();
            }
        }
        width_ = afterClear ? kFirstWidth : width_ + 1;
        return true;
    }

    // Writes the bytes that hold bits of the unfinished group; returns the
    // stream length.
    std::size_t Finish() {
        while (bits_ > 0) {
            out_[length_++] = static_cast<BYTE>(accumulator_);
            accumulator_ >>= 8;
            bits_ = bits_ > 8 ? bits_ - 8 : 0;
        }
        return length_;
    }

private:
    // Enough for one code plus a group's padding.
    static constexpr std::size_t kSlack = 32;

    bool Room() {
        if (length_ + kSlack <= capacity_)
            return true;
        if (!codec_.ReserveOutput(length_ + kSlack))
            return false;
        out_ = codec_.output_.get();
        capacity_ = codec_.outputCapacity_;
        return true;
    }

    void Drain() {
        if (bits_ >= 32) {
            ce::StoreU32(out_ + length_, static_cast<std::uint32_t>(accumulator_));
            length_ += 4;
            accumulator_ >>= 32;
            bits_ -= 32;
        }
    }

    LzwCodec& codec_;
    BYTE* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    std::uint64_t accumulator_ = 0;
    unsigned bits_ = 0;
    unsigned width_ = kFirstWidth;
    unsigned codesInGroup_ = 0;
    std::uint64_t outputCount_ = kFirstOutputCount;
};

LzwCodec::LzwCodec() = default;
LzwCodec::~LzwCodec() = default;

bool LzwCodec::AllocateWorkArea() {
    if (table_ && keys_ && codes_ && fullTable_)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        table_.reset(new (std::nothrow) std::uint64_t[kTableSize]);
        keys_.reset(new (std::nothrow) std::uint32_t[kTableSize]);
        codes_.reset(new (std::nothrow) std::uint16_t[kTableSize]);
        fullTable_.reset(new (std::nothrow) std::uint64_t[kFullTableSize]);
        if (table_ && keys_ && codes_ && fullTable_) {
            generation_ = 0;
            return true;
        }
        table_.reset();
        keys_.reset();
        codes_.reset();
        fullTable_.reset();
    }
    return false;
}

void LzwCodec::SetOutputLimit(std::size_t bytes) {
    outputLimit_ = std::min(bytes, kMaxOutputLimit);
}

bool LzwCodec::StartOutput(std::size_t expected) {
    outputLength_ = 0;
    if (outputCapacity_ > kKeptOutputCapacity) {
        output_.reset();
        outputCapacity_ = 0;
    }
    return ReserveOutput(std::max(expected, kFirstOutputCapacity));
}

// Grows the output buffer geometrically so that it holds at least `needed`.
bool LzwCodec::ReserveOutput(std::size_t needed) {
    if (needed <= outputCapacity_)
        return true;
    std::size_t capacity = std::max(needed, outputCapacity_ + outputCapacity_ / 2);
    auto* grown = static_cast<BYTE*>(std::realloc(output_.get(), capacity));
    if (grown == nullptr)
        return false;
    output_.release();
    output_.reset(grown);
    outputCapacity_ = capacity;
    return true;
}

// Empties the compressor's dictionary: entries of older generations count as
// empty, so only every 255th start (or the first after a decompression)
// clears the table for real.
void LzwCodec::StartHashGeneration() {
    if (generation_ == 0 || generation_ == 255) {
        std::memset(keys_.get(), 0, kTableSize * sizeof keys_[0]);
        generation_ = 1;
    } else {
        ++generation_;
    }
}

// Copies the live entries of the full dictionary into the lookup table used
// until the next CLEAR.
void LzwCodec::BuildFullDictionary() {
    std::uint64_t* full = fullTable_.get();
    std::memset(full, 0, kFullTableSize * sizeof full[0]);
    std::uint32_t stamp = generation_ << 24;
    for (std::uint32_t i = 0; i < kTableSize; ++i) {
        std::uint32_t key = keys_[i] - stamp;
        if (key > kKeyMask)
            continue;
        std::uint32_t slot = FullSlot(key);
        while (full[slot] != 0)
            slot = (slot + 1) & (kFullTableSize - 1);
        full[slot] = (static_cast<std::uint64_t>(key + 1) << 16) | codes_[i];
    }
}

bool LzwCodec::Compress(const BYTE* bytes, std::size_t length) {
    codesWritten_ = 0;
    outputOffset_ = 0;
    if (!AllocateWorkArea() || !StartOutput(length / 2 + 64)) {
        outputLength_ = 0;
        return false;
    }
    if (length == 0)
        return true;

    StartHashGeneration();
    std::uint32_t* keys = keys_.get();
    std::uint16_t* codes = codes_.get();
    std::uint32_t stamp = generation_ << 24;

    CodeWriter writer(*this);
    std::uint32_t nextFree = kFirstFree;
    std::uint32_t largestCode = LargestCode(kFirstWidth);
    std::uint64_t checkpoint = kCheckGap;
    std::int64_t ratio = 0;
    std::uint64_t codesWritten = 0;

    // After each code the width grows once the next free code no longer
    // fits, and drops back to 9 bits after a CLEAR.
    auto grow = [&writer, &largestCode](bool afterClear) {
        if (!writer.ChangeWidth(afterClear))
            return false;
        largestCode = LargestCode(writer.Width());
        return true;
    };

    std::uint32_t prefix = bytes[0];
    std::size_t position = 1;
    while (position < length) {
        // Filling the dictionary.
        for (; position < length; ++position) {
            std::uint32_t c = bytes[position];
            // On a miss the next string starts with this byte: fetch the
            // entry the next lookup then begins at.
            if (position + 1 < length)
                __builtin_prefetch(&keys[(std::uint32_t{bytes[position + 1]} << 8) ^ c]);
            std::uint32_t entry = stamp + (c << 16) + prefix;
            std::uint32_t i = (c << 8) ^ prefix;
            std::uint32_t held = keys[i];
            if (held == entry) {
                prefix = codes[i];
                continue;
            }
            if (held - stamp <= kKeyMask) {
                // Occupied by another string: probe with a fixed step. A live
                // entry holding key 0 ends the probe as a miss, like an empty
                // one, and the new string then takes its place.
                std::uint32_t step = i == 0 ? 1 : kTableSize - i;
                bool found = false;
                for (;;) {
                    i = i >= step ? i - step : i + kTableSize - step;
                    held = keys[i];
                    if (held == entry) {
                        found = true;
                        break;
                    }
                    if (held - stamp - 1 >= kKeyMask)
                        break;
                }
                if (found) {
                    prefix = codes[i];
                    continue;
                }
            }
            ++codesWritten;
            if (!writer.Put(prefix) || (nextFree > largestCode && !grow(false)))
                return false;
            prefix = c;
            keys[i] = entry;
            codes[i] = static_cast<std::uint16_t>(nextFree++);
            if (nextFree == kCodeLimit) {
                ++position;
                break;
            }
        }
        if (position >= length)
            break;

        // The dictionary is full and nothing more is entered until a CLEAR,
        // so only which strings it holds matters any more, not where: look
        // them up in a half-empty table instead of probing one 95% full.
        BuildFullDictionary();
        const std::uint64_t* full = fullTable_.get();
        for (; position < length; ++position) {
            std::uint32_t c = bytes[position];
            if (position + 1 < length)
                __builtin_prefetch(&full[FullSlot((std::uint32_t{bytes[position + 1]} << 16) + c)]);
            std::uint32_t key = (c << 16) + prefix;
            std::uint32_t first = (c << 8) ^ prefix;
            if (keys[first] == stamp + key) {
                prefix = codes[first];
                continue;
            }
            std::uint64_t tag = static_cast<std::uint64_t>(key + 1) << 16;
            std::uint32_t slot = FullSlot(key);
            std::uint64_t held;
            while ((held = full[slot]) != 0 && (held & ~std::uint64_t{0xFFFF}) != tag) {
                slot = (slot + 1) & (kFullTableSize - 1);
            }
            if (held != 0) {
                prefix = static_cast<std::uint32_t>(held & 0xFFFF);
                continue;
            }
            ++codesWritten;
            if (!writer.Put(prefix))
                return false;
            prefix = c;
            std::uint64_t inputCount = kFirstInputCount + position;
            if (inputCount < checkpoint)
                continue;
            // Keep the dictionary while the ratio still improves, otherwise
            // start a new one.
            checkpoint = inputCount + kCheckGap;
            std::int64_t now = Ratio(inputCount, writer.OutputCount());
            if (now > ratio) {
                ratio = now;
                continue;
            }
            ratio = 0;
            StartHashGeneration();
            stamp = generation_ << 24;
            nextFree = kFirstFree;
            ++codesWritten;
            if (!writer.Put(kClear) || !grow(true))
                return false;
            ++position;
            break;
        }
    }
    ++codesWritten;
    if (!writer.Put(prefix) || (nextFree > largestCode && !grow(false)))
        return false;
    outputLength_ = writer.Finish();
    codesWritten_ = codesWritten;
    return true;
}

// Every dictionary string is a previous string plus one byte, and each
// appeared in the output when its entry was made, so an entry is just where
// that copy starts and how long it is; decoding a code copies those bytes.
// The table holds each code's offset (low half) and length (high half). The
// output buffer begins with the 256 single-byte strings, so a literal is an
// entry like any other and every code decodes the same way.
class LzwCodec::Strings {
public:
    explicit Strings(LzwCodec& codec)
        : codec_(codec),
          strings_(codec.table_.get()),
          out_(codec.output_.get()),
          outputEnd_(kLiterals + codec.outputLimit_) {
        for (std::uint32_t c = 0; c < kLiterals; ++c) {
            out_[c] = static_cast<BYTE>(c);
            strings_[c] = (std::uint64_t{1} << 32) | c;
        }
        limit_ = Room();
    }

    std::size_t produced() const { return produced_; }

    bool Literal(BYTE byte) {
        if (produced_ + 1 > limit_ && !Grow(1))
            return false;
        out_[produced_] = byte;
        previousStart_ = produced_;
        previousLength_ = 1;
        ++produced_;
        return true;
    }

    bool Code(std::uint32_t code, std::uint32_t nextFree) {
        // The string being defined: the previous one plus its own first
        // byte, which the overlapping copy below produces.
        if (code == nextFree)
            strings_[code] =
                (static_cast<std::uint64_t>(previousLength_ + 1) << 32) | previousStart_;
        std::uint64_t entry = strings_[code];
        auto stringLength = static_cast<std::uint32_t>(entry >> 32);
        std::size_t from = static_cast<std::uint32_t>(entry);
        if (produced_ + stringLength > limit_ && !Grow(stringLength))
            return false;
        std::size_t distance = produced_ - from;
        if (stringLength <= 16 && distance >= 16) {
            std::memcpy(out_ + produced_, out_ + from, 16);
        } else if (distance >= stringLength) {
            std::memcpy(out_ + produced_, out_ + from, stringLength);
        } else {
            for (std::uint32_t k = 0; k < stringLength; ++k)
                out_[produced_ + k] = out_[from + k];
        }
        // Index 65536 exists (the table has 69001 entries): a full
        // dictionary writes there harmlessly instead of testing first.
        strings_[nextFree] =
            (static_cast<std::uint64_t>(previousLength_ + 1) << 32) | previousStart_;
        previousStart_ = produced_;
        previousLength_ = stringLength;
        produced_ += stringLength;
        return true;
    }

private:
    // Output may grow to Room() before the buffer or the limit needs a
    // look; 16 spare bytes let short strings move as one fixed-size copy.
    std::size_t Room() const { return std::min(outputEnd_, codec_.outputCapacity_ - 16); }

    bool Grow(std::size_t n) {
        // A stream may be sound and still more than the caller takes; it
        // stops there, without producing the rest.
        if (produced_ + n > outputEnd_) {
            codec_.limitReached_ = true;
            return false;
        }
        if (!codec_.ReserveOutput(produced_ + n + 16))
            return false;
        out_ = codec_.output_.get();
        limit_ = Room();
        return true;
    }

    LzwCodec& codec_;
    std::uint64_t* strings_;
    BYTE* out_;
    const std::size_t outputEnd_;
    std::size_t limit_ = 0;
    std::size_t produced_ = kLiterals;
    // The previous code's string: where it starts in the output and its
    // length.
    std::size_t previousStart_ = 0;
    std::uint32_t previousLength_ = 0;
};

bool LzwCodec::Decompress(const BYTE* bytes, std::size_t length) {
    codesWritten_ = 0;
    limitReached_ = false;
    outputOffset_ = 0;
    outputLength_ = 0;
    if (!AllocateWorkArea() ||
        !StartOutput(kLiterals + std::min(outputLimit_, std::min(length, outputLimit_ / 4) * 4))) {
        return false;
    }
    CodeReader reader(bytes, length);
    Strings strings(*this);
    if (lzw::WalkCodes(reader, strings) != lzw::WalkResult::Ok)
        return false;
    outputOffset_ = kLiterals;
    outputLength_ = strings.produced() - kLiterals;
    return true;
}

}  // namespace backup
