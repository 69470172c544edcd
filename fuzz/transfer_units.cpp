// Reads arbitrary bytes as a receiver reads a sender's units: a database
// header, a record descriptor, and a record image of the descriptor's size.
// Whatever is accepted must be usable as it stands.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "store/RecordImage.h"
#include "transfer/TransferUnits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace transfer;
    if (size < kHeaderSize + kDescriptorSize)
        return 0;
    ce::CEDBASEINFO info{};
    if (DecodeHeader(std::span<const std::uint8_t, kHeaderSize>(data, kHeaderSize), info,
                     nullptr)) {
        if (info.szDbaseName[0] == 0 || info.szDbaseName[ce::CEDB_MAXDBASENAMELEN - 1] != 0 ||
            info.wNumSortOrder > ce::CEDB_MAXSORTORDER) {
            std::abort();
        }
    }
    RecordDescriptor descriptor;
    if (!DecodeDescriptor(
            std::span<const std::uint8_t, kDescriptorSize>(data + kHeaderSize, kDescriptorSize),
            descriptor, nullptr)) {
        return 0;
    }
    if (descriptor.size > kLargestRecordImage)
        std::abort();
    // The image as the receiver holds it: the announced size and its spare bytes.
    std::vector<std::uint8_t> image(descriptor.size + kSpareBytes, 0);
    std::size_t available = size - kHeaderSize - kDescriptorSize;
    std::memcpy(image.data(), data + kHeaderSize + kDescriptorSize,
                available < descriptor.size ? available : descriptor.size);
    if (CheckRecordImage(image.data(), descriptor.size, descriptor.count, nullptr)) {
        store::DecodedRecord record;
        if (!store::DecodeRelativeImage(image.data(), descriptor.size, descriptor.count, record,
                                        nullptr) ||
            record.props().size() != descriptor.count) {
            std::abort();
        }
    }
    return 0;
}
