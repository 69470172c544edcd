#include "tests/support/ScriptedSession.h"

#include <gtest/gtest.h>

#include "app/Application.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "resources/Editions.h"

namespace testing_support {

ScriptedSession::ScriptedSession() : user_(std::make_shared<ce::gui::ScriptedUser>()) {
    user_->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
    backend_ =
        std::make_unique<ce::gui::ScopedBackend>(std::make_unique<ce::gui::HeadlessBackend>(user_));
    app::App().instance = res::PalmEdition();
}

ScriptedSession::~ScriptedSession() {
    app::Application& application = app::App();
    application.settings.reset();
    application.mainWindow = nullptr;
    application.commandsIdle = true;
    backend_.reset();
}

}  // namespace testing_support
