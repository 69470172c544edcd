#include "backup/BackupArchive.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "appcore/Application.h"
#include "backup/ScriptFile.h"
#include "platform/core/Bytes.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/shell/Shell.h"
#include "resources/StringIds.h"
#include "store/Formatting.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressWindow.h"

namespace backup {
namespace {

// Offsets are 32 bits, and the file calls take a signed distance.
constexpr DWORD kLargestOffset = 0x7FFFFFFF;

}  // namespace

BackupArchive::BackupArchive() = default;

// The archive file and the script file close with their owners.
BackupArchive::~BackupArchive() = default;

void BackupArchive::Report(UINT id) {
    if (!appcore::RunningSilently())
        ui::MessageById(owner_, id, ui::kErrorStyle);
}

void BackupArchive::ReportOutOfMemory() {
    if (!appcore::RunningSilently())
        ce::SHShowOutOfMemory(owner_, 0);
}

void BackupArchive::SetPassword(std::u16string_view plain) {
    std::memset(password_, 0, sizeof password_);
    ce::CopyWide(password_, plain.substr(0, kMaxPasswordLength));
    passwordSet_ = password_[0] != 0;
    ScramblePassword(password_);
}

void BackupArchive::SetStoredPassword(const WCHAR (&stored)[kPasswordUnits]) {
    std::memset(password_, 0, sizeof password_);
    ce::CopyWide(password_, ce::WideView(stored, kMaxPasswordLength));
    passwordSet_ = password_[0] != 0;
}

bool BackupArchive::CreateCodec() {
    if (!codec_)
        codec_.reset(new (std::nothrow) LzwCodec);
    if (codec_ && codec_->AllocateWorkArea())
        return true;
    codec_.reset();
    return false;
}

void BackupArchive::CloseFile() {
    // Every path that keeps what it wrote has flushed it: what is still
    // pending belongs to a block that failed.
    pending_.clear();
    file_.reset();
}

// ---- Writing ----------------------------------------------------------------

void BackupArchive::AttachFile(HANDLE file, const WCHAR* name) {
    file_.reset(file);
    ce::CopyWide(archiveName_, ce::WideView(name));
}

bool BackupArchive::WriteAt(DWORD offset, const void* bytes, DWORD length) {
    if (!FlushPending())
        return false;
    if (SeekFile(file_.get(), offset) && WriteExactly(file_.get(), bytes, length))
        return true;
    Report(res::IDS_CANT_WRITE_FILE);
    return false;
}

bool BackupArchive::Append(DWORD offset, const void* bytes, DWORD length) {
    if (!pending_.empty() && offset != pendingAt_ + pending_.size() && !FlushPending())
        return false;
    if (pending_.empty())
        pendingAt_ = offset;
    const auto* from = static_cast<const BYTE*>(bytes);
    pending_.insert(pending_.end(), from, from + length);
    return pending_.size() < kPendingBytes || FlushPending();
}

bool BackupArchive::FlushPending() {
    if (pending_.empty())
        return true;
    bool written = SeekFile(file_.get(), pendingAt_) &&
                   WriteExactly(file_.get(), pending_.data(), static_cast<DWORD>(pending_.size()));
    pending_.clear();
    if (written)
        return true;
    Report(res::IDS_CANT_WRITE_FILE);
    return false;
}

bool BackupArchive::WriteArchiveHeader() {
    header_ = MakeArchiveHeader(writtenCount_, compress_, passwordSet_);
    auto bytes = EncodeArchiveHeader(header_);
    if (!WriteAt(0, bytes.data(), kArchiveHeaderSize))
        return false;
    if (!passwordSet_)
        return true;
    auto block = EncodePasswordBlock(password_);
    if (WriteExactly(file_.get(), block.data(), kPasswordBytes))
        return true;
    Report(res::IDS_CANT_WRITE_FILE);
    return false;
}

bool BackupArchive::BeginArchive() {
    writtenCount_ = 0;
    if (!WriteArchiveHeader())
        return false;
    position_ = header_.firstBlock;
    return true;
}

bool BackupArchive::BeginDatabaseBlock(const ce::CEDBASEINFO& info,
                                       const ce::SYSTEMTIME& storedAt) {
    block_ = DatabaseHeader{};
    block_.info = info;
    block_.stored = storedAt;
    recordSequence_ = 0;
    compressedHeaderLength_ = 0;
    writePosition_ = position_ + (compress_ ? kBlockPrefixSize : 0);
    auto image = EncodeDatabaseHeader(block_);
    if (!compress_) {
        if (!Append(writePosition_, image.data(), kDatabaseHeaderSize))
            return false;
        writePosition_ += kDatabaseHeaderSize;
        return true;
    }
    if (!codec_ || !codec_->Compress(image.data(), image.size())) {
        ReportOutOfMemory();
        return false;
    }
    compressedHeaderLength_ = static_cast<DWORD>(codec_->OutputLength());
    if (!Append(writePosition_, codec_->Output(), compressedHeaderLength_))
        return false;
    writePosition_ += compressedHeaderLength_;
    return true;
}

bool BackupArchive::WriteRecord(WORD propertyCount, const BYTE* image, DWORD length) {
    if (!compress_)
        return WriteRecordBody(propertyCount, image, length);
    if (!codec_ || !codec_->Compress(image, length)) {
        ReportOutOfMemory();
        return false;
    }
    return WriteRecordBody(propertyCount, codec_->Output(),
                           static_cast<DWORD>(codec_->OutputLength()));
}

bool BackupArchive::WriteRecordBody(WORD propertyCount, const BYTE* body, DWORD bodyLength) {
    // The block's offsets must stay representable.
    if (bodyLength > kLargestOffset - kRecordHeaderSize ||
        writePosition_ > kLargestOffset - kRecordHeaderSize - bodyLength) {
        Report(res::IDS_CANT_WRITE_FILE);
        return false;
    }
    RecordHeader header;
    header.propertyCount = propertyCount;
    header.sequence = recordSequence_ + 1;
    header.length = bodyLength;
    auto bytes = EncodeRecordHeader(header);
    if (!Append(writePosition_, bytes.data(), kRecordHeaderSize) ||
        !Append(writePosition_ + kRecordHeaderSize, body, bodyLength))
        return false;
    ++recordSequence_;
    writePosition_ += kRecordHeaderSize + bodyLength;
    return true;
}

namespace {

// Moves `length` bytes of the file from `from` to `to` through a small
// buffer, in the order that never overwrites bytes still to be moved.
bool MoveFileBytes(HANDLE file, DWORD from, DWORD to, DWORD length) {
    constexpr DWORD kChunk = 64 * 1024;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kChunk]);
    if (!buffer)
        return false;
    bool forward = to < from;
    for (DWORD done = 0; done < length;) {
        DWORD n = std::min(kChunk, length - done);
        DWORD offset = forward ? done : length - done - n;
        if (!SeekFile(file, from + offset) || !ReadExactly(file, buffer.get(), n) ||
            !SeekFile(file, to + offset) || !WriteExactly(file, buffer.get(), n))
            return false;
        done += n;
    }
    return true;
}

}  // namespace

