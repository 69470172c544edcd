#include "app/CommandLine.h"

#include <cstdio>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
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

// The file name that follows a mode switch: required, not itself a switch,
// and short enough for a path (a longer one would be cut to another name).
bool TakeFileName(std::u16string_view text, std::size_t& position, CommandLine& result) {
    std::u16string name;
    if (!NextToken(text, position, name) || IsSwitch(name))
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

int RunCommandLine(std::u16string_view text) {
    CommandLine line = ParseCommandLine(text);
    Application& application = App();
    application.settings = std::make_unique<Settings>();
    Settings& settings = *application.settings;
    settings.showDialogs = line.noDialogs ? 0 : 1;
    settings.silent = line.silent ? 1 : 0;
    settings.noProgress = line.noProgress ? 1 : 0;
    settings.includeSystemDatabases = line.systemDatabases ? 1 : 0;

    switch (line.mode) {
        case CommandMode::None: {
            // Ends at once: nothing is run and nothing written back.
            settings.SetWriteOnDestroy(false);
            ui::MessageById(nullptr, res::IDS_INVALID_COMMAND_LINE, ui::kErrorStyle);
            std::u16string usage = ce::FormatWide(ui::LoadText(res::IDS_COMMAND_LINE_USAGE),
                                                  {ce::Utf8ToWide(appcore::Shell().ProgramName())});
            std::fprintf(stderr, "%s\n", ce::WideToUtf8(usage).c_str());
            break;
        }
        case CommandMode::Backup:
        case CommandMode::RunScript:
        case CommandMode::Restore:
            if (!settings.silent) {
                ui::MessageById(nullptr, res::IDS_NOT_AVAILABLE_YET, ui::kErrorStyle);
            }
            break;
    }
    application.settings.reset();
    return -1;
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
