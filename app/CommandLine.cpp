#include "app/CommandLine.h"

#include <cstdio>

#include "app/BackupCommands.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "backup/BackupArchive.h"
#include "platform/core/Text.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace appcore;

bool NextToken(std::u16string_view text, std::size_t& position, std::u16string& token) {
    while (position < text.size() && ce::IsWideSpace(text[position]))
        ++position;
    if (position >= text.size())
        return false;
    token.clear();
    if (text[position] == u'"') {
        ++position;
        std::size_t end = text.find(u'"', position);
        if (end == std::u16string_view::npos)
            end = text.size();
        token.assign(text.substr(position, end - position));
        position = end < text.size() ? end + 1 : end;
        return true;
    }
    std::size_t end = position;
    while (end < text.size() && !ce::IsWideSpace(text[end]))
        ++end;
    token.assign(text.substr(position, end - position));
    position = end;
    return true;
}

namespace {

bool IsSwitch(const std::u16string& token) {
    return !token.empty() && (token[0] == u'-' || token[0] == u'/');
}

// A host's absolute path ("/home/me/all.bkp") begins as a switch does; one
// with a folder in it is taken for the path it is.
bool IsHostPath(const std::u16string& token) {
    return token.size() > 2 && token[0] == u'/' && token.find(u'/', 1) != std::u16string::npos;
}

// The file name that follows a mode switch: required, not itself a switch,
// and short enough for a path (a longer one would be cut to another name).
bool TakeFileName(std::u16string_view text, std::size_t& position, CommandLine& result) {
    std::u16string name;
    if (!NextToken(text, position, name) || (IsSwitch(name) && !IsHostPath(name)))
        return false;
    if (name.size() >= ce::MAX_PATH)
        return false;
    ce::CopyWide(result.fileName, name);
    return true;
}

}  // namespace

CommandLine ParseCommandLine(std::u16string_view text) {
    CommandLine result;
    std::size_t position = 0;
    std::u16string token;
    while (NextToken(text, position, token)) {
        if (!IsSwitch(token))
            continue;
        char16_t letter = token.size() > 1 ? ce::ToUpperWide(token[1]) : u'\0';
        bool valid = true;
        switch (letter) {
            case u'A':
                valid = result.mode == CommandMode::None && TakeFileName(text, position, result);
                result.mode = CommandMode::RunScript;
                break;
            case u'B':
                valid = TakeFileName(text, position, result);
                result.mode = CommandMode::Backup;
                break;
            case u'R':
                valid = TakeFileName(text, position, result);
                result.mode = CommandMode::Restore;
                break;
            case u'D':
                result.noDialogs = true;
                break;
            case u'I':
                result.silent = true;
                break;
            case u'P':
                result.noProgress = true;
                break;
            case u'S':
                result.systemDatabases = true;
                break;
            default:
                valid = false;
                break;
        }
        if (!valid)
            return CommandLine{};
    }
    return result;
}

namespace {

// Backs up every database (system databases only with /S) into `fileName`,
// stopping at the first that fails.
bool BackUpAll(const WCHAR* fileName) {
    backup::BackupArchive archive;
    if (!archive.OpenForBackup(nullptr, false, fileName))
        return false;
    bool ok = true;
    bool system = App().settings->includeSystemDatabases != 0;
    ce::HANDLE enumeration = ce::CeFindFirstDatabase(0);
    if (enumeration != ce::INVALID_HANDLE_VALUE) {
        for (ce::CEOID oid; ok && (oid = ce::CeFindNextDatabase(enumeration)) != 0;) {
            ce::CEOIDINFO object{};
            if (!ce::CeOidGetInfo(oid, &object) || object.wObjType != ce::OBJTYPE_DATABASE)
                continue;
            const WCHAR* name = object.infDatabase.szDbaseName;
            if (name[0] == u'\\' && !system)
                continue;
            ok = archive.BackupDatabase(name);
        }
        ce::CloseHandle(enumeration);
    }
    return archive.FinishBackup() && ok;
}

bool RunScript(const WCHAR* fileName) {
    ce::CopyWide(App().settings->scriptName, ce::WideView(fileName, ce::MAX_PATH));
    backup::BackupArchive archive;
    return archive.RunAutobackup(nullptr);
}

bool RestoreAll(const WCHAR* fileName) {
    backup::BackupArchive archive;
    archive.SetExistsQuestions(BrowserExistsQuestions());
    return archive.OpenForRestore(nullptr, fileName) && archive.restoreComplete();
}

}  // namespace

int RunCommandLine(std::u16string_view text) {
    CommandLine line = ParseCommandLine(text);
    Application& application = App();
    application.settings = std::make_unique<Settings>();
    Settings& settings = *application.settings;
    settings.showDialogs = line.noDialogs ? 0 : 1;
    settings.silent = line.silent ? 1 : 0;
    settings.noProgress = line.noProgress ? 1 : 0;
    settings.includeSystemDatabases = line.systemDatabases ? 1 : 0;

    int status = kExitFailed;
    switch (line.mode) {
        case CommandMode::None: {
            // Ends at once: nothing is run and nothing written back.
            settings.SetWriteOnDestroy(false);
            ui::MessageById(nullptr, res::IDS_INVALID_COMMAND_LINE, ui::kErrorStyle);
            std::u16string usage = ce::FormatWide(ui::LoadText(res::IDS_COMMAND_LINE_USAGE),
                                                  {ce::Utf8ToWide(appcore::Shell().ProgramName())});
            std::fprintf(stderr, "%s\n", ce::WideToUtf8(usage).c_str());
            application.settings.reset();
            return kExitInvalid;
        }
        case CommandMode::Backup:
            status = BackUpAll(line.fileName) ? kExitDone : kExitFailed;
            break;
        case CommandMode::RunScript:
            status = RunScript(line.fileName) ? kExitDone : kExitFailed;
            break;
        case CommandMode::Restore:
            status = RestoreAll(line.fileName) ? kExitDone : kExitFailed;
            break;
    }
    application.settings.reset();
    return status;
}

std::u16string JoinArguments(int argc, char** argv) {
    std::u16string text;
    for (int i = 1; i < argc; ++i) {
        std::u16string argument = ce::Utf8ToWide(argv[i]);
        bool quote = argument.empty();
        for (char16_t c : argument)
            quote = quote || ce::IsWideSpace(c);
        if (!text.empty())
            text += u' ';
        if (quote) {
            text += u'"';
            text += argument;
            text += u'"';
        } else {
            text += argument;
        }
    }
    return text;
}

}  // namespace app