bool BackupArchive::FinishDatabaseBlock() {
    // A record passed over (it could not be read) must not be announced:
    // the header counts the records the block holds.
    bool recount = block_.info.wNumRecords != recordSequence_;
    block_.info.wNumRecords = static_cast<WORD>(recordSequence_);
    if (compress_) {
        if (recount) {
            // The header is compressed again; records move when its length changes.
            DWORD headerAt = position_ + kBlockPrefixSize;
            auto image = EncodeDatabaseHeader(block_);
            if (!codec_ || !codec_->Compress(image.data(), image.size())) {
                ReportOutOfMemory();
                return false;
            }
            DWORD length = static_cast<DWORD>(codec_->OutputLength());
            DWORD recordsAt = headerAt + compressedHeaderLength_;
            DWORD recordBytes = writePosition_ - recordsAt;
            if (length != compressedHeaderLength_) {
                if (!FlushPending())
                    return false;
                if (!MoveFileBytes(file_.get(), recordsAt, headerAt + length, recordBytes)) {
                    Report(res::IDS_CANT_WRITE_FILE);
                    return false;
                }
                writePosition_ = headerAt + length + recordBytes;
                compressedHeaderLength_ = length;
            }
            if (!WriteAt(headerAt, codec_->Output(), length))
                return false;
        }
        auto prefix = EncodeBlockPrefix({writePosition_, compressedHeaderLength_});
        if (!WriteAt(position_, prefix.data(), kBlockPrefixSize))
            return false;
    } else {
        block_.nextBlock = writePosition_;
        auto image = EncodeDatabaseHeader(block_);
        if (!WriteAt(position_, image.data(), kDatabaseHeaderSize))
            return false;
    }
    position_ = writePosition_;
    return true;
}

