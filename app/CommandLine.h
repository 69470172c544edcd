#pragma once
// The unattended command line: /B file (back up all databases), /A file (run
// an Autobackup script), /R file (restore an archive), with /D (no dialogs),
// /I (silent), /P (no progress) and /S (system databases too).

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/Types.h"

namespace app {

enum class CommandMode { None = 0, Backup = 1, RunScript = 2, Restore = 3 };

struct CommandLine {
    CommandMode mode = CommandMode::None;
    ce::WCHAR fileName[ce::MAX_PATH] = {};
    bool noDialogs = false;
    bool silent = false;
    bool noProgress = false;
    bool systemDatabases = false;
};

// Reads the next token from `position` onwards: white space is skipped; a
// token in double quotes runs to the next quote (which is consumed) or the
// end; otherwise to the next white space. False when no token is left.
bool NextToken(std::u16string_view text, std::size_t& position, std::u16string& token);

// Any invalid command line yields mode None with every flag cleared.
CommandLine ParseCommandLine(std::u16string_view text);

// The exit statuses of an unattended run: everything asked was done; some
// of it failed, was refused or cancelled; the command line is invalid.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitInvalid = 255;

// Runs one unattended operation and returns its exit status.
int RunCommandLine(std::u16string_view text);

// The command-line text of a host program's arguments: each argument, in
// double quotes when it holds white space or is empty, separated by blanks.
std::u16string JoinArguments(int argc, char** argv);

}  // namespace app
