// Decompresses arbitrary bytes: the codec must refuse or decode them without
// reading past the input, writing past its buffers, looping or exceeding its
// output limit. Whatever it decodes must survive a round trip of its own.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backup/LzwCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One codec for every input, as a restore uses one for a whole archive.
    static backup::LzwCodec codec;
    constexpr std::size_t kLimit = 4 << 20;
    codec.SetOutputLimit(kLimit);
    if (!codec.Decompress(data, size)) {
        if (codec.OutputLength() != 0)
            std::abort();
        return 0;
    }
    if (size == 0 || codec.OutputLength() == 0 || codec.OutputLength() > kLimit)
        std::abort();
    std::vector<std::uint8_t> decoded(codec.Output(), codec.Output() + codec.OutputLength());
    if (!codec.Compress(decoded.data(), decoded.size()))
        std::abort();
    std::vector<std::uint8_t> stream(codec.Output(), codec.Output() + codec.OutputLength());
    if (!codec.Decompress(stream.data(), stream.size()) || codec.OutputLength() != decoded.size() ||
        std::memcmp(codec.Output(), decoded.data(), decoded.size()) != 0) {
        std::abort();
    }
    return 0;
}
