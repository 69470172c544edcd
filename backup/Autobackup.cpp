// Running an Autobackup script: the backup it remembers, repeated without
// questions except whether an existing archive may be replaced.

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/ScriptFile.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/files/Files.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace backup {

using namespace ce;

bool BackupArchive::RunAutobackup(HWND owner) {
    owner_ = owner;
    appcore::Settings& settings = *appcore::App().settings;
    const WCHAR* scriptName = settings.scriptName;
    auto scriptMissing = [&] {
        if (!appcore::RunningSilently())
            ui::MessageByIdWith(owner, res::IDS_SCRIPT_MISSING, scriptName, ui::kErrorStyle);
        return false;
    };
    UniqueHandle script(CreateFileW(scriptName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ScriptHeader header;
    if (!script || !ReadScriptHeader(script.get(), header))
        return scriptMissing();
    if (header.password[0] != 0)
        SetStoredPassword(header.password);
    // The new archive is written beside the old one, which stays until the
    // run has succeeded.
    writeBeside_ = true;
    bool ok = OpenForBackup(owner, false, header.archiveName);
    writeBeside_ = false;
    if (!ok)
        return false;
    for (DWORD i = 0; ok && i < header.databaseCount; ++i) {
        WCHAR name[kScriptEntryUnits];
        if (!ReadScriptEntry(script.get(), name)) {
            ok = scriptMissing();
            break;
        }
        ok = BackupDatabase(name);
    }
    ok = FinishBackup() && ok;
    script.reset();
    if (ok && !MoveFileExW(writtenName_, archiveName_, MOVEFILE_REPLACE_EXISTING)) {
        if (!appcore::RunningSilently())
            ui::MessageByIdWith(owner, res::IDS_CANT_CREATE_BACKUP, archiveName_, ui::kErrorStyle);
        ok = false;
    }
    if (!ok) {
        DeleteFileW(writtenName_);
        return false;
    }
    if (settings.showDialogs != 0)
        ui::MessageByIdWith(owner, res::IDS_BACKUP_COMPLETE, archiveName_,
                            MB_OK | MB_ICONINFORMATION);
    return true;
}

}  // namespace backup
