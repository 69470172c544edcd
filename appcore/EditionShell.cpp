#include "appcore/EditionShell.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace appcore {
namespace {

std::unique_ptr<EditionShell>& Installed() {
    static std::unique_ptr<EditionShell> shell;
    return shell;
}

}  // namespace

EditionShell& Shell() {
    EditionShell* shell = Installed().get();
    if (shell == nullptr) {
        std::fprintf(stderr, "tessaly: no edition shell is installed\n");
        std::abort();
    }
    return *shell;
}

std::unique_ptr<EditionShell> InstallShell(std::unique_ptr<EditionShell> shell) {
    return std::exchange(Installed(), std::move(shell));
}

}  // namespace appcore
