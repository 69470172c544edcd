#include "tests/support/SeedDatabases.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/Handles.h"
#include "platform/core/Text.h"

namespace test_support {

using namespace ce;

CEOID MakeDatabase(const char16_t* name, int records, DWORD type, DWORD bytes,
                   const std::vector<SORTORDERSPEC>& sorts) {
    std::vector<SORTORDERSPEC> orders = sorts;
    CEOID oid = CeCreateDatabase(name, type, static_cast<WORD>(orders.size()),
                                 orders.empty() ? nullptr : orders.data());
    EXPECT_NE(oid, 0u) << WideToUtf8(name);
    CEOID opened = oid;
    HANDLE handle = CeOpenDatabase(&opened, nullptr, 0, 0, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << WideToUtf8(name);
    if (handle == INVALID_HANDLE_VALUE)
        return oid;
    if (bytes > 0) {
        // One record of one blob: a 16-byte entry followed by its bytes.
        std::vector<BYTE> data(bytes - 16, 0x5A);
        CEPROPVAL value{};
        value.propid = kSeedBlob;
        value.val.blob.dwCount = static_cast<DWORD>(data.size());
        value.val.blob.lpb = data.data();
        EXPECT_NE(CeWriteRecordProps(handle, 0, 1, &value), 0u);
    }
    for (int i = 0; i < records && bytes == 0; ++i) {
        std::u16string text = u"record " + Utf8ToWide(std::to_string(i));
        CEPROPVAL value{};
        value.propid = kSeedText;
        value.val.lpwstr = text.data();
        EXPECT_NE(CeWriteRecordProps(handle, 0, 1, &value), 0u);
    }
    CloseHandle(handle);
    if (bytes > 0) {
        EXPECT_EQ(DatabaseInfo(name).dwSize, bytes) << WideToUtf8(name);
    }
    return oid;
}

bool DatabaseExists(const char16_t* name) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

CEDBASEINFO DatabaseInfo(const char16_t* name) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    CEOIDINFO info{};
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        CeOidGetInfo(oid, &info);
    }
    return info.infDatabase;
}

}  // namespace test_support
