// The palm-size shell's answers to what differs between the editions.

#include "app/EditionShell.h"

namespace shell {

bool DoubleTapDefault() {
    return false;
}
const char* ProgramName() {
    return "tessaly";
}

}  // namespace shell
