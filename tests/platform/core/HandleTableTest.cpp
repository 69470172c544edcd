#include "platform/core/HandleTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"

namespace {

struct Tag;
using PointerHandle = Tag*;

struct Object {
    virtual ~Object() = default;
    int value = 0;
};
struct Special : Object {};

std::unique_ptr<Object> Make(int value) {
    auto object = std::make_unique<Object>();
    object->value = value;
    return object;
}

TEST(HandleTable, HandlesAreNumberedInStepsAndNameTheirObjectUntilErased) {
    ce::HandleTable<Object, PointerHandle> table({0x100, 4});
    PointerHandle a = table.Insert(Make(1));
    PointerHandle b = table.Insert(Make(2));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a), 0x100u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b), 0x104u);
    EXPECT_EQ(table.Count(), 2u);
    ASSERT_NE(table.Lookup(b), nullptr);
    EXPECT_EQ(table.Lookup(b)->value, 2);

    std::unique_ptr<Object> taken = table.Erase(a);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->value, 1);
    EXPECT_EQ(table.Lookup(a), nullptr);
    EXPECT_FALSE(table.Contains(a));
    EXPECT_EQ(table.Erase(a), nullptr);  // a second erase finds nothing
    EXPECT_EQ(table.Count(), 1u);
    // A value once handed out is not handed out again.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(table.Insert(Make(3))), 0x108u);
}

TEST(HandleTable, LookupAsFindsOnlyObjectsOfThatKind) {
    ce::HandleTable<Object, PointerHandle> table({0x10, 8});
    PointerHandle plain = table.Insert(Make(1));
    PointerHandle special = table.Insert(std::make_unique<Special>());
    EXPECT_EQ(table.LookupAs<Special>(plain), nullptr);
    EXPECT_NE(table.LookupAs<Special>(special), nullptr);
    EXPECT_EQ(table.Lookup(nullptr), nullptr);
    EXPECT_EQ(table.Lookup(reinterpret_cast<PointerHandle>(0x14)), nullptr);  // between steps
}

TEST(HandleTable, ALookupThatFindsNothingCanLeaveAnErrorAndOneThatFindsLeavesItAlone) {
    ce::HandleTable<Object, PointerHandle> table({0x10, 8});
    PointerHandle known = table.Insert(Make(1));
    ce::SetLastError(0);
    EXPECT_EQ(table.LookupOrError(known, ce::ERROR_INVALID_HANDLE), table.Lookup(known));
    EXPECT_EQ(ce::GetLastError(), 0u);
    EXPECT_EQ(table.LookupOrError(nullptr, ce::ERROR_INVALID_HANDLE), nullptr);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_INVALID_HANDLE);
}

bool Reserved(std::uint32_t value) {
    return value >= 0xFFFFFFF0u && value <= 0xFFFFFFF3u;
}

TEST(HandleTable, ANarrowNumberingWrapsAroundPastZeroReservedValuesAndValuesInUse) {
    ce::HandleTable<Object, std::uint32_t> table({0xFFFFFFEFu, 1, Reserved});
    EXPECT_EQ(table.Insert(Make(1)), 0xFFFFFFEFu);
    // The reserved values are skipped.
    EXPECT_EQ(table.Insert(Make(2)), 0xFFFFFFF4u);
    for (std::uint32_t v = 0xFFFFFFF5u; v != 0; ++v)
        table.Insert(Make(3));
    // Past the top the numbering wraps, skipping 0.
    EXPECT_EQ(table.Insert(Make(4)), 1u);
    EXPECT_EQ(table.Count(), 14u);
}

TEST(HandleTable, ANumberingThatComesRoundAgainSkipsTheValuesStillInUse) {
    ce::HandleTable<Object, std::uint8_t> table({250, 2});
    std::uint8_t first = table.Insert(Make(1));
    EXPECT_EQ(first, 250);
    table.Insert(Make(2));  // 252
    table.Insert(Make(3));  // 254
    // 256 wraps to 0, which is never a handle; then 2, 4, ... up to 248.
    std::vector<std::uint8_t> values;
    for (int i = 0; i < 124; ++i)
        values.push_back(table.Insert(Make(4)));
    EXPECT_EQ(values.front(), 2);
    EXPECT_EQ(values.back(), 248);
    table.Erase(252);
    // 250 and 254 are still in use: the next free value is 252.
    EXPECT_EQ(table.Insert(Make(5)), 252);
}

TEST(HandleTable, ForEachVisitsEveryObjectAndClearForgetsThemAll) {
    ce::HandleTable<Object, PointerHandle> table({0x100, 4});
    for (int i = 0; i < 3; ++i)
        table.Insert(Make(i));
    int sum = 0;
    table.ForEach([&](PointerHandle handle, Object& object) {
        EXPECT_EQ(table.Lookup(handle), &object);
        sum += object.value;
    });
    EXPECT_EQ(sum, 0 + 1 + 2);
    table.Clear();
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(table.Insert(Make(9))), 0x10Cu);
}

}  // namespace
