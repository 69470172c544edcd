#include "tests/support/DialogTemplates.h"

#include "platform/gui/Resources.h"
#include "resources/DialogIds.h"

namespace testing_support {

std::vector<DialogTemplate> DialogTemplates(ce::HINSTANCE module) {
    std::vector<DialogTemplate> templates;
    // Resource names are 16-bit numbers: trying every one finds every template.
    for (ce::UINT id = 1; id <= 0xFFFF; ++id) {
        const ce::DialogResource* dialog = module->FindDialog(id);
        if (dialog == nullptr)
            continue;
        std::string name;
        for (const char16_t* c = dialog->caption; c != nullptr && *c != 0; ++c) {
            bool letterOrDigit = (*c >= u'A' && *c <= u'Z') || (*c >= u'a' && *c <= u'z') ||
                                 (*c >= u'0' && *c <= u'9');
            if (letterOrDigit)
                name.push_back(static_cast<char>(*c));
        }
        bool taken = false;
        for (const DialogTemplate& other : templates)
            taken = taken || other.name == name;
        if (name.empty() || taken)
            name = "Template" + std::to_string(id) + name;
        templates.push_back({id, name});
    }
    return templates;
}

std::string DialogOnScreen::TestName() const {
    return dialog.name + (width < height ? "Portrait" : "Landscape");
}

void PrintTo(const DialogOnScreen& layout, std::ostream* out) {
    *out << "template " << layout.dialog.id << " on " << layout.screen;
}

std::vector<DialogOnScreen> DialogsOnBothScreens(ce::HINSTANCE module) {
    std::vector<DialogOnScreen> layouts;
    for (const DialogTemplate& dialog : DialogTemplates(module)) {
        if (!res::IsLandscapeTemplate(dialog.id))
            layouts.push_back({dialog, 240, 320, "240x320"});
        layouts.push_back({dialog, 320, 240, "320x240"});
    }
    return layouts;
}

}  // namespace testing_support