bool BackupArchive::DiscardDatabaseBlock() {
    pending_.clear();
    return SeekFile(file_.get(), position_) && ce::SetEndOfFile(file_.get());
}

void BackupArchive::FinishArchive() {
    if (file_)
        WriteArchiveHeader();
    CloseFile();
    codec_.reset();
}

// ---- Autobackup script ------------------------------------------------------

void BackupArchive::AbandonScript() {
    if (!appcore::RunningSilently())
        ui::MessageByIdWith(owner_, res::IDS_CANT_CREATE_SCRIPT, scriptName_, ui::kErrorStyle);
    if (scriptOpen()) {
        scriptFile_.reset();  // closed before it can be deleted
        ce::DeleteFileW(scriptName_);
    }
    makeScript_ = false;
}

void BackupArchive::StartScript(const WCHAR* scriptName) {
    ce::CopyWide(scriptName_, ce::WideView(scriptName));
    scriptFile_.reset(ce::CreateFileW(scriptName_, ce::GENERIC_READ | ce::GENERIC_WRITE, 0, nullptr,
                                      ce::CREATE_ALWAYS, ce::FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!scriptOpen()) {
        AbandonScript();
        return;
    }
    ScriptHeader header;
    header.compressed = compress_ ? 1 : 0;
    ce::CopyWide(header.archiveName, ce::WideView(archiveName_));
    if (passwordSet_)
        std::memcpy(header.password, password_, sizeof password_);
    auto bytes = EncodeScriptHeader(header);
    if (!WriteExactly(scriptFile_.get(), bytes.data(), kScriptHeaderSize))
        AbandonScript();
}

void BackupArchive::AppendScriptEntry(const WCHAR* databaseName) {
    if (!scriptOpen())
        return;
    auto bytes = EncodeScriptEntry(ce::WideView(databaseName));
    if (!WriteExactly(scriptFile_.get(), bytes.data(), kScriptEntrySize))
        AbandonScript();
}

void BackupArchive::FinishScript() {
    if (!scriptOpen())
        return;
    ScriptHeader header;
    if (!ReadScriptHeader(scriptFile_.get(), header)) {
        AbandonScript();
        return;
    }
    header.databaseCount = writtenCount_;
    auto bytes = EncodeScriptHeader(header);
    if (!SeekFile(scriptFile_.get(), 0) ||
        !WriteExactly(scriptFile_.get(), bytes.data(), kScriptHeaderSize)) {
        AbandonScript();
        return;
    }
    scriptFile_.reset();
}

// ---- Reading ----------------------------------------------------------------

bool BackupArchive::OpenArchiveFile(const WCHAR* name) {
    CloseFile();
    ce::CopyWide(archiveName_, ce::WideView(name));
    file_.reset(ce::CreateFileW(archiveName_, ce::GENERIC_READ, 0, nullptr, ce::OPEN_EXISTING,
                                ce::FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        Report(res::IDS_CANT_READ_FILE);
        return false;
    }
    if (!ReadArchiveHeader()) {
        CloseFile();
        return false;
    }
    compress_ = header_.IsCompressed();
    if (!compress_) {
        codec_.reset();
        return true;
    }
    if (!codec_)
        codec_.reset(new (std::nothrow) LzwCodec);
    if (!codec_) {
        Report(res::IDS_COMPRESSED_NO_MEMORY);
    } else if (!codec_->AllocateWorkArea()) {
        ReportOutOfMemory();
    } else {
        return true;
    }
    codec_.reset();
    CloseFile();
    return false;
}

bool BackupArchive::ReadArchiveHeader() {
    passwordSet_ = false;
    if (!backup::ReadArchiveHeader(file_.get(), header_, password_)) {
        Report(res::IDS_CANT_READ_FILE);
        return false;
    }
    passwordSet_ = header_.HasPassword();
    return true;
}

bool BackupArchive::ReadDatabaseHeader(DatabaseHeader& header) {
    LzwCodec* codec = nullptr;
    if (compress_) {
        codec = codec_.get();
        if (codec == nullptr) {
            Report(res::IDS_COMPRESSED_NO_MEMORY);
            return false;
        }
    }
    switch (ReadDatabaseHeaderAt(file_.get(), position_, codec, header)) {
        case HeaderRead::Ok:
            return true;
        case HeaderRead::CannotUnpack:
            Report(res::IDS_COMPRESSED_NO_MEMORY);
            return false;
        case HeaderRead::Unreadable:
            break;
    }
    Report(res::IDS_CANT_READ_FILE);
    return false;
}

bool BackupArchive::ReadRecord(ArchiveRecord& record, const WCHAR* target) {
    ArchiveInput input(file_.get(), false);
    return ReadRecord(input, record, target);
}

bool BackupArchive::ReadRecord(ArchiveInput& input, ArchiveRecord& record, const WCHAR* target) {
    RecordRead result = ReadArchiveRecord(input, compress_ ? codec_.get() : nullptr, record);
    if (result == RecordRead::Ok)
        return true;
    ReportRecordRead(result, target);
    return false;
}

void BackupArchive::ReportRecordRead(RecordRead result, const WCHAR* target) {
    if (result == RecordRead::CannotUnpack) {
        ReportOutOfMemory();
    } else if (!appcore::RunningSilently()) {
        UINT id =
            result == RecordRead::NoMemory ? res::IDS_RESTORE_NO_MEMORY : res::IDS_RESTORE_CORRUPT;
        ui::MessageByIdWith(owner_, id, target, ui::kErrorStyle);
    }
}

bool BackupArchive::AdvanceToNextBlock(const DatabaseHeader& header) {
    if (header.nextBlock <= position_) {
        Report(res::IDS_CANT_READ_FILE);
        return false;
    }
    position_ = header.nextBlock;
    return true;
}

bool BackupArchive::WalkCatalogue(std::vector<CatalogueEntry>& rows) {
    rows.clear();
    position_ = header_.firstBlock;
    for (DWORD i = 0; i < header_.databaseCount; ++i) {
        CatalogueEntry entry;
        entry.position = position_;
        if (!ReadDatabaseHeader(entry.header))
            return false;
        rows.push_back(entry);
        if (i + 1 < header_.databaseCount && !AdvanceToNextBlock(entry.header))
            return false;
    }
    return true;
}

// ---- Catalogue texts ----------------------------------------------------------

std::u16string CatalogueSizeText(const DatabaseHeader& header) {
    int kilobytes, hundredths;
    store::KilobytesAndHundredths(header.info.dwSize, kilobytes, hundredths);
    return ce::FormatWide(u"%d.%02dKB", {kilobytes, hundredths});
}

std::u16string CatalogueInformation(const DatabaseHeader& header, bool compressed) {
    int kilobytes, hundredths;
    store::KilobytesAndHundredths(header.info.dwSize, kilobytes, hundredths);
    store::DateTime stored(header.stored);
    std::u16string date = stored.ShortDate();
    std::u16string time = stored.TimeText(false);
    std::u16string format =
        ui::LoadText(compressed ? res::IDS_INFO_COMPRESSED : res::IDS_INFO_NOT_COMPRESSED);
    return ce::FormatWide(
        format, {kilobytes, hundredths, date, time, static_cast<int>(header.info.wNumRecords)});
}

}  // namespace backup
