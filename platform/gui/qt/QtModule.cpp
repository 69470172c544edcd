// The module's entry point, found by name when the program loads the module.

#include <QApplication>
#include <cstring>

#include "platform/gui/BackendLoader.h"
#include "platform/gui/qt/QtBackend.h"

extern "C" __attribute__((visibility("default"))) ce::gui::Backend* tessaly_create_qt_backend(
    int interfaceVersion, const ce::gui::InteractiveOptions* options, char* error,
    std::size_t errorSize) {
    auto fail = [&](const char* text) -> ce::gui::Backend* {
        if (error != nullptr && errorSize > 0) {
            std::strncpy(error, text, errorSize - 1);
            error[errorSize - 1] = 0;
        }
        return nullptr;
    };
    if (interfaceVersion != ce::gui::kQtModuleInterface || options == nullptr)
        return fail("the Qt backend module belongs to another build of the program");
    return new ce::gui::qt::QtBackend(*options);
}
