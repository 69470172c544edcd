#include "ui/Help.h"

#include <string>

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/WinUser.h"
#include "resources/BrowserStrings.h"
#include "ui/MessageBoxes.h"

namespace ui {

namespace {

constexpr const char16_t* kHelpFile = u"tessaly.htm";

}  // namespace

bool ShowHelpTopic(const char16_t* topic) {
    std::u16string commandLine = std::u16string(kHelpFile) + u"#" + topic;
    ce::PROCESS_INFORMATION process{};
    if (ce::CreateProcessW(appcore::App().helpProgram.c_str(), commandLine.c_str(), nullptr,
                           nullptr, ce::FALSE, 0, nullptr, nullptr, nullptr, &process) != ce::FALSE)
        return true;
    // Nothing else would show that help was asked for.
    std::u16string file = ce::Utf8ToWide(ce::HelpFilePath(kHelpFile).string());
    MessageByIdWith(nullptr, res::IDS_HELP_NOT_SHOWN, file.c_str(), kErrorStyle);
    return false;
}

}  // namespace ui
