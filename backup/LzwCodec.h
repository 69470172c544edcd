#pragma once
// The codec that compressed archives pass every database header and record
// image through. Each call compresses or decompresses one whole buffer as an
// independent stream: adaptive LZW with codes of 9 to 16 bits in block mode
// (code 256 is CLEAR), packed exactly as the code stream of a ".Z" file but
// without its three-byte header.
//
// One codec serves a whole backup or restore: the tables are allocated once
// and a new stream only stamps them with a new generation instead of clearing
// them, so thousands of small streams cost little more than one big one.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/core/Types.h"

namespace backup {

class LzwCodec {
public:
    // Largest output Decompress produces unless told otherwise; the archive
    // reader sets the exact size of what it reads (a header, a record image).
    static constexpr std::size_t kDefaultOutputLimit = std::size_t{64} << 20;
    // Decompression keeps output offsets in 32 bits, after the 256 bytes it
    // keeps in front of its output.
    static constexpr std::size_t kMaxOutputLimit = 0xFFFFFFFFu - 256;

    LzwCodec();
    virtual ~LzwCodec();
    LzwCodec(const LzwCodec&) = delete;
    LzwCodec& operator=(const LzwCodec&) = delete;

    // Allocates the two tables; on failure releases both and tries once
    // more. Compress and Decompress call it themselves when it has not
    // succeeded yet.
    bool AllocateWorkArea();

    // Compresses `length` bytes into Output(). An empty input gives an empty
    // stream (success, no bytes), which is what the ".Z" tools write for an
    // empty file after their header; note that Decompress refuses an empty
    // stream, so the empty input is the one that does not round-trip. False
    // only when the output buffer cannot be allocated.
    bool Compress(const ce::BYTE* bytes, std::size_t length);

    // Decompresses one stream into Output(). False when the stream holds no
    // code at all, when it is corrupt (a code that names no entry yet, a
    // CLEAR or dictionary code where only a literal can stand), when the
    // output would exceed OutputLimit(), or when memory runs out. The input
    // is never read past `length`.
    bool Decompress(const ce::BYTE* bytes, std::size_t length);

    // The result of the last call; valid until the next call or destruction.
    // Empty after a failed call.
    const ce::BYTE* Output() const { return output_.get() + outputOffset_; }
    std::size_t OutputLength() const { return outputLength_; }

    // Bounds what Decompress may produce (clamped to kMaxOutputLimit).
    void SetOutputLimit(std::size_t bytes);
    std::size_t OutputLimit() const { return outputLimit_; }
    // The last Decompress failed because the stream decodes to more than
    // the limit (it stopped there).
    bool OutputLimitReached() const { return limitReached_; }

    // Codes the last Compress wrote, CLEARs included.
    std::uint64_t CodesWritten() const { return codesWritten_; }

private:
    struct FreeDeleter {
        void operator()(ce::BYTE* p) const;
    };

    class CodeWriter;
    class Strings;

    bool StartOutput(std::size_t expected);
    bool ReserveOutput(std::size_t needed);
    void StartHashGeneration();
    void BuildFullDictionary();

    // The compressor's dictionary, 69001 entries by hash index: the key,
    // generation << 24 | (byte << 16) + prefix code, and beside it the code.
    // Keys and codes are apart so that the keys probed stay in as little
    // cache as they can.
    std::unique_ptr<std::uint32_t[]> keys_;
    std::unique_ptr<std::uint16_t[]> codes_;
    // Generation of the live keys, 1 to 255; keys of any other generation
    // are empty. 0 means the keys hold no stamps we can trust (just
    // allocated) and must be cleared.
    std::uint32_t generation_ = 0;
    // The decompressor's dictionary: code -> string length << 32 | offset of
    // the string in the output.
    std::unique_ptr<std::uint64_t[]> table_;
    // The strings of a full dictionary, for lookups until its CLEAR.
    std::unique_ptr<std::uint64_t[]> fullTable_;

    std::unique_ptr<ce::BYTE[], FreeDeleter> output_;
    std::size_t outputOffset_ = 0;
    std::size_t outputLength_ = 0;
    std::size_t outputCapacity_ = 0;
    std::size_t outputLimit_ = kDefaultOutputLimit;
    bool limitReached_ = false;
    std::uint64_t codesWritten_ = 0;
};

}  // namespace backup
