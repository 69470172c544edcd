// The registry: keys, classes, values, enumeration and other processes.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (HKEY key : opened_)
            RegCloseKey(key);
    }
    HKEY CreateKey(HKEY parent, const char16_t* path, const char16_t* keyClass = u"",
                   DWORD* disposition = nullptr) {
        HKEY key = 0;
        EXPECT_EQ(RegCreateKeyExW(parent, path, 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  disposition),
                  ERROR_SUCCESS);
        opened_.push_back(key);
        return key;
    }
    LONG OpenKey(HKEY parent, const char16_t* path, HKEY* key) {
        LONG rc = RegOpenKeyExW(parent, path, 0, KEY_READ, key);
        if (rc == ERROR_SUCCESS)
            opened_.push_back(*key);
        return rc;
    }
    void SetDword(HKEY key, const char16_t* name, DWORD value) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
                  ERROR_SUCCESS);
    }
    void SetText(HKEY key, const char16_t* name, std::u16string_view text) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                                 static_cast<DWORD>((text.size() + 1) * 2)),
                  ERROR_SUCCESS);
    }
    std::vector<std::u16string> SubKeys(HKEY key) {
        std::vector<std::u16string> names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[260];
            DWORD size = 260;
            LONG rc = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            EXPECT_EQ(rc, ERROR_SUCCESS);
            names.emplace_back(name, size);
        }
        return names;
    }

    testing_support::TempDevice device_;
    std::vector<HKEY> opened_;
};

