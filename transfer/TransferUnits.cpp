#include "transfer/TransferUnits.h"

#include "platform/core/Bytes.h"
#include "platform/core/Text.h"
#include "store/RecordImage.h"

namespace transfer {

std::array<BYTE, kHeaderSize> EncodeHeader(const CEDBASEINFO& info) {
    ce::ByteWriter w(kHeaderSize);
    w.U32(info.dwFlags);
    for (ce::WCHAR c : info.szDbaseName)
        w.U16(static_cast<WORD>(c));
    w.U32(info.dwDbaseType);
    w.U16(info.wNumRecords);
    w.U16(info.wNumSortOrder);
    w.U32(info.dwSize);
    w.U32(info.ftLastModified.dwLowDateTime);
    w.U32(info.ftLastModified.dwHighDateTime);
    for (const ce::SORTORDERSPEC& order : info.rgSortSpecs) {
        w.U32(order.propid);
        w.U32(order.dwFlags);
    }
    return w.ToArray<kHeaderSize>();
}

bool DecodeHeader(std::span<const BYTE, kHeaderSize> bytes, CEDBASEINFO& info,
                  std::string* problem) {
    info = CEDBASEINFO{};
    ce::ByteReader r(bytes.data(), bytes.size());
    std::u16string name;
    r.U32(info.dwFlags);
    r.WideField(ce::CEDB_MAXDBASENAMELEN, name);
    r.U32(info.dwDbaseType);
    r.U16(info.wNumRecords);
    r.U16(info.wNumSortOrder);
    r.U32(info.dwSize);
    r.U32(info.ftLastModified.dwLowDateTime);
    r.U32(info.ftLastModified.dwHighDateTime);
    for (ce::SORTORDERSPEC& order : info.rgSortSpecs) {
        r.U32(order.propid);
        r.U32(order.dwFlags);
    }
    ce::CopyWide(info.szDbaseName, ce::WideView(name.c_str(), ce::CEDB_MAXDBASENAMELEN - 1));
    if (info.szDbaseName[0] == 0) {
        if (problem != nullptr)
            *problem = "the header names no database";
        return false;
    }
    if (info.wNumSortOrder > ce::CEDB_MAXSORTORDER) {
        if (problem != nullptr)
            *problem = "the header announces " + std::to_string(info.wNumSortOrder) +
                       " sort orders, at most 4 exist";
        return false;
    }
    return true;
}

std::array<BYTE, kDescriptorSize> EncodeDescriptor(const RecordDescriptor& descriptor) {
    ce::ByteWriter w(kDescriptorSize);
    w.U16(descriptor.count);
    w.U16(0);
    w.U32(0);
    w.U32(descriptor.size);
    w.U32(descriptor.address);
    return w.ToArray<kDescriptorSize>();
}

bool DecodeDescriptor(std::span<const BYTE, kDescriptorSize> bytes, RecordDescriptor& descriptor,
                      std::string* problem) {
    ce::ByteReader r(bytes.data(), bytes.size());
    WORD zero16 = 0;
    DWORD zero32 = 0;
    descriptor = RecordDescriptor{};
    r.U16(descriptor.count);
    r.U16(zero16);
    r.U32(zero32);
    r.U32(descriptor.size);
    r.U32(descriptor.address);
    std::string reason;
    if (descriptor.size > kLargestRecordImage) {
        reason = "a record image of " + std::to_string(descriptor.size) +
                 " bytes, the largest record has " + std::to_string(kLargestRecordImage);
    } else if (static_cast<DWORD>(descriptor.count) * store::kImageEntrySize > descriptor.size) {
        reason = "a record image of " + std::to_string(descriptor.size) + " bytes for " +
                 std::to_string(descriptor.count) + " properties, which need " +
                 std::to_string(descriptor.count * store::kImageEntrySize);
    }
    if (reason.empty())
        return true;
    if (problem != nullptr)
        *problem = reason;
    return false;
}

bool CheckRecordImage(const BYTE* image, DWORD size, WORD count, std::string* problem) {
    store::DecodedRecord decoded;
    return store::DecodeRelativeImage(image, size, count, decoded, problem);
}

bool IsKnownCode(DWORD code) {
    return code == XFER_ACK || code == XFER_RECORD || code == XFER_END || code == XFER_CANCEL;
}

}  // namespace transfer
