// The band record read back from the registry: any bytes either read as a
// record that writes back to the same 76 bytes, or are refused; never a
// crash or a read past the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gui/CommandBar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<ce::REBARBANDINFOW> band = ce::ReadBandRecord({data, size});
    if (!band)
        return 0;
    if (size != ce::kBandRecordSize)
        std::abort();
    std::array<ce::BYTE, ce::kBandRecordSize> again = ce::BandRecordImage(*band);
    // Handles and pointers are not kept; every other field is.
    for (std::size_t i = 0; i < size; i += 4) {
        bool handle = i == 20 || i == 32 || i == 48;
        if (!handle && std::memcmp(again.data() + i, data + i, 4) != 0)
            std::abort();
    }
    return 0;
}
