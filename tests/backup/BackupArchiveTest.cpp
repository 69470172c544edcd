// BackupArchive on real files: the images it leaves on disk, reading them
// back block by block, and the message each broken file gets.

#include "backup/BackupArchive.h"

#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "appcore/Application.h"
#include "backup/ScriptFile.h"
#include "platform/core/Bytes.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/shell/Shell.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace backup;
using Bytes = std::vector<std::uint8_t>;

struct TestDatabase {
    std::u16string name;
    DWORD size;
    std::vector<Bytes> records;
};

const ce::SYSTEMTIME kStoredAt = {2026, 12, 2, 8, 6, 18, 51, 0};

class BackupArchiveTest : public ::testing::Test {
protected:
    void TearDown() override {
        ce::ClearWriteFailure();
        EXPECT_EQ(ce::OpenHandleCount(), handlesAtStart_);
    }

    std::filesystem::path HostPath(const char* name) const { return device_.path() / name; }
    std::u16string WidePath(const char* name) const {
        return ce::Utf8ToWide(HostPath(name).string());
    }

    static ce::HANDLE CreateForWriting(const std::u16string& path) {
        return ce::CreateFileW(path.c_str(), ce::GENERIC_READ | ce::GENERIC_WRITE, 0, nullptr,
                               ce::CREATE_ALWAYS, ce::FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    static ce::CEDBASEINFO Info(const TestDatabase& db) {
        ce::CEDBASEINFO info{};
        ce::CopyWide(info.szDbaseName, db.name);
        info.dwDbaseType = 7;
        info.wNumRecords = static_cast<WORD>(db.records.size());
        info.wNumSortOrder = 1;
        info.dwSize = db.size;
        info.rgSortSpecs[0] = {0x0001001F, 0};
        return info;
    }

    // Writes an archive as a backup does; true when every step succeeded.
    bool WriteArchive(const char* name, bool compressed, std::u16string_view password,
                      const std::vector<TestDatabase>& databases) {
        BackupArchive archive;
        archive.SetCompress(compressed);
        archive.SetPassword(password);
        if (compressed && !archive.CreateCodec())
            return false;
        std::u16string path = WidePath(name);
        ce::HANDLE file = CreateForWriting(path);
        if (file == ce::INVALID_HANDLE_VALUE)
            return false;
        archive.AttachFile(file, path.c_str());
        bool ok = archive.BeginArchive();
        for (const TestDatabase& db : databases) {
            if (!ok)
                break;
            ok = archive.BeginDatabaseBlock(Info(db), kStoredAt);
            for (const Bytes& record : db.records) {
                ok = ok && archive.WriteRecord(static_cast<WORD>(record.size() / 16 + 1),
                                               record.data(), static_cast<DWORD>(record.size()));
            }
            ok = ok && archive.FinishDatabaseBlock();
            archive.CountWrittenDatabase();
        }
        archive.FinishArchive();
        return ok;
    }

    Bytes FileBytes(const char* name) const {
        std::ifstream in(HostPath(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteBytes(const char* name, const Bytes& bytes) const {
        std::ofstream out(HostPath(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    // Reads the archive back: the catalogue, then every record of every
    // block. False at the first failure (its message shown).
    bool ReadArchive(const char* name, std::vector<TestDatabase>& out) {
        BackupArchive archive;
        if (!archive.OpenArchiveFile(WidePath(name).c_str()))
            return false;
        std::vector<CatalogueEntry> rows;
        if (!archive.WalkCatalogue(rows))
            return false;
        out.clear();
        for (const CatalogueEntry& row : rows) {
            archive.SetPosition(row.position);
            DatabaseHeader header;
            if (!archive.ReadDatabaseHeader(header))
                return false;
            TestDatabase db{header.info.szDbaseName, header.info.dwSize, {}};
            for (WORD i = 0; i < header.info.wNumRecords; ++i) {
                ArchiveRecord record;
                if (!archive.ReadRecord(record, header.info.szDbaseName))
                    return false;
                db.records.emplace_back(record.image(), record.image() + record.imageLength());
            }
            out.push_back(db);
        }
        return true;
    }

    std::vector<ce::UINT> Shown() { return session_.user().ShownIds(); }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
    std::size_t handlesAtStart_ = ce::OpenHandleCount();
};

Bytes Pattern(std::size_t size, unsigned seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>((i * seed) >> 3);
    return b;
}

const std::vector<TestDatabase> kTwoDatabases = {
    {u"Contacts", 1536, {Pattern(48, 3), Pattern(300, 5), Pattern(16, 7)}},
    {u"\\Calendar", 1023, {}},
};

TEST_F(BackupArchiveTest, AnEmptyArchiveIsItsHeaderAloneOrWithThePasswordBlock) {
    ASSERT_TRUE(WriteArchive("empty.bkp", true, u"", {}));
    const Bytes plain = {0x31, 0x30, 0x53, 0x54, 24, 0, 0, 0, 0,  0, 0, 0,
                         1,    0,    0,    0,    0,  0, 0, 0, 24, 0, 0, 0};
    EXPECT_EQ(FileBytes("empty.bkp"), plain);

    ASSERT_TRUE(WriteArchive("locked.bkp", false, u"open sesame", {}));
    Bytes image = FileBytes("locked.bkp");
    ASSERT_EQ(image.size(), 64u);
    EXPECT_EQ(ce::LoadU32(&image[16]), 0x10u);
    EXPECT_EQ(ce::LoadU32(&image[20]), 64u);
    std::u16string plainText = u"open sesame";
    for (std::size_t i = 0; i < 20; ++i) {
        WORD expected = i < plainText.size() ? (plainText[i] ^ PasswordKey()) : 0;
        EXPECT_EQ(ce::LoadU16(&image[24 + 2 * i]), expected) << i;
    }

    std::vector<TestDatabase> read;
    EXPECT_TRUE(ReadArchive("locked.bkp", read));
    EXPECT_TRUE(read.empty());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(BackupArchiveTest, AnEmptyDatabaseIsAHeaderPointingJustPastItself) {
    ASSERT_TRUE(WriteArchive("plain.bkp", false, u"", {{u"Empty", 0, {}}}));
    Bytes image = FileBytes("plain.bkp");
    ASSERT_EQ(image.size(), 24u + 144u);
    EXPECT_EQ(ce::LoadU32(&image[8]), 1u);
    EXPECT_EQ(ce::LoadU32(&image[24]), 144u);
    EXPECT_EQ(ce::LoadU32(&image[24 + 140]), 168u);

    ASSERT_TRUE(WriteArchive("packed.bkp", true, u"", {{u"Empty", 0, {}}}));
    image = FileBytes("packed.bkp");
    DWORD length = ce::LoadU32(&image[28]);
    EXPECT_EQ(ce::LoadU32(&image[24]), 32u + length);
    EXPECT_EQ(image.size(), 32u + length);
    LzwCodec codec;
    ASSERT_TRUE(codec.Decompress(&image[32], length));
    ASSERT_EQ(codec.OutputLength(), 144u);
    EXPECT_EQ(ce::LoadU32(codec.Output() + 140), 0u);  // the prefix carries it
    EXPECT_EQ(ce::LoadU32(codec.Output()), 144u);
}

class BackupArchiveRoundTrip : public BackupArchiveTest,
                               public ::testing::WithParamInterface<bool> {};

TEST_P(BackupArchiveRoundTrip, EveryBlockAndRecordReadsBackAsWritten) {
    ASSERT_TRUE(WriteArchive("two.bkp", GetParam(), u"pw12", kTwoDatabases));
    std::vector<TestDatabase> read;
    ASSERT_TRUE(ReadArchive("two.bkp", read));
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read[i].name, kTwoDatabases[i].name);
        EXPECT_EQ(read[i].size, kTwoDatabases[i].size);
        EXPECT_EQ(read[i].records, kTwoDatabases[i].records);
    }
    EXPECT_TRUE(Shown().empty());

    BackupArchive archive;
    ASSERT_TRUE(archive.OpenArchiveFile(WidePath("two.bkp").c_str()));
    EXPECT_TRUE(archive.passwordSet());
    EXPECT_EQ(archive.compress(), GetParam());
    WCHAR password[kPasswordUnits];
    std::memcpy(password, archive.storedPassword(), sizeof password);
    ScramblePassword(password);
    EXPECT_EQ(std::u16string(password), u"pw12");
}

TEST_P(BackupArchiveRoundTrip, RecordHeadersCountFromOneAndCarryTheStoredLength) {
    ASSERT_TRUE(WriteArchive("two.bkp", GetParam(), u"", kTwoDatabases));
    Bytes image = FileBytes("two.bkp");
    std::size_t at = GetParam() ? 24 + 8 + ce::LoadU32(&image[28]) : 24 + 144;
    for (DWORD sequence = 1; sequence <= 3; ++sequence) {
        ASSERT_LE(at + 16, image.size());
        const Bytes& record = kTwoDatabases[0].records[sequence - 1];
        EXPECT_EQ(ce::LoadU16(&image[at]), record.size() / 16 + 1);
        EXPECT_EQ(ce::LoadU16(&image[at + 2]), 0);
        EXPECT_EQ(ce::LoadU32(&image[at + 4]), sequence);
        EXPECT_EQ(ce::LoadU32(&image[at + 8]), 16u);
        DWORD length = ce::LoadU32(&image[at + 12]);
        if (!GetParam()) {
            EXPECT_EQ(length, record.size());
            EXPECT_EQ(Bytes(&image[at + 16], &image[at + 16] + length), record);
        }
        at += 16 + length;
    }
    // The first block ends where the second begins.
    std::size_t next = GetParam() ? ce::LoadU32(&image[24]) : ce::LoadU32(&image[24 + 140]);
    EXPECT_EQ(next, at);
}

INSTANTIATE_TEST_SUITE_P(Compression, BackupArchiveRoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Compressed" : "Plain"; });

// More record bytes than the writer gathers before it writes them out,
// with records on both sides of each boundary and one larger than it.
std::vector<TestDatabase> LargeDatabases() {
    std::vector<Bytes> records;
    for (unsigned i = 0; i < 90; ++i)
        records.push_back(Pattern(700 + 37 * i, i + 1));
    records.insert(records.begin() + 40, Pattern(70000, 9));
    return {{u"Large", 200000, records}, {u"After", 16, {Pattern(16, 2)}}};
}

TEST_F(BackupArchiveTest, ALargeBlockIsLaidOutByteForByteAsTheFormatSays) {
    std::vector<TestDatabase> databases = LargeDatabases();
    ASSERT_TRUE(WriteArchive("large.bkp", false, u"", databases));
    // The image built field by field from the format alone.
    ArchiveHeader archive = MakeArchiveHeader(2, false, false);
    auto head = EncodeArchiveHeader(archive);
    Bytes expected(head.begin(), head.end());
    for (const TestDatabase& db : databases) {
        std::size_t headerAt = expected.size();
        expected.resize(expected.size() + kDatabaseHeaderSize);
        DWORD sequence = 0;
        for (const Bytes& record : db.records) {
            RecordHeader header;
            header.propertyCount = static_cast<WORD>(record.size() / 16 + 1);
            header.sequence = ++sequence;
            header.length = static_cast<DWORD>(record.size());
            auto bytes = EncodeRecordHeader(header);
            expected.insert(expected.end(), bytes.begin(), bytes.end());
            expected.insert(expected.end(), record.begin(), record.end());
        }
        DatabaseHeader header;
        header.info = Info(db);
        header.stored = kStoredAt;
        header.nextBlock = static_cast<DWORD>(expected.size());
        auto bytes = EncodeDatabaseHeader(header);
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<long>(headerAt));
    }
    EXPECT_EQ(FileBytes("large.bkp"), expected);

    ASSERT_TRUE(WriteArchive("large-packed.bkp", true, u"", databases));
    std::vector<TestDatabase> read;
    ASSERT_TRUE(ReadArchive("large-packed.bkp", read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].records, databases[0].records);
    EXPECT_EQ(read[1].records, databases[1].records);
}

TEST_F(BackupArchiveTest, AWriteThatFailsInsideALargeBlockFailsTheBlock) {
    for (std::uint64_t limit : {1000u, 70000u, 140000u}) {
        session_.user().ClearShown();
        ce::SetWriteFailure(limit, "large.bkp");
        EXPECT_FALSE(WriteArchive("large.bkp", false, u"", LargeDatabases())) << limit;
        ce::ClearWriteFailure();
        std::vector<ce::UINT> shown = Shown();
        ASSERT_FALSE(shown.empty()) << limit;
        EXPECT_EQ(shown.front(), res::IDS_CANT_WRITE_FILE) << limit;
    }
}

TEST_F(BackupArchiveTest, AFailedWriteSaysTheFileCannotBeWritten) {
    ce::SetWriteFailure(30, "full.bkp");
    EXPECT_FALSE(WriteArchive("full.bkp", false, u"", {{u"Big", 0, {Pattern(100, 3)}}}));
    // The header fits, the database header does not; the final header
    // rewrite fails again.
    EXPECT_EQ(Shown(), (std::vector<ce::UINT>{res::IDS_CANT_WRITE_FILE, res::IDS_CANT_WRITE_FILE}));
}

TEST_F(BackupArchiveTest, NothingIsShownWhenRunningSilently) {
    appcore::App().settings = std::make_unique<appcore::Settings>();
    appcore::App().settings->silent = 1;
    ce::SetWriteFailure(0, "full.bkp");
    EXPECT_FALSE(WriteArchive("full.bkp", false, u"", {}));
    WriteBytes("short.bkp", Bytes(10, 0));
    std::vector<TestDatabase> read;
    EXPECT_FALSE(ReadArchive("short.bkp", read));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(BackupArchiveTest, ArchivesThatCannotBeOpenedOrAreShortSayTheFileCannotBeRead) {
    std::vector<TestDatabase> read;
    EXPECT_FALSE(ReadArchive("missing.bkp", read));
    WriteBytes("short.bkp", Bytes(23, 0));
    EXPECT_FALSE(ReadArchive("short.bkp", read));
    Bytes header(24 + 39, 'a');  // password block one byte short
    std::fill(header.begin(), header.begin() + 24, 0);
    header[16] = 0x10;
    header[20] = 64;
    WriteBytes("nopassword.bkp", header);
    EXPECT_FALSE(ReadArchive("nopassword.bkp", read));
    EXPECT_EQ(Shown(), (std::vector<ce::UINT>(3, res::IDS_CANT_READ_FILE)));
}

TEST_F(BackupArchiveTest, SignatureAndHeaderSizeAreIgnored) {
    ASSERT_TRUE(WriteArchive("two.bkp", true, u"", kTwoDatabases));
    Bytes image = FileBytes("two.bkp");
    std::fill(image.begin(), image.begin() + 8, 0xEE);
    WriteBytes("two.bkp", image);
    std::vector<TestDatabase> read;
    EXPECT_TRUE(ReadArchive("two.bkp", read));
    EXPECT_EQ(read.size(), 2u);
}

TEST_F(BackupArchiveTest, BrokenDatabaseHeadersFailTheWalkWithTheirMessage) {
    std::vector<TestDatabase> read;
    // Uncompressed header cut short.
    ASSERT_TRUE(WriteArchive("plain.bkp", false, u"", kTwoDatabases));
    Bytes image = FileBytes("plain.bkp");
    image.resize(24 + 100);
    WriteBytes("cut.bkp", image);
    EXPECT_FALSE(ReadArchive("cut.bkp", read));
    EXPECT_EQ(Shown().back(), res::IDS_CANT_READ_FILE);

    // A compressed archive that ends exactly where its second block should
    // begin: the missing prefix reads as an empty stream.
    ASSERT_TRUE(WriteArchive("packed.bkp", true, u"", kTwoDatabases));
    image = FileBytes("packed.bkp");
    image.resize(ce::LoadU32(&image[24]));
    WriteBytes("ends.bkp", image);
    EXPECT_FALSE(ReadArchive("ends.bkp", read));
    EXPECT_EQ(Shown().back(), res::IDS_COMPRESSED_NO_MEMORY);

    // A compressed header that unpacks to 143 bytes.
    LzwCodec codec;
    Bytes short143(143, 0);
    ASSERT_TRUE(codec.Compress(short143.data(), short143.size()));
    Bytes odd = {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0};
    DWORD length = static_cast<DWORD>(codec.OutputLength());
    Bytes prefix(8, 0);
    ce::StoreU32(prefix.data(), 32 + length);
    ce::StoreU32(prefix.data() + 4, length);
    odd.insert(odd.end(), prefix.begin(), prefix.end());
    odd.insert(odd.end(), codec.Output(), codec.Output() + length);
    WriteBytes("odd.bkp", odd);
    EXPECT_FALSE(ReadArchive("odd.bkp", read));
    EXPECT_EQ(Shown().back(), res::IDS_CANT_READ_FILE);

    // A prefix announcing more than the file holds.
    ce::StoreU32(&odd[28], 0x7FFFFFF0);
    WriteBytes("huge.bkp", odd);
    EXPECT_FALSE(ReadArchive("huge.bkp", read));
    EXPECT_EQ(Shown().back(), res::IDS_CANT_READ_FILE);
    EXPECT_EQ(Shown().size(), 4u);
}

TEST_F(BackupArchiveTest, ABlockChainThatLeadsBackIsRefusedInsteadOfWalkedForever) {
    ASSERT_TRUE(WriteArchive("loop.bkp", false, u"", {{u"Empty", 0, {}}}));
    Bytes image = FileBytes("loop.bkp");
    ce::StoreU32(&image[8], 0xFFFFFFFF);  // count
    ce::StoreU32(&image[24 + 140], 24);   // next block: itself
    WriteBytes("loop.bkp", image);
    std::vector<TestDatabase> read;
    EXPECT_FALSE(ReadArchive("loop.bkp", read));
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_CANT_READ_FILE});
}

TEST_F(BackupArchiveTest, ShortRecordsSayTheArchiveIsCorruptWithTheDatabaseName) {
    for (bool compressed : {false, true}) {
        session_.user().ClearShown();
        ASSERT_TRUE(WriteArchive("two.bkp", compressed, u"", kTwoDatabases));
        Bytes image = FileBytes("two.bkp");
        // Cut inside the third record of the first block: the catalogue
        // still reads (the second header is gone too, so keep one block).
        ce::StoreU32(&image[8], 1);
        std::size_t end = compressed ? ce::LoadU32(&image[24]) : ce::LoadU32(&image[24 + 140]);
        image.resize(end - 3);
        WriteBytes("TruncatedRecord.bkp", image);
        std::vector<TestDatabase> read;
        EXPECT_FALSE(ReadArchive("TruncatedRecord.bkp", read));
        ASSERT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_RESTORE_CORRUPT});
        EXPECT_NE(session_.user().shown()[0].text.find(u"\"Contacts\""), std::u16string::npos);
    }
}

TEST_F(BackupArchiveTest, ARecordThatDoesNotDecompressGetsTheOutOfMemoryMessage) {
    ASSERT_TRUE(WriteArchive("two.bkp", true, u"", kTwoDatabases));
    Bytes image = FileBytes("two.bkp");
    std::size_t record = 24 + 8 + ce::LoadU32(&image[28]);
    // The first code of the image names an entry that does not exist yet.
    image[record + 16] = 0xFF;
    image[record + 17] = 0xFF;
    WriteBytes("bad.bkp", image);
    std::vector<TestDatabase> read;
    EXPECT_FALSE(ReadArchive("bad.bkp", read));
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{ce::kOutOfMemoryMessageId});
}

TEST_F(BackupArchiveTest, CatalogueTexts) {
    DatabaseHeader header;
    header.info.dwSize = 1536;
    header.info.wNumRecords = 3;
    header.stored = kStoredAt;
    EXPECT_EQ(CatalogueSizeText(header), u"1.50KB");
    EXPECT_EQ(CatalogueInformation(header, true),
              u"Compressed; Size 1.50 KB; Stored 12/08/26 06:18; Records 3");
    header.info.dwSize = 1023;
    EXPECT_EQ(CatalogueSizeText(header), u"0.99KB");
    EXPECT_EQ(CatalogueInformation(header, false),
              u"Not compressed; Size 0.99 KB; Stored 12/08/26 06:18; Records 3");
}

// Files written from the format tables by tests/data/make_files.py, the
// compressed one with `compress`.
TEST_F(BackupArchiveTest, ArchivesWrittenElsewhereReadRecordForRecord) {
    for (const char* name : {"Sample.bkp", "SampleCompressed.bkp"}) {
        std::filesystem::copy_file(std::string(TESSALY_TEST_DATA) + "/" + name, HostPath(name));
        std::vector<TestDatabase> read;
        ASSERT_TRUE(ReadArchive(name, read)) << name;
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0].name, u"Contacts");
        EXPECT_EQ(read[1].name, u"\\Calendar");
        ASSERT_EQ(read[0].records.size(), 3u);
        const Bytes& third = read[0].records[2];
        ASSERT_EQ(third.size(), 32u + 20u);
        EXPECT_EQ(ce::LoadU32(&third[8]), 3u);  // the I4 value
        EXPECT_EQ(ce::LoadU16(&third[32]), u'c');
    }
    BackupArchive archive;
    ASSERT_TRUE(archive.OpenArchiveFile(WidePath("Sample.bkp").c_str()));
    WCHAR password[kPasswordUnits];
    std::memcpy(password, archive.storedPassword(), sizeof password);
    ScramblePassword(password);
    EXPECT_EQ(std::u16string(password), u"pass");

    std::filesystem::copy_file(std::string(TESSALY_TEST_DATA) + "/TruncatedRecord.bkp",
                               HostPath("TruncatedRecord.bkp"));
    std::vector<TestDatabase> read;
    EXPECT_FALSE(ReadArchive("TruncatedRecord.bkp", read));
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_RESTORE_CORRUPT});
}

