#pragma once
// The record editor's command table (for tests that check what each
// command's rule says).

#include "ui/CommandTable.h"

namespace editor {

ui::CommandTable EditorCommands();

}  // namespace editor
