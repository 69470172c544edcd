#include "ui/CommandTable.h"

#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace ui {

const CommandRow* FindCommand(CommandTable table, ce::UINT id) {
    for (const CommandRow& row : table) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

bool CarryOut(CommandTable table, ce::UINT id) {
    const CommandRow* row = FindCommand(table, id);
    if (row == nullptr)
        return false;
    if (row->handler != nullptr)
        row->handler();
    else
        NotAvailableYet();
    return true;
}

void ApplyEnabling(CommandTable table, ce::HMENU menu, ce::HWND menuBar,
                   std::vector<signed char>* applied) {
    if (applied != nullptr && applied->size() != table.size())
        applied->assign(table.size(), -1);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CommandRow& row = table[i];
        if (row.enabled == nullptr)
            continue;
        bool on = row.enabled();
        if (applied != nullptr) {
            if ((*applied)[i] == (on ? 1 : 0))
                continue;
            (*applied)[i] = on ? 1 : 0;
        }
        if (menu != nullptr)
            ce::EnableMenuItem(menu, row.id,
                               ce::MF_BYCOMMAND | (on ? ce::MF_ENABLED : ce::MF_GRAYED));
        if (menuBar != nullptr)
            ce::SendMessageW(menuBar, ce::TB_ENABLEBUTTON, row.id, ce::MAKELONG(on ? 1 : 0, 0));
    }
}

void NotAvailableYet() {
    MessageById(nullptr, res::IDS_NOT_AVAILABLE_YET, kErrorStyle);
}

}  // namespace ui
