#include "platform/gui/testing/ScriptedUser.h"

#include <cstdio>
#include <filesystem>

#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/CommDlg.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"

namespace ce::gui {

int ScriptedUser::AnswerMessageBox(const MessageBoxRequest& request) {
    int answer;
    auto queued = answers_.find(request.stringId);
    if (queued != answers_.end() && !queued->second.empty()) {
        answer = queued->second.front();
        queued->second.pop_front();
    } else if (auto standing = standing_.find(request.stringId); standing != standing_.end()) {
        answer = standing->second;
    } else if ((request.style & MB_TYPEMASK) == MB_OK) {
        answer = IDOK;
    } else {
        answer = SafeAnswer(request.style);
        Fail("unscripted question (string " + std::to_string(request.stringId) +
             "): " + WideToUtf8(request.text));
    }
    shown_.push_back({request.stringId, request.text, request.style, request.owner, answer});
    return answer;
}

std::optional<std::u16string> ScriptedUser::ChooseFile(const FileDialogRequest& request) {
    fileRequests_.push_back(request);
    if (files_.empty()) {
        Fail(std::string("unscripted ") + (request.save ? "save" : "open") + " file dialog");
        return std::nullopt;
    }
    std::optional<std::u16string> path = std::move(files_.front());
    files_.pop_front();
    if (path && !request.save && (request.flags & OFN_FILEMUSTEXIST) != 0 &&
        !std::filesystem::exists(device::HostPath(*path))) {
        // The real dialog would not let this file be chosen.
        Fail("the open file dialog was given a file that does not exist: " + WideToUtf8(*path));
        return std::nullopt;
    }
    return path;
}

UINT ScriptedUser::ChooseFromPopup(const PopupMenuRequest& request) {
    ++popupsShown_;
    if (popups_.empty()) {
        Fail("unscripted popup menu");
        return 0;
    }
    PopupChoice choice = std::move(popups_.front());
    popups_.pop_front();
    UINT command = choice(request.menu);
    if (command == 0)
        return 0;
    UINT state = GetMenuState(request.menu, command, MF_BYCOMMAND);
    if (state == 0xFFFFFFFF || (state & (MF_GRAYED | MF_DISABLED)) != 0) {
        Fail("the popup menu's command " + std::to_string(command) +
             (state == 0xFFFFFFFF ? " does not exist" : " is greyed"));
        return 0;
    }
    return command;
}

bool ScriptedUser::ActOnDialog(HWND dialog, UINT templateId) {
    dialogsSeen_.push_back(templateId);
    DialogAction action;
    auto queued = dialogActions_.find(templateId);
    if (queued != dialogActions_.end() && !queued->second.empty()) {
        action = std::move(queued->second.front());
        queued->second.pop_front();
    } else if (auto standing = standingDialogs_.find(templateId);
               standing != standingDialogs_.end()) {
        action = standing->second;
    } else {
        return false;
    }
    action(dialog);
    return true;
}

int ScriptedUser::CountShown(UINT stringId) const {
    int n = 0;
    for (const ShownMessage& m : shown_)
        n += m.stringId == stringId ? 1 : 0;
    return n;
}

std::vector<UINT> ScriptedUser::ShownIds() const {
    std::vector<UINT> ids;
    for (const ShownMessage& m : shown_)
        ids.push_back(m.stringId);
    return ids;
}

std::size_t ScriptedUser::UnusedAnswers() const {
    std::size_t n = files_.size() + popups_.size();
    for (const auto& [id, queue] : answers_)
        n += queue.size();
    for (const auto& [id, queue] : dialogActions_)
        n += queue.size();
    return n;
}

void ScriptedUser::Fail(const std::string& what) {
    if (onFailure_) {
        onFailure_(what);
    } else {
        std::fprintf(stderr, "scripted user: %s\n", what.c_str());
    }
}

void ScriptedUser::PressInNextPopup(WCHAR key) {
    popups_.push_back([key](HMENU menu) { return MenuCommandForAccessKey(menu, key); });
}

}  // namespace ce::gui