// Bytes that do not compress: each from a xorshift generator.
Bytes Noise(std::size_t size) {
    Bytes b(size);
    std::uint32_t x = 2463534242u;
    for (auto& byte : b) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = static_cast<std::uint8_t>(x);
    }
    return b;
}

TEST_F(BackupArchiveTest, TheLargestRecordReadsBackButALargerOneIsDamaged) {
    // The largest record the store takes, even as noise that LZW expands.
    for (bool compressed : {false, true}) {
        const std::vector<TestDatabase> largest = {
            {u"Large", 1, {Noise(ce::CEDB_MAXRECORDSIZE), Pattern(ce::CEDB_MAXRECORDSIZE, 5)}}};
        ASSERT_TRUE(WriteArchive("large.bkp", compressed, u"", largest));
        std::vector<TestDatabase> read;
        ASSERT_TRUE(ReadArchive("large.bkp", read)) << compressed;
        EXPECT_TRUE(read[0].records == largest[0].records);
    }
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{});

    // One byte more, announced in an uncompressed archive or decoded from a
    // compressed one (a 2 KB record that decodes to 1 MB).
    const std::vector<TestDatabase> larger = {
        {u"Larger", 1, {Pattern(ce::CEDB_MAXRECORDSIZE + 1, 3)}}};
    ASSERT_TRUE(WriteArchive("larger.bkp", false, u"", larger));
    std::filesystem::copy_file(std::string(TESSALY_TEST_DATA) + "/RecordBomb.bkp",
                               HostPath("RecordBomb.bkp"));
    for (const char* name : {"larger.bkp", "RecordBomb.bkp"}) {
        session_.user().ClearShown();
        std::vector<TestDatabase> read;
        EXPECT_FALSE(ReadArchive(name, read)) << name;
        EXPECT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_RESTORE_CORRUPT}) << name;
    }
}

