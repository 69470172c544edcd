#include "platform/gui/InstalledPaths.h"

#include <system_error>

namespace ce::gui {
namespace {

constexpr const char* kModuleName = "tessaly-qt.so";
constexpr const char* kHelpFileName = "tessaly.htm";

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::filesystem::path ProgramFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

std::filesystem::path QtModuleFor(const std::filesystem::path& folder) {
    std::filesystem::path beside = folder / kModuleName;
    if (IsFile(beside) || folder.empty())
        return beside;
    std::filesystem::path installed =
        (folder / TESSALY_MODULE_DIR_FROM_BIN / kModuleName).lexically_normal();
    return IsFile(installed) ? installed : beside;
}

std::filesystem::path HelpFolderFor(const std::filesystem::path& folder) {
    if (!folder.empty()) {
        std::filesystem::path installed = (folder / TESSALY_HELP_DIR_FROM_BIN).lexically_normal();
        if (IsFile(installed / kHelpFileName))
            return installed;
    }
    return TESSALY_HELP_DIR;
}

}  // namespace ce::gui
