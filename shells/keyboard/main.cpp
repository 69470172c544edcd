// tessbook: the keyboard handheld edition.

#include "app/Program.h"
#include "appcore/EditionShell.h"
#include "resources/Editions.h"
#include "shells/keyboard/KeyboardShell.h"

int main(int argc, char** argv) {
    appcore::InstallShell(shells::MakeKeyboardShell());
    return app::RunProgram(res::KeyboardEdition(), argc, argv);
}
