// Restores an arbitrary file as "Restore Registry" does, into the registry
// of a device of this process: the header, the password question, the
// selection of main keys (OK at once), and every record read, matched
// against the registry and written. Questions get the console host's safe
// answers (no password, Abort).

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "fuzz/FuzzFile.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "regbackup/RegistryBackup.h"
#include "resources/DialogIds.h"
#include "resources/Editions.h"
#include "shells/keyboard/KeyboardShell.h"

namespace {

struct Program {
    Program() {
        // The keyboard shell asks for a password without the pause of the
        // palm-size one, which every protected input would wait through.
        appcore::InstallShell(shells::MakeKeyboardShell());
        device = std::filesystem::temp_directory_path() /
                 ("tessaly-fuzz-device-" + std::to_string(getpid()));
        ce::device::SetDeviceDirectory(device);
        ce::device::EnsureDevice(nullptr);
        quiet = std::fopen("/dev/null", "w");
        auto console = std::make_shared<ce::gui::ConsoleHost>(nullptr, quiet);
        auto ok = [](ce::HWND dialog, ce::gui::ConsoleHost&) {
            ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDOK, 0);
        };
        console->AnswerDialog(res::IDD_REGISTRY_BACKUP, ok);
        console->AnswerDialog(res::IDD_REGISTRY_BACKUP_WIDE, ok);
        backend = std::make_unique<ce::gui::ScopedBackend>(
            std::make_unique<ce::gui::HeadlessBackend>(console));
        appcore::App().instance = res::KeyboardEdition();
    }
    ~Program() {
        backend.reset();
        std::fclose(quiet);
        std::error_code ignored;
        std::filesystem::remove_all(device, ignored);
    }

    std::filesystem::path device;
    std::FILE* quiet = nullptr;
    std::unique_ptr<ce::gui::ScopedBackend> backend;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Program program;
    FuzzFile file(data, size);
    if (!file.ok())
        return 0;
    regbackup::RegistryBackup restore(nullptr);
    restore.warningAgreed = true;
    restore.RestoreRegistry(ce::Utf8ToWide(file.path()).c_str());
    return 0;
}
