#pragma once
// Program entry, shared by both programs.

#include <string_view>

#include "platform/gui/WinTypes.h"

namespace app {

// The program's entry: with command-line text, one unattended run (exit
// code -1); without, the interactive program.
int ProgramEntry(ce::HINSTANCE instance, std::u16string_view commandLine);

// The interactive program's message loop: every message is offered to the
// main window's accelerator table (101) first. Returns the quit code.
int RunMessageLoop();

// What a program's main() calls: checks that the device can be used (a
// clear message and status 1 when not), then ProgramEntry with the
// arguments as command-line text. Returns the process's exit status.
int RunProgram(ce::HINSTANCE instance, int argc, char** argv);

}  // namespace app
