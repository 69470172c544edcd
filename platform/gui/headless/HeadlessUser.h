#pragma once
// Who answers the headless backend: the console host in unattended runs, a
// scripted user in tests. Everything but message boxes has a default that
// does nothing, which is what an unattended run wants.

#include <optional>
#include <string>

#include "platform/gui/Backend.h"

namespace ce::gui {

class HeadlessUser {
public:
    virtual ~HeadlessUser() = default;
    virtual int AnswerMessageBox(const MessageBoxRequest& request) = 0;
    // The path chosen in a file dialog; nothing for Cancel.
    virtual std::optional<std::u16string> ChooseFile(const FileDialogRequest&) {
        return std::nullopt;
    }
    // The command chosen from a popup menu; 0 for none.
    virtual UINT ChooseFromPopup(const PopupMenuRequest&) { return 0; }
    // Acts in a dialog that waits for input (made from template `templateId`);
    // false when there is nothing to do in it.
    virtual bool ActOnDialog(HWND, UINT /*templateId*/) { return false; }
    // A loop waits for input that can never come; it ends itself after this.
    virtual void NothingToDo(const std::string&) {}
    // An input helper was asked for something a person could not do
    // (press a disabled button, choose a greyed command).
    virtual void Refused(const std::string&) {}
};

}  // namespace ce::gui
