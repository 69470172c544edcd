#pragma once
// The order in which a handle walks a database's records: creation order,
// or one of the database's sort orders.
//
// A sort order compares one property: ascending unless
// CEDB_SORT_DESCENDING; records lacking the property (or holding it with
// another type, or an absent text) after all others, or before all others
// with CEDB_SORT_UNKNOWNFIRST, in either direction; texts by UTF-16 units,
// lower-cased unit by unit with CEDB_SORT_CASEINSENSITIVE; numbers by value
// as their type says. Records that compare equal keep their creation order.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/objectstore/PropertyCodec.h"

namespace ce::objectstore {

// A record's value of the sort property, ready to compare.
struct SortKey {
    bool present = false;
    std::int64_t integer = 0;         // signed types, BOOL
    std::uint64_t unsignedValue = 0;  // unsigned types, FILETIME
    double real = 0;
    std::u16string text;
};

// The sort order of a handle: propid 0 is creation order.
struct OrderRule {
    CEPROPID propid = 0;
    DWORD flags = 0;
    bool sorted() const { return propid != 0; }
};

SortKey MakeSortKey(const OrderRule& rule, std::span<const PropertyView> record);

// One record's place in an order, and, when the order keeps them, its
// stored bytes.
struct OrderEntry {
    CEOID oid = 0;
    SortKey key;
    std::vector<BYTE> stored;
};

// True when `a` comes before `b` in the order.
bool ComesBefore(const OrderRule& rule, const OrderEntry& a, const OrderEntry& b);

// A database's records in one order. Creation order needs no keys: record
// identifiers grow with every record made, so it is identifier order.
class RecordOrder {
public:
    explicit RecordOrder(OrderRule rule = {}) : rule_(rule) {}

    const OrderRule& rule() const { return rule_; }
    void SetRule(OrderRule rule) { rule_ = rule; }
    // Changes with every change of the contents, so that a remembered
    // position can tell whether it still holds.
    std::uint64_t generation() const { return generation_; }
    std::size_t size() const { return entries_.size(); }
    const OrderEntry& at(std::size_t index) const { return entries_[index]; }

    // Replaces the contents; sorts them.
    void Assign(std::vector<OrderEntry> entries);
    void Insert(OrderEntry entry);
    // Removes the record if present.
    void Erase(const OrderEntry& entry);

    // Position of a record given its key (any key for creation order).
    std::optional<std::size_t> IndexOf(const OrderEntry& entry) const;
    // Position a record with this key has or would have: the number of
    // records that come before it.
    std::size_t LowerBound(const OrderEntry& entry) const;
    // Position found by looking at every record, for a record whose key is
    // not known.
    std::optional<std::size_t> FindByOid(CEOID oid) const;

private:
    OrderRule rule_;
    std::vector<OrderEntry> entries_;
    std::uint64_t generation_ = 1;
};

}  // namespace ce::objectstore
