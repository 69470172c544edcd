// What the palm-size dialog templates carry besides the controls they show:
// the input-panel control that makes the panel open with a dialog the user
// types into.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/core/Text.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "resources/Editions.h"
#include "tests/support/DialogTemplates.h"

namespace {

using namespace ce;

bool OfClass(const DialogItemResource& item, std::u16string_view name) {
    return item.className != nullptr && EqualsIgnoreCase(WideView(item.className), name);
}

bool TakesTyping(const DialogItemResource& item) {
    return OfClass(item, u"EDIT") && (item.style & ES_READONLY) == 0;
}

bool IsInputPanelControl(const DialogItemResource& item) {
    return OfClass(item, u"SIPPREF");
}

TEST(TemplateConventionsTest, EveryPalmTemplateWithAFieldToTypeInOpensTheInputPanel) {
    HINSTANCE palm = res::PalmEdition();
    std::vector<testing_support::DialogTemplate> templates = testing_support::DialogTemplates(palm);
    ASSERT_FALSE(templates.empty());
    int typed = 0;
    for (const testing_support::DialogTemplate& entry : templates) {
        const DialogResource* dialog = palm->FindDialog(entry.id);
        ASSERT_NE(dialog, nullptr) << entry.name;
        auto panels =
            std::count_if(dialog->items.begin(), dialog->items.end(), IsInputPanelControl);
        bool typing = std::any_of(dialog->items.begin(), dialog->items.end(), TakesTyping);
        typed += typing ? 1 : 0;
        if (typing)
            EXPECT_EQ(panels, 1) << entry.name << " (template " << entry.id
                                 << ") has a field to type in";
        else
            EXPECT_LE(panels, 1) << entry.name << " (template " << entry.id << ")";
    }
    // The name dialog, the passwords, Backup Options, Find and the editor at least.
    EXPECT_GE(typed, 7);
}

TEST(TemplateConventionsTest, TheInputPanelControlIsHiddenAndTakesNoRoom) {
    HINSTANCE palm = res::PalmEdition();
    for (const testing_support::DialogTemplate& entry : testing_support::DialogTemplates(palm)) {
        for (const DialogItemResource& item : palm->FindDialog(entry.id)->items) {
            if (!IsInputPanelControl(item))
                continue;
            EXPECT_EQ(item.style & WS_VISIBLE, 0u) << entry.name;
            EXPECT_EQ(item.cx, 0) << entry.name;
            EXPECT_EQ(item.cy, 0) << entry.name;
        }
    }
}

}  // namespace

// Two string tables of one edition that use the same number for different
// texts make one of the messages show the other's words.
TEST(StringTablesTest, NoEditionGivesOneStringNumberTwoTexts) {
    for (HINSTANCE edition : {res::PalmEdition(), res::KeyboardEdition()})
        EXPECT_EQ(edition->StringClashes(), std::vector<UINT>{}) << "strings with two texts";
}
