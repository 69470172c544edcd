// Compresses arbitrary bytes and decompresses the stream, which must give
// them back exactly.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backup/LzwCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static backup::LzwCodec codec;
    if (!codec.Compress(data, size))
        std::abort();
    if (size == 0) {
        if (codec.OutputLength() != 0)
            std::abort();
        return 0;
    }
    std::vector<std::uint8_t> stream(codec.Output(), codec.Output() + codec.OutputLength());
    if (!codec.Decompress(stream.data(), stream.size()) || codec.OutputLength() != size ||
        std::memcmp(codec.Output(), data, size) != 0) {
        std::abort();
    }
    return 0;
}
