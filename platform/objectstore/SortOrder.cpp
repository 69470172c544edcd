#include "platform/objectstore/SortOrder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/core/Bytes.h"
#include "platform/core/Text.h"

namespace ce::objectstore {
namespace {

// Doubles in a total order, so that sorting stays well defined: NaN after
// every number.
int CompareReal(double a, double b) {
    bool aNan = std::isnan(a), bNan = std::isnan(b);
    if (aNan || bNan)
        return static_cast<int>(aNan) - static_cast<int>(bNan);
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Negative, 0 or positive, comparing two present keys of the order's type.
int CompareValues(const OrderRule& rule, const SortKey& a, const SortKey& b) {
    switch (TypeFromPropID(rule.propid)) {
        case CEVT_I2:
        case CEVT_I4:
        case CEVT_BOOL:
            return a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
        case CEVT_UI2:
        case CEVT_UI4:
        case CEVT_FILETIME:
            return a.unsignedValue < b.unsignedValue ? -1
                                                     : (a.unsignedValue > b.unsignedValue ? 1 : 0);
        case CEVT_R8:
            return CompareReal(a.real, b.real);
        case CEVT_LPWSTR:
            return a.text.compare(b.text);
        default:
            return 0;
    }
}

}  // namespace

SortKey MakeSortKey(const OrderRule& rule, std::span<const PropertyView> record) {
    SortKey key;
    if (!rule.sorted())
        return key;
    const PropertyView* found = nullptr;
    for (const PropertyView& p : record) {
        if (p.propid == rule.propid) {
            found = &p;
            break;
        }
    }
    if (found == nullptr || found->absentText)
        return key;
    key.present = true;
    const BYTE* v = found->value;
    switch (TypeFromPropID(rule.propid)) {
        case CEVT_I2:
            key.integer = static_cast<std::int16_t>(LoadU16(v));
            break;
        case CEVT_UI2:
            key.unsignedValue = LoadU16(v);
            break;
        case CEVT_I4:
        case CEVT_BOOL:
            key.integer = static_cast<std::int32_t>(LoadU32(v));
            break;
        case CEVT_UI4:
            key.unsignedValue = LoadU32(v);
            break;
        case CEVT_FILETIME:
            key.unsignedValue = LoadU64(v);
            break;
        case CEVT_R8: {
            std::uint64_t bits = LoadU64(v);
            std::memcpy(&key.real, &bits, sizeof bits);
            break;
        }
        case CEVT_LPWSTR: {
            std::size_t units = found->data.size() / 2 - 1;  // without the terminator
            key.text.resize(units);
            for (std::size_t i = 0; i < units; ++i) {
                key.text[i] = static_cast<char16_t>(LoadU16(found->data.data() + 2 * i));
            }
            if (rule.flags & CEDB_SORT_CASEINSENSITIVE) {
                for (char16_t& c : key.text)
                    c = ToLowerWide(c);
            }
            break;
        }
        default:
            key.present = false;
            break;
    }
    return key;
}

bool ComesBefore(const OrderRule& rule, const OrderEntry& a, const OrderEntry& b) {
    if (rule.sorted()) {
        if (a.key.present != b.key.present) {
            bool unknownFirst = (rule.flags & CEDB_SORT_UNKNOWNFIRST) != 0;
            return a.key.present != unknownFirst;
        }
        if (a.key.present) {
            int c = CompareValues(rule, a.key, b.key);
            if (rule.flags & CEDB_SORT_DESCENDING)
                c = -c;
            if (c != 0)
                return c < 0;
        }
    }
    return a.oid < b.oid;
}

void RecordOrder::Assign(std::vector<OrderEntry> entries) {
    ++generation_;
    entries_ = std::move(entries);
    if (rule_.sorted()) {
        std::sort(
            entries_.begin(), entries_.end(),
            [this](const OrderEntry& a, const OrderEntry& b) { return ComesBefore(rule_, a, b); });
    } else {
        std::sort(entries_.begin(), entries_.end(),
                  [](const OrderEntry& a, const OrderEntry& b) { return a.oid < b.oid; });
    }
}

std::size_t RecordOrder::LowerBound(const OrderEntry& entry) const {
    auto it = std::lower_bound(
        entries_.begin(), entries_.end(), entry,
        [this](const OrderEntry& a, const OrderEntry& b) { return ComesBefore(rule_, a, b); });
    return static_cast<std::size_t>(it - entries_.begin());
}

void RecordOrder::Insert(OrderEntry entry) {
    std::size_t at = LowerBound(entry);
    ++generation_;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void RecordOrder::Erase(const OrderEntry& entry) {
    std::optional<std::size_t> at = IndexOf(entry);
    if (!at)
        at = FindByOid(entry.oid);
    ++generation_;
    if (at)
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*at));
}

std::optional<std::size_t> RecordOrder::IndexOf(const OrderEntry& entry) const {
    std::size_t at = LowerBound(entry);
    if (at < entries_.size() && entries_[at].oid == entry.oid)
        return at;
    return std::nullopt;
}

std::optional<std::size_t> RecordOrder::FindByOid(CEOID oid) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].oid == oid)
            return i;
    }
    return std::nullopt;
}

}  // namespace ce::objectstore
