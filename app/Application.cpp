#include "app/Application.h"

namespace app {

Application::~Application() = default;

Application& App() {
    static Application* application = new Application;
    return *application;
}

bool RunningSilently() {
    const Settings* settings = App().settings.get();
    return settings != nullptr && settings->silent != 0;
}

}  // namespace app
