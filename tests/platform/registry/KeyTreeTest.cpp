// The whole-subtree read against what the registry calls hand out one key
// and one value at a time, and against changes made after it.

#include "platform/registry/KeyTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKeys.h"
#include "platform/registry/UniqueKey.h"
#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
using registry::KeyTree;

struct SeenValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const SeenValue&) const = default;
};

struct SeenKey {
    int depth = 0;
    std::u16string name;
    std::u16string keyClass;
    std::vector<SeenValue> values;
    bool operator==(const SeenKey&) const = default;
};

// What a walk with the enumeration calls meets below `key`, depth first.
void WalkByCalls(HKEY key, int depth, std::vector<SeenKey>* out) {
    for (DWORD i = 0;; ++i) {
        WCHAR name[260];
        WCHAR keyClass[260];
        DWORD nameUnits = 260;
        DWORD classUnits = 260;
        LONG rc = RegEnumKeyExW(key, i, name, &nameUnits, nullptr, keyClass, &classUnits, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            return;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        HKEY child = 0;
        ASSERT_EQ(RegOpenKeyExW(key, name, 0, KEY_READ, &child), ERROR_SUCCESS);
        UniqueKey owned(child);
        SeenKey seen{
            depth + 1, std::u16string(name, nameUnits), std::u16string(keyClass, classUnits), {}};
        for (DWORD v = 0;; ++v) {
            WCHAR valueName[260];
            DWORD valueUnits = 260;
            DWORD type = 0;
            std::vector<BYTE> data(70000);
            auto size = static_cast<DWORD>(data.size());
            rc =
                RegEnumValueW(child, v, valueName, &valueUnits, nullptr, &type, data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            ASSERT_EQ(rc, ERROR_SUCCESS);
            data.resize(size);
            seen.values.push_back(SeenValue{std::u16string(valueName, valueUnits), type, data});
        }
        out->push_back(std::move(seen));
        WalkByCalls(child, depth + 1, out);
    }
}

std::vector<SeenKey> WalkByTree(const KeyTree& tree) {
    std::vector<SeenKey> out;
    for (std::size_t i = 0; i < tree.KeyCount(); ++i) {
        SeenKey seen{
            tree.Depth(i), std::u16string(tree.Name(i)), std::u16string(tree.Class(i)), {}};
        for (std::size_t v = 0; v < tree.ValueCount(i); ++v) {
            KeyTree::Value value = tree.ValueAt(i, v);
            seen.values.push_back(
                SeenValue{std::u16string(value.name), value.type,
                          std::vector<BYTE>(value.data.begin(), value.data.end())});
        }
        out.push_back(std::move(seen));
    }
    return out;
}

class KeyTreeTest : public ::testing::Test {
protected:
    static UniqueKey Create(HKEY parent, const char16_t* path, const char16_t* keyClass = u"") {
        HKEY key = 0;
        EXPECT_EQ(
            RegCreateKeyExW(parent, path, 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        return UniqueKey(key);
    }
    static void Set(HKEY parent, const char16_t* path, const char16_t* name, std::vector<BYTE> data,
                    DWORD type = REG_BINARY) {
        UniqueKey key = Create(parent, path);
        ASSERT_EQ(
            RegSetValueExW(key.get(), name, 0, type, data.data(), static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
    }
    static std::vector<SeenKey> ByCalls(HKEY key) {
        std::vector<SeenKey> out;
        WalkByCalls(key, 0, &out);
        return out;
    }

    testing_support::TempDevice device_;
};

TEST_F(KeyTreeTest, ATreeReadMeetsWhatTheEnumerationCallsMeetInTheSameOrder) {
    // Keys made out of depth-first order, so that ids and walk order differ:
    // a later sibling first, then an older key's sub-keys.
    Create(HKEY_CURRENT_USER, u"Software\\Zeta", u"ZetaClass");
    Set(HKEY_CURRENT_USER, u"Software\\Alpha", u"b", {1, 2, 3});
    Set(HKEY_CURRENT_USER, u"Software\\Zeta\\Inner", u"", {}, REG_NONE);
    Set(HKEY_CURRENT_USER, u"Software\\Alpha", u"a", {4});
    Set(HKEY_CURRENT_USER, u"Software\\Zeta\\Inner", u"big", std::vector<BYTE>(65536, 9));
    Create(HKEY_CURRENT_USER, u"Software\\Alpha\\Empty");  // no values
    Set(HKEY_CURRENT_USER, u"Other", u"x", {5}, REG_DWORD);
    // A value deleted and set again goes to the end of its key's values.
    {
        UniqueKey alpha = Create(HKEY_CURRENT_USER, u"Software\\Alpha");
        ASSERT_EQ(RegDeleteValueW(alpha.get(), u"b"), ERROR_SUCCESS);
    }
    Set(HKEY_CURRENT_USER, u"Software\\Alpha", u"b", {6});
    // Sixteen levels, the deepest the registry nests, each with a value.
    std::u16string deep = u"Deep";
    for (int level = 1; level < registry::kMaxDepth; ++level)
        deep += u"\\L" + Utf8ToWide(std::to_string(level));
    Set(HKEY_CURRENT_USER, deep.c_str(), u"bottom", {7});
    // Another root's keys stay out.
    Set(HKEY_LOCAL_MACHINE, u"Machine", u"m", {8});

    KeyTree tree;
    ASSERT_EQ(tree.Read(HKEY_CURRENT_USER), ERROR_SUCCESS);
    std::vector<SeenKey> byCalls = ByCalls(HKEY_CURRENT_USER);
    EXPECT_EQ(WalkByTree(tree), byCalls);
    ASSERT_EQ(byCalls.size(), 6u + registry::kMaxDepth);
    EXPECT_EQ(byCalls[1].name, u"Zeta");  // creation order, not names
    EXPECT_EQ(byCalls.back().depth, registry::kMaxDepth);
    EXPECT_EQ(byCalls[4].name, u"Empty");
    EXPECT_TRUE(byCalls[4].values.empty());
}

TEST_F(KeyTreeTest, ATreeBelowAnOpenKeyHoldsOnlyThatKeysSubtree) {
    Set(HKEY_CURRENT_USER, u"A\\B\\C", u"v", {1});
    Set(HKEY_CURRENT_USER, u"A2", u"w", {2});
    UniqueKey a = Create(HKEY_CURRENT_USER, u"A");
    KeyTree tree;
    ASSERT_EQ(tree.Read(a.get()), ERROR_SUCCESS);
    EXPECT_EQ(WalkByTree(tree), ByCalls(a.get()));
    ASSERT_EQ(tree.KeyCount(), 2u);
    EXPECT_EQ(tree.Depth(0), 1);
    EXPECT_EQ(tree.Name(1), u"C");

    UniqueKey c = Create(a.get(), u"B\\C");
    ASSERT_EQ(tree.Read(c.get()), ERROR_SUCCESS);
    EXPECT_EQ(tree.KeyCount(), 0u);
}

TEST_F(KeyTreeTest, ADeletedKeyOrABadHandleReadsNothing) {
    UniqueKey gone = Create(HKEY_CURRENT_USER, u"Gone");
    Set(HKEY_CURRENT_USER, u"Gone\\Child", u"v", {1});
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Gone"), ERROR_SUCCESS);
    KeyTree tree;
    EXPECT_EQ(tree.Read(gone.get()), ERROR_KEY_DELETED);
    EXPECT_EQ(tree.KeyCount(), 0u);
    EXPECT_FALSE(tree.Unchanged());
    EXPECT_EQ(tree.Read(0x12345), ERROR_INVALID_HANDLE);
}

TEST_F(KeyTreeTest, ACommitByThisProcessOrAnotherMakesTheTreeChangedAndTheNextReadSeesIt) {
    Set(HKEY_CURRENT_USER, u"Software\\Shared", u"Greeting", {1});
    KeyTree tree;
    ASSERT_EQ(tree.Read(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_TRUE(tree.Unchanged());
    // Reads change nothing.
    EXPECT_EQ(ByCalls(HKEY_CURRENT_USER).size(), 2u);
    EXPECT_TRUE(tree.Unchanged());

    auto result = testing_support::RunProgram(testing_support::BuiltProgram("objectstore_peer"),
                                              {"regset", "Software\\Shared\\New", "Reply", "hi"},
                                              {device_.EnvAssignment()});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_FALSE(tree.Unchanged());
    ASSERT_EQ(tree.Read(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_TRUE(tree.Unchanged());
    EXPECT_EQ(WalkByTree(tree), ByCalls(HKEY_CURRENT_USER));
    ASSERT_EQ(tree.KeyCount(), 3u);
    EXPECT_EQ(tree.Name(2), u"New");

    Set(HKEY_LOCAL_MACHINE, u"Elsewhere", u"x", {2});
    EXPECT_FALSE(tree.Unchanged());
}

}  // namespace
