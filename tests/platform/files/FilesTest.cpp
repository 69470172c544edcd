#include "platform/files/Files.h"

#include <gtest/gtest.h>
#include <fstream>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "tests/support/TempDevice.h"

namespace {

class Files : public ::testing::Test {
protected:
    void TearDown() override { ce::ClearWriteFailure(); }

    ce::HANDLE Create(const char16_t* name, ce::DWORD disposition = ce::CREATE_ALWAYS) {
        return ce::CreateFileW(name, ce::GENERIC_READ | ce::GENERIC_WRITE, 0, nullptr, disposition,
                               ce::FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    testing_support::TempDevice device_;
};

TEST_F(Files, DevicePathsLiveUnderTheDeviceFilesFolder) {
    EXPECT_EQ(ce::device::HostPath(u"\\My Documents\\a.bkp"),
              device_.path() / "files" / "My Documents" / "a.bkp");
    // ".." never climbs out of the device.
    EXPECT_EQ(ce::device::HostPath(u"\\..\\..\\etc\\passwd"),
              device_.path() / "files" / "etc" / "passwd");
    EXPECT_EQ(ce::device::HostPath(u"/tmp/x.bkp"), std::filesystem::path("/tmp/x.bkp"));
    ce::HANDLE h = Create(u"\\My Documents\\a.bkp");
    ASSERT_NE(h, ce::INVALID_HANDLE_VALUE);
    ce::CloseHandle(h);
    EXPECT_TRUE(std::filesystem::exists(device_.path() / "files" / "My Documents" / "a.bkp"));
}

TEST_F(Files, WriteSeekReadBack) {
    ce::HANDLE h = Create(u"\\data.bin");
    ASSERT_NE(h, ce::INVALID_HANDLE_VALUE);
    ce::DWORD n = 0;
    ASSERT_TRUE(ce::WriteFile(h, "abcdef", 6, &n, nullptr));
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(ce::SetFilePointer(h, 2, nullptr, ce::FILE_BEGIN), 2u);
    ASSERT_TRUE(ce::WriteFile(h, "XY", 2, &n, nullptr));
    EXPECT_EQ(ce::SetFilePointer(h, 0, nullptr, ce::FILE_BEGIN), 0u);
    char buffer[16] = {};
    ASSERT_TRUE(ce::ReadFile(h, buffer, sizeof buffer, &n, nullptr));
    EXPECT_EQ(n, 6u);  // a short read at the end is still a success
    EXPECT_EQ(std::string(buffer, n), "abXYef");
    EXPECT_EQ(ce::GetFileSize(h, nullptr), 6u);
    EXPECT_EQ(ce::SetFilePointer(h, -1, nullptr, ce::FILE_BEGIN), ce::INVALID_SET_FILE_POINTER);
    EXPECT_TRUE(ce::CloseHandle(h));
}

TEST_F(Files, ErrorsCarryThePlatformCodes) {
    EXPECT_EQ(Create(u"\\missing.bkp", ce::OPEN_EXISTING), ce::INVALID_HANDLE_VALUE);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Create(u"\\no such folder\\a.bkp"), ce::INVALID_HANDLE_VALUE);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_PATH_NOT_FOUND);
    ce::CloseHandle(Create(u"\\here.bkp"));
    EXPECT_EQ(Create(u"\\here.bkp", ce::CREATE_NEW), ce::INVALID_HANDLE_VALUE);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_FILE_EXISTS);
    EXPECT_EQ(Create(u"\\My Documents"), ce::INVALID_HANDLE_VALUE);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(ce::DeleteFileW(u"\\missing.bkp"));
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(ce::DeleteFileW(u"\\here.bkp"));
    EXPECT_EQ(ce::GetFileAttributesW(u"\\here.bkp"), ce::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ce::GetFileAttributesW(u"\\My Documents"), ce::FILE_ATTRIBUTE_DIRECTORY);
    ce::DWORD n;
    char c;
    EXPECT_FALSE(ce::ReadFile(ce::INVALID_HANDLE_VALUE, &c, 1, &n, nullptr));
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_INVALID_HANDLE);
}

TEST_F(Files, AFailingDeviceStoresWhatFitsAndReportsDiskFull) {
    ce::SetWriteFailure(10, "full.bkp");
    ce::HANDLE other = Create(u"\\other.bkp");
    ce::HANDLE full = Create(u"\\full.bkp");
    ce::DWORD n;
    std::string twelve(12, 'x');
    EXPECT_TRUE(ce::WriteFile(other, twelve.data(), 12, &n, nullptr));  // not the failing file
    EXPECT_TRUE(ce::WriteFile(full, twelve.data(), 8, &n, nullptr));
    EXPECT_FALSE(ce::WriteFile(full, twelve.data(), 4, &n, nullptr));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_DISK_FULL);
    EXPECT_FALSE(ce::WriteFile(full, twelve.data(), 1, &n, nullptr));
    EXPECT_EQ(ce::GetFileSize(full, nullptr), 10u);
    ce::CloseHandle(other);
    ce::CloseHandle(full);
}

TEST_F(Files, AccessModesAreEnforced) {
    ce::CloseHandle(Create(u"\\ro.bin"));
    ce::HANDLE h =
        ce::CreateFileW(u"\\ro.bin", ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, ce::INVALID_HANDLE_VALUE);
    ce::DWORD n;
    EXPECT_FALSE(ce::WriteFile(h, "a", 1, &n, nullptr));
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_ACCESS_DENIED);
    ce::CloseHandle(h);
}

}  // namespace
