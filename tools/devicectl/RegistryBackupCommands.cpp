// devicectl reg backup and reg restore: the program's own registry backup
// and restore on the console host. The selection of main keys is answered
// from the command line; a password is read without echo from a terminal,
// or as a line from standard input.

#include <string>

#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "regbackup/RegistryBackup.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tools/devicectl/Commands.h"
#include "tools/devicectl/ProgramCommands.h"

namespace devicectl {
namespace {

using regbackup::kRootRows;

struct Selection {
    bool given = false;  // any --root
    bool rows[kRootRows] = {false, false, false};
    bool password = false;
};

bool RowOf(const std::string& name, int& row) {
    static const struct {
        const char* shortName;
        const char* longName;
        int row;
    } kNames[] = {{"HKCR", "HKEY_CLASSES_ROOT", regbackup::kRowClassesRoot},
                  {"HKLM", "HKEY_LOCAL_MACHINE", regbackup::kRowLocalMachine},
                  {"HKCU", "HKEY_CURRENT_USER", regbackup::kRowCurrentUser}};
    for (const auto& n : kNames) {
        if (name == n.shortName || name == n.longName) {
            row = n.row;
            return true;
        }
    }
    return false;
}

// Reads the --root options; false (with the message) for an unknown root.
bool ReadRoots(const Args& args, Selection& selection) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] != "--root")
            continue;
        int row = 0;
        if (!RowOf(args[i + 1], row)) {
            Fail("unknown registry root \"" + args[i + 1] + "\" (HKCR, HKLM or HKCU)");
            return false;
        }
        selection.given = true;
        selection.rows[row] = true;
    }
    return true;
}

// The selection dialog as the command line chose: without --root the rows
// stay as the dialog starts (every root to back up, the file's roots to
// restore). An OK the dialog refuses cancels.
void AnswerSelection(const Selection& selection) {
    ce::gui::ConsoleHost* console = ce::gui::CurrentConsole();
    if (console == nullptr)
        return;
    auto answer = [selection](ce::HWND dialog, ce::gui::ConsoleHost&) {
        ce::HWND list = ce::GetDlgItem(dialog, res::IDC_REG_ROOTS);
        if (selection.given) {
            for (int row = 0; row < kRootRows; ++row)
                ce::ListView_SetCheckState(list, row, selection.rows[row]);
        }
        ce::CheckDlgButton(dialog, res::IDC_REG_PASSWORD,
                           selection.password ? ce::BST_CHECKED : ce::BST_UNCHECKED);
        ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDOK, 0);
        if (!ce::gui::DialogEnded(dialog))
            ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDCANCEL, 0);
    };
    console->AnswerDialog(res::IDD_REGISTRY_BACKUP, answer);
    console->AnswerDialog(res::IDD_REGISTRY_BACKUP_WIDE, answer);
}

// The file argument after the verb; empty (with the usage) when missing.
std::u16string FileArgument(const Args& args, const char* verb) {
    std::vector<std::string> plain = Positional(args, {"--root"});
    if (plain.size() != 2 || plain[0] != verb) {
        Usage("reg");
        return {};
    }
    std::u16string path = ce::Utf8ToWide(plain[1]);
    if (path.empty() || path.size() >= ce::MAX_PATH) {
        Fail("the file name has 1 to 259 characters");
        return {};
    }
    return path;
}

}  // namespace

int RegistryBackupCommand(const Args& args) {
    std::u16string path = FileArgument(args, "backup");
    Selection selection;
    if (path.empty() || !ReadRoots(args, selection))
        return 1;
    selection.password = HasFlag(args, "--password");
    ProgramSession session;
    AnswerSelection(selection);
    regbackup::RegistryBackup backup(nullptr);
    return backup.BackupRegistry(path.c_str()) ? 0 : 1;
}

int RegistryRestoreCommand(const Args& args) {
    std::u16string path = FileArgument(args, "restore");
    Selection selection;
    if (path.empty() || !ReadRoots(args, selection))
        return 1;
    ProgramSession session;
    AnswerSelection(selection);
    regbackup::RegistryBackup backup(nullptr);
    backup.warningAgreed = HasFlag(args, "--yes");
    return backup.RestoreRegistry(path.c_str()) ? 0 : 1;
}

}  // namespace devicectl
