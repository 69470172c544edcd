#include "regbackup/RegistryBackup.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "appcore/Application.h"
#include "backup/ArchiveReading.h"
#include "backup/PasswordDialogs.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/files/Files.h"
#include "platform/gui/Backend.h"
#include "platform/gui/WinUser.h"
#include "platform/registry/KeyTree.h"
#include "platform/registry/UniqueKey.h"
#include "platform/shell/Shell.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

namespace regbackup {

using namespace ce;

namespace {

// Names, classes and paths live in 260-unit buffers with their terminator.
constexpr DWORD kNameUnits = MAX_PATH;
constexpr std::size_t kLongestPath = MAX_PATH - 1;

// Key records are gathered and written in pieces of about this size.
constexpr std::size_t kWriteBatchBytes = 64 * 1024;

// The backup's keys between two looks at the progress window.
constexpr std::size_t kKeysPerPump = 16;

// The roots in the order the backup walks them.
constexpr HKEY kWalkOrder[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

DWORD FlagOfRow(int row) {
    switch (row) {
        case kRowClassesRoot:
            return kRootClassesRoot;
        case kRowLocalMachine:
            return kRootLocalMachine;
        default:
            return kRootCurrentUser;
    }
}

UniqueKey OpenKey(HKEY root, const WCHAR* path) {
    HKEY key = 0;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return {};
    return UniqueKey(key);
}

}  // namespace

HKEY RootOfRow(int row) {
    switch (row) {
        case kRowClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kRowLocalMachine:
            return HKEY_LOCAL_MACHINE;
        default:
            return HKEY_CURRENT_USER;
    }
}

int RowOfRoot(DWORD root) {
    for (int row = 0; row < kRootRows; ++row) {
        if (RootOfRow(row) == root)
            return row;
    }
    return -1;
}

RegistryBackup::RegistryBackup(HWND owner)
    : data_(new (std::nothrow) BYTE[kValueDataBytes + 1]), owner_(owner) {}

RegistryBackup::~RegistryBackup() = default;

HWND RegistryBackup::MessageOwner() const {
    if (progress_ != nullptr && progress_->window() != nullptr)
        return progress_->window();
    return owner_;
}

bool RegistryBackup::Fail(UINT messageId) {
    ui::MessageById(MessageOwner(), messageId, ui::kErrorStyle);
    return false;
}

void RegistryBackup::ShowKey(const std::u16string& path) {
    if (progress_ != nullptr && progress_->window() != nullptr)
        SetDlgItemTextW(progress_->window(), res::IDC_PROGRESS_TEXT, path.c_str());
}

DWORD RegistryBackup::RootFlags() const {
    DWORD flags = 0;
    for (int row = 0; row < kRootRows; ++row) {
        if (rootSelection[row])
            flags |= FlagOfRow(row);
    }
    return flags;
}

bool RegistryBackup::ConfirmSelection(HWND dialog, const bool (&checked)[kRootRows], bool protect) {
    std::copy(std::begin(checked), std::end(checked), rootSelection);
    if (std::none_of(std::begin(checked), std::end(checked), [](bool on) { return on; })) {
        MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    if (restoreMode) {
        return warningAgreed ||
               ui::MessageById(dialog, res::IDS_REG_CONFIRM_RESTORE, ui::kWarningQuestion) == IDYES;
    }
    passwordFlag = protect;
    password[0] = 0;
    if (protect) {
        WCHAR typed[backup::kPasswordUnits] = {};
        if (!backup::AskProtectPassword(typed, dialog) || typed[0] == 0)
            return false;
        CopyWide(password, WideView(typed, backup::kPasswordUnits));
        backup::ScramblePassword(password);
    }
    return true;
}

// ---- Backup ----

bool RegistryBackup::BackupRegistry(const WCHAR* fileName) {
    if (data_ == nullptr) {
        SHShowOutOfMemory(owner_, 0);
        return false;
    }
    std::fill(std::begin(rootSelection), std::end(rootSelection), true);
    restoreMode = false;
    if (!ShowRegistrySelection(*this))
        return false;
    if (fileName != nullptr && fileName[0] != 0) {
        CopyWide(fileName_, WideView(fileName, MAX_PATH));
    } else if (!ui::AskFileName(owner_, fileName_, false, res::IDS_FILTER_REGISTRY, u"*.rbk")) {
        return false;
    }
    progress_ = std::make_unique<ui::ProgressWindow>(ui::ProgressWindow::kRegistryBackupQuestion,
                                                     ui::ProgressWindow::kRegistryBackupTitle);
    if (!progress_->Create(owner_)) {
        progress_.reset();
        SHShowOutOfMemory(owner_, 0);
        return false;
    }
    progress_->SetRange(5);
    file_.reset(ui::CreateFileAsking(MessageOwner(), fileName_, fileName_));
    if (!file_) {
        progress_.reset();
        return false;
    }
    keyCount_ = 0;
    pending_ = ce::ByteWriter(kWriteBatchBytes + kValueDataBytes);
    bool ok =
        WriteRbkHeader(file_.get(), password, RootFlags(), 0) || Fail(res::IDS_REG_CANT_WRITE_FILE);
    progress_->Step();
    for (HKEY root : kWalkOrder) {
        if (ok && rootSelection[RowOfRoot(root)]) {
            ok = WalkRoot(root);
        }
        progress_->Step();
    }
    ok = ok && ((FlushPending() && WriteRbkHeader(file_.get(), password, RootFlags(), keyCount_)) ||
                Fail(res::IDS_REG_CANT_WRITE_FILE));
    pending_ = ce::ByteWriter();
    file_.reset();
    if (!ok)
        DeleteFileW(fileName_);
    progress_->Step();
    progress_.reset();
    return ok;
}

bool RegistryBackup::FlushPending() {
    bool written =
        pending_.Size() == 0 || backup::WriteExactly(file_.get(), pending_.Data().data(),
                                                     static_cast<DWORD>(pending_.Size()));
    pending_.Clear();
    return written;
}

bool RegistryBackup::WalkRoot(HKEY root) {
    registry::KeyTree tree;
    if (tree.Read(root) != ERROR_SUCCESS)
        return Fail(res::IDS_REG_CANT_READ_REGISTRY);
    registry::TreePath paths;
    for (std::size_t i = 0; i < tree.KeyCount(); ++i) {
        const std::u16string& path = paths.Next(tree, i);
        // A path that its 260-unit buffer cannot hold is refused, not cut.
        if (path.size() > kLongestPath)
            return Fail(res::IDS_REG_CANT_READ_REGISTRY);
        // Tens of thousands of keys go by in a blink: the window shows every
        // sixteenth and answers Cancel as often.
        if (i % kKeysPerPump == 0) {
            ShowKey(path);
            if (!progress_->Pump())
                return false;
        }
        std::size_t count = tree.ValueCount(i);
        if (count == 0)
            continue;  // a key without values has no record
        EncodeKeyPart(pending_, static_cast<DWORD>(count), root, path, tree.Class(i));
        for (std::size_t v = 0; v < count; ++v) {
            registry::KeyTree::Value value = tree.ValueAt(i, v);
            // What the comparison of a restore could not read back is not
            // written either.
            if (value.data.size() > kValueDataBytes)
                return Fail(res::IDS_REG_CANT_READ_REGISTRY);
            EncodeValuePart(pending_, value.name, value.type, value.data);
        }
        ++keyCount_;
        if (pending_.Size() >= kWriteBatchBytes && !FlushPending())
            return Fail(res::IDS_REG_CANT_WRITE_FILE);
    }
    return true;
}

// ---- Restore ----

bool RegistryBackup::RestoreRegistry(const WCHAR* fileName) {
    if (data_ == nullptr) {
        SHShowOutOfMemory(owner_, 0);
        return false;
    }
    if (fileName != nullptr && fileName[0] != 0) {
        CopyWide(fileName_, WideView(fileName, MAX_PATH));
    } else if (!ui::AskFileName(owner_, fileName_, true, res::IDS_FILTER_REGISTRY, u"*.rbk")) {
        return false;
    }
    file_.reset(CreateFileW(fileName_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        ui::MessageByIdWith(owner_, res::IDS_REG_CANT_OPEN_FILE, fileName_, ui::kErrorStyle);
        return false;
    }
    RbkHeader header;
    if (!ReadRbkHeader(file_.get(), header))
        return Fail(res::IDS_REG_FILE_CORRUPT);
    WCHAR plain[backup::kPasswordUnits];
    std::memcpy(plain, header.password, sizeof plain);
    plain[backup::kPasswordUnits - 1] = 0;
    backup::ScramblePassword(plain);
    if (!backup::AskPassword(plain, owner_))
        return false;
    restoreMode = true;
    for (int row = 0; row < kRootRows; ++row)
        rootSelection[row] = (header.rootFlags & FlagOfRow(row)) != 0;
    if (!ShowRegistrySelection(*this))
        return false;
    progress_ = std::make_unique<ui::ProgressWindow>(ui::ProgressWindow::kRegistryBackupQuestion,
                                                     ui::ProgressWindow::kRegistryBackupTitle);
    if (!progress_->Create(owner_)) {
        progress_.reset();
        SHShowOutOfMemory(owner_, 0);
        return false;
    }
    progress_->SetRange(static_cast<LONG>(header.keyCount));
    EnableWindow(GetDlgItem(progress_->window(), IDCANCEL), FALSE);
    std::vector<HKEY> roots;
    for (HKEY root : kWalkOrder) {
        if (rootSelection[RowOfRoot(root)])
            roots.push_back(root);
    }
    picture_.Read(roots);
    bool ok = false;
    if (backup::SeekFile(file_.get(), header.firstRecord)) {
        RbkReader reader(file_.get());
        ok = RunRestoreLoop(reader, header);
    }
    picture_ = RegistryPicture();
    progress_.reset();
    file_.reset();
    if (ok)
        ui::MessageById(owner_, res::IDS_REG_SOFT_RESET, ui::kErrorStyle);
    return ok;
}

bool RegistryBackup::RunRestoreLoop(RbkReader& reader, const RbkHeader& header) {
    if (header.keyCount == 0)
        return false;
    KeyRecord record;
    for (DWORD i = 0; i < header.keyCount; ++i) {
        if (!ReadKeyRecord(reader, record))
            return Fail(res::IDS_REG_FILE_CORRUPT);
        ShowKey(record.path);
        progress_->Pump();
        int row = RowOfRoot(record.root);
        if (row >= 0 && rootSelection[row] && !RestoreKey(record))
            return false;
        progress_->Step();
        record.Clear();
    }
    return true;
}

bool RegistryBackup::RestoreKey(const KeyRecord& record) {
    if (picture_.Matches(record, kValueDataBytes) || KeyMatches(record))
        return true;
    while (!WriteKey(record)) {
        std::u16string code =
            FormatWide(ui::LoadText(res::IDS_REG_ERROR_CODE),
                       {static_cast<unsigned long>(lastError_), static_cast<long>(lastError_)});
        std::u16string text = FormatWide(ui::LoadText(res::IDS_REG_CANT_STORE_KEY), {code});
        int answer =
            ui::MessageTextWithId(MessageOwner(), text, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION,
                                  res::IDS_REG_CANT_STORE_KEY);
        if (answer == IDABORT)
            return false;
        if (answer == IDIGNORE || KeyMatches(record))
            return true;
    }
    return true;
}

bool RegistryBackup::KeyMatches(const KeyRecord& record) {
    UniqueKey key = OpenKey(record.root, record.path.c_str());
    if (!key)
        return false;
    bool matches = true;
    for (const ValueRecord& value : record.values) {
        DWORD type = 0;
        DWORD size = kValueDataBytes;
        if (RegQueryValueExW(key.get(), value.name.c_str(), nullptr, &type, data_.get(), &size) !=
            ERROR_SUCCESS) {
            return false;
        }
        if (type != value.type || size != value.size() ||
            (size != 0 && std::memcmp(data_.get(), value.data(), size) != 0)) {
            matches = false;
        }
    }
    if (!matches)
        return false;
    // Values the record does not name go; the key then differs from it. The
    // registry moves later values down after a deletion, so the index stays.
    for (DWORD index = 0;;) {
        WCHAR name[kNameUnits];
        DWORD nameLength = kNameUnits;
        if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS) {
            break;
        }
        std::u16string_view found(name, std::min(nameLength, kNameUnits - 1));
        bool named = std::any_of(record.values.begin(), record.values.end(),
                                 [&](const ValueRecord& v) { return v.name == found; });
        if (named || RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) {
            ++index;
        }
        if (!named)
            matches = false;
    }
    return matches;
}

bool RegistryBackup::WriteKey(const KeyRecord& record) {
    lastError_ = ERROR_INVALID_PARAMETER;
    UniqueKey root = OpenKey(record.root, u"");
    HKEY created = 0;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExW(record.root, record.path.c_str(), 0, record.keyClass.c_str(), 0,
                              KEY_ALL_ACCESS, nullptr, &created, &disposition);
    if (rc != ERROR_SUCCESS) {
        lastError_ = rc;
        return false;
    }
    UniqueKey key(created);
    bool lastSet = false;
    for (auto value = record.values.rbegin(); value != record.values.rend(); ++value) {
        rc = RegSetValueExW(key.get(), value->name.c_str(), 0, value->type, value->data(),
                            value->size());
        lastSet = rc == ERROR_SUCCESS;
        if (!lastSet) {
            lastError_ = rc;
            break;
        }
    }
    return lastSet;
}

}  // namespace regbackup
