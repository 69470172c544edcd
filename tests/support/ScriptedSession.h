#pragma once
// A test's user: installs the headless backend with a scripted user that
// turns every unscripted question into a test failure, and points the
// application at the palm-size edition's resources. Undone at the end of the
// test, so no test inherits another's answers.

#include <memory>

#include "platform/gui/Backend.h"
#include "platform/gui/testing/ScriptedUser.h"

namespace testing_support {

class ScriptedSession {
public:
    ScriptedSession();
    ~ScriptedSession();
    ScriptedSession(const ScriptedSession&) = delete;
    ScriptedSession& operator=(const ScriptedSession&) = delete;

    ce::gui::ScriptedUser& user() { return *user_; }

private:
    std::shared_ptr<ce::gui::ScriptedUser> user_;
    std::unique_ptr<ce::gui::ScopedBackend> backend_;
};

}  // namespace testing_support
