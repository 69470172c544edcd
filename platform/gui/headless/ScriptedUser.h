#pragma once
// The user of a test: before it acts, a test says how each message box is
// answered (by the id of its string). Every box shown is recorded. A
// question that nobody scripted is reported to the failure handler (which a
// test turns into a test failure) and gets the safe answer, so a test
// never hangs waiting for a person.

#include <deque>
#include <functional>
#include <map>
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
    // The next box with this string id gets this answer (answers queue up).
    void Answer(UINT stringId, int answer) { answers_[stringId].push_back(answer); }
    // Every box with this string id gets this answer.
    void AlwaysAnswer(UINT stringId, int answer) { standing_[stringId] = answer; }

    int AnswerMessageBox(const MessageBoxRequest& request) override;

    const std::vector<ShownMessage>& shown() const { return shown_; }
    int CountShown(UINT stringId) const;
    bool WasShown(UINT stringId) const { return CountShown(stringId) > 0; }
    // The id of every box shown, in order.
    std::vector<UINT> ShownIds() const;
    void ClearShown() { shown_.clear(); }
    // Scripted answers that no box used.
    std::size_t UnusedAnswers() const;

    void SetFailureHandler(std::function<void(const std::string&)> handler) {
        onFailure_ = std::move(handler);
    }
    void Fail(const std::string& what);

private:
    std::map<UINT, std::deque<int>> answers_;
    std::map<UINT, int> standing_;
    std::vector<ShownMessage> shown_;
    std::function<void(const std::string&)> onFailure_;
};

}  // namespace ce::gui
