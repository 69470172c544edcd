#pragma once
// A window's commands as data: one row per command with its handler and the
// rule that says when it can be chosen. The window's dispatch runs the rows,
// its menus are greyed by the rules, and tests read the same table. A new
// command is a new row (and its handler).

#include <span>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace ui {

// A command's work. A row without one is a command that is not available
// yet: choosing it says so.
using CommandHandler = void (*)();
// Whether a command can be chosen now. A row without one is never greyed.
using EnablingRule = bool (*)();

struct CommandRow {
    ce::UINT id;
    CommandHandler handler;
    EnablingRule enabled = nullptr;
};

using CommandTable = std::span<const CommandRow>;

// The row of command `id`, or nullptr.
const CommandRow* FindCommand(CommandTable table, ce::UINT id);
// Carries out command `id`: its row's handler, or "This command is not
// available yet." for a row without one. False (and nothing done) when the
// table has no row for it.
bool CarryOut(CommandTable table, ce::UINT id);
// Enables or greys every row that has a rule: its item in `menu` and its
// button on the shell menu bar `menuBar` (either may be null; commands that
// are not in them are passed over).
// With `applied` (one entry per row, kept by the caller between calls), only
// the rows whose state differs from what was applied last are written.
void ApplyEnabling(CommandTable table, ce::HMENU menu, ce::HWND menuBar,
                   std::vector<signed char>* applied = nullptr);

// Says "This command is not available yet."
void NotAvailableYet();

}  // namespace ui