TEST_F(BackupArchiveTest, AnArchiveFollowedByMoreThan4GBReadsRecordForRecord) {
    std::filesystem::copy_file(std::string(TESSALY_TEST_DATA) + "/Sample.bkp", HostPath("big.bkp"));
    // Sparse; its size taken to 32 bits would be 100, less than the blocks.
    std::filesystem::resize_file(HostPath("big.bkp"), (std::uint64_t{1} << 32) + 100);
    std::vector<TestDatabase> read;
    ASSERT_TRUE(ReadArchive("big.bkp", read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].records.size(), 3u);
}

// ---- Autobackup script ----------------------------------------------------

class ScriptWritingTest : public BackupArchiveTest {
protected:
    // Starts a backup into `archiveName` with a script, appends `names`,
    // counts `written` databases and finishes both.
    void Run(const char* scriptName, std::u16string_view password, bool compressed,
             const std::vector<std::u16string>& names, DWORD written) {
        BackupArchive archive;
        archive.SetCompress(compressed);
        archive.SetPassword(password);
        archive.SetMakeScript(true);
        std::u16string archivePath = WidePath("all.bkp");
        archive.AttachFile(CreateForWriting(archivePath), archivePath.c_str());
        ASSERT_TRUE(archive.BeginArchive());
        archive.StartScript(WidePath(scriptName).c_str());
        for (const std::u16string& name : names)
            archive.AppendScriptEntry(name.c_str());
        for (DWORD i = 0; i < written; ++i)
            archive.CountWrittenDatabase();
        archive.FinishArchive();
        archive.FinishScript();
    }
};

