#pragma once
// Backup and restore of whole registry roots through a registry backup file
// (RegistryBackupFile.h). One object serves one command: it shows the
// selection of main keys, asks the file name, and walks the registry (or
// the file) while a progress window shows the key at hand.
//
// Backup walks each selected root depth first, parents before children, and
// writes one key record for every key that holds values; a failure or a
// confirmed Cancel deletes the file. Restore goes through the file's records
// in order: a key that already equals its record (after extra values are
// deleted from it, which makes it differ) is left alone, any other is
// written with its values set from the last to the first. A key that
// cannot be written asks Abort, Retry or Ignore.

#include <memory>
#include <string>

#include "backup/Password.h"
#include "platform/core/UniqueResource.h"
#include "platform/gui/WinTypes.h"
#include "platform/registry/Registry.h"
#include "regbackup/RegistryBackupFile.h"
#include "regbackup/RegistryPicture.h"
#include "ui/ProgressWindow.h"

namespace regbackup {

using ce::HKEY;
using ce::HWND;
using ce::LONG;
using ce::UINT;

// The rows of the selection, in the order the dialog shows them.
enum RootRow : int {
    kRowClassesRoot = 0,
    kRowLocalMachine = 1,
    kRowCurrentUser = 2,
    kRootRows = 3
};

// The root of a row, and the row of a root (-1 for another).
HKEY RootOfRow(int row);
int RowOfRoot(DWORD root);

// The largest value the walk and the comparison take, in bytes.
inline constexpr DWORD kValueDataBytes = 16384;

class RegistryBackup {
public:
    explicit RegistryBackup(HWND owner);
    virtual ~RegistryBackup();
    RegistryBackup(const RegistryBackup&) = delete;
    RegistryBackup& operator=(const RegistryBackup&) = delete;

    // The Backup Registry command: selection, file name (asked when none is
    // given), the walk. True when the file was written whole.
    bool BackupRegistry(const WCHAR* fileName = nullptr);
    // The Restore Registry command: file name (asked when none is given),
    // password, selection, the restore loop. True when every record was
    // read and none aborted.
    bool RestoreRegistry(const WCHAR* fileName = nullptr);

    // What the selection dialog shows and sets.
    bool rootSelection[kRootRows] = {true, true, true};
    bool passwordFlag = false;
    // In stored (scrambled) form; empty when there is none.
    WCHAR password[backup::kPasswordUnits] = {};
    bool restoreMode = false;
    // The restore's overwrite warning was agreed to beforehand (a script's
    // --yes): the selection does not ask it.
    bool warningAgreed = false;
    HWND owner() const { return owner_; }

    // The selection's OK: stores the checks and asks what OK asks. False
    // when the dialog stays open. The dialog calls it; so does a test.
    bool ConfirmSelection(HWND dialog, const bool (&checked)[kRootRows], bool protect);

private:
    // Writes a record for every key below `root` that holds values, depth
    // first; false after a failure (said) or a confirmed Cancel.
    bool WalkRoot(HKEY root);
    // Writes the gathered key records; false when the write fails.
    bool FlushPending();
    bool RunRestoreLoop(RbkReader& reader, const RbkHeader& header);
    // False when the user chose Abort.
    bool RestoreKey(const KeyRecord& record);
    bool KeyMatches(const KeyRecord& record);
    bool WriteKey(const KeyRecord& record);
    bool Fail(UINT messageId);
    void ShowKey(const std::u16string& path);
    HWND MessageOwner() const;
    DWORD RootFlags() const;

    std::unique_ptr<BYTE[]> data_;
    ce::UniqueHandle file_;
    ce::ByteWriter pending_;
    DWORD keyCount_ = 0;
    WCHAR fileName_[ce::MAX_PATH] = {};
    HWND owner_;
    std::unique_ptr<ui::ProgressWindow> progress_;
    // What the restore's roots held when it began.
    RegistryPicture picture_;
    LONG lastError_ = 0;
};

// The selection dialog (template 128, or 191 on a wide screen) in the
// object's mode. True on OK.
bool ShowRegistrySelection(RegistryBackup& backup);

}  // namespace regbackup
