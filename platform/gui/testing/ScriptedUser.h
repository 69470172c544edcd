#pragma once
// The user of a test: before it acts, a test says how each message box is
// answered (by the id of its string), what is done in each dialog (by its
// template id), which file each file dialog gets and which command each
// popup menu. Every box, dialog, file dialog and popup is recorded. Whatever
// nobody scripted is reported to the failure handler (which a test turns
// into a test failure) and gets the safe answer, so a test never hangs
// waiting for a person.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/headless/HeadlessUser.h"

namespace ce::gui {

struct ShownMessage {
    UINT stringId;
    std::u16string text;
    UINT style;
    HWND owner;
    int answer;
};

class ScriptedUser : public HeadlessUser {
public:
    using DialogAction = std::function<void(HWND dialog)>;
    using PopupChoice = std::function<UINT(HMENU menu)>;

    // ---- Message boxes ----
    // The next box with this string id gets this answer (answers queue up).
    void Answer(UINT stringId, int answer) { answers_[stringId].push_back(answer); }
    // Every box with this string id gets this answer.
    void AlwaysAnswer(UINT stringId, int answer) { standing_[stringId] = answer; }

    // ---- Dialogs ----
    // The next dialog made from this template gets this action when it first
    // waits for input (actions queue up, one per dialog).
    void OnDialog(UINT templateId, DialogAction action) {
        dialogActions_[templateId].push_back(std::move(action));
    }
    // Every dialog of this template without a queued action gets this one.
    void AlwaysOnDialog(UINT templateId, DialogAction action) {
        standingDialogs_[templateId] = std::move(action);
    }

    // ---- File dialogs and popups ----
    // The next file dialog returns this path (nothing: the user cancels).
    void AnswerFile(std::optional<std::u16string> path) { files_.push_back(std::move(path)); }
    // The next popup menu returns this command (0: dismissed).
    void ChooseFromNextPopup(UINT command) {
        popups_.push_back([command](HMENU) { return command; });
    }
    // The next popup menu is chosen from by typing an item's access key.
    void PressInNextPopup(WCHAR key);
    // The next popup menu is handed to `choice`, which looks at it and chooses.
    void OnNextPopup(PopupChoice choice) { popups_.push_back(std::move(choice)); }

    int AnswerMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::u16string> ChooseFile(const FileDialogRequest& request) override;
    UINT ChooseFromPopup(const PopupMenuRequest& request) override;
    bool ActOnDialog(HWND dialog, UINT templateId) override;
    void NothingToDo(const std::string& what) override { Fail(what); }
    void Refused(const std::string& what) override { Fail(what); }

    // ---- What happened ----
    const std::vector<ShownMessage>& shown() const { return shown_; }
    int CountShown(UINT stringId) const;
    bool WasShown(UINT stringId) const { return CountShown(stringId) > 0; }
    // The id of every box shown, in order.
    std::vector<UINT> ShownIds() const;
    void ClearShown() { shown_.clear(); }
    // The template of every dialog that waited for input, in order.
    const std::vector<UINT>& dialogs() const { return dialogsSeen_; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileRequests_; }
    int popupsShown() const { return popupsShown_; }
    // Scripted answers, actions, files and popup choices that nothing used.
    std::size_t UnusedAnswers() const;

    void SetFailureHandler(std::function<void(const std::string&)> handler) {
        onFailure_ = std::move(handler);
    }
    void Fail(const std::string& what);

private:
    std::map<UINT, std::deque<int>> answers_;
    std::map<UINT, int> standing_;
    std::map<UINT, std::deque<DialogAction>> dialogActions_;
    std::map<UINT, DialogAction> standingDialogs_;
    std::deque<std::optional<std::u16string>> files_;
    std::deque<PopupChoice> popups_;
    std::vector<ShownMessage> shown_;
    std::vector<UINT> dialogsSeen_;
    std::vector<FileDialogRequest> fileRequests_;
    int popupsShown_ = 0;
    std::function<void(const std::string&)> onFailure_;
};

}  // namespace ce::gui