TEST_F(ScriptWritingTest, HeaderAndEntriesWithTheFinalCount) {
    Run("a.abk", u"", false, {u"Contacts", u"\\Calendar"}, 2);
    Bytes image = FileBytes("a.abk");
    ASSERT_EQ(image.size(), 588u + 2 * 72u);
    EXPECT_EQ(ce::LoadU32(&image[0]), 588u);
    EXPECT_EQ(ce::LoadU32(&image[4]), 288u);
    EXPECT_EQ(ce::LoadU32(&image[8]), 0u);
    EXPECT_EQ(ce::LoadU32(&image[12]), 0u);
    std::u16string archive = WidePath("all.bkp");
    for (std::size_t i = 0; i < archive.size(); ++i)
        ASSERT_EQ(ce::LoadU16(&image[16 + 2 * i]), archive[i]);
    EXPECT_EQ(ce::LoadU16(&image[16 + 2 * archive.size()]), 0);
    EXPECT_EQ(Bytes(&image[536], &image[576]), Bytes(40, 0));
    EXPECT_EQ(ce::LoadU32(&image[576]), 2u);
    EXPECT_EQ(Bytes(&image[580], &image[588]), Bytes(8, 0));
    EXPECT_EQ(ce::LoadU16(&image[588]), u'C');
    EXPECT_EQ(ce::LoadU16(&image[588 + 72]), u'\\');
    EXPECT_EQ(ce::LoadU16(&image[588 + 72 + 18]), 0);

    Run("b.abk", u"pass", true, {u"Contacts"}, 1);
    image = FileBytes("b.abk");
    EXPECT_EQ(ce::LoadU32(&image[8]), 1u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ce::LoadU16(&image[536 + 2 * i]), u"pass"[i] ^ PasswordKey());
    EXPECT_EQ(ce::LoadU16(&image[536 + 8]), 0);
    EXPECT_TRUE(Shown().empty());

    ce::HANDLE file = ce::CreateFileW(WidePath("b.abk").c_str(), ce::GENERIC_READ, 0, nullptr,
                                      ce::OPEN_EXISTING, 0, nullptr);
    ScriptHeader header;
    ASSERT_TRUE(ReadScriptHeader(file, header));
    EXPECT_EQ(header.databaseCount, 1u);
    WCHAR name[kScriptEntryUnits];
    ASSERT_TRUE(ReadScriptEntry(file, name));
    EXPECT_EQ(std::u16string(name), u"Contacts");
    EXPECT_FALSE(ReadScriptEntry(file, name));
    ce::CloseHandle(file);
}

