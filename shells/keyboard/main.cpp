// tessbook: the keyboard handheld edition.

#include "app/Program.h"
#include "resources/Editions.h"

int main(int argc, char** argv) {
    return app::RunProgram(res::KeyboardEdition(), argc, argv);
}
