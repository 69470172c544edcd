#pragma once
// The dialog templates of a resource module, for tests that check every one
// on the device's screens.

#include <ostream>
#include <string>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace testing_support {

struct DialogTemplate {
    ce::UINT id;
    // The caption's letters and digits ("About Tessaly": "AboutTessaly"), a
    // name for a test case; "Template" and the id before it where the
    // caption has none or another template has the same.
    std::string name;
};

// Every template the module has, by id.
std::vector<DialogTemplate> DialogTemplates(ce::HINSTANCE module);

// A template on a screen of the palm-size device.
struct DialogOnScreen {
    DialogTemplate dialog;
    int width;
    int height;
    // "240x320", as TESSALY_SCREEN takes it.
    std::string screen;
    // Dots per inch, as TESSALY_DPI takes it; above 150 is high resolution.
    int dpi = 96;
    // The template's name with "Portrait" or "Landscape", and
    // "HighResolution" above 150 dots per inch.
    std::string TestName() const;
};

// Every template of the module in portrait (240x320) and in landscape (320x240).
std::vector<DialogOnScreen> DialogsOnBothScreens(ce::HINSTANCE module);
// The same, and both again at high resolution (480x640 and 640x480 at 192 dots per inch).
std::vector<DialogOnScreen> DialogsOnEveryScreen(ce::HINSTANCE module);

// How a test's parameter reads in its report.
void PrintTo(const DialogOnScreen& layout, std::ostream* out);

}  // namespace testing_support
