#pragma once
// The sub-commands of devicectl. Each returns the process's exit status and
// writes errors to standard error.

#include <string>
#include <vector>

#include "platform/core/Types.h"

namespace devicectl {

using Args = std::vector<std::string>;

int Info(const Args& args);
int List(const Args& args);
int Create(const Args& args);
int Delete(const Args& args);
int Dump(const Args& args);
int Add(const Args& args);
int Set(const Args& args);
int DeleteRecord(const Args& args);
// The record editor's operations on the console host (EditCommands.cpp).
int Edit(const Args& args);
int Hold(const Args& args);
int SeedDemo(const Args& args);
int Registry(const Args& args);
// The infrared transfer's roles (BeamCommands.cpp).
int Beam(const Args& args);
// The program's own operations on the console host (ExportCommands.cpp).
int Export(const Args& args);
// (RegistryBackupCommands.cpp)
int RegistryBackupCommand(const Args& args);
int RegistryRestoreCommand(const Args& args);
// Files the programs write; these need no device volume.
int Lzw(const Args& args);
int Archive(const Args& args);
int Script(const Args& args);
int Rbk(const Args& args);

// Prints "devicectl: message" to standard error; returns 1.
int Fail(const std::string& message);
// The usage line of a command ("usage: devicectl delete NAME").
std::string UsageLine(const std::string& command);
// Fails with the command's usage line.
int Usage(const std::string& command);
// A platform error as "text (code N)", and the last one.
std::string ErrorText(ce::DWORD code);
std::string LastErrorText();

}  // namespace devicectl
