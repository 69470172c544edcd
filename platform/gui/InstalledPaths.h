#pragma once
// Where the programs find what they ship beside them: the Qt backend module
// and the help. In the build tree the module sits beside the program and the
// help is read from the source tree; once installed, both lie at fixed places
// relative to the program's folder (bin/), so that an installed tree works
// wherever it is put, without environment variables.

#include <filesystem>

namespace ce::gui {

// The folder of the running program, or an empty path when it cannot be told.
std::filesystem::path ProgramFolder();

// The Qt backend module for a program in `folder`: beside it, else in the
// installed tree's module folder; the one beside it when neither exists.
std::filesystem::path QtModuleFor(const std::filesystem::path& folder);

// The help folder for a program in `folder`: the installed tree's when it
// holds the help file, else the source tree's.
std::filesystem::path HelpFolderFor(const std::filesystem::path& folder);

}  // namespace ce::gui
