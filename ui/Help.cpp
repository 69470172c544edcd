#include "ui/Help.h"

#include <string>

#include "appcore/Application.h"
#include "platform/gui/WinUser.h"

namespace ui {

bool ShowHelpTopic(const char16_t* topic) {
    std::u16string commandLine = std::u16string(u"tessaly.htm#") + topic;
    ce::PROCESS_INFORMATION process{};
    return ce::CreateProcessW(appcore::App().helpProgram.c_str(), commandLine.c_str(), nullptr,
                              nullptr, ce::FALSE, 0, nullptr, nullptr, nullptr,
                              &process) != ce::FALSE;
}

}  // namespace ui
