#include "tests/support/ScriptedSession.h"

#include <gtest/gtest.h>

#include "platform/gui/headless/HeadlessBackend.h"
#include "resources/Editions.h"
#include "shells/keyboard/KeyboardShell.h"
#include "shells/palm/PalmShell.h"

namespace testing_support {

std::unique_ptr<appcore::EditionShell> MakeShell(Edition edition) {
    return edition == Edition::Keyboard ? shells::MakeKeyboardShell() : shells::MakePalmShell();
}

ce::HINSTANCE EditionResources(Edition edition) {
    return edition == Edition::Keyboard ? res::KeyboardEdition() : res::PalmEdition();
}

ScriptedSession::ScriptedSession(Edition edition)
    : shell_(std::make_unique<appcore::ScopedShell>(MakeShell(edition))),
      user_(std::make_shared<ce::gui::ScriptedUser>()) {
    user_->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
    backend_ =
        std::make_unique<ce::gui::ScopedBackend>(std::make_unique<ce::gui::HeadlessBackend>(user_));
    application_ = std::make_unique<appcore::ScopedApplication>();
    appcore::App().instance = EditionResources(edition);
}

ScriptedSession::~ScriptedSession() {
    // The application first, while its backend and shell are there: its
    // settings are written back; then the windows left over go with the
    // backend, and the shell last.
    application_.reset();
    backend_.reset();
    shell_.reset();
}

KeyboardSession::KeyboardSession() {
    ce::gui::HeadlessBackend& backend = *ce::gui::CurrentHeadless();
    ce::gui::ScreenMetrics screen = backend.Screen();
    screen.width = 640;
    screen.height = 240;
    backend.SetScreen(screen);
}

}  // namespace testing_support
