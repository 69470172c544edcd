// The keyboard shell's answers to what differs between the editions.

#include "app/EditionShell.h"

namespace shell {

bool DoubleTapDefault() {
    return true;
}
const char* ProgramName() {
    return "tessbook";
}

}  // namespace shell
