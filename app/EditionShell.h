#pragma once
// What differs between the two programs is asked of the edition's shell
// (shells/palm for tessaly, shells/keyboard for tessbook), never tested for
// in common code. Each shell library defines these.

namespace shell {

// Whether "Double tap to open a database viewer" starts on.
bool DoubleTapDefault();
// The program's name as typed on a command line (for usage texts).
const char* ProgramName();

}  // namespace shell
