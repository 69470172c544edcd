#include "platform/gui/headless/ScriptedUser.h"

#include <cstdio>

#include "platform/core/Text.h"

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
    std::size_t n = 0;
    for (const auto& [id, queue] : answers_)
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

}  // namespace ce::gui