TEST_F(RegistryTest, KeysAreCreatedThenOpenedWithAnyCase) {
    DWORD disposition = 0;
    CreateKey(HKEY_CURRENT_USER, u"Software\\Maker\\App", u"AppClass", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    CreateKey(HKEY_CURRENT_USER, u"SOFTWARE\\maker\\APP", u"Other", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    HKEY maker = 0;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, u"software\\MAKER", &maker), ERROR_SUCCESS);
    WCHAR name[260], keyClass[260];
    DWORD nameSize = 260, classSize = 260;
    FILETIME written{};
    ASSERT_EQ(RegEnumKeyExW(maker, 0, name, &nameSize, nullptr, keyClass, &classSize, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"App");  // the case first written
    EXPECT_EQ(nameSize, 3u);
    EXPECT_EQ(std::u16string(keyClass), u"AppClass");  // the second class was ignored
    EXPECT_EQ(classSize, 8u);
    EXPECT_NE(written.dwHighDateTime, 0u);

    HKEY missing = 0;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Nobody", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);  // roots are separate trees
}

TEST_F(RegistryTest, BadArgumentsGive87) {
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"\\Software", 0, KEY_READ, &key),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, u"\\Software", 0, u"", 0, 0, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"A\\\\B", 0, u"", 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    std::u16string longName(256, u'n');
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, longName.c_str(), 0, u"", 0, 0, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"x", 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(0x7777), static_cast<LONG>(ERROR_INVALID_HANDLE));
    std::vector<BYTE> tooBig(64 * 1024 + 1);
    EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_USER, u"v", 0, REG_BINARY, tooBig.data(),
                             static_cast<DWORD>(tooBig.size())),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_USER, u"v", 0, REG_BINARY, nullptr, 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, NestingStopsAtSixteenLevels) {
    std::u16string path = u"L1";
    for (int i = 2; i <= 16; ++i)
        path += u"\\L" + Utf8ToWide(std::to_string(i));
    CreateKey(HKEY_CURRENT_USER, path.c_str());
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (path + u"\\L17").c_str(), 0, u"", 0, 0, nullptr,
                              &key, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, ValuesKeepTypeDataAndTheirFirstName) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Software\\Values");
    SetDword(key, u"Sort", 2);
    SetText(key, u"ScriptName", u"\\My Documents\\autobackup.abk");
    SetDword(key, u"SORT", 5);  // same value, any case

    DWORD type = 0, value = 0, size = 4;
    ASSERT_EQ(
        RegQueryValueExW(key, u"sort", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 5u);

    WCHAR name[260];
    DWORD nameSize = 260;
    ASSERT_EQ(RegEnumValueW(key, 0, name, &nameSize, nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Sort");
    EXPECT_EQ(size, 4u);  // data size without a buffer

    size = 0;
    ASSERT_EQ(RegQueryValueExW(key, u"ScriptName", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 58u);  // 28 characters and the terminator
    std::vector<BYTE> small(10);
    size = 10;
    EXPECT_EQ(RegQueryValueExW(key, u"ScriptName", nullptr, &type, small.data(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 58u);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, EnumerationIsInCreationOrderAndShiftsAfterDeletes) {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Ordered");
    for (const char16_t* n : {u"zeta", u"alpha", u"mid"})
        CreateKey(key, n);
    EXPECT_EQ(SubKeys(key), (std::vector<std::u16string>{u"zeta", u"alpha", u"mid"}));
    ASSERT_EQ(RegDeleteKeyW(key, u"ZETA"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(key), (std::vector<std::u16string>{u"alpha", u"mid"}));

    SetDword(key, u"b", 1);
    SetDword(key, u"a", 2);
    SetDword(key, u"c", 3);
    ASSERT_EQ(RegDeleteValueW(key, u"B"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"B"), ERROR_FILE_NOT_FOUND);
    WCHAR name[260];
    DWORD size = 260;
    ASSERT_EQ(RegEnumValueW(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"a");
    size = 260;
    EXPECT_EQ(RegEnumValueW(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, SmallBuffersGiveMoreDataWithTheSizeNeeded) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Sizes");
    CreateKey(key, u"LongSubKeyName");
    SetText(key, u"ValueName", u"0123456789");
    WCHAR name[260];
    DWORD size = 5;
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 15u);
    size = 9;  // room for the name but not its terminator
    EXPECT_EQ(RegEnumValueW(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    BYTE data[8];
    DWORD dataSize = sizeof data;
    size = 260;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &size, nullptr, nullptr, data, &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 22u);
}

TEST_F(RegistryTest, DeletingAKeyTakesEverythingBelow) {
    HKEY top = CreateKey(HKEY_CURRENT_USER, u"Top");
    HKEY deep = CreateKey(top, u"Middle\\Deep");
    SetDword(deep, u"x", 1);
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Top\\Middle"), ERROR_SUCCESS);
    HKEY probe = 0;
    EXPECT_EQ(RegOpenKeyExW(top, u"Middle\\Deep", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
    // A handle still open on a deleted key no longer reaches anything.
    DWORD value = 0, size = 4;
    EXPECT_EQ(
        RegQueryValueExW(deep, u"x", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        static_cast<LONG>(ERROR_KEY_DELETED));
    EXPECT_EQ(RegSetValueExW(deep, u"y", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              static_cast<LONG>(ERROR_KEY_DELETED));
    CreateKey(top, u"Middle\\Deep");  // a new key of the same name is another key
    EXPECT_EQ(RegQueryValueExW(deep, u"x", nullptr, nullptr, nullptr, &size),
              static_cast<LONG>(ERROR_KEY_DELETED));
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Top\\Middle\\Nothing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ValuesWrittenByAnotherProcessAreRead) {
    auto result = testing_support::RunProgram(testing_support::BuiltProgram("objectstore_peer"),
                                              {"regset", "Software\\Shared", "Greeting", "hello"},
                                              {device_.EnvAssignment()});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    HKEY key = 0;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, u"software\\shared", &key), ERROR_SUCCESS);
    WCHAR text[32] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    ASSERT_EQ(
        RegQueryValueExW(key, u"greeting", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::u16string(text), u"hello");

    SetText(key, u"Reply", u"hi there");
    result = testing_support::RunProgram(testing_support::BuiltProgram("objectstore_peer"),
                                         {"regget", "Software\\Shared", "Reply"},
                                         {device_.EnvAssignment()});
    EXPECT_EQ(result.out, "hi there\n");
}

// ---- Reads repeated after a change: what was read before must not be
// what is answered after ----

class RepeatedReadTest : public RegistryTest {
protected:
    std::vector<std::u16string> ValueNames(HKEY key) {
        std::vector<std::u16string> names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[260];
            DWORD size = 260;
            if (RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.emplace_back(name, size);
        }
        return names;
    }
    std::u16string Text(HKEY key, const char16_t* name) {
        WCHAR text[64] = {};
        DWORD size = sizeof text - sizeof(WCHAR);
        LONG rc =
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        if (rc == ERROR_SUCCESS)
            return std::u16string(text);
        std::u16string failed = u"<";
        failed += Utf8ToWide(std::to_string(rc));
        return failed + u">";
    }
    void PeerSets(const char* key, const char* name, const char* text) {
        auto result =
            testing_support::RunProgram(testing_support::BuiltProgram("objectstore_peer"),
                                        {"regset", key, name, text}, {device_.EnvAssignment()});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }
};

TEST_F(RepeatedReadTest, AnotherProcessesChangesAreSeenByTheNextRead) {
    HKEY shared = CreateKey(HKEY_CURRENT_USER, u"Software\\Shared");
    SetText(shared, u"Greeting", u"hello");
    CreateKey(shared, u"A");
    ASSERT_EQ(Text(shared, u"greeting"), u"hello");
    ASSERT_EQ(ValueNames(shared), std::vector<std::u16string>{u"Greeting"});
    ASSERT_EQ(SubKeys(shared), std::vector<std::u16string>{u"A"});
    ASSERT_EQ(SubKeys(HKEY_CURRENT_USER), std::vector<std::u16string>{u"Software"});

    PeerSets("Software\\Shared", "Greeting", "changed");
    PeerSets("Software\\Shared", "Second", "new");
    PeerSets("Software\\Shared\\B", "x", "1");
    PeerSets("Other", "y", "2");
    EXPECT_EQ(Text(shared, u"GREETING"), u"changed");
    EXPECT_EQ(ValueNames(shared), (std::vector<std::u16string>{u"Greeting", u"Second"}));
    EXPECT_EQ(SubKeys(shared), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER), (std::vector<std::u16string>{u"Software", u"Other"}));
    HKEY b = 0;
    ASSERT_EQ(OpenKey(shared, u"b", &b), ERROR_SUCCESS);
    EXPECT_EQ(Text(b, u"x"), u"1");
}

TEST_F(RepeatedReadTest, ThisProcessesWritesThroughAnyHandleAreSeenByTheNextRead) {
    HKEY first = CreateKey(HKEY_CURRENT_USER, u"Software\\Mine");
    HKEY second = 0;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, u"software\\mine", &second), ERROR_SUCCESS);
    SetText(first, u"a", u"1");
    ASSERT_EQ(ValueNames(second), std::vector<std::u16string>{u"a"});
    ASSERT_EQ(Text(second, u"a"), u"1");
    SetText(first, u"a", u"2");
    SetText(first, u"b", u"3");
    EXPECT_EQ(Text(second, u"a"), u"2");
    EXPECT_EQ(ValueNames(second), (std::vector<std::u16string>{u"a", u"b"}));
    ASSERT_EQ(RegDeleteValueW(first, u"A"), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(second), std::vector<std::u16string>{u"b"});
    EXPECT_EQ(Text(second, u"a"), u"<2>");

    CreateKey(first, u"Child");
    ASSERT_EQ(SubKeys(second), std::vector<std::u16string>{u"Child"});
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Mine"), ERROR_SUCCESS);
    EXPECT_EQ(Text(second, u"b"), u"<1018>");  // ERROR_KEY_DELETED
    WCHAR name[16];
    DWORD size = 16;
    EXPECT_EQ(RegEnumKeyExW(second, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              static_cast<LONG>(ERROR_KEY_DELETED));
    EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER).size() == 1);  // Software itself stays
}

TEST_F(RepeatedReadTest, ACreationThatFailsHalfwayLeavesNoKeyBehind) {
    std::u16string path = u"L1";
    for (int i = 2; i <= 15; ++i)
        path += u"\\L" + Utf8ToWide(std::to_string(i));
    HKEY deepest = CreateKey(HKEY_CURRENT_USER, path.c_str());
    ASSERT_TRUE(SubKeys(deepest).empty());
    HKEY key = 0;
    // L16 would be made before L17 is refused; the whole creation is undone.
    ASSERT_EQ(RegCreateKeyExW(deepest, u"L16\\L17", 0, u"", 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(SubKeys(deepest).empty());
    HKEY probe = 0;
    EXPECT_EQ(RegOpenKeyExW(deepest, u"L16", 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, AnOwnedKeyClosesWithItsOwnerWhileARootKeyStaysUsable) {
    HKEY raw = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Owned", 0, u"", 0, KEY_ALL_ACCESS,
                              nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    {
        UniqueKey key(raw);
        SetDword(key.get(), u"x", 1);
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(raw, u"x", nullptr, nullptr, nullptr, &size),
              static_cast<LONG>(ERROR_INVALID_HANDLE));
    { UniqueKey root(HKEY_CURRENT_USER); }
    HKEY reopened = 0;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, u"Software\\Owned", &reopened), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(reopened, u"x", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
}

}  // namespace
