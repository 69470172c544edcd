#include "appcore/Application.h"

namespace appcore {
namespace {

Application*& Current() {
    static Application* current = nullptr;
    return current;
}

}  // namespace

Application::~Application() = default;

Application& App() {
    Application*& current = Current();
    // The program's own object lives as long as the process: windows and
    // settings may still reach it while the process ends.
    if (current == nullptr)
        current = new Application;
    return *current;
}

ScopedApplication::ScopedApplication()
    : fresh_(std::make_unique<Application>()), previous_(Current()) {
    Current() = fresh_.get();
}

ScopedApplication::~ScopedApplication() {
    // Ended while it is still the one in use: its settings are written back
    // and its fonts released as the program's would be.
    fresh_->settings.reset();
    fresh_.reset();
    Current() = previous_;
}

bool RunningSilently() {
    const Settings* settings = App().settings.get();
    return settings != nullptr && settings->silent != 0;
}

}  // namespace appcore
