// tessaly: the palm-size edition.

#include "app/Program.h"
#include "resources/Editions.h"

int main(int argc, char** argv) {
    return app::RunProgram(res::PalmEdition(), argc, argv);
}
