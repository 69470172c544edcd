#include "app/Program.h"

#include <clocale>
#include <cstdio>
#include <string>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "platform/shell/Shell.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace app {

int ProgramEntry(ce::HINSTANCE instance, std::u16string_view commandLine) {
    App().instance = instance;
    if (!commandLine.empty())
        return RunCommandLine(commandLine);
    std::fprintf(stderr,
                 "%s: the interactive window is not available yet; use the command line "
                 "(%s /B file.bkp, /A script.abk, /R file.bkp).\n",
                 shell::ProgramName(), shell::ProgramName());
    return 0;
}

int RunProgram(ce::HINSTANCE instance, int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::string problem;
    if (!ce::device::EnsureDevice(&problem) || !ce::device::CheckVolume(&problem)) {
        std::fprintf(stderr, "%s: %s\n", shell::ProgramName(), problem.c_str());
        return 1;
    }
    App().instance = instance;
    ce::SetShellMessageCaption(ui::LoadText(res::IDS_PRODUCT).c_str());
    return ProgramEntry(instance, JoinArguments(argc, argv));
}

}  // namespace app
