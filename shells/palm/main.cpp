// tessaly: the palm-size edition.

#include "app/Program.h"
#include "appcore/EditionShell.h"
#include "resources/Editions.h"
#include "shells/palm/PalmShell.h"

int main(int argc, char** argv) {
    appcore::InstallShell(shells::MakePalmShell());
    return app::RunProgram(res::PalmEdition(), argc, argv);
}