TEST_F(ScriptWritingTest, AScriptThatCannotBeCreatedSaysSoOnceAndTheArchiveIsWritten) {
    Run("no such folder/a.abk", u"", true, {u"Contacts"}, 1);
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_CANT_CREATE_SCRIPT});
    EXPECT_EQ(FileBytes("all.bkp").size(), 24u);
}

TEST_F(ScriptWritingTest, AScriptWriteThatFailsSaysTheScriptCannotBeCreatedAndDeletesIt) {
    ce::SetWriteFailure(588 + 10, "a.abk");
    Run("a.abk", u"", true, {u"Contacts", u"Other"}, 2);
    EXPECT_EQ(Shown(), std::vector<ce::UINT>{res::IDS_CANT_CREATE_SCRIPT});
    EXPECT_FALSE(std::filesystem::exists(HostPath("a.abk")));
}

TEST(ScriptReadingTest, TheFormatTagIsRequiredAndTheHeaderSizeIgnored) {
    testing_support::TempDevice device;
    std::filesystem::path path = device.path() / "s.abk";
    Bytes image(588 + 72, 0);
    ce::StoreU32(&image[0], 12345);
    ce::StoreU32(&image[4], 288);
    ce::StoreU32(&image[576], 1);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    std::u16string wide = ce::Utf8ToWide(path.string());
    ce::HANDLE file =
        ce::CreateFileW(wide.c_str(), ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING, 0, nullptr);
    ScriptHeader header;
    EXPECT_TRUE(ReadScriptHeader(file, header));
    ce::CloseHandle(file);

    ce::StoreU32(&image[4], 289);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    file =
        ce::CreateFileW(wide.c_str(), ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(ReadScriptHeader(file, header));
    ce::CloseHandle(file);
}

}  // namespace
