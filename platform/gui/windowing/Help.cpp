// Starting the help program: "PegHelp.exe file.htm#topic" shows the bundled
// help page at that topic, through the backend, without waiting.

#include <cstdlib>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/InstalledPaths.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce {
namespace {

std::filesystem::path HelpFolder() {
    if (const char* folder = std::getenv("TESSALY_HELP_DIR"); folder != nullptr && *folder != 0)
        return folder;
    return gui::HelpFolderFor(gui::ProgramFolder());
}

}  // namespace

std::filesystem::path HelpFilePath(std::u16string_view fileName) {
    return HelpFolder() / WideToUtf8(fileName);
}

BOOL CreateProcessW(LPCWSTR image, LPCWSTR commandLine, void*, void*, BOOL, DWORD, void*, LPCWSTR,
                    void*, PROCESS_INFORMATION* info) {
    std::u16string_view program = WideView(image);
    std::size_t slash = program.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos)
        program.remove_prefix(slash + 1);
    if (!EqualsIgnoreCase(program, u"PegHelp.exe")) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::u16string_view arguments = WideView(commandLine);
    std::size_t hash = arguments.find(u'#');
    std::u16string file(arguments.substr(0, hash));
    std::u16string anchor = hash == std::u16string_view::npos
                                ? std::u16string()
                                : std::u16string(arguments.substr(hash + 1));
    // Only a plain file name of the help folder can be shown.
    if (file.empty() || file.find_first_of(u"\\/") != std::u16string::npos || file == u"..") {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::filesystem::path path = HelpFilePath(file);
    if (!std::filesystem::exists(path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!gui::CurrentBackend().ShowHelp(path, anchor)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (info != nullptr)
        *info = {};
    return TRUE;
}

}  // namespace ce
