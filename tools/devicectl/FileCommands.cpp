// devicectl's look into the files the programs write: raw LZW streams,
// backup archives, Autobackup scripts and registry backups. Every reader
// treats the file as hostile and names the offset of the first problem.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "backup/ArchiveReading.h"
#include "backup/LzwCodec.h"
#include "backup/LzwStreamDecoder.h"
#include "backup/ScriptFile.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/files/Files.h"
#include "platform/time/Time.h"
#include "regbackup/RegistryBackupFile.h"
#include "store/RecordImage.h"
#include "tools/devicectl/Commands.h"

namespace devicectl {
namespace {

using ce::DWORD;

// A file opened for reading, closed when it goes out of scope.
class OpenFile {
public:
    explicit OpenFile(const std::string& path) {
        std::u16string wide = ce::Utf8ToWide(path);
        handle_.reset(ce::CreateFileW(wide.c_str(), ce::GENERIC_READ, ce::FILE_SHARE_READ, nullptr,
                                      ce::OPEN_EXISTING, ce::FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    bool ok() const { return static_cast<bool>(handle_); }
    ce::HANDLE handle() const { return handle_.get(); }

private:
    ce::UniqueHandle handle_;
};

std::string Utf8(const ce::WCHAR* text) {
    return ce::WideToUtf8(ce::WideView(text));
}

std::string TimeText(const ce::SYSTEMTIME& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string SizeText(DWORD bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02uKB", bytes / 1024, (bytes % 1024) * 100 / 1024);
    return text;
}

std::string AtOffset(std::uint64_t offset, const std::string& problem) {
    return "offset " + std::to_string(offset) + ": " + problem;
}

// A problem with the file at `offset`, on standard error; returns 1.
int Problem(const std::string& path, std::uint64_t offset, const std::string& what) {
    return Fail(path + ": " + AtOffset(offset, what));
}

// Why a file cannot be opened, saying so when it is a directory (which the
// platform refuses as access denied).
int CannotOpen(const std::string& path) {
    std::string error = LastErrorText();
    ce::DWORD attributes = ce::GetFileAttributesW(ce::Utf8ToWide(path).c_str());
    if (attributes != ce::INVALID_FILE_ATTRIBUTES && (attributes & ce::FILE_ATTRIBUTE_DIRECTORY))
        return Fail(path + ": is a directory, not a file");
    return Fail(path + ": cannot open: " + error);
}

bool IsPasswordSet(const ce::WCHAR* stored) {
    return stored[0] != 0;
}

// ---- archive ----------------------------------------------------------------

struct ArchiveOpen {
    backup::ArchiveHeader header;
    ce::WCHAR password[backup::kPasswordUnits] = {};
    backup::LzwCodec codec;

    // Reads the archive header of an open file; prints why not and returns
    // false when it cannot.
    bool ReadHeader(const OpenFile& file, const std::string& path) {
        if (!file.ok()) {
            CannotOpen(path);
            return false;
        }
        if (backup::ReadArchiveHeader(file.handle(), header, password))
            return true;
        if (backup::FileSize(file.handle()) < backup::kArchiveHeaderSize)
            Problem(path, 0, "the archive header cannot be read whole");
        else
            Problem(path, backup::kArchiveHeaderSize, "the password block cannot be read whole");
        return false;
    }
    backup::LzwCodec* Codec() { return header.IsCompressed() ? &codec : nullptr; }
};

std::string HeaderProblem(backup::HeaderRead result) {
    return result == backup::HeaderRead::CannotUnpack
               ? "the compressed database header does not decompress"
               : "the database header cannot be read whole or does not unpack to 144 bytes";
}

int ArchiveList(const std::string& path) {
    OpenFile file(path);
    ArchiveOpen archive;
    if (!archive.ReadHeader(file, path))
        return 1;
    const backup::ArchiveHeader& h = archive.header;
    std::printf(
        "%s: %u database%s, %s, %s\n", path.c_str(), h.databaseCount,
        h.databaseCount == 1 ? "" : "s", h.IsCompressed() ? "compressed" : "not compressed",
        h.HasPassword() && IsPasswordSet(archive.password) ? "password-protected" : "no password");
    backup::LzwCodec* codec = archive.Codec();
    DWORD position = h.firstBlock;
    for (DWORD i = 0; i < h.databaseCount; ++i) {
        backup::DatabaseHeader db;
        backup::HeaderRead result =
            backup::ReadDatabaseHeaderAt(file.handle(), position, codec, db);
        if (result != backup::HeaderRead::Ok)
            return Problem(path, position, HeaderProblem(result));
        std::printf("%-32s %10s  %s  %u records\n", Utf8(db.info.szDbaseName).c_str(),
                    SizeText(db.info.dwSize).c_str(), TimeText(db.stored).c_str(),
                    db.info.wNumRecords);
        if (i + 1 < h.databaseCount && db.nextBlock <= position) {
            return Problem(path, position + (codec ? 0 : 140),
                           "the next-block offset does not lead forward");
        }
        position = db.nextBlock;
    }
    return 0;
}

std::string RecordProblem(backup::RecordRead result) {
    switch (result) {
        case backup::RecordRead::Truncated:
            return "the record is shorter than its header announces";
        case backup::RecordRead::TooLarge:
            return "the record image is larger than the largest record (" +
                   std::to_string(backup::kLargestRecordImage) + " bytes)";
        case backup::RecordRead::NoMemory:
            return "no memory for the record";
        case backup::RecordRead::CannotUnpack:
            return "the record image does not decompress";
        case backup::RecordRead::Ok:
            break;
    }
    return "";
}

int ArchiveVerify(const std::string& path) {
    OpenFile file(path);
    ArchiveOpen archive;
    if (!archive.ReadHeader(file, path))
        return 1;
    const backup::ArchiveHeader& h = archive.header;
    backup::LzwCodec* codec = archive.Codec();
    auto problem = [&path](std::uint64_t offset, const std::string& what) {
        return Problem(path, offset, what);
    };

    DWORD position = h.firstBlock;
    std::uint64_t records = 0;
    for (DWORD block = 0; block < h.databaseCount; ++block) {
        backup::DatabaseHeader db;
        backup::HeaderRead result =
            backup::ReadDatabaseHeaderAt(file.handle(), position, codec, db);
        if (result != backup::HeaderRead::Ok)
            return problem(position, HeaderProblem(result));
        std::string name(1, '"');
        name.append(Utf8(db.info.szDbaseName)).push_back('"');
        for (DWORD i = 1; i <= db.info.wNumRecords; ++i) {
            std::uint64_t at = backup::FilePosition(file.handle());
            backup::ArchiveRecord record;
            backup::RecordRead read = backup::ReadArchiveRecord(file.handle(), codec, record);
            std::string which = name + " record " + std::to_string(i) + ": ";
            if (read != backup::RecordRead::Ok)
                return problem(at, which + RecordProblem(read));
            if (record.header.sequence != i) {
                return problem(at,
                               which + "sequence number " + std::to_string(record.header.sequence));
            }
            if (record.header.headerSize != backup::kRecordHeaderSize) {
                return problem(
                    at, which + "record header size " + std::to_string(record.header.headerSize));
            }
            store::DecodedRecord decoded;
            std::string why;
            if (!store::DecodeRelativeImage(record.image(), record.imageLength(),
                                            record.header.propertyCount, decoded, &why)) {
                return problem(at, which + "bad record image: " + why);
            }
            ++records;
        }
        std::uint64_t end = backup::FilePosition(file.handle());
        if (db.nextBlock != end) {
            return problem(position, name + " next-block offset " + std::to_string(db.nextBlock) +
                                         ", but its records end at " + std::to_string(end));
        }
        position = db.nextBlock;
    }
    // A count cut short (even to 0) leaves blocks the walk did not reach.
    std::uint64_t size = backup::FileSize(file.handle());
    if (position < size) {
        return problem(position, std::to_string(size - position) + " bytes after the last of the " +
                                     std::to_string(h.databaseCount) + " counted blocks");
    }
    if (position > size)
        return problem(size, "the last block ends past the end of the file");
    std::printf("%s: ok: %u databases, %llu records, %s\n", path.c_str(), h.databaseCount,
                static_cast<unsigned long long>(records),
                h.IsCompressed() ? "compressed" : "not compressed");
    return 0;
}

// ---- script -----------------------------------------------------------------

int ScriptShow(const std::string& path) {
    OpenFile file(path);
    if (!file.ok())
        return CannotOpen(path);
    backup::ScriptHeader header;
    if (!backup::ReadScriptHeader(file.handle(), header)) {
        if (backup::FileSize(file.handle()) < backup::kScriptHeaderSize)
            return Problem(path, 0, "the script header cannot be read whole");
        return Problem(path, 4,
                       "format tag " + std::to_string(header.formatTag) + ", expected 288");
    }
    std::printf("archive: %s\n", Utf8(header.archiveName).c_str());
    std::printf("compressed: %s\n", header.compressed ? "yes" : "no");
    std::printf("password: %s\n", IsPasswordSet(header.password) ? "set" : "none");
    std::printf("databases: %u\n", header.databaseCount);
    for (DWORD i = 0; i < header.databaseCount; ++i) {
        std::uint64_t at = backup::FilePosition(file.handle());
        ce::WCHAR name[backup::kScriptEntryUnits];
        if (!backup::ReadScriptEntry(file.handle(), name))
            return Problem(path, at, "entry " + std::to_string(i + 1) + " is short");
        std::printf("  %s\n", Utf8(name).c_str());
    }
    return 0;
}

// ---- registry backup ------------------------------------------------------------

const char* RootName(DWORD root) {
    switch (root) {
        case regbackup::kHkeyClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case regbackup::kHkeyCurrentUser:
            return "HKEY_CURRENT_USER";
        case regbackup::kHkeyLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        default:
            return nullptr;
    }
}

const char* TypeName(DWORD type) {
    static const char* const kNames[] = {"REG_NONE",   "REG_SZ",       "REG_EXPAND_SZ",
                                         "REG_BINARY", "REG_DWORD",    "REG_DWORD_BIG_ENDIAN",
                                         "REG_LINK",   "REG_MULTI_SZ", "REG_RESOURCE_LIST"};
    return type < std::size(kNames) ? kNames[type] : nullptr;
}

int RbkList(const std::string& path) {
    OpenFile file(path);
    if (!file.ok())
        return CannotOpen(path);
    regbackup::RbkHeader header;
    if (!regbackup::ReadRbkHeader(file.handle(), header))
        return Problem(path, 0, "not a registry backup (bad or short header)");
    std::string roots;
    const DWORD flags[] = {regbackup::kRootClassesRoot, regbackup::kRootCurrentUser,
                           regbackup::kRootLocalMachine};
    const DWORD handles[] = {regbackup::kHkeyClassesRoot, regbackup::kHkeyCurrentUser,
                             regbackup::kHkeyLocalMachine};
    for (int i = 0; i < 3; ++i) {
        if (header.rootFlags & flags[i])
            roots += std::string(roots.empty() ? "" : ", ") + RootName(handles[i]);
    }
    ce::SYSTEMTIME written{};
    ce::FileTimeToSystemTime(&header.created, &written);
    std::printf("%s: %u keys, roots %s, %s, written %s\n", path.c_str(), header.keyCount,
                roots.empty() ? "none" : roots.c_str(),
                IsPasswordSet(header.password) ? "password-protected" : "no password",
                TimeText(written).c_str());
    if (!backup::SeekFile(file.handle(), header.firstRecord))
        return Problem(path, 52, "bad first record offset");
    for (DWORD k = 0; k < header.keyCount; ++k) {
        std::uint64_t at = backup::FilePosition(file.handle());
        regbackup::KeyRecord key;
        if (!regbackup::ReadKeyRecord(file.handle(), key)) {
            return Problem(path, at, "key record " + std::to_string(k + 1) + " is unreadable");
        }
        const char* root = RootName(key.root);
        std::printf("%s\\%s%s%s\n", root ? root : std::to_string(key.root).c_str(),
                    ce::WideToUtf8(key.path).c_str(), key.keyClass.empty() ? "" : "  class ",
                    ce::WideToUtf8(key.keyClass).c_str());
        for (const regbackup::ValueRecord& value : key.values) {
            const char* type = TypeName(value.type);
            std::printf("  %-24s %-14s %u bytes\n",
                        value.name.empty() ? "(default)" : ce::WideToUtf8(value.name).c_str(),
                        type ? type : std::to_string(value.type).c_str(), value.size());
        }
    }
    return 0;
}

// ---- lzw ------------------------------------------------------------------------

// Decodes standard input to standard output as it goes, so that a stream of
// any size needs no more memory than a small one.
int DecompressStream() {
    backup::LzwStreamDecoder decoder;
    backup::LzwStreamDecoder::Result result = decoder.Decode(
        [](ce::BYTE* buffer, std::size_t size) { return std::fread(buffer, 1, size, stdin); },
        [](const ce::BYTE* bytes, std::size_t size) {
            return std::fwrite(bytes, 1, size, stdout) == size;
        });
    if (result == backup::LzwStreamDecoder::Result::NotAStream)
        return Fail("the input is not a stream this codec wrote");
    if (result == backup::LzwStreamDecoder::Result::Stopped || std::fflush(stdout) != 0)
        return Fail("cannot write the output");
    return 0;
}

}  // namespace

int Lzw(const Args& args) {
    if (args.size() != 1 || (args[0] != "c" && args[0] != "d"))
        return Usage("lzw");
    if (args[0] == "d")
        return DecompressStream();
    std::vector<unsigned char> input((std::istreambuf_iterator<char>(std::cin)),
                                     std::istreambuf_iterator<char>());
    backup::LzwCodec codec;
    if (!codec.Compress(input.data(), input.size()))
        return Fail("not enough memory");
    std::fwrite(codec.Output(), 1, codec.OutputLength(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the output");
}

int Archive(const Args& args) {
    if (args.size() == 2 && args[0] == "list")
        return ArchiveList(args[1]);
    if (args.size() == 2 && args[0] == "verify")
        return ArchiveVerify(args[1]);
    return Usage("archive");
}

int Script(const Args& args) {
    if (args.size() == 2 && args[0] == "show")
        return ScriptShow(args[1]);
    return Usage("script");
}

int Rbk(const Args& args) {
    if (args.size() == 2 && args[0] == "list")
        return RbkList(args[1]);
    return Usage("rbk");
}

}  // namespace devicectl
