// The registry backup file: header and record images written out by hand
// from the format table, and the reader's refusals.

#include "regbackup/RegistryBackupFile.h"

#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/Bytes.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace regbackup;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}
void PutText(Bytes& b, std::u16string_view text) {
    Put32(b, static_cast<std::uint32_t>((text.size() + 1) * 2));
    for (char16_t c : text)
        Put16(b, c);
    Put16(b, 0);
}

class RegistryBackupFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (file_ != ce::INVALID_HANDLE_VALUE)
            ce::CloseHandle(file_);
    }

    // Opens (creating) the test file for reading and writing.
    HANDLE Open(DWORD disposition = ce::CREATE_ALWAYS) {
        if (file_ != ce::INVALID_HANDLE_VALUE)
            ce::CloseHandle(file_);
        std::u16string path = ce::Utf8ToWide((device_.path() / "test.rbk").string());
        file_ = ce::CreateFileW(path.c_str(), ce::GENERIC_READ | ce::GENERIC_WRITE, 0, nullptr,
                                disposition, 0, nullptr);
        return file_;
    }
    // Makes the test file hold exactly `bytes` and opens it at its start.
    HANDLE WithBytes(const Bytes& bytes) {
        if (file_ != ce::INVALID_HANDLE_VALUE) {
            ce::CloseHandle(file_);
            file_ = ce::INVALID_HANDLE_VALUE;
        }
        std::ofstream(device_.path() / "test.rbk", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return Open(ce::OPEN_EXISTING);
    }
    Bytes FileBytes() {
        std::ifstream in(device_.path() / "test.rbk", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    testing_support::TempDevice device_;
    HANDLE file_ = ce::INVALID_HANDLE_VALUE;
};

Bytes HeaderImage(const WCHAR* stored, std::uint32_t roots, std::uint32_t keys) {
    Bytes b = {0x31, 0x30, 0x57, 0x52, 84, 0, 0, 0};
    for (int i = 0; i < 20; ++i) {
        bool inText = stored != nullptr && std::u16string_view(stored).size() > std::size_t(i);
        Put16(b, inText ? stored[i] : 0);
    }
    Put32(b, roots);
    Put32(b, 84);
    Put32(b, 0);  // creation time: compared apart
    Put32(b, 0);
    Put32(b, keys);
    b.resize(84, 0);
    return b;
}

TEST_F(RegistryBackupFileTest, HeaderImagesWithAndWithoutPassword) {
    WCHAR none[backup::kPasswordUnits] = {};
    ASSERT_TRUE(WriteRbkHeader(Open(), none, kRootClassesRoot | kRootLocalMachine, 0));
    Bytes image = FileBytes();
    ASSERT_EQ(image.size(), 84u);
    EXPECT_NE(ce::LoadU64(&image[56]), 0u);  // stamped with the time
    std::fill(image.begin() + 56, image.begin() + 64, 0);
    EXPECT_EQ(image, HeaderImage(nullptr, 5, 0));

    WCHAR stored[backup::kPasswordUnits] = u"hunter2";
    backup::ScramblePassword(stored);
    ASSERT_TRUE(WriteRbkHeader(Open(), stored, 7, 12));
    image = FileBytes();
    std::fill(image.begin() + 56, image.begin() + 64, 0);
    EXPECT_EQ(image, HeaderImage(stored, 7, 12));

    RbkHeader header;
    ASSERT_TRUE(ReadRbkHeader(file_, header));
    EXPECT_EQ(header.rootFlags, 7u);
    EXPECT_EQ(header.keyCount, 12u);
    EXPECT_EQ(header.firstRecord, 84u);
    backup::ScramblePassword(header.password);
    EXPECT_EQ(std::u16string(header.password), u"hunter2");
}

TEST_F(RegistryBackupFileTest, AnyChangedSignatureByteOrSizeMakesTheHeaderUnreadable) {
    Bytes good = HeaderImage(nullptr, 1, 0);
    RbkHeader header;
    ASSERT_TRUE(ReadRbkHeader(WithBytes(good), header));
    for (std::size_t at : {0, 1, 2, 3, 4}) {
        Bytes bad = good;
        bad[at] ^= 0x01;
        EXPECT_FALSE(ReadRbkHeader(WithBytes(bad), header)) << at;
    }
    good.pop_back();
    EXPECT_FALSE(ReadRbkHeader(WithBytes(good), header));
}

KeyRecord SampleKey() {
    KeyRecord key;
    key.root = kHkeyCurrentUser;
    key.path = u"Software\\Corvane\\Tessaly";
    key.values.resize(3);
    key.values[0].type = 1;  // REG_SZ, the default value
    key.values[0].SetData(reinterpret_cast<const BYTE*>(u"on"), 6);
    key.values[1].name = u"Count";
    key.values[1].type = 4;  // REG_DWORD
    const BYTE four[] = {4, 0, 0, 0};
    key.values[1].SetData(four, 4);
    key.values[2].name = u"Empty";
    key.values[2].type = 3;  // REG_BINARY, no bytes
    key.values[2].SetData(nullptr, 0);
    return key;
}

TEST_F(RegistryBackupFileTest, KeyRecordImageAndItsReadingBack) {
    ASSERT_TRUE(WriteKeyRecord(Open(), SampleKey()));
    Bytes expected;
    Put32(expected, 3);
    Put32(expected, 0x80000001);
    PutText(expected, u"Software\\Corvane\\Tessaly");
    PutText(expected, u"");
    PutText(expected, u"");
    Put32(expected, 1);
    Put32(expected, 6);
    for (char16_t c : std::u16string_view(u"on\0", 3))
        Put16(expected, c);
    PutText(expected, u"Count");
    Put32(expected, 4);
    Put32(expected, 4);
    Put32(expected, 4);
    PutText(expected, u"Empty");
    Put32(expected, 3);
    Put32(expected, 0);
    ASSERT_EQ(FileBytes(), expected);

    KeyRecord read;
    ASSERT_TRUE(ReadKeyRecord(WithBytes(expected), read));
    KeyRecord sample = SampleKey();
    EXPECT_EQ(read.path, sample.path);
    EXPECT_EQ(read.keyClass, u"");
    EXPECT_EQ(read.root, kHkeyCurrentUser);
    EXPECT_EQ(read.valueCount, 3u);
    ASSERT_EQ(read.values.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(read.values[i] == sample.values[i]) << i;

    read.Clear();
    EXPECT_TRUE(read.values.empty());
    EXPECT_EQ(read.root, kHkeyClassesRoot);
}

TEST_F(RegistryBackupFileTest, AKeyWithoutValuesWritesNothing) {
    KeyRecord key;
    key.path = u"Software";
    ASSERT_TRUE(WriteKeyRecord(Open(), key));
    EXPECT_TRUE(FileBytes().empty());
}

TEST(ValueRecordTest, EqualityComparesTypeSizeExactNameAndData) {
    auto make = [](DWORD type, std::u16string name, Bytes data) {
        ValueRecord v;
        v.type = type;
        v.name = std::move(name);
        v.SetData(data.data(), static_cast<DWORD>(data.size()));
        return v;
    };
    ValueRecord base = make(3, u"Blob", {1, 2, 3});
    EXPECT_TRUE(base == make(3, u"Blob", {1, 2, 3}));
    EXPECT_FALSE(base == make(4, u"Blob", {1, 2, 3}));
    EXPECT_FALSE(base == make(3, u"blob", {1, 2, 3}));
    EXPECT_FALSE(base == make(3, u"Blob", {1, 2, 4}));
    EXPECT_FALSE(base == make(3, u"Blob", {1, 2}));
}

// A key record whose path, class or value name has `units` characters.
Bytes KeyWithTextOf(std::size_t units, int which) {
    std::u16string longText(units, u'k');
    Bytes b;
    Put32(b, 1);
    Put32(b, 0x80000002);
    PutText(b, which == 0 ? longText : u"Key");
    PutText(b, which == 1 ? longText : u"");
    PutText(b, which == 2 ? longText : u"Value");
    Put32(b, 4);
    Put32(b, 4);
    Put32(b, 0x01020304);
    return b;
}

TEST_F(RegistryBackupFileTest, TextsUpTo259CharactersReadAndLongerOnesAreRefused) {
    for (int which : {0, 1, 2}) {
        KeyRecord key;
        EXPECT_TRUE(ReadKeyRecord(WithBytes(KeyWithTextOf(258, which)), key)) << which;
        EXPECT_TRUE(ReadKeyRecord(WithBytes(KeyWithTextOf(259, which)), key)) << which;
        std::u16string text = which == 0   ? key.path
                              : which == 1 ? key.keyClass
                                           : key.values[0].name;
        EXPECT_EQ(text.size(), 259u);
        EXPECT_FALSE(ReadKeyRecord(WithBytes(KeyWithTextOf(260, which)), key)) << which;
    }
}

TEST_F(RegistryBackupFileTest, BrokenKeyRecordsAreRefused) {
    KeyRecord key;
    Bytes zeroValues = KeyWithTextOf(3, 0);
    ce::StoreU32(zeroValues.data(), 0);
    EXPECT_FALSE(ReadKeyRecord(WithBytes(zeroValues), key)) << "ZeroValueKey";

    Bytes tooMany = KeyWithTextOf(3, 0);
    ce::StoreU32(tooMany.data(), 0xFFFFFFFF);
    EXPECT_FALSE(ReadKeyRecord(WithBytes(tooMany), key));

    Bytes twoAnnounced = KeyWithTextOf(3, 0);
    ce::StoreU32(twoAnnounced.data(), 2);
    twoAnnounced.resize(twoAnnounced.size() + 14, 0);  // room, but no second record
    EXPECT_FALSE(ReadKeyRecord(WithBytes(twoAnnounced), key));

    Bytes hugeData = KeyWithTextOf(3, 0);
    ce::StoreU32(&hugeData[hugeData.size() - 8], 0xFFFFFFF0);
    EXPECT_FALSE(ReadKeyRecord(WithBytes(hugeData), key));

    Bytes oddLength = KeyWithTextOf(3, 0);
    ce::StoreU32(&oddLength[8], 7);
    EXPECT_FALSE(ReadKeyRecord(WithBytes(oddLength), key));

    Bytes cut = KeyWithTextOf(3, 0);
    for (std::size_t size = 0; size < cut.size(); ++size)
        EXPECT_FALSE(ReadKeyRecord(WithBytes(Bytes(cut.begin(), cut.begin() + size)), key)) << size;
}

// ---- Reading through a buffer ----

// A key whose one value holds `size` bytes, all `fill`.
KeyRecord KeyOfSize(int index, DWORD size, BYTE fill) {
    KeyRecord key;
    key.root = kHkeyLocalMachine;
    key.path = u"Key" + ce::Utf8ToWide(std::to_string(index));
    key.values.emplace_back();
    key.values.back().name = u"v";
    key.values.back().type = 3;
    std::vector<BYTE> data(size, fill);
    key.values.back().SetData(data.data(), size);
    return key;
}

TEST_F(RegistryBackupFileTest, BufferedReadingGivesBackEveryRecordAcrossBufferBoundaries) {
    // Sizes around the buffer's: records that end just before, on and just
    // after a boundary, and values larger than the whole buffer.
    std::vector<DWORD> sizes;
    for (DWORD size : {0u, 1u, 100u, 4093u, 65535u, 65536u, 65537u, 200000u, 7u})
        sizes.push_back(size);
    for (int i = 0; i < 300; ++i)
        sizes.push_back(static_cast<DWORD>(i * 37 % 1000));
    HANDLE file = Open();
    for (std::size_t i = 0; i < sizes.size(); ++i)
        ASSERT_TRUE(WriteKeyRecord(file, KeyOfSize(static_cast<int>(i), sizes[i], BYTE(i))));
    ASSERT_EQ(ce::SetFilePointer(file, 0, nullptr, ce::FILE_BEGIN), 0u);
    RbkReader reader(file);
    KeyRecord read;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        ASSERT_TRUE(ReadKeyRecord(reader, read)) << i;
        KeyRecord expected = KeyOfSize(static_cast<int>(i), sizes[i], BYTE(i));
        EXPECT_EQ(read.path, expected.path);
        ASSERT_EQ(read.values.size(), 1u);
        EXPECT_TRUE(read.values[0] == expected.values[0]) << i;
    }
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_FALSE(ReadKeyRecord(reader, read));
}

TEST_F(RegistryBackupFileTest, ABufferedReaderRefusesASizeBeyondTheFileAndACutRecord) {
    HANDLE file = Open();
    ASSERT_TRUE(WriteKeyRecord(file, KeyOfSize(1, 70000, 9)));
    Bytes whole = FileBytes();
    for (std::size_t cut : {whole.size() - 1, whole.size() - 70000, std::size_t{12}}) {
        RbkReader reader(WithBytes(Bytes(whole.begin(), whole.begin() + cut)));
        KeyRecord read;
        EXPECT_FALSE(ReadKeyRecord(reader, read)) << cut;
    }
}

}  // namespace
