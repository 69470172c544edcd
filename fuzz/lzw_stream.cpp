// Decodes arbitrary bytes with the piecewise decoder (devicectl lzw d) and
// with the codec: both must refuse the same streams and decode the rest to
// the same bytes, whatever the size of the pieces the input comes in.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backup/LzwCodec.h"
#include "backup/LzwStreamDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static backup::LzwCodec codec;
    static backup::LzwStreamDecoder decoder;
    constexpr std::size_t kLimit = 4 << 20;
    codec.SetOutputLimit(kLimit);
    bool whole = codec.Decompress(data, size);
    if (!whole && codec.OutputLimitReached())
        return 0;  // more than the codec is let to make here
    // The input's first byte, when there is one, picks the piece size.
    std::size_t piece = size == 0 ? 1 : data[0] % 17 + 1;
    std::size_t next = 0;
    std::vector<std::uint8_t> out;
    auto result = decoder.Decode(
        [&](std::uint8_t* buffer, std::size_t room) {
            std::size_t n = std::min({room, piece, size - next});
            if (n != 0)
                std::memcpy(buffer, data + next, n);
            next += n;
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t n) {
            out.insert(out.end(), bytes, bytes + n);
            return out.size() <= kLimit;
        });
    if (result == backup::LzwStreamDecoder::Result::Stopped)
        std::abort();  // the codec decoded it within the same limit
    bool piecewise = result == backup::LzwStreamDecoder::Result::Ok;
    if (whole != piecewise || decoder.produced() != out.size())
        std::abort();
    if (whole && (out.size() != codec.OutputLength() ||
                  std::memcmp(out.data(), codec.Output(), out.size()) != 0)) {
        std::abort();
    }
    return 0;
}
