#pragma once
// A test's user and program state: a fresh application object, the shell of
// the edition the test runs (the palm-size one unless it says otherwise)
// with that edition's resources, and the headless backend with a scripted
// user that turns every unscripted question into a test failure. All of it
// is undone at the end of the test, so no test inherits another's state or
// answers.

#include <memory>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/gui/Backend.h"
#include "platform/gui/testing/ScriptedUser.h"
#include "tests/support/TempDevice.h"

namespace testing_support {

enum class Edition { Palm, Keyboard };

class ScriptedSession {
public:
    explicit ScriptedSession(Edition edition = Edition::Palm);
    ~ScriptedSession();
    ScriptedSession(const ScriptedSession&) = delete;
    ScriptedSession& operator=(const ScriptedSession&) = delete;

    ce::gui::ScriptedUser& user() { return *user_; }

private:
    std::unique_ptr<appcore::ScopedShell> shell_;
    std::shared_ptr<ce::gui::ScriptedUser> user_;
    std::unique_ptr<ce::gui::ScopedBackend> backend_;
    std::unique_ptr<appcore::ScopedApplication> application_;
};

// A keyboard device as tessbook meets it: a fresh device directory, a
// session of the keyboard edition and the 640x240 screen.
class KeyboardSession {
public:
    KeyboardSession();

    ce::gui::ScriptedUser& user() { return session_.user(); }

private:
    TempDevice device_;
    ScriptedSession session_{Edition::Keyboard};
};

// The shell and the resources of an edition, as its program's main() has them.
std::unique_ptr<appcore::EditionShell> MakeShell(Edition edition);
ce::HINSTANCE EditionResources(Edition edition);

}  // namespace testing_support
