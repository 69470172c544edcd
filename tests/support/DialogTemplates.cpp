#include "tests/support/DialogTemplates.h"

#include "platform/gui/Resources.h"
#include "resources/BrowserDialogs.h"
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
    return dialog.name + (width < height ? "Portrait" : "Landscape") +
           (dpi > 150 ? "HighResolution" : "");
}

void PrintTo(const DialogOnScreen& layout, std::ostream* out) {
    *out << "template " << layout.dialog.id << " on " << layout.screen << " at " << layout.dpi
         << " dpi";
}

namespace {

// A template with a wide partner is shown only on screens higher than wide,
// its partner only on wider ones.
bool ShownOn(ce::UINT id, bool wide) {
    for (const res::TemplatePair& pair : res::kWideTemplates) {
        if (pair.narrow == id)
            return !wide;
        if (pair.wide == id)
            return wide;
    }
    // The portrait/landscape pairs that a wide screen swaps (118/190,
    // 128/191, 129/192, 112/193).
    if (res::IsLandscapeTemplate(id))
        return wide;
    for (ce::UINT narrow : {118u, 128u, 129u, 112u}) {
        if (id == narrow)
            return !wide;
    }
    return true;
}

void AddScreens(std::vector<DialogOnScreen>& layouts, const DialogTemplate& dialog, int width,
                int height, int dpi) {
    std::string screen = std::to_string(width) + "x" + std::to_string(height);
    if (ShownOn(dialog.id, width > height))
        layouts.push_back({dialog, width, height, screen, dpi});
    if (ShownOn(dialog.id, height > width))
        layouts.push_back(
            {dialog, height, width, std::to_string(height) + "x" + std::to_string(width), dpi});
}

}  // namespace

std::vector<DialogOnScreen> DialogsOnBothScreens(ce::HINSTANCE module) {
    std::vector<DialogOnScreen> layouts;
    for (const DialogTemplate& dialog : DialogTemplates(module))
        AddScreens(layouts, dialog, 240, 320, 96);
    return layouts;
}

std::vector<DialogOnScreen> DialogsOnEveryScreen(ce::HINSTANCE module) {
    std::vector<DialogOnScreen> layouts = DialogsOnBothScreens(module);
    for (const DialogTemplate& dialog : DialogTemplates(module))
        AddScreens(layouts, dialog, 480, 640, 192);
    return layouts;
}

}  // namespace testing_support
