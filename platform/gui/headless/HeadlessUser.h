#pragma once
// Who answers the headless backend: the console host in unattended runs, a
// scripted user in tests.

#include "platform/gui/Backend.h"

namespace ce::gui {

class HeadlessUser {
public:
    virtual ~HeadlessUser() = default;
    virtual int AnswerMessageBox(const MessageBoxRequest& request) = 0;
};

}  // namespace ce::gui
