#pragma once
// The Add Property wizard: a type and identifier page, then a value page of
// the chosen type. It writes nothing; its caller writes the new property.

#include <optional>
#include <vector>

#include "editor/PropertyValue.h"
#include "platform/gui/WinTypes.h"

namespace editor {

struct WizardResult {
    PropertyValue property;
    // 0 when the property goes into a new record ("Create a new record").
    ce::CEOID recordId = 0;
};

// Runs the wizard for the record `recordId` (0: there is none yet), whose
// properties have the numbers `inUse`. Nothing when the user cancelled.
std::optional<WizardResult> RunAddPropertyWizard(ce::HWND owner, ce::CEOID recordId,
                                                 const std::vector<ce::WORD>& inUse);

// Adds a first record to an empty database with the wizard; true when one
// was written.
bool AddFirstRecord(ce::HWND owner, const ce::WCHAR* databaseName);

}  // namespace editor
